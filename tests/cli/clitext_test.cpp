// The text quillsong-cli reads: files in UTF-16 and UTF-32, control characters, and files that
// are not text at all. Its waves are measured with soxi.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "tests/audio/audiotools.h"
#include "tests/cli/clirun.h"
#include "tests/common/printers.h"

namespace {

using clirun::Result;

class CliText : public clirun::Folder {
  protected:
    void SetUp() override {
        clirun::Folder::SetUp();
        ASSERT_TRUE(QDir().mkpath(Out()));
    }
    static Result Run(const QStringList& args, const QByteArray& input = {}) {
        return clirun::Run(args, input);
    }
    // Samples of the wave the converter makes of one file with the 8000 Hz Flite voice.
    qint64 Samples(const QString& path) const {
        const Result result = Run({QStringLiteral("--voice"), QStringLiteral("Flite kal"),
                                   QStringLiteral("--out"), Out(), path});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QString wave = result.out.trimmed();
        const qint64 samples = audiotools::Soxi(wave, "-s").toLongLong();
        QFile::remove(wave);
        return samples;
    }
};

}  // namespace

TEST_F(CliText, FilesThatAreNotTextAreRefusedBeforeAnythingIsSpoken) {
    const QString program = dir_.filePath(QStringLiteral("program.txt"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/ls"), program));
    const Result file = Run({QStringLiteral("--out"), Out(), program});
    EXPECT_EQ(file.exitCode, 1);
    EXPECT_TRUE(file.err.contains(program + QStringLiteral(" does not look like a text file")))
        << file.err.toStdString();
    QFile ls(QStringLiteral("/bin/ls"));
    ASSERT_TRUE(ls.open(QIODevice::ReadOnly));
    const Result piped = Run({QStringLiteral("--out"), Out()}, ls.readAll());
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_TRUE(piped.err.contains(QStringLiteral("standard input does not look like a text file")))
        << piped.err.toStdString();
    EXPECT_EQ(Files(), QStringList());
}

TEST_F(CliText, ControlCharactersAreBlanksAndMarkedFilesReadLikeTheirUtf8Text) {
    const qint64 both = Samples(Text(QStringLiteral("blank.txt"), "Hello world."));
    EXPECT_GT(both, Samples(Text(QStringLiteral("hello.txt"), "Hello.")) + 1000);
    EXPECT_EQ(Samples(Text(QStringLiteral("nul.txt"), QByteArray("Hello\0world.", 12))), both)
        << "the word after the NUL is spoken";

    // Longer than one chunk, with letters outside ASCII and outside the first plane.
    QString text;
    for (int i = 1; text.size() < 3500; ++i) {
        text +=
            QStringLiteral("Caf\u00e9 number %1 serves cr\u00e8me br\u00fbl\u00e9e \U0001F600. ")
                .arg(i);
    }
    const qint64 plain = Samples(Text(QStringLiteral("plain.txt"), text.toUtf8()));
    EXPECT_GT(plain, 8000 * 60);
    for (const auto encoding :
         {QStringConverter::Utf16LE, QStringConverter::Utf16BE, QStringConverter::Utf32LE}) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        const QString name = QString::fromLatin1(QStringConverter::nameForEncoding(encoding));
        EXPECT_EQ(Samples(Text(name + QStringLiteral(".txt"), encoder.encode(text))), plain)
            << name.toStdString();
    }
}

TEST_F(CliText, StandardInputOverItsLimitIsRefusedWithTheLimit) {
    QByteArray text;
    while (text.size() <= 10 * 1000 * 1000) {
        text += "Words of a long text. ";
    }
    const Result piped = Run({QStringLiteral("--out"), Out()}, text);
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_EQ(piped.err, QStringLiteral("quillsong-cli: standard input holds more than 10 MB, the "
                                        "most it may hold; save the text in a file and give its "
                                        "name instead (a file is read piece by piece, whatever "
                                        "its size)\n"));
    EXPECT_EQ(Files(), QStringList());
}
