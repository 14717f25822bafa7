#include <gtest/gtest.h>

#include "tests/common/printers.h"
#include "text/grabbaseclass.h"

TEST(ShippedData, EveryHelpTopicHasSomethingToSay) {
    GrabBaseClass help;
    ASSERT_EQ(help.LoadFile(QStringLiteral(QUILL_DATA_DIR "/AudioHelp.chl")), QString());
    QStringList topics;
    help.GetList(QStringLiteral("/"), QStringLiteral("HelpTopics"), topics);
    EXPECT_GE(topics.size(), 7);
    for (const QString& topic : topics) {
        const QString text = help.GetValue(QStringLiteral("/"), topic);
        EXPECT_GT(text.size(), 200) << topic.toStdString();
        EXPECT_FALSE(text.contains(QLatin1Char('\n'))) << topic.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("  "))) << topic.toStdString();
    }
}

TEST(ShippedData, TestSentencesForTheMainLanguages) {
    GrabBaseClass test;
    ASSERT_EQ(test.LoadFile(QStringLiteral(QUILL_DATA_DIR "/AudioTest.chl")), QString());
    for (const char* code : {"eng", "deu", "fre", "spa", "ita", "por", "dut", "pol", "rus", "swe",
                             "chi", "jpn", "ara", "hin", "gre", "cze", "ron", "cro", "slo"}) {
        EXPECT_GT(test.GetValue(QStringLiteral("/"), QString::fromLatin1(code)).size(), 10) << code;
    }
    EXPECT_GE(test.Root->Values.count(), 100);
}
