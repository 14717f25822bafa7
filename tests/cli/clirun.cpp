#include "tests/cli/clirun.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include "tests/audio/audiotools.h"

namespace clirun {

namespace {

constexpr int kRunTimeoutMs = 120000;

}  // namespace

Result Run(const QStringList& args, const QByteArray& input,
           const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"), args);
    process.write(input);
    process.closeWriteChannel();
    const bool ended =
        QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kRunTimeoutMs);
    EXPECT_TRUE(ended) << "quillsong-cli " << args.join(QLatin1Char(' ')).toStdString()
                       << " did not end";
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString Folder::Text(const QString& name, const QByteArray& content) const {
    const QString path = dir_.filePath(name);
    audiotools::Write(path, content);
    return path;
}

QString Folder::Out() const {
    return dir_.filePath(QStringLiteral("out"));
}

QStringList Folder::Files() const {
    // Hidden files too: a temporary left behind shows.
    return QDir(Out()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace clirun
