#include "tests/common/testprofile.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/registry/registry.h"
#include "platform/shell/programfolders.h"

namespace testprofile {

void Reset() {
    Registry reg;
    reg.DeleteKey(QStringLiteral("\\Software"));
    Registry::Flush();
    QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/autostart"))
        .removeRecursively();
    QDir(ProgramFolders::userFolder()).removeRecursively();
}

QString StoredText(const QString& key, const QString& name) {
    Registry reg;
    if (!reg.OpenKeyReadOnly(QLatin1Char('\\') + key)) {
        return QStringLiteral("<no key>");
    }
    if (!reg.ValueExists(name)) {
        return QStringLiteral("<no value>");
    }
    return reg.ReadString(name);
}

void Store(const QString& key, const QString& name, const QString& text) {
    Registry reg;
    reg.OpenKey(QLatin1Char('\\') + key, true);
    reg.WriteString(name, text);
    Registry::Flush();
}

QStringList StoredNames(const QString& key) {
    Registry reg;
    return reg.OpenKeyReadOnly(QLatin1Char('\\') + key) ? reg.GetValueNames() : QStringList{};
}

}  // namespace testprofile
