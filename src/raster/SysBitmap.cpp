#include "raster/SysBitmap.h"

#include <cstdlib>

#include "raster/MemBitmap.h"
#include "util/PixelMemory.h"

namespace raster {

SysBitmap::SysBitmap(int width, int height) {
    Resize(width, height);
}

SysBitmap::~SysBitmap() = default;

void SysBitmap::FreePixels::operator()(uint32_t* pixels) const {
    std::free(pixels);
}

bool SysBitmap::Resize(int width, int height) {
    if (width == width_ && height == height_ && (pixels_ != nullptr || width < 1 || height < 1)) {
        return false;
    }
    if (width < 1 || height < 1) {
        pixels_.reset();
        width_ = height_ = allocatedWidth_ = allocatedHeight_ = 0;
        return true;
    }
    if (pixels_ != nullptr && width <= allocatedWidth_ && height <= allocatedHeight_) {
        width_ = width;
        height_ = height;
        return true;
    }
    const int allocatedWidth = MemBitmap::SpanFor(width);
    const uint64_t count = static_cast<uint64_t>(allocatedWidth) * static_cast<uint64_t>(height);
    pixels_.reset();
    width_ = height_ = allocatedWidth_ = allocatedHeight_ = 0;
    if (allocatedWidth <= 0 || count > (uint64_t{1} << 31)) return true;
    // Cleared, so that a surface drawn in part never shows what the heap held before. The panel
    // draws all of it at once.
    pixels_.reset(static_cast<uint32_t*>(AllocatePixels(count * sizeof(uint32_t), true)));
    if (pixels_ == nullptr) return true;
    width_ = width;
    height_ = height;
    allocatedWidth_ = allocatedWidth;
    allocatedHeight_ = height;
    return true;
}

}  // namespace raster
