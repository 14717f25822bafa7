#pragma once

#include <QString>

// The program's debug log: one line per call, appended to "<program>.dbg" in the user folder.
// The logs of the three runs before are kept as "<program>1.dbg" … "<program>3.dbg".
class UtilsClass {
  public:
    // Appends text, " - " and the local date and time. Never fails its caller.
    static void WriteDebugLine(const QString& text);
    // Shifts the logs of earlier runs by one, dropping the oldest; run once at start.
    static void RotateDebugLogs();
    // Path of the current log; "<program>N.dbg" for generation N > 0.
    static QString logFileName(int generation = 0);
};
