#include "settings/widgetplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "settings/formplacement.h"

namespace {

// The screen assumed when none is known (no display).
const QSize kFallbackScreen(1024, 768);

// The window system tells a window's border only once it has framed the shown window: until
// then (for a short while at most) a window whose border a stored place has put past the
// screen's edge is moved back inside.
class BorderFit : public QObject {
  public:
    BorderFit(QWidget* form, const QRect& room) : QObject(form), m_form(form), m_room(room) {
        form->installEventFilter(this);
        QTimer::singleShot(kWaitForBorderMs, this, &QObject::deleteLater);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == m_form && m_form->isVisible() &&
            (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)) {
            const QRect frame = m_form->frameGeometry();
            const QSize border = frame.size() - m_form->size();
            if (!m_room.contains(frame)) {
                m_form->resize(m_form->size().boundedTo(m_room.size() - border));
                const QSize outside = m_form->frameGeometry().size();
                m_form->move(
                    qBound(m_room.left(), frame.left(), m_room.right() - outside.width() + 1),
                    qBound(m_room.top(), frame.top(), m_room.bottom() - outside.height() + 1));
            }
            if (border != QSize(0, 0)) {  // the border is known: the place is final
                deleteLater();
            }
        }
        return false;
    }

  private:
    static constexpr int kWaitForBorderMs = 5000;
    QWidget* m_form;
    QRect m_room;
};

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
    // A stored size no window can have leaves the window its own size.
    const QSize size = placement->width > 0 && placement->height > 0
                           ? QSize(placement->width, placement->height)
                           : form->size();
    // The place is the frame's corner and the size the inside's: the border, once the window
    // system has told it, must fit as well.
    const QSize border = (form->frameGeometry().size() - form->size()).expandedTo(QSize(0, 0));
    const int width = qMax(1, qMin(size.width(), room.width() - border.width()));
    const int height = qMax(1, qMin(size.height(), room.height() - border.height()));
    form->move(qBound(room.left(), placement->left, room.right() - width - border.width() + 1),
               qBound(room.top(), placement->top, room.bottom() - height - border.height() + 1));
    form->resize(width, height);
    new BorderFit(form, room);
    if (placement->maximized) {
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    }
}
