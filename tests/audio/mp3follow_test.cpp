#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "audio/mp3encoder.h"
#include "audio/mp3job.h"
#include "audio/waveconversion.h"
#include "platform/speechapi/wavefiledestination.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/wavesamples.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/threadnames.h"

using namespace audiotools;

namespace {

constexpr int kRate = 22050;
constexpr int kBitRate = 32;
constexpr uint32_t kNeededRate = 22050;
constexpr int kWaitMs = 30000;
constexpr char kWorkerName[] = "mp3 part";

// An encoding that follows a wave while the program's own wave writer writes it, as the engine
// writes speech: the first half, a pause until the encoder has visibly begun, then the rest.
class Mp3Follow : public ::testing::Test {
  protected:
    void SetUp() override {
        speech_ = WaveSamples(MakeSpeech(dir_.path(), 6000));  // five and a half minutes
        ASSERT_GT(speech_.size(), size_t(kRate) * 300);
    }
    QString Path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    // Writes samples from..to of the speech through the writer, a tenth of a second at a time.
    void WriteSpeech(WaveFileDestination& writer, size_t from, size_t to) {
        constexpr size_t kPiece = kRate / 10;
        for (size_t at = from; at < to; at += kPiece) {
            ASSERT_TRUE(writer.write(&speech_[at], int(std::min(kPiece, to - at))));
        }
    }

    // Writes the speech into wave while job follows it; true once the MP3 had grown before
    // the second half was written.
    bool WriteWhileFollowed(const QString& wave, const QString& mp3, Mp3Job& job, int rate) {
        WaveFileDestination writer(wave);
        EXPECT_TRUE(writer.open(rate));
        job.startBehindWriter(kBitRate, kNeededRate);
        WriteSpeech(writer, 0, speech_.size() / 2);
        const bool began =
            QTest::qWaitFor([&mp3] { return QFileInfo(mp3).size() > 64 * 1024; }, kWaitMs);
        WriteSpeech(writer, speech_.size() / 2, speech_.size());
        EXPECT_TRUE(writer.flush());
        return began;
    }

    static QByteArray Sha256(const QString& path) {
        return QCryptographicHash::hash(Read(path), QCryptographicHash::Sha256).toHex();
    }

    QTemporaryDir dir_;
    std::vector<int16_t> speech_;
    CapturedMessages captured_;
};

}  // namespace

TEST_F(Mp3Follow, OneWorkerFollowingTheWriterMakesTheSingleStreamFile) {
    const QString wave = Path(QStringLiteral("written.wav"));
    const QString mp3 = Path(QStringLiteral("followed.mp3"));
    Mp3EncodeHooks hooks;
    hooks.Tags.title = QStringLiteral("Followed");
    hooks.Threads = 1;
    {
        Mp3Job job(wave, mp3, hooks);
        EXPECT_TRUE(WriteWhileFollowed(wave, mp3, job, kRate))
            << "the encoding began while the wave was half written";
        bool applied = false;
        ASSERT_TRUE(job.finishBehindWriter(hooks, &applied)) << job.failure().toStdString();
        EXPECT_TRUE(applied);
    }
    // The same wave encoded once complete, by one stream.
    const QString alone = Path(QStringLiteral("alone.mp3"));
    ASSERT_TRUE(EncodeMp3(wave, alone, kBitRate, kRate, hooks).ok());
    EXPECT_EQ(Sha256(mp3), Sha256(alone))
        << "it read every sample as written, in the same chunks, never ahead of the writer";
    EXPECT_TRUE(NoThreadNamed(QString::fromLatin1(kWorkerName)));
}

TEST_F(Mp3Follow, TheRestIsSharedWithAWorkerPerCoreOnceTheWaveIsComplete) {
    const QString wave = Path(QStringLiteral("written.wav"));
    const QString mp3 = Path(QStringLiteral("followed.mp3"));
    Mp3EncodeHooks hooks;
    hooks.Threads = 2;
    std::vector<Mp3Part> parts;
    hooks.Planned = [&parts](const std::vector<Mp3Part>& planned) { parts = planned; };
    std::vector<int> progress;
    hooks.SetProgress = [&progress](int percent) { progress.push_back(percent); };
    {
        Mp3Job job(wave, mp3, hooks);
        WriteWhileFollowed(wave, mp3, job, kRate);
        bool applied = false;
        ASSERT_TRUE(job.finishBehindWriter(hooks, &applied)) << job.failure().toStdString();
    }
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_GT(parts[0].count, int64_t(kRate) * 60);
    EXPECT_EQ(parts[1].first + parts[1].count, int64_t(speech_.size()));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    const QString alone = Path(QStringLiteral("alone.mp3"));
    hooks.Threads = 1;
    ASSERT_TRUE(EncodeMp3(wave, alone, kBitRate, kRate, hooks).ok());
    EXPECT_EQ(DecodedSamples(mp3), DecodedSamples(alone));
    EXPECT_TRUE(NoThreadNamed(QString::fromLatin1(kWorkerName)));
}

TEST_F(Mp3Follow, AWaveBelowTheNeededRateIsConvertedOnTheWayAsAWaveFileIsConverted) {
    // The speech is written at 22050 Hz but declared 16000 Hz: any samples do.
    const QString wave = Path(QStringLiteral("written.wav"));
    const QString mp3 = Path(QStringLiteral("followed.mp3"));
    Mp3EncodeHooks hooks;
    hooks.Threads = 1;
    {
        Mp3Job job(wave, mp3, hooks);
        EXPECT_TRUE(WriteWhileFollowed(wave, mp3, job, 16000));
        bool applied = false;
        ASSERT_TRUE(job.finishBehindWriter(hooks, &applied)) << job.failure().toStdString();
        EXPECT_TRUE(applied);
    }
    // What the program did before: the whole wave converted to a file, then encoded.
    const QString raised = Path(QStringLiteral("raised.wav"));
    const QString before = Path(QStringLiteral("before.mp3"));
    ASSERT_TRUE(ConvertWaveFile(wave, raised, 16, 1, kNeededRate).ok());
    ASSERT_TRUE(EncodeMp3(raised, before, kBitRate, int32_t(kNeededRate), hooks).ok());
    EXPECT_EQ(Sha256(mp3), Sha256(before));
    EXPECT_EQ(Soxi(raised, "-r"), QStringLiteral("22050"));
}

TEST_F(Mp3Follow, AStoppedOrUnsuitableFollowerEndsItsWorkerAndLeavesTheWave) {
    const QString wave = Path(QStringLiteral("written.wav"));
    const QString mp3 = Path(QStringLiteral("followed.mp3"));
    {
        // Stopped halfway, as a Stop or the program's end does.
        Mp3Job job(wave, mp3, {});
        WaveFileDestination writer(wave);
        ASSERT_TRUE(writer.open(kRate));
        job.startBehindWriter(kBitRate, kNeededRate);
        WriteSpeech(writer, 0, speech_.size() / 4);
        ASSERT_TRUE(QTest::qWaitFor([&mp3] { return QFileInfo(mp3).size() > 0; }, kWaitMs));
        job.stop();
        EXPECT_TRUE(NoThreadNamed(QString::fromLatin1(kWorkerName))) << "stopped at once";
        WriteSpeech(writer, speech_.size() / 4, speech_.size() / 2);
        EXPECT_TRUE(writer.flush()) << "the writer goes on unhindered";
    }
    EXPECT_EQ(WaveSamples(wave).size(), speech_.size() / 2);
    {
        // Not the engine's kind of wave (8 bits): it is encoded once complete. The wave of the
        // case above goes first, or the follower would take it up before it is replaced.
        QFile::remove(wave);
        Mp3Job job(wave, mp3, {});
        job.startBehindWriter(kBitRate, kNeededRate);
        Write(wave, Riff(Fmt(1, 1, kRate, 8), QByteArray(kRate, '\x80')));
        bool applied = true;
        EXPECT_FALSE(job.finishBehindWriter({}, &applied));
        EXPECT_FALSE(applied) << "left to the encoding of the complete wave";
        EXPECT_EQ(job.failure(), QString());
    }
    EXPECT_TRUE(NoThreadNamed(QString::fromLatin1(kWorkerName)));
    {
        // The wave never begun (the engine said nothing): the follower ends when told.
        QFile::remove(wave);
        Mp3Job job(wave, mp3, {});
        job.startBehindWriter(kBitRate, kNeededRate);
        bool applied = true;
        EXPECT_FALSE(job.finishBehindWriter({}, &applied));
        EXPECT_FALSE(applied);
    }
    EXPECT_TRUE(NoThreadNamed(QString::fromLatin1(kWorkerName)));
}
