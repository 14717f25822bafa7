#pragma once

#include <QString>
#include <atomic>

// HTML and Markdown as a reader wants to hear them: no markup, paragraphs kept as paragraphs,
// a table read row by row (the cells of a row on one line, parted by a blank), an image read
// as its description (alt text) where it has one, and nothing for an image without. Qt lays
// the text out as it reads it, with fonts: the program must have a QGuiApplication. A page is
// laid out piece by piece (HtmlPieces), so that time and memory stay bounded whatever its size
// and nesting; cancel, when given and set, stops the reading between two pieces.
class HtmlText {
  public:
    struct Result {
        QString title;         // the <title> of an HTML page, the title: of a Markdown file's
                               // front matter; empty when none
        QString text;          // lines end with '\n', paragraphs are parted by an empty line
        bool stopped = false;  // cancel was set before the page was all read
    };
    static Result fromHtml(const QString& html, const std::atomic<bool>* cancel = nullptr);
    // Markdown as its rendered page reads: raw HTML in it read as HTML (comments left out), a
    // YAML front matter at its top not read, its title: taken as the title.
    static Result fromMarkdown(const QString& markdown, const std::atomic<bool>* cancel = nullptr);
    // Decodes HTML bytes by their byte order mark or <meta charset>, UTF-8 otherwise.
    static QString decodeHtml(const QByteArray& bytes);
};
