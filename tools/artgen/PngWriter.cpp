#include "PngWriter.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace artgen {

namespace {

bool WriteRows(std::FILE* file, const raster::Bitmap& bitmap, bool opaque) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    const int channels = opaque ? 3 : 4;
    std::vector<png_byte> row(static_cast<size_t>(bitmap.Width()) * channels);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, bitmap.Width(), bitmap.Height(), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint32_t* pixels = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            png_byte* out = &row[static_cast<size_t>(x) * channels];
            out[0] = static_cast<png_byte>(pixels[x] >> 16);
            out[1] = static_cast<png_byte>(pixels[x] >> 8);
            out[2] = static_cast<png_byte>(pixels[x]);
            if (!opaque) out[3] = static_cast<png_byte>(pixels[x] >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const raster::Bitmap& bitmap, const std::string& path, bool opaque) {
    const std::string partial = path + ".part";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = WriteRows(file, bitmap, opaque);
    ok = std::fclose(file) == 0 && ok;
    if (ok) ok = std::rename(partial.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(partial.c_str());
    return ok;
}

}  // namespace artgen
