#include <gtest/gtest.h>

#include "BitmapTestSupport.h"
#include "raster/Draw.h"
#include "raster/MemBitmap.h"
#include "raster/Pixel.h"

namespace raster {
namespace {

using testing::At;
using testing::CountEqual;
using testing::FillWith;

constexpr uint32_t kInk = 0xFFFFFFFF;
constexpr uint32_t kPaper = 0xFF000000;

TEST(FillRectTest, WeightsGiveTheirExactSums) {
    MemBitmap dest(4, 1);
    const uint32_t d = MakePixel(255, 200, 101, 3);
    const uint32_t c = MakePixel(255, 0, 50, 255);
    const struct {
        float weight;
        uint32_t expected;
    } cases[] = {
        {1.0f, c},
        {0.5f, (c >> 1 & 0x7F7F7F7F) + (d >> 1 & 0x7F7F7F7F)},
        {0.25f, (c >> 2 & 0x3F3F3F3F) + (d >> 1 & 0x7F7F7F7F) + (d >> 2 & 0x3F3F3F3F)},
        {0.75f, (c >> 2 & 0x3F3F3F3F) + (d >> 2 & 0x3F3F3F3F) + (c >> 1 & 0x7F7F7F7F)},
        // W = 25: (d - c) * 231 / 256 + c per byte, truncated toward zero.
        {0.1f, MakePixel(255, 180, 96, 28)},
    };
    for (const auto& each : cases) {
        FillWith(dest, d);
        FillRect(&dest, 0, 0, 4, 1, c, each.weight, kModeCopy);
        EXPECT_EQ(At(dest, 3, 0), each.expected) << each.weight;
    }
}

TEST(FillRectTest, SourceAlphaScalesTheWeight) {
    // Alpha 128 of 255 at weight 1 gives W = 128: the halves are averaged.
    MemBitmap dest(2, 2);
    FillWith(dest, 0xFF204060);
    FillRect(&dest, 0, 0, 2, 2, 0x80FFFFFF, 1.0f, kModeAlphaCopy);
    EXPECT_EQ(At(dest, 1, 1), (0x80FFFFFFu >> 1 & 0x7F7F7F7F) + (0xFF204060u >> 1 & 0x7F7F7F7F));
    FillWith(dest, 0xFF204060);
    FillRect(&dest, 0, 0, 2, 2, 0x00FFFFFF, 1.0f, kModeAlphaCopy);
    EXPECT_EQ(CountEqual(dest, 0xFF204060), 4);
}

TEST(FillRectTest, ClipsAtEveryEdgeAndShortensForNegativeCorners) {
    MemBitmap dest(5, 4);
    FillWith(dest, kPaper);
    FillRect(&dest, -2, -1, 4, 3, kInk, 1.0f, kModeCopy);  // covers x 0..1, y 0..1
    EXPECT_EQ(CountEqual(dest, kInk), 4);
    EXPECT_EQ(At(dest, 1, 1), kInk);
    EXPECT_EQ(At(dest, 2, 1), kPaper);

    FillWith(dest, kPaper);
    FillRect(&dest, 3, 2, 100, 100, kInk, 1.0f, kModeCopy);
    EXPECT_EQ(CountEqual(dest, kInk), 4);

    FillWith(dest, kPaper);
    FillRect(&dest, 5, 0, 3, 3, kInk, 1.0f, kModeCopy);
    FillRect(&dest, 0, -3, 3, 3, kInk, 1.0f, kModeCopy);
    FillRect(&dest, 0, 0, -3, 3, kInk, 1.0f, kModeCopy);
    FillRect(&dest, 2000000000, 0, 2000000000, 3, kInk, 1.0f, kModeCopy);
    FillRect(&dest, 0, 0, 5, 4, kInk, 1.0f / 512, kModeAlphaCopy);  // W truncates to 0
    EXPECT_EQ(CountEqual(dest, kInk), 0);
    FillRect(nullptr, 0, 0, 3, 3, kInk, 1.0f, kModeCopy);
}

TEST(LineTest, HorizontalLineFromTenToFiveDrawsSixPixels) {
    MemBitmap dest(16, 3);
    FillWith(dest, kPaper);
    DrawLine(&dest, 10, 1, 5, 1, kInk, 1.0f, kModeCopy, false);
    EXPECT_EQ(CountEqual(dest, kInk), 6);
    for (int x = 5; x <= 10; ++x)
        EXPECT_EQ(At(dest, x, 1), kInk) << x;
}

TEST(LineTest, SteepAndDiagonalLinesDrawOnePixelPerStepIncludingBothEnds) {
    MemBitmap dest(10, 10);
    FillWith(dest, kPaper);
    DrawLine(&dest, 2, 1, 3, 8, kInk, 1.0f, kModeCopy, false);
    EXPECT_EQ(CountEqual(dest, kInk), 8);
    EXPECT_EQ(At(dest, 2, 1), kInk);
    EXPECT_EQ(At(dest, 3, 8), kInk);

    FillWith(dest, kPaper);
    DrawLine(&dest, 0, 0, 9, 9, kInk, 1.0f, kModeCopy, false);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(At(dest, i, i), kInk);
    EXPECT_EQ(CountEqual(dest, kInk), 10);
}

TEST(LineTest, LinesAreClippedAndLinesOutsideDrawNothing) {
    MemBitmap dest(8, 8);
    FillWith(dest, kPaper);
    DrawLine(&dest, -100, 3, 100, 3, kInk, 1.0f, kModeCopy, false);
    EXPECT_EQ(CountEqual(dest, kInk), 8);

    FillWith(dest, kPaper);
    DrawLine(&dest, -1e9f, -1e9f, 1e9f, 1e9f, kInk, 1.0f, kModeCopy, false);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(At(dest, i, i), kInk);

    FillWith(dest, kPaper);
    DrawLine(&dest, -5, -1, 20, -1, kInk, 1.0f, kModeCopy, true);
    DrawLine(&dest, 9, 0, 9, 7, kInk, 1.0f, kModeCopy, false);
    DrawLine(&dest, 0, 0, 7, 7, kInk, 0.0f, kModeCopy, false);
    DrawLine(&dest, NAN, 0, 7, 7, kInk, 1.0f, kModeCopy, false);
    EXPECT_EQ(CountEqual(dest, kPaper), 64);
}

TEST(LineTest, QuarterWeightsBlendEachPixelLikeAFill) {
    MemBitmap dest(4, 1);
    const uint32_t paper = 0xFF804020;
    FillWith(dest, paper);
    DrawLine(&dest, 0, 0, 3, 0, kInk, 0.25f, kModeCopy, false);
    EXPECT_EQ(At(dest, 2, 0),
              (kInk >> 2 & 0x3F3F3F3F) + (paper >> 1 & 0x7F7F7F7F) + (paper >> 2 & 0x3F3F3F3F));
}

TEST(LineTest, AntialiasedLineSplitsCoverageBetweenNeighbours) {
    MemBitmap dest(8, 4);
    FillWith(dest, kPaper);
    DrawLine(&dest, 0, 1.5f, 7, 1.5f, kInk, 1.0f, kModeCopy, true);
    // Half coverage on rows 1 and 2: W = 128 averages ink and paper.
    const uint32_t half = (kInk >> 1 & 0x7F7F7F7F) + (kPaper >> 1 & 0x7F7F7F7F);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(At(dest, x, 1), half);
        EXPECT_EQ(At(dest, x, 2), half);
    }
    EXPECT_EQ(CountEqual(dest, kPaper), 16);
}

TEST(LineTest, AntialiasedSlopeSharesEachColumnBetweenTwoRows) {
    // From (0, 0) to (4, 1): the line stands a quarter lower at each column, and each of the two
    // pixels it passes between is blended like a one-pixel fill at its share.
    auto filled = [](float share) {
        MemBitmap probe(1, 1);
        FillWith(probe, kPaper);
        FillRect(&probe, 0, 0, 1, 1, kInk, share, kModeCopy);
        return At(probe, 0, 0);
    };
    MemBitmap dest(5, 3);
    FillWith(dest, kPaper);
    DrawLine(&dest, 0, 0, 4, 1, kInk, 1.0f, kModeCopy, true);
    const float upper[5] = {1.0f, 0.75f, 0.5f, 0.25f, 0.0f};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(At(dest, x, 0), upper[x] > 0 ? filled(upper[x]) : kPaper) << x;
        EXPECT_EQ(At(dest, x, 1), upper[x] < 1 ? filled(1.0f - upper[x]) : kPaper) << x;
        EXPECT_EQ(At(dest, x, 2), kPaper) << x;
    }
    EXPECT_NE(At(dest, 1, 0), At(dest, 1, 1)) << "three quarters above, one below";
}

TEST(BezierTest, StraightControlPolygonDrawsTheLineAndCurvesAreCutAtTheBorders) {
    MemBitmap dest(12, 5);
    FillWith(dest, kPaper);
    DrawQuadBezier(&dest, {1, 2}, {5, 2}, {10, 2}, kInk, 1.0f, kModeCopy, false);
    for (int x = 1; x <= 10; ++x)
        EXPECT_EQ(At(dest, x, 2), kInk) << x;
    EXPECT_EQ(CountEqual(dest, kInk), 10);

    // A parabola whose ends lie far outside: only its visible part is drawn, bounded in time.
    FillWith(dest, kPaper);
    DrawQuadBezier(&dest, {-1e7f, 4}, {6, -2}, {1e7f, 4}, kInk, 1.0f, kModeCopy, false);
    EXPECT_GT(CountEqual(dest, kInk), 0);
    EXPECT_EQ(At(dest, 6, 1), kInk);
}

TEST(CircleTest, DiscCoversItsRadiusAndIsClipped) {
    MemBitmap dest(9, 9);
    FillWith(dest, kPaper);
    FillCircle(&dest, 4, 4, 2, kInk, 1.0f, kModeCopy);
    // Pixels within distance 2 of the centre: 13.
    EXPECT_EQ(CountEqual(dest, kInk), 13);
    EXPECT_EQ(At(dest, 4, 2), kInk);
    EXPECT_EQ(At(dest, 3, 3), kInk);
    EXPECT_EQ(At(dest, 2, 2), kPaper);

    FillWith(dest, kPaper);
    FillCircle(&dest, 0, 0, 2, kInk, 1.0f, kModeCopy);
    EXPECT_EQ(CountEqual(dest, kInk), 6);

    FillWith(dest, kPaper);
    FillCircle(&dest, 4, 4, -1, kInk, 1.0f, kModeCopy);
    FillCircle(&dest, -10, 4, 7, kInk, 1.0f, kModeCopy);
    FillCircle(&dest, 4, 4, 1e30f, kInk, 0.0f, kModeCopy);
    EXPECT_EQ(CountEqual(dest, kPaper), 81);
}

}  // namespace
}  // namespace raster
