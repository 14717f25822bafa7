// The wave file the engines speak into, on folders and disks that do not take it.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <vector>

#include "platform/speechapi/wavefiledestination.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/smalldisk.h"
#include "tests/common/printers.h"

namespace {

constexpr int kRate = 22050;

}  // namespace

TEST(WaveFileDestination, AFileThatCannotBeMadeSaysWhichAndWhy) {
    WaveFileDestination wave(QStringLiteral("/proc/speech.wav"));
    QSignalSpy failed(&wave, &WaveFileDestination::writeFailed);
    EXPECT_FALSE(wave.open(kRate));
    const QString message =
        QStringLiteral("Cannot write /proc/speech.wav: No such file or directory");
    EXPECT_EQ(wave.errorText(), message);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(), message);
    const int16_t samples[4] = {1, 2, 3, 4};
    EXPECT_FALSE(wave.write(samples, 4));
    EXPECT_FALSE(wave.flush()) << "no file was made";
    EXPECT_EQ(failed.count(), 1) << "one failure, told once";
}

TEST(WaveFileDestination, AFullDiskEndsTheFileWithItsNameAndTheCause) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(64);
    ASSERT_EQ(disk.Error(), QString());
    const QString path = disk.Path() + QStringLiteral("/speech.wav");
    WaveFileDestination wave(path);
    QSignalSpy failed(&wave, &WaveFileDestination::writeFailed);
    ASSERT_TRUE(wave.open(kRate));
    const std::vector<int16_t> second(kRate, 1000);
    int seconds = 0;
    while (seconds < 10 && wave.write(second.data(), kRate)) {
        ++seconds;
    }
    EXPECT_LT(seconds, 2) << "64 KB hold less than two seconds";
    const QString message =
        QStringLiteral("Cannot write ") + path + QStringLiteral(": No space left on device");
    EXPECT_EQ(wave.errorText(), message);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(), message);
    EXPECT_FALSE(wave.write(second.data(), 10)) << "a failed file takes nothing more";
    EXPECT_FALSE(wave.open(kRate)) << "nor another text";
    EXPECT_EQ(failed.count(), 1);
    EXPECT_GT(wave.played(), int64_t(kRate) * 3600 * 24 * 365)
        << "no event waits for audio that will not come";
    EXPECT_FALSE(wave.flush()) << "a file that missed some of its audio is not complete";

    // The next file, on a disk with room, is written whole.
    QTemporaryDir roomy;
    const QString next = roomy.filePath(QStringLiteral("next.wav"));
    wave.setFile(next);
    EXPECT_EQ(wave.errorText(), QString());
    ASSERT_TRUE(wave.open(kRate));
    EXPECT_TRUE(wave.write(second.data(), kRate));
    EXPECT_TRUE(wave.flush());
    EXPECT_EQ(audiotools::Soxi(next, "-s"), QString::number(kRate));
    EXPECT_EQ(failed.count(), 1);
}

TEST(WaveFileDestination, AFileStopsAtTheMostItsHeaderCanCountAndSaysSo) {
    // The sizes of a wave header are 32 bits: the samples and the 36 header bytes after the
    // RIFF size fit them, and not one sample more.
    EXPECT_LE(WaveFileDestination::kMaxDataBytes + 36, int64_t(0xFFFFFFFF));
    EXPECT_GT(WaveFileDestination::kMaxDataBytes + 36 + 2, int64_t(0xFFFFFFFF));

    // A destination with a lower limit stops as a 4 GB file would.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("long.wav"));
    const std::vector<int16_t> second(kRate, 1000);
    WaveFileDestination wave(path, int64_t(kRate) * 2 * 3);
    QSignalSpy failed(&wave, &WaveFileDestination::writeFailed);
    ASSERT_TRUE(wave.open(kRate));
    int seconds = 0;
    while (seconds < 10 && wave.write(second.data(), kRate)) {
        ++seconds;
    }
    EXPECT_EQ(seconds, 3) << "three seconds fit exactly";
    const QString message =
        QStringLiteral("Cannot write ") + path +
        QStringLiteral(
            ": a reading to a file holds at most 4 GB of sound (27.1 hours at this "
            "voice's 22050 Hz); the reading stopped there. Read the text in parts");
    EXPECT_EQ(wave.errorText(), message);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(), message);
    EXPECT_FALSE(wave.write(second.data(), 1)) << "nothing more is taken";
    EXPECT_FALSE(wave.flush()) << "the text was not read to its end";
}
