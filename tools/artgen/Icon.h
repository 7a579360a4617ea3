#pragma once

#include <array>
#include <memory>
#include <string>

#include "Canvas.h"

namespace artgen {

// The sizes of the hicolor icon theme the program's icon is drawn at, in pixels.
inline constexpr std::array<int, 8> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The program's icon for menus and launchers, size x size pixels: one of the panel's knobs
// with its accent value arc, on a dark plate.
std::unique_ptr<Canvas> DrawIcon(int size);

// The same picture as an SVG document, for the theme's scalable folder.
std::string IconSvg();

// Writes icon-N.png for every size and icon.svg into folder; false when a file failed.
[[nodiscard]] bool WriteIcons(const std::string& folder);

}  // namespace artgen
