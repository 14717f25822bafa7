#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RadioGroup;
class TPreferences;

// The "File Options" sheet: WAV or MP3, the MP3 quality, the folder files are written to, how
// fast a reading to a file may go, and whether subtitles are written beside each file. Each
// control writes its setting the moment it changes, so the next Read to File uses it.
class FileOptionsSheet : public QWidget {
    Q_OBJECT
  public:
    // The "Write to File Speed" step: the stored value is the multiple of real time × 256.
    static constexpr int kRateUnit = 256;
    // "Max": no pacing, as fast as the engine goes.
    static constexpr int kMaxRate = 0;
    static const QString kMoreInfoText;

    FileOptionsSheet(TPreferences& prefs, QWidget* parent = nullptr);
    // Fills the controls from the settings (at start).
    void Load();
    // Shows a folder in "File Output Directory:", which stores it by its own rule.
    void SetOutputDirectory(const QString& folder);
    // Puts the caret into "File Output Directory:", its text selected, to be corrected.
    void FocusOutputDirectory();
    // "File Output Directory:" as stored: trimmed, one trailing separator removed.
    static QString TrimmedDirectory(const QString& text);
    // The list's text for a stored speed; empty when no item stands for it.
    static QString RateText(int rate);

  Q_SIGNALS:
    // "Browse" was clicked: the window opens the folder dialog.
    void browseClicked();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void TabSheet2Show();
    void cbxTTSWavRateChange(int index);
    void Button2Click();
    void ShowQualityState();
    // Selects the item of list whose data is value, or else the one whose data is fallback.
    static void SelectData(QComboBox* list, int value, int fallback);

    TPreferences& m_prefs;
    RadioGroup* FileFormatRGrp = nullptr;
    QLabel* m_qualityLabel = nullptr;
    QComboBox* AudioQltyCbx = nullptr;
    QComboBox* m_vorbisQuality = nullptr;  // shown for Ogg Vorbis instead of the MP3 list
    QComboBox* m_opusQuality = nullptr;    // shown for Opus
    QLabel* m_hint = nullptr;
    QLineEdit* OutDirEdit = nullptr;
    QPushButton* Button1 = nullptr;  // "Browse"
    QComboBox* cbxTTSWavRate = nullptr;
    QPushButton* Button2 = nullptr;  // "More Info ..."
    QCheckBox* m_subtitles = nullptr;
};
