// Layout editing on the editor's own panel in a Qt window on the offscreen platform: keys, mouse
// and the context menu as a developer would use them, against the virtual unit.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "EditorInWindow.h"
#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/GuiLayoutStore.h"
#include "gui/LayoutEditor.h"
#include "platform/qt/GraphicsQt.h"
#include "support/TempDir.h"

namespace {

constexpr int kVolumePosition = 11;  // "VCO1 volume", a knob

// The Qt panel window with its menus and message boxes answered by the test.
class AnsweringGraphics : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;

    std::string choice;  // the menu item to take
    std::vector<std::string> menuTexts;

protected:
    QAction* ExecMenu(QMenu& menu, const QPoint& globalPos) override {
        (void)globalPos;
        menuTexts.clear();
        QAction* chosen = nullptr;
        for (QAction* action : menu.actions()) {
            menuTexts.push_back(action->text().toStdString());
            if (action->text().toStdString() == choice) chosen = action;
        }
        return chosen;
    }
    int ExecMessageBox(QMessageBox& box) override {
        (void)box;
        return QMessageBox::Ok;
    }
};

void KeyWith(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(widget, &release);
}

QPoint Centre(const Rect& rect) {
    return QPoint((rect.L + rect.R) / 2, (rect.T + rect.B) / 2);
}

class LayoutEditing : public ::testing::Test {
protected:
    void SetUp() override {
        test_ = std::make_unique<EditorInWindow>(
            [](PluginBase* core) { return new AnsweringGraphics(core); });
        graphics_ = dynamic_cast<AnsweringGraphics*>(&test_->Gui());
        ASSERT_NE(graphics_, nullptr);
        layout_ = test_->Editor().Layout();
        ASSERT_NE(layout_, nullptr);
        // The panel as a start for layout editing (--layout-editing) sets it up.
        graphics_->SetLayoutMode(1, 16, 4);
        layout_->SetHeaderPath(dir_.File("PanelLayout.h"));
        knob_ = test_->Panel().PositionControl(kVolumePosition);
        panel_ = test_->Widget();
        RunFor(40);
    }
    void TearDown() override { test_.reset(); }
    static void RunFor(int ms) { EditorInWindow::RunFor(ms); }
    int Value(int position) const { return test_->Value(position); }
    void RightClick(QPoint at, const std::string& choice) {
        graphics_->choice = choice;
        synth::Press(panel_, at, Qt::RightButton);
        synth::Release(panel_, at, Qt::RightButton);
    }
    uint32_t Pixel(int x, int y) const { return graphics_->DrawBitmap()->Row(y)[x]; }

    TempDir dir_;
    std::unique_ptr<EditorInWindow> test_;
    AnsweringGraphics* graphics_ = nullptr;
    LayoutEditor* layout_ = nullptr;
    Control* knob_ = nullptr;
    QWidget* panel_ = nullptr;
};

}  // namespace

TEST_F(LayoutEditing, WithLayoutModeZeroTheKeyEDoesNothing) {
    graphics_->SetLayoutMode(0, 16, 4);
    synth::Key(panel_, Qt::Key_E, "e");
    RunFor(20);
    EXPECT_FALSE(graphics_->LayoutEditing());
    const int before = Value(kVolumePosition);
    const QPoint cap = Centre(knob_->TargetRect());
    synth::Drag(panel_, cap, cap - QPoint(0, 40));
    RunFor(20);
    EXPECT_GT(Value(kVolumePosition), before) << "the mouse still turns the knob";
    EXPECT_FALSE(std::filesystem::exists(dir_.File("PanelLayout.h")));
}

TEST_F(LayoutEditing, EditingKeepsTheKnobsValueAndMovesItOnTheGrid) {
    const Rect start = knob_->DrawRect();
    const int value = Value(kVolumePosition);
    const int sent = test_->Unit().Counters().shortMessages;
    synth::Key(panel_, Qt::Key_E, "e");
    RunFor(20);
    ASSERT_TRUE(graphics_->LayoutEditing());

    const QPoint grip = Centre(knob_->TargetRect());
    synth::Press(panel_, grip, Qt::LeftButton);
    synth::Release(panel_, grip, Qt::LeftButton);
    RunFor(20);
    EXPECT_EQ(layout_->Selected(), knob_);
    EXPECT_EQ(Value(kVolumePosition), value);
    EXPECT_EQ(test_->Unit().Counters().shortMessages, sent) << "nothing reaches the unit";

    synth::Drag(panel_, grip, grip + QPoint(37, 21));
    RunFor(20);
    const Rect moved = knob_->DrawRect();
    EXPECT_EQ(moved.L % 16, 0);
    EXPECT_EQ(moved.T % 16, 0);
    EXPECT_GT(moved.L, start.L + 37 - 16);
    EXPECT_LE(moved.L, start.L + 37);
    EXPECT_GT(moved.T, start.T + 21 - 16);
    EXPECT_LE(moved.T, start.T + 21);
    EXPECT_EQ(moved.Width(), start.Width());
    EXPECT_EQ(moved.Height(), start.Height());
    EXPECT_EQ(Value(kVolumePosition), value);

    // The corner zone of its mouse area shows the resize pointer, and dragging it resizes; the
    // picture grows with it.
    const Rect area = knob_->TargetRect();
    const QPoint corner(area.R - 2, area.B - 2);
    synth::Move(panel_, corner, Qt::NoButton);
    EXPECT_EQ(panel_->cursor().shape(), Qt::SizeFDiagCursor);
    synth::Move(panel_, Centre(area), Qt::NoButton);
    EXPECT_EQ(panel_->cursor().shape(), Qt::ArrowCursor);
    synth::Drag(panel_, corner, corner + QPoint(32, 32));
    RunFor(20);
    EXPECT_EQ(knob_->TargetRect().L, area.L);
    EXPECT_EQ(knob_->TargetRect().R % 16, 0);
    EXPECT_GT(knob_->TargetRect().Width(), area.Width() + 16);
    EXPECT_EQ(knob_->DrawRect().Width() - moved.Width(),
              knob_->TargetRect().Width() - area.Width());

    const std::string header = TempDir::Read(dir_.File("PanelLayout.h"));
    const Rect now = knob_->DrawRect();
    const std::string line = "SetDrawRECT(Rect(" + std::to_string(now.L) + ", " +
                             std::to_string(now.T) + ", " + std::to_string(now.R) + ", " +
                             std::to_string(now.B) + "));";
    EXPECT_NE(header.find(line), std::string::npos) << line;
}

TEST_F(LayoutEditing, UndoAfterBringToFrontRestoresTheLayerOrder) {
    synth::Key(panel_, Qt::Key_E, "e");
    const int layer = knob_->ListIndex();
    RightClick(Centre(knob_->TargetRect()), "Bring to Front");
    RunFor(20);
    EXPECT_EQ(layout_->Selected(), knob_);
    EXPECT_EQ(knob_->ListIndex(), graphics_->LastLayerIndex());
    EXPECT_EQ(graphics_->menuTexts.back(), "Delete Control !!!");

    RightClick(Centre(knob_->TargetRect()), "Undo");
    RunFor(20);
    EXPECT_EQ(graphics_->menuTexts.front(), "Undo");
    EXPECT_EQ(knob_->ListIndex(), layer);
    EXPECT_EQ(GuiLayoutStore::Process().Mode(0)[static_cast<size_t>(layer)].control, knob_);
}

TEST_F(LayoutEditing, OverlayComesAndGoesAndShiftOnlyChangesWhatIsShown) {
    // A point on a grid line.
    const int x = 512, y = 397;
    const uint32_t plain = Pixel(x, y);
    synth::Key(panel_, Qt::Key_E, "e");
    RunFor(40);
    EXPECT_NE(Pixel(x, y), plain);

    KeyWith(panel_, Qt::Key_D, Qt::ShiftModifier);
    EXPECT_EQ(layout_->ShownTarget(), LayoutEditor::kTargetDraw);
    EXPECT_EQ(layout_->EditedTarget(), LayoutEditor::kTargetBoth);
    KeyWith(panel_, Qt::Key_T, Qt::NoModifier);
    EXPECT_EQ(layout_->EditedTarget(), LayoutEditor::kTargetHit);

    synth::Key(panel_, Qt::Key_E, "e");
    RunFor(40);
    EXPECT_FALSE(graphics_->LayoutEditing());
    EXPECT_EQ(Pixel(x, y), plain);
}
