#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

// Position, size and state of a window as kept under
// "Software\HalcyxTech\Windows\<program file>\<form name>".
struct FormPlacement {
    int Top = 0;
    int Left = 0;
    int Width = 0;
    int Height = 0;
    bool Maximized = false;
};

class FormPlacementStore {
  public:
    static QString KeyFor(const QString& formName);
    // A maximised window stores only its state, so the last normal place stays stored.
    static void Save(const QString& formName, const FormPlacement& placement);
    // The stored place moved inside a screen of screenSize; nothing when no place is stored.
    static std::optional<FormPlacement> Restore(const QString& formName, const QSize& screenSize);
    // Keeps a window of the stored size inside the screen, top-left corner first.
    static FormPlacement Clamp(FormPlacement placement, const QSize& screenSize);
};
