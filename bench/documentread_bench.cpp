// Reads one document as the program opens it, and says how long that took and what came of it
// (the text's length, or the reason it was refused); with --text, the text itself as well:
//
//   build/bin/documentread_bench [--text] FILE
//
// bench/crafted_documents.sh runs it under /usr/bin/time -v on crafted documents.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

#include "documents/documentreader.h"

int main(int argc, char** argv) {
    const bool showText = argc == 3 && qstrcmp(argv[1], "--text") == 0;
    if (argc != 2 && !showText) {
        std::fprintf(stderr, "usage: documentread_bench [--text] FILE\n");
        return 2;
    }
    // Web pages are laid out with fonts, as in the program; no screen is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();
    const Document document = DocumentReader::read(QString::fromLocal8Bit(argv[argc - 1]));
    const double seconds = double(timer.elapsed()) / 1000.0;
    if (document.ok()) {
        std::printf("read in %.2f s: %lld characters\n", seconds,
                    static_cast<long long>(document.wholeText().size()));
        if (showText) {
            std::printf("%s\n%s\n", qPrintable(document.title), qPrintable(document.wholeText()));
        }
    } else {
        std::printf("refused in %.2f s: %s\n", seconds, qPrintable(document.error));
    }
    return 0;
}
