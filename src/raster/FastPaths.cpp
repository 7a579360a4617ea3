#include "raster/FastPaths.h"

#include <atomic>

namespace raster {

namespace {
std::atomic<bool> fastPathsEnabled{true};
}

void SetFastPathsEnabled(bool enabled) { fastPathsEnabled.store(enabled, std::memory_order_relaxed); }

bool FastPathsEnabled() { return fastPathsEnabled.load(std::memory_order_relaxed); }

}  // namespace raster
