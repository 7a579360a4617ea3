#pragma once

#include "gui/Control.h"

class GuiResize;

// A handle along one edge of the panel that changes the panel's width or height at 100 % when
// dragged. The resize control places it; this editor keeps both handles hidden.
class EdgeResizing : public Control {
public:
    void OnHover(int x, int y, const MouseKeys& keys) override;
    void OnLeave() override;
    void OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) override;
    bool Draw(Graphics& graphics) override;

    int Thickness() const { return thickness_; }

protected:
    // cursorShape: the pointer shown while hovering; horizontal: whether a drag sets the width.
    EdgeResizing(PluginBase* core, Graphics* graphics, GuiResize* resize, int thickness,
                 int cursorShape, bool horizontal);

private:
    void SetPointer(int shape);

    Graphics* graphics_;
    GuiResize* resize_;
    int thickness_;
    int cursorShape_;
    bool horizontal_;
};
