#pragma once

namespace raster {

// Blend modes of the drawing operations. The low byte picks the operation, bit 16 makes it use
// the source's alpha; a low byte of 240 or more is a channel copy. The panel uses only the
// four combinations named below.
enum BlendMode : int {
    kModeCopy = 0,
    kModeAdd = 1,
    kModeDodge = 2,
    kModeMultiply = 3,
    kModeOverlay = 4,
    kModeHsvAdjust = 5,
    kModeChannelCopy = 240,
    kModeUseAlpha = 0x10000,

    kModeAlphaCopy = kModeUseAlpha | kModeCopy,    // 0x10000: copy using source alpha
    kModeAlphaAdd = kModeUseAlpha | kModeAdd,      // 0x10001
    kModeAlphaDodge = kModeUseAlpha | kModeDodge,  // 0x10002
};

// Weights are floats; the arithmetic uses W = trunc(weight * 256), and W = 0 draws nothing.
inline int IntegerWeight(float weight) {
    return static_cast<int>(weight * 256.0f);
}

}  // namespace raster
