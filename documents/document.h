#pragma once

#include <QList>
#include <QString>

// One chapter of a document: a book's chapter, or the whole of any other document.
struct DocumentChapter {
    QString title;  // from the document's table of contents; empty when it has none
    QString text;   // plain text: lines end with '\n', paragraphs are parted by an empty line
};

// What a document holds for reading aloud.
struct Document {
    // The most text one document may hold: 16 million characters, some 15 hours of speech
    // (five times "War and Peace").
    static constexpr qsizetype kLargestText = 16LL * 1024 * 1024;
    static QString tooMuchText();

    QString title;                    // from the document's own metadata; empty when none
    QList<DocumentChapter> chapters;  // at least one when error is empty
    QString error;                    // why the document cannot be read; empty when it can

    bool ok() const { return error.isEmpty(); }
    // The chapters one after the other, parted by an empty line, each headed by its title
    // when it has one and its text does not already begin with it.
    QString wholeText() const;
};
