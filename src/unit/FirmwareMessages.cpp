#include "unit/FirmwareMessages.h"

#include "unit/UnitMessages.h"

#include <cstdio>

namespace {

std::vector<uint8_t> FirmwareHeader(uint8_t code) {
    return {kSysExStart,        kManufacturerId[0], kManufacturerId[1],
            kManufacturerId[2], kFamilyFirmware,    code};
}

// Spreads the low 7*count bits of v over count bytes of 7 bits, most significant first.
void AppendSevenBitDigits(std::vector<uint8_t>& out, uint64_t v, int count) {
    for (int j = count - 1; j >= 0; --j)
        out.push_back(static_cast<uint8_t>((v >> (7 * j)) & 0x7F));
}

uint64_t BigEndian(const uint8_t* bytes, size_t count) {
    uint64_t v = 0;
    for (size_t i = 0; i < count; ++i)
        v = (v << 8) | bytes[i];
    return v;
}

}  // namespace

std::vector<uint8_t> BuildFirmwareStart() {
    std::vector<uint8_t> message = FirmwareHeader(kCodeFirmwareStart);
    message.push_back(kSysExEnd);
    return message;
}

std::optional<std::vector<uint8_t>> BuildFirmwareData(const uint8_t* image, size_t size) {
    if (size > kLargestFirmwareImage || (!image && size > 0)) return std::nullopt;
    const size_t length = FirmwarePayloadLength(size);
    std::vector<uint8_t> message = FirmwareHeader(kCodeFirmwareData);
    message.reserve(length + kFirmwareDataOverhead);
    AppendSevenBitDigits(message, length, 3);
    const size_t payloadStart = message.size();
    const size_t fullGroups = size / 7;
    for (size_t g = 0; g < fullGroups; ++g) {
        AppendSevenBitDigits(message, BigEndian(image + 7 * g, 7), 8);
    }
    // The unit takes the tail as 7-bit digits of the remaining bytes, lowest bits last.
    const size_t tail = size % 7;
    if (tail > 0) {
        AppendSevenBitDigits(message, BigEndian(image + 7 * fullGroups, tail),
                             static_cast<int>(tail));
    }
    message.push_back(0x00);
    uint32_t sum = 0;
    for (size_t i = payloadStart; i < message.size(); ++i)
        sum += message[i];
    const Checksum7 checksum = SplitChecksum(sum);
    message.push_back(checksum.high);
    message.push_back(checksum.low);
    message.push_back(kSysExEnd);
    return message;
}

namespace {
std::string HexBytes(uint64_t v, size_t count) {
    std::string text;
    for (size_t i = count; i-- > 0;) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned>((v >> (8 * i)) & 0xFF));
        if (!text.empty()) text += ' ';
        text += byte;
    }
    return text;
}
}  // namespace

std::optional<std::string> FirmwareTailChange(const uint8_t* image, size_t size) {
    const size_t tail = size % 7;
    if (image == nullptr || tail == 0) return std::nullopt;
    const uint64_t v = BigEndian(image + size - tail, tail);
    const uint64_t received = v & ((uint64_t{1} << (7 * tail)) - 1);
    if (received == v) return std::nullopt;
    return "The last " + std::to_string(tail) + " bytes of the image (" + HexBytes(v, tail) +
           ") cannot be sent exactly: the Orvo will receive " + HexBytes(received, tail) +
           " in their place.";
}
