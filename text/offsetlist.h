#pragma once

#include <cstdint>
#include <vector>

// One change of length made by the filter: the replacement occupies [Start, Finish) of the
// filtered text, and Delta = replaced length - replacement length.
struct TOffsetRecord {
    int32_t Start = 0;
    int32_t finish = 0;
    int32_t Delta = 0;
};

// The changes of length of the latest filtering, ordered by Start. Maps positions of the filtered
// text back to the unfiltered text in logarithmic time.
class TOffsetList {
  public:
    void clear();
    // Appends a record; records starting after it move left by delta.
    void AddOffset(int32_t start, int32_t finish, int32_t delta);
    // Sorts by Start and prepares the lookup tables of MapPosition.
    void finish();
    // A position inside a replacement maps to the start of what it replaced; any other position
    // is shifted by the deltas of the replacements before it.
    int64_t MapPosition(int64_t position) const;

    const std::vector<TOffsetRecord>& records() const { return m_records; }

  private:
    std::vector<TOffsetRecord> m_records;
    std::vector<int64_t> m_deltaBefore;  // sum of the deltas of the records before each one
    std::vector<int32_t> m_maxFinish;    // largest Finish among each record and those before it
};
