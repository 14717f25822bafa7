#include "documents/docxreader.h"

#include "documents/officepackage.h"

namespace {

// The word processing namespace: the usual one, and the one of strict Office Open XML.
const QString kWord =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kStrictWord = QStringLiteral("http://purl.oclc.org/ooxml/wordprocessingml/main");
const QString kDrawing =
    QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
const QString kStrictDrawing =
    QStringLiteral("http://purl.oclc.org/ooxml/drawingml/wordprocessingDrawing");
const QString kCompatibility =
    QStringLiteral("http://schemas.openxmlformats.org/markup-compatibility/2006");

// Elements whose content is not read: deleted and moved-away text, and the properties of
// paragraphs, runs, tables and sections (their w:tab are tab stops, not tabs).
const QStringList kPassedOver = {
    QStringLiteral("del"),     QStringLiteral("moveFrom"), QStringLiteral("pPr"),
    QStringLiteral("rPr"),     QStringLiteral("sectPr"),   QStringLiteral("tblPr"),
    QStringLiteral("tblPrEx"), QStringLiteral("tblGrid"),  QStringLiteral("trPr"),
    QStringLiteral("tcPr"),
};

// word/document.xml: text only from w:t, so that field codes, deleted text and the like stay
// out whatever holds them.
class WordContent : public OfficePackage::Content {
  public:
    void start(QXmlStreamReader& xml, PlainTextBuilder& text) override {
        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        if (ns == kDrawing || ns == kStrictDrawing) {
            if (name == QLatin1String("docPr")) {  // a picture's properties
                const QXmlStreamAttributes attributes = xml.attributes();
                text.addImage(attributes.value(QLatin1String("descr")).toString(),
                              attributes.value(QLatin1String("title")).toString());
            }
            return;
        }
        if (ns == kCompatibility && name == QLatin1String("Fallback")) {
            // The same content again for programs that cannot read the choice before it.
            xml.skipCurrentElement();
            return;
        }
        if (ns != kWord && ns != kStrictWord) {
            return;
        }
        if (kPassedOver.contains(name)) {
            xml.skipCurrentElement();
        } else if (name == QLatin1String("t")) {
            text.addText(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (name == QLatin1String("p")) {
            text.beginParagraph();
        } else if (name == QLatin1String("tab") || name == QLatin1String("ptab")) {
            text.addText(QStringLiteral(" "));
        } else if (name == QLatin1String("noBreakHyphen")) {
            text.addText(QStringLiteral("-"));
        } else if (name == QLatin1String("br") || name == QLatin1String("cr")) {
            text.addLineBreak();
        } else if (name == QLatin1String("tbl")) {
            text.beginTable();
        } else if (name == QLatin1String("tr")) {
            text.beginRow();
        } else if (name == QLatin1String("tc")) {
            text.beginCell();
        }
    }

    void end(QXmlStreamReader& xml, PlainTextBuilder& text) override {
        const QStringView ns = xml.namespaceUri();
        if (ns != kWord && ns != kStrictWord) {
            return;
        }
        const QStringView name = xml.name();
        if (name == QLatin1String("p")) {
            text.endParagraph();
        } else if (name == QLatin1String("tbl")) {
            text.endTable();
        } else if (name == QLatin1String("tr")) {
            text.endRow();
        } else if (name == QLatin1String("tc")) {
            text.endCell();
        }
    }

    void characters(QXmlStreamReader&, PlainTextBuilder&) override {}
};

}  // namespace

Document DocxReader::read(const QString& fileName, const std::atomic<bool>* cancel) {
    WordContent content;
    return OfficePackage::read(
        fileName,
        {QStringLiteral("word/document.xml"),
         QStringLiteral("it is not a Word document (word/document.xml is missing)"),
         QStringLiteral("docProps/core.xml")},
        content, cancel);
}
