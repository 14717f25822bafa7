#pragma once

#include "audio/mmwave.h"

// The wave-file component: owns one wave object; freeing it closes the file.
class TMMWaveFile {
  public:
    TMMWave Wave;
};
