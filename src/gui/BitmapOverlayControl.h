#pragma once

#include "gui/SwitchControl.h"

// A picture laid over the panel while its value is 0.5 or more (the about view). Hidden, it
// keeps only a small off rectangle as its target, so a click there shows it again and the
// rest of the panel stays usable; shown, it covers its whole rectangle and a click or Escape
// hides it.
class BitmapOverlayControl : public SwitchControl {
public:
    BitmapOverlayControl(PluginBase* core, int x, int y, int paramIndex, ImageStrip* strip,
                         const Rect& offRect, const Blend& blend = {});

    void ApplyScale(double factor) override;
    bool Draw(Graphics& graphics) override;
    bool OnKey(int x, int y, int key) override;
    // The area that takes a click follows the value whether the overlay has been drawn or not:
    // until its first draw after the panel is built or zoomed, its target rectangle is still the
    // whole overlay, which would swallow a click anywhere on the panel.
    bool HitTest(int x, int y) const override;

    const Rect& ScaledOffRect() const { return scaledOff_; }

private:
    Rect off_;        // as constructed, at 100 %
    Rect scaledOff_;  // at the current GUI scale
};
