#include "unit/UnitMessages.h"

#include <algorithm>

namespace {

std::vector<uint8_t> ProgramHeader(uint8_t code, int program) {
    return {kSysExStart,
            kManufacturerId[0],
            kManufacturerId[1],
            kManufacturerId[2],
            kFamilyProgram,
            code,
            0x00,
            static_cast<uint8_t>(program)};
}

}  // namespace

Checksum7 ProgramChecksum(const ProgramBlock& block) {
    uint32_t sum = 0;
    for (uint8_t b : block)
        sum += b;
    return SplitChecksum(sum);
}

std::optional<std::vector<uint8_t>> BuildDumpRequest(int program) {
    if (!IsProgramNumber(program)) return std::nullopt;
    std::vector<uint8_t> message = ProgramHeader(kCodeDumpRequest, program);
    message.push_back(kSysExEnd);
    return message;
}

std::optional<std::vector<uint8_t>> BuildProgramWrite(int program, const ProgramBlock& block) {
    if (!IsProgramNumber(program)) return std::nullopt;
    if (std::any_of(block.begin(), block.end(), [](uint8_t b) { return b > 0x7F; })) {
        return std::nullopt;
    }
    std::vector<uint8_t> message = ProgramHeader(kCodeProgramWrite, program);
    message.reserve(kProgramMessageSize);
    message.insert(message.end(), block.begin(), block.end());
    const Checksum7 checksum = ProgramChecksum(block);
    message.push_back(checksum.high);
    message.push_back(checksum.low);
    message.push_back(kSysExEnd);
    return message;
}

bool IsProgramDump(const uint8_t* bytes, size_t size) {
    return bytes && size == kProgramMessageSize && bytes[kCodeIndex] == kCodeProgramDump;
}

bool DumpChecksumMatches(const uint8_t* bytes, size_t size) {
    if (!bytes || size != kProgramMessageSize) return false;
    int32_t sum = 0;
    for (size_t i = kProgramBlockIndex; i < kChecksumHighIndex; ++i) {
        sum += static_cast<int8_t>(bytes[i]);
    }
    return ((sum >> 7) & 0x7F) == bytes[kChecksumHighIndex] &&
           (sum & 0x7F) == bytes[kChecksumLowIndex];
}

std::optional<ProgramBlock> ProgramBlockOf(const uint8_t* bytes, size_t size) {
    if (!bytes || size != kProgramMessageSize) return std::nullopt;
    ProgramBlock block{};
    std::copy_n(bytes + kProgramBlockIndex, block.size(), block.begin());
    return block;
}

std::optional<uint8_t> StatusReplyCode(const uint8_t* bytes, size_t size) {
    if (!bytes || size != kStatusReplySize) return std::nullopt;
    return bytes[kCodeIndex];
}

bool HasUnitHeader(const uint8_t* bytes, size_t size, uint8_t family) {
    return bytes && size >= 6 && bytes[0] == kSysExStart && bytes[1] == kManufacturerId[0] &&
           bytes[2] == kManufacturerId[1] && bytes[3] == kManufacturerId[2] && bytes[4] == family;
}

const char* StatusReplyMeaning(uint8_t code) {
    switch (code) {
        case kReplyErasing:
            return "flash being erased";
        case kReplyReadyForData:
            return "ready for the update data";
        case kReplyUpdateSuccessful:
            return "update successful";
        case kReplyUpdateFailed:
            return "update failed";
        case kReplyProgramStored:
            return "program stored";
        case kReplyProgramNotStored:
            return "program not stored";
        default:
            return nullptr;
    }
}
