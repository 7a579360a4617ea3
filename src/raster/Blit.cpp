#include <algorithm>
#include <cstdint>
#include <vector>

#include "raster/Draw.h"
#include "raster/DrawWeight.h"
#include "raster/RowKernels.h"

namespace raster {

void Blit(Bitmap* dest, const Bitmap* src, int x, int y, const PixelRect* srcRect, float weight,
          int mode) {
    if (dest == nullptr || src == nullptr || !dest->HasPixels() || !src->HasPixels()) return;
    const int w = FillWeight(weight, 0, kModeCopy);
    if (w == 0) return;

    int64_t left = srcRect ? srcRect->left : 0;
    int64_t top = srcRect ? srcRect->top : 0;
    int64_t right = srcRect ? srcRect->right : src->Width();
    int64_t bottom = srcRect ? srcRect->bottom : src->Height();
    int64_t destX = x;
    int64_t destY = y;
    // A source rectangle reaching outside the source keeps its pixels where they would land.
    if (left < 0) destX -= left, left = 0;
    if (top < 0) destY -= top, top = 0;
    right = std::min<int64_t>(right, src->Width());
    bottom = std::min<int64_t>(bottom, src->Height());
    if (destX < 0) left -= destX, destX = 0;
    if (destY < 0) top -= destY, destY = 0;
    right = std::min(right, left + dest->Width() - destX);
    bottom = std::min(bottom, top + dest->Height() - destY);
    if (right <= left || bottom <= top) return;

    const int width = static_cast<int>(right - left);
    const int height = static_cast<int>(bottom - top);
    const int srcLeft = static_cast<int>(left);
    const int srcTop = static_cast<int>(top);
    const int dx = static_cast<int>(destX);
    const int dy = static_cast<int>(destY);
    if (static_cast<const Bitmap*>(dest) == src) {
        // Onto itself: read every source row before it can be overwritten.
        std::vector<uint32_t> row(static_cast<size_t>(width));
        const bool upward = dy > srcTop;
        for (int i = 0; i < height; ++i) {
            const int r = upward ? height - 1 - i : i;
            std::copy_n(src->Row(srcTop + r) + srcLeft, width, row.data());
            rows::BlitRow(dest->Row(dy + r) + dx, row.data(), width, w, mode);
        }
        return;
    }
    for (int r = 0; r < height; ++r) {
        rows::BlitRow(dest->Row(dy + r) + dx, src->Row(srcTop + r) + srcLeft, width, w, mode);
    }
}

}  // namespace raster
