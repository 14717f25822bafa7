#pragma once

#include <QDialog>

class TPreferences;

// Shown when the check of the sound card failed: the user may proceed anyway, cancel, or turn
// the check off for the future.
class TSoundCardErrorForm : public QDialog {
    Q_OBJECT
  public:
    TSoundCardErrorForm(TPreferences& prefs, QWidget* parent = nullptr);
};
