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

bool ArticleText::IsTitleChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}

QString ArticleText::MakeTitle(const QString& text, int limit) {
    QString result;
    for (qsizetype i = 0; i < text.size() && result.size() < limit; ++i) {
        if (IsTitleChar(text[i])) {
            result += text[i];
        } else if (result.isEmpty() || result.back() != QLatin1Char(' ')) {
            result += QLatin1Char(' ');
        }
    }
    result = result.trimmed();
    result.replace(QLatin1Char(' '), QLatin1Char('_'));
    return result;
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
