#pragma once

#include <QDialog>

#include "platform/speechapi/lexiconentry.h"

class LexiconSpeaker;
class LexiconStore;
class LexiconTableModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

// The pronunciation lexicon: a table of its entries with add, edit, delete, a search that
// narrows the table as the user types, import and export of the file, and a voice to hear
// entries and a sentence of the user's with. Every change is stored at once and holds from the
// next sentence spoken.
class LexiconDialog : public QDialog {
    Q_OBJECT
  public:
    struct Voice {
        LexiconSpeaker* speaker = nullptr;  // none: nothing can be heard
        QString name;                       // the voice's name, as the user knows it
        QString language;                   // the voice's language tag
        bool acceptsPhonemes = false;
    };

    LexiconDialog(LexiconStore& store, const Voice& voice, const QString& title,
                  QWidget* parent = nullptr);
    ~LexiconDialog() override;

    // The sentence the user tries the lexicon on, kept between openings.
    QString sampleText() const;
    void setSampleText(const QString& text);
    // The language tags the installed voices speak, for the entries' language lists.
    static QStringList installedLanguages();

    void addEntry();
    void editEntry();
    void deleteEntries();
    void sayEntry();
    void sayText();
    void importFile();
    void exportFile();

    QTableView* table() const { return m_table; }
    QLineEdit* findEdit() const { return m_find; }
    QLineEdit* sampleEdit() const { return m_sample; }
    LexiconTableModel* model() const { return m_model; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Edits entry in the entry dialog; false when the user cancelled.
    bool runEntryDialog(LexiconEntry* entry, int editedRow);
    // Stores the entries; tells the user when the file cannot be written.
    void store(const LexiconEntries& entries, const LexiconEntry* select = nullptr);
    QList<int> selectedRows() const;
    void selectEntry(const LexiconEntry& entry);
    void updateButtons();
    void showProblems();

    LexiconStore& m_store;
    Voice m_voice;
    LexiconTableModel* m_model;
    QSortFilterProxyModel* m_proxy;
    QTableView* m_table;
    QLineEdit* m_find;
    QLineEdit* m_sample;
    QLabel* m_problems;
    QLabel* m_count;
    QPushButton* m_edit;
    QPushButton* m_delete;
    QPushButton* m_sayEntry;
    QPushButton* m_sayText;
};
