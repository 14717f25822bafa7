// quillsong-cli run as its users run it; its files are checked with soxi, mpg123 and id3v2.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/audio/audiotools.h"
#include "tests/common/printers.h"

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

class Cli : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    static Result Run(const QStringList& args, const QByteArray& input = {}) {
        QProcess process;
        process.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"), args);
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString Text(const QString& name, const QByteArray& content) const {
        const QString path = dir_.filePath(name);
        audiotools::Write(path, content);
        return path;
    }
    QString Out() const { return dir_.filePath(QStringLiteral("out")); }
    QStringList Files() const { return QDir(Out()).entryList(QDir::Files, QDir::Name); }
    // Duration and rate of an MP3 as mpg123 decodes it.
    static QString Decoded(const QString& mp3, const char* flag) {
        const QString wave = mp3 + QStringLiteral(".decoded.wav");
        audiotools::Run(QStringLiteral("mpg123"),
                        {QStringLiteral("-q"), QStringLiteral("-w"), wave, mp3});
        const QString value = audiotools::Soxi(wave, flag);
        QFile::remove(wave);
        return value;
    }
    static double Seconds(const QString& mp3) { return Decoded(mp3, "-D").toDouble(); }

    QTemporaryDir dir_;
};

}  // namespace

TEST_F(Cli, UsageErrorsAndFailuresHaveTheirOwnExitCodes) {
    const QString text = Text(QStringLiteral("a.txt"), "Some words.");
    EXPECT_EQ(Run({QStringLiteral("--format"), QStringLiteral("ogg"), text}).exitCode, 2);
    EXPECT_EQ(Run({QStringLiteral("--bitrate"), QStringLiteral("33"), text}).exitCode, 2);
    EXPECT_EQ(Run({QStringLiteral("--no-such-option")}).exitCode, 2);
    const Result voice = Run({QStringLiteral("--voice"), QStringLiteral("Nobody"), text});
    EXPECT_EQ(voice.exitCode, 2);
    EXPECT_TRUE(voice.err.contains(QStringLiteral("Voice Nobody does not exist")));

    const Result folder = Run({QStringLiteral("--out"), Out(), text});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("is not valid"))) << folder.err.toStdString();
    ASSERT_TRUE(QDir().mkpath(Out()));
    const Result empty = Run({QStringLiteral("--out"), Out(), Text(QStringLiteral("e.txt"), {})});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral(" is empty")));
    EXPECT_EQ(
        Run({QStringLiteral("--out"), Out(), dir_.filePath(QStringLiteral("gone.txt"))}).exitCode,
        1);
    EXPECT_EQ(Files(), QStringList()) << "a failed run leaves no file";

    const Result voices = Run({QStringLiteral("--list-voices")});
    EXPECT_EQ(voices.exitCode, 0);
    EXPECT_TRUE(voices.out.contains(QStringLiteral("Flite kal\n")));
    EXPECT_TRUE(voices.out.contains(QStringLiteral("(default)")));
}

TEST_F(Cli, FilesAndStandardInputBecomeTitledMp3Files) {
    ASSERT_TRUE(QDir().mkpath(Out()));
    const QString first = Text(QStringLiteral("report.final.txt"), "The first report is short.");
    const QByteArray sentence = "A longer file is read from disk in pieces. ";
    const QString second = Text(QStringLiteral("second.txt"), sentence.repeated(150));
    const Result each =
        Run({QStringLiteral("--voice"), QStringLiteral("Flite kal"), QStringLiteral("--format"),
             QStringLiteral("mp3"), QStringLiteral("--out"), Out(), first, second});
    ASSERT_EQ(each.exitCode, 0) << each.err.toStdString();
    ASSERT_EQ(Files(), (QStringList{QStringLiteral("report.mp3"), QStringLiteral("second.mp3")}))
        << "the 8000 Hz voice is raised to 22050 Hz and no temporary wave is left";
    const QString report = dir_.filePath(QStringLiteral("out/report.mp3"));
    EXPECT_EQ(Decoded(report, "-r"), QStringLiteral("22050"));
    EXPECT_TRUE(audiotools::Run(QStringLiteral("id3v2"), {QStringLiteral("-l"), report})
                    .contains(QStringLiteral("report")));
    const double reportSeconds = Seconds(report);
    const double secondSeconds = Seconds(dir_.filePath(QStringLiteral("out/second.mp3")));
    EXPECT_GT(reportSeconds, 1.0);
    EXPECT_GT(secondSeconds, 100.0) << "all 1350 words of the large file";

    QDir(Out()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(Out()));
    const Result single =
        Run({QStringLiteral("--voice"), QStringLiteral("Flite kal"), QStringLiteral("--format"),
             QStringLiteral("mp3"), QStringLiteral("--single-file"), QStringLiteral("--out"), Out(),
             first, second});
    ASSERT_EQ(single.exitCode, 0) << single.err.toStdString();
    ASSERT_EQ(Files(), QStringList{QStringLiteral("report.mp3")});
    EXPECT_NEAR(Seconds(report), reportSeconds + secondSeconds, 2.0);

    const Result piped = Run({QStringLiteral("--title"), QStringLiteral("From a pipe"),
                              QStringLiteral("--out"), Out() + QLatin1Char('/')},
                             "Text from standard input.");
    ASSERT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out.trimmed(), dir_.filePath(QStringLiteral("out/From_a_pipe.wav")));
    EXPECT_GT(audiotools::Soxi(piped.out.trimmed(), "-D").toDouble(), 1.0);
}
