#include "editor/MidiLearn.h"

#include <cmath>

MidiLearn::MidiLearn() {
    for (int p = 0; p < kUnitParamCount; ++p) {
        low_[static_cast<size_t>(p)] = IsPwmLfoFrequency(p) ? 0 : PositionMinimum(p);
    }
    Reset();
}

void MidiLearn::Reset() {
    armed_ = false;
    forgetArmed_ = false;
    target_ = -1;
    controller_ = -1;
    map_.fill(-1);
    for (int p = 0; p < kUnitParamCount; ++p)
        high_[static_cast<size_t>(p)] = PositionMaximum(p);
}

void MidiLearn::Arm() {
    armed_ = true;
    target_ = -1;
    controller_ = -1;
}

void MidiLearn::ForgetAll() {
    map_.fill(-1);
}

int MidiLearn::ControllerOf(int position) const {
    if (position < 0 || position >= kUnitParamCount) return -1;
    return map_[static_cast<size_t>(position)];
}

MidiLearn::Outcome MidiLearn::PositionMoved(int position, int value) {
    Outcome outcome;
    if (position < 0 || position >= kUnitParamCount) return outcome;
    const size_t p = static_cast<size_t>(position);
    if (armed_) {
        target_ = position;
        high_[p] = value;
        if (controller_ >= 0) {
            map_[p] = controller_;
            armed_ = false;
            outcome.assigned = true;
        }
    }
    if (forgetArmed_) {
        target_ = position;
        map_[p] = -1;
        forgetArmed_ = false;
        outcome.forgot = true;
    }
    return outcome;
}

MidiLearn::ControllerResult MidiLearn::ControllerMoved(int controller, int value) {
    ControllerResult result;
    if (armed_) {
        result.takenByLearn = true;
        controller_ = controller;
        if (target_ >= 0) {
            map_[static_cast<size_t>(target_)] = controller;
            armed_ = false;
            result.assigned = true;
        }
        return result;
    }
    for (int p = 0; p < kUnitParamCount; ++p) {
        if (map_[static_cast<size_t>(p)] != controller) continue;
        const double low = low_[static_cast<size_t>(p)];
        const double high = high_[static_cast<size_t>(p)];
        const int scaled = static_cast<int>(std::floor(value / 127.0 * (high - low) + low));
        result.sets.emplace_back(p, scaled);
    }
    return result;
}
