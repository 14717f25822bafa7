#include "platform/shell/shellopen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool ShellOpen::openAddress(const QString& address) {
    const QUrl url =
        QFileInfo::exists(address) ? QUrl::fromLocalFile(address) : QUrl::fromUserInput(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}
