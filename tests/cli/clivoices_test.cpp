// The converter speaks as the window does: each voice's own settings, the same samples for the
// same text wherever it stands, and files read in pieces that sound as the whole text.
#include <gtest/gtest.h>

#include <QDir>

#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "tests/audio/audiotools.h"
#include "tests/cli/clirun.h"
#include "tests/common/printers.h"
#include "text/ttsfilestream.h"

namespace {

class CliVoices : public clirun::Folder {
  protected:
    QString Wave(const QString& title) const {
        return QDir(Out()).filePath(title + QStringLiteral(".wav"));
    }
    // Converts the inputs with a voice; false (with the reason) when the run failed.
    ::testing::AssertionResult Convert(const QString& voice, const QStringList& inputs,
                                       const QByteArray& standardInput = {}) const {
        const clirun::Result result = clirun::Run(
            QStringList{QStringLiteral("--voice"), voice, QStringLiteral("--out"), Out()} + inputs,
            standardInput);
        if (result.exitCode != 0) {
            return ::testing::AssertionFailure() << result.err.toStdString();
        }
        return ::testing::AssertionSuccess();
    }
    static int64_t Samples(const QString& wave) {
        return audiotools::Soxi(wave, "-s").toLongLong();
    }
};

// Sentences of plain words, several pieces long once over 5,120 bytes.
QByteArray Sentences(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += "Sentence " + QByteArray::number(i) + " tells what the reader hears next. ";
    }
    return text;
}

}  // namespace

TEST_F(CliVoices, EachVoiceSpeaksAtTheSpeedStoredForIt) {
    const QString voice = QStringLiteral("Flite slt");
    const QString text = Text(QStringLiteral("speed.txt"), Sentences(4));
    ASSERT_TRUE(Convert(voice, {text}));
    const int64_t atNormalSpeed = Samples(Wave(QStringLiteral("speed")));
    ASSERT_GT(atNormalSpeed, 0);

    {  // as Edit Voice stores a faster speed
        TPreferences prefs;
        TTTSForm driver(prefs);
        driver.Initialize();
        prefs.ReadAll();
        driver.LoadVoiceSettings();
        TVoiceEntry* entry = driver.FindVoice(voice);
        ASSERT_NE(entry, nullptr);
        entry->Speed = 227;
        driver.SaveVoiceSettings();
        ASSERT_TRUE(prefs.WriteAll());
    }
    ASSERT_TRUE(Convert(voice, {text}));
    EXPECT_LT(Samples(Wave(QStringLiteral("speed"))), atNormalSpeed * 6 / 10);
}

TEST_F(CliVoices, ATextGivesTheSameSamplesAloneAndSecondInAList) {
    // slt draws noise for its voice, eSpeak carries its pitch flutter on: what was spoken
    // before must change neither.
    const QString first = Text(QStringLiteral("first.txt"), "Something else is said first.");
    const QString text = Text(QStringLiteral("text.txt"), Sentences(3));
    QStringList voices = {QStringLiteral("Flite slt"), QStringLiteral("eSpeak English (America)")};
#if defined(__SANITIZE_ADDRESS__)
    voices.removeLast();  // under the leak checker eSpeak NG is never unloaded, so never reset
#endif
    for (const QString& voice : std::as_const(voices)) {
        ASSERT_TRUE(Convert(voice, {text}));
        const QByteArray alone = audiotools::Read(Wave(QStringLiteral("text")));
        ASSERT_TRUE(Convert(voice, {first, text}));
        const QByteArray second = audiotools::Read(Wave(QStringLiteral("text")));
        EXPECT_TRUE(alone == second) << qPrintable(voice) << ": " << alone.size()
                                     << " bytes alone, " << second.size() << " second in the list";
    }
}

TEST_F(CliVoices, AFileReadInPiecesSoundsAsTheWholeText) {
    // Over three pieces: each piece's last sentence keeps its pause before the next piece.
    const QByteArray sentences = Sentences(360);
    ASSERT_GT(sentences.size(), 3 * TTTSFileStream::kChunkSize);
    const QString voice = QStringLiteral("eSpeak English (America)");
    ASSERT_TRUE(Convert(voice, {Text(QStringLiteral("pieces.txt"), sentences)}));
    ASSERT_TRUE(Convert(voice, {QStringLiteral("--title"), QStringLiteral("whole")}, sentences));
    const int64_t pieces = Samples(Wave(QStringLiteral("pieces")));
    const int64_t whole = Samples(Wave(QStringLiteral("whole")));
    EXPECT_EQ(pieces, whole);
    EXPECT_TRUE(audiotools::Read(Wave(QStringLiteral("pieces"))) ==
                audiotools::Read(Wave(QStringLiteral("whole"))));
}
