#include "library/ProgramText.h"

#include <array>
#include <cstdio>

namespace {

// First slot (0-based) of each panel section, in order; the last entry ends the table.
constexpr std::array<int, 13> kFieldFirstSlot = {0,  12, 24, 36, 48, 56, 58,
                                                 64, 75, 78, 85, 89, 104};

constexpr std::string_view kDummyLine = " 0    ; dummy\r\n";
constexpr int kDummyLineCount = kProgramFileLines - kProgramSlotCount;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A decimal integer with leading blanks and an optional sign, as the old reader's "%d" took it.
std::optional<int> ReadNumber(std::string_view field) {
    size_t i = 0;
    while (i < field.size() && IsBlank(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    if (i >= field.size() || field[i] < '0' || field[i] > '9') return std::nullopt;
    int value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');  // at most five characters: no overflow
    }
    return negative ? -value : value;
}

}  // namespace

std::vector<ProgramTextLine> ProgramValueLines(std::string_view text) {
    std::vector<ProgramTextLine> lines;
    int lineNumber = 0;
    size_t start = 0;
    while (lines.size() < static_cast<size_t>(kProgramSlotCount) && start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        // A line of only a carriage return is the blank line of a CR LF file: skipped like an
        // empty one, so that blank lines never shift the slots.
        if (line.empty() || line == "\r") continue;
        // Five characters hold any value. Only a carriage return is dropped from the line's
        // end: a file with bare line feeds (edited by hand, say) keeps its last digit, where
        // dropping the last character of every short line read "12" as 1.
        const std::string_view value = line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
        lines.push_back({lineNumber, value, ReadNumber(value.substr(0, 5))});
    }
    return lines;
}

std::optional<ProgramValues> ParseProgramText(std::string_view text) {
    ProgramValues values{};
    int slot = 0;
    int previous = 0;
    for (const ProgramTextLine& line : ProgramValueLines(text)) {
        const int value = line.value.value_or(previous);
        if (value < kProgramValueMin || value > kProgramValueMax) return std::nullopt;
        values[static_cast<size_t>(slot++)] = value;
        previous = value;
    }
    return values;
}

std::optional<ProgramValues> ParseWholeProgramText(std::string_view text, std::string* problem) {
    auto fail = [problem](std::string why) -> std::optional<ProgramValues> {
        if (problem) *problem = std::move(why);
        return std::nullopt;
    };
    const std::vector<ProgramTextLine> lines = ProgramValueLines(text);
    ProgramValues values{};
    for (size_t slot = 0; slot < lines.size(); ++slot) {
        const std::string where = "line " + std::to_string(lines[slot].lineNumber);
        if (!lines[slot].value) return fail(where + " holds no number");
        const int value = *lines[slot].value;
        if (value < kProgramValueMin || value > kProgramValueMax) {
            return fail(where + " holds " + std::to_string(value) + ", outside -64..127");
        }
        values[slot] = value;
    }
    if (lines.size() < static_cast<size_t>(kProgramSlotCount)) {
        return fail("only " + std::to_string(lines.size()) + " value lines, a program has " +
                    std::to_string(kProgramSlotCount));
    }
    return values;
}

std::string FormatProgramText(const ProgramValues& values) {
    std::string text;
    text.reserve(5000);
    char line[96];
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        const int n = std::snprintf(
            line, sizeof line, "%- 6d; field:  %-3dpoti:  %-4dser.no.:  %d \r\n",
            values[static_cast<size_t>(slot)], SlotField(slot), SlotPoti(slot), slot + 1);
        text.append(line, static_cast<size_t>(n));
    }
    for (int i = 0; i < kDummyLineCount; ++i)
        text.append(kDummyLine);
    return text;
}

int SlotField(int slot) {
    if (slot < 0 || slot >= kProgramSlotCount) return -1;
    int field = 0;
    while (slot >= kFieldFirstSlot[static_cast<size_t>(field) + 1])
        ++field;
    return field;
}

int SlotPoti(int slot) {
    const int field = SlotField(slot);
    return field < 0 ? -1 : slot - kFieldFirstSlot[static_cast<size_t>(field)];
}
