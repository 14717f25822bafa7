#include <gtest/gtest.h>

#include <QFile>

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <numeric>
#include <vector>

#include "audio/mmwave.h"
#include "audio/waveconversion.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/smalldisk.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"

using namespace audiotools;

namespace {

class WaveFiles : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    QTemporaryDir dir_;
    CapturedMessages captured_;
};

QByteArray Samples16(std::initializer_list<int16_t> values) {
    QByteArray bytes;
    for (int16_t v : values) {
        bytes.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    }
    return bytes;
}

}  // namespace

TEST_F(WaveFiles, ConversionsOfRealWavesAreReadBackBySoxi) {
    struct Case {
        int rate, bits, channels;
    };
    for (const Case c : {Case{8000, 8, 1}, Case{11025, 16, 1}, Case{16000, 8, 2},
                         Case{22050, 16, 2}, Case{44100, 16, 1}, Case{48000, 16, 2}}) {
        SCOPED_TRACE(testing::Message()
                     << c.rate << " Hz " << c.bits << " bits " << c.channels << " ch");
        const QString in =
            Path(QStringLiteral("in%1_%2_%3.wav").arg(c.rate).arg(c.bits).arg(c.channels));
        const QString out = Path(QStringLiteral("out.wav"));
        MakeTone(in, c.rate, c.bits, c.channels, 2.5);
        EXPECT_EQ(GetWaveSampleRate(in), uint32_t(c.rate));
        const Outcome converted = ConvertWaveFile(in, out, 16, 1, 22050);
        ASSERT_TRUE(converted.ok()) << converted.message().toStdString();
        EXPECT_EQ(Soxi(out, "-r"), QStringLiteral("22050"));
        EXPECT_EQ(Soxi(out, "-c"), QStringLiteral("1"));
        EXPECT_EQ(Soxi(out, "-b"), QStringLiteral("16"));
        const int64_t source = Soxi(in, "-s").toLongLong();
        const int64_t samples = Soxi(out, "-s").toLongLong();
        const int64_t ideal = source * 22050 / c.rate;
        EXPECT_NEAR(double(samples), double(ideal), 3.0) << "one nearest-sample block per second";
        TMMWave check;
        check.SetFileName(out);
        EXPECT_EQ(check.SampleCount, samples);
        EXPECT_EQ(check.DataOffset, 46);
    }
}

TEST_F(WaveFiles, BlocksOfOneSecondConvertIndependently) {
    // 2.5 seconds at 8000 Hz whose samples count 0, 1, 2 …, raised to 22050 Hz: every sample is
    // repeated two or three times. Each second starts afresh, so the third second and the half
    // second after it repeat the same pattern as the first.
    constexpr int kRate = 8000, kSamples = 20000;
    QByteArray counting;
    for (int i = 0; i < kSamples; ++i) {
        counting += Samples16({int16_t(i)});
    }
    const QString in = Path(QStringLiteral("counting.wav")), out = Path(QStringLiteral("up.wav"));
    Write(in, Riff(Fmt(1, 1, kRate, 16), counting));
    ASSERT_TRUE(ConvertWaveFile(in, out, 16, 1, 22050).ok());
    // The accumulator starts at 11025 and gains 14050 a sample; a sample is repeated while it
    // holds 8000. So a whole second gives 22049 samples (one short of 22050: the phase is not
    // carried over), and the half second 11024.
    EXPECT_EQ(Soxi(out, "-s"), QStringLiteral("55122"));
    const QByteArray data = Read(out).mid(46, 55122 * 2);
    ASSERT_EQ(data.size(), 55122 * 2);
    std::vector<int> repeats(kSamples, 0);
    int previous = 0;
    for (qsizetype at = 0; at < data.size(); at += 2) {
        const int value = qFromLittleEndian<int16_t>(data.constData() + at);
        ASSERT_TRUE(value == previous || value == previous + 1) << "at sample " << at / 2;
        ASSERT_LT(value, kSamples);
        ++repeats[size_t(value)];
        previous = value;
    }
    EXPECT_EQ((std::vector<int>(repeats.begin(), repeats.begin() + 5)),
              (std::vector<int>{2, 3, 2, 3, 3}));
    EXPECT_EQ(std::accumulate(repeats.begin(), repeats.begin() + kRate, 0), 22049);
    for (int i = 0; i < kRate; ++i) {
        ASSERT_EQ(repeats[size_t(kRate + i)], repeats[size_t(i)]) << "second 2, sample " << i;
        if (2 * kRate + i < kSamples) {
            ASSERT_EQ(repeats[size_t(2 * kRate + i)], repeats[size_t(i)])
                << "the last half second, sample " << i;
        }
    }
}

TEST_F(WaveFiles, OnlyTheSamplesOfTheDataChunkInWholeBlocks) {
    const QByteArray fmt = Fmt(1, 1, 8000, 16);
    // Data followed by an info list, then a trailing half sample.
    const QByteArray list = "LIST" + QByteArray("\x10\x00\x00\x00", 4) + "INFOINAM" +
                            QByteArray("\x04\x00\x00\x00", 4) + "Bob" + '\0';
    const QString in = Path(QStringLiteral("chunks.wav"));
    Write(in, Riff(fmt, Samples16({1, 2, 3}), list));
    TMMWave wave;
    wave.SetFileName(in);
    EXPECT_EQ(wave.DataLength, 6);
    ASSERT_EQ(wave.Info.size(), 1);
    EXPECT_EQ(wave.Info[0].Text, QByteArray("Bob"));
    const QString out = Path(QStringLiteral("chunks_out.wav"));
    ASSERT_TRUE(ConvertWaveFile(in, out, 16, 1, 8000).ok());
    EXPECT_EQ(Read(out).mid(46, 6), Samples16({1, 2, 3}));
    EXPECT_EQ(Soxi(out, "-s"), QStringLiteral("3"));
    EXPECT_TRUE(Read(out).contains("INFOINAM"));

    // A partial block at the end of the file (no pad byte after it) is dropped.
    const QString partial = Path(QStringLiteral("partial.wav"));
    Write(partial, Riff(fmt, Samples16({1, 2, 3}) + 'x').chopped(1));
    wave.SetFileName(partial);
    EXPECT_EQ(wave.DataLength, 6);

    Write(in, Riff(fmt, QByteArray()));  // no samples at all
    ASSERT_TRUE(ConvertWaveFile(in, out, 16, 1, 22050).ok());
    EXPECT_EQ(Soxi(out, "-s"), QStringLiteral("0"));
    EXPECT_TRUE(Read(out).contains(QByteArray("fact\x04\x00\x00\x00\x00\x00\x00\x00", 12)));
}

TEST_F(WaveFiles, UnsupportedSourcesAreRefused) {
    const QString out = Path(QStringLiteral("refused.wav"));
    const QString rate3000 = Path(QStringLiteral("r3000.wav")),
                  bits24 = Path(QStringLiteral("b24.wav")), ch3 = Path(QStringLiteral("c3.wav"));
    MakeTone(rate3000, 3000, 16, 1, 0.5);
    MakeTone(bits24, 22050, 24, 1, 0.5);
    MakeTone(ch3, 22050, 16, 3, 0.5);
    for (const QString& in : {rate3000, bits24, ch3}) {
        const Outcome converted = ConvertWaveFile(in, out, 16, 1, 22050);
        EXPECT_FALSE(converted.ok()) << in.toStdString();
        EXPECT_EQ(converted.message(),
                  QStringLiteral("This wave file is not valid for conversion"));
    }
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(captured_.all.isEmpty()) << "the caller shows what it is told";
}

TEST_F(WaveFiles, AFailedConversionLeavesTheTargetAloneAndNoTemporaryFile) {
    const QString in = Path(QStringLiteral("src.wav")), out = Path(QStringLiteral("keep.wav"));
    MakeTone(in, 11025, 16, 1, 1.0);
    Write(out, "precious");
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files);

    TMMWave wave;
    wave.SetFileName(in);
    // One second of 11025 Hz samples, each doubled to 22050 Hz, 2 bytes a sample.
    constexpr int64_t converted = 22050 * 2;
    const TWaveFormatEx target = BuildPcmFormat(16, 1, 22050);
    int64_t free = converted + 32768 + 10240 - 1;  // one byte short
    wave.FreeSpace = [&free](const QString&) { return free; };
    EXPECT_THROW(wave.ConvertToFile(out, &target), EMMWaveError);
    EXPECT_EQ(Read(out), QByteArray("precious"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), before);
    free = -1;  // unknown free space
    EXPECT_THROW(wave.ConvertToFile(out, &target), EMMWaveError);
    free += 1 + converted + 32768 + 10240;  // exactly enough
    wave.ConvertToFile(out, &target);
    EXPECT_EQ(Soxi(out, "-r"), QStringLiteral("22050"));
    EXPECT_THROW(wave.ConvertToFile(QString(), &target), EMMWaveError);
    EXPECT_THROW(wave.ConvertToFile(out, nullptr), EMMWaveError);
}

TEST_F(WaveFiles, AConversionOnAFullDiskNamesTheFileAndTheCause) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(64);
    ASSERT_EQ(disk.Error(), QString());
    const QString in = Path(QStringLiteral("in.wav"));
    MakeTone(in, 11025, 16, 1, 5.0);
    const QString out = disk.Path() + QStringLiteral("/out.wav");
    EXPECT_EQ(ConvertWaveFile(in, out, 16, 1, 22050).message(),
              QStringLiteral("Unable to convert wave file ") + out +
                  QStringLiteral(": not enough free space"));
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden), QStringList())
        << "no partial file is left";
    // A wave that was never made is named as well.
    QString message;
    try {
        GetWaveSampleRate(out);
    } catch (const EMMWaveError& error) {
        message = QString::fromUtf8(error.what());
    }
    EXPECT_EQ(message,
              QStringLiteral("Error reading wave file ") + out + QStringLiteral(": no such file"));
}

TEST_F(WaveFiles, DamagedFilesGiveWaveErrorsNotCrashes) {
    QString path = Path(QStringLiteral("bad.wav"));
    TMMWave wave;
    const auto openError = [&](const QByteArray& bytes) -> QString {
        Write(path, bytes);
        try {
            wave.SetFileName(path);
        } catch (const EMMWaveError& error) {
            return QString::fromUtf8(error.what());
        }
        return QString();
    };
    EXPECT_EQ(openError("not a wave file at all"), QStringLiteral("Invalid wave file..."));
    EXPECT_EQ(openError(QByteArray("RIFF\x04\x00\x00\x00WA", 10)),
              QStringLiteral("Invalid wave file..."));
    EXPECT_EQ(openError(Riff(Fmt(1, 1, 8000, 16), QByteArray()).left(30)),
              QStringLiteral("Invalid wave file..."));
    // A data chunk claiming 4 GB in a small file: cut at the end of the file.
    EXPECT_EQ(openError(Riff(Fmt(1, 1, 8000, 16), Samples16({5, 6}), {}, 0xFFFFFFFFLL)), QString());
    EXPECT_EQ(wave.DataLength, 4);
    // A recording past 4 GB says "to the end of the file": all of it is samples (a sparse file).
    path = Path(QStringLiteral("long.wav"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Riff(Fmt(1, 1, 22050, 16), QByteArray(), {}, 0xFFFFFFFFLL));
        ASSERT_TRUE(file.resize(int64_t(5) << 30));
    }
    wave.SetFileName(path);
    EXPECT_EQ(wave.DataLength, (int64_t(5) << 30) - 44);
    // No channels: no block to divide by.
    path = Path(QStringLiteral("nochannels.wav"));
    EXPECT_EQ(openError(Riff(Fmt(1, 0, 8000, 16), Samples16({5, 6, 7}))), QString());
    EXPECT_EQ(wave.DataLength, 0);
    EXPECT_FALSE(ConvertWaveFile(path, Path(QStringLiteral("x.wav")), 16, 1, 8000).ok());

    EXPECT_THROW(wave.SetFileName(Path(QStringLiteral("missing.wav"))), EMMWaveError);
    EXPECT_THROW(GetWaveSampleRate(path + QStringLiteral(".none")), EMMWaveError);
    EXPECT_EQ(GetWaveSampleRate(QString()), 11025u);
}

TEST_F(WaveFiles, HostileHeadersAreRefusedOrReadWithinTheFile) {
    const QString path = Path(QStringLiteral("hostile.wav"));
    const QString out = Path(QStringLiteral("hostile_out.wav"));
    TMMWave wave;
    const auto openError = [&](const QByteArray& bytes) -> QString {
        Write(path, bytes);
        wave = TMMWave();  // files of the same size are read again
        try {
            wave.SetFileName(path);
        } catch (const EMMWaveError& error) {
            return QString::fromUtf8(error.what());
        }
        return QString();
    };
    const auto chunk = [](const char* id, const QByteArray& content, uint32_t sizeField) {
        QByteArray size(4, '\0');
        qToLittleEndian<uint32_t>(sizeField, size.data());
        return QByteArray(id, 4) + size + content;
    };
    const auto riff = [](const QByteArray& chunks) {
        QByteArray size(4, '\0');
        qToLittleEndian<uint32_t>(uint32_t(4 + chunks.size()), size.data());
        return "RIFF" + size + "WAVE" + chunks;
    };
    const QByteArray samples = Samples16({5, 6, 7});

    // Blocks or byte rates too large for their own fields are no wave at all.
    EXPECT_EQ(openError(Riff(Fmt(1, 65534, 8000, 48640), samples)),
              QStringLiteral("Invalid wave file..."));
    EXPECT_EQ(openError(Riff(Fmt(1, 65535, 0xFFFFFFFF, 65535), samples)),
              QStringLiteral("Invalid wave file..."));
    EXPECT_EQ(openError(Riff(Fmt(1, 2, 0xFFFFFFFF, 16), samples)),
              QStringLiteral("Invalid wave file..."));
    // The largest block that fits is read, and refused for conversion.
    EXPECT_EQ(openError(Riff(Fmt(1, 4095, 8000, 128), samples)), QString());
    EXPECT_EQ(wave.Format.nBlockAlign, 65520);
    EXPECT_EQ(wave.DataLength, 0);
    EXPECT_EQ(ConvertWaveFile(path, out, 16, 1, 8000).message(),
              QStringLiteral("This wave file is not valid for conversion"));

    // No rate: readable, never converted.
    EXPECT_EQ(openError(Riff(Fmt(1, 1, 0, 16), samples)), QString());
    EXPECT_EQ(wave.Format.nAvgBytesPerSec, 0u);
    EXPECT_EQ(wave.DataLength, 6);
    EXPECT_EQ(ConvertWaveFile(path, out, 16, 1, 8000).message(),
              QStringLiteral("This wave file is not valid for conversion"));
    // No channels and no bits: no block to divide by.
    EXPECT_EQ(openError(Riff(Fmt(1, 0, 0, 0), samples)), QString());
    EXPECT_EQ(wave.DataLength, 0);
    EXPECT_EQ(wave.SampleCount, 0);
    EXPECT_FALSE(ConvertWaveFile(path, out, 16, 1, 8000).ok());
    // A format record cut short reads its missing fields as zero.
    EXPECT_EQ(openError(riff(chunk("fmt ", "\x01", 1) + '\0' + chunk("data", samples, 6))),
              QString());
    EXPECT_EQ(wave.Format.nChannels, 0);
    EXPECT_EQ(wave.DataLength, 0);
    EXPECT_FALSE(QFile::exists(out));

    // Sizes far past the end of the file are cut at its end, for every kind of chunk.
    EXPECT_EQ(openError(Riff(Fmt(1, 1, 8000, 16), samples, {}, 0x7FFFFFFF)), QString());
    EXPECT_EQ(wave.DataLength, 6);
    EXPECT_EQ(openError(Riff(Fmt(1, 1, 8000, 16), samples, chunk("LIST", "INFOINAM", 0xFFFFFFF0))),
              QString());
    EXPECT_EQ(wave.DataLength, 6);
    EXPECT_EQ(openError(Riff(Fmt(1, 1, 8000, 16), samples, chunk("DISP", "\x01", 0xFFFFFFFF))),
              QString());
    EXPECT_TRUE(wave.Display.isEmpty());
    EXPECT_EQ(openError(riff(chunk("fmt ", Fmt(1, 1, 8000, 16), 0xFFFFFFFF))),
              QStringLiteral("Invalid wave file..."));

    // Odd sizes: a pad byte follows each odd chunk, and the next chunk is found after it.
    const QByteArray odd =
        riff(chunk("junk", "abc", 3) + '\0' + chunk("fmt ", Fmt(1, 1, 8000, 16), 16) +
             chunk("data", samples + 'x', 7) + '\0' +
             chunk("LIST", "INFOINAM" + QByteArray("\x03\x00\x00\x00", 4) + "Al", 14));
    EXPECT_EQ(openError(odd), QString());
    EXPECT_EQ(wave.Format.nSamplesPerSec, 8000u);
    EXPECT_EQ(wave.DataLength, 6) << "the half sample is dropped";
    ASSERT_EQ(wave.Info.size(), 1);
    EXPECT_EQ(wave.Info[0].Id, QByteArray("INAM"));
    EXPECT_EQ(wave.Info[0].Text, QByteArray("Al"));
    // An odd chunk that is the last thing in the file, with no pad byte after it.
    EXPECT_EQ(openError(Riff(Fmt(1, 1, 8000, 16), samples, chunk("junk", "abc", 3))), QString());
    EXPECT_EQ(wave.DataLength, 6);
    ASSERT_TRUE(ConvertWaveFile(path, out, 16, 1, 8000).ok());
    EXPECT_EQ(Soxi(out, "-s"), QStringLiteral("3"));
}
