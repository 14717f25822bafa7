#pragma once

#include <QDialog>

class TPreferences;

// Tells that a copied text is not taken while the single article is read; the user may turn
// the notice off.
class TSIBusyForm : public QDialog {
    Q_OBJECT
  public:
    TSIBusyForm(TPreferences& prefs, QWidget* parent = nullptr);
};
