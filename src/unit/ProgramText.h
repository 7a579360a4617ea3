#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "unit/ProgramSlots.h"

// The .prg program file: 104 value lines, one per slot, then 16 dummy lines, each ending in
// CR LF. Beside each value a line names the panel section ("field"), the knob in it ("poti") and
// the slot counted from 1 ("ser.no."); readers ignore the first two.

constexpr int kProgramFileLines = 120;
constexpr int kProgramValueMin = -64;
constexpr int kProgramValueMax = 127;

// Why program text was refused: the line it was found on (counted from 1; 0 when it concerns
// the text as a whole) and the cause, as words for the user ("holds \"abc\" where a number
// belongs").
struct ProgramTextFault {
    int line = 0;
    std::string cause;
};

// Reads the 104 file values of program text. Lines may end in CR LF, LF or a lone CR, and a
// leading UTF-8 byte-order mark is passed over; blank lines are skipped, and the dummy lines
// after the values are not read. Each value line begins with a number from -64 to 127; where a
// line carries its "ser.no.:" column, that must be the slot the line stands for. Anything else
// is refused, and fault (when given) says where and why: an empty text, binary data, a missing
// or an extra value line, a word where a number belongs, a value out of range.
std::optional<ProgramValues> ParseProgramText(std::string_view text,
                                              ProgramTextFault* fault = nullptr);

// A fault as the end of a sentence: "line 7 holds ..." or, for the whole text, its cause.
std::string DescribeProgramTextFault(const ProgramTextFault& fault);

// The 120-line text of a program file, byte for byte as the editor writes it.
std::string FormatProgramText(const ProgramValues& values);

// The section and the knob within it that slot 0..103 belongs to on the panel.
int SlotField(int slot);
int SlotPoti(int slot);
