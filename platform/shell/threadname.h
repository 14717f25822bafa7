#pragma once

#include <QString>

// Names the calling thread as the system shows it (at most 15 bytes are kept), so a look at
// the process's threads tells its workers apart.
void nameThisThread(const QString& name);
