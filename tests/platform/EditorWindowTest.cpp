// The editor's own panel in a Qt window on the offscreen platform, edited with synthetic mouse
// input, against the virtual unit.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "EditorInWindow.h"
#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "editor/ProgramOperations.h"
#include "gui/KeyboardControl.h"
#include "platform/qt/GraphicsQt.h"

namespace {

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        test_ = std::make_unique<EditorInWindow>();
        panel_ = test_->Widget();
        EditorInWindow::RunFor(60);
    }
    void TearDown() override { test_.reset(); }
    int Value(int position) const { return test_->Value(position); }
    void Click(QPoint at) {
        synth::Press(panel_, at, Qt::LeftButton);
        synth::Release(panel_, at, Qt::LeftButton);
        EditorInWindow::RunFor(20);
    }

    std::unique_ptr<EditorInWindow> test_;
    QWidget* panel_ = nullptr;
};

}  // namespace

TEST_F(EditorWindow, DragClickAndKeyOnTheWindowReachTheUnit) {
    // "VCO1 volume": drag its cap up.
    const QPoint volume = test_->Reach(11);
    synth::Drag(panel_, volume, volume - QPoint(0, 40));
    EditorInWindow::RunFor(20);
    EXPECT_GT(Value(11), 32) << "the default program's volume is 32";
    EXPECT_EQ(test_->Unit().EditValue(11), Value(11));

    // "VCF slope": one click switches it to 24 dB.
    const int slope = Value(77);
    Click(test_->Reach(77));
    EXPECT_EQ(Value(77), 1 - slope);
    EXPECT_EQ(test_->Unit().EditValue(77), Value(77));

    // A key of the on-screen keyboard: note on, then note off, on the unit's channel.
    const int before = test_->Unit().Counters().shortMessages;
    Click(test_->Reach(*test_->Panel().Keyboard()));
    EXPECT_EQ(test_->Unit().Counters().shortMessages - before, 2);
}

TEST_F(EditorWindow, ZoomFromTheViewMenuResizesThePanelWindow) {
    EXPECT_TRUE(test_->Editor().DoCommand(17));
    EditorInWindow::RunFor(30);
    EXPECT_EQ(panel_->width(), 1229);
    EXPECT_EQ(panel_->height(), 960);
    EXPECT_TRUE(test_->Editor().DoCommand(15));
    EditorInWindow::RunFor(30);
    EXPECT_EQ(panel_->width(), 1024);
}

namespace {

// Program operations that only count the panel's idle calls.
class IdleCounter : public ProgramOperations {
public:
    void PanelAction(int, double) override {}
    bool OpenProgramFile(const std::string&) override { return false; }
    void RestoreLastProgram() override {}
    void StoreLastProgram() override {}
    void GuiIdle() override { ++calls; }
    void Tick() override {}
    void StatusReply(uint8_t) override {}
    void FirmwareReply(uint8_t) override {}
    void ProgramDump(const uint8_t*, size_t) override {}
    void UnitConnectionLost() override {}
    bool Command(int) override { return false; }
    bool TransferRunning() const override { return false; }
    int calls = 0;
};

}  // namespace

TEST_F(EditorWindow, AtHalfHeightThePanelStillGoesIdle) {
    auto counter = std::make_unique<IdleCounter>();
    IdleCounter* idle = counter.get();
    test_->Editor().AttachPrograms(std::move(counter));
    // 1024 x 400: the lower half of the panel, with controls that were dirty, is cut off.
    ASSERT_TRUE(test_->Editor().DoCommand(11));
    EditorInWindow::RunFor(50);
    EXPECT_EQ(panel_->size(), QSize(1024, 400));
    const int before = idle->calls;
    EditorInWindow::RunFor(100);
    // The idle hook, which sends the transfers' next requests, keeps being called.
    EXPECT_GT(idle->calls, before);
    Rect dirty;
    EXPECT_FALSE(test_->Gui().CollectDirty(dirty));
}
