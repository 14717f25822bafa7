#include "audio/soundcardcheck.h"

#include "audio/waveformat.h"

int CheckSoundCard(int deviceId) {
    return CheckSoundCard(deviceId, &WaveOutDevices::availability);
}

int CheckSoundCard(int deviceId, const WaveDeviceProbe& probe) {
    const TWaveFormatEx test = BuildPcmFormat(16, 1, 22050);
    switch (probe(deviceId, int(test.nSamplesPerSec), test.nChannels, test.wBitsPerSample)) {
        case WaveOutDevices::Availability::Available:
            return kSoundCardOpens;
        case WaveOutDevices::Availability::Busy:
            return kSoundCardBusy;
        case WaveOutDevices::Availability::Unavailable:
            break;
    }
    return kSoundCardFails;
}
