#pragma once

#include "gui/Control.h"
#include "gui/ImageStrip.h"

// A control drawn as one frame of an image strip, chosen by its value: frame 1 at 0, frame N at
// 1. Its rectangle is one frame of the strip placed at (x, y).
class BitmapControl : public Control {
public:
    BitmapControl(PluginBase* core, int x, int y, int paramIndex, ImageStrip* strip,
                  const Blend& blend = {});
    // The whole strip at the panel's origin, unbound: a background picture.
    BitmapControl(PluginBase* core, ImageStrip* strip);

    bool Draw(Graphics& graphics) override;

    // 1-based frame for the current value.
    int FrameForValue() const;
    ImageStrip* Strip() const { return strip_; }

protected:
    static Rect FrameRect(int x, int y, const ImageStrip* strip);

    ImageStrip* strip_;
};
