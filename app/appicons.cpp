#include "app/appicons.h"

#include <QFileInfo>
#include <QHash>

#include "platform/shell/programfolders.h"
#include "platform/shell/utilsclass.h"

QIcon AppIcons::icon(const QString& name) {
    static QHash<QString, QIcon> cache;
    auto it = cache.find(name);
    if (it != cache.end()) {
        return *it;
    }
    const QString file =
        ProgramFolders::programFolder() + QStringLiteral("/icons/") + name + QStringLiteral(".svg");
    if (!QFileInfo::exists(file)) {
        UtilsClass::WriteDebugLine(QStringLiteral("Icon not found: ") + file);
    }
    return *cache.insert(name, QIcon(file));
}
