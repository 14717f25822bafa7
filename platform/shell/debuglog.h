#pragma once

#include <QString>

#include "platform/shell/utilsclass.h"

// Writes one line to the program's debug log (quillsong.dbg in the user folder).
inline void debugLog(const QString& text) {
    UtilsClass::WriteDebugLine(text);
}
