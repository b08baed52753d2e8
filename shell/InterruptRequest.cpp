#include "shell/InterruptRequest.h"

#include <csignal>

namespace chipshift {

namespace {

volatile std::sig_atomic_t interrupted = 0;
struct sigaction previousAction{};

extern "C" void onInterrupt(int) {
    if (interrupted) {
        // Asked twice: the user wants out now. sigaction and raise are safe
        // inside a handler.
        struct sigaction dfl{};
        dfl.sa_handler = SIG_DFL;
        ::sigaction(SIGINT, &dfl, nullptr);
        std::raise(SIGINT);
        return;
    }
    interrupted = 1;
}

}  // namespace

InterruptAsCancel::InterruptAsCancel() {
    interrupted = 0;
    struct sigaction action{};
    action.sa_handler = &onInterrupt;
    sigemptyset(&action.sa_mask);
    // Restarted calls: an interrupt must not turn a read or write of the
    // entry in work into a failure.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &previousAction);
}

InterruptAsCancel::~InterruptAsCancel() { ::sigaction(SIGINT, &previousAction, nullptr); }

bool interruptRequested() { return interrupted != 0; }

}  // namespace chipshift
