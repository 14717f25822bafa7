#include "platform/speechapi/lexicontext.h"

#include <algorithm>

void LexiconText::addSpan(int engineStart, int engineEnd, int originalStart, int originalEnd) {
    m_spans.push_back({engineStart, engineEnd, originalStart, originalEnd});
}

int LexiconText::originalPosition(int enginePosition) const {
    const auto after = std::upper_bound(
        m_spans.begin(), m_spans.end(), enginePosition,
        [](int position, const Span& span) { return position < span.engineStart; });
    int original = enginePosition;
    if (after != m_spans.begin()) {
        const Span& span = *(after - 1);
        original = enginePosition < span.engineEnd
                       ? span.originalStart
                       : span.originalEnd + (enginePosition - span.engineEnd);
    }
    return std::clamp(original, 0, m_originalLength);
}
