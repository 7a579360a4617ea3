#include "gui/BitmapOverlayControl.h"

#include "gui/Graphics.h"

BitmapOverlayControl::BitmapOverlayControl(PluginBase* core, int x, int y, int paramIndex,
                                           ImageStrip* strip, const Rect& offRect,
                                           const Blend& blend)
    : SwitchControl(core, x, y, paramIndex, strip, blend), off_(offRect), scaledOff_(offRect) {}

void BitmapOverlayControl::ApplyScale(double factor) {
    scaledOff_ = {static_cast<int32_t>(off_.L * factor), static_cast<int32_t>(off_.T * factor),
                  static_cast<int32_t>(off_.R * factor), static_cast<int32_t>(off_.B * factor)};
}

bool BitmapOverlayControl::Draw(Graphics& graphics) {
    if (value_ < 0.5) {
        targetRect_ = scaledOff_;
        return true;
    }
    targetRect_ = drawRect_;
    return graphics.DrawFrame(strip_, drawRect_, FrameForValue(), &blend_);
}

bool BitmapOverlayControl::HitTest(int x, int y) const {
    const Rect& area = value_ < 0.5 ? scaledOff_ : drawRect_;
    return !area.IsEmpty() && area.Contains(x, y);
}

bool BitmapOverlayControl::OnKey(int x, int y, int key) {
    (void)x;
    (void)y;
    if (key != kKeyEscape || value_ < 0.5) return false;
    value_ = 0.0;
    MarkDirty(true);
    redrawAgain_ = true;
    return true;
}
