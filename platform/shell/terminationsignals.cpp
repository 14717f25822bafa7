#include "platform/shell/terminationsignals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int number) {
    const char byte = char(number);
    // Only async-signal-safe calls here; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) != 0) {
        qWarning("Termination signals: socketpair failed");
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(pipeEnds[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::onReadable);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals) {
        sigaction(number, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    for (int number : kSignals) {
        std::signal(number, SIG_DFL);
    }
    m_notifier.reset();
    for (int& end : pipeEnds) {
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
    }
}

void TerminationSignals::onReadable() {
    char byte = 0;
    if (::read(pipeEnds[1], &byte, 1) == 1) {
        Q_EMIT terminationRequested(int(byte));
    }
}
