#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "articles/articlestore.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "articles/propertypanel.h"
#include "speech/voicesource.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"

namespace {

class FakeVoices : public TVoiceSource {
  public:
    QList<VoiceChoice> Voices() const override { return voices; }
    QList<VoiceChoice> voices{{QStringLiteral("Mary"), true, true},
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
    list_.DeleteSelected();
    EXPECT_EQ(captured_.all, QStringList{QStringLiteral("No rows are currently selected")});

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
    list_.ImportList(store, nullptr, [&deleted](TMemoEntry*) { ++deleted; }, {}, {});
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
    damaged.ImportList(store, nullptr, {}, {}, {});
    EXPECT_EQ(damaged.Entries.size(), 2);
    EXPECT_TRUE(QFile::exists(store + QStringLiteral(".bad")));
}

TEST_F(ArticleList, TitlesAcceptOnlyTitleCharactersAndFileArticlesAreReadOnly) {
    EXPECT_EQ(captured_.messages.size(), 1);
    EXPECT_TRUE(captured_.messages.value(0).endsWith(store + QStringLiteral(".bad")));
    // A copy kept earlier is never replaced.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("another damaged store\r\n");
    file.close();
    TMemoListBox again;
    again.ProcessEvents = [] {};
    again.ImportList(store, nullptr, {}, {}, {});
    QFile first(store + QStringLiteral(".bad"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_TRUE(first.readAll().endsWith("garbage that is no article\r\n"));
    QFile second(store + QStringLiteral(".bad2"));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.readAll(), QByteArray("another damaged store\r\n"));
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

    entry->SetArticleText(QStringLiteral("~~FILE~~/tmp/x y.txt\r\rLarge"));
    entry->SetFileEntry(true);
    entry->Editor()->setFocus();
    QTest::keyClicks(entry->Editor(), QStringLiteral("typed"));
    EXPECT_FALSE(entry->GetArticleText().contains(QStringLiteral("typed")));
}

TEST_F(ArticleList, TheArticlesOwnVoiceStaysSelectableAfterARefresh) {
    Multi(3);
    TMemoEntry* entry = list_.Add(QStringLiteral("text"), QStringLiteral("Sam"));
    voices_.voices[1].Favourite = false;  // Sam is no longer a favourite
    entry->FocusProperties();
    QComboBox* box = entry->PropertyPanel()->VoiceBox;
    EXPECT_EQ(box->currentText(), QStringLiteral("Sam"));
    EXPECT_EQ(box->count(), 2);  // Mary, and the article's own voice
    EXPECT_EQ(box->findText(QStringLiteral("Mike")), -1);
}
