#include <gtest/gtest.h>

#include "ProbeControl.h"
#include "TestCore.h"
#include "gui/BitmapControl.h"

namespace {

class GraphicsRedraw : public ::testing::Test {
protected:
    void SetUp() override {
        graphics = &core.AttachHeadless();
        graphics->AddControl(&back);
        graphics->AddControl(&a);
        graphics->AddControl(&b);
        graphics->AddControl(&touching);
        graphics->Tick();  // everything starts dirty; draw it once
        graphics->ClearPresented();
        back.draws = a.draws = b.draws = touching.draws = 0;
    }
    void TearDown() override { Graphics::ReleaseCaches(); }

    RecordingCore core;
    HeadlessGraphics* graphics = nullptr;
    ProbeControl back{&core, {0, 0, 200, 200}, -1, 0xFF202020};
    ProbeControl a{&core, {10, 10, 30, 30}, -1, 0xFF0000FF};
    ProbeControl b{&core, {100, 100, 120, 120}, -1, 0xFF00FF00};
    ProbeControl touching{&core, {30, 10, 40, 20}, -1, 0xFFFF0000};  // shares a's right edge
};

TEST_F(GraphicsRedraw, CollectDirtyUnitesDirtyRectanglesAndCallsIdleEverySecondCleanTick) {
    Rect dirty;
    EXPECT_FALSE(graphics->CollectDirty(dirty));
    EXPECT_EQ(core.idleCalls, 0);
    EXPECT_FALSE(graphics->CollectDirty(dirty));
    EXPECT_EQ(core.idleCalls, 1);
    a.MarkDirty(false);
    b.MarkDirty(false);
    EXPECT_TRUE(graphics->CollectDirty(dirty));
    EXPECT_EQ(dirty, (Rect{10, 10, 120, 120}));
    // A dirty tick starts the count again.
    graphics->DrawDirty(dirty);
    EXPECT_FALSE(graphics->CollectDirty(dirty = {}));
    EXPECT_EQ(core.idleCalls, 1);
    EXPECT_FALSE(graphics->CollectDirty(dirty));
    EXPECT_EQ(core.idleCalls, 2);
}

TEST_F(GraphicsRedraw, StrictRedrawDrawsOnlyControlsMeetingTheArea) {
    a.MarkDirty(false);
    b.MarkDirty(false);  // dirty, but outside the area drawn below
    EXPECT_TRUE(graphics->DrawDirty(a.DrawRect()));
    EXPECT_EQ(back.draws, 1);
    EXPECT_EQ(a.draws, 1);
    EXPECT_EQ(touching.draws, 1);  // edge contact counts as meeting
    EXPECT_EQ(b.draws, 0);
    ASSERT_EQ(graphics->Presented().size(), 1u);
    EXPECT_EQ(graphics->Presented()[0], a.DrawRect());
    // The fills stay inside the area: the back fill did not reach b's place.
    EXPECT_EQ(PixelAt(*graphics, 15, 15), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(*graphics, 110, 110), 0xFF00FF00u);

    // b was not drawn, so it is still dirty and the next tick draws it.
    EXPECT_TRUE(b.IsDirty());
    EXPECT_FALSE(a.IsDirty());
    EXPECT_TRUE(graphics->Tick());
    EXPECT_EQ(b.draws, 1);
    EXPECT_FALSE(b.IsDirty());
}

TEST_F(GraphicsRedraw, ControlThatChangesWhileDrawingStaysDirtyOneMoreTick) {
    a.redrawWhileDrawing = true;
    a.MarkDirty(false);
    EXPECT_TRUE(graphics->Tick());
    EXPECT_TRUE(a.IsDirty());
    a.redrawWhileDrawing = false;
    EXPECT_TRUE(graphics->Tick());
    EXPECT_FALSE(a.IsDirty());
    EXPECT_FALSE(graphics->Tick());
}

TEST_F(GraphicsRedraw, HiddenControlsAreNotDrawnButAreCleaned) {
    a.Hide(true);  // hiding marks dirty and asks for one more redraw
    graphics->DrawDirty({0, 0, 200, 200});
    EXPECT_EQ(a.draws, 0);
    EXPECT_TRUE(a.IsDirty());
    graphics->DrawDirty({0, 0, 200, 200});
    EXPECT_FALSE(a.IsDirty());
}

TEST_F(GraphicsRedraw, NonStrictRedrawRedrawsAroundEachDirtyControl) {
    graphics->SetStrictDrawing(false);
    a.MarkDirty(false);
    graphics->DrawDirty({});
    EXPECT_EQ(a.draws, 1);
    EXPECT_EQ(back.draws, 1);
    EXPECT_EQ(touching.draws, 1);
    EXPECT_EQ(b.draws, 0);
    EXPECT_FALSE(a.IsDirty());

    // A dirty background redraws everything shown.
    back.MarkDirty(false);
    graphics->DrawDirty({});
    EXPECT_EQ(b.draws, 1);
    EXPECT_FALSE(back.IsDirty());
}

TEST_F(GraphicsRedraw, EmptyPanelDrawsNothing) {
    RecordingCore other;
    HeadlessGraphics& bare = other.AttachHeadless();
    EXPECT_TRUE(bare.DrawDirty({0, 0, 10, 10}));
    EXPECT_TRUE(bare.Presented().empty());
}

TEST_F(GraphicsRedraw, FrameSelectionRoundsHalvesUpAndStartsFromTheOrigin) {
    // 7 frames of 3 rows: frame f starts at round(21 * (f - 1) / 7) = 3 (f - 1).
    graphics->AddImage(900, MakeFrameStrip(4, 3, 7));
    ImageStrip* strip = graphics->LoadImageStrip(900, "frames.png", 7);
    ASSERT_NE(strip, nullptr);
    const Rect dest{150, 150, 154, 153};
    graphics->DrawDirty(dest);  // sets the draw rectangle
    for (int frame : {1, 2, 7}) {
        graphics->DrawFrame(strip, dest, frame, nullptr);
        EXPECT_EQ(PixelAt(*graphics, 150, 150), 0xFF000000u | static_cast<uint32_t>(frame));
    }
    graphics->DrawFrame(strip, dest, 0, nullptr);  // below 1: the origin
    EXPECT_EQ(PixelAt(*graphics, 150, 150), 0xFF000001u);

    // Rounding: 10 rows in 4 frames put frame 2 at round(2.5) = 3, frame 4 at round(7.5) = 8.
    auto uneven = std::make_unique<raster::MemBitmap>(1, 10);
    for (int y = 0; y < 10; ++y)
        uneven->Row(y)[0] = 0xFF000000u | static_cast<uint32_t>(y);
    graphics->AddImage(901, std::move(uneven));
    ImageStrip* four = graphics->LoadImageStrip(901, "uneven.png", 4);
    graphics->DrawFrame(four, {150, 150, 151, 151}, 2, nullptr);
    EXPECT_EQ(PixelAt(*graphics, 150, 150), 0xFF000003u);
    graphics->DrawFrame(four, {150, 150, 151, 151}, 4, nullptr);
    EXPECT_EQ(PixelAt(*graphics, 150, 150), 0xFF000008u);
}

TEST_F(GraphicsRedraw, BlitIsClippedToTheDrawRectangleAndHonoursHorizontalStrips) {
    graphics->AddImage(902, MakeFrameStrip(8, 8, 1));
    ImageStrip* strip = graphics->LoadImageStrip(902, "one.png", 1);
    graphics->DrawDirty({0, 0, 200, 200});
    const uint32_t before = PixelAt(*graphics, 150, 150);
    graphics->DrawDirty({154, 154, 158, 158});
    graphics->BlitImage(strip, {150, 150, 158, 158}, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(*graphics, 150, 150), before);
    EXPECT_EQ(PixelAt(*graphics, 155, 155), 0xFF000001u);

    // The same strip read as 4 frames side by side: frame 3 starts at x = 8 * 2 / 4 = 4.
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            strip->bitmap->Row(y)[x] = 0xFF000000u | static_cast<uint32_t>(x);
    }
    ImageStrip sideways = *strip;
    sideways.frameCount = 4;
    sideways.framesHorizontal = true;
    graphics->DrawFrame(&sideways, {154, 154, 156, 158}, 3, nullptr);
    EXPECT_EQ(PixelAt(*graphics, 154, 154), 0xFF000004u);
    EXPECT_EQ(PixelAt(*graphics, 155, 154), 0xFF000005u);
}

TEST_F(GraphicsRedraw, BitmapControlDrawsTheFrameOfItsValueAndOneFrameStripsAlwaysFrameOne) {
    graphics->AddImage(903, MakeFrameStrip(2, 2, 5));
    graphics->AddImage(904, MakeFrameStrip(2, 2, 1));
    BitmapControl five{&core, 160, 160, -1, graphics->LoadImageStrip(903, "five.png", 5)};
    BitmapControl one{&core, 170, 160, -1, graphics->LoadImageStrip(904, "one.png", 1)};
    EXPECT_EQ(five.DrawRect(), (Rect{160, 160, 162, 162}));
    graphics->AddControl(&five);
    graphics->AddControl(&one);
    const struct {
        double value;
        uint32_t frame;
    } cases[] = {{0.0, 1}, {0.124, 1}, {0.125, 2}, {0.5, 3}, {0.875, 5}, {1.0, 5}};
    for (const auto& c : cases) {
        five.SetValueFromUser(c.value);
        one.SetValueFromUser(c.value);
        graphics->Tick();
        EXPECT_EQ(PixelAt(*graphics, 160, 160), 0xFF000000u | c.frame) << c.value;
        EXPECT_EQ(PixelAt(*graphics, 170, 160), 0xFF000001u) << c.value;
    }
}

}  // namespace
