#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "editor/OrvoEditor.h"
#include "support/CaptureOutputPort.h"
#include "support/FakeEditorPanel.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ChangeHandler : public ::testing::Test {
protected:
    void SetUp() override {
        auto panel = std::make_unique<FakePanel>();
        panel_ = panel.get();
        editor_.AttachPanel(std::move(panel));
        port_.Clear();
    }

    // Sets a unit position the way a dragged knob does, through its normalised value.
    void Turn(int position, int value) {
        const Parameter& p = *editor_.GetParam(position + 3);
        editor_.SetParameterFromGui(position + 3, (value - p.minimum) / (p.maximum - p.minimum));
    }
    Bytes Sent() {
        Bytes stream = port_.Stream();
        port_.Clear();
        return stream;
    }

    CaptureOutputPort port_;
    uint16_t channel_ = 1;
    OrvoEditor editor_{&port_, &channel_};
    FakePanel* panel_ = nullptr;
};

Bytes Cc(std::initializer_list<std::pair<int, int>> pairs) {
    Bytes bytes;
    for (auto [controller, value] : pairs) {
        bytes.insert(bytes.end(),
                     {0xB0, static_cast<uint8_t>(controller), static_cast<uint8_t>(value)});
    }
    return bytes;
}

}  // namespace

TEST_F(ChangeHandler, KnobBackAndForthSendsEveryChangeAndRepeatsNothing) {
    Turn(0, 5);
    EXPECT_EQ(Sent(), Cc({{0x63, 11}, {0x62, 1}, {0x06, 17}}));
    Turn(0, 6);
    EXPECT_EQ(Sent(), Cc({{0x06, 18}}));
    Turn(0, 5);
    EXPECT_EQ(Sent(), Cc({{0x06, 17}}));
    editor_.SetParameterValue(3, 5.4);
    EXPECT_EQ(Sent(), Bytes{}) << "the same integer value is not sent again";
    Turn(1, -63);
    EXPECT_EQ(Sent(), Cc({{0x62, 2}, {0x06, 0}})) << "same MSB: only the LSB and the value";
    EXPECT_EQ(panel_->texts[1], "-63");
}

TEST_F(ChangeHandler, AddressIsRepeatedAfterTwoQuietTicks) {
    Turn(3, 10);
    Sent();
    editor_.DoCommand(kCommandTick);
    Turn(3, 11);
    EXPECT_EQ(Sent(), Cc({{0x06, 11}})) << "one tick keeps the address";
    editor_.DoCommand(kCommandTick);
    editor_.DoCommand(kCommandTick);
    Turn(3, 12);
    EXPECT_EQ(Sent(), Cc({{0x63, 11}, {0x62, 4}, {0x06, 12}}));
}

TEST_F(ChangeHandler, EffectTypeFromChorusToEqualizerResendsTheEqualizerInABracket) {
    editor_.SetParameterValue(92, 1);
    Sent();
    editor_.SetParameterValue(118, -20);  // "Mid1 Boost", not sent while the chorus is on
    Sent();
    editor_.SetParameterValue(92, 3);
    Bytes expected = Cc({{0x63, 10}, {0x62, 1}, {0x06, 0}, {0x63, 21}, {0x62, 1}, {0x06, 3}});
    // The 14 equalizer positions 108..121: the first with its full address.
    const int values[14] = {0, 0, 0, 0, 0, 0, 10, 0, 0, 10, 0, 0, 0, 0};
    const int offsets[14] = {0, 0, 0, 0, 20, 0, 0, 20, 0, 0, 20, 0, 0, 15};
    for (int k = 0; k < 14; ++k) {
        const int value = (k == 7 ? -20 : values[k]) + offsets[k];
        if (k == 0) {
            const Bytes first = Cc({{0x63, 21}, {0x62, 2}, {0x06, value}});
            expected.insert(expected.end(), first.begin(), first.end());
        } else {
            const Bytes next = Cc({{0x62, 2 + k}, {0x06, value}});
            expected.insert(expected.end(), next.begin(), next.end());
        }
    }
    const Bytes close = Cc({{0x63, 10}, {0x62, 1}, {0x06, 1}});
    expected.insert(expected.end(), close.begin(), close.end());
    EXPECT_EQ(Sent(), expected);
    EXPECT_EQ(panel_->shownEffect, 3);
    EXPECT_EQ(panel_->texts[89], "equalizer");
    EXPECT_EQ(panel_->bandUpdates, 1) << "the graph is redrawn from the parameters";
    Turn(0, 1);
    EXPECT_EQ(Sent(), Cc({{0x63, 11}, {0x62, 1}, {0x06, 13}}));
}

TEST_F(ChangeHandler, EffectOffSendsOnlyTheBracketAndTheType) {
    editor_.SetParameterValue(92, 2);
    Sent();
    editor_.SetParameterValue(92, 0);
    EXPECT_EQ(Sent(), Cc({{0x63, 10},
                          {0x62, 1},
                          {0x06, 0},
                          {0x63, 21},
                          {0x62, 1},
                          {0x06, 0},
                          {0x63, 10},
                          {0x62, 1},
                          {0x06, 1}}));
    EXPECT_EQ(panel_->texts[89], "off");
    EXPECT_EQ(panel_->shownEffect, 0);
}

TEST_F(ChangeHandler, WordsAndTheTwoModulationFrequencyTexts) {
    editor_.SetParameterValue(78, 3);
    EXPECT_EQ(panel_->texts[75], "NTC");
    editor_.SetParameterValue(83, 16);
    EXPECT_EQ(panel_->texts[80], "16");
    editor_.SetParameterValue(83, 0);
    EXPECT_EQ(panel_->texts[80], "OMNI");

    editor_.SetParameterValue(73, 50);
    EXPECT_EQ(panel_->texts[70], "50") << "vintage is off, so the new frequency shows";
    editor_.SetParameterValue(72, 12);
    EXPECT_EQ(panel_->texts[69], "12");
    EXPECT_EQ(panel_->texts[70], "off");
    editor_.SetParameterValue(73, 60);
    EXPECT_EQ(panel_->texts[70], "off");
    editor_.SetParameterValue(72, -1);
    EXPECT_EQ(panel_->texts[69], "off");
    EXPECT_EQ(panel_->texts[70], "60");
}

TEST_F(ChangeHandler, LearnInBothOrdersThenControllersMoveTheirPosition) {
    // Control first, then controller.
    editor_.SetParameterValue(kParamMidiLearn, 1);
    Turn(11, 100);
    editor_.HandleKeyboardMessage({0, 0xB0, 20, 5});
    EXPECT_EQ(editor_.Learn().ControllerOf(11), 20);
    EXPECT_EQ(editor_.GetParam(kParamMidiLearn)->value, 0.0) << "learn disarms itself";
    // Controller first, then control.
    editor_.SetParameterValue(kParamMidiLearn, 1);
    editor_.HandleKeyboardMessage({0, 0xB0, 21, 5});
    Turn(50, 64);
    EXPECT_EQ(editor_.Learn().ControllerOf(50), 21);
    Sent();

    // Controller 20 drives "VCO1 volume" over 0..100, the value it had when learned.
    editor_.HandleKeyboardMessage({0, 0xB0, 20, 127});
    EXPECT_EQ(editor_.GetParam(14)->value, 100.0);
    editor_.HandleKeyboardMessage({0, 0xB0, 20, 64});
    EXPECT_EQ(editor_.GetParam(14)->value, 50.0);
    EXPECT_EQ(Sent(), Cc({{0x63, 11}, {0x62, 12}, {0x06, 50}}))
        << "a learned controller is not passed through; 100 was the value already sent";
    editor_.HandleKeyboardMessage({0, 0xB0, 7, 99});
    EXPECT_EQ(Sent(), Cc({{7, 99}})) << "an unlearned controller goes to the unit";

    editor_.SetParameterValue(kParamMidiForget, 1);
    Turn(11, 90);
    EXPECT_EQ(editor_.Learn().ControllerOf(11), -1);
    editor_.SetParameterValue(kParamMidiForgetAll, 1);
    EXPECT_EQ(editor_.Learn().ControllerOf(50), -1);
}

TEST_F(ChangeHandler, LearnedRangeOfZeroWidthAlwaysSetsTheLowEnd) {
    editor_.SetParameterValue(kParamMidiLearn, 1);
    Turn(76, 7);  // "VCF Q" at its minimum: high equals low
    editor_.HandleKeyboardMessage({0, 0xB0, 30, 0});
    Turn(76, 90);
    editor_.HandleKeyboardMessage({0, 0xB0, 30, 127});
    EXPECT_EQ(editor_.GetParam(79)->value, 7.0);
}

TEST_F(ChangeHandler, DraggedBandArrivesAsTheUnitsParameters) {
    EqBandRecord mid = EqBandFromParams(1, EqParamValues{});
    mid.frequency = 1000.0f;
    mid.gain = -6.2f;
    mid.width = PeakOctaves(55);
    panel_->bands[1] = mid;
    Sent();
    editor_.SetParameterValue(kParamPgEq, 1);
    // log2(1000 / 140) / log2(4800 / 140) * 127 = 70.6
    EXPECT_EQ(IntValue(*editor_.GetParam(116)), 71);
    EXPECT_EQ(IntValue(*editor_.GetParam(117)), 55);
    EXPECT_EQ(IntValue(*editor_.GetParam(118)), -6);
    EXPECT_EQ(
        Sent(),
        Cc({{0x63, 21}, {0x62, 7}, {0x06, 71}, {0x62, 8}, {0x06, 55}, {0x62, 9}, {0x06, 14}}));
    // The same band again is processed again.
    panel_->bands[1].gain = 3.0f;
    editor_.SetParameterValue(kParamPgEq, 1);
    EXPECT_EQ(IntValue(*editor_.GetParam(118)), 3);
}

TEST(EqualizerBands, EveryParameterValueSurvivesTheDisplayAndBack) {
    for (int band = 0; band < kEqBandCount; ++band) {
        const bool shelf = band == 0 || band == 3;
        const int widthLow = shelf ? 0 : 10;
        const int widthHigh = shelf ? 127 : 100;
        for (int frequency = 0; frequency <= 127; ++frequency) {
            for (int width = widthLow; width <= widthHigh; ++width) {
                EqParamValues values{};
                values[static_cast<size_t>(band * 3)] = frequency;
                values[static_cast<size_t>(band * 3 + 1)] = width;
                values[static_cast<size_t>(band * 3 + 2)] = -7;
                const EqBandParams back = EqParamsFromBand(EqBandFromParams(band, values));
                ASSERT_EQ(std::lround(back.frequency), frequency) << band << " " << width;
                ASSERT_EQ(std::lround(back.width), width) << band << " " << frequency;
                ASSERT_EQ(back.gain, -7.0f);
            }
        }
    }
}

TEST(EqualizerBands, BandRecordsCarryTheUnitsRanges) {
    EqParamValues values{};
    values[1] = 127;  // bass slope at its top: the gentlest shelf
    values[4] = 10;   // mid 1 Q at its low end: the widest peak
    const EqBandRecord bass = EqBandFromParams(0, values);
    EXPECT_EQ(bass.type, kEqLowShelf);
    EXPECT_FLOAT_EQ(bass.frequency, 50.0f);
    EXPECT_FLOAT_EQ(bass.width, 4.0f);
    EXPECT_FLOAT_EQ(bass.frequencyHigh, 270.0f);
    const EqBandRecord mid = EqBandFromParams(1, values);
    EXPECT_EQ(mid.type, kEqPeak);
    EXPECT_NEAR(mid.width, 1.38848f, 1e-4f);
    EXPECT_NEAR(PeakOctaves(100), 0.1442f, 1e-4f);
    const EqBandRecord treble = EqBandFromParams(3, values);
    EXPECT_EQ(treble.type, kEqHighShelf);
    EXPECT_FLOAT_EQ(treble.gainLow, -15.0f);
    EXPECT_FLOAT_EQ(treble.width, 10.0f);
    // A shelf dragged past its gentlest slope stops at 0, not below.
    EqBandRecord steep = bass;
    steep.width = 11.0f;
    EXPECT_EQ(EqParamsFromBand(steep).width, 0.0f);
}

TEST_F(ChangeHandler, KeyboardNotesAreTrackedAndPassedOn) {
    editor_.HandleKeyboardMessage({0, 0x90, 60, 100});
    EXPECT_TRUE(editor_.KeyState(60));
    EXPECT_EQ(editor_.HeldNoteCount(), 1);
    editor_.HandleKeyboardMessage({0, 0x90, 60, 0});
    EXPECT_FALSE(editor_.KeyState(60));
    editor_.HandleKeyboardMessage({0, 0x80, 60, 0});
    EXPECT_EQ(editor_.HeldNoteCount(), 0) << "a second release does not count below zero";
    editor_.HandleKeyboardMessage({0, 0xA0, 60, 10});  // pressure: ignored
    editor_.HandleKeyboardMessage({0, 0xF8, 0, 0});    // clock: ignored
    editor_.HandleKeyboardMessage({0, 0xE0, 0, 64});
    EXPECT_EQ(Sent(), (Bytes{0x90, 60, 100, 0x90, 60, 0, 0x80, 60, 0, 0xE0, 0, 64}));
    EXPECT_EQ(panel_->keyboardRedraws, 4);

    panel_->velocity = 0.5;
    editor_.SendNote(48, true);
    editor_.SendNote(48, false);
    editor_.SendNote(-1, true);
    EXPECT_EQ(Sent(), (Bytes{0x90, 48, 64, 0x80, 48, 0}));
}

TEST_F(ChangeHandler, EqualizerViewSwitchesShowAViewOnlyForTheEqualizer) {
    editor_.SetParameterValue(92, 1);
    editor_.SetParameterValue(kParamParametricEqView, 1);
    EXPECT_EQ(panel_->shownEffect, 1) << "the chorus stays in view";
    EXPECT_TRUE(panel_->shownParametric);
    editor_.SetParameterValue(92, 3);
    EXPECT_EQ(panel_->shownEffect, 3);
    EXPECT_TRUE(panel_->shownParametric);
    editor_.SetParameterValue(kParamParagraphicEqView, 1);
    EXPECT_TRUE(panel_->shownGraphic);
    EXPECT_FALSE(panel_->shownParametric);
}

TEST_F(ChangeHandler, LoadAndSaveFromTheMenuOpenTheirChoosers) {
    EXPECT_TRUE(editor_.DoCommand(kCommandLoadProgram));
    EXPECT_EQ(panel_->openedChooser, kParamProgramLoadFile);
    EXPECT_TRUE(editor_.DoCommand(kCommandSaveProgram));
    EXPECT_EQ(panel_->openedChooser, kParamProgramSaveFile);
    EXPECT_TRUE(editor_.DoCommand(kCommandAbout));
    EXPECT_TRUE(panel_->aboutShown);
}

TEST_F(ChangeHandler, SysExOfOtherLengthsChangesNothing) {
    const Bytes nine = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x21, 0x00, 0x01, 0xF7};
    const Bytes twenty(20, 0x55);
    editor_.HandleSysEx({0, 9, nine.data()});
    editor_.HandleSysEx({0, 20, twenty.data()});
    // Bytes of a reply's and a dump's length that do not open with F0 are no system-exclusive
    // message at all.
    Bytes notSysEx = {0x90, 0x00, 0x21, 0x11, 0x02, 0x22, 0xF7};
    editor_.HandleSysEx({0, static_cast<int32_t>(notSysEx.size()), notSysEx.data()});
    Bytes dumpWithoutStart(kProgramMessageSize, 0x41);
    editor_.HandleSysEx(
        {0, static_cast<int32_t>(dumpWithoutStart.size()), dumpWithoutStart.data()});
    EXPECT_EQ(editor_.LastReply(), (std::array<uint8_t, kStatusReplySize>{}));
    EXPECT_EQ(editor_.LastDump()[0], 0);
    const Bytes reply = {0xF0, 0x00, 0x21, 0x11, 0x02, 0x22, 0xF7};
    editor_.HandleSysEx({0, static_cast<int32_t>(reply.size()), reply.data()});
    EXPECT_EQ(editor_.LastReply()[5], 0x22);
    EXPECT_EQ(Sent(), Bytes{});
}

TEST_F(ChangeHandler, SectionSwitchesAreCountedAndCopySourcesExcludeEachOther) {
    editor_.SetParameterValue(SectionSwitchIndex(kSectionVco1), 1);
    editor_.SetParameterValue(SectionSwitchIndex(kSectionEffect), 1);
    EXPECT_EQ(editor_.SelectedSections(), 2);
    editor_.SetParameterValue(SectionSwitchIndex(kSectionVco1), 0);
    EXPECT_EQ(editor_.SelectedSections(), 1);
    editor_.SetParameterValue(kParamSelectAllSections, 1);
    EXPECT_EQ(editor_.SelectedSections(), 8);
    editor_.SetParameterValue(kParamClearAllSections, 1);
    EXPECT_EQ(editor_.SelectedSections(), 0);
    for (int s = 0; s < kSectionCount; ++s)
        EXPECT_EQ(editor_.GetParam(kParamFirstSectionSwitch + s)->value, 0.0);

    editor_.SetParameterValue(145, 1);
    editor_.SetParameterValue(147, 1);
    EXPECT_EQ(editor_.GetParam(145)->value, 0.0);
    EXPECT_EQ(editor_.GetParam(147)->value, 1.0);
}
