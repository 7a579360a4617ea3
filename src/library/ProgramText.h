#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ProgramSlots.h"

// The .prg program file: 104 value lines, one per slot, then 16 dummy lines, each ending in
// CR LF. Beside each value a line names the panel section ("field") and the knob in it ("poti");
// readers ignore them.

constexpr int kProgramFileLines = 120;
constexpr int kProgramValueMin = -64;
constexpr int kProgramValueMax = 127;

// One value line of program text: where it stands in the file (lines counted from 1), the line
// without its line end, and the number the editor reads from it, if it reads one.
struct ProgramTextLine {
    int lineNumber = 0;
    std::string_view text;
    std::optional<int> value;
};

// The value lines of program text, at most 104. Lines are split at line feeds (empty lines
// skipped); the value is read from the first 5 characters of a line, or all but the last of a
// line shorter than 6.
std::vector<ProgramTextLine> ProgramValueLines(std::string_view text);

// Reads the 104 file values from program text as the editor does, leniently: a line without a
// number repeats the value before it, and slots the text does not reach are 0. Nothing when a
// value lies outside -64..127.
std::optional<ProgramValues> ParseProgramText(std::string_view text);

// Reads the 104 file values strictly, for scripts: nothing, and the first fault in problem
// ("line 7 holds no number"), when the text has fewer than 104 value lines, a value line
// without a number, or a value outside -64..127. A value is read from the first 5 characters
// of the line less its line end, so a short line without a carriage return keeps its last
// digit.
std::optional<ProgramValues> ParseWholeProgramText(std::string_view text, std::string* problem);

// The 120-line text of a program file, byte for byte as the editor writes it.
std::string FormatProgramText(const ProgramValues& values);

// The section and the knob within it that slot 0..103 belongs to on the panel.
int SlotField(int slot);
int SlotPoti(int slot);
