#include "library/Transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/DistinctProgram.h"
#include "unit/ProgramConversion.h"
#include "unit/VirtualOrvo.h"

// The transfer on its own, event by event: no window, no port, no file.
namespace {

using Bytes = std::vector<uint8_t>;
using Kind = Transfer::Kind;

class TransferEvents : public ::testing::Test {
protected:
    TransferEvents() {
        unit_.SetReplySink(
            [this](const uint8_t* bytes, size_t size) { last_ = Bytes(bytes, bytes + size); });
        for (int n = 1; n <= 99; ++n)
            unit_.SetProgram(n, ProgramSlotsToUnitBytes(DistinctProgram(n)));
    }

    // The unit's dump of program n, as it answers a request.
    Bytes DumpOf(int n) {
        const Bytes request = *BuildDumpRequest(n);
        unit_.Feed(request.data(), request.size(), 0);
        return last_;
    }
    static Bytes Damaged(Bytes dump) {
        dump[kChecksumLowIndex] ^= 0x01;
        return dump;
    }
    static Transfer SaveAll() {
        std::vector<Transfer::Step> steps;
        for (int n = 1; n <= 99; ++n)
            steps.push_back({n, "/lib/" + TwoDigits(n) + ".prg", {}});
        return Transfer(Kind::kSaveAll, steps);
    }
    static Transfer WriteAll(int count) {
        std::vector<Transfer::Step> steps;
        for (int n = 1; n <= count; ++n)
            steps.push_back({n, "/lib/" + TwoDigits(n) + " x.prg",
                             ProgramSlotsToUnitBytes(DistinctProgram(n))});
        return Transfer(Kind::kWriteAll, steps);
    }
    static TransferActions Feed(Transfer& transfer, const Bytes& dump) {
        return transfer.Dump(dump.data(), dump.size());
    }
    // Ticks until the transfer does something, at most limit ticks.
    static TransferActions TickUntilActs(Transfer& transfer, int limit = 10) {
        for (int i = 0; i < limit; ++i) {
            TransferActions actions = transfer.Tick();
            if (!actions.send.empty() || actions.report) return actions;
        }
        return {};
    }
    // Saves program n: its dump arrives and its file is written.
    void SaveStep(Transfer& transfer, int n) {
        const TransferActions write = Feed(transfer, DumpOf(n));
        ASSERT_TRUE(write.write) << n;
        transfer.FileWritten(true, "");
    }

    VirtualOrvo unit_;
    Bytes last_;
};

}  // namespace

TEST_F(TransferEvents, ALateDumpForARepeatedRequestWritesNoFileTwiceAndSkipsNothing) {
    Transfer transfer = SaveAll();
    TransferActions start = transfer.Start();
    ASSERT_EQ(start.send, std::vector<Bytes>{*BuildDumpRequest(1)});
    EXPECT_EQ(start.status, "Connecting to Orvo...");
    EXPECT_EQ(start.progress, "Saving program 1 of 99");
    // The tick within the second of the send does not count, then three whole ticks.
    EXPECT_TRUE(transfer.Tick().send.empty());
    EXPECT_TRUE(transfer.Tick().send.empty());
    EXPECT_TRUE(transfer.Tick().send.empty());
    EXPECT_EQ(transfer.Tick().send, std::vector<Bytes>{*BuildDumpRequest(1)}) << "asked again";

    const Bytes first = DumpOf(1);
    const TransferActions write = Feed(transfer, first);
    ASSERT_TRUE(write.write);
    EXPECT_EQ(write.write->path, "/lib/01.prg");
    EXPECT_TRUE(Feed(transfer, first).send.empty()) << "nothing taken while the file is written";
    const TransferActions next = transfer.FileWritten(true, "");
    EXPECT_EQ(next.send, std::vector<Bytes>{*BuildDumpRequest(2)});
    EXPECT_EQ(next.progress, "Saving program 2 of 99");

    // The answer to the repeated request arrives now: it belongs to a step that is over.
    const TransferActions late = Feed(transfer, first);
    EXPECT_FALSE(late.write);
    EXPECT_TRUE(late.send.empty());
    EXPECT_EQ(transfer.Completed(), 1);
    EXPECT_EQ(transfer.Location(), 2);
    SaveStep(transfer, 2);
    EXPECT_EQ(transfer.Location(), 3);
}

TEST_F(TransferEvents, ALateStatusReplyForARepeatedWriteIsNotTakenForTheNextOne) {
    Transfer transfer = WriteAll(3);
    ASSERT_EQ(transfer.Start().send.size(), 1u);
    const TransferActions again = TickUntilActs(transfer);
    ASSERT_EQ(again.send.size(), 1u) << "the write without an answer goes again";
    EXPECT_EQ(again.send[0], *BuildProgramWrite(1, ProgramSlotsToUnitBytes(DistinctProgram(1))));

    // Location 1 is stored; the reply owed to its other write is awaited before the next goes,
    // and then passed over.
    EXPECT_TRUE(transfer.StatusReply(kReplyProgramStored).send.empty());
    EXPECT_EQ(transfer.Completed(), 1);
    const TransferActions second = transfer.StatusReply(kReplyProgramStored);
    ASSERT_EQ(second.send.size(), 1u);
    EXPECT_EQ(second.location, 2);
    EXPECT_EQ(second.status, "02 x");
    EXPECT_EQ(transfer.Completed(), 1);
    const TransferActions third = transfer.StatusReply(kReplyProgramStored);
    EXPECT_EQ(third.location, 3);
    EXPECT_TRUE(third.send.size() == 1u);
    EXPECT_EQ(transfer.Completed(), 2);

    // An owed reply that never comes holds the next write back for one time-out only.
    Transfer lost = WriteAll(2);
    lost.Start();
    TickUntilActs(lost);
    lost.StatusReply(kReplyProgramStored);
    EXPECT_EQ(TickUntilActs(lost).send.size(), 1u);
    EXPECT_EQ(lost.Location(), 2);
    const TransferActions done = transfer.StatusReply(kReplyProgramStored);
    ASSERT_TRUE(done.report);
    EXPECT_EQ(done.report->kind, ReportKind::kDone);
    EXPECT_EQ(done.report->text, "Finished successfully!\n3 programs went to the Orvo.");
    EXPECT_EQ(done.progress, "");
    EXPECT_EQ(transfer.CurrentState(), Transfer::State::kDone);
}

TEST_F(TransferEvents, AMissingAnswerIsAskedForAgainABoundedNumberOfTimes) {
    // Never heard: the unit is reported missing after a few tries.
    Transfer silent = SaveAll();
    silent.Start();
    int sends = 1;
    TransferActions actions;
    while (!(actions = TickUntilActs(silent)).report)
        sends += static_cast<int>(actions.send.size());
    EXPECT_EQ(sends, Transfer::kFirstContactAttempts);
    EXPECT_EQ(actions.report->text, "Orvo not present or a communication\nerror has occurred!");
    EXPECT_EQ(actions.status, "Communication error!");
    EXPECT_FALSE(silent.Running());

    // Once the unit has answered, a program that stays unanswered ends it with how far it got.
    Transfer transfer = SaveAll();
    transfer.Start();
    for (int n = 1; n <= 48; ++n)
        SaveStep(transfer, n);
    sends = 1;
    while (!(actions = TickUntilActs(transfer)).report)
        sends += static_cast<int>(actions.send.size());
    EXPECT_EQ(sends, Transfer::kAttempts);
    EXPECT_EQ(actions.report->kind, ReportKind::kError);
    EXPECT_EQ(actions.report->text, "Saved 48 of 99 programs.\nProgram 49 did not answer.");
    EXPECT_EQ(transfer.CurrentState(), Transfer::State::kFailed);
}

TEST_F(TransferEvents, DamagedDumpsAreAskedForAgainAndThenEndItWithTheCause) {
    Transfer transfer = SaveAll();
    transfer.Start();
    SaveStep(transfer, 1);
    TransferActions actions;
    for (int sends = 1; sends < Transfer::kAttempts; ++sends) {
        actions = Feed(transfer, Damaged(DumpOf(2)));
        ASSERT_EQ(actions.send, std::vector<Bytes>{*BuildDumpRequest(2)}) << sends;
    }
    actions = Feed(transfer, Damaged(DumpOf(2)));
    ASSERT_TRUE(actions.report);
    EXPECT_EQ(actions.report->text, "Saved 1 of 99 programs.\nProgram 2 kept arriving damaged.");
}

TEST_F(TransferEvents, AnEndedTransferTakesNoMoreEvents) {
    const Bytes dump = DumpOf(1);
    for (int ending = 0; ending < 3; ++ending) {
        SCOPED_TRACE(ending);
        Transfer transfer = SaveAll();
        transfer.Start();
        if (ending == 0) {
            const TransferActions cancelled = transfer.Cancel();
            EXPECT_EQ(cancelled.status, "Stopped. Saved 0 of 99 programs.");
            EXPECT_FALSE(cancelled.report) << "the user asked for it";
        } else if (ending == 1) {
            while (!TickUntilActs(transfer).report) {
            }
        } else {
            Feed(transfer, dump);
            transfer.FileWritten(false, "Permission denied");
        }
        EXPECT_FALSE(transfer.Running());
        EXPECT_FALSE(Feed(transfer, dump).write);
        for (int i = 0; i < 10; ++i) {
            const TransferActions tick = transfer.Tick();
            EXPECT_TRUE(tick.send.empty());
            EXPECT_FALSE(tick.report);
        }
        EXPECT_TRUE(transfer.StatusReply(kReplyProgramStored).send.empty());
        EXPECT_FALSE(transfer.Cancel().status);
    }
}

TEST_F(TransferEvents, OneTransferEndsWithOneReportOnly) {
    // Refused: the error, and nothing that follows brings a success.
    Transfer refused = WriteAll(2);
    refused.Start();
    const TransferActions error = refused.StatusReply(kReplyProgramNotStored);
    ASSERT_TRUE(error.report);
    EXPECT_EQ(error.report->text,
              "Wrote 0 of 2 programs to the Orvo.\nThe Orvo did not store the program for "
              "location 1.");
    EXPECT_FALSE(refused.StatusReply(kReplyProgramStored).report);
    EXPECT_FALSE(refused.StatusReply(kReplyProgramStored).report);

    // A file that cannot be written ends a save with its reason; the status line is the file's.
    Transfer save = SaveAll();
    save.Start();
    SaveStep(save, 1);
    Feed(save, DumpOf(2));
    const TransferActions failed = save.FileWritten(false, "Permission denied");
    ASSERT_TRUE(failed.report);
    EXPECT_EQ(failed.report->text,
              "Saved 1 of 99 programs.\n02.prg could not be written: Permission denied.");
    EXPECT_FALSE(failed.status);
    EXPECT_TRUE(failed.send.empty());
}

TEST_F(TransferEvents, DumpsOfOtherProgramsOrNoDumpAtAllAreNotTaken) {
    Transfer transfer = SaveAll();
    transfer.Start();
    EXPECT_FALSE(Feed(transfer, DumpOf(7)).write) << "nobody asked for program 7";
    Bytes notADump = DumpOf(1);
    notADump[kCodeIndex] = kCodeProgramWrite;
    EXPECT_FALSE(Feed(transfer, notADump).write);
    EXPECT_TRUE(transfer.StatusReply(kReplyProgramStored).send.empty()) << "a save takes no reply";
    EXPECT_TRUE(Feed(transfer, DumpOf(1)).write);
}

namespace {

using What = TransferActions::Outcome::What;

Transfer SendBank(std::vector<int> locations) {
    std::vector<Transfer::Step> steps;
    for (int n : locations)
        steps.push_back({n, "", ProgramSlotsToUnitBytes(DistinctProgram(100 + n))});
    return Transfer(Kind::kSendBank, steps);
}

}  // namespace

TEST_F(TransferEvents, ABankSendReadsEachWriteBackAndPassesOverALocationThatFails) {
    Transfer transfer = SendBank({4, 5, 6});
    ASSERT_EQ(transfer.Start().send, std::vector<Bytes>{*BuildProgramWrite(
                                         4, ProgramSlotsToUnitBytes(DistinctProgram(104)))});
    // Stored: read back at once.
    TransferActions stored = transfer.StatusReply(kReplyProgramStored);
    EXPECT_EQ(stored.send, std::vector<Bytes>{*BuildDumpRequest(4)});
    EXPECT_EQ(stored.progress, "Verifying location 4 (1 of 3)");
    ASSERT_TRUE(stored.outcome);
    EXPECT_EQ(stored.outcome->what, What::kStored);
    EXPECT_TRUE(transfer.StatusReply(kReplyProgramStored).send.empty()) << "a stray reply";
    unit_.SetProgram(4, ProgramSlotsToUnitBytes(DistinctProgram(104)));
    TransferActions verified = Feed(transfer, DumpOf(4));
    ASSERT_TRUE(verified.outcome);
    EXPECT_EQ(verified.outcome->what, What::kVerified);
    EXPECT_EQ(verified.outcome->location, 4);
    EXPECT_EQ(verified.progress, "Sending location 5 (2 of 3)");

    // 5 reads back something else: failed, and 6 goes on.
    transfer.StatusReply(kReplyProgramStored);
    TransferActions other = Feed(transfer, DumpOf(5));
    ASSERT_TRUE(other.outcome);
    EXPECT_EQ(other.outcome->what, What::kFailed);
    EXPECT_EQ(other.outcome->why, "Location 5 holds another program than the one sent.");
    EXPECT_EQ(other.send, std::vector<Bytes>{*BuildProgramWrite(
                              6, ProgramSlotsToUnitBytes(DistinctProgram(106)))});

    // 6 never answers: asked again up to the limit, then passed over; the transfer ends done.
    int sends = 1;
    TransferActions last;
    for (int i = 0; i < 40 && transfer.Running(); ++i) {
        last = transfer.Tick();
        sends += static_cast<int>(last.send.size());
    }
    EXPECT_EQ(sends, Transfer::kAttempts);
    ASSERT_TRUE(last.outcome);
    EXPECT_EQ(last.outcome->what, What::kFailed);
    EXPECT_EQ(last.outcome->why, "Location 6 did not answer.");
    EXPECT_EQ(transfer.CurrentState(), Transfer::State::kDone);
    EXPECT_EQ(transfer.Failures(), 2);
    EXPECT_FALSE(last.report) << "the bank says what came of it";
}

TEST_F(TransferEvents, AReplyOwedToARepeatedBankWriteIsNotTakenForTheNextOne) {
    Transfer transfer = SendBank({7, 8});
    transfer.Start();
    // No answer: the write goes again; then both replies come, the second while reading back.
    ASSERT_EQ(TickUntilActs(transfer).send.size(), 1u);
    EXPECT_EQ(transfer.StatusReply(kReplyProgramStored).send,
              std::vector<Bytes>{*BuildDumpRequest(7)});
    unit_.SetProgram(7, ProgramSlotsToUnitBytes(DistinctProgram(107)));
    // The late reply arrives after the read-back: the next write waits for it ...
    TransferActions verified = Feed(transfer, DumpOf(7));
    EXPECT_EQ(verified.outcome->what, What::kVerified);
    EXPECT_TRUE(verified.send.empty());
    // ... and is not the answer to write 8, which goes only now.
    TransferActions late = transfer.StatusReply(kReplyProgramStored);
    ASSERT_EQ(late.send.size(), 1u);
    EXPECT_EQ(late.send[0][kCodeIndex], kCodeProgramWrite);
    EXPECT_FALSE(late.outcome);
}

TEST_F(TransferEvents, ABankReadHandsOverEachProgramAndAsksAgainForADamagedOne) {
    Transfer transfer(Kind::kReadBank, {{1, "", {}}, {2, "", {}}});
    transfer.Start();
    EXPECT_TRUE(Feed(transfer, Damaged(DumpOf(1))).send ==
                std::vector<Bytes>{*BuildDumpRequest(1)});
    TransferActions read = Feed(transfer, DumpOf(1));
    ASSERT_TRUE(read.outcome);
    EXPECT_EQ(read.outcome->what, What::kRead);
    EXPECT_EQ(read.outcome->program, ProgramSlotsToUnitBytes(DistinctProgram(1)));
    EXPECT_FALSE(read.write) << "no file";
    Feed(transfer, DumpOf(2));
    EXPECT_EQ(transfer.CurrentState(), Transfer::State::kDone);
    EXPECT_EQ(transfer.HowFar(), "Read 2 of 2 locations.");
}
