#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "raster/MemBitmap.h"
#include "raster/SysBitmap.h"

namespace raster {
namespace {

TEST(MemBitmapTest, ResizeKeepsLargeEnoughBufferAndGrowsSmallOneWithHeadroom) {
    MemBitmap bitmap(100, 100);
    EXPECT_EQ(bitmap.Span(), 100);
    EXPECT_EQ(bitmap.AllocatedBytes(), 100u * 100 * 4);
    uint32_t* first = bitmap.Pixels();

    EXPECT_FALSE(bitmap.Resize(100, 100));
    EXPECT_TRUE(bitmap.Resize(90, 90));
    EXPECT_EQ(bitmap.Pixels(), first);
    EXPECT_EQ(bitmap.Span(), 92);
    EXPECT_EQ(bitmap.AllocatedBytes(), 100u * 100 * 4);

    EXPECT_TRUE(bitmap.Resize(200, 200));
    EXPECT_EQ(bitmap.AllocatedBytes(), 200u * 200 * 4 / 4 * 5);
    EXPECT_EQ(bitmap.Width(), 200);
    EXPECT_EQ(bitmap.Height(), 200);
}

TEST(MemBitmapTest, RowSpanIsWidthRoundedUpToFourPixels) {
    for (int width : {1, 2, 3, 4, 5, 7, 8, 1023}) {
        MemBitmap bitmap(width, 3);
        EXPECT_EQ(bitmap.Span(), (width + 3) / 4 * 4) << width;
        EXPECT_EQ(bitmap.AllocatedBytes(), static_cast<size_t>(bitmap.Span()) * 3 * 4);
    }
}

TEST(MemBitmapTest, ZeroSizeOrImpossibleSizeLeavesNoPixels) {
    MemBitmap bitmap(10, 10);
    EXPECT_TRUE(bitmap.Resize(0, 10));
    EXPECT_EQ(bitmap.Pixels(), nullptr);
    EXPECT_EQ(bitmap.AllocatedBytes(), 0u);
    EXPECT_FALSE(bitmap.HasPixels());

    MemBitmap huge;
    huge.Resize(1 << 30, 1 << 30);
    EXPECT_EQ(huge.Width(), 0);
    EXPECT_EQ(huge.Height(), 0);
    EXPECT_EQ(huge.Pixels(), nullptr);
    huge.Resize(-5, 3);
    EXPECT_FALSE(huge.HasPixels());
}

TEST(SysBitmapTest, ResizeWithinAllocationKeepsPixelsAndGrowingRecreates) {
    SysBitmap bitmap(10, 8);
    EXPECT_EQ(bitmap.AllocatedWidth(), 12);
    EXPECT_EQ(bitmap.AllocatedHeight(), 8);
    EXPECT_EQ(bitmap.Span(), 12);
    uint32_t* first = bitmap.Pixels();
    first[0] = 0x12345678;

    EXPECT_TRUE(bitmap.Resize(12, 5));
    EXPECT_EQ(bitmap.Pixels(), first);
    EXPECT_EQ(bitmap.Pixels()[0], 0x12345678u);
    EXPECT_EQ(bitmap.Width(), 12);
    EXPECT_EQ(bitmap.Height(), 5);

    EXPECT_TRUE(bitmap.Resize(13, 5));
    EXPECT_EQ(bitmap.AllocatedWidth(), 16);
    EXPECT_EQ(bitmap.Span(), 16);

    EXPECT_TRUE(bitmap.Resize(0, 5));
    EXPECT_FALSE(bitmap.HasPixels());
    EXPECT_EQ(bitmap.Pixels(), nullptr);
}

// A bitmap is often drawn into only in part (the panel's bitmap before its first full redraw,
// the text renderer's scratch surface): what the heap held before must never show. Memory of the
// same size that was just freed is what the allocator hands out next, so the second bitmap of
// each round would see the first one's pixels if new memory were not cleared.
template <typename BitmapType>
void ExpectEveryNewBitmapCleared() {
    for (const auto& [width, height] : {std::pair{7, 5}, std::pair{40, 30}, std::pair{300, 2}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        for (int round = 0; round < 3; ++round) {
            {
                BitmapType used(width, height);
                ASSERT_TRUE(used.HasPixels());
                std::fill_n(used.Pixels(), static_cast<size_t>(used.Span()) * height, 0xDEADBEEFu);
            }
            BitmapType fresh(width, height);
            ASSERT_TRUE(fresh.HasPixels());
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(fresh.Row(y)[x], 0u) << x << ", " << y;
            }
        }
        // Growing past the allocation is new memory too.
        BitmapType grown(2, 2);
        std::fill_n(grown.Pixels(), static_cast<size_t>(grown.Span()) * 2, 0xDEADBEEFu);
        ASSERT_TRUE(grown.Resize(width, height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(grown.Row(y)[x], 0u) << x << ", " << y;
        }
    }
}

TEST(MemBitmapTest, NewPixelsStartCleared) {
    ExpectEveryNewBitmapCleared<MemBitmap>();
}

TEST(SysBitmapTest, NewPixelsStartCleared) {
    ExpectEveryNewBitmapCleared<SysBitmap>();
}

}  // namespace
}  // namespace raster
