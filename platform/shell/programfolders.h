#pragma once

#include <QString>

// Where the program finds its read-only data and where it keeps what it writes.
class ProgramFolders {
  public:
    // Full path of the running executable.
    static QString programPath();
    // File name of the running executable, without folder.
    static QString programFileName();
    // Folder of the read-only data files: the executable's "data" folder when there is one
    // (build tree, portable copy), else the installed share folder.
    static QString programFolder();
    // Folder of the files the program writes (article store, logs, default output folder);
    // created when missing.
    static QString userFolder();
};
