#pragma once

#include <cstdint>

// A colour as four channels 0..255; drawing uses it packed as A<<24 | R<<16 | G<<8 | B.
struct ColorARGB {
    int32_t A = 255;
    int32_t R = 0;
    int32_t G = 0;
    int32_t B = 0;

    uint32_t Packed() const {
        return (static_cast<uint32_t>(A & 0xFF) << 24) | (static_cast<uint32_t>(R & 0xFF) << 16) |
               (static_cast<uint32_t>(G & 0xFF) << 8) | static_cast<uint32_t>(B & 0xFF);
    }
    bool operator==(const ColorARGB&) const = default;
};
