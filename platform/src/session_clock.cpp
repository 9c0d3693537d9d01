// The session clock (see session_clock.h): the steady clock plus an offset
// that only grows. An advance adds to the offset, posts a check to every
// running session and waits for each to report it done.
#include "zu/platform/session_clock.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>

#include "session_clock_watch.h"

namespace zu::platform {
namespace {

// What tests advanced the clock by, in the clock's ticks.
std::atomic<SessionClock::rep> Offset{0};

struct Watchers {
    std::mutex mutex;
    std::condition_variable checked;
    // Each running session and the last generation it has checked.
    std::map<SessionClockWatcher*, uint64_t> sessions;
    uint64_t generation = 0;  // advances so far
};

// Never destroyed: session threads left running at exit must not see it go.
Watchers& Registry() {
    static Watchers* watchers = new Watchers;
    return *watchers;
}

thread_local bool OnSessionWorker = false;

constexpr auto kCatchUpBound = std::chrono::seconds(10);

}  // namespace

SessionClock::time_point SessionClock::now() noexcept {
    return time_point(std::chrono::steady_clock::now().time_since_epoch() +
                      duration(Offset.load(std::memory_order_acquire)));
}

bool AdvanceSessionClock(std::chrono::milliseconds by) {
    if (by.count() < 0) return false;
    Watchers& w = Registry();
    std::unique_lock<std::mutex> lock(w.mutex);
    Offset.fetch_add(std::chrono::duration_cast<SessionClock::duration>(by).count(),
                     std::memory_order_acq_rel);
    const uint64_t generation = ++w.generation;
    for (const auto& entry : w.sessions) entry.first->PostClockCheck(generation);
    if (OnSessionWorker) return false;
    return w.checked.wait_for(lock, kCatchUpBound, [&] {
        for (const auto& entry : w.sessions) {
            if (entry.second < generation) return false;
        }
        return true;
    });
}

void WatchSessionClock(SessionClockWatcher* watcher) {
    Watchers& w = Registry();
    std::lock_guard<std::mutex> lock(w.mutex);
    w.sessions[watcher] = w.generation;  // started on the time as it is now
}

void UnwatchSessionClock(SessionClockWatcher* watcher) {
    Watchers& w = Registry();
    std::lock_guard<std::mutex> lock(w.mutex);
    if (w.sessions.erase(watcher) != 0) w.checked.notify_all();
}

void SessionClockChecked(SessionClockWatcher* watcher, uint64_t generation) {
    Watchers& w = Registry();
    std::lock_guard<std::mutex> lock(w.mutex);
    auto it = w.sessions.find(watcher);
    if (it == w.sessions.end() || it->second >= generation) return;
    it->second = generation;
    w.checked.notify_all();
}

void MarkSessionWorkerThread() {
    OnSessionWorker = true;
}

}  // namespace zu::platform
