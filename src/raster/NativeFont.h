#pragma once

#include <string>

namespace raster {

// Rendering quality of a native font, as the panel's text styles choose it.
enum FontQuality : int {
    kQualityDefault = 0,
    kQualityNonAntialiased = 1,
    kQualityAntialiased = 2,
    kQualityClearType = 3,
};

// What the platform needs to make a native font: the panel asks for fonts by face name and
// pixel height; the text renderer resolves the face to an installed font. A positive height is
// the height of a line (ascent plus descent), as the panel's text styles give it; a negative
// one is the em (the character height without the line's leading), for type set by its em.
struct NativeFont {
    std::string face = "Verdana";
    int height = 12;   // pixels: a line's height, or minus the em
    int weight = 400;  // 400 normal, 700 bold
    bool italic = false;
    int orientation = 0;  // tenths of a degree; the panel uses 0
    int quality = kQualityDefault;
};

}  // namespace raster
