#pragma once

#include <QRect>

// Where a window goes so that another one, which stays above it, does not cover it.
class ClearPlacement {
  public:
    // window moved the least distance that puts it clear of obstacle, inside available; window
    // as it is when it is clear already, or when no place inside available is clear.
    static QRect Place(const QRect& window, const QRect& obstacle, const QRect& available);
};
