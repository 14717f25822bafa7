#pragma once

#include <QList>
#include <QString>

#include "documents/document.h"

// The articles an opened document becomes: one per chapter of a book when the list holds
// several articles, else one for the whole document. A text of kLargeText bytes or more is
// kept in a file of the program's own (DocumentTextFile) and the article stands for that file.
class DocumentArticles {
  public:
    static constexpr qsizetype kLargeText = 5120;

    struct Article {
        QString title;  // what the article's title is made from
        QString album;  // a chapter's book: its title, else the file's name; empty otherwise
        QString text;   // the text, or the text of a file article
        bool fileArticle = false;
    };

    // Empty with error set when a file could not be written; the files already written for
    // the document are then removed again.
    static QList<Article> make(const Document& document, const QString& documentPath,
                               bool perChapter, QString* error);
};
