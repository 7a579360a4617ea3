#include "unit/FirmwareDecoder.h"

#include "unit/FirmwareMessages.h"
#include "unit/UnitMessages.h"

namespace {

constexpr size_t kLengthIndex = 6;
constexpr size_t kPayloadIndex = 9;

uint64_t SevenBitNumber(const uint8_t* digits, size_t count) {
    uint64_t v = 0;
    for (size_t i = 0; i < count; ++i)
        v = (v << 7) | (digits[i] & 0x7F);
    return v;
}

// The tail's digits carry only the low 7 bits of each byte's share; the top bits the unit
// cannot know are 0.
void AppendBytes(std::vector<uint8_t>& image, uint64_t v, size_t count) {
    for (size_t j = count; j-- > 0;)
        image.push_back(static_cast<uint8_t>((v >> (8 * j)) & 0xFF));
}

}  // namespace

std::optional<std::vector<uint8_t>> DecodeFirmwareData(const uint8_t* bytes, size_t size,
                                                       std::string* why) {
    auto fail = [why](const char* reason) -> std::optional<std::vector<uint8_t>> {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (!HasUnitHeader(bytes, size, kFamilyFirmware) || bytes[kCodeIndex] != kCodeFirmwareData) {
        return fail("not a firmware data message");
    }
    if (size < kFirmwareDataOverhead) return fail("too short for a firmware data message");
    for (size_t i = 1; i + 1 < size; ++i) {
        if (bytes[i] > 0x7F) return fail("a status byte inside the message");
    }
    if (bytes[size - 1] != kSysExEnd) return fail("does not end in F7");
    const size_t length = SevenBitNumber(bytes + kLengthIndex, 3);
    if (length + kFirmwareDataOverhead != size) return fail("length digits do not match its size");
    if (length > FirmwarePayloadLength(kLargestFirmwareImage))
        return fail("image larger than the flash");
    const size_t encoded = length - 1;  // the closing 00 is counted in the length
    if (length == 0 || encoded % 8 == 7) return fail("length digits name no image size");
    const uint8_t* payload = bytes + kPayloadIndex;
    if (payload[encoded] != 0x00) return fail("no 00 after the image");
    uint32_t sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += payload[i];
    const Checksum7 checksum = SplitChecksum(sum);
    if (checksum.high != payload[length] || checksum.low != payload[length + 1]) {
        return fail("checksum does not match");
    }
    std::vector<uint8_t> image;
    const size_t groups = encoded / 8;
    const size_t tail = encoded % 8;
    image.reserve(groups * 7 + tail);
    for (size_t g = 0; g < groups; ++g)
        AppendBytes(image, SevenBitNumber(payload + 8 * g, 8), 7);
    AppendBytes(image, SevenBitNumber(payload + 8 * groups, tail), tail);
    return image;
}
