#pragma once

namespace raster {
class Bitmap;
}

// One decoded image of frameCount equal frames. The bitmap belongs to the image cache; the strip
// keeps its identity across re-renders so the controls holding it follow a change of scale.
struct ImageStrip {
    raster::Bitmap* bitmap = nullptr;
    int width = 0;  // whole strip, panel pixels
    int height = 0;
    int frameCount = 1;
    bool framesHorizontal = false;

    int FrameWidth() const { return framesHorizontal ? width / frameCount : width; }
    int FrameHeight() const { return framesHorizontal ? height : height / frameCount; }
};
