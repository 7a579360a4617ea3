#pragma once

#include <string>
#include <vector>

#include "raster/Bitmap.h"

namespace artgen {

// Writes the bitmap as an 8-bit PNG, RGB (alpha dropped) or RGBA; the file is written beside
// its final name first and renamed into place. At each of restartRows (ascending, inside the
// image) the compressed data starts afresh, listed in the image's restart chunk
// (raster::PngRestarts), so that the panel can decode a frame of a strip without those above
// it. False when anything fails.
[[nodiscard]] bool WritePng(const raster::Bitmap& bitmap, const std::string& path, bool opaque,
                            const std::vector<int>& restartRows = {});

}  // namespace artgen
