#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "raster/Font.h"
#include "raster/TextRenderer.h"

namespace raster {

// The font the panel uses. Native rendering lets the platform draw the text over a copy of the
// touched pixels; otherwise (and for text blended with its colour's alpha) each character is
// rasterised once into a glyph cache and blended from there.
class CachedFont : public Font {
public:
    CachedFont();
    ~CachedFont() override;
    CachedFont(const CachedFont&) = delete;
    CachedFont& operator=(const CachedFont&) = delete;

    bool BindNativeFont(const NativeFont& font, unsigned flags) override;
    void SetTextColor(uint32_t colour) override { colour_ = colour; }
    void SetTextAlpha(float alpha) override { alpha_ = alpha; }
    void SetBackgroundMode(int mode) override { backgroundMode_ = mode; }
    int DrawText(Bitmap* dest, const char* text, int length, PixelRect* rect,
                 unsigned flags) override;

    uint32_t TextColor() const { return colour_; }
    float TextAlpha() const { return alpha_; }
    bool IsBound() const { return bound_; }
    const NativeFont& Native() const { return native_; }

    // Fonts alive in the process; the shared scratch bitmap is freed when it drops to 0.
    static int LiveFontCount();

private:
    void DrawNative(Bitmap& dest, TextRenderer& renderer, std::u16string_view text,
                    const PixelRect& box, const PixelRect& visible);
    void DrawFromGlyphCache(Bitmap& dest, TextRenderer& renderer, std::u16string_view text,
                            const PixelRect& box, const PixelRect& visible, bool useColourAlpha);
    const GlyphMask* Glyph(TextRenderer& renderer, char32_t character);

    NativeFont native_;
    unsigned flags_ = 0;
    bool bound_ = false;
    uint32_t colour_ = 0xFF000000;
    float alpha_ = 1.0f;
    int backgroundMode_ = kBackgroundTransparent;
    std::map<char32_t, GlyphMask> glyphs_;
};

}  // namespace raster
