#pragma once

#include <ostream>

#include "platform/speechapi/lexiconentry.h"

// Readable lexicon entries in test failure messages.
inline void PrintTo(const LexiconEntry& entry, std::ostream* out) {
    *out << '{' << entry.written.toStdString() << " -> " << entry.spoken.toStdString();
    if (entry.matchCase) {
        *out << ", case";
    }
    if (entry.phonemes) {
        *out << ", phonemes";
    }
    if (!entry.language.isEmpty()) {
        *out << ", " << entry.language.toStdString();
    }
    *out << '}';
}
