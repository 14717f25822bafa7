#include "tests/common/testprofile.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/registry/registry.h"
#include "platform/shell/programfolders.h"

namespace testprofile {

void Reset() {
    Registry reg;
    reg.deleteKey(QStringLiteral("\\Software"));
    Registry::flush();
    QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/autostart"))
        .removeRecursively();
    QDir(ProgramFolders::userFolder()).removeRecursively();
}

QString StoredText(const QString& key, const QString& name) {
    Registry reg;
    if (!reg.openKeyReadOnly(QLatin1Char('\\') + key)) {
        return QStringLiteral("<no key>");
    }
    if (!reg.valueExists(name)) {
        return QStringLiteral("<no value>");
    }
    return reg.readString(name);
}

void Store(const QString& key, const QString& name, const QString& text) {
    Registry reg;
    reg.openKey(QLatin1Char('\\') + key, true);
    reg.writeString(name, text);
    Registry::flush();
}

QStringList StoredNames(const QString& key) {
    Registry reg;
    return reg.openKeyReadOnly(QLatin1Char('\\') + key) ? reg.valueNames() : QStringList{};
}

}  // namespace testprofile
