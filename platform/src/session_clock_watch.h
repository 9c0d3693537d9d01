// What the session layer tells the session clock (session_clock.h): which
// sessions are running, so that an advance reaches each of them.
#pragma once

#include <cstdint>

namespace zu::platform {

// A host or client with a worker thread.
class SessionClockWatcher {
  public:
    // Called (with the clock's registry locked, from any thread) after the
    // clock moved: posts to the session's worker a check of every bound
    // against the new time, which ends with SessionClockChecked(this,
    // generation) once the work the check started (a write, a close) has
    // been issued. Must not block.
    virtual void PostClockCheck(uint64_t generation) = 0;

  protected:
    ~SessionClockWatcher() = default;
};

// From when the session's worker runs until before it stops; a watcher that
// is no longer watched is not waited for.
void WatchSessionClock(SessionClockWatcher* watcher);
void UnwatchSessionClock(SessionClockWatcher* watcher);
// On the watcher's worker: its check for `generation` is done.
void SessionClockChecked(SessionClockWatcher* watcher, uint64_t generation);
// First thing on every session worker thread: an advance from there does
// not wait (it would wait for itself).
void MarkSessionWorkerThread();

}  // namespace zu::platform
