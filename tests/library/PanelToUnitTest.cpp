// Every control of the editor's panel, moved with the mouse, edits the virtual unit live.
#include <gtest/gtest.h>

#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "editor/PanelPlaces.h"
#include "gui/Graphics.h"
#include "gui/GraphicsFactory.h"
#include "gui/HeadlessGraphics.h"
#include "gui/ParaGraphicEq.h"
#include "gui/TextControl.h"
#include "library/MakePlugin.h"
#include "support/HeadlessEditor.h"
#include "support/SimOutputPort.h"
#include "support/TempDir.h"
#include "unit/ProgramText.h"
#include "unit/VirtualOrvo.h"

namespace {

class PanelToUnit : public ::testing::Test {
protected:
    void SetUp() override {
        editor_.reset(MakePlugin(&port_, &channel_));
        panel_ = static_cast<OrvoPanel*>(editor_->Panel());
        graphics_ = &panel_->Panel();
        Redraw();
    }
    void Redraw() {
        Rect dirty;
        if (graphics_->CollectDirty(dirty)) graphics_->DrawDirty(dirty);
    }
    // A point where the control is the one the mouse reaches, or false.
    bool Reachable(const Control& control, int& x, int& y) const {
        const Rect& r = control.TargetRect();
        for (int yy = r.T; yy < r.B; yy += 2) {
            for (int xx = r.L; xx < r.R; xx += 2) {
                if (graphics_->HitControl(xx, yy) == control.ListIndex()) {
                    x = xx;
                    y = yy;
                    return true;
                }
            }
        }
        return false;
    }
    void Drag(int x, int y, int dy) {
        graphics_->MouseDown(x, y, MouseKeys{true});
        graphics_->MouseDrag(x, y + dy, MouseKeys{true});
        graphics_->MouseUp(x, y + dy, MouseKeys{true});
        Redraw();
    }
    int Value(int position) const { return IntValue(*editor_->GetParam(position + 3)); }

    VirtualOrvo unit_;
    SimOutputPort port_{unit_};
    uint16_t channel_ = 1;
    std::unique_ptr<OrvoEditor> editor_;
    OrvoPanel* panel_ = nullptr;
    Graphics* graphics_ = nullptr;
};

}  // namespace

TEST_F(PanelToUnit, EveryControlMovedWithTheMouseReachesTheUnit) {
    struct Group {
        int effectType;
        bool knobView;
        int first;
        int last;
    };
    const Group groups[] = {
        {1, false, 0, 103},
        {2, false, 104, 107},
        {3, true, 108, 121},
        {3, false, 108, 109},
    };
    int moved = 0;
    for (const Group& group : groups) {
        editor_->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), group.effectType);
        editor_->SetParameterValue(
            group.knobView ? kParamParametricEqView : kParamParagraphicEqView, 1);
        editor_->SetParameterValue(
            group.knobView ? kParamParametricEqView : kParamParagraphicEqView, 0);
        Redraw();
        for (int position = group.first; position <= group.last; ++position) {
            SCOPED_TRACE(position);
            const Control* control = panel_->PositionControl(position);
            if (control == nullptr) continue;
            int x = 0, y = 0;
            ASSERT_TRUE(Reachable(*control, x, y)) << "covered by another control";
            const int before = Value(position);
            Drag(x, y, -40);
            Drag(x, y, 15);
            if (Value(position) != before) ++moved;
            EXPECT_EQ(unit_.EditValue(position), Value(position));
            EXPECT_EQ(panel_->ValueText(position)->Text().empty(), false);
        }
    }
    EXPECT_GE(moved, 100) << "nearly every control changes its parameter";
    EXPECT_FALSE(unit_.InUpdate());
}

TEST_F(PanelToUnit, EachFaderTakesTheClicksOnItsOwnCap) {
    // The envelope faders of the second row lie under the long frames of the filter faders
    // of the first row; a click on a cap must reach the fader it belongs to.
    for (int position : {58, 59, 63, 85, 88, 12, 50}) {
        const Control& control = *panel_->PositionControl(position);
        const Rect& r = control.DrawRect();
        for (int y = r.T + 2; y < r.T + 44; y += 6) {
            EXPECT_EQ(graphics_->HitControl(r.L + 16, y), control.ListIndex())
                << "position " << position << " at y " << y;
        }
    }
}

TEST_F(PanelToUnit, EqualizerViewSwitchesLeaveTheChorusFadersAlone) {
    editor_->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectChorus);
    Redraw();
    // "Level1" and "Delay1" stand where the equalizer's view switches are.
    EXPECT_EQ(graphics_->HitControl(616, 575), panel_->PositionControl(94)->ListIndex());
    EXPECT_EQ(graphics_->HitControl(656, 575), panel_->PositionControl(95)->ListIndex());
    editor_->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectEqualizer);
    editor_->SetParameterValue(kParamParametricEqView, 1);
    Redraw();
    EXPECT_EQ(graphics_->HitControl(616, 575), panel_->PositionControl(112)->ListIndex())
        << "in the knob view the faders keep their caps";
    EXPECT_EQ(graphics_->HitControl(656, 575), panel_->PositionControl(113)->ListIndex());
    // The switch back to the graph stands under the faders, where the knob view draws it.
    const Rect& back = kEqViewTabs[kEqFaderView][kEqGraphView];
    const int x = (back.L + back.R) / 2, y = (back.T + back.B) / 2;
    graphics_->MouseDown(x, y, MouseKeys{true});
    graphics_->MouseUp(x, y, MouseKeys{true});
    Redraw();
    EXPECT_FALSE(panel_->Equalizer()->IsHidden()) << "the switch back to the graph is there";
}

TEST_F(PanelToUnit, BandDraggedOnTheGraphArrivesAsTheEqualizersParameters) {
    editor_->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectEqualizer);
    Redraw();
    ParaGraphicEq& eq = *panel_->Equalizer();
    ASSERT_FALSE(eq.IsHidden());
    // Mid 1 (band 1) starts at 140 Hz and 0 dB: drag it right and up.
    const int x = eq.DrawRect().L + eq.HandleX(1);
    const int y = eq.DrawRect().T + eq.HandleY(1);
    graphics_->MouseDown(x, y, MouseKeys{true});
    graphics_->MouseDrag(x + 120, y - 30, MouseKeys{true});
    graphics_->MouseUp(x + 120, y - 30, MouseKeys{true});
    Redraw();
    EXPECT_GT(Value(113), 0) << "Mid1 frq. moved up from the bottom of its range";
    EXPECT_GT(Value(115), 0) << "Mid1 Boost raised";
    for (int position = 110; position <= 121; ++position) {
        EXPECT_EQ(unit_.EditValue(position), Value(position)) << position;
    }
    // The band as the graph now shows it is what the parameters say.
    const EqBandRecord shown = eq.Band(1).Record();
    EXPECT_NEAR(shown.gain, static_cast<float>(Value(115)), 0.5f);
}

TEST(MenuFiles, SaveAndLoadProgramFromTheMenuGoThroughTheChoosers) {
    VirtualOrvo unit;
    SimOutputPort port(unit);
    uint16_t channel = 1;
    HeadlessEditor made(&port, &channel);
    OrvoEditor* editor = made.editor.get();
    HeadlessGraphics* headless = made.graphics;
    ASSERT_NE(headless, nullptr);

    TempDir dir;
    const std::string path = dir.File("09 Wobble.prg");
    editor->SetParameterValue(14, 99);  // "VCO1 volume"
    headless->AnswerFileChooserWith(path);
    editor->DoCommand(kCommandSaveProgram);
    const std::optional<ProgramValues> saved = ParseProgramText(TempDir::Read(path));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ((*saved)[11], 99);

    editor->SetParameterValue(14, 5);
    headless->AnswerFileChooserWith(path);
    editor->DoCommand(kCommandLoadProgram);
    EXPECT_EQ(IntValue(*editor->GetParam(14)), 99);
    EXPECT_EQ(unit.EditValue(11), 99);
    EXPECT_EQ(IntValue(*editor->GetParam(kParamSevenSegment)), 9);
    EXPECT_EQ(editor->Panel()->StatusLine(), "09 Wobble");

    // Cancelling the dialog changes nothing.
    editor->SetParameterValue(14, 7);
    headless->AnswerFileChooserWith("");
    editor->DoCommand(kCommandLoadProgram);
    EXPECT_EQ(IntValue(*editor->GetParam(14)), 7);
    EXPECT_EQ(headless->FileChooserCount(), 3);
}
