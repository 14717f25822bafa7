#pragma once

#include <QString>

// HTML and Markdown as a reader wants to hear them: no markup, paragraphs kept as paragraphs,
// a table read row by row (the cells of a row on one line, parted by a blank), an image read
// as its description (alt text) where it has one, and nothing for an image without. Qt lays
// the text out as it reads it, with fonts: the program must have a QGuiApplication.
class HtmlText {
  public:
    struct Result {
        QString title;  // the <title> of an HTML document; empty for Markdown and when none
        QString text;   // lines end with '\n', paragraphs are parted by an empty line
    };
    static Result fromHtml(const QString& html);
    static Result fromMarkdown(const QString& markdown);
    // Decodes HTML bytes by their byte order mark or <meta charset>, UTF-8 otherwise.
    static QString decodeHtml(const QByteArray& bytes);
};
