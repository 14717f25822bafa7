#pragma once

#include <QString>
#include <QStringList>

class QEventLoop;

#include "cli/clioptions.h"

class TTTSForm;
class TPreferences;

// Reads text files or standard input into wave or MP3 files with the program's own speaking
// driver, voices, filter and encoder; needs neither a display nor a sound card.
class TCliConverter {
  public:
    enum ExitCode { Success = 0, Failure = 1, BadUsage = 2 };

    TCliConverter(TPreferences& prefs, TTTSForm& driver, const CliOptions& options);
    int ListVoices() const;
    int Run();
    // An error has been shown: a reading in progress has failed and ends.
    void ErrorShown();

  private:
    struct Input {
        QString path;  // empty: the text below, read from standard input
        QString text;
        QString title;
    };
    bool CollectInputs(QList<Input>& inputs);
    // False, with the reason printed, when two inputs would be written to the same file.
    bool OutputNamesDiffer(const QList<Input>& inputs) const;
    // Makes the output folder when it is missing, and checks that files can be written in it.
    bool PrepareOutputFolder();
    bool Begin(const QString& title);
    bool Speak(const Input& input);
    bool Finish(bool keepWave);
    void ShowProgress(int64_t position, int64_t total);
    void EndProgressLine();

    TPreferences& prefs_;
    TTTSForm& driver_;
    const CliOptions& options_;
    QString voice_;
    QString outDir_;              // absolute
    QString failure_;             // why the wave file of the reading could not be written
    QEventLoop* loop_ = nullptr;  // the reading in progress
    bool errorShown_ = false;     // while the current file was spoken
    QString title_;
    QString wave_, resampled_, mp3_;
    QString shown_;  // the progress line last drawn
    QString phase_;  // what the progress line counts
    bool terminal_ = false;
};
