#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "QtPanelDriver.h"
#include "gui/ParaGraphicEq.h"
#include "platform/qt/PanelWidget.h"
#include "support/ParaGraphicEqSettings.h"

namespace {

constexpr int kEqParam = 161;
const Rect kPlace{530, 593, 990, 708};

// The equalizer display alone on a panel in a Qt window, bands as the editor sets them.
class EqWindow : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        core_ = std::make_unique<PluginBase>();
        InitIntParam(*core_->GetParam(kEqParam), "PGEq", 0, 0, 3);
        graphics_ = new GraphicsQt(core_.get());
        graphics_->AddBackgroundPanel({255, 30, 30, 30});
        const EqSettings settings = EditorEqSettings();
        eq_ = std::make_unique<ParaGraphicEq>(core_.get(), kPlace, kEqParam, settings);
        graphics_->AddControl(eq_.get());
        eq_->SetBand(
            {0, kEqLowShelf, 0.0f, 100.0f, 7.0f, 50.0f, 270.0f, -20.0f, 20.0f, 4.0f, 10.0f});
        eq_->SetBand(
            {1, kEqPeak, 0.0f, 500.0f, 1.0f, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f});
        eq_->SetBand(
            {2, kEqPeak, 0.0f, 2000.0f, 1.0f, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f});
        eq_->SetBand(
            {3, kEqHighShelf, 0.0f, 4000.0f, 7.0f, 2000.0f, 7000.0f, -15.0f, 15.0f, 4.0f, 10.0f});
        core_->AttachGraphics(graphics_);
        window_ = std::make_unique<QWidget>();
        window_->resize(graphics_->Width(), graphics_->Height());
        graphics_->CreatePanelWindow(window_.get());
        window_->show();
        Settle();
    }
    void TearDown() override {
        core_.reset();  // the graphics and its widget go with the core
        eq_.reset();
        window_.reset();
        Graphics::ReleaseCaches();
    }

    void Settle() {
        for (int i = 0; i < 4; ++i) {
            QCoreApplication::processEvents();
            graphics_->TimerTick();
        }
    }
    QPoint Handle(int band) const {
        return {kPlace.L + eq_->HandleX(band), kPlace.T + eq_->HandleY(band)};
    }
    QRgb Shown(QPoint at) const {
        return graphics_->Widget()->grab().toImage().pixel(at) & 0xFFFFFF;
    }

    std::unique_ptr<PluginBase> core_;
    GraphicsQt* graphics_ = nullptr;
    std::unique_ptr<ParaGraphicEq> eq_;
    std::unique_ptr<QWidget> window_;
};

}  // namespace

TEST_F(EqWindow, LeftDragMovesTheHandleAndTheCurveFollows) {
    const QPoint from = Handle(1);
    EXPECT_EQ(Shown(from), 0xFFFF00u);
    const QPoint to = from + QPoint(60, -29);
    synth::Drag(graphics_->Widget(), from, to);
    Settle();
    EXPECT_GT(eq_->Band(1).Frequency(), 500.0f);
    EXPECT_NEAR(eq_->Band(1).Gain(), 12.0f, 0.5f);
    EXPECT_DOUBLE_EQ(core_->ParamValue(kEqParam), 1.0);  // band 1 of 0..3
    // The band's place is kept as a frequency and a gain, so the handle may land a pixel short.
    EXPECT_LE((Handle(1) - to).manhattanLength(), 2);
    EXPECT_EQ(Shown(Handle(1)), 0xFFFF00u);
    // The old place is flat again: the curve crosses it on the centre line.
    EXPECT_NE(Shown(from), 0xFFFF00u);
    EXPECT_EQ(Shown({from.x() - 150, (kPlace.T + kPlace.B) / 2}), 0xFF0000u);
}

TEST_F(EqWindow, RightDragWidensABandAndTheLabelShowsWhileHeld) {
    QWidget* panel = graphics_->Widget();
    const QPoint at = Handle(2);
    synth::Press(panel, at, Qt::RightButton);
    synth::Move(panel, at + QPoint(3, 0), Qt::RightButton);
    synth::Move(panel, at + QPoint(6, 0), Qt::RightButton);
    Settle();
    EXPECT_NEAR(eq_->Band(2).Width(), 1.2f, 1e-5);
    // The label's background darkens the panel above the handle, left of the short last line
    // (the first line, " 2.00kHz", fills the box's width).
    const QPoint inLabel = at + QPoint(2, -7);
    const QRgb label = Shown(inLabel);
    EXPECT_LT(qRed(label), 30);
    synth::Release(panel, at + QPoint(6, 0), Qt::RightButton);
    Settle();
    EXPECT_EQ(Shown(inLabel), 0x1E1E1Eu);
}
