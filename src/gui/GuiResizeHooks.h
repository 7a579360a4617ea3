#pragma once

#include "gui/Rect.h"

class Graphics;

// What the graphics core asks of the panel's resize control: the panel's zoom, which only the
// resize control holds, and while its grip is dragged the controls are not drawn and the resize
// control paints the whole panel instead.
class GuiResizeHooks {
public:
    virtual ~GuiResizeHooks() = default;
    virtual double Scale() const = 0;
    virtual bool ResizeDragInProgress() const = 0;
    virtual void DrawDuringResize(Graphics& graphics, const Rect& panel) = 0;
};
