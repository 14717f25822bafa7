#include "platform/shell/diskspace.h"

#include <QStorageInfo>

int64_t DiskSpace::freeBytes(const QString& folder) {
    const QStorageInfo storage(folder);
    if (!storage.isValid() || !storage.isReady()) {
        return -1;
    }
    return storage.bytesAvailable();
}
