// The tags of the MP3 files quillsong-cli makes, as id3v2 reads them back.
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "tests/audio/audiotools.h"
#include "tests/audio/id3frames.h"
#include "tests/cli/clirun.h"
#include "tests/documents/epubmaker.h"

namespace {

using clirun::Result;

class CliTags : public clirun::Folder {
  protected:
    QString Mp3(const QString& name) const { return Out() + QLatin1Char('/') + name; }
};

const QString kTitle = QStringLiteral("TIT2"), kAlbum = QStringLiteral("TALB"),
              kTrack = QStringLiteral("TRCK"), kArtist = QStringLiteral("TPE1"),
              kYear = QStringLiteral("TYER"), kComment = QStringLiteral("COMM");

QString ThisYear() {
    return QString::number(QDate::currentDate().year());
}

// The program and the version the build sets, as the comment carries them.
QString ProgramComment() {
    QFile cmake(QStringLiteral(QUILL_DATA_DIR "/../CMakeLists.txt"));
    EXPECT_TRUE(cmake.open(QIODevice::ReadOnly));
    const QString version =
        QRegularExpression(QStringLiteral("project\\(\\s*Quillsong\\s+VERSION\\s+([0-9.]+)"))
            .match(QString::fromUtf8(cmake.readAll()))
            .captured(1);
    EXPECT_FALSE(version.isEmpty());
    return QStringLiteral("()[eng]: Quillsong MP3 ") + version;
}

// The voice --list-voices marks as the default.
QString DefaultVoice() {
    const Result voices = clirun::Run({QStringLiteral("--list-voices")});
    for (const QString& line : voices.out.split(QLatin1Char('\n'))) {
        if (line.endsWith(QStringLiteral("  (default)"))) {
            return line.chopped(11);
        }
    }
    ADD_FAILURE() << "no default voice in " << voices.out.toStdString();
    return {};
}

}  // namespace

TEST_F(CliTags, TheChaptersOfABookAreTracksOfItsAlbum) {
    EpubBook book;
    book.title = QStringLiteral("Garden Book");
    book.pages = {TextPage(QStringLiteral("one.xhtml"), QStringLiteral("Seeds"),
                           QStringLiteral("<h1>Seeds</h1><p>Sow in spring.</p>")),
                  TextPage(QStringLiteral("two.xhtml"), QStringLiteral("Water"),
                           QStringLiteral("<h1>Water</h1><p>Water in summer.</p>")),
                  TextPage(QStringLiteral("three.xhtml"), QStringLiteral("Harvest"),
                           QStringLiteral("<h1>Harvest</h1><p>Pick in autumn.</p>"))};
    const QString epub = dir_.filePath(QStringLiteral("garden.epub"));
    ASSERT_TRUE(WriteEpub(epub, book));
    const Result read = clirun::Run(
        {QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--out"), Out(), epub});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    const QStringList names{QStringLiteral("01 Seeds.mp3"), QStringLiteral("02 Water.mp3"),
                            QStringLiteral("03 Harvest.mp3")};
    ASSERT_EQ(Files(), names);
    const QString voice = DefaultVoice();
    ASSERT_FALSE(voice.isEmpty());
    const QString comment = ProgramComment();
    for (int i = 0; i < names.size(); ++i) {
        const QMap<QString, QString> frames = Id3Frames(Mp3(names[i]));
        EXPECT_EQ(frames.value(kTitle), names[i].chopped(4));
        EXPECT_EQ(frames.value(kAlbum), QStringLiteral("Garden Book"));
        EXPECT_EQ(frames.value(kTrack), QStringLiteral("%1/3").arg(i + 1));
        EXPECT_EQ(frames.value(kArtist), voice) << "the default voice reads the book";
        EXPECT_EQ(frames.value(kYear), ThisYear());
        EXPECT_EQ(frames.value(kComment), comment);
    }
}

TEST_F(CliTags, FilesReadAsSeveralAreTracksAndAFileAloneIsNone) {
    const QString first = Text(QStringLiteral("letters.txt"), "The first letter.");
    const QString second = Text(QStringLiteral("replies.txt"), "And the reply to it.");
    const Result both = clirun::Run({QStringLiteral("--voice"), QStringLiteral("Flite kal"),
                                     QStringLiteral("--format"), QStringLiteral("mp3"),
                                     QStringLiteral("--out"), Out(), first, second});
    ASSERT_EQ(both.exitCode, 0) << both.err.toStdString();
    ASSERT_EQ(Files(), (QStringList{QStringLiteral("letters.mp3"), QStringLiteral("replies.mp3")}));
    const QMap<QString, QString> letters = Id3Frames(Mp3(QStringLiteral("letters.mp3")));
    const QMap<QString, QString> replies = Id3Frames(Mp3(QStringLiteral("replies.mp3")));
    EXPECT_EQ(letters.value(kTitle), QStringLiteral("letters"));
    EXPECT_EQ(replies.value(kTitle), QStringLiteral("replies"));
    // No book: the list's first title names the album.
    EXPECT_EQ(letters.value(kAlbum), QStringLiteral("letters"));
    EXPECT_EQ(replies.value(kAlbum), QStringLiteral("letters"));
    EXPECT_EQ(letters.value(kTrack), QStringLiteral("1/2"));
    EXPECT_EQ(replies.value(kTrack), QStringLiteral("2/2"));
    EXPECT_EQ(letters.value(kArtist), QStringLiteral("Flite kal"));
    EXPECT_EQ(replies.value(kArtist), QStringLiteral("Flite kal"));
    EXPECT_EQ(replies.value(kYear), ThisYear());
    EXPECT_EQ(replies.value(kComment), ProgramComment());

    // One file alone: its title and voice, and no place in a list.
    QDir(Out()).removeRecursively();
    const Result alone = clirun::Run({QStringLiteral("--voice"), QStringLiteral("Flite kal"),
                                      QStringLiteral("--format"), QStringLiteral("mp3"),
                                      QStringLiteral("--out"), Out(), second});
    ASSERT_EQ(alone.exitCode, 0) << alone.err.toStdString();
    const QMap<QString, QString> single = Id3Frames(Mp3(QStringLiteral("replies.mp3")));
    EXPECT_EQ(single.value(kTitle), QStringLiteral("replies"));
    EXPECT_EQ(single.value(kArtist), QStringLiteral("Flite kal"));
    EXPECT_FALSE(single.contains(kTrack));
    EXPECT_FALSE(single.contains(kAlbum));
    EXPECT_EQ(single.value(kYear), ThisYear());
    EXPECT_EQ(single.value(kComment), ProgramComment());

    // The whole list in one file is a file alone too, named after its first input.
    QDir(Out()).removeRecursively();
    const Result joined =
        clirun::Run({QStringLiteral("--single-file"), QStringLiteral("--format"),
                     QStringLiteral("mp3"), QStringLiteral("--out"), Out(), first, second});
    ASSERT_EQ(joined.exitCode, 0) << joined.err.toStdString();
    ASSERT_EQ(Files(), QStringList{QStringLiteral("letters.mp3")});
    const QMap<QString, QString> whole = Id3Frames(Mp3(QStringLiteral("letters.mp3")));
    EXPECT_EQ(whole.value(kTitle), QStringLiteral("letters"));
    EXPECT_EQ(whole.value(kArtist), DefaultVoice());
    EXPECT_FALSE(whole.contains(kTrack));
    EXPECT_FALSE(whole.contains(kAlbum));
}
