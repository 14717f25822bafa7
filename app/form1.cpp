#include "app/form1.h"

#include <QAction>
#include <QActionGroup>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/appicons.h"
#include "app/audiohelp.h"
#include "app/toolbarform.h"
#include "platform/wavedevices/waveoutdevices.h"

namespace {

// Handlers of the five reading commands, in the order of their groups.
constexpr void (TForm1::*kCommandHandlers[])() = {&TForm1::PlayAllBtnClick,
                                                  &TForm1::PlayFileBtnClick, &TForm1::PauseBtnClick,
                                                  &TForm1::SkipBtnClick, &TForm1::StopBtnClick};

// Room for the options area and a few lines of an article, on the smallest common screens.
constexpr QSize kDefaultSize(760, 600);
constexpr int kMinimumArticleLines = 6;

// Marks the actions whose behaviour is not built yet.
const char* const kNotYetAvailable = "notYetAvailable";

// The captions of the pause button: "Resume" while a reading is paused.
const char* const kPauseCaptions[] = {"Pause", "Resume"};

QAction* Append(QWidget* menu, QAction* action) {
    menu->addAction(action);
    return action;
}

// A check mark only where the action can change it: an action that is not available yet shows
// none, so it never claims a state the program does not have.
void MakeCheckable(QAction* action) {
    action->setCheckable(!TForm1::IsNotYetAvailable(action));
}

}  // namespace

TForm1::TForm1(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent),
      m_arguments(arguments),
      m_waveOutCount(&WaveOutDevices::count),
      m_importing([] { return false; }) {
    // Until FormCreate gives the real caption, a second start must not mistake this window
    // for a running program.
    setWindowTitle(QStringLiteral("TmpQuillsong"));
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(AppIcons::programIcon());
    setAcceptDrops(true);  // files dropped anywhere on the window open as articles
    resize(kDefaultSize);
    // Top to bottom: the top panel (toolbar and options area), then the articles.
    auto* client = new QWidget(this);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    Panel2 = new QWidget(client);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* topLayout = new QVBoxLayout(Panel2);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    clientLayout->addWidget(Panel2);
    CreateActions();
    CreateToolBar();
    CreateMenus();
    CreateTrayMenu();
    MainTextPanel = new QFrame(client);
    MainTextPanel->setObjectName(QStringLiteral("MainTextPanel"));
    MainTextPanel->setAutoFillBackground(true);
    MainTextPanel->setBackgroundRole(QPalette::Base);
    // However small the window, an article's title and a few lines of its text stay in view.
    MainTextPanel->setMinimumHeight(fontMetrics().lineSpacing() * kMinimumArticleLines);
    clientLayout->addWidget(MainTextPanel, 1);
    setCentralWidget(client);
    CreateStatusBar();
    CreateToolBarForm();
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

bool TForm1::IsNotYetAvailable(const QAction* action) {
    return action->property(kNotYetAvailable).toBool();
}

QAction* TForm1::MakeAction(const QString& text, const QString& iconName,
                            void (TForm1::*handler)()) {
    auto* action = new QAction(text, this);
    if (!iconName.isEmpty()) {
        action->setIcon(AppIcons::icon(iconName));
    }
    if (handler == &TForm1::NotYetAvailable) {
        // Greyed, so a click is never silently ignored.
        action->setProperty(kNotYetAvailable, true);
        action->setEnabled(false);
    } else {
        connect(action, &QAction::triggered, this, handler);
    }
    return action;
}

void TForm1::CreateActions() {
    ToolButton1 = MakeAction(QStringLiteral("    Single    "), QStringLiteral("single"),
                             &TForm1::ToolButton1Click);
    ToolButton1->setToolTip(QStringLiteral("Single-Article Mode"));
    ToolButton2 =
        MakeAction(QStringLiteral("Multi "), QStringLiteral("multi"), &TForm1::ToolButton2Click);
    ToolButton2->setToolTip(QStringLiteral("Multi-Article Mode"));
    auto* modeGroup = new QActionGroup(this);
    for (QAction* mode : {ToolButton1, ToolButton2}) {
        mode->setCheckable(true);
        modeGroup->addAction(mode);
    }
    ToolButton1->setChecked(true);
    OptionsBtn =
        MakeAction(QStringLiteral("Options"), QStringLiteral("options"), &TForm1::MMLabel1Click);
    OptionsBtn->setToolTip(QStringLiteral("Display / Hide Options Panels"));
    OptionsBtn->setCheckable(true);
}

void TForm1::CreateToolBar() {
    ToolBar1 = new QToolBar(QStringLiteral("Toolbar"), Panel2);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    Panel2->layout()->addWidget(ToolBar1);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    struct Button {
        const char* caption;
        const char* hint;
        const char* icon;
    };
    const auto add = [this](const Button& button, int command = -1) {
        QAction* action =
            MakeAction(QString::fromUtf8(button.caption), QString::fromUtf8(button.icon),
                       command >= 0 ? kCommandHandlers[command] : &TForm1::NotYetAvailable);
        action->setToolTip(QString::fromUtf8(button.hint));
        ToolBar1->addAction(action);
        if (command >= 0) {
            m_commands[command] << action;
        }
        return action;
    };
    ToolBar1->addAction(ToolButton1);
    ToolBar1->addAction(ToolButton2);
    ToolBar1->addSeparator();
    const auto textFile = MakeAction(QStringLiteral("Text File"), QStringLiteral("textfile"),
                                     &TForm1::ReadFileBtnClick);
    textFile->setToolTip(QStringLiteral("Read text file"));
    ToolBar1->addAction(textFile);
    PasteBtn = MakeAction(QStringLiteral("Paste"), QStringLiteral("paste"), &TForm1::PasteClick);
    PasteBtn->setToolTip(QStringLiteral("Paste"));
    ToolBar1->addAction(PasteBtn);
    ToolBar1->addSeparator();
    add({"Aloud", "Read text aloud", "aloud"}, cmdAloud);
    add({"File", "Read text to file", "file"}, cmdFile);
    PauseBtn = add({"Pause", "Pause / Resume ", "pause"}, cmdPause);
    add({"Skip", "Skip to next article", "skip"}, cmdSkip);
    add({"Stop", "Stop reading", "stop"}, cmdStop);
    ToolBar1->addSeparator();
    ToolBar1->addAction(OptionsBtn);

    // Room for the longer of the pause button's captions, so the buttons after it stay in place
    // when "Pause" becomes "Resume".
    if (QWidget* pause = ToolBar1->widgetForAction(PauseBtn)) {
        pause->ensurePolished();
        int width = 0;
        for (const char* caption : kPauseCaptions) {
            PauseBtn->setText(QString::fromUtf8(caption));
            width = qMax(width, pause->sizeHint().width());
        }
        PauseBtn->setText(QString::fromUtf8(kPauseCaptions[0]));
        pause->setMinimumWidth(width);
    }
}

void TForm1::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Append(file, MakeAction(QStringLiteral("&Open Text File"), QStringLiteral("textfile"),
                            &TForm1::ReadFileBtnClick))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Append(file, MakeAction(QStringLiteral("Tell a Friend"), {}, &TForm1::TellAFriendClick));
    file->addSeparator();
    Append(file, MakeAction(QStringLiteral("E&xit Quillsong"), {}, &TForm1::ExitQuillsongClick));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    m_toolbarItem =
        Append(view, MakeAction(QStringLiteral("&Toolbar"), {}, &TForm1::ShowToolbarMItmClick));
    m_optionsPanelsItem =
        Append(view, MakeAction(QStringLiteral("&Options Panels"), {}, &TForm1::MMLabel1Click));
    for (QAction* item : {m_toolbarItem, m_optionsPanelsItem}) {
        item->setCheckable(true);
    }

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    m_watchClipboardItem = Append(
        options, MakeAction(QStringLiteral("&Watch Clipboard"), {}, &TForm1::MonitorCBClick));
    MakeCheckable(m_watchClipboardItem);
    options->addSeparator();
    auto* modes = new QActionGroup(this);
    m_singleItem = modes->addAction(
        MakeAction(QStringLiteral("&Single Article"), {}, &TForm1::ToolButton1Click));
    m_multiItem = modes->addAction(
        MakeAction(QStringLiteral("&Multi Article"), {}, &TForm1::ToolButton2Click));
    for (QAction* item : {m_singleItem, m_multiItem}) {
        item->setCheckable(true);
        options->addAction(item);
    }
    options->addSeparator();
    // Enabled while no reading runs, once they have their behaviour.
    for (QAction* item : {Append(options, MakeAction(QStringLiteral("&Select Audio Device"), {},
                                                     &TForm1::SelAudioDevMItmClick)),
                          Append(options, MakeAction(QStringLiteral("&Pronunciation Editor"), {},
                                                     &TForm1::PronunciationEditorMItmClick))}) {
        if (!IsNotYetAvailable(item)) {
            m_deviceItems << item;
        }
    }

    QMenu* read = menuBar()->addMenu(QStringLiteral("&Read"));
    const auto readItem = [&](const char* text, const char* icon, Qt::Key key, int command) {
        QAction* action = Append(read, MakeAction(QString::fromUtf8(text), QString::fromUtf8(icon),
                                                  kCommandHandlers[command]));
        action->setShortcut(QKeySequence(Qt::CTRL | key));
        m_commands[command] << action;
        return action;
    };
    readItem("Read &Aloud", "aloud", Qt::Key_F6, cmdAloud);
    readItem("Read to &File", "file", Qt::Key_F7, cmdFile);
    read->addSeparator();
    m_pauseMenuItem = readItem("&Pause", "pause", Qt::Key_F8, cmdPause);
    readItem("S&kip", "skip", Qt::Key_F9, cmdSkip);
    readItem("&Stop", "stop", Qt::Key_F10, cmdStop);

    m_audioHelpMenu = menuBar()->addMenu(QStringLiteral("&Audio Help"));
    TAudioHelp::BuildMenu(m_audioHelpMenu, this,
                          [this](QAction* item) { AudioHelpTopicClick(item); });
    // Greyed while it has no topics, rather than opening an empty menu.
    m_audioHelpMenu->menuAction()->setEnabled(!m_audioHelpMenu->isEmpty());

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    Append(help, MakeAction(QStringLiteral("&Contents"), {}, &TForm1::HelpContentsClick));
    help->addSeparator();
    Append(help,
           MakeAction(QStringLiteral("&Visit Halcyx Technologies"), {}, &TForm1::VisitHalcyxClick));
    Append(help,
           MakeAction(QStringLiteral("&Portable MP3 Players"), {}, &TForm1::PortablePlayersClick));
    help->addSeparator();
    Append(help, MakeAction(QStringLiteral("&About"), {}, &TForm1::AboutClick));
}

void TForm1::CreateTrayMenu() {
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    QAction* restore =
        Append(PopupMenu2, MakeAction(QStringLiteral("Restore"), {}, &TForm1::RestoreFromTray));
    QFont bold = restore->font();
    bold.setBold(true);  // the default item
    restore->setFont(bold);
    m_trayShowToolbarItem = Append(
        PopupMenu2, MakeAction(QStringLiteral("Show &Toolbar"), {}, &TForm1::ShowToolbar1Click));
    PopupMenu2->addSeparator();
    QMenu* options = PopupMenu2->addMenu(QStringLiteral("&Options"));
    m_trayWatchClipboardItem = Append(
        options, MakeAction(QStringLiteral("&Watch Clipboard"), {}, &TForm1::MonitorCBClick));
    MakeCheckable(m_trayWatchClipboardItem);
    options->addSeparator();
    auto* modes = new QActionGroup(this);
    m_traySingleItem = modes->addAction(
        MakeAction(QStringLiteral("&Single Article"), {}, &TForm1::ToolButton1Click));
    m_trayMultiItem = modes->addAction(
        MakeAction(QStringLiteral("&Multi Article"), {}, &TForm1::ToolButton2Click));
    for (QAction* item : {m_traySingleItem, m_trayMultiItem}) {
        item->setCheckable(true);
        options->addAction(item);
    }
    PopupMenu2->addSeparator();
    const std::pair<const char*, int> trayCommands[] = {{"Read &Aloud", cmdAloud},
                                                        {"Read to &File", cmdFile},
                                                        {"S&kip", cmdSkip},
                                                        {"&Pause", cmdPause},
                                                        {"&Stop", cmdStop}};
    for (const auto& [text, command] : trayCommands) {
        QAction* action =
            Append(PopupMenu2, MakeAction(QString::fromUtf8(text), {}, kCommandHandlers[command]));
        m_commands[command] << action;
        if (command == cmdPause) {
            m_pauseTrayItem = action;
        }
    }
    PopupMenu2->addSeparator();
    Append(PopupMenu2, MakeAction(QStringLiteral("A&bout"), {}, &TForm1::AboutClick));
    PopupMenu2->addSeparator();
    Append(PopupMenu2,
           MakeAction(QStringLiteral("E&xit Quillsong"), {}, &TForm1::ExitQuillsongClick));
}

void TForm1::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    m_statusPanel0 = new QLabel(bar);
    m_statusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_statusPanel1 = new QLabel(QStringLiteral(" "), bar);
    m_statusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    for (QLabel* panel : {m_statusPanel0, m_statusPanel1}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        bar->addWidget(panel);
    }
    m_statusGauge = new QProgressBar(bar);
    m_statusGauge->setObjectName(QStringLiteral("StatusGauge"));
    m_statusGauge->setTextVisible(false);
    m_statusGauge->setRange(0, 100);
    m_statusGauge->setFixedHeight(15);
    m_statusGauge->hide();
    bar->addWidget(m_statusGauge);
}
