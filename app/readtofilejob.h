#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

#include "audio/audiotags.h"
#include "platform/shell/outcome.h"

class Mp3Job;
class TTTS;

// The output file formats, as stored in the settings.
namespace OutputFormat {
constexpr uint8_t Wav = 0;
constexpr uint8_t Mp3 = 1;
constexpr uint8_t Vorbis = 2;
constexpr uint8_t Opus = 3;
}  // namespace OutputFormat

// The files of a reading into a file. The engine writes a temporary wave; an MP3 is encoded
// into a temporary file of its own. The temporaries have names no other run can take (hidden,
// created exclusively in the output folder), and the result gets its final name only when whole.
struct OutputPaths {
    QString Wave;       // temporary: what the engine writes
    QString Resampled;  // temporary: the wave raised to the rate the MP3 needs
    QString Partial;    // temporary: the MP3, Ogg Vorbis or Opus file being encoded
    QString Encoded;    // the MP3, Ogg Vorbis or Opus file made; empty for WAV
    QString Final;      // the file the user gets: the WAV or the encoded file
};

// Turns the wave the engine wrote into the requested output: WAV as it is, or MP3 (raised to
// the rate the bit rate needs, encoded with its tags, temporary files removed). Knows no
// window, so the command-line converter uses it as well.
class ReadToFileJob {
  public:
    // File names in outDir for an article title (doubled separators are reduced), with the
    // temporary files created there. When they cannot be, the temporaries are empty and error
    // says why, naming the final file.
    static OutputPaths Paths(const QString& outDir, const QString& title, uint8_t format,
                             QString* error = nullptr);
    // Removes the temporary files of paths; the final file is never touched.
    static void RemoveTemporaries(const OutputPaths& paths);
    // Gives the complete wave its final name, replacing an earlier file of that name at once.
    // Empty when done; otherwise why not (the wave is removed then).
    static QString SaveWave(const OutputPaths& paths);
    // A message about the temporary wave or MP3 names the final file the user knows instead.
    static QString UserText(const OutputPaths& paths, QString message);
    // The sample rate an MP3 bit rate needs; 0 for a bit rate not offered.
    static uint32_t RequiredRate(int bitRate);
    // The milliseconds players without the encoder's delay play before the speech of an MP3
    // at bitRate and rate: none when its frames have room for the frame that tells them the
    // delay (LAME writes it then), else the encoder's and the decoder's delay.
    static int64_t Mp3LeadMs(int bitRate, uint32_t rate);
    // The file name ending of an output format, with its dot (".wav" for any unknown one).
    static QString Suffix(uint8_t format);
    // The name of an output format as the user reads it ("Ogg Vorbis").
    static QString FormatName(uint8_t format);

    struct Hooks {
        std::function<void(int percent)> SetProgress;
        std::function<void()> ProcessEvents;
        // True once the program is ending: the job stops where it stands.
        std::function<bool()> Exiting;
    };

    // What MakeMp3 or MakeCompressed did, for the caller to show.
    struct EncodedResult {
        // The encoded file is complete under its final name.
        bool made = false;
        // How much later than in the wave the speech begins when the file is played: an MP3
        // without a frame telling players the encoder's delay plays that delay first.
        int64_t leadMs = 0;
        // Error messages in the order the user reads them: why the file could not be made, then
        // where the speech is kept.
        QStringList errors;
    };
    // After the engine completed the wave file. When the MP3 cannot be made, the wave is kept
    // (its place is logged) and the result says why and where. Once the program is ending the
    // encoding stops, and no partial MP3 or temporary file is left. live: the encoding begun
    // while the wave was written (see FollowWave), finished here when it could begin.
    static EncodedResult MakeMp3(const OutputPaths& paths, int bitRate, const AudioTags& tags,
                                 const Hooks& hooks, Mp3Job* live = nullptr);
    // The same for Ogg Vorbis (level: the quality level) and Opus (level: the bit rate in
    // kbit/s), encoded from the complete wave.
    static EncodedResult MakeCompressed(const OutputPaths& paths, uint8_t format, int level,
                                        const AudioTags& tags, const Hooks& hooks);
    // Begins encoding the MP3 of paths while the engine writes the wave: the encoder reads
    // behind the writer, never ahead. It takes part only when the wave needs no other rate.
    static std::unique_ptr<Mp3Job> FollowWave(const OutputPaths& paths, int bitRate,
                                              const AudioTags& tags);

  private:
    // The end of an encoding: the file takes its final name, or the speech is kept and the
    // result says why and where.
    static EncodedResult Conclude(const OutputPaths& paths, uint8_t format, Outcome encoded,
                                  const Hooks& hooks);
    // The output folder is gone: nothing can be kept; the result says so.
    static EncodedResult Abandon(const OutputPaths& paths, const QString& gone);

  public:
    // Removes a file, logging "Delete Failed" when it cannot.
    static void Delete(const QString& file);

    // Empty when files can be made in folder (one byte is written and removed again, so a full
    // disk is found too); otherwise why not, naming the folder and the system's reason.
    static QString FolderProblem(const QString& folder);
    // name shortened, when it must be, so that it and an ending of reserve bytes make a file name
    // the file system of folder takes; characters are kept whole (a letter with its accents).
    static QString FitName(const QString& folder, const QString& name, qsizetype reserve);
    // Completes the wave file the speech component writes, and deactivates the component.
    // Empty when the file is complete; otherwise why not, naming the file and the cause.
    static QString CompleteWave(TTTS& tts);
    // What the status bar says after a reading into files: where they went, the home folder
    // shown as "~" ("Saved 2 files to ~/Music", "Saved News.mp3 to ~/Music").
    static QString SavedText(QStringList files);
    // A path as the user reads it, the home folder shown as "~".
    static QString ShortPath(const QString& path);
};
