// MIDI learn from the editor's own panel: the control's context menu, the status line, the
// marks and tooltips of learned controls, and the settings that keep them, checked on the
// virtual unit's edit buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "editor/ControllerMapSetting.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "editor/PanelLabels.h"
#include "gui/Graphics.h"
#include "gui/HeadlessGraphics.h"
#include "support/HeadlessEditor.h"
#include "support/PanelMouse.h"
#include "support/SimOutputPort.h"
#include "support/TempDir.h"
#include "unit/VirtualOrvo.h"

namespace {

constexpr int kVco1Volume = 11;
constexpr int kVcfType = 75;
constexpr int kLearnItem = 2;  // below "Enter value..." and the separator
constexpr int kForgetItem = 3;

using Assignment = MidiLearn::Assignment;

class MidiLearnOnPanel : public ::testing::Test {
protected:
    void MakeEditor() {
        made_.reset();
        made_ = std::make_unique<HeadlessEditor>(&port_, &channel_, settings_.File("settings.ini"));
        Redraw();
    }
    void SetUp() override { MakeEditor(); }

    OrvoEditor& Editor() { return *made_->editor; }
    HeadlessGraphics& Panel() { return *made_->graphics; }
    OrvoPanel& Orvo() { return *static_cast<OrvoPanel*>(Editor().Panel()); }
    void Redraw() {
        Rect dirty;
        if (Panel().CollectDirty(dirty)) Panel().DrawDirty(dirty);
    }
    void RightClick(int position) { RightClickPosition(Panel(), Orvo(), position); }
    void Controller(int number, int value) {
        Editor().HandleKeyboardMessage(
            {0, 0xB0, static_cast<uint8_t>(number), static_cast<uint8_t>(value)});
    }
    int Value(int position) { return IntValue(*Editor().GetParam(ParamIndexOfPosition(position))); }
    std::string Status() { return Editor().Panel()->StatusLine(); }

    TempDir settings_;
    VirtualOrvo unit_;
    SimOutputPort port_{unit_};
    uint16_t channel_ = 1;
    std::unique_ptr<HeadlessEditor> made_;
};

}  // namespace

TEST_F(MidiLearnOnPanel, TheContextMenuOffersLearnAndForgetBesideTheValue) {
    Panel().AnswerMenuWith(-1);
    RightClick(kVco1Volume);
    EXPECT_EQ(Panel().LastMenuTexts(),
              (std::vector<std::string>{Graphics::kEnterValueText, "", "Learn MIDI controller",
                                        "Forget MIDI controller"}));
    EXPECT_EQ(Panel().LastMenuFlags()[kForgetItem], PopupMenu::kItemGrayed)
        << "nothing to forget yet";
    EXPECT_TRUE(Panel().Entries().empty());

    // A worded parameter lists its words first, and a word still sets the value.
    Panel().AnswerMenuWith(1);
    RightClick(kVcfType);
    const std::vector<std::string>& listed = Panel().LastMenuTexts();
    ASSERT_GE(listed.size(), 4u);
    EXPECT_EQ(listed[listed.size() - 3], "");
    EXPECT_EQ(listed[listed.size() - 2], "Learn MIDI controller");
    EXPECT_EQ(Value(kVcfType), 1);
    EXPECT_EQ(unit_.EditValue(kVcfType), 1);

    // "Enter value..." opens the text entry as the right click did before.
    Panel().AnswerMenuWith(0);
    RightClick(kVco1Volume);
    ASSERT_EQ(Panel().Entries().size(), 1u);
    EXPECT_EQ(Panel().Entries()[0].text, std::to_string(Value(kVco1Volume)));
}

TEST_F(MidiLearnOnPanel, LearnFromTheControlTakesTheNextControllerAndShowsIt) {
    Editor().SetParameterValue(ParamIndexOfPosition(kVco1Volume), 96);
    Panel().AnswerMenuWith(kLearnItem);
    RightClick(kVco1Volume);
    EXPECT_TRUE(Editor().LearnArmed());
    EXPECT_EQ(Status(), "Now move a controller");

    Controller(74, 0);
    EXPECT_FALSE(Editor().LearnArmed());
    EXPECT_EQ(Status(), "Controller 74 drives " + PanelControlName(kVco1Volume));
    const int low = PositionMinimum(kVco1Volume);
    EXPECT_EQ(Editor().ControllerAssignments(),
              (std::vector<Assignment>{{kVco1Volume, 74, low, 96}}));

    // The mark and the tooltip follow at the next idle tick, on the GUI thread.
    Control* mark = Orvo().ControllerMark(kVco1Volume);
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->IsHidden());
    Editor().GuiIdle();
    EXPECT_FALSE(mark->IsHidden());
    const std::string tip = Orvo().PositionControl(kVco1Volume)->Tooltip();
    EXPECT_NE(tip.find("(MIDI controller 74)"), std::string::npos) << tip;
    Redraw();
    const Rect r = mark->DrawRect();
    const uint32_t centre = Panel().DrawBitmap()->Row((r.T + r.B) / 2)[(r.L + r.R) / 2];
    EXPECT_EQ(centre & 0xFFFFFF, 0xFFB020u) << std::hex << centre;
    // The mark never takes the mouse from what lies under it.
    EXPECT_NE(Panel().HitControl((r.L + r.R) / 2, (r.T + r.B) / 2), mark->ListIndex());

    // The controller drives the unit through 0..96, the value the control had.
    for (int value : {127, 64, 0}) {
        Controller(74, value);
        EXPECT_EQ(unit_.EditValue(kVco1Volume),
                  static_cast<int>(std::floor(value / 127.0 * (96 - low) + low)))
            << value;
    }

    // Forget from the same menu: the controller then passes through, and the mark goes.
    Panel().AnswerMenuWith(kForgetItem);
    RightClick(kVco1Volume);
    EXPECT_TRUE(Editor().ControllerAssignments().empty());
    EXPECT_EQ(Status(), "Controller 74 forgotten");
    Editor().GuiIdle();
    EXPECT_TRUE(mark->IsHidden());
    EXPECT_EQ(Orvo().PositionControl(kVco1Volume)->Tooltip(), UnitParameterAt(kVco1Volume)->name);
    const auto buffer = unit_.EditBuffer();
    Controller(74, 127);
    EXPECT_EQ(unit_.EditBuffer(), buffer);
}

TEST_F(MidiLearnOnPanel, TheMenuArmsLearnAndEscapeDisarmsIt) {
    EXPECT_FALSE(Editor().CommandEnabled(kCommandStopTransfer));
    Editor().DoCommand(kCommandLearnController);
    EXPECT_TRUE(Editor().CommandChecked(kCommandLearnController));
    EXPECT_EQ(Status(), "Move a control, then a controller");
    EXPECT_TRUE(Editor().CommandEnabled(kCommandStopTransfer));
    Editor().DoCommand(kCommandStopTransfer);
    EXPECT_FALSE(Editor().LearnArmed());
    EXPECT_EQ(Editor().GetParam(kParamMidiLearn)->value, 0.0);
    EXPECT_EQ(Status(), "MIDI learn cancelled");
    // The menu entry toggles too.
    Editor().DoCommand(kCommandLearnController);
    Controller(9, 1);
    EXPECT_EQ(Status(), "Now move a control");
    Editor().DoCommand(kCommandLearnController);
    EXPECT_FALSE(Editor().LearnArmed());
    EXPECT_TRUE(Editor().ControllerAssignments().empty());
}

TEST_F(MidiLearnOnPanel, AssignmentsAreKeptInTheSettingsAndComeBack) {
    Editor().SetParameterValue(ParamIndexOfPosition(kVco1Volume), 100);
    Editor().ArmLearn(kVco1Volume);
    Controller(20, 0);
    Editor().SetParameterValue(ParamIndexOfPosition(kVcfType), 2);
    Editor().ArmLearn(kVcfType);
    Controller(20, 0);
    Editor().GuiIdle();
    const std::string kept = TempDir::Read(settings_.File("settings.ini"));
    EXPECT_NE(kept.find("[midilearn]\ncontrollers=11:20:100 75:20:2"), std::string::npos) << kept;

    const std::vector<Assignment> learned = Editor().ControllerAssignments();
    MakeEditor();
    EXPECT_EQ(Editor().ControllerAssignments(), learned);
    Editor().GuiIdle();
    EXPECT_FALSE(Orvo().ControllerMark(kVcfType)->IsHidden());
    // One controller drives both.
    Controller(20, 127);
    EXPECT_EQ(unit_.EditValue(kVco1Volume), 100);
    EXPECT_EQ(unit_.EditValue(kVcfType), 2);

    Editor().ForgetAllControllers();
    made_.reset();  // kept at the end even without an idle tick
    MakeEditor();
    EXPECT_TRUE(Editor().ControllerAssignments().empty());
}

TEST_F(MidiLearnOnPanel, AControllerOfAnEffectNotPlayedLeavesThePlayingEffectAlone) {
    constexpr int kChorusPosition = kChorusFirstPosition;
    constexpr int kOverdrivePosition = kOverdriveFirstPosition;  // the same address on the unit
    const int effectType = ParamIndexOfPosition(kEffectTypePosition);
    Editor().SetParameterValue(effectType, kEffectChorus);
    const int high = PositionMaximum(kChorusPosition);
    Editor().SetParameterValue(ParamIndexOfPosition(kChorusPosition), high);
    Editor().ArmLearn(kChorusPosition);
    Controller(30, 0);
    ASSERT_EQ(Editor().ControllerAssignments().size(), 1u);

    Editor().SetParameterValue(effectType, kEffectOverdrive);
    const auto playing = unit_.EditBuffer();
    const int overdrive = Value(kOverdrivePosition);
    Controller(30, 64);
    EXPECT_EQ(unit_.EditBuffer(), playing) << "the overdrive keeps its values";
    EXPECT_EQ(Value(kOverdrivePosition), overdrive);
    const int low = PositionMinimum(kChorusPosition);
    const int kept = Value(kChorusPosition);
    EXPECT_EQ(kept, static_cast<int>(std::floor(64 / 127.0 * (high - low) + low)))
        << "the chorus keeps the controller's value";

    // The chorus brings it to the unit when it plays again.
    Editor().SetParameterValue(effectType, kEffectChorus);
    EXPECT_EQ(unit_.EditValue(kChorusPosition), kept);
}

TEST(ControllerMapSetting, ReadsWhatItWritesAndSkipsWhatIsNotAnAssignment) {
    const std::vector<Assignment> assignments{{0, 1, -12, 40}, {121, 127, 0, 5}};
    const std::string text = ControllerMapSetting::Format(assignments);
    EXPECT_EQ(text, "0:1:40 121:127:5");
    const std::vector<Assignment> read = ControllerMapSetting::Parse(text);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].position, 121);
    EXPECT_EQ(read[1].high, 5);

    EXPECT_TRUE(ControllerMapSetting::Parse("").empty());
    EXPECT_EQ(ControllerMapSetting::Parse("x 1:2 3:4:5:6 1:2:3 a:1:1 1:b:1 1:1:c 2::3").size(), 1u);

    // Restore leaves out what no position, controller or range can take.
    MidiLearn learn;
    learn.Restore(
        ControllerMapSetting::Parse("122:1:1 -1:1:1 5:128:1 5:-1:1 0:7:49 0:7:48 "
                                    "11:7:127"));
    const std::vector<Assignment> kept = learn.Assignments();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], (Assignment{0, 7, PositionMinimum(0), 48}));
    EXPECT_EQ(kept[1].position, 11);
}

TEST(ControllerMapSetting, AnUnwritableSettingsFileIsReportedAsSuch) {
    TempDir folder;
    EXPECT_FALSE(ControllerMapSetting::Write(folder.File("missing/settings.ini"), {}));
    EXPECT_FALSE(ControllerMapSetting::Write("", {}));
    EXPECT_TRUE(ControllerMapSetting::Read(folder.File("none.ini")).empty());
}
