#include "documents/officepackage.h"

#include "platform/shell/utilsclass.h"

namespace {

// How many XML tokens are read between two looks at the cancel flag.
constexpr int kTokensPerCancelCheck = 512;

const QString kDublinCore = QStringLiteral("http://purl.org/dc/elements/1.1/");

bool Cancelled(const std::atomic<bool>* cancel, Document* document) {
    if (cancel && cancel->load()) {
        document->error = QStringLiteral("the opening was stopped");
        return true;
    }
    return false;
}

QString XmlError(const QString& member, const QXmlStreamReader& xml) {
    return QStringLiteral("line %1 of %2: %3").arg(xml.lineNumber()).arg(member, xml.errorString());
}

// The first dc:title of a properties part; empty when there is none or the part cannot be read,
// which costs the document its title only.
QString Title(const ZipArchive& zip, const QString& fileName, const QString& member) {
    QByteArray bytes;
    if (!OfficePackage::readOptionalPart(fileName, zip, member, &bytes)) {
        return QString();
    }
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.namespaceUri() == kDublinCore &&
            xml.name() == QLatin1String("title")) {
            const QString title =
                xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
            if (!xml.hasError()) {
                return title;
            }
        }
    }
    OfficePackage::logOptionalPartError(fileName, member, xml);
    return QString();
}

}  // namespace

Document OfficePackage::read(const QString& fileName, const Parts& parts, Content& content,
                             const std::atomic<bool>* cancel) {
    Document document;
    ZipArchive zip;
    if (!zip.open(fileName, &document.error)) {
        return document;
    }
    if (!zip.contains(parts.main)) {
        document.error = parts.notOfKind;
        return document;
    }
    document.error = content.refusal(fileName, zip);
    if (!document.ok()) {
        return document;
    }
    QByteArray bytes;
    if (!zip.read(parts.main, &bytes, &document.error)) {
        return document;
    }
    PlainTextBuilder text;
    QXmlStreamReader xml(bytes);
    for (int tokens = 0; !xml.atEnd(); ++tokens) {
        if (tokens % kTokensPerCancelCheck == 0 && Cancelled(cancel, &document)) {
            return document;
        }
        if (tokens % kTokensPerCancelCheck == 0 && text.size() > Document::kLargestText) {
            document.error = Document::tooMuchText();  // refused before it is all made
            return document;
        }
        switch (xml.readNext()) {
            case QXmlStreamReader::StartElement:
                content.start(xml, text);
                break;
            case QXmlStreamReader::EndElement:
                content.end(xml, text);
                break;
            case QXmlStreamReader::Characters:
                content.characters(xml, text);
                break;
            default:
                break;
        }
    }
    if (xml.hasError()) {
        document.error = QStringLiteral("it is damaged (%1)").arg(XmlError(parts.main, xml));
        return document;
    }
    if (Cancelled(cancel, &document)) {
        return document;
    }
    document.title = Title(zip, fileName, parts.properties);
    document.chapters.append({QString(), text.text()});
    return document;
}

bool OfficePackage::readOptionalPart(const QString& fileName, const ZipArchive& zip,
                                     const QString& member, QByteArray* bytes) {
    if (member.isEmpty() || !zip.contains(member)) {
        return false;
    }
    QString error;
    if (!zip.read(member, bytes, &error)) {
        UtilsClass::WriteDebugLine(
            QStringLiteral("%1 is read without a part: %2").arg(fileName, error));
        return false;
    }
    return true;
}

void OfficePackage::logOptionalPartError(const QString& fileName, const QString& member,
                                         const QXmlStreamReader& xml) {
    if (xml.hasError()) {
        UtilsClass::WriteDebugLine(
            QStringLiteral("%1 is read without a part: %2").arg(fileName, XmlError(member, xml)));
    }
}
