#pragma once

#include "gui/EqSettings.h"

// The equalizer display as the editor's panel sets it up: four bands, 20 Hz to 12 kHz,
// -24 to 24 dB, handles of radius 4, white grid, red curve, yellow handles.
inline EqSettings EditorEqSettings() {
    EqSettings settings;
    settings.bandCount = 4;
    settings.highestFrequency = 12000.0f;
    settings.lowestGain = -24.0f;
    settings.highestGain = 24.0f;
    settings.handleRadius = 4.0f;
    settings.gridColour = {255, 255, 255, 255};
    settings.curveColour = {255, 255, 0, 0};
    settings.handleColour = {255, 255, 255, 0};
    settings.labelBackground = {100, 0, 0, 0};
    settings.frequencyGrid = "25, 50, 100, 200, 300, 500, 1000, 2000, 3000, 5000, 7000, 10000";
    settings.gainGrid = "-18, -12, -6, 0, 6, 12, 18";
    return settings;
}
