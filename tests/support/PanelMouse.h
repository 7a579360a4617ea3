#pragma once

#include <gtest/gtest.h>

#include <utility>

#include "editor/OrvoPanel.h"
#include "gui/Graphics.h"

// The mouse on the editor's own panel, as a person reaches its controls.

// The lowest point of a position's control that the mouse reaches, scanning up its middle.
inline std::pair<int, int> ReachPosition(const Graphics& graphics, const OrvoPanel& panel,
                                         int position) {
    const Control& control = *panel.PositionControl(position);
    const Rect& r = control.TargetRect();
    for (int y = r.B - 1; y >= r.T; --y) {
        if (graphics.HitControl((r.L + r.R) / 2, y) == control.ListIndex())
            return {(r.L + r.R) / 2, y};
    }
    ADD_FAILURE() << "position " << position << " is out of the mouse's reach";
    return {0, 0};
}

inline void RightClickPosition(Graphics& graphics, const OrvoPanel& panel, int position) {
    const auto [x, y] = ReachPosition(graphics, panel, position);
    graphics.MouseDown(x, y, MouseKeys{false, true});
    graphics.MouseUp(x, y, MouseKeys{false, true});
}
