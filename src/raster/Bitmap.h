#pragma once

#include <cstdint>

namespace raster {

// A 32-bit bitmap: pixels stored as A<<24 | R<<16 | G<<8 | B (bytes B, G, R, A in memory),
// colours not premultiplied by alpha, rows top to bottom unless IsBottomUp says otherwise.
class Bitmap {
public:
    virtual ~Bitmap() = default;

    // First pixel of the first row, or null when the bitmap holds no pixels.
    virtual uint32_t* Pixels() = 0;
    virtual const uint32_t* Pixels() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Distance from one row to the next, in pixels.
    virtual int Span() const = 0;
    virtual bool IsBottomUp() const = 0;
    // Returns whether anything changed. Contents are not kept unless the type says so.
    virtual bool Resize(int width, int height) = 0;
    // The native drawing surface behind the pixels, null for plain memory.
    virtual void* NativeContext() const = 0;
    virtual intptr_t QueryExtension(int /*what*/) const { return 0; }

    // True when there is at least one pixel to draw into or read from.
    bool HasPixels() const { return Pixels() != nullptr && Width() > 0 && Height() > 0; }
    uint32_t* Row(int y) { return Pixels() + static_cast<intptr_t>(y) * Span(); }
    const uint32_t* Row(int y) const { return Pixels() + static_cast<intptr_t>(y) * Span(); }
};

}  // namespace raster
