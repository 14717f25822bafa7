#pragma once

#include <QString>
#include <array>

#include "audio/audiotags.h"
#include "audio/encodehooks.h"
#include "platform/shell/outcome.h"

// Bit rates (kbit/s) offered for speech in Opus: 16 is already clear speech, 64 is the most
// a voice gains from.
inline constexpr std::array<int, 5> kOpusBitRates{16, 24, 32, 48, 64};
inline constexpr int kDefaultOpusBitRate = 24;

// Encodes the samples of a wave file into a mono Opus file at bitRateKbps (variable bit rate,
// tuned for speech), with the tags as Vorbis comments. The encoder resamples the wave's own
// rate to Opus's 48 kHz itself, and the file records that rate so decoders can give it back. A
// wave that is not 16-bit mono is converted on the way. A failure says why, naming the file;
// the partial file is then removed and the wave left as it is.
Outcome EncodeOpus(const QString& waveFile, const QString& opusFile, int bitRateKbps,
                   const AudioTags& tags, const EncodeHooks& hooks = {});
