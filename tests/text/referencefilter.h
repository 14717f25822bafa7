#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "text/lookuptable.h"

// A plain transcription of the filter's walk: a 1-based cursor over a working copy that is
// rewritten in place, offset records shifted at every insertion, and a linear MapPosition.
// Slow on purpose; the product filter must give identical results.
class ReferenceFilter {
  public:
    struct Record {
        int Start, Finish, Delta;
        bool operator==(const Record&) const = default;
    };

    ReferenceFilter() { m_table.FillStates(); }
    QString FilterText(uint32_t flags, const QString& text, bool symbols);
    int MapPosition(int p) const;
    std::vector<Record> records;

  private:
    QChar at(int i) const { return m_w[i - 1]; }  // 1-based
    void put(int i, QChar c) { m_w[i - 1] = c; }
    void AddOffset(int start, int finish, int delta);
    QString ReplaceWord(const QString& word, bool allCaps, uint32_t flags) const;
    // True when a path was rewritten; then cursor is the last inserted character.
    bool ReplaceWebAddress(int s, int* cursor, int* shift);

    QString m_w;
    TLookupTable m_table;
};
