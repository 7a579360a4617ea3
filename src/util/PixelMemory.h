#pragma once

#include <cstddef>

// Cleared memory for pixels, freed with std::free. A buffer of kLargePixelBytes or more that is
// written whole (the panel's surface, a picture drawn at once) is asked to be backed by the
// system's huge pages where it offers them: writing it then costs a few page faults instead of
// one every 4 KB, which on some machines takes longer than drawing the pixels. One written only
// in parts (a strip decoded frame by frame) keeps ordinary pages, so that only the parts written
// become resident. Null when the memory cannot be had.
void* AllocatePixels(size_t bytes, bool writtenWhole);

inline constexpr size_t kLargePixelBytes = size_t{2} << 20;
