#pragma once

#include <string>

#include "raster/Bitmap.h"

namespace artgen {

// Writes the bitmap as an 8-bit PNG, RGB (alpha dropped) or RGBA; the file is written beside
// its final name first and renamed into place. False when anything fails.
[[nodiscard]] bool WritePng(const raster::Bitmap& bitmap, const std::string& path, bool opaque);

}  // namespace artgen
