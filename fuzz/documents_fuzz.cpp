// Documents of every kind the program opens: the first byte of the input picks the kind (the
// file's extension), the rest is the file, read as the program reads a document it is handed.
// HTML comes first: a web page handed over as it is has its '<' (60) pick HTML for the rest.
#include <QGuiApplication>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "documents/documentreader.h"
#include "fuzz/scratchfolder.h"

namespace {

const char* const kExtensions[] = {"html", "md", "epub", "docx", "odt", "pdf"};
constexpr size_t kKinds = sizeof(kExtensions) / sizeof(kExtensions[0]);

// Web pages are laid out as rich text, whose fonts need a GUI application: made here as the
// window program has one, without a screen, before the scratch folder would make a plain one.
void MakeApplication() {
    static int argc = 1;
    static char name[] = "quillsong-fuzz";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    (void)offscreen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MakeApplication();
    if (size == 0) {
        return 0;
    }
    const QString name = QStringLiteral("document.") + QLatin1String(kExtensions[data[0] % kKinds]);
    const QString path = ScratchFolder::instance().write(name, data + 1, size - 1);
    const std::atomic<bool> going(false);
    const Document document = DocumentReader::read(path, &going);
    // A document is either read, with text, or refused with a reason that names the file.
    if (document.ok()) {
        FUZZ_CHECK(!document.chapters.isEmpty());
        FUZZ_CHECK(!document.wholeText().trimmed().isEmpty());
    } else {
        FUZZ_CHECK(document.chapters.isEmpty());
        FUZZ_CHECK(document.error.startsWith(path));
    }
    return 0;
}
