#include "gui/EqSettings.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFrequencyFloor = 10.0f;
constexpr float kFrequencyCeiling = 24000.0f;
constexpr float kFallbackLowest = 20.0f;
constexpr float kFallbackHighest = 22000.0f;
constexpr float kGainLimit = 40.0f;

// A gain limit must be a finite, non-zero magnitude of at most 40 dB.
bool UsableGainLimit(float gain) {
    const float magnitude = std::fabs(gain);
    return magnitude > 0.0f && magnitude <= kGainLimit;
}

}  // namespace

EqSettings EqSettings::Validated() const {
    EqSettings valid = *this;
    valid.bandCount = std::clamp(bandCount, 0, kMaxBands);
    // Written as negated comparisons so that a NaN counts as out of range.
    if (!(valid.lowestFrequency >= kFrequencyFloor) ||
        !(valid.lowestFrequency < valid.highestFrequency)) {
        valid.lowestFrequency = kFallbackLowest;
    }
    if (!(valid.highestFrequency > valid.lowestFrequency) ||
        !(valid.highestFrequency <= kFrequencyCeiling)) {
        valid.highestFrequency = kFallbackHighest;
    }
    // A lowest frequency above 22 kHz may now lie above the corrected highest one.
    if (!(valid.lowestFrequency < valid.highestFrequency)) valid.lowestFrequency = kFallbackLowest;
    if (!UsableGainLimit(valid.lowestGain)) valid.lowestGain = -kGainLimit;
    if (!UsableGainLimit(valid.highestGain)) valid.highestGain = kGainLimit;
    if (!std::isfinite(valid.handleRadius) || valid.handleRadius < 0.0f) valid.handleRadius = 2.0f;
    if (valid.frequencyGrid.size() >= kGridListBytes)
        valid.frequencyGrid.resize(kGridListBytes - 1);
    if (valid.gainGrid.size() >= kGridListBytes) valid.gainGrid.resize(kGridListBytes - 1);
    return valid;
}
