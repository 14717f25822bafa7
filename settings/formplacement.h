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
    bool operator==(const FormPlacement&) const = default;
};

class FormPlacementStore {
  public:
    // Window systems hold places and sizes in 16 bits; larger stored numbers read as 0.
    static constexpr int kMaxCoordinate = 32767;

    static QString keyFor(const QString& formName);
    // A maximised window stores only its state, so the last normal place stays stored.
    static void save(const QString& formName, const FormPlacement& placement);
    // The stored place moved inside a screen of screenSize; nothing when no place is stored.
    // A size no window can have reads as 0 by 0 (the window keeps its own), a place too far
    // away as 0, 0.
    static std::optional<FormPlacement> restore(const QString& formName, const QSize& screenSize);
    // Keeps a window of the stored size inside the screen, top-left corner first.
    static FormPlacement clamp(FormPlacement placement, const QSize& screenSize);
};
