#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "raster/MemBitmap.h"

namespace raster {

// Filter text of the open-file dialog for images.
inline constexpr const char* kPngFileFilter = "PNG files (*.PNG)";

// Decodes a PNG held in memory into a new bitmap (any colour type and depth, interlaced or not,
// expanded to 8-bit A, R, G, B). Null for anything that is not a complete, sane PNG.
std::unique_ptr<MemBitmap> DecodePng(std::span<const uint8_t> bytes);

struct PngSize {
    int width = 0;
    int height = 0;
};

// The size a PNG held in memory declares in its header, read without decoding; none when the
// bytes do not start like a PNG or the size is one DecodePng refuses.
std::optional<PngSize> PngHeaderSize(std::span<const uint8_t> bytes);

// The same for the embedded image resource with this id, of the set drawn at factor times the
// panel's size.
std::optional<PngSize> PngResourceSize(int id, int factor = 1);

// Every row of an image.
inline constexpr int kAllRows = std::numeric_limits<int>::max();

// Decodes the embedded image resource with this id, of the set drawn at factor times the panel's
// size: its first rows rows, or all of them; the bitmap has the image's whole size, the rows not
// decoded clear. Null when the id is unknown or the resource holds 8 bytes or less.
std::unique_ptr<MemBitmap> LoadPngResource(int id, int factor = 1, int rows = kAllRows);

// Loads a file whose name ends in ".png" in any letter case; null for other names, unreadable
// files and decoding errors.
std::unique_ptr<MemBitmap> LoadPngFile(const std::string& path);

// Images larger than this many pixels are refused rather than allocated.
inline constexpr int64_t kMaxPngPixels = int64_t{1} << 26;

}  // namespace raster
