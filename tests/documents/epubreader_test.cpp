#include "documents/epubreader.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "documents/documentreader.h"
#include "documents/ziparchive.h"
#include "platform/shell/utilsclass.h"
#include "tests/documents/epubmaker.h"
#include "tests/documents/zipwriter.h"

namespace {

const QString kNotZip = QStringLiteral("it is not a zip archive or it is damaged");

// A book of three chapters, the second split over two files, after a cover the table of
// contents does not name, with a picture in its reading order.
EpubBook ThreeChapters(EpubBook::Toc toc) {
    EpubBook book;
    book.title = QStringLiteral(" The  Lighthouse ");
    book.toc = toc;
    book.navInSpine = true;  // many books list their contents page as a page: it is not read
    book.pages << TextPage(
        QStringLiteral("Text/cover.xhtml"), QString(),
        QStringLiteral("<p><img src=\"../Images/cover.jpg\" alt=\"A white tower\"/>"
                       "</p>"),
        QStringLiteral("Cover"));
    EpubPage picture;
    picture.fileName = QStringLiteral("Images/map.png");
    picture.mediaType = QStringLiteral("image/png");
    picture.content = QByteArray("\x89PNG\r\n\x1a\n not really a picture");
    book.pages << picture;
    book.pages << TextPage(
        QStringLiteral("Text/chapter one.xhtml"), QStringLiteral("One: The Shore"),
        QStringLiteral("<h1 id=\"top\">One: The Shore</h1><p>Waves came in.</p>"));
    book.pages << TextPage(QStringLiteral("Text/two-a.xhtml"), QStringLiteral("Two: The Storm"),
                           QStringLiteral("<h1>Two: The Storm</h1><p>Rain fell.</p>"));
    book.pages << TextPage(
        QStringLiteral("Text/two-b.xhtml"), QString(),
        QStringLiteral("<p>The wind rose.</p><table><tr><td>Day</td><td>Wind</td>"
                       "</tr><tr><td>Monday</td><td>Gale</td></tr></table>"),
        QStringLiteral("Part of two"));
    book.pages << TextPage(QStringLiteral("Text/three.xhtml"), QStringLiteral("Three: The Calm"),
                           QStringLiteral("<p>All was still &amp; quiet.<br/>The end.</p>"));
    return book;
}

void ExpectThreeChapters(const Document& document) {
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_EQ(document.title, QStringLiteral("The Lighthouse"));
    ASSERT_EQ(document.chapters.size(), 4);
    EXPECT_EQ(document.chapters[0].title, QStringLiteral("Cover"));
    EXPECT_EQ(document.chapters[0].text, QStringLiteral("A white tower"));
    EXPECT_EQ(document.chapters[1].title, QStringLiteral("One: The Shore"));
    EXPECT_EQ(document.chapters[1].text, QStringLiteral("One: The Shore\n\nWaves came in."));
    EXPECT_EQ(document.chapters[2].title, QStringLiteral("Two: The Storm"));
    EXPECT_EQ(document.chapters[2].text,
              QStringLiteral("Two: The Storm\n\nRain fell.\n\nThe wind rose.\n\nDay, Wind\n\n"
                             "Monday, Gale"));
    EXPECT_EQ(document.chapters[3].title, QStringLiteral("Three: The Calm"));
    EXPECT_EQ(document.chapters[3].text, QStringLiteral("All was still & quiet.\nThe end."));
}

class EpubReaderTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

  private:
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(EpubReaderTest, AnEpub3BookGivesOneChapterPerEntryOfItsNavigationDocument) {
    const QString file = path(QStringLiteral("nav.epub"));
    ASSERT_TRUE(WriteEpub(file, ThreeChapters(EpubBook::Toc::Nav)));
    ExpectThreeChapters(EpubReader::read(file, nullptr));
}

TEST_F(EpubReaderTest, AnEpub2BookGivesOneChapterPerEntryOfItsNcx) {
    const QString file = path(QStringLiteral("ncx.epub"));
    ASSERT_TRUE(WriteEpub(file, ThreeChapters(EpubBook::Toc::Ncx)));
    ExpectThreeChapters(EpubReader::read(file, nullptr));
}

TEST_F(EpubReaderTest, WithoutATableOfContentsEachDocumentIsAChapterNamedByItsTitle) {
    EpubBook book;
    book.toc = EpubBook::Toc::None;
    book.pages << TextPage(QStringLiteral("a.xhtml"), QString(), QStringLiteral("<p>First.</p>"),
                           QStringLiteral("Morning"))
               << TextPage(QStringLiteral("b.xhtml"), QString(), QStringLiteral("<p>  </p>"),
                           QStringLiteral("Blank"))
               << TextPage(QStringLiteral("c.xhtml"), QString(), QStringLiteral("<p>Second.</p>"));
    const QString file = path(QStringLiteral("plain.epub"));
    ASSERT_TRUE(WriteEpub(file, book));
    const Document document = EpubReader::read(file, nullptr);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_EQ(document.title, QString());
    ASSERT_EQ(document.chapters.size(), 2);
    EXPECT_EQ(document.chapters[0].title, QStringLiteral("Morning"));
    EXPECT_EQ(document.chapters[0].text, QStringLiteral("First."));
    EXPECT_EQ(document.chapters[1].title, QString());
    EXPECT_EQ(document.chapters[1].text, QStringLiteral("Second."));
}

TEST_F(EpubReaderTest, AMissingDocumentIsLeftOutAndTheNamedCharactersAndEncodingsOfXhtmlAreKnown) {
    EpubBook book = ThreeChapters(EpubBook::Toc::Nav);
    book.pages[3].written = false;  // the first half of chapter two
    book.pages[2].tocTitle = QStringLiteral("One:&nbsp;The <i>Shore</i>");
    book.pages[5].content =
        "<?xml version='1.0' encoding='iso-8859-1'?>\n<html xmlns='http://www.w3.org/1999/xhtml'>"
        "<head><title>x</title></head><body><p>Caf\xe9 at noon.</p></body></html>";
    const QString file = path(QStringLiteral("missing.epub"));
    ASSERT_TRUE(WriteEpub(file, book));
    const Document document = EpubReader::read(file, nullptr);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    ASSERT_EQ(document.chapters.size(), 3);
    // The second half has no entry of its own: it stays with the chapter before it.
    EXPECT_EQ(document.chapters[1].title, QStringLiteral("One: The Shore"));
    EXPECT_EQ(document.chapters[1].text,
              QStringLiteral("One: The Shore\n\nWaves came in.\n\nThe wind rose.\n\nDay, Wind\n\n"
                             "Monday, Gale"));
    EXPECT_EQ(document.chapters[2].title, QStringLiteral("Three: The Calm"));
    EXPECT_EQ(document.chapters[2].text, QStringLiteral("Caf\u00e9 at noon."));
    QFile log(UtilsClass::logFileName());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll())
                    .contains(file + QStringLiteral(": OEBPS/Text/two-a.xhtml is missing")));
}

TEST_F(EpubReaderTest, DamagedArchivesAreRefused) {
    const QString whole = path(QStringLiteral("whole.epub"));
    ASSERT_TRUE(WriteEpub(whole, ThreeChapters(EpubBook::Toc::Nav)));
    QFile source(whole);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();

    const QString truncated = path(QStringLiteral("truncated.epub"));
    QFile half(truncated);
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    ASSERT_EQ(half.write(bytes.left(bytes.size() / 2)), bytes.size() / 2);
    half.close();
    Document document = EpubReader::read(truncated, nullptr);
    EXPECT_EQ(document.error, kNotZip);
    EXPECT_TRUE(document.chapters.isEmpty());

    const QString noise = path(QStringLiteral("noise.epub"));
    QFile random(noise);
    ASSERT_TRUE(random.open(QIODevice::WriteOnly));
    QByteArray junk;
    quint32 state = 7;
    for (int i = 0; i < 5000; ++i) {
        state = state * 1103515245u + 12345u;
        junk.append(char(state >> 24));
    }
    random.write(junk);
    random.close();
    document = EpubReader::read(noise, nullptr);
    EXPECT_EQ(document.error, kNotZip);
}

TEST_F(EpubReaderTest, AZipThatIsNotABookIsRefusedInPlainWords) {
    const QString noContainer = path(QStringLiteral("nocontainer.epub"));
    ASSERT_TRUE(WriteZip(noContainer, {{QStringLiteral("mimetype"), "application/epub+zip"},
                                       {QStringLiteral("OEBPS/a.xhtml"), "<p>Hello.</p>"}}));
    Document document = EpubReader::read(noContainer, nullptr);
    EXPECT_EQ(document.error,
              QStringLiteral("it is not an EPUB book (META-INF/container.xml is missing)"));

    const QString noPackage = path(QStringLiteral("nopackage.epub"));
    EpubBook book = ThreeChapters(EpubBook::Toc::Nav);
    ASSERT_TRUE(WriteZip(
        noPackage, {{QStringLiteral("mimetype"), "application/epub+zip"},
                    {QStringLiteral("META-INF/container.xml"),
                     "<container><rootfiles><rootfile full-path='OPS/book.opf' "
                     "media-type='application/oebps-package+xml'/></rootfiles></container>"}}));
    document = EpubReader::read(noPackage, nullptr);
    EXPECT_EQ(document.error,
              QStringLiteral("it is not an EPUB book (its package file OPS/book.opf is missing)"));

    const QString badPackage = path(QStringLiteral("badpackage.epub"));
    ASSERT_TRUE(
        WriteZip(badPackage, {{QStringLiteral("mimetype"), "application/epub+zip"},
                              {QStringLiteral("META-INF/container.xml"),
                               "<container><rootfiles><rootfile full-path='book.opf'/></rootfiles>"
                               "</container>"},
                              {QStringLiteral("book.opf"), "<package><manifest><item id='a'"}}));
    document = EpubReader::read(badPackage, nullptr);
    EXPECT_TRUE(document.error.startsWith(QStringLiteral("its package file book.opf is damaged")))
        << document.error.toStdString();
}

TEST_F(EpubReaderTest, ABookLockedByDrmIsRefusedButObfuscatedFontsAreNot) {
    const QByteArray encryption =
        "<encryption xmlns='urn:oasis:names:tc:opendocument:xmlns:container' "
        "xmlns:enc='http://www.w3.org/2001/04/xmlenc#'><enc:EncryptedData><enc:CipherData>"
        "<enc:CipherReference URI='%1'/></enc:CipherData></enc:EncryptedData></encryption>";
    EpubBook book = ThreeChapters(EpubBook::Toc::Nav);
    book.extraMembers = {{QStringLiteral("META-INF/encryption.xml"),
                          QByteArray(encryption).replace("%1", "OEBPS/Text/chapter%20one.xhtml")}};
    const QString locked = path(QStringLiteral("locked.epub"));
    ASSERT_TRUE(WriteEpub(locked, book));
    Document document = EpubReader::read(locked, nullptr);
    EXPECT_EQ(document.error, QStringLiteral("it is protected (DRM)"));
    EXPECT_TRUE(document.chapters.isEmpty());

    book.extraMembers = {{QStringLiteral("META-INF/encryption.xml"),
                          QByteArray(encryption).replace("%1", "OEBPS/Fonts/serif.otf")},
                         {QStringLiteral("OEBPS/Fonts/serif.otf"), "scrambled"}};
    const QString fonts = path(QStringLiteral("fonts.epub"));
    ASSERT_TRUE(WriteEpub(fonts, book));
    ExpectThreeChapters(EpubReader::read(fonts, nullptr));
}

TEST_F(EpubReaderTest, AStoppedOpeningSaysSo) {
    const QString file = path(QStringLiteral("stopped.epub"));
    ASSERT_TRUE(WriteEpub(file, ThreeChapters(EpubBook::Toc::Nav)));
    const std::atomic<bool> cancel = true;
    const Document document = EpubReader::read(file, &cancel);
    EXPECT_EQ(document.error, QStringLiteral("the opening was stopped"));
    EXPECT_TRUE(document.chapters.isEmpty());
}

TEST_F(EpubReaderTest, ABookOfPicturesAloneHasNoTextToRead) {
    EpubBook book;
    book.title = QStringLiteral("Pictures");
    book.pages << TextPage(QStringLiteral("p1.xhtml"), QStringLiteral("First"),
                           QStringLiteral("<div><img src=\"a.jpg\"/></div>"))
               << TextPage(QStringLiteral("p2.xhtml"), QString(),
                           QStringLiteral("<div><img src=\"b.jpg\" alt=\"\"/></div>"));
    const QString file = path(QStringLiteral("pictures.epub"));
    ASSERT_TRUE(WriteEpub(file, book));
    const Document direct = EpubReader::read(file, nullptr);
    EXPECT_TRUE(direct.ok()) << direct.error.toStdString();
    const Document document = DocumentReader::read(file, nullptr);
    EXPECT_EQ(document.error, file + QStringLiteral(" has no text to read"));
    EXPECT_TRUE(document.chapters.isEmpty());
}

TEST_F(EpubReaderTest, TheMadeUpLargeBookComesToAboutTheSizeAskedAndReadsWhole) {
    const QString file = path(QStringLiteral("large.epub"));
    const EpubBook book = LargeEpubBook(300 * 1024);
    ASSERT_TRUE(WriteEpub(file, book));
    const qint64 size = QFileInfo(file).size();
    EXPECT_GT(size, 250 * 1024);
    EXPECT_LT(size, 350 * 1024);
    const Document document = EpubReader::read(file, nullptr);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    qsizetype entries = 0;
    for (const EpubPage& page : book.pages) {
        entries += page.tocTitle.isEmpty() ? 0 : 1;
    }
    EXPECT_EQ(document.chapters.size(), entries);
    EXPECT_EQ(document.chapters.last().title, QStringLiteral("Chapter %1").arg(entries));
}

TEST_F(EpubReaderTest, ADocumentListedManyTimesIsReadOnceAndABookThatUnpacksTooFarIsRefused) {
    // A book's members by hand: its reading order lists one chapter again and again.
    const auto writeBook = [this](const QString& name, const QByteArray& chapter, int listed) {
        const QByteArray spine = QByteArray("<itemref idref=\"c\"/>").repeated(listed);
        const QString file = path(name);
        EXPECT_TRUE(WriteZip(
            file,
            {{QStringLiteral("mimetype"), "application/epub+zip"},
             {QStringLiteral("META-INF/container.xml"),
              "<container xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
              "<rootfile full-path=\"book.opf\" media-type=\"application/oebps-package+xml\"/>"
              "</rootfiles></container>"},
             {QStringLiteral("book.opf"),
              "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\"><manifest>"
              "<item id=\"c\" href=\"c.xhtml\" media-type=\"application/xhtml+xml\"/>"
              "</manifest><spine>" +
                  spine + "</spine></package>"},
             {QStringLiteral("c.xhtml"), "<html><body>" + chapter + "</body></html>"}}));
        return file;
    };
    const Document once = EpubReader::read(
        writeBook(QStringLiteral("again.epub"), "<p>Only once.</p>", 200), nullptr);
    ASSERT_TRUE(once.ok()) << once.error.toStdString();
    EXPECT_EQ(once.wholeText(), QStringLiteral("Only once."));

    const QByteArray paragraph = "<p>" + QByteArray("All work and no play. ").repeated(40) + "</p>";
    const qsizetype count = ZipArchive::kLargestUnpacked / paragraph.size() + 1;
    const QString large = writeBook(QStringLiteral("large.epub"), paragraph.repeated(count), 1);
    const Document refused = DocumentReader::read(large, nullptr);
    EXPECT_EQ(refused.error, large + QStringLiteral(" cannot be opened: its text unpacks to more "
                                                    "than 64 MB, the most a document may"));
}
