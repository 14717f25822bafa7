// PDF documents, drawn here with QPdfWriter or written byte by byte.
#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <atomic>

#include "documents/documentreader.h"
#include "documents/pdfreader.h"
#include "tests/common/printers.h"

namespace {

// Page layout in points: the writer works at 72 dots per inch on A4.
constexpr int kPointsPerInch = 72;
constexpr double kLeft = 72;
constexpr double kHeaderBaseline = 50;
constexpr double kBodyTop = 110;
constexpr double kLineStep = 16;
constexpr double kParagraphSpace = 14;
constexpr double kFooterBaseline = 800;
constexpr double kColumnStep = 260;
constexpr int kFontPixels = 12;
constexpr int kTitlePixels = 28;

// A page's paragraphs, each as the lines drawn one under the other.
using Page = QList<QStringList>;

struct PdfLayout {
    QString title;  // none written when empty
    // The first page has "Annual Report" in big letters for a title in place of its header.
    bool coverTitle = false;
    // Footers number the pages i, ii, iii, as front matter is numbered, instead of "Page N".
    bool romanNumbers = false;
};

// Draws the pages, each under a running header "Annual Report" and above a footer "Page N".
bool WritePdf(const QString& path, const QList<Page>& pages, const PdfLayout& layout = {}) {
    QPdfWriter writer(path);
    writer.setResolution(kPointsPerInch);
    writer.setPageMargins(QMarginsF());
    if (!layout.title.isEmpty()) {
        writer.setTitle(layout.title);
    }
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(kFontPixels);
    painter.setFont(font);
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0 && !writer.newPage()) {
            return false;
        }
        if (p == 0 && layout.coverTitle) {
            QFont big = font;
            big.setPixelSize(kTitlePixels);
            painter.setFont(big);
            painter.drawText(QPointF(kLeft, kHeaderBaseline), QStringLiteral("Annual Report"));
            painter.setFont(font);
        } else {
            painter.drawText(QPointF(kLeft, kHeaderBaseline), QStringLiteral("Annual Report"));
        }
        static const QStringList roman{QStringLiteral("i"), QStringLiteral("ii"),
                                       QStringLiteral("iii"), QStringLiteral("iv")};
        painter.drawText(QPointF(kLeft, kFooterBaseline),
                         layout.romanNumbers && p < roman.size()
                             ? roman[p]
                             : QStringLiteral("Page %1").arg(p + 1));
        double baseline = kBodyTop;
        for (const QStringList& paragraph : pages[p]) {
            for (const QString& line : paragraph) {
                painter.drawText(QPointF(kLeft, baseline), line);
                baseline += kLineStep;
            }
            baseline += kParagraphSpace;
        }
    }
    return painter.end();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString TextOf(const Document& document) {
    return document.chapters.isEmpty() ? QString() : document.chapters.first().text;
}

// Three pages under a running header and footer: a word broken at a line's end, a compound
// broken at its hyphen, and a paragraph going on over a page break.
const QList<Page> kReport = {
    {{QStringLiteral("The year began with a careful manip-"),
      QStringLiteral("ulation of the accounts, which took"), QStringLiteral("most of the spring.")},
     {QStringLiteral("A second paragraph tells of the"), QStringLiteral("summer and of the Anglo-"),
      QStringLiteral("Saxon names the team chose.")}},
    {{QStringLiteral("The autumn brought new work, and the"),
      QStringLiteral("text of this paragraph goes on")}},
    {{QStringLiteral("across the page break to its end.")},
     {QStringLiteral("The last paragraph closes the year.")}},
};

const QString kReportText = QStringLiteral(
    "The year began with a careful manipulation of the accounts, which took most of the "
    "spring.\n\n"
    "A second paragraph tells of the summer and of the Anglo-Saxon names the team chose.\n\n"
    "The autumn brought new work, and the text of this paragraph goes on across the page break "
    "to its end.\n\n"
    "The last paragraph closes the year.\n");

// A PDF whose only page needs a password: its security handler's user key matches no empty
// password, so Poppler can open it no further than its trailer.
QByteArray PasswordPdf() {
    const QByteArray ownerKey(32, 'A');
    const QByteArray userKey(32, 'B');
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R >>",
        "<< /Length 0 >>\nstream\n\nendstream",
        "<< /Filter /Standard /V 1 /R 2 /O <" + ownerKey.toHex() + "> /U <" + userKey.toHex() +
            "> /P -44 >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets) {
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R /Encrypt 5 0 R /ID [<00112233445566778899aabbccddeeff> "
           "<00112233445566778899aabbccddeeff>] >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

class PdfReaderTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(PdfReaderTest, ParagraphsKeptBrokenWordsJoinedHeadersAndFootersLeftOut) {
    const QString file = path(QStringLiteral("report.pdf"));
    ASSERT_TRUE(WritePdf(file, kReport));
    const Document document = PdfReader::read(file);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    ASSERT_EQ(document.chapters.size(), 1);
    EXPECT_TRUE(document.chapters.first().title.isEmpty());
    EXPECT_EQ(TextOf(document).toStdString(), kReportText.toStdString());
    EXPECT_FALSE(TextOf(document).contains(QStringLiteral("Annual Report")));
    EXPECT_FALSE(TextOf(document).contains(QStringLiteral("Page")));
    EXPECT_TRUE(document.title.isEmpty()) << document.title.toStdString();
}

TEST_F(PdfReaderTest, PagesNumberedInRomanNumeralsLoseTheirNumbersToo) {
    const QString file = path(QStringLiteral("preface.pdf"));
    PdfLayout layout;
    layout.romanNumbers = true;
    ASSERT_TRUE(WritePdf(file, kReport, layout));
    EXPECT_EQ(TextOf(PdfReader::read(file)).toStdString(), kReportText.toStdString());
}

TEST_F(PdfReaderTest, TitleComesFromTheMetadata) {
    const QString file = path(QStringLiteral("titled.pdf"));
    PdfLayout layout;
    layout.title = QStringLiteral("  Annual   Report 2026 ");
    ASSERT_TRUE(WritePdf(file, kReport, layout));
    const Document document = PdfReader::read(file);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_EQ(document.title, QStringLiteral("Annual Report 2026"));
}

// The running header repeats the title, which the first page shows in big letters: the title
// stays, the headers go.
TEST_F(PdfReaderTest, ATitleInBigLettersIsNoHeader) {
    const QString file = path(QStringLiteral("cover.pdf"));
    PdfLayout layout;
    layout.coverTitle = true;
    ASSERT_TRUE(WritePdf(file, kReport, layout));
    const Document document = PdfReader::read(file);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_EQ(TextOf(document).toStdString(), ("Annual Report\n\n" + kReportText).toStdString());
}

TEST_F(PdfReaderTest, ATwoPageDocumentKeepsItsRepeatedLines) {
    const QString file = path(QStringLiteral("short.pdf"));
    ASSERT_TRUE(WritePdf(file, {kReport[0], kReport[2]}));
    const Document document = PdfReader::read(file);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_EQ(TextOf(document).count(QStringLiteral("Annual Report")), 2)
        << TextOf(document).toStdString();
    EXPECT_TRUE(TextOf(document).contains(QStringLiteral("Page 1")));
    EXPECT_TRUE(TextOf(document).contains(QStringLiteral("Page 2")));
    EXPECT_TRUE(TextOf(document).contains(QStringLiteral("manipulation of the accounts")));
}

// Long documents are read by two threads; the pages must still come in their order, and a
// stop must still stop both.
TEST_F(PdfReaderTest, ALongDocumentKeepsItsPagesInOrder) {
    constexpr int kPages = 41;
    QList<Page> pages;
    QString expected;
    for (int p = 1; p <= kPages; ++p) {
        const QString line = QStringLiteral("This is the text of page %1.").arg(p);
        pages.append({{line}});
        expected += line + (p < kPages ? QStringLiteral("\n\n") : QStringLiteral("\n"));
    }
    const QString file = path(QStringLiteral("long.pdf"));
    ASSERT_TRUE(WritePdf(file, pages));
    const Document document = PdfReader::read(file);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_EQ(TextOf(document).toStdString(), expected.toStdString());

    const std::atomic<bool> cancel{true};
    EXPECT_EQ(PdfReader::read(file, &cancel).error, QStringLiteral("the opening was stopped"));
}

// A paragraph at the foot of the first column goes on at the head of the second. The
// "fi" ligatures the writer uses come out as two letters.
TEST_F(PdfReaderTest, AParagraphGoesOnIntoTheNextColumn) {
    const QString file = path(QStringLiteral("columns.pdf"));
    {
        QPdfWriter writer(file);
        writer.setResolution(kPointsPerInch);
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(kFontPixels);
        painter.setFont(font);
        const auto drawColumn = [&](double left, const QList<QStringList>& paragraphs) {
            double baseline = kBodyTop;
            for (const QStringList& paragraph : paragraphs) {
                for (const QString& line : paragraph) {
                    painter.drawText(QPointF(left, baseline), line);
                    baseline += kLineStep;
                }
                baseline += kParagraphSpace;
            }
        };
        drawColumn(kLeft, {{QStringLiteral("The first column opens with"),
                            QStringLiteral("a paragraph of three lines"),
                            QStringLiteral("that ends right here.")},
                           {QStringLiteral("A second paragraph starts"),
                            QStringLiteral("lower in the first column"),
                            QStringLiteral("and it runs for a while"),
                            QStringLiteral("until it reaches the foot"),
                            QStringLiteral("of the first column and")}});
        drawColumn(kLeft + kColumnStep, {{QStringLiteral("goes on in the second one"),
                                          QStringLiteral("for two more lines.")},
                                         {QStringLiteral("The second column closes"),
                                          QStringLiteral("with a paragraph that has"),
                                          QStringLiteral("a few lines of its own.")}});
    }
    const Document document = PdfReader::read(file);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_EQ(TextOf(document).toStdString(),
              "The first column opens with a paragraph of three lines that ends right here.\n\n"
              "A second paragraph starts lower in the first column and it runs for a while until "
              "it reaches the foot of the first column and goes on in the second one for two "
              "more lines.\n\n"
              "The second column closes with a paragraph that has a few lines of its own.\n");
}

TEST_F(PdfReaderTest, RandomBytesAreNotAPdf) {
    const QString file = path(QStringLiteral("noise.pdf"));
    QByteArray noise(4096, '\0');
    QRandomGenerator random(19);
    for (char& byte : noise) {
        byte = static_cast<char>(random.bounded(256));
    }
    ASSERT_TRUE(WriteBytes(file, noise));
    const Document document = PdfReader::read(file);
    EXPECT_EQ(document.error, QStringLiteral("it is not a PDF file or it is damaged"));
    EXPECT_TRUE(document.chapters.isEmpty());
}

TEST_F(PdfReaderTest, ATruncatedPdfIsDamaged) {
    const QString whole = path(QStringLiteral("whole.pdf"));
    ASSERT_TRUE(WritePdf(whole, kReport));
    QFile file(whole);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString cut = path(QStringLiteral("cut.pdf"));
    ASSERT_TRUE(WriteBytes(cut, file.read(200)));
    const Document document = PdfReader::read(cut);
    EXPECT_EQ(document.error, QStringLiteral("it is not a PDF file or it is damaged"));
}

TEST_F(PdfReaderTest, PagesOfPicturesOnlyHaveNoTextLayer) {
    const QString file = path(QStringLiteral("scan.pdf"));
    {
        QPdfWriter writer(file);
        writer.setResolution(kPointsPerInch);
        QPainter painter(&writer);
        painter.drawRect(QRectF(50, 50, 300, 200));
        QImage picture(64, 64, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        painter.drawImage(QPointF(100, 300), picture);
        ASSERT_TRUE(writer.newPage());
        painter.drawImage(QPointF(100, 100), picture);
    }
    const Document document = PdfReader::read(file);
    EXPECT_EQ(document.error, QStringLiteral("it has no text layer (its pages are pictures only)"));
}

TEST_F(PdfReaderTest, APasswordProtectedPdfSaysSo) {
    const QString file = path(QStringLiteral("locked.pdf"));
    ASSERT_TRUE(WriteBytes(file, PasswordPdf()));
    const Document document = PdfReader::read(file);
    EXPECT_EQ(document.error, QStringLiteral("it is protected by a password"));
}

TEST_F(PdfReaderTest, AStoppedOpeningSaysSo) {
    const QString file = path(QStringLiteral("report.pdf"));
    ASSERT_TRUE(WritePdf(file, kReport));
    const std::atomic<bool> cancel{true};
    const Document document = PdfReader::read(file, &cancel);
    EXPECT_EQ(document.error, QStringLiteral("the opening was stopped"));
}

TEST_F(PdfReaderTest, TheDocumentReaderNamesTheFileItCannotOpen) {
    const QString good = path(QStringLiteral("report.pdf"));
    ASSERT_TRUE(WritePdf(good, kReport));
    const Document document = DocumentReader::read(good);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_EQ(TextOf(document).toStdString(), kReportText.toStdString());

    const QString bad = path(QStringLiteral("broken.pdf"));
    ASSERT_TRUE(WriteBytes(bad, QByteArray("%PDF-1.4\nthis is no PDF at all\n")));
    const Document failed = DocumentReader::read(bad);
    EXPECT_EQ(failed.error, QFileInfo(bad).absoluteFilePath() +
                                QStringLiteral(" cannot be opened: it is not a PDF file or it is "
                                               "damaged"));
    EXPECT_TRUE(failed.chapters.isEmpty());
}

// A real document laid out by another program. Machines without it skip the test.
TEST(PdfReaderRealDocument, AManualFromTheSystemDocumentationOpens) {
    const QString manual = QStringLiteral("/usr/share/doc/libtasn1-doc/libtasn1.pdf");
    if (!QFileInfo::exists(manual)) {
        GTEST_SKIP() << manual.toStdString() << " is not installed (package libtasn1-doc)";
    }
    const Document document = PdfReader::read(manual);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    const QString text = TextOf(document);
    EXPECT_GT(text.size(), 10000);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Libtasn1\n\n"))) << text.left(200).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\n\n"))) << text.left(200).toStdString();
}
