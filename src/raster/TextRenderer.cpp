#include "raster/TextRenderer.h"

#include <atomic>

namespace raster {

namespace {
std::atomic<TextRenderer*> currentRenderer{nullptr};
}

void SetTextRenderer(TextRenderer* renderer) {
    currentRenderer.store(renderer);
}

TextRenderer* CurrentTextRenderer() {
    return currentRenderer.load();
}

}  // namespace raster
