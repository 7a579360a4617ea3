#pragma once

#include "gui/ColorARGB.h"
#include "gui/Control.h"

// A small round mark on the panel that tells something about the control beside it (a learned
// MIDI controller): a disc of one colour with a soft edge, filling its square rectangle. It
// never takes the mouse, so whatever lies under it is reached as before; it starts hidden.
class MarkControl : public Control {
public:
    MarkControl(PluginBase* core, const Rect& rect, const ColorARGB& colour);
    bool Draw(Graphics& graphics) override;
    bool HitTest(int x, int y) const override;

private:
    ColorARGB colour_;
};
