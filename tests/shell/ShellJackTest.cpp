#include <QTimer>

#include <gtest/gtest.h>

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <thread>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "midi/JackPeer.h"
#include "midi/MidiLink.h"
#include "midi/MidiSettings.h"
#include "shell/MainWindow.h"
#include "shell/MenuTable.h"
#include "shell/ShellTestSupport.h"
#include "sim/SimPorts.h"
#include "support/JackPortNamed.h"
#include "unit/FirmwareMessages.h"
#include "unit/UnitMessages.h"
#include "unit/UnitParameters.h"
#include "unit/VirtualOrvo.h"

using namespace std::chrono_literals;

namespace {
using Bytes = std::vector<uint8_t>;

bool Lists(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Polls until done() holds, at most the time given.
template <typename F>
bool Eventually(F done, std::chrono::milliseconds within = 3000ms) {
    const auto end = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return done();
}

// Notes what the MIDI link looked like when the plug-in object was made and deleted.
struct OrderProbe {
    bool outputOpenAtCreation = false;
    bool unitInputOpenAtCreation = true;
    bool windowGoneAtDeletion = false;
    bool deliveriesStoppedAtDeletion = false;
    bool portsClosedAtDeletion = false;
    bool portObjectsLeftAtDeletion = false;
    bool deleted = false;
};

class OrderPlugin : public CommandPlugin {
public:
    OrderPlugin(Shell& shell, OrderProbe& probe) : shell_(shell), probe_(probe) {
        MidiLink& link = *shell.Link();
        probe.outputOpenAtCreation = link.Output()->IsOpen();
        probe.unitInputOpenAtCreation = link.UnitInput()->IsOpen();
    }
    ~OrderPlugin() override {
        MidiLink& link = *shell_.Link();
        probe_.windowGoneAtDeletion = shell_.Window() == nullptr;
        probe_.deliveriesStoppedAtDeletion =
            !link.UnitInput()->HasHandler() && !link.KeyboardInput()->HasHandler();
        probe_.portsClosedAtDeletion = !link.UnitInput()->IsOpen() &&
                                       !link.KeyboardInput()->IsOpen() && !link.Output()->IsOpen();
        probe_.portObjectsLeftAtDeletion = link.UnitInput() && link.Output();
        probe_.deleted = true;
    }

private:
    Shell& shell_;
    OrderProbe& probe_;
};

// The editor as the program makes it, noting the system-exclusive replies it gets and on which
// thread.
class ProbeEditor : public OrvoEditor {
public:
    using OrvoEditor::OrvoEditor;
    void HandleSysEx(const SysExMessage& message) override {
        {
            std::lock_guard<std::mutex> hold(lock_);
            replies_.emplace_back(message.bytes, message.bytes + message.size);
            threads_.push_back(std::this_thread::get_id());
        }
        OrvoEditor::HandleSysEx(message);
    }
    std::vector<Bytes> Replies() {
        std::lock_guard<std::mutex> hold(lock_);
        return replies_;
    }
    std::vector<std::thread::id> Threads() {
        std::lock_guard<std::mutex> hold(lock_);
        return threads_;
    }

private:
    std::mutex lock_;
    std::vector<Bytes> replies_;
    std::vector<std::thread::id> threads_;
};

// The virtual unit on ports of the test run's JACK server, polled on a thread of its own, and
// the shell with the editor as the program makes it, its ports on the unit's.
struct EditorOnJack {
    VirtualOrvo unit;
    SimPorts ports{unit};
    std::atomic<bool> stop{false};
    std::thread poller;
    ShellEnvironment environment;
    ProbeEditor* editor = nullptr;
    std::unique_ptr<TestShell> shell;

    ~EditorOnJack() {
        if (shell) shell->ShutDown();
        stop = true;
        if (poller.joinable()) poller.join();
        ports.Close();
    }
    // False (with a test failure) when the unit's ports or the shell did not come up.
    bool Start() {
        App();
        std::string reason;
        if (!ports.Open("Orvo", MidiBackend::Jack, &reason)) {
            ADD_FAILURE() << reason;
            return false;
        }
        poller = std::thread([this] {
            while (!stop) {
                ports.Poll();
                std::this_thread::sleep_for(2ms);
            }
        });
        const std::string unitOut = JackPortNamed<RtMidiIn>("Orvo Simulator");
        const std::string unitIn = JackPortNamed<RtMidiOut>("Orvo Simulator");
        if (unitOut.empty() || unitIn.empty()) {
            ADD_FAILURE() << "the unit's ports are not listed";
            return false;
        }
        // The JACK ports of the virtual unit are no cable: the output needs no cable pace, so the
        // firmware image of the first test goes out in well under a second.
        environment.WriteSettingsFile("[midi]\nindev=" + unitOut + "\noutdev=" + unitIn +
                                      "\nfastinterface=1\n");
        Shell::Options options;
        options.backend = MidiBackend::Jack;
        options.makePlugin = [this](MidiOutputPort* output, const uint16_t* channel) {
            editor = new ProbeEditor(output, channel);
            editor->BuildPanel();
            editor->AttachPrograms(std::make_unique<Librarian>(*editor, shell->File().Path()));
            return static_cast<PluginBase*>(editor);
        };
        shell = std::make_unique<TestShell>(options);
        if (shell->StartUp() != Shell::Start::Running || !shell->Link()->Output()->IsOpen() ||
            !shell->Link()->UnitInput()->IsOpen()) {
            ADD_FAILURE() << "the shell did not open the unit's ports";
            return false;
        }
        std::this_thread::sleep_for(100ms);  // connections settle
        return true;
    }
    std::array<uint8_t, kUnitParamCount> EditBuffer() {
        std::array<uint8_t, kUnitParamCount> buffer{};
        ports.WithUnit([&](VirtualOrvo& u) { buffer = u.EditBuffer(); });
        return buffer;
    }
    // Whether the unit comes to hold values at the positions it plays: all before the effect's,
    // and those of the effect values selects.
    bool UnitHolds(const UnitValues& values) {
        return Eventually([&] {
            bool same = true;
            ports.WithUnit([&](VirtualOrvo& u) {
                for (int p = 0; p < kUnitParamCount; ++p) {
                    const int overlay = OverlayEffect(p);
                    if (overlay != kEffectOff && overlay != values[kEffectTypePosition]) continue;
                    same = same && u.EditValue(p) == values[static_cast<size_t>(p)];
                }
            });
            return same;
        });
    }
};

}  // namespace

TEST(ShellOverJack, StartUpAndShutdownRunInTheirOrder) {
    SKIP_WITHOUT_JACK();
    QApplication& app = App();
    (void)app;
    ShellEnvironment environment;
    JackPeer peer("shell");
    environment.WriteSettingsFile("[midi]\nindev=" + peer.OutputName() + "\ninBdev=gone:port\n" +
                                  "outdev=" + peer.InputName() + "\n");
    OrderProbe probe;
    Shell::Options options;
    options.backend = MidiBackend::Jack;
    TestShell* shellPointer = nullptr;
    options.makePlugin = [&](MidiOutputPort*, const uint16_t*) -> PluginBase* {
        return new OrderPlugin(*shellPointer, probe);
    };
    TestShell shell(options);
    shellPointer = &shell;
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    EXPECT_TRUE(probe.outputOpenAtCreation);
    EXPECT_FALSE(probe.unitInputOpenAtCreation);
    EXPECT_TRUE(shell.Link()->UnitInput()->IsOpen());
    EXPECT_FALSE(shell.Link()->KeyboardInput()->IsOpen());
    // The keyboard's port is missing; its name stays for when it is back.
    EXPECT_STREQ(shell.Settings()->keyboardInputName, "gone:port");
    EXPECT_NE(TempDir::Read(environment.SettingsPath()).find("inBdev=gone:port"),
              std::string::npos);
    EXPECT_TRUE(Lists(shell.Link()->InputNames(), peer.OutputName()));
    EXPECT_TRUE(Lists(shell.Link()->OutputNames(), peer.InputName()));

    QTimer::singleShot(10, [&] { shell.Window()->close(); });
    shell.RunLoop();
    shell.ShutDown();
    EXPECT_TRUE(probe.deleted);
    EXPECT_TRUE(probe.windowGoneAtDeletion);
    EXPECT_TRUE(probe.deliveriesStoppedAtDeletion);
    EXPECT_TRUE(probe.portsClosedAtDeletion);
    EXPECT_TRUE(probe.portObjectsLeftAtDeletion);
    EXPECT_EQ(shell.Link(), nullptr);
}

TEST(ShellOverJack, TheEditorTalksToTheVirtualUnit) {
    SKIP_WITHOUT_JACK();
    EditorOnJack run;
    run.unit.SetEraseDelayMs(50);
    ASSERT_TRUE(run.Start());
    ProbeEditor* editor = run.editor;
    auto& ports = run.ports;

    // A parameter change at its top and bottom: the unit's edit buffer follows.
    const int position = 0;
    const UnitParameter* parameter = UnitParameterAt(position);
    for (int value : {static_cast<int>(parameter->maximum), static_cast<int>(parameter->minimum)}) {
        editor->SendParam(position, value);
        EXPECT_TRUE(Eventually([&] {
            int stored = 0;
            ports.WithUnit([&](VirtualOrvo& u) { stored = u.EditValue(position); });
            return stored == value;
        })) << parameter->name
            << " = " << value;
    }

    // A program write, and the unit's reply on the MIDI input thread.
    ProgramBlock block{};
    ports.WithUnit([&](VirtualOrvo& u) { block = u.Program(7); });
    block[0] = block[0] == 1 ? 2 : 1;
    const Bytes write = *BuildProgramWrite(7, block);
    EXPECT_TRUE(editor->SendSysEx({0, static_cast<int32_t>(write.size()), write.data()}));
    EXPECT_TRUE(Eventually([&] {
        bool stored = false;
        ports.WithUnit([&](VirtualOrvo& u) { stored = u.Program(7) == block; });
        return stored && !editor->Replies().empty();
    }));
    for (auto id : editor->Threads())
        EXPECT_NE(id, std::this_thread::get_id());

    // The firmware data message, 91441 bytes, reaches the unit whole.
    Bytes image(80000);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 13 + 5);
    // The four tail bytes travel as 7-bit digits of one number, which holds only small ones.
    std::fill(image.end() - 4, image.end(), 0);
    const Bytes start = BuildFirmwareStart();
    const Bytes data = *BuildFirmwareData(image.data(), image.size());
    ASSERT_EQ(data.size(), 91441u);
    auto lastReplyIs = [&](uint8_t code) {
        const auto replies = editor->Replies();
        return !replies.empty() && replies.back().size() > kCodeIndex &&
               replies.back()[kCodeIndex] == code;
    };
    EXPECT_TRUE(editor->SendSysEx({0, static_cast<int32_t>(start.size()), start.data()}));
    ASSERT_TRUE(Eventually([&] { return lastReplyIs(kReplyReadyForData); }));
    EXPECT_TRUE(editor->SendSysEx({0, static_cast<int32_t>(data.size()), data.data()}));
    EXPECT_TRUE(Eventually([&] { return lastReplyIs(kReplyUpdateSuccessful); }));
    Bytes received;
    ports.WithUnit([&](VirtualOrvo& u) { received = u.FirmwareImage(); });
    EXPECT_TRUE(received == image) << "the unit took " << received.size() << " bytes";
}

TEST(ShellOverJack, UndoRedoAndCompareFromTheMenuReachTheVirtualUnit) {
    SKIP_WITHOUT_JACK();
    EditorOnJack run;
    ASSERT_TRUE(run.Start());
    OrvoEditor& editor = *run.editor;
    MainWindow& window = *run.shell->Window();
    const UnitValues original = editor.CurrentValues();
    // The program of the last session reaches the unit first.
    ASSERT_TRUE(run.UnitHolds(original));
    const auto before = run.EditBuffer();

    // Random on the oscillators and the effect, as the panel's button does.
    editor.SetParameterValue(SectionSwitchIndex(kSectionVco1), 1.0);
    editor.SetParameterValue(SectionSwitchIndex(kSectionEffect), 1.0);
    editor.BeginGesture(kParamSectionRandom);
    editor.SetParameterValue(kParamSectionRandom, 1.0);
    editor.SetParameterValue(kParamSectionRandom, 0.0);
    editor.EndGesture(kParamSectionRandom);
    const UnitValues randomised = editor.CurrentValues();
    ASSERT_TRUE(run.UnitHolds(randomised));
    const auto after = run.EditBuffer();

    window.HandleCommand(menu::kUndo);
    EXPECT_TRUE(Eventually([&] { return run.EditBuffer() == before; }));
    window.HandleCommand(menu::kRedo);
    EXPECT_TRUE(Eventually([&] { return run.EditBuffer() == after; }));
    window.HandleCommand(menu::kCompare);  // the program as the session started
    EXPECT_TRUE(editor.Comparing());
    EXPECT_TRUE(run.UnitHolds(original));
    window.HandleCommand(menu::kCompare);
    EXPECT_TRUE(Eventually([&] { return run.EditBuffer() == after; }));
    EXPECT_TRUE(run.UnitHolds(randomised));
}
