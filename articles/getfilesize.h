#pragma once

#include <QString>
#include <cstdint>

// Size of a file in bytes, or -1 when it cannot be opened or measured. Then error says why,
// naming the file, for the caller to show; the failure is logged here.
int64_t GetFileSize(const QString& fileName, QString& error);
