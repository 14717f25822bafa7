#pragma once

#include <QString>

// The program's name and version, as the build sets them.
class ProgramVersion {
  public:
    static QString name();
    static QString version();
    // "Quillsong MP3 1.3"
    static QString nameAndVersion();
};
