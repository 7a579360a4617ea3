#include "PanelArtwork.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "raster/BlendMode.h"
#include "raster/Draw.h"
#include "raster/Pixel.h"
#include "raster/PngImage.h"

namespace {

constexpr std::array<PanelImage, 32> kImages{{
    {102, "resources/img/background-2x.png", 1, 2048, 1600},
    {103, "resources/img/about-2x.png", 1, 2048, 1660},
    {104, "resources/img/keys-2x.png", 12, 196, 1680},
    {105, "resources/img/bgkb-2x.png", 1, 196, 140},
    {106, "resources/img/vslideryellow-2x.png", 128, 64, 51200},
    {107, "resources/img/vsliderred-2x.png", 128, 64, 51200},
    {108, "resources/img/knobwhite-2x.png", 31, 64, 1984},
    {109, "resources/img/fopen-2x.png", 1, 162, 32},
    {110, "resources/img/invisbtn-2x.png", 2, 48, 96},
    {111, "resources/img/fxbgbypass-2x.png", 1, 980, 312},
    {112, "resources/img/fxbgmod-2x.png", 1, 980, 312},
    {113, "resources/img/fxbgdrive-2x.png", 1, 980, 312},
    {114, "resources/img/fxbgeq-2x.png", 1, 980, 312},
    {115, "resources/img/titlebassvcf-2x.png", 1, 118, 12},
    {116, "resources/img/fwriteall-2x.png", 2, 162, 64},
    {117, "resources/img/sevenseg-2x.png", 100, 80, 6000},
    {118, "resources/img/vsliderred2-2x.png", 2, 64, 800},
    {119, "resources/img/vsliderred4-2x.png", 4, 64, 1600},
    {121, "resources/img/knobwhite4-2x.png", 4, 64, 256},
    {122, "resources/img/knobwhite5-2x.png", 5, 64, 320},
    {123, "resources/img/knobwhite13-2x.png", 13, 64, 832},
    {124, "resources/img/knobwhite17-2x.png", 17, 64, 1088},
    {125, "resources/img/copy-2x.png", 2, 120, 220},
    {126, "resources/img/default-2x.png", 2, 112, 64},
    {127, "resources/img/random-2x.png", 2, 112, 64},
    {128, "resources/img/reset-2x.png", 2, 112, 64},
    {129, "resources/img/selectall-2x.png", 2, 84, 100},
    {130, "resources/img/clearall-2x.png", 2, 84, 100},
    {131, "resources/img/checkbox-2x.png", 2, 24, 48},
    {132, "resources/img/fxbgeq2-2x.png", 1, 980, 312},
    {133, "resources/img/button-2x.png", 2, 40, 80},
}};

constexpr int kKeyLeft2x[12] = {0, 18, 28, 50, 56, 84, 102, 112, 132, 140, 162, 168};

void Fill(raster::MemBitmap& b, int x, int y, int w, int h, uint32_t colour) {
    raster::FillRect(&b, x, y, w, h, colour, 1.0f, raster::kModeCopy);
}

void Clear(raster::MemBitmap& b) {
    Fill(b, 0, 0, b.Width(), b.Height(), 0);
}

void Background(raster::MemBitmap& b) {
    for (int y = 0; y < b.Height(); ++y) {
        const uint32_t shade = 40 + y * 24 / b.Height();
        for (int x = 0; x < b.Width(); ++x)
            b.Row(y)[x] = raster::MakePixel(255, shade, shade + 2, shade + 6);
    }
    // Section panels: oscillator rows on the left, filter and envelopes on the right.
    for (int row = 0; row < 4; ++row)
        Fill(b, 16, 110 + row * 314, 1000, 290, 0xFF383C44);
    for (int row = 0; row < 3; ++row)
        Fill(b, 1024, 110 + row * 314, 1008, 290, 0xFF3A3A40);
    Fill(b, 0, 0, 2048, 100, 0xFF22252B);
    Fill(b, 0, 1440, 2048, 160, 0xFF1E2024);
}

void Knob(raster::MemBitmap& b, int frames) {
    Clear(b);
    const int size = b.Width();
    for (int f = 0; f < frames; ++f) {
        const float cx = size / 2.0f, cy = f * size + size / 2.0f;
        raster::FillCircle(&b, cx, cy, size * 0.42f, 0xFF202020, 1.0f, raster::kModeAlphaCopy);
        raster::FillCircle(&b, cx, cy, size * 0.36f, 0xFFE6E6E6, 1.0f, raster::kModeAlphaCopy);
        const double turn = frames < 2 ? 0.0 : static_cast<double>(f) / (frames - 1);
        const double angle = (-135.0 + 270.0 * turn) * 3.14159265358979 / 180.0;
        const float ex = cx + static_cast<float>(std::sin(angle)) * size * 0.34f;
        const float ey = cy - static_cast<float>(std::cos(angle)) * size * 0.34f;
        for (int w = -2; w <= 2; ++w) {
            raster::DrawLine(&b, cx + w * 0.5f, cy, ex + w * 0.5f, ey, 0xFF101010, 1.0f,
                             raster::kModeAlphaCopy, true);
        }
    }
}

void Slider(raster::MemBitmap& b, int frames, uint32_t cap) {
    Clear(b);
    const int w = b.Width(), h = b.Height() / frames;
    for (int f = 0; f < frames; ++f) {
        const int top = f * h;
        Fill(b, w / 2 - 3, top + 16, 6, h - 32, 0xFF101010);
        const double level = frames < 2 ? 0.0 : static_cast<double>(f) / (frames - 1);
        const int capY = top + 16 + static_cast<int>((1.0 - level) * (h - 32 - 28));
        Fill(b, 6, capY, w - 12, 28, 0xFF000000);
        Fill(b, 8, capY + 2, w - 16, 24, cap);
        Fill(b, 8, capY + 12, w - 16, 4, 0xFF202020);
    }
}

void TwoState(raster::MemBitmap& b, int frames, uint32_t off, uint32_t on) {
    Clear(b);
    const int h = b.Height() / frames;
    for (int f = 0; f < frames; ++f) {
        Fill(b, 0, f * h, b.Width(), h, 0xFF101010);
        Fill(b, 2, f * h + 2, b.Width() - 4, h - 4, f == 0 ? off : on);
    }
}

// One digit of a seven-segment display, segments a..g, into a cell at (x, y).
void Digit(raster::MemBitmap& b, int x, int y, int digit) {
    static const uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                          0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const uint8_t on = kSegments[digit % 10];
    const int w = 28, h = 24, t = 4;
    const struct {
        int x, y, w, h;
    } seg[7] = {{t, 0, w, t},           {w + t, t, t, h},     {w + t, 2 * t + h, t, h},
                {t, 2 * (t + h), w, t}, {0, 2 * t + h, t, h}, {0, t, t, h},
                {t, t + h, w, t}};
    for (int s = 0; s < 7; ++s) {
        const uint32_t colour = (on >> s & 1) ? 0xFFFF3020 : 0xFF301010;
        Fill(b, x + seg[s].x, y + seg[s].y, seg[s].w, seg[s].h, colour);
    }
}

void SevenSegment(raster::MemBitmap& b) {
    const int h = b.Height() / 100;
    for (int f = 0; f < 100; ++f) {
        Fill(b, 0, f * h, b.Width(), h, 0xFF100808);
        Digit(b, 2, f * h + 2, f / 10);
        Digit(b, 42, f * h + 2, f % 10);
    }
}

void Octave(raster::MemBitmap& b, int frames) {
    const int h = b.Height() / frames;
    for (int f = 0; f < frames; ++f) {
        const int top = f * h;
        Fill(b, 0, top, b.Width(), h, 0xFF000000);
        for (int white = 0; white < 7; ++white)
            Fill(b, white * 28 + 1, top, 26, h - 2, 0xFFF4F4F0);
        for (int s : {1, 3, 6, 8, 10})
            Fill(b, kKeyLeft2x[s], top, 20, 84, 0xFF181818);
        if (frames < 12) continue;
        // Frame f shows semitone f held down.
        const bool black = f == 1 || f == 3 || f == 6 || f == 8 || f == 10;
        if (black) {
            Fill(b, kKeyLeft2x[f] + 2, top, 16, 80, 0xFF3060C0);
        } else {
            const int white = f < 5 ? f / 2 : (f + 1) / 2;
            Fill(b, white * 28 + 1, top + 88, 26, h - 92, 0xFF80A0E0);
        }
    }
}

void Plate(raster::MemBitmap& b, uint32_t colour, uint8_t alpha) {
    const uint32_t tinted = (colour & 0xFFFFFF) | static_cast<uint32_t>(alpha) << 24;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x)
            b.Row(y)[x] = tinted;
    }
    Fill(b, 8, 8, b.Width() - 16, 4, 0xFF808080);
}

void DrawStandIn(raster::MemBitmap& b, const PanelImage& image) {
    switch (image.id) {
        case 102:
            return Background(b);
        case 103:
            return Plate(b, 0x101820, 230);
        case 104:
            return Octave(b, 12);
        case 105:
            return Octave(b, 1);
        case 106:
            return Slider(b, image.frames, 0xFFF0D020);
        case 107:
        case 118:
        case 119:
            return Slider(b, image.frames, 0xFFE03020);
        case 108:
        case 121:
        case 122:
        case 123:
        case 124:
            return Knob(b, image.frames);
        case 111:
            return Plate(b, 0x303438, 255);
        case 112:
            return Plate(b, 0x203848, 255);
        case 113:
            return Plate(b, 0x482820, 255);
        case 114:
        case 132:
            return Plate(b, 0x284030, 255);
        case 115:
            return Plate(b, 0xC0C0C0, 255);
        case 117:
            return SevenSegment(b);
        case 133:
            return TwoState(b, image.frames, 0xFF505050, 0xFFE03020);
        case 131:
            return TwoState(b, image.frames, 0xFF303030, 0xFFF0D020);
        default:
            return TwoState(b, image.frames, 0xFF404850, 0xFF8090A0);
    }
}

}  // namespace

const PanelImage* PanelImageFor(int id) {
    for (const PanelImage& image : kImages) {
        if (image.id == id) return &image;
    }
    return nullptr;
}

int PanelImageCount() {
    return static_cast<int>(kImages.size());
}
const PanelImage& PanelImageAt(int i) {
    return kImages[static_cast<size_t>(i)];
}

bool ArtworkBuiltIn() {
    static const bool builtIn = raster::LoadPngResource(102) != nullptr;
    return builtIn;
}

std::unique_ptr<raster::MemBitmap> PanelArtwork(int id) {
    const PanelImage* image = PanelImageFor(id);
    if (image == nullptr) return nullptr;
    if (ArtworkBuiltIn()) {
        if (auto decoded = raster::LoadPngResource(id)) return decoded;
    }
    auto bitmap = std::make_unique<raster::MemBitmap>(image->width, image->height);
    if (!bitmap->HasPixels()) return nullptr;
    DrawStandIn(*bitmap, *image);
    return bitmap;
}
