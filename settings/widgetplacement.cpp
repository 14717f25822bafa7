#include "settings/widgetplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "settings/formplacement.h"

namespace {

// The screen assumed when none is known (no display).
const QSize kFallbackScreen(1024, 768);

}  // namespace

void SaveFormPlacement(const QWidget* form) {
    FormPlacement placement;
    placement.maximized = form->isMaximized();
    placement.top = form->y();
    placement.left = form->x();
    placement.width = form->width();
    placement.height = form->height();
    FormPlacementStore::save(form->objectName(), placement);
}

void RestoreFormPlacement(QWidget* form) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : kFallbackScreen;
    const auto placement = FormPlacementStore::restore(form->objectName(), screenSize);
    if (!placement) {
        return;
    }
    // A place saved on a larger screen, or with smaller fonts, is fitted into this screen.
    const QRect room = screen ? screen->availableGeometry() : QRect(QPoint(), screenSize);
    const int width = qMin(placement->width, room.width());
    const int height = qMin(placement->height, room.height());
    form->move(qBound(room.left(), placement->left, room.right() - width + 1),
               qBound(room.top(), placement->top, room.bottom() - height + 1));
    form->resize(width, height);
    if (placement->maximized) {
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    }
}
