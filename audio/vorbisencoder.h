#pragma once

#include <QString>
#include <array>

#include "audio/audiotags.h"
#include "audio/encodehooks.h"
#include "platform/shell/outcome.h"

// A quality level of the Vorbis encoder (from -1 to 10) offered for speech, with its name.
struct VorbisQuality {
    int level;
    const char* label;
};

// Speech needs little: level 0 is already clear at eSpeak NG's and Flite's rates, and above 6
// only the file grows.
inline constexpr std::array<VorbisQuality, 4> kVorbisQualities{{
    {0, "Smallest"},
    {2, "Small"},
    {4, "Good"},
    {6, "Best"},
}};
inline constexpr int kDefaultVorbisQuality = 2;

// Encodes the samples of a wave file into a mono Ogg Vorbis file (variable bit rate at the
// quality level, -1 to 10) at the wave's own rate, with the tags as Vorbis comments. A wave
// that is not 16-bit mono is converted on the way. A failure says why, naming the file; the
// partial file is then removed and the wave left as it is.
Outcome EncodeVorbis(const QString& waveFile, const QString& oggFile, int quality,
                     const AudioTags& tags, const EncodeHooks& hooks = {});
