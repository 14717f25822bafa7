// The voice catalogue's start-up work, and speaking into a wave file beside the espeak-ng
// command line, in one process run:
//
//   build/bin/speech_bench
//
// Goals: Initialize with every installed voice under 200 ms; speaking
// /usr/share/common-licenses/GPL-3 into an unpaced wave file takes at most 1.1 times what
// `espeak-ng -v en-us -w out.wav -f GPL-3` takes.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/speechapi/ttsenumerator.h"
#include "settings/preferences.h"
#include "speech/tts.h"
#include "speech/voicecatalogue.h"

namespace {

QTemporaryDir* workDir = nullptr;
const QString kText = QStringLiteral("/usr/share/common-licenses/GPL-3");

void BM_CatalogueInitialize(benchmark::State& state) {
    for (auto _ : state) {
        TPreferences prefs;
        VoiceCatalogue catalogue;
        catalogue.Initialize(prefs);
        state.counters["voices"] = double(catalogue.voiceList.size());
    }
}
BENCHMARK(BM_CatalogueInitialize)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SpeakGplIntoWave(benchmark::State& state) {
    QFile file(kText);
    file.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(file.readAll());
    for (auto _ : state) {
        TTTS tts;
        tts.SetModeID(FindTTSModeID(QStringLiteral("English (America)")));
        tts.OutputDest = odFile;
        tts.SetOutputFile(workDir->path() + QStringLiteral("/ours.wav"));
        bool stopped = false;
        QObject::connect(&tts, &TTTS::OnAudioStop, [&stopped] { stopped = true; });
        tts.SetActive(true);
        tts.Speak(text);
        if (!QTest::qWaitFor([&stopped] { return stopped; }, 600000)) {
            state.SkipWithError("the speech did not end");
        }
        tts.SetActive(false);
    }
}
BENCHMARK(BM_SpeakGplIntoWave)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(3);

void BM_EspeakCommandLine(benchmark::State& state) {
    for (auto _ : state) {
        QProcess espeak;
        espeak.start(QStringLiteral("espeak-ng"),
                     {QStringLiteral("-v"), QStringLiteral("en-us"), QStringLiteral("-w"),
                      workDir->path() + QStringLiteral("/cli.wav"), QStringLiteral("-f"), kText});
        espeak.waitForFinished(600000);
    }
}
BENCHMARK(BM_EspeakCommandLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    workDir = &dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    QCoreApplication app(argc, argv);
    // The first enumeration of the installed voices, which the program does once at start.
    QElapsedTimer cold;
    cold.start();
    TtsEnumerator::modes();
    std::printf("first enumeration of the installed voices: %lld ms\n",
                static_cast<long long>(cold.elapsed()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
