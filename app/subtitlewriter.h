#pragma once

#include <QList>
#include <QString>
#include <cstdint>

// One sentence of a reading: when its audio starts and ends, in milliseconds from the start of
// the audio file, and its text on one line.
struct SubtitleCue {
    int64_t startMs = 0;
    int64_t endMs = 0;
    QString text;
};

// Writes the sentences of a reading beside its audio file: an SRT subtitle file and an LRC
// lyrics file of the same base name, in UTF-8. Knows no audio format: it is given the final
// audio file's path.
class SubtitleWriter {
  public:
    // The files written beside audioPath: its path with the suffix replaced.
    static QString SrtPath(const QString& audioPath);
    static QString LrcPath(const QString& audioPath);

    // "1\n00:00:01,250 --> 00:00:03,900\ntext\n\n" for each cue, numbered from 1; what players
    // would take for markup in the text is kept as text.
    static QByteArray Srt(const QList<SubtitleCue>& cues);
    // "[ti:title]" then "[mm:ss.xx]text" for each cue.
    static QByteArray Lrc(const QString& title, const QList<SubtitleCue>& cues);

    // Writes both files beside audioPath, each replacing an earlier one at once (nothing is
    // left half written). Empty when done; otherwise why not, naming the file, and neither file
    // is left beside the audio file then.
    static QString Write(const QString& audioPath, const QString& title,
                         const QList<SubtitleCue>& cues);
    // Removes the files beside audioPath, when there are any.
    static void Remove(const QString& audioPath);
};
