#pragma once

#include <QWidget>

class QCheckBox;
class RadioGroup;
class TPreferences;

// The options of single-article mode: how the article's voice is chosen, whether a copied
// text is spoken at once, whether articles get default titles, and whether the user is asked
// before a list of articles is removed. Each control writes its
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
    // Off once "Do not ask again" has been answered; on again asks again.
    QCheckBox* AskRemovalCB = nullptr;
};
