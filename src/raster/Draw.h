#pragma once

#include <cstdint>

#include "raster/Bitmap.h"
#include "raster/BlendMode.h"
#include "raster/PixelRect.h"

namespace raster {

// Drawing operations. All of them clip to the destination and do nothing for a null or empty
// bitmap, an empty area or a weight that truncates to W = 0. Colours are packed pixels.

// Blits srcRect of src (the whole source when null) with its top-left at (x, y) of dest.
// Modes: kModeCopy, kModeAlphaCopy, kModeAlphaAdd, kModeAlphaDodge.
void Blit(Bitmap* dest, const Bitmap* src, int x, int y, const PixelRect* srcRect, float weight,
          int mode);

// Fills w x h pixels at (x, y). With kModeUseAlpha the weight is scaled by the colour's alpha.
void FillRect(Bitmap* dest, int x, int y, int w, int h, uint32_t colour, float weight, int mode);

// A straight line with both end points drawn; without antialiasing every pixel on it is blended
// like a one-pixel fill. Antialiased, each step along the line's longer axis shares the line
// between the two pixels it passes between, in proportion to how near it runs to each. With the
// fast paths off (FastPaths.h) the plain reference walk draws it, for tests to compare.
void DrawLine(Bitmap* dest, float x1, float y1, float x2, float y2, uint32_t colour, float weight,
              int mode, bool antialias);

// Quadratic Bezier from start through control to end, drawn as straight segments.
void DrawQuadBezier(Bitmap* dest, PointF start, PointF control, PointF end, uint32_t colour,
                    float weight, int mode, bool antialias);

// A solid disc of radius r around (cx, cy), blended like a fill.
void FillCircle(Bitmap* dest, float cx, float cy, float r, uint32_t colour, float weight, int mode);

}  // namespace raster
