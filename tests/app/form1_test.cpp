#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <QPushButton>
#include <QScrollBar>
#include "app/form1.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "articles/propertypanel.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "settings/formplacement.h"
#include "tests/common/printers.h"
#include "tests/common/testprofile.h"

namespace {

const QString kKey = QStringLiteral("Software\\HalcyxTech\\Quillsong");

// Answers the next modal dialog and hands back its text.
class DialogAnswerer : public QObject {
  public:
    DialogAnswerer() {
        connect(&poll_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                box->accept();
                poll_.stop();
            }
        });
        poll_.start(10);
    }
    QString text;

  private:
    QTimer poll_;
};

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }

    // Dialogs are answered, so a test fails instead of hanging on one nobody expected.
    DialogAnswerer dialogs_;

    // A main window as the program entry makes it, with a short splash.
    static std::unique_ptr<TForm1> Make(const QStringList& args = {QStringLiteral("quillsong")}) {
        auto form = std::make_unique<TForm1>(args);
        form->SetSplashMinimum(0);
        return form;
    }

    // Shows the window and waits until its first showing has finished.
    static void Start(TForm1& form) {
        QSignalSpy started(&form, &TForm1::startupFinished);
        form.show();
        ASSERT_TRUE(started.wait(5000));
    }
};

}  // namespace

TEST_F(MainWindow, StartsWithItsCaptionStatusAndCommands) {
    auto form = Make();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quillsong MP3"));
    Start(*form);
    EXPECT_TRUE(form->Shown());
    EXPECT_EQ(form->State(), rsIdle);
    // The very first start shows the introduction: one article in single-article mode.
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("1 article"));
    EXPECT_EQ(form->StatusPanelText(1), QStringLiteral(" "));
    EXPECT_FALSE(form->Preferences().FirstTimeUser);

    QStringList menus;
    for (QAction* action : form->menuBar()->actions()) {
        menus << action->text();
    }
    EXPECT_EQ(menus, (QStringList{"&File", "&View", "&Options", "&Read", "&Audio Help", "&Help"}));
    QStringList buttons;
    for (QAction* action : form->findChild<QToolBar*>(QStringLiteral("ToolBar1"))->actions()) {
        if (!action->isSeparator()) {
            buttons << action->text().trimmed() + QLatin1Char('|') + action->toolTip();
            EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
        }
    }
    EXPECT_EQ(buttons, (QStringList{"Single|Single-Article Mode", "Multi|Multi-Article Mode",
                                    "Text File|Read text file", "Paste|Paste",
                                    "Aloud|Read text aloud", "File|Read text to file",
                                    "Pause|Pause / Resume ", "Skip|Skip to next article",
                                    "Stop|Stop reading", "Options|Display / Hide Options Panels"}));
}

TEST_F(MainWindow, TheTrayTipKeepsAtMost63CharactersOfTheStatus) {
    auto form = Make();
    Start(*form);
    const QString title = QStringLiteral("A very long article title ").repeated(5);
    form->UpdateStatus(title);
    EXPECT_EQ(form->StatusPanelText(0), title);
    EXPECT_EQ(form->TrayTip(), title.left(63));
    form->ResetStatus();
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("1 article"));
    EXPECT_EQ(form->TrayTip(), QStringLiteral("1 article"));
}

TEST_F(MainWindow, TheCloseBoxKeepsTheProgramRunningAndStoresTheSettings) {
    auto form = Make();
    Start(*form);
    QSignalSpy ended(form.get(), &TForm1::terminationRequested);
    QSignalSpy hidden(form.get(), &TForm1::hiddenToTray);
    form->close();
    EXPECT_EQ(hidden.count(), 1);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_NE(form->State(), rsExiting);
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("RunMinimized")),
              QStringLiteral("false"));
    EXPECT_NE(testprofile::StoredText(FormPlacementStore::KeyFor(QStringLiteral("Form1")),
                                      QStringLiteral("Height")),
              QStringLiteral("<no value>"));
    form->RestoreFromTray();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
}

TEST_F(MainWindow, ExitEndsTheProgramAndStoresPreferencesAndPlacement) {
    auto form = Make();
    Start(*form);
    form->Preferences().ShowToolbar = false;
    form->move(33, 44);
    QSignalSpy ended(form.get(), &TForm1::terminationRequested);
    form->ExitQuillsongClick();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(form->State(), rsExiting);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("ShowToolbar")),
              QStringLiteral("false"));
    EXPECT_EQ(testprofile::StoredText(FormPlacementStore::KeyFor(QStringLiteral("Form1")),
                                      QStringLiteral("Left")),
              QStringLiteral("33"));
}

TEST_F(MainWindow, TheStoredPlaceAndSettingsApplyAtCreation) {
    FormPlacementStore::Save(QStringLiteral("Form1"), {40, 30, 700, 500, false});
    testprofile::Store(kKey, QStringLiteral("ShowToolbar"), QStringLiteral("false"));
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    auto form = Make();
    EXPECT_EQ(form->pos(), QPoint(30, 40));
    EXPECT_EQ(form->size(), QSize(700, 500));
    Start(*form);
    EXPECT_FALSE(form->findChild<QToolBar*>(QStringLiteral("ToolBar1"))->isVisible());
    QAction* multi = nullptr;
    for (QAction* action : form->findChild<QToolBar*>(QStringLiteral("ToolBar1"))->actions()) {
        if (action->toolTip() == QStringLiteral("Multi-Article Mode")) {
            multi = action;
        }
    }
    ASSERT_NE(multi, nullptr);
    EXPECT_TRUE(multi->isChecked());
}

TEST_F(MainWindow, AutoStartHidesOnlyAfterTheImportHasFinished) {
    auto form = Make({QStringLiteral("quillsong"), QStringLiteral("-auto")});
    int probes = 0;
    form->SetImportProbe([&probes] { return ++probes < 3; });  // busy for two timer rounds
    QSignalSpy hidden(form.get(), &TForm1::hiddenToTray);
    Start(*form);
    EXPECT_TRUE(form->HidingScheduled());
    ASSERT_TRUE(hidden.wait(5000));
    EXPECT_EQ(probes, 3);
    EXPECT_TRUE(!form->isVisible() || form->isMinimized());
}

TEST_F(MainWindow, TheAutoSwitchIsCaseSensitive) {
    for (const char* arg : {"-AUTO", "-Auto", "auto", "-auto2"}) {
        auto form = Make({QStringLiteral("quillsong"), QString::fromLatin1(arg)});
        Start(*form);
        EXPECT_FALSE(form->HidingScheduled()) << arg;
        EXPECT_TRUE(form->isVisible()) << arg;
    }
}

TEST_F(MainWindow, WithoutAWaveOutputDeviceItSaysSoAndEnds) {
    auto form = Make();
    form->SetWaveOutCounter([] { return 0; });
    QSignalSpy ended(form.get(), &TForm1::terminationRequested);
    QSignalSpy started(form.get(), &TForm1::startupFinished);
    form->show();
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_EQ(dialogs_.text, QStringLiteral("Sound Card not found\n\nA Sound Card is required for "
                                            "Quillsong to operate\n\nQuillsong will exit now."));
    EXPECT_EQ(started.count(), 0);
    EXPECT_FALSE(form->Shown());
}

// Run by CTest with no reachable audio server.
TEST(NoSoundCard, TheRealDeviceCheckEndsTheProgram) {
    if (qEnvironmentVariableIsEmpty("QUILL_EXPECT_NO_AUDIO")) {
        GTEST_SKIP() << "needs an environment without an audio server";
    }
    testprofile::Reset();
    ASSERT_EQ(WaveOutDevices::count(), 0);
    TForm1 form({QStringLiteral("quillsong")});
    QSignalSpy ended(&form, &TForm1::terminationRequested);
    DialogAnswerer answer;
    form.show();
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_TRUE(answer.text.startsWith(QStringLiteral("Sound Card not found")));
}

// A new user's first session and the next start.
TEST_F(MainWindow, ArticlesAndModeSurviveARestart) {
    QStringList texts;
    {
        auto form = Make();
        Start(*form);
        TMemoListBox* list = form->List();
        ASSERT_EQ(list->VisibleCount(), 1);
        TMyPlusMemo* editor = list->CurrentEntry()->Editor();
        editor->setFocus();
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, QStringLiteral(" My own words."));
        form->SwitchMode(1);
        EXPECT_EQ(form->Preferences().ML_ListMode, 1);
        for (const char* text :
             {"Second article", "Third article", "Fourth article", "Fifth article"}) {
            form->AddNewArticle();
            list->CurrentEntry()->SetArticleText(QString::fromLatin1(text));
        }
        ASSERT_EQ(list->VisibleCount(), 5);
        TMemoEntry* third = list->Entries[2];
        third->PropertyPanel()->DeleteButton->click();  // its own Delete button
        EXPECT_EQ(list->VisibleCount(), 4);
        list->ScrollBar()->setValue(0);
        EXPECT_FALSE(list->Entries[0]->isHidden());
        EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("4 articles"));
        for (int i = 0; i < list->VisibleCount(); ++i) {
            texts << list->Entries[i]->GetArticleText();
        }
        EXPECT_TRUE(texts[0].endsWith(QStringLiteral("My own words.")));
        form->ExitQuillsongClick();
    }
    auto form = Make();
    Start(*form);
    EXPECT_EQ(form->Preferences().ML_ListMode, 1);
    QStringList restored;
    for (int i = 0; i < form->List()->VisibleCount(); ++i) {
        restored << form->List()->Entries[i]->GetArticleText();
    }
    EXPECT_EQ(restored, texts);
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("4 articles"));
}

TEST_F(MainWindow, AnEmptyStoreGivesOneEmptyArticle) {
    testprofile::Store(kKey, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    auto form = Make();
    Start(*form);
    EXPECT_EQ(form->List()->VisibleCount(), 1);
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("No articles"));
}
