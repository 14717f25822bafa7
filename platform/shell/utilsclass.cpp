#include "platform/shell/utilsclass.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>

#include "platform/shell/programfolders.h"

namespace {

QMutex& logMutex() {
    static QMutex mutex;
    return mutex;
}

QString timestamp() {
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));  // the time zone name only adds noise to every line
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeFormat.trimmed());
}

}  // namespace

QString UtilsClass::logFileName(int generation) {
    const QString base = ProgramFolders::userFolder() + QLatin1Char('/') +
                         QFileInfo(ProgramFolders::programFileName()).completeBaseName();
    return generation == 0 ? base + QStringLiteral(".dbg")
                           : base + QString::number(generation) + QStringLiteral(".dbg");
}

void UtilsClass::WriteDebugLine(const QString& text) {
    const QByteArray line =
        (text + QStringLiteral(" - ") + timestamp() + QLatin1Char('\n')).toUtf8();
    QMutexLocker lock(&logMutex());
    QFile file(logFileName());
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.write(line);
        file.flush();
    }
}

void UtilsClass::RotateDebugLogs() {
    QMutexLocker lock(&logMutex());
    QFile::remove(logFileName(3));
    for (int generation = 2; generation >= 0; --generation) {
        if (QFileInfo::exists(logFileName(generation))) {
            QFile::rename(logFileName(generation), logFileName(generation + 1));
        }
    }
    QFile::remove(logFileName());
}
