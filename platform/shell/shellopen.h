#pragma once

#include <QString>

// Opens a web address, a mailto: address or a local document with the desktop's handler.
class ShellOpen {
  public:
    static bool openAddress(const QString& address);
};
