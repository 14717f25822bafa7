// Documents handed to quillsong-cli: a book becomes one numbered file per chapter.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "tests/audio/audiotools.h"
#include "tests/cli/clirun.h"
#include "tests/documents/epubmaker.h"

namespace {

using clirun::Result;

class CliDocuments : public clirun::Folder {};

EpubBook GardenBook() {
    EpubBook book;
    book.title = QStringLiteral("Garden Book");
    book.pages = {TextPage(QStringLiteral("one.xhtml"), QStringLiteral("Seeds"),
                           QStringLiteral("<h1>Seeds</h1><p>Sow in spring.</p>")),
                  TextPage(QStringLiteral("two.xhtml"), QStringLiteral("Harvest: the end?"),
                           QStringLiteral("<h1>Harvest</h1><p>Pick in autumn.</p>"))};
    return book;
}

}  // namespace

TEST_F(CliDocuments, ABookIsOneNumberedFilePerChapterOrOneFileWhole) {
    const QString book = dir_.filePath(QStringLiteral("garden.epub"));
    ASSERT_TRUE(WriteEpub(book, GardenBook()));
    const Result chapters = clirun::Run(
        {QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--out"), Out(), book});
    ASSERT_EQ(chapters.exitCode, 0) << chapters.err.toStdString();
    ASSERT_EQ(Files(), (QStringList{QStringLiteral("01 Seeds.mp3"),
                                    QStringLiteral("02 Harvest the end.mp3")}));
    for (const QString& name : Files()) {
        // Each chapter decodes to its own speech and carries its name as its title.
        const QString mp3 = Out() + QLatin1Char('/') + name;
        const QString wave = dir_.filePath(QStringLiteral("decoded.wav"));
        audiotools::Run(QStringLiteral("mpg123"),
                        {QStringLiteral("-q"), QStringLiteral("-w"), wave, mp3});
        EXPECT_GT(audiotools::Soxi(wave, "-D").toDouble(), 1.0) << name.toStdString();
        QFile::remove(wave);
        EXPECT_TRUE(audiotools::Run(QStringLiteral("id3v2"), {QStringLiteral("-l"), mp3})
                        .contains(name.chopped(4)))
            << name.toStdString();
    }
    EXPECT_TRUE(chapters.out.contains(Out() + QStringLiteral("/02 Harvest the end.mp3")));

    QDir(Out()).removeRecursively();
    const Result whole =
        clirun::Run({QStringLiteral("--single-file"), QStringLiteral("--out"), Out(), book});
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("garden.wav")});
}

TEST_F(CliDocuments, OtherDocumentsAreNamedAfterTheirFileAndABadOneSaysWhy) {
    // Preformatted text and code are laid out in the fixed font, which the converter has too.
    const QString page = Text(QStringLiteral("notes.page.html"),
                              "<html><head><title>Notes</title></head><body><p>Water the "
                              "roses.</p><pre>make all</pre><p>Then <code>make test</code>."
                              "</p></body></html>");
    const Result read = clirun::Run({QStringLiteral("--out"), Out(), page});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("notes.wav")});
    EXPECT_GT(audiotools::Soxi(Out() + QStringLiteral("/notes.wav"), "-D").toDouble(), 0.5);

    const QString broken = Text(QStringLiteral("broken.pdf"), "%PDF-1.4 and then nothing");
    const Result failed = clirun::Run({QStringLiteral("--out"), Out(), page, broken});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.startsWith(QStringLiteral("quillsong-cli: ") + broken +
                                      QStringLiteral(" cannot be opened: ")))
        << failed.err.toStdString();
    const QString empty = Text(QStringLiteral("empty.md"), "   \n\n");
    const Result nothing = clirun::Run({QStringLiteral("--out"), Out(), empty});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_EQ(nothing.err,
              QStringLiteral("quillsong-cli: ") + empty + QStringLiteral(" has no text to read\n"));
}
