#include "raster/MemBitmap.h"

#include <cstdlib>
#include <limits>

#include "util/PixelMemory.h"

namespace raster {

namespace {

// Extra bytes past the last row, so vector loops may read a little beyond it.
constexpr size_t kSlackBytes = 63;
// No bitmap of the panel comes near this; a larger request is a corrupt size, not a picture.
constexpr uint64_t kMaxBitmapBytes = uint64_t{1} << 32;

}  // namespace

MemBitmap::MemBitmap(int width, int height) {
    Resize(width, height);
}

MemBitmap::~MemBitmap() {
    Release();
}

void MemBitmap::Release() {
    std::free(buffer_);
    buffer_ = nullptr;
    allocated_ = 0;
    width_ = 0;
    height_ = 0;
}

bool MemBitmap::Resize(int width, int height) {
    if (width == width_ && height == height_) return false;
    if (width <= 0 || height <= 0) {
        Release();
        return true;
    }
    if (width > std::numeric_limits<int>::max() - kRowAlignment) {
        Release();
        return true;
    }
    const uint64_t span = static_cast<uint64_t>(SpanFor(width));
    const uint64_t required = static_cast<uint64_t>(height) * span * 4;
    if (required > kMaxBitmapBytes) {
        Release();
        return true;
    }
    if (buffer_ == nullptr || allocated_ < required) {
        // A missing buffer is allocated to fit; a too-small one grows with a quarter of headroom
        // so that a bitmap resized a little larger again does not reallocate every time.
        const size_t wanted = buffer_ == nullptr ? static_cast<size_t>(required)
                                                 : static_cast<size_t>(required / 4 * 5);
        std::free(buffer_);
        // Cleared: a bitmap is often drawn into only in part, and what stays must not be
        // whatever the heap held before.
        buffer_ = static_cast<uint32_t*>(AllocatePixels(wanted + kSlackBytes, writtenWhole_));
        if (buffer_ == nullptr) {
            Release();
            return true;
        }
        allocated_ = wanted;
    }
    width_ = width;
    height_ = height;
    return true;
}

}  // namespace raster
