#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class TPreferences;

// The "Misc" options sheet: the default voice, the floating toolbar's showing and stacking,
// the symbol filter, the highlight of the spoken word and the start at login. Each control
// writes its setting the moment it changes; the two with behaviour of their own tell the
// window through signals.
class MiscSheet : public QWidget {
    Q_OBJECT
  public:
    // Room for a voice name such as "eSpeak English (Great Britain)".
    static constexpr int kVoiceNameChars = 24;

    MiscSheet(TPreferences& prefs, QWidget* parent = nullptr);
    // Fills the controls from the settings.
    void Load();
    // The default voice's choices: the favourite voices, the stored default selected (the
    // first when it is not among them).
    void FillDefaultVoiceList(const QStringList& voices);
    // Shows whether the program starts at login, without telling autoStartClicked.
    void SetAutoStart(bool enabled);

  Q_SIGNALS:
    void highlightClicked();
    // The user chose another default voice.
    void defaultVoiceChosen();
    void autoStartClicked(bool enabled);
    // The sheet is about to be seen: the window shows the login entry as it is now.
    void shown();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    TPreferences& m_prefs;
    QComboBox* DfltVoiceCB = nullptr;
    QComboBox* ToolbarMinCB = nullptr;
    QCheckBox* TBOnTopCB = nullptr;
    QCheckBox* FilterCB = nullptr;
    QCheckBox* HighlightPosn = nullptr;
    QCheckBox* AutoStartAppCB = nullptr;
};
