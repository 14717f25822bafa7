#include "platform/shell/threadname.h"

#include <pthread.h>

void nameThisThread(const QString& name) {
    // The system takes at most 15 bytes and a terminating zero.
    constexpr int kMostBytes = 15;
    pthread_setname_np(pthread_self(), name.toUtf8().left(kMostBytes).constData());
}
