#pragma once

#include <memory>

#include "Canvas.h"
#include "resources/ResourceTable.h"

namespace artgen {

// Draws the picture of one image resource at its stored size; null for an unknown id.
std::unique_ptr<Canvas> DrawImage(const resources::ImageResource& image);

// The pieces the panel pictures share.
void DrawFrame(Canvas& canvas, float left, float top, float right, float bottom);
void DrawNameplate(Canvas& canvas, float left, float right, float bottom, const char* title);
void DrawLabel(Canvas& canvas, const char* text, float centreX, float top, Colour colour);

std::unique_ptr<Canvas> DrawBackground(int width, int height);
std::unique_ptr<Canvas> DrawEffectArea(int id, int width, int height);
std::unique_ptr<Canvas> DrawAbout(int width, int height);

}  // namespace artgen
