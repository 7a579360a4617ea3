#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "BitmapTestSupport.h"
#include "raster/Draw.h"
#include "raster/FastPaths.h"
#include "raster/MemBitmap.h"

namespace raster {
namespace {

// Runs draw once with fast paths and once with the reference formulas on copies of the same
// random destination and expects identical bytes.
template <typename Draw>
void ExpectSameBytes(const MemBitmap& start, Draw draw, const std::string& what) {
    MemBitmap fast(start.Width(), start.Height());
    MemBitmap reference(start.Width(), start.Height());
    Blit(&fast, &start, 0, 0, nullptr, 1.0f, kModeCopy);
    Blit(&reference, &start, 0, 0, nullptr, 1.0f, kModeCopy);
    SetFastPathsEnabled(true);
    draw(fast);
    SetFastPathsEnabled(false);
    draw(reference);
    SetFastPathsEnabled(true);
    for (int y = 0; y < start.Height(); ++y) {
        for (int x = 0; x < start.Width(); ++x) {
            ASSERT_EQ(fast.Row(y)[x], reference.Row(y)[x]) << what << " at " << x << "," << y;
        }
    }
}

std::vector<float> Weights(std::mt19937& random) {
    std::vector<float> weights = {1.0f, 0.5f, 0.25f, 0.75f, 1.0f / 256, 255.0f / 256};
    std::uniform_real_distribution<float> any(0.0f, 1.0f);
    for (int i = 0; i < 6; ++i)
        weights.push_back(any(random));
    return weights;
}

// Source alphas mixed from the special values 0 and 255 and everything between.
void FillVariedAlpha(MemBitmap& bitmap, std::mt19937& random) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            uint32_t pixel = static_cast<uint32_t>(random());
            const uint32_t pick = random() % 4;
            if (pick == 0) pixel &= 0x00FFFFFF;
            if (pick == 1) pixel |= 0xFF000000;
            bitmap.Row(y)[x] = pixel;
        }
    }
}

// Runs once with the widest vectors the processor has and once with the 128-bit loops.
class FastPathTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { SetWideVectorsEnabled(GetParam()); }
    void TearDown() override { SetWideVectorsEnabled(true); }
};

TEST_P(FastPathTest, BlitModesMatchTheFormulasOnRandomPixels) {
    std::mt19937 random(4711);
    for (int round = 0; round < 12; ++round) {
        const int width = 1 + static_cast<int>(random() % 37);
        const int height = 1 + static_cast<int>(random() % 9);
        MemBitmap src(width, height);
        MemBitmap dest(width + 5, height + 2);
        FillVariedAlpha(src, random);
        testing::FillRandom(dest, random);
        const int x = static_cast<int>(random() % 7) - 2;
        const int y = static_cast<int>(random() % 4) - 1;
        for (float weight : Weights(random)) {
            for (int mode : {kModeCopy, kModeAlphaCopy, kModeAlphaAdd, kModeAlphaDodge}) {
                ExpectSameBytes(
                    dest, [&](MemBitmap& d) { Blit(&d, &src, x, y, nullptr, weight, mode); },
                    "blit mode " + std::to_string(mode) + " weight " + std::to_string(weight));
            }
        }
    }
}

TEST_P(FastPathTest, FillsAndShapesMatchTheFormulasOnRandomPixels) {
    std::mt19937 random(1234);
    for (int round = 0; round < 10; ++round) {
        MemBitmap dest(1 + static_cast<int>(random() % 40), 1 + static_cast<int>(random() % 12));
        testing::FillRandom(dest, random);
        const uint32_t colour = static_cast<uint32_t>(random());
        for (float weight : Weights(random)) {
            for (int mode : {kModeCopy, kModeAlphaCopy, kModeAdd, kModeAlphaAdd, kModeAlphaDodge}) {
                const std::string what =
                    "mode " + std::to_string(mode) + " weight " + std::to_string(weight);
                ExpectSameBytes(
                    dest, [&](MemBitmap& d) { FillRect(&d, -1, 1, 30, 9, colour, weight, mode); },
                    "fill " + what);
                ExpectSameBytes(
                    dest, [&](MemBitmap& d) { FillCircle(&d, 9.5f, 4, 7, colour, weight, mode); },
                    "circle " + what);
            }
        }
    }
}

// The clipped walk of a line against the plain walk over every step, on lines that start, end or
// pass outside small bitmaps, with and without antialiasing.
TEST_P(FastPathTest, LinesMatchTheirPlainWalkOnRandomSegments) {
    std::mt19937 random(4321);
    auto coordinate = [&random](int extent) {
        return static_cast<float>(static_cast<int>(random() % (extent * 40 + 1)) - extent * 10) /
               10.0f;
    };
    for (int round = 0; round < 200; ++round) {
        MemBitmap dest(1 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 9));
        testing::FillRandom(dest, random);
        const uint32_t colour = static_cast<uint32_t>(random());
        const float x1 = coordinate(dest.Width()), y1 = coordinate(dest.Height());
        const float x2 = coordinate(dest.Width()), y2 = coordinate(dest.Height());
        const float weight = (random() % 4 + 1) / 4.0f;
        for (bool antialias : {false, true}) {
            const std::string what =
                "round " + std::to_string(round) + (antialias ? " antialiased" : " plain");
            ExpectSameBytes(
                dest,
                [&](MemBitmap& d) {
                    DrawLine(&d, x1, y1, x2, y2, colour, weight, kModeAlphaCopy, antialias);
                },
                what);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(WideAndNarrow, FastPathTest, ::testing::Bool());

}  // namespace
}  // namespace raster
