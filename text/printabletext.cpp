#include "text/printabletext.h"

#include <QChar>
#include <algorithm>
#include <iterator>

namespace {

constexpr int kCodeDigits = 4;
constexpr int kHex = 16;
// Marks that turn the direction of the text after them, so that a message reads otherwise
// than it is written.
constexpr char32_t kDirectionMarks[] = {0x061C, 0x200E, 0x200F, 0x202A, 0x202B, 0x202C,
                                        0x202D, 0x202E, 0x2066, 0x2067, 0x2068, 0x2069};

QString codePoint(char32_t c) {
    return QStringLiteral("U+%1").arg(uint(c), kCodeDigits, kHex, QLatin1Char('0')).toUpper();
}

}  // namespace

bool PrintableText::isHidden(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Surrogate:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return std::find(std::begin(kDirectionMarks), std::end(kDirectionMarks), c) !=
                   std::end(kDirectionMarks);
    }
}

QString PrintableText::escaped(QStringView text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        }
        if (isHidden(c)) {
            result += codePoint(c);
        } else {
            result += text.mid(i, pair ? 2 : 1);
        }
        i += pair ? 1 : 0;
    }
    return result;
}
