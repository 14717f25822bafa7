#include "settings/widgetplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "settings/formplacement.h"

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
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
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
