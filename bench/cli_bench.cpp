// quillsong-cli reading the GPL-3 text into a 32 kbit/s MP3 with the default eSpeak NG voice,
// beside the pipeline `espeak-ng -v en-us -w x.wav -f GPL-3 && lame -b 32 -m m x.wav x.mp3`, at
// LAME's same default quality. The converter encodes on every core: the aim is 0.6 of the
// pipeline's time or less. The same text into Opus at 24 kbit/s beside `espeak-ng -w` followed
// by `opusenc --bitrate 24`: the aim is no slower. The counters tell the processor time and the
// cores kept busy.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kText = QStringLiteral("/usr/share/common-licenses/GPL-3");

bool Tool(const QString& program, const QStringList& args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, args);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Processor seconds the children that ended so far used, user and system.
double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    constexpr double kMicro = 1e-6;
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * kMicro;
}

// The processor time of the runs as counters: "cpu_s" the processor seconds per run, "cpu" the
// mean number of cores busy.
void CountCpu(benchmark::State& state, double cpuBefore, const QElapsedTimer& clock) {
    const double cpu = ChildCpuSeconds() - cpuBefore;
    constexpr double kNano = 1e-9;
    const double wall = double(clock.nsecsElapsed()) * kNano;
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    if (wall > 0) {
        state.counters["cpu"] = cpu / wall;
    }
}

// The converter into the given format and bit rate.
void RunCli(benchmark::State& state, const QString& format, const QString& bitRate) {
    QTemporaryDir dir;
    const double cpuBefore = ChildCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        if (!Tool(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"),
                  {QStringLiteral("--voice"), QStringLiteral("eSpeak English (America)"),
                   QStringLiteral("--format"), format, QStringLiteral("--bitrate"), bitRate,
                   QStringLiteral("--out"), dir.path(), kText})) {
            state.SkipWithError("quillsong-cli failed");
            return;
        }
    }
    CountCpu(state, cpuBefore, clock);
}

// espeak-ng writing the wave, then the encoder given.
void RunPipeline(benchmark::State& state, const QString& encoder, const QStringList& options) {
    QTemporaryDir dir;
    const QString wave = dir.filePath(QStringLiteral("x.wav"));
    const double cpuBefore = ChildCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        if (!Tool(QStringLiteral("espeak-ng"),
                  {QStringLiteral("-v"), QStringLiteral("en-us"), QStringLiteral("-w"), wave,
                   QStringLiteral("-f"), kText}) ||
            !Tool(encoder, options + QStringList{wave, dir.filePath(QStringLiteral("x.out"))})) {
            state.SkipWithError("the pipeline failed");
            return;
        }
    }
    CountCpu(state, cpuBefore, clock);
}

void Cli(benchmark::State& state) {
    RunCli(state, QStringLiteral("mp3"), QStringLiteral("32"));
}
BENCHMARK(Cli)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void EspeakThenLame(benchmark::State& state) {
    RunPipeline(state, QStringLiteral("lame"),
                {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("32"),
                 QStringLiteral("-m"), QStringLiteral("m")});
}
BENCHMARK(EspeakThenLame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void CliOpus(benchmark::State& state) {
    RunCli(state, QStringLiteral("opus"), QStringLiteral("24"));
}
BENCHMARK(CliOpus)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void EspeakThenOpusenc(benchmark::State& state) {
    RunPipeline(state, QStringLiteral("opusenc"),
                {QStringLiteral("--quiet"), QStringLiteral("--bitrate"), QStringLiteral("24")});
}
BENCHMARK(EspeakThenOpusenc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
