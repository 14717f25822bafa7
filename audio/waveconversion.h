#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "platform/shell/outcome.h"

// Converts the wave file inFile into a new PCM wave file outFile (bits, channels, rate).
// A failed conversion says why, for the caller to show; an inFile that cannot be opened as a
// wave file raises EMMWaveError to the caller.
Outcome ConvertWaveFile(const QString& inFile, const QString& outFile, uint16_t bits,
                        uint16_t channels, uint32_t sampleRate,
                        const std::function<void()>& processEvents = {});

// The sample rate of a wave file; 11025 for an empty name. Raises EMMWaveError when the file
// cannot be opened as a wave file.
uint32_t GetWaveSampleRate(const QString& fileName);
