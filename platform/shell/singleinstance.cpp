#include "platform/shell/singleinstance.h"

#include <unistd.h>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray kRestore = "restore\n";
constexpr int kConnectTimeoutMs = 5000;

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : SingleInstance(defaultName(), parent) {}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      name_(name),
      lock_(QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".lock")) {
    // A lock left by a process that died is taken over at once.
    lock_.setStaleLockTime(0);
}

QString SingleInstance::defaultName() {
    const QString profile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QByteArray hash =
        QCryptographicHash::hash(profile.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    return QStringLiteral("quillsong-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::acquire() {
    if (lock_.tryLock(0)) {
        QLocalServer::removeServer(name_);
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
        if (!server_.listen(name_)) {
            qWarning("Single instance: cannot listen on %s: %s", qPrintable(name_),
                     qPrintable(server_.errorString()));
        }
        return true;
    }
    if (!sendRestoreRequest()) {
        qWarning("Single instance: the running instance did not answer");
    }
    return false;
}

bool SingleInstance::sendRestoreRequest() {
    // The first instance may hold the lock a moment before it listens.
    QDeadlineTimer deadline(kConnectTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(name_);
        if (socket.waitForConnected(500)) {
            socket.write(kRestore);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == kRestore) {
                    Q_EMIT restoreRequested();
                }
            }
        });
    }
}
