#include "shell/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include "util/DebugPrint.h"
#include "util/ProcessInfo.h"

namespace {
constexpr int kConnectWaitMs = 1000;
constexpr const char kRaise[] = "raise";
constexpr const char kOpen[] = "open ";
// A start says a few hundred bytes at most; a peer that says more is not one of ours.
constexpr qsizetype kLongestRequest = 64 * 1024;
}  // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() {
    if (server_ != nullptr) server_->close();
}

QString SingleInstance::SocketName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime + "/" + kName;
    // Without a runtime folder the socket goes to the temporary folder, which every user shares.
    return QDir::tempPath() + "/" + kName + "-" + QString::number(CurrentUserId());
}

bool SingleInstance::Claim(const std::string& programFile) {
    const QString name = SocketName();
    {
        QLocalSocket other;
        other.connectToServer(name);
        if (other.waitForConnected(kConnectWaitMs)) {
            QByteArray request;
            if (!programFile.empty()) {
                request += kOpen + QByteArray::fromStdString(programFile).toPercentEncoding("/");
                request += '\n';
            }
            request += QByteArray(kRaise) + '\n';
            other.write(request);
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
        auto pending = std::make_shared<QByteArray>();
        connect(other, &QLocalSocket::readyRead, this,
                [this, other, pending] { Heard(*other, *pending); });
        // The other start may already have gone, with its request still unread.
        connect(other, &QLocalSocket::disconnected, this, [this, other, pending] {
            Heard(*other, *pending);
            other->deleteLater();
        });
    }
}

void SingleInstance::Heard(QLocalSocket& other, QByteArray& pending) {
    pending += other.readAll();
    qsizetype end = 0;
    while ((end = pending.indexOf('\n')) >= 0) {
        const QByteArray line = pending.left(end);
        pending.remove(0, end + 1);
        if (line == kRaise) {
            emit RaiseRequested();
        } else if (line.startsWith(kOpen)) {
            const QByteArray path = QByteArray::fromPercentEncoding(line.mid(sizeof kOpen - 1));
            if (!path.isEmpty()) emit OpenRequested(path);
        }
    }
    if (pending.size() > kLongestRequest) {
        DebugPrint("single instance: a request of more than %lld bytes is dropped",
                   static_cast<long long>(kLongestRequest));
        pending.clear();
        other.abort();
    }
}
