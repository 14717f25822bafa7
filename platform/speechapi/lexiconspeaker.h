#pragma once

#include "platform/speechapi/lexiconentry.h"

// Speaks with an activated voice for the lexicon dialog: a text with the lexicon in force, or
// with entries not yet saved, cutting short whatever it was saying.
class LexiconSpeaker {
  public:
    virtual ~LexiconSpeaker() = default;
    virtual void sayWithLexicon(const QString& text) = 0;
    virtual void sayWithEntries(const QString& text, const LexiconEntries& entries) = 0;
    virtual void hush() = 0;
};
