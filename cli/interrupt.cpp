#include "interrupt.h"

#include <signal.h>

#include <csignal>

namespace drennix::cli {
namespace {

// The one piece of mutable global state of the program: written by the
// signal handler, read by the run host.
volatile std::sig_atomic_t pendingInterrupt = 0;
volatile std::sig_atomic_t anyInterrupt = 0;

extern "C" void onInterrupt(int)
{
    pendingInterrupt = 1;
    anyInterrupt = 1;
}

}  // namespace

void installInterruptHandler()
{
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESTART: a read of the source that the signal interrupts goes on
    // instead of failing (which the run would report as a read error).
    // SA_RESETHAND: a second SIGINT takes the default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

bool takeInterruptRequest()
{
    if (pendingInterrupt == 0) return false;
    pendingInterrupt = 0;
    return true;
}

bool interruptReceived()
{
    return anyInterrupt != 0;
}

}  // namespace drennix::cli
