#include "gui/StripResampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gui/ImageStrip.h"

namespace {

// Which source pixels each target index reads along one axis, and with what weight. The box of
// samples at p, p + 1, ... (p = source / target x index) each mixes two neighbours with the
// fractional part f of p, so source index first + k weighs (1 - f) while k < box plus f while
// k > 0. Indices outside the source read as 0: they are left out, not renormalised.
struct AxisTaps {
    std::vector<int> first;      // first source index read, per target index
    std::vector<int> count;      // how many consecutive source indices are read
    std::vector<float> weights;  // stride entries per target index
    int stride = 0;
    int box = 1;
    bool identity = false;  // every target index reads exactly its own source index
};

AxisTaps MakeTaps(int sourceSize, int targetSize) {
    AxisTaps taps;
    const double ratio = static_cast<double>(sourceSize) / targetSize;
    taps.box = std::max(1, static_cast<int>(std::ceil(ratio)));
    taps.identity = sourceSize == targetSize;
    taps.stride = taps.box + 1;
    taps.first.resize(static_cast<size_t>(targetSize));
    taps.count.resize(static_cast<size_t>(targetSize));
    taps.weights.assign(static_cast<size_t>(targetSize) * static_cast<size_t>(taps.stride), 0.0f);
    for (int t = 0; t < targetSize; ++t) {
        const double p = ratio * t;
        const int whole = static_cast<int>(std::floor(p));
        const float f = static_cast<float>(p - whole);
        float* w = &taps.weights[static_cast<size_t>(t) * static_cast<size_t>(taps.stride)];
        int first = -1, count = 0;
        for (int k = 0; k <= taps.box; ++k) {
            const int index = whole + k;
            const float weight = (k < taps.box ? 1.0f - f : 0.0f) + (k > 0 ? f : 0.0f);
            if (index < 0 || index >= sourceSize || weight == 0.0f) continue;
            if (first < 0) first = index;
            w[index - first] = weight;
            count = index - first + 1;
        }
        taps.first[static_cast<size_t>(t)] = first < 0 ? 0 : first;
        taps.count[static_cast<size_t>(t)] = count;
    }
    return taps;
}

// One source row filtered to the target width, four float channels a pixel (B, G, R, A).
void FilterRow(const uint32_t* row, const AxisTaps& columns, int tw, std::vector<float>& unpacked,
               float* out) {
    const size_t sw = unpacked.size() / 4;
    for (size_t x = 0; x < sw; ++x) {
        const uint32_t pixel = row[x];
        unpacked[x * 4 + 0] = static_cast<float>(pixel & 0xFF);
        unpacked[x * 4 + 1] = static_cast<float>(pixel >> 8 & 0xFF);
        unpacked[x * 4 + 2] = static_cast<float>(pixel >> 16 & 0xFF);
        unpacked[x * 4 + 3] = static_cast<float>(pixel >> 24);
    }
    if (columns.identity) {
        std::memcpy(out, unpacked.data(), static_cast<size_t>(tw) * 4 * sizeof(float));
        return;
    }
    for (int x = 0; x < tw; ++x) {
        const float* in = &unpacked[static_cast<size_t>(columns.first[static_cast<size_t>(x)]) * 4];
        const float* w =
            &columns.weights[static_cast<size_t>(x) * static_cast<size_t>(columns.stride)];
        float b = 0, g = 0, r = 0, a = 0;
        for (int k = 0; k < columns.count[static_cast<size_t>(x)]; ++k, in += 4) {
            b += w[k] * in[0];
            g += w[k] * in[1];
            r += w[k] * in[2];
            a += w[k] * in[3];
        }
        out[x * 4 + 0] = b;
        out[x * 4 + 1] = g;
        out[x * 4 + 2] = r;
        out[x * 4 + 3] = a;
    }
}

}  // namespace

void ResampleArea(const raster::Bitmap& source, int sx, int sy, int sw, int sh,
                  raster::Bitmap& target, int tx, int ty, int tw, int th) {
    if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
    if (!source.HasPixels() || !target.HasPixels()) return;
    if (sw == tw && sh == th) {
        // Same size: every weight is 1 on the pixel itself.
        for (int y = 0; y < th; ++y) {
            std::memcpy(target.Row(ty + y) + tx, source.Row(sy + y) + sx,
                        static_cast<size_t>(tw) * sizeof(uint32_t));
        }
        return;
    }
    const AxisTaps columns = MakeTaps(sw, tw);
    const AxisTaps rows = MakeTaps(sh, th);
    const float boxArea = static_cast<float>(columns.box) * static_cast<float>(rows.box);
    // Sums of weights 1 - f and f are exact in real numbers but not in floats; the nudge keeps
    // a copied 200 from truncating to 199.
    constexpr float kNudge = 1.0f / 1024.0f;

    // Source rows are filtered across once each, into a ring that holds the rows one target
    // row can read; target rows read source rows in rising order.
    const int ringRows = rows.box + 2;
    const size_t rowFloats = static_cast<size_t>(tw) * 4;
    std::vector<float> ring(rowFloats * static_cast<size_t>(ringRows));
    std::vector<int> ringHolds(static_cast<size_t>(ringRows), -1);
    std::vector<float> unpacked(static_cast<size_t>(sw) * 4);
    std::vector<float> sum(rowFloats);
    auto filtered = [&](int sourceRow) -> const float* {
        float* slot = &ring[static_cast<size_t>(sourceRow % ringRows) * rowFloats];
        int& holds = ringHolds[static_cast<size_t>(sourceRow % ringRows)];
        if (holds != sourceRow) {
            FilterRow(source.Row(sy + sourceRow) + sx, columns, tw, unpacked, slot);
            holds = sourceRow;
        }
        return slot;
    };

    for (int y = 0; y < th; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const int first = rows.first[static_cast<size_t>(y)];
        const float* w = &rows.weights[static_cast<size_t>(y) * static_cast<size_t>(rows.stride)];
        for (int k = 0; k < rows.count[static_cast<size_t>(y)]; ++k) {
            const float* in = filtered(first + k);
            const float weight = w[k];
            for (size_t i = 0; i < rowFloats; ++i)
                sum[i] += weight * in[i];
        }
        uint32_t* out = target.Row(ty + y) + tx;
        for (int x = 0; x < tw; ++x) {
            uint32_t channel[4];
            for (int c = 0; c < 4; ++c) {
                const float mean =
                    sum[static_cast<size_t>(x) * 4 + static_cast<size_t>(c)] / boxArea + kNudge;
                channel[c] = mean >= 255.0f ? 255u : static_cast<uint32_t>(mean);
            }
            out[x] = channel[3] << 24 | channel[2] << 16 | channel[1] << 8 | channel[0];
        }
    }
}

void ResampleFrame(const raster::Bitmap& source, int frameCount, bool framesHorizontal,
                   raster::Bitmap& target, int frame) {
    const int sourceLength = framesHorizontal ? source.Width() : source.Height();
    const int targetLength = framesHorizontal ? target.Width() : target.Height();
    const int s0 = FrameOffset(sourceLength, frameCount, frame);
    const int s1 = FrameOffset(sourceLength, frameCount, frame + 1);
    const int t0 = FrameOffset(targetLength, frameCount, frame);
    const int t1 = FrameOffset(targetLength, frameCount, frame + 1);
    if (framesHorizontal) {
        ResampleArea(source, s0, 0, s1 - s0, source.Height(), target, t0, 0, t1 - t0,
                     target.Height());
    } else {
        ResampleArea(source, 0, s0, source.Width(), s1 - s0, target, 0, t0, target.Width(),
                     t1 - t0);
    }
}

void ResampleStrip(const raster::Bitmap& source, int frameCount, bool framesHorizontal,
                   raster::Bitmap& target) {
    const int frames = frameCount < 1 ? 1 : frameCount;
    for (int k = 0; k < frames; ++k)
        ResampleFrame(source, frames, framesHorizontal, target, k);
}
