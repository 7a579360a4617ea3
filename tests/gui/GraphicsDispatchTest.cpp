#include <gtest/gtest.h>

#include "ProbeControl.h"
#include "TestCore.h"
#include "gui/GuiResizeHooks.h"

namespace {

class GraphicsDispatch : public ::testing::Test {
protected:
    void SetUp() override {
        graphics = &core.AttachHeadless();
        graphics->AddBackgroundPanel({255, 10, 10, 10});
        graphics->AddControl(&low);
        graphics->AddControl(&high);
        graphics->AddControl(&empty);
    }

    RecordingCore core;
    HeadlessGraphics* graphics = nullptr;
    ProbeControl low{&core, {10, 10, 50, 50}, 5};
    ProbeControl high{&core, {30, 30, 70, 70}, 6};
    ProbeControl empty{&core, {}, 7};  // covers nothing, not even (0, 0)
    MouseKeys left{true, false, false, false, false};
};

TEST_F(GraphicsDispatch, HitTestTakesTopmostShownUngrayedControl) {
    EXPECT_EQ(graphics->HitControl(40, 40), high.ListIndex());
    EXPECT_EQ(graphics->HitControl(15, 15), low.ListIndex());
    EXPECT_EQ(graphics->HitControl(0, 0), 0);    // only the background is there
    EXPECT_EQ(graphics->HitControl(70, 70), 0);  // right and bottom edges are outside

    high.Hide(true);
    EXPECT_EQ(graphics->HitControl(40, 40), low.ListIndex());
    high.Hide(false);
    high.SetGrayed(true);
    EXPECT_EQ(graphics->HitControl(40, 40), low.ListIndex());
    EXPECT_FLOAT_EQ(high.GetBlend().weight, 0.25f);
}

TEST_F(GraphicsDispatch, PressCapturesAndDragAndReleaseFollowTheCapture) {
    graphics->MouseDown(40, 40, left);
    EXPECT_EQ(graphics->CaptureIndex(), high.ListIndex());
    EXPECT_EQ(high.Last(), "press 40,40");
    // Far outside every control: the captured control still gets the drag, with deltas.
    graphics->MouseDrag(200, 10, left);
    EXPECT_EQ(high.Last(), "drag 200,10 160,-30");
    graphics->MouseDrag(200, 10, left);  // no movement, no call
    EXPECT_EQ(high.calls.size(), 2u);
    graphics->MouseUp(15, 15, {});
    EXPECT_EQ(high.Last(), "release 15,15");
    EXPECT_TRUE(low.calls.empty());
    EXPECT_EQ(graphics->CaptureIndex(), -1);
    // The gesture brackets the bound parameter.
    EXPECT_EQ(core.gestures, (std::vector<int>{1006, -1006}));
}

TEST_F(GraphicsDispatch, PressOnBareBackgroundCapturesTheBackground) {
    graphics->MouseDown(500, 500, left);
    EXPECT_EQ(graphics->CaptureIndex(), 0);
    EXPECT_TRUE(core.gestures.empty());  // the background is bound to nothing
}

TEST_F(GraphicsDispatch, GrayedControlIgnoresPressesButMayTakeHover) {
    high.SetGrayed(true);
    graphics->MouseDown(60, 60, left);
    graphics->MouseUp(60, 60, {});
    EXPECT_TRUE(high.calls.empty());

    graphics->SetHandleMouseOver(true);
    graphics->MouseMove(60, 60, {});
    EXPECT_TRUE(high.calls.empty());
    high.SetMouseOverWhenGrayed(true);
    graphics->MouseMove(61, 61, {});
    EXPECT_EQ(high.Last(), "hover 61,61");
}

TEST_F(GraphicsDispatch, MouseOverChangesLeaveThePreviousControlAndEmptySpotsKeepIt) {
    EXPECT_FALSE(graphics->MouseMove(15, 15, {}));  // mouse-over handling is off
    graphics->SetHandleMouseOver(true);
    EXPECT_TRUE(graphics->MouseMove(15, 15, {}));
    EXPECT_EQ(graphics->MouseOverIndex(), low.ListIndex());
    graphics->MouseMove(60, 60, {});
    EXPECT_EQ(low.Last(), "leave");
    EXPECT_EQ(graphics->MouseOverIndex(), high.ListIndex());

    // With the background hidden nothing takes (500, 500): the mouse-over control stays.
    graphics->GetControl(0)->Hide(true);
    EXPECT_TRUE(graphics->MouseMove(500, 500, {}));
    EXPECT_EQ(graphics->MouseOverIndex(), high.ListIndex());

    graphics->MouseLeave();
    EXPECT_EQ(graphics->MouseOverIndex(), -1);
    EXPECT_EQ(high.Last(), "leave");
}

// Keys over the background, and keys the control under the pointer does not use, go to the key
// catcher.
TEST_F(GraphicsDispatch, KeysOverTheBackgroundGoToTheKeyCatcher) {
    EXPECT_FALSE(graphics->KeyDown(500, 500, kKeyUp));  // no catcher: not used
    ProbeControl catcher{&core, {}};
    graphics->SetKeyCatcher(&catcher);
    EXPECT_TRUE(graphics->KeyDown(500, 500, kKeyUp));
    EXPECT_EQ(catcher.Last(), "key 500,500 1");
    EXPECT_EQ(graphics->LastKey(), kKeyUp);

    high.takesKeys = false;
    EXPECT_TRUE(graphics->KeyDown(40, 40, kKeySpace));
    EXPECT_EQ(high.Last(), "key 40,40 0");
    EXPECT_EQ(catcher.Last(), "key 40,40 0");
    high.takesKeys = true;
    EXPECT_TRUE(graphics->KeyDown(40, 40, kKeyDown));
    EXPECT_EQ(catcher.calls.size(), 2u) << "a key the control used stays with it";
}

TEST_F(GraphicsDispatch, WheelGoesToCaptureElseToTheHitControl) {
    graphics->MouseWheel(15, 15, {}, -2);
    EXPECT_EQ(low.Last(), "wheel 15,15 -2");
    graphics->MouseDown(40, 40, left);
    graphics->MouseWheel(15, 15, {}, 3);
    EXPECT_EQ(high.Last(), "wheel 15,15 3");
}

TEST_F(GraphicsDispatch, DoubleClickAsClickPressesAndCaptures) {
    EXPECT_FALSE(graphics->MouseDoubleClick(15, 15, left));
    EXPECT_EQ(low.Last(), "double 15,15");
    low.SetDoubleClickAsClick(true);
    EXPECT_TRUE(graphics->MouseDoubleClick(15, 15, left));
    EXPECT_EQ(low.Last(), "press 15,15");
    EXPECT_EQ(graphics->CaptureIndex(), low.ListIndex());
}

TEST_F(GraphicsDispatch, LayoutEditingKeepsPressesDragsAndReleasesFromControls) {
    graphics->SetLayoutEditing(1, true);
    graphics->MouseDown(40, 40, left);
    graphics->MouseDrag(45, 45, left);
    graphics->MouseUp(45, 45, {});
    EXPECT_TRUE(high.calls.empty());
    graphics->MouseWheel(40, 40, {}, 1);
    EXPECT_EQ(high.Last(), "wheel 40,40 1");

    // "E" while editing brings every control back to be drawn.
    graphics->Tick();
    EXPECT_FALSE(low.IsDirty());
    graphics->KeyDown(40, 40, kKeyLetterE);
    EXPECT_TRUE(low.IsDirty());
}

TEST_F(GraphicsDispatch, LayerEditsRenumberAndSpareTheBackground) {
    ProbeControl extra{&core, {0, 0, 5, 5}};
    graphics->AddControl(&extra);  // 0 background, 1 low, 2 high, 3 empty, 4 extra
    graphics->MoveControl(4, 1);
    EXPECT_EQ(graphics->GetControl(1), &extra);
    EXPECT_EQ(extra.ListIndex(), 1);
    EXPECT_EQ(low.ListIndex(), 2);

    graphics->MoveControl(0, 3);
    graphics->MoveControl(2, 0);
    graphics->SwapControls(0, 1);
    graphics->SwapControls(1, 9);
    EXPECT_EQ(graphics->GetControl(1), &extra);
    EXPECT_EQ(low.ListIndex(), 2);

    graphics->SwapControls(1, 2);
    EXPECT_EQ(graphics->GetControl(1), &low);
    EXPECT_EQ(extra.ListIndex(), 2);

    ProbeControl replacement{&core, {0, 0, 5, 5}};
    graphics->ReplaceControl(2, &replacement);
    EXPECT_EQ(replacement.ListIndex(), 2);
    graphics->ReplaceControl(0, &replacement);
    EXPECT_NE(graphics->GetControl(0), &replacement);
}

class ResizeStub : public GuiResizeHooks {
public:
    double Scale() const override { return 1.0; }
    bool ResizeDragInProgress() const override { return dragging; }
    void DrawDuringResize(Graphics& graphics, const Rect& panel) override {
        graphics.FillRect({255, 0x19, 0x19, 0x19}, panel, nullptr);
        ++draws;
    }
    bool dragging = false;
    int draws = 0;
};

TEST_F(GraphicsDispatch, WithAResizeControlTheLastThreeControlsStayPut) {
    ProbeControl vertical{&core, {}}, horizontal{&core, {}}, grip{&core, {}};
    graphics->AddControl(&vertical);
    graphics->AddControl(&horizontal);
    graphics->AddControl(&grip);
    ResizeStub resize;
    graphics->SetGuiResize(&resize);
    // 0 background, 1 low, 2 high, 3 empty, 4..6 protected
    graphics->MoveControl(1, 4);
    graphics->SwapControls(3, 6);
    graphics->MoveControl(6, 1);
    EXPECT_EQ(graphics->GetControl(4), &vertical);
    EXPECT_EQ(graphics->GetControl(6), &grip);
    graphics->MoveControl(1, 3);
    EXPECT_EQ(graphics->GetControl(3), &low);

    // While the grip is dragged only the resize control paints, over the whole panel.
    resize.dragging = true;
    graphics->ClearPresented();
    EXPECT_TRUE(graphics->DrawDirty({10, 10, 20, 20}));
    EXPECT_EQ(resize.draws, 1);
    EXPECT_EQ(low.draws, 0);
    ASSERT_EQ(graphics->Presented().size(), 1u);
    EXPECT_EQ(graphics->Presented()[0], (Rect{0, 0, 1024, 800}));
    EXPECT_EQ(PixelAt(*graphics, 1000, 700), 0xFF191919u);
}

}  // namespace
