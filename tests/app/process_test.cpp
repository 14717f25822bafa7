// The real program, started as a user would start it.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>

#include "platform/registry/registry.h"
#include "platform/shell/programfolders.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

const QString kProgram = QStringLiteral(QUILL_BIN_DIR "/quillsong");

QString logPath(int generation = 0) {
    const QString base = ProgramFolders::userFolder() + QStringLiteral("/quillsong");
    return generation == 0 ? base + QStringLiteral(".dbg")
                           : base + QString::number(generation) + QStringLiteral(".dbg");
}

QString readLog(int generation = 0) {
    QFile file(logPath(generation));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool waitForLog(const QString& line, int timeoutMs = 15000) {
    return QTest::qWaitFor([&] { return readLog().contains(line); }, timeoutMs);
}

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
    }
    void TearDown() override {
        for (QProcess* process : {&first_, &second_}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    static void Start(QProcess& process, const QStringList& args = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(kProgram, args);
    }

    // Ends the program as the desktop does at logout and waits for it.
    static void Terminate(QProcess& process) {
        ::kill(pid_t(process.processId()), SIGTERM);
        ASSERT_TRUE(process.waitForFinished(15000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    QProcess first_;
    QProcess second_;
};

}  // namespace

TEST_F(Program, ASecondStartRestoresTheHiddenFirstAndEnds) {
    Start(first_, {QStringLiteral("-auto")});
    ASSERT_TRUE(waitForLog(QStringLiteral("FormActivate Timer: Minimizing now.")));
    const qsizetype linesBefore = readLog().count(QLatin1Char('\n'));

    Start(second_);
    ASSERT_TRUE(second_.waitForFinished(15000));
    EXPECT_EQ(second_.exitCode(), 0);
    ASSERT_TRUE(waitForLog(QStringLiteral("Restore from tray")));
    // The second process neither rotated the log nor started a window of its own.
    EXPECT_FALSE(QFile::exists(logPath(1)));
    EXPECT_EQ(readLog().count(QStringLiteral("Entered FormShow")), 1);
    EXPECT_GT(readLog().count(QLatin1Char('\n')), linesBefore);
    Terminate(first_);
}

TEST_F(Program, TerminationStoresPreferencesAndEachStartKeepsThePreviousLogs) {
    for (int run = 1; run <= 3; ++run) {
        Start(first_);
        // The new run has rotated the previous log away before it writes its own.
        ASSERT_TRUE(
            QTest::qWaitFor([run] { return run == 1 || QFile::exists(logPath(run - 1)); }, 15000));
        ASSERT_TRUE(waitForLog(QStringLiteral("Exiting FormShow")));
        Terminate(first_);
        EXPECT_TRUE(readLog().contains(QStringLiteral("Exitting FormDestroy")));
    }
    EXPECT_EQ(readLog().count(QStringLiteral("Entered FormShow")), 1);
    EXPECT_EQ(readLog(1).count(QStringLiteral("Entered FormShow")), 1);
    EXPECT_EQ(readLog(2).count(QStringLiteral("Entered FormShow")), 1);
    EXPECT_FALSE(QFile::exists(logPath(3)));

    Registry::flush();  // picks up what the program wrote
    Registry reg;
    ASSERT_TRUE(reg.openKeyReadOnly(QStringLiteral("\\Software\\HalcyxTech\\Quillsong")));
    const QStringList names = reg.valueNames();
    EXPECT_TRUE(names.contains(QStringLiteral("RunMinimized")));
    EXPECT_TRUE(names.contains(QStringLiteral("TTS_WaveConvRate")));
    // The voice catalogue's settings of every engine and voice are stored beside them.
    EXPECT_GT(names.filter(QStringLiteral("FAV_")).size(), 50);
    EXPECT_EQ(names.filter(QStringLiteral("ENG_")).size() +
                  names.filter(QStringLiteral("FAV_")).size() * 3 + 40,
              names.size());
    EXPECT_TRUE(reg.keyExists(QStringLiteral("\\Software\\HalcyxTech\\Windows\\quillsong\\Form1")));
}

TEST_F(Program, TerminationDuringTheImportOfALargeStoreEndsAndKeepsTheStore) {
    // A store of 200,000 articles in the program's own format, written here byte by byte.
    const QString store = ProgramFolders::userFolder() + QStringLiteral("/QSExport.txt");
    QByteArray bytes;
    for (int i = 0; i < 200000; ++i) {
        bytes += "||||||Quillsong MP3 Start of Article||||||\r\nTitle " + QByteArray::number(i) +
                 "||1\r\nArticle " + QByteArray::number(i) +
                 " of a large store.\r\n||||||Quillsong MP3 End of Article||||||\r\n";
    }
    {
        QFile file(store);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << store.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    Start(first_);
    ASSERT_TRUE(waitForLog(QStringLiteral("MemoListBox - ImportList"), 60000));
    Terminate(first_);
    const QString log = readLog();
    EXPECT_TRUE(log.contains(QStringLiteral("Import cancelled"))) << "ended during the import";
    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll() == bytes) << "the store is left as it was";
}
