#include "platform/speechapi/lexiconmatcher.h"

#include <QStringList>
#include <algorithm>

namespace {

const QString kPhonemesOpen = QStringLiteral("[[");
const QString kPhonemesClose = QStringLiteral("]]");
const QChar kOpenBracket = QLatin1Char('[');

// The speech text filter says a word of more than this many capitals in small letters, before
// the lexicon sees it.
constexpr int kLoweredCapitals = 4;

// Whether the filter lowers some word of written, an entry in capitals.
bool capitalsLowered(const QString& written) {
    if (std::any_of(written.begin(), written.end(), [](QChar c) { return c.isLower(); })) {
        return false;
    }
    const QStringList words = written.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::any_of(words.begin(), words.end(),
                       [](const QString& word) { return word.size() > kLoweredCapitals; });
}

bool sameChar(QChar a, QChar b, bool matchCase) {
    return a == b || (!matchCase && a.toCaseFolded() == b.toCaseFolded());
}

int wordEnd(const QString& text, int position) {
    while (position < text.size() && LexiconMatcher::isWordChar(text[position])) {
        ++position;
    }
    return position;
}

}  // namespace

LexiconMatcher::LexiconMatcher(const LexiconEntries& entries, const QString& voiceLanguage,
                               bool acceptsPhonemes) {
    for (const LexiconEntry& entry : entries) {
        const QString written = entry.written.simplified();
        if (written.isEmpty() || (entry.phonemes && !acceptsPhonemes) ||
            !languageMatches(entry.language, voiceLanguage)) {
            continue;
        }
        const QString spoken =
            entry.phonemes ? kPhonemesOpen + entry.spoken.trimmed() + kPhonemesClose : entry.spoken;
        m_entries.push_back({written, spoken, entry.matchCase, isWordChar(written.back()),
                             entry.phonemes, !entry.language.isEmpty(),
                             entry.matchCase && capitalsLowered(written)});
        m_hasPhonemes = m_hasPhonemes || entry.phonemes;
    }
    for (int i = 0; i < int(m_entries.size()); ++i) {
        const QString key = firstKey(m_entries[size_t(i)].written);
        m_symbolKeys = m_symbolKeys || !isWordChar(key.front());
        m_byKey[key].push_back(i);
    }
    // Longest first; of two as long, the one that matches only the capitals as written.
    for (auto& list : m_byKey) {
        std::stable_sort(list.begin(), list.end(), [this](int a, int b) {
            const Compiled& first = m_entries[size_t(a)];
            const Compiled& second = m_entries[size_t(b)];
            // The longest, then the one for the voice's own language, then the one with
            // capitals as written: the most particular entry wins.
            if (first.written.size() != second.written.size()) {
                return first.written.size() > second.written.size();
            }
            if (first.ownLanguage != second.ownLanguage) {
                return first.ownLanguage;
            }
            return first.matchCase && !second.matchCase;
        });
    }
}

QList<int> LexiconMatcher::wordStarts(QStringView text) {
    QList<int> starts{0};
    for (int i = 1; i < text.size(); ++i) {
        if (!text[i].isSpace() && text[i - 1].isSpace()) {
            starts << i;
        }
    }
    return starts;
}

void LexiconMatcher::addSpans(LexiconText* result, int engineStart, const QString& spoken,
                              QStringView written, int originalStart) {
    // Each word said stands for the written word at the same share of the way through, so
    // that "New York" said as "Noo Yawk" highlights both words in turn.
    const QList<int> said = wordStarts(spoken);
    const QList<int> words = wordStarts(written);
    const auto m = said.size();
    const auto k = words.size();
    for (qsizetype j = 0; j < m; ++j) {
        const bool last = j + 1 == m;
        const int engineFrom = engineStart + (j == 0 ? 0 : said[j]);
        const int engineTo = engineStart + (last ? int(spoken.size()) : said[j + 1]);
        const int originalFrom = originalStart + words[j * k / m];
        const int originalTo =
            originalStart + (last ? int(written.size()) : words[(j + 1) * k / m]);
        result->addSpan(engineFrom, engineTo, originalFrom, originalTo);
    }
}

bool LexiconMatcher::languageMatches(const QString& entryLanguage, const QString& voiceLanguage) {
    if (entryLanguage.isEmpty()) {
        return true;
    }
    if (!voiceLanguage.startsWith(entryLanguage, Qt::CaseInsensitive)) {
        return false;
    }
    return voiceLanguage.size() == entryLanguage.size() ||
           voiceLanguage[entryLanguage.size()] == QLatin1Char('-');
}

QString LexiconMatcher::firstKey(const QString& written) {
    const int end = isWordChar(written.front()) ? wordEnd(written, 0) : 1;
    return written.left(end).toCaseFolded();
}

int LexiconMatcher::matchAt(const Compiled& entry, const QString& text, int position) {
    const int length = matchForm(entry, entry.written, text, position);
    if (length > 0 || !entry.capitalsLowered) {
        return length;
    }
    return matchForm(entry, entry.written.toLower(), text, position);
}

int LexiconMatcher::matchForm(const Compiled& entry, const QString& form, const QString& text,
                              int position) {
    int at = position;
    for (int i = 0; i < form.size(); ++i) {
        const QChar wanted = form[i];
        if (wanted == QLatin1Char(' ')) {
            // Any run of blanks or line breaks stands for the one space of the entry.
            if (at >= text.size() || !text[at].isSpace()) {
                return 0;
            }
            while (at < text.size() && text[at].isSpace()) {
                ++at;
            }
            continue;
        }
        if (at >= text.size() || !sameChar(text[at], wanted, entry.matchCase)) {
            return 0;
        }
        ++at;
    }
    if (entry.wordEnd && at < text.size() && isWordChar(text[at])) {
        return 0;  // only part of a longer word
    }
    return at - position;
}

const LexiconMatcher::Compiled* LexiconMatcher::find(const QString& text, int position, int keyEnd,
                                                     int* length) const {
    const auto found = m_byKey.constFind(text.mid(position, keyEnd - position).toCaseFolded());
    if (found == m_byKey.cend()) {
        return nullptr;
    }
    for (int index : *found) {
        const Compiled& entry = m_entries[size_t(index)];
        if ((*length = matchAt(entry, text, position)) > 0) {
            return &entry;
        }
    }
    return nullptr;
}

LexiconText LexiconMatcher::apply(const QString& text) const {
    LexiconText result(text);
    if (m_entries.empty()) {
        return result;
    }
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const auto replace = [&](int position, int length, const QString& with) {
        addSpans(&result, int(out.size()), with, QStringView(text).mid(position, length), position);
        out += with;
    };
    int i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        const int end = isWordChar(c) ? wordEnd(text, i) : i + 1;
        int length = 0;
        const Compiled* entry = nullptr;
        if (isWordChar(c) ||
            (m_symbolKeys && !c.isSpace() && (i == 0 || !isWordChar(text[i - 1])))) {
            entry = find(text, i, end, &length);
        }
        if (entry) {
            // A bracket of the text just before would open the phonemes one early.
            const bool separate = entry->phonemes && out.endsWith(kOpenBracket);
            replace(i, length,
                    separate ? QLatin1Char(' ') + entry->replacement : entry->replacement);
            result.phonemes = result.phonemes || entry->phonemes;
            i += length;
        } else if (m_hasPhonemes && c == kOpenBracket && i + 1 < text.size() &&
                   text[i + 1] == kOpenBracket) {
            // With phonemes about, the engine reads "[[" as their start: a run of the text's
            // own brackets is spaced out whole, so that no two of them stay together.
            int run = i;
            while (run < text.size() && text[run] == kOpenBracket) {
                ++run;
            }
            QString spaced(2 * (run - i) - 1, QLatin1Char(' '));
            for (int b = 0; b < spaced.size(); b += 2) {
                spaced[b] = kOpenBracket;
            }
            replace(i, run - i, spaced);
            i = run;
        } else {
            out += QStringView(text).mid(i, end - i);
            i = end;
        }
    }
    if (result.changed()) {
        result.text = out;
    }
    return result;
}
