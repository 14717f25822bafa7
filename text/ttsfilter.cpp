#include "text/ttsfilter.h"

#include "text/filterbuffer.h"

namespace {

bool isLower(QChar c) {
    return c >= QLatin1Char('a') && c <= QLatin1Char('z');
}
bool isUpper(QChar c) {
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}
bool isLetter(QChar c) {
    return isLower(c) || isUpper(c);
}
bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
bool isWordChar(QChar c) {
    return isLetter(c) || isDigit(c);
}

bool isSymbol(QChar c) {
    switch (c.unicode()) {
        case '(':
        case ')':
        case '*':
        case '<':
        case '=':
        case '>':
        case '[':
        case '\\':
        case ']':
        case '^':
        case '_':
        case '`':
        case '{':
        case '|':
        case '}':
        case '~':
            return true;
        default:
            return false;
    }
}

bool isPause(QChar c) {
    switch (c.unicode()) {
        case '!':
        case ',':
        case '-':
        case '.':
        case ';':
        case '?':
            return true;
        default:
            return false;
    }
}

const QChar kBlank = QLatin1Char(' ');
const QString kWebLink = QStringLiteral("web link ");
const QString kSpacedWww = QStringLiteral("w w w");

// Answers, for start positions that only move forward, where the next blank or "/" of the
// original text is and how many full stops and letters lie before it, in amortised constant
// time. Web address scans only ever read text that no rewrite has touched yet.
class WebScanner {
  public:
    explicit WebScanner(const QString& text) : m_text(text.constData()), m_size(text.size()) {}

    // First blank or "/" at or after from; size when none.
    qsizetype stop(qsizetype from) {
        if (from < m_searchedFrom || from > m_stop) {
            m_stop = from;
        }
        m_searchedFrom = from;
        while (m_stop < m_size && m_text[m_stop] != QLatin1Char(' ') &&
               m_text[m_stop] != QLatin1Char('/')) {
            ++m_stop;
        }
        return m_stop;
    }

    // Full stops and letters in [from, to); from and to never move backwards.
    void count(qsizetype from, qsizetype to, qsizetype* stops, qsizetype* letters) {
        if (from < m_lo || to < m_hi) {  // never happens in a walk; kept exact all the same
            m_lo = m_hi = from;
            m_stops = m_letters = 0;
        }
        for (; m_hi < to; ++m_hi) {
            add(m_text[m_hi], +1);
        }
        for (; m_lo < from; ++m_lo) {
            add(m_text[m_lo], -1);
        }
        *stops = m_stops;
        *letters = m_letters;
    }

    bool isSlash(qsizetype at) const { return at < m_size && m_text[at] == QLatin1Char('/'); }

    qsizetype nextBlank(qsizetype from) const {
        while (from < m_size && m_text[from] != QLatin1Char(' ')) {
            ++from;
        }
        return from;
    }

  private:
    void add(QChar c, int sign) {
        if (c == QLatin1Char('.')) {
            m_stops += sign;
        } else if (isLetter(c)) {
            m_letters += sign;
        }
    }

    const QChar* m_text;
    qsizetype m_size;
    qsizetype m_searchedFrom = 0;
    qsizetype m_stop = -1;
    qsizetype m_lo = 0, m_hi = 0, m_stops = 0, m_letters = 0;
};

}  // namespace

struct TTTSFilter::Walk {
    Walk(const QString& text, bool symbols) : w(text), web(text), filterSymbols(symbols) {}

    FilterBuffer w;
    WebScanner web;
    bool filterSymbols;
    qsizetype i = -1;      // cursor
    qsizetype ws = -1;     // start of the current word, -1 outside a word
    qsizetype we = -1;     // last character of the current word, -1 until found
    bool noLower = false;  // the current word has no lower-case letter so far
    bool tested = false;   // the current word has been tested for a web address
    qsizetype resume = -1;
};

TTTSFilter::TTTSFilter() {
    States.FillStates();
}

QString TTTSFilter::ReplaceWord(const QString& word, bool allCapitals, uint32_t flags) const {
    if (word == QStringLiteral("AP")) {
        return QStringLiteral("Associated Press");
    }
    if (allCapitals && word.size() > 4) {
        QString lower = word;
        for (QChar& c : lower) {
            if (isUpper(c)) {
                c = QChar(c.unicode() + ('a' - 'A'));
            }
        }
        return lower;
    }
    if (allCapitals && !(flags & kNoAbbreviations)) {
        const QString spoken = States.Lookup(word);
        if (!spoken.isEmpty()) {
            return spoken;
        }
    }
    return word;
}

QString TTTSFilter::FilterText(uint32_t flags, const QString& text, bool filterSymbols) {
    Offsets.clear();
    Walk walk(text, filterSymbols);
    FilterBuffer& w = walk.w;
    qsizetype pauseStart = -1;  // the full stop of a pending pause run
    for (;;) {
        qsizetype& i = walk.i;
        if (++i >= w.size()) {
            break;
        }
        const QChar c = w.at(i);
        if (c == kBlank) {
            continue;
        }
        if (pauseStart >= 0) {
            if (isPause(c)) {
                continue;
            }
            endPauseRun(w, pauseStart, i);
            pauseStart = -1;
        }
        if (walk.ws < 0) {
            if (c == QLatin1Char('.')) {
                pauseStart = i;
                continue;
            }
            if (isWordChar(c)) {
                walk.ws = i;
                walk.we = -1;
                walk.noLower = !isLower(c);
                walk.tested = false;
            }
        }
        if (filterSymbols && isSymbol(c)) {
            w.set(i, kBlank);
        }
        if (walk.ws >= 0 && walk.we < 0) {
            const ScanEnd end = scanWord(walk);
            if (end == ScanEnd::TextEnd) {
                // The word runs to the end of the text: it is never replaced, and nothing after
                // it can change any more.
                break;
            }
            if (end == ScanEnd::WebLink) {
                walk.ws = -1;
                i = walk.resume;
                continue;
            }
            if (end == ScanEnd::NoWord) {
                continue;
            }
        }
        if (walk.ws >= 0 && walk.we >= 0 && !walk.noLower) {
            // A word with a lower-case letter is never replaced.
            i = walk.we;
            walk.ws = -1;
            walk.we = -1;
        } else if (walk.ws >= 0 && walk.we >= 0) {
            const qsizetype length = walk.we - walk.ws + 1;
            QString word(length, Qt::Uninitialized);
            for (qsizetype k = 0; k < length; ++k) {
                word[k] = w.at(walk.ws + k);
            }
            const QString replacement = ReplaceWord(word, walk.noLower, flags);
            if (replacement != word) {
                w.replace(walk.ws, length, replacement);
                if (replacement.size() != length) {
                    Offsets.AddOffset(int32_t(walk.ws), int32_t(walk.ws + replacement.size()),
                                      int32_t(length - replacement.size()));
                }
                i = walk.ws + replacement.size() - 1;
            } else {
                i = walk.we;
            }
            walk.ws = -1;
            walk.we = -1;
        }
    }
    Offsets.finish();
    return w.take();
}

void TTTSFilter::endPauseRun(FilterBuffer& w, qsizetype fullStop, qsizetype end) {
    if (end - fullStop <= 1) {
        return;
    }
    // The run without its trailing blanks: longer than the full stop alone?
    bool longer = false;
    for (qsizetype k = fullStop + 1; k < end && !longer; ++k) {
        longer = w.at(k) != kBlank;
    }
    if (!longer) {
        return;
    }
    w.set(fullStop, QLatin1Char(','));
    for (qsizetype k = fullStop + 1; k < end; ++k) {
        w.set(k, kBlank);
    }
}

TTTSFilter::ScanEnd TTTSFilter::scanWord(Walk& walk) {
    FilterBuffer& w = walk.w;
    for (qsizetype j = walk.i;; ++j) {
        if (j >= w.size()) {
            return ScanEnd::TextEnd;
        }
        const QChar d = w.at(j);
        if (isLower(d)) {
            walk.noLower = false;
            continue;
        }
        if (d == QLatin1Char(':') && walk.ws + 7 <= w.size()) {
            static const QString kHttp = QStringLiteral("http://");
            bool http = true;
            for (int k = 0; k < 7 && http; ++k) {
                http = w.at(walk.ws + k) == kHttp[k];
            }
            if (http) {
                for (int k = 0; k < 7; ++k) {
                    w.set(walk.ws + k, kBlank);
                }
                const qsizetype after = walk.ws + 7;
                if (after < w.size() && isWordChar(w.at(after))) {
                    walk.ws = after;
                    walk.noLower = !isLower(w.at(after));
                    walk.tested = false;
                } else {
                    walk.ws = -1;
                    return ScanEnd::NoWord;
                }
                j = after - 1;
                continue;
            }
        }
        if (d == QLatin1Char('.') && !walk.tested) {
            walk.tested = true;
            qsizetype shift = 0;
            if (ReplaceWebAddress(walk, walk.ws, &shift, &walk.resume)) {
                return ScanEnd::WebLink;
            }
            j += shift;  // "www" became "w w w" before the full stop
        }
        if (!isWordChar(d)) {
            if (walk.filterSymbols && isSymbol(d)) {
                w.set(j, kBlank);
            }
            walk.we = j - 1;
            return ScanEnd::WordEnd;
        }
    }
}

bool TTTSFilter::ReplaceWebAddress(Walk& walk, qsizetype s, qsizetype* shift, qsizetype* resume) {
    FilterBuffer& w = walk.w;
    qsizetype from = s;
    bool letter = false;
    if (s + 3 <= w.size() && w.at(s) == QLatin1Char('w') && w.at(s + 1) == QLatin1Char('w') &&
        w.at(s + 2) == QLatin1Char('w')) {
        w.replace(s, 3, kSpacedWww);
        Offsets.AddOffset(int32_t(s), int32_t(s + 5), -2);
        *shift = 2;
        from = s + 5;
        letter = true;
    }
    // Everything from here on is still the original text.
    const qsizetype origin = w.origin(from);
    const qsizetype stop = walk.web.stop(origin);
    if (!walk.web.isSlash(stop)) {
        return false;  // a blank or the end of the text came first: no path
    }
    qsizetype stops = 0, letters = 0;
    walk.web.count(origin, stop, &stops, &letters);
    if (stops == 0 || !(letter || letters > 0)) {
        return false;
    }
    const qsizetype slash = w.fromOrigin(stop);
    w.set(slash, kBlank);
    const qsizetype pathStart = slash + 1;
    const qsizetype pathLength = walk.web.nextBlank(stop + 1) - (stop + 1);
    w.replace(pathStart, pathLength, kWebLink);
    if (pathLength != kWebLink.size()) {
        Offsets.AddOffset(int32_t(pathStart), int32_t(pathStart + kWebLink.size()),
                          int32_t(pathLength - kWebLink.size()));
    }
    *resume = pathStart + kWebLink.size() - 1;
    return true;
}
