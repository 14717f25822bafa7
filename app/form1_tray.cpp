#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

#include "app/appicons.h"
#include "app/form1.h"
#include "app/statustext.h"
#include "platform/shell/utilsclass.h"

bool TForm1::TrayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TForm1::InitTrayIconData() {
    if (!m_trayIcon) {
        m_trayIcon = new QSystemTrayIcon(AppIcons::programIcon(), this);
        m_trayIcon->setContextMenu(PopupMenu2);
        connect(m_trayIcon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { TrayIconActivated(reason); });
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
    m_trayShowToolbarItem->setEnabled(!IsNotYetAvailable(m_trayShowToolbarItem));
    UtilsClass::WriteDebugLine(QStringLiteral("Hidden in the tray"));
    Q_EMIT hiddenToTray();
}

void TForm1::RestoreFromTray() {
    UtilsClass::WriteDebugLine(QStringLiteral("Restore from tray"));
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
