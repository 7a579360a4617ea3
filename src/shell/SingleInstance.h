#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// Only one editor runs per user: the first one listens on the local socket "OrvodyneEditor"
// (in $XDG_RUNTIME_DIR when there is one); a later start connects, asks the first to bring its
// main window to the front, and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kName = "OrvodyneEditor";

    SingleInstance();
    ~SingleInstance() override;

    // True when this process is the only instance and now listens; false when another instance
    // answered and was asked to raise its window.
    bool Claim();

    static QString SocketName();

signals:
    // Another start asked this instance to show itself.
    void RaiseRequested();

private:
    void Accept();

    QLocalServer* server_ = nullptr;
};
