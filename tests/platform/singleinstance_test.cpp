#include <gtest/gtest.h>

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
