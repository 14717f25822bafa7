#include <gtest/gtest.h>

#include <vector>

#include "audio/pcmconvert.h"

namespace {

std::vector<int16_t> Convert(const std::vector<int16_t>& in, uint32_t from, uint32_t to) {
    const TWaveFormatEx source = BuildPcmFormat(16, 1, from), target = BuildPcmFormat(16, 1, to);
    const int64_t bytes = int64_t(in.size()) * 2;
    std::vector<int16_t> out(size_t(PcmDestBytes(bytes, source, target) / 2 + 4));
    const int64_t written = PcmConvert(bytes, reinterpret_cast<const uint8_t*>(in.data()), source,
                                       reinterpret_cast<uint8_t*>(out.data()), target);
    out.resize(size_t(written / 2));
    return out;
}

}  // namespace

TEST(PcmConversion, RatesUpByNearestSample) {
    const std::vector<int16_t> ten{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(Convert(ten, 11025, 22050),
              (std::vector<int16_t>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9}));
    // The accumulator starts at 8000 and gains 4975 a frame; a frame repeats whenever it
    // reaches 11025.
    EXPECT_EQ(Convert(ten, 11025, 16000),
              (std::vector<int16_t>{0, 1, 1, 2, 3, 3, 4, 5, 6, 6, 7, 8, 8, 9}));
    EXPECT_EQ(Convert(ten, 16000, 16000), ten);
    EXPECT_EQ(Convert(ten, 22050, 11025), (std::vector<int16_t>{1, 3, 5, 7, 9}));

    std::vector<int16_t> second(16000);
    EXPECT_EQ(Convert(second, 16000, 44100).size(), 44099u);
    EXPECT_EQ(PcmDestBytes(32000, BuildPcmFormat(16, 1, 16000), BuildPcmFormat(16, 1, 44100)),
              88200);
}

TEST(PcmConversion, EightBitAndStereoSourcesBecomeSixteenBitMono) {
    const TWaveFormatEx mono16 = BuildPcmFormat(16, 1, 8000);
    int16_t out[4] = {};
    const uint8_t mono8[] = {200, 128, 0};
    ASSERT_EQ(
        PcmConvert(3, mono8, BuildPcmFormat(8, 1, 8000), reinterpret_cast<uint8_t*>(out), mono16),
        6);
    EXPECT_EQ(out[0], (200 - 128) * 256);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], -32768);

    const uint8_t stereo8[] = {100, 201, 255, 0};
    ASSERT_EQ(
        PcmConvert(4, stereo8, BuildPcmFormat(8, 2, 8000), reinterpret_cast<uint8_t*>(out), mono16),
        4);
    EXPECT_EQ(out[0], (150 - 128) * 256);
    EXPECT_EQ(out[1], (127 - 128) * 256);

    const int16_t stereo16[] = {1, -1, -1, -2, 32767, 32767, -32768, -32768};
    ASSERT_EQ(PcmConvert(16, reinterpret_cast<const uint8_t*>(stereo16),
                         BuildPcmFormat(16, 2, 8000), reinterpret_cast<uint8_t*>(out), mono16),
              8);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], -2);
    EXPECT_EQ(out[2], 32767);
    EXPECT_EQ(out[3], -32768);
}

TEST(PcmConversion, FormatsOutsidePcmMonoAndStereoAreRefused) {
    const TWaveFormatEx good = BuildPcmFormat(16, 1, 8000);
    uint8_t buffer[64] = {};
    TWaveFormatEx float32 = BuildPcmFormat(32, 1, 8000);
    TWaveFormatEx adpcm = good;
    adpcm.wFormatTag = 2;
    TWaveFormatEx noRate = good;
    noRate.nSamplesPerSec = 0;
    for (const TWaveFormatEx& bad : {float32, adpcm, noRate, BuildPcmFormat(16, 3, 8000)}) {
        EXPECT_EQ(PcmDestBytes(8, bad, good), -1);
        EXPECT_EQ(PcmConvert(8, buffer, good, buffer, bad), -1);
    }
    EXPECT_EQ(PcmConvert(0, buffer, good, buffer, good), 0);
    EXPECT_EQ(PcmConvert(-3, buffer, good, buffer, good), -3);
    EXPECT_FALSE(IsValidForConversion(BuildPcmFormat(16, 1, 3000)));
    EXPECT_FALSE(IsValidForConversion(BuildPcmFormat(16, 1, 100001)));
    EXPECT_TRUE(IsValidForConversion(BuildPcmFormat(8, 2, 100000)));
}
