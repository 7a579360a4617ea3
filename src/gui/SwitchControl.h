#pragma once

#include "gui/BitmapControl.h"

// A switch that steps through its strip's frames on every press and wraps to the first.
class SwitchControl : public BitmapControl {
public:
    using BitmapControl::BitmapControl;

    void OnPress(int x, int y, const MouseKeys& keys) override;
    void OnDoubleClick(int x, int y, const MouseKeys& keys) override { OnPress(x, y, keys); }

protected:
    // One frame further; past the last frame back to 0.
    void Step();
};
