// Word (DOCX) and OpenDocument (ODT) texts, built here from literal XML.
#include <gtest/gtest.h>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "documents/documentreader.h"
#include "documents/docxreader.h"
#include "documents/odtreader.h"
#include "documents/ziparchive.h"
#include "platform/shell/utilsclass.h"
#include "tests/common/printers.h"
#include "tests/documents/zipwriter.h"

namespace {

const QByteArray kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";

// A Word document around the given content of its w:body.
QByteArray WordXml(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<w:document "
           "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
           "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
           "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">\n"
           "<w:body>\n" +
           body + "\n<w:sectPr><w:pgSz w:w=\"11906\"/></w:sectPr></w:body></w:document>\n";
}

// An OpenDocument text around the given content of its office:text.
QByteArray OpenDocumentXml(const QByteArray& text) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document-content "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
           "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
           "<office:automatic-styles><style:style style:name=\"P1\" style:family=\"paragraph\">"
           "<style:text-properties style:font-name=\"Serif\"/></style:style>"
           "</office:automatic-styles>\n"
           "<office:body><office:text>\n" +
           text + "\n</office:text></office:body></office:document-content>\n";
}

class OfficeReaders : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString writeDocx(const QByteArray& document, const QByteArray& core = {}) {
        QList<QPair<QString, QByteArray>> members = {
            {QStringLiteral("[Content_Types].xml"), kContentTypes},
            {QStringLiteral("word/document.xml"), document}};
        if (!core.isEmpty()) {
            members.append({QStringLiteral("docProps/core.xml"), core});
        }
        const QString file = path(QStringLiteral("text.docx"));
        EXPECT_TRUE(WriteZip(file, members));
        return file;
    }

    QString writeOdt(const QByteArray& content, const QByteArray& meta = {}) {
        QList<QPair<QString, QByteArray>> members = {
            {QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"},
            {QStringLiteral("content.xml"), content}};
        if (!meta.isEmpty()) {
            members.append({QStringLiteral("meta.xml"), meta});
        }
        const QString file = path(QStringLiteral("text.odt"));
        EXPECT_TRUE(WriteZip(file, members));
        return file;
    }

    QString writeBytes(const QString& name, const QByteArray& bytes) {
        const QString file = path(name);
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        EXPECT_EQ(out.write(bytes), bytes.size());
        return file;
    }

    static QString textOf(const Document& document) {
        EXPECT_TRUE(document.ok()) << document.error.toStdString();
        EXPECT_EQ(document.chapters.size(), 1);
        if (document.chapters.size() != 1) {
            return QString();
        }
        EXPECT_EQ(document.chapters.first().title, QString());
        return document.chapters.first().text;
    }

    QTemporaryDir m_dir;
};

TEST_F(OfficeReaders, DocxParagraphsBreaksTabsTablesAndImagesAreReadAsAReaderHearsThem) {
    const QString file = writeDocx(WordXml(
        "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
        "<w:r><w:t>Dig a </w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>deep</w:t></w:r>"
        "<w:r><w:t xml:space=\"preserve\"> hole.</w:t><w:br/><w:t>Then water it.</w:t></w:r></w:p>"
        "<w:p><w:r><w:t>Name</w:t><w:tab/><w:t>Value</w:t></w:r></w:p>"
        "<w:p><w:r><w:t>A well</w:t><w:noBreakHyphen/><w:t>kept lawn</w:t></w:r></w:p>"
        "<w:p><w:r><w:t>First line</w:t><w:cr/><w:t>second line</w:t></w:r></w:p>"
        "<w:tbl><w:tblPr><w:tblW w:w=\"0\"/></w:tblPr><w:tblGrid><w:gridCol/></w:tblGrid>"
        "<w:tr><w:tc><w:tcPr/><w:p><w:r><w:t>Plant</w:t></w:r></w:p></w:tc>"
        "<w:tc><w:p><w:r><w:t>Month</w:t></w:r></w:p></w:tc></w:tr>"
        "<w:tr><w:tc><w:p><w:r><w:t>Tulip</w:t></w:r></w:p><w:p><w:r><w:t>bulbs</w:t></w:r></w:p>"
        "</w:tc><w:tc><w:p/></w:tc><w:tc><w:p><w:r><w:t>October</w:t></w:r></w:p></w:tc></w:tr>"
        "</w:tbl>"
        "<w:p><w:r><w:t>See</w:t></w:r><w:r><w:drawing><wp:inline><wp:extent cx=\"1\" cy=\"1\"/>"
        "<wp:docPr id=\"1\" name=\"Picture 1\" descr=\"a spade in the soil\" title=\"Spade\"/>"
        "</wp:inline></w:drawing></w:r><w:r><w:t>here.</w:t></w:r></w:p>"
        "<w:p><w:r><w:drawing><wp:anchor><wp:docPr id=\"2\" name=\"Picture 2\" "
        "title=\"A watering can\"/></wp:anchor></w:drawing></w:r></w:p>"
        "<w:p><w:r><w:drawing><wp:inline><wp:docPr id=\"3\" name=\"Picture 3\"/></wp:inline>"
        "</w:drawing></w:r></w:p>"
        "<w:p><w:r><w:t>The end.</w:t></w:r></w:p>"));
    EXPECT_EQ(
        textOf(DocxReader::read(file, nullptr)),
        QStringLiteral("Dig a deep hole.\nThen water it.\n\nName Value\n\nA well-kept lawn\n\n"
                       "First line\nsecond line\n\nPlant, Month\n\nTulip bulbs, October\n\n"
                       "See a spade in the soil here.\n\nA watering can\n\nThe end."));
}

TEST_F(OfficeReaders, DocxTitleComesFromTheCorePropertiesAndDeletedTextIsLeftOut) {
    const QString file = writeDocx(
        WordXml("<w:p><w:r><w:t>Keep this</w:t></w:r><w:del w:id=\"1\" w:author=\"A\">"
                "<w:r><w:delText> and not this</w:delText></w:r></w:del>"
                "<w:moveFrom w:id=\"2\"><w:r><w:t> nor this moved away</w:t></w:r></w:moveFrom>"
                "<w:ins w:id=\"3\"><w:r><w:t> but this</w:t></w:r></w:ins>"
                "<w:r><w:instrText> PAGE </w:instrText></w:r><w:r><w:t>.</w:t></w:r></w:p>"
                "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing>"
                "<w:txbxContent><w:p><w:r><w:t>In a box</w:t></w:r></w:p></w:txbxContent>"
                "</w:drawing></mc:Choice><mc:Fallback><w:pict><w:txbxContent><w:p><w:r>"
                "<w:t>In a box</w:t></w:r></w:p></w:txbxContent></w:pict></mc:Fallback>"
                "</mc:AlternateContent></w:r></w:p>"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><cp:coreProperties "
        "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:creator>Me</dc:creator>"
        "<dc:title> The  Garden </dc:title></cp:coreProperties>");
    const Document document = DocxReader::read(file, nullptr);
    EXPECT_EQ(document.title, QStringLiteral("The Garden"));
    EXPECT_EQ(textOf(document), QStringLiteral("Keep this but this.\n\nIn a box"));
}

TEST_F(OfficeReaders, OdtParagraphsBreaksTabsTablesAndImagesAreReadAsAReaderHearsThem) {
    const QString file = writeOdt(OpenDocumentXml(
        "<text:sequence-decls><text:sequence-decl text:name=\"Figure\"/></text:sequence-decls>\n"
        "<text:h text:outline-level=\"1\">Planting</text:h>\n"
        "<text:p text:style-name=\"P1\">Dig a <text:span>deep</text:span>\n"
        "    hole.<text:line-break/>Then water it.</text:p>\n"
        "<text:p>Name<text:tab/>Value<text:s text:c=\"3\"/>again</text:p>\n"
        "<text:list><text:list-item><text:p>First</text:p></text:list-item>"
        "<text:list-item><text:p>Second</text:p></text:list-item></text:list>\n"
        "<table:table table:name=\"T1\"><table:table-column/>"
        "<table:table-header-rows><table:table-row><table:table-cell><text:p>Plant</text:p>"
        "</table:table-cell><table:table-cell><text:p>Month</text:p></table:table-cell>"
        "</table:table-row></table:table-header-rows>"
        "<table:table-row><table:table-cell><text:p>Tulip</text:p><text:p>bulbs</text:p>"
        "</table:table-cell><table:table-cell/><table:covered-table-cell/><table:table-cell>"
        "<text:p>October</text:p></table:table-cell></table:table-row></table:table>\n"
        "<text:p>See<draw:frame draw:name=\"Image1\" text:anchor-type=\"as-char\">"
        "<draw:image xlink:href=\"Pictures/a.png\"/><svg:title>Spade</svg:title>"
        "<svg:desc>a spade in the soil</svg:desc></draw:frame>here.</text:p>\n"
        "<text:p><draw:frame draw:name=\"Image2\"><draw:image xlink:href=\"Pictures/b.png\"/>"
        "<svg:title>A watering can</svg:title></draw:frame></text:p>\n"
        "<text:p><draw:frame draw:name=\"Image3\"><draw:image xlink:href=\"Pictures/c.png\"/>"
        "</draw:frame></text:p>\n"
        "<text:p>The end.</text:p>"));
    EXPECT_EQ(textOf(OdtReader::read(file, nullptr)),
              QStringLiteral("Planting\n\nDig a deep hole.\nThen water it.\n\nName Value again\n\n"
                             "First\n\nSecond\n\nPlant, Month\n\nTulip bulbs, October\n\n"
                             "See a spade in the soil here.\n\nA watering can\n\nThe end."));
}

TEST_F(OfficeReaders, OdtTitleComesFromTheMetaPropertiesAndNotesCommentsAndDeletionsAreLeftOut) {
    const QString file = writeOdt(
        OpenDocumentXml(
            "<text:tracked-changes><text:changed-region text:id=\"c1\"><text:deletion>"
            "<office:change-info><dc:creator>A</dc:creator></office:change-info>"
            "<text:p>Deleted text</text:p></text:deletion></text:changed-region>"
            "</text:tracked-changes>"
            "<text:p>Roses<text:note text:note-class=\"footnote\"><text:note-citation>1"
            "</text:note-citation><text:note-body><text:p>A footnote.</text:p></text:note-body>"
            "</text:note> need sun.<office:annotation><dc:creator>B</dc:creator>"
            "<text:p>A comment.</text:p></office:annotation></text:p>"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-meta "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><office:meta>"
        "<meta:generator>Test</meta:generator><dc:title>The\nGarden</dc:title>"
        "</office:meta></office:document-meta>");
    const Document document = OdtReader::read(file, nullptr);
    EXPECT_EQ(document.title, QStringLiteral("The Garden"));
    EXPECT_EQ(textOf(document), QStringLiteral("Roses need sun."));
}

TEST_F(OfficeReaders, ADamagedZipIsRefused) {
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator generator(19);
    generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QString reason = QStringLiteral("it is not a zip archive or it is damaged");
    EXPECT_EQ(DocxReader::read(writeBytes(QStringLiteral("noise.docx"), noise), nullptr).error,
              reason);
    EXPECT_EQ(OdtReader::read(writeBytes(QStringLiteral("noise.odt"), noise), nullptr).error,
              reason);

    // A whole document cut short loses the zip's directory at its end.
    QFile docx(writeDocx(WordXml("<w:p><w:r><w:t>Some text.</w:t></w:r></w:p>")));
    ASSERT_TRUE(docx.open(QIODevice::ReadOnly));
    const QByteArray whole = docx.readAll();
    const QString cut = writeBytes(QStringLiteral("cut.docx"), whole.left(whole.size() / 2));
    EXPECT_EQ(DocxReader::read(cut, nullptr).error, reason);
    QFile odt(writeOdt(OpenDocumentXml("<text:p>Some text.</text:p>")));
    ASSERT_TRUE(odt.open(QIODevice::ReadOnly));
    const QByteArray wholeOdt = odt.readAll();
    const QString cutOdt =
        writeBytes(QStringLiteral("cut.odt"), wholeOdt.left(wholeOdt.size() - 30));
    EXPECT_EQ(OdtReader::read(cutOdt, nullptr).error, reason);
}

TEST_F(OfficeReaders, AZipWithoutTheMainPartIsNotADocumentOfTheKind) {
    const QString file = path(QStringLiteral("other.zip"));
    ASSERT_TRUE(WriteZip(file, {{QStringLiteral("mimetype"), "text/plain"},
                                {QStringLiteral("readme.txt"), "Hello."}}));
    EXPECT_EQ(DocxReader::read(file, nullptr).error,
              QStringLiteral("it is not a Word document (word/document.xml is missing)"));
    EXPECT_EQ(OdtReader::read(file, nullptr).error,
              QStringLiteral("it is not an OpenDocument text (content.xml is missing)"));
}

TEST_F(OfficeReaders, MalformedXmlIsDamageSaidWithItsLine) {
    const Document docx = DocxReader::read(
        writeDocx("<w:document xmlns:w=\"x\">\n<w:body>\n<w:p><w:t>Text</w:p>\n</w:body>"),
        nullptr);
    EXPECT_FALSE(docx.ok());
    EXPECT_TRUE(docx.chapters.isEmpty());
    EXPECT_TRUE(
        docx.error.startsWith(QStringLiteral("it is damaged (line 3 of word/document.xml: ")))
        << docx.error.toStdString();
    EXPECT_TRUE(docx.error.endsWith(QLatin1Char(')')));

    const Document odt = OdtReader::read(writeOdt(OpenDocumentXml("<text:p>Cut short")), nullptr);
    EXPECT_FALSE(odt.ok());
    EXPECT_TRUE(odt.error.startsWith(QStringLiteral("it is damaged (line ")))
        << odt.error.toStdString();
    EXPECT_TRUE(odt.error.contains(QStringLiteral(" of content.xml: ")));

    // A damaged title costs the title only, and is logged.
    const QString file =
        writeOdt(OpenDocumentXml("<text:p>Text.</text:p>"), "<office:document-meta><dc:title>");
    const Document untitled = OdtReader::read(file, nullptr);
    EXPECT_EQ(untitled.title, QString());
    EXPECT_EQ(textOf(untitled), QStringLiteral("Text."));
    QFile log(UtilsClass::logFileName());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(log.readAll())
            .contains(file + QStringLiteral(" is read without a part: line 1 of meta.xml: ")));
}

TEST_F(OfficeReaders, AnOdtSavedWithAPasswordIsSaidToBeProtected) {
    const QByteArray manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest:manifest "
        "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
        "manifest:version=\"1.2\">\n<manifest:file-entry manifest:full-path=\"/\" "
        "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>\n"
        "<manifest:file-entry manifest:full-path=\"%1\" manifest:media-type=\"text/xml\">"
        "<manifest:encryption-data manifest:checksum-type=\"SHA1/1K\" manifest:checksum=\"AA==\">"
        "<manifest:algorithm manifest:algorithm-name=\"Blowfish CFB\"/></manifest:encryption-data>"
        "</manifest:file-entry>\n</manifest:manifest>\n";
    const QByteArray scrambled("\x8f\x12\xa0\x07\xff\x3c\x41", 7);
    const QString file = path(QStringLiteral("locked.odt"));
    ASSERT_TRUE(WriteZip(
        file, {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"},
               {QStringLiteral("content.xml"), scrambled},
               {QStringLiteral("META-INF/manifest.xml"),
                QString::fromUtf8(manifest).arg(QStringLiteral("content.xml")).toUtf8()}}));
    EXPECT_EQ(OdtReader::read(file, nullptr).error,
              QStringLiteral("it is protected by a password"));

    // Only its styles encrypted: the text is read.
    const QString open = path(QStringLiteral("open.odt"));
    ASSERT_TRUE(
        WriteZip(open, {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"},
                        {QStringLiteral("content.xml"), OpenDocumentXml("<text:p>Open.</text:p>")},
                        {QStringLiteral("META-INF/manifest.xml"),
                         QString::fromUtf8(manifest).arg(QStringLiteral("styles.xml")).toUtf8()}}));
    EXPECT_EQ(textOf(OdtReader::read(open, nullptr)), QStringLiteral("Open."));
}

TEST_F(OfficeReaders, AStoppedOpeningEndsWithItsReason) {
    const std::atomic<bool> cancel(true);
    const QString docx = writeDocx(WordXml("<w:p><w:r><w:t>Text.</w:t></w:r></w:p>"));
    EXPECT_EQ(DocxReader::read(docx, &cancel).error, QStringLiteral("the opening was stopped"));
    const QString odt = writeOdt(OpenDocumentXml("<text:p>Text.</text:p>"));
    EXPECT_EQ(OdtReader::read(odt, &cancel).error, QStringLiteral("the opening was stopped"));
    const std::atomic<bool> going(false);
    EXPECT_EQ(textOf(OdtReader::read(odt, &going)), QStringLiteral("Text."));
}

TEST_F(OfficeReaders, ADocumentWithoutTextHasNoTextToReadSaysTheDocumentReader) {
    const QString docx = writeDocx(WordXml("<w:p/><w:p><w:r><w:t>  </w:t></w:r></w:p>"));
    const Document fromDocx = DocumentReader::read(docx);
    EXPECT_EQ(fromDocx.error, docx + QStringLiteral(" has no text to read"));
    EXPECT_TRUE(fromDocx.chapters.isEmpty());

    const QString odt = writeOdt(OpenDocumentXml("<text:p/><text:p> <text:s/> </text:p>"));
    const Document fromOdt = DocumentReader::read(odt);
    EXPECT_EQ(fromOdt.error, odt + QStringLiteral(" has no text to read"));
    EXPECT_TRUE(fromOdt.chapters.isEmpty());

    const QString other = path(QStringLiteral("other.odt"));
    ASSERT_TRUE(WriteZip(other, {{QStringLiteral("mimetype"), "text/plain"}}));
    EXPECT_EQ(DocumentReader::read(other).error,
              other + QStringLiteral(" cannot be opened: it is not an OpenDocument text "
                                     "(content.xml is missing)"));
}

}  // namespace

TEST_F(OfficeReaders, ADocumentWhoseTextUnpacksTooFarIsRefusedWithTheLimit) {
    const QByteArray paragraph = "<w:p><w:r><w:t>All work and no play.</w:t></w:r></w:p>";
    const QString docx =
        writeDocx(WordXml(paragraph.repeated(ZipArchive::kLargestUnpacked / paragraph.size() + 1)));
    EXPECT_EQ(DocumentReader::read(docx).error,
              docx + QStringLiteral(" cannot be opened: its text unpacks to more than 64 MB, the "
                                    "most a document may"));

    // Within that, a text of more characters than a document may hold.
    const QByteArray words =
        "<w:p><w:r><w:t>" + QByteArray("Word ").repeated(2000) + "</w:t></w:r></w:p>";
    const QString longText =
        writeDocx(WordXml(words.repeated(Document::kLargestText / (5 * 2000) + 1)));
    EXPECT_EQ(DocumentReader::read(longText).error,
              longText + QStringLiteral(" cannot be opened: it holds more than 16 million "
                                        "characters of text, the most a document may"));
}
