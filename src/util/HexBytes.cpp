#include "util/HexBytes.h"

#include <algorithm>
#include <cstdio>

std::string HexBytes(const uint8_t* bytes, size_t size, size_t maxBytes) {
    std::string text;
    const size_t shown = std::min(size, maxBytes);
    char pair[4];
    for (size_t i = 0; i < shown; ++i) {
        if (i > 0) text += ' ';
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    if (shown < size) text += " ... (" + std::to_string(size) + " bytes)";
    return text;
}
