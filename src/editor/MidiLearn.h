#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "unit/UnitParameters.h"

// Assigns controllers of the keyboard input to the unit's positions. Learning needs a moved
// position and a received controller, in either order; the learned range runs from the
// position's low end to the value it had when it was learned. Assignments live as long as the
// editor: nothing stores them.
class MidiLearn {
public:
    MidiLearn();

    // Parameter 164 on / off, 165, 166.
    void Arm();
    void Disarm() { armed_ = false; }
    void ArmForget(bool on) { forgetArmed_ = on; }
    void ForgetAll();
    // Back to the state of a fresh panel: nothing armed, nothing assigned.
    void Reset();

    struct Outcome {
        bool assigned = false;  // learn finished: parameter 164 goes back to 0
        bool forgot = false;    // forget finished: parameter 165 goes back to 0
    };
    // A unit position moved to value (any change, before the last-value check).
    Outcome PositionMoved(int position, int value);

    // A controller arrived from the keyboard input.
    struct ControllerResult {
        bool assigned = false;  // it completed a learn
        bool takenByLearn = false;
        std::vector<std::pair<int, int>> sets;  // (position, value) for mapped positions
    };
    ControllerResult ControllerMoved(int controller, int value);

    bool Armed() const { return armed_; }
    bool ForgetArmed() const { return forgetArmed_; }
    int ControllerOf(int position) const;
    int LearnTarget() const { return target_; }
    int LowOf(int position) const { return low_[static_cast<size_t>(position)]; }
    int HighOf(int position) const { return high_[static_cast<size_t>(position)]; }

private:
    bool armed_ = false;
    bool forgetArmed_ = false;
    int target_ = -1;
    int controller_ = -1;
    std::array<int, kUnitParamCount> map_{};
    std::array<int, kUnitParamCount> low_{};
    std::array<int, kUnitParamCount> high_{};
};
