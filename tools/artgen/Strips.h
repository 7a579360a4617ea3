#pragma once

#include <memory>

#include "Canvas.h"
#include "resources/ResourceTable.h"

namespace artgen {

// Draws the picture of one image resource at factor times the panel's size (1 for the set at the
// panel's size, resources::kLargeImageFactor for the large set); null for an unknown id.
std::unique_ptr<Canvas> DrawImage(const resources::ImageResource& image, int factor);

// The pieces the panel pictures share.
void DrawFrame(Canvas& canvas, float left, float top, float right, float bottom);
void DrawNameplate(Canvas& canvas, float left, float right, float bottom, const char* title);
void DrawLabel(Canvas& canvas, const char* text, float centreX, float top, Colour colour);

// Sizes in design units (style::Px); the canvas holds scale pixels a unit.
std::unique_ptr<Canvas> DrawBackground(int width, int height, float scale);
std::unique_ptr<Canvas> DrawEffectArea(int id, int width, int height, float scale);
std::unique_ptr<Canvas> DrawAbout(int width, int height, float scale);

}  // namespace artgen
