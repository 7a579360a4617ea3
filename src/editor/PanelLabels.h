#pragma once

#include <string>

// The names the panel prints for the unit's positions, in capitals as the artwork draws them
// ('\n' breaks a name into two lines), with the group each stands in: the VCO row, the frame or
// nameplate, or the effect's caption. The artwork generator draws these names, and the editor
// names a control by them wherever it speaks of one, so that a message says "RESONANCE" where
// the panel says RESONANCE.

struct PanelLabel {
    const char* text;   // as printed; null: the position has no control (MIDI channel)
    const char* group;  // the row, frame or caption the control stands in
    // False where the name is printed by a picture of its own (the effect blend title) rather
    // than under the control.
    bool printedUnder;
};

// The label of positions 0..121; null outside.
const PanelLabel* PanelLabelOf(int position);

// How a message names the control of a position: its label on one line, after its group where
// the label alone names more than one control ("VCO 2 FINE", "TAP 1 LEVEL", "RESONANCE"). Empty
// for a position without a label.
std::string PanelControlName(int position);
