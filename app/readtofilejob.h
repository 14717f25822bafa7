#pragma once

#include <QString>
#include <cstdint>
#include <functional>

// The files of a reading into a file: where the engine writes, the resampled copy and the MP3.
struct OutputPaths {
    QString Wave;
    QString Resampled;
    QString Mp3;
};

// Turns the wave the engine wrote into the requested output: WAV as it is, or MP3 (raised to
// the rate the bit rate needs, encoded with the title, temporary files removed). Knows no
// window, so the command-line converter uses it as well.
class TReadToFileJob {
public:
    enum Format : uint8_t { Wav = 0, Mp3 = 1 };

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

    // After the engine completed the wave file. False when the MP3 could not be made (the wave
    // is then kept and its place logged and shown).
    static bool MakeMp3(const OutputPaths& paths, int bitRate, const QString& title, const Hooks& hooks);
    // Removes a file, logging "Delete Failed" when it cannot.
    static void Delete(const QString& file);
};
