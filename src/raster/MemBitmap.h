#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/Bitmap.h"

namespace raster {

// A bitmap with memory of its own. Rows are padded to a multiple of 4 pixels. The buffer is
// reused when it is large enough (keeping its pixels), grows with headroom when not, and new
// memory starts cleared (every pixel 0, transparent black).
class MemBitmap : public Bitmap {
public:
    MemBitmap() = default;
    MemBitmap(int width, int height);
    ~MemBitmap() override;
    MemBitmap(const MemBitmap&) = delete;
    MemBitmap& operator=(const MemBitmap&) = delete;

    uint32_t* Pixels() override { return buffer_; }
    const uint32_t* Pixels() const override { return buffer_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int Span() const override { return SpanFor(width_); }
    bool IsBottomUp() const override { return false; }
    // Same size: nothing happens, false. A failed allocation leaves a 0 x 0 bitmap.
    bool Resize(int width, int height) override;
    void* NativeContext() const override { return nullptr; }

    size_t AllocatedBytes() const { return allocated_; }
    // Marks a bitmap that will be written only in parts (a strip decoded frame by frame): its
    // memory, when large, then becomes resident only where it is written (util/PixelMemory.h).
    void WriteInParts() { writtenWhole_ = false; }
    // Row span for a width: rounded up to a multiple of 4 pixels.
    static int SpanFor(int width) { return (width + kRowAlignment) & ~kRowAlignment; }

    static constexpr int kRowAlignment = 3;

private:
    void Release();

    uint32_t* buffer_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    size_t allocated_ = 0;
    bool writtenWhole_ = true;
};

}  // namespace raster
