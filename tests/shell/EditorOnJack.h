#pragma once

// The editor as the program makes it, in the shell, on ports of the test run's JACK server that
// lead to the virtual unit.
#include <gtest/gtest.h>

#include <rtmidi/RtMidi.h>

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "midi/MidiLink.h"
#include "shell/ShellTestSupport.h"
#include "sim/SimPorts.h"
#include "support/JackPortNamed.h"
#include "unit/UnitParameters.h"
#include "unit/VirtualOrvo.h"

// Polls until done() holds, at most the time given.
template <typename F>
inline bool Eventually(F done, std::chrono::milliseconds within = std::chrono::milliseconds(3000)) {
    const auto end = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

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
    std::vector<std::vector<uint8_t>> Replies() {
        std::lock_guard<std::mutex> hold(lock_);
        return replies_;
    }
    std::vector<std::thread::id> Threads() {
        std::lock_guard<std::mutex> hold(lock_);
        return threads_;
    }

private:
    std::mutex lock_;
    std::vector<std::vector<uint8_t>> replies_;
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

    // The keyboard input's port ("inBdev"), empty for none; and whether the panel keeps what
    // it keeps (the zoom, the learned controllers) in the settings file, as the program's does.
    std::string keyboardPort;
    bool panelKeepsSettings = false;

    ~EditorOnJack() {
        StopShell();
        stop = true;
        if (poller.joinable()) poller.join();
        ports.Close();
    }
    void StopShell() {
        if (shell) shell->ShutDown();
        shell.reset();
        editor = nullptr;
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
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        const std::string unitOut = JackPortNamed<RtMidiIn>("Orvo Simulator");
        const std::string unitIn = JackPortNamed<RtMidiOut>("Orvo Simulator");
        if (unitOut.empty() || unitIn.empty()) {
            ADD_FAILURE() << "the unit's ports are not listed";
            return false;
        }
        // The JACK ports of the virtual unit are no cable: the output needs no cable pace, so a
        // firmware image goes out in well under a second.
        std::string midi =
            "[midi]\nindev=" + unitOut + "\noutdev=" + unitIn + "\nfastinterface=1\n";
        if (!keyboardPort.empty()) midi += "inBdev=" + keyboardPort + "\n";
        environment.WriteSettingsFile(midi);
        return StartShell();
    }
    // Starts the shell (again) on the settings file as it stands.
    bool StartShell() {
        Shell::Options options;
        options.backend = MidiBackend::Jack;
        options.makePlugin = [this](MidiOutputPort* output, const uint16_t* channel) {
            editor = new ProbeEditor(output, channel);
            editor->BuildPanel(panelKeepsSettings ? shell->File().Path() : std::string());
            editor->AttachPrograms(std::make_unique<Librarian>(*editor, shell->File().Path()));
            return static_cast<PluginBase*>(editor);
        };
        shell = std::make_unique<TestShell>(options);
        if (shell->StartUp() != Shell::Start::Running || !shell->Link()->Output()->IsOpen() ||
            !shell->Link()->UnitInput()->IsOpen() ||
            (!keyboardPort.empty() && !shell->Link()->KeyboardInput()->IsOpen())) {
            ADD_FAILURE() << "the shell did not open the unit's ports";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // connections settle
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
