#include "shell/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include "util/DebugPrint.h"

namespace {
constexpr int kConnectWaitMs = 1000;
constexpr const char kRaise[] = "raise\n";
}  // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() {
    if (server_ != nullptr) server_->close();
}

QString SingleInstance::SocketName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime + "/" + kName;
    // Without a runtime folder the socket goes to the temporary folder, which every user shares.
    return QDir::tempPath() + "/" + kName + "-" + QString::number(getuid());
}

bool SingleInstance::Claim() {
    const QString name = SocketName();
    {
        QLocalSocket other;
        other.connectToServer(name);
        if (other.waitForConnected(kConnectWaitMs)) {
            other.write(kRaise, sizeof kRaise - 1);
            other.waitForBytesWritten(kConnectWaitMs);
            other.disconnectFromServer();
            return false;
        }
    }
    // Nobody answers: a socket file left by an instance that crashed must not stop this one.
    QLocalServer::removeServer(name);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
    if (!server_->listen(name)) {
        DebugPrint("single instance: cannot listen on %s: %s", name.toLocal8Bit().constData(),
                   server_->errorString().toLocal8Bit().constData());
    }
    return true;
}

void SingleInstance::Accept() {
    while (QLocalSocket* other = server_->nextPendingConnection()) {
        auto heard = [this, other] {
            if (other->readAll().contains("raise")) emit RaiseRequested();
        };
        connect(other, &QLocalSocket::readyRead, this, heard);
        // The other start may already have gone, with its request still unread.
        connect(other, &QLocalSocket::disconnected, this, [other, heard] {
            heard();
            other->deleteLater();
        });
    }
}
