#pragma once

#include <string>
#include <vector>

#include "gui/Rect.h"

// One control's line in the generated layout header: which control (its index in the order the
// panel was built, and its class as the compiler names it), where it is drawn in the layer order,
// its rectangles at 100 % and whether it is hidden.
struct LayoutEntry {
    std::string className;
    int controlIndex = 0;
    int layerPosition = 0;
    Rect draw;
    Rect target;
    bool hidden = false;

    bool operator==(const LayoutEntry&) const = default;
};

// The entries of every view mode, mode 0 (the default view) first.
using LayoutModes = std::vector<std::vector<LayoutEntry>>;
