#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

#include "app/appicons.h"
#include "app/form1.h"
#include "app/statustext.h"
#include "app/toolbarform.h"
#include "platform/shell/utilsclass.h"

namespace {

// Handlers of the floating toolbar's commands, in the order of TToolBarForm::Command.
constexpr void (TForm1::*kToolbarHandlers[])() = {&TForm1::PlayAllBtnClick,
                                                  &TForm1::PlayFileBtnClick, &TForm1::PauseBtnClick,
                                                  &TForm1::SkipBtnClick, &TForm1::StopBtnClick};
constexpr TForm1::Command kToolbarCommands[] = {TForm1::cmdAloud, TForm1::cmdFile, TForm1::cmdPause,
                                                TForm1::cmdSkip, TForm1::cmdStop};

// The tray icon of an X11 tray (XEmbed) opens its menu when the right button goes down, and
// the menu then takes the release as a click on its first item. This filter holds the press
// back and opens the menu on the release instead. Trays that draw the menu themselves
// (StatusNotifier) do not pass through it.
class MenuOnRelease : public QObject {
  public:
    MenuOnRelease(QMenu* menu, QObject* parent) : QObject(parent), m_menu(menu) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if ((type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
             type != QEvent::MouseButtonRelease) ||
            !watched->inherits("QSystemTrayIconSys")) {
            return false;
        }
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton) {
            return false;
        }
        if (type == QEvent::MouseButtonRelease) {
            m_menu->popup(mouse->globalPosition().toPoint());
        }
        return true;
    }

  private:
    QMenu* m_menu;
};

}  // namespace

bool TForm1::TrayAvailable() const {
    return m_trayAvailable ? m_trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

void TForm1::InitTrayIconData() {
    if (!m_trayIcon) {
        m_trayIcon = new QSystemTrayIcon(AppIcons::programIcon(), this);
        m_trayIcon->setContextMenu(PopupMenu2);
        connect(m_trayIcon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { TrayIconActivated(reason); });
        m_trayMenuOnRelease = new MenuOnRelease(PopupMenu2, this);
        qApp->installEventFilter(m_trayMenuOnRelease);
    }
    SetTrayTip(m_trayTip.isEmpty() ? StatusText::kProgramTitle : m_trayTip);
    m_trayIcon->show();
}

void TForm1::TrayIconActivated(int reason) {
    if (!m_shown) {
        return;
    }
    // A single click on most Linux trays, a double click on the others.
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger) {
        RestoreFromTray();
    }
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && TrayAvailable()) {
        // Leave the window system's minimise first, then hide.
        QTimer::singleShot(0, this, &TForm1::HideToTray);
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
}

bool TForm1::ToolbarShownOnHide() const {
    using Showing = TToolBarForm::Showing;
    const auto showing = Showing(m_prefs->ToolbarOnMinOption);
    return showing == Showing::WhenMinimized ||
           (showing == Showing::WhenMinimizedAndReading && m_readingState == rsReading);
}

void TForm1::HideToTray() {
    if (!TrayAvailable()) {
        // No tray to come back from: minimise, so the window stays reachable.
        if (!isMinimized()) {
            showMinimized();
        }
        UtilsClass::WriteDebugLine(QStringLiteral("No system tray: minimized"));
        Q_EMIT hiddenToTray();
        return;
    }
    hide();
    if (ToolbarShownOnHide()) {
        ShowToolbar1Click();
    } else {
        m_trayShowToolbarItem->setEnabled(true);
    }
    UtilsClass::WriteDebugLine(QStringLiteral("Hidden in the tray"));
    Q_EMIT hiddenToTray();
}

void TForm1::RestoreFromTray() {
    UtilsClass::WriteDebugLine(QStringLiteral("Restore from tray"));
    m_toolBarForm->hide();
    m_trayShowToolbarItem->setEnabled(false);
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    BringToFront();
    Q_EMIT restoredFromTray();
}

void TForm1::BringToFront() {
    raise();
    activateWindow();
    if (QWindow* window = windowHandle()) {
        window->requestActivate();
    }
}

void TForm1::ShowToolbar1Click() {
    m_toolBarForm->ShowToolbar(m_prefs->ToolbarOnTop);
    UtilsClass::WriteDebugLine(QStringLiteral("Floating toolbar shown"));
}

void TForm1::CreateToolBarForm() {
    // No parent: a window of its own, with its own taskbar entry while the main one is hidden.
    m_toolBarForm = std::make_unique<TToolBarForm>();
    for (int index = 0; index < TToolBarForm::kCommandCount; ++index) {
        QAction* action = m_toolBarForm->CommandAction(TToolBarForm::Command(index));
        connect(action, &QAction::triggered, this, kToolbarHandlers[index]);
        // SetReadingState enables its buttons with the window's.
        m_commands[kToolbarCommands[index]] << action;
    }
    m_toolBarForm->SetOnTopSetting([this] { return m_prefs && m_prefs->ToolbarOnTop; });
    connect(m_toolBarForm->RestoreAction(), &QAction::triggered, this, &TForm1::RestoreFromTray);
    connect(m_toolBarForm.get(), &TToolBarForm::shown, this,
            [this] { m_trayShowToolbarItem->setEnabled(false); });
    connect(m_toolBarForm.get(), &TToolBarForm::closedByUser, this,
            [this] { m_trayShowToolbarItem->setEnabled(true); });
    connect(
        this, &TForm1::statusChanged, m_toolBarForm.get(),
        [this](const QString&, const QString& shortText) { m_toolBarForm->SetStatus(shortText); });
    connect(m_statusGauge, &QProgressBar::valueChanged, m_toolBarForm.get(),
            [this](int value) { m_toolBarForm->SetGauge(value, m_statusGauge->maximum()); });
}
