#include "library/ProgramTransfers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "library/Librarian.h"
#include "support/DistinctProgram.h"
#include "support/FakeEditorPanel.h"
#include "support/LibrarianFixture.h"
#include "support/TempDir.h"
#include "support/UnitCable.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/ProgramText.h"
#include "unit/VirtualOrvo.h"
#include "util/FileReader.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Shown = FakePanel::Shown;

const Shown kNotPresent{ReportKind::kError,
                        "Orvo not present or a communication\nerror has occurred!"};
const Shown kSavedAll{ReportKind::kDone, "Finished successfully!\nSaved 99 of 99 programs."};

class Transfers : public LibrarianFixture<UnitCable> {
protected:
    void SetUp() override {
        LibrarianFixture::SetUp();
        panel_->chosenFolder = dir_.Path();
    }

    // The MIDI input delivers what the unit answered and the GUI idle hook sends what is due,
    // until both are quiet.
    void Pump() {
        for (int guard = 0; guard < 100000; ++guard) {
            editor_.GuiIdle();
            const std::optional<Bytes> reply = port_.TakeReply();
            if (!reply) return;
            editor_.HandleSysEx({0, static_cast<int32_t>(reply->size()), reply->data()});
        }
        FAIL() << "the transfer never came to rest";
    }
    // Only the MIDI input runs: the unit's answers are handed in, and no idle tick passes.
    void HandRepliesIn() {
        while (const std::optional<Bytes> reply = port_.TakeReply())
            editor_.HandleSysEx({0, static_cast<int32_t>(reply->size()), reply->data()});
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            editor_.DoCommand(kCommandTick);
    }
    // The user picks path in a chooser of the panel (an empty path: the dialog was cancelled).
    void Choose(int index, const std::string& path) {
        panel_->choosers[index] = path;
        editor_.SetParameterValue(index, editor_.GetParam(index)->value > 0.5 ? 0.0 : 1.0);
    }
    std::string WriteFile(const std::string& name, const ProgramValues& program) {
        const std::string path = dir_.File(name);
        TempDir::Write(path, FormatProgramText(program));
        return path;
    }
    ProgramValues UnitProgram(int location) const {
        return UnitBytesToProgramSlots(unit_.Program(location));
    }
    int ProgramWritesSent() { return port_.SentWithCode(kCodeProgramWrite); }

    TempDir dir_;
    VirtualOrvo& unit_ = port_.unit;
};

}  // namespace

TEST_F(Transfers, WriteAllOfNinetyNineFilesFillsEveryLocationEachAfterTheReplyBefore) {
    for (int n = 1; n <= 99; ++n)
        WriteFile(TwoDigits(n) + " program.prg", DistinctProgram(n));
    editor_.DoCommand(kCommandWriteAllPrograms);
    EXPECT_EQ(panel_->folderDialogs, 1);
    EXPECT_EQ(unit_.Counters().programsStored, 1) << "the next write waits for the reply";
    Pump();
    Ticks(4);
    EXPECT_EQ(panel_->reports,
              (std::vector<Shown>{
                  {ReportKind::kDone, "Finished successfully!\n99 programs went to the Orvo."}}))
        << "no prompt, no time-out";
    EXPECT_EQ(unit_.Counters().programsStored, 99);
    for (int n = 1; n <= 99; ++n)
        ASSERT_EQ(UnitProgram(n), DistinctProgram(n)) << "location " << n;
    EXPECT_FALSE(librarian_->Transfers().BatchActive());
    EXPECT_EQ(panel_->status, "Finished successfully!");
    EXPECT_EQ(panel_->progress, "") << "the progress line is gone";
    EXPECT_EQ(panel_->progressTexts[1], "Writing program 2 of 99");
}

TEST_F(Transfers, EachNextMessageLeavesAsTheReplyIsHandedInWithoutWaitingForAnIdleTick) {
    for (int n = 1; n <= 99; ++n)
        WriteFile(TwoDigits(n) + " program.prg", DistinctProgram(n + 3));
    editor_.DoCommand(kCommandWriteAllPrograms);
    ASSERT_EQ(ProgramWritesSent(), 1);
    // The status reply alone sends the next write.
    const std::optional<Bytes> stored = port_.TakeReply();
    ASSERT_TRUE(stored);
    editor_.HandleSysEx({0, static_cast<int32_t>(stored->size()), stored->data()});
    EXPECT_EQ(ProgramWritesSent(), 2);
    HandRepliesIn();
    EXPECT_EQ(unit_.Counters().programsStored, 99);
    EXPECT_FALSE(librarian_->Transfers().BatchActive());
    for (int n = 1; n <= 99; ++n)
        ASSERT_EQ(UnitProgram(n), DistinctProgram(n + 3)) << "location " << n;

    // Reading: a good dump asks for the next program, a damaged one for itself again.
    SimFaults faults;
    faults.seed = 3;
    faults.corruptDumpShare = 0.1;
    unit_.SetFaults(faults);
    editor_.DoCommand(kCommandSaveAllFromUnit);
    HandRepliesIn();
    EXPECT_GT(unit_.Counters().dumpsCorrupted, 0);
    EXPECT_FALSE(librarian_->Transfers().SaveAllActive());
    for (int n = 1; n <= 99; ++n)
        ASSERT_EQ(ReadProgramFile(dir_.File(TwoDigits(n) + ".prg")), DistinctProgram(n + 3)) << n;
    // What the panel shows is left to the idle hook.
    EXPECT_EQ(panel_->progressTexts.size(), 2u) << "only the start of each showed a progress line";
    Ticks(1);
    EXPECT_EQ(panel_->reports,
              (std::vector<Shown>{
                  {ReportKind::kDone, "Finished successfully!\n99 programs went to the Orvo."},
                  kSavedAll}));
}

TEST_F(Transfers, HolesAreFilledWithTheFirstListedFileOrSkipped) {
    for (bool fill : {true, false}) {
        SCOPED_TRACE(fill);
        TempDir folder;
        panel_->chosenFolder = folder.Path();
        panel_->warningAnswer = fill;
        panel_->reports.clear();
        VirtualOrvo fresh;
        for (int n = 1; n <= 99; ++n)
            unit_.SetProgram(n, fresh.Program(n));
        const int storedBefore = unit_.Counters().programsStored;
        // Listed in the other order by the file system; only the two numbered .prg files count.
        TempDir::Write(folder.File("03 Third.prg"), FormatProgramText(DistinctProgram(3)));
        TempDir::Write(folder.File("01 First.PRG"), FormatProgramText(DistinctProgram(1)));
        TempDir::Write(folder.File("05 Odd case.pRg"), FormatProgramText(DistinctProgram(5)));
        TempDir::Write(folder.File("Bass.prg"), FormatProgramText(DistinctProgram(6)));
        TempDir::Write(folder.File("readme.txt"), "07");
        std::filesystem::create_directory(folder.File("08 folder.prg"));

        panel_->defaultButtons.clear();
        editor_.DoCommand(kCommandWriteAllPrograms);
        Pump();
        ASSERT_EQ(panel_->reports.size(), 2u);
        // It says what OK writes where, and Enter chooses what overwrites nothing more.
        EXPECT_EQ(panel_->reports[0],
                  (Shown{ReportKind::kWarning,
                         "The folder has program files for 2 of the 99 locations; 97 locations "
                         "have none.\n\nOK writes 01 First.PRG into those 97 locations as well, "
                         "replacing the programs the Orvo holds there.\nCancel writes only the 2 "
                         "files, each into its own location; the other locations keep their "
                         "programs."}));
        EXPECT_EQ(panel_->defaultButtons[0], Report::DefaultButton::kCancel);
        EXPECT_EQ(panel_->reports[1].text, "Finished successfully!\n" +
                                               std::to_string(fill ? 99 : 2) +
                                               " programs went to the Orvo.");
        EXPECT_EQ(unit_.Counters().programsStored - storedBefore, fill ? 99 : 2);
        EXPECT_EQ(UnitProgram(1), DistinctProgram(1));
        EXPECT_EQ(UnitProgram(3), DistinctProgram(3));
        for (int n : {2, 4, 5, 8, 99}) {
            EXPECT_EQ(UnitProgram(n),
                      fill ? DistinctProgram(1) : UnitBytesToProgramSlots(fresh.Program(n)))
                << "location " << n;
        }
    }
}

TEST_F(Transfers, DuplicateLocationsStopTheWriteBeforeAnythingIsSent) {
    WriteFile("05 Bass.prg", DistinctProgram(1));
    WriteFile("05 Lead.prg", DistinctProgram(2));
    WriteFile("12 Pad.prg", DistinctProgram(3));
    editor_.DoCommand(kCommandWriteAllPrograms);
    Pump();
    EXPECT_EQ(panel_->reports,
              (std::vector<Shown>{{ReportKind::kError,
                                   "Multiple files assigned to location: 5\nPlease resolve it!"}}));
    EXPECT_EQ(ProgramWritesSent(), 0);
}

TEST_F(Transfers, AThreeDigitNameIsWrittenToTheLocationItWasCountedFor) {
    panel_->warningAnswer = false;
    const ProgramValues ninth = UnitProgram(9);
    WriteFile("01.prg", DistinctProgram(1));
    WriteFile("099.prg", DistinctProgram(99));
    editor_.DoCommand(kCommandWriteAllPrograms);
    Pump();
    EXPECT_EQ(UnitProgram(99), DistinctProgram(99));
    EXPECT_EQ(UnitProgram(9), ninth) << "program 9 was never chosen";
}

TEST_F(Transfers, AFileThatCannotBeSentIsNamedAtOnceAndNothingGoes) {
    std::string outOfRange = FormatProgramText(DistinctProgram(2));
    outOfRange.replace(0, 5, "128  ");
    TempDir::Write(dir_.File("05 Broken.prg"), outOfRange);
    TempDir::Write(dir_.File("06 Huge.prg"), std::string(8192, ' '));
    struct Case {
        std::string name;
        std::string cause;
    };
    for (const Case& c :
         {Case{"05 Broken.prg", "line 1 holds 128, outside -64..127"},
          Case{"06 Huge.prg", "it has 8192 bytes, and a program file has fewer than 8192"},
          Case{"07 Gone.prg", "it cannot be opened (No such file or directory)"}}) {
        SCOPED_TRACE(c.name);
        panel_->reports.clear();
        Choose(kParamProgramWriteFile, dir_.File(c.name));
        Pump();
        Ticks(15);
        // The reader's reason follows; no time-out blames the unit.
        EXPECT_EQ(
            panel_->reports,
            (std::vector<Shown>{{ReportKind::kError, "The program file \"" + dir_.File(c.name) +
                                                         "\" cannot be used: " + c.cause + "."}}));
        EXPECT_EQ(ProgramWritesSent(), 0);
    }
    // In a write-all every file is read first: a bad one stops it before the unit took any.
    panel_->reports.clear();
    for (int n = 1; n <= 4; ++n)
        WriteFile(TwoDigits(n) + ".prg", DistinctProgram(n));
    std::filesystem::remove(dir_.File("06 Huge.prg"));
    editor_.DoCommand(kCommandWriteAllPrograms);
    Pump();
    ASSERT_EQ(panel_->reports.size(), 1u);
    EXPECT_EQ(panel_->reports[0].text.substr(0, 34), "05 Broken.prg was not sent to the ");
    EXPECT_EQ(ProgramWritesSent(), 0);
}

TEST_F(Transfers, OneWrittenFileIsLoadedBackOnceTheUnitStoredIt) {
    const std::string path = WriteFile("42 Reese.prg", DistinctProgram(42));
    Choose(kParamProgramWriteFile, path);
    EXPECT_TRUE(librarian_->Transfers().SingleWritePending());
    Pump();
    EXPECT_FALSE(librarian_->Transfers().SingleWritePending());
    EXPECT_EQ(UnitProgram(42), DistinctProgram(42));
    EXPECT_EQ(editor_.SnapshotProgram(ProgramValues{}), DistinctProgram(42));
    EXPECT_EQ(IntValue(*editor_.GetParam(kParamSevenSegment)), 42);

    // The unit refuses the next one.
    Choose(kParamProgramWriteFile, path);
    port_.DropReplies();
    const Bytes refused = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x22, 0xF7};
    editor_.HandleSysEx({0, static_cast<int32_t>(refused.size()), refused.data()});
    Ticks(1);
    EXPECT_EQ(panel_->reports,
              (std::vector<Shown>{
                  {ReportKind::kError, "The Orvo did not store the program for location 42."}}));
    EXPECT_EQ(panel_->status, "Communication error!");

    // A name without a number sends nothing.
    panel_->reports.clear();
    const int sent = ProgramWritesSent();
    Choose(kParamProgramWriteFile, WriteFile("Reese.prg", DistinctProgram(42)));
    Ticks(1);
    EXPECT_EQ(panel_->reports, (std::vector<Shown>{{ReportKind::kError,
                                                    "Program Name does not\ndetermine Program "
                                                    "Number!"}}));
    EXPECT_EQ(ProgramWritesSent(), sent);
}

TEST_F(Transfers, SaveAllWritesEveryProgramDespiteCorruptDumps) {
    for (int n = 1; n <= 99; ++n)
        unit_.SetProgram(n, ProgramSlotsToUnitBytes(DistinctProgram(n + 7)));
    SimFaults faults;
    faults.seed = 3;
    faults.corruptDumpShare = 0.1;
    unit_.SetFaults(faults);
    editor_.DoCommand(kCommandSaveAllFromUnit);
    EXPECT_EQ(panel_->status, "Connecting to Orvo...");
    Pump();
    Ticks(1);
    EXPECT_GT(unit_.Counters().dumpsCorrupted, 0);
    EXPECT_EQ(panel_->reports, std::vector<Shown>{kSavedAll});
    EXPECT_EQ(panel_->status, "Finished successfully!");
    for (int n = 1; n <= 99; ++n) {
        const std::optional<ProgramValues> saved =
            ReadProgramFile(dir_.File(TwoDigits(n) + ".prg"));
        ASSERT_TRUE(saved) << n;
        ASSERT_EQ(*saved, DistinctProgram(n + 7)) << "program " << n;
    }
}

TEST_F(Transfers, ADumpThatKeepsFailingEndsWithTheCommunicationErrorReport) {
    SimFaults faults;
    faults.corruptDumpShare = 1.0;
    unit_.SetFaults(faults);
    editor_.DoCommand(kCommandSaveAllFromUnit);
    Pump();
    Ticks(1);
    EXPECT_EQ(unit_.Counters().dumpRequests, Transfer::kAttempts);
    EXPECT_EQ(panel_->reports,
              (std::vector<Shown>{{ReportKind::kError,
                                   "Saved 0 of 99 programs.\nProgram 1 kept arriving damaged."}}));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("01.prg")));
    EXPECT_FALSE(librarian_->Transfers().SaveAllActive());
}

TEST_F(Transfers, SaveAllStopsAtAFileThatCannotBeWrittenAndNamesIt) {
    std::filesystem::create_directory(dir_.File("05.prg"));
    editor_.DoCommand(kCommandSaveAllFromUnit);
    Pump();
    Ticks(4);
    // First the question about the folder's one numbered "file", then the end.
    ASSERT_EQ(panel_->reports.size(), 2u);
    EXPECT_EQ(panel_->reports[1].kind, ReportKind::kError);
    EXPECT_EQ(panel_->reports[1].text,
              "Saved 4 of 99 programs.\n05.prg could not be written: the name is a folder: Is a "
              "directory.");
    EXPECT_EQ(unit_.Counters().dumpRequests, 5);
    EXPECT_TRUE(std::filesystem::exists(dir_.File("04.prg")));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("06.prg")));
}

TEST_F(Transfers, SaveFromUnitAsksForTheProgramTheFileNameBeginsWith) {
    unit_.SetProgram(17, ProgramSlotsToUnitBytes(DistinctProgram(17)));
    unit_.SetProgram(1, ProgramSlotsToUnitBytes(DistinctProgram(1)));
    for (const auto& [name, number] :
         std::vector<std::pair<std::string, int>>{{"17 Sub.prg", 17}, {"Sub.prg", 1}}) {
        editor_.DoCommand(kCommandSaveFromUnit);
        EXPECT_EQ(panel_->openedChooser, kParamProgramSaveFile);
        Choose(kParamProgramSaveFile, dir_.File(name));
        Pump();
        const std::optional<ProgramValues> saved = ReadProgramFile(dir_.File(name));
        ASSERT_TRUE(saved) << name;
        EXPECT_EQ(*saved, DistinctProgram(number)) << name;
        EXPECT_EQ(panel_->status, "Saved " + ProgramNameOf(name));
    }
}

TEST_F(Transfers, ACancelledSaveDialogDisarmsTheSaveFromTheUnit) {
    const std::string kept = WriteFile("01.prg", DistinctProgram(5));
    editor_.DoCommand(kCommandSelectDirectory);
    editor_.DoCommand(kCommandSaveFromUnit);
    EXPECT_EQ(panel_->ChooserPath(kParamProgramSaveFile), dir_.Path() + "/01.prg");
    Choose(kParamProgramSaveFile, "");
    EXPECT_FALSE(librarian_->Transfers().SaveFromUnitArmed());
    // A good dump that nobody asked for arrives later: the file stays as it was.
    Bytes dump(kProgramMessageSize, 0);
    const Bytes request = *BuildDumpRequest(1);
    port_.DropReplies();
    unit_.Feed(request.data(), request.size(), 0);
    dump = *port_.TakeReply();
    editor_.HandleSysEx({0, static_cast<int32_t>(dump.size()), dump.data()});
    EXPECT_EQ(ReadProgramFile(kept), DistinctProgram(5));
}

TEST_F(Transfers, WithoutRepliesEachTransferReportsTheUnitMissingAfterThreeWholeTicks) {
    WriteFile("01.prg", DistinctProgram(1));
    SimFaults faults;
    faults.dropReplyShare = 1.0;
    unit_.SetFaults(faults);
    struct Case {
        int command;
        std::string status;
    };
    for (const Case& c : {Case{kCommandSaveAllFromUnit, "Communication error!"},
                          Case{kCommandWriteAllPrograms, "Communication error!"},
                          Case{kCommandWriteProgram, "Communication error!"}}) {
        SCOPED_TRACE(c.command);
        panel_->reports.clear();
        // Save-all replaces 01.prg; write-all leaves the holes alone.
        panel_->warningAnswer = c.command == kCommandSaveAllFromUnit;
        if (c.command == kCommandWriteProgram) {
            Choose(kParamProgramWriteFile, dir_.File("01.prg"));
        } else {
            editor_.DoCommand(c.command);
        }
        Pump();
        // Each send waits the tick within its second and three whole ones, and is tried again
        // until the unit, never heard, counts as not there.
        const int sentBefore = static_cast<int>(port_.Sent().size());
        Ticks(4 * Transfer::kFirstContactAttempts - 1);
        EXPECT_EQ(panel_->reports.size(), c.command == kCommandWriteProgram ? 0u : 1u);
        EXPECT_EQ(static_cast<int>(port_.Sent().size()) - sentBefore,
                  Transfer::kFirstContactAttempts - 1)
            << "asked again";
        panel_->reports.clear();
        Ticks(1);
        EXPECT_EQ(panel_->reports, std::vector<Shown>{kNotPresent});
        EXPECT_EQ(panel_->status, c.status);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.File("02.prg")));
}

namespace {

// The transfers as the program's loop drives them, on a clock of the test's own: the idle hook
// every 50 ms, the unit's replies when they are due, and the tick every second.
class TransfersOnTheClock : public Transfers {
protected:
    bool RunFor(int64_t ms, const std::function<bool()>& done = {}) {
        for (const int64_t end = now_ + ms; now_ < end; now_ += kStepMs) {
            editor_.GuiIdle();
            port_.Deliver(editor_, now_);
            if (now_ - lastTick_ >= 1000) {
                lastTick_ = now_;
                editor_.DoCommand(kCommandTick);
            }
            if (done && done()) return true;
        }
        return false;
    }
    // Runs until the transfer has ended and its report was shown.
    bool RunUntilEnded(int64_t ms) {
        const bool ended =
            RunFor(ms, [this] { return librarian_->Transfers().Running() == nullptr; });
        editor_.GuiIdle();
        return ended;
    }
    // Every file of a folder with its contents.
    static std::map<std::string, std::string> Contents(const TempDir& folder) {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            files[entry.path().filename().string()] =
                ReadWholeFile(entry.path().string(), 1 << 20).value_or("(unreadable)");
        }
        return files;
    }
    // A folder the user loads a program from: numbered files that must never change.
    void LoadFromDecoy(const TempDir& decoy) {
        for (int n = 1; n <= 12; ++n) {
            TempDir::Write(decoy.File(TwoDigits(n) + ".prg"),
                           FormatProgramText(DistinctProgram(50 + n)));
        }
        Choose(kParamProgramLoadFile, decoy.File("05.prg"));
    }
    void Delay(int ms, double drop = 0.0, double corrupt = 0.0, uint32_t seed = 1) {
        SimFaults faults;
        faults.replyDelayMs = ms;
        faults.dropReplyShare = drop;
        faults.corruptDumpShare = corrupt;
        faults.seed = seed;
        unit_.SetFaults(faults);
    }

    static constexpr int64_t kStepMs = 50;
    int64_t now_ = 0;
    int64_t lastTick_ = 0;
};

}  // namespace

TEST_F(TransfersOnTheClock, AFailedSaveAllNeverWritesIntoTheFolderLoadedSince) {
    for (int n = 1; n <= 99; ++n)
        unit_.SetProgram(n, ProgramSlotsToUnitBytes(DistinctProgram(n)));
    // The answers come far too late: the save-all ends as the unit not being there.
    Delay(20000);
    editor_.DoCommand(kCommandSaveAllFromUnit);
    ASSERT_TRUE(RunUntilEnded(30000));
    EXPECT_EQ(panel_->reports, std::vector<Shown>{kNotPresent});
    TempDir decoy;
    LoadFromDecoy(decoy);
    const auto before = Contents(decoy);
    // The late dumps arrive, and Find the Orvo asks for program 1 on the same input.
    RunFor(30000);
    const Bytes search = *BuildDumpRequest(1);
    port_.SendMessage(search.data(), search.size());
    RunFor(25000);
    EXPECT_GE(unit_.Counters().dumpsSent, 4);
    EXPECT_EQ(Contents(decoy), before);
    EXPECT_TRUE(Contents(dir_).empty()) << "nor into the folder of the failed save";
    EXPECT_EQ(panel_->reports, std::vector<Shown>{kNotPresent}) << "and no late success";
}

TEST_F(TransfersOnTheClock, RepliesLateForTheTimeOutStillEndInOneSuccessWithEveryProgram) {
    for (int n = 1; n <= 99; ++n)
        unit_.SetProgram(n, ProgramSlotsToUnitBytes(DistinctProgram(n + 1)));
    Delay(4000);
    editor_.DoCommand(kCommandSaveAllFromUnit);
    ASSERT_TRUE(RunUntilEnded(3600 * 1000));
    RunFor(10000);
    EXPECT_EQ(panel_->reports, std::vector<Shown>{kSavedAll});
    for (int n = 1; n <= 99; ++n)
        ASSERT_EQ(ReadProgramFile(dir_.File(TwoDigits(n) + ".prg")), DistinctProgram(n + 1)) << n;
}

TEST_F(TransfersOnTheClock, SaveAllIntoAFolderOfNumberedFilesAsksFirstAndNamesHowMany) {
    for (int n = 3; n <= 14; ++n)
        WriteFile(TwoDigits(n) + ".prg", DistinctProgram(n));
    WriteFile("15 Named.prg", DistinctProgram(15));
    const auto before = Contents(dir_);
    panel_->warningAnswer = false;
    editor_.DoCommand(kCommandSaveAllFromUnit);
    RunFor(5000);
    ASSERT_EQ(panel_->reports.size(), 1u);
    EXPECT_EQ(panel_->reports[0],
              (Shown{ReportKind::kWarning, "The folder " + dir_.Path() +
                                               "/ already holds 12 of the files 01.prg to "
                                               "99.prg.\n\nOK replaces them with the programs "
                                               "of the Orvo.\nCancel saves nothing."}));
    EXPECT_EQ(panel_->defaultButtons[0], Report::DefaultButton::kCancel);
    EXPECT_EQ(unit_.Counters().dumpRequests, 0);
    EXPECT_EQ(Contents(dir_), before);

    panel_->warningAnswer = true;
    editor_.DoCommand(kCommandSaveAllFromUnit);
    ASSERT_TRUE(RunUntilEnded(60000));
    EXPECT_EQ(panel_->reports.back(), kSavedAll);
    EXPECT_EQ(Contents(dir_).size(), 100u);
}

TEST_F(TransfersOnTheClock, OneTransferAtATimeAndStopTransferEndsItWhereItIs) {
    Delay(500);
    editor_.DoCommand(kCommandSaveAllFromUnit);
    EXPECT_TRUE(editor_.CommandEnabled(kCommandStopTransfer));
    RunFor(10 * 600, [this] { return std::filesystem::exists(dir_.File("05.prg")); });
    const int dialogs = panel_->folderDialogs;
    editor_.DoCommand(kCommandWriteAllPrograms);
    EXPECT_EQ(panel_->folderDialogs, dialogs) << "refused before any dialog";
    ASSERT_EQ(panel_->reports.size(), 1u);
    EXPECT_EQ(panel_->reports[0].text.substr(0, 42), "A transfer with the Orvo is still running.");
    EXPECT_EQ(ProgramWritesSent(), 0);

    // Nor does a firmware update start meanwhile.
    TempDir::Write(dir_.File("update.ldr"), std::string(64, '\x5A'));
    Choose(kParamFirmwareFile, dir_.File("update.ldr"));
    editor_.GuiIdle();
    for (const Bytes& message : port_.Sent())
        EXPECT_FALSE(message.size() > 4 && message[4] == kFamilyFirmware);
    ASSERT_EQ(panel_->reports.size(), 2u);
    EXPECT_EQ(panel_->reports[1].text, panel_->reports[0].text);
    EXPECT_FALSE(librarian_->Firmware().FirmwareMode());

    editor_.DoCommand(kCommandStopTransfer);
    EXPECT_FALSE(editor_.CommandEnabled(kCommandStopTransfer));
    EXPECT_EQ(panel_->status, "Stopped. Saved 5 of 99 programs.");
    EXPECT_EQ(panel_->progress, "");
    const auto saved = Contents(dir_);
    RunFor(20000);
    EXPECT_EQ(Contents(dir_), saved) << "the dump already asked for writes nothing";
    EXPECT_EQ(panel_->reports.size(), 2u) << "neither success nor time-out";
}

TEST_F(TransfersOnTheClock, SoakOfSaveAllAndWriteAllWithDroppedDelayedAndDamagedReplies) {
    TempDir decoy, unitCopy;
    LoadFromDecoy(decoy);
    const auto decoyBefore = Contents(decoy);
    int repeats = 0;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Delay(2000, 0.1, 0.1, static_cast<uint32_t>(round + 1));
        // Write-all of a folder whose programs differ every round.
        TempDir library;
        for (int n = 1; n <= 99; ++n) {
            TempDir::Write(library.File(TwoDigits(n) + ".prg"),
                           FormatProgramText(DistinctProgram(n + round)));
        }
        panel_->chosenFolder = library.Path();
        panel_->reports.clear();
        editor_.DoCommand(kCommandWriteAllPrograms);
        ASSERT_TRUE(RunUntilEnded(3600 * 1000));
        ASSERT_EQ(panel_->reports,
                  (std::vector<Shown>{{ReportKind::kDone,
                                       "Finished successfully!\n99 programs went to the Orvo."}}));
        for (int n = 1; n <= 99; ++n)
            ASSERT_EQ(UnitProgram(n), DistinctProgram(n + round)) << "location " << n;

        // Save-all back into a folder that holds the last round's files: replaced.
        panel_->chosenFolder = unitCopy.Path();
        panel_->reports.clear();
        editor_.DoCommand(kCommandSaveAllFromUnit);
        ASSERT_TRUE(RunUntilEnded(3600 * 1000));
        ASSERT_EQ(panel_->reports.back(), kSavedAll);
        ASSERT_EQ(panel_->reports.size(), round == 0 ? 1u : 2u);
        for (int n = 1; n <= 99; ++n) {
            ASSERT_EQ(ReadProgramFile(unitCopy.File(TwoDigits(n) + ".prg")),
                      DistinctProgram(n + round))
                << "program " << n;
        }
        ASSERT_EQ(Contents(decoy), decoyBefore);
        repeats = unit_.Counters().repliesDropped + unit_.Counters().dumpsCorrupted;
    }
    EXPECT_GT(repeats, 200) << "the faults did happen";
}

TEST(StoppedTransfer, AnEditorStoppedDuringATransferSaysSoOnceAtTheNextStart) {
    TempDir config, library;
    const std::string settings = config.File("settings.ini");
    {
        UnitCable cable;
        EditorWithLibrarian rig(cable, settings);
        rig.panel->chosenFolder = library.Path();
        rig.editor.DoCommand(kCommandSaveAllFromUnit);
        for (int delivered = 0; delivered < 5; ++delivered) {
            cable.Deliver(rig.editor, 0);
            rig.editor.GuiIdle();
        }
        rig.editor.DoCommand(kCommandStopTransferForQuit);
        EXPECT_EQ(rig.librarian->Transfers().Running(), nullptr);
        cable.Deliver(rig.editor, 0);
        EXPECT_FALSE(std::filesystem::exists(library.File("06.prg")));
    }
    for (int start = 0; start < 2; ++start) {
        UnitCable cable;
        EditorWithLibrarian rig(cable, settings);
        rig.editor.GuiIdle();
        const std::vector<Shown> note = {
            {ReportKind::kError,
             "The editor was stopped during the save of all programs from the Orvo.\nSaved 5 of "
             "99 programs. The rest was not transferred."}};
        EXPECT_EQ(rig.panel->reports, start == 0 ? note : std::vector<Shown>{}) << start;
    }
}
