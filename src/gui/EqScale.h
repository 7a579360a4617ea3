#pragma once

#include <string>
#include <vector>

#include "gui/EqSettings.h"
#include "gui/Rect.h"

// The equalizer display's axes: frequency on a base-2 logarithmic scale from the lowest to the
// highest frequency, gain linear with 0 dB in the vertical centre, each half of the height
// spanning its own gain limit. Also the grid lists and the texts the display writes.
class EqScale {
public:
    static constexpr int kMaxFrequencyGridLines = 20;
    // The value label: its size, and how far it sits from the handle.
    static constexpr int kLabelWidth = 45;
    static constexpr int kLabelHeight = 36;

    explicit EqScale(const EqSettings& validSettings);

    // Octaves from the lowest to the highest frequency.
    double LogRange() const { return logRange_; }
    double LowestFrequency() const { return lowestFrequency_; }
    double HighestGain() const { return highestGain_; }
    double LowestGain() const { return lowestGain_; }

    // Where a frequency lies across the display, 0 at the lowest and 1 at the highest.
    double Position(double frequency) const;
    // The frequency under a column localX of a display width pixels wide.
    double FrequencyAt(double localX, int width) const;
    // A gain as a fraction of the height, -0.5 .. 0.5, positive for a boost.
    double GainFraction(double gain) const;
    // Distance from the top of a display height pixels high at which a gain is drawn.
    double GainY(double gain, int height) const;
    // The gain under the row localY: the upper half spans the highest gain, the lower the lowest.
    double GainAt(double localY, int height) const;

    // Integers of a comma-separated list; text that is not a number ends the list.
    static std::vector<int> ParseGridList(const std::string& list);
    // "500" below 1 kHz, "2k" or "1.5k" above.
    static std::string FrequencyGridLabel(int frequency);
    static std::string GainGridLabel(int gain);

    // The three lines of a band's value label.
    static std::string FrequencyText(double frequency);
    static std::string GainText(double gain);
    // Q for a peak (width in octaves), S for a shelf (steeper is larger), B for a bump.
    static std::string WidthText(int type, double width, double widthLow, double widthHigh);

    // The value label's box in display coordinates for a handle at (hx, hy) of a display width
    // pixels wide: above the handle, moved left near the right edge, below it near the top.
    static Rect LabelBox(int hx, int hy, int width);

private:
    double lowestFrequency_;
    double log2Lowest_;
    double logRange_;
    double lowestGain_;
    double highestGain_;
};
