#include "library/db/LibraryDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "library/db/LibrarySchema.h"
#include "library/db/ProgramLikeness.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"

namespace {

int UserVersion(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr);
    const int version =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return version;
}

class LibraryDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        database_.SetClock([this] { return now_; });
        ASSERT_TRUE(database_.Open().Usable());
    }
    int64_t Add(int seed, const std::string& name, SourceKind kind = SourceKind::kImport) {
        now_ += 10;
        const auto added =
            database_.AddProgram(DistinctProgram(seed), name, {kind, name + ".prg", 0, now_});
        return added ? added->id : 0;
    }
    std::vector<std::string> NamesOf(const LibraryQuery& query) {
        std::vector<std::string> names;
        for (const LibraryEntry& entry : database_.Find(query))
            names.push_back(entry.metadata.name);
        return names;
    }

    TempDir dir_;
    int64_t now_ = 1'800'000'000;
    LibraryDatabase database_{dir_.File("deep/folder/library.sqlite")};
};

using Names = std::vector<std::string>;

TEST(LibraryFileTest, VersionOneFileIsBroughtUpToDateWithNothingLost) {
    TempDir dir;
    const std::string path = dir.File("library.sqlite");
    std::filesystem::copy_file(ORVO_LIBRARY_VERSION1, path);
    ASSERT_EQ(UserVersion(path), 1);
    LibraryDatabase database(path);
    ASSERT_EQ(database.Open().status, LibraryOpenStatus::kOpened);
    EXPECT_EQ(UserVersion(path), CurrentSchemaVersion());
    ASSERT_EQ(database.Count(), 2);

    const auto entries = database.Find({});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].metadata.name, "Default bass");
    EXPECT_EQ(entries[0].metadata.tags, (Names{"bass", "init"}));
    EXPECT_TRUE(entries[0].metadata.favourite);
    EXPECT_EQ(entries[1].metadata.comment, "bright, for the chorus");
    EXPECT_EQ(entries[1].lastUsed, 1765000200);
    // The fingerprint of that version is the one this version computes for the same values.
    for (const LibraryEntry& entry : entries) {
        EXPECT_EQ(entry.fingerprint, ProgramFingerprint(entry.values));
        EXPECT_EQ(entry.effectType, entry.values[kEffectTypeSlot]);
    }
    // The effect type column the migration filled serves the filter.
    LibraryQuery equalizer;
    equalizer.effectType = 3;
    EXPECT_EQ(database.Find(equalizer).size(), 1u);
    const auto sources = database.Sources(entries[1].id);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].kind, SourceKind::kUnit);
    EXPECT_EQ(sources[0].location, 12);
    // And it takes new programs.
    EXPECT_TRUE(database.AddProgram(DistinctProgram(5), "new", {}));
}

TEST(LibraryFileTest, NewerVersionIsRefusedWithASentenceAndLeftAsItIs) {
    TempDir dir;
    const std::string path = dir.File("library.sqlite");
    std::filesystem::copy_file(ORVO_LIBRARY_VERSION1, path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::string before = TempDir::Read(path);

    LibraryDatabase database(path);
    const LibraryOpenResult& result = database.Open();
    EXPECT_EQ(result.status, LibraryOpenStatus::kRefused);
    EXPECT_NE(result.message.find("newer version of Orvo Editor (library version 99"),
              std::string::npos)
        << result.message;
    EXPECT_FALSE(database.IsOpen());
    EXPECT_FALSE(database.AddProgram(DistinctProgram(1), "x", {}));
    EXPECT_TRUE(database.Find({}).empty());
    EXPECT_EQ(TempDir::Read(path), before);
}

TEST(LibraryFileTest, DamagedFileIsMovedAsideAndANewLibraryStarted) {
    TempDir dir;
    const std::string path = dir.File("library.sqlite");
    const std::string garbage(5000, 'x');
    TempDir::Write(path, garbage);
    LibraryDatabase database(path);
    const LibraryOpenResult& result = database.Open();
    ASSERT_EQ(result.status, LibraryOpenStatus::kStartedAfresh) << result.message;
    EXPECT_NE(result.message.find("was damaged"), std::string::npos);
    std::vector<std::string> aside;
    for (const auto& file : std::filesystem::directory_iterator(dir.Path())) {
        if (file.path().filename().string().find("library.sqlite.damaged-") == 0) {
            aside.push_back(file.path().string());
        }
    }
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_NE(result.message.find(aside[0]), std::string::npos);
    EXPECT_EQ(TempDir::Read(aside[0]), garbage);
    EXPECT_TRUE(database.AddProgram(DistinctProgram(1), "fresh", {}));
    EXPECT_EQ(database.Count(), 1);
}

TEST(LibraryFileTest, TruncatedLibraryIsTakenForDamaged) {
    TempDir dir;
    const std::string path = dir.File("library.sqlite");
    {
        LibraryDatabase database(path);
        ASSERT_TRUE(database.Open().Usable());
        LibraryDatabase::Transaction transaction(database);
        for (int seed = 0; seed < 200; ++seed) {
            ASSERT_TRUE(database.AddProgram(DistinctProgram(seed), "p", {}));
        }
        ASSERT_TRUE(transaction.Commit());
    }
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    LibraryDatabase database(path);
    EXPECT_EQ(database.Open().status, LibraryOpenStatus::kStartedAfresh);
    EXPECT_EQ(database.Count(), 0);
}

TEST(LibraryFileTest, NothingIsCreatedBeforeTheFirstOpen) {
    TempDir dir;
    LibraryDatabase database(dir.File("a/library.sqlite"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("a")));
    EXPECT_TRUE(database.Open().Usable());
    EXPECT_TRUE(std::filesystem::exists(dir.File("a/library.sqlite")));
}

TEST(LibraryFileTest, DefaultPathIsInTheDataFolder) {
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(DefaultLibraryPath(), "/data/home/OrvodyneEditor/library.sqlite");
    setenv("XDG_DATA_HOME", "", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(DefaultLibraryPath(), "/home/u/.local/share/OrvodyneEditor/library.sqlite");
}

TEST_F(LibraryDatabaseTest, SameValuesAreOneProgramWithEverySource) {
    const int64_t first = Add(1, "Fat bass");
    now_ += 10;
    const auto again =
        database_.AddProgram(DistinctProgram(1), "Other name", {SourceKind::kUnit, "", 7, now_});
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->isNew);
    EXPECT_EQ(again->id, first);
    EXPECT_EQ(database_.Count(), 1);
    EXPECT_EQ(database_.Entry(first)->metadata.name, "Fat bass");
    const auto sources = database_.Sources(first);
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0].path, "Fat bass.prg");
    EXPECT_EQ(sources[1], (LibrarySource{SourceKind::kUnit, "", 7, now_}));
    // The same source twice is listed once.
    database_.AddProgram(DistinctProgram(1), "x", {SourceKind::kUnit, "", 7, now_ + 5});
    EXPECT_EQ(database_.Sources(first).size(), 2u);
}

TEST_F(LibraryDatabaseTest, ValuesTheUnitWouldStoreAlikeAreOneProgram) {
    ProgramValues overdrive = DistinctProgram(2);
    const int64_t id = database_.AddProgram(overdrive, "a", {})->id;
    // A slot the overdrive does not use, and a value beyond its parameter's range.
    overdrive[100] = 17;
    overdrive[0] = 120;
    ProgramValues held = DistinctProgram(2);
    held[0] = ClampProgramValues(overdrive)[0];
    const int64_t heldId = database_.AddProgram(held, "b", {})->id;
    EXPECT_EQ(database_.AddProgram(overdrive, "c", {})->id, heldId);
    EXPECT_NE(heldId, id);
}

TEST_F(LibraryDatabaseTest, MetadataIsKeptAndTagsTrimmed) {
    const int64_t id = Add(3, "Pluck");
    ASSERT_TRUE(database_.SetMetadata(
        id, {"Pluck 2", {" short ", "", "bass", "bass"}, true, "from the\nworkshop"}));
    const LibraryEntry entry = *database_.Entry(id);
    EXPECT_EQ(entry.metadata,
              (LibraryMetadata{"Pluck 2", {"bass", "short"}, true, "from the\nworkshop"}));
    EXPECT_EQ(database_.Tags(), (Names{"bass", "short"}));
    EXPECT_FALSE(database_.SetMetadata(id + 100, {"gone", {}, false, ""}));
    ASSERT_TRUE(database_.MarkUsed(id));
    EXPECT_EQ(database_.Entry(id)->lastUsed, now_);
}

TEST_F(LibraryDatabaseTest, DeletedProgramComesBackWhole) {
    const int64_t id = Add(4, "Growl");
    database_.SetMetadata(id, {"Growl", {"dark"}, true, "note"});
    database_.AddProgram(DistinctProgram(4), "", {SourceKind::kSave, "/x/Growl.prg", 0, 5});
    const LibraryEntry before = *database_.Entry(id);
    const std::optional<LibraryRecord> record = database_.Delete(id);
    ASSERT_TRUE(record);
    EXPECT_FALSE(database_.Entry(id));
    EXPECT_TRUE(database_.Tags().empty());
    // A new program never takes the deleted one's id.
    EXPECT_NE(Add(5, "Next"), id);
    ASSERT_TRUE(database_.Restore(*record));
    const LibraryEntry after = *database_.Entry(id);
    EXPECT_EQ(after.metadata, before.metadata);
    EXPECT_EQ(after.added, before.added);
    EXPECT_EQ(after.values, before.values);
    EXPECT_EQ(database_.Sources(id), record->sources);
}

TEST_F(LibraryDatabaseTest, TransactionNotCommittedLeavesNothing) {
    {
        LibraryDatabase::Transaction transaction(database_);
        Add(1, "a");
        Add(2, "b");
    }
    EXPECT_EQ(database_.Count(), 0);
    {
        LibraryDatabase::Transaction transaction(database_);
        Add(1, "a");
        EXPECT_TRUE(transaction.Commit());
    }
    EXPECT_EQ(database_.Count(), 1);
}

TEST_F(LibraryDatabaseTest, SearchFindsEveryWordInNameTagsOrComment) {
    database_.SetMetadata(Add(1, "Fat Bass"), {"Fat Bass", {"dark"}, false, ""});
    database_.SetMetadata(Add(2, "Lead"), {"Lead", {"bright"}, true, "fat and loud"});
    database_.SetMetadata(Add(3, "100% saw"), {"100% saw", {}, false, ""});
    Add(4, "1000 saws");
    LibraryQuery query;
    query.text = "FAT";
    EXPECT_EQ(NamesOf(query), (Names{"Fat Bass", "Lead"}));
    query.text = "fat dark";
    EXPECT_EQ(NamesOf(query), (Names{"Fat Bass"}));
    query.text = "brig";
    EXPECT_EQ(NamesOf(query), (Names{"Lead"}));
    // What the user types is matched as it stands, % too.
    query.text = "0%";
    EXPECT_EQ(NamesOf(query), (Names{"100% saw"}));
    query.text = "";
    query.favouritesOnly = true;
    EXPECT_EQ(NamesOf(query), (Names{"Lead"}));
    query.favouritesOnly = false;
    query.tag = "DARK";
    EXPECT_EQ(NamesOf(query), (Names{"Fat Bass"}));
    query.tag = "";
    query.effectType = 3;
    EXPECT_EQ(NamesOf(query), (Names{"100% saw"}));
}

TEST_F(LibraryDatabaseTest, SortsByNameAddedLastUsedAndLikeness) {
    const int64_t b = Add(1, "b");
    const int64_t a = Add(5, "a");
    const int64_t c = Add(9, "C");
    LibraryQuery query;
    EXPECT_EQ(NamesOf(query), (Names{"a", "b", "C"}));
    query.sort = LibrarySort::kAdded;
    EXPECT_EQ(NamesOf(query), (Names{"C", "a", "b"}));
    now_ += 100;
    database_.MarkUsed(b);
    now_ += 100;
    database_.MarkUsed(c);
    query.sort = LibrarySort::kLastUsed;
    EXPECT_EQ(NamesOf(query), (Names{"C", "b", "a"}));
    // Like the program with seed 5, changed on one knob: that one first, then by distance.
    ProgramValues near = DistinctProgram(5);
    near[3] += 1;
    query.sort = LibrarySort::kLikeness;
    query.likeness = near;
    const auto entries = database_.Find(query);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].id, a);
    EXPECT_LE(ProgramDistance(near, entries[1].values), ProgramDistance(near, entries[2].values));
}

}  // namespace
