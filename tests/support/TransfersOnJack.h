#pragma once

// The transfers as the program runs them on JACK: orvo-sim as a child process, and the real
// editor with its librarian on the MIDI link, with a panel whose dialogs the caller answers and
// the caller's thread as the GUI thread. For the end-to-end tests and the transfer benchmark.

#include <rtmidi/RtMidi.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "editor/OrvoEditor.h"
#include "gui/Graphics.h"
#include "library/Librarian.h"
#include "midi/MidiLink.h"
#include "support/FakeEditorPanel.h"
#include "support/JackPortNamed.h"

namespace transfers_on_jack {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The panel's timer runs at the refresh rate and calls the idle hook every second clean tick.
constexpr auto kIdlePeriod = std::chrono::microseconds(2 * 1000000 / Graphics::kDefaultRefreshRate);

// orvo-sim as a child process on the JACK server, under a name of its own.
class SimProcess {
public:
    SimProcess(const std::string& program, std::vector<std::string> options) {
        static int count = 0;
        name_ = "Orvo Sim " + std::to_string(getpid()) + "-" + std::to_string(++count);
        std::vector<std::string> args = {program, "--backend", "jack", "--quiet", "--name", name_};
        args.insert(args.end(), options.begin(), options.end());
        pid_ = fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            // Under ThreadSanitizer the tool reports libjack's ring buffer, whose barriers it
            // does not see; the tool's own threads are not what these runs look at.
            setenv("TSAN_OPTIONS", "report_bugs=0", 1);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    // Ends it as Ctrl+C would; it writes its --save folder on the way out. True when it exited
    // normally within ten seconds; one that did not is killed, so that a stuck unit fails the
    // test instead of hanging it.
    bool Stop() {
        if (pid_ <= 0) return exited_;
        kill(pid_, SIGINT);
        int status = 0;
        pid_t ended = 0;
        for (int i = 0; i < 1000 && ended == 0; ++i) {
            ended = waitpid(pid_, &status, WNOHANG);
            if (ended == 0) std::this_thread::sleep_for(10ms);
        }
        if (ended == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
        exited_ = ended != 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        return exited_;
    }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    pid_t pid_ = -1;
    bool exited_ = false;
};

// The editor of the program with its librarian on the three MIDI ports, a panel whose dialogs
// the caller answers, and the caller's thread as the GUI thread.
class EditorOnJack {
public:
    // fastInterface: the output at the pace a USB interface or a virtual unit allows, as the
    // setting of that name sets it; by default at the cable's.
    explicit EditorOnJack(const SimProcess& sim, bool fastInterface = false)
        : link_(settings_, nullptr, MidiBackend::Jack) {
        settings_.fastInterface = fastInterface;
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
        // JACK finishes connecting the ports before the first message goes.
        std::this_thread::sleep_for(100ms);
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
    // The GUI thread's share as the program's event loop runs it: the idle hook every second
    // tick of the panel's redraw timer, and the tick every second, until done() holds under the
    // plug-in lock or the time is up.
    bool RunUntil(const std::function<bool(ProgramTransfers&)>& done, Clock::duration within) {
        const auto end = Clock::now() + within;
        while (Clock::now() < end) {
            editor_->GuiIdle();
            if (Clock::now() - lastTick_ > 1000ms) {
                lastTick_ = Clock::now();
                editor_->DoCommand(kCommandTick);
            }
            if (Locked([&] { return done(librarian_->Transfers()); })) return true;
            std::this_thread::sleep_for(kIdlePeriod);
        }
        return false;
    }
    // Ticks on for a while, so that a late report would still be shown.
    void TickFor(Clock::duration span) {
        RunUntil([](ProgramTransfers&) { return false; }, span);
    }
    std::vector<FakePanel::Shown> Reports() {
        return Locked([&] { return panel_->reports; });
    }

    OrvoEditor& Editor() { return *editor_; }
    Librarian& Programs() { return *librarian_; }
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

}  // namespace transfers_on_jack
