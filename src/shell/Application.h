#pragma once

#include <QApplication>

#include <functional>
#include <string>

#include "shell/Shell.h"
#include "util/SignalPipe.h"

class QSocketNotifier;

// The editor's QApplication. An exception that escapes an event handler ends the event loop
// with an error instead of unwinding through Qt; a termination signal (the session ending,
// kill, Ctrl+C in a terminal) is turned into an ordinary quit, so the last program is kept.
class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);
    ~Application() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // What to do when SIGTERM, SIGINT or SIGHUP arrives; it runs on the GUI thread.
    void OnTerminationSignal(std::function<void()> quit);

    // The error that ended the event loop, empty when none did.
    const std::string& Error() const { return error_; }

private:
    void TerminationSignalArrived();

    std::string error_;
    std::function<void()> quit_;
    SignalPipe signalPipe_;
    QSocketNotifier* signalNotifier_ = nullptr;
};

// The whole program, as main runs it: the command line (help, version and a program file to
// open are answered before anything else), then the application, the Qt platform and the
// shell, torn down in the reverse order. Tests run the program through here with options of
// their own.
int RunEditor(int argc, char** argv, Shell::Options options = {});
