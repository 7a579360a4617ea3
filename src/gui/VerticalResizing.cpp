#include "gui/VerticalResizing.h"

#include "gui/PanelKeys.h"

VerticalResizing::VerticalResizing(PluginBase* core, Graphics* graphics, GuiResize* resize,
                                   int thickness)
    : EdgeResizing(core, graphics, resize, thickness, kCursorResizeVertical, false) {}
