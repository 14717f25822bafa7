// Importing and exporting a store of 1,000 articles of about 2 KB each, in the article list as
// the main window holds it (multi-article mode, three entries on screen).
//
//   build/bin/articles_bench
//
// Goals: import under 1 s, export under 100 ms.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <QApplication>

#include "articles/articlestore.h"
#include "articles/memolistbox.h"
#include "bench/listimport.h"
#include "bench/privateprofile.h"

namespace {

QString storeFile;

void MakeStore() {
    QList<StoredArticle> articles;
    const QString paragraph = QStringLiteral(
        "Quillsong reads your articles aloud, word by word, and can write them to files. ");
    for (int i = 0; i < 1000; ++i) {
        QString text;
        while (text.size() < 2000) {
            text += paragraph + QLatin1Char('\n');
        }
        articles.append({QStringLiteral("Article_%1").arg(i), QStringLiteral("Voice"), text});
    }
    QString error;
    ArticleStore::Write(storeFile, articles, &error);
}

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_Import1000(benchmark::State& state) {
    for (auto _ : state) {
        TimedImport(state, storeFile);
    }
    state.counters["peak_RSS_MB"] = PeakRssMb();
}
BENCHMARK(BM_Import1000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Export1000(benchmark::State& state) {
    TMemoListBox list;
    list.ProcessEvents = [] {};
    list.ListMode = 1;
    list.SetVisibleEntries(3);
    list.resize(800, 600);
    list.show();
    list.ImportList(storeFile, nullptr, {}, {}, {});
    const QString out = storeFile + QStringLiteral(".out");
    for (auto _ : state) {
        list.ExportList(out);
    }
    state.counters["peak_RSS_MB"] = PeakRssMb();
}
BENCHMARK(BM_Export1000)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, {}, [](const QString& data) {
        storeFile = data + QStringLiteral("/QSExport.txt");
        MakeStore();
    });
}
