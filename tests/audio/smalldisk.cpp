#include "tests/audio/smalldisk.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

namespace {

constexpr int kToolTimeoutMs = 30000;
constexpr int kTestTimeoutMs = 300000;

// Runs a tool; its exit code, or -1 when it could not run or did not end in time.
int RunTool(const QString& tool, const QStringList& args, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, args);
    if (!process.waitForFinished(kToolTimeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output) {
        *output = QString::fromLocal8Bit(process.readAll()).trimmed();
    }
    return process.exitCode();
}

}  // namespace

SmallDisk::Where SmallDisk::Find(QString* reason) {
    if (geteuid() == 0) {
        return Where::Here;
    }
    if (RunTool(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")}) != 0) {
        *reason = QStringLiteral(
            "a small file system can be mounted only as root or in a user namespace "
            "(unshare -rm), and neither is allowed here");
        return Where::Nowhere;
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter =
        QStringLiteral("--gtest_filter=%1.%2")
            .arg(QString::fromLatin1(test->test_suite_name()), QString::fromLatin1(test->name()));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("unshare"),
                  {QStringLiteral("-rm"), QCoreApplication::applicationFilePath(), filter});
    const bool ended = process.waitForFinished(kTestTimeoutMs);
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    const QString output = QString::fromLocal8Bit(process.readAll());
    EXPECT_TRUE(ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << "in a namespace of its own:\n"
        << output.toStdString();
    return Where::Elsewhere;
}

SmallDisk::SmallDisk(int kilobytes, bool readOnly) {
    if (!folder_.isValid()) {
        error_ = QStringLiteral("no folder to mount on: ") + folder_.errorString();
        return;
    }
    const QString options = QStringLiteral("size=%1k%2")
                                .arg(kilobytes)
                                .arg(readOnly ? QStringLiteral(",ro") : QString());
    QString output;
    if (RunTool(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                 QStringLiteral("tmpfs"), folder_.path()},
                &output) != 0) {
        error_ = QStringLiteral("mount failed: ") + output;
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk() {
    if (!mounted_) {
        return;
    }
    // Lazily when something still holds a file open, so the mount never outlives the test.
    if (RunTool(QStringLiteral("umount"), {folder_.path()}) != 0) {
        RunTool(QStringLiteral("umount"), {QStringLiteral("-l"), folder_.path()});
    }
}

void SmallDisk::Fill() const {
    QFile filler(folder_.path() + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, '\0');
    while (filler.write(block) == block.size()) {
    }
    // The last pages of a tmpfs take a few bytes more at a time.
    while (filler.write("", 1) == 1) {
    }
}
