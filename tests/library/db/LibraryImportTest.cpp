#include "library/db/LibraryImport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "library/db/LibraryDatabase.h"
#include "library/db/LibraryExport.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramText.h"
#include "unit/UnitMessages.h"

namespace {

std::string Dump(const ProgramValues& values, int location) {
    std::vector<uint8_t> dump = *BuildProgramWrite(location, ProgramSlotsToUnitBytes(values));
    dump[kCodeIndex] = kCodeProgramDump;
    // A dump sums its bytes as signed numbers; all of these are below 0x40, so the sums agree.
    return std::string(dump.begin(), dump.end());
}

class LibraryImportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(database_.Open().Usable()); }
    void WriteProgram(const std::string& name, int seed) {
        std::filesystem::create_directories(std::filesystem::path(files_.File(name)).parent_path());
        TempDir::Write(files_.File(name),
                       FormatProgramText(ClampProgramValues(DistinctProgram(seed))));
    }
    LibraryEntry FindOne(const std::string& text) {
        LibraryQuery query;
        query.text = text;
        return database_.Find(query).at(0);
    }
    std::vector<std::string> AllNames() {
        std::vector<std::string> names;
        for (const LibraryEntry& entry : database_.Find({}))
            names.push_back(entry.metadata.name);
        return names;
    }

    TempDir dir_;
    TempDir files_;
    LibraryDatabase database_{dir_.File("library.sqlite")};
};

using Names = std::vector<std::string>;

TEST_F(LibraryImportTest, FoldersAreImportedWithTheirSubFoldersAndNamedAfterTheFiles) {
    WriteProgram("Banks/07 Fat bass.prg", 1);
    WriteProgram("Banks/Factory/03.prg", 2);
    WriteProgram("Banks/Factory/deeper/Rubber_01.PRG", 3);
    TempDir::Write(files_.File("Banks/readme.txt"), "not a program");
    const ImportReport report = ImportIntoLibrary(database_, {files_.File("Banks")});
    EXPECT_EQ(report.programs, 3);
    EXPECT_EQ(report.added, 3);
    EXPECT_TRUE(report.refused.empty());
    EXPECT_EQ(AllNames(), (Names{"Factory 03", "Fat bass", "Rubber_01"}));
    const LibraryEntry fat = FindOne("fat");
    EXPECT_EQ(database_.Sources(fat.id).at(0).path, files_.File("Banks/07 Fat bass.prg"));
    EXPECT_EQ(fat.values, ClampProgramValues(DistinctProgram(1)));
}

TEST_F(LibraryImportTest, BadFilesAreNamedAndTheImportGoesOn) {
    WriteProgram("a/01 good.prg", 1);
    TempDir::Write(files_.File("a/02 bad.prg"), "hello\r\n");
    WriteProgram("a/03 good too.prg", 2);
    const ImportReport report =
        ImportIntoLibrary(database_, {files_.File("a"), files_.File("missing.prg")});
    EXPECT_EQ(report.added, 2);
    ASSERT_EQ(report.refused.size(), 2u);
    EXPECT_EQ(report.refused[0].first, files_.File("a/02 bad.prg"));
    EXPECT_NE(report.refused[0].second.find("02 bad.prg"), std::string::npos);
    EXPECT_EQ(report.refused[1].first, files_.File("missing.prg"));
    EXPECT_EQ(report.Summary(), "2 programs, 2 new, 0 already in the library; 2 files refused");
}

TEST_F(LibraryImportTest, ImportingTwiceAddsOnlySourcesAndChangesNoFile) {
    WriteProgram("x/01 one.prg", 1);
    WriteProgram("y/same as one.prg", 1);
    const auto time = std::filesystem::last_write_time(files_.File("x/01 one.prg"));
    const std::string text = TempDir::Read(files_.File("x/01 one.prg"));
    ImportIntoLibrary(database_, {files_.File("x")});
    const ImportReport again = ImportIntoLibrary(database_, {files_.File("x"), files_.File("y")});
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.known, 2);
    EXPECT_EQ(database_.Count(), 1);
    EXPECT_EQ(database_.Sources(database_.Find({}).at(0).id).size(), 2u);
    EXPECT_EQ(TempDir::Read(files_.File("x/01 one.prg")), text);
    EXPECT_EQ(std::filesystem::last_write_time(files_.File("x/01 one.prg")), time);
    EXPECT_EQ(std::filesystem::directory_iterator(files_.File("x"))->path().filename(),
              "01 one.prg");
}

TEST_F(LibraryImportTest, SyxWithManyDumpsKeepsTheGoodOnesAndCountsTheDamaged) {
    std::string damaged = Dump(ClampProgramValues(DistinctProgram(3)), 3);
    damaged[20] ^= 1;
    const std::string bank = Dump(ClampProgramValues(DistinctProgram(1)), 1) + "\x01\x02" +
                             Dump(ClampProgramValues(DistinctProgram(2)), 2) + damaged +
                             Dump(ClampProgramValues(DistinctProgram(4)), 4).substr(0, 50);
    TempDir::Write(files_.File("Bank A.syx"), bank);
    const ImportReport report = ImportIntoLibrary(database_, {files_.File("Bank A.syx")});
    EXPECT_EQ(report.added, 2);
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_NE(report.refused[0].second.find("holds 2 damaged program messages"), std::string::npos);
    EXPECT_EQ(AllNames(), (Names{"Bank A 01", "Bank A 02"}));
    const LibraryEntry second = FindOne("02");
    EXPECT_EQ(database_.Sources(second.id).at(0).location, 2);
}

TEST_F(LibraryImportTest, NamesComeFromTheFileWithoutNumberAndExtension) {
    EXPECT_EQ(ProgramNameOfFile("/a/07 Fat bass.prg"), "Fat bass");
    EXPECT_EQ(ProgramNameOfFile("/a/12-Pluck.prg"), "Pluck");
    EXPECT_EQ(ProgramNameOfFile("/a/Bank/42.prg"), "Bank 42");
    EXPECT_EQ(ProgramNameOfFile("42.prg"), "42");
    EXPECT_EQ(ProgramNameOfFile("/a/808 kick.prg"), "kick");
}

TEST_F(LibraryImportTest, ExportedFolderAndSyxImportAsTheSamePrograms) {
    for (int seed = 0; seed < 12; ++seed) {
        database_.AddProgram(DistinctProgram(seed), "p" + std::to_string(seed), {});
    }
    const std::vector<LibraryEntry> all = database_.Find({});
    std::string problem;
    ASSERT_TRUE(ExportProgramFolder(all, files_.File("out"), &problem)) << problem;
    ASSERT_TRUE(ExportProgramSyx(all, files_.File("out.syx"), &problem)) << problem;
    EXPECT_TRUE(std::filesystem::exists(files_.File("out/01.prg")));
    EXPECT_TRUE(std::filesystem::exists(files_.File("out/12.prg")));
    EXPECT_FALSE(std::filesystem::exists(files_.File("out/13.prg")));

    TempDir other;
    LibraryDatabase copy(other.File("copy.sqlite"));
    ASSERT_TRUE(copy.Open().Usable());
    EXPECT_EQ(ImportIntoLibrary(copy, {files_.File("out")}).added, 12);
    const ImportReport syx = ImportIntoLibrary(copy, {files_.File("out.syx")});
    EXPECT_EQ(syx.added, 0);
    EXPECT_EQ(syx.known, 12);
    for (const LibraryEntry& entry : all) {
        EXPECT_TRUE(copy.EntryOfValues(entry.values)) << entry.metadata.name;
    }
}

TEST_F(LibraryImportTest, SyxExportRefusesMoreProgramsThanTheUnitHasLocations) {
    std::vector<LibraryEntry> many(kLargestSyxExport + 1);
    std::string problem;
    EXPECT_FALSE(ExportProgramSyx(many, files_.File("big.syx"), &problem));
    EXPECT_NE(problem.find("at most 99 programs"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(files_.File("big.syx")));
}

}  // namespace
