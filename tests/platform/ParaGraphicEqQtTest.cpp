// The editor panel's graphic equalizer in the Qt window: handles dragged with the mouse move the
// unit's band parameters, and the window shows the curve and the label.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "EditorInWindow.h"
#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/ParaGraphicEq.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/PanelWidget.h"

namespace {

// The unit's positions of the two middle bands: frequency, Q and boost each.
constexpr int kMid1Frequency = 113;
constexpr int kMid1Boost = 115;
constexpr int kMid2Frequency = 116;
constexpr int kMid2Q = 117;

class EqWindow : public ::testing::Test {
protected:
    void SetUp() override {
        test_ = std::make_unique<EditorInWindow>();
        eq_ = test_->Panel().Equalizer();
        ASSERT_NE(eq_, nullptr);
        // The middle bands apart, then the equalizer effect, which hands the display its bands.
        SetUnitValue(kMid1Frequency, 40);
        SetUnitValue(kMid2Frequency, 100);
        SetUnitValue(kMid2Q, 60);
        SetUnitValue(kEffectTypePosition, kEffectEqualizer);
        test_->Settle();
        ASSERT_FALSE(eq_->IsHidden());
    }
    void TearDown() override { test_.reset(); }

    void SetUnitValue(int position, int value) {
        OrvoEditor& editor = test_->Editor();
        const int index = ParamIndexOfPosition(position);
        const Parameter& param = *editor.GetParam(index);
        editor.SetParameterFromGui(index,
                                   (value - param.minimum) / (param.maximum - param.minimum));
    }
    QPoint Handle(int band) const {
        const Rect& place = eq_->DrawRect();
        return {place.L + eq_->HandleX(band), place.T + eq_->HandleY(band)};
    }
    QRgb Shown(QPoint at) const { return test_->Widget()->grab().toImage().pixel(at) & 0xFFFFFF; }

    std::unique_ptr<EditorInWindow> test_;
    ParaGraphicEq* eq_ = nullptr;
};

}  // namespace

TEST_F(EqWindow, LeftDragMovesTheHandleAndTheUnitsBandFollows) {
    const QPoint from = Handle(1);
    EXPECT_EQ(Shown(from), 0xFFFF00u);
    const float frequency = eq_->Band(1).Frequency();
    // A quarter of the display's height above the centre line is half the highest gain.
    const QPoint to(from.x() + 60, from.y() - eq_->DrawRect().Height() / 4);
    synth::Drag(test_->Widget(), from, to);
    test_->Settle();
    EXPECT_GT(eq_->Band(1).Frequency(), frequency);
    EXPECT_NEAR(eq_->Band(1).Gain(), 12.0f, 0.5f);
    EXPECT_NEAR(test_->Value(kMid1Boost), 12, 1);
    EXPECT_GT(test_->Value(kMid1Frequency), 40);
    EXPECT_EQ(test_->Unit().EditValue(kMid1Frequency), test_->Value(kMid1Frequency));
    // The band is kept as the unit's 7-bit values, so the handle may land a pixel or two short.
    EXPECT_LE((Handle(1) - to).manhattanLength(), 3);
    EXPECT_EQ(Shown(Handle(1)), 0xFFFF00u);
    // The old place is flat again: the curve crosses it on the centre line.
    EXPECT_NE(Shown(from), 0xFFFF00u);
    const Rect& place = eq_->DrawRect();
    EXPECT_EQ(Shown({from.x() - 60, (place.T + place.B) / 2}), 0xFF0000u);
}

TEST_F(EqWindow, RightDragWidensABandAndTheLabelShowsWhileHeld) {
    QWidget* panel = test_->Widget();
    const QPoint at = Handle(2);
    const float width = eq_->Band(2).Width();
    const int q = test_->Value(kMid2Q);
    // The label box's top row: above the capitals of its first line, " 2.00kHz", which fills
    // the box's width.
    const QPoint label = at + QPoint(2, -40);
    const QRgb before = Shown(label);
    synth::Press(panel, at, Qt::RightButton);
    synth::Move(panel, at + QPoint(3, 0), Qt::RightButton);
    synth::Move(panel, at + QPoint(6, 0), Qt::RightButton);
    test_->Settle();
    EXPECT_GT(eq_->Band(2).Width(), width + 0.15f);
    EXPECT_LT(test_->Value(kMid2Q), q) << "a wider band is a lower Q";
    // The label's background darkens the panel above the handle.
    const QRgb held = Shown(label);
    EXPECT_LT(qRed(held) + qGreen(held) + qBlue(held),
              qRed(before) + qGreen(before) + qBlue(before));
    synth::Release(panel, at + QPoint(6, 0), Qt::RightButton);
    test_->Settle();
    EXPECT_EQ(Shown(label), before);
}
