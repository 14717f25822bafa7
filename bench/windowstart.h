#pragma once

#include <QSignalSpy>
#include <memory>

#include "app/form1.h"

// The main window made in the benchmark's own process, shown and done starting; null when it
// did not start within timeoutMs.
inline std::unique_ptr<TForm1> StartBenchWindow(int timeoutMs) {
    auto form = std::make_unique<TForm1>(QStringList{QStringLiteral("quillsong")});
    form->SetSplashMinimum(0);
    QSignalSpy started(form.get(), &TForm1::startupFinished);
    form->show();
    if (!started.wait(timeoutMs)) {
        return nullptr;
    }
    return form;
}
