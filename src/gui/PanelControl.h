#pragma once

#include "gui/ColorARGB.h"
#include "gui/Control.h"

// A plain colour under the whole panel; the graphics core makes it as its background.
class PanelControl : public Control {
public:
    PanelControl(PluginBase* core, const Rect& rect, const ColorARGB& colour,
                 const Blend& blend = {});
    bool Draw(Graphics& graphics) override;
    const ColorARGB& Colour() const { return colour_; }

private:
    ColorARGB colour_;
};
