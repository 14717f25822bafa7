// The article editor with texts whose lines are too long to be laid out whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>

#include "articles/articletext.h"
#include "articles/mymemo.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"

namespace {

// One line of words, no line break, of at least length characters.
QString WordsLine(int length) {
    QString text;
    for (int i = 0; text.size() < length; ++i) {
        text += QStringLiteral("word%1 ").arg(i);
    }
    return text;
}

// The longest block the editor holds: what it lays out at once.
int LongestBlock(const TMyPlusMemo& editor) {
    int longest = 0;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        longest = qMax(longest, block.length() - 1);
    }
    return longest;
}

}  // namespace

TEST(LongLines, AnOrdinaryTextIsShownWholeAndStaysEditable) {
    TMyPlusMemo editor;
    const QString text = QStringLiteral("First line\n") + WordsLine(TMyPlusMemo::kLongestLine - 20);
    editor.SetText(text);
    EXPECT_FALSE(editor.ShownInPieces());
    EXPECT_FALSE(editor.isReadOnly());
    EXPECT_EQ(editor.document()->blockCount(), 2);
    EXPECT_EQ(editor.Text(), text);
}

TEST(LongLines, ALongLineIsShownInPiecesWithTheTextItsPositionsAndItsCopyUnchanged) {
    TMyPlusMemo editor;
    const QString line = WordsLine(TMyPlusMemo::kLongestLine * 5);
    const QString text = QStringLiteral("Title line\n") + line + QStringLiteral("\nLast line");
    editor.SetText(text);
    ASSERT_TRUE(editor.ShownInPieces());
    EXPECT_TRUE(editor.isReadOnly());
    EXPECT_GT(editor.document()->blockCount(), 10);
    EXPECT_LE(LongestBlock(editor), TMyPlusMemo::kPieceLength);
    EXPECT_EQ(editor.Text(), text);
    EXPECT_EQ(editor.TextLength(), text.size());
    EXPECT_EQ(editor.LineCount(), 3);
    // Every piece but the line's last ends after a blank: no word is cut.
    for (QTextBlock block = editor.document()->begin().next(); block.next().next().isValid();
         block = block.next()) {
        ASSERT_TRUE(block.text().endsWith(QLatin1Char(' '))) << block.text().toStdString();
    }
    // Positions are those of the text, on either side of a piece's end.
    for (const int position : {0, 11, 12, 2000, 2001, 20000, 40000, int(text.size())}) {
        editor.SetCaretPos(position);
        EXPECT_EQ(editor.CaretPos(), position);
        EXPECT_EQ(editor.CharAt(position),
                  position < text.size()
                      ? (text[position] == QLatin1Char('\n') ? QChar(QChar::ParagraphSeparator)
                                                             : text[position])
                      : QChar());
    }
    const int start = 30000;
    const int length = 9000;  // over several pieces
    editor.SetCaretPos(start);
    editor.SetSelLength(length);
    EXPECT_EQ(editor.SelStart(), start);
    EXPECT_EQ(editor.SelLength(), length);
    const QString shown = editor.textCursor().selectedText();
    EXPECT_GT(shown.count(QChar(QChar::ParagraphSeparator)), 3)
        << "the selection shown holds the breaks between its pieces";
    EXPECT_EQ(shown.size() - shown.count(QChar(QChar::ParagraphSeparator)), length);
    editor.copy();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), text.mid(start, length));
    EXPECT_TRUE(copied->hasFormat(TMyPlusMemo::kOwnCopyFormat));
    EXPECT_EQ(editor.TextBetween(start, start + length), text.mid(start, length));
}

TEST(LongLines, ALineWithoutBlanksIsBrokenBetweenCharactersAndNeverInsideOne) {
    TMyPlusMemo editor;
    // Characters outside the first plane are pairs of UTF-16 units: none is split.
    QString text;
    while (text.size() < TMyPlusMemo::kLongestLine * 3) {
        text += QStringLiteral("ab\U0001F600c");
    }
    editor.SetText(text);
    ASSERT_TRUE(editor.ShownInPieces());
    EXPECT_LE(LongestBlock(editor), TMyPlusMemo::kPieceLength);
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        ASSERT_FALSE(block.text().back().isHighSurrogate());
    }
    EXPECT_EQ(editor.Text(), text);
}

TEST(LongLines, APastedLongLineTurnsTheTextIntoPiecesAndAnOrdinaryOneBack) {
    TMyPlusMemo editor;
    editor.SetText(QStringLiteral("Before after"));
    editor.SetCaretPos(7);
    const QString pasted = WordsLine(TMyPlusMemo::kLongestLine * 2);
    QApplication::clipboard()->setText(pasted);
    editor.paste();
    EXPECT_TRUE(editor.ShownInPieces());
    EXPECT_EQ(editor.Text(), QStringLiteral("Before ") + pasted + QStringLiteral("after"));
    EXPECT_EQ(editor.CaretPos(), 7 + pasted.size()) << "the caret after what was pasted";

    EXPECT_TRUE(editor.isReadOnly());

    editor.SetText(QStringLiteral("Short again"));
    EXPECT_FALSE(editor.ShownInPieces());
    EXPECT_EQ(editor.Text(), QStringLiteral("Short again"));
    EXPECT_EQ(editor.document()->blockCount(), 1);
}

TEST(LongLines, APasteOverTheLargestArticleIsRefusedWithTheLimitAndOneUpToItIsTaken) {
    CapturedMessages messages;
    TMyPlusMemo editor;
    editor.SetText(QStringLiteral("Kept"));
    editor.SetCaretPos(4);
    const QString tooMuch =
        WordsLine(int(ArticleText::kLargestText)).left(ArticleText::kLargestText - 3);
    QApplication::clipboard()->setText(tooMuch);
    editor.paste();
    EXPECT_EQ(editor.Text(), QStringLiteral("Kept")) << "nothing of it is pasted";
    EXPECT_EQ(messages.all, QStringList{ArticleText::TooLargeText(ArticleText::kLargestText + 1)});
    EXPECT_TRUE(messages.all.value(0).contains(QStringLiteral("at most 10 million")));

    messages.clear();
    editor.SetCaretPos(4);
    EXPECT_TRUE(editor.InsertText(tooMuch.left(tooMuch.size() - 1)));
    EXPECT_EQ(editor.TextLength(), ArticleText::kLargestText);
    EXPECT_TRUE(messages.all.isEmpty());
}
