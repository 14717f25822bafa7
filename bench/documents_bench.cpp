// Opening documents into the article list of the main window (multi-article mode): a PDF of
// 500 pages and an EPUB book of 1 MB, each made at the start ("gap": the longest time the
// window's event loop went without turning while the document was opened):
//
//   build/bin/documents_bench           (needs an audio server, as the program does)
//
// Goal: each document in the list in under 2 s, the window answering throughout.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTimer>

#include "app/form1.h"
#include "articles/memolistbox.h"
#include "bench/privateprofile.h"
#include "bench/windowstart.h"
#include "platform/shell/usermessage.h"
#include "tests/documents/epubmaker.h"

namespace {

constexpr int kPages = 500;
constexpr int kLinesPerPage = 45;
constexpr qint64 kEpubBytes = 1024 * 1024;
constexpr int kStartTimeoutMs = 20000;
constexpr int kTickMs = 5;

QString g_pdf;
QString g_epub;

// A report of kPages pages of prose, each page headed and footed as reports are.
bool WritePdf(const QString& path) {
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("A Long Report"));
    QPainter painter(&writer);
    if (!painter.isActive()) {
        return false;
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);
    painter.setFont(font);
    const int line = painter.fontMetrics().height();
    for (int page = 1; page <= kPages; ++page) {
        if (page > 1) {
            writer.newPage();
        }
        painter.drawText(0, line, QStringLiteral("A Long Report"));
        for (int i = 0; i < kLinesPerPage; ++i) {
            painter.drawText(0, line * (i + 3),
                             QStringLiteral("Line %1 of page %2 tells of the garden, its beds "
                                            "and the seasons that turn them.")
                                 .arg(i + 1)
                                 .arg(page));
        }
        painter.drawText(0, line * (kLinesPerPage + 5), QStringLiteral("Page %1").arg(page));
    }
    return painter.end();
}

void Open(benchmark::State& state, const QString& path) {
    auto form = StartBenchWindow(kStartTimeoutMs);
    if (!form) {
        state.SkipWithError("the main window did not start");
        return;
    }
    form->SwitchMode(1);  // multi-article mode: a book becomes one article per chapter
    // What the window would show in a dialog ends the run instead, with its words.
    QString told;
    UserMessage::setHandler([&told](UserMessage::Kind, const QString& text) { told = text; });
    // The event loop's turns, seen through a timer that fires as often as it can.
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = qMax(longest, sinceTick.restart()); });
    ticker.start(kTickMs);
    qint64 gap = 0;
    for (auto _ : state) {
        const int before = form->List()->VisibleCount();
        QElapsedTimer clock;
        clock.start();
        sinceTick.start();
        longest = 0;
        form->OpenTextFiles({path});
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        gap = qMax(gap, longest);
        if (form->List()->VisibleCount() <= before) {
            state.SkipWithError(qPrintable(QStringLiteral("the document was not opened: ") + told));
            break;
        }
        state.counters["articles"] = form->List()->VisibleCount() - before;
    }
    state.counters["gap_ms"] = double(gap);
    form->ExitQuillsongClick();
}

void Pdf500Pages(benchmark::State& state) {
    Open(state, g_pdf);
}
BENCHMARK(Pdf500Pages)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void Epub1MB(benchmark::State& state) {
    Open(state, g_epub);
}
BENCHMARK(Epub1MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, {}, [](const QString& data) {
        g_pdf = data + QStringLiteral("/report.pdf");
        g_epub = data + QStringLiteral("/book.epub");
        if (!WritePdf(g_pdf) || !WriteEpub(g_epub, LargeEpubBook(kEpubBytes))) {
            std::fprintf(stderr, "the documents could not be made\n");
        }
    });
}
