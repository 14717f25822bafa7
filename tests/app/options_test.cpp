// The options area below the toolbar: the Options and Toolbar commands with the top panel's
// height, the mode sheets that follow the list mode, and the Clipboard sheet whose controls
// change what the watcher does at once.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include "app/form1.h"
#include "app/multioptionssheet.h"
#include "app/optionsarea.h"
#include "app/singleoptionssheet.h"
#include "articles/memolistbox.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/accessiblename.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

class Options : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        QGuiApplication::clipboard()->clear();
    }
    std::unique_ptr<TForm1> Start(int mode) {
        return StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                                {QStringLiteral("ML_ListMode"), QString::number(mode)}});
    }
    template <typename T>
    static T* Control(const TForm1& form, const char* name) {
        T* control = form.Options()->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static QAction* MenuItem(const TForm1& form, const QString& menu, const QString& text) {
        for (QAction* top : form.menuBar()->actions()) {
            if (top->text() == menu && top->menu()) {
                for (QAction* item : top->menu()->actions()) {
                    if (item->text() == text) {
                        return item;
                    }
                }
            }
        }
        return nullptr;
    }
    static QAction* OptionsButton(const TForm1& form) {
        for (QAction* action : form.findChild<QToolBar*>(QStringLiteral("ToolBar1"))->actions()) {
            if (action->text() == QStringLiteral("Options")) {
                return action;
            }
        }
        return nullptr;
    }
    // Clicks a check box or a choice on its mark, as a user does: a wide control takes a
    // click only on its mark and its text.
    static void Click(QWidget* control) {
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(kMarkX, control->height() / 2));
    }
    static void ClickRadio(QWidget* group, const QString& text) {
        for (QRadioButton* button : group->findChildren<QRadioButton*>()) {
            if (button->text() == text) {
                Click(button);
                return;
            }
        }
        ADD_FAILURE() << "no choice " << text.toStdString();
    }
    static QString Chosen(QWidget* group) {
        for (QRadioButton* button : group->findChildren<QRadioButton*>()) {
            if (button->isChecked()) {
                return button->text();
            }
        }
        return {};
    }
    static constexpr int kMarkX = 8;
    // More than the window has: a walk that does not come back round is stopped.
    static constexpr int kMostTabStops = 200;
    CapturedMessages m_messages;
};

}  // namespace

TEST_F(Options, TheOptionsAndToolbarCommandsShowTheirPartsAndSetTheTopPanelsHeight) {
    auto form = Start(0);
    QWidget* top = form->TopPanel();
    QToolBar* toolbar = form->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QAction* options = OptionsButton(*form);
    QAction* optionsItem =
        MenuItem(*form, QStringLiteral("&View"), QStringLiteral("&Options Panels"));
    QAction* toolbarItem = MenuItem(*form, QStringLiteral("&View"), QStringLiteral("&Toolbar"));
    ASSERT_TRUE(options && optionsItem && toolbarItem);
    ASSERT_TRUE(options->isEnabled() && optionsItem->isEnabled());

    // Both shown at first: the designed height, or more when the controls need it.
    const int toolbarHeight = toolbar->height();
    const int shown = top->height();
    EXPECT_TRUE(form->Options()->isVisible());
    EXPECT_TRUE(options->isChecked() && optionsItem->isChecked() && toolbarItem->isChecked());
    EXPECT_GE(shown, PanelHeights::kDesigned);
    EXPECT_GE(form->Options()->height(), form->Options()->minimumSizeHint().height())
        << "no control of the options area is cut off";

    options->trigger();
    EXPECT_FALSE(form->Preferences().ShowOptions);
    EXPECT_FALSE(form->Options()->isVisible());
    EXPECT_FALSE(optionsItem->isChecked());
    EXPECT_EQ(top->height(), toolbarHeight);
    optionsItem->trigger();
    EXPECT_TRUE(form->Preferences().ShowOptions);
    EXPECT_TRUE(options->isChecked());
    EXPECT_EQ(top->height(), shown) << "twice the Options command gives the height back";

    toolbarItem->trigger();
    EXPECT_FALSE(form->Preferences().ShowToolbar);
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_EQ(top->height(), shown - toolbarHeight);
    optionsItem->trigger();  // the toolbar is hidden; the menu item still works
    EXPECT_FALSE(top->isVisible()) << "neither part shown: no top panel";
    optionsItem->trigger();
    toolbarItem->trigger();
    EXPECT_EQ(top->height(), shown);
    // The article list takes the room the top panel leaves.
    QApplication::processEvents();
    EXPECT_EQ(form->List()->parentWidget()->geometry().top(), top->geometry().bottom() + 1);
    EXPECT_TRUE(m_messages.all.isEmpty());
}

TEST_F(Options, TheModeSheetFollowsTheListModeAndWritesItsSettingsAtOnce) {
    auto form = Start(0);
    QTabWidget* pages = form->Options()->ModePages();
    auto* single = Control<SingleOptionsSheet>(*form, "SingleOptionsSheet");
    auto* multi = Control<MultiOptionsSheet>(*form, "MultiOptionsSheet");
    ASSERT_TRUE(single && multi);
    EXPECT_EQ(pages->currentWidget(), single);
    EXPECT_TRUE(single->isVisible());
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(multi))) << "no tab switches the mode";

    ClickRadio(Control<QWidget>(*form, "SIVoiceGrp"), QStringLiteral("Random"));
    EXPECT_EQ(form->Preferences().SI_Voice, 1);
    Click(Control<QCheckBox>(*form, "AutoSpeakCB"));
    EXPECT_TRUE(form->Preferences().SI_AutoSpeak);
    Click(Control<QCheckBox>(*form, "AutoTitleCB"));
    EXPECT_FALSE(form->Preferences().SI_DefaultTitles) << "on by default, now off";

    form->SwitchMode(1);
    EXPECT_EQ(pages->currentWidget(), multi);
    EXPECT_TRUE(multi->isVisible());
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(single)));
    auto* voices = Control<QWidget>(*form, "MIVoiceGrp");
    auto* destination = Control<QWidget>(*form, "ODestGrp");
    EXPECT_EQ(Chosen(voices), QStringLiteral("Default"));
    EXPECT_EQ(Chosen(destination), QStringLiteral("Single File"));
    ClickRadio(voices, QStringLiteral("Round Robin"));
    EXPECT_EQ(form->Preferences().MI_Voice, 2);
    EXPECT_EQ(form->Preferences().SI_Voice, 1) << "each mode keeps its own voice choice";
    ClickRadio(destination, QStringLiteral("Multiple Files"));
    EXPECT_EQ(form->Preferences().FileDest(), 1)
        << "the next reading to files makes one per article";
    Click(Control<QCheckBox>(*form, "AutoDeleteCB"));
    EXPECT_TRUE(form->Preferences().AutoDelete());

    // Shown again, a sheet shows the settings as they are now, whoever changed them.
    form->Preferences().MI_Voice = 1;
    form->Preferences().ML_AutoDelete = false;
    form->MMLabel1Click();
    form->MMLabel1Click();
    EXPECT_EQ(Chosen(voices), QStringLiteral("Random"));
    EXPECT_FALSE(Control<QCheckBox>(*form, "AutoDeleteCB")->isChecked());
    form->SwitchMode(0);
    EXPECT_EQ(Chosen(Control<QWidget>(*form, "SIVoiceGrp")), QStringLiteral("Random"));
    EXPECT_TRUE(Control<QCheckBox>(*form, "AutoSpeakCB")->isChecked());
}

TEST_F(Options, TheClipboardSheetChangesWhatTheWatcherDoesAtOnce) {
    auto form = Start(1);
    QTabWidget* pages = form->Options()->OptionPages();
    EXPECT_EQ(pages->tabText(pages->currentIndex()), QStringLiteral("Clipboard"));
    auto* watch = Control<QCheckBox>(*form, "MonitorCB");
    auto* threshold = Control<QSpinBox>(*form, "ThreshHoldEdit");
    auto* prompt = Control<QCheckBox>(*form, "PromptCkbx");
    auto* delay = Control<QSpinBox>(*form, "PromptDelayEdit");
    auto* action = Control<QComboBox>(*form, "PromptDfltActCBox");
    auto* clear = Control<QCheckBox>(*form, "ClearClipboardCB");
    ASSERT_TRUE(watch && threshold && prompt && delay && action && clear);
    // Filled from the settings.
    EXPECT_TRUE(watch->isChecked());
    EXPECT_EQ(threshold->value(), 10);
    EXPECT_TRUE(prompt->isChecked());
    EXPECT_EQ(delay->value(), 3);
    EXPECT_EQ(action->currentText(), QStringLiteral("Cancel"));
    EXPECT_FALSE(clear->isChecked());

    threshold->setValue(20);
    Click(prompt);
    EXPECT_FALSE(form->Preferences().CB_Prompt);
    EXPECT_FALSE(delay->isEnabled()) << "the prompt's time means nothing without the prompt";
    delay->setValue(7);
    EXPECT_EQ(form->Preferences().CB_PromptDelay, 7);
    action->setCurrentIndex(0);
    Click(clear);
    QGuiApplication::clipboard()->setText(QStringLiteral("Twenty characters!!!"));
    EXPECT_EQ(form->List()->VisibleCount(), 1) << "as long as the new threshold: ignored";
    QGuiApplication::clipboard()->setText(QStringLiteral("Twenty-one characters"));
    ASSERT_EQ(form->List()->VisibleCount(), 1) << "the blank article takes it";
    EXPECT_EQ(form->List()->Entries[0]->GetArticleText(), QStringLiteral("Twenty-one characters"));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty()) << "cleared after the copy";

    // The box and the two menu items switch watching, and each shows what the others did.
    QAction* item = MenuItem(*form, QStringLiteral("&Options"), QStringLiteral("&Watch Clipboard"));
    ASSERT_NE(item, nullptr);
    Click(watch);
    EXPECT_FALSE(form->Preferences().CB_Monitor);
    EXPECT_FALSE(item->isChecked());
    QGuiApplication::clipboard()->setText(QStringLiteral("Copied while nobody watches."));
    EXPECT_EQ(form->List()->VisibleCount(), 1);
    item->trigger();
    EXPECT_TRUE(form->Preferences().CB_Monitor);
    EXPECT_TRUE(watch->isChecked());
    QGuiApplication::clipboard()->setText(QStringLiteral("Copied while watched again."));
    EXPECT_EQ(form->List()->VisibleCount(), 2);

    // What the sheet wrote is what the next start shows.
    form.reset();
    auto again = StartMainWindow();
    EXPECT_EQ(Control<QSpinBox>(*again, "ThreshHoldEdit")->value(), 20);
    EXPECT_EQ(Control<QSpinBox>(*again, "PromptDelayEdit")->value(), 7);
    EXPECT_FALSE(Control<QCheckBox>(*again, "PromptCkbx")->isChecked());
    EXPECT_EQ(Control<QComboBox>(*again, "PromptDfltActCBox")->currentText(),
              QStringLiteral("New"));
    EXPECT_TRUE(Control<QCheckBox>(*again, "ClearClipboardCB")->isChecked());
    EXPECT_TRUE(m_messages.all.isEmpty());
}

TEST_F(Options, EveryOptionsControlIsReachedWithTheTabKeyAndHasAName) {
    auto form = Start(1);
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTabWidget* pages = form->Options()->OptionPages();
    for (int tab = 0; tab < pages->count(); ++tab) {
        SCOPED_TRACE(pages->tabText(tab).toStdString());
        ASSERT_TRUE(pages->isTabEnabled(tab));
        pages->setCurrentIndex(tab);
        QApplication::processEvents();
        // What a user can operate on this sheet and on the mode sheet beside it.
        QList<QWidget*> controls;
        for (QWidget* sheet :
             {pages->currentWidget(), form->Options()->ModePages()->currentWidget()}) {
            for (QWidget* control : sheet->findChildren<QWidget*>()) {
                if ((control->focusPolicy() & Qt::TabFocus) && control->isEnabled() &&
                    control->isVisible() && !control->focusProxy()) {
                    controls << control;
                }
            }
        }
        ASSERT_FALSE(controls.isEmpty());
        // Tab from the sheet's tab bar round the whole window, once.
        pages->tabBar()->setFocus();
        QSet<QWidget*> reached;
        for (int step = 0; step < kMostTabStops; ++step) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            if (reached.contains(focus)) {
                break;
            }
            reached.insert(focus);
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        for (QWidget* control : controls) {
            // Of a group of choices, Tab reaches the chosen one; the arrow keys move among them.
            auto* choice = qobject_cast<QRadioButton*>(control);
            if (!choice || choice->isChecked()) {
                EXPECT_TRUE(reached.contains(control))
                    << control->metaObject()->className() << " "
                    << control->objectName().toStdString() << " is not reached with Tab";
            }
            EXPECT_TRUE(HasAccessibleName(control))
                << control->metaObject()->className() << " " << control->objectName().toStdString()
                << " has no name";
        }
    }
    EXPECT_TRUE(m_messages.all.isEmpty());
}
