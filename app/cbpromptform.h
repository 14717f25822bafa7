#pragma once

#include <QDialog>
#include <QTimer>

#include "app/clipboardrules.h"

class QLabel;
class QPushButton;
class TPreferences;

// Asks what becomes of a copied text: a new article, appended to the current one, or nothing.
// It takes its default button's action by itself after "CB_PromptDelay" seconds, and records
// every action taken as the last one.
class TCB_PromptForm : public QDialog {
    Q_OBJECT
  public:
    TCB_PromptForm(TPreferences& prefs, QWidget* parent = nullptr);

    // Shows the prompt for a list in the given mode; Append is offered when appendEnabled.
    void Prompt(bool multiArticleMode, bool appendEnabled);
    ClipboardRules::Action DefaultAction() const { return m_default; }
    QPushButton* Button(ClipboardRules::Action action) const;
    // The default action will be taken when the time is up.
    bool CountingDown() const { return Timer1.isActive(); }

    void reject() override;

  Q_SIGNALS:
    // The user (or the timer) chose New or Append.
    void actionChosen(ClipboardRules::Action action);

  private:
    void FormCreate();
    void FormShow(bool multiArticleMode, bool appendEnabled);
    void FormActivate();
    void NewClick() { Choose(ClipboardRules::Action::New); }
    void AppendClick() { Choose(ClipboardRules::Action::Append); }
    void CancelClick() { Choose(ClipboardRules::Action::Cancel); }
    void Timer1Timer();
    void Choose(ClipboardRules::Action action);
    // Records the action as the last one, closes and tells actionChosen.
    void Take(ClipboardRules::Action action);

    TPreferences& m_prefs;
    QLabel* ModeValue = nullptr;
    QPushButton* m_new = nullptr;
    QPushButton* m_append = nullptr;
    QPushButton* m_cancel = nullptr;
    QTimer Timer1;
    ClipboardRules::Action m_default = ClipboardRules::Action::Cancel;
};
