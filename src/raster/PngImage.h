#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

// The rows first to end (exclusive) of an image.
struct RowSpan {
    int first = 0;
    int end = 0;
};

// A row at which an image's compressed data starts afresh: its filter needs no row above it, and
// the compressed stream starts a new dictionary at byte offset of the image data (the contents
// of its IDAT chunk), so that the rows from here on can be decoded without those above.
struct PngRestart {
    int row = 0;
    uint32_t offset = 0;
};

// Name of the ancillary, private chunk that lists an image's restart rows as pairs of big-endian
// 32-bit row and offset, before the image data. The artwork generator writes one for every strip
// of frames, a restart at each frame; other decoders skip it.
inline constexpr char kPngRestartChunk[] = "frIX";

// The restart rows a PNG held in memory lists, in order; empty when it lists none, when its data
// is not one IDAT chunk, or when the list does not fit the image.
std::vector<PngRestart> PngRestarts(std::span<const uint8_t> bytes);

// Decodes rows of the embedded image resource with this id, of the set drawn at factor times the
// panel's size, into bitmap, which takes the image's size (a bitmap of another size is cleared
// first): at least rows.first to rows.end, from the last restart row at or above rows.first (the
// top when there is none) to the first one at or below rows.end (the bottom when there is none).
// Rows outside those decoded keep what they held. Returns the rows decoded; none when the id is
// unknown, the resource holds 8 bytes or less, or decoding fails.
std::optional<RowSpan> DecodePngResourceRows(int id, int factor, RowSpan rows, MemBitmap& bitmap);

// Decodes the whole embedded image resource with this id, of the set drawn at factor times the
// panel's size; null when DecodePngResourceRows would give none.
std::unique_ptr<MemBitmap> LoadPngResource(int id, int factor = 1);

// True for a name that ends in ".png" in any letter case.
bool EndsWithPng(const std::string& path);

// Loads a file whose name ends in ".png" in any letter case; null for other names, unreadable
// files and decoding errors.
std::unique_ptr<MemBitmap> LoadPngFile(const std::string& path);

// Images larger than this many pixels are refused rather than allocated.
inline constexpr int64_t kMaxPngPixels = int64_t{1} << 26;

}  // namespace raster
