#pragma once

#include <cstdint>
#include <string>

#include "gui/ColorARGB.h"

// How the paragraphic equalizer display is set up: its bands, axes, colours and grid lists.
// The control keeps its own corrected copy (see Validated).
struct EqSettings {
    static constexpr int kMaxBands = 10;
    // The grid lists are 100-byte texts; longer lists are cut.
    static constexpr size_t kGridListBytes = 100;

    int32_t bandCount = 0;
    bool hideGrid = false;     // grid lines and their labels
    bool hideHandles = false;  // handles and value labels
    bool hideValueLabels = false;
    float lowestFrequency = 20.0f;  // Hz
    float highestFrequency = 22000.0f;
    float lowestGain = -30.0f;                 // dB, negative
    float highestGain = 30.0f;                 // dB, positive
    float handleRadius = 2.0f;                 // pixels
    ColorARGB gridColour{255, 255, 255, 255};  // also the grid labels
    ColorARGB curveColour{255, 127, 127, 127};
    ColorARGB handleColour{255, 255, 255, 0};  // also the value labels' text
    ColorARGB spareColour{255, 0, 0, 0};       // carried along, never drawn
    ColorARGB labelBackground{100, 0, 0, 0};
    std::string frequencyGrid;  // comma-separated Hz, e.g. "100, 1000, 10000"
    std::string gainGrid;       // comma-separated dB

    // The settings with every out-of-range value replaced by its fallback: a lowest frequency
    // below 10 Hz or not below the highest becomes 20 Hz, a highest frequency not above the
    // lowest or above 24 kHz becomes 22 kHz, a gain limit of 0 or beyond 40 dB becomes -40 or
    // 40 dB, and the band count is kept within 0 .. kMaxBands.
    EqSettings Validated() const;
};
