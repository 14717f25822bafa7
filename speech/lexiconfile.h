#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/speechapi/lexiconentry.h"

// A line of a lexicon file that could not be read: where, why, and the line itself.
struct LexiconProblem {
    int line = 0;
    QString reason;
    QString text;
};

// What a lexicon file holds: its entries, and the lines it could not read, which are kept so
// that writing the file back loses none of them.
struct LexiconContents {
    LexiconEntries entries;
    QList<LexiconProblem> problems;
};

// The pronunciation lexicon file: UTF-8 text (read also line by line as Windows-1252, or in the
// encoding its byte order mark announces), one entry a line, its fields separated by tabs:
//   written form, spoken form [, options [, language]]
// The options are "case" (the written form matches only with the same capitals) and
// "phonemes" (the spoken form is in eSpeak's phoneme notation), separated by commas; the
// language is a tag such as "en" or "pt-br" for an entry that holds for one language only.
// Blank lines and lines starting with "#" are comments. A line that does not follow the
// format is reported with its number and skipped; the others are read all the same.
class LexiconFile {
  public:
    // Files larger than this are refused whole: no lexicon is that long.
    static constexpr qsizetype kMaxFileSize = 16 * 1024 * 1024;
    // The most characters a spoken form may have: a few words said otherwise, never a text.
    static constexpr int kMaxSpokenLength = 500;

    static LexiconContents parse(const QByteArray& bytes);
    static QByteArray serialise(const LexiconContents& contents);
    // Why an entry cannot be stored, or empty when it can. What the entry holds is quoted with
    // its control characters escaped.
    static QString check(const LexiconEntry& entry);
    // A missing file is an empty lexicon. False, with error saying why, when the file cannot
    // be read.
    static bool load(const QString& path, LexiconContents* contents, QString* error);
    // Writes the whole file or nothing: the old file stays until the new one is complete.
    static bool save(const QString& path, const LexiconContents& contents, QString* error);
    // Where the program keeps its lexicon.
    static QString defaultPath();
    // A problem as the user reads it: "Line 3: <reason>".
    static QString describe(const LexiconProblem& problem);
};
