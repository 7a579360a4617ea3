#pragma once

#include "gui/EdgeResizing.h"

// The handle on the panel's bottom edge: dragging it changes the panel's height at 100 %.
class VerticalResizing : public EdgeResizing {
public:
    VerticalResizing(PluginBase* core, Graphics* graphics, GuiResize* resize, int thickness);
};
