// The Misc sheet: its settings written at once, the default voice's choices, the highlight
// switched on while an article is read, and the login entry with its failure told.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QTest>

#include "app/form1.h"
#include "app/optionsarea.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/autostart.h"
#include "platform/shell/programfolders.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

class Misc : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
    }
    template <typename T>
    static T* Control(const TForm1& form, const char* name) {
        T* control = form.Options()->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Opens the Misc tab as a user does.
    static void ShowMisc(const TForm1& form) {
        form.Options()->ShowSheet(OptionsArea::Sheet::Misc);
    }
    static void Click(QWidget* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(kMarkX, box->height() / 2));
    }
    static constexpr int kMarkX = 8;
    CapturedMessages m_messages;
};

}  // namespace

TEST_F(Misc, TheControlsShowAndWriteTheirSettings) {
    auto form = StartMainWindow(
        {{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
         {QStringLiteral("ToolbarOnMinOption"), QStringLiteral("2")},
         {QStringLiteral("TTS_FilterSymbols"), QStringLiteral("true")},
         {QStringLiteral("TTS_DefaultVoiceName"), QStringLiteral("A voice no longer installed")}});
    ShowMisc(*form);
    auto* toolbar = Control<QComboBox>(*form, "ToolbarMinCB");
    auto* onTop = Control<QCheckBox>(*form, "TBOnTopCB");
    auto* filter = Control<QCheckBox>(*form, "FilterCB");
    auto* voices = Control<QComboBox>(*form, "DfltVoiceCB");
    ASSERT_TRUE(toolbar && onTop && filter && voices);
    EXPECT_EQ(toolbar->currentText(), QStringLiteral("When minimized and reading starts"));
    EXPECT_TRUE(filter->isChecked());
    EXPECT_FALSE(onTop->isChecked());

    toolbar->setCurrentIndex(0);
    EXPECT_EQ(form->Preferences().ToolbarOnMinOption, 0);
    Click(onTop);
    EXPECT_TRUE(form->Preferences().ToolbarOnTop);
    Click(filter);
    EXPECT_FALSE(form->Preferences().TTS_FilterSymbols);

    // The default voice is chosen among the favourite voices; a stored name that is not one of
    // them shows the first (the program has already put an installed voice in its place).
    ASSERT_GE(voices->count(), 2);
    QStringList names;
    for (int i = 0; i < voices->count(); ++i) {
        names << voices->itemText(i);
    }
    EXPECT_EQ(names, form->FavoriteVoices());
    EXPECT_EQ(voices->currentText(), form->Preferences().TTS_DefaultVoiceName);
    voices->setFocus();
    QTest::keyClick(voices, Qt::Key_Down);
    EXPECT_EQ(form->Preferences().TTS_DefaultVoiceName, voices->currentText());
    EXPECT_NE(voices->currentIndex(), 0);
    EXPECT_TRUE(m_messages.all.isEmpty());
}

TEST_F(Misc, TurningTheHighlightOnWhileReadingShowsTheArticleBeingRead) {
    auto form =
        StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                         {QStringLiteral("ML_ListMode"), QStringLiteral("1")},
                         {QStringLiteral("ML_VisibleEntries"), QStringLiteral("1")},
                         {QStringLiteral("TTS_HighlightPosition"), QStringLiteral("false")}});
    TMemoListBox* list = form->List();
    list->Entries[0]->SetArticleText(
        QString(QStringLiteral("The first article is read. ")).repeated(20));
    TMemoEntry* second = form->AddArticle(QStringLiteral("The second article waits."), QString());
    ASSERT_NE(second, nullptr);
    TMemoEntry* first = list->Entries[0];
    list->ScrollToTop(1);
    form->PlayAllBtnClick();
    ASSERT_EQ(form->State(), rsReading);
    list->ScrollIntoView(second);
    ASSERT_FALSE(first->isVisible());
    ShowMisc(*form);
    Click(Control<QCheckBox>(*form, "HighlightPosn"));
    EXPECT_TRUE(form->Preferences().TTS_HighlightPosition);
    EXPECT_TRUE(first->isVisible()) << "the article being read is brought into view";
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->focusWidget() == first->Editor(); }, 5000))
        << "and its words can be followed";
    form->StopBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, 20000));
}

TEST_F(Misc, TheLoginEntryStartsTheProgramHiddenAndAFailureIsTold) {
    auto form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")}});
    ShowMisc(*form);
    auto* box = Control<QCheckBox>(*form, "AutoStartAppCB");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());
    Click(box);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(Autostart::entryCommand(TForm1::kAutostartEntry),
              Autostart::quoteArgument(ProgramFolders::programPath()) + QStringLiteral(" -auto"));
    Click(box);
    EXPECT_FALSE(Autostart::hasEntry(TForm1::kAutostartEntry));
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(m_messages.all.isEmpty());

    // The folder of entries cannot be made (a file stands in its place): the box stays clear
    // and the user is told.
    const QString folder = QFileInfo(Autostart::entryFile(TForm1::kAutostartEntry)).path();
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Click(box);
    EXPECT_FALSE(box->isChecked());
    QFile::remove(folder);
    ASSERT_EQ(m_messages.errors.size(), 1);
    EXPECT_TRUE(m_messages.errors[0].contains(QStringLiteral("login")));

    // Shown again, the sheet shows an entry made elsewhere.
    Autostart::setEntry(TForm1::kAutostartEntry, QStringLiteral("quillsong -auto"), true);
    form->Options()->ShowSheet(OptionsArea::Sheet::Clipboard);
    ShowMisc(*form);
    EXPECT_TRUE(box->isChecked());
}
