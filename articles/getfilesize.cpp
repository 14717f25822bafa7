#include "articles/getfilesize.h"

#include <QFile>
#include <QFileInfo>

#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"

int64_t GetFileSize(const QString& fileName) {
    QFile file(fileName);
    QString error;
    if (QFileInfo(fileName).isDir()) {
        error = QStringLiteral("%1 is a folder, not a file").arg(fileName);
    } else if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString() + QStringLiteral(": ") + fileName;
    } else {
        return file.size();
    }
    UtilsClass::WriteDebugLine(QStringLiteral("GetFileSize error: ") + error);
    UserMessage::showError(error);
    return -1;
}
