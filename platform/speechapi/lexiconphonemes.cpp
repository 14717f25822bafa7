#include "platform/speechapi/lexiconphonemes.h"

namespace {

const QString kOpen = QStringLiteral("[[");
const QString kClose = QStringLiteral("]]");

}  // namespace

int LexiconPhonemes::longestWord(const QString& phonemes) {
    int longest = 0;
    int length = 0;
    for (QChar c : phonemes) {
        length = c.isSpace() ? 0 : length + 1;
        longest = qMax(longest, length);
    }
    return longest;
}

QString LexiconPhonemes::bounded(const QString& text) {
    QString result = text;
    qsizetype open = result.indexOf(kOpen);
    while (open >= 0) {
        const qsizetype start = open + kOpen.size();
        qsizetype end = result.indexOf(kClose, start);
        if (end < 0) {
            end = result.size();
        }
        int length = 0;
        for (qsizetype i = start; i < end; ++i) {
            // A character of a pair is never split from its other half.
            length = result[i].isSpace() ? 0 : length + 1;
            if (length > kMaxWordLength && !result[i].isSurrogate()) {
                result[i] = QLatin1Char(' ');
                length = 0;
            }
        }
        open = result.indexOf(kOpen, end);
    }
    return result;
}
