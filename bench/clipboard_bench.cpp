// How long a text copied in another program takes to become an article in the running window:
// from the start of the copying program (xclip, which takes the X clipboard as a browser does)
// to the article in the list, and the window's own share from the clipboard's change signal.
//
//   DISPLAY=:N build/bin/clipboard_bench   (an X display, e.g. Xvfb, and an audio server)
#include <benchmark/benchmark.h>

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>

#include "app/form1.h"
#include "articles/memolistbox.h"
#include "bench/privateprofile.h"
#include "bench/windowstart.h"
#include "settings/preferences.h"

namespace {

constexpr int kWaitMs = 10000;

std::unique_ptr<TForm1> StartedWindow() {
    auto form = StartBenchWindow(kWaitMs);
    if (!form) {
        return nullptr;
    }
    // Every copy becomes a new article at once.
    form->Preferences().CB_Prompt = false;
    form->Preferences().CB_DfltPromptAction = 0;
    form->SwitchMode(1);
    return form;
}

bool CopyInAnotherProgram(const QString& text) {
    QProcess copier;
    copier.start(QStringLiteral("xclip"),
                 {QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!copier.waitForStarted(kWaitMs)) {
        return false;
    }
    copier.write(text.toUtf8());
    copier.closeWriteChannel();
    // xclip stays in the background to serve the text; the process started here ends.
    return copier.waitForFinished(kWaitMs);
}

void BM_CopyToArticleShown(benchmark::State& state) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        state.SkipWithError("needs an X display: other programs' copies are what is measured");
        return;
    }
    auto form = StartedWindow();
    if (!form) {
        state.SkipWithError("the main window did not start");
        return;
    }
    QElapsedTimer fromSignal;
    qint64 windowShareNs = 0;
    QObject::connect(
        QGuiApplication::clipboard(), &QClipboard::dataChanged, form.get(),
        [&] { fromSignal.start(); }, Qt::DirectConnection);
    int copies = 0;
    for (auto _ : state) {
        const int before = form->List()->VisibleCount();
        QElapsedTimer clock;
        clock.start();
        const QString text =
            QStringLiteral("A paragraph copied in another program, number %1.").arg(++copies);
        // The window keeps handling events while xclip runs: the copy may arrive before it ends.
        QProcess copier;
        copier.start(QStringLiteral("xclip"),
                     {QStringLiteral("-selection"), QStringLiteral("clipboard")});
        copier.write(text.toUtf8());
        copier.closeWriteChannel();
        // Checked on every turn of the event loop, so the moment is caught without delay.
        qint64 shownNs = -1;
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (form->List()->VisibleCount() > before) {
                shownNs = clock.nsecsElapsed();
                windowShareNs += fromSignal.nsecsElapsed();
                loop.quit();
            } else if (clock.elapsed() > kWaitMs) {
                loop.quit();
            }
        });
        check.start(0);
        loop.exec();
        if (shownNs < 0) {
            state.SkipWithError("the copied text did not become an article");
            return;
        }
        state.SetIterationTime(double(shownNs) / 1e9);
        copier.waitForFinished(kWaitMs);
    }
    state.counters["window_share_ms"] =
        benchmark::Counter(double(windowShareNs) / 1e6 / double(copies));
    CopyInAnotherProgram(QStringLiteral("end"));
}
BENCHMARK(BM_CopyToArticleShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv);
}
