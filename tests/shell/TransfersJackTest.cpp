// The transfers end to end: the real editor and its librarian on the MIDI link over the test
// run's JACK server, and the orvo-sim program on the other side, as a user would run it.

#include <gtest/gtest.h>

#include <rtmidi/RtMidi.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "midi/JackPeer.h"
#include "midi/MidiLink.h"
#include "support/DistinctProgram.h"
#include "support/FakeEditorPanel.h"
#include "support/JackPortNamed.h"
#include "support/TempDir.h"
#include "support/TransfersOnJack.h"
#include "unit/ProgramFile.h"
#include "unit/ProgramText.h"
#include "util/FileReader.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

using Shown = FakePanel::Shown;
using namespace transfers_on_jack;

const Shown kWentToTheUnit{ReportKind::kDone,
                           "Finished successfully!\n99 programs went to the Orvo."};

// The program under test on the other side of the cable.
SimProcess Sim(std::vector<std::string> options) {
    return SimProcess(ORVO_SIM_PATH, std::move(options));
}

void WriteLibrary(const TempDir& dir) {
    for (int n = 1; n <= 99; ++n) {
        TempDir::Write(dir.File(TwoDigits(n) + " sound.prg"),
                       FormatProgramText(DistinctProgram(n + 3)));
    }
}

// The dummy driver without realtime scheduling misses a cycle now and then on a busy machine,
// and JACK drops that cycle's messages; a transfer that lost one is tried again, as a user
// would.
template <typename F>
bool InThreeTries(F transfer) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (transfer()) return true;
    }
    return false;
}

}  // namespace

TEST(TransfersOverJack, WriteAllLeavesTheUnitHoldingExactlyTheFolder) {
    SKIP_WITHOUT_JACK();
    TempDir library, unitFolder;
    WriteLibrary(library);
    bool complete = InThreeTries([&] {
        SimProcess sim = Sim({"--save", unitFolder.Path()});
        EditorOnJack editor(sim);
        if (!editor.Connected()) return false;
        editor.Panel().chosenFolder = library.Path();
        editor.Editor().DoCommand(kCommandWriteAllPrograms);
        // A lost message ends the batch by the time-out report; the next try then starts.
        const bool ended = editor.RunUntil(
            [&](ProgramTransfers& t) {
                return !t.BatchActive() || !editor.Panel().reports.empty();
            },
            60s);
        editor.TickFor(1500ms);
        if (!ended || editor.Reports() != std::vector<Shown>{kWentToTheUnit}) return false;
        if (!sim.Stop()) return false;
        for (int n = 1; n <= 99; ++n) {
            const std::optional<ProgramValues> stored =
                ReadProgramFile(unitFolder.File(TwoDigits(n) + ".prg"));
            EXPECT_TRUE(stored) << n;
            if (!stored) return false;
            EXPECT_EQ(*stored, DistinctProgram(n + 3)) << "location " << n;
        }
        return true;
    });
    EXPECT_TRUE(complete);
}

TEST(TransfersOverJack, SaveAllFromAUnitThatCorruptsDumpsWritesEveryProgram) {
    SKIP_WITHOUT_JACK();
    TempDir unitFolder;
    WriteLibrary(unitFolder);
    bool complete = InThreeTries([&] {
        TempDir library;
        SimProcess sim =
            Sim({"--load", unitFolder.Path(), "--corrupt-dumps", "0.1", "--seed", "7"});
        EditorOnJack editor(sim);
        if (!editor.Connected()) return false;
        editor.Panel().chosenFolder = library.Path();
        editor.Editor().DoCommand(kCommandSaveAllFromUnit);
        const bool ended = editor.RunUntil(
            [&](ProgramTransfers& t) {
                return !t.SaveAllActive() || !editor.Panel().reports.empty();
            },
            60s);
        editor.TickFor(1500ms);
        if (!ended) return false;
        if (editor.Reports() !=
            std::vector<Shown>{
                {ReportKind::kDone, "Finished successfully!\nSaved 99 of 99 programs."}})
            return false;
        EXPECT_EQ(LibraryFolder::ListProgramFiles(library.Path()).size(), 99u);
        for (int n = 1; n <= 99; ++n) {
            const std::optional<ProgramValues> saved =
                ReadProgramFile(library.File(TwoDigits(n) + ".prg"));
            EXPECT_TRUE(saved) << n;
            if (saved) {
                EXPECT_EQ(*saved, DistinctProgram(n + 3)) << "program " << n;
            }
        }
        return true;
    });
    EXPECT_TRUE(complete);
}

TEST(TransfersOverJack, AUnitThatNeverAnswersIsReportedMissingAfterThreeTries) {
    SKIP_WITHOUT_JACK();
    TempDir library;
    SimProcess sim = Sim({"--drop-replies", "1"});
    EditorOnJack editor(sim);
    ASSERT_TRUE(editor.Connected());
    editor.Panel().chosenFolder = library.Path();
    const auto start = Clock::now();
    editor.Editor().DoCommand(kCommandSaveAllFromUnit);
    ASSERT_TRUE(
        editor.RunUntil([&](ProgramTransfers&) { return !editor.Panel().reports.empty(); }, 20s));
    // Each request waits three whole seconds and is asked again, three times in all.
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 3 * 2900ms);
    EXPECT_LE(waited, 3 * 4500ms);
    EXPECT_EQ(editor.Reports(),
              (std::vector<Shown>{{ReportKind::kError,
                                   "Orvo not present or a communication\nerror has occurred!"}}));
    EXPECT_EQ(editor.Locked([&] { return editor.Panel().status; }), "Communication error!");
    EXPECT_TRUE(LibraryFolder::ListProgramFiles(library.Path()).empty()) << "nothing written";
}

TEST(TransfersOverJack, RepliesJustInsideTheTimeOutStillComplete) {
    SKIP_WITHOUT_JACK();
    TempDir library, unitFolder;
    const std::string file = library.File("12 slow.prg");
    TempDir::Write(file, FormatProgramText(DistinctProgram(12)));
    bool complete = InThreeTries([&] {
        SimProcess sim = Sim({"--reply-delay", "2700", "--save", unitFolder.Path()});
        EditorOnJack editor(sim);
        if (!editor.Connected()) return false;
        // One program into the unit, and one back into a file.
        editor.Panel().choosers[kParamProgramWriteFile] = file;
        editor.Editor().SetParameterValue(kParamProgramWriteFile, 1.0);
        bool ended =
            editor.RunUntil([](ProgramTransfers& t) { return !t.SingleWritePending(); }, 8s);
        editor.Editor().DoCommand(kCommandSaveFromUnit);
        editor.Panel().choosers[kParamProgramSaveFile] = library.File("12 back.prg");
        editor.Editor().SetParameterValue(kParamProgramSaveFile, 1.0);
        ended = ended &&
                editor.RunUntil([&](ProgramTransfers& t) { return t.Running() == nullptr; }, 8s);
        editor.TickFor(1500ms);
        if (!ended || !editor.Reports().empty()) return false;
        EXPECT_EQ(ReadProgramFile(library.File("12 back.prg")), DistinctProgram(12));
        if (!sim.Stop()) return false;
        EXPECT_EQ(ReadProgramFile(unitFolder.File("12.prg")), DistinctProgram(12));
        return true;
    });
    EXPECT_TRUE(complete);
}

TEST(TransfersOverJack, BothWaysThroughDroppedDelayedAndDamagedRepliesEveryProgramArrives) {
    SKIP_WITHOUT_JACK();
    TempDir library, unitFolder, decoy;
    WriteLibrary(library);
    for (int n = 1; n <= 9; ++n)
        TempDir::Write(decoy.File(TwoDigits(n) + ".prg"), FormatProgramText(DistinctProgram(n)));
    const auto decoyFile = [&](int n) {
        return ReadWholeFile(decoy.File(TwoDigits(n) + ".prg"), 1 << 16);
    };
    std::vector<std::optional<std::string>> decoyBefore;
    for (int n = 1; n <= 9; ++n)
        decoyBefore.push_back(decoyFile(n));
    bool complete = InThreeTries([&] {
        TempDir back;
        // Each dropped reply costs a time-out of three seconds or more. This seed drops two
        // status replies of the write and two dumps of the read, and damages twelve dumps: every
        // kind of fault both ways, with few more time-outs than that takes.
        SimProcess sim = Sim({"--reply-delay", "30", "--drop-replies", "0.03", "--corrupt-dumps",
                              "0.1", "--seed", "20"});
        EditorOnJack editor(sim);
        if (!editor.Connected()) return false;
        editor.Panel().chosenFolder = library.Path();
        editor.Editor().DoCommand(kCommandWriteAllPrograms);
        // The user looks at a program of another folder meanwhile.
        editor.Locked([&] {
            editor.Panel().choosers[kParamProgramLoadFile] = decoy.File("05.prg");
            editor.Editor().SetParameterValue(kParamProgramLoadFile, 1.0);
            return true;
        });
        if (!editor.RunUntil([](ProgramTransfers& t) { return t.Running() == nullptr; }, 120s))
            return false;
        editor.TickFor(1200ms);
        if (editor.Reports() != std::vector<Shown>{kWentToTheUnit}) return false;

        editor.Panel().chosenFolder = back.Path();
        editor.Locked([&] { return editor.Panel().reports.clear(), true; });
        editor.Editor().DoCommand(kCommandSaveAllFromUnit);
        if (!editor.RunUntil([](ProgramTransfers& t) { return t.Running() == nullptr; }, 120s))
            return false;
        editor.TickFor(1200ms);
        if (editor.Reports() !=
            std::vector<Shown>{
                {ReportKind::kDone, "Finished successfully!\nSaved 99 of 99 programs."}})
            return false;
        for (int n = 1; n <= 99; ++n) {
            EXPECT_EQ(ReadProgramFile(back.File(TwoDigits(n) + ".prg")), DistinctProgram(n + 3))
                << "program " << n;
        }
        return true;
    });
    EXPECT_TRUE(complete);
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(decoyFile(n), decoyBefore[static_cast<size_t>(n - 1)]) << n;
}
