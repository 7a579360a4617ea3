#pragma once

// Buttons and modifiers that accompany a mouse event.
struct MouseKeys {
    bool L = false;  // left button
    bool R = false;  // right button
    bool S = false;  // shift
    bool C = false;  // control
    bool A = false;  // alt

    // Shift or Control asks the knobs for fine adjustment.
    bool Fine() const { return S || C; }
};
