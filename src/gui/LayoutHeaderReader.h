#pragma once

#include <optional>
#include <string>

#include "gui/LayoutEntry.h"

// Reads back what LayoutHeaderWriter wrote: for each view mode the SetEditedLayout lines between
// its "View Mode" and "End" markers, each named by the class comment above it.
class LayoutHeaderReader {
public:
    // The modes found in the text, indexed by their number; a mode without a block stays empty.
    [[nodiscard]] static LayoutModes Parse(const std::string& text);
    // The file's modes, or nothing when it cannot be read.
    [[nodiscard]] static std::optional<LayoutModes> Read(const std::string& path);
};
