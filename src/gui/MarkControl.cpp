#include "gui/MarkControl.h"

#include <algorithm>

#include "gui/ClipCanvas.h"
#include "gui/Graphics.h"
#include "raster/BlendMode.h"

MarkControl::MarkControl(PluginBase* core, const Rect& rect, const ColorARGB& colour)
    : Control(core, rect, -1), colour_(colour) {
    Hide(true);
}

bool MarkControl::Draw(Graphics& graphics) {
    ClipCanvas canvas(graphics.DrawBitmap(), graphics.DrawRect());
    const float cx = (drawRect_.L + drawRect_.R) / 2.0f;
    const float cy = (drawRect_.T + drawRect_.B) / 2.0f;
    const float radius = std::min(drawRect_.Width(), drawRect_.Height()) / 2.0f;
    // The disc is drawn without antialiasing: a half-weight ring of half a pixel softens its
    // edge, so that a mark of a few pixels reads as round at every zoom.
    canvas.Disc(cx, cy, radius, colour_.Packed(), 0.5f, raster::kModeCopy);
    canvas.Disc(cx, cy, radius - 0.6f, colour_.Packed(), 1.0f, raster::kModeCopy);
    return true;
}

bool MarkControl::HitTest(int x, int y) const {
    (void)x;
    (void)y;
    return false;
}
