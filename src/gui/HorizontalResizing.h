#pragma once

#include "gui/EdgeResizing.h"

// The handle on the panel's right edge: dragging it changes the panel's width at 100 %.
class HorizontalResizing : public EdgeResizing {
public:
    HorizontalResizing(PluginBase* core, Graphics* graphics, GuiResize* resize, int thickness);
};
