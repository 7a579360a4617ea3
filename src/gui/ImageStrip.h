#pragma once

#include <cmath>

namespace raster {
class Bitmap;
}

// Where frame k (from 0) of a strip of length pixels along its frame axis begins: rounded to the
// nearest pixel, halves up. Drawing a frame and rendering one both place it here.
inline int FrameOffset(int length, int frameCount, int frame) {
    const int frames = frameCount < 1 ? 1 : frameCount;
    return static_cast<int>(std::floor(static_cast<double>(length) * frame / frames + 0.5));
}

// The length along its frame axis at which a strip of frameCount frames is shown, from its
// length at some zoom: a strip of two or more frames gets one pixel more a frame. Images are
// stored at this length, so that they are drawn at 100 % and at the large set's zoom as they are.
inline int ShownLength(int length, int frameCount) {
    return frameCount >= 2 ? length + frameCount : length;
}

// One decoded image of frameCount equal frames. The bitmap belongs to the graphics object's image
// store; the strip keeps its identity across re-renders so the controls holding it follow a
// change of scale.
struct ImageStrip {
    raster::Bitmap* bitmap = nullptr;
    int width = 0;  // whole strip, panel pixels
    int height = 0;
    int frameCount = 1;
    bool framesHorizontal = false;

    int FrameWidth() const { return framesHorizontal ? width / frameCount : width; }
    int FrameHeight() const { return framesHorizontal ? height : height / frameCount; }
};
