#pragma once

#include <QString>

// Limits of eSpeak NG's phoneme input: the engine keeps the phonemes of one word in a fixed
// buffer of 200, and a longer word between "[[" and "]]" overruns it and crashes the process.
class LexiconPhonemes {
  public:
    // The most characters one word of phonemes may have: each character is at most one
    // phoneme, with room left for the stress marks the engine adds.
    static constexpr int kMaxWordLength = 120;

    // The length of the longest blank-separated word of phonemes.
    static int longestWord(const QString& phonemes);
    // The text with every word between "[[" and "]]" longer than kMaxWordLength broken by a
    // blank in place of one of its characters: the text keeps its length, so that the
    // positions the engine reports still name the same characters.
    static QString bounded(const QString& text);
};
