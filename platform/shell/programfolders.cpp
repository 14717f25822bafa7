#include "platform/shell/programfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef QUILL_INSTALL_DATADIR
#define QUILL_INSTALL_DATADIR "/usr/local/share/quillsong"
#endif

QString ProgramFolders::programPath() {
    const QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty()) {
        return path;
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString ProgramFolders::programFileName() {
    return QFileInfo(programPath()).fileName();
}

QString ProgramFolders::programFolder() {
    const QString local = QFileInfo(programPath()).absolutePath() + QStringLiteral("/data");
    if (QFileInfo(local).isDir()) {
        return QDir::cleanPath(local);
    }
    return QStringLiteral(QUILL_INSTALL_DATADIR);
}

QString ProgramFolders::userFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/quillsong");
    QDir().mkpath(folder);
    return folder;
}
