#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/DebugPrint.h"
#include "util/TextBuffer.h"

TEST(DebugPrint, LineEndsInExactlyOneCarriageReturnLineFeed) {
    std::vector<std::string> lines;
    SetDebugSink([&](const std::string& line) { lines.push_back(line); });
    DebugPrint("NOT EXPECTING %d midi callback msg len\n", 10);
    DebugPrint("trailing blanks \t \r\n\n");
    DebugPrint("%s", std::string(10000, 'x').c_str());
    SetDebugSink({});
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "NOT EXPECTING 10 midi callback msg len\r\n");
    EXPECT_EQ(lines[1], "trailing blanks\r\n");
    EXPECT_EQ(lines[2], std::string(4093, 'x') + "\r\n");
}

TEST(TextBuffer, AssignAppendAndTextFromItsOwnContent) {
    TextBuffer text;
    EXPECT_STREQ(text.Text(), "");
    text.Assign("Program Name");
    text.Append(" 07");
    EXPECT_STREQ(text.Text(), "Program Name 07");
    text.Assign(text.Text() + 8, 4);
    EXPECT_STREQ(text.Text(), "Name");
    text.Append(text.Text(), text.Length());
    EXPECT_STREQ(text.Text(), "NameName");
    EXPECT_EQ(text.Length(), 8);
}

TEST(TextBuffer, FormatCutsAtMaxLength) {
    TextBuffer text;
    text.Format(5, "%d dB", 12);
    EXPECT_STREQ(text.Text(), "12 dB");
    text.Format(4, "%s", "overdrive");
    EXPECT_STREQ(text.Text(), "over");
    text.Format(0, "%s", "x");
    EXPECT_STREQ(text.Text(), "");
}
