#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the unit makes of a firmware data message (F0 00 21 11 02 13 ...): the image, or nothing
// when the length digits, the closing 00, the checksum or the size do not hold together; why then
// says which, in a few words.
std::optional<std::vector<uint8_t>> DecodeFirmwareData(const uint8_t* bytes, size_t size,
                                                       std::string* why = nullptr);
