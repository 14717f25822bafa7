// Shared main of the test executables.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>

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
    return RUN_ALL_TESTS();
}
