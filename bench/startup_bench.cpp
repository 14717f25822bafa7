// How long Quillsong takes from its start to the main window shown and idle. The splash
// picture's minimum time is left out: it is a pause for the eye, not work.
//
//   build/bin/startup_bench                 (needs an audio server, as the program does)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "app/form1.h"
#include "platform/shell/programfolders.h"

#include "bench/privateprofile.h"
#include "bench/programstart.h"

namespace {

// The main window built and shown inside a running application.
void BM_MainWindowShown(benchmark::State& state) {
    for (auto _ : state) {
        TForm1 form({QStringLiteral("quillsong")});
        form.SetSplashMinimum(0);
        QSignalSpy started(&form, &TForm1::startupFinished);
        form.show();
        if (!started.wait(10000)) {
            state.SkipWithError("the main window did not finish its start");
            return;
        }
        state.PauseTiming();
        form.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowShown)->Unit(benchmark::kMillisecond)->Iterations(20);

// The whole program as a process, until it logs that its first showing is done.
void BM_ProgramStartToWindowShown(benchmark::State& state) {
    constexpr int kTimeoutMs = 20000;
    for (auto _ : state) {
        QProcess program;
        QElapsedTimer clock;
        if (!StartProgramUntilShown(program, clock, kTimeoutMs)) {
            state.SkipWithError("the window was not shown in time");
            return;
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        ::kill(pid_t(program.processId()), SIGTERM);
        program.waitForFinished(10000);
    }
}
BENCHMARK(BM_ProgramStartToWindowShown)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv);
}
