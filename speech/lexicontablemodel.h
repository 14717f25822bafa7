#pragma once

#include <QAbstractTableModel>

#include "platform/speechapi/lexiconentry.h"

// The lexicon's entries as a table: written form, what is said, how, with which capitals and
// for which language.
class LexiconTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Written, Spoken, Kind, Case, Language, ColumnCount };
    // What a search looks in: the written and the spoken form (of the first column's items).
    static constexpr int SearchRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(const LexiconEntries& entries);
    const LexiconEntries& entries() const { return m_entries; }
    const LexiconEntry& entry(int row) const { return m_entries.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // How a language tag reads in the table and the entry dialog: "English (en)", or "All
    // languages" for none.
    static QString languageName(const QString& tag);

  private:
    LexiconEntries m_entries;
};
