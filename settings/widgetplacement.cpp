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
    form->move(placement->left, placement->top);
    form->resize(placement->width, placement->height);
    if (placement->maximized) {
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    }
}
