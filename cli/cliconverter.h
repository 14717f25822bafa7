#pragma once

#include <QString>
#include <QStringList>

#include <QHash>

#include "app/readingqueue.h"
#include "cli/clioptions.h"

class ReadingSession;
class TTTSForm;
class TPreferences;

// Reads text files or standard input into wave or MP3 files with the program's own reading
// session, voices, filter and encoder; needs neither a display nor a sound card. It collects
// and checks the inputs, and shows the session's progress and messages on the terminal.
class CliConverter {
  public:
    enum ExitCode { Success = 0, Failure = 1, BadUsage = 2 };

    CliConverter(TPreferences& prefs, TTTSForm& driver, const CliOptions& options);
    int ListVoices() const;
    int Run();

  private:
    bool CollectInputs(QList<ReadingArticle>& inputs);
    // A document's text as one input, or a book's chapters as one input each.
    bool CollectDocument(const QString& name, ReadingArticle input, QList<ReadingArticle>& inputs);
    // False, with the reason printed, when two inputs would be written to the same file.
    bool OutputNamesDiffer(const QList<ReadingArticle>& inputs) const;
    // Makes the output folder when it is missing, and checks that files can be written in it.
    bool PrepareOutputFolder();
    // Runs the session over the inputs; the exit code.
    int Convert(QList<ReadingArticle> inputs);
    void Follow(ReadingSession& session);
    void ShowProgress(int64_t position, int64_t total);
    // Ends the progress line of the phase in progress, complete when done.
    void EndPhase(bool done);
    void EndProgressLine();

    TPreferences& m_prefs;
    TTTSForm& m_driver;
    const CliOptions& m_options;
    QString m_voice;
    QString m_outDir;  // absolute
    bool m_failed = false;
    QHash<quintptr, QString> m_titles;
    QString m_title;  // of the article being read
    QString m_shown;  // the progress line last drawn
    QString m_phase;  // what the progress line counts
    bool m_terminal = false;
};
