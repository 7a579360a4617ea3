#include <QTimer>

#include <gtest/gtest.h>

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "midi/JackPeer.h"
#include "midi/MidiLink.h"
#include "midi/MidiSettings.h"
#include "shell/EditorOnJack.h"
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

TEST(ShellOverJack, WithoutAPortOfTheSystemChosenThePortsComeOnceThePanelIsPainted) {
    SKIP_WITHOUT_JACK();
    QApplication& app = App();
    (void)app;
    ShellEnvironment environment;
    JackPeer peer("later");
    environment.WriteSettingsFile("[midi]\nindev=Virtual Orvo\ninBdev=off\noutdev=Virtual Orvo\n");
    Shell::Options options;
    options.backend = MidiBackend::Jack;
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    MidiLink& link = *shell.Link();
    // The virtual Orvo needs no MIDI system: it is open at once, and the lists name it.
    EXPECT_TRUE(link.IsRoleVirtual(MidiRole::Output));
    EXPECT_TRUE(link.IsRoleVirtual(MidiRole::UnitInput));
    EXPECT_FALSE(link.HasPortObjects());
    EXPECT_TRUE(Lists(link.InputNames(), "Virtual Orvo"));
    EXPECT_TRUE(Lists(link.OutputNames(), "Virtual Orvo"));

    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!link.HasPortObjects() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(link.HasPortObjects());
    EXPECT_TRUE(Lists(link.InputNames(), peer.OutputName()));
    EXPECT_TRUE(Lists(link.OutputNames(), peer.InputName()));
    EXPECT_TRUE(Lists(link.OutputNames(), "Virtual Orvo"));
    // The roles stayed on the virtual Orvo.
    EXPECT_TRUE(link.IsRoleVirtual(MidiRole::Output));
    EXPECT_TRUE(link.IsRoleVirtual(MidiRole::UnitInput));
    shell.ShutDown();
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
