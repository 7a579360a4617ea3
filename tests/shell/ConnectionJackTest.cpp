#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "midi/JackPeer.h"
#include "midi/MidiLink.h"
#include "midi/MidiSettings.h"
#include "shell/MainWindow.h"
#include "shell/MenuTable.h"
#include "shell/MidiMonitorWindow.h"
#include "shell/PreferencesDialog.h"
#include "shell/ShellTestSupport.h"
#include "shell/UnitSearch.h"
#include "sim/SimPorts.h"
#include "support/DistinctProgram.h"
#include "support/JackPortNamed.h"
#include "unit/ProgramFile.h"
#include "unit/UnitMessages.h"
#include "unit/VirtualOrvo.h"

using namespace std::chrono_literals;

namespace {

// Runs the Qt loop until done() holds, at most the time given.
template <typename F>
bool EventuallyInLoop(F done, std::chrono::milliseconds within = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < end) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        if (done()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return done();
}

// A port pair that sends back whatever it gets, as a MIDI thru box or a loopback cable does.
// The copies go out from a thread of its own, not from JACK's process thread that delivers them.
class EchoPort {
public:
    explicit EchoPort(const std::string& name)
        : in_(RtMidi::UNIX_JACK, name + " in"), out_(RtMidi::UNIX_JACK, name + " out") {
        out_.openVirtualPort("out");
        sender_ = std::thread([this] { SendLoop(); });
        in_.ignoreTypes(false, true, true);
        in_.setCallback(&Echo, this);
        in_.openVirtualPort("in");
    }
    ~EchoPort() {
        in_.cancelCallback();
        in_.closePort();
        {
            std::lock_guard<std::mutex> hold(lock_);
            stop_ = true;
        }
        waiting_.notify_all();
        sender_.join();
        out_.closePort();
    }

private:
    static void Echo(double, std::vector<unsigned char>* message, void* self) {
        auto* port = static_cast<EchoPort*>(self);
        {
            std::lock_guard<std::mutex> hold(port->lock_);
            port->queue_.push_back(*message);
        }
        port->waiting_.notify_one();
    }
    void SendLoop() {
        std::unique_lock<std::mutex> hold(lock_);
        for (;;) {
            waiting_.wait(hold, [&] { return stop_ || !queue_.empty(); });
            if (stop_) return;
            std::vector<unsigned char> message = std::move(queue_.front());
            queue_.pop_front();
            hold.unlock();
            out_.sendMessage(&message);
            hold.lock();
        }
    }

    RtMidiIn in_;
    RtMidiOut out_;
    std::mutex lock_;
    std::condition_variable waiting_;
    std::deque<std::vector<unsigned char>> queue_;
    bool stop_ = false;
    std::thread sender_;
};

// The virtual unit on its JACK ports, fed by a polling thread while it lives.
class RunningUnit {
public:
    RunningUnit() : ports_(unit_) {
        std::string reason;
        open_ = ports_.Open("Orvo", MidiBackend::Jack, &reason);
        poller_ = std::thread([this] {
            while (!stop_) {
                ports_.Poll();
                std::this_thread::sleep_for(2ms);
            }
        });
    }
    ~RunningUnit() {
        stop_ = true;
        poller_.join();
        ports_.Close();
    }
    bool Open() const { return open_; }
    template <typename F>
    void WithUnit(F&& f) {
        ports_.WithUnit(std::forward<F>(f));
    }
    // The unit's ports as the editor's lists name them.
    static std::string OutputName() { return JackPortNamed<RtMidiIn>("Orvo Simulator"); }
    static std::string InputName() { return JackPortNamed<RtMidiOut>("Orvo Simulator"); }

private:
    VirtualOrvo unit_;
    SimPorts ports_;
    bool open_ = false;
    std::atomic<bool> stop_{false};
    std::thread poller_;
};

// Faults under which the unit loses its first dump and sends the two after it. The same seed
// loses the same replies, so a unit of its own on no port tells which seed does that.
SimFaults FirstReplyLost() {
    const std::vector<uint8_t> request = *BuildDumpRequest(UnitSearch::kAskedProgram);
    SimFaults faults;
    faults.dropReplyShare = 0.5;
    for (faults.seed = 1; faults.seed < 1000; ++faults.seed) {
        VirtualOrvo probe;
        probe.SetFaults(faults);
        std::vector<int> dropped;
        for (int ask = 0; ask < 3; ++ask) {
            probe.Feed(request.data(), request.size(), 0);
            dropped.push_back(probe.Counters().repliesDropped);
        }
        if (dropped == std::vector<int>{1, 1, 1}) break;
    }
    return faults;
}

Shell::Options SearchingShellOptions() {
    Shell::Options options;
    options.backend = MidiBackend::Jack;
    options.makePlugin = [](MidiOutputPort*, const uint16_t*) -> PluginBase* {
        return new CommandPlugin;
    };
    return options;
}

}  // namespace

TEST(ConnectionOverJack, FindTheOrvoPicksTheUnitAndNamesTheEchoingPort) {
    SKIP_WITHOUT_JACK();
    QApplication& app = App();
    (void)app;
    RunningUnit unit;
    ASSERT_TRUE(unit.Open());
    EchoPort echo("orvo-echo");
    JackPeer keys("keys");
    ShellEnvironment environment;
    environment.WriteSettingsFile("[midi]\nindev=off\ninBdev=" + keys.OutputName() +
                                  "\noutdev=off\n");
    TestShell shell(SearchingShellOptions());
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    ASSERT_TRUE(shell.Link()->KeyboardInput()->IsOpen());

    QString found;
    shell.answer = [&](QDialog& dialog) {
        auto* preferences = qobject_cast<PreferencesDialog*>(&dialog);
        EXPECT_NE(preferences, nullptr);
        if (preferences == nullptr) return static_cast<int>(QDialog::Rejected);
        preferences->show();
        preferences->FindButton()->click();
        EXPECT_TRUE(preferences->SearchText()->text().startsWith("Searching..."));
        EXPECT_TRUE(EventuallyInLoop([&] { return !preferences->Searching(); }, 20000ms));
        found = preferences->SearchText()->text();
        // The findings show whole: every line of the label inside the dialog.
        QApplication::processEvents();
        const QLabel* text = preferences->SearchText();
        EXPECT_GE(text->height(), text->heightForWidth(text->width()));
        const QRect inDialog(text->mapTo(preferences, QPoint(0, 0)), text->size());
        EXPECT_TRUE(preferences->rect().contains(inDialog));
        // The status line below the panel tells of the answer while the dialog is still open.
        EXPECT_TRUE(shell.Window()->ConnectionText().startsWith("Last answer: just now"))
            << shell.Window()->ConnectionText().toStdString();
        return static_cast<int>(QDialog::Accepted);
    };
    shell.Window()->HandleCommand(menu::kPreferences);

    const MidiSettings& settings = *shell.Settings();
    EXPECT_EQ(settings.outputName, RunningUnit::InputName()) << found.toStdString();
    EXPECT_EQ(settings.unitInputName, RunningUnit::OutputName());
    EXPECT_TRUE(found.startsWith("Found the Orvo")) << found.toStdString();
    EXPECT_TRUE(found.contains("orvo-echo out:out\" sends back what")) << found.toStdString();
    EXPECT_TRUE(shell.Link()->Output()->IsOpen());
    EXPECT_TRUE(shell.Link()->UnitInput()->IsOpen());
    // The keyboard was left alone, and the file holds the unit's ports after OK.
    EXPECT_EQ(settings.keyboardInputName, keys.OutputName());
    EXPECT_TRUE(shell.Link()->KeyboardInput()->IsOpen());
    const std::string file = TempDir::Read(environment.SettingsPath());
    EXPECT_NE(file.find("outdev=" + RunningUnit::InputName()), std::string::npos) << file;
    shell.ShutDown();
}

TEST(ConnectionOverJack, TheSearchAsksAgainWhenTheUnitsFirstAnswerIsLost) {
    SKIP_WITHOUT_JACK();
    RunningUnit unit;
    ASSERT_TRUE(unit.Open());
    unit.WithUnit([](VirtualOrvo& orvo) { orvo.SetFaults(FirstReplyLost()); });
    UnitSearch search(MidiBackend::Jack, {RunningUnit::OutputName()}, {RunningUnit::InputName()});
    // The search's clock moves 5 ms a step while each step waits at least that long: on a busy
    // machine JACK gets more time, never less, for what the search's waits allow.
    int64_t clockMs = 0;
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (search.Step(clockMs) && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(5ms);
        clockMs += 5;
    }
    ASSERT_TRUE(search.Done()) << search.Text();
    SimCounters seen;
    unit.WithUnit([&](VirtualOrvo& orvo) { seen = orvo.Counters(); });
    EXPECT_EQ(seen.repliesDropped, 1);
    EXPECT_GE(seen.dumpRequests, 2);
    EXPECT_EQ(
        search.Units(),
        (std::vector<UnitSearch::Pair>{{RunningUnit::InputName(), RunningUnit::OutputName()}}))
        << search.Text();
}

TEST(ConnectionOverJack, AUnitSwitchedOnLateIsOpenedAndTheMonitorDecodesItsTraffic) {
    SKIP_WITHOUT_JACK();
    QApplication& app = App();
    (void)app;
    std::string unitOut, unitIn;
    {
        RunningUnit earlier;  // only to learn the names the unit's ports will have
        ASSERT_TRUE(earlier.Open());
        unitOut = RunningUnit::OutputName();
        unitIn = RunningUnit::InputName();
    }
    ShellEnvironment environment;
    environment.WriteSettingsFile("[midi]\nindev=" + unitOut + "\noutdev=" + unitIn + "\n");
    // The editor as the program makes it, with its panel.
    Shell::Options options;
    options.backend = MidiBackend::Jack;
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    auto* editor = dynamic_cast<OrvoEditor*>(shell.Plugin());
    ASSERT_NE(editor, nullptr);
    MidiLink& link = *shell.Link();
    EXPECT_FALSE(link.Output()->IsOpen());
    EXPECT_TRUE(shell.Window()->ConnectionText().contains("missing"))
        << shell.Window()->ConnectionText().toStdString();
    // The names stay in the file while the unit is off.
    EXPECT_NE(TempDir::Read(environment.SettingsPath()).find("outdev=" + unitIn),
              std::string::npos);

    RunningUnit unit;
    ASSERT_TRUE(unit.Open());
    ASSERT_TRUE(EventuallyInLoop([&] {
        shell.FollowPorts();
        return link.Output()->IsOpen() && link.UnitInput()->IsOpen();
    }));
    EXPECT_EQ(link.OpenedName(MidiRole::Output), unitIn);
    const QString status = shell.Window()->ConnectionText();
    EXPECT_TRUE(status.contains(QString::fromStdString(unitIn))) << status.toStdString();
    EXPECT_FALSE(status.contains("missing")) << status.toStdString();
    std::this_thread::sleep_for(100ms);  // connections settle

    shell.Window()->HandleCommand(menu::kMidiMonitor);
    MidiMonitorWindow* monitor = shell.Monitor();
    ASSERT_NE(monitor, nullptr);
    monitor->TakeTraffic();  // what went before
    // A program file loaded as the Load button does, then a dump of program 5 asked for.
    ProgramValues program = DistinctProgram(1);
    program[0] = 7;
    const std::string file = environment.config.Path() + "/bass.prg";
    ASSERT_TRUE(WriteProgramFile(file, program));
    ASSERT_TRUE(shell.OpenProgramFile(file));
    const std::vector<uint8_t> request = *BuildDumpRequest(5);
    EXPECT_TRUE(editor->SendSysEx({0, static_cast<int32_t>(request.size()), request.data()}));
    ASSERT_TRUE(EventuallyInLoop([&] {
        monitor->TakeTraffic();
        return monitor->Text().contains("dump of 5, checksum good");
    })) << monitor->Text().toStdString();
    const QString text = monitor->Text();
    EXPECT_TRUE(text.contains("update begins")) << text.toStdString();
    EXPECT_TRUE(text.contains("VCO1 coarse = 7")) << text.toStdString();
    EXPECT_TRUE(text.contains("update ends")) << text.toStdString();
    EXPECT_TRUE(text.contains("dump request for 5")) << text.toStdString();
    shell.FollowPorts();
    EXPECT_TRUE(shell.Window()->ConnectionText().contains("Last answer: just now"))
        << shell.Window()->ConnectionText().toStdString();

    // Paused, nothing is added; resumed, what came meanwhile shows.
    monitor->SetPaused(true);
    const QString before = monitor->Text();
    EXPECT_TRUE(editor->SendSysEx({0, static_cast<int32_t>(request.size()), request.data()}));
    std::this_thread::sleep_for(200ms);
    monitor->TakeTraffic();
    EXPECT_EQ(monitor->Text(), before);
    EXPECT_GE(monitor->HeldCount(), 1u);  // the request, and the unit's dump when it came
    monitor->SetPaused(false);
    EXPECT_EQ(monitor->Text().count("dump request for 5"), before.count("dump request for 5") + 1);
    shell.ShutDown();
}
