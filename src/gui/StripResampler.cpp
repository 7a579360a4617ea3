#include "gui/StripResampler.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Which source pixels one target index reads along an axis, and with what weight. The box of
// whole-step samples at p, p + 1, ... each mixes two neighbours with the fractional part f, so
// the first pixel weighs 1 - f, the inner ones 1 and the last f.
struct AxisTap {
    int first = 0;
    float firstWeight = 1.0f;  // 1 - f: the nearer neighbour of each sample
    int count = 1;  // samples in the box
    float lastWeight = 0.0f;   // f: the farther neighbour
};

std::vector<AxisTap> AxisTaps(int sourceSize, int targetSize) {
    std::vector<AxisTap> taps(static_cast<size_t>(targetSize));
    const double ratio = static_cast<double>(sourceSize) / targetSize;
    const int box = std::max(1, static_cast<int>(std::ceil(ratio)));
    for (int t = 0; t < targetSize; ++t) {
        const double p = ratio * t;
        const double whole = std::floor(p);
        const float fraction = static_cast<float>(p - whole);
        taps[static_cast<size_t>(t)] = {static_cast<int>(whole), 1.0f - fraction, box, fraction};
    }
    return taps;
}

// Sum over the box of one axis: sample i reads first + i with 1 - f and first + i + 1 with f,
// so source index first + k weighs (1 - f) while k < count plus f while k > 0. Indices outside
// 0 .. size - 1 read as 0 and are skipped.
template <typename Read>
void AccumulateAxis(const AxisTap& tap, int size, Read read) {
    for (int k = 0; k <= tap.count; ++k) {
        const int index = tap.first + k;
        if (index < 0 || index >= size) continue;
        const float weight =
            (k < tap.count ? tap.firstWeight : 0.0f) + (k > 0 ? tap.lastWeight : 0.0f);
        if (weight != 0.0f) read(index, weight);
    }
}

}  // namespace

void ResampleArea(const raster::Bitmap& source, int sx, int sy, int sw, int sh,
                  raster::Bitmap& target, int tx, int ty, int tw, int th) {
    if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
    if (!source.HasPixels() || !target.HasPixels()) return;
    const std::vector<AxisTap> columns = AxisTaps(sw, tw);
    const std::vector<AxisTap> rows = AxisTaps(sh, th);

    // Horizontal pass: every source row of the area filtered to the target width, four float
    // channels a pixel.
    std::vector<float> across(static_cast<size_t>(tw) * static_cast<size_t>(sh) * 4);
    for (int y = 0; y < sh; ++y) {
        const uint32_t* row = source.Row(sy + y) + sx;
        float* out = &across[static_cast<size_t>(y) * static_cast<size_t>(tw) * 4];
        for (int x = 0; x < tw; ++x, out += 4) {
            float b = 0, g = 0, r = 0, a = 0;
            AccumulateAxis(columns[static_cast<size_t>(x)], sw, [&](int index, float weight) {
                const uint32_t pixel = row[index];
                b += weight * static_cast<float>(pixel & 0xFF);
                g += weight * static_cast<float>(pixel >> 8 & 0xFF);
                r += weight * static_cast<float>(pixel >> 16 & 0xFF);
                a += weight * static_cast<float>(pixel >> 24);
            });
            out[0] = b;
            out[1] = g;
            out[2] = r;
            out[3] = a;
        }
    }

    // Vertical pass and the average over the whole box.
    const float boxArea = static_cast<float>(columns.empty() ? 1 : columns[0].count) *
                          static_cast<float>(rows.empty() ? 1 : rows[0].count);
    // Sums of weights 1 - f and f are exact in real numbers but not in floats; the nudge keeps
    // a copied 200 from truncating to 199.
    constexpr float kNudge = 1.0f / 1024.0f;
    std::vector<float> sum(static_cast<size_t>(tw) * 4);
    for (int y = 0; y < th; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        AccumulateAxis(rows[static_cast<size_t>(y)], sh, [&](int index, float weight) {
            const float* in = &across[static_cast<size_t>(index) * static_cast<size_t>(tw) * 4];
            for (size_t i = 0; i < sum.size(); ++i) sum[i] += weight * in[i];
        });
        uint32_t* out = target.Row(ty + y) + tx;
        for (int x = 0; x < tw; ++x) {
            const float* s = &sum[static_cast<size_t>(x) * 4];
            uint32_t channel[4];
            for (int c = 0; c < 4; ++c) {
                const float mean = s[c] / boxArea + kNudge;
                channel[c] = mean >= 255.0f ? 255u : static_cast<uint32_t>(mean);
            }
            out[x] = channel[3] << 24 | channel[2] << 16 | channel[1] << 8 | channel[0];
        }
    }
}

void ResampleStrip(const raster::Bitmap& source, int frameCount, bool framesHorizontal,
                   raster::Bitmap& target) {
    const int frames = frameCount < 1 ? 1 : frameCount;
    const int sourceLength = framesHorizontal ? source.Width() : source.Height();
    const int targetLength = framesHorizontal ? target.Width() : target.Height();
    auto offset = [frames](int length, int k) {
        return static_cast<int>(std::floor(static_cast<double>(length) * k / frames + 0.5));
    };
    for (int k = 0; k < frames; ++k) {
        const int s0 = offset(sourceLength, k), s1 = offset(sourceLength, k + 1);
        const int t0 = offset(targetLength, k), t1 = offset(targetLength, k + 1);
        if (framesHorizontal) {
            ResampleArea(source, s0, 0, s1 - s0, source.Height(), target, t0, 0, t1 - t0,
                         target.Height());
        } else {
            ResampleArea(source, 0, s0, source.Width(), s1 - s0, target, 0, t0, target.Width(),
                         t1 - t0);
        }
    }
}
