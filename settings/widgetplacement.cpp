#include "settings/widgetplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "settings/formplacement.h"

void SaveFormPlacement(const QWidget* form) {
    FormPlacement placement;
    placement.Maximized = form->isMaximized();
    placement.Top = form->y();
    placement.Left = form->x();
    placement.Width = form->width();
    placement.Height = form->height();
    FormPlacementStore::Save(form->objectName(), placement);
}

void RestoreFormPlacement(QWidget* form) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    const auto placement = FormPlacementStore::Restore(form->objectName(), screenSize);
    if (!placement) {
        return;
    }
    form->move(placement->Left, placement->Top);
    form->resize(placement->Width, placement->Height);
    if (placement->Maximized) {
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    }
}
