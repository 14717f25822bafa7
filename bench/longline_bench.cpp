// Quillsong as a process with one article of a 20 MB line without a line break (minified
// text) in its store: how long from its start to the main window shown, and from SIGTERM to
// its end, with the peak memory of the run.
//
//   build/bin/longline_bench                (needs an audio server, as the program does)
//
// Goal: both well under a second, as with an ordinary list.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>

#include "app/form1.h"
#include "articles/articlestore.h"
#include "bench/privateprofile.h"
#include "bench/programstart.h"
#include "platform/shell/programfolders.h"

namespace {

constexpr qsizetype kLineLength = 20 * 1000 * 1000;
constexpr int kTimeoutMs = 60000;

// The most memory the process has held so far (VmHWM), 0 once it has ended.
double PeakMegabytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    return 0;
}

// The licence's words on one line of kLineLength characters, as the only stored article.
bool WriteStore() {
    QFile licence(QStringLiteral("/usr/share/common-licenses/GPL-3"));
    if (!licence.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString words = QString::fromUtf8(licence.readAll()).simplified() + QLatin1Char(' ');
    QString text;
    while (text.size() < kLineLength) {
        text += words;
    }
    text.truncate(kLineLength);
    QString error;
    return ArticleStore::Write(TForm1::StoreFileName(), {{QStringLiteral("Minified"), {}, text}},
                               &error);
}

void LongLineArticle(benchmark::State& state) {
    if (!WriteStore()) {
        state.SkipWithError("the store could not be written");
        return;
    }
    double shownMs = 0;
    double endMs = 0;
    double peakMb = 0;
    for (auto _ : state) {
        QProcess program;
        QElapsedTimer clock;
        if (!StartProgramUntilShown(program, clock, kTimeoutMs)) {
            state.SkipWithError("the window was not shown in time");
            return;
        }
        const double shown = double(clock.nsecsElapsed()) / 1e6;
        state.SetIterationTime(shown / 1000);
        shownMs += shown;
        // The window settles before it is told to end.
        QThread::msleep(500);
        const qint64 pid = program.processId();
        double peak = PeakMegabytes(pid);
        clock.restart();
        ::kill(pid_t(pid), SIGTERM);
        // The peak is read until the end: saving the list at the end takes memory too.
        while (!program.waitForFinished(1) && clock.elapsed() < kTimeoutMs) {
            peak = qMax(peak, PeakMegabytes(pid));
        }
        endMs += double(clock.nsecsElapsed()) / 1e6;
        peakMb += peak;
    }
    const double runs = double(state.iterations());
    state.counters["shown_ms"] = shownMs / runs;
    state.counters["sigterm_to_end_ms"] = endMs / runs;
    state.counters["peak_mb"] = peakMb / runs;
}
BENCHMARK(LongLineArticle)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv);
}
