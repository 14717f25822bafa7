#include "articles/mymemo.h"

#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <memory>

const QString TMyPlusMemo::kOwnCopyFormat = QStringLiteral("application/x-quillsong-own-copy");

TMyPlusMemo::TMyPlusMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
}

int TMyPlusMemo::LineCount() const {
    return document()->isEmpty() ? 0 : blockCount();
}

void TMyPlusMemo::SetCaretPos(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, position, int(document()->characterCount()) - 1));
    setTextCursor(cursor);
}

int TMyPlusMemo::SelLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TMyPlusMemo::SetSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(qBound(0, start + length, int(document()->characterCount()) - 1),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TMyPlusMemo::ScrollToLine(int line) {
    verticalScrollBar()->setValue(line);
}

QString TMyPlusMemo::TextBetween(int from, int to) const {
    return toPlainText().mid(from, qMax(0, to - from));
}

void TMyPlusMemo::SetBackground(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void TMyPlusMemo::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    Q_EMIT focused();
}

QMimeData* TMyPlusMemo::createMimeDataFromSelection() const {
    // The editor's own mime data lists only the formats it makes itself; a copy of them all
    // can carry the mark as well.
    const std::unique_ptr<QMimeData> selection(QPlainTextEdit::createMimeDataFromSelection());
    auto* copied = new QMimeData;
    for (const QString& format : selection->formats()) {
        copied->setData(format, selection->data(format));
    }
    copied->setData(kOwnCopyFormat, QByteArrayLiteral("1"));
    return copied;
}
