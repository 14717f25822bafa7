#include "articles/articletext.h"

const QString ArticleText::kFileMarker = QStringLiteral("~~FILE~~");

QString ArticleText::TooLargeText(qsizetype size) {
    constexpr double kMillion = 1e6;
    return QStringLiteral(
               "The text has %1 million characters: a pasted or copied article holds "
               "at most %2 million. Save the text in a text file and open it with "
               "Text File; a text file is read from the disk, whatever its size.")
        .arg(QString::number(double(size) / kMillion, 'f', 1))
        .arg(kLargestText / 1000000);
}

const QString ArticleText::kUntitled = QStringLiteral("Untitled");

bool ArticleText::IsTitleChar(char32_t c) {
    return QChar::isLetter(c) || QChar::isMark(c) ||
           QChar::category(c) == QChar::Number_DecimalDigit || c == U'_';
}

QString ArticleText::MakeTitle(const QString& text, int limit) {
    QString result;
    for (qsizetype i = 0; i < text.size() && result.size() < limit; ++i) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        if (IsTitleChar(c)) {
            if (pair && result.size() + 2 > limit) {
                break;  // half a character is no character
            }
            result += QStringView(text).mid(i, pair ? 2 : 1);
        } else if (result.isEmpty() || result.back() != QLatin1Char(' ')) {
            result += QLatin1Char(' ');
        }
        i += pair ? 1 : 0;
    }
    result = result.trimmed();
    result.replace(QLatin1Char(' '), QLatin1Char('_'));
    return result.isEmpty() && !IsBlank(text) ? kUntitled : result;
}

QString ArticleText::FileArticleText(const QString& path) {
    return kFileMarker + path + QStringLiteral("\r\r") +
           QStringLiteral(
               "Large text files are not loaded into Quillsong.  They are read directly "
               "from the file itself.");
}

QString ArticleText::FileArticlePath(const QString& text) {
    QString path = Trimmed(text.mid(8));
    const qsizetype cr = path.indexOf(QLatin1Char('\r'));
    if (cr >= 1) {
        path.truncate(cr);
    }
    // The editor keeps line breaks as line feeds.
    const qsizetype lf = path.indexOf(QLatin1Char('\n'));
    if (lf >= 1) {
        path.truncate(lf);
    }
    return path;
}

QString ArticleText::Trimmed(const QString& text) {
    qsizetype start = 0, end = text.size();
    while (start < end && text[start].unicode() <= ' ') {
        ++start;
    }
    while (end > start && text[end - 1].unicode() <= ' ') {
        --end;
    }
    return text.mid(start, end - start);
}

int ArticleText::LineCount(const QString& text) {
    return text.isEmpty() ? 0 : int(text.count(QLatin1Char('\n'))) + 1;
}
