#include "speech/lexiconfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

#include "platform/shell/programfolders.h"
#include "platform/speechapi/lexiconmatcher.h"
#include "platform/speechapi/lexiconphonemes.h"
#include "text/printabletext.h"
#include "text/textencoding.h"
#include "text/textfile.h"

namespace {

const QString kFileName = QStringLiteral("lexicon.txt");
const QString kCaseOption = QStringLiteral("case");
const QString kPhonemesOption = QStringLiteral("phonemes");
const QChar kSeparator = QLatin1Char('\t');
constexpr int kMinFields = 2;
constexpr int kMaxFields = 4;
const QChar kCommentMark = QLatin1Char('#');

const char* const kHeader =
    "# Quillsong MP3 pronunciation lexicon\n"
    "# One entry a line, its fields separated by tabs: written form, spoken form, options,\n"
    "# language. Options: \"case\" to match the capitals as written, \"phonemes\" when the\n"
    "# spoken form is in eSpeak NG's phoneme notation (used by eSpeak NG voices only).\n"
    "# Language: a tag such as \"en\" for an entry that holds for that language only.\n";
const char* const kKeptHeader = "# Lines that could not be read, kept as they were:\n";

bool isLanguageTag(const QString& text) {
    static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*$"));
    return tag.match(text).hasMatch();
}

// Reads the options field into entry; the reason when it holds something else.
QString readOptions(const QString& field, LexiconEntry* entry) {
    for (const QString& option : field.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = option.trimmed().toLower();
        if (name == kCaseOption) {
            entry->matchCase = true;
        } else if (name == kPhonemesOption) {
            entry->phonemes = true;
        } else if (!name.isEmpty()) {
            return QStringLiteral("unknown option \"%1\" (use \"case\" or \"phonemes\")")
                .arg(PrintableText::escaped(option.trimmed()));
        }
    }
    return QString();
}

QString readLine(const QString& line, LexiconEntry* entry) {
    const QStringList fields = line.split(kSeparator);
    if (fields.size() < kMinFields) {
        return QStringLiteral("a written form and a spoken form separated by a tab are needed");
    }
    if (fields.size() > kMaxFields) {
        return QStringLiteral("more than four fields");
    }
    entry->written = fields[0].trimmed();
    entry->spoken = fields[1].trimmed();
    if (fields.size() > 2) {
        if (QString reason = readOptions(fields[2], entry); !reason.isEmpty()) {
            return reason;
        }
    }
    if (fields.size() > 3) {
        entry->language = fields[3].trimmed();
    }
    return LexiconFile::check(*entry);
}

// Half a surrogate pair (a damaged UTF-16 file) becomes U+FFFD, as a bad byte of a UTF-8 file
// does. Kept, it would stop the line-end expression from matching anywhere, so the whole file
// became one bad line, and it cannot be written back as UTF-8.
void replaceHalfPairs(QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
}

// Why the spoken form cannot be said, or empty.
QString checkSpoken(const LexiconEntry& entry) {
    const QString spoken = entry.spoken.trimmed();
    if (spoken.size() > LexiconFile::kMaxSpokenLength) {
        return QStringLiteral("the spoken form has %1 characters; it may have at most %2")
            .arg(spoken.size())
            .arg(LexiconFile::kMaxSpokenLength);
    }
    if (!entry.phonemes) {
        return QString();
    }
    if (spoken.contains(QStringLiteral("[[")) || spoken.contains(QStringLiteral("]]"))) {
        return QStringLiteral("phonemes are written without \"[[\" and \"]]\"");
    }
    if (LexiconPhonemes::longestWord(spoken) > LexiconPhonemes::kMaxWordLength) {
        return QStringLiteral(
                   "a word of the phonemes has %1 characters; eSpeak NG takes at most %2 in one "
                   "word (separate the words with blanks)")
            .arg(LexiconPhonemes::longestWord(spoken))
            .arg(LexiconPhonemes::kMaxWordLength);
    }
    return QString();
}

}  // namespace

QString LexiconFile::check(const LexiconEntry& entry) {
    if (entry.written.trimmed().isEmpty()) {
        return QStringLiteral("the written form is empty");
    }
    if (entry.spoken.trimmed().isEmpty()) {
        return QStringLiteral("the spoken form is empty");
    }
    for (const QString& field : {entry.written, entry.spoken, entry.language}) {
        for (QChar c : field) {
            if (c.category() == QChar::Other_Control) {
                return QStringLiteral("a tab, line break or other control character in \"%1\"")
                    .arg(PrintableText::escaped(field));
            }
        }
    }
    const QString written = PrintableText::escaped(entry.written.trimmed());
    if (entry.written.trimmed().startsWith(kCommentMark)) {
        // Written at the start of its line, it would make the entry a comment.
        return QStringLiteral("the written form \"%1\" begins with \"#\", which marks a comment")
            .arg(written);
    }
    if (std::none_of(entry.written.begin(), entry.written.end(), LexiconMatcher::isWordChar)) {
        return QStringLiteral("the written form \"%1\" has no letter or digit").arg(written);
    }
    if (const QString reason = checkSpoken(entry); !reason.isEmpty()) {
        return reason;
    }
    if (!entry.language.isEmpty() && !isLanguageTag(entry.language)) {
        return QStringLiteral("\"%1\" is not a language tag such as \"en\" or \"pt-br\"")
            .arg(PrintableText::escaped(entry.language));
    }
    return QString();
}

LexiconContents LexiconFile::parse(const QByteArray& bytes) {
    LexiconContents contents;
    // A file with a byte order mark is in the encoding it announces (an editor may save it as
    // UTF-16); others are UTF-8, or Windows-1252 line by line.
    const TextEncoding::Kind kind = TextEncoding::detect(bytes);
    const QByteArrayView body = QByteArrayView(bytes).sliced(TextEncoding::markLength(kind));
    const auto wide = TextEncoding::wideEncoding(kind);
    QString text = wide ? QStringDecoder(*wide).decode(body) : TextFile::decodeLineByLine(body);
    replaceHalfPairs(text);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineEnd);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(kCommentMark)) {
            continue;
        }
        LexiconEntry entry;
        if (QString reason = readLine(line, &entry); !reason.isEmpty()) {
            contents.problems << LexiconProblem{i + 1, reason, line};
        } else {
            contents.entries << entry;
        }
    }
    return contents;
}

QByteArray LexiconFile::serialise(const LexiconContents& contents) {
    QByteArray bytes(kHeader);
    for (const LexiconEntry& entry : contents.entries) {
        QStringList options;
        if (entry.matchCase) {
            options << kCaseOption;
        }
        if (entry.phonemes) {
            options << kPhonemesOption;
        }
        QStringList fields{entry.written.trimmed(), entry.spoken.trimmed()};
        if (!options.isEmpty() || !entry.language.isEmpty()) {
            fields << options.join(QLatin1Char(','));
        }
        if (!entry.language.isEmpty()) {
            fields << entry.language;
        }
        bytes += fields.join(kSeparator).toUtf8() + '\n';
    }
    if (!contents.problems.isEmpty()) {
        bytes += kKeptHeader;
        for (const LexiconProblem& problem : contents.problems) {
            bytes += problem.text.toUtf8() + '\n';
        }
    }
    return bytes;
}

bool LexiconFile::load(const QString& path, LexiconContents* contents, QString* error) {
    *contents = {};
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    if (file.size() > kMaxFileSize) {
        *error = QStringLiteral("%1 is too large for a pronunciation lexicon (more than %2 MB)")
                     .arg(PrintableText::escaped(QDir::toNativeSeparators(path)),
                          QString::number(kMaxFileSize / (1024 * 1024)));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error =
            QStringLiteral("%1 cannot be read: %2")
                .arg(PrintableText::escaped(QDir::toNativeSeparators(path)), file.errorString());
        return false;
    }
    *contents = parse(file.readAll());
    return true;
}

bool LexiconFile::save(const QString& path, const LexiconContents& contents, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error =
            QStringLiteral("%1 cannot be written: %2")
                .arg(PrintableText::escaped(QDir::toNativeSeparators(path)), file.errorString());
        return false;
    }
    const QByteArray bytes = serialise(contents);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error =
            QStringLiteral("%1 cannot be written: %2")
                .arg(PrintableText::escaped(QDir::toNativeSeparators(path)), file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

QString LexiconFile::defaultPath() {
    return ProgramFolders::userFolder() + QLatin1Char('/') + kFileName;
}

QString LexiconFile::describe(const LexiconProblem& problem) {
    return QStringLiteral("Line %1: %2")
        .arg(QString::number(problem.line), PrintableText::escaped(problem.reason));
}
