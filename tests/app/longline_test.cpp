// An article of one very long line (minified text) in the main window.
#include <gtest/gtest.h>

#include <QFile>

#include "app/form1.h"
#include "articles/articlestore.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

const QString kKey = QStringLiteral("Software\\HalcyxTech\\Quillsong");
constexpr qsizetype kLineLength = 20 * 1000 * 1000;

// The licence's words on one line of kLineLength characters.
QString MinifiedText() {
    QFile licence(QStringLiteral("/usr/share/common-licenses/GPL-3"));
    if (!licence.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString words = QString::fromUtf8(licence.readAll()).simplified() + QLatin1Char(' ');
    QString text;
    text.reserve(kLineLength);
    while (text.size() < kLineLength) {
        text += words;
    }
    text.truncate(kLineLength);
    return text;
}

}  // namespace

TEST(LongLineArticle, TheWindowShowsAListWithA20MegabyteLineAndKeepsItWhole) {
    SKIP_WITHOUT_SOUND_DEVICE();
    testprofile::Reset();
    CapturedMessages messages;
    const QString text = MinifiedText();
    ASSERT_EQ(text.size(), kLineLength);
    QString error;
    ASSERT_TRUE(ArticleStore::Write(TForm1::StoreFileName(),
                                    {{QStringLiteral("Minified"), QString(), text}}, &error))
        << error.toStdString();

    auto form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                                 {QStringLiteral("ML_ListMode"), QStringLiteral("1")}});
    ASSERT_TRUE(form->isVisible());
    TMemoListBox* list = form->List();
    ASSERT_EQ(list->VisibleCount(), 1);
    TMemoEntry* minified = list->Entries.first();
    EXPECT_FALSE(minified->isHidden());
    TMyPlusMemo* editor = minified->Editor();
    EXPECT_TRUE(editor->ShownInPieces());
    EXPECT_TRUE(editor->isReadOnly());
    EXPECT_GE(editor->document()->blockCount(), kLineLength / TMyPlusMemo::kPieceLength);
    EXPECT_EQ(minified->GetArticleText(), text);
    EXPECT_EQ(minified->LineCount(), 1);

    // The list works around it: a new article is added, made current, and the first selected
    // again.
    TMemoEntry* added = form->AddNewArticle();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(list->VisibleCount(), 2);
    EXPECT_EQ(list->CurrentEntry(), added);
    added->SetArticleText(QStringLiteral("A short article."));
    EXPECT_FALSE(added->Editor()->isReadOnly());
    list->MarkEntry(1);
    EXPECT_EQ(list->CurrentEntry(), minified);
    // A word deep in the line is selected where the reading would highlight it.
    const int deep = int(text.indexOf(QLatin1Char(' '), kLineLength / 2)) + 1;
    editor->SetCaretPos(deep);
    editor->SetSelLength(4);
    EXPECT_EQ(editor->SelStart(), deep);
    EXPECT_EQ(editor->TextBetween(deep, deep + 4), text.mid(deep, 4));

    form->ExitQuillsongClick();
    const ArticleStore::ReadResult stored = ArticleStore::Read(TForm1::StoreFileName());
    ASSERT_EQ(stored.Articles.size(), 2);
    EXPECT_TRUE(stored.Articles[0].Text == text) << "the line is saved whole, without breaks";
    EXPECT_EQ(stored.Articles[1].Text, QStringLiteral("A short article."));
    EXPECT_TRUE(messages.all.isEmpty()) << messages.all.join(QLatin1Char('\n')).toStdString();
}
