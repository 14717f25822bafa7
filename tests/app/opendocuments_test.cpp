// Documents opened into the article list through the real main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/articlelistqueue.h"
#include "app/form1.h"
#include "articles/articlestore.h"
#include "articles/articletext.h"
#include "articles/documenttextfile.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"
#include "tests/documents/epubmaker.h"

namespace {

const QString kKey = QStringLiteral("Software\\HalcyxTech\\Quillsong");

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small book of two chapters with a table of contents.
bool WriteBook(const QString& path) {
    EpubBook book;
    book.title = QStringLiteral("Garden Book");
    book.pages = {TextPage(QStringLiteral("one.xhtml"), QStringLiteral("Seeds"),
                           QStringLiteral("<h1>Seeds</h1><p>Sow in spring.</p>")),
                  TextPage(QStringLiteral("two.xhtml"), QStringLiteral("Harvest"),
                           QStringLiteral("<h1>Harvest</h1><p>Pick in autumn.</p>"))};
    return WriteEpub(path, book);
}

class OpenDocuments : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        testprofile::Store(kKey, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    }

    static QList<TMemoEntry*> Added(const TForm1& form, int before) {
        QList<TMemoEntry*> entries;
        for (int i = before; i < form.List()->VisibleCount(); ++i) {
            entries << form.List()->Entries[i];
        }
        return entries;
    }

    QTemporaryDir dir_;
    CapturedMessages messages_;
};

}  // namespace

TEST_F(OpenDocuments, EachKindBecomesArticlesAndABadDocumentDoesNotStopTheFilesAfterIt) {
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    auto form = StartMainWindow();
    const QString page = dir_.filePath(QStringLiteral("page.html"));
    WriteBytes(page,
               "<html><head><title>Garden Notes</title></head><body><p>Water the "
               "<b>roses</b>.</p><p><img src=x.png alt=\"A red rose\"></p></body></html>");
    const QString broken = dir_.filePath(QStringLiteral("broken.epub"));
    WriteBytes(broken, QByteArray(300, 'x'));
    const QString notes = dir_.filePath(QStringLiteral("long notes.md"));
    QByteArray markdown = "# Long notes\n\n";
    for (int i = 0; markdown.size() < 6000; ++i) {
        markdown += "Paragraph " + QByteArray::number(i) + " of the *notes*.\n\n";
    }
    WriteBytes(notes, markdown);
    const QString book = dir_.filePath(QStringLiteral("book.epub"));
    ASSERT_TRUE(WriteBook(book));
    const int before = form->List()->VisibleCount() == 1 &&
                               ArticleText::IsBlank(form->List()->Entries[0]->GetArticleText())
                           ? 0
                           : form->List()->VisibleCount();

    form->OpenTextFiles({page, broken, notes, book});

    EXPECT_EQ(messages_.errors,
              QStringList{broken + QStringLiteral(" cannot be opened: it is not a zip archive or "
                                                  "it is damaged")});
    const QList<TMemoEntry*> added = Added(*form, before);
    ASSERT_EQ(added.size(), 4);
    EXPECT_EQ(added[0]->Title(), QStringLiteral("Garden_Notes")) << "the page's own title";
    EXPECT_EQ(added[0]->GetArticleText(), QStringLiteral("Water the roses.\n\nA red rose"));
    EXPECT_FALSE(added[0]->FileEntry());

    // The long notes are kept in a file of the program's own and read from there.
    ASSERT_TRUE(added[1]->FileEntry());
    const QString kept = ArticleText::FileArticlePath(added[1]->GetArticleText());
    EXPECT_EQ(QFileInfo(kept).absolutePath(), QDir(DocumentTextFile::folder()).absolutePath());
    EXPECT_TRUE(QFileInfo(kept).fileName().startsWith(QStringLiteral("long_notes ")));
    const QByteArray keptText = Bytes(kept);
    EXPECT_TRUE(keptText.startsWith("Long notes\r\n\r\nParagraph 0 of the notes.\r\n\r\n"));
    EXPECT_FALSE(keptText.contains('*'));
    EXPECT_EQ(added[1]->Title(), QStringLiteral("long_notes")) << "no title of its own";

    // One article per chapter, titled from the table of contents and numbered.
    EXPECT_EQ(added[2]->Title(), QStringLiteral("01_Seeds")) << "numbered, for files in order";
    EXPECT_EQ(added[2]->GetArticleText(), QStringLiteral("Seeds\n\nSow in spring."));
    EXPECT_EQ(added[3]->Title(), QStringLiteral("02_Harvest"));
    // Their files carry the book as their album; other documents have none.
    EXPECT_EQ(added[2]->Album(), QStringLiteral("Garden Book"));
    EXPECT_EQ(ArticleListQueue(*form->List()).at(before + 3).album, QStringLiteral("Garden Book"));
    EXPECT_EQ(added[0]->Album(), QString());

    // Deleting the article deletes its kept text; a user's own file is never touched.
    const QString own = dir_.filePath(QStringLiteral("own.txt"));
    WriteBytes(own, QByteArray(6000, 'a'));
    form->OpenTextFiles({own});
    TMemoEntry* ownEntry = form->List()->Entries[form->List()->VisibleCount() - 1];
    ASSERT_TRUE(ownEntry->FileEntry());
    form->List()->DeleteMemoEntry(added[1]);
    EXPECT_FALSE(QFileInfo::exists(kept));
    form->List()->DeleteMemoEntry(ownEntry);
    EXPECT_TRUE(QFileInfo::exists(own));
}

TEST_F(OpenDocuments, ABookIsOneArticleInSingleArticleModeAndItsKeptTextGoesWithIt) {
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("0"));
    auto form = StartMainWindow();
    const QString book = dir_.filePath(QStringLiteral("book.epub"));
    ASSERT_TRUE(WriteBook(book));
    form->OpenTextFiles({book});
    ASSERT_EQ(form->List()->VisibleCount(), 1);
    EXPECT_EQ(form->List()->Entries[0]->GetArticleText(),
              QStringLiteral("Seeds\n\nSow in spring.\n\nHarvest\n\nPick in autumn."));
    EXPECT_EQ(form->List()->Entries[0]->Title(), QStringLiteral("Garden_Book"));

    // A large document replaced by the next one opened: its kept text goes with it.
    const QString page = dir_.filePath(QStringLiteral("big.htm"));
    WriteBytes(page, "<p>" + QByteArray(3000, 'b') + "</p><p>" + QByteArray(3000, 'c') + "</p>");
    form->OpenTextFiles({page});
    ASSERT_TRUE(form->List()->Entries[0]->FileEntry());
    const QString kept = ArticleText::FileArticlePath(form->List()->Entries[0]->GetArticleText());
    EXPECT_TRUE(QFileInfo::exists(kept));
    form->OpenTextFiles({book});
    EXPECT_FALSE(QFileInfo::exists(kept));
    EXPECT_TRUE(messages_.errors.isEmpty())
        << messages_.errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(OpenDocuments, FilesDroppedOnAnArticleOpenAsArticlesWhileDroppedTextIsTyped) {
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    auto form = StartMainWindow();
    const QString page = dir_.filePath(QStringLiteral("dropped.html"));
    WriteBytes(page, "<title>Dropped Page</title><p>It came by mouse.</p>");
    TMemoEntry* first = form->List()->Entries[0];
    first->SetArticleText(QStringLiteral("Kept as it is."));
    QWidget* target = first->Editor()->viewport();
    const QPoint middle = target->rect().center();
    const int before = form->List()->VisibleCount();

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(page)});
    QDragEnterEvent enter(middle, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted()) << "the window takes the files the article leaves";
    QDropEvent drop(QPointF(middle), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->List()->VisibleCount() == before + 1; }, 10000));
    TMemoEntry* added = form->List()->Entries[before];
    EXPECT_EQ(added->Title(), QStringLiteral("Dropped_Page"));
    EXPECT_EQ(added->GetArticleText(), QStringLiteral("It came by mouse."));
    EXPECT_EQ(first->GetArticleText(), QStringLiteral("Kept as it is.")) << "no path typed into it";

    // Text dragged from another program is still dropped into the article.
    QMimeData text;
    text.setText(QStringLiteral(" And more."));
    QDragEnterEvent textEnter(middle, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &textEnter);
    EXPECT_TRUE(textEnter.isAccepted());
    QDropEvent textDrop(QPointF(middle), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &textDrop);
    EXPECT_TRUE(first->GetArticleText().contains(QStringLiteral("And more.")));
    EXPECT_EQ(form->List()->VisibleCount(), before + 1);
}

TEST_F(OpenDocuments, AKeptTextGoesWithItsDeletedArticleAtExitAndTheModeStaysWhileOpening) {
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    auto form = StartMainWindow();
    const QString book = dir_.filePath(QStringLiteral("book.epub"));
    ASSERT_TRUE(WriteBook(book));
    const QString big = dir_.filePath(QStringLiteral("big.md"));
    WriteBytes(big, "Words. " + QByteArray("word ").repeated(2000));
    const QString other = dir_.filePath(QStringLiteral("other.md"));
    WriteBytes(other, "More. " + QByteArray("more ").repeated(2000));
    // A switch to single-article mode asked for while the book is read waits: the book
    // still becomes one article per chapter, and nothing in the list is replaced.
    QTimer::singleShot(0, form.get(), [&form] { form->SwitchMode(0); });
    form->List()->Entries[0]->SetArticleText(QStringLiteral("Already here."));
    const int before = form->List()->VisibleCount();
    form->OpenTextFiles({book, big, other});
    EXPECT_EQ(form->Preferences().ML_ListMode, 1);
    ASSERT_EQ(form->List()->VisibleCount(), before + 4);

    // A deleted article waits in the list to be freed; at exit its kept text goes, while the
    // kept text of an article still in the list stays for the next start.
    TMemoEntry* deleted = form->List()->Entries[before + 2];
    TMemoEntry* kept = form->List()->Entries[before + 3];
    const QString deletedText = ArticleText::FileArticlePath(deleted->GetArticleText());
    const QString keptText = ArticleText::FileArticlePath(kept->GetArticleText());
    ASSERT_TRUE(QFileInfo::exists(deletedText));
    form->DeleteArticle(deleted);
    form->ExitQuillsongClick();
    EXPECT_FALSE(QFileInfo::exists(deletedText));
    EXPECT_TRUE(QFileInfo::exists(keptText));
}

TEST_F(OpenDocuments, EscapeStopsAnOpeningAndTheEndDoesNotWaitForADeepPage) {
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    auto form = StartMainWindow();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QByteArray page = "<html><body>";
    for (int i = 0; page.size() < 4 * 1024 * 1024; ++i) {
        page += "<p>Paragraph " + QByteArray::number(i) + " of a long page.</p>";
    }
    const QString large = dir_.filePath(QStringLiteral("large.html"));
    WriteBytes(large, page);
    const auto titles = [&form] {
        QStringList titles;
        for (int i = 0; i < form->List()->VisibleCount(); ++i) {
            titles << form->List()->Entries[i]->Title();
        }
        return titles;
    };
    QTimer::singleShot(0, form.get(), [&form] { QTest::keyClick(form.get(), Qt::Key_Escape); });
    form->OpenTextFiles({large});
    EXPECT_FALSE(titles().contains(QStringLiteral("large"))) << "the stopped page is not added";
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("Opening of large.html stopped"));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join('\n').toStdString();

    // Nested a hundred thousand deep: the program's end while it opens ends the opening too.
    const QString deep = dir_.filePath(QStringLiteral("deep.html"));
    WriteBytes(deep, QByteArray("<div>").repeated(100000) + "Deep." +
                         QByteArray("</div>").repeated(100000));
    QTimer::singleShot(0, form.get(), [&form] { form->ExitQuillsongClick(); });
    form->OpenTextFiles({deep});
    EXPECT_FALSE(titles().contains(QStringLiteral("deep")));
}

TEST_F(OpenDocuments, EveryFileAfterARefusedOneOpensAndTheStoreHoldsThemAll) {
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    auto form = StartMainWindow();
    const QString first = dir_.filePath(QStringLiteral("first.txt"));
    const QString empty = dir_.filePath(QStringLiteral("empty.txt"));
    const QString binary = dir_.filePath(QStringLiteral("binary.txt"));
    const QString plain = dir_.filePath(QStringLiteral("plain.txt"));
    WriteBytes(first, "The first file.");
    WriteBytes(empty, "");
    WriteBytes(binary, QByteArray("\x7f"
                                  "ELF\x02\x01\x01\x00\x00\x00",
                                  10)
                           .repeated(50));
    WriteBytes(plain, "The plain file.");
    form->OpenTextFiles({first, empty, binary, plain});

    ASSERT_EQ(messages_.all.size(), 2) << messages_.all.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(messages_.all[0].contains(QStringLiteral("empty.txt is empty")));
    EXPECT_TRUE(messages_.all[1].contains(QStringLiteral("binary.txt")));
    const ArticleStore::ReadResult stored = ArticleStore::Read(TForm1::StoreFileName());
    QStringList titles;
    QStringList texts;
    for (const StoredArticle& article : stored.Articles) {
        titles << article.Title;
        texts << article.Text;
    }
    EXPECT_EQ(titles, QStringList({QStringLiteral("first"), QStringLiteral("plain")}));
    EXPECT_EQ(texts,
              QStringList({QStringLiteral("The first file."), QStringLiteral("The plain file.")}));
}

TEST_F(OpenDocuments, PastingIntoALargeFilesArticleSaysWhyNothingWasPasted) {
    testprofile::Store(kKey, QStringLiteral("CB_Monitor"), QStringLiteral("false"));
    auto form = StartMainWindow();
    const QString large = dir_.filePath(QStringLiteral("large.txt"));
    WriteBytes(large, QByteArray("A sentence of a large file. ").repeated(400));
    form->OpenTextFiles({large});
    TMemoEntry* entry = form->List()->CurrentEntry();
    ASSERT_TRUE(entry && entry->FileEntry());
    const QString text = entry->GetArticleText();
    QApplication::clipboard()->setText(QStringLiteral("Copied words"));

    form->PasteClick();  // the toolbar's Paste
    QTest::keyClick(entry->Editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entry->GetArticleText(), text);
    ASSERT_EQ(messages_.all.size(), 2) << messages_.all.join(QLatin1Char('|')).toStdString();
    for (const QString& message : std::as_const(messages_.all)) {
        EXPECT_TRUE(message.startsWith(QStringLiteral("Nothing was pasted")));
        EXPECT_TRUE(message.contains(QFileInfo(large).absoluteFilePath()));
    }
}
