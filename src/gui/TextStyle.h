#pragma once

#include <string>

#include "gui/ColorARGB.h"
#include "raster/NativeFont.h"

namespace raster {
class Font;
}

enum TextFontStyle : int { kTextNormal = 0, kTextBold = 1, kTextItalic = 2 };
enum TextAlign : int { kAlignNear = 0, kAlignCentre = 1, kAlignFar = 2 };

// How a text control or a value entry writes its text. The font pointer is filled from the
// font cache on first use and never owned here.
struct TextStyle {
    std::string face = "Verdana";
    int size = 12;
    ColorARGB color{255, 0, 0, 0};
    ColorARGB entryBackground{255, 255, 255, 255};
    ColorARGB entryText{255, 0, 0, 0};
    int style = kTextNormal;
    int align = kAlignCentre;
    int orientation = 0;                    // degrees
    int quality = raster::kQualityDefault;  // a raster::FontQuality
    raster::Font* font = nullptr;
};
