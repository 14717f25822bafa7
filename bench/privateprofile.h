#pragma once

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <functional>

// Runs the registered benchmarks of a window benchmark in a private profile, so it never
// touches the user's settings or logs; offscreen when there is no display. beforeRun, when
// given, is handed the profile's data folder once the application exists (to make the files
// the benchmarks read); afterRun runs once they are done (a summary across benchmarks).
inline int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& afterRun = {},
                               const std::function<void(const QString&)>& beforeRun = {}) {
    QTemporaryDir profile;
    qputenv("XDG_CONFIG_HOME", (profile.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (profile.path() + QStringLiteral("/data")).toUtf8());
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillsong"));
    if (beforeRun) {
        const QString data = profile.path() + QStringLiteral("/data");
        QDir().mkpath(data);
        beforeRun(data);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (afterRun) {
        afterRun();
    }
    return 0;
}
