#pragma once

#include <string>

#include "gui/LayoutEntry.h"

// The source header that reproduces an edited panel layout: a class PanelLayout whose
// SetDefaultViewLayout places and layers the controls of the default view, and whose
// SetGUIResizeLayout hands every view mode's layout to the resize control. The panel's own code
// includes it after a rebuild; the layout editor reads it back at its first activation.
class LayoutHeaderWriter {
public:
    static constexpr const char* kFileName = "PanelLayout.h";

    // The header's text for the layouts, each mode's entries in any order.
    [[nodiscard]] static std::string Text(const LayoutModes& modes);
    // Replaces the file at path with the text at once (never half written); false when it could
    // not be written.
    [[nodiscard]] static bool Write(const std::string& path, const LayoutModes& modes);
};
