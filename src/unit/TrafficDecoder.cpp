#include "unit/TrafficDecoder.h"

#include <cstdio>

#include "unit/ParamChange.h"
#include "unit/UnitMessages.h"
#include "util/HexBytes.h"

namespace {
// The most raw bytes a line shows of a long message.
constexpr size_t kShownBytes = 24;

std::string Format(const char* format, auto... args) {
    char line[160];
    std::snprintf(line, sizeof line, format, args...);
    return line;
}

// The bytes at hand, then the whole message's length when it is longer.
std::string Raw(const uint8_t* bytes, size_t kept, size_t size) {
    return HexBytes(bytes, size, kept < kShownBytes ? kept : kShownBytes);
}

// The program messages carry their number in byte 7; a dump or write of any other length is
// not the unit's.
std::string DescribeProgramMessage(const char* what, const uint8_t* bytes, size_t kept,
                                   size_t size) {
    if (size != kProgramMessageSize || kept < kProgramMessageSize) {
        return Format("%s of %zu bytes (not %zu): %s", what, size, kProgramMessageSize,
                      Raw(bytes, kept, size).c_str());
    }
    return Format("%s %d, checksum %s", what, bytes[kProgramNumberIndex],
                  DumpChecksumMatches(bytes, size) ? "good" : "bad");
}
}  // namespace

std::string TrafficDecoder::Describe(int stream, const uint8_t* bytes, size_t kept, size_t size) {
    if (bytes == nullptr || kept == 0) return std::string();
    if (bytes[0] == kSysExStart) return DescribeSysEx(bytes, kept, size);
    Registers& registers = registers_[static_cast<size_t>(stream) % registers_.size()];
    const std::string raw = HexBytes(bytes, kept);
    const std::string text = DescribeShort(registers, bytes, kept);
    return text.empty() ? raw : text + "  [" + raw + "]";
}

std::string TrafficDecoder::DescribeShort(Registers& registers, const uint8_t* bytes, size_t size) {
    const int kind = bytes[0] >> 4;
    const int data1 = size > 1 ? bytes[1] : 0;
    const int data2 = size > 2 ? bytes[2] : 0;
    switch (kind) {
        case 0x8:
            return Format("note off %d", data1);
        case 0x9:
            return data2 == 0 ? Format("note off %d", data1)
                              : Format("note on %d, velocity %d", data1, data2);
        case 0xB:
            return DescribeController(registers, data1, data2);
        case 0xC:
            return Format("program change %d", data1);
        case 0xE:
            return Format("pitch bend %d", data1 | (data2 << 7));
        default:
            return std::string();
    }
}

std::string TrafficDecoder::DescribeController(Registers& registers, int controller, int value) {
    switch (controller) {
        case kControllerNrpnMsb:
            registers.msb = value;
            return Format("address MSB %d", value);
        case kControllerNrpnLsb:
            registers.lsb = value;
            return Format("address LSB %d", value);
        case kControllerDataEntry:
            return DescribeDataEntry(registers, value);
        default:
            return Format("controller %d = %d", controller, value);
    }
}

std::string TrafficDecoder::DescribeDataEntry(Registers& registers, int value) {
    const int position = PositionOfAddress(registers.msb, registers.lsb, registers.effectType);
    if (position == kUpdateBracketPosition) return value == 0 ? "update begins" : "update ends";
    const UnitParameter* parameter = position >= 0 ? UnitParameterAt(position) : nullptr;
    if (registers.msb < 0 || registers.lsb < 0)
        return Format("data entry %d, no address yet", value);
    if (parameter == nullptr) {
        return Format("value %d for address %d/%d", value, registers.msb, registers.lsb);
    }
    const int plain = value - parameter->wireOffset;
    if (position == kEffectTypePosition) registers.effectType = plain;
    if (const char* word = DisplayWord(position, plain)) {
        return Format("%s = %d (%s)", parameter->name, plain, word);
    }
    return Format("%s = %d", parameter->name, plain);
}

std::string TrafficDecoder::DescribeSysEx(const uint8_t* bytes, size_t kept, size_t size) {
    const bool program = HasUnitHeader(bytes, kept, kFamilyProgram);
    const bool firmware = HasUnitHeader(bytes, kept, kFamilyFirmware);
    if ((!program && !firmware) || kept <= kCodeIndex) return Raw(bytes, kept, size);
    const uint8_t code = bytes[kCodeIndex];
    // The unit's replies are told apart by their length alone, whatever their family byte.
    if (size == kStatusReplySize && !(firmware && code == kCodeFirmwareStart)) {
        const char* meaning = StatusReplyMeaning(code);
        return Format("status reply %02X (%s)", code, meaning ? meaning : "unknown");
    }
    if (firmware && code == kCodeFirmwareStart) return "firmware update start";
    if (firmware && code == kCodeFirmwareData) return Format("firmware data, %zu bytes", size);
    if (program && code == kCodeProgramWrite)
        return DescribeProgramMessage("program write", bytes, kept, size);
    if (program && code == kCodeProgramDump)
        return DescribeProgramMessage("dump of", bytes, kept, size);
    if (program && code == kCodeDumpRequest && size == kDumpRequestSize && kept >= size)
        return Format("dump request for %d", bytes[kProgramNumberIndex]);
    return Raw(bytes, kept, size);
}
