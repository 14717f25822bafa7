#pragma once

#include <QByteArrayView>
#include <QStringConverter>
#include <optional>

// The encoding a text file announces with a byte order mark at its start. Files without a mark
// are bytes: UTF-8, or Windows-1252 where a line is not valid UTF-8.
class TextEncoding {
  public:
    enum class Kind { Bytes, Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

    static Kind detect(QByteArrayView start);
    static int markLength(Kind kind);
    // The decoder of a UTF-16 or UTF-32 file; none for files of bytes.
    static std::optional<QStringConverter::Encoding> wideEncoding(Kind kind);
};
