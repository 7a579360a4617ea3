#pragma once

#include <cstdint>

#include "raster/Bitmap.h"
#include "raster/NativeFont.h"
#include "raster/PixelRect.h"

namespace raster {

// Flags of Font::BindNativeFont.
enum FontFlags : unsigned {
    kFontOwnsNative = 0x200,
    kFontRenderNative = 0x400,
};

// Flags of Font::DrawText. Horizontal and vertical alignment default to left and top.
enum TextFlags : unsigned {
    kTextLeft = 0x0,
    kTextCentre = 0x1,
    kTextRight = 0x2,
    kTextTop = 0x0,
    kTextVCentre = 0x4,
    kTextBottom = 0x8,
    kTextNoClip = 0x100,
    kTextMeasureOnly = 0x400,
    // Blend the text with the alpha of its colour (through the glyph cache).
    kTextUseColourAlpha = 0x10000000,
};

enum BackgroundMode : int {
    kBackgroundTransparent = 1,
    kBackgroundOpaque = 2,
};

class Font {
public:
    virtual ~Font() = default;

    virtual bool BindNativeFont(const NativeFont& font, unsigned flags) = 0;
    virtual void SetTextColor(uint32_t colour) = 0;
    virtual void SetTextAlpha(float alpha) = 0;
    virtual void SetBackgroundMode(int mode) = 0;
    // Draws length bytes of UTF-8 text (length -1: up to the terminating zero) into rect of
    // dest. With kTextMeasureOnly, rect becomes the text's extent at rect's top-left and nothing
    // is drawn. Returns the text's height, 0 when nothing could be laid out.
    virtual int DrawText(Bitmap* dest, const char* text, int length, PixelRect* rect,
                         unsigned flags) = 0;
};

}  // namespace raster
