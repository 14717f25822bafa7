#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSettings>

#include "platform/shell/autostart.h"
#include "tests/common/testprofile.h"

class AutostartEntry : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }
};

TEST_F(AutostartEntry, QuotedCommandRoundTripsAndSplitsAsOneArgument) {
    const QString path =
        QStringLiteral("/opt/My Programs/it's \"q\" $HOME `x` back\\slash 100%/quillsong");
    const QString command = Autostart::quoteArgument(path) + QStringLiteral(" -auto");
    ASSERT_TRUE(Autostart::setEntry(QStringLiteral("Quillsong"), command, true));
    EXPECT_TRUE(Autostart::hasEntry(QStringLiteral("Quillsong")));
    EXPECT_EQ(Autostart::entryCommand(QStringLiteral("Quillsong")), command);

    // The desktop's launcher splits the quoted command like a shell: the path stays whole.
    QString shellReady = command;
    shellReady.replace(QStringLiteral("%%"), QStringLiteral("%"));
    QProcess shell;
    shell.start(QStringLiteral("sh"),
                {QStringLiteral("-c"), QStringLiteral("printf '%s\\n' ") + shellReady});
    ASSERT_TRUE(shell.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()), path + QStringLiteral("\n-auto\n"));
}

TEST_F(AutostartEntry, DisablingRemovesTheEntry) {
    ASSERT_TRUE(Autostart::setEntry(QStringLiteral("Quillsong"), QStringLiteral("x -auto"), true));
    ASSERT_TRUE(QFile::exists(Autostart::entryFile(QStringLiteral("Quillsong"))));
    EXPECT_TRUE(Autostart::setEntry(QStringLiteral("Quillsong"), QString(), false));
    EXPECT_FALSE(Autostart::hasEntry(QStringLiteral("Quillsong")));
    EXPECT_FALSE(QFile::exists(Autostart::entryFile(QStringLiteral("Quillsong"))));
    EXPECT_TRUE(Autostart::setEntry(QStringLiteral("Quillsong"), QString(), false));
}

TEST_F(AutostartEntry, SharesTheInstalledLaunchersNameIconAndComment) {
    ASSERT_TRUE(Autostart::setEntry(QStringLiteral("Quillsong"), QStringLiteral("x -auto"), true));
    QSettings entry(Autostart::entryFile(QStringLiteral("Quillsong")), QSettings::IniFormat);
    QSettings launcher(QStringLiteral(QUILL_DATA_DIR "/../packaging/quillsong.desktop"),
                       QSettings::IniFormat);
    ASSERT_EQ(launcher.status(), QSettings::NoError);
    for (const char* key : {"Name", "Icon", "Comment", "Type", "Terminal"}) {
        const QString field = QStringLiteral("Desktop Entry/") + QLatin1String(key);
        ASSERT_TRUE(launcher.contains(field)) << key;
        EXPECT_EQ(entry.value(field), launcher.value(field)) << key;
    }
}
