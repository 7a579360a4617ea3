#include "library/ProgramTransfers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "library/Librarian.h"
#include "library/ProgramConversion.h"
#include "library/ProgramFile.h"
#include "library/ProgramText.h"
#include "sim/VirtualOrvo.h"
#include "support/DistinctProgram.h"
#include "support/FakeEditorPanel.h"
#include "support/LibrarianFixture.h"
#include "support/TempDir.h"
#include "support/UnitCable.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Shown = FakePanel::Shown;

const Shown kNotPresent{ReportKind::kError,
                        "Orvo not present or a communication\nerror has occurred!"};
const Shown kCommunicationError{ReportKind::kError, "Communication error has occurred!"};
const Shown kFinished{ReportKind::kDone, "Finished successfully!"};

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
    EXPECT_EQ(panel_->reports, std::vector<Shown>{}) << "no prompt, no time-out";
    EXPECT_EQ(unit_.Counters().programsStored, 99);
    for (int n = 1; n <= 99; ++n)
        ASSERT_EQ(UnitProgram(n), DistinctProgram(n)) << "location " << n;
    EXPECT_FALSE(librarian_->Transfers().BatchActive());
    EXPECT_EQ(panel_->status, "99 program");
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

        editor_.DoCommand(kCommandWriteAllPrograms);
        Pump();
        ASSERT_EQ(panel_->reports,
                  (std::vector<Shown>{{ReportKind::kWarning,
                                       "There are holes int the list.\nPress OK to fill them "
                                       "with the Default or Cancel to skip!"}}));
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
        Ticks(5);
        EXPECT_EQ(
            panel_->reports,
            (std::vector<Shown>{{ReportKind::kError, "The program file \"" + dir_.File(c.name) +
                                                         "\" cannot be used: " + c.cause + "."}}))
            << "and no time-out that blames the unit";
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
    EXPECT_EQ(panel_->reports, std::vector<Shown>{kCommunicationError});
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
    EXPECT_EQ(panel_->reports, std::vector<Shown>{kFinished});
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
    EXPECT_EQ(unit_.Counters().dumpRequests, ProgramTransfers::kDumpAttempts);
    EXPECT_EQ(panel_->reports, std::vector<Shown>{kCommunicationError});
    EXPECT_FALSE(std::filesystem::exists(dir_.File("01.prg")));
    EXPECT_FALSE(librarian_->Transfers().SaveAllActive());
}

TEST_F(Transfers, SaveAllStopsAtAFileThatCannotBeWrittenAndNamesIt) {
    std::filesystem::create_directory(dir_.File("05.prg"));
    editor_.DoCommand(kCommandSaveAllFromUnit);
    Pump();
    Ticks(4);
    EXPECT_EQ(panel_->reports,
              (std::vector<Shown>{
                  {ReportKind::kError, "The program could not be saved to\n" + dir_.File("05.prg") +
                                           "\n(the name is a folder: Is a directory)."}}));
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
    panel_->warningAnswer = false;
    for (const Case& c : {Case{kCommandSaveAllFromUnit, "Communication error!"},
                          Case{kCommandWriteAllPrograms, "Communication error!"},
                          Case{kCommandWriteProgram, "01"}}) {
        SCOPED_TRACE(c.command);
        panel_->reports.clear();
        if (c.command == kCommandWriteProgram) {
            Choose(kParamProgramWriteFile, dir_.File("01.prg"));
        } else {
            editor_.DoCommand(c.command);
        }
        Pump();
        // The tick within the second of the send does not count; then three whole ones.
        Ticks(3);
        EXPECT_EQ(panel_->reports.size(), c.command == kCommandWriteAllPrograms ? 1u : 0u);
        panel_->reports.clear();
        Ticks(1);
        EXPECT_EQ(panel_->reports, std::vector<Shown>{kNotPresent});
        EXPECT_EQ(panel_->status, c.status);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.File("02.prg")));
}
