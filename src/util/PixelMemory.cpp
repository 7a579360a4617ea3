#include "util/PixelMemory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

void* AllocatePixels(size_t bytes, bool writtenWhole) {
    if (!writtenWhole || bytes < kLargePixelBytes) return std::calloc(bytes, 1);
    // Whole huge pages, aligned to their size, so that none of the buffer falls outside them.
    const size_t rounded = (bytes + kLargePixelBytes - 1) / kLargePixelBytes * kLargePixelBytes;
    void* memory = nullptr;
    if (posix_memalign(&memory, kLargePixelBytes, rounded) != 0) return nullptr;
    // Only advice: without huge pages the buffer works the same.
    madvise(memory, rounded, MADV_HUGEPAGE);
    // Memory the heap had before is not clear.
    std::memset(memory, 0, bytes);
    return memory;
}
