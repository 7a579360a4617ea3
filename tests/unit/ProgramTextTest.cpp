#include "unit/ProgramText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end + 2 - start));
        start = end + 2;
    }
    return lines;
}

TEST(ProgramText, WrittenTextMatchesTheEditorsLayoutByteForByte) {
    ProgramValues values{};
    values[1] = -12;
    values[2] = 5;
    values[89] = 127;
    values[103] = -64;
    const std::string text = FormatProgramText(values);
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 120u);
    std::string joined;
    for (const std::string& line : lines)
        joined += line;
    EXPECT_EQ(joined, text) << "every line ends in CR LF, nothing after the last";
    EXPECT_EQ(lines[0], " 0    ; field:  0  poti:  0   ser.no.:  1 \r\n");
    EXPECT_EQ(lines[1], "-12   ; field:  0  poti:  1   ser.no.:  2 \r\n");
    EXPECT_EQ(lines[2], " 5    ; field:  0  poti:  2   ser.no.:  3 \r\n");
    EXPECT_EQ(lines[48], " 0    ; field:  4  poti:  0   ser.no.:  49 \r\n");
    EXPECT_EQ(lines[74], " 0    ; field:  7  poti:  10  ser.no.:  75 \r\n");
    EXPECT_EQ(lines[89], " 127  ; field:  11 poti:  0   ser.no.:  90 \r\n");
    EXPECT_EQ(lines[103], "-64   ; field:  11 poti:  14  ser.no.:  104 \r\n");
    for (size_t i = 104; i < 120; ++i)
        EXPECT_EQ(lines[i], " 0    ; dummy\r\n");
}

TEST(ProgramText, WrittenProgramsReadBackUnchanged) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> value(-64, 127);
    for (int round = 0; round < 50; ++round) {
        ProgramValues values{};
        for (int32_t& v : values)
            v = value(random);
        EXPECT_EQ(ParseProgramText(FormatProgramText(values)), values);
    }
}

// The editor's text of a sample program with its line ends replaced.
std::string WithLineEnds(const std::string& text, const std::string& end) {
    std::string out;
    for (const std::string& line : Lines(text))
        out += line.substr(0, line.size() - 2) + end;
    return out;
}

ProgramValues Sample() {
    ProgramValues values{};
    for (int slot = 0; slot < kProgramSlotCount; ++slot)
        values[static_cast<size_t>(slot)] = (slot * 37) % 192 - 64;
    return values;
}

// The text with line `number` (counted from 1) replaced by `line`, or removed when it is empty.
std::string WithLine(const std::string& text, size_t number, const std::string& line) {
    std::vector<std::string> lines = Lines(text);
    if (line.empty()) {
        lines.erase(lines.begin() + static_cast<long>(number) - 1);
    } else {
        lines[number - 1] = line;
    }
    std::string out;
    for (const std::string& l : lines)
        out += l;
    return out;
}

TEST(ProgramText, EveryLineEndAndAByteOrderMarkReadTheSame) {
    const std::string text = FormatProgramText(Sample());
    for (const char* end : {"\r\n", "\n", "\r"}) {
        EXPECT_EQ(ParseProgramText(WithLineEnds(text, end)), Sample()) << end;
        EXPECT_EQ(ParseProgramText("\xEF\xBB\xBF" + WithLineEnds(text, end)), Sample())
            << "the mark does not take the first value";
    }
    // Older files of the same shape: bare numbers, one a line, without the columns or dummies.
    std::string bare;
    for (int32_t v : Sample())
        bare += std::to_string(v) + "\n";
    EXPECT_EQ(ParseProgramText(bare), Sample());
}

TEST(ProgramText, BlankLinesDoNotShiftTheSlots) {
    const std::string text = FormatProgramText(Sample());
    std::string spaced = "\r\n \t \r\n";
    for (const std::string& line : Lines(text))
        spaced += line + "\r\n  \r\n";
    EXPECT_EQ(ParseProgramText(spaced), Sample());
    EXPECT_EQ(ParseProgramText(WithLineEnds(text, "\n\n")), Sample());
}

struct Refusal {
    std::string name;
    std::string text;
    int line;
    std::string cause;
};

TEST(ProgramText, WhatIsNoWholeProgramIsRefusedWithTheLineAndTheCause) {
    const std::string text = FormatProgramText(Sample());
    const std::string line7 = Lines(text)[6];
    std::string bare;
    for (int i = 0; i < 103; ++i)
        bare += "5\n";
    const std::vector<Refusal> refusals = {
        {"empty", "", 0, "the file is empty"},
        {"only blank lines", "\xEF\xBB\xBF\r\n  \r\n", 0, "the file holds no value lines"},
        {"binary", std::string(" 1 \r\n 2\0 \r\n", 11), 2, "holds binary data, not text"},
        {"a word", WithLine(text, 7, "abc   ; field:  0  poti:  6   ser.no.:  7 \r\n"), 7,
         "holds \"abc\" where a number belongs"},
        {"digits then letters", WithLine(text, 7, "12abc ; field\r\n"), 7,
         "holds \"12abc\" where a number belongs"},
        {"too high", WithLine(text, 104, " 128  ; field:  11 poti:  14  ser.no.:  104 \r\n"), 104,
         "holds 128, outside -64..127"},
        {"too low", WithLine(text, 1, "-65\r\n"), 1, "holds -65, outside -64..127"},
        {"far too high", WithLine(text, 2, "1000000000000\r\n"), 2,
         "holds 1000000000000, outside -64..127"},
        {"a middle line missing", WithLine(text, 7, ""), 7,
         "is the line of slot 8: the line of slot 7 is missing"},
        {"the last line missing", WithLine(text, 104, ""), 104,
         "is a dummy line, yet only 103 of the 104 value lines came before it"},
        {"a line twice", WithLine(text, 8, line7), 8,
         "is a second line of slot 7, where slot 8 belongs"},
        {"an extra line", WithLine(text, 105, " 3 \r\n"), 105,
         "is a value line too many: a program has 104"},
        {"a bare line missing", bare, 103, "ends the file after only 103 of the 104 value lines"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        ProgramTextFault fault;
        EXPECT_FALSE(ParseProgramText(r.text, &fault));
        EXPECT_EQ(fault.line, r.line);
        EXPECT_EQ(fault.cause, r.cause);
    }
    EXPECT_EQ(DescribeProgramTextFault({7, "holds \"abc\" where a number belongs"}),
              "line 7 holds \"abc\" where a number belongs");
    EXPECT_EQ(DescribeProgramTextFault({0, "the file is empty"}), "the file is empty");
}

TEST(ProgramText, TheEdgesOfTheRangeAreValues) {
    const std::string text = FormatProgramText(Sample());
    const std::optional<ProgramValues> high = ParseProgramText(WithLine(text, 1, "+127\r\n"));
    ASSERT_TRUE(high);
    EXPECT_EQ((*high)[0], 127);
    const std::optional<ProgramValues> low = ParseProgramText(WithLine(text, 1, "-64\r\n"));
    ASSERT_TRUE(low);
    EXPECT_EQ((*low)[0], -64);
}

TEST(ProgramText, RandomBytesAreRefused) {
    std::mt19937 random(23);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 100; ++round) {
        std::string noise(4096, '\0');
        for (char& c : noise)
            c = static_cast<char>(byte(random));
        ProgramTextFault fault;
        EXPECT_FALSE(ParseProgramText(noise, &fault));
        EXPECT_FALSE(fault.cause.empty());
    }
}

}  // namespace
