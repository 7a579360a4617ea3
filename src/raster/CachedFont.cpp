#include "raster/CachedFont.h"

#include <atomic>

namespace raster {

namespace {
std::atomic<int> liveFonts{0};
}

CachedFont::CachedFont() { ++liveFonts; }
CachedFont::~CachedFont() { --liveFonts; }

int CachedFont::LiveFontCount() { return liveFonts.load(); }

bool CachedFont::BindNativeFont(const NativeFont& font, unsigned flags) {
    native_ = font;
    flags_ = flags;
    bound_ = true;
    glyphs_.clear();
    return true;
}

int CachedFont::DrawText(Bitmap*, const char*, int, PixelRect*, unsigned) { return 0; }

}  // namespace raster
