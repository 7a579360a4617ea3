#pragma once

#include <array>

#include "gui/EqBand.h"
#include "gui/EqSettings.h"
#include "gui/Rect.h"

// The unit's four equalizer bands as the graphic equalizer shows them, and back. The unit keeps
// each band as three 7-bit parameters (frequency, slope or Q, boost); the display works in Hz,
// dB, octaves and shelf slopes. All arithmetic is single precision, as the unit's own editor
// has always done it, so that a band dragged and dropped lands on the same values.

constexpr int kEqBandCount = 4;

// Where the graphic equalizer stands on the panel's 1024 x 800 grid, inside the effect area.
inline constexpr Rect kEqualizerPlace{530, 593, 990, 708};

// How the panel draws the unit's equalizer: the four bands over 20 Hz to 12 kHz and -24 to
// 24 dB (a little beyond the bands' own limits, so a handle at its limit stays in view), the
// grid with its labels, and the colours of grid, curve and handles.
EqSettings EqualizerDisplaySettings();

// The equalizer parameters (indices 113..124: frequency, slope/Q and boost of each band) as
// integer values, in index order.
using EqParamValues = std::array<int, 12>;
constexpr int kFirstEqBandParam = 113;

EqBandRecord EqBandFromParams(int band, const EqParamValues& values);

// What the unit's three parameters of a band become when the user has moved the band on the
// display: parameter indices and their new values.
struct EqBandParams {
    int frequencyIndex = 0;
    float frequency = 0.0f;
    int widthIndex = 0;
    float width = 0.0f;
    int gainIndex = 0;
    float gain = 0.0f;
};

EqBandParams EqParamsFromBand(const EqBandRecord& band);

// Bandwidth in octaves of a peak whose Q parameter (10..100) is value.
float PeakOctaves(int value);
