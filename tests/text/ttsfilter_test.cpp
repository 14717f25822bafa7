#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "tests/common/printers.h"
#include "tests/text/referencefilter.h"
#include "text/ttsfilter.h"

namespace {

struct Filtered {
    QString text;
    std::vector<TOffsetRecord> records;
};

Filtered runFilter(TTTSFilter& filter, const QString& text, uint32_t flags = 0,
                   bool symbols = true) {
    Filtered out;
    out.text = filter.FilterText(flags, text, symbols);
    out.records = filter.Offsets.records();
    return out;
}

}  // namespace

TEST(SpeechFilter, StateAbbreviationsAreSpokenAndPositionsMapBack) {
    TTTSFilter filter;
    const Filtered ny = runFilter(filter, QStringLiteral("I live in NY. Bye"));
    EXPECT_EQ(ny.text, QStringLiteral("I live in New York. Bye"));
    ASSERT_EQ(ny.records.size(), 1u);
    EXPECT_EQ(ny.records[0].Start, 10);
    EXPECT_EQ(ny.records[0].finish, 18);
    EXPECT_EQ(ny.records[0].Delta, -6);
    EXPECT_EQ(filter.MapPosition(9), 9);
    for (int p = 10; p <= 18; ++p) {
        EXPECT_EQ(filter.MapPosition(p), 10) << p;  // inside the spoken form, or just after it
    }
    EXPECT_EQ(filter.MapPosition(20), 14);  // "Bye"

    // An engine with its own abbreviation handling gets the text as it is.
    EXPECT_EQ(
        filter.FilterText(TTTSFilter::kNoAbbreviations | 1, QStringLiteral("I live in NY."), true),
        QStringLiteral("I live in NY."));
    EXPECT_TRUE(filter.Offsets.records().empty());
    // A text ending in an abbreviation keeps it: the word has no end.
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("I live in NY"), true),
              QStringLiteral("I live in NY"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("we went to ar, then OR."), true),
              QStringLiteral("we went to ar, then Oregon."));
}

TEST(SpeechFilter, CapitalWordsAndAssociatedPress) {
    TTTSFilter filter;
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("AP reports"), true),
              QStringLiteral("Associated Press reports"));
    for (int p = 0; p <= 16; ++p) {
        EXPECT_EQ(filter.MapPosition(p), 0) << p;
    }
    EXPECT_EQ(filter.MapPosition(17), 3);
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("NASA and NATO"), true),
              QStringLiteral("NASA and NATO"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("The SENATE voted"), true),
              QStringLiteral("The senate voted"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("ABC123 Ap ÉCOLE"), true),
              QStringLiteral("abc123 Ap ÉCOLE"));
}

TEST(SpeechFilter, PunctuationRunsAfterAFullStopBecomeAComma) {
    TTTSFilter filter;
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("wait... then"), true),
              QStringLiteral("wait,   then"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("end. Next"), true), QStringLiteral("end. Next"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("what.?! no"), true),
              QStringLiteral("what,   no"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("pending..."), true),
              QStringLiteral("pending..."));
    EXPECT_TRUE(filter.Offsets.records().empty());
}

TEST(SpeechFilter, WebAddressesAreSpokenBriefly) {
    TTTSFilter filter;
    const Filtered web = runFilter(filter, QStringLiteral("see www.host.com/0123456789 now"));
    EXPECT_EQ(web.text, QStringLiteral("see w w w.host.com web link  now"));
    ASSERT_EQ(web.records.size(), 2u);
    EXPECT_EQ(web.records[0].Start, 4);
    EXPECT_EQ(web.records[0].finish, 9);
    EXPECT_EQ(web.records[0].Delta, -2);
    EXPECT_EQ(web.records[1].Start, 19);
    EXPECT_EQ(web.records[1].finish, 28);
    EXPECT_EQ(web.records[1].Delta, 1);
    EXPECT_EQ(filter.MapPosition(29), 28);  // "now"

    EXPECT_EQ(filter.FilterText(0, QStringLiteral("go to http://example"), true),
              QStringLiteral("go to        example"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("at http://www.a.org/x/y/z.html"), true),
              QStringLiteral("at        w w w.a.org web link "));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("news.example.com/a/b/c"), true),
              QStringLiteral("news.example.com web link "));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("a 1.5/2 ratio"), true),
              QStringLiteral("a 1.5/2 ratio"));
}

TEST(SpeechFilter, SymbolsAreBlankedOnlyWhenAsked) {
    TTTSFilter filter;
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("a (b) c"), true), QStringLiteral("a  b  c"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("a (b) c"), false), QStringLiteral("a (b) c"));
    EXPECT_EQ(filter.FilterText(0, QStringLiteral("x=y*z_{w}"), true), QStringLiteral("x y z  w "));
}

// The product filter against the plain walk, on texts built to hit every rule and their mixes.
TEST(SpeechFilter, MatchesThePlainWalkOnRandomAndAdversarialTexts) {
    static const char* const kPieces[] = {
        " ",   " ",       " ",     "  ",       ".",      ".",   "...",        ". ",
        "!",   "?",       ",",     "-",        ";",      ":",   "/",          "//",
        "a",   "the",     "Word",  "AP",       "Ap",     "NY",  "ny",         "CA",
        "OR",  "NASA",    "NATO",  "SENATE",   "ABC123", "X9",  "12345",      "www",
        "WWW", "http://", "http:", "https://", "host",   "com", "(",          ")",
        "*",   "<",       "=",     ">",        "[",      "\\",  "]",          "^",
        "_",   "`",       "{",     "|",        "}",      "~",   "é",          "Ü",
        "ß",   "\t",      "\n",    "\r",       "'",      "\"",  "0123456789", "abcdefghi"};
    constexpr int kPieceCount = int(sizeof(kPieces) / sizeof(kPieces[0]));
    QRandomGenerator random(20261207);
    TTTSFilter filter;
    ReferenceFilter reference;
    for (int round = 0; round < 30000; ++round) {
        QString text;
        const int pieces = int(random.bounded(1, 40));
        for (int k = 0; k < pieces; ++k) {
            text += QString::fromUtf8(kPieces[random.bounded(kPieceCount)]);
        }
        const uint32_t flags = random.bounded(4);
        const bool symbols = random.bounded(2) == 0;
        const QString expected = reference.FilterText(flags, text, symbols);
        const QString actual = filter.FilterText(flags, text, symbols);
        ASSERT_EQ(actual, expected) << "text: [" << text.toStdString() << "]";
        const auto& records = filter.Offsets.records();
        ASSERT_EQ(records.size(), reference.records.size()) << text.toStdString();
        for (size_t r = 0; r < records.size(); ++r) {
            ASSERT_EQ(records[r].Start, reference.records[r].Start) << text.toStdString();
            ASSERT_EQ(records[r].finish, reference.records[r].Finish) << text.toStdString();
            ASSERT_EQ(records[r].Delta, reference.records[r].Delta) << text.toStdString();
        }
        for (int p = -1; p <= actual.size() + 2; ++p) {
            ASSERT_EQ(filter.MapPosition(p), reference.MapPosition(p))
                << "position " << p << " in [" << text.toStdString() << "]";
        }
    }
}

TEST(SpeechFilter, LongWordsAndRunsMatchThePlainWalk) {
    TTTSFilter filter;
    ReferenceFilter reference;
    const QStringList texts = {
        QString(3000, QLatin1Char('A')) + QStringLiteral(" end"),
        QStringLiteral("x") + QString(2000, QLatin1Char('.')) + QStringLiteral("y"),
        QStringLiteral("a.b").repeated(500) + QStringLiteral("/tail"),
        QStringLiteral("www.x.y/").repeated(300),
        QStringLiteral("http://").repeated(200) + QStringLiteral("www.site.org/path rest"),
        QStringLiteral("NY, CA. OR; AP! ").repeated(300),
    };
    for (const QString& text : texts) {
        EXPECT_EQ(filter.FilterText(0, text, true), reference.FilterText(0, text, true));
        ASSERT_EQ(filter.Offsets.records().size(), reference.records.size());
        for (int p = 0; p < text.size(); p += 7) {
            ASSERT_EQ(filter.MapPosition(p), reference.MapPosition(p));
        }
    }
}
