#pragma once

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "articles/memolistbox.h"

// One timed import of store into a fresh article list as the main window holds it
// (multi-article mode, three entries on screen); making and freeing the list are not timed.
// Counts the articles and the time freeing took.
inline void TimedImport(benchmark::State& state, const QString& store) {
    state.PauseTiming();
    auto* list = new TMemoListBox;
    list->ProcessEvents = [] { QCoreApplication::processEvents(); };
    list->ListMode = 1;
    list->SetVisibleEntries(3);
    list->resize(800, 600);
    list->show();
    state.ResumeTiming();
    list->ImportList(store, nullptr, {}, {}, {});
    QCoreApplication::processEvents();
    state.PauseTiming();
    state.counters["articles"] = list->VisibleCount();
    QElapsedTimer freeing;
    freeing.start();
    delete list;
    QCoreApplication::processEvents();
    state.counters["free_ms"] = double(freeing.elapsed());
    state.ResumeTiming();
}
