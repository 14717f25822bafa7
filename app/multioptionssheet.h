#pragma once

#include <QWidget>

class QCheckBox;
class RadioGroup;
class TPreferences;

// The options of multi-article mode: how new articles' voices are chosen, whether the list is
// read into one file or one file per article, and whether read articles are deleted. Each
// control writes its setting when changed; the sheet shows the settings again each time it is
// shown.
class MultiOptionsSheet : public QWidget {
    Q_OBJECT
  public:
    MultiOptionsSheet(TPreferences& prefs, QWidget* parent = nullptr);
    void Refresh();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    TPreferences& m_prefs;
    RadioGroup* MIVoiceGrp = nullptr;
    RadioGroup* ODestGrp = nullptr;
    QCheckBox* AutoDeleteCB = nullptr;
};
