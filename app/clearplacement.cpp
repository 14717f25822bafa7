#include "app/clearplacement.h"

#include <QList>
#include <QPoint>

namespace {

// A little space between the two windows, so that their frames do not touch.
constexpr int kGap = 4;

// The window moved by the least distance needed to lie inside available, where it fits.
QRect Inside(QRect window, const QRect& available) {
    if (window.right() > available.right()) {
        window.moveRight(available.right());
    }
    if (window.bottom() > available.bottom()) {
        window.moveBottom(available.bottom());
    }
    if (window.left() < available.left()) {
        window.moveLeft(available.left());
    }
    if (window.top() < available.top()) {
        window.moveTop(available.top());
    }
    return window;
}

}  // namespace

QRect ClearPlacement::Place(const QRect& window, const QRect& obstacle, const QRect& available) {
    if (!window.intersects(obstacle)) {
        return window;
    }
    QRect above = window, below = window, left = window, right = window;
    above.moveBottom(obstacle.top() - kGap);
    below.moveTop(obstacle.bottom() + kGap);
    left.moveRight(obstacle.left() - kGap);
    right.moveLeft(obstacle.right() + kGap);
    QRect best = window;
    int shortest = -1;
    for (const QRect& candidate : {above, below, left, right}) {
        const QRect placed = Inside(candidate, available);
        const int distance = (placed.topLeft() - window.topLeft()).manhattanLength();
        if (!placed.intersects(obstacle) && available.contains(placed) &&
            (shortest < 0 || distance < shortest)) {
            best = placed;
            shortest = distance;
        }
    }
    return best;
}
