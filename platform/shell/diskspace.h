#pragma once

#include <QString>
#include <cstdint>

// Space on the file system of a folder that the user may still write; -1 when unknown.
class DiskSpace {
  public:
    static int64_t freeBytes(const QString& folder);
};
