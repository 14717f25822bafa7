#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Builds the text of a document as a reader wants to hear it, from its parts as a parser meets
// them: paragraphs parted by an empty line, line breaks kept within a paragraph, blanks run
// together, and a table read row by row, the cells of a row on one line parted by a comma
// (empty cells left out; the paragraphs of a cell, and any table within it, on one line).
class PlainTextBuilder {
  public:
    PlainTextBuilder();

    // Text of the current paragraph. Line ends in it count as blanks.
    void addText(const QString& text);
    void addLineBreak();
    // An image, read as its description (alt text), or its title when it has no description;
    // nothing when it has neither.
    void addImage(const QString& description, const QString& title);
    // A paragraph begun within another (a text box in it) ends the text before it as a
    // paragraph of its own.
    void beginParagraph() { endParagraph(); }
    void endParagraph();

    void beginTable() { endParagraph(); }
    void endTable() { endRow(); }
    void beginRow() { endRow(); }
    void endRow();
    void beginCell();
    void endCell();

    // The text so far; what is still open counts as ended.
    QString text() const;
    // About how many characters the text has so far, without making it.
    qsizetype size() const { return m_size; }

  private:
    // The whole document, or one table cell being read.
    struct Part {
        QStringList paragraphs;
        QStringList lines;     // of the current paragraph; never empty
        QStringList rowCells;  // of the current row of a table in this part
    };
    static void endParagraph(Part& part);
    static void endRow(Part& part);
    static QString cellText(Part& cell);

    QList<Part> m_parts;  // the document first, then the cells being read, innermost last
    qsizetype m_size = 0;
};
