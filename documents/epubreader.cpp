#include "documents/epubreader.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QTextDocumentFragment>
#include <QUrl>
#include <QXmlStreamReader>
#include <utility>

#include "documents/htmltext.h"
#include "documents/ziparchive.h"
#include "platform/shell/utilsclass.h"

namespace {

constexpr auto kContainer = QLatin1StringView("META-INF/container.xml");
constexpr auto kEncryption = QLatin1StringView("META-INF/encryption.xml");
constexpr auto kPackageType = QLatin1StringView("application/oebps-package+xml");
constexpr auto kNcxType = QLatin1StringView("application/x-dtbncx+xml");
constexpr auto kOpsNamespace = QLatin1StringView("http://www.idpf.org/2007/ops");
// How much of a content document is searched for its XML declaration.
constexpr qsizetype kDeclarationSearch = 256;

struct ManifestItem {
    QString path;  // the member's name in the archive
    QString mediaType;
    QStringList properties;
};

struct Package {
    QString title;
    QHash<QString, ManifestItem> manifest;  // by id
    QStringList spine;                      // ids in reading order
    QString ncxId;                          // the spine's toc attribute (EPUB 2)
};

struct TocEntry {
    QString path;  // the member the entry points into, without its fragment
    QString title;
};

// A member's name from a reference in another member: relative to that member's folder,
// percent-decoded, without its fragment. Empty for a reference that leaves the book.
QString Resolve(const QString& fromMember, const QString& href) {
    const QUrl url(href.trimmed(), QUrl::TolerantMode);
    if (href.trimmed().isEmpty() || !url.isValid() || !url.isRelative()) {
        return {};
    }
    QUrl base;
    base.setScheme(QStringLiteral("zip"));
    base.setPath(QLatin1Char('/') + fromMember);
    const QString path = base.resolved(url).path();
    return path.startsWith(QLatin1Char('/')) ? path.mid(1) : path;
}

QString XmlFailure(const QString& what, const QXmlStreamReader& xml) {
    return QStringLiteral("%1 is damaged (line %2: %3)")
        .arg(what)
        .arg(xml.lineNumber())
        .arg(xml.errorString());
}

QString Attribute(const QXmlStreamReader& xml, QLatin1StringView name) {
    return xml.attributes().value(name).toString();
}

bool IsContentDocument(const ManifestItem& item) {
    const QString type = item.mediaType.trimmed().toLower();
    if (type == QLatin1StringView("application/xhtml+xml") ||
        type == QLatin1StringView("text/html")) {
        return true;
    }
    const QString name = item.path.toLower();
    return type.isEmpty() &&
           (name.endsWith(QLatin1StringView(".xhtml")) ||
            name.endsWith(QLatin1StringView(".html")) || name.endsWith(QLatin1StringView(".htm")));
}

// XHTML names its encoding in the XML declaration, which HTML decoding does not look at.
QString DecodeXhtml(const QByteArray& bytes) {
    if (!QStringDecoder::encodingForData(bytes) && bytes.trimmed().startsWith("<?xml")) {
        QXmlStreamReader xml(bytes.left(kDeclarationSearch));
        if (xml.readNext() == QXmlStreamReader::StartDocument) {
            const QByteArray encoding = xml.documentEncoding().toLatin1();
            if (!encoding.isEmpty()) {
                QStringDecoder decoder(encoding.constData());
                if (decoder.isValid()) {
                    return decoder.decode(bytes);
                }
            }
        }
    }
    return HtmlText::decodeHtml(bytes);
}

// Navigation documents written as HTML use its named characters (&nbsp;), which XML does not
// know: they are looked up the way Qt reads HTML.
class HtmlEntities : public QXmlStreamEntityResolver {
  public:
    QString resolveUndeclaredEntity(const QString& name) override {
        const QString reference = QLatin1Char('&') + name + QLatin1Char(';');
        const QString text = QTextDocumentFragment::fromHtml(reference).toPlainText();
        return text == reference ? QString() : text;
    }
};

// The archive with its members found by name, or by name in another case when a book's
// references do not match its members' case.
class Archive {
  public:
    ZipArchive zip;

    // The member's name as the archive spells it; empty when it holds no such member.
    QString find(const QString& member) {
        if (zip.contains(member)) {
            return member;
        }
        if (m_lowered.isEmpty()) {
            for (const QString& name : zip.members()) {
                m_lowered.insert(name.toLower(), name);
            }
        }
        return m_lowered.value(member.toLower());
    }

    bool read(const QString& member, QByteArray* bytes, QString* error) {
        const QString name = find(member);
        return zip.read(name.isEmpty() ? member : name, bytes, error);
    }

  private:
    QHash<QString, QString> m_lowered;
};

// The package file named by META-INF/container.xml; empty with error set when none.
QString PackagePath(Archive& archive, QString* error) {
    QByteArray bytes;
    QString reason;
    if (!archive.read(kContainer, &bytes, &reason)) {
        *error = !archive.find(kContainer).isEmpty()
                     ? reason
                     : QStringLiteral("it is not an EPUB book (%1 is missing)").arg(kContainer);
        return {};
    }
    QString path;
    QXmlStreamReader xml(bytes);
    while (path.isEmpty() && !xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1StringView("rootfile")) {
            const QString type = Attribute(xml, QLatin1StringView("media-type"));
            if (type.isEmpty() || type == kPackageType) {
                path = Attribute(xml, QLatin1StringView("full-path")).trimmed();
            }
        }
    }
    if (path.startsWith(QLatin1Char('/'))) {
        path = path.mid(1);
    }
    if (path.isEmpty()) {
        *error = xml.hasError()
                     ? XmlFailure(kContainer, xml)
                     : QStringLiteral("it is not an EPUB book (%1 names no package file)")
                           .arg(kContainer);
    }
    return path;
}

bool ReadPackage(Archive& archive, const QString& path, Package* package, QString* error) {
    QByteArray bytes;
    if (!archive.read(path, &bytes, error)) {
        if (archive.find(path).isEmpty()) {
            *error =
                QStringLiteral("it is not an EPUB book (its package file %1 is missing)").arg(path);
        }
        return false;
    }
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const QStringView name = xml.name();
        if (name == QLatin1StringView("title") && package->title.isEmpty()) {
            package->title =
                xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        } else if (name == QLatin1StringView("item")) {
            const QString id = Attribute(xml, QLatin1StringView("id"));
            if (!package->manifest.contains(id)) {
                package->manifest.insert(id,
                                         {Resolve(path, Attribute(xml, QLatin1StringView("href"))),
                                          Attribute(xml, QLatin1StringView("media-type")),
                                          Attribute(xml, QLatin1StringView("properties"))
                                              .split(QLatin1Char(' '), Qt::SkipEmptyParts)});
            }
        } else if (name == QLatin1StringView("spine")) {
            package->ncxId = Attribute(xml, QLatin1StringView("toc"));
        } else if (name == QLatin1StringView("itemref")) {
            package->spine << Attribute(xml, QLatin1StringView("idref"));
        }
    }
    if (xml.hasError()) {
        const QString failure = XmlFailure(QStringLiteral("its package file ") + path, xml);
        if (package->spine.isEmpty()) {
            *error = failure;
            return false;
        }
        UtilsClass::WriteDebugLine(QStringLiteral("EPUB: ") + failure +
                                   QStringLiteral("; read as far as it goes"));
    }
    if (package->spine.isEmpty()) {
        *error = QStringLiteral("its package file %1 lists no documents to read").arg(path);
        return false;
    }
    return true;
}

// The members META-INF/encryption.xml says are encrypted: fonts for mere obfuscation, content
// documents when the book is locked by DRM.
QSet<QString> EncryptedMembers(Archive& archive) {
    QSet<QString> members;
    if (archive.find(kEncryption).isEmpty()) {
        return members;
    }
    QByteArray bytes;
    QString error;
    if (!archive.read(kEncryption, &bytes, &error)) {
        UtilsClass::WriteDebugLine(QStringLiteral("EPUB: ") + error);
        return members;
    }
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1StringView("CipherReference")) {
            members.insert(Resolve(QString(), Attribute(xml, QLatin1StringView("URI"))));
        }
    }
    if (xml.hasError()) {
        UtilsClass::WriteDebugLine(QStringLiteral("EPUB: ") + XmlFailure(kEncryption, xml));
    }
    return members;
}

bool IsTocNav(const QXmlStreamReader& xml) {
    for (const QXmlStreamAttribute& attribute : xml.attributes()) {
        if (attribute.name() == QLatin1StringView("type") &&
            (attribute.namespaceUri() == kOpsNamespace ||
             attribute.qualifiedName() == QLatin1StringView("epub:type")) &&
            attribute.value().split(QLatin1Char(' ')).contains(QLatin1StringView("toc"))) {
            return true;
        }
    }
    return false;
}

// The entries of an EPUB 3 navigation document's <nav epub:type="toc">, in their order.
QList<TocEntry> NavEntries(const QString& path, const QByteArray& bytes, QString* failure) {
    QList<TocEntry> entries;
    QXmlStreamReader xml(bytes);
    HtmlEntities entities;
    xml.setEntityResolver(&entities);
    int navDepth = 0;  // inside the table of contents when above zero
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const bool isNav = xml.name() == QLatin1StringView("nav");
        if (token == QXmlStreamReader::StartElement) {
            if (isNav && (navDepth > 0 || IsTocNav(xml))) {
                ++navDepth;
            } else if (navDepth > 0 && xml.name() == QLatin1StringView("a")) {
                const QString target = Resolve(path, Attribute(xml, QLatin1StringView("href")));
                const QString title =
                    xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
                if (!target.isEmpty()) {
                    entries.append({target, title});
                }
            }
        } else if (token == QXmlStreamReader::EndElement && isNav && navDepth > 0) {
            if (--navDepth == 0) {
                break;
            }
        }
    }
    if (xml.hasError()) {
        *failure = XmlFailure(path, xml);
    }
    return entries;
}

// The entries of an EPUB 2 toc.ncx's navMap, parents before their children.
QList<TocEntry> NcxEntries(const QString& path, const QByteArray& bytes, QString* failure) {
    QList<TocEntry> entries;
    QList<qsizetype> open;  // the entry of each navPoint being read
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QStringView name = xml.name();
        if (token == QXmlStreamReader::StartElement) {
            if (name == QLatin1StringView("navPoint")) {
                open << entries.size();
                entries.append(TocEntry());
            } else if (open.isEmpty()) {
                continue;
            } else if (name == QLatin1StringView("text") && entries[open.last()].title.isEmpty()) {
                entries[open.last()].title = xml.readElementText().simplified();
            } else if (name == QLatin1StringView("content") &&
                       entries[open.last()].path.isEmpty()) {
                entries[open.last()].path = Resolve(path, Attribute(xml, QLatin1StringView("src")));
            }
        } else if (token == QXmlStreamReader::EndElement && name == QLatin1StringView("navPoint") &&
                   !open.isEmpty()) {
            open.removeLast();
        } else if (token == QXmlStreamReader::EndElement && name == QLatin1StringView("navMap")) {
            break;
        }
    }
    if (xml.hasError()) {
        *failure = XmlFailure(path, xml);
    }
    return entries;
}

// The book's table of contents: its EPUB 3 navigation document, else its EPUB 2 toc.ncx.
// Empty when it has neither or they cannot be read.
QList<TocEntry> TableOfContents(Archive& archive, const Package& package) {
    QString navPath;
    QString ncxPath = package.manifest.value(package.ncxId).path;
    for (const ManifestItem& item : package.manifest) {
        if (item.properties.contains(QLatin1StringView("nav"))) {
            navPath = item.path;
        } else if (ncxPath.isEmpty() && item.mediaType == kNcxType) {
            ncxPath = item.path;
        }
    }
    QList<TocEntry> best;
    for (const QString& path : {navPath, ncxPath}) {
        if (path.isEmpty()) {
            continue;
        }
        QByteArray bytes;
        QString failure;
        if (!archive.read(path, &bytes, &failure)) {
            UtilsClass::WriteDebugLine(QStringLiteral("EPUB: its table of contents ") + failure);
            continue;
        }
        QList<TocEntry> entries =
            path == navPath ? NavEntries(path, bytes, &failure) : NcxEntries(path, bytes, &failure);
        if (failure.isEmpty() && !entries.isEmpty()) {
            return entries;
        }
        if (!failure.isEmpty()) {
            // What came before the fault is still good, if nothing better is found.
            UtilsClass::WriteDebugLine(QStringLiteral("EPUB: its table of contents ") + failure);
        }
        if (entries.size() > best.size()) {
            best = std::move(entries);
        }
    }
    return best;
}

}  // namespace

Document EpubReader::read(const QString& fileName, const std::atomic<bool>* cancel) {
    Document document;
    Archive archive;
    if (!archive.zip.open(fileName, &document.error)) {
        return document;
    }
    const QString packagePath = PackagePath(archive, &document.error);
    Package package;
    if (packagePath.isEmpty() || !ReadPackage(archive, packagePath, &package, &document.error)) {
        return document;
    }
    document.title = package.title;

    QList<ManifestItem> spine;
    QSet<QString> listed;  // a document listed again is read once, where it first stands
    for (const QString& id : std::as_const(package.spine)) {
        const auto item = package.manifest.constFind(id);
        if (item == package.manifest.constEnd()) {
            UtilsClass::WriteDebugLine(
                QStringLiteral("EPUB %1: its reading order names %2, which it does not hold")
                    .arg(fileName, id));
        } else if (item->properties.contains(QLatin1StringView("nav"))) {
            // The table of contents, when a book lists it among its pages, is not read out:
            // its entries already title the chapters.
            continue;
        } else if (IsContentDocument(*item) && !listed.contains(item->path)) {
            listed.insert(item->path);
            spine << *item;
        }
    }
    const QSet<QString> encrypted = EncryptedMembers(archive);
    for (const ManifestItem& item : std::as_const(spine)) {
        if (encrypted.contains(item.path)) {
            document.error = QStringLiteral("it is protected (DRM)");
            return document;
        }
    }

    // The first entry for a document gives its title.
    QHash<QString, QString> tocTitles;
    for (const TocEntry& entry : TableOfContents(archive, package)) {
        if (!tocTitles.contains(entry.path)) {
            tocTitles.insert(entry.path, entry.title);
        }
    }
    bool useToc = false;
    for (const ManifestItem& item : std::as_const(spine)) {
        useToc = useToc || tocTitles.contains(item.path);
    }

    // A document the table of contents does not name goes on the chapter before it: a chapter
    // split over several files is one chapter. Those before the first entry stand alone.
    bool tocBegun = false;
    bool anyRead = false;
    QString firstFailure;
    qsizetype textSize = 0;
    for (const ManifestItem& item : std::as_const(spine)) {
        if (cancel && cancel->load()) {
            document.chapters.clear();
            document.error = QStringLiteral("the opening was stopped");
            return document;
        }
        QByteArray bytes;
        QString failure;
        const bool read = archive.read(item.path, &bytes, &failure);
        if (!read && archive.zip.exhausted()) {
            document.chapters.clear();
            document.error = failure;
            return document;
        }
        if (!read) {
            UtilsClass::WriteDebugLine(
                QStringLiteral("EPUB %1: %2; the rest is read without it").arg(fileName, failure));
            if (firstFailure.isEmpty()) {
                firstFailure = failure;
            }
            continue;
        }
        anyRead = true;
        const HtmlText::Result page =
            HtmlText::fromHtml(DecodeXhtml(std::exchange(bytes, {})), cancel);
        if (page.stopped) {
            document.chapters.clear();
            document.error = QStringLiteral("the opening was stopped");
            return document;
        }
        const QString text = page.text.trimmed();
        textSize += text.size();
        if (textSize > Document::kLargestText) {
            document.chapters.clear();
            document.error = Document::tooMuchText();
            return document;
        }
        if (useToc && tocTitles.contains(item.path)) {
            document.chapters.append({tocTitles.value(item.path), text});
            tocBegun = true;
        } else if (tocBegun) {
            QString& last = document.chapters.last().text;
            if (!last.isEmpty() && !text.isEmpty()) {
                last += QStringLiteral("\n\n");
            }
            last += text;
        } else if (!text.isEmpty()) {
            document.chapters.append({page.title, text});
        }
    }
    document.chapters.removeIf(
        [](const DocumentChapter& chapter) { return chapter.text.isEmpty(); });
    if (!anyRead && !firstFailure.isEmpty()) {
        document.error = firstFailure;
    } else if (document.chapters.isEmpty()) {
        // A book of pictures alone: read, but with nothing to say.
        document.chapters.append(DocumentChapter());
    }
    return document;
}
