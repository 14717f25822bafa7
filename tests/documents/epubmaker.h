#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// One content document of a made-up EPUB book.
struct EpubPage {
    QString fileName;  // its path under OEBPS/, e.g. "Text/chapter 1.xhtml"
    QString tocTitle;  // its entry in the table of contents, as markup; none when empty
    QString htmlTitle;
    QString body;  // what goes inside <body>
    QString mediaType = QStringLiteral("application/xhtml+xml");
    QByteArray content;   // written instead of the XHTML built from the above when not empty
    bool written = true;  // false: listed in the package but missing from the archive
};

// A page of the table of contents (none when tocTitle is empty) with the given body.
EpubPage TextPage(const QString& fileName, const QString& tocTitle, const QString& body,
                  const QString& htmlTitle = QString());

struct EpubBook {
    enum class Toc { Nav, Ncx, None };
    QString title;
    QList<EpubPage> pages;  // in reading order
    Toc toc = Toc::Nav;
    bool navInSpine = false;  // the navigation document also listed first in the reading order
    QList<QPair<QString, QByteArray>> extraMembers;  // written after the rest, as they are
};

// Writes the book as an EPUB file: mimetype, META-INF/container.xml, OEBPS/content.opf, its
// table of contents (OEBPS/nav.xhtml or OEBPS/toc.ncx) and its pages. False when it fails.
bool WriteEpub(const QString& path, const EpubBook& book);

// A book of plain made-up prose whose EPUB file comes to about fileBytes: chapters of a few
// dozen paragraphs, every third one split over two files.
EpubBook LargeEpubBook(qint64 fileBytes);
