// The read-to-file job turning a wave into an MP3 with the real encoder: what it reports to its
// caller, which files it leaves, and its stop when the program ends. The files are checked with
// soxi and mpg123.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/readtofilejob.h"
#include "tests/audio/audiotools.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"

using namespace audiotools;

namespace {

class Mp3Job : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files, QDir::Name); }
    void Clear() {
        for (const QString& file : Files()) {
            QFile::remove(PathOf(file));
        }
    }

    QTemporaryDir dir_;
    CapturedMessages captured_;
};

}  // namespace

TEST_F(Mp3Job, AFailureSaysWhyAndWhereTheSpeechIsKept) {
    const OutputPaths paths =
        ReadToFileJob::Paths(dir_.path(), QStringLiteral("News"), OutputFormat::Mp3);
    const QString kept = PathOf(QStringLiteral("News.wav"));

    // Not a wave at all: nothing to keep under the article's name.
    Write(paths.Wave, "this is not a wave");
    ReadToFileJob::Mp3Result result = ReadToFileJob::MakeMp3(paths, 32, QStringLiteral("News"), {});
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.errors, QStringList{QStringLiteral("Invalid wave file...")});
    EXPECT_EQ(Files(), QStringList{QStringLiteral("temp.wav")});

    // The encoder refuses the bit rate: its reason, then where the speech went.
    Clear();
    MakeTone(paths.Wave, 22050, 16, 1, 1.0);
    result = ReadToFileJob::MakeMp3(paths, 0, QStringLiteral("News"), {});
    EXPECT_FALSE(result.made);
    EXPECT_EQ(
        result.errors,
        (QStringList{
            QStringLiteral("Error opening encoding stream 2"),
            QStringLiteral("The MP3 file could not be made. The speech is kept in ") + kept}));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("News.wav")});
    EXPECT_EQ(Soxi(kept, "-s"), QStringLiteral("22050"));

    // 8 kHz must be raised to 22050 Hz for 32 kbps, which a 24-bit wave cannot be.
    Clear();
    MakeTone(paths.Wave, 8000, 24, 1, 1.0);
    result = ReadToFileJob::MakeMp3(paths, 32, QStringLiteral("News"), {});
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.errors,
              (QStringList{QStringLiteral("This wave file is not valid for conversion"),
                           QStringLiteral("The speech could not be resampled for the MP3 file. The "
                                          "speech is kept in ") +
                               kept}));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("News.wav")});
    EXPECT_TRUE(captured_.all.isEmpty()) << "the caller shows what it is told";
}

TEST_F(Mp3Job, AMadeMp3LeavesNoWaveAndTheProgramsEndStopsTheEncoding) {
    const OutputPaths paths =
        ReadToFileJob::Paths(dir_.path(), QStringLiteral("Talk"), OutputFormat::Mp3);
    // 11025 Hz is raised to 22050 Hz for 32 kbps on the way.
    MakeTone(paths.Wave, 11025, 16, 1, 2.0);
    ReadToFileJob::Mp3Result result = ReadToFileJob::MakeMp3(paths, 32, QStringLiteral("Talk"), {});
    EXPECT_TRUE(result.made);
    EXPECT_EQ(result.errors, QStringList());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Talk.mp3")});
    EXPECT_GE(DecodedSamples(paths.Mp3), 2 * 22050);

    // The program ends while the first chunks are encoded: the MP3 ends well-formed where the
    // encoding stopped, and the speech stays for the user.
    Clear();
    MakeTone(paths.Wave, 22050, 16, 1, 20.0);
    bool exiting = false;
    ReadToFileJob::Hooks hooks;
    hooks.SetProgress = [&exiting](int percent) { exiting = exiting || percent > 0; };
    hooks.Exiting = [&exiting] { return exiting; };
    result = ReadToFileJob::MakeMp3(paths, 32, QStringLiteral("Talk"), hooks);
    EXPECT_TRUE(result.made);
    EXPECT_EQ(result.errors, QStringList());
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("Talk.mp3"), QStringLiteral("temp.wav")}));
    const int64_t decoded = DecodedSamples(paths.Mp3);
    EXPECT_GT(decoded, 0);
    EXPECT_LT(decoded, 22050 * 5) << "only the chunks before the end";

    // Once the program is ending, nothing starts.
    Clear();
    MakeTone(paths.Wave, 22050, 16, 1, 1.0);
    result = ReadToFileJob::MakeMp3(paths, 32, QStringLiteral("Talk"), hooks);
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.errors, QStringList());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("temp.wav")});
    EXPECT_TRUE(captured_.all.isEmpty());
}
