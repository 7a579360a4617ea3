#include "gui/ClipCanvas.h"

#include "raster/Draw.h"

ClipCanvas::ClipCanvas(raster::Bitmap* target, const Rect& clip) {
    if (target == nullptr || !target->HasPixels() || target->IsBottomUp()) return;
    clip_ = clip.Intersection({0, 0, target->Width(), target->Height()});
    if (clip_.IsEmpty()) return;
    origin_ = target->Row(clip_.T) + clip_.L;
    width_ = clip_.Width();
    height_ = clip_.Height();
    span_ = target->Span();
}

raster::PointF ClipCanvas::Local(raster::PointF point) const {
    return {point.x - static_cast<float>(clip_.L), point.y - static_cast<float>(clip_.T)};
}

void ClipCanvas::Line(float x1, float y1, float x2, float y2, uint32_t colour, float weight,
                      int mode, bool antialias) {
    if (!HasPixels()) return;
    const raster::PointF a = Local({x1, y1}), b = Local({x2, y2});
    raster::DrawLine(this, a.x, a.y, b.x, b.y, colour, weight, mode, antialias);
}

void ClipCanvas::QuadBezier(raster::PointF start, raster::PointF control, raster::PointF end,
                            uint32_t colour, float weight, int mode, bool antialias) {
    if (!HasPixels()) return;
    raster::DrawQuadBezier(this, Local(start), Local(control), Local(end), colour, weight, mode,
                           antialias);
}

void ClipCanvas::Disc(float cx, float cy, float radius, uint32_t colour, float weight, int mode) {
    if (!HasPixels()) return;
    const raster::PointF centre = Local({cx, cy});
    raster::FillCircle(this, centre.x, centre.y, radius, colour, weight, mode);
}
