#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// The program's rules for text files: bytes are UTF-8, or Windows-1252 when they are not valid
// UTF-8; a character 26 ends the file; a line ends at a carriage return, at a carriage return
// and line feed, or at the end of the file, while a line feed alone stays in the line.
class TextFile {
  public:
    static QString Decode(const QByteArray& bytes);
    static QString DecodeWindows1252(const QByteArray& bytes);
    static QStringList SplitLines(QStringView text);
    // The lines of a file; false when it cannot be read (error then holds why).
    static bool ReadLines(const QString& fileName, QStringList* lines, QString* error);
};
