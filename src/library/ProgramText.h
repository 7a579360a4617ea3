#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/ProgramSlots.h"

// The .prg program file: 104 value lines, one per slot, then 16 dummy lines, each ending in
// CR LF. Beside each value a line names the panel section ("field") and the knob in it ("poti");
// readers ignore them.

constexpr int kProgramFileLines = 120;
constexpr int kProgramValueMin = -64;
constexpr int kProgramValueMax = 127;

// Reads the 104 file values from program text. Lines are split at line feeds (empty lines
// skipped); the value is read from the first 5 characters of a line, or all but the last of a
// line shorter than 6. A line without a number repeats the value before it. Slots the text does
// not reach are 0. Nothing when a value lies outside -64..127.
std::optional<ProgramValues> ParseProgramText(std::string_view text);

// The 120-line text of a program file, byte for byte as the editor writes it.
std::string FormatProgramText(const ProgramValues& values);

// The section and the knob within it that slot 0..103 belongs to on the panel.
int SlotField(int slot);
int SlotPoti(int slot);
