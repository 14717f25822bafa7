// The "Tell a Friend" address, which needs no window.
#include <gtest/gtest.h>

#include <QUrl>
#include <QUrlQuery>

#include "app/tellafriend.h"
#include "tests/common/printers.h"

namespace {

// What a mail program reads from the address: its fields, decoded.
QString Field(const QString& command, const QString& name) {
    return QUrlQuery(QUrl(command)).queryItemValue(name, QUrl::FullyDecoded);
}

}  // namespace

TEST(TellAFriend, TheBodyArrivesCutAfter100CharactersWithDots) {
    const QString command = TellAFriend::MailCommand(
        TellAFriend::Subject(), TellAFriend::Body(QStringLiteral("https://quillsong.invalid/")));
    EXPECT_TRUE(command.startsWith(QStringLiteral("mailto:?Subject=Quillsong MP3&Body=")))
        << command.toStdString();
    const QString expected = QStringLiteral(
        "Take a look at Quillsong MP3 at https://quillsong.invalid/.  Quillsong MP3 lets you "
        "listen to text y...");
    EXPECT_EQ(expected.size(), 103);
    EXPECT_EQ(Field(command, QStringLiteral("Body")), expected);
    EXPECT_EQ(Field(command, QStringLiteral("Subject")), QStringLiteral("Quillsong MP3"));
    EXPECT_EQ(QUrl(command).scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(QUrl(command).path(), QString()) << "no recipient";

    // The whole body names the web address twice and has all seven sentences.
    const QString body = TellAFriend::Body(QStringLiteral("W"));
    EXPECT_EQ(body.count(QLatin1Char('W')), 2);
    EXPECT_TRUE(body.contains(QStringLiteral("to wav or MP3 files so you can listen later.  ")));

    // A body of exactly 100 characters is left whole.
    const QString hundred(100, QLatin1Char('x'));
    EXPECT_EQ(Field(TellAFriend::MailCommand(QStringLiteral("S"), hundred), QStringLiteral("Body")),
              hundred);
}

TEST(TellAFriend, QuotesAndAmpersandsAreRemovedAndTheAddressIsCapped) {
    const QString command = TellAFriend::MailCommand(QStringLiteral("Bob's & Alice's"),
                                                     QStringLiteral("Rock & Roll's here"));
    EXPECT_EQ(command, QStringLiteral("mailto:?Subject=Bobs  Alices&Body=Rock  Rolls here"));
    // Removed before the cut: the 100 characters kept are all text.
    const QString marks = QString(QStringLiteral("a'&")).repeated(60);
    EXPECT_EQ(Field(TellAFriend::MailCommand(QStringLiteral("S"), marks), QStringLiteral("Body")),
              QString(60, QLatin1Char('a')));

    const QString longSubject(1500, QLatin1Char('s'));
    const QString capped = TellAFriend::MailCommand(longSubject, QStringLiteral("Hello"));
    EXPECT_EQ(capped.size(), TellAFriend::kCommandLength);
    EXPECT_EQ(capped, (QStringLiteral("mailto:?Subject=") + longSubject).left(1000));
}
