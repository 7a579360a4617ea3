#pragma once

#include <QApplication>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "plugin/EditorCommand.h"
#include "plugin/PluginBase.h"
#include "shell/ShellHooks.h"

// The one QApplication of a test executable, on Qt's offscreen platform. It is never deleted:
// destroyed among the exit handlers, it would outlive parts of Qt it needs.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_shell";
    static char* argv[] = {name, nullptr};
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Sets an environment variable for the life of the object; nullopt unsets it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A plug-in object that records the commands it gets.
class CommandPlugin : public PluginBase {
public:
    bool DoCommand(int code) override {
        commands.push_back(code);
        if (code == kCommandStopTransfer || code == kCommandStopTransferForQuit)
            transferRunning = false;
        return answer;
    }
    bool CommandEnabled(int code) const override {
        return code != kCommandStopTransfer || transferRunning;
    }
    bool CommandChecked(int code) const override { return code == checked; }
    std::vector<int> commands;
    bool answer = true;
    int checked = -1;  // the one command reported on
    bool transferRunning = false;
};

// The shell's side of the main window, recorded.
class RecordingHooks : public ShellHooks {
public:
    int RunPreferences(QWidget*) override {
        ++preferencesRuns;
        return preferencesResult;
    }
    void WriteSettings() override { ++writes; }
    void ShowAboutBox(QWidget*) override { ++aboutBoxes; }
    void ShowMidiMonitor(QWidget*) override { ++monitors; }
    void ShowLibrary(QWidget*) override { ++libraries; }
    void ShowBank(QWidget*) override { ++banks; }
    void UseVirtualOrvo() override { ++virtualOrvoUses; }
    void ShowControllerAssignments(QWidget*) override { ++assignmentLists; }
    void MainWindowClosed() override { ++closes; }
    bool MayClose(QWidget*) override { return mayClose; }
    bool mayClose = true;

    int preferencesResult = 2;
    int preferencesRuns = 0, writes = 0, aboutBoxes = 0, closes = 0, monitors = 0, libraries = 0,
        banks = 0, virtualOrvoUses = 0, assignmentLists = 0;
};

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <memory>

#include "shell/Shell.h"
#include "support/TempDir.h"

// The event loop with the editor's once-a-second tick, as the shell runs it, until done() holds
// or ms have passed.
inline bool RunWithTicks(PluginBase& editor, const std::function<bool()>& done, int ms) {
    QElapsedTimer timer, tick;
    timer.start();
    tick.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (tick.elapsed() > 1000) {
            tick.restart();
            editor.DoCommand(kCommandTick);
        }
        if (done()) return true;
    }
    return false;
}

// A shell whose modal dialogs are answered by the test, in folders of its own: the
// configuration folder and the folder of the single-instance socket.
class TestShell : public Shell {
public:
    using Shell::Shell;
    int ExecModal(QDialog& dialog) override {
        ++modalRuns;
        return answer ? answer(dialog) : QDialog::Rejected;
    }
    std::function<int(QDialog&)> answer;
    int modalRuns = 0;
};

// The environment of one start of the shell. Without a JACK server of the test run, the MIDI
// link looks for one that does not exist and runs without ports.
struct ShellEnvironment {
    TempDir config, runtime, cache, data;
    ScopedEnv configHome{"XDG_CONFIG_HOME", config.Path()};
    ScopedEnv dataHome{"XDG_DATA_HOME", data.Path()};
    ScopedEnv cacheHome{"XDG_CACHE_HOME", cache.Path()};
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.Path()};
    ScopedEnv jackServer{"JACK_DEFAULT_SERVER",
                         std::getenv("JACK_DEFAULT_SERVER")
                             ? std::string(std::getenv("JACK_DEFAULT_SERVER"))
                             : std::string("orvo-no-server")};

    std::string SettingsPath() const { return config.Path() + "/OrvodyneEditor/settings.ini"; }
    void WriteSettingsFile(const std::string& text) const {
        std::filesystem::create_directories(config.Path() + "/OrvodyneEditor");
        TempDir::Write(SettingsPath(), text);
    }
};
