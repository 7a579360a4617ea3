#include "library/ProgramFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

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

TEST_F(ProgramFileTest, FailuresSayWhy) {
    std::string reason;
    EXPECT_FALSE(ReadProgramFile(Path("missing.prg"), &reason));
    EXPECT_EQ(reason, "cannot be opened");
    EXPECT_FALSE(ReadProgramFile(folder_, &reason)) << "a folder is no program";
    Write(Path("bad.prg"), " 200 \r\n");
    EXPECT_FALSE(ReadProgramFile(Path("bad.prg"), &reason));
    EXPECT_EQ(reason, "holds a value outside -64..127");
    Write(Path("huge.prg"), std::string(kLargestProgramFile + 1, ' '));
    EXPECT_FALSE(ReadProgramFile(Path("huge.prg"), &reason));
    EXPECT_FALSE(WriteProgramFile(Path("no/such/folder.prg"), ProgramValues{}));
}

}  // namespace
