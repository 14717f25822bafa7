// quillsong-cli writing Ogg Vorbis and Opus files, checked with their standard tools.
#include <gtest/gtest.h>

#include <QFile>

#include "tests/audio/audiotools.h"
#include "tests/audio/oggtools.h"
#include "tests/cli/clirun.h"

namespace {

class CliFormats : public clirun::Folder {};

}  // namespace

TEST_F(CliFormats, OggVorbisAndOpusDecodeToTheSpeechsLengthWithTheirTags) {
    const QString first = Text(QStringLiteral("first.txt"), "The first letter is short.");
    const QString second = Text(QStringLiteral("second.txt"), "The second letter says more.");
    const clirun::Result wave = clirun::Run({QStringLiteral("--out"), Out(), first});
    ASSERT_EQ(wave.exitCode, 0) << wave.err.toStdString();
    const QString samples = audiotools::Soxi(Out() + QStringLiteral("/first.wav"), "-s");
    const QString rate = audiotools::Soxi(Out() + QStringLiteral("/first.wav"), "-r");
    ASSERT_GT(samples.toLongLong(), 0);
    const struct {
        OggFormat format;
        const char* name;
        QStringList options;
    } kinds[] = {
        {OggFormat::Vorbis, ".ogg", {QStringLiteral("--format"), QStringLiteral("ogg")}},
        {OggFormat::Opus,
         ".opus",
         {QStringLiteral("--format"), QStringLiteral("opus"), QStringLiteral("--bitrate"),
          QStringLiteral("16")}},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const clirun::Result made =
            clirun::Run(kind.options + QStringList{QStringLiteral("--out"), Out(), first, second});
        ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
        const QString file = Out() + QStringLiteral("/first") + QLatin1String(kind.name);
        EXPECT_EQ(made.out, file + QLatin1Char('\n') + Out() + QStringLiteral("/second") +
                                QLatin1String(kind.name) + QLatin1Char('\n'));
        // The same speech as the wave, to the sample, at the same rate.
        const QString decoded = OggDecoded(kind.format, file);
        EXPECT_EQ(audiotools::Soxi(decoded, "-s"), samples);
        EXPECT_EQ(audiotools::Soxi(decoded, "-r"), rate);
        QFile::remove(decoded);
        const std::multimap<QString, QString> tags = OggComments(kind.format, file);
        const auto one = [&tags](const char* key) {
            const auto found = tags.find(QString::fromLatin1(key));
            return found == tags.end() ? QString() : found->second;
        };
        EXPECT_EQ(one("TITLE"), QStringLiteral("first"));
        EXPECT_EQ(one("TRACKNUMBER"), QStringLiteral("1"));
        EXPECT_EQ(one("TRACKTOTAL"), QStringLiteral("2"));
        EXPECT_EQ(one("ALBUM"), QStringLiteral("first"));
        EXPECT_FALSE(one("ARTIST").isEmpty());
        EXPECT_TRUE(one("COMMENT").startsWith(QStringLiteral("Quillsong MP3 ")));
    }
}
