#pragma once

#include <cstring>
#include <vector>

#include "audio/mmwave.h"
#include "tests/audio/audiotools.h"

// The samples of a 16-bit mono wave file, as the program's wave reader finds them.
inline std::vector<int16_t> WaveSamples(const QString& wav) {
    TMMWave wave;
    wave.SetFileName(wav);
    const QByteArray bytes = audiotools::Read(wav).mid(wave.DataOffset, wave.DataLength);
    std::vector<int16_t> samples(size_t(bytes.size()) / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}
