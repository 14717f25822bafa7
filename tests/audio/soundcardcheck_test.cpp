#include <gtest/gtest.h>

#include "audio/soundcardcheck.h"
#include "tests/common/sounddevice.h"

TEST(SoundCardCheck, TheDefaultDeviceOpensWithTheTestFormat) {
    SKIP_WITHOUT_SOUND_DEVICE();
    EXPECT_EQ(CheckSoundCard(-1), kSoundCardOpens);
    EXPECT_EQ(CheckSoundCard(0), kSoundCardOpens);
    EXPECT_EQ(CheckSoundCard(WaveOutDevices::count() + 5), kSoundCardFails);

    using Availability = WaveOutDevices::Availability;
    EXPECT_EQ(WaveOutDevices::tryOpen(-1, 22050, 1, 16), Availability::Available);
    EXPECT_EQ(WaveOutDevices::tryOpen(-1, 22050, 1, 12), Availability::Unavailable)
        << "no device plays 12-bit samples";
}

TEST(SoundCardCheck, ABusyDeviceAndOtherFailuresAreToldApart) {
    using Availability = WaveOutDevices::Availability;
    int seenRate = 0, seenChannels = 0, seenBits = 0;
    const auto probe = [&](Availability answer) {
        return [&, answer](int, int rate, int channels, int bits) {
            seenRate = rate;
            seenChannels = channels;
            seenBits = bits;
            return answer;
        };
    };
    EXPECT_EQ(CheckSoundCard(3, probe(Availability::Busy)), kSoundCardBusy);
    EXPECT_EQ(CheckSoundCard(3, probe(Availability::Unavailable)), kSoundCardFails);
    EXPECT_EQ(CheckSoundCard(3, probe(Availability::Available)), kSoundCardOpens);
    EXPECT_EQ(seenRate, 22050);
    EXPECT_EQ(seenChannels, 1);
    EXPECT_EQ(seenBits, 16);
}
