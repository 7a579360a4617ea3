#include "library/ProgramText.h"

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

TEST(ProgramText, BlankLinesDoNotShiftTheSlots) {
    const std::optional<ProgramValues> plain = ParseProgramText(" 1 \r\n 2 \r\n 3 \r\n");
    ASSERT_TRUE(plain);
    EXPECT_EQ((*plain)[2], 3);
    EXPECT_EQ(ParseProgramText("\n\n 1 \r\n\n\n 2 \r\n\r\n\r\n 3 \r\n"), plain);
    EXPECT_EQ(ParseProgramText(" 1   x\n 2   x\n\n 3   x"), plain);
}

TEST(ProgramText, ShortLinesKeepTheirDigitsWithOrWithoutCarriageReturns) {
    // Only a carriage return is dropped from a line's end: with bare line feeds "12" is 12,
    // not 1, and "5" is 5, not the value of the line before.
    const std::optional<ProgramValues> values = ParseProgramText("-20\n12\n5\n");
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[0], -20);
    EXPECT_EQ((*values)[1], 12);
    EXPECT_EQ((*values)[2], 5);
    EXPECT_EQ(ParseProgramText("-20\r\n12\r\n5\r\n"), values);
    // Longer lines keep their first five characters: "  123" and "   12".
    const std::optional<ProgramValues> longer = ParseProgramText("  12345678\n   12abc\n");
    ASSERT_TRUE(longer);
    EXPECT_EQ((*longer)[0], 123);
    EXPECT_EQ((*longer)[1], 12);
    EXPECT_FALSE(ParseProgramText("100000\n")) << "10000 lies outside -64..127";
    EXPECT_FALSE(ParseProgramText("  128\n")) << "a five-character line is read whole";
}

TEST(ProgramText, ALineWithoutANumberRepeatsTheOneBefore) {
    const std::optional<ProgramValues> values =
        ParseProgramText("abc\n 9 \r\nxyzzy\n -  \n+4    \n");
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[0], 0) << "nothing before the first line";
    EXPECT_EQ((*values)[1], 9);
    EXPECT_EQ((*values)[2], 9);
    EXPECT_EQ((*values)[3], 9);
    EXPECT_EQ((*values)[4], 4);
}

TEST(ProgramText, ValuesOutsideTheFileRangeFailTheWholeParse) {
    EXPECT_TRUE(ParseProgramText(" 127 \r\n"));
    EXPECT_TRUE(ParseProgramText("-64  \r\n"));
    EXPECT_FALSE(ParseProgramText(" 128 \r\n"));
    EXPECT_FALSE(ParseProgramText("-65  \r\n"));
    // Even after 103 good lines.
    ProgramValues values{};
    std::string text = FormatProgramText(values);
    const size_t lastLine = text.rfind("\r\n", text.find("ser.no.:  104")) + 2;
    text.replace(lastLine, 5, " 128 ");
    EXPECT_FALSE(ParseProgramText(text));
}

TEST(ProgramText, MissingSlotsAreZeroAndTheDummyLinesAreNotRead) {
    const std::optional<ProgramValues> empty = ParseProgramText("");
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, ProgramValues{});
    std::string text;
    for (int i = 0; i < 104; ++i)
        text += " 3 \r\n";
    text += " 999 ; past the program\r\n";
    const std::optional<ProgramValues> values = ParseProgramText(text);
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[103], 3);
}

}  // namespace
