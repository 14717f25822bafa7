#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

// How many threads of this process carry a name that begins with prefix (Linux: the names in
// /proc/self/task/*/comm), so a test can see that workers it started have all ended.
inline int ThreadsNamed(const QString& prefix) {
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) &&
            QString::fromUtf8(comm.readAll()).startsWith(prefix)) {
            ++count;
        }
    }
    return count;
}

// True once no thread of this process is named so; a thread that has been joined may still be
// listed for a moment while the system releases it, so this waits for that, at most 5 s.
inline bool NoThreadNamed(const QString& prefix) {
    constexpr int kReleaseMs = 5000;
    return QTest::qWaitFor([&prefix] { return ThreadsNamed(prefix) == 0; }, kReleaseMs);
}
