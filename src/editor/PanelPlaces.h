#pragma once

#include "gui/Rect.h"

// Where each of the unit's positions stands on the 1024 x 800 panel. Knobs and sliders stand 12
// units above their chart point; the value text sits under the control, or above it for the
// performance row (positions 75..84).

enum PlaceKind {
    kPlaceNone,    // no control: only the value text (position 80, "MIDI channel")
    kPlaceKnob,    // KnobMultiControl: a knob or slider strip
    kPlaceSwitch,  // SwitchControl: a two-state switch
};

struct PanelPoint {
    int x;
    int y;
};

struct PositionPlace {
    PlaceKind kind;
    int imageId;
    PanelPoint topLeft;
    // Mouse gearing of the knob: how far one drag moves it (four-position knobs turn faster).
    float gearing;
    Rect valueText;
};

// The place of positions 0..121; null outside.
const PositionPlace* PositionPlaceAt(int position);
