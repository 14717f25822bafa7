#include "tests/documents/epubmaker.h"

#include <QUrl>

#include "tests/documents/zipwriter.h"

namespace {

// About how much text one chapter of LargeEpubBook holds.
constexpr qsizetype kChapterText = 40 * 1024;

QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString Href(const QString& fileName) {
    return QString::fromLatin1(QUrl::toPercentEncoding(fileName, "/"));
}

QByteArray PageXhtml(const EpubPage& page) {
    if (!page.content.isEmpty()) {
        return page.content;
    }
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html>\n"
               "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
               "xmlns:epub=\"http://www.idpf.org/2007/ops\">\n"
               "<head><title>%1</title></head>\n<body>%2</body>\n</html>\n")
        .arg(Escaped(page.htmlTitle), page.body)
        .toUtf8();
}

QByteArray Package(const EpubBook& book) {
    QString manifest;
    QString spine;
    for (qsizetype i = 0; i < book.pages.size(); ++i) {
        const EpubPage& page = book.pages[i];
        manifest += QStringLiteral("<item id=\"p%1\" href=\"%2\" media-type=\"%3\"/>\n")
                        .arg(i)
                        .arg(Href(page.fileName), page.mediaType);
        spine += QStringLiteral("<itemref idref=\"p%1\"/>\n").arg(i);
    }
    if (book.toc == EpubBook::Toc::Nav && book.navInSpine) {
        spine.prepend(QStringLiteral("<itemref idref=\"nav\"/>\n"));
    }
    if (book.toc == EpubBook::Toc::Nav) {
        manifest += QStringLiteral(
            "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
            "properties=\"nav\"/>\n");
    } else if (book.toc == EpubBook::Toc::Ncx) {
        manifest += QStringLiteral(
            "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n");
    }
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"%1\" "
               "unique-identifier=\"id\">\n"
               "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
               "<dc:identifier id=\"id\">urn:uuid:0</dc:identifier>\n"
               "<dc:title>%2</dc:title>\n<dc:language>en</dc:language>\n</metadata>\n"
               "<manifest>\n%3</manifest>\n<spine%4>\n%5</spine>\n</package>\n")
        .arg(book.toc == EpubBook::Toc::Ncx ? QStringLiteral("2.0") : QStringLiteral("3.0"),
             Escaped(book.title), manifest,
             book.toc == EpubBook::Toc::Ncx ? QStringLiteral(" toc=\"ncx\"") : QString(), spine)
        .toUtf8();
}

QByteArray Nav(const EpubBook& book) {
    QString items;
    for (const EpubPage& page : book.pages) {
        if (!page.tocTitle.isEmpty()) {
            items += QStringLiteral("<li><a href=\"%1#top\"><span>%2</span></a></li>\n")
                         .arg(Href(page.fileName), page.tocTitle);
        }
    }
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html>\n"
               "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
               "xmlns:epub=\"http://www.idpf.org/2007/ops\">\n"
               "<head><title>Contents</title></head><body>\n"
               "<nav epub:type=\"landmarks\"><ol><li><a epub:type=\"bodymatter\" "
               "href=\"nowhere.xhtml\">Start</a></li></ol></nav>\n"
               "<nav epub:type=\"toc\" id=\"toc\"><h1>Contents</h1><ol>\n%1</ol></nav>\n"
               "</body></html>\n")
        .arg(items)
        .toUtf8();
}

QByteArray Ncx(const EpubBook& book) {
    QString points;
    int order = 0;
    for (const EpubPage& page : book.pages) {
        if (!page.tocTitle.isEmpty()) {
            ++order;
            points += QStringLiteral(
                          "<navPoint id=\"n%1\" playOrder=\"%1\"><navLabel><text>%2"
                          "</text></navLabel><content src=\"%3\"/></navPoint>\n")
                          .arg(order)
                          .arg(page.tocTitle, Href(page.fileName));
        }
    }
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\">"
               "\n<head/><docTitle><text>%1</text></docTitle>\n<navMap>\n%2</navMap>\n"
               "</ncx>\n")
        .arg(Escaped(book.title), points)
        .toUtf8();
}

// Made-up words from a fixed sequence of numbers, so that every run makes the same book.
class Prose {
  public:
    QString sentence() {
        static const char* const kSyllables[] = {
            "ka",  "lo",  "ri", "men", "tas", "vel", "or",  "an",  "the", "sto", "qui", "dar",
            "bel", "nu",  "pe", "ros", "ta",  "mir", "gal", "es",  "wen", "fo",  "lu",  "cra",
            "dri", "sel", "om", "har", "ve",  "ti",  "ple", "gor", "sha", "ni",  "bru", "kel"};
        constexpr quint32 kSyllableCount = sizeof(kSyllables) / sizeof(kSyllables[0]);
        QString text;
        const quint32 words = 6 + next() % 14;
        for (quint32 w = 0; w < words; ++w) {
            QString word;
            const quint32 syllables = 1 + next() % 3;
            for (quint32 s = 0; s < syllables; ++s) {
                word += QLatin1String(kSyllables[next() % kSyllableCount]);
            }
            if (w == 0) {
                word[0] = word[0].toUpper();
            }
            text += (w == 0 ? QString() : QStringLiteral(" ")) + word;
        }
        return text + (next() % 5 == 0 ? QStringLiteral("?") : QStringLiteral("."));
    }

  private:
    quint32 next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    quint32 m_state = 12345;
};

}  // namespace

EpubPage TextPage(const QString& fileName, const QString& tocTitle, const QString& body,
                  const QString& htmlTitle) {
    EpubPage page;
    page.fileName = fileName;
    page.tocTitle = tocTitle;
    page.body = body;
    page.htmlTitle = htmlTitle;
    return page;
}

bool WriteEpub(const QString& path, const EpubBook& book) {
    QList<QPair<QString, QByteArray>> members = {
        {QStringLiteral("mimetype"), QByteArrayLiteral("application/epub+zip")},
        {QStringLiteral("META-INF/container.xml"),
         QByteArrayLiteral("<?xml version=\"1.0\"?>\n"
                           "<container version=\"1.0\" "
                           "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
                           "<rootfiles><rootfile full-path=\"OEBPS/content.opf\" "
                           "media-type=\"application/oebps-package+xml\"/></rootfiles>\n"
                           "</container>\n")},
        {QStringLiteral("OEBPS/content.opf"), Package(book)},
    };
    if (book.toc == EpubBook::Toc::Nav) {
        members.append({QStringLiteral("OEBPS/nav.xhtml"), Nav(book)});
    } else if (book.toc == EpubBook::Toc::Ncx) {
        members.append({QStringLiteral("OEBPS/toc.ncx"), Ncx(book)});
    }
    for (const EpubPage& page : book.pages) {
        if (page.written) {
            members.append({QStringLiteral("OEBPS/") + page.fileName, PageXhtml(page)});
        }
    }
    members << book.extraMembers;
    return WriteZip(path, members);
}

EpubBook LargeEpubBook(qint64 fileBytes) {
    EpubBook book;
    book.title = QStringLiteral("A Long Made-Up Book");
    Prose prose;
    qint64 packed = 0;  // about what the pages take in the archive
    for (int chapter = 1; packed < fileBytes; ++chapter) {
        const int files = chapter % 3 == 0 ? 2 : 1;
        for (int part = 0; part < files && packed < fileBytes; ++part) {
            EpubPage page;
            page.fileName = QStringLiteral("Text/chapter%1-%2.xhtml").arg(chapter).arg(part);
            page.htmlTitle = QStringLiteral("Chapter %1").arg(chapter);
            if (part == 0) {
                page.tocTitle = page.htmlTitle;
                page.body = QStringLiteral("<h1 id=\"top\">Chapter %1</h1>\n").arg(chapter);
            }
            while (page.body.size() < kChapterText / files) {
                QString paragraph;
                for (int s = 0; s < 5; ++s) {
                    paragraph += (s == 0 ? QString() : QStringLiteral(" ")) + prose.sentence();
                }
                page.body += QStringLiteral("<p>") + paragraph + QStringLiteral("</p>\n");
            }
            packed += qCompress(PageXhtml(page)).size();
            book.pages.append(page);
        }
    }
    return book;
}
