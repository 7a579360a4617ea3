#include "shell/PreferencesDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "shell/FakeRoles.h"
#include "shell/ShellTestSupport.h"

namespace {
using Opened = std::vector<std::pair<MidiRole, std::string>>;

struct DialogTest : ::testing::Test {
    DialogTest() {
        current.SetName(MidiRole::UnitInput, "Orvo:MIDI 1");
        current.SetName(MidiRole::Output, "Orvo:MIDI 1");
        for (MidiRole r : {MidiRole::UnitInput, MidiRole::KeyboardInput, MidiRole::Output}) {
            current.SetChannel(r, 1);
        }
        roles.inputs.push_back("Caf\xC3\xA9 \xFF:port");  // not valid UTF-8
    }
    // Opens the dialog without blocking, as exec would show it.
    std::unique_ptr<PreferencesDialog> Show() {
        auto dialog = std::make_unique<PreferencesDialog>(preferences, nullptr);
        dialog->open();
        return dialog;
    }

    QApplication& app = App();
    MidiSettings current, backup;
    FakeRoles roles{current};
    int writes = 0;
    Preferences preferences{current, backup, &roles, [this] { ++writes; }};
};
}  // namespace

TEST_F(DialogTest, ListsShowThePortsWithTheStoredOnesSelected) {
    auto dialog = Show();
    EXPECT_EQ(dialog->windowTitle(), "Preferences");
    QComboBox* unit = dialog->findChild<QComboBox*>("40018");
    QComboBox* keyboard = dialog->findChild<QComboBox*>("40035");
    QComboBox* output = dialog->findChild<QComboBox*>("40019");
    ASSERT_TRUE(unit && keyboard && output);
    EXPECT_EQ(unit->count(), 4);
    EXPECT_EQ(unit->itemText(1), "Orvo:MIDI 1");
    EXPECT_EQ(unit->currentIndex(), 1);
    EXPECT_EQ(keyboard->currentIndex(), 0);
    EXPECT_EQ(output->currentIndex(), 1);
    QStringList labels;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("Orvo Input Device") && labels.contains("Keyboard Input Device") &&
                labels.contains("Output Device"));
    EXPECT_TRUE(dialog->OkButton()->isDefault());
    EXPECT_TRUE(roles.opened.empty());  // filling the lists opens nothing
}

TEST_F(DialogTest, PickingWithTheKeyboardOpensThePortByItsBytes) {
    auto dialog = Show();
    QComboBox* keyboard = dialog->List(MidiRole::KeyboardInput);
    keyboard->setFocus();
    QTest::keyClick(keyboard, Qt::Key_End);
    EXPECT_EQ(roles.opened, (Opened{{MidiRole::KeyboardInput, "Caf\xC3\xA9 \xFF:port"}}));
    QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_STREQ(current.keyboardInputName, "Caf\xC3\xA9 \xFF:port");
    EXPECT_EQ(roles.opened.size(), 1u);
    EXPECT_EQ(writes, 0);  // the caller writes after OK
}

TEST_F(DialogTest, CancelEscapeAndTheCloseBoxAllUndoThePick) {
    enum Way { kCancel, kEscape, kCloseBox };
    for (Way way : {kCancel, kEscape, kCloseBox}) {
        roles.opened.clear();
        auto dialog = Show();
        QComboBox* output = dialog->List(MidiRole::Output);
        output->setFocus();
        QTest::keyClick(output, Qt::Key_Down);
        EXPECT_STREQ(current.outputName, "Other:in");
        if (way == kCancel) QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
        if (way == kEscape) QTest::keyClick(dialog.get(), Qt::Key_Escape);
        if (way == kCloseBox) dialog->close();
        EXPECT_FALSE(dialog->isVisible()) << way;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << way;
        EXPECT_STREQ(current.outputName, "Orvo:MIDI 1") << way;
        EXPECT_EQ(roles.opened,
                  (Opened{{MidiRole::Output, "Other:in"}, {MidiRole::Output, "Orvo:MIDI 1"}}))
            << way;
    }
    EXPECT_EQ(writes, 0);
}

TEST_F(DialogTest, AMissingPortIsShownWholeInItsList) {
    const std::string longName = "USB MIDI Interface 4x4:USB MIDI Interface 4x4 MIDI 3 28:2";
    current.SetName(MidiRole::Output, longName.c_str());
    auto dialog = Show();
    QApplication::processEvents();
    QComboBox* output = dialog->List(MidiRole::Output);
    const QString shown = output->currentText();
    ASSERT_TRUE(shown.endsWith(PreferencesDialog::kMissingMark)) << shown.toStdString();
    // The list's text area holds the whole text, the arrow and frame beside it.
    EXPECT_GE(output->width(), output->fontMetrics().horizontalAdvance(shown) + 20);
    EXPECT_LE(output->width(), dialog->width());
}
