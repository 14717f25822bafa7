#pragma once

#include <cstdint>

#include "audio/waveformat.h"

// Size in bytes that sourceBytes of source audio take in the target format; -1 when a format
// is not PCM with 1 or 2 channels, 8 or 16 bits and a non-zero rate.
int64_t PcmDestBytes(int64_t sourceBytes, const TWaveFormatEx& source, const TWaveFormatEx& target);

// Converts one block by nearest-sample rate conversion (the rate accumulator starts afresh for
// each block); returns the bytes written to target, or -1 for formats as above. The target
// buffer must hold PcmDestBytes bytes for the block.
int64_t PcmConvert(int64_t sourceBytes, const uint8_t* source, const TWaveFormatEx& sourceFormat,
                   uint8_t* target, const TWaveFormatEx& targetFormat);
