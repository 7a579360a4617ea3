#include "util/ProfileFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/TempDir.h"

namespace {
const char* kSettings =
    "; Orvo Editor settings\r\n"
    "[midi]\r\n"
    "indev = Orvo MIDI 1  \r\n"
    "outdev=Orvo MIDI 1\r\n"
    "\r\n"
    "[gui]\r\n"
    "guiscale=1.200000000000000\r\n";
}  // namespace

TEST(ProfileFile, ReadsByCaseInsensitiveNamesAndDropsBlanks) {
    EXPECT_EQ(ReadProfileText(kSettings, "MIDI", "InDev", "off", 100), "Orvo MIDI 1");
    EXPECT_EQ(ReadProfileText(kSettings, "gui", "guiscale", "1", 100), "1.200000000000000");
    EXPECT_EQ(ReadProfileText(kSettings, "midi", "inBdev", "no input", 100), "no input");
    EXPECT_EQ(ReadProfileText(kSettings, "program", "lastfile", "", 100), "");
    EXPECT_EQ(ReadProfileText("[a]\nk=\"quoted value\"\n", "a", "k", "", 100), "quoted value");
    EXPECT_EQ(ReadProfileText("[a]\nk=abcdef\n", "a", "k", "", 4), "abc") << "buffer of 4 bytes";
    EXPECT_EQ(ReadProfileText("[b]\nk=1\n[a]\n", "a", "k", "none", 10), "none");
}

TEST(ProfileFile, ChangingOneKeyKeepsEveryOtherLineByteForByte) {
    const std::string updated = WriteProfileText(kSettings, "midi", "OUTDEV", "USB Port");
    EXPECT_EQ(updated,
              "; Orvo Editor settings\r\n"
              "[midi]\r\n"
              "indev = Orvo MIDI 1  \r\n"
              "OUTDEV=USB Port\r\n"
              "\r\n"
              "[gui]\r\n"
              "guiscale=1.200000000000000\r\n");
}

TEST(ProfileFile, MissingKeyGoesAtTheEndOfItsSectionAndMissingSectionAtTheEnd) {
    std::string text = WriteProfileText(kSettings, "midi", "inBdev", "Keys");
    EXPECT_NE(text.find("outdev=Orvo MIDI 1\r\ninBdev=Keys\r\n\r\n[gui]"), std::string::npos);
    text = WriteProfileText(text, "program", "lastfile", "/home/u/01 Bass.prg");
    EXPECT_NE(
        text.find("guiscale=1.200000000000000\r\n[program]\r\nlastfile=/home/u/01 Bass.prg\r\n"),
        std::string::npos);
    EXPECT_EQ(ReadProfileText(text, "program", "lastfile", "", 300), "/home/u/01 Bass.prg");
}

TEST(ProfileFile, SurvivesGarbageLongLinesBinaryBytesAndNoFinalLineEnd) {
    std::string garbage = "just words\n=novalue\n[unclosed\n";
    garbage += std::string(100000, 'x') + "\n";
    garbage += std::string("\x00\xff\x01 [x]=\x80", 9) + "\n";
    garbage += "[midi]\nindev=last";  // no final line end
    EXPECT_EQ(ReadProfileText(garbage, "midi", "indev", "off", 100), "last");
    const std::string updated = WriteProfileText(garbage, "midi", "outdev", "out");
    EXPECT_EQ(updated, garbage + "\noutdev=out\n");
    EXPECT_EQ(WriteProfileText("", "gui", "guiscale", "1.0"), "[gui]\nguiscale=1.0\n");
}

TEST(ProfileFile, LineBreaksInAValueCannotPlantKeys) {
    const std::string text = WriteProfileText("", "midi", "indev", "evil\r\n[gui]\nguiscale=9");
    EXPECT_EQ(ReadProfileText(text, "gui", "guiscale", "none", 100), "none");
    EXPECT_EQ(ReadProfileText(text, "midi", "indev", "", 100), "evil  [gui] guiscale=9");
}

TEST(ProfileFile, FileIsCreatedAndUpdatedInPlace) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    EXPECT_EQ(ReadProfileString(path, "midi", "indev", "no input", 100), "no input");
    ASSERT_TRUE(WriteProfileString(path, "midi", "indev", "off"));
    ASSERT_TRUE(WriteProfileString(path, "gui", "guiscale", "1.000000000000000"));
    ASSERT_TRUE(WriteProfileString(path, "midi", "indev", "Orvo"));
    EXPECT_EQ(TempDir::Read(path), "[midi]\nindev=Orvo\n[gui]\nguiscale=1.000000000000000\n");
    EXPECT_FALSE(WriteProfileString(dir.File("missing/settings.ini"), "a", "b", "c"));
}

TEST(ProfileFile, WritingTheValueItHoldsLeavesTheFileAlone) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    ASSERT_TRUE(WriteProfileString(path, "midi", "indev", "off"));
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    // An atomic replacement is a new file; the same value must not make one.
    ASSERT_TRUE(WriteProfileString(path, "midi", "indev", "off"));
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    // A new value is written as before.
    ASSERT_TRUE(WriteProfileString(path, "midi", "indev", "Orvo"));
    EXPECT_EQ(TempDir::Read(path), "[midi]\nindev=Orvo\n");
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
}

TEST(ProfileFile, UnreadableFileIsNotOverwritten) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    TempDir::Write(path, "[midi]\nindev=keep\n");
    chmod(path.c_str(), 0200);
    EXPECT_FALSE(WriteProfileString(path, "midi", "outdev", "x"));
    chmod(path.c_str(), 0600);
    EXPECT_EQ(TempDir::Read(path), "[midi]\nindev=keep\n");
}
