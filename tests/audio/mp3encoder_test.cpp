#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "audio/mmwave.h"
#include "audio/mp3encoder.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/id3frames.h"
#include "tests/audio/smalldisk.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"

using namespace audiotools;

namespace {

constexpr int64_t kEncoderDelay = 1105;
constexpr int64_t kFrame = 1152;

// Samples of the same wave encoded by the lame command-line encoder, decoded by mpg123.
int64_t ReferenceDecoded(const QString& wav, int bitRate) {
    const QString mp3 = wav + QStringLiteral(".lame.mp3");
    Run(QStringLiteral("lame"),
        {QStringLiteral("--quiet"), QStringLiteral("-b"), QString::number(bitRate),
         QStringLiteral("-m"), QStringLiteral("m"), wav, mp3});
    return DecodedSamples(mp3);
}

class Mp3 : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    QTemporaryDir dir_;
    CapturedMessages captured_;
};

}  // namespace

TEST_F(Mp3, WavesOfEveryKindDecodeToTheirOwnLength) {
    struct Case {
        int rate, bits, channels, bitRate;
    };
    for (const Case c : {Case{22050, 16, 1, 32}, Case{16000, 16, 1, 16}, Case{44100, 16, 1, 64},
                         Case{11025, 8, 1, 32}, Case{22050, 16, 2, 48}, Case{8000, 8, 2, 16}}) {
        SCOPED_TRACE(testing::Message()
                     << c.rate << " Hz " << c.bits << " bits " << c.channels << " ch");
        const QString wav = Path(QStringLiteral("speech.wav")),
                      mp3 = Path(QStringLiteral("speech.mp3"));
        MakeTone(wav, c.rate, c.bits, c.channels, 3.3);
        std::vector<int> progress;
        Mp3EncodeHooks hooks;
        hooks.SetProgress = [&progress](int p) { progress.push_back(p); };
        const Outcome encoded = EncodeMp3(wav, mp3, c.bitRate, c.rate, hooks);
        ASSERT_TRUE(encoded.ok()) << encoded.message().toStdString();
        const int64_t source = Soxi(wav, "-s").toLongLong();
        const int64_t decoded = DecodedSamples(mp3);
        // Every MP3 encoder adds its delay (1105 samples for LAME) and pads the last frame.
        EXPECT_GE(decoded, source);
        EXPECT_LE(decoded, source + kEncoderDelay + kFrame);
        EXPECT_NEAR(double(decoded), double(ReferenceDecoded(wav, c.bitRate)), double(kFrame))
            << "the same length as the lame command-line encoder's MP3";
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.front(), 0);
        EXPECT_EQ(progress.back(), 100);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        EXPECT_TRUE(QFile::exists(wav)) << "the wave is never removed";
    }
}

TEST_F(Mp3, ProgressRoundsHalvesToEven) {
    EXPECT_EQ(EncodeProgress(1, 100), 2);      // 1.5
    EXPECT_EQ(EncodeProgress(100, 100), 100);  // 100.5
    EXPECT_EQ(EncodeProgress(3, 200), 2);      // 2.0
    EXPECT_EQ(EncodeProgress(5, 200), 3);      // 3.0
    EXPECT_EQ(EncodeProgress(0, 0), 0);
}

TEST_F(Mp3, EmptyWavesAndOddSizes) {
    const QString mp3 = Path(QStringLiteral("empty.mp3"));
    const QString zero = Path(QStringLiteral("zero.wav"));
    Write(zero, QByteArray());
    std::vector<int> progress;
    Mp3EncodeHooks hooks;
    hooks.SetProgress = [&progress](int p) { progress.push_back(p); };
    ASSERT_TRUE(EncodeMp3(zero, mp3, 32, 22050, hooks).ok());
    EXPECT_EQ(progress, std::vector<int>{0});
    EXPECT_TRUE(QFile::exists(mp3));
    EXPECT_LT(DecodedSamples(mp3), 2000);

    // 12345 samples: not a multiple of the encoder's chunk.
    const QString odd = Path(QStringLiteral("odd.wav"));
    audiotools::Run(QStringLiteral("sox"),
                    {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("22050"),
                     QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-c"),
                     QStringLiteral("1"), odd, QStringLiteral("synth"), QStringLiteral("12345s"),
                     QStringLiteral("sine"), QStringLiteral("440")});
    ASSERT_TRUE(EncodeMp3(odd, mp3, 32, 22050).ok());
    const int64_t source = Soxi(odd, "-s").toLongLong();
    ASSERT_NE(source % 9216, 0);
    EXPECT_GE(DecodedSamples(mp3), source);
    EXPECT_LE(DecodedSamples(mp3), source + kEncoderDelay + kFrame);
}

TEST_F(Mp3, FailuresAreReportedToTheCallerAndLeaveNoPartialMp3) {
    const QString wav = Path(QStringLiteral("ok.wav")), mp3 = Path(QStringLiteral("out.mp3"));
    MakeTone(wav, 22050, 16, 1, 1.0);
    const Outcome noStream = EncodeMp3(wav, mp3, 0, 22050);
    EXPECT_FALSE(noStream.ok());
    EXPECT_EQ(noStream.message(), QStringLiteral("Error opening encoding stream 2"));
    EXPECT_FALSE(QFile::exists(mp3));
    EXPECT_TRUE(QFile::exists(wav));

    const QString bad = Path(QStringLiteral("bad.wav"));
    Write(bad, "this is not a wave");
    EXPECT_EQ(EncodeMp3(bad, mp3, 32, 22050).message(),
              QStringLiteral("Invalid wave file... ") + bad);
    EXPECT_FALSE(QFile::exists(mp3));

    const QString nowhere = Path(QStringLiteral("no/such/folder/out.mp3"));
    EXPECT_EQ(EncodeMp3(wav, nowhere, 32, 22050).message(),
              QStringLiteral("No such file or directory: ") + nowhere);
    EXPECT_TRUE(captured_.all.isEmpty()) << "the caller shows what it is told";
}

TEST_F(Mp3, AFullDiskNamesTheMp3AndTheCause) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(64);
    ASSERT_EQ(disk.Error(), QString());
    disk.Fill();
    const QString mp3 = disk.Path() + QStringLiteral("/speech.mp3");
    const QString cause =
        QStringLiteral(": cannot write ") + mp3 + QStringLiteral(": No space left on device");
    // Twenty seconds fail while encoding; three fit in the file's buffer and fail at its end.
    struct Case {
        double seconds;
        const char* message;
    };
    for (const Case c : {Case{20.0, "Write Error (1)"}, Case{3.0, "Write error (2)"}}) {
        SCOPED_TRACE(c.message);
        const QString wav = Path(QStringLiteral("speech.wav"));
        MakeTone(wav, 22050, 16, 1, c.seconds);
        const Outcome encoded = EncodeMp3(wav, mp3, 32, 22050);
        EXPECT_FALSE(encoded.ok());
        EXPECT_EQ(encoded.message(), QString::fromLatin1(c.message) + cause);
        EXPECT_FALSE(QFile::exists(mp3)) << "the partial MP3 is removed";
        EXPECT_TRUE(QFile::exists(wav));
    }
}

TEST_F(Mp3, TheStopHookEndsAfterTheCurrentChunkWithAWellFormedStream) {
    const QString wav = Path(QStringLiteral("long.wav")), mp3 = Path(QStringLiteral("stopped.mp3"));
    MakeTone(wav, 22050, 16, 1, 20.0);
    int chunks = 0;
    int asked = 0;
    bool exiting = false;
    Mp3EncodeHooks hooks;
    hooks.ProcessEvents = [&] {
        if (++chunks == 3) {
            exiting = true;  // the exit command, while the window breathes
        }
    };
    hooks.Stopped = [&] {
        ++asked;
        return exiting;
    };
    ASSERT_TRUE(EncodeMp3(wav, mp3, 32, 22050, hooks).ok());
    EXPECT_EQ(chunks, 3);
    EXPECT_EQ(asked, 4) << "asked once per chunk; the fourth chunk is the last";
    const int64_t decoded = DecodedSamples(mp3);
    EXPECT_GT(decoded, 0);
    EXPECT_LT(decoded, 22050 * 5) << "only the chunks before the stop";
    EXPECT_TRUE(captured_.all.isEmpty());
}

TEST_F(Mp3, TheTitleTagIsWhatPlayersShow) {
    const QString wav = Path(QStringLiteral("titled.wav")),
                  mp3 = Path(QStringLiteral("titled.mp3"));
    MakeTone(wav, 44100, 16, 1, 1.5);
    Mp3EncodeHooks hooks;
    hooks.Tags.title = QStringLiteral("Morning_news");
    ASSERT_TRUE(EncodeMp3(wav, mp3, 64, 44100, hooks).ok());
    EXPECT_TRUE(audiotools::Run(QStringLiteral("id3v2"), {QStringLiteral("-l"), mp3})
                    .contains(QStringLiteral("Morning_news")));
    EXPECT_NEAR(double(DecodedSamples(mp3)), double(Soxi(wav, "-s").toLongLong()), 1152.0)
        << "the title does not disturb the length";
}

TEST_F(Mp3, EveryTagGoesIntoTheId3v2Tag) {
    const QString wav = Path(QStringLiteral("tagged.wav")),
                  mp3 = Path(QStringLiteral("tagged.mp3"));
    MakeTone(wav, 44100, 16, 1, 1.5);
    Mp3EncodeHooks hooks;
    hooks.Tags.title = QStringLiteral("Chapter één");
    hooks.Tags.album = QStringLiteral("The Book");
    hooks.Tags.track = 3;
    hooks.Tags.trackCount = 12;
    hooks.Tags.artist = QStringLiteral("Some Voice");
    hooks.Tags.year = QStringLiteral("2026");
    hooks.Tags.comment = QStringLiteral("Quillsong MP3 1.3");
    ASSERT_TRUE(EncodeMp3(wav, mp3, 64, 44100, hooks).ok());
    const QMap<QString, QString> frames = Id3Frames(mp3);
    EXPECT_EQ(frames.value(QStringLiteral("TIT2")), QStringLiteral("Chapter één"));
    EXPECT_EQ(frames.value(QStringLiteral("TALB")), QStringLiteral("The Book"));
    EXPECT_EQ(frames.value(QStringLiteral("TRCK")), QStringLiteral("3/12"));
    EXPECT_EQ(frames.value(QStringLiteral("TPE1")), QStringLiteral("Some Voice"));
    EXPECT_EQ(frames.value(QStringLiteral("TYER")), QStringLiteral("2026"));
    EXPECT_EQ(frames.value(QStringLiteral("COMM")), QStringLiteral("()[eng]: Quillsong MP3 1.3"));
    EXPECT_NEAR(double(DecodedSamples(mp3)), double(Soxi(wav, "-s").toLongLong()), 1152.0)
        << "the tags do not disturb the length";
}

TEST_F(Mp3, TagsLeftEmptyAreLeftOut) {
    const QString wav = Path(QStringLiteral("plain.wav")), mp3 = Path(QStringLiteral("plain.mp3"));
    MakeTone(wav, 22050, 16, 1, 1.0);
    Mp3EncodeHooks hooks;
    hooks.Tags.title = QStringLiteral("Alone");
    hooks.Tags.artist = QStringLiteral("Some Voice");
    ASSERT_TRUE(EncodeMp3(wav, mp3, 32, 22050, hooks).ok());
    const QMap<QString, QString> frames = Id3Frames(mp3);
    EXPECT_EQ(frames.value(QStringLiteral("TIT2")), QStringLiteral("Alone"));
    EXPECT_EQ(frames.value(QStringLiteral("TPE1")), QStringLiteral("Some Voice"));
    EXPECT_FALSE(frames.contains(QStringLiteral("TALB")));
    EXPECT_FALSE(frames.contains(QStringLiteral("TRCK")));
    EXPECT_FALSE(frames.contains(QStringLiteral("COMM")));
}

TEST_F(Mp3, ALongTitleIsWrittenWhole) {
    const QString wav = Path(QStringLiteral("long.wav")), mp3 = Path(QStringLiteral("long.mp3"));
    MakeTone(wav, 22050, 16, 1, 1.0);
    Mp3EncodeHooks hooks;
    // Larger than the room first offered for the tag, in UTF-16.
    hooks.Tags.title = QString(3000, QChar(u'é'));
    ASSERT_TRUE(EncodeMp3(wav, mp3, 32, 22050, hooks).ok());
    EXPECT_EQ(Id3Frames(mp3).value(QStringLiteral("TIT2")), hooks.Tags.title);
    EXPECT_TRUE(captured_.all.isEmpty());
}
