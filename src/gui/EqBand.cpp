#include "gui/EqBand.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gui/EqScale.h"

namespace {

// Bits 0xBF51745C: the peak shape's fixed part, with which the flank ends exactly at 1.
constexpr float kPeakShapeOffset = -0.81818175f;

// The peak flank: 0 at h = 0 rising to 1 at h = 1, the steeper the narrower the band.
float PeakShape(float h, float b, float g) {
    return h / ((h * g + b) * (h - 1.0f) + h);
}

}  // namespace

int TruncateColumn(double value) {
    constexpr double kFarColumn = 1 << 28;
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, -kFarColumn, kFarColumn));
}

EqBand::EqBand() : response_(kMaxColumns, 0.0f) {}

void EqBand::Set(const EqBandRecord& record, const EqScale& scale) {
    record_ = record;
    Place(scale);
}

void EqBand::Place(const EqScale& scale) {
    position_ = scale.Position(record_.frequency);
    curveDirty_ = true;
}

void EqBand::Put(int column, int columns, float value) {
    if (column < 0 || column >= columns || !std::isfinite(value)) return;
    response_[static_cast<size_t>(column)] = value;
}

void EqBand::ComputeResponse(const EqScale& scale, int width, int height) {
    const int columns = std::clamp(width, 0, kMaxColumns);
    std::fill(response_.begin(), response_.begin() + columns, 0.0f);
    curveDirty_ = false;
    if (columns == 0) return;
    const auto amplitude = static_cast<float>(-(height * scale.GainFraction(record_.gain)));
    if (amplitude == 0.0f || !std::isfinite(amplitude)) return;
    switch (record_.type) {
        case kEqPeak:
            ComputePeak(width, columns, amplitude, scale.LogRange());
            break;
        case kEqLowShelf:
            ComputeLowShelf(width, columns, amplitude);
            break;
        case kEqHighShelf:
            ComputeHighShelf(width, columns, amplitude);
            break;
        case kEqBump:
            ComputeBump(width, columns, amplitude, scale.LogRange());
            break;
        default:
            break;
    }
}

void EqBand::ComputePeak(int width, int columns, float amplitude, double logRange) {
    const float w = record_.width;
    const int centre = TruncateColumn(width * position_);
    const int total = TruncateColumn(2.0 * w / logRange * width);
    const int half = total / 2;
    if (half <= 0) {
        if (centre > 0 && centre < width) Put(centre, columns, amplitude);
        return;
    }
    const int start = centre - half;
    const float b = 1.0f - 1.0f / (0.02f * w + 0.05f);
    const float g = kPeakShapeOffset - b;
    const auto halfF = static_cast<float>(half);
    // Starting at the first visible column keeps the loop short however wide the band is.
    const int leftEnd = centre <= width ? half : width;
    for (int k = std::max(0, -start); k < leftEnd; ++k) {
        if (start + k >= columns) break;
        Put(start + k, columns, amplitude * PeakShape((k + 1) / halfF, b, g));
    }
    if (centre <= 0 || centre >= width) return;
    Put(centre, columns, amplitude);
    const int rightEnd = std::min(half, width - centre);
    for (int d = 1; d <= rightEnd; ++d) {
        Put(centre + d, columns, amplitude * PeakShape(1.0f - (d + 1) / halfF, b, g));
    }
}

void EqBand::ComputeLowShelf(int width, int columns, float amplitude) {
    const double slope = record_.width;
    const int start = TruncateColumn((position_ - 0.05 * slope) * width);
    const int length = std::min(TruncateColumn(width * 0.1 * slope), width - start);
    for (int column = 0; column < std::min(start, columns); ++column) {
        response_[static_cast<size_t>(column)] = amplitude;
    }
    if (length <= 0) return;
    for (int j = std::max(0, -start); j < length && start + j < columns; ++j) {
        const double phase = j * std::numbers::pi / length + 1.5 * std::numbers::pi;
        Put(start + j, columns, static_cast<float>((std::sin(phase) * 0.5 - 0.5) * -amplitude));
    }
}

void EqBand::ComputeHighShelf(int width, int columns, float amplitude) {
    const double slope = record_.width;
    const int plateau = TruncateColumn((position_ + 0.05 * slope) * width);
    for (int column = std::max(0, plateau); column < columns; ++column) {
        response_[static_cast<size_t>(column)] = amplitude;
    }
    const int start = TruncateColumn((position_ - 0.05 * slope) * width);
    const int length = std::min(TruncateColumn(width * 0.1 * slope), width - start);
    if (length <= 0) return;
    for (int j = std::max(0, -start); j < length && start + j < columns; ++j) {
        const double phase = j * std::numbers::pi / length + 0.5 * std::numbers::pi;
        Put(start + j, columns, static_cast<float>((std::sin(phase) * 0.5 - 0.5) * -amplitude));
    }
    Put(start + length, columns, amplitude);
}

// Our own shape for a bump: one raised-cosine period, twice the width in octaves wide like a
// peak, centred on the band's frequency, 0 at both ends and the full gain in the middle.
void EqBand::ComputeBump(int width, int columns, float amplitude, double logRange) {
    const int total = TruncateColumn(2.0 * record_.width / logRange * width);
    if (total <= 0) return;
    const int start = TruncateColumn(width * position_) - total / 2;
    for (int k = std::max(0, -start); k <= total && start + k < columns; ++k) {
        const double phase = 2.0 * std::numbers::pi * k / total;
        Put(start + k, columns, static_cast<float>(amplitude * 0.5 * (1.0 - std::cos(phase))));
    }
}
