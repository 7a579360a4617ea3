#include "gui/FontCache.h"

#include "raster/NativeFont.h"

FontCache& FontCache::Instance() {
    // Never destroyed, for the same reason as the image cache.
    static FontCache* cache = new FontCache;
    return *cache;
}

raster::NativeFont FontCache::NativeFontOf(const TextStyle& style) {
    raster::NativeFont native;
    // Face names are kept to what a 32-byte field holds.
    native.face = style.face.substr(0, 31);
    native.height = style.size;
    native.weight = style.style == kTextBold ? 700 : 400;
    native.italic = style.style == kTextItalic;
    native.orientation = style.orientation * 10;
    native.quality = style.quality;
    return native;
}

raster::Font* FontCache::FontFor(const TextStyle& style) {
    const raster::NativeFont native = NativeFontOf(style);
    const std::string& face = native.face;
    std::lock_guard<std::mutex> hold(lock_);
    for (const Entry& entry : fonts_) {
        if (entry.size == style.size && entry.orientation == style.orientation &&
            entry.style == style.style && entry.face == face) {
            return entry.font.get();
        }
    }
    auto font = std::make_unique<raster::CachedFont>();
    if (!font->BindNativeFont(native, raster::kFontOwnsNative | raster::kFontRenderNative)) {
        return nullptr;
    }
    Entry entry{style.size, style.orientation, style.style, face, std::move(font)};
    fonts_.push_back(std::move(entry));
    return fonts_.back().font.get();
}

int FontCache::Count() {
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<int>(fonts_.size());
}

void FontCache::Release() {
    std::lock_guard<std::mutex> hold(lock_);
    fonts_.clear();
}
