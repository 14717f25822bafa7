#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "platform/speechapi/pronunciationlexicon.h"
#include "speech/lexiconfile.h"
#include "speech/lexiconstore.h"
#include "tests/audio/smalldisk.h"
#include "tests/common/printers.h"
#include "tests/speech/lexiconprinters.h"

namespace {

LexiconEntry Entry(const QString& written, const QString& spoken, bool matchCase = false,
                   bool phonemes = false, const QString& language = QString()) {
    LexiconEntry entry;
    entry.written = written;
    entry.spoken = spoken;
    entry.matchCase = matchCase;
    entry.phonemes = phonemes;
    entry.language = language;
    return entry;
}

// Entries with every option, a language, words beyond Latin-1 and symbols at their edges.
LexiconEntries AllKinds() {
    return {
        Entry(QStringLiteral("SQL"), QStringLiteral("sequel")),
        Entry(QStringLiteral("US"), QStringLiteral("United States"), true),
        Entry(QStringLiteral("Nguyen"), QStringLiteral("w'In"), false, true),
        Entry(QStringLiteral("IT"), QStringLiteral("'aI t'i:"), true, true, QStringLiteral("en")),
        Entry(QStringLiteral("Chor"), QStringLiteral("core"), false, false,
              QStringLiteral("en-gb")),
        Entry(QStringLiteral("Gr\u00F6\u00DFe"), QStringLiteral("gruh-seh"), false, false,
              QStringLiteral("de")),
        Entry(QStringLiteral("\u65E5\u672C\u8A9E"), QStringLiteral("nihongo")),
        Entry(QStringLiteral("\U0001F600"), QStringLiteral("grinning face")),
        Entry(QStringLiteral("caf\u00E9 au lait"), QStringLiteral("coffee with milk")),
        Entry(QStringLiteral(".NET"), QStringLiteral("dot net")),
        Entry(QStringLiteral("C++"), QStringLiteral("C plus plus")),
        Entry(QStringLiteral("C#"), QStringLiteral("C sharp # 1")),
    };
}

QStringList Texts(const QList<LexiconProblem>& problems) {
    QStringList texts;
    for (const LexiconProblem& problem : problems) {
        texts << problem.text;
    }
    return texts;
}

QStringList Described(const QList<LexiconProblem>& problems) {
    QStringList lines;
    for (const LexiconProblem& problem : problems) {
        lines << LexiconFile::describe(problem);
    }
    return lines;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A file the lexicon cannot read: one larger than any lexicon (sparse, so it costs no disk).
void WriteOversized(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("SQL\tsequel\n");
    ASSERT_TRUE(file.resize(LexiconFile::kMaxFileSize + 1));
}

}  // namespace

TEST(LexiconFile, EntriesReadBackAsTheyWereWritten) {
    LexiconContents contents;
    contents.entries = AllKinds();
    const QByteArray bytes = LexiconFile::serialise(contents);
    const LexiconContents read = LexiconFile::parse(bytes);
    EXPECT_EQ(read.entries, contents.entries);
    EXPECT_TRUE(read.problems.isEmpty()) << Described(read.problems).join(u'\n').toStdString();
    EXPECT_EQ(LexiconFile::serialise(read), bytes) << "writing again changes nothing";
    EXPECT_TRUE(bytes.startsWith("# ")) << "the file explains itself";
    EXPECT_TRUE(bytes.contains("US\tUnited States\tcase\n"));
    EXPECT_TRUE(bytes.contains("IT\t'aI t'i:\tcase,phonemes\ten\n"));
    EXPECT_TRUE(bytes.contains("Chor\tcore\t\ten-gb\n"));
    EXPECT_TRUE(bytes.contains("SQL\tsequel\n"));

    // Whatever an entry holds, the file either keeps it or says beforehand why it cannot.
    const LexiconEntries candidates{
        Entry(QStringLiteral("#1"), QStringLiteral("number one")),
        Entry(QStringLiteral("  #tag"), QStringLiteral("hashtag")),
        Entry(QStringLiteral("x#"), QStringLiteral("ex hash")),
        Entry(QStringLiteral("a\tb"), QStringLiteral("ab")),
        Entry(QStringLiteral("a"), QStringLiteral("b\nc")),
        Entry(QStringLiteral("a"), QStringLiteral("b\rc")),
        Entry(QStringLiteral("a\u2028b"), QStringLiteral("ab")),
        Entry(QStringLiteral("!!!"), QStringLiteral("bang")),
        Entry(QStringLiteral("ok"), QStringLiteral("  ")),
        Entry(QStringLiteral("Nguyen"), QStringLiteral("[[w'In]]"), false, true),
        Entry(QStringLiteral("Nguyen"), QStringLiteral("[[Win]]")),
        Entry(QStringLiteral("Chor"), QStringLiteral("core"), false, false,
              QStringLiteral("en_GB")),
        Entry(QStringLiteral("Chor"), QStringLiteral("core"), false, false,
              QStringLiteral("de-CH")),
        Entry(QStringLiteral("New   York"), QStringLiteral("Big  Apple")),
    };
    for (const LexiconEntry& entry : candidates) {
        if (!LexiconFile::check(entry).isEmpty()) {
            continue;
        }
        const LexiconContents kept = LexiconFile::parse(LexiconFile::serialise({{entry}, {}}));
        EXPECT_EQ(kept.entries, LexiconEntries{entry})
            << entry.written.toStdString() << " -> " << entry.spoken.toStdString() << ": "
            << Described(kept.problems).join(u'\n').toStdString();
    }
    EXPECT_EQ(LexiconFile::check(candidates[0]),
              QStringLiteral("the written form \"#1\" begins with \"#\", which marks a comment"));
    EXPECT_EQ(LexiconFile::check(candidates[2]), QString());
    EXPECT_EQ(LexiconFile::check(candidates[11]),
              QStringLiteral("\"en_GB\" is not a language tag such as \"en\" or \"pt-br\""));
}

TEST(LexiconFile, ReadsUtf8Windows1252AndMarkedFilesWithAnyLineEnd) {
    const LexiconEntries expected{
        Entry(QStringLiteral("caf\u00E9"), QStringLiteral("kaffay")),
        Entry(QStringLiteral("na\u00EFve"), QStringLiteral("nah eve"), true),
        Entry(QStringLiteral("\u0153uvre"), QStringLiteral("uvra"), false, false,
              QStringLiteral("en")),
    };
    const QByteArray utf8Lines[] = {"caf\xC3\xA9\tkaffay", "na\xC3\xAFve\tnah eve\tcase",
                                    "\xC5\x93uvre\tuvra\t\ten"};
    const QByteArray cp1252Lines[] = {"caf\xE9\tkaffay", "na\xEFve\tnah eve\tcase",
                                      "\x9Cuvre\tuvra\t\ten"};
    const QByteArray comment = "# a comment, with caf\xE9 in it";
    for (const QByteArray& end : {QByteArray("\n"), QByteArray("\r\n"), QByteArray("\r")}) {
        const QByteArray utf8 =
            comment + end + utf8Lines[0] + end + utf8Lines[1] + end + end + utf8Lines[2] + end;
        const QByteArray mixed = utf8Lines[0] + end + cp1252Lines[1] + end + utf8Lines[2];
        const QByteArray cp1252 =
            cp1252Lines[0] + end + cp1252Lines[1] + end + cp1252Lines[2] + end;
        const QString text = QString::fromUtf8(utf8);
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QStringEncoder utf16be(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
        const struct {
            const char* name;
            QByteArray bytes;
        } files[] = {
            {"UTF-8", utf8},
            {"UTF-8 with a mark", QByteArray("\xEF\xBB\xBF") + utf8},
            {"Windows-1252", cp1252},
            {"UTF-8 and Windows-1252 lines", mixed},
            {"UTF-16 with a mark", QByteArray(utf16(text))},
            {"UTF-16 big-endian with a mark", QByteArray(utf16be(text))},
        };
        for (const auto& file : files) {
            const LexiconContents read = LexiconFile::parse(file.bytes);
            EXPECT_EQ(read.entries, expected)
                << file.name << " with line end " << end.toHex().toStdString();
            EXPECT_EQ(Described(read.problems), QStringList())
                << file.name << " with line end " << end.toHex().toStdString();
        }
    }
    // What is written is UTF-8, without a mark.
    const QByteArray written = LexiconFile::serialise({expected, {}});
    EXPECT_FALSE(written.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(written.contains(utf8Lines[0] + '\n'));
}

TEST(LexiconFile, HalfASurrogatePairSpoilsOnlyItsOwnLine) {
    // A damaged UTF-16 file: the first line holds a low surrogate without its high half.
    const QByteArray bytes = QByteArray(
        "\xFF\xFE"
        "A\0\xDD\xDF\n\0"
        "N\0\t\0n\0\r\0\n\0",
        18);
    const LexiconContents read = LexiconFile::parse(bytes);
    EXPECT_EQ(read.entries, (LexiconEntries{Entry(QStringLiteral("N"), QStringLiteral("n"))}));
    ASSERT_EQ(read.problems.size(), 1);
    EXPECT_EQ(read.problems[0].line, 1);
    const LexiconContents again = LexiconFile::parse(LexiconFile::serialise(read));
    EXPECT_EQ(again.entries, read.entries);
    EXPECT_EQ(again.problems.size(), 1);
}

TEST(LexiconFile, BadLinesAreReportedByNumberSkippedAndKeptWhenWritten) {
    const QByteArray bytes =
        "# comment\n"                      // 1
        "SQL\tsequel\n"                    // 2
        "only one field\n"                 // 3
        "\n"                               // 4
        "GUI\tgooey\tbold\n"               // 5
        "Nguyen\tw'In\tphonemes\r\n"       // 6
        "Chor\tcore\t\tBritish English\n"  // 7
        "\tno written form\n"              // 8
        "empty spoken\t  \n"               // 9
        "a\tb\tcase\ten\tfifth\n"          // 10
        "!!!\tbang\n"                      // 11
        "X\t[[Eks]]\tphonemes\n"           // 12
        "   # an indented comment\n"       // 13
        "US\tUnited States\tcase\n";       // 14
    const LexiconContents read = LexiconFile::parse(bytes);
    EXPECT_EQ(read.entries,
              (LexiconEntries{Entry(QStringLiteral("SQL"), QStringLiteral("sequel")),
                              Entry(QStringLiteral("Nguyen"), QStringLiteral("w'In"), false, true),
                              Entry(QStringLiteral("US"), QStringLiteral("United States"), true)}));
    const QStringList reports{
        QStringLiteral("Line 3: a written form and a spoken form separated by a tab are needed"),
        QStringLiteral("Line 5: unknown option \"bold\" (use \"case\" or \"phonemes\")"),
        QStringLiteral(
            "Line 7: \"British English\" is not a language tag such as \"en\" or \"pt-br\""),
        QStringLiteral("Line 8: the written form is empty"),
        QStringLiteral("Line 9: the spoken form is empty"),
        QStringLiteral("Line 10: more than four fields"),
        QStringLiteral("Line 11: the written form \"!!!\" has no letter or digit"),
        QStringLiteral("Line 12: phonemes are written without \"[[\" and \"]]\""),
    };
    EXPECT_EQ(Described(read.problems), reports);
    const QStringList badLines{
        QStringLiteral("only one field"),
        QStringLiteral("GUI\tgooey\tbold"),
        QStringLiteral("Chor\tcore\t\tBritish English"),
        QStringLiteral("\tno written form"),
        QStringLiteral("empty spoken\t  "),
        QStringLiteral("a\tb\tcase\ten\tfifth"),
        QStringLiteral("!!!\tbang"),
        QStringLiteral("X\t[[Eks]]\tphonemes"),
    };
    EXPECT_EQ(Texts(read.problems), badLines);

    // Written back, the bad lines stay: read again, they are reported again, nothing is lost,
    // and writing once more gives the same file.
    const QByteArray written = LexiconFile::serialise(read);
    for (const QString& line : badLines) {
        EXPECT_TRUE(written.contains(line.toUtf8() + '\n')) << line.toStdString();
    }
    const LexiconContents again = LexiconFile::parse(written);
    EXPECT_EQ(again.entries, read.entries);
    EXPECT_EQ(Texts(again.problems), badLines);
    for (int i = 0; i < again.problems.size(); ++i) {
        EXPECT_EQ(again.problems[i].reason, read.problems[i].reason);
        const QList<QByteArray> lines = written.split('\n');
        ASSERT_LE(again.problems[i].line, lines.size());
        EXPECT_EQ(lines[again.problems[i].line - 1], badLines[i].toUtf8())
            << "the number is the line's own in the file written";
    }
    EXPECT_EQ(LexiconFile::serialise(again), written);
}

TEST(LexiconFile, OverlongSpokenFormsAndControlCharactersAreReportedByLineAndEscaped) {
    const QByteArray shortWords = QByteArray("h@loU ").repeated(60).trimmed();
    const QByteArray bytes = QByteArray("SQL\tsequel\n") +                       // 1
                             "Long\t" + QByteArray(700, 's') + "\tphonemes\n" +  // 2
                             "Word\t" + QByteArray(200, 's') + "\tphonemes\n" +  // 3
                             "Words\t" + shortWords + "\tphonemes\n" +           // 4
                             "Said\t" + QByteArray(LexiconFile::kMaxSpokenLength + 1, 'a') +
                             "\n" +                                          // 5
                             QByteArray("Bell\tring\tcase\x1b[31m\x07\n") +  // 6
                             QByteArray("Nul\tzero\tphon\0emes\n", 19) +     // 7
                             "GNU\tgn'u:\tphonemes\n";                       // 8
    const LexiconContents read = LexiconFile::parse(bytes);
    EXPECT_EQ(read.entries,
              (LexiconEntries{
                  Entry(QStringLiteral("SQL"), QStringLiteral("sequel")),
                  Entry(QStringLiteral("Words"), QString::fromLatin1(shortWords), false, true),
                  Entry(QStringLiteral("GNU"), QStringLiteral("gn'u:"), false, true)}));
    QList<int> lines;
    for (const LexiconProblem& problem : read.problems) {
        lines << problem.line;
    }
    EXPECT_EQ(lines, (QList<int>{2, 3, 5, 6, 7}));
    const QStringList described = Described(read.problems);
    ASSERT_EQ(described.size(), 5);
    for (const QString& line : described) {
        EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](QChar c) {
            return c.category() == QChar::Other_Control;
        })) << line.toStdString();
    }
    EXPECT_TRUE(described[3].contains(QStringLiteral("caseU+001B[31mU+0007")))
        << described[3].toStdString();
    EXPECT_TRUE(described[4].contains(QStringLiteral("phonU+0000emes")))
        << "a NUL cuts nothing short: " << described[4].toStdString();
}

TEST(LexiconFile, LoadsAndSavesFilesAndSaysWhyNot) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lexicon.txt"));
    LexiconContents contents;
    QString error;
    contents.entries = {Entry(QStringLiteral("stale"), QStringLiteral("stale"))};
    EXPECT_TRUE(LexiconFile::load(path, &contents, &error)) << "a missing file is no error";
    EXPECT_TRUE(contents.entries.isEmpty());
    EXPECT_EQ(error, QString());

    contents.entries = AllKinds();
    contents.problems = {
        {3, QStringLiteral("more than four fields"), QStringLiteral("a\tb\tc\td\te")}};
    ASSERT_TRUE(LexiconFile::save(path, contents, &error)) << error.toStdString();
    LexiconContents read;
    ASSERT_TRUE(LexiconFile::load(path, &read, &error));
    EXPECT_EQ(read.entries, contents.entries);
    EXPECT_EQ(Texts(read.problems), Texts(contents.problems));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("lexicon.txt")})
        << "no temporary file is left behind";

    const QString large = dir.filePath(QStringLiteral("large.txt"));
    WriteOversized(large);
    EXPECT_FALSE(LexiconFile::load(large, &read, &error));
    EXPECT_EQ(error, large + QStringLiteral(
                                 " is too large for a pronunciation lexicon (more than 16 MB)"));
    EXPECT_TRUE(read.entries.isEmpty());

    const QString folder = dir.filePath(QStringLiteral("folder.txt"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.txt")));
    error.clear();
    EXPECT_FALSE(LexiconFile::load(folder, &read, &error));
    EXPECT_TRUE(error.startsWith(folder + QStringLiteral(" cannot be read: ")))
        << error.toStdString();
    error.clear();
    EXPECT_FALSE(LexiconFile::save(folder, contents, &error));
    EXPECT_TRUE(error.startsWith(folder + QStringLiteral(" cannot be written: ")))
        << error.toStdString();

    const QString nowhere = dir.filePath(QStringLiteral("missing/lexicon.txt"));
    error.clear();
    EXPECT_FALSE(LexiconFile::save(nowhere, contents, &error));
    EXPECT_TRUE(error.startsWith(nowhere + QStringLiteral(" cannot be written: ")))
        << error.toStdString();
}

TEST(LexiconFile, AFailedSaveLeavesTheOldFileWhole) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(64);
    ASSERT_EQ(disk.Error(), QString());
    const QString path = disk.Path() + QStringLiteral("/lexicon.txt");
    LexiconContents old;
    old.entries = AllKinds();
    QString error;
    ASSERT_TRUE(LexiconFile::save(path, old, &error)) << error.toStdString();
    const QByteArray oldBytes = ReadBytes(path);

    // A disk that fills up while the new file is written.
    LexiconContents large;
    for (int i = 0; i < 4000; ++i) {
        large.entries << Entry(QStringLiteral("word%1").arg(i), QStringLiteral("spoken %1").arg(i));
    }
    disk.Fill();
    EXPECT_FALSE(LexiconFile::save(path, large, &error));
    EXPECT_EQ(error, path + QStringLiteral(" cannot be written: No space left on device"));
    EXPECT_EQ(ReadBytes(path), oldBytes);
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("filler"), QStringLiteral("lexicon.txt")}))
        << "the unfinished file is removed";

    // A folder that cannot be written to at all.
    QFile::remove(disk.Path() + QStringLiteral("/filler"));
    QProcess remount;
    remount.start(QStringLiteral("mount"),
                  {QStringLiteral("-o"), QStringLiteral("remount,ro"), disk.Path()});
    ASSERT_TRUE(remount.waitForFinished(30000));
    ASSERT_EQ(remount.exitCode(), 0) << remount.readAllStandardError().toStdString();
    error.clear();
    EXPECT_FALSE(LexiconFile::save(path, old, &error));
    EXPECT_TRUE(error.startsWith(path + QStringLiteral(" cannot be written: ")))
        << error.toStdString();
    EXPECT_EQ(ReadBytes(path), oldBytes);
}

namespace {

// The lexicon in force for the engines is process-wide: each test leaves it empty.
class Store : public ::testing::Test {
  protected:
    void TearDown() override { PronunciationLexicon::setEntries({}); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(Store, AMissingFileIsAnEmptyLexiconAndChangesAreWrittenAndPutInForce) {
    PronunciationLexicon::setEntries(AllKinds());
    LexiconStore store(Path(QStringLiteral("lexicon.txt")));
    QSignalSpy changed(&store, &LexiconStore::changed);
    QString error;
    ASSERT_TRUE(store.load(&error));
    EXPECT_TRUE(store.entries().isEmpty());
    EXPECT_TRUE(PronunciationLexicon::entries().isEmpty()) << "the file's entries are in force";
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(QFile::exists(store.path())) << "reading writes nothing";

    const uint64_t revision = PronunciationLexicon::revision();
    ASSERT_TRUE(store.setEntries(AllKinds(), &error)) << error.toStdString();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_GT(PronunciationLexicon::revision(), revision);
    EXPECT_EQ(PronunciationLexicon::entries(), AllKinds());
    LexiconContents written;
    ASSERT_TRUE(LexiconFile::load(store.path(), &written, &error));
    EXPECT_EQ(written.entries, AllKinds());

    LexiconStore next(store.path());
    ASSERT_TRUE(next.load(&error));
    EXPECT_EQ(next.entries(), AllKinds());
}

TEST_F(Store, AFileThatCannotBeReadIsNeverWrittenOver) {
    const QString large = Path(QStringLiteral("large.txt"));
    WriteOversized(large);
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.txt")));
    for (const QString& path : {large, Path(QStringLiteral("folder.txt"))}) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray before = ReadBytes(path);
        const qint64 sizeBefore = QFileInfo(path).size();
        LexiconStore store(path);
        QString error;
        EXPECT_FALSE(store.load(&error));
        EXPECT_TRUE(error.startsWith(path + QLatin1Char(' '))) << error.toStdString();
        EXPECT_TRUE(store.entries().isEmpty());

        error.clear();
        EXPECT_FALSE(store.setEntries(AllKinds(), &error));
        EXPECT_EQ(error, path + QStringLiteral(" could not be read, so it is not written over; "
                                               "the changes hold until the program ends."));
        EXPECT_EQ(PronunciationLexicon::entries(), AllKinds()) << "the changes hold meanwhile";
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_EQ(QFileInfo(path).size(), sizeBefore);
    }
}

TEST_F(Store, LinesItCannotReadSurviveItsChanges) {
    const QString path = Path(QStringLiteral("lexicon.txt"));
    WriteBytes(path, "SQL\tsequel\nGUI\tgooey\tbold\n");
    LexiconStore store(path);
    QString error;
    ASSERT_TRUE(store.load(&error));
    EXPECT_EQ(Described(store.problems()),
              QStringList{QStringLiteral(
                  "Line 2: unknown option \"bold\" (use \"case\" or \"phonemes\")")});
    const LexiconEntries changed{Entry(QStringLiteral("Nguyen"), QStringLiteral("Win"))};
    ASSERT_TRUE(store.setEntries(changed, &error)) << error.toStdString();

    LexiconStore reloaded(path);
    ASSERT_TRUE(reloaded.load(&error));
    EXPECT_EQ(reloaded.entries(), changed);
    EXPECT_EQ(Texts(reloaded.problems()), QStringList{QStringLiteral("GUI\tgooey\tbold")});
}

TEST_F(Store, ImportMergesByWordsAndExportReadsBackEqual) {
    const QString path = Path(QStringLiteral("lexicon.txt"));
    LexiconStore store(path);
    QString error;
    ASSERT_TRUE(store.load(&error));
    ASSERT_TRUE(
        store.setEntries({Entry(QStringLiteral("SQL"), QStringLiteral("sequel")),
                          Entry(QStringLiteral("Nguyen"), QStringLiteral("Win")),
                          Entry(QStringLiteral("US"), QStringLiteral("United States"), true)},
                         &error));

    const QString imported = Path(QStringLiteral("other.txt"));
    WriteBytes(imported,
               "sql\tS Q L\n"                // the same words: replaces
               "SQL\tsquirrel\tcase\n"       // capitals as written: another entry
               "nguyen   \tnoo yen\t\ten\n"  // for English only: another entry
               "US\tyou ess\tcase\n"         // replaces
               "not an entry\n"              // line 5: reported
               "GPL\tG P L\n");              // new
    QSignalSpy changed(&store, &LexiconStore::changed);
    int added = 0;
    int replaced = 0;
    QList<LexiconProblem> problems;
    ASSERT_TRUE(store.import(imported, &added, &replaced, &problems, &error))
        << error.toStdString();
    EXPECT_EQ(added, 3);
    EXPECT_EQ(replaced, 2);
    EXPECT_EQ(Described(problems),
              QStringList{QStringLiteral(
                  "Line 5: a written form and a spoken form separated by a tab are needed")});
    const LexiconEntries merged{
        Entry(QStringLiteral("sql"), QStringLiteral("S Q L")),
        Entry(QStringLiteral("Nguyen"), QStringLiteral("Win")),
        Entry(QStringLiteral("US"), QStringLiteral("you ess"), true),
        Entry(QStringLiteral("SQL"), QStringLiteral("squirrel"), true),
        Entry(QStringLiteral("nguyen"), QStringLiteral("noo yen"), false, false,
              QStringLiteral("en")),
        Entry(QStringLiteral("GPL"), QStringLiteral("G P L")),
    };
    EXPECT_EQ(store.entries(), merged);
    EXPECT_EQ(PronunciationLexicon::entries(), merged);
    EXPECT_EQ(changed.count(), 1);
    LexiconContents saved;
    ASSERT_TRUE(LexiconFile::load(path, &saved, &error));
    EXPECT_EQ(saved.entries, merged) << "the merge is written at once";

    const QString missing = Path(QStringLiteral("missing.txt"));
    EXPECT_FALSE(store.import(missing, &added, &replaced, &problems, &error));
    EXPECT_EQ(error, missing + QStringLiteral(" does not exist"));
    EXPECT_EQ(store.entries(), merged);
    EXPECT_EQ(changed.count(), 1);

    const QString exported = Path(QStringLiteral("exported.txt"));
    ASSERT_TRUE(store.exportTo(exported, &error)) << error.toStdString();
    LexiconContents back;
    ASSERT_TRUE(LexiconFile::load(exported, &back, &error));
    EXPECT_EQ(back.entries, merged);
    EXPECT_TRUE(back.problems.isEmpty());
    EXPECT_EQ(ReadBytes(exported), ReadBytes(path));
}

TEST(StoreReload, TheFileIsReadAgainOnlyWhenSomeoneElseHasWrittenIt) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(64);
    ASSERT_EQ(disk.Error(), QString());
    const QString path = disk.Path() + QStringLiteral("/lexicon.txt");
    WriteBytes(path, "SQL\tsequel\n");
    LexiconStore store(path);
    QString error;
    ASSERT_TRUE(store.load(&error));
    ASSERT_TRUE(store.setEntries(LexiconEntries(store.entries())
                                     << Entry(QStringLiteral("GNU"), QStringLiteral("guh new")),
                                 &error));
    // Unchanged since written here: what is in memory stays.
    ASSERT_TRUE(store.reloadIfChanged(&error));
    EXPECT_EQ(store.entries().size(), 2);

    // Edited by hand meanwhile: the hand edit is what holds from now on.
    WriteBytes(path, "SQL\tsequel\nGNU\tguh new\nNguyen\tWin\tcase\n");
    ASSERT_TRUE(store.reloadIfChanged(&error));
    ASSERT_EQ(store.entries().size(), 3);
    EXPECT_EQ(PronunciationLexicon::entries(), store.entries());

    // A change that could not be written (the disk is full) is not lost to a read of the
    // unchanged file.
    disk.Fill();
    LexiconEntries more = store.entries();
    for (int i = 0; i < 2000; ++i) {
        more << Entry(QStringLiteral("word%1").arg(i), QStringLiteral("spoken %1").arg(i));
    }
    EXPECT_FALSE(store.setEntries(more, &error));
    ASSERT_TRUE(store.reloadIfChanged(&error)) << error.toStdString();
    EXPECT_EQ(store.entries().size(), more.size()) << "the unsaved change holds until the end";
}
