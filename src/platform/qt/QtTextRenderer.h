#pragma once

#include "raster/TextRenderer.h"

class QFont;

// Draws the panel's text with Qt: fonts resolve through fontconfig, text is painted with
// QPainter straight onto the raster bitmap's pixels (wrapped, not copied). Needs a
// QGuiApplication; GUI thread only.
class QtTextRenderer : public raster::TextRenderer {
public:
    raster::TextExtent MeasureText(const raster::NativeFont& font,
                                   std::u16string_view text) override;
    void RenderText(const raster::NativeFont& font, std::u16string_view text, uint32_t colour,
                    raster::Bitmap& target, int x, int y) override;
    bool RasterizeGlyph(const raster::NativeFont& font, char32_t character,
                        raster::GlyphMask& mask) override;

    static QFont MakeQFont(const raster::NativeFont& font);
};
