#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "raster/PngImage.h"
#include "resources/ResourceTable.h"
#include "resources/Resources.h"

namespace raster {
namespace {

uint32_t BigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Every image the panel loads is embedded in both sets with the size, colour type and frame
// layout the panel counts on: 8 bits per channel, RGB for the background, RGBA for everything
// else; the large set at exactly kLargeImageFactor times the panel's size, a strip of N >= 2
// frames stored N pixels taller, as the panel shows it at those zooms.
TEST(ResourceImagesTest, EveryEmbeddedImageMatchesTheTableInBothSets) {
    for (const resources::ImageResource& image : resources::kImageResources) {
        for (const int factor : {1, resources::kLargeImageFactor}) {
            const int height = image.height * factor + (image.frames >= 2 ? image.frames : 0);
            SCOPED_TRACE(std::to_string(image.id) + " " + image.name + " x" +
                         std::to_string(factor));
            const std::span<const uint8_t> bytes = resources::FindResource(image.id, factor);
            ASSERT_GT(bytes.size(), 33u);
            ASSERT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 12), 4), "IHDR");
            EXPECT_EQ(BigEndian(bytes.data() + 16), static_cast<uint32_t>(image.width * factor));
            EXPECT_EQ(BigEndian(bytes.data() + 20), static_cast<uint32_t>(height));
            EXPECT_EQ(bytes[24], 8);                     // bit depth
            EXPECT_EQ(bytes[25], image.opaque ? 2 : 6);  // colour type: RGB or RGBA
            EXPECT_EQ(image.height % image.frames, 0);

            std::unique_ptr<MemBitmap> bitmap = LoadPngResource(image.id, factor);
            ASSERT_NE(bitmap, nullptr);
            EXPECT_EQ(bitmap->Width(), image.width * factor);
            EXPECT_EQ(bitmap->Height(), height);
            // Measured without decoding, as the panel lays out its strips before they are
            // decoded.
            const std::optional<PngSize> size = PngResourceSize(image.id, factor);
            ASSERT_TRUE(size.has_value());
            EXPECT_EQ(size->width, image.width * factor);
            EXPECT_EQ(size->height, height);
        }
    }
}

// Every strip's data starts afresh at each of its frames in both sets, so that a frame is
// decoded without those above it.
TEST(ResourceImagesTest, EveryStripRestartsAtEachFrame) {
    for (const resources::ImageResource& image : resources::kImageResources) {
        for (const int factor : {1, resources::kLargeImageFactor}) {
            SCOPED_TRACE(std::string(image.name) + " x" + std::to_string(factor));
            const std::span<const uint8_t> bytes = resources::FindResource(image.id, factor);
            const std::optional<PngSize> size = PngHeaderSize(bytes);
            ASSERT_TRUE(size.has_value());
            std::vector<int> expected;
            for (int frame = 1; frame < image.frames; ++frame)
                expected.push_back(size->height * frame / image.frames);
            std::vector<int> rows;
            for (const PngRestart& restart : PngRestarts(bytes))
                rows.push_back(restart.row);
            EXPECT_EQ(rows, expected);
        }
    }
}

// A restart list that does not fit its image (rows out of order, an offset past the data) is
// not used at all, and the image still decodes whole from its top.
TEST(ResourceImagesTest, ARestartListThatDoesNotFitIsIgnored) {
    const std::span<const uint8_t> stored = resources::FindResource(resources::kImageKnob);
    ASSERT_FALSE(PngRestarts(stored).empty());
    const std::string text(reinterpret_cast<const char*>(stored.data()), stored.size());
    const size_t list = text.find(kPngRestartChunk);
    ASSERT_NE(list, std::string::npos);
    // After the chunk's type come pairs of row and offset. The second row made 0 (above the
    // first), or the first offset made to point past the data:
    const size_t secondRow = list + 4 + 8;
    const size_t firstOffset = list + 4 + 4;
    for (const size_t field : {secondRow, firstOffset}) {
        std::vector<uint8_t> bytes(stored.begin(), stored.end());
        for (size_t i = 0; i < 4; ++i)
            bytes[field + i] = field == secondRow ? 0 : 0xFF;
        EXPECT_TRUE(PngRestarts(bytes).empty()) << field - list;
        const std::unique_ptr<MemBitmap> whole = DecodePng(bytes);
        ASSERT_NE(whole, nullptr);
        EXPECT_EQ(whole->Height(), BigEndian(stored.data() + 20));
    }
}

// Rows decoded from a restart are exactly those a whole decoding gives; the rest of the bitmap
// keeps what it held. An image without restarts is decoded from its top, down to the rows asked
// for.
TEST(ResourceImagesTest, RowsAreDecodedFromTheRestartAboveThem) {
    const int id = resources::kImageFaderRed;
    const std::unique_ptr<MemBitmap> whole = LoadPngResource(id);
    ASSERT_NE(whole, nullptr);
    const int frameHeight = whole->Height() / 128;
    MemBitmap part;
    // Rows inside frame 3 and a few of frame 4 (from 0): both frames, nothing else.
    const std::optional<RowSpan> decoded =
        DecodePngResourceRows(id, 1, {3 * frameHeight + 5, 4 * frameHeight + 2}, part);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->first, 3 * frameHeight);
    EXPECT_EQ(decoded->end, 5 * frameHeight);
    ASSERT_EQ(part.Width(), whole->Width());
    ASSERT_EQ(part.Height(), whole->Height());
    int differing = 0, uncleared = 0;
    for (int y = 0; y < whole->Height(); ++y) {
        for (int x = 0; x < whole->Width(); ++x) {
            if (y >= decoded->first && y < decoded->end)
                differing += part.Row(y)[x] != whole->Row(y)[x];
            else
                uncleared += part.Row(y)[x] != 0;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(uncleared, 0);
    // The last frame, into the same bitmap: the frames decoded before stay.
    const std::optional<RowSpan> last =
        DecodePngResourceRows(id, 1, {127 * frameHeight, kAllRows}, part);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->first, 127 * frameHeight);
    EXPECT_EQ(last->end, whole->Height());
    EXPECT_EQ(std::memcmp(part.Row(whole->Height() - 1), whole->Row(whole->Height() - 1),
                          whole->Width() * 4u),
              0);
    EXPECT_EQ(part.Row(3 * frameHeight + 20)[16], whole->Row(3 * frameHeight + 20)[16]);

    // The background has no restarts: from its top, and a bitmap of another size is cleared.
    MemBitmap background(3, 3);
    background.Row(0)[0] = 0x12345678;
    const std::optional<RowSpan> top =
        DecodePngResourceRows(resources::kImageBackground, 1, {100, 301}, background);
    ASSERT_TRUE(top.has_value());
    EXPECT_EQ(top->first, 0);
    EXPECT_EQ(top->end, 301);
    const std::unique_ptr<MemBitmap> plate = LoadPngResource(resources::kImageBackground);
    ASSERT_NE(plate, nullptr);
    EXPECT_EQ(background.Row(0)[0], plate->Row(0)[0]);
    EXPECT_EQ(background.Row(300)[500], plate->Row(300)[500]);
    EXPECT_EQ(background.Row(301)[500], 0u);
}

// Frames must differ from one another: a strip whose frames were all alike would not move.
TEST(ResourceImagesTest, StripFramesShowTheirOwnStateInBothSets) {
    for (const resources::ImageResource& image : resources::kImageResources) {
        if (image.frames < 2) continue;
        for (const int factor : {1, resources::kLargeImageFactor}) {
            SCOPED_TRACE(std::string(image.name) + " x" + std::to_string(factor));
            std::unique_ptr<MemBitmap> bitmap = LoadPngResource(image.id, factor);
            ASSERT_NE(bitmap, nullptr);
            const int frameHeight = bitmap->Height() / image.frames;
            auto sameFrames = [&](int a, int b) {
                for (int y = 0; y < frameHeight; ++y) {
                    for (int x = 0; x < bitmap->Width(); ++x) {
                        if (bitmap->Row(a * frameHeight + y)[x] !=
                            bitmap->Row(b * frameHeight + y)[x])
                            return false;
                    }
                }
                return true;
            };
            for (int frame = 1; frame < image.frames; ++frame) {
                EXPECT_FALSE(sameFrames(frame - 1, frame))
                    << "frames " << frame << " and " << frame + 1;
            }
        }
    }
}

// Every picture of the guide is set at print resolution: at least 144 pixels an inch, where its
// drawing matrix ("W 0 0 H x y cm /ImN Do") gives W points for the image's width in pixels.
TEST(ResourceImagesTest, UserGuidePicturesAreSetAtPrintResolution) {
    const std::span<const uint8_t> guide = resources::FindResource(resources::kUserGuideId);
    const std::string pdf(reinterpret_cast<const char*>(guide.data()), guide.size());
    std::vector<double> widths;  // of /Im0, /Im1, ... in pixels, in the order of their objects
    for (size_t at = pdf.find("/Subtype /Image /Width "); at != std::string::npos;
         at = pdf.find("/Subtype /Image /Width ", at + 1)) {
        widths.push_back(std::strtod(pdf.c_str() + at + 23, nullptr));
    }
    ASSERT_GE(widths.size(), 8u);
    int drawn = 0;
    for (size_t at = pdf.find(" cm /Im"); at != std::string::npos;
         at = pdf.find(" cm /Im", at + 1)) {
        const size_t start = pdf.rfind("q ", at);
        ASSERT_NE(start, std::string::npos);
        const double points = std::strtod(pdf.c_str() + start + 2, nullptr);
        const size_t image = std::strtoul(pdf.c_str() + at + 7, nullptr, 10);
        ASSERT_LT(image, widths.size());
        EXPECT_GE(widths[image] / points * 72.0, 143.9) << "picture " << image;
        ++drawn;
    }
    EXPECT_EQ(drawn, static_cast<int>(widths.size()));
}

TEST(ResourceImagesTest, UserGuideIsEmbeddedAsPdf) {
    const std::span<const uint8_t> guide = resources::FindResource(resources::kUserGuideId);
    ASSERT_GT(guide.size(), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(guide.data()), 5), "%PDF-");
    EXPECT_EQ(LoadPngResource(resources::kUserGuideId), nullptr);
}

}  // namespace
}  // namespace raster
