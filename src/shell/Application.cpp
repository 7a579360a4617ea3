#include "shell/Application.h"

#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/qt/QtPlatform.h"
#include "shell/CommandLine.h"
#include "shell/SettingsFile.h"
#include "util/DebugPrint.h"

namespace {

// Whether a window can show here; without one, the terminal is the only place to say anything.
bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // Desktops match the windows to the menu entry (and its icon) by this name.
    setDesktopFileName(ORVO_APP_ID);
}

Application::~Application() {
    // The notifier watches the pipe's descriptor, so it goes first.
    delete signalNotifier_;
    signalPipe_.Close();
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        error_ = error.what();
    } catch (...) {
        error_ = "an unknown exception";
    }
    DebugPrint("the editor stops on an error: %s", error_.c_str());
    exit(Shell::kExitError);
    return true;
}

void Application::OnTerminationSignal(std::function<void()> quit) {
    quit_ = std::move(quit);
    if (signalNotifier_ != nullptr) return;
    if (!signalPipe_.Open({SIGTERM, SIGINT, SIGHUP})) {
        DebugPrint("no pipe for termination signals; they end the editor at once");
        return;
    }
    signalNotifier_ = new QSocketNotifier(signalPipe_.ReadEnd(), QSocketNotifier::Read, this);
    connect(signalNotifier_, &QSocketNotifier::activated, this,
            &Application::TerminationSignalArrived);
}

void Application::TerminationSignalArrived() {
    signalPipe_.Drain();
    if (quit_) quit_();
}

int RunEditor(int argc, char** argv, Shell::Options options) {
    const CommandLine line = CommandLine::Parse(argc, argv);
    if (line.What() != CommandLine::Action::Start) return line.Answer(stdout, stderr);
    // A file the editor cannot load is named on the terminal. A start from the desktop has no
    // terminal: where a window can show, the editor starts all the same (or hands the file to
    // the one running), and its box says why the file changes nothing.
    if (!line.ProgramFileReadable(stderr) && !DisplayAvailable()) return CommandLine::kExitUsage;
    options.programFile = line.ProgramFile();
    options.layoutEditing = line.LayoutEditing();
    // Qt sees the program's name only: a file name that starts like one of its options must
    // not change the platform or the style.
    int qtArgc = 1;
    Application application(qtArgc, argv);
    // The per-user folder is found here once, the same way the settings file finds it.
    QtPlatform platform(SettingsFile::ConfigFolder().value_or(std::string()));
    Shell shell(std::move(options));
    application.OnTerminationSignal([&shell] { shell.Terminate(); });
    return shell.Run();
}
