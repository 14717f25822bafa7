#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/listremovalquestion.h"
#include "app/panelheights.h"
#include "app/readingstate.h"
#include "app/voicepolicy.h"
#include "platform/speechapi/pronunciationlexicon.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"

class FileOptionsSheet;
class LexiconStore;
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
class TCB_PromptForm;
class ArticleListQueue;
class MiscSheet;
class OptionsArea;
class ReadingSession;
class TToolBarForm;
class TVoiceEditForm;

// The main window: toolbar, menus, the article area, the status bar and the tray icon. It owns
// the preferences and ends the program only through ExitQuillsongClick.
class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    static const QString kSoundCardMissing;
    // The program's entry among the programs started at login.
    static const QString kAutostartEntry;
    // Said once when the window system lets the program see other programs' copies only while
    // it is active.
    static const QString kWaylandClipboard;

    explicit TForm1(const QStringList& arguments, QWidget* parent = nullptr);
    ~TForm1() override;

    void ExitQuillsongClick();
    // The end asked for by the system (a signal, the session ending): nothing asks or tells.
    void ExitOnRequest();
    void HideToTray();
    void RestoreFromTray();
    void UpdateStatus(const QString& text);
    void ResetStatus();
    QString ArticleCountText() const;
    void SetReadingState(ReadingState state);
    // Saves placement and preferences, as at exit (the desktop session is ending).
    void StorePreferencesNow() { StorePreferences(); }

    TPreferences& Preferences() { return *m_prefs; }
    TMemoListBox* List() const { return m_list; }
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
    // Opens one document (HTML, Markdown, EPUB, PDF, DOCX, ODT) as one article, or one per
    // chapter of a book in multi-article mode; a failure is shown and nothing is added.
    void OpenDocument(const QString& file);
    void ReadfromCursor1Click();
    void ReadHighlighted1Click();
    // The gauge follows the spoken words: position out of total.
    void WordPosition(int64_t position, int64_t total);
    void LoadFavoriteVoices();
    TTTSForm* Driver() const { return m_ttsForm.get(); }
    ReadingSession* Session() const { return m_session; }
    bool CommandEnabled(Command command) const;
    QStringList PauseCaptions() const;
    // The handler of commands whose behaviour is not built yet: their actions are created
    // disabled and connected to nothing.
    void NotYetAvailable() {}
    static bool IsNotYetAvailable(const QAction* action);

    // The toolbar and the options area above the articles (form1_options.cpp): each command
    // shows or hides its part and sets the top panel's height.
    void MMLabel1Click();
    void ShowToolbarMItmClick();
    OptionsArea* Options() const { return Panel3; }
    // "&Select Audio Device" (form1_devices.cpp): the device dialog, then the chosen device is
    // tried on the speech component and stored only when the engine starts on it.
    void SelAudioDevMItmClick();
    // "&Pronunciation Editor" (form1_pronunciation.cpp): the lexicon dialog, through the
    // reading driver, with the voice it activates for trying entries.
    void PronunciationEditorMItmClick();
    static const QString kPronunciationTitle;
    LexiconStore* Lexicon() const { return m_lexicon; }
    // "Browse" of the File Options sheet: the output folder dialog, then the sheet shows the
    // chosen folder (form1_fileoptions.cpp).
    void Button1Click();
    QWidget* TopPanel() const { return Panel2; }

    // Speaking outside the article list (form1_voiceedit.cpp): a plain text in a voice, with
    // no highlight and no gauge; a voice's test sentence; a voice's pitch and speed edited in
    // the voice edit dialog, applied to a reading in progress and stored.
    void SpeakText(const QString& text, const QString& voiceName);
    void TestVoice(const QString& voiceName);
    void EditVoice(const QString& voiceName);
    void EditVoiceforSelectedArticle1Click();
    // A text of SpeakText has ended: the status says what it said before.
    void SpeakTextFinished();
    // The voice edit dialog; null until a voice is first edited.
    TVoiceEditForm* VoiceEditForm() const { return m_voiceEditForm; }

    // Help, Audio Help, Tell a Friend and the about box (form1_help.cpp).
    void AudioHelpTopicClick(QAction* item);
    void HelpContentsClick();
    void VisitHalcyxClick();
    void PortablePlayersClick();
    void TellAFriendClick();
    void AboutClick();
    QMenu* AudioHelpMenu() const { return m_audioHelpMenu; }

    // Clipboard (form1_clipboard.cpp): a changed clipboard, and what becomes of its text
    // (0 New, 1 Append, 2 Cancel).
    void ClipboardChanged();
    void CopyClipboardMemo(int action);
    void MonitorCBClick();
    // The prompt shown for the last copied text; null before the first.
    TCB_PromptForm* PromptForm() const;

    // Article commands (form1_articles.cpp).
    TMemoEntry* AddNewArticle();
    TMemoEntry* AddArticle(const QString& text, const QString& voice);
    void DelSelPopupClick();
    void DeleteArticle(TMemoEntry* entry);
    void SwitchMode(uint8_t mode);
    void PasteClick();
    // Tells why nothing was pasted into an article that cannot be changed.
    void PasteRefused(TMemoEntry* entry);
    // The voice for a new article, by the voice policy of the current mode.
    QString ChooseVoiceForNewArticle();
    // The favourite voices of enabled engines, which the voice policies choose from.
    VoicePolicy& VoicePolicies() { return m_voicePolicy; }
    const QStringList& FavoriteVoices() const { return m_voicePolicy.favourites(); }
    ReadingState State() const { return m_readingState; }
    bool Shown() const { return m_shown; }
    QString TrayTip() const { return m_trayTip; }
    QString StatusPanelText(int panel) const;
    QString ShortStatus() const { return m_shortText; }
    bool TrayAvailable() const;
    // The hidden start's timer is running.
    bool HidingScheduled() const { return Timer1.isActive(); }

    // The splash stays at least this long (5000 ms); tests shorten it.
    void SetSplashMinimum(int milliseconds) { m_splashMinimumMs = milliseconds; }
    // Counts the wave output devices; the platform's count unless replaced.
    void SetWaveOutCounter(std::function<int()> counter) { m_waveOutCount = std::move(counter); }
    // Tells whether the article list is importing; the hidden start waits for it.
    void SetImportProbe(std::function<bool()> probe) { m_importing = std::move(probe); }
    // Tells whether the desktop has a system tray; the platform's answer unless replaced.
    void SetTrayProbe(std::function<bool()> probe) { m_trayAvailable = std::move(probe); }

    // The floating toolbar (form1_tray.cpp), made with the window and kept until its end.
    TToolBarForm* ToolBarForm() const { return m_toolBarForm.get(); }
    // The tray's "Show Toolbar": the floating toolbar in its normal state, in front.
    void ShowToolbar1Click();

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
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
    void CreateToolBarForm();
    // On hiding in the tray: whether the floating toolbar is shown, by "ToolbarOnMinOption".
    bool ToolbarShownOnHide() const;

    // Status (form1_status.cpp).
    void FormResize();
    void SetTrayTip(const QString& text);

    // Articles (form1_articles.cpp).
    void CreateArticleList();
    // Gives an article its buttons' handlers and its context menu.
    void WireArticle(TMemoEntry* entry);
    void ConnectClipboard();
    // Whether a copied text can be appended: there is a current article with text.
    bool AppendPossible() const;
    void CreateArticleMenu();
    void ImportArticles();
    // Writes the list to the store; false when it could not be written (told once). While
    // m_exportHeld, it waits for the write that ends the holding command.
    bool ExportArticles();
    // Opens one text file or document as articles; false when no further file can be added.
    bool OpenTextFile(const QString& file);
    // At the end, when the store could not be written: the articles go to a copy elsewhere,
    // which the user is told of when tellUser.
    void KeepUnsavedArticles(bool tellUser);
    // At the start after such an end: says where they are, once, and offers to bring them back
    // in place of the list's articles.
    void OfferKeptArticles();
    void RestoreKeptArticles(const QString& copy);
    void ShowLockedMessage();
    void PopupMenu1Popup();

    // Single-article mode keeps one article (form1_listremoval.cpp). How many articles adding
    // one removes now (none when a blank article takes it).
    int ArticlesAnAddRemoves() const;
    // Whether an article may be added now. Before a list would go, the user is asked (or what
    // the user chose for good is done) and it is false; retry runs on Remove or Switch to
    // Multi-Article.
    bool MayAddArticle(const std::function<void()>& retry);
    // Whether the switch to single-article mode may go on now; with a list, the user is asked
    // first and the switch is made on Remove.
    bool MaySwitchToSingle();
    void AskListRemoval(int others, bool offerMultiArticle,
                        const std::function<void(ListRemovalQuestion::Answer)>& then);
    // Removes every article but the one being read or the one the user is on.
    void KeepOneArticle();

    void CreateOptionsArea();
    // The sheets of the options area's tabs, each with the window's part of its commands
    // (form1_fileoptions.cpp, form1_voices.cpp, form1_misc.cpp).
    void CreateFileOptionsSheet();
    void CreateVoicesSheet();
    void CreateMiscSheet();
    // The Misc sheet's commands (form1_misc.cpp).
    void HighlightPosnClick();
    void MiscSheetShow();
    void AutoStartAppCBClick(bool enabled);
    // Shows the toolbar and the options area as the settings say, with their checks, and sets
    // the top panel's height for the command that changed them.
    void ApplyPanels(PanelHeights::By by);
    void SetTopPanelHeight(PanelHeights::By by);

    void ToolButton1Click() { SwitchMode(0); }
    void ToolButton2Click() { SwitchMode(1); }

    QStringList m_arguments;
    std::unique_ptr<TPreferences> m_prefs;
    std::function<int()> m_waveOutCount;
    std::function<bool()> m_importing;
    int m_splashMinimumMs = 5000;

    bool m_shown = false;
    bool m_activated = false;
    bool m_listInitialised = false;
    bool m_firstShowQueued = false;
    ReadingState m_readingState = rsIdle;
    // The store file exists but could not be read: it is never written over in this session.
    bool m_storeUnreadable = false;
    // The last export could not write the store file and the user has been told: not again until
    // an export has written it.
    bool m_storeUnwritable = false;
    // Documents being read on a worker thread while the window goes on answering.
    int m_openingDocuments = 0;
    bool m_openingStopped = false;  // the status bar tells of a stopped opening, not the count
    bool m_exportHeld = false;      // a command adding several articles writes the store at its end
    bool m_removalAllowed = false;  // the user has answered Remove for the command running now
    QPointer<ListRemovalQuestion> m_removalQuestion;
    bool m_exitUnattended = false;  // the end was asked for by the system, not the user
    VoicePolicy m_voicePolicy;
    QString m_trayTip;
    QString m_shortText;  // the short status (floating toolbar, tests)

    QTimer Timer1;
    QPointer<TSplashForm> m_splash;
    QSystemTrayIcon* m_trayIcon = nullptr;

    QWidget* Panel2 = nullptr;  // the toolbar and the options area
    QToolBar* ToolBar1 = nullptr;
    OptionsArea* Panel3 = nullptr;
    MiscSheet* m_miscSheet = nullptr;
    QFrame* MainTextPanel = nullptr;
    QLabel* m_statusPanel0 = nullptr;
    QLabel* m_statusPanel1 = nullptr;
    QProgressBar* m_statusGauge = nullptr;
    QMenu* m_audioHelpMenu = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    TMemoListBox* m_list = nullptr;
    QAction* PasteBtn = nullptr;
    QAction* m_pasteItem = nullptr;
    QAction* m_readFromCursorItem = nullptr;
    QAction* m_readSelectedItem = nullptr;

    // The pronunciation lexicon (form1_pronunciation.cpp).
    void CreateLexicon();
    void DestroyLexicon();
    uint32_t ShowLexiconDialog(const PronunciationLexicon::DialogRequest& request);
    LexiconStore* m_lexicon = nullptr;
    QString m_lexiconNotice;  // what went wrong reading the lexicon, told once shown
    QString m_lexiconSample;  // the sentence the user tries entries on

    // Reading (form1_reading.cpp).
    void CreateDriver();
    void ConnectSession();
    bool StartSpeech();
    void ReadSingleArticle(TMemoEntry* entry, OutputTarget target, int length, int start);
    // What the window shows of the session's reading.
    void SessionStateChanged(ReadingState state);
    void ArticleStarted(quintptr key, int64_t progressMaximum);
    void HighlightWord(quintptr key, int caret);
    void ClearHighlight();
    void TitleMissing(quintptr key, const QString& message);
    void ReadingFinished(bool completed);
    // The article being read, while it is in the list.
    TMemoEntry* ReadingEntry() const;
    void SetPauseCaptions(bool paused);
    bool OutputDirectoryValid();
    // A missing output folder: asks whether to make it; true once it is there.
    bool OfferToMakeOutputFolder(const QString& folder);
    // The options panels at the File Options sheet, the folder ready to be corrected.
    void ShowOutputDirectoryOption();
    void ShowGauges(int maximum);
    void HideGauges();
    QList<QAction*> m_commands[kCommandCount];
    QList<QAction*> m_deviceItems;
    QAction* PauseBtn = nullptr;
    QAction* m_pauseMenuItem = nullptr;
    QAction* m_pauseTrayItem = nullptr;
    std::unique_ptr<TTTSForm> m_ttsForm;
    ReadingSession* m_session = nullptr;
    quintptr m_highlightedKey = 0;  // the article whose word was highlighted last
    ArticleListQueue* m_queue = nullptr;
    QStringList m_savedFiles;  // made by the current reading into files, for the status bar
    QString m_clipboardText;   // the last copied text taken
    QPointer<TCB_PromptForm> m_prompt;
    TVoiceEditForm* m_voiceEditForm = nullptr;  // made on first use

    QAction* ToolButton1 = nullptr;  // single-article mode
    QAction* ToolButton2 = nullptr;  // multi-article mode
    QAction* OptionsBtn = nullptr;
    QAction* m_toolbarItem = nullptr;
    QAction* m_optionsPanelsItem = nullptr;
    QAction* m_singleItem = nullptr;
    QAction* m_multiItem = nullptr;
    QAction* m_traySingleItem = nullptr;
    QAction* m_trayMultiItem = nullptr;
    QAction* m_watchClipboardItem = nullptr;
    QAction* m_trayWatchClipboardItem = nullptr;
    QAction* m_trayShowToolbarItem = nullptr;
    std::function<bool()> m_trayAvailable;
    std::unique_ptr<TToolBarForm> m_toolBarForm;
    QObject* m_trayMenuOnRelease = nullptr;
    FileOptionsSheet* m_fileOptions = nullptr;
};
