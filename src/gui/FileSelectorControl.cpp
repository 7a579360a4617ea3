#include "gui/FileSelectorControl.h"

#include "gui/Graphics.h"

FileSelectorControl::FileSelectorControl(PluginBase* core, const Rect& rect, int paramIndex,
                                         ImageStrip* strip, int action,
                                         const std::string& extensions)
    : BitmapControl(core, rect.L, rect.T, paramIndex, strip),
      action_(action),
      extensions_(extensions) {
    drawRect_ = rect;
    targetRect_ = rect;
}

void FileSelectorControl::OnPress(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    Graphics* graphics = GraphicsCore();
    if (graphics == nullptr) return;
    state_ = kChoosing;
    MarkDirty(false);
    graphics->PromptForFileName(fileName_, action_, folder_, extensions_);
    value_ += 1.0;
    if (value_ > 1.0) value_ = 0.0;
    state_ = kJustChosen;
    MarkDirty(true);
}

bool FileSelectorControl::NeedsRedraw() {
    if (dirty_) return true;
    if (state_ == kJustChosen) {
        state_ = kIdle;
        return true;
    }
    return false;
}

bool FileSelectorControl::Draw(Graphics& graphics) {
    if (state_ != kChoosing) return true;
    return graphics.DrawFrame(strip_, drawRect_, 1, nullptr);
}
