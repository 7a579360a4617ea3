#include <gtest/gtest.h>

#include <QApplication>

#include <algorithm>

#include "QtPanelDriver.h"
#include "gui/HeadlessGraphics.h"
#include "gui/TextControl.h"
#include "platform/qt/QtTextRenderer.h"
#include "plugin/PluginBase.h"
#include "raster/CachedFont.h"
#include "raster/MemBitmap.h"
#include "raster/Pixel.h"

namespace {

constexpr uint32_t kPaper = 0xFF202020;

class QtTextRendererTest : public ::testing::Test {
protected:
    // The panel tests share one offscreen application and its renderer; this test borrows the
    // renderer slot for its own instance and gives it back.
    static void SetUpTestSuite() { OffscreenApp(); }

    void SetUp() override {
        font_.face = "Verdana";
        font_.height = 12;
        font_.weight = 700;
        previous_ = raster::CurrentTextRenderer();
        raster::SetTextRenderer(&renderer_);
    }
    void TearDown() override { raster::SetTextRenderer(previous_); }

    static void Fill(raster::Bitmap& bitmap, uint32_t value) {
        for (int y = 0; y < bitmap.Height(); ++y)
            std::fill_n(bitmap.Row(y), bitmap.Width(), value);
    }
    // The box around every pixel that differs from value; empty when none does.
    static raster::PixelRect Touched(const raster::Bitmap& bitmap, uint32_t value) {
        raster::PixelRect box{bitmap.Width(), bitmap.Height(), 0, 0};
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                if (bitmap.Row(y)[x] == value) continue;
                box.left = std::min(box.left, x), box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1), box.bottom = std::max(box.bottom, y + 1);
            }
        }
        return box;
    }

    raster::TextRenderer* previous_ = nullptr;
    QtTextRenderer renderer_;
    raster::NativeFont font_;
};

TEST_F(QtTextRendererTest, MeasuresWiderTextAndLargerFonts) {
    const raster::TextExtent one = renderer_.MeasureText(font_, u"88");
    const raster::TextExtent two = renderer_.MeasureText(font_, u"8888");
    EXPECT_GT(one.width, 0);
    EXPECT_GE(one.height, 10);
    EXPECT_LE(one.height, 12) << "12 is the height of a line";
    EXPECT_EQ(two.height, one.height);
    EXPECT_NEAR(two.width, 2 * one.width, 2);
    raster::NativeFont big = font_;
    big.height = 24;
    EXPECT_GT(renderer_.MeasureText(big, u"88").width, one.width);
}

// A font "of height N" is a cell N pixels tall (ascent plus descent), which the panel's text
// boxes are laid out for; Qt's pixel size is the em, and a line of an N-pixel em is taller.
TEST_F(QtTextRendererTest, AFontOfHeightNHasLinesAtMostNPixelsTall) {
    for (int height : {6, 9, 12, 18, 24}) {
        SCOPED_TRACE(height);
        font_.height = height;
        const int line = renderer_.MeasureText(font_, u"trigger").height;
        EXPECT_LE(line, height);
        EXPECT_GE(line, height - 2) << "the largest size that fits is taken";
        raster::GlyphMask mask;
        ASSERT_TRUE(renderer_.RasterizeGlyph(font_, U'g', mask));
        EXPECT_EQ(mask.height, line);
        // A negative height asks for the em itself, whose line is taller.
        font_.height = -height;
        EXPECT_GT(renderer_.MeasureText(font_, u"trigger").height, height);
    }
}

TEST_F(QtTextRendererTest, RenderedTextStaysInsideItsMeasuredBoxAndKeepsAlpha) {
    raster::MemBitmap bitmap(80, 30);
    Fill(bitmap, kPaper);
    const raster::TextExtent extent = renderer_.MeasureText(font_, u"127");
    renderer_.RenderText(font_, u"127", 0xFFFFFFFF, bitmap, 10, 5);
    const raster::PixelRect touched = Touched(bitmap, kPaper);
    ASSERT_LT(touched.left, touched.right);
    EXPECT_GE(touched.left, 10);
    EXPECT_GE(touched.top, 5);
    EXPECT_LE(touched.right, 10 + extent.width + 1);
    EXPECT_LE(touched.bottom, 5 + extent.height);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x)
            ASSERT_EQ(raster::PixelAlpha(bitmap.Row(y)[x]), 255u);
    }
}

TEST_F(QtTextRendererTest, GlyphCacheAndNativeTextCoverTheSamePlace) {
    raster::CachedFont native;
    native.BindNativeFont(font_, raster::kFontOwnsNative | raster::kFontRenderNative);
    native.SetTextColor(0xFFFFFFFF);
    raster::CachedFont cached;
    cached.BindNativeFont(font_, 0);
    cached.SetTextColor(0xFFFFFFFF);

    raster::MemBitmap first(120, 30);
    raster::MemBitmap second(120, 30);
    Fill(first, kPaper);
    Fill(second, kPaper);
    raster::PixelRect rect{0, 0, 120, 30};
    EXPECT_GT(
        native.DrawText(&first, "Fat Bass", -1, &rect, raster::kTextCentre | raster::kTextVCentre),
        0);
    cached.DrawText(&second, "Fat Bass", -1, &rect, raster::kTextCentre | raster::kTextVCentre);
    const raster::PixelRect a = Touched(first, kPaper);
    const raster::PixelRect b = Touched(second, kPaper);
    EXPECT_NEAR(a.left, b.left, 2);
    EXPECT_NEAR(a.right, b.right, 3);
    EXPECT_NEAR(a.top, b.top, 1);
    EXPECT_NEAR(a.bottom, b.bottom, 1);
}

TEST_F(QtTextRendererTest, GlyphMaskHasTheCharactersAdvance) {
    raster::GlyphMask mask;
    ASSERT_TRUE(renderer_.RasterizeGlyph(font_, U'W', mask));
    EXPECT_EQ(mask.advance, renderer_.MeasureText(font_, u"W").width);
    EXPECT_EQ(mask.coverage.size(), static_cast<size_t>(mask.width) * mask.height);
    int covered = 0;
    for (uint8_t value : mask.coverage)
        covered += value > 128;
    EXPECT_GT(covered, 10);
    ASSERT_TRUE(renderer_.RasterizeGlyph(font_, U' ', mask));
    EXPECT_GT(mask.advance, 0);
}

}  // namespace

TEST_F(QtTextRendererTest, AStatusTooLongForItsLineIsDrawnSmallerInsideIt) {
    PluginBase core;
    auto* graphics = new HeadlessGraphics(&core);
    graphics->PrepareDrawing();
    core.AttachGraphics(graphics);
    graphics->AddBackgroundPanel({255, 0x20, 0x20, 0x20});
    TextStyle style;
    style.size = 12;
    style.color = {255, 255, 255, 255};
    const Rect rect{40, 20, 140, 36};
    TextControl text{&core, rect, style, "Move a control, then a controller"};
    text.SetShrinkToFit(true);
    graphics->AddControl(&text);
    graphics->Tick();
    const raster::PixelRect touched = Touched(*graphics->DrawBitmap(), kPaper);
    EXPECT_LT(touched.left, touched.right) << "the text is drawn";
    EXPECT_GE(touched.left, rect.L);
    EXPECT_LE(touched.right, rect.R);
    EXPECT_EQ(text.GetTextStyle().size, 12) << "the style keeps its size for a shorter text";
}
