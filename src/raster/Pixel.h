#pragma once

#include <cstdint>

namespace raster {

// Packing of one pixel: A<<24 | R<<16 | G<<8 | B, not premultiplied.
constexpr uint32_t MakePixel(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a & 0xFF) << 24 | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
}
constexpr uint32_t PixelAlpha(uint32_t p) {
    return p >> 24;
}
constexpr uint32_t PixelRed(uint32_t p) {
    return p >> 16 & 0xFF;
}
constexpr uint32_t PixelGreen(uint32_t p) {
    return p >> 8 & 0xFF;
}
constexpr uint32_t PixelBlue(uint32_t p) {
    return p & 0xFF;
}

// An opaque colour from 0xRRGGBB.
constexpr uint32_t OpaqueRgb(uint32_t rgb) {
    return 0xFF000000u | (rgb & 0xFFFFFF);
}

}  // namespace raster
