#include "Canvas.h"

#include <algorithm>

#include "raster/NativeFont.h"
#include "raster/Utf16Text.h"

namespace artgen {

namespace {

raster::TextRenderer* textRenderer = nullptr;

float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

raster::NativeFont FontOf(const TextStyle& style) {
    raster::NativeFont font;
    font.face = style.face;
    // The artwork's type is set by its em, not by the height of its line.
    font.height = -static_cast<int>(std::lround(style.size));
    font.weight = style.bold ? 700 : 400;
    font.quality = raster::kQualityAntialiased;
    return font;
}

}  // namespace

Shape RoundRect(float left, float top, float right, float bottom, float radius) {
    const float cx = (left + right) / 2;
    const float cy = (top + bottom) / 2;
    const float hx = (right - left) / 2;
    const float hy = (bottom - top) / 2;
    return {[=](float x, float y) {
                const float qx = std::abs(x - cx) - hx + radius;
                const float qy = std::abs(y - cy) - hy + radius;
                const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
                return outside + std::min(std::max(qx, qy), 0.0f) - radius;
            },
            left, top, right, bottom};
}

Shape Circle(float cx, float cy, float radius) {
    return {[=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; }, cx - radius,
            cy - radius, cx + radius, cy + radius};
}

Shape Ring(float cx, float cy, float radius, float halfWidth) {
    const float outer = radius + halfWidth;
    return {
        [=](float x, float y) { return std::abs(std::hypot(x - cx, y - cy) - radius) - halfWidth; },
        cx - outer, cy - outer, cx + outer, cy + outer};
}

Shape Segment(float x1, float y1, float x2, float y2, float halfWidth) {
    Shape shape;
    shape.left = std::min(x1, x2) - halfWidth;
    shape.right = std::max(x1, x2) + halfWidth;
    shape.top = std::min(y1, y2) - halfWidth;
    shape.bottom = std::max(y1, y2) + halfWidth;
    shape.distance = [=](float x, float y) {
        const float dx = x2 - x1;
        const float dy = y2 - y1;
        const float lengthSquared = dx * dx + dy * dy;
        float t = lengthSquared > 0 ? ((x - x1) * dx + (y - y1) * dy) / lengthSquared : 0;
        t = Clamp01(t);
        return std::hypot(x - (x1 + t * dx), y - (y1 + t * dy)) - halfWidth;
    };
    return shape;
}

Shape Polygon(std::vector<std::pair<float, float>> points) {
    Shape shape{nullptr, 1e9f, 1e9f, -1e9f, -1e9f};
    for (const auto& [px, py] : points) {
        shape.left = std::min(shape.left, px), shape.right = std::max(shape.right, px);
        shape.top = std::min(shape.top, py), shape.bottom = std::max(shape.bottom, py);
    }
    shape.distance = [points](float x, float y) {
        float best = 1e9f;
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto [xi, yi] = points[i];
            const auto [xj, yj] = points[j];
            const float ex = xj - xi;
            const float ey = yj - yi;
            const float t = Clamp01(((x - xi) * ex + (y - yi) * ey) / (ex * ex + ey * ey));
            best = std::min(best, std::hypot(x - (xi + t * ex), y - (yi + t * ey)));
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
        }
        return inside ? -best : best;
    };
    return shape;
}

Shape Intersect(Shape a, Shape b) {
    return {[a, b](float x, float y) { return std::max(a.distance(x, y), b.distance(x, y)); },
            std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

Shape Subtract(Shape a, Shape b) {
    return {[a, b](float x, float y) { return std::max(a.distance(x, y), -b.distance(x, y)); },
            a.left, a.top, a.right, a.bottom};
}

Paint Solid(Colour colour) {
    return [colour](float, float) { return colour; };
}

Paint VerticalGradient(float top, float bottom, Colour from, Colour to) {
    return [=](float, float y) { return from.Mix(to, Clamp01((y - top) / (bottom - top))); };
}

Paint RadialGradient(float cx, float cy, float radius, Colour centre, Colour edge) {
    return [=](float x, float y) {
        return centre.Mix(edge, Clamp01(std::hypot(x - cx, y - cy) / radius));
    };
}

Canvas::Canvas(int width, int height, float scale)
    : width_(width),
      height_(height),
      scale_(scale),
      pixelWidth_(static_cast<int>(std::lround(width * scale))),
      pixelHeight_(static_cast<int>(std::lround(height * scale))),
      pixels_(static_cast<size_t>(pixelWidth_) * pixelHeight_ * 4, 0.0f) {}

TextStyle Canvas::Scaled(const TextStyle& style) const {
    TextStyle scaled = style;
    scaled.size *= scale_;
    scaled.spacing *= scale_;
    return scaled;
}

void Canvas::SetTextRenderer(raster::TextRenderer* renderer) {
    textRenderer = renderer;
}

void Canvas::Clear(Colour colour) {
    for (size_t i = 0; i < pixels_.size(); i += 4) {
        pixels_[i] = colour.r * colour.a;
        pixels_[i + 1] = colour.g * colour.a;
        pixels_[i + 2] = colour.b * colour.a;
        pixels_[i + 3] = colour.a;
    }
}

void Canvas::Blend(int x, int y, const Colour& colour, float coverage) {
    if (x < 0 || y < 0 || x >= pixelWidth_ || y >= pixelHeight_) return;
    const float a = Clamp01(colour.a * coverage);
    if (a <= 0) return;
    float* p = &pixels_[(static_cast<size_t>(y) * pixelWidth_ + x) * 4];
    p[0] = colour.r * a + p[0] * (1 - a);
    p[1] = colour.g * a + p[1] * (1 - a);
    p[2] = colour.b * a + p[2] * (1 - a);
    p[3] = a + p[3] * (1 - a);
}

void Canvas::Fill(const Shape& shape, const Paint& paint) {
    // Edges are antialiased over one pixel at every scale.
    FillPixels(shape, paint, 1.0f);
}

void Canvas::FillSoft(const Shape& shape, const Paint& paint, float blur) {
    FillPixels(shape, paint, std::max(1.0f, blur * scale_));
}

void Canvas::FillPixels(const Shape& shape, const Paint& paint, float blur) {
    const float s = scale_;
    const int left = std::max(0, static_cast<int>(std::floor(shape.left * s - blur - 1)));
    const int top = std::max(0, static_cast<int>(std::floor(shape.top * s - blur - 1)));
    const int right =
        std::min(pixelWidth_, static_cast<int>(std::ceil(shape.right * s + blur + 1)));
    const int bottom =
        std::min(pixelHeight_, static_cast<int>(std::ceil(shape.bottom * s + blur + 1)));
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const float px = (x + 0.5f) / s;
            const float py = (y + 0.5f) / s;
            const float distance = shape.distance(px, py) * s;
            if (distance > blur) {
                // Skip ahead along the row by the known empty distance.
                x += std::max(0, static_cast<int>(distance - blur) - 1);
                continue;
            }
            const float coverage = Clamp01(0.5f - distance / blur);
            if (coverage > 0) Blend(x, y, paint(px, py), coverage);
        }
    }
}

float Canvas::TextWidth(const std::string& text, const TextStyle& style) const {
    if (textRenderer == nullptr) return 0;
    const raster::TextExtent extent =
        textRenderer->MeasureText(FontOf(Scaled(style)), raster::Utf16FromUtf8(text));
    size_t characters = 0;
    for (char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return extent.width / scale_ + style.spacing * (characters > 0 ? characters - 1 : 0);
}

void Canvas::Text(const std::string& text, float x, float y, const TextStyle& style) {
    if (textRenderer == nullptr || text.empty()) return;
    const raster::NativeFont font = FontOf(Scaled(style));
    const float width = TextWidth(text, style);
    float left = x;
    if (style.align == Align::kCentre) left = x - width / 2;
    if (style.align == Align::kRight) left = x - width;
    // Letter-spaced text is set one character at a time.
    std::vector<std::string> pieces;
    if (style.spacing != 0) {
        // Split between characters, never inside a UTF-8 sequence.
        for (size_t i = 0; i < text.size(); ++i) {
            if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80 && !pieces.empty()) {
                pieces.back() += text[i];
            } else {
                pieces.emplace_back(1, text[i]);
            }
        }
    } else {
        pieces.push_back(text);
    }
    float pen = left * scale_;
    for (const std::string& piece : pieces) {
        const std::u16string utf16 = raster::Utf16FromUtf8(piece);
        const raster::TextExtent extent = textRenderer->MeasureText(font, utf16);
        const int pad = 4;
        raster::MemBitmap mask(extent.width + 2 * pad, extent.height + 2 * pad);
        for (int row = 0; row < mask.Height(); ++row) {
            std::fill_n(mask.Row(row), mask.Width(), 0x00FFFFFFu);
        }
        textRenderer->RenderText(font, utf16, 0xFFFFFFFF, mask, pad, pad);
        const int originX = static_cast<int>(std::lround(pen)) - pad;
        const int originY = static_cast<int>(std::lround(y * scale_)) - pad;
        for (int row = 0; row < mask.Height(); ++row) {
            for (int col = 0; col < mask.Width(); ++col) {
                const float coverage = (mask.Row(row)[col] >> 24) / 255.0f;
                if (coverage > 0) Blend(originX + col, originY + row, style.colour, coverage);
            }
        }
        pen += extent.width + style.spacing * scale_;
    }
}

void Canvas::Paste(const Canvas& other, int x, int y) {
    const int left = static_cast<int>(std::lround(x * scale_));
    const int top = static_cast<int>(std::lround(y * scale_));
    for (int row = 0; row < other.pixelHeight_; ++row) {
        const int ty = top + row;
        if (ty < 0 || ty >= pixelHeight_) continue;
        for (int col = 0; col < other.pixelWidth_; ++col) {
            const int tx = left + col;
            if (tx < 0 || tx >= pixelWidth_) continue;
            std::copy_n(&other.pixels_[(static_cast<size_t>(row) * other.pixelWidth_ + col) * 4], 4,
                        &pixels_[(static_cast<size_t>(ty) * pixelWidth_ + tx) * 4]);
        }
    }
}

void Canvas::Over(const Canvas& other, int x, int y) {
    const int left = static_cast<int>(std::lround(x * scale_));
    const int top = static_cast<int>(std::lround(y * scale_));
    for (int row = 0; row < other.pixelHeight_; ++row) {
        for (int col = 0; col < other.pixelWidth_; ++col) {
            const float* s =
                &other.pixels_[(static_cast<size_t>(row) * other.pixelWidth_ + col) * 4];
            if (s[3] <= 0) continue;
            const int tx = left + col;
            const int ty = top + row;
            if (tx < 0 || ty < 0 || tx >= pixelWidth_ || ty >= pixelHeight_) continue;
            float* d = &pixels_[(static_cast<size_t>(ty) * pixelWidth_ + tx) * 4];
            for (int k = 0; k < 4; ++k)
                d[k] = s[k] + d[k] * (1 - s[3]);
        }
    }
}

std::unique_ptr<raster::MemBitmap> Canvas::ToBitmap() const {
    auto bitmap = std::make_unique<raster::MemBitmap>(pixelWidth_, pixelHeight_);
    for (int y = 0; y < pixelHeight_; ++y) {
        uint32_t* row = bitmap->Row(y);
        for (int x = 0; x < pixelWidth_; ++x) {
            const float* p = &pixels_[(static_cast<size_t>(y) * pixelWidth_ + x) * 4];
            const float a = Clamp01(p[3]);
            auto channel = [&](float v) {
                return static_cast<uint32_t>(std::lround(Clamp01(a > 0 ? v / a : 0) * 255));
            };
            row[x] = static_cast<uint32_t>(std::lround(a * 255)) << 24 | channel(p[0]) << 16 |
                     channel(p[1]) << 8 | channel(p[2]);
        }
    }
    return bitmap;
}

}  // namespace artgen
