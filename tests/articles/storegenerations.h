#pragma once

#include <QList>
#include <QString>

#include "articles/articlestore.h"

// The article lists a store is written with, one per generation: a few thousand articles, every
// tenth of several kilobytes, each naming its generation, so two generations never read alike.
namespace storegenerations {

constexpr int kArticles = 3000;
constexpr int kLongEvery = 10;

inline QList<StoredArticle> Articles(int generation) {
    QList<StoredArticle> articles;
    const int count = kArticles + generation % 7;
    articles.reserve(count);
    for (int i = 0; i < count; ++i) {
        StoredArticle article;
        article.Title = QStringLiteral("Generation %1 article %2").arg(generation).arg(i);
        article.Voice = QStringLiteral("espeak-ng English");
        QString text =
            QStringLiteral("Article %1 of generation %2.\nIts second line.").arg(i).arg(generation);
        if (i % kLongEvery == 0) {
            const int sentences = 40 + (i * 7 + generation) % 80;
            text +=
                QLatin1Char('\n') + QStringLiteral("A longer sentence of the article %1 goes on. ")
                                        .arg(i)
                                        .repeated(sentences);
        }
        article.Text = text;
        articles << article;
    }
    return articles;
}

}  // namespace storegenerations
