#pragma once

#include <cstdint>

// Row loops of the drawing operations. Each picks a specialised loop when fast paths are on
// (FastPaths.h) and otherwise runs the per-pixel formulas of BlendOps.h; both give the same
// bytes. Weights are integer weights 1..256, already checked by the caller.
namespace raster::rows {

// Blit modes 0, 0x10000, 0x10001 and 0x10002; other modes blit like 0x10000 when they use the
// source's alpha and like 0 otherwise.
void BlitRow(uint32_t* dest, const uint32_t* src, int count, int weight, int mode);

// Fill with mode low byte 0 (copy), 1 (add) or 2 (dodge); others fill like mode 0.
void FillRow(uint32_t* dest, int count, uint32_t colour, int weight, int lowMode);

// One pixel of a fill, for lines and antialiased edges.
uint32_t FillOne(uint32_t colour, uint32_t dest, int weight, int lowMode);

}  // namespace raster::rows
