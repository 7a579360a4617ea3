#include "library/BankTransfers.h"

#include <gtest/gtest.h>

#include "library/Librarian.h"
#include "library/db/LibraryDatabase.h"
#include "support/DistinctProgram.h"
#include "support/FakeEditorPanel.h"
#include "support/LibrarianFixture.h"
#include "support/TempDir.h"
#include "support/UnitCable.h"
#include "unit/ProgramConversion.h"
#include "unit/VirtualOrvo.h"

// The bank against the virtual unit, through the editor's own transfers.
namespace {

using Mark = BankTransfers::Mark;

class BankOnUnit : public LibrarianFixture<UnitCable> {
protected:
    void SetUp() override {
        LibrarianFixture::SetUp();
        database_.SetClock([this] { return now_; });
        for (int n = 1; n <= 99; ++n)
            unit_.SetProgram(n, ProgramSlotsToUnitBytes(DistinctProgram(n)));
        ASSERT_TRUE(bank_.Open());
    }
    template <typename F>
    auto Locked(F f) {
        std::lock_guard<std::recursive_mutex> hold(editor_.PluginLock());
        return f();
    }
    // The MIDI input delivers what the unit answered and the GUI idle hook sends what is due;
    // a quiet moment passes a second, until the bank's transfer has ended.
    void RunToEnd() {
        for (int guard = 0; guard < 2000 && Locked([&] { return bank_.Busy(); }); ++guard) {
            Pump();
            editor_.DoCommand(kCommandTick);
        }
        Pump();
        ASSERT_FALSE(bank_.Busy()) << "the bank's transfer never ended";
    }
    void Pump() {
        for (int guard = 0; guard < 100000; ++guard) {
            editor_.GuiIdle();
            const std::optional<UnitCable::Bytes> reply = port_.TakeReply();
            if (!reply) return;
            editor_.HandleSysEx({0, static_cast<int32_t>(reply->size()), reply->data()});
        }
    }
    ProgramValues UnitProgram(int location) const {
        return UnitBytesToProgramSlots(unit_.Program(location));
    }
    int WritesSent() { return port_.SentWithCode(kCodeProgramWrite); }
    int RequestsSent() { return port_.SentWithCode(kCodeDumpRequest); }
    void ReadWholeBank() {
        ASSERT_TRUE(Locked([&] { return bank_.StartRead(); }));
        RunToEnd();
    }

    TempDir dir_;
    int64_t now_ = 1'800'000'000;
    VirtualOrvo& unit_ = port_.unit;
    LibraryDatabase database_{dir_.File("library.sqlite")};
    BankTransfers bank_{librarian_->Transfers(), database_};
};

}  // namespace

TEST_F(BankOnUnit, ReadBringsEveryLocationIntoTheLibraryAsOneDatedSnapshot) {
    ReadWholeBank();
    EXPECT_EQ(bank_.Message(), "Read 99 of 99 locations.");
    EXPECT_EQ(RequestsSent(), 99);
    for (int n = 1; n <= 99; ++n) {
        ASSERT_EQ(bank_.Arrangement().At(n).known, DistinctProgram(n)) << n;
        ASSERT_EQ(bank_.Arrangement().At(n).knownAt, now_);
    }
    EXPECT_EQ(database_.Count(), 99);
    const auto sources = database_.Sources(database_.EntryOfValues(DistinctProgram(42))->id);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0], (LibrarySource{SourceKind::kUnit, "", 42, now_}));
    ASSERT_TRUE(bank_.LastRead());
    const std::vector<BankSnapshotInfo> snapshots = bank_.Store().Snapshots();
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].programs, 99);
    EXPECT_EQ(snapshots[0].taken, now_);
    EXPECT_EQ(panel_->reports, std::vector<FakePanel::Shown>{}) << "no box for a good read";
}

TEST_F(BankOnUnit, SendWritesOnlyWhatDiffersVerifiesItAndCanBeUndone) {
    ReadWholeBank();
    port_.Clear();
    now_ += 100;
    Locked([&] {
        // 50 is planned as it is: it is not sent.
        bank_.Arrangement().Place(10, {DistinctProgram(110), DistinctProgram(111)});
        bank_.Arrangement().Place(50, {DistinctProgram(50)});
        bank_.Arrangement().Move({3}, 4);
        return bank_.KeepPlan();
    });
    EXPECT_EQ(bank_.Arrangement().DifferingLocations(), (std::vector<int>{3, 4, 10, 11}));
    ASSERT_TRUE(Locked([&] { return bank_.StartSend(); }));
    RunToEnd();
    EXPECT_EQ(bank_.Message(), "4 of 4 locations verified.");
    EXPECT_EQ(WritesSent(), 4);
    EXPECT_EQ(RequestsSent(), 8) << "each read first, for the snapshot, and read back";
    EXPECT_EQ(UnitProgram(10), DistinctProgram(110));
    EXPECT_EQ(UnitProgram(3), DistinctProgram(4));
    EXPECT_EQ(UnitProgram(4), DistinctProgram(3));
    for (int n : {3, 4, 10, 11}) {
        EXPECT_EQ(bank_.MarkOf(n), Mark::kVerified) << n;
        EXPECT_EQ(bank_.Arrangement().At(n).knownAt, now_);
    }
    EXPECT_EQ(bank_.MarkOf(50), Mark::kNone);
    EXPECT_TRUE(bank_.Arrangement().DifferingLocations().empty());

    // The bank as it was is kept, and sending it back restores the unit.
    ASSERT_TRUE(bank_.LastKept());
    const std::optional<BankPrograms> kept = bank_.Store().Snapshot(*bank_.LastKept());
    ASSERT_TRUE(kept);
    EXPECT_EQ((*kept)[9], DistinctProgram(10));
    port_.Clear();
    ASSERT_TRUE(Locked([&] { return bank_.SendBack(*bank_.LastKept()); }));
    RunToEnd();
    EXPECT_EQ(WritesSent(), 4);
    for (int n = 1; n <= 99; ++n)
        ASSERT_EQ(UnitProgram(n), DistinctProgram(n)) << n;
}

TEST_F(BankOnUnit, DroppedRepliesAndDamagedDumpsStillEndWithEveryLocationVerified) {
    ReadWholeBank();
    SimFaults faults;
    faults.seed = 7;
    faults.dropReplyShare = 0.1;
    faults.corruptDumpShare = 0.1;
    unit_.SetFaults(faults);
    std::vector<ProgramValues> programs;
    for (int n = 1; n <= 99; ++n)
        programs.push_back(DistinctProgram(200 + n));
    Locked([&] {
        bank_.Arrangement().Place(1, programs);
        return bank_.KeepPlan();
    });
    ASSERT_TRUE(Locked([&] { return bank_.StartSend(); }));
    RunToEnd();
    EXPECT_EQ(bank_.Message(), "99 of 99 locations verified.");
    EXPECT_GT(unit_.Counters().dumpsCorrupted, 0);
    for (int n = 1; n <= 99; ++n)
        ASSERT_EQ(UnitProgram(n), DistinctProgram(200 + n)) << n;
}

TEST_F(BankOnUnit, ASendRunsOnTheUnitsRepliesAndNeedsAnIdleTickOnlyBetweenItsPhases) {
    ReadWholeBank();
    std::vector<ProgramValues> programs;
    for (int n = 1; n <= 99; ++n)
        programs.push_back(DistinctProgram(500 + n));
    Locked([&] {
        bank_.Arrangement().Place(1, programs);
        return bank_.KeepPlan();
    });
    ASSERT_TRUE(Locked([&] { return bank_.StartSend(); }));
    // Each idle tick follows only once the MIDI input has handed in every answer: the backup
    // reads, then the writes with their read-backs, each leaving as the answer before came.
    int idleTicks = 0;
    for (; idleTicks < 10 && Locked([&] { return bank_.Busy(); }); ++idleTicks) {
        while (const std::optional<UnitCable::Bytes> reply = port_.TakeReply())
            editor_.HandleSysEx({0, static_cast<int32_t>(reply->size()), reply->data()});
        editor_.GuiIdle();
    }
    EXPECT_EQ(idleTicks, 2) << "one for the end of the backup, one for the end of the send";
    EXPECT_EQ(bank_.Message(), "99 of 99 locations verified.");
    EXPECT_EQ(WritesSent(), 99);
    EXPECT_EQ(RequestsSent(), 99 + 99 + 99) << "the read, the backup and the read-backs";
    for (int n = 1; n <= 99; ++n)
        ASSERT_EQ(UnitProgram(n), DistinctProgram(500 + n)) << n;
}

TEST_F(BankOnUnit, AStoppedSendGoesOnWithWhatIsLeftAfterARestart) {
    ReadWholeBank();
    std::vector<ProgramValues> programs;
    for (int n = 1; n <= 20; ++n)
        programs.push_back(DistinctProgram(300 + n));
    Locked([&] {
        bank_.Arrangement().Place(1, programs);
        return bank_.KeepPlan();
    });
    port_.Clear();
    ASSERT_TRUE(Locked([&] { return bank_.StartSend(); }));
    // The snapshot's reads, seven writes and read-backs, and the eighth write's reply.
    for (int i = 0; i < 20 + 2 * 7 + 1; ++i) {
        editor_.GuiIdle();
        const std::optional<UnitCable::Bytes> reply = port_.TakeReply();
        ASSERT_TRUE(reply);
        editor_.HandleSysEx({0, static_cast<int32_t>(reply->size()), reply->data()});
    }
    Locked([&] {
        bank_.Cancel();
        return 0;
    });
    Pump();
    EXPECT_FALSE(bank_.Busy());
    EXPECT_EQ(bank_.Message(), "Stopped: 7 of 20 locations verified. Send goes on with the rest.");
    EXPECT_EQ(WritesSent(), 8) << "the eighth was stored but not yet read back";
    EXPECT_EQ(bank_.MarkOf(8), Mark::kFailed);

    // The editor ends here; the next one takes up the bank from the library.
    BankTransfers again(librarian_->Transfers(), database_);
    ASSERT_TRUE(again.Open());
    EXPECT_EQ(again.Arrangement().DifferingLocations().size(), 13u);
    port_.Clear();
    ASSERT_TRUE(Locked([&] { return again.StartSend(); }));
    for (int guard = 0; guard < 100 && Locked([&] { return again.Busy(); }); ++guard) {
        Pump();
        editor_.DoCommand(kCommandTick);
    }
    // Location 8 is read first like the rest: it holds what was planned, so it is not sent again.
    EXPECT_EQ(again.Message(), "12 of 12 locations verified.");
    EXPECT_EQ(WritesSent(), 12);
    EXPECT_EQ(again.Arrangement().At(8).known, DistinctProgram(308));
    for (int n = 1; n <= 20; ++n)
        ASSERT_EQ(UnitProgram(n), DistinctProgram(300 + n)) << n;
}

TEST_F(BankOnUnit, WithoutAUnitNothingIsSentAndTheBoxSaysSo) {
    Locked([&] {
        bank_.Arrangement().Place(1, {DistinctProgram(500)});
        return bank_.KeepPlan();
    });
    SimFaults faults;
    faults.dropReplyShare = 1.0;
    unit_.SetFaults(faults);
    ASSERT_TRUE(Locked([&] { return bank_.StartSend(); }));
    RunToEnd();
    EXPECT_EQ(WritesSent(), 0);
    EXPECT_EQ(bank_.Message(), "The Orvo did not answer; nothing was sent.");
    ASSERT_EQ(panel_->reports.size(), 1u);
    EXPECT_EQ(panel_->reports[0].kind, ReportKind::kError);
    EXPECT_FALSE(bank_.LastKept()) << "nothing read, nothing kept";
    // And the whole plan is still there to send.
    EXPECT_EQ(bank_.Arrangement().DifferingLocations(), (std::vector<int>{1}));
}

TEST_F(BankOnUnit, OneTransferAtATime) {
    ASSERT_TRUE(Locked([&] { return bank_.StartRead(); }));
    EXPECT_TRUE(librarian_->TransferRunning());
    BankTransfers other(librarian_->Transfers(), database_);
    ASSERT_TRUE(other.Open());
    EXPECT_FALSE(Locked([&] { return other.StartRead(); }));
    EXPECT_FALSE(other.Busy());
    EXPECT_EQ(other.Message(),
              "Another transfer with the Orvo is running; wait until it has ended.");
    EXPECT_FALSE(Locked([&] { return bank_.StartSend(); })) << "the read runs";
    RunToEnd();
    EXPECT_EQ(bank_.Message(), "Read 99 of 99 locations.") << "the read went on undisturbed";
}
