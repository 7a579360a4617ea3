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
    ++changes_;
}

void MidiLearn::Arm() {
    armed_ = true;
    target_ = -1;
    controller_ = -1;
}

void MidiLearn::ForgetAll() {
    map_.fill(-1);
    ++changes_;
}

void MidiLearn::ArmFor(int position, int value) {
    Arm();
    if (position < 0 || position >= kUnitParamCount) return;
    target_ = position;
    high_[static_cast<size_t>(position)] = value;
    ++changes_;
}

bool MidiLearn::Forget(int position) {
    if (ControllerOf(position) < 0) return false;
    map_[static_cast<size_t>(position)] = -1;
    ++changes_;
    return true;
}

std::vector<MidiLearn::Assignment> MidiLearn::Assignments() const {
    std::vector<Assignment> assignments;
    for (int p = 0; p < kUnitParamCount; ++p) {
        const size_t i = static_cast<size_t>(p);
        if (map_[i] >= 0) assignments.push_back({p, map_[i], low_[i], high_[i]});
    }
    return assignments;
}

void MidiLearn::Restore(const std::vector<Assignment>& assignments) {
    for (const Assignment& kept : assignments) {
        const int p = kept.position;
        if (p < 0 || p >= kUnitParamCount || kept.controller < 0 || kept.controller > 127) continue;
        if (kept.high < PositionMinimum(p) || kept.high > PositionMaximum(p)) continue;
        map_[static_cast<size_t>(p)] = kept.controller;
        high_[static_cast<size_t>(p)] = kept.high;
    }
    ++changes_;
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
        ++changes_;
        if (controller_ >= 0) {
            map_[p] = controller_;
            armed_ = false;
            outcome.assigned = true;
        }
    }
    if (forgetArmed_) {
        target_ = position;
        map_[p] = -1;
        ++changes_;
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
            ++changes_;
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
