#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QUuid>

#include "platform/shell/singleinstance.h"

TEST(SingleInstanceRule, ALaterInstanceIsRefusedAndAsksTheFirstToComeForward) {
    const QString name =
        QStringLiteral("quillsong-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_TRUE(first.acquire());
    QSignalSpy restore(&first, &SingleInstance::restoreRequested);

    SingleInstance second(name);
    EXPECT_FALSE(second.acquire());
    ASSERT_TRUE(restore.wait(5000));
    EXPECT_EQ(restore.count(), 1);
}

TEST(SingleInstanceRule, TheNameFollowsTheProfile) {
    const QString before = SingleInstance::defaultName();
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", saved + "-other");
    const QString other = SingleInstance::defaultName();
    qputenv("XDG_CONFIG_HOME", saved);
    EXPECT_NE(before, other);
    EXPECT_EQ(before, SingleInstance::defaultName());
}

TEST(SingleInstanceRule, ALaterInstanceHandsItsFilesToTheFirst) {
    const QString name =
        QStringLiteral("quillsong-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_TRUE(first.acquire());
    QSignalSpy files(&first, &SingleInstance::filesOpenRequested);
    QSignalSpy restore(&first, &SingleInstance::restoreRequested);

    // A relative path is made absolute by the later instance; blanks, a percent sign and a
    // line break stay in the path.
    const QString odd = QStringLiteral("/tmp/My Notes 100%/line\nbreak.txt");
    SingleInstance second(name);
    EXPECT_FALSE(second.acquire({QStringLiteral("notes.txt"), odd}));
    ASSERT_TRUE(restore.wait(5000));
    ASSERT_EQ(files.count(), 1);
    EXPECT_EQ(files.first().first().toStringList(),
              QStringList({QDir::current().absoluteFilePath(QStringLiteral("notes.txt")), odd}));

    // A plain second start still only restores.
    SingleInstance third(name);
    EXPECT_FALSE(third.acquire());
    ASSERT_TRUE(restore.wait(5000));
    EXPECT_EQ(files.count(), 1);
}
