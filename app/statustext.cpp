#include "app/statustext.h"

const QString StatusText::kProgramTitle = QStringLiteral("Quillsong MP3");

QString StatusText::ArticleCountText(int articleCount, bool onlyArticleBlank) {
    const int count = (articleCount == 1 && onlyArticleBlank) ? 0 : articleCount;
    if (count == 0) {
        return QStringLiteral("No articles");
    }
    if (count == 1) {
        return QStringLiteral("1 article");
    }
    return QString::number(count) + QStringLiteral(" articles");
}

QString StatusText::ReadingShortText(int position, int count) {
    return QStringLiteral("Article ") + QString::number(position) + QStringLiteral(" of ") +
           QString::number(count);
}

QString StatusText::ReadingText(int position, int count, const QString& title) {
    const QString shortText = ReadingShortText(position, count);
    return title.trimmed().isEmpty() ? shortText : title + QStringLiteral(" : ") + shortText;
}

QString StatusText::TrayTip(const QString& text) {
    return text.left(kTrayTipLength);
}
