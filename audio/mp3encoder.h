#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

// Set by the exit command: an encoding in progress stops after its current chunk, with a
// well-formed end of stream. Each new encoding of a reading into a file starts with it clear.
extern std::atomic<bool> EncoderStopFlag;

struct Mp3EncodeHooks {
    // Progress from 0 to 100, once per chunk.
    std::function<void(int percent)> SetProgress;
    // Lets the window process its pending messages between chunks.
    std::function<void()> ProcessEvents;
    // The title players show (an ID3v2 tag); none when empty.
    QString Title;
};

// Encodes the samples of a wave file into a mono constant-bit-rate MP3 file. A wave that is not
// 16-bit mono is converted to 16-bit mono at its own rate on the way. On failure the error is
// logged and shown, the partial MP3 is removed, the wave is left as it is, and false returned.
bool EncodeMp3(const QString& waveFile, const QString& mp3File, int32_t bitRate, int32_t sampleRate,
               const Mp3EncodeHooks& hooks = {});

// Progress shown for done of total bytes: the rounded value of done × 100 / total + 0.5,
// halves to even.
int EncodeProgress(int64_t done, int64_t total);
