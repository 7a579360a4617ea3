#include "unit/ProgramText.h"

#include <array>
#include <cstdio>
#include <vector>

namespace {

// First slot (0-based) of each panel section, in order; the last entry ends the table.
constexpr std::array<int, 13> kFieldFirstSlot = {0,  12, 24, 36, 48, 56, 58,
                                                 64, 75, 78, 85, 89, 104};

constexpr std::string_view kDummyLine = " 0    ; dummy\r\n";
constexpr std::string_view kDummyComment = "dummy";
constexpr std::string_view kSerialLabel = "ser.no.:";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kDummyLineCount = kProgramFileLines - kProgramSlotCount;
// A word quoted in a refusal is cut to this many characters.
constexpr size_t kQuotedWord = 16;
// More digits than this are out of range whatever they say, and never overflow.
constexpr size_t kLongestNumber = 9;

struct TextLine {
    int number = 0;
    std::string_view text;
};

// The lines of text, each without its line end: CR LF, LF and a lone CR each end one line.
std::vector<TextLine> SplitLines(std::string_view text) {
    std::vector<TextLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back({static_cast<int>(lines.size()) + 1, text.substr(start, end - start)});
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Control characters other than the tab never stand in program text.
bool IsBinary(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The value of a line: its first word, ended by a blank or the ";" of its comment.
std::string_view FirstWord(std::string_view line) {
    line = Trimmed(line);
    size_t end = 0;
    while (end < line.size() && !IsBlank(line[end]) && line[end] != ';')
        ++end;
    return line.substr(0, end);
}

bool IsDummyLine(std::string_view line) {
    const size_t semicolon = line.find(';');
    return semicolon != std::string_view::npos &&
           Trimmed(line.substr(semicolon + 1)) == kDummyComment;
}

// A whole word of decimal digits with an optional sign; a number too long to be a value reads
// as one out of range.
std::optional<long> ReadInteger(std::string_view word) {
    const bool negative = !word.empty() && word.front() == '-';
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) word.remove_prefix(1);
    if (word.empty()) return std::nullopt;
    long value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        if (word.size() <= kLongestNumber) value = value * 10 + (c - '0');
    }
    if (word.size() > kLongestNumber) value = kProgramValueMax + 1L;
    return negative ? -value : value;
}

// The slot a line says it stands for in its "ser.no.:" column, if it has that column.
std::optional<int> SerialNumber(std::string_view line) {
    const size_t at = line.find(kSerialLabel);
    if (at == std::string_view::npos) return std::nullopt;
    const std::string_view rest = Trimmed(line.substr(at + kSerialLabel.size()));
    const std::optional<long> serial = ReadInteger(FirstWord(rest));
    if (!serial || *serial < 1 || *serial > kProgramSlotCount * 2) return std::nullopt;
    return static_cast<int>(*serial);
}

// A word of the file as the user may be shown it: cut short, and bytes that may not be text
// replaced.
std::string Quoted(std::string_view word) {
    std::string shown;
    for (char c : word.substr(0, kQuotedWord))
        shown += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    if (word.size() > kQuotedWord) shown += "...";
    return "\"" + shown + "\"";
}

// The value of the line that stands for slot (0-based), or the cause for refusing it.
std::optional<int> ReadValueLine(std::string_view line, int slot, std::string& cause) {
    const std::string_view word = FirstWord(line);
    const std::optional<long> value = ReadInteger(word);
    if (!value) {
        cause = "holds " + Quoted(word) + " where a number belongs";
        return std::nullopt;
    }
    if (*value < kProgramValueMin || *value > kProgramValueMax) {
        cause = "holds " + std::string(word.substr(0, kQuotedWord)) + ", outside -64..127";
        return std::nullopt;
    }
    const std::optional<int> serial = SerialNumber(line);
    if (serial && *serial > slot + 1) {
        cause = "is the line of slot " + std::to_string(*serial) + ": the line of slot " +
                std::to_string(slot + 1) + " is missing";
        return std::nullopt;
    }
    if (serial && *serial < slot + 1) {
        cause = "is a second line of slot " + std::to_string(*serial) + ", where slot " +
                std::to_string(slot + 1) + " belongs";
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<ProgramValues> Refuse(ProgramTextFault* fault, int line, std::string cause) {
    if (fault) *fault = {line, std::move(cause)};
    return std::nullopt;
}

}  // namespace

std::optional<ProgramValues> ParseProgramText(std::string_view text, ProgramTextFault* fault) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::vector<TextLine> lines = SplitLines(text);
    for (const TextLine& line : lines) {
        for (char c : line.text) {
            if (IsBinary(c)) return Refuse(fault, line.number, "holds binary data, not text");
        }
    }
    const std::string ofAProgram = " of the " + std::to_string(kProgramSlotCount) + " value lines";
    ProgramValues values{};
    int slot = 0;
    for (const TextLine& line : lines) {
        if (Trimmed(line.text).empty()) continue;
        if (IsDummyLine(line.text)) {
            if (slot == kProgramSlotCount) continue;
            return Refuse(fault, line.number,
                          "is a dummy line, yet only " + std::to_string(slot) + ofAProgram +
                              " came before it");
        }
        if (slot == kProgramSlotCount) {
            return Refuse(
                fault, line.number,
                "is a value line too many: a program has " + std::to_string(kProgramSlotCount));
        }
        std::string cause;
        const std::optional<int> value = ReadValueLine(line.text, slot, cause);
        if (!value) return Refuse(fault, line.number, cause);
        values[static_cast<size_t>(slot++)] = *value;
    }
    if (lines.empty()) return Refuse(fault, 0, "the file is empty");
    if (slot == 0) return Refuse(fault, 0, "the file holds no value lines");
    if (slot < kProgramSlotCount) {
        return Refuse(fault, lines.back().number,
                      "ends the file after only " + std::to_string(slot) + ofAProgram);
    }
    return values;
}

std::string DescribeProgramTextFault(const ProgramTextFault& fault) {
    if (fault.line <= 0) return fault.cause;
    return "line " + std::to_string(fault.line) + " " + fault.cause;
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
