#include "documents/document.h"

QString Document::wholeText() const {
    QString whole;
    for (const DocumentChapter& chapter : chapters) {
        const QString text = chapter.text.trimmed();
        if (text.isEmpty()) {
            continue;
        }
        const QString part = chapter.title.isEmpty() || text.startsWith(chapter.title)
                                 ? text
                                 : chapter.title + QStringLiteral("\n\n") + text;
        if (!whole.isEmpty()) {
            whole += QStringLiteral("\n\n");
        }
        whole += part;
    }
    return whole;
}

QString Document::tooMuchText() {
    return QStringLiteral(
               "it holds more than %1 million characters of text, the most a document "
               "may")
        .arg(kLargestText >> 20);
}
