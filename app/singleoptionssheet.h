#pragma once

#include <QWidget>

class QCheckBox;
class RadioGroup;
class TPreferences;

// The options of single-article mode: how the article's voice is chosen, whether a copied
// text is spoken at once, and whether articles get default titles. Each control writes its
// setting when changed; the sheet shows the settings again each time it is shown.
class SingleOptionsSheet : public QWidget {
    Q_OBJECT
  public:
    SingleOptionsSheet(TPreferences& prefs, QWidget* parent = nullptr);
    void Refresh();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    TPreferences& m_prefs;
    RadioGroup* SIVoiceGrp = nullptr;
    QCheckBox* AutoSpeakCB = nullptr;
    QCheckBox* AutoTitleCB = nullptr;
};
