#include "audio/soundcardcheck.h"

#include "audio/waveformat.h"

int CheckSoundCard(int deviceId) {
    return CheckSoundCard(deviceId, &WaveOutDevices::query);
}

int CheckSoundCard(int deviceId, const WaveDeviceProbe& probe) {
    const TWaveFormatEx test = BuildPcmFormat(16, 1, 22050);
    const MMResult result =
        probe(deviceId, int(test.nSamplesPerSec), test.nChannels, test.wBitsPerSample);
    if (result == MMSYSERR_NOERROR) {
        return 0;
    }
    return result == MMSYSERR_ALLOCATED ? 1 : -1;
}
