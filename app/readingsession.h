#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <memory>

#include "app/readingqueue.h"
#include "app/readingstate.h"
#include "app/readtofilejob.h"
#include "app/subtitletrack.h"
#include "platform/shell/outcome.h"
#include "platform/shell/usermessage.h"

class TPreferences;
class TTTSForm;

// A reading of articles, aloud or into WAV or MP3 files: the walk over a list of articles, or
// one article (whole or a range of it), the output files around each reading, the conversion to
// MP3, and the removal of read articles when the user wants them gone. It has no window: the
// main window and the command-line converter drive it and follow it through its signals, and
// each tells the user what it reports in its own way.
class ReadingSession : public QObject {
    Q_OBJECT
  public:
    ReadingSession(TPreferences& prefs, TTTSForm& driver, QObject* parent = nullptr);
    // Waits for an encoding that follows the engine to end its worker.
    ~ReadingSession() override;

    void setQueue(ReadingQueue* queue) { m_queue = queue; }
    ReadingState state() const { return m_state; }
    // Where the current reading goes.
    OutputTarget target() const { return m_target; }
    // The article being read; 0 when none.
    quintptr currentKey() const { return m_current.key; }
    // The MP3 file being made or last made.
    QString encodedPath() const { return m_paths.Encoded; }
    // The files of the reading into a file in progress, or of the last one (its temporaries
    // are empty once removed or renamed).
    const OutputPaths& outputPaths() const { return m_paths; }

    // Empty when files can be written into the output folder; otherwise why not, naming the
    // folder. A missing folder is not made here: a mistyped name is for the user to see.
    QString outputFolderProblem() const;
    // The output folder, a full path, when nothing of that name exists; empty otherwise.
    QString missingOutputFolder() const;
    // Makes the missing output folder with the folders above it; empty when done, otherwise
    // why not, naming the folder.
    QString makeOutputFolder() const;
    // Reads every article of the queue, in order. A list that cannot go to several files (an
    // article without a title) is reported through titleMissing; nothing starts then.
    void ReadAllArticles(OutputTarget target);
    // Reads one article, or length characters of it from start (-1: to its end, from its
    // beginning). A file article is always read whole.
    void ReadSingleArticle(const ReadingArticle& article, OutputTarget target, int length = -1,
                           int start = -1);
    void pause();
    void resume();
    // Ends the article being read; the walk goes on with the next one.
    void skip();
    // Ends the reading: no further article is read, a partial file is removed.
    void stop();
    // The program is ending: the reading stops where it stands and nothing more starts.
    void shutdown();
    // Speaks a text that belongs to no article (a test sentence, a help topic) with a voice on
    // the sound card: no word is reported, nothing is walked, and it cannot be skipped. An
    // article being read is stopped first; a text being spoken is replaced.
    void SpeakText(const QString& text, const QString& voiceName);
    // Whether the reading in progress is such a text.
    bool speakingText() const { return m_walk == Walk::Text; }

  Q_SIGNALS:
    void stateChanged(ReadingState state);
    // The walk over the list has come to this article; its reading is about to start.
    void articleReached(quintptr key);
    // The driver has started speaking an article; progress counts up to progressMaximum.
    void articleStarted(quintptr key, int64_t progressMaximum);
    // A spoken word: its position as progress (in the text spoken, or in a large file's bytes)
    // out of total.
    void progress(int64_t position, int64_t total);
    // A spoken word of a text article, at caret in the article's text.
    void wordReached(quintptr key, int caret);
    void conversionStarted(const QString& mp3Path);
    void conversionProgress(int percent);
    void conversionFinished();
    // An output file is complete. With subtitles wanted, its SRT and LRC files are written
    // beside it first; when they cannot be, messageRaised says why and the reading goes on.
    void fileSaved(const QString& path);
    // The article must have a title to go into a file; the reading has not started.
    void titleMissing(quintptr key, const QString& message);
    // Something the user must be told; the reading has ended if it had begun.
    void messageRaised(UserMessage::Kind kind, const QString& text);
    // The reading has ended: completed is false when it failed or was stopped.
    void finished(bool completed);
    // A text of SpeakText has been spoken, stopped, or could not be spoken; the session is
    // idle again.
    void textFinished();

  private:
    enum class Walk { None, List, Single, Text };

    void setState(ReadingState state);
    bool PrepareOutput(const ReadingArticle& article);
    void SpeakArticle(const ReadingArticle& article, int length, int start);
    Outcome startSpeaking(const ReadingArticle& article, int length, int start);
    // Completes the output of a reading (removed when discard); false, after ending the
    // reading with its message, when the file could not be made.
    bool FinishOutput(bool discard);
    void AbortArticle(const QString& message, UserMessage::Kind kind);
    void ArticleFinished();
    void SingleReadFinished();
    void ReadingFailed(const QString& message);
    void TextFinished();
    void wordPosition(int64_t position, int64_t total);
    // A word of the file being made, for its subtitles.
    void SubtitleWord(uint64_t timeStamp, int64_t position);
    // Writes the subtitles beside a complete audio file, when they are wanted.
    void SaveSubtitles(const QString& audioPath);
    void end(bool completed);
    // Closes and removes the wave file being written, if any.
    void DiscardWave();
    // Removes the temporary files of the reading to a file, and forgets their names.
    void RemoveTemporaries();
    void ForgetTemporaries();
    QString voiceOf(const ReadingArticle& article) const;
    // The name of the file an article's title gives, unique within a walk over the list.
    QString FileNameFor(const QString& title);
    // The tags of the file an article goes into: in a list written as several files, its
    // place in the list and the list's album as well.
    AudioTags TagsFor(const ReadingArticle& article);

    TPreferences& m_prefs;
    TTTSForm& m_driver;
    ReadingQueue* m_queue = nullptr;
    ReadingState m_state = rsIdle;
    OutputTarget m_target = otSpeakers;
    Walk m_walk = Walk::None;
    ReadingArticle m_current;
    int m_offset = 0;          // where the spoken text starts in the article's text
    int64_t m_textLength = 0;  // characters of the article handed to the driver
    OutputPaths m_paths;
    // The MP3 encoding that follows the engine's wave as it is written.
    std::unique_ptr<Mp3Job> m_followingEncoder;
    AudioTags m_outputTags;
    QSet<QString> m_fileNamesTaken;  // by this walk over the list
    int m_filesInWalk = 0;           // the files begun by this walk over the list
    QString m_walkAlbum;             // of this walk's files, from its first article

    // The sentences read into the file being made, and when each was reached.
    SubtitleTrack m_subtitles;
    bool m_subtitlesWanted = false;  // for the file being made
    QString m_subtitleTitle;         // of the file being made
    int64_t m_subtitleLeadMs = 0;    // the encoded file's delay before the speech
};
