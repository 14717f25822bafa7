#include "text/offsetlist.h"

#include <algorithm>
#include <cstddef>

void TOffsetList::Clear() {
    records_.clear();
    deltaBefore_.clear();
    maxFinish_.clear();
}

void TOffsetList::AddOffset(int32_t start, int32_t finish, int32_t delta) {
    // The filter adds records from left to right, in order of Start, so the records starting
    // after this one are a suffix (in practice an empty one).
    for (auto it = records_.rbegin(); it != records_.rend() && it->Start > start; ++it) {
        it->Start -= delta;
        it->Finish -= delta;
    }
    records_.push_back({start, finish, delta});
}

void TOffsetList::Finish() {
    std::stable_sort(
        records_.begin(), records_.end(),
        [](const TOffsetRecord& a, const TOffsetRecord& b) { return a.Start < b.Start; });
    deltaBefore_.assign(records_.size() + 1, 0);
    maxFinish_.assign(records_.size(), 0);
    for (size_t i = 0; i < records_.size(); ++i) {
        deltaBefore_[i + 1] = deltaBefore_[i] + records_[i].Delta;
        maxFinish_[i] =
            i == 0 ? records_[i].Finish : std::max(maxFinish_[i - 1], records_[i].Finish);
    }
}

int64_t TOffsetList::MapPosition(int64_t position) const {
    // The records that start at or before the position...
    const auto end =
        std::upper_bound(records_.begin(), records_.end(), position,
                         [](int64_t p, const TOffsetRecord& record) { return p < record.Start; });
    const size_t count = size_t(end - records_.begin());
    // ...the first of them whose replacement reaches the position holds it.
    const auto inside =
        std::lower_bound(maxFinish_.begin(), maxFinish_.begin() + std::ptrdiff_t(count), position,
                         [](int32_t finish, int64_t p) { return finish < p; });
    if (inside != maxFinish_.begin() + std::ptrdiff_t(count)) {
        const size_t i = size_t(inside - maxFinish_.begin());
        return records_[i].Start + deltaBefore_[i];
    }
    return position + deltaBefore_[count];
}
