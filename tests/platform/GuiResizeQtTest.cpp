#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "EditorInWindow.h"
#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "gui/GuiResize.h"
#include "platform/qt/GraphicsQt.h"

namespace {

// The editor's panel in a Qt window, zoomed by its own resize control; the settings file lives
// in the temporary per-user folder of the test.
class ZoomWindow : public ::testing::Test {
protected:
    void SetUp() override { test_ = std::make_unique<EditorInWindow>(); }
    void TearDown() override { test_.reset(); }

    QWidget* Panel() const { return test_->Widget(); }
    GuiResize& Resize() const { return *test_->Editor().Resize(); }
    std::string Stored() const { return TempDir::Read(test_->SettingsPath()); }

    std::unique_ptr<EditorInWindow> test_;
};

}  // namespace

TEST_F(ZoomWindow, ViewCommandZoomsThePanelWindowAndStoresTheScale) {
    ASSERT_TRUE(Resize().DoViewCommand(17));
    test_->Settle();
    EXPECT_EQ(Panel()->width(), 1229);
    EXPECT_EQ(Panel()->height(), 960);
    EXPECT_NE(Stored().find("guiscale=1.200000000000000"), std::string::npos);
    const QImage shown = Panel()->grab().toImage();
    ASSERT_EQ(shown.width(), 1229);
    raster::SysBitmap* bitmap = test_->Gui().DrawBitmap();
    for (QPoint at : {QPoint(20, 20), QPoint(1200, 900), QPoint(600, 480)}) {
        EXPECT_EQ(shown.pixel(at) & 0xFFFFFF, bitmap->Row(at.y())[at.x()] & 0xFFFFFF) << at.x();
    }
}

TEST_F(ZoomWindow, DraggingTheGripShowsThePanelZoomedUntilRelease) {
    QWidget* panel = Panel();
    // The grip sits in the panel's lower right corner.
    const QPoint grip(panel->width() - 8, panel->height() - 8);
    synth::Press(panel, grip, Qt::LeftButton);
    synth::Move(panel, QPoint(1100, 900), Qt::LeftButton);
    test_->Settle(1);
    EXPECT_TRUE(Resize().DragInProgress());
    EXPECT_NEAR(Resize().Scale(), 1000.0 / 912.0, 1e-9);
    EXPECT_EQ(panel->width(), 1123);  // the background's width, trunc(1024.4999 x 1000 / 912)
    // Not a blank: the panel as it was, zoomed, until the images are drawn for the new size.
    const QImage dragged = panel->grab().toImage();
    EXPECT_NE(dragged.pixel(400, 300) & 0xFFFFFF, 0x191919u);
    EXPECT_NE(dragged.pixel(1000, 800) & 0xFFFFFF, 0x191919u);
    synth::Release(panel, QPoint(1100, 900), Qt::LeftButton);
    test_->Settle();
    EXPECT_FALSE(Resize().DragInProgress());
    EXPECT_NE(panel->grab().toImage().pixel(400, 300) & 0xFFFFFF, 0x191919u);
    EXPECT_EQ(Resize().DrawRect().R, panel->width());
    EXPECT_EQ(Resize().DrawRect().B, panel->height());
}
