#include "platform/about/programversion.h"

QString ProgramVersion::name() {
    return QStringLiteral("Quillsong MP3");
}

QString ProgramVersion::version() {
    return QStringLiteral(QUILL_VERSION);
}

QString ProgramVersion::nameAndVersion() {
    return name() + QLatin1Char(' ') + version();
}
