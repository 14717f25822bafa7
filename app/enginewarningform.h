#pragma once

#include <QDialog>

// Shown at start when no speech engine is installed; the program then ends.
class TEngineWarningForm : public QDialog {
    Q_OBJECT
  public:
    explicit TEngineWarningForm(QWidget* parent = nullptr);
};
