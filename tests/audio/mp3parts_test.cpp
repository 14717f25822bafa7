#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>

#include "audio/mmwave.h"
#include "audio/mp3encoder.h"
#include "audio/mp3partplan.h"
#include "audio/waveconversion.h"
#include "platform/lameenc/lameenc.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/wavesamples.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/threadnames.h"

using namespace audiotools;

namespace {

// Where the speech starts in an MP3 without a length frame, decoded: LAME's delay (576
// samples) and the decoder's (529).
constexpr int64_t kDecodedOffset = 1105;
// What a stream adds at each cut of a wave whose parts are whole frames: its delay and its
// least padding, 576 samples each.
constexpr int64_t kAddedAtCut = 1152;
// Coding noise allowed over the quiet of a pause (about -54 dBFS).
constexpr int kCodingNoise = 64;
constexpr char kWorkerName[] = "mp3 part";

class Mp3Parts : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    QString Speech(int bytesOfText) const { return MakeSpeech(dir_.path(), bytesOfText); }

    static int Peak(const std::vector<int16_t>& s, int64_t from, int64_t to) {
        int peak = 0;
        for (int64_t i = std::max<int64_t>(0, from); i < std::min<int64_t>(to, int64_t(s.size()));
             ++i) {
            peak = std::max(peak, std::abs(int(s[size_t(i)])));
        }
        return peak;
    }

    static QByteArray Sha256(const QString& path) {
        return QCryptographicHash::hash(Read(path), QCryptographicHash::Sha256).toHex();
    }

    QTemporaryDir dir_;
    CapturedMessages captured_;
};

}  // namespace

TEST_F(Mp3Parts, OnePartPerWorkerAndNoneShorterThanAMinute) {
    constexpr int kRate = 22050;
    EXPECT_EQ(Mp3PartPlan::partCount(int64_t(59) * kRate, kRate, 8), 1) << "a short article";
    EXPECT_EQ(Mp3PartPlan::partCount(int64_t(139) * kRate, kRate, 2), 1);
    EXPECT_EQ(Mp3PartPlan::partCount(int64_t(140) * kRate, kRate, 2), 2);
    EXPECT_EQ(Mp3PartPlan::partCount(int64_t(3600) * kRate, kRate, 2), 2) << "one per worker";
    EXPECT_EQ(Mp3PartPlan::partCount(int64_t(3600) * kRate, kRate, 0), 1);
    EXPECT_EQ(Mp3PartPlan::partCount(0, kRate, 4), 1);
}

TEST_F(Mp3Parts, PartsDecodeToTheSingleStreamsLengthAndAreQuietAtEveryCut) {
    const QString wav = Speech(6000);  // about five and a half minutes
    const std::vector<int16_t> wave = WaveSamples(wav);
    Mp3EncodeHooks alone;
    alone.Threads = 1;
    const QString single = Path(QStringLiteral("single.mp3"));
    ASSERT_TRUE(EncodeMp3(wav, single, 32, 22050, alone).ok());
    const std::vector<int16_t> reference = DecodedPcm(single);
    for (const int threads : {2, 3}) {
        SCOPED_TRACE(testing::Message() << threads << " workers");
        std::vector<Mp3Part> parts;
        Mp3EncodeHooks hooks;
        hooks.Threads = threads;
        hooks.Planned = [&parts](const std::vector<Mp3Part>& planned) { parts = planned; };
        const QString mp3 = Path(QStringLiteral("parts.mp3"));
        const Outcome encoded = EncodeMp3(wav, mp3, 32, 22050, hooks);
        ASSERT_TRUE(encoded.ok()) << encoded.message().toStdString();
        ASSERT_EQ(parts.size(), size_t(threads));
        const std::vector<int16_t> decoded = DecodedPcm(mp3);
        EXPECT_EQ(decoded.size(), reference.size()) << "the same length as one stream's";
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            const int64_t cut = parts[i].first + parts[i].count;
            EXPECT_EQ(parts[i + 1].first, cut + kAddedAtCut);
            // The cut, the stretch left out and 50 ms either side.
            const int64_t from = cut - 22050 / 20, to = cut + kAddedAtCut + 22050 / 20;
            const int quiet = std::max(Peak(wave, from, to),
                                       Peak(reference, from + kDecodedOffset, to + kDecodedOffset));
            EXPECT_LE(Peak(decoded, from + kDecodedOffset, to + kDecodedOffset),
                      quiet + kCodingNoise)
                << "cut at sample " << cut << " in a pause whose loudest sample is " << quiet;
            EXPECT_LT(quiet, 1000) << "the cut lies in a pause of the speech";
        }
        // The speech after the last cut keeps its time: it matches one stream's, sample for
        // sample, as closely as before the first cut does.
        const int64_t late = parts.back().first + 22050 * 10;
        double before = 0, after = 0, loud = 0;
        for (int64_t i = 0; i < 22050; ++i) {
            const size_t e = size_t(22050 * 10 + i), l = size_t(late + i);
            before += std::abs(decoded[e] - reference[e]);
            after += std::abs(decoded[l] - reference[l]);
            loud += std::abs(int(reference[l]));
        }
        EXPECT_LT(after, loud / 2) << "the speech after the cut is not shifted";
        EXPECT_EQ(before, 0) << "the first part is the single stream's own start";
    }
    EXPECT_TRUE(QFile::exists(wav));
    EXPECT_TRUE(NoThreadNamed(QString::fromLatin1(kWorkerName)));
}

TEST_F(Mp3Parts, AJoinedFileCarriesTheLengthOfTheWholeForGaplessPlayers) {
    // 64 kbit/s at 44100 Hz leaves room for the frame that tells players the length.
    const QString speech = Speech(3000);
    const QString wav = Path(QStringLiteral("speech44.wav"));
    audiotools::Run(QStringLiteral("sox"),
                    {speech, QStringLiteral("-r"), QStringLiteral("44100"), wav});
    const int64_t samples = Soxi(wav, "-s").toLongLong();
    ASSERT_GT(samples, int64_t(44100) * 140) << "long enough for two parts";
    Mp3EncodeHooks hooks;
    hooks.Threads = 2;
    size_t parts = 0;
    hooks.Planned = [&parts](const std::vector<Mp3Part>& planned) { parts = planned.size(); };
    const QString mp3 = Path(QStringLiteral("joined.mp3"));
    ASSERT_TRUE(EncodeMp3(wav, mp3, 64, 44100, hooks).ok());
    ASSERT_EQ(parts, 2u);
    EXPECT_TRUE(Read(mp3).left(4096).contains("Info"));
    EXPECT_EQ(DecodedSamples(mp3), samples)
        << "mpg123 plays exactly the speech: the delay, padding and frame count are the whole's";
}

TEST_F(Mp3Parts, TheLengthFrameOfAStreamAloneIsFilledAsLameFillsIt) {
    const QString wav = Path(QStringLiteral("tone.wav"));
    MakeTone(wav, 44100, 16, 1, 7.3);
    const std::vector<int16_t> samples = WaveSamples(wav);
    BE_CONFIG config;
    std::memset(&config, 0, sizeof(config));
    config.dwConfig = BE_CONFIG_LAME;
    config.dwStructVersion = 1;
    config.dwStructSize = sizeof(BE_CONFIG);
    config.dwSampleRate = 44100;
    config.nMode = BE_MP3_MODE_MONO;
    config.dwBitrate = 64;
    config.bWriteVBRHeader = -1;
    HBE_STREAM stream = 0;
    uint32_t perChunk = 0, outputSize = 0;
    ASSERT_EQ(beInitStream(&config, &perChunk, &outputSize, &stream), BE_ERR_SUCCESSFUL);
    QByteArray frames;
    std::vector<uint8_t> out(outputSize);
    uint32_t written = 0;
    for (size_t done = 0; done < samples.size(); done += perChunk) {
        const uint32_t n = uint32_t(std::min<size_t>(perChunk, samples.size() - done));
        ASSERT_EQ(beEncodeChunk(stream, n, &samples[done], out.data(), &written),
                  BE_ERR_SUCCESSFUL);
        frames.append(reinterpret_cast<const char*>(out.data()), written);
    }
    ASSERT_EQ(beDeinitStream(stream, out.data(), &written), BE_ERR_SUCCESSFUL);
    frames.append(reinterpret_cast<const char*>(out.data()), written);
    const QString byLame = Path(QStringLiteral("lame.mp3")), byUs = Path(QStringLiteral("us.mp3"));
    Write(byLame, frames);
    Write(byUs, frames);
    ASSERT_EQ(beWriteInfoTag(stream, QFile::encodeName(byLame).constData()), BE_ERR_SUCCESSFUL);
    ASSERT_EQ(beWriteJoinedInfoTag(&stream, 1, QFile::encodeName(byUs).constData()),
              BE_ERR_SUCCESSFUL);
    EXPECT_NE(Read(byLame), frames) << "LAME filled its frame";
    EXPECT_EQ(Read(byUs), Read(byLame));
    beCloseStream(stream);
}

TEST_F(Mp3Parts, OneWorkerGivesTheSingleStreamFileByteForByte) {
    // The SHA-256 of the files the single-stream encoder made of these waves (sox 14.4.2 tones
    // without dither, so the same every time; LAME 3.100) before the encoding was split between
    // workers.
    struct Case {
        int rate, bitRate;
        const char* sha256;
    };
    for (const Case c :
         {Case{22050, 32, "968d8d1755c2a2bed0c1024b53b03b2879a63296e57ac7cd96940549addfe254"},
          Case{44100, 64, "e83dd977f964f700171bed0f2d6e634207877eaf4dc1919602ec2da0633a8521"}}) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.bitRate << " kbit/s");
        const QString wav = Path(QStringLiteral("fixture.wav"));
        audiotools::Run(QStringLiteral("sox"),
                        {QStringLiteral("-D"), QStringLiteral("-n"), QStringLiteral("-r"),
                         QString::number(c.rate), QStringLiteral("-b"), QStringLiteral("16"),
                         QStringLiteral("-c"), QStringLiteral("1"), wav, QStringLiteral("synth"),
                         QStringLiteral("150"), QStringLiteral("sine"), QStringLiteral("200-2000"),
                         QStringLiteral("tremolo"), QStringLiteral("3"), QStringLiteral("80")});
        Mp3EncodeHooks hooks;
        hooks.Tags.title = QStringLiteral("Fixture");
        hooks.Threads = 1;
        const QString one = Path(QStringLiteral("one.mp3")), two = Path(QStringLiteral("two.mp3"));
        ASSERT_TRUE(EncodeMp3(wav, one, c.bitRate, c.rate, hooks).ok());
        EXPECT_EQ(Sha256(one), QByteArray(c.sha256));
        hooks.Threads = 2;
        ASSERT_TRUE(EncodeMp3(wav, two, c.bitRate, c.rate, hooks).ok());
        EXPECT_NE(Sha256(two), Sha256(one)) << "two workers do split this wave";
    }
}

TEST_F(Mp3Parts, AWaveBelowTheNeededRateIsRaisedPartByPart) {
    const QString speech = Speech(3000);
    const QString wav = Path(QStringLiteral("speech16.wav"));
    audiotools::Run(QStringLiteral("sox"),
                    {speech, QStringLiteral("-r"), QStringLiteral("16000"), wav});
    Mp3EncodeHooks hooks;
    hooks.Threads = 1;
    // One worker: what the program did before, the whole wave converted to a file, then encoded.
    const QString raised = Path(QStringLiteral("raised.wav"));
    const QString before = Path(QStringLiteral("before.mp3")),
                  one = Path(QStringLiteral("one.mp3"));
    ASSERT_TRUE(ConvertWaveFile(wav, raised, 16, 1, 22050).ok());
    ASSERT_TRUE(EncodeMp3(raised, before, 32, 22050, hooks).ok());
    ASSERT_TRUE(EncodeMp3(wav, one, 32, 22050, hooks).ok());
    EXPECT_EQ(Sha256(one), Sha256(before));
    // Two: each part raised on its own worker; the length kept to within a frame at the cut.
    hooks.Threads = 2;
    size_t parts = 0;
    hooks.Planned = [&parts](const std::vector<Mp3Part>& planned) { parts = planned.size(); };
    const QString two = Path(QStringLiteral("two.mp3"));
    ASSERT_TRUE(EncodeMp3(wav, two, 32, 22050, hooks).ok());
    ASSERT_EQ(parts, 2u);
    EXPECT_NEAR(double(DecodedSamples(two)), double(DecodedSamples(before)), 576.0);
}

TEST_F(Mp3Parts, AStopEndsEveryWorkerAndKeepsTheWave) {
    const QString wav = Speech(6000);
    const QByteArray before = Sha256(wav);
    const QString mp3 = Path(QStringLiteral("stopped.mp3"));
    Mp3EncodeHooks hooks;
    hooks.Threads = 2;
    int shown = 0;
    int workersSeen = 0;
    hooks.SetProgress = [&](int percent) {
        shown = percent;
        workersSeen = std::max(workersSeen, ThreadsNamed(QString::fromLatin1(kWorkerName)));
    };
    hooks.Stopped = [&shown] { return shown >= 10; };
    const Outcome encoded = EncodeMp3(wav, mp3, 32, 22050, hooks);
    EXPECT_FALSE(encoded.ok());
    EXPECT_EQ(workersSeen, 2) << "both parts were being encoded at once";
    EXPECT_LT(shown, 100) << "stopped before the end";
    EXPECT_TRUE(NoThreadNamed(QString::fromLatin1(kWorkerName))) << "no worker is left running";
    EXPECT_FALSE(QFile::exists(mp3)) << "no partial MP3";
    EXPECT_EQ(Sha256(wav), before) << "the wave is kept as it was";
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Hidden | QDir::Files).filter(".part").size(), 0)
        << "no part file is left";
}
