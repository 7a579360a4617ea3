#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdlib>

#include "QtPanelDriver.h"
#include "gui/GuiLayoutStore.h"
#include "gui/GuiResize.h"
#include "platform/qt/PanelWidget.h"
#include "support/TempDir.h"

namespace {

// The framework's test panel in a Qt window, zoomed by the resize control; the settings file
// lives in a temporary per-user folder.
class ZoomWindow : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
        GuiLayoutStore::Process().Clear();
        test_ = std::make_unique<QtTestPanel>();
        test_->core = std::make_unique<TestPanelCore>();
        test_->graphics = new ArtworkGraphics<GraphicsQt>(test_->core.get());
        test_->graphics->SetImageScaleDivisor(2);
        resize_ = std::make_unique<GuiResize>(test_->core.get(), test_->graphics);
        resize_->SetScaleLimits(50, 200);
        resize_->SetBaseSizeLimits(512, 400, 2048, 1600);
        test_->core->SetGuiResize(resize_.get());
        test_->panel = std::make_unique<TestPanel>(*test_->core, test_->graphics);
        OpenInWindow(*test_);
        resize_->ApplyAtOpening();
        test_->Settle();
    }
    void TearDown() override {
        resize_.reset();
        test_.reset();
        Graphics::ReleaseCaches();
        unsetenv("XDG_CONFIG_HOME");
    }

    QWidget* Panel() const { return test_->Panel(); }
    std::string Stored() const {
        return TempDir::Read(config_.File("OrvodyneEditor/settings.ini"));
    }

    TempDir config_;
    std::unique_ptr<QtTestPanel> test_;
    std::unique_ptr<GuiResize> resize_;
};

}  // namespace

TEST_F(ZoomWindow, ViewCommandZoomsThePanelWindowAndStoresTheScale) {
    ASSERT_TRUE(resize_->DoViewCommand(17));
    test_->Settle();
    EXPECT_EQ(Panel()->width(), 1229);
    EXPECT_EQ(Panel()->height(), 960);
    EXPECT_NE(Stored().find("guiscale=1.200000000000000"), std::string::npos);
    const QImage shown = Panel()->grab().toImage();
    ASSERT_EQ(shown.width(), 1229);
    raster::SysBitmap* bitmap = test_->graphics->DrawBitmap();
    for (QPoint at : {QPoint(20, 20), QPoint(1200, 900), QPoint(600, 480)}) {
        EXPECT_EQ(shown.pixel(at) & 0xFFFFFF, bitmap->Row(at.y())[at.x()] & 0xFFFFFF) << at.x();
    }
}

TEST_F(ZoomWindow, DraggingTheGripZoomsWithAGreyPanelUntilRelease) {
    QWidget* panel = Panel();
    const QPoint grip(1016, 792);
    synth::Press(panel, grip, Qt::LeftButton);
    synth::Move(panel, QPoint(1100, 900), Qt::LeftButton);
    test_->Settle(1);
    EXPECT_TRUE(resize_->DragInProgress());
    EXPECT_NEAR(resize_->Scale(), 1000.0 / 912.0, 1e-9);
    EXPECT_EQ(panel->width(), 1123);  // the background's width, trunc(1024.4999 x 1000 / 912)
    EXPECT_EQ(panel->grab().toImage().pixel(400, 300) & 0xFFFFFF, 0x191919u);
    synth::Release(panel, QPoint(1100, 900), Qt::LeftButton);
    test_->Settle();
    EXPECT_FALSE(resize_->DragInProgress());
    EXPECT_NE(panel->grab().toImage().pixel(400, 300) & 0xFFFFFF, 0x191919u);
    EXPECT_EQ(resize_->DrawRect().R, panel->width());
    EXPECT_EQ(resize_->DrawRect().B, panel->height());
}
