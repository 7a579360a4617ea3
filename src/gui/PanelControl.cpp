#include "gui/PanelControl.h"

#include "gui/Graphics.h"

PanelControl::PanelControl(PluginBase* core, const Rect& rect, const ColorARGB& colour,
                           const Blend& blend)
    : Control(core, rect, -1, blend), colour_(colour) {}

bool PanelControl::Draw(Graphics& graphics) {
    return graphics.FillRect(colour_, drawRect_, &blend_);
}
