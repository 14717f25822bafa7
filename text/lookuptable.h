#pragma once

#include <QString>
#include <QStringList>

// Abbreviations and their spoken forms; lookup ignores letter case and takes the first match.
class TLookupTable {
  public:
    void AddEntry(const QString& abbreviation, const QString& spokenForm);
    // The spoken form, or an empty text when the word is not listed.
    QString Lookup(const QString& word) const;
    // Adds the fifty US state abbreviations.
    void FillStates();
    int count() const { return int(m_abbreviations.size()); }

  private:
    QStringList m_abbreviations;
    QStringList m_spokenForms;
};
