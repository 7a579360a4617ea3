#include "gui/InvisibleSwitchControl.h"

InvisibleSwitchControl::InvisibleSwitchControl(PluginBase* core, const Rect& rect, int paramIndex,
                                               const Blend& blend)
    : Control(core, rect, paramIndex, blend) {}

void InvisibleSwitchControl::OnPress(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    value_ = value_ < 0.5 ? 1.0 : 0.0;
    MarkDirty(true);
}

bool InvisibleSwitchControl::Draw(Graphics& graphics) {
    (void)graphics;
    return true;
}
