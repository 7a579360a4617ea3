#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "raster/Bitmap.h"
#include "raster/NativeFont.h"

namespace raster {

struct TextExtent {
    int width = 0;
    int height = 0;
};

// One character rendered as coverage (0 = none, 255 = full), for the glyph cache.
struct GlyphMask {
    int width = 0;
    int height = 0;
    int left = 0;                   // offset of the mask's first column from the pen position
    int advance = 0;                // how far the pen moves after this character
    std::vector<uint8_t> coverage;  // width * height, rows top to bottom
};

// The platform's text layout and rasteriser. Texts arrive as UTF-16 without prefix
// processing ('&' is an ordinary character). Implementations run on the GUI thread only.
class TextRenderer {
public:
    virtual ~TextRenderer() = default;

    // Extent of one line of text: its advance width and the font's line height.
    virtual TextExtent MeasureText(const NativeFont& font, std::u16string_view text) = 0;

    // Paints text in colour (its alpha is ignored) with the top-left of the text box at (x, y)
    // of target. Pixels the glyphs do not touch keep their value, alpha included.
    virtual void RenderText(const NativeFont& font, std::u16string_view text, uint32_t colour,
                            Bitmap& target, int x, int y) = 0;

    // Rasterises one character whose cell is the font's line height tall. False when the
    // renderer cannot; the character is then skipped.
    virtual bool RasterizeGlyph(const NativeFont& font, char32_t character, GlyphMask& mask) = 0;
};

// The process-wide renderer the fonts use; the platform layer installs it at start-up and
// removes it (null) before it goes away. Without one, text draws nothing and measures 0 x 0.
void SetTextRenderer(TextRenderer* renderer);
TextRenderer* CurrentTextRenderer();

}  // namespace raster
