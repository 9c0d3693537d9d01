// Periodic timers with the contract of a multimedia timer, and the clock they
// run on.
//
// Real mode: each timer calls its callback on a thread of its own every
// `period_ms` (scheduled to within `resolution_ms`). TimeKillEvent stops the
// timer and returns only when no callback of it is running any more. The
// first call comes one period after the start; due times are
// start + k * period (no drift); when a callback overruns by whole periods
// the missed calls are dropped, not made up in a burst.
//
// Lockstep mode: nothing runs by itself. The host advances a simulated clock
// with LockstepAdvance; every callback that falls due within the advanced
// span runs on the host's thread, in time order (equal due times in the order
// the timers were started), before LockstepAdvance returns; during a
// callback ClockNowMs() is its due time. Tests and the stand-in simulator use
// it to run deterministically and faster than real time.
//
// In both modes a one-shot timer is gone once it has fired (TimeKillEvent
// then reports an unknown identifier), and a callback may start and kill
// timers, its own included.
#pragma once

#include <cstdint>

namespace zu::platform {

using TimerCallback = void (*)(uint32_t timer_id, uint32_t message, uintptr_t user_data,
                               uintptr_t reserved1, uintptr_t reserved2);

inline constexpr uint32_t kTimerOneShot = 0;
inline constexpr uint32_t kTimerPeriodic = 1;

enum class ClockMode { Real, Lockstep };

// Selects the clock. Call before any timer is started; switching while timers
// run is refused (returns false).
bool SetClockMode(ClockMode mode);
ClockMode GetClockMode();

// Starts a timer. Returns its identifier (never 0), or 0 when the arguments
// are invalid (period 0 or a null callback).
uint32_t TimeSetEvent(uint32_t period_ms, uint32_t resolution_ms, TimerCallback callback,
                      uintptr_t user_data, uint32_t flags);

// Stops a timer; waits for a callback in flight (unless called from that
// callback). Returns 0 on success, non-zero for an unknown identifier.
uint32_t TimeKillEvent(uint32_t timer_id);

// Milliseconds on the current clock (monotonic; simulated in lockstep mode).
uint64_t ClockNowMs();

// Lockstep mode only: advances the simulated clock by `ms` and runs the due
// callbacks on the calling thread. Returns how many callbacks ran. Returns 0
// without advancing in real mode or when called from inside a callback.
uint32_t LockstepAdvance(uint64_t ms);

// Sleeps in real mode; in lockstep mode returns at once (the simulated clock
// is moved only by the host).
void SleepMs(uint32_t ms);

}  // namespace zu::platform
