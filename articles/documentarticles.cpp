#include "articles/documentarticles.h"

#include <QFile>
#include <QFileInfo>

#include "articles/articletext.h"
#include "articles/documenttextfile.h"

namespace {

QString BaseTitle(const Document& document, const QString& documentPath) {
    return document.title.isEmpty() ? QFileInfo(documentPath).baseName() : document.title;
}

}  // namespace

QList<DocumentArticles::Article> DocumentArticles::make(const Document& document,
                                                        const QString& documentPath,
                                                        bool perChapter, QString* error) {
    QList<Document> parts;
    if (perChapter && document.chapters.size() > 1) {
        for (const DocumentChapter& chapter : document.chapters) {
            if (!chapter.text.trimmed().isEmpty()) {
                parts.append(Document{chapter.title, {chapter}, QString()});
            }
        }
    } else {
        parts.append(document);
    }
    QList<Article> articles;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        Article article;
        const bool chapter = parts.size() > 1;
        article.title =
            parts[i].title.isEmpty() ? BaseTitle(document, documentPath) : parts[i].title;
        if (chapter) {
            article.album = BaseTitle(document, documentPath);
            // Numbered, so that the files a book's chapters are read into list in its order.
            const int width = qMax(2, int(QString::number(parts.size()).size()));
            article.title =
                QStringLiteral("%1 %2").arg(i + 1, width, 10, QLatin1Char('0')).arg(article.title);
        }
        article.text = parts[i].wholeText();
        if (article.text.toUtf8().size() >= kLargeText) {
            const QString path = DocumentTextFile::write(documentPath, chapter ? int(i + 1) : 0,
                                                         article.text, error);
            if (path.isEmpty()) {
                for (const Article& written : std::as_const(articles)) {
                    DocumentTextFile::removeForArticle(written.text);
                }
                return {};
            }
            article.text = ArticleText::FileArticleText(path);
            article.fileArticle = true;
        }
        articles.append(article);
    }
    return articles;
}
