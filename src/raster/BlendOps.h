#pragma once

#include <algorithm>
#include <cstdint>

// The blending formulas of the drawing operations, one pixel at a time, written the plain way.
// They are the reference the fast row loops are checked against, bit for bit.
namespace raster::blend {

inline constexpr uint32_t kHalfMask = 0x7F7F7F7F;
inline constexpr uint32_t kQuarterMask = 0x3F3F3F3F;

inline int Channel(uint32_t p, int shift) {
    return static_cast<int>(p >> shift & 0xFF);
}

// s + (d - s) * f / 256 with the division truncating toward zero, as the unit's panel expects.
inline int Mix(int s, int d, int f) {
    return s + (d - s) * f / 256;
}

inline uint32_t Average(uint32_t a, uint32_t b) {
    return (a >> 1 & kHalfMask) + (b >> 1 & kHalfMask);
}

// Mode 0 blit at integer weight w (1..256): every byte, alpha included.
inline uint32_t CopyPixel(uint32_t s, uint32_t d, int w) {
    if (w >= 256) return s;
    if (w == 128) return Average(s, d);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        out |= static_cast<uint32_t>(Mix(Channel(s, shift), Channel(d, shift), 256 - w)) << shift;
    }
    return out;
}

// Mode 0x10000: copy through the source's alpha.
inline uint32_t AlphaCopyPixel(uint32_t s, uint32_t d, int w) {
    const int a = Channel(s, 24);
    if (a == 0) return d;
    int factor;
    int alphaAdd;
    if (w >= 256) {
        if (a == 255) return s | 0xFF000000u;
        factor = 255 - a;
        alphaAdd = a;
    } else {
        const int level = w * (a + 1) / 256;
        factor = 256 - level;
        alphaAdd = level;
    }
    uint32_t out = static_cast<uint32_t>(std::min(255, Channel(d, 24) + alphaAdd)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= static_cast<uint32_t>(Mix(Channel(s, shift), Channel(d, shift), factor)) << shift;
    }
    return out;
}

// Mode 0x10001: add through the source's alpha.
inline uint32_t AlphaAddPixel(uint32_t s, uint32_t d, int w) {
    const int a = Channel(s, 24);
    if (a == 0) return d;
    const int level = w * (a + 1) / 256;
    uint32_t out = static_cast<uint32_t>(std::min(255, Channel(d, 24) + a * level / 256)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= static_cast<uint32_t>(
                   std::min(255, Channel(d, shift) + level * Channel(s, shift) / 256))
               << shift;
    }
    return out;
}

inline int Dodge(int d, int k) {
    if (k > 254) return d == 0 ? 0 : 255;
    return std::min(255, d * 256 / (256 - k));
}

// Mode 0x10002: colour dodge through the source's alpha.
inline uint32_t AlphaDodgePixel(uint32_t s, uint32_t d, int w) {
    const int a = Channel(s, 24);
    const int level = w * (a + 1) / 256;
    uint32_t out = static_cast<uint32_t>(Dodge(Channel(d, 24), a * level / 256)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= static_cast<uint32_t>(Dodge(Channel(d, shift), level * Channel(s, shift) / 256))
               << shift;
    }
    return out;
}

// Fill in mode 0 at integer weight w (1..256): the quarter and half weights are exact sums of
// shifted pixels, any other weight mixes every byte.
inline uint32_t FillPixel(uint32_t c, uint32_t d, int w) {
    switch (w) {
        case 256:
            return c;
        case 128:
            return Average(c, d);
        case 64:
            return (c >> 2 & kQuarterMask) + (d >> 1 & kHalfMask) + (d >> 2 & kQuarterMask);
        case 192:
            return (c >> 2 & kQuarterMask) + (d >> 2 & kQuarterMask) + (c >> 1 & kHalfMask);
        default:
            break;
    }
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        out |= static_cast<uint32_t>(Mix(Channel(c, shift), Channel(d, shift), 256 - w)) << shift;
    }
    return out;
}

// Fills in the add and dodge modes treat the colour as a source pixel drawn at level w.
inline uint32_t FillAddPixel(uint32_t c, uint32_t d, int w) {
    uint32_t out = static_cast<uint32_t>(std::min(255, Channel(d, 24) + Channel(c, 24) * w / 256))
                   << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= static_cast<uint32_t>(std::min(255, Channel(d, shift) + w * Channel(c, shift) / 256))
               << shift;
    }
    return out;
}

inline uint32_t FillDodgePixel(uint32_t c, uint32_t d, int w) {
    uint32_t out = static_cast<uint32_t>(Dodge(Channel(d, 24), Channel(c, 24) * w / 256)) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= static_cast<uint32_t>(Dodge(Channel(d, shift), w * Channel(c, shift) / 256))
               << shift;
    }
    return out;
}

}  // namespace raster::blend
