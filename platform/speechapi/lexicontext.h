#pragma once

#include <QString>
#include <vector>

// A text with the lexicon's replacements made, and the way back: every position in it maps to
// the position in the original text where the same word stands.
class LexiconText {
  public:
    LexiconText() = default;
    explicit LexiconText(const QString& original)
        : text(original), m_originalLength(original.size()) {}

    QString text;
    // Holds eSpeak phonemes between "[[" and "]]".
    bool phonemes = false;

    // Records that text[engineStart, engineEnd) says original[originalStart, originalEnd).
    // Spans are added in order.
    void addSpan(int engineStart, int engineEnd, int originalStart, int originalEnd);
    void setOriginalLength(int length) { m_originalLength = length; }
    // The original position of a position in text: inside a replacement, the start of the
    // words it replaces; never past the end of the original, never going backwards.
    int originalPosition(int enginePosition) const;
    bool changed() const { return !m_spans.empty(); }

  private:
    struct Span {
        int engineStart, engineEnd, originalStart, originalEnd;
    };
    std::vector<Span> m_spans;
    int m_originalLength = 0;
};
