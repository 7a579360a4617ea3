#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "unit/UnitParameters.h"

// Assigns controllers of the keyboard input to the unit's positions. Learning needs a moved
// position and a received controller, in either order; the learned range runs from the
// position's low end to the value it had when it was learned. One controller may drive several
// positions; a position follows one controller. The editor keeps the assignments in its
// settings file (ControllerMapSetting).
class MidiLearn {
public:
    // One position's controller and the range it drives the position through.
    struct Assignment {
        int position = 0;
        int controller = 0;
        int low = 0;
        int high = 0;
        bool operator==(const Assignment&) const = default;
    };

    MidiLearn();

    // Parameter 164 on / off, 165, 166.
    void Arm();
    void Disarm() { armed_ = false; }
    void ArmForget(bool on) { forgetArmed_ = on; }
    void ForgetAll();
    // Learn for one position named from the panel: the next controller is assigned to it, with
    // value as the top of its range (unless another position moves first).
    void ArmFor(int position, int value);
    // Drops the position's controller; false when it had none.
    bool Forget(int position);
    // Every assignment, in position order.
    std::vector<Assignment> Assignments() const;
    // Takes kept assignments back; entries outside the positions, the controllers or the
    // position's range are left out. The low end is always the position's own.
    void Restore(const std::vector<Assignment>& assignments);
    // Counts the changes of the assignments and their ranges, so that readers which show or
    // keep them act only when they changed.
    unsigned Changes() const { return changes_; }
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
    // The controller received while armed, or -1.
    int LearnController() const { return controller_; }
    int LowOf(int position) const { return low_[static_cast<size_t>(position)]; }
    int HighOf(int position) const { return high_[static_cast<size_t>(position)]; }

private:
    bool armed_ = false;
    bool forgetArmed_ = false;
    int target_ = -1;
    int controller_ = -1;
    unsigned changes_ = 0;
    std::array<int, kUnitParamCount> map_{};
    std::array<int, kUnitParamCount> low_{};
    std::array<int, kUnitParamCount> high_{};
};
