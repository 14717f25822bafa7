#pragma once

#include <functional>

#include "platform/wavedevices/waveoutdevices.h"

// Opens a device with a format (rate, channels, bits), closing it again at once.
using WaveDeviceProbe = std::function<MMResult(int deviceId, int rate, int channels, int bits)>;

// The device can be opened with 22050 Hz 16-bit mono: 0; the device is allocated (busy): 1;
// any other failure: -1.
int CheckSoundCard(int deviceId);
int CheckSoundCard(int deviceId, const WaveDeviceProbe& probe);
