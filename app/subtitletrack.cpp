#include "app/subtitletrack.h"

#include <algorithm>

namespace {

bool IsLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator;
}

bool IsSentenceMark(QChar c) {
    return c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?');
}

// Whether a paragraph ends at i: a paragraph separator, or a line break followed by another
// one with nothing but blanks between. Answers where the blank stretch ends.
qsizetype ParagraphEnd(const QString& text, qsizetype i) {
    if (text[i] == QChar::ParagraphSeparator) {
        return i + 1;
    }
    if (!IsLineBreak(text[i])) {
        return -1;
    }
    qsizetype j = i + 1;
    if (text[i] == QLatin1Char('\r') && j < text.size() && text[j] == QLatin1Char('\n')) {
        ++j;  // one Windows line end
    }
    for (; j < text.size() && text[j].isSpace(); ++j) {
        if (IsLineBreak(text[j]) || text[j] == QChar::ParagraphSeparator) {
            return j + 1;
        }
    }
    return -1;
}

}  // namespace

void SubtitleTrack::clear() {
    m_text.clear();
    m_textStarts.clear();
    m_words.clear();
    m_endMs = 0;
}

void SubtitleTrack::beginText() {
    m_textStarts.push_back(m_text.size());
}

void SubtitleTrack::appendText(const QString& text) {
    if (m_textStarts.empty()) {
        beginText();
    }
    m_text += text;
}

void SubtitleTrack::addWord(int64_t ms, int64_t position) {
    const int64_t start = m_textStarts.empty() ? 0 : m_textStarts.back();
    m_words.emplace_back(ms, start + qMax<int64_t>(0, position));
}

std::vector<std::pair<qsizetype, qsizetype>> SubtitleTrack::Sentences(const QString& text) {
    std::vector<std::pair<qsizetype, qsizetype>> sentences;
    qsizetype start = -1;  // of the sentence being gathered; -1 between sentences
    auto close = [&](qsizetype end) {
        if (start >= 0) {
            while (end > start && text[end - 1].isSpace()) {
                --end;
            }
            if (end > start) {
                sentences.emplace_back(start, end);
            }
        }
        start = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (const qsizetype after = ParagraphEnd(text, i); after >= 0) {
            close(i);
            i = after - 1;
            continue;
        }
        if (c.isSpace()) {
            continue;
        }
        if (start < 0) {
            start = i;
        }
        if (IsSentenceMark(c)) {
            // A run of marks ("?!", "...") and closing quotes or brackets stay with it.
            qsizetype end = i + 1;
            while (end < text.size() &&
                   (IsSentenceMark(text[end]) ||
                    text[end].category() == QChar::Punctuation_FinalQuote ||
                    text[end].category() == QChar::Punctuation_Close ||
                    text[end] == QLatin1Char('"') || text[end] == QLatin1Char('\''))) {
                ++end;
            }
            if (end == text.size() || text[end].isSpace()) {
                close(end);
            }
            i = end - 1;
        }
    }
    close(text.size());
    return sentences;
}

QList<SubtitleCue> SubtitleTrack::cues() const {
    struct Sentence {
        qsizetype start;
        qsizetype end;
        int64_t startMs;
    };
    std::vector<Sentence> sentences;
    for (size_t t = 0; t < m_textStarts.size(); ++t) {
        const qsizetype from = m_textStarts[t];
        const qsizetype to = t + 1 < m_textStarts.size() ? m_textStarts[t + 1] : m_text.size();
        for (const auto& [start, end] : Sentences(m_text.mid(from, to - from))) {
            sentences.push_back({from + start, from + end, -1});
        }
    }
    for (const auto& [ms, position] : m_words) {
        // The last sentence starting at or before the word; a word in the blanks after it
        // belongs to the next one.
        auto it = std::upper_bound(
            sentences.begin(), sentences.end(), position,
            [](int64_t p, const Sentence& sentence) { return p < sentence.start; });
        if (it != sentences.begin() && position < std::prev(it)->end) {
            --it;
        }
        if (it != sentences.end() && it->startMs < 0) {
            it->startMs = ms;
        }
    }
    QList<SubtitleCue> cues;
    for (const Sentence& sentence : sentences) {
        if (sentence.startMs < 0) {
            continue;  // nothing of it was spoken
        }
        // Times only move on, also when the engine's reports would have it otherwise.
        const int64_t startMs =
            cues.isEmpty() ? sentence.startMs : qMax(sentence.startMs, cues.last().startMs);
        if (!cues.isEmpty()) {
            cues.last().endMs = startMs;
        }
        cues.append({startMs, startMs,
                     m_text.mid(sentence.start, sentence.end - sentence.start).simplified()});
    }
    if (!cues.isEmpty()) {
        cues.last().endMs = qMax(cues.last().startMs, m_endMs);
    }
    return cues;
}
