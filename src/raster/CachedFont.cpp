#include "raster/CachedFont.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "raster/BlendMode.h"
#include "raster/Draw.h"
#include "raster/RowKernels.h"
#include "raster/SysBitmap.h"
#include "raster/Utf16Text.h"

namespace raster {

namespace {

// Fonts alive, and the scratch surface they share for native rendering. Fonts live on the GUI
// thread, like all drawing; the count is the only part other threads could ever observe.
int liveFonts = 0;
std::unique_ptr<SysBitmap> scratch;

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

int Aligned(unsigned flags, unsigned farFlag, unsigned centreFlag, int nearEdge, int farEdge,
            int size) {
    if (flags & farFlag) return farEdge - size;
    if (flags & centreFlag) return (nearEdge + farEdge - size) / 2;
    return nearEdge;
}

}  // namespace

CachedFont::CachedFont() {
    ++liveFonts;
}

CachedFont::~CachedFont() {
    if (--liveFonts == 0) scratch.reset();
}

int CachedFont::LiveFontCount() {
    return liveFonts;
}

bool CachedFont::BindNativeFont(const NativeFont& font, unsigned flags) {
    native_ = font;
    flags_ = flags;
    bound_ = true;
    glyphs_.clear();
    return true;
}

int CachedFont::DrawText(Bitmap* dest, const char* text, int length, PixelRect* rect,
                         unsigned flags) {
    TextRenderer* renderer = CurrentTextRenderer();
    if (text == nullptr || rect == nullptr || renderer == nullptr || !bound_) return 0;
    const size_t byteCount = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    const std::u16string utf16 = Utf16FromUtf8(std::string_view(text, byteCount));
    if (utf16.empty()) return 0;
    const TextExtent extent = renderer->MeasureText(native_, utf16);
    if (flags & kTextMeasureOnly) {
        rect->right = rect->left + extent.width;
        rect->bottom = rect->top + extent.height;
        return extent.height;
    }
    if (dest == nullptr || !dest->HasPixels() || extent.width <= 0 || extent.height <= 0) {
        return extent.height;
    }
    const int x = Aligned(flags, kTextRight, kTextCentre, rect->left, rect->right, extent.width);
    const int y = Aligned(flags, kTextBottom, kTextVCentre, rect->top, rect->bottom, extent.height);
    const PixelRect box{x, y, x + extent.width, y + extent.height};
    PixelRect visible = Intersect(box, {0, 0, dest->Width(), dest->Height()});
    if (!(flags & kTextNoClip)) visible = Intersect(visible, *rect);
    if (visible.IsEmpty()) return extent.height;
    const bool useColourAlpha = (flags & kTextUseColourAlpha) != 0;
    if (useColourAlpha || !(flags_ & kFontRenderNative)) {
        DrawFromGlyphCache(*dest, *renderer, utf16, box, visible, useColourAlpha);
    } else {
        DrawNative(*dest, *renderer, utf16, box, visible);
    }
    return extent.height;
}

void CachedFont::DrawNative(Bitmap& dest, TextRenderer& renderer, std::u16string_view text,
                            const PixelRect& box, const PixelRect& visible) {
    // Only the touched pixels travel to the scratch surface and back.
    if (scratch == nullptr) scratch = std::make_unique<SysBitmap>();
    scratch->Resize(visible.Width(), visible.Height());
    if (!scratch->HasPixels()) return;
    const PixelRect area = visible;
    Blit(scratch.get(), &dest, -area.left, -area.top, nullptr, 1.0f, kModeCopy);
    renderer.RenderText(native_, text, colour_, *scratch, box.left - area.left, box.top - area.top);
    const PixelRect back{0, 0, area.Width(), area.Height()};
    Blit(&dest, scratch.get(), area.left, area.top, &back, alpha_, kModeCopy);
}

const GlyphMask* CachedFont::Glyph(TextRenderer& renderer, char32_t character) {
    auto found = glyphs_.find(character);
    if (found != glyphs_.end()) return &found->second;
    GlyphMask mask;
    if (!renderer.RasterizeGlyph(native_, character, mask)) mask = GlyphMask{};
    if (mask.coverage.size() != static_cast<size_t>(std::max(0, mask.width)) *
                                    static_cast<size_t>(std::max(0, mask.height))) {
        mask.width = mask.height = 0;
        mask.coverage.clear();
    }
    return &glyphs_.emplace(character, std::move(mask)).first->second;
}

void CachedFont::DrawFromGlyphCache(Bitmap& dest, TextRenderer& renderer, std::u16string_view text,
                                    const PixelRect& box, const PixelRect& visible,
                                    bool useColourAlpha) {
    float strength = alpha_;
    if (useColourAlpha) strength *= static_cast<float>(colour_ >> 24) / 255.0f;
    const int level = std::min(256, IntegerWeight(std::max(0.0f, strength)));
    if (level == 0) return;
    // The colour's alpha went into the level.
    const uint32_t ink = colour_ | 0xFF000000u;
    int pen = box.left;
    for (char32_t character : CharactersOf(text)) {
        const GlyphMask* glyph = Glyph(renderer, character);
        const int originX = pen + glyph->left;
        for (int row = 0; row < glyph->height; ++row) {
            const int py = box.top + row;
            if (py < visible.top || py >= visible.bottom) continue;
            uint32_t* line = dest.Row(py);
            const uint8_t* cover = glyph->coverage.data() + static_cast<size_t>(row) * glyph->width;
            const int from = std::max(0, visible.left - originX);
            const int to = std::min(glyph->width, visible.right - originX);
            for (int col = from; col < to; ++col) {
                const int weight = level * cover[col] / 255;
                if (weight > 0) {
                    // Text changes colours only; the bitmap keeps its own alpha.
                    uint32_t& pixel = line[originX + col];
                    pixel = (rows::FillOne(ink, pixel, weight, kModeCopy) & 0x00FFFFFFu) |
                            (pixel & 0xFF000000u);
                }
            }
        }
        pen += glyph->advance;
    }
}

}  // namespace raster
