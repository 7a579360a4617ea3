#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <string>

#include "plugin/PluginBase.h"

class QLocalServer;
class QLocalSocket;

// Only one editor runs per user: the first one listens on the local socket "OrvodyneEditor"
// (in $XDG_RUNTIME_DIR when there is one); a later start connects, hands over the program file
// it was given, asks the first to bring its main window to the front, and ends.
//
// On the socket a start writes lines: "open PATH" with the path's bytes percent-encoded (so a
// line break in a file name cannot split the line), then "raise".
class SingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kName = PluginBase::kPluginName;

    SingleInstance();
    ~SingleInstance() override;

    // True when this process is the only instance and now listens; false when another instance
    // answered, was handed programFile (when not empty) and was asked to raise its window.
    bool Claim(const std::string& programFile = {});

    static QString SocketName();

signals:
    // Another start handed over a program file to open: its path, as the bytes it was given.
    void OpenRequested(const QByteArray& path);
    // Another start asked this instance to show itself.
    void RaiseRequested();

private:
    void Accept();
    // Acts on every whole line that has arrived from another start.
    void Heard(QLocalSocket& other, QByteArray& pending);

    QLocalServer* server_ = nullptr;
};
