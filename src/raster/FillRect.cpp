#include <algorithm>
#include <cstdint>

#include "raster/Draw.h"
#include "raster/DrawWeight.h"
#include "raster/RowKernels.h"

namespace raster {

void FillRect(Bitmap* dest, int x, int y, int w, int h, uint32_t colour, float weight, int mode) {
    if (dest == nullptr || !dest->HasPixels()) return;
    const int level = FillWeight(weight, colour, mode);
    if (level == 0) return;
    int64_t left = x;
    int64_t top = y;
    int64_t right = left + w;
    int64_t bottom = top + h;
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, dest->Width());
    bottom = std::min<int64_t>(bottom, dest->Height());
    if (right <= left || bottom <= top) return;
    const int lowMode = mode & 0xFF;
    for (int64_t row = top; row < bottom; ++row) {
        rows::FillRow(dest->Row(static_cast<int>(row)) + left, static_cast<int>(right - left),
                      colour, level, lowMode);
    }
}

}  // namespace raster
