#include "editor/OrvoPanel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "editor/OrvoEditor.h"
#include "editor/PanelPlaces.h"
#include "gui/Graphics.h"
#include "gui/GuiResize.h"
#include "gui/KeyboardControl.h"
#include "gui/KnobMultiControl.h"
#include "gui/LayoutEditor.h"
#include "gui/ParaGraphicEq.h"
#include "gui/TextControl.h"
#include "support/CaptureOutputPort.h"
#include "support/TempDir.h"

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
    // 290 controls of the panel (two equalizer view switches in each view), the compare caption
    // and the transfer progress line on their backings, a learned controller's mark for each of
    // the 121 controls of the unit's positions, then the resize control's two edge handles and
    // its grip.
    ASSERT_EQ(graphics_->GetNControls(), 294 + 121 + 3);
    EXPECT_EQ(graphics_->GetControl(417), static_cast<Control*>(editor_.Resize()));
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
        ASSERT_NE(panel_->ControllerMark(position), nullptr);
        EXPECT_TRUE(panel_->ControllerMark(position)->IsHidden()) << "nothing learned yet";
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

// Layout editing belongs to the people who build the panel: a panel built the ordinary way
// neither answers E nor reads or writes a layout header in the folder it was started from.
class LayoutEditingStart : public ::testing::Test {
protected:
    void SetUp() override {
        startFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.Path());
        // A layout header left there that would move the first knob far away.
        TempDir::Write(folder_.File("PanelLayout.h"), "        // class KnobMultiControl 20\n");
    }
    void TearDown() override { std::filesystem::current_path(startFolder_); }

    bool HeaderWritten() const {
        return TempDir::Read(folder_.File("PanelLayout.h")).find("Do not edit") !=
               std::string::npos;
    }

    TempDir folder_;
    std::filesystem::path startFolder_;
    CaptureOutputPort port_;
    uint16_t channel_ = 1;
};

TEST_F(LayoutEditingStart, OrdinaryPanelIgnoresTheKeyAndKeepsTheMouseForItsControls) {
    OrvoEditor editor(&port_, &channel_);
    editor.BuildPanel();
    Graphics& graphics = static_cast<OrvoPanel*>(editor.Panel())->Panel();
    EXPECT_FALSE(graphics.KeyDown(480, 100, kKeyLetterE)) << "E goes on to the window";
    EXPECT_FALSE(editor.Layout()->Editing());
    // A drag on "VCO1 volume" edits the value instead of moving the slider.
    const Rect before = static_cast<OrvoPanel*>(editor.Panel())->PositionControl(11)->DrawRect();
    graphics.MouseDown(480, 100, MouseKeys{true});
    graphics.MouseDrag(480, 70, MouseKeys{true});
    graphics.MouseUp(480, 70, MouseKeys{true});
    EXPECT_GT(IntValue(*editor.GetParam(14)), 0);
    EXPECT_EQ(static_cast<OrvoPanel*>(editor.Panel())->PositionControl(11)->DrawRect(), before);
    EXPECT_FALSE(HeaderWritten());
}

TEST_F(LayoutEditingStart, PanelBuiltForItSwitchesEditingWithTheKey) {
    OrvoEditor editor(&port_, &channel_);
    editor.BuildPanel({}, true);
    Graphics& graphics = static_cast<OrvoPanel*>(editor.Panel())->Panel();
    EXPECT_TRUE(graphics.KeyDown(480, 100, kKeyLetterE));
    EXPECT_TRUE(editor.Layout()->Editing());
    graphics.MouseDown(480, 100, MouseKeys{true});
    graphics.MouseDrag(520, 140, MouseKeys{true});
    graphics.MouseUp(520, 140, MouseKeys{true});
    EXPECT_EQ(IntValue(*editor.GetParam(14)), 0) << "the drag moved the slider, not its value";
    EXPECT_TRUE(HeaderWritten());
    EXPECT_TRUE(graphics.KeyDown(480, 100, kKeyLetterE));
    EXPECT_FALSE(editor.Layout()->Editing());
}

// Both views of the equalizer show both switches, PARA and GRAPH, so that each leads back to the
// other; each view's pair takes the mouse where its background draws it, clear of the faders.
TEST_F(FrontPanel, EqualizerViewsBothShowBothSwitches) {
    editor_.SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectEqualizer);
    Redraw();
    auto centre = [](const Rect& r) { return std::make_pair((r.L + r.R) / 2, (r.T + r.B) / 2); };
    auto clickSwitch = [&](int shown, int to) {
        const Control* viewSwitch = panel_->EqViewSwitch(shown, to);
        EXPECT_FALSE(viewSwitch->IsHidden()) << shown << " " << to;
        const auto [x, y] = centre(viewSwitch->DrawRect());
        EXPECT_EQ(graphics_->HitControl(x, y), viewSwitch->ListIndex()) << shown << " " << to;
        Click(x, y);
        Redraw();
    };
    for (int round = 0; round < 2; ++round) {
        clickSwitch(kEqGraphView, kEqFaderView);
        EXPECT_TRUE(panel_->Equalizer()->IsHidden());
        EXPECT_TRUE(Shown(113));
        EXPECT_TRUE(panel_->EqViewSwitch(kEqGraphView, kEqGraphView)->IsHidden());
        // The fader under where the graph's switches stand keeps its cap to itself.
        const Rect& freq = panel_->PositionControl(113)->TargetRect();
        EXPECT_EQ(graphics_->HitControl(freq.L + 4, freq.T + 20),
                  panel_->PositionControl(113)->ListIndex());
        clickSwitch(kEqFaderView, kEqFaderView);  // the view shown stays
        EXPECT_TRUE(Shown(113));
        clickSwitch(kEqFaderView, kEqGraphView);
        EXPECT_FALSE(panel_->Equalizer()->IsHidden());
        EXPECT_FALSE(Shown(113));
        EXPECT_TRUE(panel_->EqViewSwitch(kEqFaderView, kEqGraphView)->IsHidden());
    }
    editor_.SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectChorus);
    for (int shown = 0; shown < kEqViewCount; ++shown) {
        for (int to = 0; to < kEqViewCount; ++to)
            EXPECT_TRUE(panel_->EqViewSwitch(shown, to)->IsHidden());
    }
}

// The wheel over the panel's controls: one notch is one step of OCTAVE, VCF TYPE, PRIORITY and
// BEND RANGE, and the same even step on every notch of a fader.
TEST_F(FrontPanel, WheelStepsOnThePanelsControls) {
    auto wheel = [this](int position, int notches, bool fine = false) {
        const Rect& r = panel_->PositionControl(position)->TargetRect();
        graphics_->MouseWheel((r.L + r.R) / 2, (r.T + r.B) / 2, MouseKeys{false, false, fine},
                              notches);
        return IntValue(*editor_.GetParam(ParamIndexOfPosition(position)));
    };
    EXPECT_EQ(wheel(82, 1), 1);  // OCTAVE, -2..1
    EXPECT_EQ(wheel(82, -1), 0);
    EXPECT_EQ(wheel(82, -1), -1);
    EXPECT_EQ(wheel(75, 1), 1);  // VCF TYPE
    EXPECT_EQ(panel_->ValueText(75)->Text(), "HPF");
    EXPECT_EQ(wheel(84, 1), 1);  // PRIORITY
    EXPECT_EQ(wheel(84, 1), 2);
    EXPECT_EQ(wheel(81, 1), 1);  // BEND RANGE
    EXPECT_EQ(wheel(81, 1), 2);
    EXPECT_EQ(wheel(11, 1), 3);  // VCO 1 VOLUME, 0..127
    EXPECT_EQ(wheel(11, 1), 6);
    EXPECT_EQ(wheel(11, 1, true), 7);
    EXPECT_EQ(wheel(76, -1), 7);  // RESONANCE stays at its lowest
}

TEST_F(FrontPanel, EscapeClosesTheAboutViewWhereverThePointerIs) {
    EXPECT_FALSE(graphics_->KeyDown(500, 400, kKeyEscape)) << "nothing to close";
    for (const auto& [x, y] : {std::pair{500, 400}, std::pair{-5, -5}}) {
        EXPECT_TRUE(editor_.DoCommand(kCommandAbout));
        Redraw();
        EXPECT_EQ(graphics_->HitControl(500, 400), graphics_->GetNControls() - 4);
        EXPECT_TRUE(graphics_->KeyDown(x, y, kKeyEscape));
        Redraw();
        EXPECT_NE(graphics_->HitControl(500, 400), graphics_->GetNControls() - 4);
    }
}

TEST_F(FrontPanel, EveryControlHasATooltip) {
    editor_.SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectEqualizer);
    const int about = graphics_->GetNControls() - 4;  // then the edge handles and the grip
    for (int i = 1; i < graphics_->GetNControls(); ++i) {
        const Control* control = graphics_->GetControl(i);
        // Pictures and texts take no clicks of their own.
        const bool takesClicks =
            control->ParamIndex() >= 0 || control == panel_->Keyboard() || i >= about;
        if (!takesClicks || control->IsHidden()) continue;
        EXPECT_FALSE(control->Tooltip().empty()) << i;
    }
    EXPECT_EQ(graphics_->GetControl(about)->Tooltip(), "About Orvo Editor");
    EXPECT_FALSE(editor_.Resize()->Tooltip().empty());
}

TEST_F(FrontPanel, ZoomStepsAndTheCheckedZoom) {
    EXPECT_TRUE(editor_.CommandChecked(kCommandZoom100));
    EXPECT_TRUE(editor_.DoCommand(kCommandZoomIn));
    EXPECT_EQ(graphics_->Width(), 1126);
    EXPECT_TRUE(editor_.CommandChecked(kCommandZoom110));
    EXPECT_FALSE(editor_.CommandChecked(kCommandZoom100));
    EXPECT_TRUE(editor_.DoCommand(kCommandZoomOut));
    EXPECT_TRUE(editor_.DoCommand(kCommandZoomOut));
    EXPECT_TRUE(editor_.CommandChecked(kCommandZoom90));
    for (int i = 0; i < 6; ++i)
        editor_.DoCommand(kCommandZoomOut);
    EXPECT_EQ(graphics_->Width(), 512) << "down to the grip's 50 %";
    for (int i = 0; i < 12; ++i)
        editor_.DoCommand(kCommandZoomIn);
    EXPECT_EQ(graphics_->Width(), 2048) << "up to the grip's 200 %";
}
