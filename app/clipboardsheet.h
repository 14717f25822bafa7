#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class TPreferences;

// The "Clipboard" options sheet: whether copied texts are watched and cleared, how short a
// text is ignored, and the prompt with its time and default action. Each control writes its
// setting the moment it changes; "Watch Clipboard" is switched by the window, which keeps its
// menu items in step.
class ClipboardSheet : public QWidget {
    Q_OBJECT
  public:
    // The longest values the two number fields take.
    static constexpr int kMaximumThreshold = 1000000;
    static constexpr int kMaximumPromptSeconds = 3600;

    ClipboardSheet(TPreferences& prefs, QWidget* parent = nullptr);
    // Fills the controls from the settings.
    void Load();
    // Shows the watching state without telling monitorClicked.
    void SetMonitor(bool watching);

  Q_SIGNALS:
    // The user clicked "Watch Clipboard".
    void monitorClicked();

  private:
    QSpinBox* NumberField(int maximum, const QString& name);
    void ShowPromptState();

    TPreferences& m_prefs;
    QCheckBox* MonitorCB = nullptr;
    QCheckBox* ClearClipboardCB = nullptr;
    QSpinBox* ThreshHoldEdit = nullptr;
    QCheckBox* PromptCkbx = nullptr;
    QSpinBox* PromptDelayEdit = nullptr;
    QLabel* m_delayLabel = nullptr;
    QLabel* m_secondsLabel = nullptr;
    QComboBox* PromptDfltActCBox = nullptr;
};
