#include "raster/PngImage.h"

namespace raster {

std::unique_ptr<MemBitmap> DecodePng(std::span<const uint8_t>) { return nullptr; }
std::unique_ptr<MemBitmap> LoadPngResource(int) { return nullptr; }
std::unique_ptr<MemBitmap> LoadPngFile(const std::string&) { return nullptr; }

}  // namespace raster
