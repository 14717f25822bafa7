// The floating toolbar and the tray menu: when the toolbar shows, what it does, and the tray's
// "Show Toolbar" item, with the real engines on the audio server.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include "app/cbpromptform.h"
#include "app/form1.h"
#include "app/messagebox.h"
#include "app/toolbarform.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "settings/formplacement.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

constexpr int kReadingTimeoutMs = 30000;
const QString kLongText = QStringLiteral(
    "This article is long enough to be still read when the test looks at the toolbar, because "
    "it goes on for a good while with one sentence after another.");

class FloatingToolbar : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
    }

    // A started main window that hides in a tray, whatever the test platform offers.
    std::unique_ptr<TForm1> Start(int showing, bool onTop = false) {
        auto form =
            StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                             {QStringLiteral("ToolbarOnMinOption"), QString::number(showing)},
                             {QStringLiteral("ToolbarOnTop"),
                              onTop ? QStringLiteral("true") : QStringLiteral("false")}});
        form->SetTrayProbe([] { return true; });
        form->List()->CurrentEntry()->SetArticleText(kLongText);
        return form;
    }

    static QList<QAction*> AllActions(const QMenu* menu) {
        QList<QAction*> all;
        for (QAction* action : menu->actions()) {
            all << action;
            if (action->menu()) {
                all << AllActions(action->menu());
            }
        }
        return all;
    }
    static QAction* TrayItem(TForm1& form, const QString& text) {
        for (QAction* action : AllActions(form.findChild<QMenu*>(QStringLiteral("PopupMenu2")))) {
            if (action->text() == text) {
                return action;
            }
        }
        ADD_FAILURE() << "no tray item " << text.toStdString();
        return nullptr;
    }
    static bool Started(TForm1& form) {
        return QTest::qWaitFor([&] { return form.List()->Entries[0]->Editor()->SelLength() > 0; },
                               kReadingTimeoutMs);
    }
    static bool WaitIdle(TForm1& form) {
        return QTest::qWaitFor([&] { return form.State() == rsIdle; }, kReadingTimeoutMs);
    }
    static QToolButton* Button(TToolBarForm& toolbar, const char* name) {
        return toolbar.findChild<QToolButton*>(QString::fromUtf8(name));
    }

    CapturedMessages messages_;
};

}  // namespace

TEST_F(FloatingToolbar, ItsButtonsAndCaptionAreTheReadingCommands) {
    auto form = Start(1);
    TToolBarForm* toolbar = form->ToolBarForm();
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(toolbar->isWindow());
    EXPECT_EQ(toolbar->parentWidget(), nullptr) << "a taskbar entry of its own";
    EXPECT_EQ(toolbar->windowTitle(), QStringLiteral("Quillsong MP3 Toolbar"));
    EXPECT_FALSE(toolbar->isVisible()) << "hidden until the window goes to the tray";
    QStringList hints;
    for (const char* name :
         {"PlayToolBtn", "PlayFileBtn", "PauseBtn", "SkipBtn", "StopBtn", "RestoreBtn"}) {
        QToolButton* button = Button(*toolbar, name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << name;
        hints << button->toolTip();
    }
    EXPECT_EQ(hints, (QStringList{"Read text aloud", "Read text to file", "Pause / Resume",
                                  "Skip to next article", "Stop Reading", "Restore main window"}));
    EXPECT_FALSE(toolbar->findChild<QProgressBar*>(QStringLiteral("Gauge1"))->isVisibleTo(toolbar));
    EXPECT_EQ(toolbar->Status(), form->ShortStatus());

    // The tray menu, in its order.
    QStringList items;
    for (QAction* action : AllActions(form->findChild<QMenu*>(QStringLiteral("PopupMenu2")))) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(items,
              (QStringList{"Restore", "Show &Toolbar", "-", "&Options", "&Watch Clipboard", "-",
                           "&Single Article", "&Multi Article", "-", "Read &Aloud", "Read to &File",
                           "S&kip", "&Pause", "&Stop", "-", "A&bout", "-", "E&xit Quillsong"}));
}

TEST_F(FloatingToolbar, OnRequestOnlyTheTrayItemShowsIt) {
    auto form = Start(0);
    TToolBarForm* toolbar = form->ToolBarForm();
    QAction* showItem = TrayItem(*form, QStringLiteral("Show &Toolbar"));
    ASSERT_NE(showItem, nullptr);
    EXPECT_FALSE(showItem->isEnabled()) << "the window is shown";
    form->HideToTray();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_TRUE(showItem->isEnabled());
    form->PlayAllBtnClick();
    EXPECT_EQ(form->State(), rsReading);
    ASSERT_TRUE(Started(*form));
    EXPECT_FALSE(toolbar->isVisible()) << "a reading does not show it either";
    form->StopBtnClick();
    ASSERT_TRUE(WaitIdle(*form));

    showItem->trigger();
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_FALSE(toolbar->isMinimized());
    EXPECT_FALSE(showItem->isEnabled());

    // Restoring hides the toolbar and greys the item.
    form->RestoreFromTray();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_FALSE(showItem->isEnabled());
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(';').toStdString();
}

TEST_F(FloatingToolbar, WhenMinimizedItShowsAtOnceAndClosingItEndsNothing) {
    auto form = Start(1);
    TToolBarForm* toolbar = form->ToolBarForm();
    QAction* showItem = TrayItem(*form, QStringLiteral("Show &Toolbar"));
    ASSERT_NE(showItem, nullptr);
    QSignalSpy ended(form.get(), &TForm1::terminationRequested);
    form->HideToTray();
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_FALSE(showItem->isEnabled());

    // Its Aloud button reads, the commands follow the reading, the status and gauge show it.
    QToolButton* aloud = Button(*toolbar, "PlayToolBtn");
    ASSERT_TRUE(aloud->isEnabled());
    EXPECT_FALSE(Button(*toolbar, "StopBtn")->isEnabled());
    QTest::mouseClick(aloud, Qt::LeftButton);
    EXPECT_EQ(form->State(), rsReading) << messages_.all.join(';').toStdString();
    ASSERT_TRUE(Started(*form));
    EXPECT_FALSE(aloud->isEnabled());
    EXPECT_TRUE(Button(*toolbar, "StopBtn")->isEnabled());
    EXPECT_TRUE(Button(*toolbar, "PauseBtn")->isEnabled());
    EXPECT_EQ(toolbar->Status(), QStringLiteral("Article 1 of 1"));
    auto* gauge = toolbar->findChild<QProgressBar*>(QStringLiteral("Gauge1"));
    EXPECT_TRUE(gauge->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return gauge->value() > 0; }, kReadingTimeoutMs));

    // Pause and resume from the toolbar.
    QTest::mouseClick(Button(*toolbar, "PauseBtn"), Qt::LeftButton);
    EXPECT_EQ(form->State(), rsPaused);
    EXPECT_TRUE(Button(*toolbar, "PauseBtn")->isChecked()) << "a paused reading shows";
    QTest::mouseClick(Button(*toolbar, "PauseBtn"), Qt::LeftButton);
    EXPECT_EQ(form->State(), rsReading);
    EXPECT_FALSE(Button(*toolbar, "PauseBtn")->isChecked());

    // Minimised, it would have no button to come back from: it is closed instead.
    toolbar->showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !toolbar->isVisible(); }, kReadingTimeoutMs));
    EXPECT_TRUE(showItem->isEnabled());
    showItem->trigger();
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_FALSE(toolbar->isMinimized());

    // The close box hides it; the reading and the program go on.
    toolbar->close();
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_TRUE(showItem->isEnabled());
    EXPECT_EQ(form->State(), rsReading);
    EXPECT_EQ(ended.count(), 0);
    showItem->trigger();
    EXPECT_TRUE(toolbar->isVisible()) << "the same window comes back";
    QTest::mouseClick(Button(*toolbar, "StopBtn"), Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_FALSE(gauge->isVisible());
    EXPECT_TRUE(aloud->isEnabled());

    // Its restore button brings the window back and hides it.
    QTest::mouseClick(Button(*toolbar, "RestoreBtn"), Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_FALSE(showItem->isEnabled());
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(';').toStdString();
}

TEST_F(FloatingToolbar, WhenReadingStartsItShowsOnlyWithAReadingInTheTray) {
    auto form = Start(2);
    TToolBarForm* toolbar = form->ToolBarForm();
    QAction* showItem = TrayItem(*form, QStringLiteral("Show &Toolbar"));
    ASSERT_NE(showItem, nullptr);
    form->HideToTray();
    EXPECT_FALSE(toolbar->isVisible()) << "idle: nothing shows";
    EXPECT_TRUE(showItem->isEnabled());

    // A reading started from the tray menu brings it up.
    TrayItem(*form, QStringLiteral("Read &Aloud"))->trigger();
    EXPECT_EQ(form->State(), rsReading) << messages_.all.join(';').toStdString();
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_FALSE(showItem->isEnabled());
    toolbar->close();
    EXPECT_TRUE(showItem->isEnabled());
    ASSERT_TRUE(Started(*form));
    EXPECT_FALSE(toolbar->isVisible()) << "closed, it stays closed while the reading goes on";
    TrayItem(*form, QStringLiteral("&Stop"))->trigger();
    ASSERT_TRUE(WaitIdle(*form));

    // Hiding during a reading shows it at once.
    form->RestoreFromTray();
    EXPECT_FALSE(toolbar->isVisible());
    form->PlayAllBtnClick();
    ASSERT_EQ(form->State(), rsReading);
    EXPECT_FALSE(toolbar->isVisible()) << "the window is in view";
    form->HideToTray();
    EXPECT_TRUE(toolbar->isVisible());
    ASSERT_TRUE(Started(*form));
    form->StopBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
}

TEST_F(FloatingToolbar, ItStaysOnTopOnlyWhenSetToAndKeepsItsPlace) {
    FormPlacementStore::save(QStringLiteral("ToolBarForm"), {120, 90, 240, 55, false});
    {
        auto form = Start(1, true);
        TToolBarForm* toolbar = form->ToolBarForm();
        EXPECT_EQ(toolbar->pos(), QPoint(90, 120));
        form->HideToTray();
        EXPECT_TRUE(toolbar->OnTop());
        form->RestoreFromTray();
        form->Preferences().ToolbarOnTop = false;
        form->HideToTray();
        EXPECT_TRUE(toolbar->isVisible());
        EXPECT_FALSE(toolbar->OnTop());
        // Changed while it is shown, the setting holds from its next activation.
        form->Preferences().ToolbarOnTop = true;
        QApplication::setActiveWindow(toolbar);
        EXPECT_TRUE(QTest::qWaitFor([&] { return toolbar->OnTop(); }, 5000));
        EXPECT_TRUE(toolbar->isVisible());
        toolbar->move(150, 100);
    }
    const auto placement =
        FormPlacementStore::restore(QStringLiteral("ToolBarForm"), QSize(1024, 768));
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(placement->left, 150);
    EXPECT_EQ(placement->top, 100);
}

TEST_F(FloatingToolbar, PromptsAndMessageBoxesAppearClearOfIt) {
    auto form = Start(1, true);
    TToolBarForm* toolbar = form->ToolBarForm();
    const QRect screen = toolbar->screen()->availableGeometry();
    const auto centred = [&](const QWidget& window) {
        return screen.center() - window.rect().center();
    };
    toolbar->move(centred(*toolbar));
    form->HideToTray();
    ASSERT_TRUE(toolbar->isVisible() && toolbar->OnTop());
    const auto clear = [&](const QWidget& window) {
        return !window.frameGeometry().intersects(toolbar->frameGeometry()) &&
               screen.contains(window.frameGeometry());
    };

    // The clipboard prompt comes at the screen's centre, where the toolbar is.
    TCB_PromptForm prompt(form->Preferences());
    prompt.Prompt(true, true);
    ASSERT_TRUE(prompt.isVisible());
    EXPECT_TRUE(clear(prompt)) << "its New and Append buttons can be reached";
    MessageBox box(QMessageBox::Information, QStringLiteral("Quillsong MP3"),
                   QStringLiteral("A message of the program."), QMessageBox::Ok);
    box.open();
    EXPECT_TRUE(clear(box));
    box.close();

    // A prompt already shown when the toolbar appears is moved clear of it as well.
    form->RestoreFromTray();
    prompt.move(centred(prompt));
    form->HideToTray();
    ASSERT_TRUE(toolbar->isVisible());
    EXPECT_TRUE(clear(prompt));
    prompt.reject();
}
