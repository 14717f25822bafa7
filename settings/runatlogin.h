#pragma once

#include <QString>

// The entry that starts a program when the user logs in. Errors are logged, never raised.
void SetRunAtLogin(const QString& entryName, const QString& command, bool enable);
bool IsRunAtLogin(const QString& entryName);
// The command line that starts programPath hidden in the tray: the path quoted, then " -auto".
QString runAtLoginCommand(const QString& programPath);
