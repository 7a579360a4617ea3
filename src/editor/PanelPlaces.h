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

// The equalizer's two views, its faders and its graph, and the switches between them: each view
// shows both switches (PARA and GRAPH), drawn on its background where they take the mouse. In
// the fader view they stand under the group captions, clear of the faders' caps.
enum EqView { kEqFaderView, kEqGraphView, kEqViewCount };
inline constexpr const char* kEqViewTabTexts[kEqViewCount] = {"PARA", "GRAPH"};
// [shown view][switch]: where the switch to each view stands.
inline constexpr Rect kEqViewTabs[kEqViewCount][kEqViewCount] = {
    {{605, 675, 632, 692}, {636, 675, 663, 692}},
    {{605, 566, 632, 583}, {636, 566, 663, 583}},
};
