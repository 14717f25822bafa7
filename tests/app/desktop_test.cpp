// The real program on an X display with a system tray, as on a user's desktop.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <csignal>

#include "platform/shell/programfolders.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

const QString kProgram = QStringLiteral(QUILL_BIN_DIR "/quillsong");
// The X server and the tray start slowly while the other test executables load the machine.
constexpr int kDesktopStartMs = 30000;

QString readLog() {
    QFile file(ProgramFolders::userFolder() + QStringLiteral("/quillsong.dbg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

int countInLog(const QString& line) {
    return int(readLog().count(line));
}

bool waitForCount(const QString& line, int count) {
    return QTest::qWaitFor([&] { return countInLog(line) >= count; }, 15000);
}

// An X server of its own with a tray in a panel.
class Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        // The server takes a free display itself and says which on its output: a number
        // chosen here could be taken by another test's server in between. Without -noreset it
        // resets when its last client leaves, and a client connecting meanwhile is refused.
        xserver_.start(
            QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
             QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
             QStringLiteral("tcp"), QStringLiteral("-noreset")});
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                serverOutput_ += xserver_.readAllStandardOutput();
                return serverOutput_.contains('\n') || xserver_.state() == QProcess::NotRunning;
            },
            kDesktopStartMs));
        const QByteArray number = serverOutput_.trimmed();
        ASSERT_FALSE(number.isEmpty()) << "Xvfb named no display";
        display_ = QLatin1Char(':') + QString::fromLatin1(number);
        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env_.insert(QStringLiteral("DISPLAY"), display_);
        // The socket appears before the server answers; a tray started too early never shows.
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return Run(QStringLiteral("xwininfo"), {QStringLiteral("-root")})
                    .contains(QStringLiteral("Window id"));
            },
            kDesktopStartMs));
        // The tray's toolkit would otherwise look for an accessibility bus on a session bus
        // that this X server lacks, which can hold up its start for long.
        QProcessEnvironment trayEnv = env_;
        trayEnv.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
        tray_.setProcessEnvironment(trayEnv);
        tray_.start(QStringLiteral("trayer"),
                    {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--widthtype"),
                     QStringLiteral("pixel"), QStringLiteral("--width"), QStringLiteral("120")});
        // The tray is ready once its panel window is on the screen.
        ASSERT_TRUE(QTest::qWaitFor(
            [this] {
                return Run(QStringLiteral("xwininfo"),
                           {QStringLiteral("-root"), QStringLiteral("-children")})
                    .contains(QStringLiteral("panel"));
            },
            kDesktopStartMs))
            << "trayer " << (tray_.state() == QProcess::NotRunning ? "ended" : "runs") << ": "
            << tray_.readAllStandardError().toStdString() << "\nwindows: "
            << Run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                   .toStdString();
    }

    void TearDown() override {
        for (QProcess* process : {&program_, &tray_, &xserver_}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(5000)) {
                    process->kill();
                    process->waitForFinished();
                }
            }
        }
    }

    QString Run(const QString& tool, const QStringList& args) {
        QProcess process;
        process.setProcessEnvironment(env_);
        process.start(tool, args);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // "IsViewable" or "IsUnMapped": what the X server says of the main window (the tray icon
    // and Qt's helper windows bear the same name but are small).
    QString MapState() {
        const QString tree =
            Run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        static const QRegularExpression window(QStringLiteral(
            "(0x[0-9a-f]+) \"Quillsong MP3\": \\(\"quillsong\" \"quillsong\"\\)\\s+(\\d+)x"));
        for (const auto& match : window.globalMatch(tree)) {
            if (match.captured(2).toInt() > 100) {
                const QString info =
                    Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), match.captured(1)});
                const auto state =
                    QRegularExpression(QStringLiteral("Map State: (\\w+)")).match(info);
                return state.captured(1);
            }
        }
        return QStringLiteral("no window");
    }

    void StartProgram(QProcess& process, const QStringList& args) {
        process.setProcessEnvironment(env_);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(kProgram, args);
    }

    QString display_;
    QByteArray serverOutput_;  // what the X server says at start: its display number
    QProcessEnvironment env_;
    QProcess xserver_;
    QProcess tray_;
    QProcess program_;
};

}  // namespace

TEST_F(Desktop, TheWindowHidesInTheTrayAndASecondStartBringsItBack) {
    StartProgram(program_, {QStringLiteral("-auto")});
    ASSERT_TRUE(waitForCount(QStringLiteral("Hidden in the tray"), 1)) << readLog().toStdString();
    EXPECT_EQ(countInLog(QStringLiteral("No system tray")), 0);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return MapState() == QStringLiteral("IsUnMapped"); }, 10000));

    QProcess second;
    StartProgram(second, {});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(waitForCount(QStringLiteral("Restore from tray"), 1));
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return MapState() == QStringLiteral("IsViewable"); }, 10000));
    EXPECT_EQ(countInLog(QStringLiteral("Entered FormShow")), 1);

    ::kill(pid_t(program_.processId()), SIGTERM);
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_EQ(program_.exitCode(), 0);
    EXPECT_EQ(countInLog(QStringLiteral("Exitting FormDestroy")), 1);
}

TEST_F(Desktop, TextCopiedInAnotherProgramBecomesAnArticleInEitherMode) {
    const QString key = QStringLiteral("Software\\HalcyxTech\\Quillsong");
    // Another program owns the clipboard and offers the text, as a browser does.
    const auto copy = [this](const QString& text) {
        QProcess copier;
        copier.setProcessEnvironment(env_);
        copier.start(QStringLiteral("xclip"),
                     {QStringLiteral("-selection"), QStringLiteral("clipboard")});
        ASSERT_TRUE(copier.waitForStarted(10000)) << "xclip is missing: make installs it";
        copier.write(text.toUtf8());
        copier.closeWriteChannel();
        ASSERT_TRUE(copier.waitForFinished(10000));
    };
    const auto storedArticles = [this] {
        ::kill(pid_t(program_.processId()), SIGTERM);
        EXPECT_TRUE(program_.waitForFinished(15000));
        QFile store(ProgramFolders::userFolder() + QStringLiteral("/QSExport.txt"));
        EXPECT_TRUE(store.open(QIODevice::ReadOnly));
        return QString::fromUtf8(store.readAll());
    };

    // Multi-article mode, hidden in the tray, without the prompt.
    testprofile::Store(key, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    testprofile::Store(key, QStringLiteral("CB_Prompt"), QStringLiteral("false"));
    testprofile::Store(key, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    StartProgram(program_, {QStringLiteral("-auto")});
    ASSERT_TRUE(waitForCount(QStringLiteral("Hidden in the tray"), 1)) << readLog().toStdString();
    const QString first = QStringLiteral("A paragraph copied in another program.");
    copy(first);
    ASSERT_TRUE(waitForCount(QStringLiteral("In CopyClipboardMemo, Action= 0"), 1))
        << readLog().toStdString();
    EXPECT_TRUE(storedArticles().contains(first));

    // Single-article mode, the window shown, the prompt up until its time takes New.
    testprofile::Store(key, QStringLiteral("CB_Prompt"), QStringLiteral("true"));
    testprofile::Store(key, QStringLiteral("CB_PromptDelay"), QStringLiteral("1"));
    testprofile::Store(key, QStringLiteral("CB_DfltPromptAction"), QStringLiteral("0"));
    testprofile::Store(key, QStringLiteral("ML_ListMode"), QStringLiteral("0"));
    // The first run's log must not answer for the second.
    QFile::remove(ProgramFolders::userFolder() + QStringLiteral("/quillsong.dbg"));
    StartProgram(program_, {});
    ASSERT_TRUE(waitForCount(QStringLiteral("Exiting FormShow"), 1)) << readLog().toStdString();
    const QString second = QStringLiteral("Another paragraph, copied while the window is open.");
    copy(second);
    ASSERT_TRUE(waitForCount(QStringLiteral("In CopyClipboardMemo, Action= 0"), 1))
        << readLog().toStdString();
    const QString stored = storedArticles();
    EXPECT_TRUE(stored.contains(second));
    EXPECT_FALSE(stored.contains(first)) << "the single article is replaced";
}

TEST_F(Desktop, TheFloatingToolbarShowsInTheTrayReadsAndGoesWithTheRestore) {
    testprofile::Store(QStringLiteral("Software\\HalcyxTech\\Quillsong"),
                       QStringLiteral("ToolbarOnMinOption"), QStringLiteral("1"));
    // The toolbar's window id, or nothing while it is not on the screen.
    const auto toolbarWindow = [this] {
        const QString tree =
            Run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        static const QRegularExpression window(
            QStringLiteral("(0x[0-9a-f]+) \"Quillsong MP3 Toolbar\""));
        return window.match(tree).captured(1);
    };
    const auto toolbarInfo = [&] {
        const QString id = toolbarWindow();
        return id.isEmpty() ? QString()
                            : Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    };
    const auto mapped = [&] { return toolbarInfo().contains(QStringLiteral("IsViewable")); };

    StartProgram(program_, {QStringLiteral("-auto")});
    ASSERT_TRUE(waitForCount(QStringLiteral("Hidden in the tray"), 1)) << readLog().toStdString();
    ASSERT_TRUE(QTest::qWaitFor(mapped, 10000)) << readLog().toStdString();
    EXPECT_EQ(MapState(), QStringLiteral("IsUnMapped"));

    // A click on its first button, Read text aloud, reads the article.
    const QString info = toolbarInfo();
    const int left = QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)"))
                         .match(info)
                         .captured(1)
                         .toInt();
    const int top = QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)"))
                        .match(info)
                        .captured(1)
                        .toInt();
    constexpr int kFirstButtonCentre = 19;
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(left + kFirstButtonCentre),
         QString::number(top + kFirstButtonCentre), QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(waitForCount(QStringLiteral(": Article 1 of "), 1))
        << "xdotool is missing or the click missed: " << info.toStdString()
        << readLog().toStdString();

    // A second start restores the window; the toolbar goes.
    QProcess second;
    StartProgram(second, {});
    ASSERT_TRUE(second.waitForFinished(15000));
    ASSERT_TRUE(waitForCount(QStringLiteral("Restore from tray"), 1));
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return MapState() == QStringLiteral("IsViewable"); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mapped(); }, 10000));

    ::kill(pid_t(program_.processId()), SIGTERM);
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_EQ(program_.exitCode(), 0);
}
