#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "midi/MidiBackend.h"
#include "platform/qt/StartupReport.h"
#include "shell/SettingsFile.h"
#include "shell/ShellHooks.h"
#include "shell/SingleInstance.h"
#include "shell/TickClock.h"

class MainWindow;
class BankTransfers;
class BankWindow;
class LibraryWindow;
class MidiMonitorWindow;
class ProgramLibrary;
class MidiLink;
class MidiOutputPort;
class PluginBase;
class QDialog;
struct MidiSettings;

// The application from start to end: one instance per user, the settings, the MIDI ports and
// the plug-in object brought up in a fixed order, the main window and its message loop with the
// once-a-second tick, and the shutdown in reverse order.
class Shell : public QObject, public ShellHooks {
    Q_OBJECT

public:
    using PluginFactory = std::function<PluginBase*(MidiOutputPort*, const uint16_t*)>;
    struct Options {
        MidiBackend backend = BackendFromEnvironment();
        PluginFactory makePlugin;          // MakePlugin when empty
        std::function<int64_t()> clockMs;  // the steady clock when empty
        // Called once the main window shows, before the message loop runs.
        std::function<void(Shell&)> running;
        // A program file (absolute path) to load once started; a second start hands it to the
        // running instance instead.
        std::string programFile;
        // The program library's database file; DefaultLibraryPath() when empty.
        std::string libraryPath;
        // Whether the panel offers layout editing (key E) to the people who build it.
        bool layoutEditing = false;
        // Whether Run offers a start without chosen ports its choices (see OfferFirstStart);
        // tests that drive other features through Run turn it off.
        bool offerFirstStart = true;
        // Whether the time to the first painted panel is reported, and the editor then ends.
        StartupReport::Mode startupReport = StartupReport::ModeFromEnvironment();
    };

    enum class Start { Running, SecondInstance, NoConfigFolder };

    // The process's exit codes: a normal end and a second instance, no folder for the settings,
    // and an error that stopped the editor.
    static constexpr int kExitOk = 0;
    static constexpr int kExitNoConfigFolder = 1;
    static constexpr int kExitError = 3;

    Shell();
    explicit Shell(Options options);
    ~Shell() override;

    // Start-up, message loop and shutdown; the process's exit code.
    int Run();

    // The steps of Run, one by one. RunLoop returns the event loop's exit code.
    Start StartUp();
    // The rest of the start-up, once the panel is first painted: the MIDI system's port objects
    // and their lists when no port chosen needed them earlier, the old image cache removed, and
    // the settings written back. Runs once a start; the preferences make the port objects when it
    // has not run yet, and the shutdown writes the settings.
    void FinishStartUp();
    int RunLoop();
    void ShutDown();

    // Ends the message loop as File > Quit does.
    void Quit();
    // Ends the editor without asking (a termination signal): a running transfer stops between
    // two programs, and the next start says how far it got.
    void Terminate();

    // Loads a program file into the editor as its Load button does; false when the editor has
    // no programs or the file could not be read.
    bool OpenProgramFile(const std::string& path);

    // Opens the editor panel inside the main window; false when the editor has none.
    bool AttachGui();
    // Zooms the panel to the largest zoom at which it fits the area (the window manager's
    // resize of the main window), within the zoom's limits.
    void FitPanelTo(const QSize& area);
    // Holds the zoom to the room the main window's screen has (see MainWindow::
    // LargestClientArea), zooming the panel out where it no longer fits.
    void HoldZoomToScreen();

    int RunPreferences(QWidget* owner) override;
    void WriteSettings() override;
    void ShowAboutBox(QWidget* owner) override;
    void UseVirtualOrvo() override;
    void ShowMidiMonitor(QWidget* owner) override;
    void ShowLibrary(QWidget* owner) override;
    void ShowBank(QWidget* owner) override;
    // The bank window once it was shown; it goes with the main window.
    BankWindow* Bank() const;
    void ShowControllerAssignments(QWidget* owner) override;
    void MainWindowClosed() override;
    // While a transfer runs, asks whether to stop it; Yes stops it.
    bool MayClose(QWidget* owner) override;

    // A start with neither the unit input nor the output chosen offers, once: find the unit,
    // choose the ports, or use the virtual Orvo. Run shows it as the message loop begins.
    void OfferFirstStart();

    // Every modal dialog and message box of the shell runs through here; tests answer them.
    virtual int ExecModal(QDialog& dialog);

    MidiSettings* Settings() const { return current_.get(); }
    MidiSettings* Backup() const { return backup_.get(); }
    MidiLink* Link() const { return link_.get(); }
    PluginBase* Plugin() const { return plugin_.get(); }
    MainWindow* Window() const { return window_.get(); }
    // The MIDI monitor window once it was shown; it goes with the main window.
    MidiMonitorWindow* Monitor() const;
    // The program library (its database opens on first use), and its window once shown.
    ProgramLibrary* Library() const { return library_.get(); }
    LibraryWindow* LibraryView() const;
    const SettingsFile& File() const { return file_; }

    // Run before each wait of the message loop: the tick, when one is due, in the outermost
    // loop only, never from the loop of a modal dialog or message box.
    void CheckTick();
    // Part of the tick: reads the port lists again, re-opens ports that came back, and shows
    // the connection in the status bar.
    void FollowPorts();
    // The connection's state in the main window's status line.
    void ShowConnection();
    // The window's title follows the name of the program on the panel; run before each wait.
    void FollowProgramName();

private:
    int64_t NowMs() const;
    void CreateMainWindow();
    void PanelFirstPainted();
    // Creates the MIDI system's port objects and reads their lists.
    void MakePorts();
    void CreateLibrary();
    int RunPreferencesDialog(QWidget* owner, bool searchAtOnce);

    Options options_;
    SingleInstance instance_;
    SettingsFile file_;
    std::unique_ptr<MidiSettings> current_;
    std::unique_ptr<MidiSettings> backup_;
    std::unique_ptr<MidiLink> link_;
    // Torn down in this order: the main window (and with it the panel window, which the
    // graphics core only refers to, and the library window), the program library, the MIDI
    // deliveries, the plug-in object, the ports.
    std::unique_ptr<PluginBase> plugin_;
    std::unique_ptr<ProgramLibrary> library_;
    std::unique_ptr<MainWindow> window_;
    QPointer<MidiMonitorWindow> monitor_;
    QPointer<LibraryWindow> libraryView_;
    // The bank, opened when its window is first shown; it goes before the program library and
    // the plug-in object, whose transfers it uses.
    std::unique_ptr<BankTransfers> bank_;
    QPointer<BankWindow> bankWindow_;
    TickClock tick_;
    unsigned programNameSeen_ = 0;
    bool ticking_ = false;
    bool terminating_ = false;
    bool started_ = false;
    bool finished_ = false;   // FinishStartUp ran
    bool portsMade_ = false;  // MakePorts ran
};
