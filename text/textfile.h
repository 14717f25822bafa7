#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// The program's rules for text files: a file with a byte order mark is UTF-8, UTF-16 or UTF-32 as
// the mark says; other files are UTF-8, with Windows-1252 for each line that is not valid UTF-8.
// A character 26 ends the file; a line ends at a carriage return, at a carriage return and line
// feed, or at the end of the file, while a line feed alone stays in the line.
class TextFile {
  public:
    // How much of a file is looked at to tell whether it is text.
    static constexpr qsizetype kSniffSize = 64 * 1024;

    // The text of a file to be read aloud or loaded into an article: control characters other
    // than line ends and tabs become blanks (an engine would take a NUL for the end of the text).
    static QString decode(const QByteArray& bytes);
    // The text of a file as it is stored, control characters kept: a store file read back
    // keeps every valid line as it was written.
    static QString decodeStored(const QByteArray& bytes);
    static QString decodeWindows1252(QByteArrayView bytes);
    // UTF-8 for every line that is valid UTF-8, Windows-1252 for the others (lines end at a
    // carriage return or a line feed here). No byte order mark or end-of-file rule.
    static QString decodeLineByLine(QByteArrayView bytes);
    // Control characters other than tab, line feed and carriage return become blanks.
    static void blankControls(QString& text);

    // False when the start of bytes (kSniffSize of them) is mostly control characters, or is
    // neither UTF-8 nor nearly free of control characters: a program, picture or archive.
    static bool looksLikeText(QByteArrayView bytes);
    // Whether a file looks like text; when not, error holds "<file> does not look like a text
    // file" or the reason the file could not be read.
    static bool isTextFile(const QString& fileName, QString* error);

    static QStringList splitLines(QStringView text);
    // The lines of a file as stored (decodeStored); false when it cannot be read (error then
    // holds why).
    static bool readLines(const QString& fileName, QStringList* lines, QString* error);
};
