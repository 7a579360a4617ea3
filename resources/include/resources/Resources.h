#pragma once

#include <cstdint>
#include <span>

namespace resources {

// Raw data resource: the user guide, written beside the settings file for the PDF viewer.
inline constexpr int kUserGuideId = 101;
inline constexpr const char* kUserGuideFileName = "Orvo_userguide-V122.pdf";

// The bytes the build embedded under id (the panel's PNG images 102.. and the user guide 101),
// or an empty span when nothing was embedded under it. An image comes at the panel's size
// (factor 1) and at kLargeImageFactor times it (ResourceTable.h).
std::span<const uint8_t> FindResource(int id, int factor = 1);

}  // namespace resources
