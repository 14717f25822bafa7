#pragma once

#include <QWidget>

class ClipboardSheet;
class MultiOptionsSheet;
class QTabWidget;
class SingleOptionsSheet;
class TPreferences;

// The options area below the toolbar: on the left the sheet of the current article mode, on
// the right the tabs of the other options.
class OptionsArea : public QWidget {
    Q_OBJECT
  public:
    // The tabs on the right, in order.
    enum class Sheet { Clipboard, EnginesVoices, FileOptions, Misc };

    OptionsArea(TPreferences& prefs, QWidget* parent = nullptr);

    // Shows the single-article (0) or multi-article (1) sheet on the left.
    void ShowModeSheet(uint8_t mode);
    void ShowSheet(Sheet sheet);
    // Puts the controls of a tab in place of its empty page and enables the tab.
    void SetSheet(Sheet sheet, QWidget* page);
    ClipboardSheet* Clipboard() const { return m_clipboard; }
    QTabWidget* ModePages() const { return m_modePages; }
    QTabWidget* OptionPages() const { return m_optionPages; }

  private:
    QTabWidget* m_modePages = nullptr;
    QTabWidget* m_optionPages = nullptr;
    SingleOptionsSheet* m_single = nullptr;
    MultiOptionsSheet* m_multi = nullptr;
    ClipboardSheet* m_clipboard = nullptr;
};
