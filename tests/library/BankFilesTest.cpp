#include "library/BankFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/ProgramText.h"
#include "unit/UnitMessages.h"

namespace {

BankPrograms WholeBank(int offset) {
    BankPrograms bank;
    for (int n = 1; n <= 99; ++n)
        bank[static_cast<size_t>(n - 1)] = DistinctProgram(offset + n);
    return bank;
}

}  // namespace

TEST(BankFilesTest, ABankGoesOutAndComesBackAsOneSyxOrAFolder) {
    TempDir dir;
    const BankPrograms bank = WholeBank(400);
    std::string problem;
    ASSERT_TRUE(ExportBankSyx(bank, dir.File("bank.syx"), &problem)) << problem;
    ASSERT_TRUE(ExportBankFolder(bank, dir.File("bank"), &problem)) << problem;
    EXPECT_EQ(TempDir::Read(dir.File("bank.syx")).size(), 99 * kProgramMessageSize);
    EXPECT_TRUE(std::filesystem::exists(dir.File("bank/01.prg")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("bank/99.prg")));
    EXPECT_EQ(ImportBank(dir.File("bank.syx"), &problem), bank) << problem;
    EXPECT_EQ(ImportBank(dir.File("bank"), &problem), bank) << problem;
    EXPECT_EQ(ImportBank(dir.File("bank/"), &problem), bank) << problem;
}

TEST(BankFilesTest, AnUnknownLocationIsNamedAndNothingIsWritten) {
    TempDir dir;
    BankPrograms bank = WholeBank(0);
    bank[56].reset();
    std::string problem;
    EXPECT_FALSE(ExportBankSyx(bank, dir.File("bank.syx"), &problem));
    EXPECT_EQ(problem, "Location 57 holds no known program: read the bank from the Orvo first.");
    EXPECT_FALSE(ExportBankFolder(bank, dir.File("bank"), &problem));
    EXPECT_FALSE(std::filesystem::exists(dir.File("bank.syx")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("bank")));
}

TEST(BankFilesTest, AFolderAsWriteAllReadsIt) {
    TempDir dir;
    TempDir::Write(dir.File("03 Third.prg"), FormatProgramText(DistinctProgram(3)));
    TempDir::Write(dir.File("099 Last.PRG"), FormatProgramText(DistinctProgram(99)));
    TempDir::Write(dir.File("Bass.prg"), FormatProgramText(DistinctProgram(6)));
    TempDir::Write(dir.File("07.txt"), "07");
    std::string problem;
    const std::optional<BankPrograms> bank = ImportBank(dir.Path(), &problem);
    ASSERT_TRUE(bank) << problem;
    EXPECT_EQ((*bank)[2], DistinctProgram(3));
    EXPECT_EQ((*bank)[98], DistinctProgram(99));
    EXPECT_EQ(
        std::count_if(bank->begin(), bank->end(), [](const auto& p) { return p.has_value(); }), 2)
        << "the other locations stay as the unit holds them";

    TempDir::Write(dir.File("3 Again.prg"), FormatProgramText(DistinctProgram(4)));
    EXPECT_FALSE(ImportBank(dir.Path(), &problem));
    EXPECT_NE(problem.find("names location 3 twice"), std::string::npos) << problem;
}

TEST(BankFilesTest, DamagedOrEmptyFilesAreRefusedWithTheReason) {
    TempDir dir;
    std::string problem;
    std::string syx;
    for (int n : {1, 2}) {
        const auto write = *BuildProgramWrite(n, ProgramSlotsToUnitBytes(DistinctProgram(n)));
        syx.append(write.begin(), write.end());
    }
    syx[kChecksumLowIndex] ^= 0x01;
    TempDir::Write(dir.File("damaged.syx"), syx);
    EXPECT_FALSE(ImportBank(dir.File("damaged.syx"), &problem));
    EXPECT_EQ(problem, dir.File("damaged.syx") +
                           " holds 1 damaged program message(s); the bank was not taken.");
    TempDir::Write(dir.File("empty.syx"), "");
    EXPECT_FALSE(ImportBank(dir.File("empty.syx"), &problem));
    EXPECT_EQ(problem, dir.File("empty.syx") + " holds no program of the Orvo.");
    EXPECT_FALSE(ImportBank(dir.File("missing.syx"), &problem));
    EXPECT_EQ(problem, dir.File("missing.syx") +
                           " could not be read, or is too large for a bank of the Orvo.");
}
