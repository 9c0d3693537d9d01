// Window timers (see window_timer.h).
#include "zu/platform/window_timer.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "zu/platform/timer.h"

namespace zu::platform {

namespace {

struct WindowTimer {
    WindowHandle window;
    uint32_t id;
    uint32_t period_ms;
    WindowTimerProc proc;
    void* user;
    uint64_t due_ms;
    uint64_t serial;  // changes when the timer is replaced or killed
};

struct Registry {
    std::mutex mutex;
    std::vector<WindowTimer> timers;
    uint64_t next_serial = 1;
};

Registry& Reg() {
    static Registry* registry = new Registry;
    return *registry;
}

}  // namespace

uint32_t SetWindowTimer(WindowHandle window, uint32_t id, uint32_t period_ms, WindowTimerProc proc,
                        void* user) {
    if (proc == nullptr || id == 0) return 0;
    period_ms = std::max<uint32_t>(period_ms, 10);
    Registry& r = Reg();
    std::lock_guard<std::mutex> lock(r.mutex);
    const WindowTimer t{window,         id, period_ms, proc, user, ClockNowMs() + period_ms,
                        r.next_serial++};
    for (WindowTimer& existing : r.timers) {
        if (existing.window == window && existing.id == id) {
            existing = t;
            return id;
        }
    }
    r.timers.push_back(t);
    return id;
}

bool KillWindowTimer(WindowHandle window, uint32_t id) {
    Registry& r = Reg();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = std::find_if(r.timers.begin(), r.timers.end(), [&](const WindowTimer& t) {
        return t.window == window && t.id == id;
    });
    if (it == r.timers.end()) return false;
    r.timers.erase(it);
    return true;
}

uint32_t PumpWindowTimers() {
    Registry& r = Reg();
    uint32_t ran = 0;
    // One pass over the timers due now, each run without the lock held so
    // that a callback may set or kill timers.
    for (;;) {
        WindowTimer due{};
        bool found = false;
        {
            std::lock_guard<std::mutex> lock(r.mutex);
            const uint64_t now = ClockNowMs();
            for (WindowTimer& t : r.timers) {
                if (t.due_ms <= now) {
                    due = t;
                    t.due_ms = now + t.period_ms;
                    found = true;
                    break;
                }
            }
        }
        if (!found) break;
        due.proc(due.window, due.id, due.user);
        ++ran;
    }
    return ran;
}

uint32_t WindowTimerCount() {
    Registry& r = Reg();
    std::lock_guard<std::mutex> lock(r.mutex);
    return static_cast<uint32_t>(r.timers.size());
}

}  // namespace zu::platform
