// The firmware update from the running application's File menu, over JACK, against the virtual
// unit on ports of its own: the shell's message loop issues the ticks, the editor's panel answers
// the file dialog and records the message boxes instead of showing them.
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "editor/OrvoEditor.h"
#include "gui/GraphicsFactory.h"
#include "library/MakePlugin.h"
#include "midi/JackPeer.h"
#include "platform/qt/GraphicsQt.h"
#include "shell/MainWindow.h"
#include "shell/ShellTestSupport.h"
#include "sim/SimPorts.h"
#include "unit/VirtualOrvo.h"

using namespace std::chrono_literals;

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// The application's panel with its modal steps answered: the file dialog picks the test's file,
// message boxes are noted with the time they came and closed with OK.
class ScriptedGraphics : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;
    QString ExecFileDialog(QFileDialog& dialog) override {
        (void)dialog;
        return QString::fromStdString(chosenFile);
    }
    int ExecMessageBox(QMessageBox& box) override {
        boxes.push_back(box.windowTitle().toStdString() + ": " + box.text().toStdString());
        boxTimes.push_back(Clock::now());
        return QMessageBox::Ok;
    }

    static inline std::string chosenFile;
    static inline std::vector<std::string> boxes;
    static inline std::vector<Clock::time_point> boxTimes;
};

// The first port of the JACK list whose name contains part.
template <typename Port>
std::string PortNamed(const std::string& part) {
    Port port(RtMidi::UNIX_JACK, "orvo firmware probe");
    for (unsigned i = 0; i < port.getPortCount(); ++i) {
        const std::string name = port.getPortName(i);
        if (name.find(part) != std::string::npos) return name;
    }
    return {};
}

// An image whose tail (80000 mod 7 = 4 bytes) the data message carries whole.
Bytes Image(size_t size) {
    Bytes image(size);
    for (size_t i = 0; i < size; ++i)
        image[i] = static_cast<uint8_t>(i * 29 + 3);
    for (size_t i = size - size % 7; i < size; ++i)
        image[i] = 0;
    return image;
}

class FirmwareOverJack : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_JACK();
        App();
        ScriptedGraphics::boxes.clear();
        ScriptedGraphics::boxTimes.clear();
        SetGraphicsFactory([](PluginBase* core) { return new ScriptedGraphics(core); });
    }
    void TearDown() override {
        SetGraphicsFactory({});
        StopUnit();
    }

    void StartUnit(const SimFaults& faults, int eraseDelayMs) {
        unit_.SetFaults(faults);
        unit_.SetEraseDelayMs(eraseDelayMs);
        std::string reason;
        ASSERT_TRUE(ports_.Open("Orvo Firmware", MidiBackend::Jack, &reason)) << reason;
        poller_ = std::thread([this] {
            while (!stop_) {
                ports_.Poll();
                std::this_thread::sleep_for(2ms);
            }
        });
    }
    void StopUnit() {
        stop_ = true;
        if (poller_.joinable()) poller_.join();
        ports_.Close();
    }

    // Starts the application on the unit's ports, chooses File > Firmware update with file and
    // runs its message loop until done() holds or the time is up; returns when the loop ended.
    // fastInterface lifts the cable's pace from the output to the unit, as the preference does.
    void RunUpdate(const std::string& file, std::function<bool()> done,
                   std::chrono::milliseconds within, bool fastInterface = false) {
        ScriptedGraphics::boxes.clear();
        ScriptedGraphics::boxTimes.clear();
        started_ = {};
        ShellEnvironment environment;
        const std::string unitOut = PortNamed<RtMidiIn>("Orvo Firmware");
        const std::string unitIn = PortNamed<RtMidiOut>("Orvo Firmware");
        ASSERT_FALSE(unitOut.empty());
        ASSERT_FALSE(unitIn.empty());
        environment.WriteSettingsFile("[midi]\nindev=" + unitOut + "\noutdev=" + unitIn +
                                      "\nfastinterface=" + (fastInterface ? "1" : "0") + "\n");
        Shell::Options options;
        options.backend = MidiBackend::Jack;
        options.makePlugin = [&](MidiOutputPort* output, const uint16_t* channel) -> PluginBase* {
            editor_ = MakePlugin(output, channel, environment.SettingsPath());
            return editor_;
        };
        TestShell shell(options);
        ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
        ScriptedGraphics::chosenFile = file;
        QTimer::singleShot(200, [&] {
            started_ = Clock::now();
            shell.Window()->HandleCommand(40030);
        });
        const auto end = Clock::now() + within;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (Clock::now() > end || (started_ != Clock::time_point{} && done())) {
                finalStatus_ = editor_->Panel()->StatusLine();
                shell.Window()->close();
            }
        });
        poll.start(20);
        shell.RunLoop();
        shell.ShutDown();
        editor_ = nullptr;
    }

    std::string WriteFile(const Bytes& image) {
        const std::string path = dir_.File("update.ldr");
        TempDir::Write(path, std::string(image.begin(), image.end()));
        return path;
    }
    std::string Status() const { return editor_ ? editor_->Panel()->StatusLine() : finalStatus_; }
    Bytes UnitImage() {
        Bytes image;
        ports_.WithUnit([&](VirtualOrvo& u) { image = u.FirmwareImage(); });
        return image;
    }
    SimCounters UnitCounters() {
        SimCounters counters;
        ports_.WithUnit([&](VirtualOrvo& u) { counters = u.Counters(); });
        return counters;
    }

    TempDir dir_;
    VirtualOrvo unit_;
    SimPorts ports_{unit_};
    std::atomic<bool> stop_{false};
    std::thread poller_;
    OrvoEditor* editor_ = nullptr;
    std::string finalStatus_;
    Clock::time_point started_{};
};

TEST_F(FirmwareOverJack, EightyThousandBytesArriveWholeAndTheUpdateSucceeds) {
    StartUnit({}, 300);
    const Bytes image = Image(80000);
    const std::string file = WriteFile(image);
    // Whole and in order is what counts here, not the pace (tested with the outlet alone): at the
    // cable's pace the image would take about 29 s to leave.
    RunUpdate(
        file, [&] { return Status() == "Update successful!" || Status() == "Error in update!"; },
        60000ms, true);
    EXPECT_EQ(finalStatus_, "Update successful!");
    EXPECT_TRUE(UnitImage() == image) << "the unit took " << UnitImage().size() << " bytes";
    EXPECT_TRUE(ScriptedGraphics::boxes.empty()) << ScriptedGraphics::boxes.front();
}

TEST_F(FirmwareOverJack, AnImageEmptyOrOneByteTooLargeIsRefusedBeforeTheUnitIsContacted) {
    StartUnit({}, 300);
    for (const Bytes& image : {Bytes(80001, 0), Bytes{}}) {
        SCOPED_TRACE(image.size());
        // The box ends the wait; the time only bounds it on a slow, loaded machine.
        RunUpdate(
            WriteFile(image), [] { return !ScriptedGraphics::boxes.empty(); }, 20000ms);
        ASSERT_EQ(ScriptedGraphics::boxes.size(), 1u);
        EXPECT_EQ(ScriptedGraphics::boxes[0], "Error: This is not a valid firmware file!");
        EXPECT_EQ(finalStatus_, "Not a valid firmware file!");
        ports_.WithUnit([](VirtualOrvo& u) {
            EXPECT_EQ(u.Firmware(), VirtualOrvo::FirmwareState::kIdle) << "the unit was contacted";
        });
    }
}

TEST_F(FirmwareOverJack, AnEraseLongerThanTheTimeOutStillSucceeds) {
    StartUnit({}, 5000);
    const Bytes image = Image(7000);
    RunUpdate(
        WriteFile(image),
        [&] { return Status() == "Update successful!" || !ScriptedGraphics::boxes.empty(); },
        12000ms);
    EXPECT_TRUE(ScriptedGraphics::boxes.empty()) << ScriptedGraphics::boxes.front();
    EXPECT_EQ(finalStatus_, "Update successful!");
    EXPECT_TRUE(UnitImage() == image);
}

TEST_F(FirmwareOverJack, AUnitThatDoesNotAnswerIsReportedAfterAboutThreeSeconds) {
    SimFaults silent;
    silent.dropReplyShare = 1.0;
    StartUnit(silent, 300);
    RunUpdate(
        WriteFile(Image(700)), [] { return !ScriptedGraphics::boxes.empty(); }, 8000ms);
    ASSERT_EQ(ScriptedGraphics::boxes.size(), 1u);
    EXPECT_EQ(ScriptedGraphics::boxes[0],
              "Error: Orvo not present or a communication\nerror has occurred!");
    EXPECT_EQ(finalStatus_, "Communication error!");
    const auto after = ScriptedGraphics::boxTimes[0] - started_;
    EXPECT_GE(after, 2500ms);
    EXPECT_LE(after, 5000ms);
}

TEST_F(FirmwareOverJack, TheUnitsPortGoingAwayDuringTheEraseEndsTheUpdateWithinSeconds) {
    StartUnit({}, 60000);
    Clock::time_point gone{};
    RunUpdate(
        WriteFile(Image(7000)),
        [&] {
            if (gone == Clock::time_point{} && Status() == "Erasing FLASH memory...") {
                StopUnit();
                gone = Clock::now();
            }
            return !ScriptedGraphics::boxes.empty();
        },
        15000ms);
    ASSERT_NE(gone, Clock::time_point{}) << "the erase never began";
    ASSERT_EQ(ScriptedGraphics::boxes.size(), 1u);
    EXPECT_EQ(ScriptedGraphics::boxes[0],
              "Error: The Orvo's MIDI port went away during the firmware update.\n"
              "The update did not finish: connect the Orvo again and repeat the update.");
    EXPECT_EQ(finalStatus_, "Update not finished!");
    EXPECT_LE(ScriptedGraphics::boxTimes[0] - gone, 5000ms);
}

TEST_F(FirmwareOverJack, AUnitThatReportsFailureGetsTheDataAgainAndTheErrorIsReported) {
    SimFaults failing;
    failing.failFirmware = true;
    StartUnit(failing, 300);
    RunUpdate(
        WriteFile(Image(7000)), [] { return !ScriptedGraphics::boxes.empty(); }, 6000ms, true);
    ASSERT_EQ(ScriptedGraphics::boxes.size(), 1u);
    EXPECT_EQ(ScriptedGraphics::boxes[0], "Error: Communication error has occurred!");
    EXPECT_EQ(finalStatus_, "Communication error!");
    EXPECT_EQ(UnitCounters().firmwareFailures, 2) << "the data goes out a second time";
    EXPECT_EQ(UnitCounters().firmwareUpdates, 0);
}

}  // namespace
