#include "unit/ProgramFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/stat.h>

#include "unit/ProgramText.h"

namespace {

class ProgramFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvo-prgfile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }
    std::string Path(const char* name) const { return folder_ + "/" + name; }
    void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string folder_;
};

TEST_F(ProgramFileTest, RefusalsAreSentencesNamingTheFileTheLineAndTheCause) {
    std::string reason;
    EXPECT_FALSE(ReadProgramFile(Path("missing.prg"), &reason));
    EXPECT_EQ(reason, "The program file \"" + Path("missing.prg") +
                          "\" cannot be used: it cannot be opened (No such file or directory).");
    EXPECT_FALSE(ReadProgramFile(folder_, &reason)) << "a folder is no program";
    EXPECT_EQ(reason, "The program file \"" + folder_ +
                          "\" cannot be used: it cannot be opened (Is a directory).");
    Write(Path("bad.prg"), " 200 \r\n");
    EXPECT_FALSE(ReadProgramFile(Path("bad.prg"), &reason));
    EXPECT_EQ(reason, "The program file \"" + Path("bad.prg") +
                          "\" cannot be used: line 1 holds 200, outside -64..127.");
    Write(Path("empty.prg"), "");
    EXPECT_FALSE(ReadProgramFile(Path("empty.prg"), &reason));
    EXPECT_EQ(reason,
              "The program file \"" + Path("empty.prg") + "\" cannot be used: the file is empty.");
}

TEST_F(ProgramFileTest, AFileOf8192BytesOrMoreIsRefusedUnread) {
    std::string text = FormatProgramText(ProgramValues{});
    // Trailing blank lines: read, the file is a whole program up to 8191 bytes.
    text.append(kLargestProgramFile - text.size(), '\n');
    Write(Path("largest.prg"), text);
    EXPECT_EQ(ReadProgramFile(Path("largest.prg")), ProgramValues{});
    Write(Path("huge.prg"), text + "\n");
    std::string reason;
    EXPECT_FALSE(ReadProgramFile(Path("huge.prg"), &reason));
    EXPECT_EQ(reason, "The program file \"" + Path("huge.prg") +
                          "\" cannot be used: it has 8192 bytes, and a program file has fewer "
                          "than 8192.");
}

TEST_F(ProgramFileTest, AFifoIsRefusedWithoutWaitingForAWriter) {
    ASSERT_EQ(mkfifo(Path("pipe.prg").c_str(), 0600), 0);
    std::string reason;
    EXPECT_FALSE(ReadProgramFile(Path("pipe.prg"), &reason));
    EXPECT_NE(reason.find("it cannot be opened (Not a plain file)"), std::string::npos) << reason;
}

TEST_F(ProgramFileTest, AFailedWriteSaysWhy) {
    std::string problem;
    EXPECT_FALSE(WriteProgramFile(Path("no/such/folder.prg"), ProgramValues{}, &problem));
    EXPECT_EQ(problem,
              "cannot create a file in " + Path("no/such/") + ": No such file or directory");
}

}  // namespace
