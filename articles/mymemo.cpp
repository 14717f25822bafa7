#include "articles/mymemo.h"

#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>
#include <algorithm>
#include <memory>

#include "articles/articletext.h"
#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"

const QString TMyPlusMemo::kOwnCopyFormat = QStringLiteral("application/x-quillsong-own-copy");

namespace {

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Where the lines of text longer than TMyPlusMemo::kLongestLine are broken for showing: after
// the last blank of each piece when it has one in its second half, otherwise between two
// characters.
QList<qsizetype> LongLineBreaks(const QString& text) {
    QList<qsizetype> breaks;
    qsizetype lineStart = 0;
    const qsizetype size = text.size();
    while (lineStart < size) {
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0) {
            lineEnd = size;
        }
        for (qsizetype start = lineStart; lineEnd - lineStart > TMyPlusMemo::kLongestLine &&
                                          lineEnd - start > TMyPlusMemo::kPieceLength;) {
            const qsizetype limit = start + TMyPlusMemo::kPieceLength;
            qsizetype cut = limit;
            while (cut > start + TMyPlusMemo::kPieceLength / 2 && !IsBlank(text[cut - 1])) {
                --cut;
            }
            if (!IsBlank(text[cut - 1])) {
                cut = text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
            }
            breaks << cut;
            start = cut;
        }
        lineStart = lineEnd + 1;
    }
    return breaks;
}

}  // namespace

TMyPlusMemo::TMyPlusMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
}

void TMyPlusMemo::SetText(const QString& text) {
    m_breaks = LongLineBreaks(text);
    if (m_breaks.isEmpty()) {
        m_text.clear();
        setPlainText(text);
        return;
    }
    m_text = text;
    QString shown;
    shown.reserve(text.size() + m_breaks.size());
    qsizetype from = 0;
    for (const qsizetype cut : std::as_const(m_breaks)) {
        shown.append(QStringView(text).sliced(from, cut - from));
        shown.append(QLatin1Char('\n'));
        from = cut;
    }
    shown.append(QStringView(text).sliced(from));
    setPlainText(shown);
    setReadOnly(true);
}

bool TMyPlusMemo::InsertText(const QString& text) {
    const int start = SelStart();
    const int length = SelLength();
    const QString current = Text();
    // A short insertion into a text shown whole is the editor's own, with its undo step.
    if (!ShownInPieces() && text.size() <= kLongestLine && current.size() <= kLongestLine) {
        insertPlainText(text);
        return true;
    }
    const qsizetype size = current.size() - length + text.size();
    if (size > ArticleText::kLargestText) {
        UtilsClass::WriteDebugLine(QStringLiteral("Paste refused: %1 characters").arg(size));
        UserMessage::show(ArticleText::TooLargeText(size));
        return false;
    }
    QString joined = current;
    joined.replace(start, length, text);
    SetText(joined);
    SetCaretPos(int(start + text.size()));
    return true;
}

bool TMyPlusMemo::canInsertFromMimeData(const QMimeData* source) const {
    if (source && source->hasUrls()) {
        for (const QUrl& url : source->urls()) {
            if (url.isLocalFile()) {
                return false;
            }
        }
    }
    return QPlainTextEdit::canInsertFromMimeData(source);
}

void TMyPlusMemo::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !isReadOnly()) {
        InsertText(source->text());
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

int TMyPlusMemo::ToShown(int position) const {
    const auto before = std::upper_bound(m_breaks.cbegin(), m_breaks.cend(), position);
    return position + int(before - m_breaks.cbegin());
}

int TMyPlusMemo::ToText(int shown) const {
    // The n-th break is shown at its text position plus n.
    qsizetype low = 0, high = m_breaks.size();
    while (low < high) {
        const qsizetype mid = (low + high) / 2;
        if (m_breaks[mid] + mid < shown) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return shown - int(low);
}

int TMyPlusMemo::LineCount() const {
    if (ShownInPieces()) {
        return int(m_text.count(QLatin1Char('\n'))) + 1;
    }
    return document()->isEmpty() ? 0 : blockCount();
}

int TMyPlusMemo::TextLength() const {
    return ShownInPieces() ? int(m_text.size()) : int(document()->characterCount()) - 1;
}

QChar TMyPlusMemo::CharAt(int position) const {
    if (!ShownInPieces()) {
        return document()->characterAt(position);
    }
    if (position < 0 || position >= m_text.size()) {
        return QChar();
    }
    const QChar c = m_text[position];
    return c == QLatin1Char('\n') ? QChar(QChar::ParagraphSeparator) : c;
}

void TMyPlusMemo::SetCaretPos(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(ToShown(qBound(0, position, TextLength())));
    setTextCursor(cursor);
}

int TMyPlusMemo::SelLength() const {
    const QTextCursor cursor = textCursor();
    return ToText(cursor.selectionEnd()) - ToText(cursor.selectionStart());
}

void TMyPlusMemo::SetSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = ToText(cursor.selectionStart());
    cursor.setPosition(ToShown(start));
    cursor.setPosition(ToShown(qBound(0, start + length, TextLength())), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TMyPlusMemo::ScrollToLine(int line) {
    verticalScrollBar()->setValue(line);
}

QString TMyPlusMemo::TextBetween(int from, int to) const {
    return Text().mid(from, qMax(0, to - from));
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
    auto* copied = new QMimeData;
    if (ShownInPieces()) {
        // The text as it is, without the breaks it is shown with.
        copied->setText(m_text.mid(SelStart(), SelLength()));
    } else {
        // The editor's own mime data lists only the formats it makes itself; a copy of them
        // all can carry the mark as well.
        const std::unique_ptr<QMimeData> selection(QPlainTextEdit::createMimeDataFromSelection());
        for (const QString& format : selection->formats()) {
            copied->setData(format, selection->data(format));
        }
    }
    copied->setData(kOwnCopyFormat, QByteArrayLiteral("1"));
    return copied;
}
