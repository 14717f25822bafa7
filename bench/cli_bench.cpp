// quillsong-cli reading the GPL-3 text into a 32 kbit/s MP3 with the default eSpeak NG voice,
// beside the pipeline `espeak-ng -v en-us -w x.wav -f GPL-3 && lame -b 32 -m m x.wav x.mp3`, at
// LAME's same default quality. The converter encodes on every core: the aim is 0.6 of the
// pipeline's time or less. The counters tell the processor time and the cores kept busy.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/resource.h>

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

// The processor time of the runs as a counter: "cpu" is the mean number of cores busy, "cpu_s"
// the processor seconds per run.
void CountCpu(benchmark::State& state, double cpuBefore) {
    const double cpu = ChildCpuSeconds() - cpuBefore;
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
    state.counters["cpu"] = benchmark::Counter(cpu, benchmark::Counter::kIsRate);
}

void Cli(benchmark::State& state) {
    QTemporaryDir dir;
    const double cpuBefore = ChildCpuSeconds();
    for (auto _ : state) {
        if (!Tool(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"),
                  {QStringLiteral("--voice"), QStringLiteral("eSpeak English (America)"),
                   QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--bitrate"),
                   QStringLiteral("32"), QStringLiteral("--out"), dir.path(), kText})) {
            state.SkipWithError("quillsong-cli failed");
            return;
        }
    }
    CountCpu(state, cpuBefore);
}
BENCHMARK(Cli)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void EspeakThenLame(benchmark::State& state) {
    QTemporaryDir dir;
    const QString wave = dir.filePath(QStringLiteral("x.wav"));
    const double cpuBefore = ChildCpuSeconds();
    for (auto _ : state) {
        if (!Tool(QStringLiteral("espeak-ng"),
                  {QStringLiteral("-v"), QStringLiteral("en-us"), QStringLiteral("-w"), wave,
                   QStringLiteral("-f"), kText}) ||
            !Tool(QStringLiteral("lame"),
                  {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("32"),
                   QStringLiteral("-m"), QStringLiteral("m"), wave, dir.filePath("x.mp3")})) {
            state.SkipWithError("the pipeline failed");
            return;
        }
    }
    CountCpu(state, cpuBefore);
}
BENCHMARK(EspeakThenLame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
