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
    m_ends.resize(1);
    for (int i = 0; i < int(m_entries.size()); ++i) {
        index(i);
        m_symbolKeys = m_symbolKeys || !isWordChar(m_entries[size_t(i)].written.front());
    }
    // Entries that end at the same node are written alike but for capitals: the one for the
    // voice's own language, then the one with capitals as written wins.
    for (auto& list : m_ends) {
        std::stable_sort(list.begin(), list.end(), [this](int a, int b) {
            const Compiled& first = m_entries[size_t(a)];
            const Compiled& second = m_entries[size_t(b)];
            if (first.ownLanguage != second.ownLanguage) {
                return first.ownLanguage;
            }
            return first.matchCase && !second.matchCase;
        });
    }
}

int LexiconMatcher::pieceEnd(QStringView text, int position) {
    const QChar c = text[position];
    int end = position + 1;
    if (isWordChar(c)) {
        while (end < text.size() && isWordChar(text[end])) {
            ++end;
        }
    } else if (c.isSpace()) {
        while (end < text.size() && text[end].isSpace()) {
            ++end;
        }
    }
    return end;
}

QString LexiconMatcher::pieceKey(QStringView piece) {
    return piece.front().isSpace() ? QStringLiteral(" ") : piece.toString().toCaseFolded();
}

void LexiconMatcher::index(int entry) {
    const QString& written = m_entries[size_t(entry)].written;
    int node = 0;
    for (int at = 0; at < written.size();) {
        const int end = pieceEnd(written, at);
        const Step step{node, pieceKey(QStringView(written).mid(at, end - at))};
        auto next = m_steps.constFind(step);
        if (next == m_steps.cend()) {
            next = m_steps.insert(step, int(m_ends.size()));
            m_ends.emplace_back();
        }
        node = *next;
        at = end;
    }
    m_ends[size_t(node)].push_back(entry);
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

const LexiconMatcher::Compiled* LexiconMatcher::find(const QString& text, int position,
                                                     int* length) const {
    // Down the tree piece by piece as far as the text goes along it; then the longest written
    // form that ends on the way and matches as its entry says (capitals, whole words) wins.
    std::vector<int> ends;
    int node = 0;
    for (int at = position; at < text.size();) {
        const int end = pieceEnd(text, at);
        const auto next = m_steps.constFind({node, pieceKey(QStringView(text).mid(at, end - at))});
        if (next == m_steps.cend()) {
            break;
        }
        node = *next;
        at = end;
        if (!m_ends[size_t(node)].empty()) {
            ends.push_back(node);
        }
    }
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        for (int index : m_ends[size_t(*it)]) {
            const Compiled& entry = m_entries[size_t(index)];
            if ((*length = matchAt(entry, text, position)) > 0) {
                return &entry;
            }
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
            entry = find(text, i, &length);
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
