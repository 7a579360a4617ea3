#pragma once

#include "gui/SwitchControl.h"

// A momentary button: pressed it steps like a switch, released it goes back to 0.
class ContactControl : public SwitchControl {
public:
    using SwitchControl::SwitchControl;

    void OnRelease(int x, int y, const MouseKeys& keys) override;
};
