#pragma once

#include <sys/types.h>

// The permissions a file made by an ordinary create gets here: read and write for all, less
// the process's umask. Files first made under a private temporary name (mode 0600) take them
// before they get their final name, so players, media servers and other users read them as
// they read any other file the user makes.
mode_t newFileMode();
