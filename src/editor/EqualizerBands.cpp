#include "editor/EqualizerBands.h"

#include <algorithm>
#include <cmath>

namespace {

struct BandRanges {
    int type;
    float frequencyLow, frequencyHigh;
    float gainLow, gainHigh;
    float widthLow, widthHigh;
};

// The ranges of the unit's equalizer: a bass shelf, two peaks and a treble shelf.
constexpr BandRanges kBandRanges[kEqBandCount] = {
    {kEqLowShelf, 50.0f, 270.0f, -20.0f, 20.0f, 4.0f, 10.0f},
    {kEqPeak, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f},
    {kEqPeak, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f},
    {kEqHighShelf, 2000.0f, 7000.0f, -15.0f, 15.0f, 4.0f, 10.0f},
};

float Log2(float x) {
    return std::log(x) / std::log(2.0f);
}

// A 7-bit value spread logarithmically between two frequencies.
float FrequencyOf(int value, float low, float high) {
    return std::pow(2.0f,
                    Log2(low) + (Log2(high) - Log2(low)) * static_cast<float>(value) / 127.0f);
}

float ShelfSlopeOf(int value) {
    return static_cast<float>(127 - value) / 127.0f * 6.0f + 4.0f;
}

bool IsShelf(int band) {
    return band == 0 || band == 3;
}

}  // namespace

EqSettings EqualizerDisplaySettings() {
    EqSettings settings;
    settings.bandCount = kEqBandCount;
    settings.lowestFrequency = 20.0f;
    settings.highestFrequency = 12000.0f;
    settings.lowestGain = -24.0f;
    settings.highestGain = 24.0f;
    settings.handleRadius = 4.0f;
    settings.gridColour = {255, 255, 255, 255};
    settings.curveColour = {255, 255, 0, 0};
    settings.handleColour = {255, 255, 255, 0};
    settings.spareColour = {255, 255, 255, 0};
    settings.labelBackground = {100, 0, 0, 0};
    settings.frequencyGrid = "25, 50, 100, 200, 300, 500, 1000, 2000, 3000, 5000, 7000, 10000";
    settings.gainGrid = "-18, -12, -6, 0, 6, 12, 18";
    return settings;
}

float PeakOctaves(int value) {
    const float q = static_cast<float>(value - 10) / 90.0f * 9.0f + 1.0f;
    const float a = (2.0f * q * q + 1.0f) / (q * q);
    return Log2(a / 2.0f + std::sqrt(a * a * 0.25f - 1.0f));
}

EqBandRecord EqBandFromParams(int band, const EqParamValues& values) {
    band = std::clamp(band, 0, kEqBandCount - 1);
    const BandRanges& r = kBandRanges[band];
    const int frequency = values[static_cast<size_t>(band * 3)];
    const int width = values[static_cast<size_t>(band * 3 + 1)];
    const int gain = values[static_cast<size_t>(band * 3 + 2)];
    EqBandRecord record;
    record.band = band;
    record.type = r.type;
    record.gain = static_cast<float>(gain);
    record.frequency = FrequencyOf(frequency, r.frequencyLow, r.frequencyHigh);
    record.width = IsShelf(band) ? ShelfSlopeOf(width) : PeakOctaves(width);
    record.frequencyLow = r.frequencyLow;
    record.frequencyHigh = r.frequencyHigh;
    record.gainLow = r.gainLow;
    record.gainHigh = r.gainHigh;
    record.widthLow = r.widthLow;
    record.widthHigh = r.widthHigh;
    return record;
}

EqBandParams EqParamsFromBand(const EqBandRecord& band) {
    const int b = std::clamp(band.band, 0, kEqBandCount - 1);
    EqBandParams params;
    params.frequencyIndex = kFirstEqBandParam + b * 3;
    params.widthIndex = params.frequencyIndex + 1;
    params.gainIndex = params.frequencyIndex + 2;

    const float span = Log2(band.frequencyHigh) - Log2(band.frequencyLow);
    params.frequency = (Log2(band.frequency) / span - Log2(band.frequencyLow) / span) * 127.0f;
    if (IsShelf(b)) {
        const float range = band.widthHigh - band.widthLow;
        params.width =
            std::max(0.0f, 127.0f - (band.width / range - band.widthLow / range) * 127.0f);
    } else {
        const float x = std::pow(2.0f, band.width);
        const float q = std::sqrt(x) / (x - 1.0f);
        params.width = std::max(0.0f, (q / 9.0f - 0.1111111f) * 90.0f + 10.0f);
    }
    params.gain = band.gain;
    return params;
}
