#include <gtest/gtest.h>

#include "audio/soundcardcheck.h"
#include "tests/common/sounddevice.h"

TEST(SoundCardCheck, TheDefaultDeviceOpensWithTheTestFormat) {
    SKIP_WITHOUT_SOUND_DEVICE();
    EXPECT_EQ(CheckSoundCard(-1), 0);
    EXPECT_EQ(CheckSoundCard(0), 0);
    EXPECT_EQ(CheckSoundCard(WaveOutDevices::count() + 5), -1);

    WaveOutHandle* handle = nullptr;
    ASSERT_EQ(WaveOutDevices::open(-1, 22050, 1, 16, &handle), MMSYSERR_NOERROR);
    EXPECT_EQ(WaveOutDevices::close(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(WaveOutDevices::open(-1, 22050, 1, 12, &handle), WAVERR_BADFORMAT);
}

TEST(SoundCardCheck, ABusyDeviceAndOtherFailuresAreToldApart) {
    int seenRate = 0, seenChannels = 0, seenBits = 0;
    const auto probe = [&](MMResult result) {
        return [&, result](int, int rate, int channels, int bits) {
            seenRate = rate;
            seenChannels = channels;
            seenBits = bits;
            return result;
        };
    };
    EXPECT_EQ(CheckSoundCard(3, probe(MMSYSERR_ALLOCATED)), 1);
    EXPECT_EQ(CheckSoundCard(3, probe(MMSYSERR_NODRIVER)), -1);
    EXPECT_EQ(CheckSoundCard(3, probe(MMSYSERR_NOERROR)), 0);
    EXPECT_EQ(seenRate, 22050);
    EXPECT_EQ(seenChannels, 1);
    EXPECT_EQ(seenBits, 16);
}
