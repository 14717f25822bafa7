#include <gtest/gtest.h>

#include <QProcess>

#include "platform/shell/autostart.h"
#include "settings/runatlogin.h"
#include "tests/common/testprofile.h"

TEST(RunAtLogin, APathWithBlanksIsQuotedAndTheEntryCanBeRemoved) {
    testprofile::Reset();
    const QString path = QStringLiteral("/home/ann/My Apps/quillsong");
    EXPECT_FALSE(IsRunAtLogin(QStringLiteral("Quillsong")));
    SetRunAtLogin(QStringLiteral("Quillsong"), runAtLoginCommand(path), true);
    EXPECT_TRUE(IsRunAtLogin(QStringLiteral("Quillsong")));
    EXPECT_EQ(Autostart::entryCommand(QStringLiteral("Quillsong")),
              QStringLiteral("\"/home/ann/My Apps/quillsong\" -auto"));
    SetRunAtLogin(QStringLiteral("Quillsong"), QString(), false);
    EXPECT_FALSE(IsRunAtLogin(QStringLiteral("Quillsong")));
}
