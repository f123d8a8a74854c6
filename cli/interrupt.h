// SIGINT (on Windows the console's Ctrl+C or Ctrl+Break) plays the Escape
// key: the handler only raises a flag, which the run host hands to the
// engine at its next poll; the engine then shows its own Escape message and
// cleans up. After the first interrupt the default action is back, so a
// second one ends the process at once.
#pragma once

#include <atomic>

namespace drennix::cli {

void installInterruptHandler();

// True once for each interrupt that arrived since the previous call.
bool takeInterruptRequest();

// True when an interrupt arrived at any time since the handler was installed.
bool interruptReceived();
// The same as a flag, for work after the run that stops on an interrupt.
const std::atomic<bool>& anyInterruptSignal();

// Set while an interrupt waits for takeInterruptRequest: a run reads it once
// a line and asks takeInterruptRequest only when it is set.
const std::atomic<bool>& interruptSignal();

#if defined(_WIN32)
// The console control handler that installInterruptHandler installs: true
// when it took the event (a CTRL_C_EVENT or CTRL_BREAK_EVENT, the first
// time), false to leave it to the system's default, which ends the process.
bool handleConsoleControl(unsigned long event);
#endif

}  // namespace drennix::cli
