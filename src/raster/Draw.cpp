#include "raster/Draw.h"

namespace raster {

void Blit(Bitmap*, const Bitmap*, int, int, const PixelRect*, float, int) {}
void FillRect(Bitmap*, int, int, int, int, uint32_t, float, int) {}
void DrawLine(Bitmap*, float, float, float, float, uint32_t, float, int, bool) {}
void DrawQuadBezier(Bitmap*, PointF, PointF, PointF, uint32_t, float, int, bool) {}
void FillCircle(Bitmap*, float, float, float, uint32_t, float, int) {}

}  // namespace raster
