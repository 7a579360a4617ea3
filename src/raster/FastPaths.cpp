#include "raster/FastPaths.h"

#include <atomic>

namespace raster {

namespace {
std::atomic<bool> fastPathsEnabled{true};
std::atomic<bool> wideVectorsEnabled{true};
}  // namespace

void SetFastPathsEnabled(bool enabled) {
    fastPathsEnabled.store(enabled, std::memory_order_relaxed);
}

bool FastPathsEnabled() {
    return fastPathsEnabled.load(std::memory_order_relaxed);
}

void SetWideVectorsEnabled(bool enabled) {
    wideVectorsEnabled.store(enabled, std::memory_order_relaxed);
}

bool WideVectorsEnabled() {
    return wideVectorsEnabled.load(std::memory_order_relaxed);
}

}  // namespace raster
