#pragma once

#include <string>

namespace artgen {

// Sets the images found in folder together the way the panel shows them at 100 % (value texts
// included, every strip at some frame) and writes the picture to path; a second picture beside
// it (path with "-sheet" before ".png") shows the effect backgrounds and the about overlay.
[[nodiscard]] bool WritePreview(const std::string& folder, const std::string& path);

}  // namespace artgen
