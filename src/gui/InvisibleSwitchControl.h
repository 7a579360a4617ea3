#pragma once

#include "gui/Control.h"

// An on/off area over a picture that the panel draws elsewhere; it draws nothing itself.
class InvisibleSwitchControl : public Control {
public:
    InvisibleSwitchControl(PluginBase* core, const Rect& rect, int paramIndex,
                           const Blend& blend = {kBlendClobber, 1.0f});

    void OnPress(int x, int y, const MouseKeys& keys) override;
    bool Draw(Graphics& graphics) override;
};
