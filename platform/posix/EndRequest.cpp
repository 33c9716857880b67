#include "platform/EndRequest.h"

#include <csignal>
#include <pthread.h>

namespace platform {

namespace {

sigset_t EndSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

// Blocked in every thread started later, so that only sigwait receives them.
void CatchEndRequests() {
    const sigset_t signals = EndSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A reader of standard output that goes away must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
}

void WaitForEndRequest() {
    const sigset_t signals = EndSignals();
    int signal = 0;
    sigwait(&signals, &signal);
}

} // namespace platform
