#pragma once

#include <functional>

#include "platform/wavedevices/waveoutdevices.h"

// Whether a device takes a format (rate, channels, bits); a check closes what it opens.
using WaveDeviceProbe =
    std::function<WaveOutDevices::Availability(int deviceId, int rate, int channels, int bits)>;

// The answers of CheckSoundCard.
constexpr int kSoundCardOpens = 0;
constexpr int kSoundCardBusy = 1;
constexpr int kSoundCardFails = -1;

// Whether the device can be opened with 22050 Hz 16-bit mono: kSoundCardOpens; when it is
// allocated (busy): kSoundCardBusy; any other failure: kSoundCardFails.
int CheckSoundCard(int deviceId);
int CheckSoundCard(int deviceId, const WaveDeviceProbe& probe);
