#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <climits>

#include "articles/articlestore.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "articles/propertypanel.h"
#include "settings/preferences.h"
#include "speech/voicesource.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"

namespace {

class FakeVoices : public VoiceSource {
  public:
    QList<VoiceChoice> voices() const override { return choices; }
    QList<VoiceChoice> choices{{QStringLiteral("Mary"), true, true},
                               {QStringLiteral("Sam"), true, true},
                               {QStringLiteral("Mike"), false, true}};
};

class ArticleList : public ::testing::Test {
  protected:
    void SetUp() override {
        list_.Voices = &voices_;
        list_.ProcessEvents = [] {};
        list_.resize(400, 100);
    }

    void Multi(int visible) {
        list_.ListMode = 1;
        list_.SetVisibleEntries(visible);
    }
    QStringList Texts() const {
        QStringList texts;
        for (TMemoEntry* entry : list_.Entries) {
            texts << entry->GetArticleText();
        }
        return texts;
    }

    FakeVoices voices_;
    TMemoListBox list_;
    CapturedMessages captured_;
};

}  // namespace

TEST_F(ArticleList, EntriesShareTheHeightAndTheScrollBarPagesThroughTheRest) {
    Multi(3);
    for (int i = 1; i <= 4; ++i) {
        list_.Add(QStringLiteral("article %1").arg(i), QStringLiteral("Mary"));
    }
    EXPECT_EQ(list_.ScrollBar()->maximum(), 1);
    EXPECT_EQ(list_.ScrollBar()->value(), 1);
    EXPECT_TRUE(list_.Entries[0]->isHidden());
    EXPECT_FALSE(list_.Entries[1]->isHidden());
    EXPECT_FALSE(list_.Entries[3]->isHidden());
    EXPECT_EQ(list_.CurrentEntry(), list_.Entries[3]);
    list_.Add(QStringLiteral("article 5"), QString());
    EXPECT_EQ(list_.EntryHeight(), 33);
    EXPECT_FALSE(list_.ScrollBar()->isHidden());
    list_.ScrollBar()->setValue(0);  // the user drags the bar to the top
    EXPECT_FALSE(list_.Entries[0]->isHidden());
    EXPECT_TRUE(list_.Entries[3]->isHidden());

    TMemoListBox two;
    two.ProcessEvents = [] {};
    two.resize(400, 100);
    two.ListMode = 1;
    two.SetVisibleEntries(3);
    two.Add(QStringLiteral("a"), QString());
    two.Add(QStringLiteral("b"), QString());
    EXPECT_EQ(two.EntryHeight(), 50);
    EXPECT_TRUE(two.ScrollBar()->isHidden());
}

TEST_F(ArticleList, AnyNumberOfVisibleEntriesLaysTheEntriesOut) {
    Multi(INT_MAX);
    for (int i = 1; i <= 3; ++i) {
        list_.Add(QStringLiteral("article %1").arg(i), QString());
    }
    // Fewer entries than may be shown: they share the height, all shown, from any position.
    EXPECT_EQ(list_.EntryHeight(), 33);
    EXPECT_TRUE(list_.ScrollBar()->isHidden());
    list_.ScrollToTop(2);
    EXPECT_TRUE(list_.Entries[0]->isHidden());
    EXPECT_FALSE(list_.Entries[1]->isHidden());
    EXPECT_FALSE(list_.Entries[2]->isHidden());
    list_.ScrollToTop(1);
    for (TMemoEntry* entry : list_.Entries) {
        EXPECT_FALSE(entry->isHidden());
    }
    list_.MarkEntry(3);
    EXPECT_EQ(list_.CurrentEntry(), list_.Entries[2]);
}

TEST_F(ArticleList, AddReusesABlankEntryAndSingleModeReplaces) {
    Multi(3);
    list_.Add(QStringLiteral("one"), QStringLiteral("Mary"));
    TMemoEntry* blank = list_.Add(QStringLiteral("   \t"), QStringLiteral("Sam"));
    list_.Add(QStringLiteral("three"), QStringLiteral("Sam"));
    EXPECT_EQ(list_.Entries.size(), 2);
    EXPECT_EQ(blank->GetArticleText(), QStringLiteral("three"));
    EXPECT_EQ(blank->Voice(), QStringLiteral("Sam"));
    EXPECT_EQ(blank->Title(), QStringLiteral("three"));

    TMemoEntry* unknown = list_.Add(QStringLiteral("four"), QStringLiteral("Nobody"));
    EXPECT_EQ(unknown->Voice(), QString()) << "a voice the box does not offer selects nothing";
    EXPECT_EQ(unknown->PropertyPanel()->VoiceBox->currentIndex(), -1);

    list_.Add(QStringLiteral("   "), QString());
    list_.ListMode = 0;
    list_.Add(QStringLiteral("reuses the blank one"), QString());
    EXPECT_EQ(list_.Entries.size(), 4) << "single-article mode keeps the others when it reuses";
    list_.Add(QStringLiteral("replaces everything"), QString());
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("replaces everything")});
}

TEST_F(ArticleList, BlankEntriesAreRemovedFromTheEndOnly) {
    Multi(3);
    for (const char* text : {"word", "", "word", "", ""}) {
        list_.Entries.append(new TMemoEntry(&voices_, list_.ClientPanel()));
        list_.Entries.last()->SetArticleText(QString::fromLatin1(text));
    }
    list_.DeleteBlankEntries();
    EXPECT_EQ(Texts(), (QStringList{"word", "", "word"}));
}

TEST_F(ArticleList, ALockedEntryCannotBeRemovedByAnyPath) {
    Multi(3);
    list_.Add(QStringLiteral("one"), QString());
    TMemoEntry* reading = list_.Add(QStringLiteral("two"), QString());
    list_.Add(QStringLiteral("three"), QString());
    reading->Locked = true;
    list_.MarkEntry(2);
    ASSERT_EQ(list_.CurrentEntry(), reading);
    EXPECT_THROW(list_.DeleteMemoEntry(reading), EMemoEntryLocked);
    EXPECT_THROW(list_.HideEntry(reading), EMemoEntryLocked);
    EXPECT_THROW(list_.DeleteSelected(), EMemoEntryLocked);
    EXPECT_THROW(list_.DeleteAll(), EMemoEntryLocked);
    list_.ListMode = 0;
    EXPECT_THROW(list_.Add(QStringLiteral("new text"), QString()), EMemoEntryLocked);
    EXPECT_EQ(Texts(), (QStringList{"one", "two", "three"})) << "nothing was freed";
    try {
        list_.DeleteAll();
    } catch (const EMemoEntryLocked& error) {
        EXPECT_STREQ(error.what(), "Memo Entry Locked");
    }
    list_.UnlockAllEntries();
    list_.DeleteAll();
    EXPECT_TRUE(list_.Entries.isEmpty());
}

TEST_F(ArticleList, HiddenEntriesWaitAtTheEndAndAreNotStored) {
    Multi(3);
    list_.Add(QStringLiteral("one"), QStringLiteral("Mary"));
    TMemoEntry* two = list_.Add(QStringLiteral("two"), QStringLiteral("Sam"));
    list_.Add(QStringLiteral("three"), QStringLiteral("Sam"));
    list_.MarkEntry(2);
    list_.HideEntry(two);
    EXPECT_EQ(list_.CurrentEntry(), nullptr);
    EXPECT_EQ(list_.Entries.last(), two);
    EXPECT_EQ(list_.VisibleCount(), 2);
    const Outcome nothingSelected = list_.DeleteSelected();
    EXPECT_FALSE(nothingSelected.ok());
    EXPECT_EQ(nothingSelected.message(), QStringLiteral("No rows are currently selected"));
    EXPECT_EQ(list_.VisibleCount(), 2);
    EXPECT_TRUE(captured_.all.isEmpty()) << "the caller shows it";

    QTemporaryDir dir;
    const QString store = dir.path() + QStringLiteral("/QSExport.txt");
    ASSERT_TRUE(list_.ExportList(store));
    const auto stored = ArticleStore::Read(store);
    ASSERT_EQ(stored.Articles.size(), 2);
    EXPECT_EQ(stored.Articles[1].Text, QStringLiteral("three"));
    list_.DeleteHiddenEntries();
    EXPECT_EQ(list_.Entries.size(), 2);
    EXPECT_EQ(list_.HiddenCount, 0);

    TMemoEntry stranger(&voices_, nullptr);
    EXPECT_EQ(list_.FindEntry(&stranger), 0);
}

TEST_F(ArticleList, ImportGivesTheStoredArticlesByTheRulesOfTheMode) {
    QTemporaryDir dir;
    const QString store = dir.path() + QStringLiteral("/QSExport.txt");
    QString error;
    ASSERT_TRUE(ArticleStore::Write(
        store,
        {{QStringLiteral("Notes"), QStringLiteral("Mary"), QStringLiteral("a\nb")},
         {QStringLiteral("Mail"), QStringLiteral("Sam"), QStringLiteral("c")}},
        &error));
    Multi(3);
    int deleted = 0;
    const TMemoListBox::ImportMessages clean =
        list_.ImportList(store, nullptr, [&deleted](TMemoEntry*) { ++deleted; }, {}, {});
    EXPECT_EQ(clean.notice, QString());
    EXPECT_EQ(clean.error, QString());
    ASSERT_EQ(list_.Entries.size(), 2);
    EXPECT_EQ(list_.Entries[0]->Title(), QStringLiteral("Notes"));
    EXPECT_EQ(list_.Entries[0]->Voice(), QStringLiteral("Mary"));
    EXPECT_EQ(list_.Entries[0]->GetArticleText(), QStringLiteral("a\nb"));
    EXPECT_EQ(list_.Entries[1]->Voice(), QStringLiteral("Sam"));
    EXPECT_FALSE(list_.Importing);
    list_.Entries[1]->PropertyPanel()->DeleteButton->click();
    EXPECT_EQ(deleted, 1);
    list_.Entries[0]->OnDelete = nullptr;
    list_.Entries[0]->PropertyPanel()->DeleteButton->click();  // no handler: nothing happens
    EXPECT_EQ(list_.Entries.size(), 2);

    TMemoListBox single;
    single.ProcessEvents = [] {};
    single.Voices = &voices_;
    single.ImportList(store, nullptr, {}, {}, {});
    ASSERT_EQ(single.Entries.size(), 1);
    EXPECT_EQ(single.Entries[0]->Title(), QStringLiteral("Mail"));

    // Malformed content: what could be read is imported, and the file is kept aside.
    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("garbage that is no article\r\n");
    file.close();
    TMemoListBox damaged;
    damaged.ProcessEvents = [] {};
    damaged.ListMode = 1;
    const TMemoListBox::ImportMessages told = damaged.ImportList(store, nullptr, {}, {}, {});
    EXPECT_EQ(damaged.Entries.size(), 2);
    EXPECT_TRUE(QFile::exists(store + QStringLiteral(".bad")));
    EXPECT_EQ(told.notice, QStringLiteral("Some saved articles in ") + store +
                               QStringLiteral(" could not be read. The file was kept as ") + store +
                               QStringLiteral(".bad"));
    EXPECT_EQ(told.error, QString());
    EXPECT_TRUE(captured_.all.isEmpty()) << "the caller shows what it is told";
    // A copy kept earlier is never replaced.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("another damaged store\r\n");
    file.close();
    TMemoListBox again;
    again.ProcessEvents = [] {};
    EXPECT_TRUE(again.ImportList(store, nullptr, {}, {}, {})
                    .notice.endsWith(QStringLiteral(" could not be read. The file was kept as ") +
                                     store + QStringLiteral(".bad2")));
    QFile first(store + QStringLiteral(".bad"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_TRUE(first.readAll().endsWith("garbage that is no article\r\n"));
    QFile second(store + QStringLiteral(".bad2"));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.readAll(), QByteArray("another damaged store\r\n"));

    // An article being read in single-article mode cannot make room: the import stops.
    ASSERT_TRUE(ArticleStore::Write(
        store, {{QStringLiteral("Notes"), QString(), QStringLiteral("a")}}, &error));
    TMemoListBox busy;
    busy.ProcessEvents = [] {};
    busy.Voices = &voices_;
    busy.Add(QStringLiteral("being read"), QString())->Locked = true;
    const TMemoListBox::ImportMessages stopped = busy.ImportList(store, nullptr, {}, {}, {});
    EXPECT_EQ(stopped.error, QStringLiteral("Error restoring saved articles"));
    EXPECT_EQ(stopped.notice, QString());
    ASSERT_EQ(busy.Entries.size(), 1);
    EXPECT_EQ(busy.Entries[0]->GetArticleText(), QStringLiteral("being read"));
    EXPECT_TRUE(captured_.all.isEmpty());
}

TEST_F(ArticleList, AFileIsAppendedToAnArticleAndAReadFailureIsReported) {
    TMemoEntry* entry = list_.Add(QStringLiteral("first"), QString());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lines.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("one\r\ntwo");
    file.close();
    QString readError = QStringLiteral("stale");
    EXPECT_TRUE(entry->LoadFromFile(path, readError));
    EXPECT_EQ(readError, QString());
    EXPECT_EQ(entry->GetArticleText(), QStringLiteral("first\none\ntwo"));

    EXPECT_FALSE(entry->LoadFromFile(dir.filePath(QStringLiteral("gone.txt")), readError));
    EXPECT_EQ(readError, QString()) << "a file that cannot be opened is the caller's to tell";
    // Opened, but the reading breaks off: what was read stays, and the caller is told.
    EXPECT_TRUE(entry->LoadFromFile(QStringLiteral("/proc/self/mem"), readError));
    EXPECT_EQ(readError, QStringLiteral("Error reading input file"));
    EXPECT_TRUE(entry->GetArticleText().startsWith(QStringLiteral("first\none\ntwo")));
    EXPECT_TRUE(captured_.all.isEmpty());
}

TEST_F(ArticleList, TitlesAcceptOnlyTitleCharactersAndFileArticlesAreReadOnly) {
    Multi(3);
    list_.show();
    TMemoEntry* entry = list_.Add(QStringLiteral("text"), QStringLiteral("Mary"));
    QLineEdit* title = entry->PropertyPanel()->TitleBox;
    title->clear();
    QApplication::setActiveWindow(&list_);
    title->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([title] { return title->hasFocus(); }));
    QTest::keyClicks(title, QStringLiteral("My Title.v2"));
    EXPECT_EQ(title->text(), QStringLiteral("MyTitlev2"));
    EXPECT_TRUE(QToolTip::isVisible()) << "a refused character is told, not only beeped";
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("letters, digits")));
    // Letters of any script stay, a character outside the basic plane whole; a sign goes whole.
    for (const QString& typed : {QStringLiteral("\u00E9"), QStringLiteral("\u65E5"),
                                 QStringLiteral("\U00020BB7"), QStringLiteral("\U0001F3B5")}) {
        title->insert(typed);
    }
    EXPECT_EQ(title->text(), QStringLiteral("MyTitlev2\u00E9\u65E5\U00020BB7"));

    entry->SetArticleText(QStringLiteral("~~FILE~~/tmp/x y.txt\r\rLarge"));
    entry->SetFileEntry(true);
    entry->Editor()->setFocus();
    QTest::keyClicks(entry->Editor(), QStringLiteral("typed"));
    EXPECT_FALSE(entry->GetArticleText().contains(QStringLiteral("typed")));
}

TEST_F(ArticleList, TheArticlesOwnVoiceStaysSelectableAfterARefresh) {
    Multi(3);
    TMemoEntry* entry = list_.Add(QStringLiteral("text"), QStringLiteral("Sam"));
    voices_.choices[1].favourite = false;  // Sam is no longer a favourite
    entry->FocusProperties();
    QComboBox* box = entry->PropertyPanel()->VoiceBox;
    EXPECT_EQ(box->currentText(), QStringLiteral("Sam"));
    EXPECT_EQ(box->count(), 2);  // Mary, and the article's own voice
    EXPECT_EQ(box->findText(QStringLiteral("Mike")), -1);
}

TEST_F(ArticleList, AnArticleWithoutAVoiceShowsTheDefaultVoice) {
    TPreferences prefs;
    prefs.TTS_DefaultVoiceName = QStringLiteral("Mike");  // not a favourite: not offered
    list_.Prefs = &prefs;
    Multi(3);
    TMemoEntry* entry = list_.Add(QStringLiteral("text"), QString());
    EXPECT_EQ(entry->Voice(), QStringLiteral("Mike")) << "before the entry is built";
    QComboBox* box = entry->PropertyPanel()->VoiceBox;
    EXPECT_EQ(box->currentText(), QStringLiteral("Mike"));
    EXPECT_EQ(entry->Voice(), QStringLiteral("Mike"));
    EXPECT_EQ(list_.Add(QStringLiteral("more"), QStringLiteral("Nobody"))->Voice(), QString())
        << "a named voice the box does not offer still selects nothing";

    // Stored articles that name no voice, as the introduction's.
    QTemporaryDir dir;
    const QString store = dir.path() + QStringLiteral("/QSIntro.chl");
    QString error;
    ASSERT_TRUE(ArticleStore::Write(
        store, {{QStringLiteral("Welcome"), QString(), QStringLiteral("Hello")}}, &error));
    prefs.TTS_DefaultVoiceName = QStringLiteral("Sam");
    TMemoListBox imported;
    imported.ProcessEvents = [] {};
    imported.Voices = &voices_;
    imported.Prefs = &prefs;
    imported.resize(400, 100);
    imported.ImportList(store, nullptr, {}, {}, {});
    ASSERT_EQ(imported.VisibleCount(), 1);
    imported.show();
    EXPECT_EQ(imported.Entries[0]->PropertyPanel()->VoiceBox->currentText(), QStringLiteral("Sam"));
}

namespace {

// Widgets that take the focus in turn as Tab is pressed, starting at the one that has it.
QList<QWidget*> TabWalk(QWidget* start, int presses, Qt::KeyboardModifiers modifiers = {}) {
    QList<QWidget*> visited;
    for (int i = 0; i < presses; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : start, Qt::Key_Tab, modifiers);
        visited << QApplication::focusWidget();
    }
    return visited;
}

}  // namespace

TEST_F(ArticleList, TabMovesThroughTheArticlesInOrderAndScrollsThemIntoView) {
    Multi(2);
    list_.show();
    for (int i = 1; i <= 4; ++i) {
        list_.Add(QStringLiteral("article %1").arg(i), QStringLiteral("Mary"));
    }
    list_.ScrollToTop(1);
    QApplication::setActiveWindow(&list_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list_));
    TMyPlusMemo* first = list_.Entries[0]->Editor();
    first->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([first] { return first->hasFocus(); }));

    // Tab leaves the text unchanged and goes on to the next article, through its title, its
    // voice, its three buttons and its text; the third article comes into view.
    const QList<QWidget*> visited = TabWalk(first, 12);
    EXPECT_EQ(list_.Entries[0]->GetArticleText(), QStringLiteral("article 1"));
    TPropertyPanel* second = list_.Entries[1]->PropertyPanel();
    TPropertyPanel* third = list_.Entries[2]->PropertyPanel();
    EXPECT_EQ(visited.mid(0, 6),
              (QList<QWidget*>{second->TitleBox, second->VoiceBox, second->ReadButton,
                               second->ReadToFileButton, second->DeleteButton,
                               list_.Entries[1]->Editor()}));
    EXPECT_EQ(visited[6], third->TitleBox);
    EXPECT_EQ(visited[11], list_.Entries[2]->Editor());
    EXPECT_FALSE(list_.Entries[2]->isHidden()) << "the article that took the focus is shown";
    EXPECT_TRUE(list_.Entries[0]->isHidden());
    EXPECT_EQ(list_.ScrollBar()->value(), 1);

    // Shift+Tab goes back, scrolling the first article into view again.
    const QList<QWidget*> back = TabWalk(first, 12, Qt::ShiftModifier);
    EXPECT_EQ(back.last(), list_.Entries[0]->Editor());
    EXPECT_FALSE(list_.Entries[0]->isHidden());
    EXPECT_EQ(list_.ScrollBar()->value(), 0);

    // Ctrl+Tab types a tab, and the focus stays.
    TMyPlusMemo* editor = list_.Entries[0]->Editor();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(list_.Entries[0]->GetArticleText(), QStringLiteral("article 1\t"));
    EXPECT_TRUE(editor->hasFocus());
}

TEST_F(ArticleList, ShiftF10OpensTheArticleMenuAsTheMenuKeyDoes) {
    list_.show();
    TMemoEntry* entry = list_.Add(QStringLiteral("text"), QStringLiteral("Mary"));
    QMenu menu;
    menu.addAction(QStringLiteral("&Add New"));
    entry->SetContextMenu(&menu);
    QApplication::setActiveWindow(&list_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list_));
    entry->Editor()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([entry] { return entry->Editor()->hasFocus(); }));
    // The Menu key reaches the focused control as a keyboard context menu request at the caret.
    TMyPlusMemo* editor = entry->Editor();
    const QPoint caret = editor->viewport()->mapToParent(editor->cursorRect().center());
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, caret, editor->mapToGlobal(caret));
    QApplication::sendEvent(editor, &menuKey);
    ASSERT_TRUE(QTest::qWaitFor([&menu] { return menu.isVisible(); }, 5000));
    const QPoint menuKeyPlace = menu.pos();
    menu.hide();

    // Shift+F10 through the window, as the keyboard sends it.
    QTest::keyClick(list_.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&menu] { return menu.isVisible(); }, 5000));
    EXPECT_EQ(menu.pos(), menuKeyPlace);
    menu.hide();
    EXPECT_EQ(entry->GetArticleText(), QStringLiteral("text"));
}

TEST_F(ArticleList, ImportFillsBlankEntriesInOrderAsAddDoes) {
    QTemporaryDir dir;
    const QString store = dir.path() + QStringLiteral("/QSExport.txt");
    QString error;
    // Blank articles in the store are filled by the articles after them, as a blank entry of
    // the list is filled by the next article added to it.
    ASSERT_TRUE(
        ArticleStore::Write(store,
                            {{QStringLiteral("A"), QStringLiteral("Mary"), QStringLiteral("a")},
                             {QStringLiteral("Blank"), QStringLiteral("Sam"), QString()},
                             {QStringLiteral("B"), QStringLiteral("Sam"), QStringLiteral("b")},
                             {QStringLiteral("Blank"), QStringLiteral("Mary"), QString()},
                             {QStringLiteral("Blank"), QStringLiteral("Sam"), QString()},
                             {QStringLiteral("C"), QStringLiteral("Mary"), QStringLiteral("c")}},
                            &error));
    Multi(2);
    list_.Add(QStringLiteral("x"), QStringLiteral("Mary"));
    list_.Add(QString(), QStringLiteral("Mary"));
    list_.ImportList(store, nullptr, {}, {}, {});
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("b"),
                                    QStringLiteral("c")}));
    QStringList titles;
    for (TMemoEntry* entry : list_.Entries) {
        titles << entry->Title();
    }
    EXPECT_EQ(titles.mid(1),
              (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    // Adding after the import still finds a blank entry anywhere in the list.
    list_.Entries[1]->SetArticleText(QString());
    EXPECT_EQ(list_.Add(QStringLiteral("d"), QStringLiteral("Sam")), list_.Entries[1]);
}
