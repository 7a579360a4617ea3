// Undo, redo, compare and typed values on the editor's own panel, checked on the virtual unit's
// edit buffer: what the history gives back must be what the unit then holds.
#include <gtest/gtest.h>

#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/HeadlessGraphics.h"
#include "gui/TextControl.h"
#include "library/Librarian.h"
#include "support/HeadlessEditor.h"
#include "support/PanelMouse.h"
#include "support/SimOutputPort.h"
#include "unit/VirtualOrvo.h"

namespace {

constexpr int kVco1Volume = 11;
constexpr int kVco1Coarse = 0;
constexpr int kVcfType = 75;

class EditHistoryOnUnit : public ::testing::Test {
protected:
    void SetUp() override {
        editor_.SetEditClock([this] { return nowMs_; });
        Redraw();
    }
    void Redraw() {
        Rect dirty;
        if (graphics_->CollectDirty(dirty)) graphics_->DrawDirty(dirty);
    }
    int Value(int position) const { return IntValue(*editor_.GetParam(position + 3)); }
    std::pair<int, int> Reach(int position) const {
        return ReachPosition(*graphics_, *panel_, position);
    }
    void RightClick(int position) { RightClickPosition(*graphics_, *panel_, position); }
    // A drag on a fader's cap: steps moves of one pixel up, one drag event each.
    void DragUp(int position, int steps) {
        auto [x, y] = Reach(position);
        graphics_->MouseDown(x, y, MouseKeys{true});
        for (int i = 0; i < steps; ++i)
            graphics_->MouseDrag(x, --y, MouseKeys{true});
        graphics_->MouseUp(x, y, MouseKeys{true});
        Redraw();
    }
    void PressRandom() {
        const int hit = graphics_->HitControl(775, 755);
        ASSERT_EQ(graphics_->GetControl(hit)->ParamIndex(), kParamSectionRandom);
        graphics_->MouseDown(775, 755, MouseKeys{true});
        graphics_->MouseUp(775, 755, MouseKeys{true});
    }
    Librarian& Programs() { return *static_cast<Librarian*>(editor_.Programs()); }

    VirtualOrvo unit_;
    SimOutputPort port_{unit_};
    uint16_t channel_ = 1;
    HeadlessEditor made_{&port_, &channel_};
    OrvoEditor& editor_ = *made_.editor;
    HeadlessGraphics* graphics_ = made_.graphics;
    OrvoPanel* panel_ = static_cast<OrvoPanel*>(editor_.Panel());
    int64_t nowMs_ = 0;
};

TEST_F(EditHistoryOnUnit, RandomSectionUndoesAndRedoesWithTheChangedValuesAlone) {
    Programs().Random().Seed(7);
    editor_.SetParameterValue(SectionSwitchIndex(kSectionVco1), 1.0);
    const auto before = unit_.EditBuffer();
    PressRandom();
    const auto after = unit_.EditBuffer();
    int changed = 0;
    for (size_t p = 0; p < before.size(); ++p)
        changed += before[p] != after[p] ? 1 : 0;
    ASSERT_GT(changed, 1);

    const SimCounters counted = unit_.Counters();
    EXPECT_TRUE(editor_.DoCommand(kCommandUndo));
    EXPECT_EQ(unit_.EditBuffer(), before);
    EXPECT_EQ(unit_.Counters().parameterChanges - counted.parameterChanges, changed);
    EXPECT_EQ(unit_.Counters().bracketsOpened - counted.bracketsOpened, 1);
    EXPECT_FALSE(unit_.InUpdate());
    EXPECT_FALSE(editor_.CanUndo());

    EXPECT_TRUE(editor_.DoCommand(kCommandRedo));
    EXPECT_EQ(unit_.EditBuffer(), after);
    EXPECT_FALSE(editor_.CanRedo());
}

TEST_F(EditHistoryOnUnit, AnEffectDrawnAnewComesBackWithItsOverlay) {
    Programs().Random().Seed(3);
    editor_.SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectChorus);
    editor_.ResetHistory();
    editor_.SetParameterValue(SectionSwitchIndex(kSectionEffect), 1.0);
    const auto before = unit_.EditBuffer();
    PressRandom();
    const auto after = unit_.EditBuffer();
    ASSERT_NE(editor_.EffectType(), kEffectChorus) << "the seed must draw another effect";

    EXPECT_TRUE(editor_.Undo());
    EXPECT_EQ(unit_.EditBuffer(), before);
    EXPECT_EQ(editor_.EffectType(), kEffectChorus);
    EXPECT_TRUE(editor_.Redo());
    EXPECT_EQ(unit_.EditBuffer(), after);
}

TEST_F(EditHistoryOnUnit, ADragOfFortyStepsUndoesInOneStep) {
    const int start = Value(kVco1Volume);
    DragUp(kVco1Volume, 40);
    ASSERT_GE(Value(kVco1Volume), start + 20);
    EXPECT_EQ(unit_.EditValue(kVco1Volume), Value(kVco1Volume));

    EXPECT_TRUE(editor_.Undo());
    EXPECT_EQ(Value(kVco1Volume), start);
    EXPECT_EQ(unit_.EditValue(kVco1Volume), start);
    EXPECT_FALSE(editor_.CanUndo());
}

TEST_F(EditHistoryOnUnit, CompareTwiceReturnsToTheEditedProgramByteForByte) {
    EXPECT_FALSE(editor_.CanCompare()) << "nothing edited yet";
    DragUp(kVco1Volume, 30);
    graphics_->AnswerMenuWith(kEffectEqualizer);
    RightClick(kEffectTypePosition);
    ASSERT_EQ(editor_.EffectType(), kEffectEqualizer);
    const auto edited = unit_.EditBuffer();
    const int editedVolume = Value(kVco1Volume);

    ASSERT_TRUE(editor_.DoCommand(kCommandCompare));
    EXPECT_TRUE(editor_.Comparing());
    EXPECT_EQ(unit_.EditValue(kEffectTypePosition), kEffectOff);
    EXPECT_LT(unit_.EditValue(kVco1Volume), editedVolume);
    EXPECT_FALSE(panel_->CompareCaption()->IsHidden());
    EXPECT_TRUE(editor_.DoCommand(kCommandCompare));
    EXPECT_FALSE(editor_.Comparing());
    EXPECT_TRUE(panel_->CompareCaption()->IsHidden());
    EXPECT_EQ(unit_.EditBuffer(), edited);

    // Editing while the original plays brings the edited program back first.
    ASSERT_TRUE(editor_.ToggleCompare());
    const auto [x, y] = Reach(kVco1Volume);
    graphics_->MouseDown(x, y, MouseKeys{true});
    EXPECT_FALSE(editor_.Comparing());
    EXPECT_EQ(unit_.EditBuffer(), edited);
    graphics_->MouseUp(x, y, MouseKeys{true});
    // Nothing of compare went into the history: two edits, two steps.
    EXPECT_TRUE(editor_.Undo());
    EXPECT_TRUE(editor_.Undo());
    EXPECT_FALSE(editor_.Undo());
    EXPECT_EQ(Value(kVco1Volume), unit_.EditValue(kVco1Volume));
}

TEST_F(EditHistoryOnUnit, ALearnedControllersFloodIsOneStep) {
    editor_.SetParameterValue(kParamMidiLearn, 1.0);
    editor_.SetParameterValue(ParamIndexOfPosition(kVco1Volume), 100.0);
    editor_.HandleKeyboardMessage({0, 0xB0, 20, 0});
    ASSERT_EQ(editor_.Learn().ControllerOf(kVco1Volume), 20);
    const int start = Value(kVco1Volume);

    auto flood = [this](int from) {
        for (int v = from; v < from + 60; ++v) {
            nowMs_ += 5;
            editor_.HandleKeyboardMessage({0, 0xB0, 20, static_cast<uint8_t>(v)});
        }
    };
    flood(0);
    const int afterFirst = Value(kVco1Volume);
    nowMs_ += 2000;
    flood(60);
    ASSERT_NE(Value(kVco1Volume), afterFirst);

    EXPECT_TRUE(editor_.Undo());
    EXPECT_EQ(unit_.EditValue(kVco1Volume), afterFirst);
    EXPECT_TRUE(editor_.Undo());
    EXPECT_EQ(Value(kVco1Volume), start);
    EXPECT_EQ(unit_.EditValue(kVco1Volume), start);
}

TEST_F(EditHistoryOnUnit, TypedValuesAreTakenInRangeAndRefusedOutsideIt) {
    graphics_->AnswerMenuWith(0);  // "Enter value..."
    RightClick(kVco1Coarse);
    ASSERT_EQ(graphics_->Entries().size(), 1u);
    const HeadlessGraphics::EntryRequest entry = graphics_->Entries()[0];
    EXPECT_EQ(entry.text, std::to_string(Value(kVco1Coarse)));

    const int sent = unit_.Counters().parameterChanges;
    // Each refusal is said beside the entry, naming the control as the panel labels it; no
    // message box follows.
    const struct {
        const char* text;
        const char* refusal;
    } refused[] = {
        {"49", "49 is out of range.\nVCO 1 COARSE takes values from -12 to 48."},
        {"-13", "-13 is out of range.\nVCO 1 COARSE takes values from -12 to 48."},
        {"", "Please enter a number.\nVCO 1 COARSE takes values from -12 to 48."},
    };
    for (const auto& r : refused) {
        std::string refusal;
        EXPECT_FALSE(graphics_->CommitEntryText(entry.control, entry.param, r.text, &refusal));
        EXPECT_EQ(refusal, r.refusal);
        EXPECT_EQ(Value(kVco1Coarse), 0) << r.text;
    }
    EXPECT_EQ(unit_.Counters().parameterChanges, sent);
    editor_.ShowReports();
    EXPECT_TRUE(graphics_->Messages().empty());
    // A letter, refused as it is typed, is explained the same way.
    EXPECT_EQ(graphics_->EntryRefusal(entry.control, "x"),
              "Please enter a number.\nVCO 1 COARSE takes values from -12 to 48.");

    graphics_->CommitEntryText(entry.control, entry.param, "-12");
    EXPECT_EQ(unit_.EditValue(kVco1Coarse), -12);

    // A worded parameter offers its words.
    graphics_->AnswerMenuWith(3);
    RightClick(kVcfType);
    EXPECT_EQ(graphics_->LastMenuTexts(),
              (std::vector<std::string>{"LPF", "HPF", "BPF", "NTC", "OFF", "",
                                        "Learn MIDI controller", "Forget MIDI controller"}));
    EXPECT_EQ(unit_.EditValue(kVcfType), 3);
    EXPECT_EQ(panel_->ValueText(kVcfType)->Text(), "NTC");

    EXPECT_TRUE(editor_.Undo());
    EXPECT_EQ(unit_.EditValue(kVcfType), 0);
    EXPECT_TRUE(editor_.Undo());
    EXPECT_EQ(unit_.EditValue(kVco1Coarse), 0);
}

}  // namespace
