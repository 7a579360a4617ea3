#include "gui/EqScale.h"

#include <cmath>
#include <cstdlib>

#include "gui/EqBand.h"
#include "util/NumberText.h"

EqScale::EqScale(const EqSettings& validSettings)
    : lowestFrequency_(validSettings.lowestFrequency),
      log2Lowest_(std::log2(static_cast<double>(validSettings.lowestFrequency))),
      logRange_(std::log2(static_cast<double>(validSettings.highestFrequency)) - log2Lowest_),
      lowestGain_(validSettings.lowestGain),
      highestGain_(validSettings.highestGain) {}

double EqScale::Position(double frequency) const {
    return (std::log2(frequency) - log2Lowest_) / logRange_;
}

double EqScale::FrequencyAt(double localX, int width) const {
    if (width <= 0) return lowestFrequency_;
    return std::exp2(log2Lowest_ + localX * logRange_ / width);
}

double EqScale::GainFraction(double gain) const {
    if (gain > 0.0) return gain / (2.0 * std::fabs(highestGain_));
    return gain / (2.0 * std::fabs(lowestGain_));
}

double EqScale::GainY(double gain, int height) const {
    return (1.0 - (GainFraction(gain) + 0.5)) * height;
}

double EqScale::GainAt(double localY, int height) const {
    if (height <= 0) return 0.0;
    const double fromCentre = 0.5 - localY / height;
    const double span = fromCentre > 0.0 ? highestGain_ : lowestGain_;
    return fromCentre * 2.0 * std::fabs(span);
}

std::vector<int> EqScale::ParseGridList(const std::string& list) {
    std::vector<int> values;
    const char* cursor = list.c_str();
    while (*cursor != '\0') {
        char* end = nullptr;
        const long value = std::strtol(cursor, &end, 10);
        if (end == cursor) break;
        values.push_back(static_cast<int>(value));
        cursor = end;
        while (*cursor == ' ' || *cursor == '\t')
            ++cursor;
        if (*cursor != ',') break;
        ++cursor;
    }
    return values;
}

std::string EqScale::FrequencyGridLabel(int frequency) {
    if (frequency < 1000) return GeneralText(frequency, 3);
    return GeneralText(frequency / 1000.0, 2) + "k";
}

std::string EqScale::GainGridLabel(int gain) {
    return GeneralText(gain, 4);
}

std::string EqScale::FrequencyText(double frequency) {
    // Five characters wide, as "%5.2f" sets it: " 1.50kHz", "50.00Hz".
    if (frequency >= 1000.0) return PaddedText(FixedText(frequency / 1000.0, 2), 5) + "kHz";
    return PaddedText(FixedText(frequency, 2), 5) + "Hz";
}

std::string EqScale::GainText(double gain) {
    return GeneralText(gain, 3) + "dB";
}

std::string EqScale::WidthText(int type, double width, double widthLow, double widthHigh) {
    switch (type) {
        case kEqPeak: {
            const double span = std::exp2(width);
            return "Q=" + GeneralText(std::sqrt(span) / (span - 1.0), 3);
        }
        case kEqLowShelf:
        case kEqHighShelf:
            return "S=" + GeneralText(widthHigh + widthLow - width, 3);
        default:
            return "B=" + GeneralText(width, 3);
    }
}

Rect EqScale::LabelBox(int hx, int hy, int width) {
    int left = hx;
    int top = hy - 40;
    if (hx > width - 50) left -= 50;
    if (hy < 40) top = hy + 20;
    return {left, top, left + kLabelWidth, top + kLabelHeight};
}
