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

// Where decoded rows go: the image's first row to row atRow of bitmap, rows of them. At row 0 a
// bitmap of another size than the image's is given its size, cleared; elsewhere it must hold the
// rows already.
struct RowTarget {
    MemBitmap* bitmap = nullptr;
    int atRow = 0;
    int rows = kAllRows;
};

// Everything between setjmp and a libpng error is plain data or owned by the caller, so the
// jump out of libpng skips no destructor.
bool DecodeRows(png_structp png, png_infop info, const RowTarget& target,
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

    MemBitmap& bitmap = *target.bitmap;
    const int imageWidth = static_cast<int>(width);
    const int imageHeight = static_cast<int>(height);
    if (target.atRow == 0 && (bitmap.Width() != imageWidth || bitmap.Height() != imageHeight)) {
        bitmap.Resize(0, 0);
        bitmap.Resize(imageWidth, imageHeight);
        if (!bitmap.HasPixels()) return false;
    }
    const int wanted = std::min(target.rows, imageHeight);
    if (bitmap.Width() != imageWidth || wanted < 1 || target.atRow < 0 ||
        target.atRow > bitmap.Height() - wanted)
        return false;
    // An image stored row after row can stop early; an interlaced one has every row in each
    // pass, so it is read whole.
    if (passes == 1 && wanted < imageHeight) {
        for (int y = 0; y < wanted; ++y) {
            png_read_row(png, reinterpret_cast<png_bytep>(bitmap.Row(target.atRow + y)), nullptr);
        }
        return true;
    }
    if (target.atRow != 0 || bitmap.Height() != imageHeight) return false;
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = reinterpret_cast<png_bytep>(bitmap.Row(static_cast<int>(y)));
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool Decode(std::span<const uint8_t> bytes, bool builtIn, const RowTarget& target) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return false;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailDecode, IgnoreWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
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

    std::vector<png_bytep> rows;
    const bool ok = DecodeRows(png, info, target, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

uint32_t BigEndian(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 |
           static_cast<uint32_t>(at[2]) << 8 | static_cast<uint32_t>(at[3]);
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

// The parts of a PNG that restart rows concern.
struct Layout {
    std::span<const uint8_t> header;  // the IHDR chunk's 13 bytes
    std::span<const uint8_t> data;    // the contents of its one IDAT chunk
    std::vector<PngRestart> restarts;
};

// Walks the chunks of a PNG; none when they do not fit the bytes, or its data is not one chunk.
std::optional<Layout> ReadLayout(std::span<const uint8_t> bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return std::nullopt;
    Layout layout;
    std::span<const uint8_t> list;
    int dataChunks = 0;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = BigEndian(&bytes[at]);
        if (length > bytes.size() - at - 12) return std::nullopt;
        const std::span<const uint8_t> type = bytes.subspan(at + 4, 4);
        const std::span<const uint8_t> contents = bytes.subspan(at + 8, length);
        auto is = [&](const char* name) { return std::memcmp(type.data(), name, 4) == 0; };
        if (is("IHDR")) layout.header = contents;
        if (is(kPngRestartChunk)) list = contents;
        if (is("IDAT")) {
            layout.data = contents;
            ++dataChunks;
        }
        if (is("IEND")) break;
        at += 12 + length;
    }
    if (layout.header.size() != 13 || dataChunks != 1) return std::nullopt;
    // Restarts mean nothing in an interlaced image, and must lie inside it, in order.
    const bool interlaced = layout.header[12] != 0;
    const uint32_t height = BigEndian(&layout.header[4]);
    if (interlaced || list.size() % 8 != 0) return layout;
    PngRestart previous{0, 1};
    for (size_t at = 0; at < list.size(); at += 8) {
        const uint32_t row = BigEndian(&list[at]);
        const uint32_t offset = BigEndian(&list[at + 4]);
        if (row <= static_cast<uint32_t>(previous.row) || row >= height ||
            offset <= previous.offset || offset >= layout.data.size()) {
            layout.restarts.clear();
            return layout;
        }
        previous = {static_cast<int>(row), offset};
        layout.restarts.push_back(previous);
    }
    return layout;
}

void AppendChunk(std::vector<uint8_t>& out, const char* type, std::span<const uint8_t> first,
                 std::span<const uint8_t> second = {}) {
    PutBigEndian(out, static_cast<uint32_t>(first.size() + second.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), first.begin(), first.end());
    out.insert(out.end(), second.begin(), second.end());
    // The checksum is not read: such a piece is decoded as a built-in image.
    PutBigEndian(out, 0);
}

// A PNG of the rows from one restart to the next (or the end): the image's header with the height
// of those rows and one more, and its stream header with the compressed data between the two.
// The row more is never read, so the stream needs no end of its own.
std::vector<uint8_t> Piece(const Layout& layout, const PngRestart& from, int rows,
                           uint32_t endOffset) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> piece(std::begin(kSignature), std::end(kSignature));
    std::vector<uint8_t> header(layout.header.begin(), layout.header.end());
    for (int i = 0; i < 4; ++i)
        header[4 + i] = static_cast<uint8_t>(static_cast<uint32_t>(rows + 1) >> (24 - 8 * i));
    AppendChunk(piece, "IHDR", header);
    AppendChunk(piece, "IDAT", layout.data.first(2),
                layout.data.subspan(from.offset, endOffset - from.offset));
    AppendChunk(piece, "IEND", {});
    return piece;
}

}  // namespace

std::unique_ptr<MemBitmap> DecodePng(std::span<const uint8_t> bytes) {
    auto bitmap = std::make_unique<MemBitmap>();
    if (!Decode(bytes, false, {bitmap.get(), 0, kAllRows})) return nullptr;
    return bitmap;
}

std::vector<PngRestart> PngRestarts(std::span<const uint8_t> bytes) {
    std::optional<Layout> layout = ReadLayout(bytes);
    return layout ? std::move(layout->restarts) : std::vector<PngRestart>();
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

std::optional<RowSpan> DecodePngResourceRows(int id, int factor, RowSpan rows, MemBitmap& bitmap) {
    const std::span<const uint8_t> bytes = resources::FindResource(id, factor);
    if (bytes.size() <= 8) return std::nullopt;
    const std::optional<PngSize> size = PngHeaderSize(bytes);
    if (!size) return std::nullopt;
    const int first = std::clamp(rows.first, 0, size->height - 1);
    const int end = std::clamp(rows.end, first + 1, size->height);
    std::optional<Layout> layout = ReadLayout(bytes);
    // Decoding can stop after any row, but start only at a restart; it goes on to the next one,
    // which a later request for the rest of that run would have to decode again.
    PngRestart from;
    RowSpan decoded{0, end};
    uint32_t endOffset = layout ? static_cast<uint32_t>(layout->data.size()) : 0;
    if (layout) {
        for (const PngRestart& restart : layout->restarts) {
            if (restart.row <= first) {
                from = restart;
            } else if (restart.row >= end) {
                decoded.end = restart.row;
                endOffset = restart.offset;
                break;
            }
        }
    }
    decoded.first = from.row;
    if (decoded.first == 0) {
        if (!Decode(bytes, true, {&bitmap, 0, decoded.end})) return std::nullopt;
        return decoded;
    }
    // A run of rows below the top: the bitmap has the image's size already, or is given it.
    if (bitmap.Width() != size->width || bitmap.Height() != size->height) {
        bitmap.Resize(0, 0);
        bitmap.Resize(size->width, size->height);
        if (!bitmap.HasPixels()) return std::nullopt;
    }
    const int count = decoded.end - decoded.first;
    const std::vector<uint8_t> piece = Piece(*layout, from, count, endOffset);
    if (!Decode(piece, true, {&bitmap, decoded.first, count})) return std::nullopt;
    return decoded;
}

bool EndsWithPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string suffix = path.substr(path.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix == ".png";
}

std::unique_ptr<MemBitmap> LoadPngResource(int id, int factor) {
    auto bitmap = std::make_unique<MemBitmap>();
    if (!DecodePngResourceRows(id, factor, {0, kAllRows}, *bitmap)) return nullptr;
    return bitmap;
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
