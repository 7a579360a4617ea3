#pragma once

#include <algorithm>
#include <cstdint>

#include "raster/BlendMode.h"

namespace raster {

// Integer weight of a fill, line or disc: with kModeUseAlpha the weight is first scaled by the
// colour's alpha. 0 means draw nothing; weights above 1 count as 1, since more than opaque
// would push bytes out of range.
inline int FillWeight(float weight, uint32_t colour, int mode) {
    if (mode & kModeUseAlpha) weight = weight * static_cast<float>(colour >> 24) / 255.0f;
    if (!(weight > 0.0f)) return 0;
    return std::min(256, IntegerWeight(weight));
}

}  // namespace raster
