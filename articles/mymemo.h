#pragma once

#include <QList>
#include <QPlainTextEdit>

// The text editor of an article: plain text with the caret, selection and scrolling calls the
// reading commands use to follow the voice.
//
// A line of more than kLongestLine characters (minified text) would be laid out whole at every
// showing and resize, which takes seconds for a few megabytes. Such a text is shown with its
// long lines broken into pieces of at most kPieceLength characters, after a blank where there is
// one; it is then read-only, and every position, the text and what is copied stay those of the
// text as it is.
class TMyPlusMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    // Marks what an article's editor copies or cuts, so that the clipboard watcher can tell
    // the program's own copies from other programs'.
    static const QString kOwnCopyFormat;
    static constexpr int kLongestLine = 10000;
    static constexpr int kPieceLength = 2000;

    explicit TMyPlusMemo(QWidget* parent = nullptr);

    QString Text() const { return m_breaks.isEmpty() ? toPlainText() : m_text; }
    void SetText(const QString& text);
    // Inserts text at the caret, in place of the selection; false, after telling the user, when
    // the article would hold more than ArticleText::kLargestText characters.
    bool InsertText(const QString& text);
    // The text has a line too long to be laid out whole: it is shown in pieces, read-only.
    bool ShownInPieces() const { return !m_breaks.isEmpty(); }
    int LineCount() const;
    // Caret position, set with clamping to 0 … text length.
    int CaretPos() const { return ToText(textCursor().position()); }
    void SetCaretPos(int position);
    int SelStart() const { return ToText(textCursor().selectionStart()); }
    int SelLength() const;
    // Selects length characters from the caret.
    void SetSelLength(int length);
    void ScrollInView() { ensureCursorVisible(); }
    void ScrollToLine(int line);
    QString TextBetween(int from, int to) const;
    // The character at a position (a line break as the paragraph separator), or a null
    // character past the end (no copy of the text).
    QChar CharAt(int position) const;
    int TextLength() const;
    void SetBackground(const QColor& color);

  Q_SIGNALS:
    void focused();

  protected:
    void focusInEvent(QFocusEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    // Files dropped on an article are left to the window, which opens them as articles.
    bool canInsertFromMimeData(const QMimeData* source) const override;

  private:
    // A position in the text as shown, and back.
    int ToShown(int position) const;
    int ToText(int shown) const;

    QString m_text;             // the text as it is, while it is shown in pieces
    QList<qsizetype> m_breaks;  // positions in m_text before which a line break is shown
};
