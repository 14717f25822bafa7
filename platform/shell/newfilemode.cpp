#include "platform/shell/newfilemode.h"

#include <sys/stat.h>

#include <QFile>

namespace {

constexpr mode_t kReadWriteForAll = 0666;

// The umask as the kernel reports it; reading it this way does not change it, which setting
// and restoring it would do for a moment under every other thread.
mode_t currentUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok) {
                    return mode_t(value);
                }
            }
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

mode_t newFileMode() {
    return kReadWriteForAll & ~currentUmask();
}
