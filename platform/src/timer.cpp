// Periodic timers with the contract of a multimedia timer (see timer.h).
//
// Real mode: one thread per timer. Due times are start + k * period on the
// steady clock, so periods do not drift; when a callback overruns so that
// whole periods have passed, the missed ticks are dropped rather than fired
// in a burst.
//
// Lockstep mode: no threads. Each timer keeps its next due time on the
// simulated clock; LockstepAdvance runs the earliest due callback (ties in
// creation order) until nothing is due within the advanced span.
#include "zu/platform/timer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace zu::platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

struct Timer {
    uint32_t id = 0;
    uint32_t period_ms = 0;
    TimerCallback callback = nullptr;
    uintptr_t user_data = 0;
    bool periodic = false;
    uint64_t sequence = 0;  // creation order, breaks ties between equal due times

    // Real mode.
    std::thread thread;
    bool stop = false;                // guarded by Registry::mutex
    std::condition_variable wake;     // with Registry::mutex
    std::thread::id callback_thread;  // thread running the callback now (or none)

    // Lockstep mode.
    uint64_t due_ms = 0;
};

struct Registry {
    std::mutex mutex;
    std::condition_variable callback_done;  // a lockstep callback finished
    ClockMode mode = ClockMode::Real;
    std::map<uint32_t, std::shared_ptr<Timer>> timers;
    uint32_t next_id = 1;
    uint64_t next_sequence = 0;
    uint64_t lockstep_now_ms = 0;
    // Lockstep: the timer whose callback runs now and on which thread.
    uint32_t lockstep_running_id = 0;
    std::thread::id lockstep_thread;
    SteadyClock::time_point epoch = SteadyClock::now();
};

// Never destroyed: timer threads left running at exit must not see it go.
Registry& Reg() {
    static Registry* registry = new Registry;
    return *registry;
}

uint32_t AllocateId(Registry& reg) {
    for (;;) {
        uint32_t id = reg.next_id++;
        if (reg.next_id == 0) reg.next_id = 1;
        if (id != 0 && reg.timers.find(id) == reg.timers.end()) return id;
    }
}

void RunRealTimer(std::shared_ptr<Timer> timer) {
    Registry& reg = Reg();
    const auto period = std::chrono::milliseconds(timer->period_ms);
    const SteadyClock::time_point start = SteadyClock::now();
    uint64_t tick = 1;
    std::unique_lock<std::mutex> lock(reg.mutex);
    for (;;) {
        const SteadyClock::time_point due = start + period * tick;
        timer->wake.wait_until(lock, due, [&] { return timer->stop; });
        if (timer->stop) break;
        timer->callback_thread = std::this_thread::get_id();
        lock.unlock();
        timer->callback(timer->id, 0, timer->user_data, 0, 0);
        lock.lock();
        timer->callback_thread = std::thread::id();
        if (!timer->periodic || timer->stop) break;
        // Next tick; skip ticks that have already passed entirely.
        const auto now = SteadyClock::now();
        ++tick;
        if (now >= start + period * (tick + 1)) {
            tick = static_cast<uint64_t>((now - start) / period) + 1;
        }
    }
    if (!timer->periodic && !timer->stop) {
        // A one-shot timer that has fired is gone, as after TimeKillEvent.
        auto it = reg.timers.find(timer->id);
        if (it != reg.timers.end() && it->second == timer) {
            reg.timers.erase(it);
            timer->thread.detach();
        }
    }
}

}  // namespace

bool SetClockMode(ClockMode mode) {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (mode == reg.mode) return true;
    if (!reg.timers.empty()) return false;
    reg.mode = mode;
    return true;
}

ClockMode GetClockMode() {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return reg.mode;
}

uint32_t TimeSetEvent(uint32_t period_ms, uint32_t resolution_ms, TimerCallback callback,
                      uintptr_t user_data, uint32_t flags) {
    if (period_ms == 0 || callback == nullptr) return 0;
    Registry& reg = Reg();
    auto timer = std::make_shared<Timer>();
    timer->period_ms = period_ms;
    timer->callback = callback;
    timer->user_data = user_data;
    timer->periodic = (flags & kTimerPeriodic) != 0;
    std::lock_guard<std::mutex> lock(reg.mutex);
    timer->id = AllocateId(reg);
    timer->sequence = reg.next_sequence++;
    reg.timers[timer->id] = timer;
    if (reg.mode == ClockMode::Lockstep) {
        timer->due_ms = reg.lockstep_now_ms + period_ms;
    } else {
        timer->thread = std::thread(RunRealTimer, timer);
    }
    return timer->id;
}

uint32_t TimeKillEvent(uint32_t timer_id) {
    Registry& reg = Reg();
    std::unique_lock<std::mutex> lock(reg.mutex);
    auto it = reg.timers.find(timer_id);
    if (it == reg.timers.end()) return 1;  // TIMERR_NOCANDO
    std::shared_ptr<Timer> timer = it->second;
    reg.timers.erase(it);
    timer->stop = true;
    const auto self = std::this_thread::get_id();
    if (timer->thread.joinable()) {
        timer->wake.notify_all();
        if (timer->callback_thread == self || timer->thread.get_id() == self) {
            // Called from the timer's own callback: it ends after the callback.
            timer->thread.detach();
            return 0;
        }
        lock.unlock();
        timer->thread.join();
        return 0;
    }
    // Lockstep: wait for the callback if it runs now on another thread.
    reg.callback_done.wait(
        lock, [&] { return reg.lockstep_running_id != timer_id || reg.lockstep_thread == self; });
    return 0;
}

uint64_t ClockNowMs() {
    Registry& reg = Reg();
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (reg.mode == ClockMode::Lockstep) return reg.lockstep_now_ms;
    }
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - reg.epoch)
            .count());
}

uint32_t LockstepAdvance(uint64_t ms) {
    Registry& reg = Reg();
    std::unique_lock<std::mutex> lock(reg.mutex);
    if (reg.mode != ClockMode::Lockstep) return 0;
    // A callback advancing the clock again would reorder time; refuse.
    if (reg.lockstep_running_id != 0) return 0;
    const uint64_t target = reg.lockstep_now_ms + ms;
    uint32_t ran = 0;
    for (;;) {
        std::shared_ptr<Timer> next;
        for (const auto& [id, timer] : reg.timers) {
            if (timer->due_ms > target) continue;
            if (!next || timer->due_ms < next->due_ms ||
                (timer->due_ms == next->due_ms && timer->sequence < next->sequence)) {
                next = timer;
            }
        }
        if (!next) break;
        reg.lockstep_now_ms = next->due_ms;
        if (next->periodic) {
            next->due_ms += next->period_ms;
        } else {
            reg.timers.erase(next->id);
        }
        reg.lockstep_running_id = next->id;
        reg.lockstep_thread = std::this_thread::get_id();
        lock.unlock();
        next->callback(next->id, 0, next->user_data, 0, 0);
        lock.lock();
        reg.lockstep_running_id = 0;
        reg.lockstep_thread = std::thread::id();
        reg.callback_done.notify_all();
        ++ran;
    }
    reg.lockstep_now_ms = target;
    return ran;
}

void SleepMs(uint32_t ms) {
    if (GetClockMode() == ClockMode::Lockstep) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace zu::platform
