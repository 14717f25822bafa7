#include "audio/soundcardcheck.h"

#include "audio/waveformat.h"

namespace {

// The format every device is tried with: 22050 Hz, 16-bit mono.
constexpr uint16_t kTestBits = 16;
constexpr uint16_t kTestChannels = 1;
constexpr uint32_t kTestRate = 22050;

}  // namespace

int CheckSoundCard(int deviceId) {
    return CheckSoundCard(deviceId, &WaveOutDevices::availability);
}

int CheckSoundCard(int deviceId, const WaveDeviceProbe& probe) {
    const TWaveFormatEx test = BuildPcmFormat(kTestBits, kTestChannels, kTestRate);
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
