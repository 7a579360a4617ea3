#pragma once

#include "raster/Bitmap.h"

// Renders an image strip at another size, each frame on its own so that frames never bleed into
// each other. Every target pixel averages a box of ceil(source / target) bilinear samples per
// axis, starting at (source / target) x index; neighbours outside the frame count as 0 in all
// four channels, and each channel's average is truncated.
//
// frameCount frames lie along x when framesHorizontal, else along y; frame k begins at
// FrameOffset (ImageStrip.h) in both the source and the target. The target keeps its size.
void ResampleStrip(const raster::Bitmap& source, int frameCount, bool framesHorizontal,
                   raster::Bitmap& target);
// Frame k alone of the strip above: what ResampleStrip writes there, and nothing else.
void ResampleFrame(const raster::Bitmap& source, int frameCount, bool framesHorizontal,
                   raster::Bitmap& target, int frame);

// The same filter for one rectangle of source onto one of target, for the frames above and for
// tests: (sx, sy, sw, sh) of source become (tx, ty, tw, th) of target.
void ResampleArea(const raster::Bitmap& source, int sx, int sy, int sw, int sh,
                  raster::Bitmap& target, int tx, int ty, int tw, int th);
