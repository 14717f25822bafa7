#pragma once

#include <QHash>
#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <vector>

#include "platform/speechapi/lexiconentry.h"
#include "platform/speechapi/lexicontext.h"

// The lexicon made ready for one voice: only the entries of its language, phoneme entries only
// for an engine that reads phonemes, indexed word by word (a tree of their words, blanks and
// signs), so that a text is rewritten in one pass and each word costs the same however many
// entries there are, even when thousands begin with the same word.
class LexiconMatcher {
  public:
    LexiconMatcher() = default;
    LexiconMatcher(const LexiconEntries& entries, const QString& voiceLanguage,
                   bool acceptsPhonemes);

    bool isEmpty() const { return m_entries.empty(); }
    // The text with every entry's written form, found as whole words, replaced by its spoken
    // form. Longer entries win over shorter ones starting at the same word.
    LexiconText apply(const QString& text) const;

    // Whether an entry of that language applies to a voice speaking voiceLanguage.
    static bool languageMatches(const QString& entryLanguage, const QString& voiceLanguage);
    // A letter, digit or mark: what words are made of.
    static bool isWordChar(QChar c) {
        return c.isLetterOrNumber() || c.isMark() || c.isSurrogate();
    }

  private:
    // Where the blank-separated words of text start; 0 always.
    static QList<int> wordStarts(QStringView text);
    // Maps the spoken words of a replacement made at engineStart back to the written words.
    static void addSpans(LexiconText* result, int engineStart, const QString& spoken,
                         QStringView written, int originalStart);
    struct Compiled {
        QString written;
        QString replacement;
        bool matchCase;
        bool wordEnd;  // the written form ends with a word character
        bool phonemes;
        bool ownLanguage;  // held for the voice's language only, not for every language
        // In capitals, matched as written: its long words reach the lexicon in small letters
        // too, as the speech filter says them so.
        bool capitalsLowered;
    };
    // Length in text of the written form found at position, or 0.
    static int matchAt(const Compiled& entry, const QString& text, int position);
    static int matchForm(const Compiled& entry, const QString& form, const QString& text,
                         int position);
    // Where the piece of text that starts at position ends: a word, a run of blanks, or one
    // sign.
    static int pieceEnd(QStringView text, int position);
    // The piece as the index holds it: case-folded, and any run of blanks as one space.
    static QString pieceKey(QStringView piece);
    void index(int entry);
    const Compiled* find(const QString& text, int position, int* length) const;

    // One step down the tree: from a node, by a piece.
    struct Step {
        int node;
        QString piece;
        bool operator==(const Step&) const = default;
    };
    friend size_t qHash(const Step& step, size_t seed) {
        return qHashMulti(seed, step.node, step.piece);
    }

    std::vector<Compiled> m_entries;
    QHash<Step, int> m_steps;  // node 0 is the root
    // For each node, the entries whose written form ends there, the most particular first.
    std::vector<std::vector<int>> m_ends;
    bool m_symbolKeys = false;  // some entries begin with a symbol rather than a word
    bool m_hasPhonemes = false;
};
