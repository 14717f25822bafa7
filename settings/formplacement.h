#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

// Position, size and state of a window as kept under
// "Software\HalcyxTech\Windows\<program file>\<form name>".
struct FormPlacement {
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
};

class FormPlacementStore {
  public:
    static QString keyFor(const QString& formName);
    // A maximised window stores only its state, so the last normal place stays stored.
    static void save(const QString& formName, const FormPlacement& placement);
    // The stored place moved inside a screen of screenSize; nothing when no place is stored.
    static std::optional<FormPlacement> restore(const QString& formName, const QSize& screenSize);
    // Keeps a window of the stored size inside the screen, top-left corner first.
    static FormPlacement clamp(FormPlacement placement, const QSize& screenSize);
};
