#include <gtest/gtest.h>

#include "platform/wavedevices/waveoutdevices.h"
#include "tests/common/sounddevice.h"

TEST(WaveOutput, TheAudioServersDevicesAreCountedAndDescribed) {
    SKIP_WITHOUT_SOUND_DEVICE();
    const int count = WaveOutDevices::count();
    ASSERT_GE(count, 1);
    for (int id = WaveOutDevices::kDefaultDevice; id < count; ++id) {
        WaveOutCaps caps;
        ASSERT_EQ(WaveOutDevices::getCaps(id, &caps), MMSYSERR_NOERROR) << id;
        EXPECT_FALSE(caps.name.isEmpty());
        EXPECT_LE(caps.name.size(), WaveOutDevices::kMaxNameLength);
        EXPECT_GE(caps.channels, 1);
        EXPECT_TRUE(caps.formats & WAVE_FORMAT_4M16) << "every server plays 44.1 kHz 16-bit mono";
    }
    WaveOutCaps caps;
    EXPECT_EQ(WaveOutDevices::getCaps(count, &caps), MMSYSERR_BADDEVICEID);
}
