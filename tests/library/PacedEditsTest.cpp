// The editor's live edits through the outlet's pacer, in front of a model of a port's output
// buffer on a clock the test moves: RANDOM on every section and a fast drag lose nothing, and
// the unit ends where it would had every message reached it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "editor/OrvoEditor.h"
#include "midi/MidiOutlet.h"
#include "support/EditorWithLibrarian.h"
#include "support/PortBufferModel.h"
#include "unit/UnitParameters.h"
#include "unit/VirtualOrvo.h"

namespace {
using std::chrono::microseconds;
using std::chrono::milliseconds;

// Every message reaches a unit straight away, and goes through the pacer to the buffer model.
class PacedAndWholePort : public MidiOutputPort {
public:
    explicit PacedAndWholePort(const SysExPacing& pacing) : paced_(pacing) {}
    void SendMessage(const uint8_t* bytes, size_t size) override {
        whole_.Feed(bytes, size, 0);
        paced_.SendMessage(bytes, size);
    }
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        whole_.Feed(bytes, size, 0);
        paced_.SendLongMessage(bytes, size, progress);
    }
    PacedPortModel& Paced() { return paced_; }
    const VirtualOrvo& Whole() const { return whole_; }

private:
    VirtualOrvo whole_;
    PacedPortModel paced_;
};

class PacedEditsFromTheEditor : public ::testing::Test {
protected:
    // The unit as the cable leaves it: what got through the buffer.
    VirtualOrvo UnitAfterTheCable() {
        port_.Paced().RunUntilEmpty();
        VirtualOrvo unit;
        const std::vector<uint8_t>& stream = port_.Paced().Buffer().Delivered();
        unit.Feed(stream.data(), stream.size(), 0);
        return unit;
    }
    void Press(int index) {
        rig_.editor.SetParameterValue(index, 1.0);
        rig_.editor.SetParameterValue(index, 0.0);
    }

    PacedAndWholePort port_{MidiOutlet::PacingFor(MidiBackend::Alsa)};
    EditorWithLibrarian rig_{port_};
};

// The position whose range is widest, for a drag that sends as many values as can be.
int WidestPosition() {
    int widest = 0;
    for (int position = 0; position < kUnitParamCount; ++position) {
        const UnitParameter* p = UnitParameterAt(position);
        const UnitParameter* w = UnitParameterAt(widest);
        if (p->maximum - p->minimum > w->maximum - w->minimum) widest = position;
    }
    return widest;
}
}  // namespace

TEST_F(PacedEditsFromTheEditor, RandomOnEverySectionDropsNothingAndLeavesTheUnitAsTheEditor) {
    rig_.editor.SetParameterValue(kParamSelectAllSections, 1.0);
    for (int round = 0; round < 10; ++round) {
        Press(kParamSectionRandom);
        port_.Paced().Advance(milliseconds(20));
    }
    const VirtualOrvo unit = UnitAfterTheCable();
    EXPECT_EQ(port_.Paced().Buffer().Dropped(), 0u);
    EXPECT_GT(port_.Paced().Buffer().Delivered().size(), 2000u) << "RANDOM sent little";
    EXPECT_EQ(unit.EditBuffer(), port_.Whole().EditBuffer());
    for (int position = 0; position < kUnitParamCount; ++position) {
        if (OverlayEffect(position) != kEffectOff &&
            OverlayEffect(position) != unit.EditValue(kEffectTypePosition)) {
            continue;
        }
        EXPECT_EQ(unit.EditValue(position),
                  IntValue(*rig_.editor.GetParam(position + kFirstUnitParamIndex)))
            << UnitParameterAt(position)->name;
    }
}

TEST_F(PacedEditsFromTheEditor, ATwoSecondFullRangeDragNeverBacksUpAndItsLastValueArrivesAtOnce) {
    const int position = WidestPosition();
    const int index = position + kFirstUnitParamIndex;
    port_.Paced().RunUntilEmpty();
    size_t mostWaiting = 0;
    auto lastChange = port_.Paced().Now();
    // Down and up over the whole range, one mouse move a millisecond.
    constexpr int kMoves = 2000;
    for (int move = 0; move <= kMoves; ++move) {
        const double along = move <= kMoves / 2 ? 1.0 - 2.0 * move / kMoves
                                                : 2.0 * (move - kMoves / 2) / kMoves * 0.7;
        const int before = IntValue(*rig_.editor.GetParam(index));
        rig_.editor.SetParameterFromGui(index, along);
        if (IntValue(*rig_.editor.GetParam(index)) != before) lastChange = port_.Paced().Now();
        mostWaiting = std::max(mostWaiting, port_.Paced().Pacer().PendingBytes());
        port_.Paced().Advance(milliseconds(1));
    }
    const VirtualOrvo unit = UnitAfterTheCable();
    EXPECT_EQ(port_.Paced().Buffer().Dropped(), 0u);
    EXPECT_LE(mostWaiting, 9u) << "one change of the dragged parameter waits at most";
    EXPECT_EQ(unit.EditValue(position), IntValue(*rig_.editor.GetParam(index)));
    EXPECT_EQ(unit.EditBuffer(), port_.Whole().EditBuffer());
    // The last value waits behind at most the message on its way; on the cable, three control
    // changes take 3 ms.
    const double late =
        std::chrono::duration<double, std::milli>(port_.Paced().Buffer().EmptyAt() - lastChange)
            .count();
    EXPECT_LT(late, 12.0);
    EXPECT_GT(late, 0.0);
    std::printf("the drag's last value was on the cable %.1f ms after the move that set it\n",
                late);
}
