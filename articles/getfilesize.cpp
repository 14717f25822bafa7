#include "articles/getfilesize.h"

#include <QFile>
#include <QFileInfo>

#include "platform/shell/debuglog.h"

int64_t GetFileSize(const QString& fileName, QString& error) {
    QFile file(fileName);
    if (QFileInfo(fileName).isDir()) {
        error = QStringLiteral("%1 is a folder, not a file").arg(fileName);
    } else if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString() + QStringLiteral(": ") + fileName;
    } else {
        error.clear();
        return file.size();
    }
    debugLog(QStringLiteral("GetFileSize error: ") + error);
    return -1;
}
