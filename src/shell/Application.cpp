#include "shell/Application.h"

#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include <fcntl.h>
#include <unistd.h>

#include "platform/qt/QtPlatform.h"
#include "shell/CommandLine.h"
#include "shell/SettingsFile.h"
#include "util/DebugPrint.h"

namespace {

int signalWriteEnd = -1;  // the handler may only write to a descriptor

// Whether a window can show here; without one, the terminal is the only place to say anything.
bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

extern "C" void OnSignal(int number) {
    const char byte = static_cast<char>(number);
    if (signalWriteEnd >= 0) {
        const ssize_t written = write(signalWriteEnd, &byte, 1);
        (void)written;  // a full pipe already holds a quit request
    }
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // Desktops match the windows to the menu entry (and its icon) by this name.
    setDesktopFileName(ORVO_APP_ID);
}

Application::~Application() {
    if (signalNotifier_ != nullptr) {
        for (int number : {SIGTERM, SIGINT, SIGHUP})
            std::signal(number, SIG_DFL);
        signalWriteEnd = -1;
        delete signalNotifier_;
        close(signalPipe_[0]);
        close(signalPipe_[1]);
    }
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
    if (pipe2(signalPipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        DebugPrint("no pipe for termination signals; they end the editor at once");
        return;
    }
    signalWriteEnd = signalPipe_[1];
    signalNotifier_ = new QSocketNotifier(signalPipe_[0], QSocketNotifier::Read, this);
    connect(signalNotifier_, &QSocketNotifier::activated, this,
            &Application::TerminationSignalArrived);
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        std::signal(number, OnSignal);
}

void Application::TerminationSignalArrived() {
    char bytes[16];
    while (read(signalPipe_[0], bytes, sizeof bytes) > 0) {
    }
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
