#include "util/HeapBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(HeapBuffer, EmptyBufferReportsNoData) {
    HeapBuffer buffer;
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.UsedSize(), 0);
    EXPECT_EQ(buffer.SetUsedSize(-5), nullptr);
    EXPECT_EQ(buffer.UsedSize(), 0);
}

TEST(HeapBuffer, PageGranularityKeepsBlocksJustUnderPageMultiples) {
    // 1000 bytes: extra = max(500, 4096) = 4096; (1000 + 96 + 4096) / 4096 * 4096 - 96 = 4000.
    EXPECT_EQ(HeapBuffer::AllocationFor(1000, 4096), 4000);
    // 100000 bytes: extra = 50000 rounded down to 49152; 149248 -> 147456 - 96.
    EXPECT_EQ(HeapBuffer::AllocationFor(100000, 4096), 147360);
    // Very large: extra is capped at 4 MiB.
    EXPECT_EQ(HeapBuffer::AllocationFor(100000000, 4096),
              (100000000 + 96 + 4194304) / 4096 * 4096 - 96);
}

TEST(HeapBuffer, SmallGranularityAddsHalfOrOneGranule) {
    EXPECT_EQ(HeapBuffer::AllocationFor(10, 128), 138);
    EXPECT_EQ(HeapBuffer::AllocationFor(1000, 128), 1500);
}

TEST(HeapBuffer, GrowingKeepsContents) {
    HeapBuffer buffer(128);
    uint8_t* data = buffer.SetUsedSize(4);
    ASSERT_NE(data, nullptr);
    std::memcpy(data, "Orvo", 4);
    EXPECT_EQ(buffer.AllocatedSize(), 132);
    data = buffer.SetUsedSize(5000);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::memcmp(data, "Orvo", 4), 0);
    EXPECT_EQ(buffer.AllocatedSize(), 7500);
}

TEST(HeapBuffer, ZeroSizeKeepsAllocationUnlessShrinking) {
    HeapBuffer buffer;
    ASSERT_NE(buffer.SetUsedSize(20000), nullptr);
    const int32_t allocated = buffer.AllocatedSize();
    EXPECT_EQ(buffer.SetUsedSize(0), nullptr);
    EXPECT_EQ(buffer.AllocatedSize(), allocated);
    EXPECT_EQ(buffer.SetUsedSize(0, true), nullptr);
    EXPECT_EQ(buffer.AllocatedSize(), HeapBuffer::AllocationFor(0, 4096));
}

TEST(HeapBuffer, ShrinkOnlyBelowThreshold) {
    HeapBuffer buffer(128);
    ASSERT_NE(buffer.SetUsedSize(1000), nullptr);  // allocation 1500
    // Threshold: min(750, 1500 - 512) = 750. 800 stays, 700 shrinks to 700 + 350.
    buffer.SetUsedSize(800, true);
    EXPECT_EQ(buffer.AllocatedSize(), 1500);
    buffer.SetUsedSize(700, true);
    EXPECT_EQ(buffer.AllocatedSize(), 1050);
}

TEST(HeapBuffer, RequestPastTheSizeLimitLeavesBufferAsItWas) {
    HeapBuffer buffer;
    ASSERT_TRUE(buffer.Append("ab", 2));
    EXPECT_EQ(buffer.SetUsedSize(0x7FFFFFFF), nullptr);
    ASSERT_EQ(buffer.UsedSize(), 2);
    EXPECT_EQ(std::memcmp(buffer.Data(), "ab", 2), 0);
}
