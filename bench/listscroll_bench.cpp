// Paging through and selecting in an article list of 10,000 articles as the main window holds
// it (multi-article mode, three entries on screen): one scroll to a page of the list, and one
// selection of an article off the page, each until the window has painted.
//
//   build/bin/listscroll_bench
//
// Goal: each well under 50 ms, whatever the list's length.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QRandomGenerator>

#include "articles/articlestore.h"
#include "articles/memolistbox.h"
#include "bench/privateprofile.h"

namespace {

constexpr int kArticles = 10000;
constexpr int kVisible = 3;

QString storeFolder;

// A list of kArticles stored articles, shown; the entries of the pages visited are built as
// they are shown, as in the window.
std::unique_ptr<TMemoListBox> ShownList() {
    QList<StoredArticle> articles;
    for (int i = 0; i < kArticles; ++i) {
        articles.append({QStringLiteral("Article %1").arg(i), QString(),
                         QStringLiteral("Article number %1.\nA second line, a little longer "
                                        "than the first.\nThe end.")
                             .arg(i)});
    }
    const QString store = storeFolder + QStringLiteral("/QSExport.txt");
    QString error;
    ArticleStore::Write(store, articles, &error);
    auto list = std::make_unique<TMemoListBox>();
    list->ProcessEvents = [] { QCoreApplication::processEvents(); };
    list->ListMode = 1;
    list->SetVisibleEntries(kVisible);
    list->resize(800, 600);
    list->show();
    list->ImportList(store, nullptr, {}, {}, {});
    QCoreApplication::processEvents();
    return list;
}

void ScrollToAPage(benchmark::State& state) {
    const auto list = ShownList();
    QRandomGenerator random(1);
    for (auto _ : state) {
        list->ScrollToTop(int(random.bounded(kArticles - kVisible)) + 1);
        list->repaint();
        QCoreApplication::processEvents();
    }
    state.counters["articles"] = list->VisibleCount();
}
BENCHMARK(ScrollToAPage)->Unit(benchmark::kMillisecond)->Iterations(200);

void SelectAnArticle(benchmark::State& state) {
    const auto list = ShownList();
    QRandomGenerator random(2);
    for (auto _ : state) {
        list->MarkEntry(int(random.bounded(kArticles)) + 1);
        list->repaint();
        QCoreApplication::processEvents();
    }
    state.counters["articles"] = list->VisibleCount();
}
BENCHMARK(SelectAnArticle)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv) {
    return RunWindowBenchmarks(argc, argv, {}, [](const QString& data) { storeFolder = data; });
}
