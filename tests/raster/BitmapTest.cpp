#include <gtest/gtest.h>

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

}  // namespace
}  // namespace raster
