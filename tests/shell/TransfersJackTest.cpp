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
#include "library/ProgramFile.h"
#include "library/ProgramText.h"
#include "midi/JackPeer.h"
#include "midi/MidiLink.h"
#include "support/DistinctProgram.h"
#include "support/FakeEditorPanel.h"
#include "support/JackPortNamed.h"
#include "support/TempDir.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

using Shown = FakePanel::Shown;

// orvo-sim as a child process on the JACK server, under a name of its own.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> options) {
        static int count = 0;
        name_ = "Orvo Sim " + std::to_string(getpid()) + "-" + std::to_string(++count);
        std::vector<std::string> args = {ORVO_SIM_PATH, "--backend", "jack",
                                         "--quiet",     "--name",    name_};
        args.insert(args.end(), options.begin(), options.end());
        pid_ = fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~SimProcess() { Stop(); }
    // Ends it as Ctrl+C would; it writes its --save folder on the way out. True when it exited
    // normally.
    bool Stop() {
        if (pid_ <= 0) return exited_;
        kill(pid_, SIGINT);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        exited_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        return exited_;
    }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    pid_t pid_ = -1;
    bool exited_ = false;
};

// The editor of the program with its librarian on the three MIDI ports, a panel whose dialogs
// the test answers, and the test thread as the GUI thread.
class EditorOnJack {
public:
    explicit EditorOnJack(const SimProcess& sim) : link_(settings_, nullptr, MidiBackend::Jack) {
        for (int i = 0; i < 100 && (unitOut_.empty() || unitIn_.empty()); ++i) {
            std::this_thread::sleep_for(50ms);
            unitOut_ = JackPortNamed<RtMidiIn>(sim.Name());
            unitIn_ = JackPortNamed<RtMidiOut>(sim.Name());
        }
        link_.CreateMidiPorts();
        link_.ListMidiPorts();
        outputOpen_ = link_.OpenOutput(unitIn_.c_str());
        editor_ = std::make_unique<OrvoEditor>(link_.OutputPort(), &settings_.outputChannel);
        auto panel = std::make_unique<FakePanel>();
        panel_ = panel.get();
        editor_->AttachPanel(std::move(panel));
        auto librarian = std::make_unique<Librarian>(*editor_, "");
        librarian_ = librarian.get();
        editor_->AttachPrograms(std::move(librarian));
        link_.SetPlugin(editor_.get());
        inputOpen_ = link_.OpenUnitInput(unitOut_.c_str());
        SettleJack();
    }
    ~EditorOnJack() {
        link_.CloseAll();
        editor_.reset();
        link_.DeletePorts();
    }
    bool Connected() const { return outputOpen_ && inputOpen_; }

    template <typename F>
    auto Locked(F read) {
        std::lock_guard<std::recursive_mutex> hold(editor_->PluginLock());
        return read();
    }
    // The GUI thread's share: the idle hook every few milliseconds and the tick every second,
    // until done() holds under the plug-in lock or the time is up.
    bool RunUntil(const std::function<bool(ProgramTransfers&)>& done, Clock::duration within) {
        const auto end = Clock::now() + within;
        while (Clock::now() < end) {
            editor_->GuiIdle();
            if (Clock::now() - lastTick_ > 1000ms) {
                lastTick_ = Clock::now();
                editor_->DoCommand(kCommandTick);
            }
            if (Locked([&] { return done(librarian_->Transfers()); })) return true;
            std::this_thread::sleep_for(4ms);
        }
        return false;
    }
    // Ticks on for a while, so that a late report would still be shown.
    void TickFor(Clock::duration span) {
        RunUntil([](ProgramTransfers&) { return false; }, span);
    }
    std::vector<Shown> Reports() {
        return Locked([&] { return panel_->reports; });
    }

    OrvoEditor& Editor() { return *editor_; }
    FakePanel& Panel() { return *panel_; }

private:
    MidiSettings settings_;
    MidiLink link_;
    std::string unitOut_, unitIn_;
    bool outputOpen_ = false, inputOpen_ = false;
    std::unique_ptr<OrvoEditor> editor_;
    FakePanel* panel_ = nullptr;
    Librarian* librarian_ = nullptr;
    Clock::time_point lastTick_ = Clock::now();
};

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
        SimProcess sim({"--save", unitFolder.Path()});
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
        if (!ended || !editor.Reports().empty()) return false;
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
        SimProcess sim({"--load", unitFolder.Path(), "--corrupt-dumps", "0.1", "--seed", "7"});
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
        if (editor.Reports() != std::vector<Shown>{{ReportKind::kDone, "Finished successfully!"}})
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

TEST(TransfersOverJack, AUnitThatNeverAnswersIsReportedMissingAfterAboutThreeSeconds) {
    SKIP_WITHOUT_JACK();
    TempDir library;
    SimProcess sim({"--drop-replies", "1"});
    EditorOnJack editor(sim);
    ASSERT_TRUE(editor.Connected());
    editor.Panel().chosenFolder = library.Path();
    const auto start = Clock::now();
    editor.Editor().DoCommand(kCommandSaveAllFromUnit);
    ASSERT_TRUE(
        editor.RunUntil([&](ProgramTransfers&) { return !editor.Panel().reports.empty(); }, 8s));
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 2900ms);
    EXPECT_LE(waited, 4500ms);
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
        SimProcess sim({"--reply-delay", "2700", "--save", unitFolder.Path()});
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
                editor.RunUntil(
                    [&](ProgramTransfers& t) { return !t.WaitingForUnit() && !t.RequestPending(); },
                    8s);
        editor.TickFor(1500ms);
        if (!ended || !editor.Reports().empty()) return false;
        EXPECT_EQ(ReadProgramFile(library.File("12 back.prg")), DistinctProgram(12));
        if (!sim.Stop()) return false;
        EXPECT_EQ(ReadProgramFile(unitFolder.File("12.prg")), DistinctProgram(12));
        return true;
    });
    EXPECT_TRUE(complete);
}
