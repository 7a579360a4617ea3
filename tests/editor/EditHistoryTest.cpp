#include "editor/EditHistory.h"

#include <gtest/gtest.h>

namespace {

using Source = EditHistory::Source;

UnitValues With(UnitValues values, int position, int value) {
    values[static_cast<size_t>(position)] = value;
    return values;
}

TEST(EditHistory, RunsOnOneControlOrControllerMakeOneStepUntilAPauseOrAnotherOrigin) {
    EditHistory history;
    UnitValues values{};
    history.Reset(values);
    // Wheel steps 100 ms apart on one control: one step, however long the run.
    for (int i = 1; i <= 20; ++i) {
        history.Begin({Source::kPanel, 14}, i * 100, values);
        values = With(values, 11, i);
    }
    // A pause longer than the gap, then the same control: a step of its own.
    history.Begin({Source::kPanel, 14}, 2000 + EditHistory::kRunGapMs, values);
    values = With(values, 11, 30);
    // Another control at once: another step.
    history.Begin({Source::kPanel, 15}, 2000 + EditHistory::kRunGapMs + 1, values);
    values = With(values, 12, 7);
    // A press holds its step open however slow the drag, until it is closed.
    history.Begin({Source::kGesture, 16}, 5000, values);
    values = With(values, 13, 1);
    history.Begin({Source::kGesture, 16}, 60000, values);
    values = With(values, 13, 2);
    EXPECT_TRUE(history.InGesture());
    history.Close(values);
    EXPECT_EQ(history.UndoCount(), 4u);

    EXPECT_EQ(*history.Undo(values), (std::vector<PositionChange>{{13, 2, 0}}));
    EXPECT_EQ(*history.Undo(With(values, 13, 0)), (std::vector<PositionChange>{{12, 7, 0}}));
    EXPECT_EQ(*history.Undo(With(With(values, 13, 0), 12, 0)),
              (std::vector<PositionChange>{{11, 30, 20}}));
}

TEST(EditHistory, KeepsItsDepthOfStepsAndDropsTheOldest) {
    EditHistory history(EditHistory::kDefaultDepth);
    UnitValues values{};
    history.Reset(values);
    const int steps = static_cast<int>(EditHistory::kDefaultDepth) + 5;
    for (int i = 1; i <= steps; ++i) {
        history.Begin({Source::kProgram}, i, values);
        values = With(values, 0, i);
        history.Close(values);
    }
    EXPECT_EQ(history.UndoCount(), EditHistory::kDefaultDepth);
    std::optional<std::vector<PositionChange>> last;
    while (auto step = history.Undo(values)) {
        values = With(values, 0, step->front().after);
        last = step;
    }
    ASSERT_TRUE(last);
    // The first five steps are gone: the oldest one left starts from the fifth value.
    EXPECT_EQ(last->front().after, 5);
    EXPECT_FALSE(history.CanUndo(values));
}

}  // namespace
