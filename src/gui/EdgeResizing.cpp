#include "gui/EdgeResizing.h"

#include "gui/Graphics.h"
#include "gui/GuiResize.h"
#include "gui/PanelKeys.h"

EdgeResizing::EdgeResizing(PluginBase* core, Graphics* graphics, GuiResize* resize, int thickness,
                           int cursorShape, bool horizontal)
    : Control(core, {}, -1),
      graphics_(graphics),
      resize_(resize),
      thickness_(thickness),
      cursorShape_(cursorShape),
      horizontal_(horizontal) {
    if (graphics_ != nullptr) {
        graphics_->SetHandleMouseOver(true);
        const int width = graphics_->Width(), height = graphics_->Height();
        const Rect edge = horizontal_ ? Rect{width - thickness_, 0, width, height}
                                      : Rect{0, height - thickness_, width, height};
        SetDrawRECT(edge);
        SetTargetRECT(edge);
    }
}

void EdgeResizing::SetPointer(int shape) {
    if (graphics_ != nullptr) graphics_->SetCursorShape(shape);
}

void EdgeResizing::OnHover(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    SetPointer(cursorShape_);
}

void EdgeResizing::OnLeave() {
    SetPointer(kCursorArrow);
}

void EdgeResizing::OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) {
    (void)dx;
    (void)dy;
    (void)keys;
    if (resize_ == nullptr) return;
    if (horizontal_) {
        resize_->DragBaseWidth(x);
    } else {
        resize_->DragBaseHeight(y);
    }
}

bool EdgeResizing::Draw(Graphics& graphics) {
    (void)graphics;
    return true;
}
