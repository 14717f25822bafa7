#pragma once

#include <QString>
#include <memory>

#include "audio/encodehooks.h"
#include "audio/monosampleencoder.h"
#include "platform/shell/outcome.h"

// Reads the samples of a wave file as 16-bit mono at the wave's own rate (an 8-bit or stereo
// wave converted on the way) and hands them to encoder a second at a time, writing outFile.
// formatName names the format in the message of a stop ("Opus", "Ogg Vorbis"). A failure says
// why, naming the file; the partial output is then removed and the wave left as it is (a file
// already there under outFile is kept when the failure comes before it is opened).
Outcome EncodeMonoWave(const QString& waveFile, const QString& outFile, const QString& formatName,
                       std::unique_ptr<MonoSampleEncoder> encoder, const EncodeHooks& hooks);
