#include "text/offsetlist.h"

#include <algorithm>
#include <cstddef>

void TOffsetList::clear() {
    m_records.clear();
    m_deltaBefore.clear();
    m_maxFinish.clear();
}

void TOffsetList::AddOffset(int32_t start, int32_t finish, int32_t delta) {
    // The filter adds records from left to right, in order of Start, so the records starting
    // after this one are a suffix (in practice an empty one).
    for (auto it = m_records.rbegin(); it != m_records.rend() && it->Start > start; ++it) {
        it->Start -= delta;
        it->finish -= delta;
    }
    m_records.push_back({start, finish, delta});
}

void TOffsetList::finish() {
    std::stable_sort(
        m_records.begin(), m_records.end(),
        [](const TOffsetRecord& a, const TOffsetRecord& b) { return a.Start < b.Start; });
    m_deltaBefore.assign(m_records.size() + 1, 0);
    m_maxFinish.assign(m_records.size(), 0);
    for (size_t i = 0; i < m_records.size(); ++i) {
        m_deltaBefore[i + 1] = m_deltaBefore[i] + m_records[i].Delta;
        m_maxFinish[i] =
            i == 0 ? m_records[i].finish : std::max(m_maxFinish[i - 1], m_records[i].finish);
    }
}

int64_t TOffsetList::MapPosition(int64_t position) const {
    if (m_deltaBefore.empty()) {
        return position;  // nothing filtered yet: the tables are not prepared
    }
    // The records that start at or before the position...
    const auto end =
        std::upper_bound(m_records.begin(), m_records.end(), position,
                         [](int64_t p, const TOffsetRecord& record) { return p < record.Start; });
    const size_t count = size_t(end - m_records.begin());
    // ...the first of them whose replacement reaches the position holds it.
    const auto inside =
        std::lower_bound(m_maxFinish.begin(), m_maxFinish.begin() + std::ptrdiff_t(count), position,
                         [](int32_t finish, int64_t p) { return finish < p; });
    if (inside != m_maxFinish.begin() + std::ptrdiff_t(count)) {
        const size_t i = size_t(inside - m_maxFinish.begin());
        return m_records[i].Start + m_deltaBefore[i];
    }
    return position + m_deltaBefore[count];
}
