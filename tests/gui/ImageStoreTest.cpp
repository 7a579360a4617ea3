#include <gtest/gtest.h>

#include <cstring>

#include "TestCore.h"
#include "gui/StripResampler.h"
#include "raster/Pixel.h"
#include "raster/PngImage.h"
#include "resources/ResourceTable.h"

namespace {

constexpr int kLarge = resources::kLargeImageFactor;

class ImageStoreTest : public ::testing::Test {
protected:
    void SetUp() override { graphics = &core.AttachHeadless(); }
    void TearDown() override { Graphics::ReleaseCaches(); }

    RecordingCore core;
    HeadlessGraphics* graphics = nullptr;
};

std::unique_ptr<raster::MemBitmap> Filled(int w, int h, uint32_t pixel) {
    auto bitmap = std::make_unique<raster::MemBitmap>(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            bitmap->Row(y)[x] = pixel;
    }
    return bitmap;
}

// Draws frame 1 of strip at the panel's top left, as a control would during a redraw.
void DrawFirstFrame(HeadlessGraphics& graphics, const ImageStrip* strip) {
    if (graphics.GetNControls() == 0) graphics.AddBackgroundPanel({255, 0, 0, 0});
    graphics.DrawDirty({0, 0, 64, 64});
    graphics.DrawFrame(strip, {0, 0, 64, 64}, 1, nullptr);
}

TEST_F(ImageStoreTest, StripsMeasureThePanelSizeAndNothingIsDecodedBeforeItIsDrawn) {
    graphics->AddImage(930, MakeFrameStrip(32, 32, 4));          // 32 x 128
    graphics->AddImage(930, MakeFrameStrip(64, 64, 4), kLarge);  // 64 x 256
    ImageStrip* strip = graphics->LoadImageStrip(930, "knob.png", 4);
    EXPECT_EQ(strip->width, 32);
    EXPECT_EQ(strip->height, 128);
    EXPECT_EQ(strip->FrameHeight(), 32);
    // A second strip on the same image measures like the first and draws the same pixels.
    ImageStrip* again = graphics->LoadImageStrip(930, "knob.png", 4);
    EXPECT_NE(again, strip);
    EXPECT_EQ(again->height, 128);
    EXPECT_EQ(again->bitmap, strip->bitmap);

    // Scale 1.5: 32 x 1.5 = 48 wide, 128 x 1.5 + 4 frames = 196 high; both strips follow, and
    // the pixels wait for the first draw, which renders them from the large set.
    graphics->RenderAllStrips(1.5);
    EXPECT_EQ(strip->width, 48);
    EXPECT_EQ(strip->height, 196);
    EXPECT_EQ(again->height, 196);
    EXPECT_TRUE(graphics->Decoded().empty());
    DrawFirstFrame(*graphics, strip);
    EXPECT_EQ(graphics->DecodedFactors(), std::vector<int>{kLarge});
    EXPECT_EQ(strip->bitmap->Width(), 48);
    EXPECT_EQ(strip->bitmap->Height(), 196);
    EXPECT_EQ(again->bitmap, strip->bitmap);
    // Drawn again at the same zoom: nothing is decoded again.
    DrawFirstFrame(*graphics, again);
    EXPECT_EQ(graphics->Decoded().size(), 1u);
}

TEST_F(ImageStoreTest, ZoomsUpToOneHundredPercentNeverDecodeTheLargeSet) {
    graphics->AddImage(934, MakeFrameStrip(40, 20, 1));
    graphics->AddImage(934, MakeFrameStrip(80, 40, 1), kLarge);
    ImageStrip* strip = graphics->LoadImageStrip(934, "logo.png", 1);
    for (const double zoom : {1.0, 0.5, 0.8, 1.0}) {
        graphics->RenderAllStrips(zoom);
        DrawFirstFrame(*graphics, strip);
        EXPECT_EQ(strip->bitmap->Width(), static_cast<int>(40 * zoom)) << zoom;
    }
    for (const int factor : graphics->DecodedFactors())
        EXPECT_EQ(factor, 1);
    graphics->RenderAllStrips(2.0);
    DrawFirstFrame(*graphics, strip);
    EXPECT_EQ(graphics->DecodedFactors().back(), kLarge);
    EXPECT_EQ(strip->bitmap->Width(), 80);
}

TEST_F(ImageStoreTest, AnImageAtItsStoredSizeIsDrawnPixelForPixel) {
    auto stored = MakeFrameStrip(6, 5, 1);
    const uint32_t corner = stored->Row(4)[5];
    graphics->AddImage(935, std::move(stored));
    ImageStrip* strip = graphics->LoadImageStrip(935, "plate.png", 1);
    graphics->RenderAllStrips(1.0);
    DrawFirstFrame(*graphics, strip);
    ASSERT_EQ(strip->bitmap->Width(), 6);
    EXPECT_EQ(static_cast<const raster::MemBitmap*>(strip->bitmap)->Row(4)[5], corner);
}

// The program's strips are stored as they are shown at 100 % and at the large set's zoom, one
// pixel taller a frame: there they draw the decoded pixels themselves, and measure at the panel's
// size as drawn.
TEST_F(ImageStoreTest, StoredStripsAreDrawnAsDecodedAtTheirZooms) {
    const resources::ImageResource& fader = resources::kImageResources[4];
    ASSERT_EQ(fader.id, resources::kImageFaderYellow);
    ImageStrip* strip = graphics->LoadImageStrip(fader.id, fader.name, fader.frames);
    EXPECT_EQ(strip->height, fader.height);
    EXPECT_EQ(strip->FrameHeight(), fader.height / fader.frames);
    graphics->AddBackgroundPanel({255, 0, 0, 0});
    for (const int zoom : {1, kLarge, 1}) {
        SCOPED_TRACE(zoom);
        graphics->RenderAllStrips(zoom);
        // The first and the last frame, the last in a rectangle reaching past the strip's end.
        graphics->DrawDirty({0, 0, 64, 600});
        graphics->DrawFrame(strip, {0, 0, 64, 600}, 1, nullptr);
        graphics->DrawFrame(strip, {0, 0, 64, 600}, fader.frames, nullptr);
        const std::unique_ptr<raster::MemBitmap> stored = raster::LoadPngResource(fader.id, zoom);
        ASSERT_NE(stored, nullptr);
        const auto* shown = static_cast<const raster::MemBitmap*>(strip->bitmap);
        ASSERT_EQ(shown->Width(), stored->Width());
        ASSERT_EQ(shown->Height(), stored->Height());
        EXPECT_EQ(shown->Height(), fader.height * zoom + fader.frames);
        const int frameHeight = strip->FrameHeight();
        int differing = 0;
        for (const int top : {0, shown->Height() - frameHeight}) {
            for (int y = top; y < top + frameHeight; ++y)
                differing += std::memcmp(shown->Row(y), stored->Row(y), shown->Width() * 4u) != 0;
        }
        EXPECT_EQ(differing, 0);
    }
}

// Drawn as decoded, a strip is decoded only where it is drawn: each frame on its own, once, and
// a zoom that resamples it needs every row.
TEST_F(ImageStoreTest, OnlyTheFramesDrawnAreDecoded) {
    const resources::ImageResource& fader = resources::kImageResources[5];
    ASSERT_EQ(fader.id, resources::kImageFaderRed);
    ImageStrip* strip = graphics->LoadImageStrip(fader.id, fader.name, fader.frames);
    graphics->RenderAllStrips(1.0);
    graphics->AddBackgroundPanel({255, 0, 0, 0});
    const std::unique_ptr<raster::MemBitmap> stored = raster::LoadPngResource(fader.id);
    ASSERT_NE(stored, nullptr);
    const int frameHeight = strip->FrameHeight();
    ASSERT_EQ(frameHeight, fader.height / fader.frames + 1);
    // What a frame shows at an opaque pixel of it near its top, and what the strip holds there.
    auto opaqueAt = [&](int frame) {
        const int top = (frame - 1) * frameHeight;
        for (int y = 0; y < frameHeight / 4; ++y) {
            for (int x = 0; x < strip->width; ++x) {
                if (stored->Row(top + y)[x] >> 24 == 0xFF) return std::pair{x, y};
            }
        }
        return std::pair{-1, -1};
    };
    auto drawn = [&](int frame) {
        graphics->DrawDirty({0, 0, 64, 300});
        graphics->DrawFrame(strip, {0, 0, strip->width, frameHeight}, frame, nullptr);
        const auto [x, y] = opaqueAt(frame);
        return x < 0 ? 0u : graphics->DrawBitmap()->Row(y)[x];
    };
    auto stripPixel = [&](int frame) {
        const auto [x, y] = opaqueAt(frame);
        return x < 0 ? 1u : stored->Row((frame - 1) * frameHeight + y)[x];
    };
    auto frameRows = [&](int frame) {
        return std::pair{(frame - 1) * frameHeight, frame * frameHeight};
    };
    auto lastDecoded = [&] {
        const raster::RowSpan rows = graphics->DecodedRows().back();
        return std::pair{rows.first, rows.end};
    };
    EXPECT_EQ(drawn(3), stripPixel(3));
    ASSERT_EQ(graphics->DecodedRows().size(), 1u);
    EXPECT_EQ(lastDecoded(), frameRows(3));
    // The rows of another frame are not: the strip holds clear pixels there.
    const auto* shown = static_cast<const raster::MemBitmap*>(strip->bitmap);
    EXPECT_EQ(shown->Row(frameRows(60).first + opaqueAt(60).second)[opaqueAt(60).first], 0u);
    // Each frame is decoded when it is first drawn, alone.
    EXPECT_EQ(drawn(fader.frames), stripPixel(fader.frames));
    EXPECT_EQ(lastDecoded(), frameRows(fader.frames));
    EXPECT_EQ(drawn(1), stripPixel(1));
    EXPECT_EQ(lastDecoded(), frameRows(1));
    EXPECT_EQ(drawn(60), stripPixel(60));
    EXPECT_EQ(graphics->DecodedRows().size(), 4u);
    // Drawn again: nothing more.
    EXPECT_EQ(drawn(3), stripPixel(3));
    EXPECT_EQ(drawn(fader.frames), stripPixel(fader.frames));
    EXPECT_EQ(graphics->DecodedRows().size(), 4u);
    graphics->RenderAllStrips(0.5);
    drawn(1);
    EXPECT_EQ(lastDecoded(), std::pair(0, stored->Height()));
}

// A frame cut by the draw rectangle is decoded whole, so that drawing the rest of it later needs
// nothing more.
TEST_F(ImageStoreTest, APartlyDrawnFrameIsDecodedWhole) {
    const resources::ImageResource& knob = resources::kImageResources[6];
    ASSERT_EQ(knob.id, resources::kImageKnob);
    ImageStrip* strip = graphics->LoadImageStrip(knob.id, knob.name, knob.frames);
    graphics->RenderAllStrips(kLarge);
    graphics->AddBackgroundPanel({255, 0, 0, 0});
    const int frameHeight = strip->FrameHeight();
    const Rect whole{0, 0, strip->width, frameHeight};
    graphics->DrawDirty({0, 9, strip->width, 20});
    graphics->DrawFrame(strip, whole, 5, nullptr);
    ASSERT_EQ(graphics->DecodedRows().size(), 1u);
    const raster::RowSpan rows = graphics->DecodedRows().back();
    EXPECT_EQ(rows.first, 4 * frameHeight);
    EXPECT_EQ(rows.end, 5 * frameHeight);
    graphics->DrawDirty(whole);
    graphics->DrawFrame(strip, whole, 5, nullptr);
    EXPECT_EQ(graphics->DecodedRows().size(), 1u);
}

TEST_F(ImageStoreTest, RenderKeepsFramesApart) {
    // Three frames of 20 rows in red, green and blue.
    auto stored = std::make_unique<raster::MemBitmap>(8, 60);
    for (int y = 0; y < 60; ++y) {
        const uint32_t colour = 0xFF000000u | 0xFFu << (16 - 8 * (y / 20));
        for (int x = 0; x < 8; ++x)
            stored->Row(y)[x] = colour;
    }
    graphics->AddImage(931, std::move(stored));
    ImageStrip* strip = graphics->LoadImageStrip(931, "three.png", 3);
    graphics->RenderAllStrips(0.5);  // 4 x (30 + 3)
    DrawFirstFrame(*graphics, strip);
    ASSERT_EQ(strip->height, 33);
    const auto* shown = static_cast<const raster::MemBitmap*>(strip->bitmap);
    ASSERT_EQ(shown->Height(), 33);
    // Target frame k covers rows 11 k .. 11 k + 10 and holds only its own frame's channel.
    for (int y = 0; y < 33; ++y) {
        const uint32_t pixel = shown->Row(y)[1];
        const uint32_t own = 0xFFu << (16 - 8 * (y / 11));
        EXPECT_EQ(pixel & 0xFFFFFF & ~own, 0u) << y;
        EXPECT_NE(pixel & own, 0u) << y;
    }
}

TEST_F(ImageStoreTest, TwoPanelsNeverShareStripsOrZoom) {
    RecordingCore otherCore;
    HeadlessGraphics& other = otherCore.AttachHeadless();
    for (HeadlessGraphics* panel : {graphics, &other}) {
        panel->AddImage(936, MakeFrameStrip(10, 10, 2));
        panel->AddImage(936, MakeFrameStrip(20, 20, 2), kLarge);
    }
    ImageStrip* mine = graphics->LoadImageStrip(936, "button.png", 2);
    ImageStrip* theirs = other.LoadImageStrip(936, "button.png", 2);
    graphics->RenderAllStrips(2.0);
    other.RenderAllStrips(0.5);
    DrawFirstFrame(*graphics, mine);
    DrawFirstFrame(other, theirs);
    EXPECT_NE(mine->bitmap, theirs->bitmap);
    EXPECT_EQ(mine->height, 42);    // 20 x 2 + 2 frames
    EXPECT_EQ(theirs->height, 12);  // 20 x 0.5 + 2 frames
    EXPECT_EQ(mine->bitmap->Height(), 42);
    EXPECT_EQ(theirs->bitmap->Height(), 12);
    EXPECT_EQ(graphics->Images().StripCount(), 1);
}

TEST_F(ImageStoreTest, MissingImageGivesAnEmptyStripAndStaysEmpty) {
    ImageStrip* strip = graphics->LoadImageStrip(932, "absent.png", 3);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->bitmap, nullptr);
    EXPECT_EQ(strip->width, 0);
    graphics->RenderAllStrips(2.0);
    EXPECT_EQ(strip->bitmap, nullptr);
    // Drawing it is harmless.
    graphics->DrawDirty({0, 0, 10, 10});
    EXPECT_TRUE(graphics->DrawFrame(strip, {0, 0, 10, 10}, 2, nullptr));
}

TEST_F(ImageStoreTest, OnlyPngNamesAreImages) {
    graphics->LoadImageStrip(933, "guide.pdf", 1);
    raster::MemBitmap into;
    EXPECT_FALSE(
        graphics->Graphics::LoadResourceImage(933, "guide.pdf", 1, {0, raster::kAllRows}, into));
    EXPECT_FALSE(graphics->Graphics::MeasureResourceImage(933, "guide.pdf", 1).has_value());
}

TEST(StripResampler, SameSizeCopiesExactly) {
    auto source = std::make_unique<raster::MemBitmap>(5, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x)
            source->Row(y)[x] = raster::MakePixel(200, 10 * x, 7 * y, 255);
    }
    raster::MemBitmap target(5, 4);
    ResampleStrip(*source, 1, false, target);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(target.Row(y)[x], source->Row(y)[x]) << x << "," << y;
    }
}

TEST(StripResampler, HalvingAveragesTwoByTwoBoxes) {
    auto source = Filled(4, 2, raster::MakePixel(255, 0, 0, 0));
    source->Row(0)[0] = raster::MakePixel(255, 200, 100, 3);
    source->Row(1)[1] = raster::MakePixel(255, 100, 100, 0);
    raster::MemBitmap target(2, 1);
    ResampleStrip(*source, 1, false, target);
    // (200 + 100) / 4 = 75, (100 + 100) / 4 = 50, 3 / 4 = 0.75 -> 0
    EXPECT_EQ(target.Row(0)[0], raster::MakePixel(255, 75, 50, 0));
    EXPECT_EQ(target.Row(0)[1], raster::MakePixel(255, 0, 0, 0));
}

TEST(StripResampler, NeighboursOutsideTheSourceCountAsZero) {
    // Two source pixels onto three: the last target pixel samples at 4/3 and mixes the last
    // source pixel (2/3) with nothing (1/3).
    auto source = Filled(2, 1, raster::MakePixel(255, 255, 255, 255));
    raster::MemBitmap target(3, 1);
    ResampleArea(*source, 0, 0, 2, 1, target, 0, 0, 3, 1);
    EXPECT_EQ(target.Row(0)[0], raster::MakePixel(255, 255, 255, 255));
    EXPECT_EQ(target.Row(0)[2], raster::MakePixel(170, 170, 170, 170));
}

}  // namespace
