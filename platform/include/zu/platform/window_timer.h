// Window timers: a callback that runs every `period` ms on the thread that
// owns a window. A real window system delivers them from its message loop;
// here the host's loop calls PumpWindowTimers once per frame on that thread,
// and every timer whose time has come (by the platform clock, so lockstep
// runs stay deterministic) runs there. A timer late by several periods runs
// once and is rescheduled from now, as a message loop coalesces its ticks.
#pragma once

#include <cstdint>

#include "zu/platform/win_ipc.h"

namespace zu::platform {

using WindowTimerProc = void (*)(WindowHandle window, uint32_t id, void* user);

// Starts or replaces timer `id` of `window` (period at least 10 ms); returns
// `id`, or 0 when no callback or an id of 0 was given.
uint32_t SetWindowTimer(WindowHandle window, uint32_t id, uint32_t period_ms, WindowTimerProc proc,
                        void* user);
// Stops a timer; false when it did not exist. Safe from inside its callback.
bool KillWindowTimer(WindowHandle window, uint32_t id);
// Runs the due timers on the calling thread; returns how many ran.
uint32_t PumpWindowTimers();
// Number of live timers (for tests).
uint32_t WindowTimerCount();

}  // namespace zu::platform
