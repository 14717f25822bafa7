#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class TTTS;

// The output file formats, as stored in the settings.
namespace OutputFormat {
constexpr uint8_t Wav = 0;
constexpr uint8_t Mp3 = 1;
}  // namespace OutputFormat

// The files of a reading into a file: where the engine writes, the resampled copy and the MP3.
struct OutputPaths {
    QString Wave;
    QString Resampled;
    QString Mp3;
};

// Turns the wave the engine wrote into the requested output: WAV as it is, or MP3 (raised to
// the rate the bit rate needs, encoded with the title, temporary files removed). Knows no
// window, so the command-line converter uses it as well.
class ReadToFileJob {
  public:
    // File names in outDir for an article title; doubled separators are reduced.
    static OutputPaths Paths(const QString& outDir, const QString& title, uint8_t format);
    // The sample rate an MP3 bit rate needs; 0 for a bit rate not offered.
    static uint32_t RequiredRate(int bitRate);

    struct Hooks {
        std::function<void(int percent)> SetProgress;
        std::function<void()> ProcessEvents;
        // True once the program is ending: the job stops where it stands.
        std::function<bool()> Exiting;
    };

    // What MakeMp3 did, for the caller to show.
    struct Mp3Result {
        // The MP3 is complete; once the program is ending, complete as far as it got.
        bool made = false;
        // Error messages in the order the user reads them: why the MP3 could not be made, then
        // where the speech is kept.
        QStringList errors;
    };
    // After the engine completed the wave file. When the MP3 cannot be made, the wave is kept
    // (its place is logged) and the result says why and where.
    static Mp3Result MakeMp3(const OutputPaths& paths, int bitRate, const QString& title,
                             const Hooks& hooks);
    // Removes a file, logging "Delete Failed" when it cannot.
    static void Delete(const QString& file);

    // Empty when files can be made in folder (one byte is written and removed again, so a full
    // disk is found too); otherwise why not, naming the folder and the system's reason.
    static QString FolderProblem(const QString& folder);
    // Completes the wave file the speech component writes, and deactivates the component.
    // Empty when the file is complete; otherwise why not, naming the file and the cause.
    static QString CompleteWave(TTTS& tts);
    // What the status bar says after a reading into files: where they went, the home folder
    // shown as "~" ("Saved 2 files to ~/Music", "Saved News.mp3 to ~/Music").
    static QString SavedText(QStringList files);
    // A path as the user reads it, the home folder shown as "~".
    static QString ShortPath(const QString& path);
};
