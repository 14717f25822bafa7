// Text files named on the command line, as the desktop's launcher passes them.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "platform/shell/programfolders.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

const QString kProgram = QStringLiteral(QUILL_BIN_DIR "/quillsong");
constexpr int kWaitMs = 30000;

// The article list as the program stores it after opening files.
QString readStore() {
    QFile file(ProgramFolders::userFolder() + QStringLiteral("/QSExport.txt"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

class FileArguments : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override {
        for (QProcess* process : {&m_first, &m_second}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    void Start(QProcess& process, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir.path());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(kProgram, args);
    }

    QTemporaryDir m_dir;
    QProcess m_first;
    QProcess m_second;
};

}  // namespace

TEST_F(FileArguments, TheFirstStartOpensItsFilesAndASecondStartHandsItsOwnToIt) {
    const QString first = m_dir.filePath(QStringLiteral("first notes.txt"));
    ASSERT_TRUE(writeText(first, "The heron waited by the mill pond until dusk.\n"));
    ASSERT_TRUE(writeText(m_dir.filePath(QStringLiteral("second.txt")),
                          "Lanterns swayed along the quay of the harbour town.\n"));

    Start(m_first, {QStringLiteral("-auto"), first});
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return readStore().contains(QStringLiteral("The heron waited by the mill pond")); },
        kWaitMs))
        << qPrintable(readStore());

    // A relative path, as typed in a terminal in the folder of the file.
    Start(m_second, {QStringLiteral("second.txt")});
    ASSERT_TRUE(m_second.waitForFinished(kWaitMs));
    EXPECT_EQ(m_second.exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return readStore().contains(QStringLiteral("Lanterns swayed along the quay")); },
        kWaitMs))
        << qPrintable(readStore());
    // As with the Text File command in single-article mode, the new file takes the place of
    // the article, under a title made from its name.
    EXPECT_FALSE(readStore().contains(QStringLiteral("The heron waited")));
    EXPECT_TRUE(readStore().contains(QStringLiteral("\nsecond|")));

    // Several files at once: the running program opens them and keeps running.
    ASSERT_TRUE(writeText(m_dir.filePath(QStringLiteral("third.txt")),
                          "Snow settled on the roofs of the sleeping village.\n"));
    ASSERT_TRUE(writeText(m_dir.filePath(QStringLiteral("fourth.txt")),
                          "A kettle sang on the stove in the keeper's cottage.\n"));
    Start(m_second, {QStringLiteral("third.txt"), QStringLiteral("fourth.txt")});
    ASSERT_TRUE(m_second.waitForFinished(kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return readStore().contains(QStringLiteral("A kettle sang on the stove")); }, kWaitMs))
        << qPrintable(readStore());
    EXPECT_EQ(m_first.state(), QProcess::Running);

    ::kill(pid_t(m_first.processId()), SIGTERM);
    ASSERT_TRUE(m_first.waitForFinished(kWaitMs));
    EXPECT_EQ(m_first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_first.exitCode(), 0);
}
