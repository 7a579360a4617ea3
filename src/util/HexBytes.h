#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The bytes as hexadecimal pairs ("F0 00 21"), at most maxBytes of them, then "..." and the
// length when there are more.
std::string HexBytes(const uint8_t* bytes, size_t size, size_t maxBytes = 12);
