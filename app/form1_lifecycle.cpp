#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
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
#include "app/optionsarea.h"
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
constexpr int kMinimizeDelayMs = 500;

}  // namespace

const QString TForm1::kAutostartEntry = QStringLiteral("Quillsong");

const QString TForm1::kSoundCardMissing = QStringLiteral(
    "Sound Card not found\r\rA Sound Card is required for Quillsong to operate\r\r"
    "Quillsong will exit now.");

void TForm1::FormCreate() {
    m_prefs = std::make_unique<TPreferences>();
    m_prefs->ReadAll();
    RestoreFormPlacement(this);
    m_prefs->ApplyStoredValues();
    debugLog(QStringLiteral("Version: ") + m_prefs->Version());

    m_statusPanel1->setText(QStringLiteral(" "));
    setWindowTitle(StatusText::kProgramTitle);
    // Before the driver exists: it hands the stored audio device to the speech component,
    // which takes one only when the probe has found a wave output device.
    ProbeSpeechInstallation();
    CreateDriver();
    CreateLexicon();
    CreateArticleList();
    ConnectSession();
    ConnectClipboard();

    CreateOptionsArea();
    ApplyPanels(PanelHeights::By::Start);
    ApplyMode();
    m_watchClipboardItem->setChecked(m_prefs->CB_Monitor);
    m_trayWatchClipboardItem->setChecked(m_prefs->CB_Monitor);

    m_trayShowToolbarItem->setEnabled(false);
    m_voicePolicy.setFavourites({});

    // Keeps the login entry pointing at this copy of the program when it has moved.
    if (IsRunAtLogin(kAutostartEntry)) {
        SetRunAtLogin(kAutostartEntry, runAtLoginCommand(ProgramFolders::programPath()), true);
    }
    Panel3->ShowSheet(OptionsArea::Sheet::Clipboard);
    FormResize();
}

void TForm1::ApplyMode() {
    const bool multi = m_prefs->ML_ListMode == 1;
    (multi ? ToolButton2 : ToolButton1)->setChecked(true);
    (multi ? m_multiItem : m_singleItem)->setChecked(true);
    (multi ? m_trayMultiItem : m_traySingleItem)->setChecked(true);
    Panel3->ShowModeSheet(m_prefs->ML_ListMode);
    debugLog(multi ? QStringLiteral("Current Mode is Multi-Article")
                   : QStringLiteral("Current Mode is Single-Article"));
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown && !m_firstShowQueued) {
        m_firstShowQueued = true;
        // Runs once the window is on screen, from the event loop, so dialogs and the splash
        // can show on top of it.
        QTimer::singleShot(0, this, &TForm1::FormShow);
    }
}

void TForm1::FormShow() {
    if (m_shown) {
        return;
    }
    debugLog(QStringLiteral("Entered FormShow"));
    if (m_waveOutCount() == 0) {
        debugLog(kSoundCardMissing);
        QString shownText = kSoundCardMissing;
        QMessageBox::critical(this, StatusText::kProgramTitle,
                              shownText.replace(QLatin1Char('\r'), QLatin1Char('\n')));
        RequestTermination();
        return;
    }
    m_splash = new TSplashForm(m_splashMinimumMs);
    m_splash->show();
    if (!StartSpeech()) {
        RequestTermination();
        return;
    }
    ImportArticles();
    if (m_readingState == rsExiting) {
        // Asked to end during the import: the window is closing, the list is not set up.
        if (m_splash) {
            m_splash->close();
        }
        return;
    }

    // Also when the window system has not activated the window (yet), so the status is
    // never left blank.
    if (!m_listInitialised) {
        debugLog(QStringLiteral("FormShow - Initialize list info and mark entry"));
        InitializeListInfo();
    }
    InitTrayIconData();
    m_splash->Finish();
    SetReadingState(rsIdle);
    m_shown = true;
    debugLog(QStringLiteral("Exiting FormShow"));
    // Without a window manager the window may never be activated; the hidden start must
    // still happen.
    if (!m_activated) {
        FormActivate();
    }
    if (m_prefs->CB_Monitor &&
        QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        UpdateStatus(kWaylandClipboard);  // once: watching works differently from what users expect
    }
    if (!m_lexiconNotice.isEmpty()) {
        UpdateStatus(m_lexiconNotice);  // once: the lexicon file needs the user's eye
    }
    OfferKeptArticles();
    Q_EMIT startupFinished();
}

void TForm1::InitializeListInfo() {
    m_listInitialised = true;
    UpdateStatus(ArticleCountText());
    if (m_list->VisibleCount() > 0) {
        m_list->ScrollToTop(1);
        m_list->MarkEntry(1);
    } else {
        AddNewArticle();
    }
}

void TForm1::FormActivate() {
    if (!m_activated) {
        m_activated = true;
        debugLog(ProgramFolders::programPath());
        debugLog(m_arguments.value(1));
        if (m_arguments.value(1) == kAutoSwitch) {
            debugLog(QStringLiteral("Minimizing ..."));
            Timer1.start(kMinimizeDelayMs);
        }
        debugLog(QStringLiteral("Exiting FormActivate"));
    }
    if (!m_listInitialised && m_shown) {
        debugLog(QStringLiteral("FormActivate - Initialize list info and mark entry"));
        InitializeListInfo();
    }
}

void TForm1::Timer1Timer() {
    debugLog(QStringLiteral("FormActivate Timer popped"));
    if (m_importing()) {
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
    m_prefs->CollectValues();
    try {
        if (!m_prefs->WriteAll()) {
            debugLog(QStringLiteral("The preferences could not be saved"));
        }
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("The preferences could not be saved: ") +
                 QString::fromStdString(error.what()));
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    StorePreferences();
    if (m_readingState == rsExiting) {
        event->accept();
        return;
    }
    // The close box only sends the program to the tray.
    event->ignore();
    HideToTray();
}

void TForm1::ExitOnRequest() {
    m_exitUnattended = true;
    ExitQuillsongClick();
}

void TForm1::ExitQuillsongClick() {
    if (m_readingState == rsExiting) {
        return;
    }
    debugLog(QStringLiteral("Entered ExitQuillsongClick"));
    SetReadingState(rsExiting);
    if (m_list && m_list->Importing) {
        // The import stops after its current article and its list is never saved.
        m_list->CancelImport();
    }
    if (m_session) {
        m_session->shutdown();  // stops the reading; no article walk goes on after this
    }
    QCoreApplication::processEvents();
    if (m_list && m_shown) {
        if (!ExportArticles()) {
            KeepUnsavedArticles(!m_exitUnattended);
        }
        m_list->UnlockAllEntries();
        m_list->DeleteAll();
    }
    close();
    RequestTermination();
}

void TForm1::FormDestroy() {
    debugLog(QStringLiteral("Entered Form1 Destroy"));
    DestroyLexicon();
    StorePreferences();
    if (m_trayIcon) {
        m_trayIcon->hide();
    }
    debugLog(QStringLiteral("Exitting FormDestroy"));
}

void TForm1::RequestTermination() {
    Q_EMIT terminationRequested();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}
