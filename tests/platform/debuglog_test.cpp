#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/shell/utilsclass.h"
#include "tests/common/testprofile.h"

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

TEST(DebugLog, LinesCarryTheTextAndATimeAndRotationKeepsFourRuns) {
    testprofile::Reset();
    for (int run = 1; run <= 5; ++run) {
        UtilsClass::RotateDebugLogs();
        UtilsClass::WriteDebugLine(QStringLiteral("run %1").arg(run));
    }
    EXPECT_EQ(readAll(UtilsClass::logFileName(0)).count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(readAll(UtilsClass::logFileName(0)).startsWith(QStringLiteral("run 5 - ")));
    EXPECT_TRUE(readAll(UtilsClass::logFileName(1)).startsWith(QStringLiteral("run 4 - ")));
    EXPECT_TRUE(readAll(UtilsClass::logFileName(2)).startsWith(QStringLiteral("run 3 - ")));
    EXPECT_TRUE(readAll(UtilsClass::logFileName(3)).startsWith(QStringLiteral("run 2 - ")));
    EXPECT_FALSE(QFile::exists(UtilsClass::logFileName(4)));
    EXPECT_TRUE(UtilsClass::logFileName(0).endsWith(QStringLiteral(".dbg")));
    EXPECT_TRUE(readAll(UtilsClass::logFileName(0))
                    .contains(QRegularExpression(QStringLiteral("\\d:\\d\\d"))));
}

TEST(DebugLog, AnUnwritableLogNeverFailsTheCaller) {
    testprofile::Reset();
    UtilsClass::RotateDebugLogs();
    // A folder where the log file should be: every write fails, silently.
    ASSERT_TRUE(QDir().mkpath(UtilsClass::logFileName(0)));
    UtilsClass::WriteDebugLine(QStringLiteral("lost"));
    EXPECT_TRUE(QFileInfo(UtilsClass::logFileName(0)).isDir());
    QDir(UtilsClass::logFileName(0)).removeRecursively();
}
