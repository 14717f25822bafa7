#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>

#include "platform/speechapi/lexiconmatcher.h"
#include "tests/common/printers.h"

namespace {

const QString kVoiceLanguage = QStringLiteral("en-us");

LexiconEntry Entry(const QString& written, const QString& spoken) {
    LexiconEntry entry;
    entry.written = written;
    entry.spoken = spoken;
    return entry;
}

LexiconEntry CaseEntry(const QString& written, const QString& spoken) {
    LexiconEntry entry = Entry(written, spoken);
    entry.matchCase = true;
    return entry;
}

LexiconEntry PhonemeEntry(const QString& written, const QString& phonemes) {
    LexiconEntry entry = Entry(written, phonemes);
    entry.phonemes = true;
    return entry;
}

LexiconEntry LanguageEntry(const QString& written, const QString& spoken, const QString& language) {
    LexiconEntry entry = Entry(written, spoken);
    entry.language = language;
    return entry;
}

// The text an engine speaking kVoiceLanguage is given for text.
QString Spoken(const LexiconEntries& entries, const QString& text, bool phonemes = true) {
    return LexiconMatcher(entries, kVoiceLanguage, phonemes).apply(text).text;
}

}  // namespace

TEST(LexiconMatcher, ReplacesWholeWordsOnly) {
    const LexiconEntries sql{Entry(QStringLiteral("SQL"), QStringLiteral("sequel"))};
    const struct {
        const char* text;
        const char* spoken;
    } cases[] = {
        {"SQL", "sequel"},
        {"Use SQL, or (SQL) and SQL's tables.", "Use sequel, or (sequel) and sequel's tables."},
        {"e-SQL and SQL_x", "e-sequel and sequel_x"},
        {"SQLite mySQL SQL2 2SQL", "SQLite mySQL SQL2 2SQL"},
        {"SQL\xC3\xA9 SQL\xCC\x81 \xC3\xA9SQL", "SQL\xC3\xA9 SQL\xCC\x81 \xC3\xA9SQL"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Spoken(sql, QString::fromUtf8(c.text)), QString::fromUtf8(c.spoken)) << c.text;
    }
    const LexiconText untouched =
        LexiconMatcher(sql, kVoiceLanguage, true).apply(QStringLiteral("mySQL SQLite"));
    EXPECT_FALSE(untouched.changed());
    EXPECT_FALSE(untouched.phonemes);
    EXPECT_TRUE(LexiconMatcher({}, kVoiceLanguage, true).isEmpty());
    EXPECT_EQ(LexiconMatcher({}, kVoiceLanguage, true).apply(QStringLiteral("SQL")).text,
              QStringLiteral("SQL"));
}

TEST(LexiconMatcher, MatchesCapitalsOnlyWhenTheEntrySaysSo) {
    const LexiconEntries entries{
        CaseEntry(QStringLiteral("US"), QStringLiteral("United States")),
        Entry(QStringLiteral("nasa"), QStringLiteral("nasser")),
        Entry(QStringLiteral("\u00C9COLE"), QStringLiteral("school")),
    };
    EXPECT_EQ(Spoken(entries, QStringLiteral("Tell us, Us and US about NASA, Nasa and nasa.")),
              QStringLiteral("Tell us, Us and United States about nasser, nasser and nasser."));
    EXPECT_EQ(Spoken(entries, QStringLiteral("\u00E9cole \u00C9cole")),
              QStringLiteral("school school"));

    // The same words in both kinds: the exact capitals are taken where they are found.
    const LexiconEntries both{Entry(QStringLiteral("it"), QStringLiteral("it")),
                              CaseEntry(QStringLiteral("IT"), QStringLiteral("I T"))};
    EXPECT_EQ(Spoken(both, QStringLiteral("IT said it")), QStringLiteral("I T said it"));
}

TEST(LexiconMatcher, EntriesOfALanguageHoldForItsVoicesOnly) {
    const struct {
        const char* entry;
        const char* voice;
        bool matches;
    } cases[] = {
        {"", "en-us", true},    {"en", "en-us", true},    {"en", "en", true},
        {"EN", "en-US", true},  {"en-us", "en-US", true}, {"en", "eng", false},
        {"en", "es", false},    {"en-us", "en", false},   {"en-gb", "en-us", false},
        {"pt-br", "pt", false}, {"pt", "pt-br", true},    {"en", "", false},
        {"e", "en-us", false},  {"en-u", "en-us", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LexiconMatcher::languageMatches(QString::fromLatin1(c.entry),
                                                  QString::fromLatin1(c.voice)),
                  c.matches)
            << c.entry << " for " << c.voice;
    }
    const LexiconEntries entries{
        LanguageEntry(QStringLiteral("Bach"), QStringLiteral("bark"), QStringLiteral("en")),
        LanguageEntry(QStringLiteral("Chor"), QStringLiteral("core"), QStringLiteral("en-gb")),
        LanguageEntry(QStringLiteral("Weg"), QStringLiteral("vague"), QStringLiteral("de")),
        Entry(QStringLiteral("Ufer"), QStringLiteral("oofer")),
    };
    const QString text = QStringLiteral("Bach Chor Weg Ufer");
    EXPECT_EQ(LexiconMatcher(entries, QStringLiteral("en-us"), false).apply(text).text,
              QStringLiteral("bark Chor Weg oofer"));
    EXPECT_EQ(LexiconMatcher(entries, QStringLiteral("en-gb"), false).apply(text).text,
              QStringLiteral("bark core Weg oofer"));
    EXPECT_EQ(LexiconMatcher(entries, QStringLiteral("de"), false).apply(text).text,
              QStringLiteral("Bach Chor vague oofer"));
    EXPECT_EQ(LexiconMatcher(entries, QStringLiteral("eng"), false).apply(text).text,
              QStringLiteral("Bach Chor Weg oofer"));
}

TEST(LexiconMatcher, WordsOfAnEntryMayStandAcrossBlanksAndLineBreaksAndTheLongestEntryWins) {
    LexiconEntries entries{
        Entry(QStringLiteral("New"), QStringLiteral("Neu")),
        Entry(QStringLiteral("New   York"), QStringLiteral("Big Apple")),
        Entry(QStringLiteral("new york city"), QStringLiteral("Gotham")),
    };
    const struct {
        const char* text;
        const char* spoken;
    } cases[] = {
        {"New York", "Big Apple"},
        {"New  York", "Big Apple"},
        {"New\nYork.", "Big Apple."},
        {"New\r\n\tYork", "Big Apple"},
        {"new\rYORK", "Big Apple"},
        {"New York City", "Gotham"},
        {"NEW YORK\r\nCITY, New York Cityscape", "Gotham, Big Apple Cityscape"},
        {"New Yorker", "Neu Yorker"},
        {"NewYork", "NewYork"},
        {"New-York", "Neu-York"},
        {"New Jersey and New", "Neu Jersey and Neu"},
    };
    for (int round = 0; round < 3; ++round) {
        for (const auto& c : cases) {
            EXPECT_EQ(Spoken(entries, QString::fromLatin1(c.text)), QString::fromLatin1(c.spoken))
                << c.text << " in round " << round;
        }
        // Whatever order the entries come in.
        std::rotate(entries.begin(), entries.begin() + 1, entries.end());
    }
}

TEST(LexiconMatcher, ThousandsOfEntriesSharingTheirFirstWordsEachStillMatch) {
    constexpr int kCount = 20000;
    LexiconEntries entries{Entry(QStringLiteral("the"), QStringLiteral("thee")),
                           Entry(QStringLiteral("The end of it"), QStringLiteral("finis"))};
    for (int i = 0; i < kCount; ++i) {
        entries << Entry(QStringLiteral("the end %1").arg(i), QStringLiteral("word %1").arg(i));
    }
    EXPECT_EQ(Spoken(entries, QStringLiteral("The end 17, the END\n19999 and the end 20000. "
                                             "The end of it; the end of the end 5x.")),
              QStringLiteral("word 17, word 19999 and thee end 20000. finis; thee end of thee "
                             "end 5x."));
}

TEST(LexiconMatcher, WrittenFormsMayBeginOrEndWithASymbol) {
    const LexiconEntries entries{
        Entry(QStringLiteral(".NET"), QStringLiteral("dot net")),
        Entry(QStringLiteral("C++"), QStringLiteral("C plus plus")),
        Entry(QStringLiteral("C#"), QStringLiteral("C sharp")),
        Entry(QStringLiteral("e.g."), QStringLiteral("for example")),
    };
    const struct {
        const char* text;
        const char* spoken;
    } cases[] = {
        {".NET", "dot net"},
        {"I use .NET, C++ and C# (.NET).", "I use dot net, C plus plus and C sharp (dot net)."},
        {"c++ and .net, e.g. this", "C plus plus and dot net, for example this"},
        {"ASP.NET .NETwork a.NET", "ASP.NET .NETwork a.NET"},
        {"ABC++ C C+ xC#", "ABC++ C C+ xC#"},
        {"C", "C"},
        {"..NET", ".dot net"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Spoken(entries, QString::fromLatin1(c.text)), QString::fromLatin1(c.spoken))
            << c.text;
    }
}

TEST(LexiconMatcher, PhonemeEntriesAreForEnginesThatReadPhonemesAndTheTextsOwnBracketsAreSplit) {
    const LexiconEntries entries{PhonemeEntry(QStringLiteral("Nguyen"), QStringLiteral(" w'In ")),
                                 Entry(QStringLiteral("SQL"), QStringLiteral("sequel"))};
    const QString text = QStringLiteral("Nguyen knows SQL [[not phonemes]].");

    const LexiconText plain = LexiconMatcher(entries, kVoiceLanguage, false).apply(text);
    EXPECT_EQ(plain.text, QStringLiteral("Nguyen knows sequel [[not phonemes]]."))
        << "no phonemes: the text's brackets are no sign";
    EXPECT_FALSE(plain.phonemes);

    const LexiconText withPhonemes = LexiconMatcher(entries, kVoiceLanguage, true).apply(text);
    EXPECT_EQ(withPhonemes.text, QStringLiteral("[[w'In]] knows sequel [ [not phonemes]]."));
    EXPECT_TRUE(withPhonemes.phonemes);

    // A text of its own brackets never opens phonemes, however many there are and whatever
    // follows them.
    const struct {
        const char* text;
        const char* spoken;
    } cases[] = {
        {"[[x]]", "[ [x]]"},          {"[[[x]]]", "[ [ [x]]]"}, {"[Nguyen]", "[ [[w'In]]]"},
        {"[[Nguyen", "[ [ [[w'In]]"}, {"[x] [ [", "[x] [ ["},   {"Nguyen[[", "[[w'In]][ ["},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Spoken(entries, QString::fromLatin1(c.text)), QString::fromLatin1(c.spoken))
            << c.text;
    }
    // Without any phoneme entry, "[[" is left as it is.
    EXPECT_EQ(Spoken({entries[1]}, QStringLiteral("[[SQL]]")), QStringLiteral("[[sequel]]"));
}

TEST(LexiconMatcher, PositionsMapBackToTheOriginalText) {
    // A spoken form longer than its word, and one shorter.
    const LexiconEntries entries{
        Entry(QStringLiteral("SQL"), QStringLiteral("structured query language")),
        Entry(QStringLiteral("Nguyen"), QStringLiteral("Win")),
    };
    const QString original = QStringLiteral("I use SQL with Nguyen daily");
    const LexiconText spoken = LexiconMatcher(entries, kVoiceLanguage, false).apply(original);
    ASSERT_EQ(spoken.text, QStringLiteral("I use structured query language with Win daily"));
    ASSERT_TRUE(spoken.changed());
    const auto engineOf = [&](const char* word) { return int(spoken.text.indexOf(word)); };
    const auto originalOf = [&](const char* word) { return int(original.indexOf(word)); };

    // Before the first replacement, nothing moves.
    for (int p = 0; p <= engineOf("structured"); ++p) {
        EXPECT_EQ(spoken.originalPosition(p), p);
    }
    // Inside a replacement: the replaced word's start.
    for (int p = engineOf("structured"); p < engineOf(" with"); ++p) {
        EXPECT_EQ(spoken.originalPosition(p), originalOf("SQL")) << p;
    }
    for (int p = engineOf("Win"); p < engineOf("Win") + 3; ++p) {
        EXPECT_EQ(spoken.originalPosition(p), originalOf("Nguyen")) << p;
    }
    // After each replacement, shifted by exactly what it changed.
    const int longer = 25 - 3;
    for (int p = engineOf(" with"); p < engineOf("Win"); ++p) {
        EXPECT_EQ(spoken.originalPosition(p), p - longer) << p;
    }
    const int shorter = 6 - 3;
    for (int p = engineOf(" daily"); p <= spoken.text.size(); ++p) {
        EXPECT_EQ(spoken.originalPosition(p), p - longer + shorter) << p;
    }
    EXPECT_EQ(spoken.originalPosition(engineOf("daily")), originalOf("daily"));
    EXPECT_EQ(spoken.originalPosition(int(spoken.text.size())), original.size());
    // Out of range: kept within the original.
    EXPECT_EQ(spoken.originalPosition(-5), 0);
    EXPECT_EQ(spoken.originalPosition(int(spoken.text.size()) + 40), original.size());

    // Escaped brackets move what follows them too.
    const LexiconText escaped =
        LexiconMatcher({PhonemeEntry(QStringLiteral("Nguyen"), QStringLiteral("w'In"))},
                       kVoiceLanguage, true)
            .apply(QStringLiteral("a [[[b]]] Nguyen c"));
    ASSERT_EQ(escaped.text, QStringLiteral("a [ [ [b]]] [[w'In]] c"));
    EXPECT_EQ(escaped.originalPosition(int(escaped.text.indexOf(QLatin1Char('b')))), 5);
    EXPECT_EQ(escaped.originalPosition(int(escaped.text.indexOf(QStringLiteral("w'In")))), 10);
    EXPECT_EQ(escaped.originalPosition(int(escaped.text.lastIndexOf(QLatin1Char('c')))), 17);
}

namespace {

// Random texts from pieces that meet the lexicon's edge cases, and random lexicons over them.
class RandomLexicon {
  public:
    explicit RandomLexicon(quint32 seed) : m_random(seed) {}

    QString text() {
        static const QStringList pieces{
            QStringLiteral("SQL"),
            QStringLiteral("sql"),
            QStringLiteral("SQLite"),
            QStringLiteral("New"),
            QStringLiteral("york"),
            QStringLiteral("York"),
            QStringLiteral("City"),
            QStringLiteral("Yorker"),
            QStringLiteral(".NET"),
            QStringLiteral("NET"),
            QStringLiteral("C"),
            QStringLiteral("C++"),
            QStringLiteral("Nguyen"),
            QStringLiteral("nguyen"),
            QStringLiteral("Gr\u00F6\u00DFe"),
            QStringLiteral("\u65E5\u672C"),
            QStringLiteral("\U0001F600"),
            QStringLiteral("e\u0301"),
            QStringLiteral("."),
            QStringLiteral(","),
            QStringLiteral("("),
            QStringLiteral(")"),
            QStringLiteral("["),
            QStringLiteral("[["),
            QStringLiteral("]]"),
            QStringLiteral("+"),
            QStringLiteral("'"),
            QStringLiteral("#"),
            QStringLiteral("words"),
            QStringLiteral("42"),
        };
        static const QStringList blanks{QStringLiteral(" "),  QStringLiteral("  "),
                                        QStringLiteral("\n"), QStringLiteral("\r\n"),
                                        QStringLiteral("\t"), QString()};
        QString text;
        const int count = m_random.bounded(60);
        for (int i = 0; i < count; ++i) {
            text += pieces[m_random.bounded(int(pieces.size()))];
            text += blanks[m_random.bounded(int(blanks.size()))];
        }
        return text;
    }

    LexiconEntries entries() {
        // Written forms of two characters or more: a character that maps one to one onto the
        // original is then never part of a replacement.
        static const QStringList written{
            QStringLiteral("SQL"),
            QStringLiteral("New"),
            QStringLiteral("New York"),
            QStringLiteral("new york city"),
            QStringLiteral("York City"),
            QStringLiteral(".NET"),
            QStringLiteral("C++"),
            QStringLiteral("Nguyen"),
            QStringLiteral("gr\u00F6\u00DFe"),
            QStringLiteral("\u65E5\u672C"),
            QStringLiteral("e\u0301"),
            QStringLiteral("42"),
            QStringLiteral("words 42"),
        };
        static const QStringList spoken{
            QStringLiteral("x"),
            QStringLiteral("sequel"),
            QStringLiteral("structured query language"),
            QStringLiteral("Win"),
            QStringLiteral("dot net"),
            QStringLiteral("C plus plus"),
            QStringLiteral("forty two."),
            QStringLiteral("(a)"),
        };
        static const QStringList phonemes{QStringLiteral("w'In"), QStringLiteral("s'i:kw@l")};
        LexiconEntries entries;
        const int count = m_random.bounded(9);
        for (int i = 0; i < count; ++i) {
            LexiconEntry entry;
            entry.written = written[m_random.bounded(int(written.size()))];
            entry.phonemes = m_random.bounded(4) == 0;
            entry.spoken = entry.phonemes ? phonemes[m_random.bounded(int(phonemes.size()))]
                                          : spoken[m_random.bounded(int(spoken.size()))];
            entry.matchCase = m_random.bounded(3) == 0;
            entries << entry;
        }
        return entries;
    }

    bool chance() { return m_random.bounded(2) == 0; }

  private:
    QRandomGenerator m_random;
};

// Where a replacement may begin: a character that is not a blank and follows no word.
bool TokenStart(const QString& text, int position) {
    return position < text.size() && !text[position].isSpace() &&
           (position == 0 || !LexiconMatcher::isWordChar(text[position - 1]));
}

bool WordStart(const QString& text, int position) {
    return LexiconMatcher::isWordChar(text[position]) &&
           (position == 0 || !LexiconMatcher::isWordChar(text[position - 1]));
}

}  // namespace

TEST(LexiconMatcher, RandomTextsMapEveryPositionIntoTheOriginalInOrder) {
    RandomLexicon random(20261207);
    int changedTexts = 0;
    for (int round = 0; round < 3000; ++round) {
        const LexiconEntries entries = random.entries();
        const bool acceptsPhonemes = random.chance();
        const QString original = random.text();
        const LexiconText spoken =
            LexiconMatcher(entries, kVoiceLanguage, acceptsPhonemes).apply(original);
        const QString& text = spoken.text;
        changedTexts += spoken.changed() ? 1 : 0;
        ASSERT_TRUE(acceptsPhonemes || !spoken.phonemes);
        SCOPED_TRACE(QStringLiteral("round %1: \"%2\" -> \"%3\"")
                         .arg(round)
                         .arg(original, text)
                         .toStdString());
        if (!spoken.changed()) {
            ASSERT_EQ(text, original);
        }
        ASSERT_EQ(spoken.originalPosition(int(text.size())), original.size());
        int previous = 0;
        for (int p = 0; p <= text.size(); ++p) {
            const int mapped = spoken.originalPosition(p);
            ASSERT_GE(mapped, 0) << p;
            ASSERT_LE(mapped, original.size()) << p;
            ASSERT_GE(mapped, previous) << "backwards at " << p;
            previous = mapped;
            if (p == text.size()) {
                break;
            }
            // A character that moves on one by one with the original is the original's own.
            if (spoken.originalPosition(p + 1) == mapped + 1) {
                ASSERT_EQ(text[p], original[mapped]) << p;
            }
            // A spoken word lands on a place where a word or an entry begins.
            if (WordStart(text, p)) {
                ASSERT_TRUE(TokenStart(original, mapped)) << p << " -> " << mapped;
            }
            // When the engine reads phonemes, they open only where an entry put them, never
            // in the text's own brackets.
            if (spoken.phonemes && text.mid(p, 2) == QStringLiteral("[[")) {
                ASSERT_TRUE(p == 0 || text[p - 1] != QLatin1Char('[')) << p;
                const bool entryPhonemes =
                    std::any_of(entries.begin(), entries.end(), [&](const LexiconEntry& e) {
                        return e.phonemes &&
                               text.mid(p + 2).startsWith(e.spoken + QStringLiteral("]]"));
                    });
                ASSERT_TRUE(entryPhonemes) << p;
            }
        }
    }
    EXPECT_GT(changedTexts, 1000) << "the rounds met the lexicon often enough to mean something";
}

TEST(LexiconPrecedence, AnEntryForTheVoicesLanguageWinsOverOneForEveryLanguageInAnyOrder) {
    const LexiconEntry everywhere{
        QStringLiteral("Nguyen"), QStringLiteral("Win"), false, false, {}};
    const LexiconEntry french{QStringLiteral("nguyen"), QStringLiteral("Nwen"), false, false,
                              QStringLiteral("fr")};
    for (const LexiconEntries& entries :
         {LexiconEntries{everywhere, french}, LexiconEntries{french, everywhere}}) {
        EXPECT_EQ(LexiconMatcher(entries, QStringLiteral("fr-fr"), true)
                      .apply(QStringLiteral("Nguyen"))
                      .text,
                  QStringLiteral("Nwen"));
        EXPECT_EQ(LexiconMatcher(entries, QStringLiteral("en-us"), true)
                      .apply(QStringLiteral("Nguyen"))
                      .text,
                  QStringLiteral("Win"));
    }
}

TEST(LexiconPrecedence, EachWordSaidForSeveralWrittenWordsMapsToTheWrittenWordAtItsShare) {
    const auto positions = [](const char* written, const char* spoken, const char* text) {
        const LexiconMatcher matcher(
            {{QString::fromLatin1(written), QString::fromLatin1(spoken), false, false, {}}},
            QStringLiteral("en-us"), true);
        const LexiconText said = matcher.apply(QString::fromLatin1(text));
        QList<int> mapped;
        for (int i = 0; i < said.text.size(); ++i) {
            if (i == 0 ||
                (said.text[i - 1] == QLatin1Char(' ') && said.text[i] != QLatin1Char(' '))) {
                mapped << said.originalPosition(i);
            }
        }
        return mapped;
    };
    // "to New York now": words at 0, 3, 7, 12.
    EXPECT_EQ(positions("New York", "Noo Yawk", "to New York now"), (QList<int>{0, 3, 7, 12}));
    EXPECT_EQ(positions("New York", "the big apple", "to New York now"),
              (QList<int>{0, 3, 3, 7, 12}));
    EXPECT_EQ(positions("New York City", "Gotham", "to New York City now"), (QList<int>{0, 3, 17}));
    EXPECT_EQ(positions("SQL", "structured query language", "a SQL b"),
              (QList<int>{0, 2, 2, 2, 6}));
}
