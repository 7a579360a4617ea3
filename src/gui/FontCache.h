#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gui/TextStyle.h"
#include "raster/CachedFont.h"

// The process-wide fonts of the panel, one per (size, orientation, style, face), under a lock
// of their own. Fonts live until Release at shutdown.
class FontCache {
public:
    static FontCache& Instance();

    // The font for the style, made on first use; null when the platform cannot make it.
    raster::Font* FontFor(const TextStyle& style);
    // What the platform is asked for to draw in the style (the size is a line's height).
    static raster::NativeFont NativeFontOf(const TextStyle& style);
    int Count();
    void Release();

private:
    struct Entry {
        int size = 0;
        int orientation = 0;
        int style = 0;
        std::string face;
        std::unique_ptr<raster::CachedFont> font;
    };

    std::mutex lock_;
    std::vector<Entry> fonts_;
};
