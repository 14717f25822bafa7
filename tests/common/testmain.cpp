// Shared main of the test executables.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "tests/common/sounddevice.h"

#ifdef QUILL_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    // No test reads or writes the real user's settings, logs or autostart entries.
    QTemporaryDir profile;
    if (!profile.isValid()) {
        return 2;
    }
    qputenv("XDG_CONFIG_HOME", (profile.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (profile.path() + QStringLiteral("/data")).toUtf8());
    // One locale for every run: the voices offered first follow the user's language.
    qputenv("LC_ALL", "C.UTF-8");
#ifdef QUILL_WIDGET_TESTS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    TestApplication app(argc, argv);
    TestApplication::setApplicationName(QStringLiteral("quillsong"));
    ::testing::InitGoogleTest(&argc, argv);
    auto* soundSkips = new testsound::SkipCounter;  // owned by the listeners
    ::testing::UnitTest::GetInstance()->listeners().Append(soundSkips);
    const int result = RUN_ALL_TESTS();
    if (result == 0 && soundSkips->count > 0) {
        std::printf("%d tests that need a sound device were skipped: %s\n", soundSkips->count,
                    testsound::kNoAudioServer);
        return testsound::kSkippedExitCode;
    }
    return result;
}
