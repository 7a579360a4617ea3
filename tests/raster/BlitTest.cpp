#include <gtest/gtest.h>

#include "BitmapTestSupport.h"
#include "raster/Draw.h"
#include "raster/FastPaths.h"
#include "raster/MemBitmap.h"
#include "raster/Pixel.h"

namespace raster {
namespace {

using testing::At;
using testing::FillWith;

// The worked numbers must hold on both the fast and the reference loops.
class BlitModes : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { SetFastPathsEnabled(GetParam()); }
    void TearDown() override { SetFastPathsEnabled(true); }
};

TEST_P(BlitModes, HalfTransparentWhiteOverBlackGives129) {
    MemBitmap src(8, 1);
    MemBitmap dest(8, 1);
    FillWith(src, 0x80FFFFFF);
    FillWith(dest, 0xFF000000);
    Blit(&dest, &src, 0, 0, nullptr, 1.0f, kModeAlphaCopy);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(At(dest, x, 0), 0xFF818181u) << x;

    // Over transparent black the alpha adds up instead: 0 + 128.
    FillWith(dest, 0x00000000);
    Blit(&dest, &src, 0, 0, nullptr, 1.0f, kModeAlphaCopy);
    EXPECT_EQ(At(dest, 0, 0), 0x80818181u);
}

TEST_P(BlitModes, TransparentSourceLeavesDestinationUntouchedAtAnyWeight) {
    MemBitmap src(6, 2);
    MemBitmap dest(6, 2);
    FillWith(src, 0x00FFFFFF);
    FillWith(dest, 0x12345678);
    for (float weight : {1.0f, 0.5f, 0.3f}) {
        Blit(&dest, &src, 0, 0, nullptr, weight, kModeAlphaCopy);
        Blit(&dest, &src, 0, 0, nullptr, weight, kModeAlphaAdd);
        Blit(&dest, &src, 0, 0, nullptr, weight, kModeUseAlpha | kModeMultiply);
        EXPECT_EQ(testing::CountEqual(dest, 0x12345678), 12) << weight;
    }
}

TEST_P(BlitModes, OpaqueSourceAtFullWeightIsCopiedWithOpaqueAlpha) {
    MemBitmap src(5, 1);
    MemBitmap dest(5, 1);
    FillWith(src, 0xFF102030);
    FillWith(dest, 0x40FFFFFF);
    Blit(&dest, &src, 0, 0, nullptr, 1.0f, kModeAlphaCopy);
    EXPECT_EQ(testing::CountEqual(dest, 0xFF102030), 5);
}

TEST_P(BlitModes, ReducedWeightUsesTheScaledLevel) {
    // W = 128, a = 255: l = 128 * 256 / 256 = 128; 200 + (100 - 200) * 128 / 256 = 150.
    MemBitmap src(5, 1);
    MemBitmap dest(5, 1);
    FillWith(src, MakePixel(255, 200, 200, 200));
    FillWith(dest, MakePixel(10, 100, 100, 100));
    Blit(&dest, &src, 0, 0, nullptr, 0.5f, kModeAlphaCopy);
    EXPECT_EQ(At(dest, 4, 0), MakePixel(138, 150, 150, 150));
}

TEST_P(BlitModes, CopyAtHalfAndOtherWeights) {
    MemBitmap src(5, 1);
    MemBitmap dest(5, 1);
    FillWith(src, 0xFF0000FF);
    FillWith(dest, 0x01FF0003);
    Blit(&dest, &src, 0, 0, nullptr, 0.5f, kModeCopy);
    EXPECT_EQ(At(dest, 0, 0), (0xFF0000FFu >> 1 & 0x7F7F7F7F) + (0x01FF0003u >> 1 & 0x7F7F7F7F));

    // W = 64: every byte, alpha included, is s + (d - s) * 192 / 256 truncated toward zero.
    FillWith(src, MakePixel(0, 255, 10, 0));
    FillWith(dest, MakePixel(255, 0, 11, 3));
    Blit(&dest, &src, 0, 0, nullptr, 0.25f, kModeCopy);
    EXPECT_EQ(At(dest, 4, 0), MakePixel(191, 64, 10, 2));
}

TEST_P(BlitModes, AddAndDodgeThroughSourceAlpha) {
    MemBitmap src(4, 1);
    MemBitmap dest(4, 1);
    // l = 256 * 129 / 256 = 129; colours d + 129 * s / 256; alpha 100 + 128 * 129 / 256 = 164.
    FillWith(src, MakePixel(128, 255, 100, 0));
    FillWith(dest, MakePixel(100, 200, 50, 7));
    Blit(&dest, &src, 0, 0, nullptr, 1.0f, kModeAlphaAdd);
    EXPECT_EQ(At(dest, 0, 0), MakePixel(164, 255, 100, 7));

    // Dodge, l = 256: k = s for colours; k = 255 saturates (black stays black), k = 128
    // doubles, k = 0 keeps; alpha k = 255 * 256 / 256 = 255 -> 255.
    FillWith(src, MakePixel(255, 255, 128, 0));
    FillWith(dest, MakePixel(3, 0, 100, 77));
    Blit(&dest, &src, 0, 0, nullptr, 1.0f, kModeAlphaDodge);
    EXPECT_EQ(At(dest, 0, 0), MakePixel(255, 0, 200, 77));
    FillWith(dest, MakePixel(3, 9, 100, 77));
    Blit(&dest, &src, 0, 0, nullptr, 1.0f, kModeAlphaDodge);
    EXPECT_EQ(PixelRed(At(dest, 0, 0)), 255u);
}

INSTANTIATE_TEST_SUITE_P(FastAndReference, BlitModes, ::testing::Bool());

// 3 x 3 source of distinct pixels; the destination is 4 x 4 of zero.
class BlitClipping : public ::testing::Test {
protected:
    void SetUp() override {
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 3; ++x)
                src_.Row(y)[x] = 0xFF000000u | (y * 3 + x + 1);
        }
        FillWith(dest_, 0);
    }
    uint32_t Source(int x, int y) const { return 0xFF000000u | (y * 3 + x + 1); }

    MemBitmap src_{3, 3};
    MemBitmap dest_{4, 4};
};

TEST_F(BlitClipping, NegativeDestinationMovesTheSourceOrigin) {
    Blit(&dest_, &src_, -1, -2, nullptr, 1.0f, kModeCopy);
    EXPECT_EQ(At(dest_, 0, 0), Source(1, 2));
    EXPECT_EQ(At(dest_, 1, 0), Source(2, 2));
    EXPECT_EQ(At(dest_, 2, 0), 0u);
    EXPECT_EQ(At(dest_, 0, 1), 0u);
}

TEST_F(BlitClipping, RightAndBottomEdgesCutTheArea) {
    Blit(&dest_, &src_, 2, 3, nullptr, 1.0f, kModeAlphaCopy);
    EXPECT_EQ(At(dest_, 2, 3), Source(0, 0));
    EXPECT_EQ(At(dest_, 3, 3), Source(1, 0));
    EXPECT_EQ(testing::CountEqual(dest_, 0), 14);
}

TEST_F(BlitClipping, SourceRectangleIsLimitedToTheSource) {
    const PixelRect part{1, 1, 10, 10};
    Blit(&dest_, &src_, 0, 0, &part, 1.0f, kModeCopy);
    EXPECT_EQ(At(dest_, 0, 0), Source(1, 1));
    EXPECT_EQ(At(dest_, 1, 1), Source(2, 2));
    EXPECT_EQ(At(dest_, 2, 0), 0u);
    EXPECT_EQ(testing::CountEqual(dest_, 0), 12);

    // A rectangle starting left of the source keeps its pixels where they would have landed.
    FillWith(dest_, 0);
    const PixelRect leftOf{-1, 0, 2, 1};
    Blit(&dest_, &src_, 0, 0, &leftOf, 1.0f, kModeCopy);
    EXPECT_EQ(At(dest_, 0, 0), 0u);
    EXPECT_EQ(At(dest_, 1, 0), Source(0, 0));
    EXPECT_EQ(At(dest_, 2, 0), Source(1, 0));
}

TEST_F(BlitClipping, NothingHappensForEmptyOrMissingBitmapsAndZeroWeight) {
    MemBitmap empty;
    Blit(&dest_, &empty, 0, 0, nullptr, 1.0f, kModeCopy);
    Blit(nullptr, &src_, 0, 0, nullptr, 1.0f, kModeCopy);
    Blit(&dest_, nullptr, 0, 0, nullptr, 1.0f, kModeCopy);
    Blit(&dest_, &src_, 0, 0, nullptr, 0.0f, kModeCopy);
    Blit(&dest_, &src_, 0, 0, nullptr, 0.001f, kModeCopy);
    Blit(&dest_, &src_, 4, 0, nullptr, 1.0f, kModeCopy);
    Blit(&dest_, &src_, -3, 0, nullptr, 1.0f, kModeCopy);
    Blit(&dest_, &src_, 2000000000, -2000000000, nullptr, 1.0f, kModeCopy);
    const PixelRect inverted{2, 2, 1, 1};
    Blit(&dest_, &src_, 0, 0, &inverted, 1.0f, kModeCopy);
    EXPECT_EQ(testing::CountEqual(dest_, 0), 16);
}

TEST_F(BlitClipping, BlitOntoItselfReadsTheOriginalPixels) {
    MemBitmap strip(4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            strip.Row(y)[x] = 0xFF000000u | (y * 4 + x);
    }
    const PixelRect top{0, 0, 3, 3};
    Blit(&strip, &strip, 1, 1, &top, 1.0f, kModeAlphaCopy);
    EXPECT_EQ(At(strip, 1, 1), 0xFF000000u);
    EXPECT_EQ(At(strip, 3, 3), 0xFF000000u | 10);
    EXPECT_EQ(At(strip, 2, 3), 0xFF000000u | 9);
}

}  // namespace
}  // namespace raster
