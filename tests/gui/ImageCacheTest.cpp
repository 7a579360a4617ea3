#include <gtest/gtest.h>

#include "TestCore.h"
#include "gui/StripResampler.h"
#include "raster/Pixel.h"

namespace {

class ImageCacheTest : public ::testing::Test {
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

TEST_F(ImageCacheTest, DivisorTwoMeasuresHalfAndWaitsForTheRenderForPixels) {
    graphics->SetImageScaleDivisor(2);
    graphics->AddImage(930, MakeFrameStrip(64, 64, 4));  // 64 x 256 as stored
    ImageStrip* strip = graphics->LoadImageStrip(930, "knob.png", 4);
    EXPECT_EQ(strip->width, 32);
    EXPECT_EQ(strip->height, 128);
    EXPECT_EQ(strip->FrameHeight(), 32);
    EXPECT_EQ(strip->bitmap->Width(), 1);  // placeholder

    // A second strip on the same image measures like the first, not like the placeholder.
    ImageStrip* again = graphics->LoadImageStrip(930, "knob.png", 4);
    EXPECT_NE(again, strip);
    EXPECT_EQ(again->width, 32);
    EXPECT_EQ(again->height, 128);
    EXPECT_EQ(again->bitmap, strip->bitmap);

    // Scale 1.5: 32 x 1.5 = 48 wide, 128 x 1.5 + 4 frames = 196 high; both strips follow.
    graphics->RenderAllStrips(1.5);
    EXPECT_EQ(strip->width, 48);
    EXPECT_EQ(strip->height, 196);
    EXPECT_EQ(again->height, 196);
    EXPECT_EQ(strip->bitmap->Width(), 48);
    EXPECT_EQ(strip->bitmap->Height(), 196);
}

TEST_F(ImageCacheTest, RenderKeepsFramesApart) {
    // Three frames of 20 rows in red, green and blue.
    auto stored = std::make_unique<raster::MemBitmap>(8, 60);
    for (int y = 0; y < 60; ++y) {
        const uint32_t colour = 0xFF000000u | 0xFFu << (16 - 8 * (y / 20));
        for (int x = 0; x < 8; ++x)
            stored->Row(y)[x] = colour;
    }
    graphics->SetImageScaleDivisor(2);
    graphics->AddImage(931, std::move(stored));
    ImageStrip* strip = graphics->LoadImageStrip(931, "three.png", 3);
    graphics->RenderAllStrips(1.0);  // 4 x (30 + 3)
    ASSERT_EQ(strip->height, 33);
    // Target frame k covers rows 11 k .. 11 k + 10 and holds only its own frame's channel.
    for (int y = 0; y < 33; ++y) {
        const uint32_t pixel = strip->bitmap->Row(y)[1];
        const uint32_t own = 0xFFu << (16 - 8 * (y / 11));
        EXPECT_EQ(pixel & 0xFFFFFF & ~own, 0u) << y;
        EXPECT_NE(pixel & own, 0u) << y;
    }
}

TEST_F(ImageCacheTest, MissingImageGivesAnEmptyStripAndStaysEmpty) {
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

TEST_F(ImageCacheTest, OnlyPngNamesAreDecoded) {
    graphics->LoadImageStrip(933, "guide.pdf", 1);
    EXPECT_EQ(graphics->Decoded().size(), 1u);  // asked, and the base refused it by name
    EXPECT_EQ(graphics->Graphics::LoadResourceImage(933, "guide.pdf"), nullptr);
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
