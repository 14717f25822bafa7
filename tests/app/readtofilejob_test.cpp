// The read-to-file job turning a wave into an MP3 with the real encoder: what it reports to its
// caller, which files it leaves, and its stop when the program ends. The files are checked with
// soxi and mpg123.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include "app/readtofilejob.h"
#include "tests/audio/audiotools.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"

using namespace audiotools;

namespace {

// Owner, group and others; the "user" flags only repeat one of them for this process.
constexpr QFile::Permissions kEveryPermission =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup |
    QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
// What a file made under umask 022 allows.
constexpr QFile::Permissions kReadableByAll =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr mode_t kUsualUmask = 022;

AudioTags Titled(const QString& title) {
    AudioTags tags;
    tags.title = title;
    return tags;
}

class MakeMp3 : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        m_umask = ::umask(kUsualUmask);
    }
    void TearDown() override { ::umask(m_umask); }
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    // Hidden files too: a temporary left behind shows.
    QStringList Files() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    void Clear() {
        for (const QString& file : Files()) {
            QFile::remove(PathOf(file));
        }
    }

    QTemporaryDir dir_;
    CapturedMessages captured_;
    mode_t m_umask = 0;
};

}  // namespace

TEST_F(MakeMp3, AFailureSaysWhyAndWhereTheSpeechIsKept) {
    const OutputPaths paths =
        ReadToFileJob::Paths(dir_.path(), QStringLiteral("News"), OutputFormat::Mp3);
    const QString kept = PathOf(QStringLiteral("News.wav"));

    // The temporaries are hidden, unique and already there, so no other run can take them.
    const QStringList temporaries{QFileInfo(paths.Wave).fileName(),
                                  QFileInfo(paths.Resampled).fileName(),
                                  QFileInfo(paths.Partial).fileName()};
    EXPECT_EQ(temporaries.size(), QSet<QString>(temporaries.begin(), temporaries.end()).size());
    for (const QString& name : temporaries) {
        EXPECT_TRUE(name.startsWith(QStringLiteral(".quillsong-"))) << name.toStdString();
    }
    EXPECT_EQ(Files().size(), 3);
    EXPECT_EQ(paths.Encoded, PathOf(QStringLiteral("News.mp3")));
    EXPECT_EQ(paths.Final, paths.Encoded);

    // Not a wave at all: nothing to keep under the article's name, nor any temporary.
    Write(paths.Wave, "this is not a wave");
    ReadToFileJob::EncodedResult result =
        ReadToFileJob::MakeMp3(paths, 32, Titled(QStringLiteral("News")), {});
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.errors, QStringList{QStringLiteral("Invalid wave file...")});
    EXPECT_EQ(Files(), QStringList());

    // The encoder refuses the bit rate: its reason, then where the speech went.
    Clear();
    MakeTone(paths.Wave, 22050, 16, 1, 1.0);
    result = ReadToFileJob::MakeMp3(paths, 0, Titled(QStringLiteral("News")), {});
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
    result = ReadToFileJob::MakeMp3(paths, 32, Titled(QStringLiteral("News")), {});
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.errors,
              (QStringList{QStringLiteral("This wave file is not valid for conversion"),
                           QStringLiteral("The speech could not be resampled for the MP3 file. The "
                                          "speech is kept in ") +
                               kept}));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("News.wav")});
    EXPECT_TRUE(captured_.all.isEmpty()) << "the caller shows what it is told";
}

TEST_F(MakeMp3, AMadeMp3LeavesNoWaveAndTheProgramsEndStopsTheEncoding) {
    const OutputPaths paths =
        ReadToFileJob::Paths(dir_.path(), QStringLiteral("Talk"), OutputFormat::Mp3);
    // 11025 Hz is raised to 22050 Hz for 32 kbps on the way.
    MakeTone(paths.Wave, 11025, 16, 1, 2.0);
    ReadToFileJob::EncodedResult result =
        ReadToFileJob::MakeMp3(paths, 32, Titled(QStringLiteral("Talk")), {});
    EXPECT_TRUE(result.made);
    EXPECT_EQ(result.errors, QStringList());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Talk.mp3")});
    EXPECT_GE(DecodedSamples(paths.Encoded), 2 * 22050);
    EXPECT_EQ(QFileInfo(paths.Encoded).permissions() & kEveryPermission, kReadableByAll);

    // The program ends while the first chunks are encoded: the encoding stops, and neither an
    // MP3 cut short nor a temporary is left; a file made earlier under the name stays whole.
    Clear();
    const QByteArray earlier = "an earlier whole MP3";
    Write(paths.Encoded, earlier);
    MakeTone(paths.Wave, 22050, 16, 1, 20.0);
    bool exiting = false;
    ReadToFileJob::Hooks hooks;
    hooks.SetProgress = [&exiting](int percent) { exiting = exiting || percent > 0; };
    hooks.Exiting = [&exiting] { return exiting; };
    result = ReadToFileJob::MakeMp3(paths, 32, Titled(QStringLiteral("Talk")), hooks);
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.errors, QStringList());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Talk.mp3")});
    QFile kept(paths.Encoded);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), earlier);

    // Once the program is ending, nothing starts.
    Clear();
    MakeTone(paths.Wave, 22050, 16, 1, 1.0);
    result = ReadToFileJob::MakeMp3(paths, 32, Titled(QStringLiteral("Talk")), hooks);
    EXPECT_FALSE(result.made);
    EXPECT_EQ(result.errors, QStringList());
    EXPECT_EQ(Files(), QStringList());
    EXPECT_TRUE(captured_.all.isEmpty());
}

TEST_F(MakeMp3, AWaveTakesItsFinalNameOnlyWhenWhole) {
    const OutputPaths paths =
        ReadToFileJob::Paths(dir_.path(), QStringLiteral("Notes"), OutputFormat::Wav);
    EXPECT_EQ(paths.Final, PathOf(QStringLiteral("Notes.wav")));
    EXPECT_TRUE(paths.Encoded.isEmpty());
    EXPECT_TRUE(paths.Resampled.isEmpty());
    EXPECT_TRUE(QFileInfo(paths.Wave).fileName().startsWith(QStringLiteral(".quillsong-")));
    EXPECT_TRUE(paths.Wave.endsWith(QStringLiteral(".wav")));
    // A second reading into the same folder gets a name of its own.
    const OutputPaths other =
        ReadToFileJob::Paths(dir_.path(), QStringLiteral("Notes"), OutputFormat::Wav);
    EXPECT_NE(other.Wave, paths.Wave);
    ReadToFileJob::RemoveTemporaries(other);
    EXPECT_EQ(Files(), QStringList{QFileInfo(paths.Wave).fileName()});

    // Messages about the temporary name the file the user knows.
    EXPECT_EQ(ReadToFileJob::UserText(paths, QStringLiteral("Cannot write ") + paths.Wave +
                                                 QStringLiteral(": No space left on device")),
              QStringLiteral("Cannot write ") + paths.Final +
                  QStringLiteral(": No space left on device"));

    // An earlier file of the name is replaced by the whole wave.
    Write(paths.Final, "an earlier file");
    MakeTone(paths.Wave, 22050, 16, 1, 1.0);
    EXPECT_EQ(ReadToFileJob::SaveWave(paths), QString());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Notes.wav")});
    EXPECT_EQ(Soxi(paths.Final, "-s"), QStringLiteral("22050"));
    // The private temporary becomes a file like any other the user makes (umask 022 here).
    EXPECT_EQ(QFileInfo(paths.Final).permissions() & kEveryPermission, kReadableByAll);

    // A folder that takes no file: no temporary, and the reason names the final file.
    QString error;
    const QString missing = PathOf(QStringLiteral("gone"));
    const OutputPaths nowhere =
        ReadToFileJob::Paths(missing, QStringLiteral("Notes"), OutputFormat::Mp3, &error);
    EXPECT_TRUE(nowhere.Wave.isEmpty());
    EXPECT_TRUE(nowhere.Partial.isEmpty());
    EXPECT_EQ(error, QStringLiteral("Cannot write ") + missing +
                         QStringLiteral("/Notes.mp3: No such file or directory"));
}
