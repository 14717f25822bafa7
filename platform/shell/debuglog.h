#pragma once

#include <QString>

#include "platform/shell/outcome.h"
#include "platform/shell/utilsclass.h"

// Writes one line to the program's debug log (quillsong.dbg in the user folder).
inline void debugLog(const QString& text) {
    UtilsClass::WriteDebugLine(text);
}

// Writes why an operation failed to the debug log; a success writes nothing. For failures that
// only a mistake in the program itself can cause, which no user could act on.
inline void debugLogFailure(const Outcome& outcome) {
    if (!outcome) {
        debugLog(outcome.message());
    }
}
