// The editor's own panel in the Qt panel window: the window layer's mapping of mouse, wheel and
// keys, its value entry, menus, boxes and choosers, and its painting, on the offscreen platform.
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
#include <QTest>
#include <QToolTip>
#include <vector>

#include "EditorInWindow.h"
#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/ContactControl.h"
#include "gui/FileSelectorControl.h"
#include "gui/TextControl.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/PanelTextEntry.h"
#include "platform/qt/PanelWidget.h"

namespace {

// The Qt layer with every modal step answered from the test.
class ScriptedGraphicsQt : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;

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
        ++fileDialogs;
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
    int fileDialogs = 0;
    QStringList fileFilters;
    bool fileSaving = false;
    QString fileAnswer;
};

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
    int count = 0;
};

// Fills its rectangle with one colour, alpha included.
class TranslucentPatch : public Control {
public:
    TranslucentPatch(const Rect& rect, const ColorARGB& colour)
        : Control(nullptr, rect, -1), colour_(colour) {}
    bool Draw(Graphics& graphics) override {
        return graphics.FillRect(colour_, DrawRect(), nullptr);
    }

private:
    ColorARGB colour_;
};

// "portamento time", 0..127: a knob with gearing 4, so one knob height of travel is a quarter
// of its range.
constexpr int kPosition = 78;
constexpr int kKnobHeight = 32;

class PanelWindow : public ::testing::Test {
protected:
    void SetUp() override {
        test = std::make_unique<EditorInWindow>(
            [](PluginBase* core) { return new ScriptedGraphicsQt(core); });
        graphics = static_cast<ScriptedGraphicsQt*>(&test->Gui());
        panel = test->Widget();
        knob = test->Panel().PositionControl(kPosition);
        ASSERT_NE(knob, nullptr);
        at = test->Reach(*knob);
        ASSERT_NE(at, QPoint(-1, -1));
        // The editor's panel leaves the value prompt of a right click off on every control;
        // the window layer's value entry is tried on this knob with the prompt switched on.
        knob->SetPromptDisabled(false);
        SetValue(0);
    }
    void TearDown() override { test.reset(); }

    // Sets the knob's value as a program load would, and lets the panel show it.
    void SetValue(int value) {
        OrvoEditor& editor = test->Editor();
        const int index = ParamIndexOfPosition(kPosition);
        editor.SetParameterFromGui(index, value / 127.0);
        editor.RedrawParamControls();
        test->Settle();
    }
    int Value() const { return test->Value(kPosition); }
    int UnitValue() { return test->Unit().EditValue(kPosition); }

    // Right-clicks the knob in the active window, chooses "Enter value..." in its menu, and
    // returns the value entry that opens over it, with the keyboard focus as a person would
    // find it.
    PanelTextEntry* OpenEntry() {
        EXPECT_TRUE(test->Activate());
        graphics->menuPick = 0;
        synth::Press(panel, at, Qt::RightButton);
        synth::Release(panel, at, Qt::RightButton);
        return graphics->TextEntry();
    }

    std::unique_ptr<EditorInWindow> test;
    ScriptedGraphicsQt* graphics = nullptr;
    QWidget* panel = nullptr;
    Control* knob = nullptr;
    QPoint at;
};

TEST_F(PanelWindow, DragOnAKnobMovesItsParameterByTheGearing) {
    // One knob height of travel is a quarter of the range: 31.75, snapped to the step.
    synth::Drag(panel, at, at - QPoint(0, kKnobHeight));
    EXPECT_EQ(Value(), 32);
    EXPECT_EQ(UnitValue(), 32);
    // Moving back down by half a knob takes an eighth off; sideways movement does nothing.
    synth::Drag(panel, at, at + QPoint(40, kKnobHeight / 2));
    EXPECT_EQ(Value(), 16);
    EXPECT_EQ(UnitValue(), 16);
    // The value text follows at the next tick.
    test->Settle();
    EXPECT_EQ(test->Panel().ValueText(kPosition)->Text().rfind("16", 0), 0u)
        << test->Panel().ValueText(kPosition)->Text();
}

TEST_F(PanelWindow, ShiftOrCtrlMakeTheDragTenTimesFiner) {
    synth::Drag(panel, at, at - QPoint(0, kKnobHeight), Qt::ShiftModifier);
    EXPECT_EQ(Value(), 3);  // 127 / 40
    synth::Drag(panel, at, at - QPoint(0, kKnobHeight), Qt::ControlModifier);
    EXPECT_EQ(Value(), 6);
    EXPECT_EQ(UnitValue(), 6);
}

TEST_F(PanelWindow, WheelMovesByDetents) {
    synth::Wheel(panel, at, 240 * 4);                         // eight detents of three units
    EXPECT_EQ(Value(), 24);                                   // 127 / 50, rounded to whole units
    synth::Wheel(panel, at, -120 * 10, Qt::ControlModifier);  // ten fine detents of one unit
    EXPECT_EQ(Value(), 14);
    // A fine-grained wheel sends less than a detent at a time; the parts add up.
    synth::Wheel(panel, at, 40);
    synth::Wheel(panel, at, 40);
    EXPECT_EQ(Value(), 14);
    synth::Wheel(panel, at, 40);
    EXPECT_EQ(Value(), 17);
    EXPECT_EQ(UnitValue(), 17);
}

TEST_F(PanelWindow, DoubleClickRestoresTheDefault) {
    synth::Drag(panel, at, at - QPoint(0, 2 * kKnobHeight));
    EXPECT_EQ(Value(), 64);
    synth::DoubleClick(panel, at);
    EXPECT_EQ(Value(), 0);
    EXPECT_EQ(UnitValue(), 0);
}

TEST_F(PanelWindow, TextEntryDropsWhatAnIntegerCannotHoldAndCommitsOnEnter) {
    SetValue(42);
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "42");
    EXPECT_TRUE(entry->hasSelectedText());
    // A 40 x 16 box centred on the knob, one pixel larger each way.
    const Rect& box = knob->DrawRect();
    const QPoint centre((box.L + box.R) / 2, (box.T + box.B) / 2);
    EXPECT_EQ(entry->geometry(), QRect(centre.x() - 20, centre.y() - 8, 41, 17));
    synth::Key(entry, Qt::Key_1, "1");
    synth::Key(entry, Qt::Key_Period, ".");
    synth::Key(entry, Qt::Key_5, "5");
    EXPECT_EQ(entry->text(), "15");
    synth::Key(entry, Qt::Key_Return, "\r");
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryCommit);
    EXPECT_EQ(Value(), 42);  // nothing happens before the tick
    graphics->TimerTick();
    EXPECT_EQ(graphics->TextEntry(), nullptr);
    EXPECT_EQ(Value(), 15);
    EXPECT_EQ(UnitValue(), 15);
}

TEST_F(PanelWindow, RefusalsAreSaidBesideTheEntryWhichStaysOpen) {
    SetValue(42);
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    const QString range = "PORTA takes values from 0 to 127.";
    // A letter is refused as it is typed, naming the control as the panel labels it.
    synth::Key(entry, Qt::Key_X, "x");
    EXPECT_EQ(entry->text(), "42");
    EXPECT_EQ(entry->Refusal(), "Please enter a number.\n" + range);
    const QRect note = entry->NoteGeometry();
    EXPECT_FALSE(note.intersects(entry->geometry())) << "the note stands beside the entry";
    EXPECT_TRUE(QRect(QPoint(0, 0), panel->size()).contains(note));
    // Typing again takes the note away; a value out of range brings it back at Enter, and the
    // entry stays open for a better one, with no message box.
    synth::Key(entry, Qt::Key_2, "2");
    EXPECT_EQ(entry->Refusal(), "");
    synth::Key(entry, Qt::Key_0, "0");
    synth::Key(entry, Qt::Key_0, "0");
    synth::Key(entry, Qt::Key_Return, "\r");
    graphics->TimerTick();
    ASSERT_EQ(graphics->TextEntry(), entry);
    EXPECT_EQ(entry->Refusal(), "200 is out of range.\n" + range);
    EXPECT_EQ(entry->selectedText(), "200");
    test->Settle();
    EXPECT_EQ(graphics->boxTitle, "");
    EXPECT_EQ(Value(), 42);
    synth::Key(entry, Qt::Key_9, "9");
    synth::Key(entry, Qt::Key_Return, "\r");
    graphics->TimerTick();
    EXPECT_EQ(graphics->TextEntry(), nullptr);
    EXPECT_EQ(Value(), 9);
}

TEST_F(PanelWindow, EscapeLeavesTheValueAsItWas) {
    SetValue(42);
    const int sent = test->Unit().Counters().shortMessages;
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    synth::Key(entry, Qt::Key_9, "9");
    synth::Key(entry, Qt::Key_Escape);
    graphics->TimerTick();
    EXPECT_EQ(graphics->TextEntry(), nullptr);
    EXPECT_EQ(Value(), 42);
    EXPECT_EQ(test->Unit().Counters().shortMessages, sent);
}

TEST_F(PanelWindow, FocusLeavingTheEntryCommitsIt) {
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    synth::Key(entry, Qt::Key_2, "2");
    synth::Key(entry, Qt::Key_0, "0");
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(entry, &away);
    graphics->TimerTick();
    EXPECT_EQ(Value(), 20);
    EXPECT_EQ(UnitValue(), 20);
}

TEST_F(PanelWindow, AClickOnThePanelWhileTheEntryHasTheFocusCancelsItAndReachesNoControl) {
    SetValue(42);
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([entry] { return entry->hasFocus(); }, 2000));
    synth::Key(entry, Qt::Key_7, "7");
    // What the window system repaints for the activation and the focus goes first.
    EditorInWindow::RunFor(50);
    // The panel's timer runs on while the entry has the focus, and a change arrives meanwhile
    // ("VCF slope" from a program load, say): the panel does not draw, not even around the entry.
    PaintCounter paints(panel);
    const int slope = ParamIndexOfPosition(77);
    test->Editor().SetParameterFromGui(slope, 1.0 - test->Editor().ParamValue(slope));
    EditorInWindow::RunFor(100);
    EXPECT_EQ(paints.count, 0);
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryFocused);
    // A press on the knob, moved as if to turn it: the entry goes without a value, and the
    // knob takes neither the press nor the drag.
    const int sent = test->Unit().Counters().shortMessages;
    synth::Press(panel, at, Qt::LeftButton);
    synth::Move(panel, at - QPoint(0, 30), Qt::LeftButton);
    synth::Release(panel, at - QPoint(0, 30), Qt::LeftButton);
    EditorInWindow::RunFor(50);
    EXPECT_EQ(graphics->TextEntry(), nullptr);
    EXPECT_EQ(Value(), 42);
    EXPECT_EQ(test->Unit().Counters().shortMessages, sent);
    // Then the panel draws again.
    EXPECT_GT(paints.count, 0);
}

TEST_F(PanelWindow, DoubleClickOnAMomentaryButtonReleasesIt) {
    // "DEFAULT" of the section buttons: pressed it is 1, and it comes back to 0 on release.
    Control* button = nullptr;
    for (int i = 0; i < graphics->GetNControls(); ++i) {
        Control* control = graphics->GetControl(i);
        if (control->ParamIndex() == kParamSectionDefault) button = control;
    }
    ASSERT_NE(dynamic_cast<ContactControl*>(button), nullptr);
    ASSERT_TRUE(test->Activate());
    // Through the window system's own input path, which tells the double-click from two
    // clicks itself.
    QWidget* window = test->Window();
    const QPoint on = panel->mapTo(window, test->Reach(*button));
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, on);
    test->Settle();
    EXPECT_EQ(button->Value(), 0.0);
    EXPECT_EQ(test->Editor().ParamValue(kParamSectionDefault), 0.0);
    EXPECT_EQ(graphics->CaptureIndex(), -1);
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
    for (QPoint point : {QPoint(640, 40), QPoint(20, 20), QPoint(500, 760), QPoint(1000, 700)}) {
        EXPECT_EQ(shown.pixel(point) & 0xFFFFFF, bitmap->Row(point.y())[point.x()] & 0xFFFFFF)
            << point.x();
    }
}

TEST_F(PanelWindow, ThePanelIsOpaqueOnScreenWhateverAlphaItsBitmapHolds) {
    // A patch drawn at alpha 128 over the panel leaves an alpha below 255 in the draw bitmap,
    // as blends do.
    TranslucentPatch patch(Rect{300, 200, 310, 210}, {128, 0xC0, 0x30, 0x60});
    graphics->AddControl(&patch);
    graphics->MarkAllDirty();
    test->Settle();
    const uint32_t drawn = graphics->DrawBitmap()->Row(205)[305];
    ASSERT_LT(drawn >> 24, 255u);
    // On screen the pixel shows at full colour, as on a screen that has no alpha.
    const QImage shown = panel->grab(QRect(300, 200, 10, 10)).toImage();
    EXPECT_EQ(shown.pixel(5, 5), 0xFF000000u | (drawn & 0xFFFFFF));
    test.reset();  // the panel goes before the patch it holds
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

TEST_F(PanelWindow, ClickingTheLoadChooserAsksForAProgramFile) {
    const Control* chooser = test->Panel().Chooser(kParamProgramLoadFile);
    ASSERT_NE(chooser, nullptr);
    const QPoint on = test->Reach(*chooser);
    graphics->fileAnswer.clear();  // the person cancels
    synth::Press(panel, on, Qt::LeftButton);
    synth::Release(panel, on, Qt::LeftButton);
    EXPECT_EQ(graphics->fileDialogs, 1);
    EXPECT_FALSE(graphics->fileSaving);
    EXPECT_EQ(graphics->fileFilters.value(0), "*.prg (*.prg)");
}

TEST_F(PanelWindow, HoverShowsTheTooltipOfTheControlUnderThePointer) {
    synth::Move(panel, at, Qt::NoButton);
    QHelpEvent hover(QEvent::ToolTip, at, panel->mapToGlobal(at));
    QCoreApplication::sendEvent(panel, &hover);
    EXPECT_TRUE(graphics->TooltipShown());
    EXPECT_EQ(QToolTip::text(), "portamento time");
    // Moving onto another control ("VCF slope") hides it until the next hover.
    synth::Move(panel, test->Reach(77), Qt::NoButton);
    EXPECT_FALSE(graphics->TooltipShown());
}

TEST_F(PanelWindow, ResizingThePanelGrowsItsWindowByTheSameAmount) {
    test->Window()->setFixedSize(1024, 820);
    graphics->ResizePanel(1228, 960);
    EXPECT_EQ(panel->size(), QSize(1228, 960));
    EXPECT_EQ(test->Window()->size(), QSize(1228, 980));
    EXPECT_EQ(graphics->DrawBitmap()->Width(), 1228);
}

TEST_F(PanelWindow, RepaintsAroundAnOpenEntryLeaveItAlone) {
    PanelTextEntry* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    // While the entry has the focus the panel does not draw, however many ticks pass.
    graphics->SetEntryState(GraphicsQt::kEntryFocused);
    knob->MarkDirty(false);
    for (int tick = 0; tick < 5; ++tick)
        graphics->TimerTick();
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryFocused);
    EXPECT_TRUE(knob->IsDirty());
    // Without the focus it repaints around the entry, then lets one tick pass.
    graphics->SetEntryState(GraphicsQt::kEntryIdle);
    graphics->TimerTick();
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryRepainted);
    EXPECT_EQ(graphics->TextEntry(), entry);
    graphics->TimerTick();
    EXPECT_EQ(graphics->EntryState(), GraphicsQt::kEntryIdle);
}

TEST_F(PanelWindow, HiddenWindowStillDrawsSoThePanelCanGoIdle) {
    const Rect area = knob->DrawRect();
    auto drawn = [this, &area] {
        std::vector<uint32_t> pixels;
        for (int y = area.T; y < area.B; ++y) {
            const uint32_t* row = graphics->DrawBitmap()->Row(y);
            pixels.insert(pixels.end(), row + area.L, row + area.R);
        }
        return pixels;
    };
    const std::vector<uint32_t> atZero = drawn();
    test->Window()->hide();
    knob->SetValueFromUser(0.5);
    // A user change asks for one redraw more; then the panel is clean and idle ticks follow.
    graphics->TimerTick();
    graphics->TimerTick();
    EXPECT_FALSE(knob->IsDirty());
    // The change reached the bitmap for when the window comes back.
    EXPECT_NE(drawn(), atZero);
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
