#include "interrupt.h"

#include <atomic>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <signal.h>
#endif

namespace drennix::cli {
namespace {

// The one piece of mutable global state of the program: written by the
// handler (a signal handler, or on Windows a thread the system starts for
// the console event), read by the run host. Lock-free, so safe in both.
std::atomic<bool> pendingInterrupt{false};
std::atomic<bool> anyInterrupt{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#if defined(_WIN32)

BOOL WINAPI onConsoleControl(DWORD event)
{
    return handleConsoleControl(event) ? TRUE : FALSE;
}

#else

extern "C" void onInterrupt(int)
{
    pendingInterrupt = true;
    anyInterrupt = true;
}

#endif

}  // namespace

#if defined(_WIN32)
// Ctrl+C and Ctrl+Break: the first one asks the run to stop; for a second
// one the handler declines, and the system's default ends the process.
bool handleConsoleControl(unsigned long event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return false;
    if (anyInterrupt.exchange(true)) return false;
    pendingInterrupt = true;
    return true;
}
#endif

void installInterruptHandler()
{
#if defined(_WIN32)
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESTART: a read of the source that the signal interrupts goes on
    // instead of failing (which the run would report as a read error).
    // SA_RESETHAND: a second SIGINT takes the default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
#endif
}

bool takeInterruptRequest()
{
    // Asked once a line: a read that finds nothing writes nothing.
    return pendingInterrupt.load(std::memory_order_relaxed) && pendingInterrupt.exchange(false);
}

bool interruptReceived()
{
    return anyInterrupt;
}

const std::atomic<bool>& anyInterruptSignal()
{
    return anyInterrupt;
}

const std::atomic<bool>& interruptSignal()
{
    return pendingInterrupt;
}

}  // namespace drennix::cli
