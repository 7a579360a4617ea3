#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The two messages the editor sends to update the unit's firmware.

// The largest image the unit's flash takes.
constexpr size_t kLargestFirmwareImage = 80000;
// F0 00 21 11 02 13, three length digits, the encoded image, 00, two checksum bytes, F7.
constexpr size_t kFirmwareDataOverhead = 12;

// F0 00 21 11 02 10 F7: the unit erases its flash and answers 11, then 12 when ready.
std::vector<uint8_t> BuildFirmwareStart();

// L for an image of n bytes: 8 bytes for each full group of 7, one for each tail byte, one for
// the closing 00.
constexpr size_t FirmwarePayloadLength(size_t imageSize) {
    return imageSize / 7 * 8 + imageSize % 7 + 1;
}

// The data message for an image; nothing for an image over kLargestFirmwareImage bytes.
std::optional<std::vector<uint8_t>> BuildFirmwareData(const uint8_t* image, size_t size);

// The tail of an image (its last size mod 7 bytes) travels as 7-bit digits of one number, so of
// its r bytes only the low 7r bits reach the unit. For an image whose tail holds more, what the
// unit will receive instead, in words ("The last 3 bytes ..."); nothing when the tail travels
// exactly.
std::optional<std::string> FirmwareTailChange(const uint8_t* image, size_t size);
