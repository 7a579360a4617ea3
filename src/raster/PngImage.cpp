#include "raster/PngImage.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "resources/Resources.h"

namespace raster {

namespace {

// Larger files are not images the panel could use; refusing them keeps a stray choice harmless.
constexpr long kMaxPngFileBytes = 64L << 20;
constexpr uint32_t kMaxPngSide = 1u << 16;

struct MemoryReader {
    const uint8_t* next;
    size_t left;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->left) png_error(png, "truncated");
    std::memcpy(out, reader->next, count);
    reader->next += count;
    reader->left -= count;
}

void IgnoreWarning(png_structp, png_const_charp) {}

void FailDecode(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// Everything between setjmp and a libpng error is plain data or owned by the caller, so the
// jump out of libpng skips no destructor.
bool DecodeRows(png_structp png, png_infop info, int wanted, std::unique_ptr<MemBitmap>& bitmap,
                std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colourType = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (width == 0 || height == 0 || static_cast<int64_t>(width) * height > kMaxPngPixels)
        return false;

    // Whatever the file holds becomes 8-bit B, G, R, A bytes: A<<24 | R<<16 | G<<8 | B.
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) return false;

    bitmap = std::make_unique<MemBitmap>();
    bitmap->Resize(static_cast<int>(width), static_cast<int>(height));
    if (!bitmap->HasPixels()) return false;
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = reinterpret_cast<png_bytep>(bitmap->Row(static_cast<int>(y)));
    }
    // An image stored row after row can stop early; an interlaced one has every row in each
    // pass.
    if (passes == 1 && wanted >= 0 && static_cast<png_uint_32>(wanted) < height) {
        for (int y = 0; y < wanted; ++y)
            png_read_row(png, rows[static_cast<size_t>(y)], nullptr);
        return true;
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool EndsWithPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string suffix = path.substr(path.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix == ".png";
}

std::unique_ptr<MemBitmap> Decode(std::span<const uint8_t> bytes, bool builtIn,
                                  int wanted = kAllRows) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return nullptr;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailDecode, IgnoreWarning);
    if (png == nullptr) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    // Text and other side chunks are not needed; bounding them stops a file from hoarding memory.
    png_set_chunk_malloc_max(png, 8u << 20);
    MemoryReader reader{bytes.data(), bytes.size()};
    png_set_read_fn(png, &reader, ReadFromMemory);
    if (builtIn) {
        // The program's own images are part of its binary, not outside input: their chunk and
        // stream checksums need not be computed again at every start.
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    }

    std::unique_ptr<MemBitmap> bitmap;
    std::vector<png_bytep> rows;
    const bool ok = DecodeRows(png, info, wanted, bitmap, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) return nullptr;
    return bitmap;
}

}  // namespace

std::unique_ptr<MemBitmap> DecodePng(std::span<const uint8_t> bytes) {
    return Decode(bytes, false);
}

std::optional<PngSize> PngHeaderSize(std::span<const uint8_t> bytes) {
    // The signature, then the IHDR chunk: length 13, type, width and height big-endian.
    constexpr size_t kHeaderEnd = 8 + 4 + 4 + 8;
    if (bytes.size() < kHeaderEnd || png_sig_cmp(bytes.data(), 0, 8) != 0) return std::nullopt;
    if (std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) return std::nullopt;
    auto bigEndian = [&](size_t at) {
        return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
               static_cast<uint32_t>(bytes[at + 2]) << 8 | static_cast<uint32_t>(bytes[at + 3]);
    };
    const uint32_t width = bigEndian(16);
    const uint32_t height = bigEndian(20);
    if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide)
        return std::nullopt;
    if (static_cast<int64_t>(width) * height > kMaxPngPixels) return std::nullopt;
    return PngSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PngSize> PngResourceSize(int id, int factor) {
    const std::span<const uint8_t> bytes = resources::FindResource(id, factor);
    if (bytes.size() <= 8) return std::nullopt;
    return PngHeaderSize(bytes);
}

std::unique_ptr<MemBitmap> LoadPngResource(int id, int factor, int rows) {
    const std::span<const uint8_t> bytes = resources::FindResource(id, factor);
    if (bytes.size() <= 8) return nullptr;
    return Decode(bytes, true, rows);
}

std::unique_ptr<MemBitmap> LoadPngFile(const std::string& path) {
    if (!EndsWithPng(path)) return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return nullptr;
    std::vector<uint8_t> bytes;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    bool ok = size > 0 && size <= kMaxPngFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok) return nullptr;
    return DecodePng(bytes);
}

}  // namespace raster
