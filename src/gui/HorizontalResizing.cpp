#include "gui/HorizontalResizing.h"

#include "gui/PanelKeys.h"

HorizontalResizing::HorizontalResizing(PluginBase* core, Graphics* graphics, GuiResize* resize,
                                       int thickness)
    : EdgeResizing(core, graphics, resize, thickness, kCursorResizeHorizontal, true) {}
