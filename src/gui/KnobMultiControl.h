#pragma once

#include "gui/BitmapControl.h"

// A knob or slider: dragging one control height (or width) changes the value by 1 / gearing,
// ten times finer with Shift or Ctrl. A notch of the wheel moves its parameter by an even step
// (WheelPlainValue), finer with Shift or Ctrl; unbound, by 0.01 of the travel, 0.001 when fine.
class KnobMultiControl : public BitmapControl {
public:
    KnobMultiControl(PluginBase* core, int x, int y, int paramIndex, ImageStrip* strip,
                     double gearing, const Blend& blend = {});

    void OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) override;
    void OnWheel(int x, int y, const MouseKeys& keys, int steps) override;

    void SetVertical(bool vertical) { vertical_ = vertical; }
    double Gearing() const { return gearing_; }

    static constexpr double kFineFactor = 10.0;
    static constexpr double kWheelStep = 0.01;
    static constexpr double kFineWheelStep = 0.001;

private:
    double gearing_;
    bool vertical_ = true;
};
