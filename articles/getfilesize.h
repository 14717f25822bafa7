#pragma once

#include <QString>
#include <cstdint>

// Size of a file in bytes, or -1 when it cannot be opened or measured (the error is logged and
// shown to the user).
int64_t GetFileSize(const QString& fileName);
