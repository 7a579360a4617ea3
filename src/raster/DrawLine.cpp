#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "raster/Draw.h"
#include "raster/DrawWeight.h"
#include "raster/FastPaths.h"
#include "raster/RowKernels.h"

namespace raster {

namespace {

bool Finite(float a, float b, float c, float d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Blends one pixel like a one-pixel fill; (major, minor) are swapped back for steep lines.
struct LinePlotter {
    Bitmap& dest;
    uint32_t colour;
    int level;
    int lowMode;
    bool steep;

    void Plot(double major, double minor, double coverage) const {
        const double px = steep ? minor : major;
        const double py = steep ? major : minor;
        if (px < 0 || py < 0 || px >= dest.Width() || py >= dest.Height()) return;
        const int weight = coverage >= 1.0 ? level : static_cast<int>(level * coverage);
        if (weight <= 0) return;
        uint32_t& pixel = dest.Row(static_cast<int>(py))[static_cast<int>(px)];
        pixel = rows::FillOne(colour, pixel, weight, lowMode);
    }
};

// The plain path of a line: every step of the segment along its major axis (only kept within a
// pixel of the bitmap, so that a line far outside cannot run for ever), each pixel plotted or
// skipped one by one. DrawLine's clipped walk must give the same bytes.
void DrawLineReference(Bitmap& dest, double ax, double ay, double bx, double by, uint32_t colour,
                       int level, int mode, bool antialias) {
    const bool steep = std::abs(by - ay) > std::abs(bx - ax);
    if (steep) std::swap(ax, ay), std::swap(bx, by);
    if (ax > bx) std::swap(ax, bx), std::swap(ay, by);
    const LinePlotter plotter{dest, colour, level, mode & 0xFF, steep};
    const double majorExtent = steep ? dest.Height() : dest.Width();
    const double slope = bx - ax > 0 ? (by - ay) / (bx - ax) : 0.0;
    const double first = std::max(std::floor(ax + 0.5), -1.0);
    const double last = std::min(std::floor(bx + 0.5), majorExtent);
    for (double major = first; major <= last; major += 1.0) {
        const double minor = ay + slope * (major - ax);
        if (!antialias) {
            plotter.Plot(major, std::floor(minor + 0.5), 1.0);
            continue;
        }
        // The line's share of the two pixels it passes between.
        const double below = std::floor(minor);
        plotter.Plot(major, below, 1.0 - (minor - below));
        plotter.Plot(major, below + 1, minor - below);
    }
}

}  // namespace

void DrawLine(Bitmap* dest, float x1, float y1, float x2, float y2, uint32_t colour, float weight,
              int mode, bool antialias) {
    if (dest == nullptr || !dest->HasPixels() || !Finite(x1, y1, x2, y2)) return;
    const int level = FillWeight(weight, colour, mode);
    if (level == 0) return;
    if (!FastPathsEnabled()) {
        const bool snap = !antialias;
        auto at = [snap](float v) { return snap ? std::floor(v + 0.5) : static_cast<double>(v); };
        DrawLineReference(*dest, at(x1), at(y1), at(x2), at(y2), colour, level, mode, antialias);
        return;
    }
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (!antialias) {
        ax = std::floor(ax + 0.5), ay = std::floor(ay + 0.5);
        bx = std::floor(bx + 0.5), by = std::floor(by + 0.5);
    }
    const bool steep = std::abs(by - ay) > std::abs(bx - ax);
    if (steep) std::swap(ax, ay), std::swap(bx, by);
    if (ax > bx) std::swap(ax, bx), std::swap(ay, by);
    const LinePlotter plotter{*dest, colour, level, mode & 0xFF, steep};
    const double majorExtent = steep ? dest->Height() : dest->Width();
    const double minorExtent = steep ? dest->Width() : dest->Height();
    if (std::min(ay, by) >= minorExtent + 1 || std::max(ay, by) < -1) return;

    // Walk the major axis one pixel at a time, only where it crosses the bitmap.
    const double first = std::max(std::floor(ax + 0.5), 0.0);
    const double last = std::min(std::floor(bx + 0.5), majorExtent - 1);
    const double run = bx - ax;
    const double slope = run > 0 ? (by - ay) / run : 0.0;
    for (double major = first; major <= last; major += 1.0) {
        const double minor = ay + slope * (major - ax);
        if (antialias) {
            const double base = std::floor(minor);
            const double frac = minor - base;
            plotter.Plot(major, base, 1.0 - frac);
            plotter.Plot(major, base + 1, frac);
        } else {
            plotter.Plot(major, std::floor(minor + 0.5), 1.0);
        }
    }
}

namespace {

PointF PointAt(PointF p0, PointF p1, PointF p2, double t) {
    const double u = 1.0 - t;
    return {static_cast<float>(u * u * p0.x + 2 * t * u * p1.x + t * t * p2.x),
            static_cast<float>(u * u * p0.y + 2 * t * u * p1.y + t * t * p2.y)};
}

// Adds the t in (0, 1) where the curve's x equals border.
int CrossingsAt(double border, double x0, double x1, double x2, double* out) {
    const double a = x0 - 2 * x1 + x2;
    const double b = 2 * (x1 - x0);
    const double c = x0 - border;
    int found = 0;
    auto keep = [&](double t) {
        if (t > 0.0 && t < 1.0) out[found++] = t;
    };
    if (std::abs(a) < 1e-12) {
        if (std::abs(b) > 1e-12) keep(-c / b);
        return found;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) return 0;
    const double root = std::sqrt(disc);
    keep((-b - root) / (2 * a));
    keep((-b + root) / (2 * a));
    return found;
}

// Enough segments for any visible curve; beyond it a curve far off the bitmap would only cost.
constexpr double kMaxBezierSegments = 16384;

}  // namespace

void DrawQuadBezier(Bitmap* dest, PointF start, PointF control, PointF end, uint32_t colour,
                    float weight, int mode, bool antialias) {
    if (dest == nullptr || !dest->HasPixels()) return;
    if (!Finite(start.x, start.y, control.x, control.y) || !Finite(end.x, end.y, 0, 0)) return;
    const double length = std::hypot(control.x - start.x, control.y - start.y) +
                          std::hypot(end.x - control.x, end.y - control.y);
    const double segments = std::clamp(std::ceil(length), 1.0, kMaxBezierSegments);

    // Cut the parts left of x = 0 and right of the bitmap before splitting into segments.
    double cuts[6] = {0.0};
    int cutCount = 1;
    cutCount += CrossingsAt(0.0, start.x, control.x, end.x, cuts + cutCount);
    cutCount += CrossingsAt(dest->Width(), start.x, control.x, end.x, cuts + cutCount);
    cuts[cutCount++] = 1.0;
    for (int i = 1; i < cutCount; ++i) {
        for (int j = i; j > 0 && cuts[j] < cuts[j - 1]; --j)
            std::swap(cuts[j], cuts[j - 1]);
    }
    for (int piece = 0; piece + 1 < cutCount; ++piece) {
        const double t0 = cuts[piece];
        const double t1 = cuts[piece + 1];
        if (t1 <= t0) continue;
        const PointF middle = PointAt(start, control, end, (t0 + t1) / 2);
        if (middle.x < 0 || middle.x > dest->Width()) continue;
        const int steps = static_cast<int>(std::max(1.0, std::ceil(segments * (t1 - t0))));
        PointF from = PointAt(start, control, end, t0);
        for (int i = 1; i <= steps; ++i) {
            const PointF to = PointAt(start, control, end, t0 + (t1 - t0) * i / steps);
            DrawLine(dest, from.x, from.y, to.x, to.y, colour, weight, mode, antialias);
            from = to;
        }
    }
}

void FillCircle(Bitmap* dest, float cx, float cy, float r, uint32_t colour, float weight,
                int mode) {
    if (dest == nullptr || !dest->HasPixels() || !Finite(cx, cy, r, 0) || r < 0) return;
    const int level = FillWeight(weight, colour, mode);
    if (level == 0) return;
    const double width = dest->Width();
    const double height = dest->Height();
    if (cx + r < -2 || cy + r < -2 || cx - r > width + 1 || cy - r > height + 1) return;
    const double top = std::max(std::ceil(double{cy} - r), 0.0);
    const double bottom = std::min(std::floor(double{cy} + r), height - 1);
    for (double y = top; y <= bottom; y += 1.0) {
        const double half = std::sqrt(std::max(0.0, double{r} * r - (y - cy) * (y - cy)));
        const double left = std::max(std::ceil(cx - half), 0.0);
        const double right = std::min(std::floor(cx + half), width - 1);
        if (right < left) continue;
        rows::FillRow(dest->Row(static_cast<int>(y)) + static_cast<int>(left),
                      static_cast<int>(right - left) + 1, colour, level, mode & 0xFF);
    }
}

}  // namespace raster
