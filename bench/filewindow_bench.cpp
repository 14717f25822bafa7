// Reading the GPL-3 text into a 32 kbit/s MP3 from the main window at "Max" speed, beside
// quillsong-cli doing the same with the same voice ("cpu": the mean number of cores busy):
//
//   build/bin/filewindow_bench           (needs an audio server, as the program does)
//
// Goal: the window within 10 % of the command-line converter.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "app/form1.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "bench/privateprofile.h"
#include "bench/windowstart.h"

namespace {

const QString kText = QStringLiteral("/usr/share/common-licenses/GPL-3");
const QString kVoice = QStringLiteral("eSpeak English (America)");
constexpr int kBitRate = 32;
constexpr int kMp3 = 1;
constexpr int kStartTimeoutMs = 20000;
constexpr int kReadTimeoutMs = 600000;

// Processor seconds the given processes used so far, user and system.
double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    constexpr double kMicro = 1e-6;
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * kMicro;
}

// "cpu": the mean number of cores busy over the runs' time.
void CountCpu(benchmark::State& state, double cpuSeconds, double wallSeconds) {
    if (wallSeconds > 0) {
        state.counters["cpu"] = cpuSeconds / wallSeconds;
    }
}

// Mean seconds of each side, for the ratio printed at the end.
double g_windowSeconds = 0;
double g_cliSeconds = 0;

void Window(benchmark::State& state) {
    QTemporaryDir out;
    auto form = StartBenchWindow(kStartTimeoutMs);
    if (!form) {
        state.SkipWithError("the main window did not start");
        return;
    }
    TPreferences& prefs = form->Preferences();
    prefs.OUT_FileFormat = kMp3;
    prefs.BitRate = kBitRate;
    prefs.TTS_WaveConvRate = 0;  // "Max"
    prefs.OUT_Directory = out.path();
    prefs.TTS_DefaultVoiceName = kVoice;
    form->OpenTextFiles({kText});
    form->List()->CurrentEntry()->SelectVoice(kVoice);
    QDir folder(out.path());
    const QStringList mp3Files = {QStringLiteral("*.mp3")};
    double total = 0;
    double cpu = 0;
    for (auto _ : state) {
        for (const QString& made : folder.entryList(mp3Files, QDir::Files)) {
            folder.remove(made);
        }
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = CpuSeconds(RUSAGE_SELF);
        form->PlayFileBtnClick();
        if (!QTest::qWaitFor([&] { return form->State() == rsIdle; }, kReadTimeoutMs) ||
            folder.entryList(mp3Files, QDir::Files).size() != 1) {
            state.SkipWithError("reading to the MP3 file failed");
            break;
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        cpu += CpuSeconds(RUSAGE_SELF) - cpuBefore;
        state.SetIterationTime(seconds);
        total += seconds;
    }
    if (state.iterations() > 0) {
        g_windowSeconds = total / double(state.iterations());
    }
    CountCpu(state, cpu, total);
    form->ExitQuillsongClick();
}
BENCHMARK(Window)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void Cli(benchmark::State& state) {
    QTemporaryDir out;
    double total = 0;
    const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        QProcess cli;
        cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        cli.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"),
                  {QStringLiteral("--voice"), kVoice, QStringLiteral("--format"),
                   QStringLiteral("mp3"), QStringLiteral("--bitrate"), QString::number(kBitRate),
                   QStringLiteral("--out"), out.path(), kText});
        if (!cli.waitForFinished(kReadTimeoutMs) || cli.exitStatus() != QProcess::NormalExit ||
            cli.exitCode() != 0) {
            state.SkipWithError("quillsong-cli failed");
            break;
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
    }
    if (state.iterations() > 0) {
        g_cliSeconds = total / double(state.iterations());
    }
    CountCpu(state, CpuSeconds(RUSAGE_CHILDREN) - cpuBefore, total);
}
BENCHMARK(Cli)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    // The converter started from here shares the benchmark's private profile.
    return RunWindowBenchmarks(argc, argv, [] {
        if (g_windowSeconds > 0 && g_cliSeconds > 0) {
            std::printf("window %.2f s, quillsong-cli %.2f s, window / cli = %.3f\n",
                        g_windowSeconds, g_cliSeconds, g_windowSeconds / g_cliSeconds);
        }
    });
}
