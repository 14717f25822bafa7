#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class TPreferences;

// Says, once, which voices the pronunciation editor affects; its check box turns it off for
// good.
class TPronEditorInfoForm : public QDialog {
    Q_OBJECT
  public:
    explicit TPronEditorInfoForm(TPreferences& prefs, QWidget* parent = nullptr);

    void Button1Click();
    void CheckBox1Click();

    QPlainTextEdit* Memo1;
    QPushButton* Button1;
    QCheckBox* CheckBox1;

  private:
    TPreferences& m_prefs;
};
