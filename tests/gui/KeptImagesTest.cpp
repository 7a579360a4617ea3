// The file a decoded image is kept in: read back pixel for pixel, and refused whenever it could
// be another image's or a damaged one, so that a start never shows pixels that were not decoded
// from the image it asks for.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

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

// A strip's frames are read one at a time: the rows asked for arrive, the others stay as they
// were, and a file of another key or size gives none, even when no row is asked for.
TEST(KeptImages, ReadsTheRowsAskedForAndNoOthers) {
    TempDir folder;
    const auto image = Pattern(7, 9);  // rows padded in memory
    const std::array<uint8_t, 3> encoded{7, 7, 7};
    const uint64_t key = KeptImages::KeyOf(encoded, 7, 9);
    const std::string path = KeptImages::PathOf(folder.Path(), key, KeptImages::kRendering);
    ASSERT_TRUE(KeptImages::Write(path, KeptImages::FileOf(*image, key)));

    raster::MemBitmap into(7, 9);
    ASSERT_TRUE(KeptImages::ReadRows(path, key, into, 3, 6));
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 7; ++x) {
            const uint32_t expected = y >= 3 && y < 6 ? image->Pixels()[y * image->Span() + x] : 0;
            ASSERT_EQ(into.Pixels()[y * into.Span() + x], expected) << x << "," << y;
        }
    }
    EXPECT_TRUE(KeptImages::ReadRows(path, key, into, 0, 0));
    EXPECT_FALSE(KeptImages::ReadRows(path, key, into, 8, 10));
    EXPECT_FALSE(KeptImages::ReadRows(path, key + 1, into, 0, 0));
    raster::MemBitmap other(9, 7);
    EXPECT_FALSE(KeptImages::ReadRows(path, key, other, 0, 0));

    // What is made from one image at one size has a key of its own.
    const int shape[] = {7, 9, 4, 0};
    const int otherShape[] = {7, 9, 3, 0};
    EXPECT_NE(KeptImages::DerivedKeyOf(key, shape), KeptImages::DerivedKeyOf(key, otherShape));
    EXPECT_NE(KeptImages::DerivedKeyOf(key, shape), KeptImages::DerivedKeyOf(key + 1, shape));
}

// What an older format version kept is removed once, and nothing else: not the files of this
// version, not files of other kinds.
TEST(KeptImages, FilesOfAnotherVersionAreRemovedOnce) {
    TempDir folder;
    const auto image = Pattern(3, 2);
    const std::string current = KeptImages::PathOf(folder.Path(), 5, KeptImages::kRendering);
    ASSERT_TRUE(KeptImages::Write(current, KeptImages::FileOf(*image, 5)));
    std::vector<uint8_t> older = KeptImages::FileOf(*image, 6);
    older[8] ^= 0x7F;  // the version field
    const std::string old = KeptImages::PathOf(folder.Path(), 6);
    ASSERT_TRUE(KeptImages::Write(old, older));
    const std::string other = folder.Path() + "/notes.txt";
    std::ofstream(other) << "kept";

    KeptImages::ForgetOtherVersions(folder.Path());
    EXPECT_TRUE(std::filesystem::exists(current));
    EXPECT_FALSE(std::filesystem::exists(old));
    EXPECT_TRUE(std::filesystem::exists(other));
    ASSERT_NE(KeptImages::Read(current, 5, 3, 2), nullptr);

    // The folder is marked as this version's: later starts do not look through it again.
    ASSERT_TRUE(KeptImages::Write(old, older));
    KeptImages::ForgetOtherVersions(folder.Path());
    EXPECT_TRUE(std::filesystem::exists(old));
}

TEST(KeptImages, AFolderThatCannotBeWrittenFailsTheWrite) {
    TempDir folder;
    const auto image = Pattern(3, 3);
    EXPECT_FALSE(
        KeptImages::Write(folder.Path() + "/none/x.pixels", KeptImages::FileOf(*image, 1)));
}
