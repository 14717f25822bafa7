#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include "platform/shell/programfolders.h"

// The whole program started as a process, as from a desktop: offscreen when there is no
// display. Waits until its debug log says the first showing of its window is done, polled
// every half millisecond (fine enough for a start that takes a hundred), or timeoutMs passed.
// clock is started with the process; false when the window was not shown in time.
inline bool StartProgramUntilShown(QProcess& program, QElapsedTimer& clock, int timeoutMs) {
    const QString log = ProgramFolders::userFolder() + QStringLiteral("/quillsong.dbg");
    const auto shown = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("Exiting FormShow");
    };
    QFile::remove(log);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("DISPLAY"))) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    program.setProcessEnvironment(env);
    clock.start();
    program.start(QStringLiteral(QUILL_BIN_DIR "/quillsong"), {});
    while (!shown()) {
        if (clock.elapsed() >= timeoutMs) {
            return false;
        }
        QThread::usleep(500);
    }
    return true;
}
