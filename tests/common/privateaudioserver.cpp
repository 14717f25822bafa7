#include "tests/common/privateaudioserver.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr int kStartMs = 20000;
constexpr int kStopMs = 10000;

QString Program() {
    return QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
}

// Whether something listens on the socket.
bool Answers(const QString& path) {
    QLocalSocket socket;
    socket.connectToServer(path);
    const bool connected = socket.waitForConnected(500);
    socket.abort();
    return connected;
}

}  // namespace

PrivateAudioServer::PrivateAudioServer(const QString& folder) : folder_(folder) {}

PrivateAudioServer::~PrivateAudioServer() {
    Stop();
}

bool PrivateAudioServer::Installed() {
    return !Program().isEmpty();
}

QString PrivateAudioServer::SocketPath() const {
    return folder_ + QStringLiteral("/native");
}

QString PrivateAudioServer::Address() const {
    return QStringLiteral("unix:") + SocketPath();
}

bool PrivateAudioServer::Start(QString* error) {
    Stop();
    QDir().mkpath(folder_ + QStringLiteral("/config"));
    // Its runtime, state and configuration folders are the test's own, so it neither meets
    // the machine's server nor writes into the user's files. Left without clients (a test that
    // crashed), it ends by itself.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder_);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_ + QStringLiteral("/config"));
    env.insert(QStringLiteral("HOME"), folder_);
    env.insert(QStringLiteral("PULSE_STATE_PATH"), folder_ + QStringLiteral("/state"));
    env.remove(QStringLiteral("PULSE_SERVER"));
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(Program(),
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                    QStringLiteral("--exit-idle-time=120"), QStringLiteral("--use-pid-file=no"),
                    QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error"),
                    QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") +
                        SocketPath(),
                    QStringLiteral("--load=module-null-sink sink_name=quillsong_private "
                                   "sink_properties=device.description=") +
                        QString::fromLatin1(kSinkDescription)});
    if (!process_.waitForStarted(kStartMs)) {
        *error = QStringLiteral("pulseaudio does not start: ") + process_.errorString();
        return false;
    }
    if (!QTest::qWaitFor(
            [this] { return process_.state() != QProcess::Running || Answers(SocketPath()); },
            kStartMs) ||
        process_.state() != QProcess::Running) {
        *error = QStringLiteral("pulseaudio does not answer on ") + SocketPath() +
                 QStringLiteral(": ") + QString::fromLocal8Bit(process_.readAll());
        Stop();
        return false;
    }
    return true;
}

void PrivateAudioServer::Stop() {
    if (process_.state() == QProcess::NotRunning) {
        return;
    }
    process_.terminate();
    if (!process_.waitForFinished(kStopMs)) {
        process_.kill();
        process_.waitForFinished(kStopMs);
    }
}
