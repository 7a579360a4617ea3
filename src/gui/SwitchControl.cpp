#include "gui/SwitchControl.h"

void SwitchControl::Step() {
    const int frames = strip_ != nullptr ? strip_->frameCount : 1;
    value_ += frames < 2 ? 1.0 : 1.0 / (frames - 1);
    // The slack absorbs the rounding of repeated thirds and the like before the wrap.
    if (value_ > 1.001) value_ = 0.0;
    MarkDirty(true);
}

void SwitchControl::OnPress(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    Step();
}
