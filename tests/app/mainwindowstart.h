#pragma once

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <memory>

#include "app/form1.h"
#include "tests/common/testprofile.h"

// The main window as the program entry makes it, shown, after its first showing has finished;
// the splash is kept short.
inline std::unique_ptr<TForm1> StartMainWindow() {
    constexpr int kStartTimeoutMs = 20000;
    auto form = std::make_unique<TForm1>(QStringList{QStringLiteral("quillsong")});
    form->SetSplashMinimum(0);
    QSignalSpy started(form.get(), &TForm1::startupFinished);
    form->show();
    EXPECT_TRUE(started.wait(kStartTimeoutMs));
    return form;
}

// The same, after storing settings of the program as the user's settings file holds them.
inline std::unique_ptr<TForm1> StartMainWindow(const QList<QPair<QString, QString>>& settings) {
    const QString key = QStringLiteral("Software\\HalcyxTech\\Quillsong");
    for (const auto& [name, value] : settings) {
        testprofile::Store(key, name, value);
    }
    return StartMainWindow();
}
