#include "gui/BitmapControl.h"

#include <algorithm>
#include <cmath>

#include "gui/Graphics.h"

Rect BitmapControl::FrameRect(int x, int y, const ImageStrip* strip) {
    if (strip == nullptr) return {x, y, x, y};
    return {x, y, x + strip->FrameWidth(), y + strip->FrameHeight()};
}

BitmapControl::BitmapControl(PluginBase* core, int x, int y, int paramIndex, ImageStrip* strip,
                             const Blend& blend)
    : Control(core, FrameRect(x, y, strip), paramIndex, blend), strip_(strip) {}

BitmapControl::BitmapControl(PluginBase* core, ImageStrip* strip)
    : BitmapControl(core, 0, 0, -1, strip) {}

int BitmapControl::FrameForValue() const {
    const int frames = strip_ != nullptr ? strip_->frameCount : 1;
    if (frames < 2) return 1;
    const int frame = static_cast<int>(std::floor((frames - 1) * value_ + 0.5)) + 1;
    return std::clamp(frame, 1, frames);
}

bool BitmapControl::Draw(Graphics& graphics) {
    return graphics.DrawFrame(strip_, drawRect_, FrameForValue(), &blend_);
}
