#include "documents/documentreader.h"

#include <poppler-qt6.h>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <mutex>
#include <utility>

#include "documents/docxreader.h"
#include "documents/epubreader.h"
#include "documents/htmltext.h"
#include "documents/odtreader.h"
#include "documents/pdfreader.h"
#include "platform/shell/utilsclass.h"

namespace {

// An HTML or Markdown file larger than this is refused rather than parsed whole.
constexpr qint64 kLargestMarkup = 64LL * 1024 * 1024;

struct KindInfo {
    DocumentReader::Kind kind;
    const char* filterName;
    QStringList extensions;
};

const QList<KindInfo>& Kinds() {
    using Kind = DocumentReader::Kind;
    static const QList<KindInfo> kinds = {
        {Kind::Epub, "EPUB books", {QStringLiteral("epub")}},
        {Kind::Pdf, "PDF documents", {QStringLiteral("pdf")}},
        {Kind::Html,
         "Web pages",
         {QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("xhtml")}},
        {Kind::Markdown, "Markdown", {QStringLiteral("md"), QStringLiteral("markdown")}},
        {Kind::Docx, "Word documents", {QStringLiteral("docx")}},
        {Kind::Odt, "OpenDocument texts", {QStringLiteral("odt")}},
    };
    return kinds;
}

QString Patterns(const QStringList& extensions) {
    QStringList patterns;
    for (const QString& extension : extensions) {
        patterns << QStringLiteral("*.") + extension << QStringLiteral("*.") + extension.toUpper();
    }
    return patterns.join(QLatin1Char(' '));
}

Document ReadMarkup(const QString& fileName, DocumentReader::Kind kind,
                    const std::atomic<bool>* cancel) {
    Document document;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        document.error = file.errorString();
        return document;
    }
    if (file.size() > kLargestMarkup) {
        document.error = QStringLiteral("it is larger than %1 MB").arg(kLargestMarkup >> 20);
        return document;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        document.error = file.errorString();
        return document;
    }
    const QString markup = kind == DocumentReader::Kind::Html
                               ? HtmlText::decodeHtml(std::exchange(bytes, {}))
                               : QString::fromUtf8(std::exchange(bytes, {}));
    const HtmlText::Result result = kind == DocumentReader::Kind::Html
                                        ? HtmlText::fromHtml(markup, cancel)
                                        : HtmlText::fromMarkdown(markup, cancel);
    if (result.stopped) {
        document.error = QStringLiteral("the opening was stopped");
        return document;
    }
    document.title = result.title;
    document.chapters.append({QString(), result.text});
    return document;
}

// Poppler's complaints about a damaged PDF go to the program's log, not to the terminal: the
// user is told once, in the program's own words.
void LogPopplerMessages() {
    static std::once_flag once;
    std::call_once(once, [] {
        Poppler::setDebugErrorFunction(
            [](const QString& message, const QVariant&) {
                UtilsClass::WriteDebugLine(QStringLiteral("PDF: ") + message);
            },
            QVariant());
    });
}

}  // namespace

DocumentReader::Kind DocumentReader::kindOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const KindInfo& info : Kinds()) {
        if (info.extensions.contains(suffix)) {
            return info.kind;
        }
    }
    return Kind::Text;
}

QStringList DocumentReader::dialogFilters() {
    QStringList all;
    QStringList filters;
    for (const KindInfo& info : Kinds()) {
        all << info.extensions;
        filters << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(info.filterName),
                                                 Patterns(info.extensions));
    }
    all << QStringLiteral("txt");
    filters.prepend(QStringLiteral("All readable documents (%1)").arg(Patterns(all)));
    filters << QStringLiteral("Text files (*.txt *.TXT)");
    return filters;
}

Document DocumentReader::read(const QString& fileName, const std::atomic<bool>* cancel) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    Document document;
    if (!QFileInfo::exists(path)) {
        document.error = path + QStringLiteral(" does not exist");
        return document;
    }
    switch (kindOf(path)) {
        case Kind::Html:
        case Kind::Markdown:
            document = ReadMarkup(path, kindOf(path), cancel);
            break;
        case Kind::Epub:
            document = EpubReader::read(path, cancel);
            break;
        case Kind::Pdf:
            LogPopplerMessages();
            document = PdfReader::read(path, cancel);
            break;
        case Kind::Docx:
            document = DocxReader::read(path, cancel);
            break;
        case Kind::Odt:
            document = OdtReader::read(path, cancel);
            break;
        case Kind::Text:
            document.error = QStringLiteral("it is not a document");
            break;
    }
    qsizetype textSize = 0;
    bool blank = true;
    for (const DocumentChapter& chapter : std::as_const(document.chapters)) {
        textSize += chapter.text.size();
        blank = blank && chapter.text.trimmed().isEmpty();
    }
    if (document.ok() && textSize > Document::kLargestText) {
        document.error = Document::tooMuchText();
    }
    if (!document.ok()) {
        document.error = path + QStringLiteral(" cannot be opened: ") + document.error;
    } else if (blank) {
        document.error = path + QStringLiteral(" has no text to read");
    }
    if (!document.ok()) {
        document.chapters.clear();
        UtilsClass::WriteDebugLine(document.error);
    }
    document.title = document.title.simplified();
    return document;
}
