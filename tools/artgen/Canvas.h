#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "raster/MemBitmap.h"
#include "raster/TextRenderer.h"

namespace artgen {

// A straight (not premultiplied) colour, channels 0..1.
struct Colour {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;

    static Colour Hex(unsigned rgb, float alpha = 1.0f) {
        return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
                alpha};
    }
    Colour WithAlpha(float alpha) const { return {r, g, b, alpha}; }
    Colour Mix(const Colour& other, float t) const {
        return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t,
                a + (other.a - a) * t};
    }
};

// Signed distance in pixels from a point to a shape (negative inside), with the box outside of
// which the shape certainly is not.
struct Shape {
    std::function<float(float x, float y)> distance;
    float left = -1e9f;
    float top = -1e9f;
    float right = 1e9f;
    float bottom = 1e9f;
};
// The colour of a shape at a point.
using Paint = std::function<Colour(float x, float y)>;

Shape RoundRect(float left, float top, float right, float bottom, float radius);
Shape Circle(float cx, float cy, float radius);
Shape Ring(float cx, float cy, float radius, float halfWidth);
Shape Segment(float x1, float y1, float x2, float y2, float halfWidth);
Shape Polygon(std::vector<std::pair<float, float>> points);
Shape Intersect(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);

Paint Solid(Colour colour);
Paint VerticalGradient(float top, float bottom, Colour from, Colour to);
Paint RadialGradient(float cx, float cy, float radius, Colour centre, Colour edge);

enum class Align { kLeft, kCentre, kRight };

struct TextStyle {
    std::string face = "DejaVu Sans";
    float size = 20;  // pixel size of the font
    bool bold = false;
    Colour colour;
    Align align = Align::kLeft;
    float spacing = 0;  // extra pixels between letters
};

// A floating-point RGBA drawing surface (premultiplied inside) with antialiased shapes and text,
// written out as an 8-bit image. Shapes, text and offsets are given in design units; the
// surface holds scale pixels a unit, so one drawing comes out at any size.
class Canvas {
public:
    Canvas(int width, int height, float scale = 1.0f);

    // The size in design units.
    int Width() const { return width_; }
    int Height() const { return height_; }
    float Scale() const { return scale_; }

    void Fill(const Shape& shape, const Paint& paint);
    // A soft shape: coverage fades over blur units around the edge (shadows and glows).
    void FillSoft(const Shape& shape, const Paint& paint, float blur);
    void Clear(Colour colour);
    // Draws text with its baseline box top at y; x is the left edge, centre or right edge.
    void Text(const std::string& text, float x, float y, const TextStyle& style);
    float TextWidth(const std::string& text, const TextStyle& style) const;
    // Puts other's pixels at (x, y), replacing what is there.
    void Paste(const Canvas& other, int x, int y);
    // Composites other over this at (x, y).
    void Over(const Canvas& other, int x, int y);

    std::unique_ptr<raster::MemBitmap> ToBitmap() const;

    static void SetTextRenderer(raster::TextRenderer* renderer);

private:
    void Blend(int x, int y, const Colour& colour, float coverage);
    // Fills with coverage fading over blurPixels pixels around the edge.
    void FillPixels(const Shape& shape, const Paint& paint, float blurPixels);
    TextStyle Scaled(const TextStyle& style) const;

    int width_;
    int height_;
    float scale_;
    int pixelWidth_;
    int pixelHeight_;
    std::vector<float> pixels_;  // premultiplied r, g, b, a
};

}  // namespace artgen
