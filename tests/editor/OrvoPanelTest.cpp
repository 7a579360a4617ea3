#include "editor/OrvoPanel.h"

#include <gtest/gtest.h>

#include <vector>

#include "editor/OrvoEditor.h"
#include "editor/PanelPlaces.h"
#include "gui/Graphics.h"
#include "gui/GuiResize.h"
#include "gui/KnobMultiControl.h"
#include "gui/ParaGraphicEq.h"
#include "gui/TextControl.h"
#include "support/CaptureOutputPort.h"

namespace {

using Bytes = std::vector<uint8_t>;

class FrontPanel : public ::testing::Test {
protected:
    void SetUp() override {
        editor_.BuildPanel();
        panel_ = static_cast<OrvoPanel*>(editor_.Panel());
        graphics_ = &panel_->Panel();
        Redraw();
        port_.Clear();
    }
    // One frame of the panel's timer: what the user sees before the next click.
    void Redraw() {
        Rect dirty;
        if (graphics_->CollectDirty(dirty)) graphics_->DrawDirty(dirty);
    }

    bool Shown(int position) const {
        const Control* control = panel_->PositionControl(position);
        return control != nullptr && !control->IsHidden() &&
               !panel_->ValueText(position)->IsHidden();
    }
    void Click(int x, int y) {
        graphics_->MouseDown(x, y, MouseKeys{true});
        graphics_->MouseUp(x, y, MouseKeys{true});
        Redraw();
    }

    CaptureOutputPort port_;
    uint16_t channel_ = 1;
    OrvoEditor editor_{&port_, &channel_};
    OrvoPanel* panel_ = nullptr;
    Graphics* graphics_ = nullptr;
};

}  // namespace

TEST_F(FrontPanel, EveryPositionHasItsControlAndValueTextInPlace) {
    // 288 controls of the panel, the compare caption and the transfer progress line on their
    // backings, then the resize control's two edge handles and its grip.
    ASSERT_EQ(graphics_->GetNControls(), 292 + 3);
    EXPECT_EQ(graphics_->GetControl(294), static_cast<Control*>(editor_.Resize()));
    for (int position = 0; position < kUnitParamCount; ++position) {
        SCOPED_TRACE(position);
        const PositionPlace& place = *PositionPlaceAt(position);
        EXPECT_EQ(panel_->ValueText(position)->DrawRect(), place.valueText);
        const Control* control = panel_->PositionControl(position);
        if (place.kind == kPlaceNone) {
            EXPECT_EQ(control, nullptr);
            continue;
        }
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->ParamIndex(), position + 3);
        EXPECT_EQ(control->DrawRect().L, place.topLeft.x);
        EXPECT_EQ(control->DrawRect().T, place.topLeft.y);
        if (place.kind == kPlaceKnob) {
            EXPECT_DOUBLE_EQ(static_cast<const KnobMultiControl*>(control)->Gearing(),
                             place.gearing);
        }
    }
    // A slider strip of 128 frames of 64 x 400 pixels stands 32 x 200 at 100 %.
    EXPECT_EQ(panel_->PositionControl(0)->DrawRect(), (Rect{25, 76, 57, 276}));
    EXPECT_EQ(panel_->Equalizer()->DrawRect(), (Rect{530, 593, 990, 708}));
    EXPECT_TRUE(panel_->ValueText(80)->IsHidden()) << "MIDI channel shows no value";
    EXPECT_EQ(panel_->StatusLine(), "Program Name");
    EXPECT_EQ(panel_->PositionControl(0)->Tooltip(), "VCO1 coarse");
}

TEST_F(FrontPanel, FreshPanelShowsTheBypassAndTheEffectTypeBringsItsGroup) {
    editor_.SetParameterValue(92, 2);  // effect type set before the panel's first change
    for (int position = 90; position < kUnitParamCount; ++position) {
        EXPECT_EQ(Shown(position), position >= 104 && position <= 107) << position;
    }
    editor_.SetParameterValue(92, 3);
    Redraw();
    EXPECT_FALSE(panel_->Equalizer()->IsHidden()) << "the graphic view is the first";
    EXPECT_TRUE(Shown(108));
    EXPECT_FALSE(Shown(110));
    Click(610, 570);  // the knob-view switch on the equalizer's background
    EXPECT_TRUE(panel_->Equalizer()->IsHidden());
    EXPECT_TRUE(Shown(110));
    EXPECT_TRUE(Shown(121));
    editor_.SetParameterValue(92, 0);
    for (int position = 90; position < kUnitParamCount; ++position)
        EXPECT_FALSE(Shown(position));
}

TEST_F(FrontPanel, DraggingAKnobSendsItsParameterChange) {
    // "VCO1 volume" slider at (465, 76): drag the cap up.
    graphics_->MouseDown(480, 100, MouseKeys{true});
    graphics_->MouseDrag(480, 70, MouseKeys{true});
    graphics_->MouseUp(480, 70, MouseKeys{true});
    const int volume = IntValue(*editor_.GetParam(14));
    EXPECT_GT(volume, 0);
    const Bytes sent = port_.Stream();
    ASSERT_GE(sent.size(), 9u);
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 6), (Bytes{0xB0, 0x63, 11, 0xB0, 0x62, 12}));
    EXPECT_EQ(sent[sent.size() - 1], volume);
    EXPECT_EQ(panel_->ValueText(11)->Text(), std::to_string(volume));
}

TEST_F(FrontPanel, AboutCoversThePanelUntilClicked) {
    EXPECT_TRUE(editor_.DoCommand(kCommandAbout));
    Redraw();
    const int about = graphics_->GetNControls() - 4;  // before the resize control's three
    EXPECT_EQ(graphics_->HitControl(500, 400), about);
    Click(500, 400);
    EXPECT_NE(graphics_->HitControl(500, 400), about) << "put away, it leaves only its corner";
    EXPECT_EQ(graphics_->HitControl(5, 5), about);
}

TEST_F(FrontPanel, TransferProgressShowsBesideTheStatusLineOnlyWhileItHasText) {
    TextControl* progress = panel_->ProgressLine();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->IsHidden());
    panel_->ShowTransferProgress("Update sent: 50 % (1 of 2 bytes)");
    Redraw();
    EXPECT_FALSE(progress->IsHidden());
    EXPECT_EQ(progress->Text(), "Update sent: 50 % (1 of 2 bytes)");
    EXPECT_EQ(panel_->StatusLine(), "Program Name");
    // Above the status line, not over it.
    const Rect& line = progress->DrawRect();
    EXPECT_LE(line.B, 29);
    EXPECT_GE(line.L, 100);
    panel_->ShowTransferProgress("");
    EXPECT_TRUE(progress->IsHidden());
}

TEST_F(FrontPanel, ViewMenuZoomsThePanel) {
    EXPECT_TRUE(editor_.DoCommand(17));  // 120 %
    EXPECT_EQ(graphics_->Width(), 1229);
    EXPECT_EQ(graphics_->Height(), 960);
    EXPECT_EQ(panel_->PositionControl(0)->DrawRect().L, 30);
    EXPECT_TRUE(editor_.DoCommand(15));  // 100 %
    EXPECT_EQ(graphics_->Width(), 1024);
    EXPECT_EQ(panel_->PositionControl(0)->DrawRect().L, 25);
}

TEST_F(FrontPanel, SwitchAndKeyboardReachTheUnit) {
    Click(935, 37);  // "VCF slope"
    EXPECT_EQ(IntValue(*editor_.GetParam(80)), 1);
    EXPECT_EQ(port_.Stream(), (Bytes{0xB0, 0x63, 18, 0xB0, 0x62, 14, 0xB0, 0x06, 1}));
    EXPECT_EQ(panel_->ValueText(77)->Text(), "24dB");
    port_.Clear();
    const int x = 264 + 5;  // the lowest C, low on the key
    graphics_->MouseDown(x, 790, MouseKeys{true});
    graphics_->MouseUp(x, 790, MouseKeys{true});
    const Bytes sent = port_.Stream();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[0], 0x90);
    EXPECT_EQ(sent[1], 24);
    EXPECT_GT(sent[2], 0);
    EXPECT_EQ(Bytes(sent.begin() + 3, sent.end()), (Bytes{0x80, 24, 0}));
}
