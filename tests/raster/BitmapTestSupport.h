#pragma once

#include <cstdint>
#include <random>

#include "raster/MemBitmap.h"

namespace raster::testing {

inline void FillWith(Bitmap& bitmap, uint32_t value) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.Row(y)[x] = value;
    }
}

inline void FillRandom(Bitmap& bitmap, std::mt19937& random) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.Row(y)[x] = static_cast<uint32_t>(random());
    }
}

inline uint32_t At(const Bitmap& bitmap, int x, int y) {
    return bitmap.Row(y)[x];
}

inline int CountEqual(const Bitmap& bitmap, uint32_t value) {
    int count = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x)
            count += bitmap.Row(y)[x] == value;
    }
    return count;
}

}  // namespace raster::testing
