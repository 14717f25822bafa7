#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/subtitlewriter.h"

// The sentences of the texts read into one audio file, with the time each one's first word was
// reached. Several texts (articles) may follow one another in the file; a text may arrive in
// pieces (a large file's chunks), each piece's characters following the ones before. A sentence
// ends at ".", "!" or "?" followed by a blank or the end of the text, or at the end of a
// paragraph (a blank line); no sentence runs from one text into the next.
class SubtitleTrack {
  public:
    void clear();
    // A new text begins: word positions count from its start.
    void beginText();
    // More characters of the current text.
    void appendText(const QString& text);
    // A word at position of the current text, whose audio starts at ms in the file.
    void addWord(int64_t ms, int64_t position);
    // The end of the audio: where the last sentence ends.
    void setEnd(int64_t ms) { m_endMs = qMax(m_endMs, ms); }

    // One cue per sentence with a spoken word, in order; each lasts until the next one starts,
    // the last until the end of the audio. Its text is the sentence with line breaks made
    // blanks.
    QList<SubtitleCue> cues() const;

    // Where the sentences of text start and end, [start, end), blanks around them left out.
    static std::vector<std::pair<qsizetype, qsizetype>> Sentences(const QString& text);

  private:
    QString m_text;                                    // all texts, one after another
    std::vector<qsizetype> m_textStarts;               // where each text starts in m_text
    std::vector<std::pair<int64_t, int64_t>> m_words;  // (ms, position in m_text)
    int64_t m_endMs = 0;
};
