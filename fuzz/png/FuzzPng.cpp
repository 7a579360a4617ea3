// Any bytes given to the PNG loader must give a bitmap of sane size or none, never a crash,
// a leak or a read outside the input; its list of restart rows likewise.

#include <cstddef>
#include <cstdint>
#include <span>

#include "raster/Draw.h"
#include "raster/PngImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Restart rows, when listed, lie inside the image in order.
    int previous = 0;
    for (const raster::PngRestart& restart : raster::PngRestarts(std::span(data, size))) {
        if (restart.row <= previous || restart.offset >= size) __builtin_trap();
        previous = restart.row;
    }
    std::unique_ptr<raster::MemBitmap> bitmap = raster::DecodePng(std::span(data, size));
    if (bitmap == nullptr) return 0;
    if (bitmap->Width() <= 0 || bitmap->Height() <= 0 ||
        int64_t{bitmap->Width()} * bitmap->Height() > raster::kMaxPngPixels) {
        __builtin_trap();
    }
    // Touch every decoded pixel the way the panel does.
    raster::MemBitmap panel(64, 64);
    raster::Blit(&panel, bitmap.get(), -3, -3, nullptr, 1.0f, raster::kModeAlphaCopy);
    return 0;
}
