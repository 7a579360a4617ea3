#pragma once

#include "Canvas.h"

// The look of the panel: colours, type and the panel-unit to pixel scale of the artwork.
namespace artgen::style {

// The artwork is designed in units of half a panel pixel; the canvas scales it to the size of
// each image set.
inline constexpr float kScale = 2.0f;
inline float Px(float units) {
    return units * kScale;
}

inline const Colour kPanel = Colour::Hex(0x141518);
inline const Colour kPanelDeep = Colour::Hex(0x0e0f11);
inline const Colour kFrameFill = Colour::Hex(0x1d1f23);
inline const Colour kFrameEdge = Colour::Hex(0x383b42);
inline const Colour kFrameHighlight = Colour::Hex(0x2a2d33);
inline const Colour kPlate = Colour::Hex(0x111215);
inline const Colour kAccent = Colour::Hex(0xf2a33a);
inline const Colour kAccentDeep = Colour::Hex(0xb8741f);
inline const Colour kLabel = Colour::Hex(0xb4bac4);
inline const Colour kDim = Colour::Hex(0x6b7079);
inline const Colour kWhite = Colour::Hex(0xf4f4f2);
inline const Colour kRed = Colour::Hex(0xe5483b);
inline const Colour kYellow = Colour::Hex(0xf0c23e);
inline const Colour kDisplay = Colour::Hex(0x0a0b0c);

inline TextStyle LabelText(float sizePx = 15) {
    TextStyle text;
    text.face = "DejaVu Sans Condensed";
    text.size = sizePx;
    text.bold = true;
    text.colour = kLabel;
    text.align = Align::kCentre;
    return text;
}

inline TextStyle TitleText(float sizePx = 17) {
    TextStyle text;
    text.face = "DejaVu Sans";
    text.size = sizePx;
    text.bold = true;
    text.colour = kAccent;
    text.align = Align::kCentre;
    text.spacing = 2.5f;
    return text;
}

}  // namespace artgen::style
