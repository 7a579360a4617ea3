#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "util/MidiMessage.h"

// The system-exclusive messages the editor and the Orvo exchange about programs, and the reply
// codes the unit answers with. Every message starts F0 00 21 11 and a family byte.

constexpr std::array<uint8_t, 3> kManufacturerId = {0x00, 0x21, 0x11};
constexpr uint8_t kFamilyFirmware = 0x02;
constexpr uint8_t kFamilyProgram = 0x03;

// Byte 5 of a message: what it asks for or answers.
enum UnitCode : uint8_t {
    kCodeFirmwareStart = 0x10,
    kCodeFirmwareData = 0x13,
    kCodeProgramWrite = 0x20,
    kCodeDumpRequest = 0x40,
    kCodeProgramDump = 0x41,
    kReplyErasing = 0x11,
    kReplyReadyForData = 0x12,
    kReplyUpdateSuccessful = 0x14,
    kReplyUpdateFailed = 0x15,
    kReplyProgramStored = 0x21,
    kReplyProgramNotStored = 0x22,
};

constexpr int kFirstProgramNumber = 1;
constexpr int kLastProgramNumber = 99;
constexpr int kProgramBlockSize = 104;

constexpr size_t kStatusReplySize = 7;
constexpr size_t kDumpRequestSize = 9;
constexpr size_t kProgramMessageSize = 115;
// Where the parts of a program write or dump lie.
constexpr size_t kCodeIndex = 5;
constexpr size_t kProgramNumberIndex = 7;
constexpr size_t kProgramBlockIndex = 8;
constexpr size_t kChecksumHighIndex = 112;
constexpr size_t kChecksumLowIndex = 113;

// One program as the unit stores it: 104 data bytes, each 0..127.
using ProgramBlock = std::array<uint8_t, kProgramBlockSize>;

// A sum as the unit's messages carry it: bits 7..13, then bits 0..6.
struct Checksum7 {
    uint8_t high = 0;
    uint8_t low = 0;
    bool operator==(const Checksum7&) const = default;
};
constexpr Checksum7 SplitChecksum(uint32_t sum) {
    return {static_cast<uint8_t>((sum >> 7) & 0x7F), static_cast<uint8_t>(sum & 0x7F)};
}

constexpr bool IsProgramNumber(int program) {
    return program >= kFirstProgramNumber && program <= kLastProgramNumber;
}

// The checksum of a program write: the unsigned sum of the 104 bytes.
Checksum7 ProgramChecksum(const ProgramBlock& block);

// F0 00 21 11 03 40 00 nn F7; nothing for a number outside 1..99.
std::optional<std::vector<uint8_t>> BuildDumpRequest(int program);

// The 115-byte program write for location 1..99. Nothing for another number, or for a block
// holding a byte above 7F, which the unit would read as a status byte breaking the message.
std::optional<std::vector<uint8_t>> BuildProgramWrite(int program, const ProgramBlock& block);

// True for a 115-byte message with code 41. Header, byte 6 and the last byte are not examined.
bool IsProgramDump(const uint8_t* bytes, size_t size);

// The dump check: bytes 8..111 summed as signed 8-bit values, split and compared with bytes
// 112 and 113. False for a message that is not 115 bytes long.
bool DumpChecksumMatches(const uint8_t* bytes, size_t size);

// The 104 program bytes of a 115-byte message (dump or write).
std::optional<ProgramBlock> ProgramBlockOf(const uint8_t* bytes, size_t size);

// Byte 5 of a 7-byte message: the unit's status replies are told apart by length alone, whatever
// their family byte.
std::optional<uint8_t> StatusReplyCode(const uint8_t* bytes, size_t size);

// What a status reply code means, in a few words ("program stored"); null for an unknown code.
const char* StatusReplyMeaning(uint8_t code);

// True when the message starts F0 00 21 11 with the given family byte.
bool HasUnitHeader(const uint8_t* bytes, size_t size, uint8_t family);
