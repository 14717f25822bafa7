#pragma once

#include <QString>
#include <cstdint>

#include "text/lookuptable.h"
#include "text/offsetlist.h"

class FilterBuffer;

// Rewrites text so that it reads better aloud: spells out "AP" and US state abbreviations,
// lower-cases long all-capital words, turns runs of punctuation after a full stop into a comma,
// speaks web addresses briefly and, when asked, blanks out symbols. Every change of length is
// recorded, so positions in the filtered text map back to the original text.
// Linear in the length of the text.
class TTTSFilter {
  public:
    // Engines whose filter flags contain this value are not given the abbreviation lookup.
    static constexpr uint32_t kNoAbbreviations = 2;

    TTTSFilter();

    QString FilterText(uint32_t engineFilterFlags, const QString& text, bool filterSymbols);
    // Position in the text of the latest FilterText for a position in its result.
    int64_t MapPosition(int64_t position) const { return Offsets.MapPosition(position); }

    QString ReplaceWord(const QString& word, bool allCapitals, uint32_t engineFilterFlags) const;

    TOffsetList Offsets;
    TLookupTable States;

  private:
    struct Walk;
    enum class ScanEnd { WordEnd, TextEnd, NoWord, WebLink };
    ScanEnd scanWord(Walk& walk);
    bool ReplaceWebAddress(Walk& walk, qsizetype wordStart, qsizetype* shift, qsizetype* resume);
    void endPauseRun(FilterBuffer& w, qsizetype fullStop, qsizetype end);
};
