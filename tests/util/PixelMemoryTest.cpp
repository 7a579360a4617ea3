#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "util/PixelMemory.h"

namespace {

// Every way of asking gives cleared memory, even where the heap held something before, and a
// buffer std::free takes back.
TEST(PixelMemoryTest, EveryBufferStartsClearAndIsFreedByFree) {
    for (const size_t bytes :
         {size_t{64}, kLargePixelBytes - 4, kLargePixelBytes + 12345, 3 * kLargePixelBytes}) {
        for (const bool whole : {false, true}) {
            SCOPED_TRACE(std::to_string(bytes) + (whole ? " whole" : " in parts"));
            // Leaves written memory behind in the heap for the next request.
            void* used = std::malloc(bytes);
            ASSERT_NE(used, nullptr);
            std::memset(used, 0xA5, bytes);
            std::free(used);
            auto* memory = static_cast<uint8_t*>(AllocatePixels(bytes, whole));
            ASSERT_NE(memory, nullptr);
            size_t set = 0;
            for (size_t i = 0; i < bytes; ++i)
                set += memory[i] != 0;
            EXPECT_EQ(set, 0u);
            // Large buffers written whole lie on huge-page boundaries.
            if (whole && bytes >= kLargePixelBytes) {
                EXPECT_EQ(reinterpret_cast<uintptr_t>(memory) % kLargePixelBytes, 0u);
            }
            std::free(memory);
        }
    }
}

}  // namespace
