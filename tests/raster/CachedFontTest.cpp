#include <gtest/gtest.h>

#include "BitmapTestSupport.h"
#include "raster/CachedFont.h"
#include "raster/MemBitmap.h"
#include "raster/Pixel.h"
#include "raster/Utf16Text.h"

namespace raster {
namespace {

using testing::At;
using testing::CountEqual;
using testing::FillWith;

// Every character is a solid 3 x 5 block with a 4-pixel advance; RenderText paints them the
// same way, so both paths of the font can be compared pixel for pixel.
class BlockRenderer : public TextRenderer {
public:
    TextExtent MeasureText(const NativeFont&, std::u16string_view text) override {
        lastText = std::u16string(text);
        return {static_cast<int>(text.size()) * 4, 5};
    }
    void RenderText(const NativeFont&, std::u16string_view text, uint32_t colour, Bitmap& target,
                    int x, int y) override {
        ++renders;
        for (size_t i = 0; i < text.size(); ++i) {
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    const int px = x + static_cast<int>(i) * 4 + col;
                    const int py = y + row;
                    if (px >= 0 && py >= 0 && px < target.Width() && py < target.Height()) {
                        target.Row(py)[px] =
                            (target.Row(py)[px] & 0xFF000000u) | (colour & 0xFFFFFF);
                    }
                }
            }
        }
    }
    bool RasterizeGlyph(const NativeFont&, char32_t, GlyphMask& mask) override {
        ++glyphs;
        mask.width = 3;
        mask.height = 5;
        mask.advance = 4;
        mask.coverage.assign(15, 255);
        return true;
    }

    std::u16string lastText;
    int renders = 0;
    int glyphs = 0;
};

class CachedFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetTextRenderer(&renderer_);
        font_.BindNativeFont(NativeFont{}, kFontOwnsNative | kFontRenderNative);
        font_.SetTextColor(0xFFFFFFFF);
        FillWith(dest_, kPaper);
    }
    void TearDown() override { SetTextRenderer(nullptr); }

    static constexpr uint32_t kPaper = 0xFF102030;
    BlockRenderer renderer_;
    CachedFont font_;
    MemBitmap dest_{20, 10};
};

TEST_F(CachedFontTest, MeasureOnlyRewritesTheRectangleAndDrawsNothing) {
    PixelRect rect{3, 4, 100, 100};
    EXPECT_EQ(font_.DrawText(&dest_, "abc", -1, &rect, kTextMeasureOnly | kTextCentre), 5);
    EXPECT_EQ(rect, (PixelRect{3, 4, 15, 9}));
    EXPECT_EQ(CountEqual(dest_, kPaper), 200);
    PixelRect partial{0, 0, 0, 0};
    font_.DrawText(nullptr, "abcdef", 2, &partial, kTextMeasureOnly);
    EXPECT_EQ(partial.right, 8);
}

TEST_F(CachedFontTest, AlignmentPlacesTheTextBox) {
    // Centred in (0, 0, 20, 10): x = (0 + 20 - 8) / 2 = 6, y = (0 + 10 - 5) / 2 = 2.
    PixelRect rect{0, 0, 20, 10};
    font_.DrawText(&dest_, "ab", -1, &rect, kTextCentre | kTextVCentre);
    EXPECT_EQ(At(dest_, 6, 2), 0xFFFFFFFFu);
    EXPECT_EQ(At(dest_, 5, 2), kPaper);
    EXPECT_EQ(At(dest_, 12, 6), 0xFFFFFFFFu);
    EXPECT_EQ(At(dest_, 12, 7), kPaper);

    FillWith(dest_, kPaper);
    font_.DrawText(&dest_, "ab", -1, &rect, kTextRight | kTextBottom);
    EXPECT_EQ(At(dest_, 12, 5), 0xFFFFFFFFu);
    EXPECT_EQ(At(dest_, 18, 9), 0xFFFFFFFFu);
    EXPECT_EQ(CountEqual(dest_, 0xFFFFFFFF), 30);
}

TEST_F(CachedFontTest, TextIsClippedToTheRectangleUnlessNoClipIsAsked) {
    PixelRect rect{0, 0, 5, 10};
    font_.DrawText(&dest_, "ab", -1, &rect, kTextLeft);
    EXPECT_EQ(CountEqual(dest_, 0xFFFFFFFF), 20);  // the first block and one column of the second
    FillWith(dest_, kPaper);
    font_.DrawText(&dest_, "ab", -1, &rect, kTextLeft | kTextNoClip);
    EXPECT_EQ(CountEqual(dest_, 0xFFFFFFFF), 30);

    // Off the bitmap's edges nothing is written out of bounds.
    PixelRect outside{-6, -3, 30, 40};
    font_.DrawText(&dest_, "abcdefgh", -1, &outside, kTextNoClip);
}

TEST_F(CachedFontTest, GlyphCachePathMatchesTheNativePathAndCachesEachCharacterOnce) {
    MemBitmap native(20, 10);
    FillWith(native, kPaper);
    PixelRect rect{1, 2, 20, 10};
    font_.DrawText(&native, "abab", -1, &rect, kTextLeft);

    CachedFont cached;
    cached.BindNativeFont(NativeFont{}, 0);
    cached.SetTextColor(0xFFFFFFFF);
    cached.DrawText(&dest_, "abab", -1, &rect, kTextLeft);
    cached.DrawText(&dest_, "abab", -1, &rect, kTextLeft);
    EXPECT_EQ(renderer_.glyphs, 2);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(At(dest_, x, y), At(native, x, y)) << x << "," << y;
    }
}

TEST_F(CachedFontTest, ColourAlphaBlendsTheTextAndKeepsTheBitmapOpaque) {
    font_.SetTextColor(0x80FFFFFF);
    PixelRect rect{0, 0, 20, 10};
    font_.DrawText(&dest_, "a", -1, &rect, kTextUseColourAlpha);
    EXPECT_EQ(renderer_.renders, 0);
    // W = 128 of opaque white over the paper: the halves are averaged.
    const uint32_t averaged = (0xFFFFFFFFu >> 1 & 0x7F7F7F7F) + (kPaper >> 1 & 0x7F7F7F7F);
    EXPECT_EQ(At(dest_, 0, 0), (averaged & 0x00FFFFFF) | 0xFF000000);
    EXPECT_EQ(At(dest_, 2, 4), (averaged & 0x00FFFFFF) | 0xFF000000);
    EXPECT_EQ(At(dest_, 3, 4), kPaper);
}

TEST_F(CachedFontTest, NothingIsDrawnWithoutRendererTextOrRectangle) {
    PixelRect rect{0, 0, 20, 10};
    EXPECT_EQ(font_.DrawText(&dest_, "", -1, &rect, 0), 0);
    EXPECT_EQ(font_.DrawText(&dest_, nullptr, -1, &rect, 0), 0);
    EXPECT_EQ(font_.DrawText(&dest_, "a", -1, nullptr, 0), 0);
    SetTextRenderer(nullptr);
    EXPECT_EQ(font_.DrawText(&dest_, "a", -1, &rect, 0), 0);
    EXPECT_EQ(CountEqual(dest_, kPaper), 200);
}

TEST(Utf16TextTest, ValidUtf8IsDecodedAndInvalidIsTakenByteWise) {
    EXPECT_EQ(Utf16FromUtf8("A\xC3\xA9\xE2\x82\xAC"), u"A\u00E9\u20AC");
    EXPECT_EQ(Utf16FromUtf8("\xF0\x9F\x8E\xB9"), u"\U0001F3B9");
    EXPECT_EQ(CharactersOf(Utf16FromUtf8("\xF0\x9F\x8E\xB9!")), U"\U0001F3B9!");
    // A lone continuation byte, a truncated sequence, an overlong slash and an encoded surrogate.
    EXPECT_EQ(Utf16FromUtf8("a\x80"), std::u16string({u'a', 0x80}));
    EXPECT_EQ(Utf16FromUtf8("\xE2\x82"), std::u16string({0xE2, 0x82}));
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), std::u16string({0xC0, 0xAF}));
    EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80").size(), 3u);
}

}  // namespace
}  // namespace raster
