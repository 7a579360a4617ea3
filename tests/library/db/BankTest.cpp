#include "library/db/Bank.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "library/db/BankStore.h"
#include "library/db/LibraryDatabase.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"

namespace {

// The bank whose location n holds DistinctProgram(n), known at time n.
Bank KnownBank() {
    Bank bank;
    for (int n = 1; n <= 99; ++n)
        bank.SetKnown(n, DistinctProgram(n), n);
    return bank;
}

std::optional<ProgramValues> IntendedAt(const Bank& bank, int location) {
    return bank.At(location).Intended();
}

}  // namespace

TEST(BankTest, OnlyPlannedLocationsTheUnitDoesNotHoldDiffer) {
    Bank bank;
    EXPECT_TRUE(bank.DifferingLocations().empty()) << "nothing planned, nothing to send";
    bank.SetKnown(3, DistinctProgram(3), 100);
    bank.Place(2, {DistinctProgram(7), DistinctProgram(3), DistinctProgram(8)});
    // 2 is unknown, 3 holds what is planned, 4 holds something else.
    bank.SetKnown(4, DistinctProgram(4), 100);
    EXPECT_EQ(bank.DifferingLocations(), (std::vector<int>{2, 4}));
    bank.SetKnown(2, DistinctProgram(7), 200);
    EXPECT_EQ(bank.DifferingLocations(), (std::vector<int>{4}));
    bank.Forget(2);
    EXPECT_EQ(bank.DifferingLocations(), (std::vector<int>{2, 4})) << "an unverified write";
    EXPECT_EQ(bank.At(2).knownAt, 0);
    EXPECT_EQ(bank.At(3).knownAt, 100);
}

TEST(BankTest, PlacingStopsAtTheLastLocation) {
    Bank bank;
    bank.Place(98, {DistinctProgram(1), DistinctProgram(2), DistinctProgram(3)});
    EXPECT_EQ(bank.At(98).planned, DistinctProgram(1));
    EXPECT_EQ(bank.At(99).planned, DistinctProgram(2));
    EXPECT_EQ(bank.DifferingLocations(), (std::vector<int>{98, 99}));
}

TEST(BankTest, MovesSwapAndNothingIsLost) {
    Bank bank = KnownBank();
    // One onto another: the two change places.
    ASSERT_TRUE(bank.Move({5}, 42));
    EXPECT_EQ(IntendedAt(bank, 42), DistinctProgram(5));
    EXPECT_EQ(IntendedAt(bank, 5), DistinctProgram(42));
    EXPECT_EQ(bank.DifferingLocations(), (std::vector<int>{5, 42}));

    // Several at once, overlapping their own run: 10, 11, 12 to 11.. 13; 13's program goes to the
    // one location left free, 10.
    bank = KnownBank();
    ASSERT_TRUE(bank.Move({12, 10, 11}, 11));
    EXPECT_EQ(IntendedAt(bank, 10), DistinctProgram(13));
    EXPECT_EQ(IntendedAt(bank, 11), DistinctProgram(10));
    EXPECT_EQ(IntendedAt(bank, 12), DistinctProgram(11));
    EXPECT_EQ(IntendedAt(bank, 13), DistinctProgram(12));

    // Scattered ones to a run: every program is still somewhere, once.
    bank = KnownBank();
    ASSERT_TRUE(bank.Move({1, 50, 99}, 20));
    std::vector<int> seen(100, 0);
    for (int n = 1; n <= 99; ++n) {
        for (int seed = 1; seed <= 99; ++seed)
            seen[static_cast<size_t>(seed)] += IntendedAt(bank, n) == DistinctProgram(seed);
    }
    for (int seed = 1; seed <= 99; ++seed)
        EXPECT_EQ(seen[static_cast<size_t>(seed)], 1) << seed;
    EXPECT_EQ(IntendedAt(bank, 20), DistinctProgram(1));
    EXPECT_EQ(IntendedAt(bank, 22), DistinctProgram(99));
    EXPECT_EQ(IntendedAt(bank, 1), DistinctProgram(20));

    // A run that would go past 99 is refused and changes nothing.
    const BankPrograms before = bank.Planned();
    EXPECT_FALSE(bank.Move({1, 2, 3}, 98));
    EXPECT_FALSE(bank.Move({}, 4));
    EXPECT_EQ(bank.Planned(), before);
}

TEST(BankTest, UndoAndRedoWalkTheArrangement) {
    Bank bank = KnownBank();
    EXPECT_FALSE(bank.CanUndo());
    bank.Place(7, {DistinctProgram(70)});
    bank.Move({7}, 8);
    EXPECT_EQ(IntendedAt(bank, 8), DistinctProgram(70));
    ASSERT_TRUE(bank.Undo());
    EXPECT_EQ(IntendedAt(bank, 7), DistinctProgram(70));
    EXPECT_EQ(IntendedAt(bank, 8), DistinctProgram(8));
    ASSERT_TRUE(bank.Undo());
    EXPECT_TRUE(bank.DifferingLocations().empty());
    EXPECT_FALSE(bank.Undo());
    ASSERT_TRUE(bank.Redo());
    ASSERT_TRUE(bank.Redo());
    EXPECT_EQ(IntendedAt(bank, 8), DistinctProgram(70));
    EXPECT_FALSE(bank.Redo());
    // A new change drops what could be redone; a change to the same plan is no step.
    bank.Undo();
    bank.Place(1, {DistinctProgram(1)});
    EXPECT_FALSE(bank.CanRedo());
    bank.Place(1, {DistinctProgram(1)});
    bank.Undo();
    EXPECT_FALSE(bank.At(1).planned);
    // What a session starts from is no step.
    bank.StartFrom(bank.Planned());
    EXPECT_FALSE(bank.CanUndo());
}

namespace {

class BankStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        database_->SetClock([this] { return now_; });
        ASSERT_TRUE(database_->Open().Usable());
    }
    void Reopen() {
        database_ = std::make_unique<LibraryDatabase>(dir_.File("library.sqlite"));
        database_->SetClock([this] { return now_; });
        ASSERT_TRUE(database_->Open().Usable());
    }
    BankStore Store() { return BankStore(*database_); }

    TempDir dir_;
    int64_t now_ = 1'800'000'000;
    std::unique_ptr<LibraryDatabase> database_ =
        std::make_unique<LibraryDatabase>(dir_.File("library.sqlite"));
};

}  // namespace

TEST_F(BankStoreTest, WhatIsKnownAndPlannedComesBackAtTheNextStart) {
    Bank bank;
    bank.Place(4, {DistinctProgram(40), DistinctProgram(41)});
    ASSERT_TRUE(Store().SaveKnown(4, DistinctProgram(4), 111));
    ASSERT_TRUE(Store().SaveKnown(9, DistinctProgram(9), 222));
    ASSERT_TRUE(Store().SavePlan(bank));
    ASSERT_TRUE(Store().ForgetKnown(9));
    Reopen();
    const std::optional<Bank> loaded = Store().Load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->At(4).known, DistinctProgram(4));
    EXPECT_EQ(loaded->At(4).knownAt, 111);
    EXPECT_EQ(loaded->At(4).planned, DistinctProgram(40));
    EXPECT_EQ(loaded->At(5).planned, DistinctProgram(41));
    EXPECT_FALSE(loaded->At(5).known);
    EXPECT_FALSE(loaded->At(9).known);
    EXPECT_FALSE(loaded->At(6).planned);
    EXPECT_EQ(loaded->DifferingLocations(), (std::vector<int>{4, 5}));
    EXPECT_FALSE(loaded->CanUndo());
    // A plan emptied again is emptied in the library too.
    Bank empty;
    ASSERT_TRUE(Store().SavePlan(empty));
    EXPECT_TRUE(Store().Load()->DifferingLocations().empty());
}

TEST_F(BankStoreTest, SnapshotsKeepTheirProgramsWhateverHappensToTheLibrary) {
    BankPrograms first;
    for (int n = 1; n <= 99; ++n)
        first[static_cast<size_t>(n - 1)] = DistinctProgram(n);
    const auto added = database_->AddProgram(DistinctProgram(1), "one", {});
    ASSERT_TRUE(added);
    const std::optional<int64_t> read = Store().SaveSnapshot("read", first);
    ASSERT_TRUE(read);
    now_ += 60;
    BankPrograms partial;
    partial[41] = DistinctProgram(7);
    const std::optional<int64_t> kept = Store().SaveSnapshot("before send", partial);
    ASSERT_TRUE(kept);
    EXPECT_FALSE(Store().SaveSnapshot("empty", BankPrograms{})) << "a snapshot of nothing";
    ASSERT_TRUE(database_->Delete(added->id));
    Reopen();

    const std::vector<BankSnapshotInfo> snapshots = Store().Snapshots();
    ASSERT_EQ(snapshots.size(), 2u);
    EXPECT_EQ(snapshots[0].id, *kept) << "newest first";
    EXPECT_EQ(snapshots[0].reason, "before send");
    EXPECT_EQ(snapshots[0].programs, 1);
    EXPECT_EQ(snapshots[0].taken, now_);
    EXPECT_EQ(snapshots[1].programs, 99);
    EXPECT_EQ(Store().Snapshot(*read), first);
    EXPECT_EQ(Store().Snapshot(*kept), partial);
    EXPECT_FALSE(Store().Snapshot(*kept + 100));
}

TEST(BankFileTest, VersionOneLibraryOpensWithAnEmptyBank) {
    TempDir dir;
    const std::string path = dir.File("library.sqlite");
    std::filesystem::copy_file(ORVO_LIBRARY_VERSION1, path);
    LibraryDatabase database(path);
    ASSERT_EQ(database.Open().status, LibraryOpenStatus::kOpened);
    BankStore store(database);
    const std::optional<Bank> bank = store.Load();
    ASSERT_TRUE(bank);
    EXPECT_FALSE(bank->At(1).known);
    EXPECT_TRUE(store.Snapshots().empty());
    EXPECT_TRUE(store.SaveKnown(1, DistinctProgram(1), 5));
    EXPECT_EQ(database.Count(), 2) << "the programs it held are still there";
}
