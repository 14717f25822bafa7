#include "tests/text/referencefilter.h"

#include <algorithm>

namespace {

bool lower(QChar c) {
    return c >= 'a' && c <= 'z';
}
bool upper(QChar c) {
    return c >= 'A' && c <= 'Z';
}
bool letter(QChar c) {
    return lower(c) || upper(c);
}
bool wordChar(QChar c) {
    return letter(c) || (c >= '0' && c <= '9');
}
bool symbol(QChar c) {
    return QStringLiteral("()*<=>[\\]^_`{|}~").contains(c);
}
bool pause(QChar c) {
    return QStringLiteral("!,-.;?").contains(c);
}

}  // namespace

void ReferenceFilter::AddOffset(int start, int finish, int delta) {
    for (Record& r : records) {
        if (r.Start > start) {
            r.Start -= delta;
            r.Finish -= delta;
        }
    }
    records.push_back({start, finish, delta});
}

int ReferenceFilter::MapPosition(int p) const {
    int sum = 0;
    for (const Record& r : records) {
        if (r.Start <= p && p <= r.Finish) {
            return r.Start + sum;
        }
        if (r.Start < p) {
            sum += r.Delta;
        } else {
            break;
        }
    }
    return p + sum;
}

QString ReferenceFilter::ReplaceWord(const QString& word, bool allCaps, uint32_t flags) const {
    if (word == QStringLiteral("AP")) {
        return QStringLiteral("Associated Press");
    }
    if (allCaps && word.size() > 4) {
        return word.toLower();
    }
    if (allCaps && !(flags & 2)) {
        const QString spoken = m_table.Lookup(word);
        if (!spoken.isEmpty()) {
            return spoken;
        }
    }
    return word;
}

bool ReferenceFilter::ReplaceWebAddress(int s, int* cursor, int* shift) {
    int k = s;
    bool seen = false;
    *shift = 0;
    if (m_w.mid(s - 1, 3) == QStringLiteral("www")) {
        m_w.replace(s - 1, 3, QStringLiteral("w w w"));
        AddOffset(s - 1, s + 4, -2);
        *shift = 2;
        k = s + 5;
        seen = true;
    }
    int stops = 0;
    for (; k <= m_w.size(); ++k) {
        const QChar c = at(k);
        if (c == ' ') {
            return false;
        }
        if (c == '.') {
            ++stops;
        } else if (letter(c)) {
            seen = true;
        } else if (c == '/') {
            if (stops == 0 || !seen) {
                return false;
            }
            put(k, ' ');
            const int p = k + 1;
            int q = p;
            while (q <= m_w.size() && at(q) != ' ') {
                ++q;
            }
            const int n = q - p;
            m_w.replace(p - 1, n, QStringLiteral("web link "));
            if (n != 9) {
                AddOffset(p - 1, p + 8, n - 9);
            }
            *cursor = p + 8;
            return true;
        }
    }
    return false;
}

QString ReferenceFilter::FilterText(uint32_t flags, const QString& text, bool symbols) {
    records.clear();
    m_w = text;
    int i = 0, ws = 0, we = 0, g = 0;
    bool noLower = false, tested = false;
    for (;;) {
        ++i;  // step 2
        if (i > m_w.size()) {
            break;
        }
        const QChar c = at(i);
        if (c == ' ') {  // step 3
            continue;
        }
        if (g != 0) {  // step 4
            if (pause(c)) {
                continue;
            }
            const int e = i;
            if (e - g > 1) {
                QString run = m_w.mid(g - 1, e - g);
                while (run.endsWith(' '))
                    run.chop(1);
                while (run.startsWith(' '))
                    run.remove(0, 1);
                if (run.size() > 1) {
                    put(g, ',');
                    for (int k = g + 1; k <= e - 1; ++k)
                        put(k, ' ');
                }
            }
            g = 0;
        }
        if (ws == 0) {  // step 5
            if (c == '.') {
                g = i;
                continue;
            }
            if (wordChar(c)) {
                ws = i;
                we = 0;
                noLower = !lower(c);
                tested = false;
            }
        }
        if (symbols && symbol(c)) {  // step 6
            put(i, ' ');
        }
        if (ws != 0 && we == 0) {  // step 7
            bool webLink = false;
            int j = i;
            while (j <= m_w.size()) {
                const QChar d = at(j);
                if (lower(d)) {
                    noLower = false;
                    ++j;
                    continue;
                }
                if (d == ':' && m_w.mid(ws - 1, 7) == QStringLiteral("http://")) {
                    for (int k = 0; k < 7; ++k)
                        put(ws + k, ' ');
                    const int after = ws + 7;
                    if (after <= m_w.size() && wordChar(at(after))) {
                        ws = after;
                        noLower = !lower(at(after));
                        tested = false;
                    } else {
                        ws = 0;
                        break;
                    }
                    j = after;
                    continue;
                }
                if (d == '.' && !tested) {
                    tested = true;
                    int cursor = 0, shift = 0;
                    if (ReplaceWebAddress(ws, &cursor, &shift)) {
                        ws = 0;
                        i = cursor;
                        webLink = true;
                        break;
                    }
                    j += shift;
                }
                if (!wordChar(d)) {
                    if (symbols && symbol(d))
                        put(j, ' ');
                    we = j - 1;
                    break;
                }
                ++j;
            }
            if (webLink || ws == 0) {
                continue;
            }
        }
        if (ws != 0 && we != 0) {  // step 8
            const QString word = m_w.mid(ws - 1, we - ws + 1);
            const QString rep = ReplaceWord(word, noLower, flags);
            if (rep != word) {
                m_w.replace(ws - 1, word.size(), rep);
                if (rep.size() != word.size()) {
                    AddOffset(ws - 1, ws - 1 + int(rep.size()), int(word.size() - rep.size()));
                }
                i = ws - 1 + int(rep.size());
            } else {
                i = we;
            }
            ws = 0;
            we = 0;
        }
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.Start < b.Start; });
    return m_w;
}
