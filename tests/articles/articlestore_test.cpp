#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <csignal>

#include "articles/articlestore.h"
#include "articles/articletext.h"
#include "tests/common/printers.h"

TEST(ArticleStoreFile, TwoArticlesGiveExactlyEightLines) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/QSExport.txt");
    QString error;
    ASSERT_TRUE(ArticleStore::Write(
        path,
        {{QStringLiteral("Notes"), QStringLiteral("Mary"),
          QStringLiteral("first line\nsecond line")},
         {QStringLiteral("Mail"), QStringLiteral("Sam"), QStringLiteral("only line")}},
        &error));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("||||||Quillsong MP3 Start of Article||||||\r\n"
                                         "Notes|Mary|2\r\n"
                                         "first line\r\n"
                                         "second line\r\n"
                                         "||||||Quillsong MP3 End of Article||||||\r\n"
                                         "||||||Quillsong MP3 Start of Article||||||\r\n"
                                         "Mail|Sam|1\r\n"
                                         "only line\r\n"
                                         "||||||Quillsong MP3 End of Article||||||\r\n"));
    ASSERT_TRUE(ArticleStore::Write(path, {}, &error));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST(ArticleStoreFile, ATextLineThatReadsAsTheEndLineStaysInItsArticle) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/QSExport.txt");
    const QString end = ArticleStore::kEndLine;
    QString error;
    ASSERT_TRUE(ArticleStore::Write(
        path,
        {{QStringLiteral("Loaded store"), QStringLiteral("Mary"),
          QStringLiteral("before\n") + end + QStringLiteral("\n") + ArticleStore::kStartLine},
         {QStringLiteral("Next"), QStringLiteral("Sam"), QStringLiteral("kept")}},
        &error));
    const ArticleStore::ReadResult read = ArticleStore::Read(path);
    EXPECT_FALSE(read.Malformed);
    ASSERT_EQ(read.Articles.size(), 2);
    EXPECT_EQ(read.Articles[0].Text,
              QStringLiteral("before\n") + end + QStringLiteral(" \n") + ArticleStore::kStartLine);
    EXPECT_EQ(read.Articles[1].Title, QStringLiteral("Next"));
    EXPECT_EQ(read.Articles[1].Text, QStringLiteral("kept"));
}

TEST(ArticleStoreFile, TitlesWithBarsComeBackWhole) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/QSExport.txt");
    const QList<StoredArticle> articles = {
        {QStringLiteral("Q3 | Results"), QStringLiteral("Mary"), QStringLiteral("one\ntwo")},
        {QStringLiteral("|a||b|7"), QString(), QStringLiteral("three")},
        {QStringLiteral("Plain"), QStringLiteral("Sam"), QStringLiteral("four")}};
    QString error;
    ASSERT_TRUE(ArticleStore::Write(path, articles, &error));
    const ArticleStore::ReadResult read = ArticleStore::Read(path);
    EXPECT_FALSE(read.Malformed);
    ASSERT_EQ(read.Articles.size(), articles.size());
    for (qsizetype i = 0; i < articles.size(); ++i) {
        EXPECT_EQ(read.Articles[i].Title, articles[i].Title);
        EXPECT_EQ(read.Articles[i].Voice, articles[i].Voice);
        EXPECT_EQ(read.Articles[i].Text, articles[i].Text);
    }
    // Written again, the file is the same: a start and an exit change nothing.
    EXPECT_EQ(ArticleStore::Format(read.Articles), ArticleStore::Format(articles));
}

TEST(ArticleStoreFile, ReadingFollowsTheLineRules) {
    const auto parse = [](const QString& text) {
        return ArticleStore::Parse(QStringList(text.split(QStringLiteral("\r\n"))).mid(0));
    };
    const QString start = ArticleStore::kStartLine, end = ArticleStore::kEndLine;
    // A "|" in the title shifts voice and count; a bad count is ignored.
    auto result =
        ArticleStore::Parse({start, QStringLiteral("A|B|Voice|x"), QStringLiteral("text"), end});
    ASSERT_EQ(result.Articles.size(), 1);
    EXPECT_EQ(result.Articles[0].Title, QStringLiteral("A"));
    EXPECT_EQ(result.Articles[0].Voice, QStringLiteral("B"));
    EXPECT_FALSE(result.Malformed);
    // A file that ends after the property line: one article with no text.
    result = ArticleStore::Parse({start, QStringLiteral("T|V|0")});
    ASSERT_EQ(result.Articles.size(), 1);
    EXPECT_EQ(result.Articles[0].Text, QString());
    EXPECT_TRUE(result.Malformed);
    // Anything that is not a start line ends the reading.
    result = ArticleStore::Parse(
        {start, QStringLiteral("T|V|1"), QStringLiteral("x"), end, QStringLiteral("junk"), start});
    EXPECT_EQ(result.Articles.size(), 1);
    EXPECT_TRUE(result.Malformed);
    Q_UNUSED(parse);
    QString title, voice, count;
    ArticleStore::SplitProperties(QStringLiteral("OnlyTitle"), &title, &voice, &count);
    EXPECT_EQ(title, QStringLiteral("OnlyTitle"));
    EXPECT_TRUE(voice.isEmpty() && count.isEmpty());
}

TEST(ArticleStoreFile, ACharacter26InAnArticleLosesNoArticleAfterIt) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/QSExport.txt");
    QString error;
    ASSERT_TRUE(ArticleStore::Write(
        path,
        {{QStringLiteral("Old"), QStringLiteral("Mary"),
          QStringLiteral("From a DOS file\x1a\nand on")},
         {QStringLiteral("Next"), QStringLiteral("Sam"), QStringLiteral("Still here")}},
        &error));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains('\x1a'));
    const auto result = ArticleStore::Read(path);
    EXPECT_FALSE(result.Malformed);
    ASSERT_EQ(result.Articles.size(), 2);
    EXPECT_EQ(result.Articles[0].Text, QStringLiteral("From a DOS file\nand on"));
    EXPECT_EQ(result.Articles[1].Title, QStringLiteral("Next"));
    EXPECT_EQ(result.Articles[1].Text, QStringLiteral("Still here"));
}

TEST(ArticleStoreFile, OneByteThatIsNotUtf8SpoilsNoOtherLine) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/QSExport.txt");
    const QByteArray valid =
        "||||||Quillsong MP3 Start of Article||||||\r\n"
        "Caf\xc3\xa9s|Mary|2\r\n"
        "Un caf\xc3\xa9, s'il vous pla\xc3\xaet \xe2\x82\xac\r\n"
        "\xe6\x97\xa5\xe6\x9c\xac\r\n"
        "||||||Quillsong MP3 End of Article||||||\r\n";
    const QByteArray legacy =
        "||||||Quillsong MP3 Start of Article||||||\r\n"
        "Old|Sam|1\r\n"
        "caf\xe9 from an old file\r\n"
        "||||||Quillsong MP3 End of Article||||||\r\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(valid + legacy);
    }
    const auto result = ArticleStore::Read(path);
    ASSERT_EQ(result.Articles.size(), 2);
    EXPECT_EQ(result.Articles[0].Title, QStringLiteral("Cafés"));
    EXPECT_EQ(result.Articles[0].Text, QStringLiteral("Un café, s'il vous plaît €\n日本"));
    EXPECT_EQ(result.Articles[1].Text, QStringLiteral("café from an old file"));
    // Written back: every valid line byte for byte, the other one now in UTF-8.
    EXPECT_EQ(ArticleStore::Format(result.Articles),
              valid + QByteArray(legacy).replace("caf\xe9", "caf\xc3\xa9"));
}

TEST(ArticleStoreFile, HostileFilesReadWithoutCrashOrHang) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/store.txt");
    const auto write = [&](const QByteArray& bytes) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    };
    QRandomGenerator random(11);
    for (int round = 0; round < 50; ++round) {
        QByteArray noise(int(random.bounded(1, 5000)), '\0');
        for (char& byte : noise) {
            byte = char(random.bounded(256));
        }
        write(noise);
        const auto result = ArticleStore::Read(path);
        EXPECT_TRUE(result.Opened);
    }
    write(QByteArray(20 << 20, 'x'));  // one 20 MB line
    EXPECT_TRUE(ArticleStore::Read(path).Malformed);
    QByteArray many;
    for (int i = 0; i < 5000; ++i) {
        many += "||||||Quillsong MP3 Start of Article||||||\r\nT" + QByteArray::number(i) +
                "|V|1\r\n" + QByteArray("line\0with NUL", 14) +
                "\r\n||||||Quillsong MP3 End of Article||||||\r\n";
    }
    write(many + "||||||Quillsong MP3 Start of Article||||||\r\nlast|x|1\r\nno end");
    const auto result = ArticleStore::Read(path);
    EXPECT_EQ(result.Articles.size(), 5001);
    EXPECT_TRUE(result.Malformed);
    EXPECT_FALSE(ArticleStore::Read(dir.path() + QStringLiteral("/missing.txt")).Opened);
}

TEST(ArticleStoreFile, AFailedWriteKeepsThePreviousStore) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/QSExport.txt");
    QString error;
    ASSERT_TRUE(ArticleStore::Write(
        path, {{QStringLiteral("Kept"), QString(), QStringLiteral("safe")}}, &error));
    const QByteArray before = [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    // A file size limit makes the disk "full" for this process, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = ArticleStore::Write(
        path, {{QStringLiteral("Big"), QString(), QString(100000, QLatin1Char('y'))}}, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(written);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("QSExport.txt")});
}

TEST(ArticleTitles, MadeFromTheText) {
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral("  Hello, world! 2nd"), 20),
              QStringLiteral("Hello_world_2nd"));
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral("What's new?"), 20),
              QStringLiteral("What_s_new"));
    EXPECT_EQ(ArticleText::MakeTitle(QString(30, QLatin1Char('a')), 20),
              QString(20, QLatin1Char('a')));
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral("--Start"), 20), QStringLiteral("Start"));
    // Letters and digits of any script; a character outside the basic plane whole or not at all;
    // a text with none of them still gets a title, a blank one none.
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral("Über café – résumé"), 20),
              QStringLiteral("Über_café_résumé"));
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral("नमस्ते ٣ 日本語の本"), 20),
              QStringLiteral("नमस्ते_٣_日本語の本"));
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral("a\U00020BB7\u91CE"), 2), QStringLiteral("a"));
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral("\U00020BB7\u91CE\u5BB6"), 3),
              QStringLiteral("\U00020BB7\u91CE"));
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral("...!?"), 20), ArticleText::kUntitled);
    EXPECT_EQ(ArticleText::MakeTitle(QStringLiteral(" \n "), 20), QString());
    const QString fileText =
        ArticleText::FileArticleText(QStringLiteral("/home/ann/My Books/long book.txt"));
    EXPECT_TRUE(ArticleText::IsFileArticle(fileText));
    EXPECT_EQ(ArticleText::FileArticlePath(fileText),
              QStringLiteral("/home/ann/My Books/long book.txt"));
    QString asEdited = fileText;
    asEdited.replace(QLatin1Char('\r'), QLatin1Char('\n'));  // as the editor holds it
    EXPECT_EQ(ArticleText::FileArticlePath(asEdited),
              QStringLiteral("/home/ann/My Books/long book.txt"));
}
