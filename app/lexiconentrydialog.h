#pragma once

#include <QDialog>
#include <functional>

#include "platform/speechapi/lexiconentry.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Adds or edits one entry of the pronunciation lexicon. OK keeps the dialog open while the
// entry cannot be stored, saying why; "Say it" lets the user hear the entry as it stands.
class LexiconEntryDialog : public QDialog {
    Q_OBJECT
  public:
    // Why the entry cannot be kept (empty when it can): checks beyond the entry itself, such
    // as another entry for the same words.
    using Checker = std::function<QString(const LexiconEntry&)>;

    LexiconEntryDialog(const LexiconEntry& entry, const QStringList& languages, bool phonemesHeard,
                       Checker checker, QWidget* parent = nullptr);

    LexiconEntry entry() const;
    // Whether the entry may be kept; shows why not.
    bool validate();
    void accept() override;

    QLineEdit* writtenEdit() const { return m_written; }
    QLineEdit* spokenEdit() const { return m_spoken; }
    QRadioButton* phonemesButton() const { return m_phonemes; }
    QCheckBox* matchCaseBox() const { return m_matchCase; }
    QComboBox* languageBox() const { return m_language; }
    QPushButton* sayButton() const { return m_say; }
    QLabel* problemLabel() const { return m_problem; }

  Q_SIGNALS:
    // "Say it": the entry as it stands, to be heard with the dialog's voice.
    void sayRequested(const LexiconEntry& entry);

  private:
    void updateKind();

    Checker m_checker;
    QLineEdit* m_written;
    QRadioButton* m_words;
    QRadioButton* m_phonemes;
    QLineEdit* m_spoken;
    QLabel* m_kindHint;
    QCheckBox* m_matchCase;
    QComboBox* m_language;
    QPushButton* m_say;
    QLabel* m_problem;
    bool m_phonemesHeard;
};
