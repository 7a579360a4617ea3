#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "raster/MemBitmap.h"

// Decoded images kept between runs in a cache folder, one file per image: a header naming the
// encoded image it was decoded from, then its raw pixels row by row. Reading one is a plain copy
// where decoding would inflate and filter every row. A file that is short, of another size or
// format, or names other encoded bytes is not used; the image is then decoded and its file
// written anew.
class KeptImages {
public:
    // Raised whenever the file layout or the decoder's output changes, so that files written
    // by another build are not mistaken for this one's.
    static constexpr uint32_t kFormatVersion = 2;

    // The key of an image decoded from these encoded bytes to width x height pixels.
    static uint64_t KeyOf(std::span<const uint8_t> encoded, int width, int height);
    // The key of something made from the image with key alone, described by shape (a rendering
    // at some size, say): another shape or image gives another key.
    static uint64_t DerivedKeyOf(uint64_t key, std::span<const int> shape);
    // What a file keeps, which its name ends in: a decoded image, or a rendering made from one.
    static constexpr const char* kDecoded = "pixels";
    static constexpr const char* kRendering = "shown";

    // The file in folder that keeps what kind says of the image with this key.
    static std::string PathOf(const std::string& folder, uint64_t key, const char* kind = kDecoded);
    // The kept image, or null when the file is missing, unreadable or does not hold exactly
    // this key's width x height pixels.
    static std::unique_ptr<raster::MemBitmap> Read(const std::string& path, uint64_t key, int width,
                                                   int height);
    // Rows top to bottom (exclusive) of the kept image into the same rows of a bitmap of its
    // size, so that a strip's frames can be read one by one; an empty range only checks the
    // file. False, with those rows undefined, when the file does not hold exactly this key's
    // image of into's size.
    static bool ReadRows(const std::string& path, uint64_t key, raster::MemBitmap& into, int top,
                         int bottom);
    // The whole file for bitmap under key, built here so that the bitmap may go away before
    // the file is written.
    static std::vector<uint8_t> FileOf(const raster::MemBitmap& bitmap, uint64_t key);
    // Removes what another format version kept in folder (a version marker tells), so that the
    // files an older build wrote do not stay behind for good. Other files are left alone.
    static void ForgetOtherVersions(const std::string& folder);
    // Writes a file built by FileOf atomically; false when the folder cannot be written.
    [[nodiscard]] static bool Write(const std::string& path, const std::vector<uint8_t>& file);
};
