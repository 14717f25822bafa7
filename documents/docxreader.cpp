#include "documents/docxreader.h"

Document DocxReader::read(const QString&, const std::atomic<bool>*) {
    Document document;
    document.error = QStringLiteral("this kind of document cannot be read yet");
    return document;
}
