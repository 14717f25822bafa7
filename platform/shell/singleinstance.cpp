#include "platform/shell/singleinstance.h"

#include <utility>

#include <unistd.h>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <memory>

namespace {

// One request per line: "open <file URL>" for each file, then "restore". File URLs keep
// blanks and line breaks in a path from splitting the line.
const QByteArray kRestore = "restore\n";
const QByteArray kOpen = "open ";
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

bool SingleInstance::acquire(const QStringList& files) {
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
    if (!sendRestoreRequest(files)) {
        qWarning("Single instance: the running instance did not answer");
    }
    return false;
}

bool SingleInstance::sendRestoreRequest(const QStringList& files) {
    QByteArray request;
    for (const QString& file : files) {
        request +=
            kOpen + QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded() + '\n';
    }
    request += kRestore;
    // The first instance may hold the lock a moment before it listens.
    QDeadlineTimer deadline(kConnectTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (socket.waitForConnected(kAttemptMs)) {
            socket.write(request);
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
        // The files of one request, collected until its restore line.
        auto files = std::make_shared<QStringList>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, files] {
            QList<QStringList> requests;  // each restore line ends one request
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine();
                if (line.startsWith(kOpen) && line.endsWith('\n')) {
                    const QUrl url = QUrl::fromEncoded(line.mid(kOpen.size()).chopped(1));
                    if (url.isLocalFile()) {
                        files->append(url.toLocalFile());
                    }
                } else if (line == kRestore) {
                    requests << std::exchange(*files, {});
                }
            }
            // Told from the event loop, not from within the socket's signal: opening the files
            // may show a message, and the socket may be closed and gone by the time it ends.
            for (const QStringList& request : std::as_const(requests)) {
                QMetaObject::invokeMethod(
                    this,
                    [this, request] {
                        if (!request.isEmpty()) {
                            Q_EMIT filesOpenRequested(request);
                        }
                        Q_EMIT restoreRequested();
                    },
                    Qt::QueuedConnection);
            }
        });
    }
}
