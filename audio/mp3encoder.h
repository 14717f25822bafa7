#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "audio/audiotags.h"
#include "audio/encodehooks.h"
#include "audio/mp3partencoder.h"
#include "platform/shell/outcome.h"

// The hooks of every encoder (an MP3 stream stopped ends well formed), and what only the MP3
// encoder takes.
struct Mp3EncodeHooks : EncodeHooks {
    // What players show (an ID3v2 tag at the head of the file); none when all are empty.
    AudioTags Tags;
    // Encoder streams that may run at once, each on a worker thread; 0: one per core.
    int Threads = 0;
    // Told the stretches of the wave the streams encode, once they are known.
    std::function<void(const std::vector<Mp3Part>& parts)> Planned;
};

// Encodes the samples of a wave file into a mono constant-bit-rate MP3 file. A wave that is not
// 16-bit mono is converted to 16-bit mono at its own rate on the way. A long wave is cut into
// parts encoded at once on worker threads (see Mp3PartPlan); the calling thread only reports
// progress and processes messages. A failure says why, naming the file, for the caller to
// show; the partial MP3 is then removed and the wave left as it is.
Outcome EncodeMp3(const QString& waveFile, const QString& mp3File, int32_t bitRate,
                  int32_t sampleRate, const Mp3EncodeHooks& hooks = {});

// Progress shown for done of total bytes: the rounded value of done × 100 / total + 0.5,
// halves to even.
int EncodeProgress(int64_t done, int64_t total);
