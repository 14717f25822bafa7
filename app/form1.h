#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/readingstate.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QSystemTrayIcon;
class QToolBar;
class QToolButton;
class TMemoEntry;
class TMemoListBox;
class TSplashForm;
class ArticleListQueue;
class ReadingSession;

// The main window: toolbar, menus, the article area, the status bar and the tray icon. It owns
// the preferences and ends the program only through ExitQuillsongClick.
class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    static const QString kSoundCardMissing;

    explicit TForm1(const QStringList& arguments, QWidget* parent = nullptr);
    ~TForm1() override;

    void ExitQuillsongClick();
    void HideToTray();
    void RestoreFromTray();
    void UpdateStatus(const QString& text);
    void ResetStatus();
    QString ArticleCountText() const;
    void SetReadingState(ReadingState state);
    // Saves placement and preferences, as at exit (the desktop session is ending).
    void StorePreferencesNow() { StorePreferences(); }

    TPreferences& Preferences() { return *prefs_; }
    TMemoListBox* List() const { return List_; }
    // Where the articles are kept between runs, and the articles of the very first start.
    static QString StoreFileName();
    static QString IntroFileName();

    // The five reading commands, each a toolbar button, a main menu item and a tray menu item.
    enum Command { cmdAloud, cmdFile, cmdPause, cmdSkip, cmdStop, kCommandCount };

    // Reading commands (form1_reading.cpp).
    void PlayAllBtnClick();
    void PauseBtnClick();
    void SkipBtnClick();
    void StopBtnClick();
    void ReadArticleAloud(TMemoEntry* entry);
    void PlayFileBtnClick();
    void ReadArticleToFile(TMemoEntry* entry);
    // Opens text files into the list (form1_openfiles.cpp): the dialog, then OpenTextFiles.
    void ReadFileBtnClick();
    void OpenTextFiles(const QStringList& files);
    void ReadfromCursor1Click();
    void ReadHighlighted1Click();
    // The gauge follows the spoken words: position out of total.
    void WordPosition(int64_t position, int64_t total);
    void LoadFavoriteVoices();
    TTTSForm* Driver() const { return TTSForm_.get(); }
    ReadingSession* Session() const { return session_; }
    bool CommandEnabled(Command command) const;
    QStringList PauseCaptions() const;
    // The handler of commands whose behaviour is not built yet: their actions are created
    // disabled and connected to nothing.
    void NotYetAvailable() {}
    static bool IsNotYetAvailable(const QAction* action);

    // Article commands (form1_articles.cpp).
    TMemoEntry* AddNewArticle();
    TMemoEntry* AddArticle(const QString& text, const QString& voice);
    void DelSelPopupClick();
    void DeleteArticle(TMemoEntry* entry);
    void SwitchMode(uint8_t mode);
    void PasteClick();
    QString ChooseVoiceForNewArticle();
    // Names of the favourite voices of enabled engines, for the voice policies.
    QStringList FavoriteVoices;
    ReadingState State() const { return readingState_; }
    bool Shown() const { return shown_; }
    QString TrayTip() const { return trayTip_; }
    QString StatusPanelText(int panel) const;
    QString ShortStatus() const { return shortText_; }
    bool TrayAvailable() const;
    // The hidden start's timer is running.
    bool HidingScheduled() const { return Timer1.isActive(); }

    // The splash stays at least this long (5000 ms); tests shorten it.
    void SetSplashMinimum(int milliseconds) { splashMinimumMs_ = milliseconds; }
    // Counts the wave output devices; the platform's count unless replaced.
    void SetWaveOutCounter(std::function<int()> counter) { waveOutCount_ = std::move(counter); }
    // Tells whether the article list is importing; the hidden start waits for it.
    void SetImportProbe(std::function<bool()> probe) { importing_ = std::move(probe); }

  Q_SIGNALS:
    // The program must end: no sound card, or the exit command has finished.
    void terminationRequested();
    // The first showing has completed (FormShow done, idle).
    void startupFinished();
    void hiddenToTray();
    // Every status shown: the long text (status bar) and the short one (toolbar, tray).
    void statusChanged(const QString& longText, const QString& shortText);
    void restoredFromTray();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Construction of the controls (form1.cpp).
    void CreateActions();
    void CreateToolBar();
    void CreateMenus();
    void CreateTrayMenu();
    void CreateStatusBar();
    QAction* MakeAction(const QString& text, const QString& iconName, void (TForm1::*handler)());

    // Life cycle (form1_lifecycle.cpp).
    void FormCreate();
    void FormShow();
    void FormActivate();
    void Timer1Timer();
    void FormDestroy();
    void StorePreferences();
    void ApplyMode();
    void InitializeListInfo();
    void RequestTermination();

    // Tray (form1_tray.cpp).
    void InitTrayIconData();
    void TrayIconActivated(int reason);
    void BringToFront();

    // Status (form1_status.cpp).
    void FormResize();
    void SetTrayTip(const QString& text);

    // Articles (form1_articles.cpp).
    void CreateArticleList();
    void CreateArticleMenu();
    void ImportArticles();
    void ExportArticles();
    void ShowLockedMessage();
    void PopupMenu1Popup();

    // Commands whose work is done elsewhere; they are wired here so every menu exists.
    void ToolbarClick();
    void ToolButton1Click() { SwitchMode(0); }
    void ToolButton2Click() { SwitchMode(1); }

    QStringList arguments_;
    std::unique_ptr<TPreferences> prefs_;
    std::function<int()> waveOutCount_;
    std::function<bool()> importing_;
    int splashMinimumMs_ = 5000;

    bool shown_ = false;
    bool activated_ = false;
    bool listInitialised_ = false;
    bool firstShowQueued_ = false;
    ReadingState readingState_ = rsIdle;
    // The store file exists but could not be read: it is never written over in this session.
    bool storeUnreadable_ = false;
    int roundRobinIndex_ = -1;
    QString trayTip_;
    QString shortText_;  // the short status (floating toolbar, tests)

    QTimer Timer1;
    QPointer<TSplashForm> splash_;
    QSystemTrayIcon* trayIcon_ = nullptr;

    QToolBar* ToolBar1 = nullptr;
    QFrame* MainTextPanel = nullptr;
    QLabel* statusPanel0_ = nullptr;
    QLabel* statusPanel1_ = nullptr;
    QProgressBar* statusGauge_ = nullptr;
    QMenu* audioHelpMenu_ = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    TMemoListBox* List_ = nullptr;
    QAction* PasteBtn = nullptr;
    QAction* pasteItem_ = nullptr;
    QAction* readFromCursorItem_ = nullptr;
    QAction* readSelectedItem_ = nullptr;

    // Reading (form1_reading.cpp).
    void CreateDriver();
    void ConnectSession();
    bool StartSpeech();
    void ReadSingleArticle(TMemoEntry* entry, OutputTarget target, int length, int start);
    // What the window shows of the session's reading.
    void SessionStateChanged(ReadingState state);
    void ArticleStarted(quintptr key, int64_t progressMaximum);
    void HighlightWord(quintptr key, int caret);
    void TitleMissing(quintptr key, const QString& message);
    void ReadingFinished(bool completed);
    // The article being read, while it is in the list.
    TMemoEntry* ReadingEntry() const;
    void SetPauseCaptions(bool paused);
    bool OutputDirectoryValid();
    void ShowGauges(int maximum);
    void HideGauges();
    QList<QAction*> commands_[kCommandCount];
    QList<QAction*> deviceItems_;
    QAction* PauseBtn = nullptr;
    QAction* pauseMenuItem_ = nullptr;
    QAction* pauseTrayItem_ = nullptr;
    std::unique_ptr<TTTSForm> TTSForm_;
    ReadingSession* session_ = nullptr;
    ArticleListQueue* queue_ = nullptr;
    QStringList savedFiles_;  // made by the current reading into files, for the status bar

    QAction* ToolButton1 = nullptr;  // single-article mode
    QAction* ToolButton2 = nullptr;  // multi-article mode
    QAction* OptionsBtn = nullptr;
    QAction* toolbarItem_ = nullptr;
    QAction* optionsPanelsItem_ = nullptr;
    QAction* singleItem_ = nullptr;
    QAction* multiItem_ = nullptr;
    QAction* traySingleItem_ = nullptr;
    QAction* trayMultiItem_ = nullptr;
    QAction* watchClipboardItem_ = nullptr;
    QAction* trayWatchClipboardItem_ = nullptr;
    QAction* trayShowToolbarItem_ = nullptr;
};
