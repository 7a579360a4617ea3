#include "unit/ProgramFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/VirtualOrvo.h"

namespace {

TEST(ProgramFolder, ProgramsSavedAndLoadedByLocation) {
    char pattern[] = "/tmp/orvo-simfolder-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;

    VirtualOrvo unit;
    ProgramValues values{};
    values[0] = -12;
    values[89] = kEffectOverdrive;
    values[93] = 6;
    unit.SetProgram(42, ProgramSlotsToUnitBytes(values));
    ASSERT_TRUE(SaveProgramFolder(folder, unit));
    EXPECT_EQ(ReadProgramFile(folder + "/42.prg"), ClampProgramValues(values));

    // Another unit takes them back, by the two digits the names start with.
    std::rename((folder + "/07.prg").c_str(), (folder + "/07 Acid Line.prg").c_str());
    std::ofstream(folder + "/13.prg") << " 500 \r\n";
    std::ofstream(folder + "/notes.txt") << "not a program";
    VirtualOrvo other;
    std::vector<std::string> problems;
    EXPECT_EQ(LoadProgramFolder(folder, other, &problems), 98);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("13.prg", 0), 0u);
    EXPECT_EQ(other.Program(42), unit.Program(42));
    std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
