// MIDI learn from the menus and the panel, with a keyboard on a port of the test run's JACK
// server and the virtual unit on its own: what a learned controller does must reach the unit.
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "editor/OrvoEditor.h"
#include "midi/JackPeer.h"
#include "shell/ControllerAssignmentsDialog.h"
#include "shell/EditorOnJack.h"
#include "shell/MainWindow.h"
#include "shell/MenuTable.h"
#include "support/TempDir.h"

namespace {

constexpr int kVco1Volume = 11;
constexpr int kVco2Volume = 23;

class MidiLearnOverJack : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_JACK();
        keyboard_ = std::make_unique<JackPeer>("learn");
        run_.keyboardPort = keyboard_->OutputName();
        run_.panelKeepsSettings = true;
        ASSERT_TRUE(run_.Start());
    }

    OrvoEditor& Editor() { return *run_.editor; }
    MainWindow& Window() { return *run_.shell->Window(); }
    void Move(int controller, int value) {
        keyboard_->Send(
            {0xB0, static_cast<unsigned char>(controller), static_cast<unsigned char>(value)});
    }
    // Sets a position as a dragged control does.
    void Turn(int position, int value) {
        const int index = ParamIndexOfPosition(position);
        const Parameter& param = *Editor().GetParam(index);
        Editor().SetParameterFromGui(index,
                                     (value - param.minimum) / (param.maximum - param.minimum));
    }
    int UnitValue(int position) {
        int value = 0;
        run_.ports.WithUnit([&](VirtualOrvo& u) { value = u.EditValue(position); });
        return value;
    }
    bool UnitComesTo(int position, int value) {
        return Eventually([&] { return UnitValue(position) == value; });
    }
    std::string Status() { return Editor().Panel()->StatusLine(); }
    int Find(int position) {
        for (const MidiLearn::Assignment& a : Editor().ControllerAssignments()) {
            if (a.position == position) return a.controller;
        }
        return -1;
    }
    SimCounters Counters() {
        SimCounters counters;
        run_.ports.WithUnit([&](VirtualOrvo& u) { counters = u.Counters(); });
        return counters;
    }

    std::unique_ptr<JackPeer> keyboard_;
    EditorOnJack run_;
};

// The value a learned controller gives a position, as the unit should get it.
int Scaled(int value, int low, int high) {
    return static_cast<int>(std::floor(value / 127.0 * (high - low) + low));
}

}  // namespace

TEST_F(MidiLearnOverJack, LearnInBothOrdersFromTheMenuDrivesTheUnitThroughTheLearnedRange) {
    // A control first, then a controller.
    Window().HandleCommand(menu::kLearnController);
    EXPECT_TRUE(Editor().LearnArmed());
    EXPECT_TRUE(Editor().CommandChecked(kCommandLearnController));
    EXPECT_EQ(Status(), "Move a control, then a controller");
    Turn(kVco1Volume, 100);
    EXPECT_EQ(Status(), "Now move a controller");
    Move(20, 64);
    ASSERT_TRUE(Eventually([&] { return Find(kVco1Volume) == 20; }));
    EXPECT_FALSE(Editor().LearnArmed());
    EXPECT_EQ(Status().rfind("Controller 20 drives ", 0), 0u) << Status();

    // A controller first, then a control.
    Window().HandleCommand(menu::kLearnController);
    Move(21, 5);
    ASSERT_TRUE(Eventually([&] { return Status() == "Now move a control"; })) << Status();
    Turn(kVco2Volume, 90);
    EXPECT_EQ(Find(kVco2Volume), 21);
    EXPECT_FALSE(Editor().LearnArmed());

    // Each runs from the position's low end to the value it had when learned.
    const int low1 = PositionMinimum(kVco1Volume), low2 = PositionMinimum(kVco2Volume);
    for (int value : {127, 0, 64}) {
        Move(21, value);
        EXPECT_TRUE(UnitComesTo(kVco2Volume, Scaled(value, low2, 90))) << value;
    }
    for (int value : {127, 0, 64}) {
        Move(20, value);
        EXPECT_TRUE(UnitComesTo(kVco1Volume, Scaled(value, low1, 100))) << value;
    }
    // The moves of one controller in a run are one step of the history.
    Window().HandleCommand(menu::kUndo);
    EXPECT_TRUE(UnitComesTo(kVco1Volume, 100));
    EXPECT_EQ(UnitValue(kVco2Volume), Scaled(64, low2, 90));
    Window().HandleCommand(menu::kUndo);
    EXPECT_TRUE(UnitComesTo(kVco2Volume, 90));
}

TEST_F(MidiLearnOverJack, EscapeEndsALearnThatWaits) {
    Window().HandleCommand(menu::kLearnController);
    ASSERT_TRUE(Editor().CommandEnabled(kCommandStopTransfer)) << "Escape must reach it";
    Window().HandleCommand(menu::kStopTransfer);
    EXPECT_FALSE(Editor().LearnArmed());
    EXPECT_EQ(Status(), "MIDI learn cancelled");
    EXPECT_FALSE(Editor().CommandEnabled(kCommandStopTransfer));
    // Nothing learns from the next controller, which goes on to the unit as it came.
    const int shortBefore = Counters().shortMessages;
    const auto buffer = run_.EditBuffer();
    Move(30, 77);
    EXPECT_TRUE(Eventually([&] { return Counters().shortMessages == shortBefore + 1; }));
    EXPECT_EQ(run_.EditBuffer(), buffer);
    EXPECT_TRUE(Editor().ControllerAssignments().empty());
}

TEST_F(MidiLearnOverJack, AssignmentsComeBackAfterARestartAndTheListRemovesThem) {
    // One controller for two positions, learned from the controls' context menus.
    for (int position : {kVco1Volume, kVco2Volume}) {
        Turn(position, 120);
        Editor().ControlMenuChosen(ParamIndexOfPosition(position),
                                   OrvoEditor::kMenuLearnController);
        Move(40, 0);
        ASSERT_TRUE(Eventually([&] { return Find(position) == 40; })) << position;
    }
    run_.StopShell();
    const std::string kept = TempDir::Read(run_.environment.SettingsPath());
    EXPECT_NE(kept.find("[midilearn]"), std::string::npos) << kept;

    ASSERT_TRUE(run_.StartShell());
    ASSERT_EQ(Editor().ControllerAssignments().size(), 2u);
    EXPECT_EQ(Find(kVco1Volume), 40);
    EXPECT_EQ(Find(kVco2Volume), 40);
    Move(40, 127);
    EXPECT_TRUE(UnitComesTo(kVco1Volume, 120));
    EXPECT_TRUE(UnitComesTo(kVco2Volume, 120));

    // The list shows both; Remove takes the selected one, Remove all the rest.
    int rows = -1;
    run_.shell->answer = [&](QDialog& shown) {
        auto* dialog = dynamic_cast<ControllerAssignmentsDialog*>(&shown);
        if (dialog == nullptr) return static_cast<int>(QDialog::Rejected);
        rows = dialog->List()->topLevelItemCount();
        dialog->List()->topLevelItem(0)->setSelected(true);
        dialog->RemoveButton()->click();
        return static_cast<int>(QDialog::Rejected);
    };
    Window().HandleCommand(menu::kControllerAssignments);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(Editor().ControllerAssignments().size(), 1u);
    run_.shell->answer = [&](QDialog& shown) {
        auto* dialog = dynamic_cast<ControllerAssignmentsDialog*>(&shown);
        if (dialog != nullptr) dialog->RemoveAllButton()->click();
        return static_cast<int>(QDialog::Rejected);
    };
    Window().HandleCommand(menu::kControllerAssignments);
    EXPECT_TRUE(Editor().ControllerAssignments().empty());

    // Forgotten, the controller passes through unchanged and moves nothing; so after a restart.
    run_.StopShell();
    ASSERT_TRUE(run_.StartShell());
    EXPECT_TRUE(Editor().ControllerAssignments().empty());
    const int shortBefore = Counters().shortMessages;
    const auto buffer = run_.EditBuffer();
    Move(40, 3);
    EXPECT_TRUE(Eventually([&] { return Counters().shortMessages == shortBefore + 1; }));
    EXPECT_EQ(run_.EditBuffer(), buffer);
}
