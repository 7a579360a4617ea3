// The file a decoded image is kept in: read back pixel for pixel, and refused whenever it could
// be another image's or a damaged one, so that a start never shows pixels that were not decoded
// from the image it asks for.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "gui/KeptImages.h"
#include "support/TempDir.h"

namespace {

// Odd width: rows are padded in memory and must not be padded in the file.
std::unique_ptr<raster::MemBitmap> Pattern(int width, int height) {
    auto bitmap = std::make_unique<raster::MemBitmap>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap->Pixels()[y * bitmap->Span() + x] = 0x80000000u | (y << 12) | x;
    return bitmap;
}

bool SamePixels(const raster::MemBitmap& a, const raster::MemBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixels()[y * a.Span() + x] != b.Pixels()[y * b.Span() + x]) return false;
    return true;
}

}  // namespace

TEST(KeptImages, ReadsBackWhatWasWrittenAndRefusesAnyOtherOrDamagedFile) {
    TempDir folder;
    const std::array<uint8_t, 4> encoded{1, 2, 3, 4};
    const uint64_t key = KeptImages::KeyOf(encoded, 7, 5);
    const std::string path = KeptImages::PathOf(folder.Path(), key);
    const auto image = Pattern(7, 5);
    ASSERT_TRUE(KeptImages::Write(path, KeptImages::FileOf(*image, key)));

    const auto back = KeptImages::Read(path, key, 7, 5);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(SamePixels(*back, *image));

    // Other bytes or another size make another key, and a file is read only under its own.
    const std::array<uint8_t, 4> other{1, 2, 3, 5};
    EXPECT_NE(KeptImages::KeyOf(other, 7, 5), key);
    EXPECT_NE(KeptImages::KeyOf(encoded, 5, 7), key);
    EXPECT_EQ(KeptImages::Read(path, KeptImages::KeyOf(other, 7, 5), 7, 5), nullptr);
    EXPECT_EQ(KeptImages::Read(path, key, 5, 7), nullptr);
    EXPECT_EQ(KeptImages::Read(folder.Path() + "/missing", key, 7, 5), nullptr);

    const uintmax_t size = std::filesystem::file_size(path);
    {
        std::ofstream longer(path, std::ios::app | std::ios::binary);
        longer.put('\0');
    }
    EXPECT_EQ(KeptImages::Read(path, key, 7, 5), nullptr);
    std::filesystem::resize_file(path, size - 1);
    EXPECT_EQ(KeptImages::Read(path, key, 7, 5), nullptr);
    std::filesystem::resize_file(path, 10);
    EXPECT_EQ(KeptImages::Read(path, key, 7, 5), nullptr);
}

TEST(KeptImages, AFolderThatCannotBeWrittenFailsTheWrite) {
    TempDir folder;
    const auto image = Pattern(3, 3);
    EXPECT_FALSE(
        KeptImages::Write(folder.Path() + "/none/x.pixels", KeptImages::FileOf(*image, 1)));
}
