#include "tests/common/privateaudioserver.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr int kStartMs = 20000;
constexpr int kStopMs = 10000;
constexpr int kControlMs = 20000;

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

bool PrivateAudioServer::Control(const QStringList& arguments, QString* output) const {
    QProcess pactl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), Address());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    pactl.setProcessEnvironment(env);
    pactl.start(QStringLiteral("pactl"), arguments);
    if (!pactl.waitForFinished(kControlMs) || pactl.exitStatus() != QProcess::NormalExit ||
        pactl.exitCode() != 0) {
        *output = QStringLiteral("pactl ") + arguments.join(QLatin1Char(' ')) +
                  QStringLiteral(" failed: ") + pactl.errorString() + QLatin1Char(' ') +
                  QString::fromLocal8Bit(pactl.readAllStandardError());
        pactl.kill();
        pactl.waitForFinished(kStopMs);
        return false;
    }
    *output = QString::fromLocal8Bit(pactl.readAllStandardOutput());
    return true;
}

bool PrivateAudioServer::AddSink(const QString& name, const QString& description, QString* error) {
    QString output;
    if (!Control({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                  QStringLiteral("sink_name=") + name,
                  QStringLiteral("sink_properties=device.description=") + description},
                 &output)) {
        *error = output;
        return false;
    }
    modules_.insert(name, output.trimmed());
    return true;
}

bool PrivateAudioServer::RemoveSink(const QString& name, QString* error) {
    QString output;
    if (!modules_.contains(name)) {
        *error = QStringLiteral("no sink ") + name + QStringLiteral(" was added");
        return false;
    }
    if (!Control({QStringLiteral("unload-module"), modules_.value(name)}, &output)) {
        *error = output;
        return false;
    }
    modules_.remove(name);
    return true;
}

QStringList PrivateAudioServer::PlayingSinks(QString* error) const {
    QString sinks;
    QString inputs;
    if (!Control({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")},
                 &sinks) ||
        !Control({QStringLiteral("list"), QStringLiteral("sink-inputs")}, &inputs)) {
        *error = sinks.isEmpty() ? inputs : sinks;
        return {};
    }
    // "index<TAB>name<TAB>..." per sink.
    QMap<QString, QString> names;
    for (const QString& line : sinks.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() > 1) {
            names.insert(fields[0].trimmed(), fields[1].trimmed());
        }
    }
    // Each "Sink Input #n" block names its sink and whether it is corked.
    QStringList playing;
    QString sink;
    const auto take = [&] {
        if (!sink.isEmpty() && !playing.contains(names.value(sink))) {
            playing << names.value(sink);
        }
        sink.clear();
    };
    for (const QString& raw : inputs.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QStringLiteral("Sink Input #"))) {
            sink.clear();
        } else if (line.startsWith(QStringLiteral("Sink:"))) {
            sink = line.mid(5).trimmed();
        } else if (line == QStringLiteral("Corked: no")) {
            take();
        }
    }
    return playing;
}
