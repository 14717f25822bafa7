#include "settings/runatlogin.h"

#include "platform/shell/autostart.h"
#include "platform/shell/utilsclass.h"

void SetRunAtLogin(const QString& entryName, const QString& command, bool enable) {
    if (!Autostart::setEntry(entryName, command, enable)) {
        UtilsClass::WriteDebugLine(QStringLiteral("Could not change the autostart entry ") +
                                   Autostart::entryFile(entryName));
    }
}

bool IsRunAtLogin(const QString& entryName) {
    return Autostart::hasEntry(entryName);
}

QString runAtLoginCommand(const QString& programPath) {
    // Quoted, so a path with blanks never runs a different program.
    return Autostart::quoteArgument(programPath) + QStringLiteral(" -auto");
}
