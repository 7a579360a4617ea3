#pragma once

#include <optional>
#include <string>

#include "editor/ProgramSlots.h"

// A program file is about 5000 bytes; anything past this is not one.
constexpr size_t kLargestProgramFile = 1024 * 1024;

// The values of the program file at path. Nothing when it cannot be read, is larger than
// kLargestProgramFile, or holds a value outside -64..127; reason then says which, in a short
// sentence for the user.
std::optional<ProgramValues> ReadProgramFile(const std::string& path,
                                             std::string* reason = nullptr);

// Writes the program file atomically: a reader sees the old file or the whole new one.
[[nodiscard]] bool WriteProgramFile(const std::string& path, const ProgramValues& values);
