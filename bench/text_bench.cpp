// Speed of the speech text filter and of the large file reader.
//
//   build/bin/text_bench
//
// Goals: filtering at 50 MB/s or more on ordinary prose; mapping every word position of a 1 MB
// text in under 50 ms in all; streaming a 2 GB text file with the process staying under 50 MB.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "text/ttsfilestream.h"
#include "text/ttsfilter.h"

namespace {

QString Prose(qsizetype size) {
    QFile license(QStringLiteral("/usr/share/common-licenses/GPL-3"));
    QString base = license.open(QIODevice::ReadOnly)
                       ? QString::fromUtf8(license.readAll())
                       : QStringLiteral("The quick brown fox, from NY, jumps over the lazy dog. ");
    base.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QString text;
    text.reserve(size + base.size());
    while (text.size() < size) {
        text += base;
    }
    text.truncate(size);
    return text;
}

void BM_FilterProse(benchmark::State& state) {
    const QString text = Prose(state.range(0));
    TTTSFilter filter;
    for (auto _ : state) {
        benchmark::DoNotOptimize(filter.FilterText(0, text, true));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(BM_FilterProse)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

// Every word start of the filtered text mapped back, as the highlighting does while speaking.
void BM_MapEveryWordOf1MB(benchmark::State& state) {
    const QString text = Prose(1 << 20);
    TTTSFilter filter;
    const QString filtered = filter.FilterText(0, text, true);
    std::vector<int64_t> words;
    for (qsizetype i = 0; i < filtered.size(); ++i) {
        if (filtered[i] != QLatin1Char(' ') && (i == 0 || filtered[i - 1] == QLatin1Char(' '))) {
            words.push_back(i);
        }
    }
    for (auto _ : state) {
        int64_t sum = 0;
        for (int64_t p : words) {
            sum += filter.MapPosition(p);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["words"] = double(words.size());
}
BENCHMARK(BM_MapEveryWordOf1MB)->Unit(benchmark::kMillisecond);

void BM_Stream2GBFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/big.txt");
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the test file");
            return;
        }
        const QByteArray block = Prose(1 << 20).toUtf8();
        for (int64_t written = 0; written < (int64_t(2) << 30); written += block.size()) {
            if (out.write(block) != block.size()) {
                state.SkipWithError("not enough disk space for 2 GB");
                return;
            }
        }
    }
    for (auto _ : state) {
        TTTSFileStream stream(path);
        QByteArray chunk;
        int64_t total = 0, chunks = 0;
        for (int64_t n; (n = stream.ReadChunk(chunk)) > 0;) {
            total += n;
            ++chunks;
        }
        state.counters["GB"] = double(total) / double(1 << 30);
        state.counters["chunks"] = double(chunks);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_RSS_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Stream2GBFile)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    // The reader logs every chunk; keep that log out of the user's folder.
    QTemporaryDir profile;
    qputenv("XDG_DATA_HOME", profile.path().toUtf8());
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
