#pragma once

#include <memory>

#include "raster/MemBitmap.h"

// The panel's images for tests, benchmarks and the review render: the program's own artwork
// when it is built in, otherwise stand-ins drawn here with the same ids, sizes and frame
// counts, so a panel laid out from them behaves and costs like the real one.

struct PanelImage {
    int id;
    const char* name;
    int frames;
    int width;  // whole strip as stored, twice the 100 % size
    int height;
};

// The image table of the editor panel; null for an unknown id.
const PanelImage* PanelImageFor(int id);
int PanelImageCount();
const PanelImage& PanelImageAt(int i);

// True when the program's artwork is built in (resource 102 decodes).
bool ArtworkBuiltIn();

// The image for an id: the built-in artwork, else a drawn stand-in. Null for unknown ids.
std::unique_ptr<raster::MemBitmap> PanelArtwork(int id);
