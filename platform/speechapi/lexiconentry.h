#pragma once

#include <QList>
#include <QString>

// One entry of the pronunciation lexicon: how a written word (or a few words) is to be said.
struct LexiconEntry {
    QString written;  // the text as it stands in an article
    QString spoken;   // plain text to say instead, or eSpeak phonemes when phonemes is set
    bool phonemes = false;
    bool matchCase = false;
    QString language;  // a language tag such as "en" or "en-gb"; empty for every language

    bool operator==(const LexiconEntry&) const = default;
};

using LexiconEntries = QList<LexiconEntry>;
