#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QShowEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <QDateTime>
#include <QRandomGenerator>
#include "app/form1.h"
#include "app/readingsession.h"
#include "app/splashform.h"
#include "app/statustext.h"
#include "articles/memolistbox.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/programfolders.h"
#include "settings/runatlogin.h"
#include "settings/widgetplacement.h"
#include "speech/ttsform.h"

namespace {

const QString kAutoSwitch = QStringLiteral("-auto");
const QString kAutostartEntry = QStringLiteral("Quillsong");
constexpr int kMinimizeDelayMs = 500;

}  // namespace

const QString TForm1::kSoundCardMissing = QStringLiteral(
    "Sound Card not found\r\rA Sound Card is required for Quillsong to operate\r\r"
    "Quillsong will exit now.");

void TForm1::FormCreate() {
    prefs_ = std::make_unique<TPreferences>();
    prefs_->ReadAll();
    RestoreFormPlacement(this);
    prefs_->ApplyStoredValues();
    debugLog(QStringLiteral("Version: ") + prefs_->Version());

    statusPanel1_->setText(QStringLiteral(" "));
    setWindowTitle(StatusText::kProgramTitle);
    // Before the driver exists: it hands the stored audio device to the speech component,
    // which takes one only when the probe has found a wave output device.
    ProbeSpeechInstallation();
    CreateDriver();
    CreateArticleList();
    ConnectSession();

    ToolBar1->setVisible(prefs_->ShowToolbar);
    toolbarItem_->setChecked(prefs_->ShowToolbar);
    OptionsBtn->setChecked(prefs_->ShowOptions);
    optionsPanelsItem_->setChecked(prefs_->ShowOptions);
    ApplyMode();
    watchClipboardItem_->setChecked(prefs_->CB_Monitor);
    trayWatchClipboardItem_->setChecked(prefs_->CB_Monitor);

    trayShowToolbarItem_->setEnabled(false);
    roundRobinIndex_ = -1;

    // Keeps the login entry pointing at this copy of the program when it has moved.
    if (IsRunAtLogin(kAutostartEntry)) {
        SetRunAtLogin(kAutostartEntry, runAtLoginCommand(ProgramFolders::programPath()), true);
    }
    FormResize();
}

void TForm1::ApplyMode() {
    const bool multi = prefs_->ML_ListMode == 1;
    (multi ? ToolButton2 : ToolButton1)->setChecked(true);
    (multi ? multiItem_ : singleItem_)->setChecked(true);
    (multi ? trayMultiItem_ : traySingleItem_)->setChecked(true);
    debugLog(multi ? QStringLiteral("Current Mode is Multi-Article")
                   : QStringLiteral("Current Mode is Single-Article"));
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !firstShowQueued_) {
        firstShowQueued_ = true;
        // Runs once the window is on screen, from the event loop, so dialogs and the splash
        // can show on top of it.
        QTimer::singleShot(0, this, &TForm1::FormShow);
    }
}

void TForm1::FormShow() {
    if (shown_) {
        return;
    }
    debugLog(QStringLiteral("Entered FormShow"));
    if (waveOutCount_() == 0) {
        debugLog(kSoundCardMissing);
        QString shownText = kSoundCardMissing;
        QMessageBox::critical(this, StatusText::kProgramTitle,
                              shownText.replace(QLatin1Char('\r'), QLatin1Char('\n')));
        RequestTermination();
        return;
    }
    splash_ = new TSplashForm(splashMinimumMs_);
    splash_->show();
    if (!StartSpeech()) {
        RequestTermination();
        return;
    }
    ImportArticles();

    // Also when the window system has not activated the window (yet), so the status is
    // never left blank.
    if (!listInitialised_) {
        debugLog(QStringLiteral("FormShow - Initialize list info and mark entry"));
        InitializeListInfo();
    }
    InitTrayIconData();
    splash_->Finish();
    SetReadingState(rsIdle);
    shown_ = true;
    debugLog(QStringLiteral("Exiting FormShow"));
    // Without a window manager the window may never be activated; the hidden start must
    // still happen.
    if (!activated_) {
        FormActivate();
    }
    Q_EMIT startupFinished();
}

void TForm1::InitializeListInfo() {
    listInitialised_ = true;
    UpdateStatus(ArticleCountText());
    if (List_->VisibleCount() > 0) {
        List_->ScrollToTop(1);
        List_->MarkEntry(1);
    } else {
        AddNewArticle();
    }
}

void TForm1::FormActivate() {
    if (!activated_) {
        activated_ = true;
        debugLog(ProgramFolders::programPath());
        debugLog(arguments_.value(1));
        if (arguments_.value(1) == kAutoSwitch) {
            debugLog(QStringLiteral("Minimizing ..."));
            Timer1.start(kMinimizeDelayMs);
        }
        debugLog(QStringLiteral("Exiting FormActivate"));
    }
    if (!listInitialised_ && shown_) {
        debugLog(QStringLiteral("FormActivate - Initialize list info and mark entry"));
        InitializeListInfo();
    }
}

void TForm1::Timer1Timer() {
    debugLog(QStringLiteral("FormActivate Timer popped"));
    if (importing_()) {
        debugLog(QStringLiteral("Import in progress.  Resetting timer"));
        Timer1.start(kMinimizeDelayMs);
        return;
    }
    debugLog(QStringLiteral("FormActivate Timer: Minimizing now."));
    Timer1.stop();
    HideToTray();
}

void TForm1::StorePreferences() {
    SaveFormPlacement(this);
    prefs_->CollectValues();
    try {
        if (!prefs_->WriteAll()) {
            debugLog(QStringLiteral("The preferences could not be saved"));
        }
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("The preferences could not be saved: ") +
                 QString::fromStdString(error.what()));
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    StorePreferences();
    if (readingState_ == rsExiting) {
        event->accept();
        return;
    }
    // The close box only sends the program to the tray.
    event->ignore();
    HideToTray();
}

void TForm1::ExitQuillsongClick() {
    if (readingState_ == rsExiting) {
        return;
    }
    debugLog(QStringLiteral("Entered ExitQuillsongClick"));
    SetReadingState(rsExiting);
    if (session_) {
        session_->shutdown();  // stops the reading; no article walk goes on after this
    }
    QCoreApplication::processEvents();
    if (List_ && shown_) {
        ExportArticles();
        List_->UnlockAllEntries();
        List_->DeleteAll();
    }
    close();
    RequestTermination();
}

void TForm1::FormDestroy() {
    debugLog(QStringLiteral("Entered Form1 Destroy"));
    StorePreferences();
    if (trayIcon_) {
        trayIcon_->hide();
    }
    debugLog(QStringLiteral("Exitting FormDestroy"));
}

void TForm1::RequestTermination() {
    Q_EMIT terminationRequested();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}
