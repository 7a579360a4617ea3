#pragma once

#include <optional>
#include <string>

#include "unit/ProgramSlots.h"

// A program file is about 5000 bytes; one this large or larger is none.
constexpr size_t kLargestProgramFile = 8191;

// The values of the program file at path: the one reader of program files, for loading, the
// library arrows, the transfers to the unit, the last program and the scripting tool. Nothing
// when the file cannot be opened, has more than kLargestProgramFile bytes or is no whole
// program (see ParseProgramText); reason then says so in a sentence for the user that names
// the file, the line and the cause.
std::optional<ProgramValues> ReadProgramFile(const std::string& path,
                                             std::string* reason = nullptr);

// Writes the program file atomically: a reader sees the old file or the whole new one. When
// that fails, problem (when given) says what failed and why, in the system's words.
[[nodiscard]] bool WriteProgramFile(const std::string& path, const ProgramValues& values,
                                    std::string* problem = nullptr);
