#include "gui/KnobMultiControl.h"

#include <mutex>
#include <optional>

#include "gui/ParamText.h"
#include "plugin/PluginBase.h"

KnobMultiControl::KnobMultiControl(PluginBase* core, int x, int y, int paramIndex,
                                   ImageStrip* strip, double gearing, const Blend& blend)
    : BitmapControl(core, x, y, paramIndex, strip, blend), gearing_(gearing) {}

void KnobMultiControl::OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) {
    (void)x;
    (void)y;
    const double gearing = keys.Fine() ? gearing_ * kFineFactor : gearing_;
    if (gearing == 0.0) return;
    if (vertical_) {
        // Top minus bottom is negative, so moving up raises the value.
        const int travel = drawRect_.T - drawRect_.B;
        if (travel == 0) return;
        value_ += static_cast<double>(dy) / travel / gearing;
    } else {
        const int travel = drawRect_.R - drawRect_.L;
        if (travel == 0) return;
        value_ += static_cast<double>(dx) / travel / gearing;
    }
    MarkDirty(true);
}

void KnobMultiControl::OnWheel(int x, int y, const MouseKeys& keys, int steps) {
    (void)x;
    (void)y;
    std::optional<double> moved;
    if (core_ != nullptr && IsBound()) {
        std::lock_guard<std::recursive_mutex> hold(core_->PluginLock());
        if (const Parameter* param = core_->GetParam(paramIndex_))
            moved = NormalizedFor(*param, WheelPlainValue(*param, steps, keys.Fine()));
    }
    value_ = moved ? *moved : value_ + steps * (keys.Fine() ? kFineWheelStep : kWheelStep);
    MarkDirty(true);
}
