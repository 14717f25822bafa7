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

TEST(WaveOutput, DevicesOpenWithPcmFormatsAndSayWhetherTheyCanBeUsed) {
    SKIP_WITHOUT_SOUND_DEVICE();
    using Availability = WaveOutDevices::Availability;
    WaveOutHandle* handle = nullptr;
    ASSERT_EQ(WaveOutDevices::open(WaveOutDevices::kDefaultDevice, 22050, 1, 16, &handle),
              MMSYSERR_NOERROR);
    EXPECT_EQ(WaveOutDevices::close(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(WaveOutDevices::open(WaveOutDevices::kDefaultDevice, 22050, 1, 12, &handle),
              WAVERR_BADFORMAT);
    EXPECT_EQ(handle, nullptr);

    const int missing = WaveOutDevices::count();
    EXPECT_EQ(WaveOutDevices::query(missing, 22050, 1, 16), MMSYSERR_BADDEVICEID);
    const int device = WaveOutDevices::kDefaultDevice;
    EXPECT_EQ(WaveOutDevices::availability(device, 22050, 1, 16), Availability::Available);
    EXPECT_EQ(WaveOutDevices::tryOpen(device, 22050, 1, 16), Availability::Available);
    EXPECT_EQ(WaveOutDevices::availability(device, 22050, 1, 12), Availability::Unavailable);
    EXPECT_EQ(WaveOutDevices::tryOpen(device, 22050, 1, 12), Availability::Unavailable);
    EXPECT_EQ(WaveOutDevices::availability(missing, 22050, 1, 16), Availability::Unavailable);
    EXPECT_EQ(WaveOutDevices::tryOpen(missing, 22050, 1, 16), Availability::Unavailable);
}
