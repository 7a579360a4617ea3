#include "Icon.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "PngWriter.h"
#include "Style.h"

namespace artgen {

namespace {

using namespace style;

// The icon's geometry on a 64-unit square; both pictures are drawn from these. It is one of
// the panel's knobs: its value arc open at the bottom, the cap, and the pointer.
constexpr float kBox = 64;
constexpr float kPlateInset = 3;
constexpr float kPlateRadius = 13;
constexpr float kKnobX = 32;
constexpr float kKnobY = 34;
constexpr float kArcRadius = 20;
constexpr float kArcStroke = 7;
// Half the opening at the bottom of the arc, from the vertical, in degrees.
constexpr float kGapDegrees = 45;
constexpr float kCapRadius = 12;
constexpr float kPointerLength = 10;
constexpr float kPointerStroke = 3.5f;
// The pointer stands this far clockwise from the top, in degrees.
constexpr float kPointerDegrees = 50;

float Sine(float degrees) {
    return std::sin(degrees * 3.14159265f / 180);
}
float Cosine(float degrees) {
    return std::cos(degrees * 3.14159265f / 180);
}

std::string Hex(const Colour& colour) {
    auto channel = [](float c) { return static_cast<int>(std::lround(c * 255)); };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", channel(colour.r), channel(colour.g),
                  channel(colour.b));
    return text;
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

}  // namespace

std::unique_ptr<Canvas> DrawIcon(int size) {
    auto canvas = std::make_unique<Canvas>(size, size);
    const float s = static_cast<float>(size) / kBox;
    const float inset = kPlateInset * s, outset = (kBox - kPlateInset) * s;
    canvas->Fill(RoundRect(inset, inset, outset, outset, kPlateRadius * s),
                 VerticalGradient(inset, outset, kFrameFill, kPanelDeep));

    const float cx = kKnobX * s, cy = kKnobY * s, r = kArcRadius * s;
    const float half = kArcStroke / 2 * s;
    const float reach = 2 * r;  // past the arc's outer edge
    const Shape gap = Polygon({{cx, cy},
                               {cx + reach * Sine(kGapDegrees), cy + reach * Cosine(kGapDegrees)},
                               {cx, cy + reach},
                               {cx - reach * Sine(kGapDegrees), cy + reach * Cosine(kGapDegrees)}});
    const Paint accent = VerticalGradient(cy - r, cy + r, kAccent, kAccentDeep);
    canvas->Fill(Subtract(Ring(cx, cy, r, half), gap), accent);
    // Round ends where the arc opens.
    for (float side : {-1.0f, 1.0f}) {
        canvas->Fill(Circle(cx + side * r * Sine(kGapDegrees), cy + r * Cosine(kGapDegrees), half),
                     accent);
    }
    canvas->Fill(Circle(cx, cy, kCapRadius * s),
                 VerticalGradient(cy - kCapRadius * s, cy + kCapRadius * s, kLabel, kDim));
    const float length = kPointerLength * s;
    canvas->Fill(Segment(cx, cy, cx + length * Sine(kPointerDegrees),
                         cy - length * Cosine(kPointerDegrees), kPointerStroke / 2 * s),
                 Solid(kPanelDeep));
    return canvas;
}

std::string IconSvg() {
    const float endX = kArcRadius * Sine(kGapDegrees);
    const float endY = kKnobY + kArcRadius * Cosine(kGapDegrees);
    const float plate = kBox - 2 * kPlateInset;
    auto gradient = [](const char* id, float top, float bottom, const Colour& from,
                       const Colour& to) {
        return "    <linearGradient id=\"" + std::string(id) + "\" x1=\"0\" y1=\"" + Number(top) +
               "\" x2=\"0\" y2=\"" + Number(bottom) + "\" gradientUnits=\"userSpaceOnUse\">\n" +
               "      <stop offset=\"0\" stop-color=\"" + Hex(from) + "\"/>\n" +
               "      <stop offset=\"1\" stop-color=\"" + Hex(to) + "\"/>\n" +
               "    </linearGradient>\n";
    };
    std::string svg;
    svg +=
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
        "viewBox=\"0 0 64 64\">\n";
    svg += "  <defs>\n";
    svg += gradient("plate", kPlateInset, kBox - kPlateInset, kFrameFill, kPanelDeep);
    svg += gradient("arc", kKnobY - kArcRadius, kKnobY + kArcRadius, kAccent, kAccentDeep);
    svg += gradient("cap", kKnobY - kCapRadius, kKnobY + kCapRadius, kLabel, kDim);
    svg += "  </defs>\n";
    svg += "  <rect x=\"" + Number(kPlateInset) + "\" y=\"" + Number(kPlateInset) + "\" width=\"" +
           Number(plate) + "\" height=\"" + Number(plate) + "\" rx=\"" + Number(kPlateRadius) +
           "\" fill=\"url(#plate)\"/>\n";
    // Clockwise the long way round, from the opening's left end over the top to its right end.
    svg += "  <path d=\"M " + Number(kKnobX - endX) + " " + Number(endY) + " A " +
           Number(kArcRadius) + " " + Number(kArcRadius) + " 0 1 1 " + Number(kKnobX + endX) + " " +
           Number(endY) + "\" fill=\"none\" stroke=\"url(#arc)\" stroke-width=\"" +
           Number(kArcStroke) + "\" stroke-linecap=\"round\"/>\n";
    svg += "  <circle cx=\"" + Number(kKnobX) + "\" cy=\"" + Number(kKnobY) + "\" r=\"" +
           Number(kCapRadius) + "\" fill=\"url(#cap)\"/>\n";
    svg += "  <line x1=\"" + Number(kKnobX) + "\" y1=\"" + Number(kKnobY) + "\" x2=\"" +
           Number(kKnobX + kPointerLength * Sine(kPointerDegrees)) + "\" y2=\"" +
           Number(kKnobY - kPointerLength * Cosine(kPointerDegrees)) + "\" stroke=\"" +
           Hex(kPanelDeep) + "\" stroke-width=\"" + Number(kPointerStroke) +
           "\" stroke-linecap=\"round\"/>\n";
    svg += "</svg>\n";
    return svg;
}

bool WriteIcons(const std::string& folder) {
    bool written = true;
    for (int size : kIconSizes) {
        const std::string path = folder + "/icon-" + std::to_string(size) + ".png";
        if (!WritePng(*DrawIcon(size)->ToBitmap(), path, false)) {
            std::fprintf(stderr, "artgen: could not write %s\n", path.c_str());
            written = false;
        }
    }
    const std::string svgPath = folder + "/icon.svg";
    std::ofstream svg(svgPath, std::ios::binary);
    svg << IconSvg();
    if (!svg.flush()) {
        std::fprintf(stderr, "artgen: could not write %s\n", svgPath.c_str());
        written = false;
    }
    return written;
}

}  // namespace artgen
