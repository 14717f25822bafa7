#pragma once

#include <QHash>
#include <QList>
#include <QString>

// Cuts a web page into pieces that Qt's rich text lays out in bounded time and memory: its
// cost grows with the square of the nesting and its memory with the size of what it is given.
// Each piece is a page of its own: the head of the page (title, style sheets), the elements
// open where it begins opened again, its part of the body, and those elements closed. Pieces
// are cut before a block element (not within a table cell or preformatted text, unless it runs
// on for several pieces' worth), so their texts, one after the other, are the text of the
// whole page. On the way, elements nested
// deeper than kDeepest lose their tags (their text stays), and <template> content, which a
// browser never shows, is left out.
class HtmlPieces {
  public:
    static constexpr int kDeepest = 128;
    static constexpr qsizetype kPieceSize = 256 * 1024;

    explicit HtmlPieces(const QString& html);
    // The next piece; false once the page is all given out.
    bool next(QString* piece);
    // How many start tags lost to nesting deeper than kDeepest so far.
    qsizetype flattened() const { return m_flattened; }

  private:
    struct Open {
        QString name;
        QString tag;  // as written, to open it again in the next piece
    };
    enum class Token { Text, StartTag, EndTag, Other };

    Token scan(qsizetype* end, QString* name, bool* selfClosing) const;
    qsizetype rawTextEnd(qsizetype from, const QString& name) const;
    qsizetype templateEnd(qsizetype from) const;
    void startPiece();
    bool closePiece(QString* piece);
    bool startTag(const QString& name, QStringView tag, bool selfClosing);
    bool endTag(const QString& name);
    void closeImplied(const QString& name);
    void popTo(const QString& name, const QStringList& stops);
    bool canCut() const;

    QString m_html;
    qsizetype m_pos = 0;
    bool m_inBody = true;
    QString m_head;     // everything up to and with <body>
    QString m_current;  // the piece being made
    qsizetype m_bodyInPiece = 0;
    QList<Open> m_open;
    QHash<QString, int> m_dropped;  // start tags dropped for depth, by name, still unclosed
    qsizetype m_flattened = 0;
    bool m_done = false;
};
