// The editor's own panel in a Qt window on the offscreen platform, edited with synthetic mouse
// input, against the virtual unit.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <memory>

#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "gui/GraphicsFactory.h"
#include "gui/GuiResize.h"
#include "library/MakePlugin.h"
#include "platform/qt/GraphicsQt.h"
#include "sim/VirtualOrvo.h"
#include "support/SimOutputPort.h"

namespace {

// Lets the panel's timer run for a while, as the event loop would.
void RunFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        SetGraphicsFactory([](PluginBase* core) { return new GraphicsQt(core); });
        editor_.reset(MakePlugin(&port_, &channel_));
        SetGraphicsFactory({});
        graphics_ = dynamic_cast<GraphicsQt*>(editor_->Gui());
        ASSERT_NE(graphics_, nullptr);
        window_ = std::make_unique<QWidget>();
        window_->resize(1024, 800);
        panel_ = static_cast<QWidget*>(graphics_->CreatePanelWindow(window_.get()));
        editor_->Resize()->ApplyAtOpening();
        window_->show();
        RunFor(60);
    }
    void TearDown() override {
        if (graphics_ != nullptr) graphics_->DestroyPanelWindow();
        RunFor(10);
        editor_.reset();
        // The image cache is the process's: leave it as the next test expects to find it.
        Graphics::ReleaseCaches();
    }
    int Value(int position) const { return IntValue(*editor_->GetParam(position + 3)); }

    VirtualOrvo unit_;
    SimOutputPort port_{unit_};
    uint16_t channel_ = 1;
    std::unique_ptr<OrvoEditor> editor_;
    GraphicsQt* graphics_ = nullptr;
    std::unique_ptr<QWidget> window_;
    QWidget* panel_ = nullptr;
};

}  // namespace

TEST_F(EditorWindow, DragClickAndKeyOnTheWindowReachTheUnit) {
    // "VCO1 volume": drag its cap up.
    synth::Drag(panel_, QPoint(480, 100), QPoint(480, 60));
    RunFor(20);
    EXPECT_GT(Value(11), 32) << "the default program's volume is 32";
    EXPECT_EQ(unit_.EditValue(11), Value(11));

    // "VCF slope": one click switches it to 24 dB.
    const int slope = Value(77);
    synth::Press(panel_, QPoint(935, 37), Qt::LeftButton);
    synth::Release(panel_, QPoint(935, 37), Qt::LeftButton);
    RunFor(20);
    EXPECT_EQ(Value(77), 1 - slope);
    EXPECT_EQ(unit_.EditValue(77), Value(77));

    // A key of the on-screen keyboard: note on, then note off, on the unit's channel.
    const int before = unit_.Counters().shortMessages;
    synth::Press(panel_, QPoint(269, 790), Qt::LeftButton);
    synth::Release(panel_, QPoint(269, 790), Qt::LeftButton);
    RunFor(20);
    EXPECT_EQ(unit_.Counters().shortMessages - before, 2);
}

TEST_F(EditorWindow, ZoomFromTheViewMenuResizesThePanelWindow) {
    EXPECT_TRUE(editor_->DoCommand(17));
    RunFor(30);
    EXPECT_EQ(panel_->width(), 1229);
    EXPECT_EQ(panel_->height(), 960);
    EXPECT_TRUE(editor_->DoCommand(15));
    RunFor(30);
    EXPECT_EQ(panel_->width(), 1024);
}
