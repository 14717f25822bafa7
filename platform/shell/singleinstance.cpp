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
constexpr int kAttemptMs = 500;  // one try to connect
constexpr int kWriteTimeoutMs = 1000;
constexpr int kRetryPauseMs = 50;  // before the next try

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : SingleInstance(defaultName(), parent) {}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      m_name(name),
      m_lock(QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".lock")) {
    // A lock left by a process that died is taken over at once.
    m_lock.setStaleLockTime(0);
}

QString SingleInstance::defaultName() {
    const QString profile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QByteArray hash =
        QCryptographicHash::hash(profile.toUtf8(), QCryptographicHash::Sha1).toHex().left(10);
    return QStringLiteral("quillsong-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::acquire() {
    if (m_lock.tryLock(0)) {
        QLocalServer::removeServer(m_name);
        m_server.setSocketOptions(QLocalServer::UserAccessOption);
        connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
        if (!m_server.listen(m_name)) {
            qWarning("Single instance: cannot listen on %s: %s", qPrintable(m_name),
                     qPrintable(m_server.errorString()));
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
        socket.connectToServer(m_name);
        if (socket.waitForConnected(kAttemptMs)) {
            socket.write(kRestore);
            const bool sent = socket.waitForBytesWritten(kWriteTimeoutMs);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(kRetryPauseMs);
    }
    return false;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
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
