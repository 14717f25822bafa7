#include "app/toolbarform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "app/appicons.h"
#include "app/clearplacement.h"
#include "settings/widgetplacement.h"

namespace {

constexpr QSize kButtonSize(39, 38);

// The frame the window manager drew around a window; none before it reaches the screen.
QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}
constexpr QSize kIconSize(24, 24);
constexpr int kGaugeHeight = 12;
constexpr int kMargin = 2;

struct Button {
    const char* name;
    const char* hint;
    const char* icon;
};

// In the order of TToolBarForm::Command.
constexpr Button kCommandButtons[TToolBarForm::kCommandCount] = {
    {"PlayToolBtn", "Read text aloud", "aloud"},
    {"PlayFileBtn", "Read text to file", "file"},
    {"PauseBtn", "Pause / Resume", "pause"},
    {"SkipBtn", "Skip to next article", "skip"},
    {"StopBtn", "Stop Reading", "stop"}};

}  // namespace

TToolBarForm::TToolBarForm(QWidget* parent)
    // A caption with the close box only: no minimising or maximising.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("ToolBarForm"));
    setWindowTitle(QStringLiteral("Quillsong MP3 Toolbar"));
    setWindowIcon(AppIcons::programIcon());
    // Closing hides it; the reading and the program go on.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setIconSize(kIconSize);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setVisible(false);
    const auto add = [this](const Button& button) {
        auto* action = new QAction(AppIcons::icon(QString::fromUtf8(button.icon)),
                                   QString::fromUtf8(button.hint), this);
        action->setObjectName(QString::fromUtf8(button.name));
        action->setToolTip(QString::fromUtf8(button.hint));
        ToolBar1->addAction(action);
        if (QWidget* widget = ToolBar1->widgetForAction(action)) {
            widget->setObjectName(QString::fromUtf8(button.name));
            widget->setFixedSize(kButtonSize);
        }
        return action;
    };
    for (int command = 0; command < kCommandCount; ++command) {
        m_commands[command] = add(kCommandButtons[command]);
    }
    ToolBar1->addSeparator();
    RestoreBtn = add({"RestoreBtn", "Restore main window", "quillsong"});

    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    // A long status must not widen the window: it is cut at the label's end.
    StatusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusLabel->setMinimumWidth(0);
    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setTextVisible(false);
    Gauge1->setRange(0, 100);
    Gauge1->setFixedHeight(kGaugeHeight);
    Gauge1->hide();

    auto* statusRow = new QHBoxLayout;
    statusRow->setContentsMargins(kMargin, 0, kMargin, 0);
    statusRow->addWidget(StatusLabel, 3);
    statusRow->addWidget(Gauge1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, kMargin);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addLayout(statusRow);
    // The size the buttons and a line of status need, whatever the status says.
    StatusLabel->setText(QStringLiteral(" "));
    StatusLabel->setFixedHeight(StatusLabel->sizeHint().height());
    setFixedSize(sizeHint());

    RestoreFormPlacement(this);
    qApp->installEventFilter(this);
}

TToolBarForm::~TToolBarForm() {
    SaveFormPlacement(this);
}

void TToolBarForm::ShowToolbar(bool onTop) {
    SetOnTop(onTop);
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
    // A prompt or message box already shown makes way as well.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            KeepClearOf(window);
        }
    }
}

void TToolBarForm::KeepClearOf(QWidget* dialog) const {
    const Qt::WindowType type = dialog->windowType();
    if (!isVisible() || dialog == this || (type != Qt::Dialog && type != Qt::Sheet)) {
        return;
    }
    // A window that has not reached the screen yet has no frame: it gets one like the other's.
    QMargins margins = FrameMargins(*this);
    QMargins dialogMargins = FrameMargins(*dialog);
    if (dialogMargins.isNull()) {
        dialogMargins = margins;
    }
    if (margins.isNull()) {
        margins = dialogMargins;
    }
    const QScreen* screen = dialog->screen();
    if (!screen) {
        return;
    }
    const QRect dialogFrame = dialog->geometry().marginsAdded(dialogMargins);
    const QRect placed = ClearPlacement::Place(dialogFrame, geometry().marginsAdded(margins),
                                               screen->availableGeometry());
    if (placed != dialogFrame) {
        dialog->setGeometry(placed.marginsRemoved(dialogMargins));
    }
}

bool TToolBarForm::eventFilter(QObject* watched, QEvent* event) {
    // Sent once a window is laid out at its final size, before it reaches the screen.
    if (event->type() == QEvent::ShowToParent && watched->isWidgetType()) {
        KeepClearOf(static_cast<QWidget*>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

void TToolBarForm::SetOnTop(bool onTop) {
    if (OnTop() == onTop) {
        return;
    }
    const bool visible = isVisible();
    // Changing a window's flags takes it off the screen; it comes back where it was.
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) {
        show();
    }
}

bool TToolBarForm::OnTop() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TToolBarForm::SetStatus(const QString& shortText) {
    // A long status ends in "…" rather than being cut off; its whole text is the hint.
    m_status = shortText;
    StatusLabel->setToolTip(shortText.trimmed());
    ShowStatusText();
}

void TToolBarForm::ShowStatusText() {
    StatusLabel->setText(
        StatusLabel->fontMetrics().elidedText(m_status, Qt::ElideRight, StatusLabel->width()));
}

void TToolBarForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ShowStatusText();
}

void TToolBarForm::SetPaused(bool paused) {
    QAction* pause = CommandAction(Command::Pause);
    pause->setCheckable(true);
    pause->setChecked(paused);
    pause->setToolTip(paused ? QStringLiteral("Resume") : QStringLiteral("Pause / Resume"));
}

QString TToolBarForm::Status() const {
    return m_status;
}

void TToolBarForm::ShowGauge(int maximum) {
    Gauge1->setRange(0, qMax(1, maximum));
    Gauge1->setValue(0);
    Gauge1->show();
}

void TToolBarForm::SetGauge(int value, int maximum) {
    Gauge1->setMaximum(qMax(1, maximum));
    Gauge1->setValue(qBound(0, value, Gauge1->maximum()));
}

void TToolBarForm::HideGauge() {
    Gauge1->hide();
    Gauge1->setValue(0);
}

void TToolBarForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        Q_EMIT shown();
    }
}

void TToolBarForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // It has no taskbar button to come back from: minimised, it is closed, and the tray's
    // "Show Toolbar" brings it back.
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        hide();
        Q_EMIT closedByUser();
        return;
    }
    // Activated, it comes to the front; it stays above others only as the setting says, also
    // when the setting changed while it was shown.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_onTopSetting) {
        SetOnTop(m_onTopSetting());
        raise();
    }
}

void TToolBarForm::closeEvent(QCloseEvent* event) {
    event->accept();  // hides the window; it is kept for the next showing
    Q_EMIT closedByUser();
}
