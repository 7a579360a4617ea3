#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "unit/UnitParameters.h"

// The integer value of each of the unit's positions 0..121.
using UnitValues = std::array<int, kUnitParamCount>;

// One position's change in an edit step.
struct PositionChange {
    int position = 0;
    int before = 0;
    int after = 0;
    bool operator==(const PositionChange&) const = default;
};

// The edits of the unit's parameters as steps that can be taken back and done again. A step is
// the difference between the values before and after one group of edits: a drag from mouse down
// to mouse up, a run of wheel steps or typed values on one control, a learned controller's
// flood, a loaded program or a section operation. Groups are opened by the editor as edits
// arrive and recorded when the next group begins or the history is asked for a step; what
// changed in between, however it came about (effect overlays, equalizer bands), lands in the
// step. The history keeps at most its depth of steps and lives as long as the editor; the
// editor calls it under the plug-in lock only.
class EditHistory {
public:
    static constexpr size_t kDefaultDepth = 1000;
    // Wheel steps, typed values and controller messages closer together than this on the same
    // control or controller make one step.
    static constexpr int64_t kRunGapMs = 600;

    // Where an edit comes from; key is the parameter index, the controller number, or unused.
    enum class Source : int { kGesture, kPanel, kController, kProgram };
    struct Origin {
        Source source = Source::kPanel;
        int key = -1;
        bool operator==(const Origin&) const = default;
    };

    explicit EditHistory(size_t depth = kDefaultDepth);

    // Forgets every step; values become the state the next step starts from.
    void Reset(const UnitValues& values);

    // An edit from origin begins at nowMs, current being the values before it. It continues
    // the open group when that came from the same origin: a gesture until it ends, a run while
    // its edits are less than kRunGapMs apart. Otherwise the open group is recorded first.
    void Begin(const Origin& origin, int64_t nowMs, const UnitValues& current);
    // Records the open group as a step, if it changed anything, and closes it.
    void Close(const UnitValues& current);
    // True while a gesture's group is open.
    bool InGesture() const;

    [[nodiscard]] bool CanUndo(const UnitValues& current) const;
    // An edit since the last undo forgets what was undone, so redo needs the values as undo
    // left them.
    [[nodiscard]] bool CanRedo(const UnitValues& current) const {
        return !redo_.empty() && current == recorded_;
    }
    // Closes the open group, then takes the last step back: the changes to make, each from its
    // after value to its before value, in position order. Nothing when there is no step.
    [[nodiscard]] std::optional<std::vector<PositionChange>> Undo(const UnitValues& current);
    // Closes the open group, then does the last undone step again (changes from before to
    // after). A new step forgets every undone one, so nothing then.
    [[nodiscard]] std::optional<std::vector<PositionChange>> Redo(const UnitValues& current);

    size_t UndoCount() const { return undo_.size(); }
    size_t RedoCount() const { return redo_.size(); }
    size_t Depth() const { return depth_; }
    const UnitValues& Recorded() const { return recorded_; }

private:
    using Step = std::vector<PositionChange>;

    bool Continues(const Origin& origin, int64_t nowMs) const;

    size_t depth_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    UnitValues recorded_{};
    std::optional<Origin> open_;
    int64_t lastEditMs_ = 0;
};
