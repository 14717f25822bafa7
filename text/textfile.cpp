#include "text/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "text/textencoding.h"

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five unassigned codes keep their
// Latin-1 (control) meaning.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t kEndOfFile = 26;

// Shares of control characters (in percent) beyond which a file is not taken for text: any
// file with this many, or a file that is not UTF-8 with the smaller share (random bytes have
// about one control byte in nine).
constexpr qsizetype kMostlyControls = 30;
constexpr qsizetype kSomeControls = 5;

bool isControl(char16_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0x7F && c < 0xA0);
}

// Control characters that do not make a file look less like text: blanks of old text files
// and the end-of-file mark.
bool isTextControl(char16_t c) {
    return c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == kEndOfFile;
}

// The text before the end-of-file mark, control characters kept.
QString decodeWithMark(const QByteArray& bytes) {
    const TextEncoding::Kind kind = TextEncoding::detect(bytes);
    const QByteArrayView body = QByteArrayView(bytes).sliced(TextEncoding::markLength(kind));
    if (const auto wide = TextEncoding::wideEncoding(kind)) {
        QStringDecoder decoder(*wide, QStringConverter::Flag::ConvertInitialBom);
        QString text = decoder.decode(body);
        const qsizetype end = text.indexOf(QChar(kEndOfFile));
        if (end >= 0) {
            text.truncate(end);
        }
        return text;
    }
    const qsizetype end = body.indexOf(char(kEndOfFile));
    return TextFile::decodeLineByLine(end >= 0 ? body.first(end) : body);
}

}  // namespace

QString TextFile::decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = QChar(code >= 0x80 && code < 0xA0 ? kHighControls[code - 0x80] : char16_t(code));
    }
    return text;
}

QString TextFile::decodeLineByLine(QByteArrayView bytes) {
    // Stateless: a sequence cut off at the end of a line is an error of that line. A mark at the
    // start of a line is a character like any other.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless |
                                                  QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;  // the common case: the whole file is UTF-8
    }
    text.clear();
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') {
            ++end;
        }
        end = qMin(end + 1, bytes.size());  // the line end belongs to its line
        const QByteArrayView line = bytes.sliced(start, end - start);
        utf8.resetState();
        const QString decoded = utf8.decode(line);
        text += utf8.hasError() ? decodeWindows1252(line) : decoded;
        start = end;
    }
    return text;
}

void TextFile::blankControls(QString& text) {
    for (QChar& c : text) {
        if (isControl(c.unicode())) {
            c = QLatin1Char(' ');
        }
    }
}

QString TextFile::decode(const QByteArray& bytes) {
    QString text = decodeWithMark(bytes);
    blankControls(text);
    return text;
}

QString TextFile::decodeStored(const QByteArray& bytes) {
    return decodeWithMark(bytes);
}

bool TextFile::looksLikeText(QByteArrayView bytes) {
    const QByteArrayView start = bytes.first(qMin(bytes.size(), kSniffSize));
    const TextEncoding::Kind kind = TextEncoding::detect(start);
    const QByteArrayView body = start.sliced(TextEncoding::markLength(kind));
    qsizetype controls = 0;
    qsizetype size = 0;
    bool valid = true;
    if (const auto wide = TextEncoding::wideEncoding(kind)) {
        // Stateful: a character cut off at the end of the sample is not an error.
        QStringDecoder decoder(*wide);
        const QString text = decoder.decode(body);
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            controls += u == QChar::ReplacementCharacter || (isControl(u) && !isTextControl(u));
        }
        size = text.size();
    } else {
        for (const char byte : body) {
            const auto u = char16_t(static_cast<unsigned char>(byte));
            controls += u < 0x80 && isControl(u) && !isTextControl(u);
        }
        size = body.size();
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(body);  // the decoding runs when its result is taken
        valid = !utf8.hasError();
    }
    if (size == 0) {
        return true;
    }
    return controls * 100 <= size * kMostlyControls &&
           (valid || controls * 100 <= size * kSomeControls);
}

bool TextFile::isTextFile(const QString& fileName, QString* error) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString() + QStringLiteral(": ") + fileName;
        return false;
    }
    const QByteArray start = file.read(kSniffSize);
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString() + QStringLiteral(": ") + fileName;
        return false;
    }
    if (!looksLikeText(start)) {
        *error = QFileInfo(fileName).absoluteFilePath() +
                 QStringLiteral(" does not look like a text file");
        return false;
    }
    return true;
}

QStringList TextFile::splitLines(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r')) {
            lines << text.mid(start, i - start).toString();
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines << text.mid(start).toString();
    }
    return lines;
}

bool TextFile::readLines(const QString& fileName, QStringList* lines, QString* error) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    *lines = splitLines(decodeStored(bytes));
    return true;
}
