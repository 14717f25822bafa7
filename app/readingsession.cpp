#include "app/readingsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

#include "app/filetags.h"
#include "app/subtitlewriter.h"
#include "audio/mp3job.h"
#include "platform/shell/debuglog.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"

namespace {

const QString kInvalidDirectory = QStringLiteral("File Output Directory is invalid");

const QString kTitlesForMultipleFiles =
    QStringLiteral("A title is required for each item entry when\routputting to multiple files");

const QString kTitleForFile = QStringLiteral(
    "A title is required to output speech to a file\r\rIn Single Article mode, you can use the "
    "Generate\rDefault Article Titles option to generate titles\rautomatically");

// With default titles on, an article is untitled only when its title box was emptied.
const QString kTitleNotInText = QStringLiteral(
    "A title is required to output speech to a file\r\rThis article has no title: type one in "
    "its Title box");

// The longest ending of a file beside the audio: subtitles or lyrics (".srt", ".lrc") and the
// ending of the temporary they are saved through (".XXXXXX").
constexpr qsizetype kLongestEnding = 11;

// A file article is measured in its file's bytes once its words arrive; until then the gauge
// counts to this.
constexpr int kFileArticleGaugeMaximum = 10000;

// The engine's time stamps count 100 ns units of audio.
constexpr uint64_t kTimeStampsPerMs = 10000;

}  // namespace

ReadingSession::ReadingSession(TPreferences& prefs, TTTSForm& driver, QObject* parent)
    : QObject(parent), m_prefs(prefs), m_driver(driver) {
    connect(&m_driver, &TTTSForm::OnComplete, this, [this] {
        if (m_walk == Walk::List) {
            ArticleFinished();
        } else if (m_walk == Walk::Single) {
            SingleReadFinished();
        } else if (m_walk == Walk::Text) {
            TextFinished();
        }
    });
    connect(&m_driver, &TTTSForm::OnError, this, &ReadingSession::ReadingFailed);
    connect(&m_driver, &TTTSForm::OnWordPosition, this, &ReadingSession::wordPosition);
    connect(&m_driver, &TTTSForm::OnWordTimed, this, &ReadingSession::SubtitleWord);
    connect(&m_driver, &TTTSForm::OnChunkText, this, [this](const QString& text) {
        if (m_subtitlesWanted) {
            m_subtitles.appendText(text);
        }
    });
    connect(&m_driver.TTS1, &TTTS::OnTextDataDone, this, [this](uint64_t timeStamp, uint32_t) {
        if (m_subtitlesWanted) {
            m_subtitles.setEnd(int64_t(timeStamp / kTimeStampsPerMs));
        }
    });
    // Whatever the audio format, its file is complete when it is reported saved.
    connect(this, &ReadingSession::fileSaved, this, &ReadingSession::SaveSubtitles);
}

ReadingSession::~ReadingSession() = default;

void ReadingSession::setState(ReadingState state) {
    if (m_state == rsExiting) {
        return;
    }
    m_state = state;
    Q_EMIT stateChanged(state);
}

QString ReadingSession::outputFolderProblem() const {
    const QString folder = QDir::cleanPath(m_prefs.OUT_Directory.trimmed());
    // A folder name that says nowhere for sure: empty, or relative to wherever the program
    // happened to start.
    if (folder.isEmpty() || QDir::isRelativePath(folder)) {
        return kInvalidDirectory + QStringLiteral(
                                       "\r\r\"%1\" is not a full folder path. Choose "
                                       "the folder on the File Options tab.")
                                       .arg(folder);
    }
    if (!QFileInfo(folder).isDir()) {
        const QString reason = QFileInfo::exists(folder)
                                   ? QStringLiteral("a file of that name is in the way")
                                   : QStringLiteral("there is no such folder");
        return kInvalidDirectory + QStringLiteral("\r\r%1: %2.").arg(folder, reason);
    }
    // A folder that takes no files is found before anything is spoken.
    return ReadToFileJob::FolderProblem(folder);
}

QString ReadingSession::missingOutputFolder() const {
    const QString folder = QDir::cleanPath(m_prefs.OUT_Directory.trimmed());
    const QFileInfo info(folder);
    if (folder.isEmpty() || QDir::isRelativePath(folder) || info.exists() || info.isSymLink()) {
        return {};
    }
    return folder;
}

QString ReadingSession::makeOutputFolder() const {
    const QString folder = missingOutputFolder();
    if (folder.isEmpty()) {
        return {};
    }
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (!error) {
        return {};
    }
    debugLog(QStringLiteral("The output folder %1 could not be made").arg(folder));
    return kInvalidDirectory + QStringLiteral("\r\rThe folder %1 could not be made: %2.")
                                   .arg(folder, QString::fromLocal8Bit(error.message()));
}

QString ReadingSession::voiceOf(const ReadingArticle& article) const {
    // An article without a voice of its own (stored before any voice existed, or whose voice
    // is gone) is read with the default voice.
    return article.voice.isEmpty() ? m_prefs.TTS_DefaultVoiceName : article.voice;
}

void ReadingSession::ReadAllArticles(OutputTarget target) {
    if (m_state != rsIdle || !m_queue) {
        return;
    }
    m_target = target;
    if (target == otMultipleFiles) {
        for (int i = 0; i < m_queue->count(); ++i) {
            const ReadingArticle article = m_queue->at(i);
            if (article.title.trimmed().isEmpty()) {
                Q_EMIT titleMissing(article.key, kTitlesForMultipleFiles);
                return;
            }
        }
    }
    if (m_queue->count() == 0) {
        return;
    }
    m_walk = Walk::List;
    m_fileNamesTaken.clear();
    m_filesInWalk = 0;
    const ReadingArticle first = m_queue->at(0);
    Q_EMIT articleReached(first.key);
    if (PrepareOutput(first)) {
        SpeakArticle(first, -1, -1);
    }
}

void ReadingSession::ReadSingleArticle(const ReadingArticle& article, OutputTarget target,
                                       int length, int start) {
    if (m_state != rsIdle) {
        return;
    }
    if (m_queue) {
        m_queue->unlockAll();
    }
    m_target = target;
    m_walk = Walk::Single;
    if (PrepareOutput(article)) {
        SpeakArticle(article, length, start);
    }
}

bool ReadingSession::PrepareOutput(const ReadingArticle& article) {
    m_subtitles.clear();
    m_subtitlesWanted = m_target != otSpeakers && m_prefs.OUT_Subtitles;
    m_subtitleTitle = article.title;
    if (m_target == otSpeakers) {
        return true;
    }
    if (article.title.trimmed().isEmpty()) {
        if (m_state != rsIdle) {
            // A later article of the walk: what has been read so far is kept.
            if (m_queue) {
                m_queue->unlockAll();
            }
            end(false);
        }
        m_walk = Walk::None;
        Q_EMIT titleMissing(article.key, m_prefs.DefaultTitles() ? kTitleNotInText : kTitleForFile);
        return false;
    }
    m_outputTags = TagsFor(article);
    QString unwritable;
    m_paths = ReadToFileJob::Paths(m_prefs.OUT_Directory, FileNameFor(article.title),
                                   m_prefs.OUT_FileFormat, &unwritable);
    if (m_paths.Wave.isEmpty()) {
        debugLog(QStringLiteral("Play to file initialization failed"));
        if (!QFileInfo(m_prefs.OUT_Directory).isDir()) {
            AbortArticle(QStringLiteral("Output directory ") + m_prefs.OUT_Directory +
                             QStringLiteral(" is not valid"),
                         UserMessage::Kind::Information);
        } else {
            AbortArticle(unwritable, UserMessage::Kind::Error);
        }
        return false;
    }
    if (Outcome ready = m_driver.PlayToFileInit(voiceOf(article), m_paths.Wave); !ready) {
        debugLog(QStringLiteral("Play to file initialization failed"));
        AbortArticle(ready.message(), UserMessage::Kind::Error);
        return false;
    }
    if (m_prefs.OUT_FileFormat == OutputFormat::Mp3) {
        // The encoding begins while the engine speaks, on a core the engine leaves free.
        m_followingEncoder = ReadToFileJob::FollowWave(m_paths, m_prefs.BitRate, m_outputTags);
    }
    return true;
}

QString ReadingSession::FileNameFor(const QString& title) {
    // A title longer than a file name may be is shortened before anything is spoken, leaving
    // room for the longest ending a file of the reading takes.
    const qsizetype reserve =
        qMax(ReadToFileJob::Suffix(m_prefs.OUT_FileFormat).toUtf8().size(), kLongestEnding);
    const auto fit = [&](qsizetype more) {
        return ReadToFileJob::FitName(m_prefs.OUT_Directory, title, reserve + more);
    };
    QString name = fit(0);
    if (name != title) {
        debugLog(QStringLiteral("The title %1 is too long for a file name: shortened to %2")
                     .arg(title, name));
    }
    if (m_walk != Walk::List) {
        return name;
    }
    // Articles of one list with the same title (short titles made from their first words
    // often are) would write one file twice and lose the first: the later ones are numbered.
    for (int number = 2; m_fileNamesTaken.contains(name); ++number) {
        const QString mark = QStringLiteral(" (%1)").arg(number);
        name = fit(mark.size()) + mark;
    }
    m_fileNamesTaken.insert(name);
    return name;
}

AudioTags ReadingSession::TagsFor(const ReadingArticle& article) {
    if (m_walk != Walk::List || m_target != otMultipleFiles || !m_queue) {
        return MakeFileTags(article.title, voiceOf(article));  // a file alone
    }
    // Files already begun, and the articles from this one to the end of the list as it is now.
    const int track = ++m_filesInWalk;
    const int index = m_queue->indexOf(article.key);
    const int trackCount = track - 1 + (index < 0 ? 1 : qMax(1, m_queue->count() - index));
    if (track == 1) {
        m_walkAlbum = article.album.isEmpty() ? article.title : article.album;
    }
    if (trackCount < 2) {
        return MakeFileTags(article.title, voiceOf(article));  // a list of one: a file alone
    }
    return MakeFileTags(article.title, voiceOf(article),
                        article.album.isEmpty() ? m_walkAlbum : article.album, track, trackCount);
}

void ReadingSession::SpeakArticle(const ReadingArticle& article, int length, int start) {
    if (!article.filePath.isEmpty() && !QFileInfo(article.filePath).isFile()) {
        const QString message =
            QStringLiteral("File ") + article.filePath + QStringLiteral(" not found");
        AbortArticle(message, UserMessage::Kind::Information);
        return;
    }
    m_current = article;
    m_driver.ReadingTarget = m_target;
    if (m_queue) {
        m_queue->setLocked(article.key, true);
    }
    if (m_state != rsReading) {
        setState(rsReading);
    }
    if (m_target != otSpeakers && !QFileInfo(m_prefs.OUT_Directory).isDir()) {
        AbortArticle(QStringLiteral("Output directory ") + m_prefs.OUT_Directory +
                         QStringLiteral(" is not valid"),
                     UserMessage::Kind::Information);
        return;
    }
    Outcome started = Outcome::failure(QString());
    try {
        started = startSpeaking(article, length, start);
    } catch (const std::exception& error) {
        started = Outcome::failure(QString::fromUtf8(error.what()));
    }
    if (!started) {
        AbortArticle(started.message(), UserMessage::Kind::Error);
        return;
    }
    Q_EMIT articleStarted(article.key,
                          article.filePath.isEmpty() ? m_textLength : kFileArticleGaugeMaximum);
}

Outcome ReadingSession::startSpeaking(const ReadingArticle& article, int length, int start) {
    const QString voice = voiceOf(article);
    const bool toFile = m_target != otSpeakers;
    if (m_subtitlesWanted) {
        m_subtitles.beginText();  // a file's text comes chunk by chunk as it is spoken
    }
    if (!article.filePath.isEmpty()) {
        m_offset = 0;
        m_textLength = 0;
        return toFile ? m_driver.PlayFileToFile(voice, article.filePath)
                      : m_driver.PlayFile(article.filePath, voice);
    }
    const QString& text = article.text;
    const bool whole = start <= 0 && length < 0;
    m_offset = whole ? 0 : qMax(0, start);
    const int end = length >= 0 ? m_offset + length : int(text.size());
    const QString spoken = whole ? text : text.mid(m_offset, end - m_offset);
    m_textLength = end - m_offset;
    if (m_subtitlesWanted) {
        m_subtitles.appendText(spoken);
    }
    return toFile ? m_driver.PlayTextToFile(voice, spoken) : m_driver.PlayText(spoken, voice);
}

void ReadingSession::AbortArticle(const QString& message, UserMessage::Kind kind) {
    m_walk = Walk::None;
    DiscardWave();  // a file begun for earlier articles of the walk would stay unfinished
    const QString shown = ReadToFileJob::UserText(m_paths, message);
    RemoveTemporaries();
    if (m_queue && m_current.key) {
        m_queue->setLocked(m_current.key, false);
    }
    m_current = {};
    setState(rsIdle);
    Q_EMIT finished(false);
    if (!shown.isEmpty()) {
        Q_EMIT messageRaised(kind, shown);
    }
}

void ReadingSession::wordPosition(int64_t position, int64_t total) {
    if (m_walk == Walk::None || m_walk == Walk::Text) {
        return;  // a reading that is not ours, or a text that has no place to show
    }
    Q_EMIT progress(position, total > 0 ? total : m_textLength);
    if (m_current.filePath.isEmpty() && m_current.key) {
        Q_EMIT wordReached(m_current.key, int(m_driver.Filter.MapPosition(position)) + m_offset);
    }
}

void ReadingSession::SubtitleWord(uint64_t timeStamp, int64_t position) {
    if (m_subtitlesWanted && m_walk != Walk::None && m_walk != Walk::Text) {
        m_subtitles.addWord(int64_t(timeStamp / kTimeStampsPerMs), position);
    }
}

void ReadingSession::SaveSubtitles(const QString& audioPath) {
    if (!m_subtitlesWanted) {
        return;
    }
    m_subtitlesWanted = false;  // once per file
    // Cues follow the speech as players play it, after any delay the file makes them play first.
    QList<SubtitleCue> cues = m_subtitles.cues();
    for (SubtitleCue& cue : cues) {
        cue.startMs += m_subtitleLeadMs;
        cue.endMs += m_subtitleLeadMs;
    }
    m_subtitleLeadMs = 0;
    const QString failure = SubtitleWriter::Write(audioPath, m_subtitleTitle, cues);
    m_subtitles.clear();
    if (!failure.isEmpty()) {
        // The audio file is kept: only its subtitles are missing.
        Q_EMIT messageRaised(UserMessage::Kind::Error, failure);
    }
}

void ReadingSession::ArticleFinished() {
    if (m_target == otMultipleFiles && !FinishOutput(false)) {
        return;  // the file could not be made: the reading has ended
    }
    if (m_state == rsExiting) {
        return;
    }
    int next = 0;
    if (m_current.key) {
        m_queue->setLocked(m_current.key, false);
        next = m_queue->indexOf(m_current.key);
        if (next < 0) {
            next = m_queue->count();  // the article has gone: nothing is known to follow it
        } else if (m_prefs.AutoDelete()) {
            m_queue->remove(m_current.key);  // the next article moves up into its place
        } else {
            ++next;
        }
    }
    if (next < m_queue->count()) {
        const ReadingArticle article = m_queue->at(next);
        Q_EMIT articleReached(article.key);
        if (m_target == otMultipleFiles && !PrepareOutput(article)) {
            return;
        }
        SpeakArticle(article, -1, -1);
        return;
    }
    if (m_target != otMultipleFiles) {
        FinishOutput(false);
    }
    end(true);
}

void ReadingSession::SingleReadFinished() {
    if (m_queue) {
        m_queue->unlockAll();
    }
    FinishOutput(false);
    end(true);
}

void ReadingSession::end(bool completed) {
    if (m_state == rsExiting) {
        return;
    }
    m_walk = Walk::None;
    m_current = {};
    setState(rsIdle);
    Q_EMIT finished(completed);
}

// The driver has ended the reading as an error (the sound device went away, the engine went
// quiet): the walk ends there, a partial file is removed, and the user is told.
void ReadingSession::ReadingFailed(const QString& message) {
    if (m_state == rsExiting || m_walk == Walk::None) {
        return;
    }
    if (m_walk == Walk::Text) {
        TextFinished();
        Q_EMIT messageRaised(UserMessage::Kind::Error, message);
        return;
    }
    if (m_queue) {
        m_queue->unlockAll();
    }
    const QString shown = ReadToFileJob::UserText(m_paths, message);
    FinishOutput(true);
    end(false);
    Q_EMIT messageRaised(UserMessage::Kind::Error, shown);
}

bool ReadingSession::FinishOutput(bool discard) {
    // The wave file is complete now, or it is known why not.
    const QString incomplete =
        m_driver.TTS1.Active() ? ReadToFileJob::CompleteWave(m_driver.TTS1) : QString();
    const OutputTarget target = OutputTarget(m_driver.ReadingTarget);
    QStringList failures;  // told once the reading has ended
    bool made = true;
    if (target != otSpeakers && (discard || !incomplete.isEmpty())) {
        if (!discard) {
            failures << ReadToFileJob::UserText(m_paths, incomplete);
            made = false;
        }
        RemoveTemporaries();  // no partial file is left
    } else if (target != otSpeakers && m_prefs.OUT_FileFormat != OutputFormat::Wav) {
        setState(rsConverting);
        Q_EMIT conversionStarted(m_paths.Encoded);
        ReadToFileJob::Hooks hooks;
        hooks.SetProgress = [this](int percent) { Q_EMIT conversionProgress(percent); };
        hooks.ProcessEvents = [] { QCoreApplication::processEvents(); };
        hooks.Exiting = [this] { return m_state == rsExiting; };
        // A failed encoding says why, and where the speech is kept.
        const uint8_t format = m_prefs.OUT_FileFormat;
        const ReadToFileJob::EncodedResult encoded =
            format == OutputFormat::Mp3
                ? ReadToFileJob::MakeMp3(m_paths, m_prefs.BitRate, m_outputTags, hooks,
                                         m_followingEncoder.get())
                : ReadToFileJob::MakeCompressed(m_paths, format,
                                                format == OutputFormat::Opus
                                                    ? m_prefs.OUT_OpusBitRate
                                                    : m_prefs.OUT_VorbisQuality,
                                                m_outputTags, hooks);
        ForgetTemporaries();  // the job has removed them, or kept the speech under its own name
        if (m_state == rsExiting) {
            return true;
        }
        Q_EMIT conversionFinished();
        setState(rsReading);
        made = encoded.made;
        failures = encoded.errors;
        if (made) {
            m_subtitleLeadMs = encoded.leadMs;
            Q_EMIT fileSaved(m_paths.Encoded);
        }
    } else if (target != otSpeakers) {
        // The wave is whole: it takes its final name only now.
        const QString failure = ReadToFileJob::SaveWave(m_paths);
        ForgetTemporaries();
        if (failure.isEmpty()) {
            Q_EMIT fileSaved(m_paths.Final);
        } else {
            failures << failure;
            made = false;
        }
    }
    if (m_state != rsExiting && m_queue) {
        m_queue->purgeRemoved();
    }
    if (made || m_state == rsExiting) {
        return true;
    }
    // The walk ends here: with the disk full, the next article would fail as well.
    if (m_queue) {
        m_queue->unlockAll();
    }
    end(false);
    for (const QString& failure : std::as_const(failures)) {
        Q_EMIT messageRaised(UserMessage::Kind::Error, failure);
    }
    return false;
}

void ReadingSession::pause() {
    if (m_state != rsReading) {
        return;
    }
    debugLog(QStringLiteral("Pause"));
    m_driver.Pause();
    setState(rsPaused);
}

void ReadingSession::resume() {
    if (m_state != rsPaused) {
        return;
    }
    debugLog(QStringLiteral("Resume"));
    m_driver.Resume();
    setState(rsReading);
}

void ReadingSession::skip() {
    if ((m_state != rsReading && m_state != rsPaused) || m_walk == Walk::Text) {
        return;  // a text has nothing to skip to
    }
    debugLog(QStringLiteral("Skip"));
    m_driver.StopAudio();
}

void ReadingSession::stop() {
    if (m_state != rsReading && m_state != rsPaused) {
        return;
    }
    if (m_walk == Walk::Text) {
        debugLog(QStringLiteral("Abort"));
        m_walk = Walk::None;  // the stopped text reports no completion of its own
        m_driver.CancelReading();
        TextFinished();
        return;
    }
    if (m_queue) {
        m_queue->unlockAll();
    }
    debugLog(QStringLiteral("Abort"));
    m_walk = Walk::None;  // the stopped reading reports no completion
    m_driver.CancelReading();
    FinishOutput(true);
    end(false);
}

void ReadingSession::shutdown() {
    const bool writing = m_walk != Walk::None && m_state != rsConverting;
    m_walk = Walk::None;  // no article walk goes on after this
    m_state = rsExiting;
    Q_EMIT stateChanged(rsExiting);
    if (m_driver.TTS1.Active()) {
        try {
            m_driver.CancelReading();
        } catch (const std::exception& error) {
            debugLog(QString::fromUtf8(error.what()));
        }
    }
    if (writing) {
        DiscardWave();  // half a wave is no file to keep
        RemoveTemporaries();
    }
}

void ReadingSession::SpeakText(const QString& text, const QString& voiceName) {
    if (m_state == rsConverting || m_state == rsExiting) {
        return;  // the sound card is not the session's to give now
    }
    if (m_walk == Walk::Text) {
        m_walk = Walk::None;  // the text being spoken gives way without a completion
        m_driver.CancelReading();
        m_driver.Timer1.stop();  // nor does the completion of one that has just ended
    } else if (m_state != rsIdle) {
        stop();  // an article being read ends as a stopped reading
    }
    m_walk = Walk::Text;
    m_target = otSpeakers;
    m_driver.ReadingTarget = otSpeakers;
    if (m_state != rsReading) {
        setState(rsReading);
    }
    Outcome started = Outcome::failure(QString());
    try {
        started = m_driver.PlayText(text, voiceName);
    } catch (const std::exception& error) {
        started = Outcome::failure(QString::fromUtf8(error.what()));
    }
    if (!started) {
        TextFinished();
        if (!started.message().isEmpty()) {
            Q_EMIT messageRaised(UserMessage::Kind::Error, started.message());
        }
    }
}

void ReadingSession::TextFinished() {
    m_walk = Walk::None;
    try {
        m_driver.TTS1.SetActive(false);
    } catch (const std::exception& error) {
        debugLog(QString::fromUtf8(error.what()));
    }
    setState(rsIdle);
    Q_EMIT textFinished();
}

void ReadingSession::DiscardWave() {
    // Only a wave this reading has begun: the component has it open.
    if (m_target == otSpeakers || !m_driver.TTS1.Active() || m_driver.TTS1.OutputDest != odFile) {
        return;
    }
    const QString incomplete = ReadToFileJob::CompleteWave(m_driver.TTS1);
    if (!incomplete.isEmpty()) {
        debugLog(incomplete);
    }
    RemoveTemporaries();
}

void ReadingSession::RemoveTemporaries() {
    m_followingEncoder.reset();  // its worker has ended before its files go
    ReadToFileJob::RemoveTemporaries(m_paths);
    ForgetTemporaries();
}

void ReadingSession::ForgetTemporaries() {
    m_followingEncoder.reset();
    // Their names may be another run's once removed: they are never touched again.
    m_paths.Wave.clear();
    m_paths.Resampled.clear();
    m_paths.Partial.clear();
}
