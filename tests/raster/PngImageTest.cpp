#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "BitmapTestSupport.h"
#include "raster/Pixel.h"
#include "raster/PngImage.h"

namespace raster {
namespace {

using testing::At;

// Describes a PNG to write with libpng; rows hold the file's own sample layout.
struct PngSpec {
    int width = 0;
    int height = 0;
    int colourType = PNG_COLOR_TYPE_RGB;
    int depth = 8;
    bool interlaced = false;
    std::vector<std::vector<uint8_t>> rows;
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha;
    bool greyKey = false;
    uint16_t keyGrey = 0;
};

PngSpec Spec(int width, int height, int colourType, int depth, bool interlaced = false) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.colourType = colourType;
    spec.depth = depth;
    spec.interlaced = interlaced;
    return spec;
}

void AppendBytes(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

std::vector<uint8_t> Encode(const PngSpec& spec) {
    std::vector<uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, AppendBytes, nullptr);
    png_set_IHDR(png, info, spec.width, spec.height, spec.depth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) {
        png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
    }
    if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(),
                     static_cast<int>(spec.paletteAlpha.size()), nullptr);
    }
    if (spec.greyKey) {
        png_color_16 key{};
        key.gray = spec.keyGrey;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rowPointers;
    for (const auto& row : spec.rows)
        rowPointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

TEST(PngImageTest, RgbAndRgbaBecomeArgbWithOpaqueAlphaAdded) {
    PngSpec rgb = Spec(2, 1, PNG_COLOR_TYPE_RGB, 8);
    rgb.rows = {{0x11, 0x22, 0x33, 0xAA, 0xBB, 0xCC}};
    auto bitmap = DecodePng(Encode(rgb));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 2);
    EXPECT_EQ(bitmap->Height(), 1);
    EXPECT_EQ(At(*bitmap, 0, 0), 0xFF112233u);
    EXPECT_EQ(At(*bitmap, 1, 0), 0xFFAABBCCu);

    PngSpec rgba = Spec(1, 2, PNG_COLOR_TYPE_RGBA, 8);
    rgba.rows = {{0x10, 0x20, 0x30, 0x40}, {1, 2, 3, 0}};
    bitmap = DecodePng(Encode(rgba));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(At(*bitmap, 0, 0), 0x40102030u);
    EXPECT_EQ(At(*bitmap, 0, 1), 0x00010203u);
}

TEST(PngImageTest, PaletteWithTransparencyChunkGivesAlpha) {
    PngSpec spec = Spec(3, 1, PNG_COLOR_TYPE_PALETTE, 4);
    spec.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    spec.paletteAlpha = {255, 128};
    spec.rows = {{0x01, 0x20}};  // indices 0, 1, 2 packed four bits each
    auto bitmap = DecodePng(Encode(spec));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(At(*bitmap, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(At(*bitmap, 1, 0), 0x8000FF00u);
    EXPECT_EQ(At(*bitmap, 2, 0), 0xFF0000FFu);
}

TEST(PngImageTest, LowDepthGreyIsExpandedAndConvertedToRgb) {
    PngSpec spec = Spec(4, 1, PNG_COLOR_TYPE_GRAY, 2);
    spec.rows = {{0x1B}};  // 0, 1, 2, 3 -> 0x00, 0x55, 0xAA, 0xFF
    auto bitmap = DecodePng(Encode(spec));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(At(*bitmap, 0, 0), 0xFF000000u);
    EXPECT_EQ(At(*bitmap, 1, 0), 0xFF555555u);
    EXPECT_EQ(At(*bitmap, 2, 0), 0xFFAAAAAAu);
    EXPECT_EQ(At(*bitmap, 3, 0), 0xFFFFFFFFu);

    PngSpec keyed = Spec(2, 1, PNG_COLOR_TYPE_GRAY, 8);
    keyed.rows = {{0x40, 0x41}};
    keyed.greyKey = true;
    keyed.keyGrey = 0x40;
    bitmap = DecodePng(Encode(keyed));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(At(*bitmap, 0, 0), 0x00404040u);
    EXPECT_EQ(At(*bitmap, 1, 0), 0xFF414141u);
}

TEST(PngImageTest, SixteenBitChannelsAreReducedToEight) {
    PngSpec spec = Spec(1, 1, PNG_COLOR_TYPE_RGBA, 16);
    spec.rows = {{0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF, 0x80, 0x01}};
    auto bitmap = DecodePng(Encode(spec));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(At(*bitmap, 0, 0), 0x8012AB00u);

    PngSpec greyAlpha = Spec(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16);
    greyAlpha.rows = {{0x7F, 0xFF, 0x20, 0x00}};
    bitmap = DecodePng(Encode(greyAlpha));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(At(*bitmap, 0, 0), 0x207F7F7Fu);
}

TEST(PngImageTest, InterlacedImageIsReadWhole) {
    PngSpec spec = Spec(9, 9, PNG_COLOR_TYPE_RGB, 8, true);
    for (int y = 0; y < 9; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 9; ++x) {
            row.insert(row.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7});
        }
        spec.rows.push_back(row);
    }
    auto bitmap = DecodePng(Encode(spec));
    ASSERT_NE(bitmap, nullptr);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            ASSERT_EQ(At(*bitmap, x, y), MakePixel(255, x, y, 7)) << x << "," << y;
        }
    }
}

TEST(PngImageTest, CorruptTruncatedAndEnormousImagesGiveNoBitmap) {
    PngSpec spec = Spec(16, 16, PNG_COLOR_TYPE_RGB, 8);
    spec.rows.assign(16, std::vector<uint8_t>(48, 0x5A));
    const std::vector<uint8_t> good = Encode(spec);
    ASSERT_NE(DecodePng(good), nullptr);

    for (size_t cut :
         {size_t{0}, size_t{8}, size_t{20}, size_t{40}, good.size() - 13, good.size() - 1}) {
        EXPECT_EQ(DecodePng(std::span(good.data(), cut)), nullptr) << cut;
    }
    std::vector<uint8_t> flipped = good;
    flipped[flipped.size() / 2] ^= 0xFF;  // inside the image data: its checksum fails
    EXPECT_EQ(DecodePng(flipped), nullptr);
    const std::vector<uint8_t> notPng(100, 0x42);
    EXPECT_EQ(DecodePng(notPng), nullptr);

    // A header claiming 100000 x 100000 pixels must not be allocated.
    std::vector<uint8_t> enormous = good;
    const uint8_t side[4] = {0x00, 0x01, 0x86, 0xA0};
    std::copy(side, side + 4, enormous.begin() + 16);
    std::copy(side, side + 4, enormous.begin() + 20);
    const uint32_t crc = static_cast<uint32_t>(crc32(0, enormous.data() + 12, 17));
    for (int i = 0; i < 4; ++i)
        enormous[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    EXPECT_EQ(DecodePng(enormous), nullptr);
}

TEST(PngImageTest, HeaderSizeIsReadWithoutDecodingAndRefusedAsTheDecoderRefuses) {
    PngSpec spec = Spec(37, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8);
    spec.rows.assign(5, std::vector<uint8_t>(37 * 4, 0x11));
    const std::vector<uint8_t> good = Encode(spec);
    const std::optional<PngSize> size = PngHeaderSize(good);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, 37);
    EXPECT_EQ(size->height, 5);
    EXPECT_FALSE(PngHeaderSize(std::span(good.data(), 23)).has_value());
    EXPECT_FALSE(PngHeaderSize(std::vector<uint8_t>(40, 0x42)).has_value());
    // 100000 pixels a side is more than the decoder takes.
    std::vector<uint8_t> enormous = good;
    const uint8_t side[4] = {0x00, 0x01, 0x86, 0xA0};
    std::copy(side, side + 4, enormous.begin() + 16);
    EXPECT_FALSE(PngHeaderSize(enormous).has_value());
    EXPECT_FALSE(PngResourceSize(987654).has_value());
}

TEST(PngImageTest, FilesAreLoadedOnlyByPngNameInAnyCase) {
    PngSpec spec = Spec(1, 1, PNG_COLOR_TYPE_RGB, 8);
    spec.rows = {{9, 8, 7}};
    const std::vector<uint8_t> bytes = Encode(spec);
    const auto folder = std::filesystem::temp_directory_path() / "raster-png-test";
    std::filesystem::create_directories(folder);
    for (const char* name : {"a.png", "b.PnG", "c.txt", "d.png.bak"}) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_NE(LoadPngFile((folder / "a.png").string()), nullptr);
    auto upper = LoadPngFile((folder / "b.PnG").string());
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(At(*upper, 0, 0), 0xFF090807u);
    EXPECT_EQ(LoadPngFile((folder / "c.txt").string()), nullptr);
    EXPECT_EQ(LoadPngFile((folder / "d.png.bak").string()), nullptr);
    EXPECT_EQ(LoadPngFile((folder / "missing.png").string()), nullptr);
    std::filesystem::remove_all(folder);
}

TEST(PngImageTest, UnknownResourceGivesNoBitmap) {
    EXPECT_EQ(LoadPngResource(-1), nullptr);
    EXPECT_EQ(LoadPngResource(99999), nullptr);
}

}  // namespace
}  // namespace raster
