// Importing large stores into the article list as the main window holds it (multi-article
// mode, three entries on screen): 10,000, 40,000 and 100,000 articles of a few lines each. The
// time should grow in step with the number of articles.
//
//   build/bin/storeimport_bench
//
// Goal: 100,000 articles under 5 s.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>

#include "articles/articlestore.h"
#include "articles/memolistbox.h"
#include "bench/listimport.h"
#include "bench/privateprofile.h"

namespace {

QString storeFolder;

QString StoreFile(int count) {
    return storeFolder + QStringLiteral("/QSExport%1.txt").arg(count);
}

void MakeStore(int count) {
    QList<StoredArticle> articles;
    articles.reserve(count);
    for (int i = 0; i < count; ++i) {
        articles.append({QStringLiteral("Article %1").arg(i), QStringLiteral("Voice"),
                         QStringLiteral("Line one of article %1.\nA second line, a little "
                                        "longer than the first.\nThe end.")
                             .arg(i)});
    }
    QString error;
    ArticleStore::Write(StoreFile(count), articles, &error);
}

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_ImportStore(benchmark::State& state) {
    const int count = int(state.range(0));
    MakeStore(count);
    for (auto _ : state) {
        TimedImport(state, StoreFile(count));
    }
    state.counters["peak_RSS_MB"] = PeakRssMb();
}
BENCHMARK(BM_ImportStore)
    ->Arg(10000)
    ->Arg(40000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, {}, [](const QString& data) { storeFolder = data; });
}
