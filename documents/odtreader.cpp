#include "documents/odtreader.h"

#include <QList>

#include "documents/officepackage.h"

namespace {

const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kDrawing = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");

const QString kContent = QStringLiteral("content.xml");
const QString kManifestPart = QStringLiteral("META-INF/manifest.xml");

// content.xml: the character data of paragraphs and headings (and of nothing else, so that
// styles and declarations stay out), tables row by row, drawings by their descriptions.
class OpenDocumentContent : public OfficePackage::Content {
  public:
    // A document saved with a password has its content.xml encrypted, as the manifest says.
    // The manifest is no more than a list of the parts: when it cannot be read, the content
    // may still be.
    QString refusal(const QString& fileName, const ZipArchive& zip) override {
        QByteArray bytes;
        if (!OfficePackage::readOptionalPart(fileName, zip, kManifestPart, &bytes)) {
            return QString();
        }
        QXmlStreamReader xml(bytes);
        QString entry;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement ||
                xml.namespaceUri() != kManifest) {
                continue;
            }
            if (xml.name() == QLatin1String("file-entry")) {
                entry = xml.attributes().value(kManifest, QLatin1String("full-path")).toString();
            } else if (xml.name() == QLatin1String("encryption-data") && entry == kContent) {
                return QStringLiteral("it is protected by a password");
            }
        }
        OfficePackage::logOptionalPartError(fileName, kManifestPart, xml);
        return QString();
    }

    void start(QXmlStreamReader& xml, PlainTextBuilder& text) override {
        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        if (ns == kText) {
            if (name == QLatin1String("p") || name == QLatin1String("h")) {
                ++m_paragraphDepth;
                text.beginParagraph();
            } else if (name == QLatin1String("s") || name == QLatin1String("tab")) {
                text.addText(QStringLiteral(" "));  // a run of blanks is read as one
            } else if (name == QLatin1String("line-break")) {
                text.addLineBreak();
            } else if (name == QLatin1String("note") || name == QLatin1String("tracked-changes")) {
                // Footnotes and endnotes, and the deleted text of tracked changes.
                xml.skipCurrentElement();
            }
        } else if (ns == kTable) {
            if (name == QLatin1String("table")) {
                text.beginTable();
            } else if (name == QLatin1String("table-row")) {
                text.beginRow();
            } else if (name == QLatin1String("table-cell")) {
                text.beginCell();
            }
        } else if (ns == kDrawing) {
            m_drawings.append(Drawing());
        } else if (ns == kSvg) {
            // The title or description of the drawing element that holds it.
            if (name == QLatin1String("title") || name == QLatin1String("desc")) {
                const bool isTitle = name == QLatin1String("title");
                const QString said = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (!m_drawings.isEmpty()) {
                    (isTitle ? m_drawings.last().title : m_drawings.last().description) = said;
                }
            }
        } else if (ns == kOffice && name == QLatin1String("annotation")) {
            xml.skipCurrentElement();  // a comment
        }
    }

    void end(QXmlStreamReader& xml, PlainTextBuilder& text) override {
        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        if (ns == kText && (name == QLatin1String("p") || name == QLatin1String("h"))) {
            --m_paragraphDepth;
            text.endParagraph();
        } else if (ns == kTable) {
            if (name == QLatin1String("table")) {
                text.endTable();
            } else if (name == QLatin1String("table-row")) {
                text.endRow();
            } else if (name == QLatin1String("table-cell")) {
                text.endCell();
            }
        } else if (ns == kDrawing && !m_drawings.isEmpty()) {
            const Drawing drawing = m_drawings.takeLast();
            text.addImage(drawing.description, drawing.title);
        }
    }

    void characters(QXmlStreamReader& xml, PlainTextBuilder& text) override {
        if (m_paragraphDepth > 0) {
            text.addText(xml.text().toString());
        }
    }

  private:
    struct Drawing {
        QString title;
        QString description;
    };
    int m_paragraphDepth = 0;
    QList<Drawing> m_drawings;  // the drawing elements open, innermost last
};

}  // namespace

Document OdtReader::read(const QString& fileName, const std::atomic<bool>* cancel) {
    OpenDocumentContent content;
    return OfficePackage::read(
        fileName,
        {kContent, QStringLiteral("it is not an OpenDocument text (content.xml is missing)"),
         QStringLiteral("meta.xml")},
        content, cancel);
}
