// Single-article mode keeps one article, and never removes a list without asking.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

#include "app/form1.h"
#include "app/listremovalquestion.h"
#include "app/readingsession.h"
#include "articles/articlestore.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

class SingleArticleMode : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
    }

    // A started main window in the given mode whose list holds these articles.
    static std::unique_ptr<TForm1> Start(int mode, int articles) {
        QList<StoredArticle> stored;
        for (int i = 1; i <= articles; ++i) {
            stored.append(
                {QStringLiteral("A%1").arg(i), QString(), QStringLiteral("Article %1.").arg(i)});
        }
        QString error;
        EXPECT_TRUE(ArticleStore::Write(TForm1::StoreFileName(), stored, &error));
        return StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                                {QStringLiteral("CB_Monitor"), QStringLiteral("false")},
                                {QStringLiteral("ML_ListMode"), QString::number(mode)}});
    }
    static ListRemovalQuestion* Question(TForm1& form) {
        for (ListRemovalQuestion* box : form.findChildren<ListRemovalQuestion*>()) {
            if (box->isVisible()) {
                return box;
            }
        }
        return nullptr;
    }
    static QStringList Buttons(const ListRemovalQuestion& box) {
        QStringList texts;
        for (const QAbstractButton* button : box.buttons()) {
            texts << button->text().remove(QLatin1Char('&'));
        }
        texts.sort();
        return texts;
    }
    static QAbstractButton* Button(const ListRemovalQuestion& box, const QString& text) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text().remove(QLatin1Char('&')) == text) {
                return button;
            }
        }
        return nullptr;
    }
};

}  // namespace

TEST_F(SingleArticleMode, AListIsRemovedOnlyWhenTheUserSaysSo) {
    auto form = Start(0, 9);
    TMemoListBox* list = form->List();
    ASSERT_EQ(list->VisibleCount(), 9);

    // Add New asks; Escape cancels, and nothing changes.
    EXPECT_EQ(form->AddNewArticle(), nullptr);
    ListRemovalQuestion* box = Question(*form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(
        box->text(),
        QStringLiteral("Single-article mode keeps one article. Remove the other 9 articles?"));
    EXPECT_EQ(Buttons(*box), (QStringList{QStringLiteral("Cancel"), QStringLiteral("Remove"),
                                          QStringLiteral("Switch to Multi-Article")}));
    QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(heard, nullptr);
    EXPECT_EQ(heard->role(), QAccessible::AlertMessage);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(Question(*form), nullptr);
    EXPECT_EQ(list->VisibleCount(), 9);
    EXPECT_EQ(form->Preferences().ML_ListMode, 0);

    // Return keeps the list: the mode becomes multi-article and the new article joins it.
    form->AddNewArticle();
    box = Question(*form);
    ASSERT_NE(box, nullptr);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(form->Preferences().ML_ListMode, 1);
    EXPECT_EQ(list->VisibleCount(), 10);

    // Switching back asks too (the blank new article goes without a word); Remove, for good.
    form->SwitchMode(0);
    box = Question(*form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(
        box->text(),
        QStringLiteral("Single-article mode keeps one article. Remove the other 8 articles?"));
    EXPECT_EQ(Buttons(*box), (QStringList{QStringLiteral("Cancel"), QStringLiteral("Remove")}));
    EXPECT_EQ(form->Preferences().ML_ListMode, 1) << "nothing changes until the user answers";
    box->checkBox()->setChecked(true);
    Button(*box, QStringLiteral("Remove"))->click();
    EXPECT_EQ(form->Preferences().ML_ListMode, 0);
    ASSERT_EQ(list->VisibleCount(), 1);
    EXPECT_EQ(ArticleStore::Read(TForm1::StoreFileName()).Articles.size(), 1);
    EXPECT_EQ(form->Preferences().SI_ListRemoval, 1);
}

TEST_F(SingleArticleMode, SwitchingDuringAListReadingEndsItAfterTheArticleBeingRead) {
    auto form = Start(1, 3);
    QSignalSpy reached(form->Session(), &ReadingSession::articleReached);
    QSignalSpy finished(form->Session(), &ReadingSession::finished);
    form->PlayAllBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsReading; }, 10000));
    EXPECT_TRUE(form->CommandEnabled(TForm1::cmdSkip));
    TMemoEntry* reading = form->List()->Entries[0];

    form->SwitchMode(0);
    ListRemovalQuestion* box = Question(*form);
    ASSERT_NE(box, nullptr);
    Button(*box, QStringLiteral("Remove"))->click();
    EXPECT_FALSE(form->CommandEnabled(TForm1::cmdSkip));
    ASSERT_EQ(form->List()->VisibleCount(), 1);
    EXPECT_EQ(form->List()->Entries[0], reading) << "the article being read stays";

    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(reached.size(), 1) << "no hidden article is read after it";
    EXPECT_EQ(form->State(), rsIdle);
}
