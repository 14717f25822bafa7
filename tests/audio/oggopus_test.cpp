#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <map>

#include "audio/opusencoder.h"
#include "audio/vorbisencoder.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/oggtools.h"
#include "tests/audio/smalldisk.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"

using namespace audiotools;

namespace {

using Format = OggFormat;

// Both writers behind one call, at a middling setting of each.
Outcome Encode(Format format, const QString& wav, const QString& out, const AudioTags& tags = {},
               const EncodeHooks& hooks = {}) {
    return format == Format::Vorbis ? EncodeVorbis(wav, out, kDefaultVorbisQuality, tags, hooks)
                                    : EncodeOpus(wav, out, kDefaultOpusBitRate, tags, hooks);
}

const char* Extension(Format format) {
    return format == Format::Vorbis ? ".ogg" : ".opus";
}

class OggOpus : public ::testing::TestWithParam<Format> {
  protected:
    QString Path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    QString Out(const QString& name) const {
        return Path(name + QLatin1String(Extension(GetParam())));
    }

    QTemporaryDir dir_;
    CapturedMessages captured_;
};

}  // namespace

TEST_P(OggOpus, SpeechDecodesToItsOwnLength) {
    const QString wav = MakeSpeech(dir_.path(), 250);
    const QByteArray original = Read(wav);
    const QString out = Out(QStringLiteral("speech"));
    std::vector<int> progress;
    EncodeHooks hooks;
    hooks.SetProgress = [&progress](int p) { progress.push_back(p); };
    const Outcome encoded = Encode(GetParam(), wav, out, {}, hooks);
    ASSERT_TRUE(encoded.ok()) << encoded.message().toStdString();
    EXPECT_EQ(Read(wav), original) << "the wave is left as it is";
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    const QString decoded = OggDecoded(GetParam(), out);
    EXPECT_EQ(Soxi(decoded, "-r"), QStringLiteral("22050"));
    EXPECT_EQ(Soxi(decoded, "-c"), QStringLiteral("1"));
    // The last page's position says where the sound ends and Opus's header how much of the
    // start is the encoder's priming, so both decoders give back exactly the wave's samples.
    EXPECT_EQ(Soxi(decoded, "-s").toLongLong(), Soxi(wav, "-s").toLongLong());
    EXPECT_TRUE(captured_.all.isEmpty());
}

TEST_P(OggOpus, WavesOfEveryKindTheProgramMakes) {
    struct Case {
        int rate, bits, channels;
    };
    // eSpeak NG at 22050 Hz, Flite at 16000 Hz and 8000 Hz (kal), and waves converted from
    // other programs' settings: 48 kHz (Opus's own rate), 8-bit and stereo.
    for (const Case c :
         {Case{22050, 16, 1}, Case{16000, 16, 1}, Case{8000, 16, 1}, Case{48000, 16, 1},
          Case{11025, 8, 1}, Case{22050, 16, 2}, Case{8000, 8, 2}}) {
        SCOPED_TRACE(testing::Message()
                     << c.rate << " Hz " << c.bits << " bits " << c.channels << " ch");
        const QString wav = Path(QStringLiteral("tone.wav")), out = Out(QStringLiteral("tone"));
        // Two seconds: an even number of samples at every rate, so no 8-bit wave ends in a
        // pad byte, which the wave reader reads as one more sample (as the MP3 writer does).
        MakeTone(wav, c.rate, c.bits, c.channels, 2.0);
        const Outcome encoded = Encode(GetParam(), wav, out);
        ASSERT_TRUE(encoded.ok()) << encoded.message().toStdString();
        const QString decoded = OggDecoded(GetParam(), out);
        EXPECT_EQ(Soxi(decoded, "-r").toInt(), c.rate);
        EXPECT_EQ(Soxi(decoded, "-c"), QStringLiteral("1"));
        EXPECT_EQ(Soxi(decoded, "-s").toLongLong(), Soxi(wav, "-s").toLongLong());
    }
}

TEST_P(OggOpus, TagsAreWhatPlayersRead) {
    const QString wav = Path(QStringLiteral("tone.wav"));
    MakeTone(wav, 22050, 16, 1, 1.0);
    AudioTags tags;
    tags.title = QStringLiteral("Chapter 3 – Ünïcode: «the title»");
    tags.album = QStringLiteral("The Book");
    tags.track = 3;
    tags.trackCount = 12;
    tags.artist = QStringLiteral("English (America)");
    tags.year = QStringLiteral("2026");
    tags.comment = QStringLiteral("Made by Quillsong");
    const QString out = Out(QStringLiteral("tagged"));
    ASSERT_TRUE(Encode(GetParam(), wav, out, tags).ok());
    std::multimap<QString, QString> comments = OggComments(GetParam(), out);
    comments.erase(QStringLiteral("ENCODER"));  // libopusenc names itself
    const std::multimap<QString, QString> expected{
        {QStringLiteral("TITLE"), tags.title},    {QStringLiteral("ALBUM"), tags.album},
        {QStringLiteral("TRACKNUMBER"), "3"},     {QStringLiteral("TRACKTOTAL"), "12"},
        {QStringLiteral("ARTIST"), tags.artist},  {QStringLiteral("DATE"), tags.year},
        {QStringLiteral("COMMENT"), tags.comment}};
    EXPECT_EQ(comments, expected);

    // Empty texts and zero numbers are left out.
    AudioTags some;
    some.title = QStringLiteral("Only a title");
    ASSERT_TRUE(Encode(GetParam(), wav, out, some).ok());
    comments = OggComments(GetParam(), out);
    comments.erase(QStringLiteral("ENCODER"));
    EXPECT_EQ(comments, (std::multimap<QString, QString>{{"TITLE", some.title}}));
    ASSERT_TRUE(Encode(GetParam(), wav, out, {}).ok());
    comments = OggComments(GetParam(), out);
    comments.erase(QStringLiteral("ENCODER"));
    EXPECT_TRUE(comments.empty());
}

TEST_P(OggOpus, AStopEndsWithinAChunkAndLeavesNoFile) {
    const QString wav = Path(QStringLiteral("long.wav")), out = Out(QStringLiteral("stopped"));
    MakeTone(wav, 22050, 16, 1, 20.0);
    const QByteArray original = Read(wav);
    int chunks = 0;
    int asked = 0;
    bool exiting = false;
    EncodeHooks hooks;
    hooks.ProcessEvents = [&] {
        if (++chunks == 3) {
            exiting = true;  // the exit command, while the window breathes
        }
    };
    hooks.Stopped = [&] {
        ++asked;
        return exiting;
    };
    const Outcome encoded = Encode(GetParam(), wav, out, {}, hooks);
    EXPECT_FALSE(encoded.ok());
    EXPECT_EQ(encoded.message(),
              QStringLiteral("The %1 encoding of %2 was stopped")
                  .arg(GetParam() == Format::Vorbis ? QStringLiteral("Ogg Vorbis")
                                                    : QStringLiteral("Opus"),
                       out));
    EXPECT_EQ(asked, 3) << "no chunk is encoded after the stop";
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(Read(wav), original);
}

TEST_P(OggOpus, BadWavesAndFoldersAreNamedWithTheReason) {
    const QString out = Out(QStringLiteral("out"));
    const QString missing = Path(QStringLiteral("missing.wav"));
    EXPECT_EQ(Encode(GetParam(), missing, out).message(),
              QStringLiteral("Error reading wave file %1: no such file").arg(missing));
    EXPECT_FALSE(QFile::exists(out));

    // A file already there is kept when the wave cannot be read.
    Write(out, "an earlier file");
    EXPECT_FALSE(Encode(GetParam(), missing, out).ok());
    EXPECT_EQ(Read(out), QByteArray("an earlier file"));
    QFile::remove(out);

    const QString bad = Path(QStringLiteral("bad.wav"));
    Write(bad, "this is not a wave");
    EXPECT_EQ(Encode(GetParam(), bad, out).message(),
              QStringLiteral("Invalid wave file... ") + bad);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(Read(bad), QByteArray("this is not a wave"));

    // A wave cut short, its header promising more samples than there are: the samples that
    // are there are encoded, as the wave reader reads them.
    const QString cut = Path(QStringLiteral("cut.wav"));
    MakeTone(cut, 22050, 16, 1, 2.0);
    const int64_t header = QFileInfo(cut).size() - 2 * Soxi(cut, "-s").toLongLong();
    QFile::resize(cut, 30000);
    ASSERT_TRUE(Encode(GetParam(), cut, out).ok());
    EXPECT_EQ(Soxi(OggDecoded(GetParam(), out), "-s").toLongLong(), (30000 - header) / 2);
    ASSERT_TRUE(QFile::remove(out));

    // ADPCM cannot be read as samples.
    const QString adpcm = Path(QStringLiteral("adpcm.wav"));
    Write(adpcm, Riff(Fmt(2, 1, 22050, 4), QByteArray(4000, '\0')));
    EXPECT_EQ(Encode(GetParam(), adpcm, out).message(),
              QStringLiteral("This wave file is not valid for conversion: ") + adpcm);
    EXPECT_FALSE(QFile::exists(out));

    const QString wav = Path(QStringLiteral("ok.wav"));
    MakeTone(wav, 22050, 16, 1, 1.0);
    const QString nowhere = Path(QStringLiteral("no/such/folder/out")) + Extension(GetParam());
    EXPECT_EQ(Encode(GetParam(), wav, nowhere).message(),
              QStringLiteral("No such file or directory: ") + nowhere);
    EXPECT_TRUE(captured_.all.isEmpty()) << "the caller shows what it is told";
}

TEST_P(OggOpus, AnEmptyWaveMakesAFileOfNoLength) {
    // Vorbis ends where the samples end. libopusenc cannot end an Opus stream of no samples,
    // so an empty wave gives one sample of silence there.
    const int64_t most = GetParam() == Format::Vorbis ? 0 : 1;
    const QString out = Out(QStringLiteral("empty"));
    // A file of nothing at all, and a wave of a header and no samples.
    const QString zero = Path(QStringLiteral("zero.wav"));
    Write(zero, QByteArray());
    const QString header = Path(QStringLiteral("header.wav"));
    Write(header, Riff(Fmt(1, 1, 22050, 16), QByteArray()));
    for (const QString& wav : {zero, header}) {
        SCOPED_TRACE(wav.toStdString());
        for (int run = 0; run < 5; ++run) {
            ASSERT_TRUE(Encode(GetParam(), wav, out).ok());
            EXPECT_LE(Soxi(OggDecoded(GetParam(), out), "-s").toLongLong(), most);
        }
    }
}

TEST_P(OggOpus, AFullDiskNamesTheFileAndTheCause) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(64);
    ASSERT_EQ(disk.Error(), QString());
    disk.Fill();
    const QString out = disk.Path() + QStringLiteral("/speech") + Extension(GetParam());
    // Twenty seconds fail while encoding; half a second fits in the file's buffer and fails
    // when it is written out at the end.
    for (const double seconds : {20.0, 0.5}) {
        SCOPED_TRACE(seconds);
        const QString wav = Path(QStringLiteral("speech.wav"));
        MakeTone(wav, 22050, 16, 1, seconds);
        const Outcome encoded = Encode(GetParam(), wav, out);
        EXPECT_FALSE(encoded.ok());
        EXPECT_EQ(encoded.message(), QStringLiteral("Write error: cannot write ") + out +
                                         QStringLiteral(": No space left on device"));
        EXPECT_FALSE(QFile::exists(out)) << "the partial file is removed";
        EXPECT_TRUE(QFile::exists(wav));
    }
}

TEST_P(OggOpus, AReadOnlyFolderNamesTheFileAndTheCause) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(64, true);
    ASSERT_EQ(disk.Error(), QString());
    const QString wav = Path(QStringLiteral("tone.wav"));
    MakeTone(wav, 22050, 16, 1, 1.0);
    const QString out = disk.Path() + QStringLiteral("/speech") + Extension(GetParam());
    EXPECT_EQ(Encode(GetParam(), wav, out).message(),
              QStringLiteral("Read-only file system: ") + out);
}

INSTANTIATE_TEST_SUITE_P(, OggOpus, testing::Values(Format::Vorbis, Format::Opus),
                         [](const testing::TestParamInfo<Format>& info) {
                             return info.param == Format::Vorbis ? "Vorbis" : "Opus";
                         });

TEST(VorbisQualities, AHigherLevelMakesALargerFileAndOutOfRangeIsRefused) {
    QTemporaryDir dir;
    const QString speech = MakeSpeech(dir.path(), 250);
    const QString ogg = dir.path() + QStringLiteral("/speech.ogg");
    // eSpeak NG's rate and Flite's two.
    for (const int rate : {22050, 16000, 8000}) {
        SCOPED_TRACE(rate);
        const QString wav = dir.path() + QStringLiteral("/speech%1.wav").arg(rate);
        audiotools::Run(QStringLiteral("sox"),
                        {speech, QStringLiteral("-r"), QString::number(rate), wav});
        int64_t previous = 0;
        for (const VorbisQuality& quality : kVorbisQualities) {
            SCOPED_TRACE(quality.label);
            const Outcome encoded = EncodeVorbis(wav, ogg, quality.level, {});
            ASSERT_TRUE(encoded.ok()) << encoded.message().toStdString();
            const int64_t size = QFileInfo(ogg).size();
            EXPECT_GT(size, previous * 11 / 10) << "each level a tenth larger at least";
            previous = size;
            EXPECT_EQ(Soxi(OggDecoded(Format::Vorbis, ogg), "-s").toLongLong(),
                      Soxi(wav, "-s").toLongLong());
        }
    }
    EXPECT_EQ(EncodeVorbis(speech, ogg, 11, {}).message(),
              QStringLiteral("11 is not a Vorbis quality level (-1 to 10): ") + ogg);
    EXPECT_FALSE(QFile::exists(ogg));
}

TEST(OpusBitRates, TheFileIsAsLargeAsItsBitRateSays) {
    QTemporaryDir dir;
    const QString wav = MakeSpeech(dir.path(), 600);
    const QString opus = dir.path() + QStringLiteral("/speech.opus");
    const double seconds = Soxi(wav, "-D").toDouble();
    ASSERT_GT(seconds, 20.0);
    for (const int kbps : kOpusBitRates) {
        SCOPED_TRACE(kbps);
        ASSERT_TRUE(EncodeOpus(wav, opus, kbps, {}).ok());
        // Variable bit rate: speech with its pauses comes out near the rate asked for; the
        // pages and headers add a few percent.
        const double rate = double(QFileInfo(opus).size()) * 8.0 / 1000.0 / seconds;
        ::testing::Test::RecordProperty(QStringLiteral("kbps%1").arg(kbps).toStdString(),
                                        QString::number(rate, 'f', 1).toStdString());
        EXPECT_GT(rate, kbps * 0.75);
        EXPECT_LT(rate, kbps * 1.25);
    }
    EXPECT_EQ(EncodeOpus(wav, opus, 3, {}).message(),
              QStringLiteral("3 kbit/s is not an Opus bit rate (6 to 256): ") + opus);
    EXPECT_FALSE(QFile::exists(opus));
}
