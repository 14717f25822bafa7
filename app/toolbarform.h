#pragma once

#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QProgressBar;
class QToolBar;

// The small floating window that controls the reading while the main window is in the tray:
// the five reading commands, a button back to the main window, the short status and the
// reading's gauge. A window of its own (own taskbar entry); its close box only hides it. It may
// stay above all other windows, yet never covers the program's own prompts and message boxes.
class TToolBarForm : public QWidget {
    Q_OBJECT
  public:
    // The reading commands, in the order of the main window's command groups.
    enum class Command { Aloud, File, Pause, Skip, Stop };
    static constexpr int kCommandCount = 5;
    // "ToolbarOnMinOption": when the window shows by itself.
    enum class Showing { OnRequest = 0, WhenMinimized = 1, WhenMinimizedAndReading = 2 };

    explicit TToolBarForm(QWidget* parent = nullptr);
    ~TToolBarForm() override;

    // The button of a reading command; the main window connects it and sets its enabled state.
    QAction* CommandAction(Command command) const { return m_commands[int(command)]; }
    // The pause button stays pressed, and its hint says so, while the reading is paused.
    void SetPaused(bool paused);
    QAction* RestoreAction() const { return RestoreBtn; }

    // Shows the window in its normal state, in front, above other windows when onTop.
    void ShowToolbar(bool onTop);
    // Keeps the window above all others or not.
    void SetOnTop(bool onTop);
    // Where the window reads whether it stays on top, each time it is activated.
    void SetOnTopSetting(std::function<bool()> setting) { m_onTopSetting = std::move(setting); }
    bool OnTop() const;

    void SetStatus(const QString& shortText);
    QString Status() const;
    // The gauge follows the main window's: shown with a range, moved, hidden.
    void ShowGauge(int maximum);
    void SetGauge(int value, int maximum);
    void HideGauge();

    // Moves a dialog (a prompt, a message box) that this window would cover clear of it, on
    // the same screen; nothing happens while this window is hidden.
    void KeepClearOf(QWidget* dialog) const;

  Q_SIGNALS:
    // The window became visible (the tray's "Show Toolbar" has nothing more to do).
    void shown();
    // The close box hid the window.
    void closedByUser();

  protected:
    // Every dialog of the program that appears while this window is shown is kept clear of it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowStatusText();

    QToolBar* ToolBar1 = nullptr;
    QAction* m_commands[kCommandCount] = {};
    QAction* RestoreBtn = nullptr;
    QLabel* StatusLabel = nullptr;
    QProgressBar* Gauge1 = nullptr;
    std::function<bool()> m_onTopSetting;
    QString m_status;  // the whole status, shown cut to the line's width
};
