#pragma once

#include <cstdint>
#include <memory>

#include "raster/Bitmap.h"

namespace raster {

// A bitmap whose pixels sit in one top-down block that the platform layer wraps without copying
// (to present it in a window and to render text into it). The allocation is kept while the
// requested size fits into it; growing past it recreates the block, cleared, and loses the
// contents.
class SysBitmap : public Bitmap {
public:
    SysBitmap() = default;
    SysBitmap(int width, int height);
    ~SysBitmap() override;
    SysBitmap(const SysBitmap&) = delete;
    SysBitmap& operator=(const SysBitmap&) = delete;

    uint32_t* Pixels() override { return pixels_.get(); }
    const uint32_t* Pixels() const override { return pixels_.get(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Rows are as long as the allocated width (the requested width rounded up to 4 pixels).
    int Span() const override { return allocatedWidth_; }
    bool IsBottomUp() const override { return false; }
    // A size below 1 x 1 leaves no pixels.
    bool Resize(int width, int height) override;
    void* NativeContext() const override { return nullptr; }

    int AllocatedWidth() const { return allocatedWidth_; }
    int AllocatedHeight() const { return allocatedHeight_; }

private:
    struct FreePixels {
        void operator()(uint32_t* pixels) const;
    };
    std::unique_ptr<uint32_t, FreePixels> pixels_;
    int width_ = 0;
    int height_ = 0;
    int allocatedWidth_ = 0;
    int allocatedHeight_ = 0;
};

}  // namespace raster
