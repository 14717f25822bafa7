#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "platform/shell/convert.h"
#include "tests/common/printers.h"
#include "text/grabbaseclass.h"

namespace {

class TaggedFile : public ::testing::Test {
  protected:
    QString write(const QByteArray& bytes) {
        const QString path = m_dir.path() + QStringLiteral("/data%1.chl").arg(++m_files);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir m_dir;
    int m_files = 0;
};

}  // namespace

TEST_F(TaggedFile, ListsValuesAndNestedSections) {
    GrabBaseClass file;
    const QString path = write(
        "<HelpTopics>2</HelpTopics>\r\n"
        "<HelpTopics0>Adding articles</HelpTopics0>\r\n"
        "<HelpTopics1>Reading aloud</HelpTopics1>\r\n"
        "<Greeting>\r\n    Hello   \r\n   world\r\n</Greeting>\r\n"
        "<Mixed>lost</mixed>\r\n"
        "<key section=Outer><Inner Value>1</Inner Value>\r\n"
        "  <key section=Deeper><x>deep</x></key>\r\n"
        "</key>\r\n");
    ASSERT_EQ(file.LoadFile(path), QString());
    QStringList topics;
    file.GetList(QStringLiteral("/"), QStringLiteral("HelpTopics"), topics);
    EXPECT_EQ(topics,
              (QStringList{QStringLiteral("Adding articles"), QStringLiteral("Reading aloud")}));
    EXPECT_EQ(file.GetValue(QStringLiteral("/"), QStringLiteral("greeting")),
              QStringLiteral("Helloworld"));
    EXPECT_EQ(file.GetValue(QStringLiteral("/"), QStringLiteral("Mixed")), QString())
        << "a closing tag in another case does not close the value";
    EXPECT_EQ(file.GetValue(QStringLiteral("/Outer"), QStringLiteral("inner value")),
              QStringLiteral("1"));
    EXPECT_EQ(file.GetValue(QStringLiteral("/Outer/Deeper"), QStringLiteral("x")),
              QStringLiteral("deep"));
    EXPECT_EQ(file.GetValue(QStringLiteral("/outer"), QStringLiteral("inner value")), QString())
        << "paths are compared exactly";
    const GBItemClass* outer = file.findSection(QStringLiteral("/Outer"));
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->AttributeName, QStringLiteral("section"));
    EXPECT_EQ(outer->Depth, 1);
    EXPECT_EQ(outer->Children.size(), 1u);
}

TEST_F(TaggedFile, MissingFilesAndBadCountsAreErrorsTheCallerCanHandle) {
    GrabBaseClass file;
    const QString missing = m_dir.path() + QStringLiteral("/none.chl");
    EXPECT_EQ(file.LoadFile(missing),
              QStringLiteral("File:") + missing + QStringLiteral(" Not Found."));
    EXPECT_EQ(file.GetValue(QStringLiteral("/"), QStringLiteral("eng")), QString());
    QStringList list{QStringLiteral("stale")};
    file.GetList(QStringLiteral("/"), QStringLiteral("Topics"), list);
    EXPECT_TRUE(list.isEmpty());

    ASSERT_EQ(file.LoadFile(write("<Topics>two</Topics><Topics0>a</Topics0>")), QString());
    EXPECT_THROW(file.GetList(QStringLiteral("/"), QStringLiteral("Topics"), list), ConvertError);
    ASSERT_EQ(file.LoadFile(write("<Topics>2147483647</Topics><Topics0>a</Topics0>")), QString());
    file.GetList(QStringLiteral("/"), QStringLiteral("Topics"), list);
    EXPECT_LE(list.size(), 2) << "a huge count never makes a huge list";
    EXPECT_EQ(list.value(0), QStringLiteral("a"));
}

TEST_F(TaggedFile, ReadingStopsAHundredThousandCharactersAfterAnElement) {
    GrabBaseClass file;
    const QByteArray filler(150000, 'x');
    file.LoadFile(write("<first>1</first>" + filler + "<late>2</late>"));
    EXPECT_EQ(file.GetValue(QStringLiteral("/"), QStringLiteral("first")), QStringLiteral("1"));
    EXPECT_EQ(file.GetValue(QStringLiteral("/"), QStringLiteral("late")), QString());
    file.LoadFile(write("<first>1</first>" + QByteArray(90000, 'x') + "<late>2</late>"));
    EXPECT_EQ(file.GetValue(QStringLiteral("/"), QStringLiteral("late")), QStringLiteral("2"));
}

TEST_F(TaggedFile, HostileFilesNeitherCrashNorHang) {
    GrabBaseClass file;
    // Nesting far deeper than any real file.
    QByteArray deep;
    for (int i = 0; i < 20000; ++i) {
        deep += "<key s=L" + QByteArray::number(i) + ">";
    }
    deep += "<v>bottom</v>";
    for (int i = 0; i < 20000; ++i) {
        deep += "</key>";
    }
    ASSERT_EQ(file.LoadFile(write(deep)), QString());
    EXPECT_EQ(file.findSection(QStringLiteral("/L0/L1/L2"))->Depth, 3);

    // Sections and values that are never closed, stray text before a section.
    file.LoadFile(write("<key a=b><key c=d><v>x<w>y</w>"));
    EXPECT_NE(file.findSection(QStringLiteral("/b/d")), nullptr);
    file.LoadFile(write(QByteArray(5000, 'j') + "<key a=b><v>1</v></key>"));
    EXPECT_NE(file.Root, nullptr);
    file.LoadFile(write("a>b<c<<<>>><</>key>"));

    // Random bytes, NUL bytes and a 50 MB file.
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray noise(int(random.bounded(1, 3000)), '\0');
        for (char& byte : noise) {
            static const char kAlphabet[] = "<>/=key KEY\r\n\0ab";
            byte = random.bounded(3) == 0 ? char(random.bounded(256))
                                          : kAlphabet[random.bounded(int(sizeof(kAlphabet) - 1))];
        }
        file.LoadFile(write(noise));
        file.GetValue(QStringLiteral("/x/y"), QStringLiteral("v"));
    }
    QByteArray big;
    big.reserve(50 << 20);
    while (big.size() < (50 << 20)) {
        big += "<key s=a><v>value</v><unclosed><key t=b>\r\n";
    }
    ASSERT_EQ(file.LoadFile(write(big)), QString());
    EXPECT_NE(file.findSection(QStringLiteral("/a")), nullptr);
}
