#pragma once

#include <QPlainTextEdit>

// The text editor of an article: plain text with the caret, selection and scrolling calls the
// reading commands use to follow the voice.
class TMyPlusMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    // Marks what an article's editor copies or cuts, so that the clipboard watcher can tell
    // the program's own copies from other programs'.
    static const QString kOwnCopyFormat;

    explicit TMyPlusMemo(QWidget* parent = nullptr);

    QString Text() const { return toPlainText(); }
    void SetText(const QString& text) { setPlainText(text); }
    int LineCount() const;
    // Caret position, set with clamping to 0 … text length.
    int CaretPos() const { return textCursor().position(); }
    void SetCaretPos(int position);
    int SelLength() const;
    // Selects length characters from the caret.
    void SetSelLength(int length);
    void ScrollInView() { ensureCursorVisible(); }
    void ScrollToLine(int line);
    QString TextBetween(int from, int to) const;
    // The character at a position, or a null character past the end (no copy of the text).
    QChar CharAt(int position) const { return document()->characterAt(position); }
    int TextLength() const { return int(document()->characterCount()) - 1; }
    void SetBackground(const QColor& color);

  Q_SIGNALS:
    void focused();

  protected:
    void focusInEvent(QFocusEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
};
