#pragma once

#include <cstdint>

#include "gui/Rect.h"
#include "raster/Bitmap.h"
#include "raster/PixelRect.h"

// Line, curve and disc drawing in panel coordinates, kept inside one rectangle of the draw
// bitmap (the redraw's clip), so that a control redrawn for a neighbour's sake never paints
// over pixels that are not being refreshed. The window shares the draw bitmap's pixels.
class ClipCanvas : public raster::Bitmap {
public:
    ClipCanvas(raster::Bitmap* target, const Rect& clip);

    uint32_t* Pixels() override { return origin_; }
    const uint32_t* Pixels() const override { return origin_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int Span() const override { return span_; }
    bool IsBottomUp() const override { return false; }
    bool Resize(int, int) override { return false; }
    void* NativeContext() const override { return nullptr; }

    void Line(float x1, float y1, float x2, float y2, uint32_t colour, float weight, int mode,
              bool antialias);
    void QuadBezier(raster::PointF start, raster::PointF control, raster::PointF end,
                    uint32_t colour, float weight, int mode, bool antialias);
    void Disc(float cx, float cy, float radius, uint32_t colour, float weight, int mode);

private:
    raster::PointF Local(raster::PointF point) const;

    // Taken once: the drawing operations ask for them for every pixel they plot.
    Rect clip_;  // within the target; empty when nothing may be drawn
    uint32_t* origin_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int span_ = 0;
};
