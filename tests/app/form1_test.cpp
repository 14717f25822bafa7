#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <functional>
#include "app/form1.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "articles/propertypanel.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "settings/formplacement.h"
#include "tests/common/accessiblename.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
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
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
    }

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
    EXPECT_NE(testprofile::StoredText(FormPlacementStore::keyFor(QStringLiteral("Form1")),
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
    EXPECT_EQ(testprofile::StoredText(FormPlacementStore::keyFor(QStringLiteral("Form1")),
                                      QStringLiteral("Left")),
              QStringLiteral("33"));
}

TEST_F(MainWindow, TheStoredPlaceAndSettingsApplyAtCreation) {
    FormPlacementStore::save(QStringLiteral("Form1"), {40, 30, 700, 500, false});
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

TEST_F(MainWindow, APlaceSavedOnALargerScreenIsFittedIntoThisOne) {
    FormPlacementStore::save(QStringLiteral("Form1"), {3000, 4000, 5000, 4000, false});
    auto form = Make();
    const QRect room = form->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(QRect(form->pos(), form->size())))
        << form->x() << "," << form->y() << " " << form->width() << "x" << form->height();
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

namespace {

QToolBar* Toolbar(TForm1& form) {
    return form.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
}

QAction* ToolbarAction(TForm1& form, const QString& toolTip) {
    for (QAction* action : Toolbar(form)->actions()) {
        if (action->toolTip() == toolTip) {
            return action;
        }
    }
    return nullptr;
}

QAction* Item(const QList<QAction*>& actions, const QString& text) {
    for (QAction* action : actions) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

QMenu* SubMenu(const QList<QAction*>& actions, const QString& text) {
    QAction* action = Item(actions, text);
    return action ? action->menu() : nullptr;
}

// The actions of a menu and of its submenus, without separators.
QList<QAction*> MenuActions(const QList<QAction*>& actions) {
    QList<QAction*> all;
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            continue;
        }
        all << action;
        if (QMenu* menu = action->menu()) {
            all << MenuActions(menu->actions());
        }
    }
    return all;
}

// Lets posted layout requests run.
void LayOut() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
}

}  // namespace

TEST_F(MainWindow, TheToolbarModeButtonsSwitchModesAsTheMenuItemsDo) {
    auto form = Make();
    Start(*form);
    QToolBar* bar = Toolbar(*form);
    QAction* single = ToolbarAction(*form, QStringLiteral("Single-Article Mode"));
    QAction* multi = ToolbarAction(*form, QStringLiteral("Multi-Article Mode"));
    QMenu* options = SubMenu(form->menuBar()->actions(), QStringLiteral("&Options"));
    QMenu* tray = form->findChild<QMenu*>(QStringLiteral("PopupMenu2"));
    ASSERT_TRUE(single && multi && options && tray);
    QMenu* trayOptions = SubMenu(tray->actions(), QStringLiteral("&Options"));
    ASSERT_NE(trayOptions, nullptr);
    const QList<QAction*> singles = {single, Item(options->actions(), "&Single Article"),
                                     Item(trayOptions->actions(), "&Single Article")};
    const QList<QAction*> multis = {multi, Item(options->actions(), "&Multi Article"),
                                    Item(trayOptions->actions(), "&Multi Article")};
    ASSERT_FALSE(singles.contains(nullptr) || multis.contains(nullptr));
    const auto expectMode = [&](int mode) {
        EXPECT_EQ(form->Preferences().ML_ListMode, mode);
        EXPECT_EQ(form->List()->ListMode, mode);
        for (QAction* action : singles) {
            EXPECT_EQ(action->isChecked(), mode == 0) << action->text().toStdString();
        }
        for (QAction* action : multis) {
            EXPECT_EQ(action->isChecked(), mode == 1) << action->text().toStdString();
        }
    };
    expectMode(0);

    // The buttons on the toolbar, clicked as the user clicks them.
    QTest::mouseClick(bar->widgetForAction(multi), Qt::LeftButton);
    expectMode(1);
    // The article made in single-article mode gets the buttons every article of a list has.
    TPropertyPanel* welcome = form->List()->Entries[0]->PropertyPanel();
    for (QPushButton* button :
         {welcome->ReadButton, welcome->ReadToFileButton, welcome->DeleteButton}) {
        EXPECT_FALSE(button->isHidden()) << button->text().toStdString();
    }
    form->AddNewArticle();
    EXPECT_EQ(form->List()->VisibleCount(), 2) << "a new article goes beside the welcome";
    QTest::mouseClick(bar->widgetForAction(multi), Qt::LeftButton);
    expectMode(1);
    QTest::mouseClick(bar->widgetForAction(single), Qt::LeftButton);
    expectMode(0);
    EXPECT_EQ(form->List()->VisibleCount(), 1) << "the blank article went with the mode";

    // The menu items move the buttons with them.
    multis[1]->trigger();
    expectMode(1);
    singles[2]->trigger();
    expectMode(0);
}

TEST_F(MainWindow, NoEnabledItemIsWithoutBehaviour) {
    auto form = Make();
    Start(*form);
    QMenu* tray = form->findChild<QMenu*>(QStringLiteral("PopupMenu2"));
    QMenu* article = form->findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    ASSERT_TRUE(tray && article);
    const auto actions = [&] {
        return MenuActions(form->menuBar()->actions()) + MenuActions(tray->actions()) +
               MenuActions(article->actions()) + Toolbar(*form)->actions();
    };
    const auto offenders = [&] {
        QStringList names;
        for (QAction* action : actions()) {
            const bool unbuilt = TForm1::IsNotYetAvailable(action);
            const bool emptyMenu = action->menu() && action->menu()->isEmpty();
            if (action->isEnabled() && (unbuilt || emptyMenu)) {
                names << action->text() + QStringLiteral(" is enabled");
            }
            if (unbuilt && action->isChecked()) {
                names << action->text() + QStringLiteral(" shows a check");
            }
        }
        return names;
    };
    EXPECT_EQ(offenders(), QStringList());
    QStringList unbuilt;
    for (QAction* action : actions()) {
        if (TForm1::IsNotYetAvailable(action)) {
            unbuilt << action->text();
        }
    }
    EXPECT_FALSE(unbuilt.contains(QStringLiteral("&Pronunciation Editor")))
        << "the pronunciation editor has its behaviour";

    // Whatever enables the items of a state keeps these greyed.
    Q_EMIT article->aboutToShow();
    form->SetReadingState(rsReading);
    form->SetReadingState(rsIdle);
    form->HideToTray();
    EXPECT_EQ(offenders(), QStringList());
    form->RestoreFromTray();
    EXPECT_EQ(offenders(), QStringList());

    // "Watch Clipboard" switches watching, its main and tray items in step.
    QAction* watch =
        Item(MenuActions(form->menuBar()->actions()), QStringLiteral("&Watch Clipboard"));
    QAction* trayWatch = Item(MenuActions(tray->actions()), QStringLiteral("&Watch Clipboard"));
    ASSERT_TRUE(watch && trayWatch);
    ASSERT_TRUE(form->Preferences().CB_Monitor) << "watching is on at the first start";
    EXPECT_TRUE(watch->isChecked() && trayWatch->isChecked());
    watch->trigger();
    EXPECT_FALSE(form->Preferences().CB_Monitor);
    EXPECT_FALSE(watch->isChecked() || trayWatch->isChecked());
    trayWatch->trigger();
    EXPECT_TRUE(form->Preferences().CB_Monitor);
    EXPECT_TRUE(watch->isChecked() && trayWatch->isChecked());
}

TEST_F(MainWindow, TheFirstStartGreetsWithTheWelcomeInTheDefaultVoice) {
    auto form = Make();
    Start(*form);
    ASSERT_EQ(form->Preferences().ML_ListMode, 0) << "the default mode";
    TMemoListBox* list = form->List();
    ASSERT_EQ(list->VisibleCount(), 1);
    TMemoEntry* shown = list->Entries[0];
    EXPECT_FALSE(shown->isHidden());
    EXPECT_EQ(list->CurrentEntry(), shown);
    EXPECT_EQ(shown->Title(), QStringLiteral("Welcome_to_Quillsong"));
    const QString text = shown->GetArticleText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Welcome to Quillsong MP3."))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("press Aloud"))) << "what to try first";
    EXPECT_LE(shown->LineCount(), 8) << "a few lines";
    // The introduction names no voice: it shows the voice that reads it.
    const QString defaultVoice = form->Preferences().TTS_DefaultVoiceName;
    EXPECT_FALSE(defaultVoice.isEmpty());
    EXPECT_EQ(shown->PropertyPanel()->VoiceBox->currentText(), defaultVoice);
    EXPECT_EQ(shown->Voice(), defaultVoice);
}

TEST_F(MainWindow, EveryControlIsWhollyVisibleAtTheFirstStartsSize) {
    auto form = Make();
    Start(*form);
    const QSize firstSize = form->size();
    TMemoListBox* list = form->List();

    // Checks the strip of an article; true when the voice box shows its longest name whole.
    const auto checkPanel = [&](TMemoEntry* entry) {
        TPropertyPanel* panel = entry->PropertyPanel();
        QWidget* client = list->ClientPanel();  // the list's area beside its scroll bar
        const QList<QWidget*> controls = {
            panel->TitleLabel, panel->TitleBox,         panel->VoiceLabel,  panel->VoiceBox,
            panel->ReadButton, panel->ReadToFileButton, panel->DeleteButton};
        for (QWidget* control : controls) {
            if (control->isHidden()) {
                continue;
            }
            const QRect place(control->mapTo(client, QPoint(0, 0)), control->size());
            EXPECT_TRUE(client->rect().contains(place))
                << control->metaObject()->className() << " at " << place.x() << "+" << place.width()
                << " in " << client->width();
        }
        for (QPushButton* button :
             {panel->ReadButton, panel->ReadToFileButton, panel->DeleteButton}) {
            if (button->isHidden()) {
                continue;
            }
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const QRect contents =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            EXPECT_GE(contents.width(), button->fontMetrics().horizontalAdvance(button->text()))
                << button->text().toStdString();
        }
        // The longest voice offered: whole, or elided with the whole name as the tooltip.
        QComboBox* box = panel->VoiceBox;
        int longest = -1;
        for (int i = 0; i < box->count(); ++i) {
            if (longest < 0 || box->fontMetrics().horizontalAdvance(box->itemText(i)) >
                                   box->fontMetrics().horizontalAdvance(box->itemText(longest))) {
                longest = i;
            }
        }
        if (longest < 0) {
            ADD_FAILURE() << "no voice offered";
            return false;
        }
        const QString name = box->itemText(longest);
        box->setCurrentIndex(longest);
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = false;
        option.frame = box->hasFrame();
        const int room =
            box->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box)
                .width() -
            2;
        const bool whole = box->fontMetrics().horizontalAdvance(name) <= room;
        EXPECT_TRUE(whole || box->toolTip() == name) << name.toStdString();
        return whole;
    };

    LayOut();
    EXPECT_TRUE(checkPanel(list->Entries[0]))
        << "in single-article mode the voice box has room for the longest name";

    form->SwitchMode(1);
    for (int i = 0; i < 3; ++i) {
        form->AddNewArticle()->SetArticleText(QStringLiteral("Article %1").arg(i));
    }
    LayOut();
    ASSERT_TRUE(list->ScrollBar()->isVisible()) << "the list pages, beside its scroll bar";
    EXPECT_EQ(form->size(), firstSize);
    int shown = 0;
    for (TMemoEntry* entry : list->Entries) {
        if (!entry->isHidden()) {
            ++shown;
            checkPanel(entry);
        }
    }
    EXPECT_GT(shown, 1);

    // The toolbar shows every button in full, with no overflow button.
    QToolBar* bar = Toolbar(*form);
    for (QAction* action : bar->actions()) {
        if (QWidget* button = bar->widgetForAction(action); button && !action->isSeparator()) {
            EXPECT_TRUE(bar->rect().contains(button->geometry())) << action->text().toStdString();
        }
    }
    auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    EXPECT_TRUE(!more || more->isHidden());
}

TEST_F(MainWindow, TheToolbarStaysInPlaceWhenPauseBecomesResume) {
    auto form = Make();
    Start(*form);
    QToolBar* bar = Toolbar(*form);
    QAction* pause = ToolbarAction(*form, QStringLiteral("Pause / Resume "));
    ASSERT_NE(pause, nullptr);
    const auto places = [bar] {
        QList<QRect> rects;
        for (QAction* action : bar->actions()) {
            if (QWidget* button = bar->widgetForAction(action)) {
                rects << button->geometry();
            }
        }
        return rects;
    };
    LayOut();
    const QList<QRect> before = places();
    pause->setText(QStringLiteral("Resume"));  // as a paused reading shows it
    LayOut();
    EXPECT_EQ(places(), before);
    QWidget* button = bar->widgetForAction(pause);
    EXPECT_GE(button->width(), button->sizeHint().width()) << "\"Resume\" fits";
    pause->setText(QStringLiteral("Pause"));
    LayOut();
    EXPECT_EQ(places(), before);
}

TEST_F(MainWindow, EveryFocusableControlHasAnAccessibleName) {
    auto form = Make();
    Start(*form);
    form->SwitchMode(1);
    TMemoEntry* entry = form->AddNewArticle();
    ASSERT_NE(entry, nullptr);
    entry->SetTitle(QStringLiteral("Shopping_list"));
    // A voice box with no voice chosen has no value to be known by: its label names it.
    entry->PropertyPanel()->VoiceBox->setCurrentIndex(-1);
    LayOut();

    QStringList unnamed;
    int focusable = 0;
    std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* node,
                                                               int depth) {
        if (!node || !node->isValid() || depth > 64) {
            return;
        }
        const QAccessible::State state = node->state();
        if (state.focusable && !state.invisible) {
            ++focusable;
            if (!HasAccessibleName(node)) {
                QObject* object = node->object();
                unnamed << QString::fromLatin1(object ? object->metaObject()->className() : "?") +
                               QStringLiteral(" role ") + QString::number(node->role());
            }
        }
        for (int i = 0; i < node->childCount(); ++i) {
            walk(node->child(i), depth + 1);
        }
    };
    walk(QAccessible::queryAccessibleInterface(form.get()), 0);
    EXPECT_GE(focusable, 8) << "two articles' titles, voices, buttons and texts at least";
    EXPECT_EQ(unnamed, QStringList());

    QAccessibleInterface* editor = QAccessible::queryAccessibleInterface(entry->Editor());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->text(QAccessible::Name).contains(QStringLiteral("Shopping_list")))
        << editor->text(QAccessible::Name).toStdString();
}
