#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QToolTip>

#include "QtPanelDriver.h"
#include "platform/qt/PanelTextEntry.h"
#include "platform/qt/PanelWidget.h"

namespace {

// The Qt layer with every modal step answered from the test.
class ScriptedGraphicsQt : public ArtworkGraphics<GraphicsQt> {
public:
    using ArtworkGraphics<GraphicsQt>::ArtworkGraphics;

    QAction* ExecMenu(QMenu& menu, const QPoint& globalPos) override {
        menuTexts.clear();
        menuAt = globalPos;
        for (QAction* action : menu.actions())
            menuTexts << action->text();
        return menuPick >= 0 && menuPick < menu.actions().size() ? menu.actions()[menuPick]
                                                                 : nullptr;
    }
    int ExecMessageBox(QMessageBox& box) override {
        boxTitle = box.windowTitle();
        boxIcon = box.icon();
        return boxAnswer;
    }
    QString ExecFileDialog(QFileDialog& dialog) override {
        fileFilters = dialog.nameFilters();
        fileSaving = dialog.acceptMode() == QFileDialog::AcceptSave;
        return fileAnswer;
    }

    QStringList menuTexts;
    QPoint menuAt;
    int menuPick = -1;
    QString boxTitle;
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    int boxAnswer = QMessageBox::Ok;
    QStringList fileFilters;
    bool fileSaving = false;
    QString fileAnswer;
};

// Position 78, "portamento time" (0..127): a 32 x 32 knob at (627, 28) with gearing 4.
constexpr int kPosition = 78;
constexpr int kParam = kPosition + 3;
const QPoint kKnob(640, 40);

class PanelWindow : public ::testing::Test {
protected:
    void SetUp() override {
        test = QtTestPanel::Make<ScriptedGraphicsQt>();
        graphics = static_cast<ScriptedGraphicsQt*>(test->graphics);
        panel = test->Panel();
        test->core->pushes.clear();
    }
    void TearDown() override {
        test.reset();
        Graphics::ReleaseCaches();
    }

    double Plain() const { return test->core->ParamValue(kParam); }
    double LastPush() const { return test->core->pushes.back().normalized; }

    // Right-clicks the knob and returns the value entry that opens over it.
    PanelTextEntry* OpenEntry() {
        synth::Press(panel, kKnob, Qt::RightButton);
        synth::Release(panel, kKnob, Qt::RightButton);
        return graphics->TextEntry();
    }

    std::unique_ptr<QtTestPanel> test;
    ScriptedGraphicsQt* graphics = nullptr;
    QWidget* panel = nullptr;
};

TEST_F(PanelWindow, DragOnAKnobMovesItsParameterByTheGearing) {
    // One knob height (32) of travel is 1 / 4 of the range.
    synth::Drag(panel, kKnob, kKnob - QPoint(0, 32));
    ASSERT_FALSE(test->core->pushes.empty());
    EXPECT_EQ(test->core->pushes.back().index, kParam);
    EXPECT_DOUBLE_EQ(LastPush(), 0.25);
    EXPECT_DOUBLE_EQ(Plain(), 32.0);  // 31.75 snapped to the step
    // Moving back down by 16 takes an eighth off; sideways movement does nothing.
    synth::Drag(panel, kKnob, kKnob + QPoint(40, 16));
    EXPECT_DOUBLE_EQ(LastPush(), 0.125);
    // The value text follows at the next tick.
    test->Settle();
    EXPECT_EQ(test->panel->ValueText(kPosition)->Text(), "16 ");
}

TEST_F(PanelWindow, ShiftOrCtrlMakeTheDragTenTimesFiner) {
    synth::Drag(panel, kKnob, kKnob - QPoint(0, 32), Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(LastPush(), 0.025);
    synth::Drag(panel, kKnob, kKnob - QPoint(0, 32), Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(LastPush(), 0.05);
}

TEST_F(PanelWindow, WheelMovesByDetents) {
    synth::Wheel(panel, kKnob, 240);  // two detents
    EXPECT_NEAR(LastPush(), 0.02, 1e-12);
    synth::Wheel(panel, kKnob, -120, Qt::ControlModifier);
    EXPECT_NEAR(LastPush(), 0.019, 1e-12);
    // A fine-grained wheel sends less than a detent at a time; the parts add up.
    const size_t before = test->core->pushes.size();
    for (int i = 0; i < 3; ++i)
        synth::Wheel(panel, kKnob, 40);
    EXPECT_EQ(test->core->pushes.size(), before + 1);
    EXPECT_NEAR(LastPush(), 0.029, 1e-12);
}

TEST_F(PanelWindow, DoubleClickRestoresTheDefault) {
    synth::Drag(panel, kKnob, kKnob - QPoint(0, 64));
    EXPECT_DOUBLE_EQ(Plain(), 64.0);
    synth::DoubleClick(panel, kKnob);
    EXPECT_DOUBLE_EQ(LastPush(), 0.0);
    EXPECT_DOUBLE_EQ(Plain(), 0.0);
}

TEST_F(PanelWindow, TextEntryDropsWhatAnIntegerCannotHoldAndCommitsOnEnter) {
    test->core->SetParameterValue(kParam, 42);
    test->core->RedrawParamControls();
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "42");
    EXPECT_TRUE(entry->hasSelectedText());
    EXPECT_EQ(entry->geometry(), QRect(623, 36, 41, 17));  // 40 x 16 box centred, plus one
    synth::Key(entry, Qt::Key_1, "1");
    synth::Key(entry, Qt::Key_Period, ".");
    synth::Key(entry, Qt::Key_5, "5");
    EXPECT_EQ(entry->text(), "15");
    test->core->pushes.clear();
    synth::Key(entry, Qt::Key_Return, "\r");
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryCommit);
    EXPECT_DOUBLE_EQ(Plain(), 42.0);  // nothing happens before the tick
    graphics->TimerTick();
    EXPECT_EQ(graphics->TextEntry(), nullptr);
    ASSERT_EQ(test->core->pushes.size(), 1u);
    EXPECT_DOUBLE_EQ(Plain(), 15.0);
}

TEST_F(PanelWindow, EscapeOrAClickOnThePanelCancelsTheEntry) {
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    synth::Key(entry, Qt::Key_9, "9");
    synth::Key(entry, Qt::Key_Escape);
    graphics->TimerTick();
    EXPECT_EQ(graphics->TextEntry(), nullptr);
    EXPECT_TRUE(test->core->pushes.empty());

    entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(entry, &focus);
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryFocused);
    synth::Key(entry, Qt::Key_7, "7");
    // The click cancels and reaches no control, not even the knob under it.
    synth::Press(panel, kKnob, Qt::LeftButton);
    synth::Move(panel, kKnob - QPoint(0, 30), Qt::LeftButton);
    synth::Release(panel, kKnob - QPoint(0, 30), Qt::LeftButton);
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryCancel);
    graphics->TimerTick();
    EXPECT_EQ(graphics->TextEntry(), nullptr);
    EXPECT_TRUE(test->core->pushes.empty());
}

TEST_F(PanelWindow, FocusLeavingTheEntryCommitsIt) {
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    synth::Key(entry, Qt::Key_2, "2");
    synth::Key(entry, Qt::Key_0, "0");
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(entry, &away);
    graphics->TimerTick();
    EXPECT_DOUBLE_EQ(Plain(), 20.0);
}

TEST_F(PanelWindow, PopupMenuNumbersItsItemsAndReturnsTheChosenOne) {
    PopupMenu menu(PopupMenu::kNumberTwoDigits);
    for (const char* name : {"Init", "Acid", "Sub", "Reese", "Fat Bass", "Pluck"})
        menu.AddItem(name);
    graphics->menuPick = 4;
    PopupMenu* chosen = graphics->ShowPopupMenu(menu, {100, 200, 160, 216});
    EXPECT_EQ(graphics->menuTexts.value(4), "05: Fat Bass");
    EXPECT_EQ(graphics->menuTexts.value(0), "01: Init");
    EXPECT_EQ(graphics->menuAt, panel->mapToGlobal(QPoint(100, 216)));
    ASSERT_EQ(chosen, &menu);
    EXPECT_EQ(chosen->ChosenIndex(), 4);

    graphics->menuPick = -1;
    EXPECT_EQ(graphics->ShowPopupMenu(menu, {0, 0, 1, 1}), nullptr);
}

TEST_F(PanelWindow, PaintingCopiesTheDrawBitmapToTheWindow) {
    test->Settle();
    const QImage shown = panel->grab().toImage();
    raster::SysBitmap* bitmap = graphics->DrawBitmap();
    ASSERT_EQ(shown.width(), bitmap->Width());
    for (QPoint at : {QPoint(640, 40), QPoint(20, 20), QPoint(500, 760), QPoint(1000, 700)}) {
        EXPECT_EQ(shown.pixel(at) & 0xFFFFFF, bitmap->Row(at.y())[at.x()] & 0xFFFFFF) << at.x();
    }
}

TEST_F(PanelWindow, KeysMapToPanelCodesAndUnmappedKeysGoToTheMainWindow) {
    EXPECT_EQ(PanelWidget::PanelKeyFor(Qt::Key_Space), kKeySpace);
    EXPECT_EQ(PanelWidget::PanelKeyFor(Qt::Key_Right), kKeyRight);
    EXPECT_EQ(PanelWidget::PanelKeyFor(Qt::Key_7), kKeyDigit0 + 7);
    EXPECT_EQ(PanelWidget::PanelKeyFor(Qt::Key_Z), kKeyLetterZ);
    EXPECT_EQ(PanelWidget::PanelKeyFor(Qt::Key_F5), -1);
    EXPECT_EQ(PanelWidget::PanelKeyFor(Qt::Key_Return), -1);

    QKeyEvent function(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &function);
    EXPECT_FALSE(function.isAccepted());
    // No control takes keys here and there is no key catcher: on to the main window too.
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(panel, &letter);
    EXPECT_FALSE(letter.isAccepted());
}

TEST_F(PanelWindow, MessageBoxesAndFileChoosersAreAnsweredThroughTheWindowLayer) {
    graphics->boxAnswer = QMessageBox::Cancel;
    EXPECT_EQ(graphics->ShowMessage("Overwrite?", "Warning", kMessageWarning), kAnswerCancel);
    EXPECT_EQ(graphics->boxTitle, "Warning");
    EXPECT_EQ(graphics->boxIcon, QMessageBox::Warning);

    graphics->fileAnswer = "/tmp/orvo/03 Sub.prg";
    std::string name = "old.prg";
    std::string folder;
    EXPECT_TRUE(graphics->PromptForFileName(name, kFileSave, folder, "prg syx"));
    EXPECT_TRUE(graphics->fileSaving);
    EXPECT_EQ(graphics->fileFilters.value(0), "*.prg;*.syx (*.prg *.syx)");
    EXPECT_EQ(name, "/tmp/orvo/03 Sub.prg");
    EXPECT_EQ(folder, "/tmp/orvo/");

    graphics->fileAnswer.clear();
    EXPECT_FALSE(graphics->PromptForFileName(name, kFileOpen, folder, "prg"));
    EXPECT_EQ(name, "");
}

TEST_F(PanelWindow, ClickingTheLoadChooserTogglesItsParameter) {
    graphics->fileAnswer = "/tmp/orvo/01 Init.prg";
    synth::Press(panel, QPoint(70, 20), Qt::LeftButton);
    synth::Release(panel, QPoint(70, 20), Qt::LeftButton);
    ASSERT_FALSE(test->core->pushes.empty());
    EXPECT_EQ(test->core->pushes.back().index, 131);
    EXPECT_DOUBLE_EQ(LastPush(), 1.0);
}

TEST_F(PanelWindow, HoverShowsTheTooltipOfTheControlUnderThePointer) {
    synth::Move(panel, kKnob, Qt::NoButton);
    QHelpEvent hover(QEvent::ToolTip, kKnob, panel->mapToGlobal(kKnob));
    QCoreApplication::sendEvent(panel, &hover);
    EXPECT_TRUE(graphics->TooltipShown());
    EXPECT_EQ(QToolTip::text(), "portamento time");
    // Moving onto another control hides it until the next hover.
    synth::Move(panel, QPoint(980, 40), Qt::NoButton);
    EXPECT_FALSE(graphics->TooltipShown());
}

TEST_F(PanelWindow, ResizingThePanelGrowsItsWindowByTheSameAmount) {
    test->window->setFixedSize(1024, 820);
    graphics->ResizePanel(1228, 960);
    EXPECT_EQ(panel->size(), QSize(1228, 960));
    EXPECT_EQ(test->window->size(), QSize(1228, 980));
    EXPECT_EQ(graphics->DrawBitmap()->Width(), 1228);
}

TEST_F(PanelWindow, RepaintsAroundAnOpenEntryLeaveItAlone) {
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    // While the entry has the focus the panel does not draw, however many ticks pass.
    graphics->SetEntryState(GraphicsQt::kEntryFocused);
    test->panel->Knob(kPosition)->MarkDirty(false);
    for (int tick = 0; tick < 5; ++tick)
        graphics->TimerTick();
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryFocused);
    EXPECT_TRUE(test->panel->Knob(kPosition)->IsDirty());
    // Without the focus it repaints around the entry, then lets one tick pass.
    graphics->SetEntryState(GraphicsQt::kEntryIdle);
    graphics->TimerTick();
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryRepainted);
    EXPECT_EQ(graphics->TextEntry(), entry);
    graphics->TimerTick();
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryIdle);
}

TEST_F(PanelWindow, HiddenWindowStillDrawsSoThePanelCanGoIdle) {
    test->window->hide();
    KnobMultiControl* knob = test->panel->Knob(kPosition);
    knob->SetValueFromUser(0.5);
    // A user change asks for one redraw more; then the panel is clean and idle ticks follow.
    graphics->TimerTick();
    graphics->TimerTick();
    EXPECT_FALSE(knob->IsDirty());
    // A change while the window is away still reaches the bitmap for when it comes back.
    const Rect at = knob->DrawRect();
    EXPECT_NE(graphics->DrawBitmap()->Row(at.T + 2)[at.L + 2], 0u);
}

TEST_F(PanelWindow, MeasuringTextPlacesItsExtentByTheAlignment) {
    TextStyle style;
    Rect near{100, 50, 200, 66};
    style.align = kAlignNear;
    ASSERT_TRUE(graphics->MeasureText(style, "Program", near));
    const int w = near.Width(), h = near.Height();
    EXPECT_GT(w, 20);
    EXPECT_EQ(near.L, 100);
    EXPECT_EQ(near.T, 50);
    EXPECT_GT(h, 8);
    Rect centre{100, 50, 200, 66};
    style.align = kAlignCentre;
    graphics->MeasureText(style, "Program", centre);
    EXPECT_EQ(centre, (Rect{150 - w / 2, 50, 150 - w / 2 + w, 50 + h}));
    Rect far{100, 50, 200, 66};
    style.align = kAlignFar;
    graphics->MeasureText(style, "Program", far);
    EXPECT_EQ(far, (Rect{200 - w, 50, 200, 50 + h}));
    Rect untouched{1, 2, 3, 4};
    EXPECT_TRUE(graphics->MeasureText(style, "", untouched));
    EXPECT_EQ(untouched, (Rect{1, 2, 3, 4}));
}

}  // namespace
