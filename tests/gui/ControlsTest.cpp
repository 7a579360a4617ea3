#include <gtest/gtest.h>

#include "TestCore.h"
#include "gui/BitmapOverlayControl.h"
#include "gui/ContactControl.h"
#include "gui/FileSelectorControl.h"
#include "gui/InvisibleSwitchControl.h"
#include "gui/KnobMultiControl.h"
#include "gui/SwitchControl.h"
#include "gui/TextControl.h"

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        graphics = &core.AttachHeadless();
        graphics->AddBackgroundPanel({255, 0, 0, 0});
    }
    void TearDown() override { Graphics::ReleaseCaches(); }

    ImageStrip* Strip(int id, int width, int frameHeight, int frames) {
        graphics->AddImage(id, MakeFrameStrip(width, frameHeight, frames));
        return graphics->LoadImageStrip(id, "strip.png", frames);
    }

    RecordingCore core;
    HeadlessGraphics* graphics = nullptr;
    MouseKeys left{true, false, false, false, false};
};

TEST_F(Controls, SwitchStepsThroughItsFramesAndWraps) {
    SwitchControl three{&core, 0, 0, 10, Strip(910, 4, 4, 3)};
    std::vector<double> seen;
    for (int i = 0; i < 4; ++i) {
        three.OnPress(1, 1, left);
        seen.push_back(three.Value());
    }
    EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
    three.OnDoubleClick(1, 1, left);  // a double-click is one more press
    EXPECT_DOUBLE_EQ(three.Value(), 1.0);
    EXPECT_EQ(core.pushes.size(), 5u);

    // Four frames step in thirds and still reach 1 before wrapping.
    SwitchControl four{&core, 0, 0, 11, Strip(911, 4, 4, 4)};
    for (int i = 0; i < 3; ++i)
        four.OnPress(1, 1, left);
    EXPECT_NEAR(four.Value(), 1.0, 1e-9);
    EXPECT_EQ(four.FrameForValue(), 4);
    four.OnPress(1, 1, left);
    EXPECT_DOUBLE_EQ(four.Value(), 0.0);

    SwitchControl single{&core, 0, 0, 12, Strip(912, 4, 4, 1)};
    single.OnPress(1, 1, left);
    EXPECT_DOUBLE_EQ(single.Value(), 1.0);
    single.OnPress(1, 1, left);
    EXPECT_DOUBLE_EQ(single.Value(), 0.0);
}

TEST_F(Controls, ContactIsMomentaryAndInvisibleSwitchToggles) {
    ContactControl button{&core, 0, 0, 10, Strip(913, 4, 4, 2)};
    button.OnPress(1, 1, left);
    EXPECT_DOUBLE_EQ(core.ParamValue(10), 127.0);
    button.OnRelease(1, 1, {});
    EXPECT_DOUBLE_EQ(core.ParamValue(10), 0.0);

    InvisibleSwitchControl area{&core, {0, 0, 10, 10}, 11};
    EXPECT_EQ(area.GetBlend().method, kBlendClobber);
    area.OnPress(1, 1, left);
    EXPECT_DOUBLE_EQ(area.Value(), 1.0);
    area.OnPress(1, 1, left);
    EXPECT_DOUBLE_EQ(area.Value(), 0.0);
}

TEST_F(Controls, KnobDragFollowsTheGearingAndClamps) {
    // One frame of 40 rows: a 40-pixel drag up is the whole range at gearing 1.
    KnobMultiControl knob{&core, 0, 0, 20, Strip(914, 10, 40, 3), 1.0};
    ASSERT_EQ(knob.DrawRect().Height(), 40);
    knob.OnDrag(0, 0, 0, -10, left);
    EXPECT_DOUBLE_EQ(knob.Value(), 0.25);
    EXPECT_DOUBLE_EQ(core.pushes.back().normalized, 0.25);
    MouseKeys fine = left;
    fine.S = true;
    knob.OnDrag(0, 0, 0, -20, fine);  // ten times finer
    EXPECT_DOUBLE_EQ(knob.Value(), 0.3);
    fine.S = false;
    fine.C = true;
    knob.OnDrag(0, 0, 0, 20, fine);
    EXPECT_DOUBLE_EQ(knob.Value(), 0.25);
    knob.OnDrag(0, 0, 0, -400, left);
    EXPECT_DOUBLE_EQ(knob.Value(), 1.0);  // clamped when marked
    knob.OnDrag(0, 0, 0, -10, left);
    EXPECT_DOUBLE_EQ(knob.Value(), 1.0);

    // Gearing 4: a whole height moves it by a quarter.
    KnobMultiControl slow{&core, 0, 0, 21, Strip(915, 10, 40, 3), 4.0};
    slow.OnDrag(0, 0, 0, -40, left);
    EXPECT_DOUBLE_EQ(slow.Value(), 0.25);
    slow.SetVertical(false);  // 10 wide: dx over the width
    slow.OnDrag(0, 0, 5, 0, left);
    EXPECT_DOUBLE_EQ(slow.Value(), 0.375);
}

TEST_F(Controls, KnobWheelStepsAndDoubleClickRestoresTheDefault) {
    // Unbound, a notch moves the knob by a hundredth of its travel, a thousandth when fine.
    KnobMultiControl loose{&core, 0, 0, -1, Strip(915, 10, 40, 3), 1.0};
    loose.SetValueFromCore(0.5);
    loose.OnWheel(0, 0, {}, 3);
    EXPECT_NEAR(loose.Value(), 0.53, 1e-12);
    loose.OnWheel(0, 0, {false, false, true, false, false}, -10);
    EXPECT_NEAR(loose.Value(), 0.52, 1e-12);

    KnobMultiControl knob{&core, 0, 0, 20, Strip(916, 10, 40, 3), 1.0};
    knob.SetValueFromCore(0.5);  // the first value from the core is the default
    knob.OnWheel(0, 0, {}, -200);
    EXPECT_DOUBLE_EQ(knob.Value(), 0.0);
    knob.OnDoubleClick(0, 0, left);
    EXPECT_DOUBLE_EQ(knob.Value(), 0.5);
    EXPECT_DOUBLE_EQ(core.ParamValue(20), 64.0);
}

// One notch is one step of a parameter with few steps, and the same even step on every notch of
// a parameter with many; Shift or Ctrl make it finer where the parameter has finer steps.
TEST_F(Controls, WheelMovesEvenStepsOfTheBoundParameter) {
    const struct {
        int minimum, maximum;
        std::vector<int> notches;
        bool fine;
        std::vector<int> values;
    } cases[] = {
        {-2, 1, {1, 1, -1, -1, -1, -1}, false, {1, 1, 0, -1, -2, -2}},  // an octave switch
        {0, 4, {1, 1, 1}, false, {1, 2, 3}},                            // a list of five
        {0, 12, {1, 1, -1}, true, {1, 2, 1}},                           // one step even when fine
        {0, 127, {1, 1, 1, 1}, false, {3, 6, 9, 12}},                   // 127 / 50, whole units
        {0, 127, {1, 1, 1}, true, {1, 2, 3}},
        {0, 127, {-1}, false, {0}},
        {-63, 63, {2, 2}, false, {6, 12}},
        {7, 127, {1, 1}, false, {9, 11}},  // starting from the minimum, 7
    };
    int index = 30;
    for (const auto& c : cases) {
        InitIntParam(*core.GetParam(index), "Param", c.minimum, c.minimum, c.maximum);
        if (c.minimum < 0) core.GetParam(index)->value = 0;
        KnobMultiControl knob{&core, 0, 0, index, Strip(918, 10, 40, 3), 1.0};
        std::vector<int> seen;
        for (int notches : c.notches) {
            knob.OnWheel(0, 0, {false, false, c.fine, false, false}, notches);
            seen.push_back(IntValue(*core.GetParam(index)));
        }
        EXPECT_EQ(seen, c.values) << c.minimum << ".." << c.maximum;
        ++index;
    }
    // A parameter of any value moves by a fiftieth of its range, a five-hundredth when fine.
    core.GetParam(index)->kind = kParamDouble;
    InitParam(*core.GetParam(index), "Level", 0.0, 0.0, 2.0, 0.001, 1.0);
    KnobMultiControl level{&core, 0, 0, index, Strip(918, 10, 40, 3), 1.0};
    level.OnWheel(0, 0, {}, 2);
    EXPECT_NEAR(core.GetParam(index)->value, 0.08, 1e-12);
    level.OnWheel(0, 0, {false, false, true, false, false}, -1);
    EXPECT_NEAR(core.GetParam(index)->value, 0.076, 1e-12);
}

TEST_F(Controls, OverlayTargetsItsOffRectangleWhileHidden) {
    BitmapOverlayControl about{&core, 0, 0, -1, Strip(917, 100, 80, 1), {0, 0, 20, 20}};
    graphics->AddControl(&about);
    about.ApplyScale(1.5);
    // Before its first draw a click beside the corner goes to the controls under it.
    EXPECT_FALSE(about.HitTest(50, 50));
    EXPECT_TRUE(about.HitTest(25, 25));
    graphics->Tick();
    EXPECT_EQ(about.TargetRect(), (Rect{0, 0, 30, 30}));
    EXPECT_FALSE(about.HitTest(50, 50));
    EXPECT_NE(PixelAt(*graphics, 50, 50), 0xFF000001u);  // not drawn while hidden

    about.OnPress(5, 5, left);  // a click on the corner shows it
    graphics->Tick();
    EXPECT_EQ(about.TargetRect(), about.DrawRect());
    EXPECT_TRUE(about.HitTest(50, 50));
    EXPECT_EQ(PixelAt(*graphics, 50, 50), 0xFF000001u);
}

TEST_F(Controls, TextControlMarksOnlyRealChangesAndScalesFromItsOwnStyle) {
    TextStyle style;
    style.size = 12;
    TextControl text{&core, {0, 0, 40, 16}, style, "Program Name"};
    text.MarkClean();
    text.SetText("Program Name");
    EXPECT_FALSE(text.IsDirty());
    text.SetText("Saved");
    EXPECT_TRUE(text.IsDirty());
    EXPECT_EQ(text.Text(), "Saved");
    text.ApplyScale(1.3);
    EXPECT_EQ(text.GetTextStyle().size, 15);
    text.ApplyScale(0.5);
    EXPECT_EQ(text.GetTextStyle().size, 6);  // from the constructed 12, not from 15
}

TEST_F(Controls, FileSelectorShowsPressedOnlyWhileChoosingAndTogglesEveryUse) {
    ImageStrip* strip = Strip(918, 40, 16, 1);
    FileSelectorControl chooser{&core, {56, 16, 96, 32}, 131, strip, kFileOpen, "prg"};
    graphics->AddControl(&chooser);
    graphics->Tick();
    EXPECT_EQ(chooser.State(), FileSelectorControl::kIdle);
    EXPECT_NE(PixelAt(*graphics, 60, 20), 0xFF000001u);

    graphics->AnswerFileChooserWith("/home/user/programs/01 Bass.prg");
    chooser.OnPress(60, 20, left);
    EXPECT_EQ(chooser.FileName(), "/home/user/programs/01 Bass.prg");
    EXPECT_EQ(chooser.Folder(), "/home/user/programs/");
    EXPECT_DOUBLE_EQ(chooser.Value(), 1.0);
    EXPECT_DOUBLE_EQ(core.ParamValue(131), 127.0);
    EXPECT_EQ(chooser.State(), FileSelectorControl::kJustChosen);
    chooser.MarkClean();
    EXPECT_TRUE(chooser.NeedsRedraw());  // once more, to take the pressed picture away
    EXPECT_EQ(chooser.State(), FileSelectorControl::kIdle);
    EXPECT_FALSE(chooser.NeedsRedraw());

    // A cancelled chooser still counts as a use.
    graphics->AnswerFileChooserWith("");
    chooser.OnPress(60, 20, left);
    EXPECT_EQ(chooser.FileName(), "");
    EXPECT_DOUBLE_EQ(chooser.Value(), 0.0);
    EXPECT_EQ(graphics->FileChooserCount(), 2);
}

}  // namespace
