#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The messages of a .syx file, in order, and what the unit would make of each.

struct SyxContents {
    std::vector<std::vector<uint8_t>> messages;
    // Bytes that belong to no whole system-exclusive message: stray data, short messages, a
    // message broken off by a status byte or left without its F7.
    std::vector<std::string> problems;
};

SyxContents SplitSyx(const std::vector<uint8_t>& bytes);

enum class SyxKind {
    kProgramDump,
    kProgramWrite,
    kDumpRequest,
    kStatusReply,
    kFirmwareStart,
    kFirmwareData,
    kOther,
};

struct SyxDescription {
    SyxKind kind = SyxKind::kOther;
    bool wellFormed = false;
    int program = 0;  // program messages only
    // One line for the user: "program dump, program 7, checksum good".
    std::string text;
};

SyxDescription DescribeSyx(const std::vector<uint8_t>& message);

// A program dump or a program write, well formed or not.
bool IsProgramMessage(const SyxDescription& description);
