// quillsong-cli --subtitles: an SRT and an LRC file beside each file it makes, timed by the
// speech in it; without the option, none.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstring>
#include <vector>

#include "tests/audio/audiotools.h"
#include "tests/cli/clirun.h"
#include "tests/common/printers.h"
#include "tests/common/subtitlefiles.h"

namespace {

// How far a cue may start from the audio of its sentence.
constexpr double kToleranceMs = 50;
// How far the engine's output may move from one reading of a text to the next.
constexpr double kEngineJitterMs = 2;
constexpr int kMp3Rate = 44100;  // of 64 kbps

class CliSubtitles : public clirun::Folder {};

// The samples of a 16-bit mono wave file: what follows its "data" chunk header.
std::vector<int16_t> WaveSamples(const QString& wav) {
    const QByteArray bytes = audiotools::Read(wav);
    const qsizetype data = bytes.indexOf("data");
    EXPECT_GT(data, 0) << wav.toStdString();
    const QByteArray samples = bytes.mid(data + 8);
    std::vector<int16_t> result(size_t(samples.size()) / 2);
    std::memcpy(result.data(), samples.constData(), result.size() * 2);
    return result;
}

}  // namespace

TEST_F(CliSubtitles, EachFileGetsItsSubtitlesAndLyricsWhenAskedFor) {
    const QString input = Text(QStringLiteral("fox.txt"),
                               "The quick brown fox jumps over the lazy dog. A second sentence "
                               "follows it.");
    const clirun::Result made =
        clirun::Run({QStringLiteral("--subtitles"), QStringLiteral("--out"), Out(), input});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("fox.lrc"), QStringLiteral("fox.srt"),
                                    QStringLiteral("fox.wav")}));
    const QList<SubtitleCue> cues = ReadSrt(dir_.filePath(QStringLiteral("out/fox.srt")));
    ASSERT_EQ(cues.size(), 2);
    EXPECT_EQ(Texts(cues),
              (QStringList{QStringLiteral("The quick brown fox jumps over the lazy dog."),
                           QStringLiteral("A second sentence follows it.")}));
    const QString wav = dir_.filePath(QStringLiteral("out/fox.wav"));
    const int rate = audiotools::Soxi(wav, "-r").toInt();
    const int64_t secondMs = SecondSentenceMs(WaveSamples(wav), rate);
    std::printf("converter: second sentence at %lld ms, cue %lld ms\n", (long long)secondMs,
                (long long)cues[1].startMs);
    EXPECT_NEAR(double(cues[1].startMs), double(secondMs), kToleranceMs);
    QString title;
    const QList<SubtitleCue> lyrics = ReadLrc(dir_.filePath(QStringLiteral("out/fox.lrc")), &title);
    EXPECT_EQ(title, QStringLiteral("fox"));
    EXPECT_EQ(Texts(lyrics), Texts(cues));

    // An MP3 gets them too, with the same times.
    QDir(Out()).removeRecursively();
    const clirun::Result mp3 =
        clirun::Run({QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--bitrate"),
                     QStringLiteral("64"), QStringLiteral("--subtitles"), QStringLiteral("--out"),
                     Out(), input});
    ASSERT_EQ(mp3.exitCode, 0) << mp3.err.toStdString();
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("fox.lrc"), QStringLiteral("fox.mp3"),
                                    QStringLiteral("fox.srt")}));
    const QList<SubtitleCue> again = ReadSrt(dir_.filePath(QStringLiteral("out/fox.srt")));
    ASSERT_EQ(again.size(), 2);
    EXPECT_NEAR(double(again[1].startMs), double(cues[1].startMs), kEngineJitterMs);
    EXPECT_NEAR(
        double(again[1].startMs),
        double(SecondSentenceMs(
            audiotools::DecodedPcm(dir_.filePath(QStringLiteral("out/fox.mp3"))), kMp3Rate)),
        kToleranceMs);

    // Without the option: the audio alone.
    QDir(Out()).removeRecursively();
    const clirun::Result plain = clirun::Run({QStringLiteral("--out"), Out(), input});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("fox.wav")});
}

TEST_F(CliSubtitles, SubtitlesThatCannotBeWrittenFailTheRunButKeepTheAudio) {
    const QString input = Text(QStringLiteral("kept.txt"), "Some words. And more.");
    ASSERT_TRUE(QDir().mkpath(dir_.filePath(QStringLiteral("out/kept.srt"))));
    const clirun::Result run =
        clirun::Run({QStringLiteral("--subtitles"), QStringLiteral("--out"), Out(), input});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(dir_.filePath(QStringLiteral("out/kept.srt")) +
                                 QStringLiteral(" could not be saved")))
        << run.err.toStdString();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("kept.wav")});
}
