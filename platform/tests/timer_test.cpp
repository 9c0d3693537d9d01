#include "zu/platform/timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zu::platform {
namespace {

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SetClockMode(ClockMode::Real)); }
    void TearDown() override { EXPECT_TRUE(SetClockMode(ClockMode::Real)); }
};

void CountCallback(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
    reinterpret_cast<std::atomic<int>*>(user)->fetch_add(1);
}

TEST_F(TimerTest, RealPeriodicRunCountsCallbacks) {
    std::atomic<int> count{0};
    uint32_t id =
        TimeSetEvent(10, 1, CountCallback, reinterpret_cast<uintptr_t>(&count), kTimerPeriodic);
    ASSERT_NE(id, 0u);
    // Waits for several periods rather than a fixed time, so a loaded machine
    // (missed ticks are dropped) cannot make it fail.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 600 && count.load() < 5; ++i) SleepMs(5);
    EXPECT_EQ(TimeKillEvent(id), 0u);
    const auto elapsed_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
    const int after_kill = count.load();
    EXPECT_GE(after_kill, 5);
    EXPECT_LE(after_kill, elapsed_ms / 10 + 1) << "more callbacks than periods";
    SleepMs(40);
    EXPECT_EQ(count.load(), after_kill) << "callbacks after TimeKillEvent";
    EXPECT_NE(TimeKillEvent(id), 0u) << "second kill of the same timer";
}

TEST_F(TimerTest, RealOneShotFiresOnce) {
    std::atomic<int> count{0};
    uint32_t id =
        TimeSetEvent(5, 1, CountCallback, reinterpret_cast<uintptr_t>(&count), kTimerOneShot);
    ASSERT_NE(id, 0u);
    for (int i = 0; i < 200 && count.load() == 0; ++i) SleepMs(5);
    SleepMs(30);
    EXPECT_EQ(count.load(), 1);
    TimeKillEvent(id);  // may already be gone; must not hang
}

struct Latch {
    std::mutex mutex;
    std::condition_variable cv;
    bool entered = false;
    bool released = false;
    std::atomic<bool> finished{false};
};

void BlockingCallback(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
    auto* latch = reinterpret_cast<Latch*>(user);
    std::unique_lock<std::mutex> lock(latch->mutex);
    if (latch->entered) return;  // only the first call blocks
    latch->entered = true;
    latch->cv.notify_all();
    latch->cv.wait(lock, [&] { return latch->released; });
    latch->finished = true;
}

TEST_F(TimerTest, KillWaitsForCallbackInFlight) {
    Latch latch;
    uint32_t id =
        TimeSetEvent(5, 1, BlockingCallback, reinterpret_cast<uintptr_t>(&latch), kTimerPeriodic);
    ASSERT_NE(id, 0u);
    {
        std::unique_lock<std::mutex> lock(latch.mutex);
        ASSERT_TRUE(
            latch.cv.wait_for(lock, std::chrono::seconds(5), [&] { return latch.entered; }));
    }
    std::atomic<bool> kill_returned{false};
    std::thread killer([&] {
        EXPECT_EQ(TimeKillEvent(id), 0u);
        kill_returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(kill_returned.load()) << "TimeKillEvent returned while the callback ran";
    {
        std::lock_guard<std::mutex> lock(latch.mutex);
        latch.released = true;
    }
    latch.cv.notify_all();
    killer.join();
    EXPECT_TRUE(kill_returned.load());
    EXPECT_TRUE(latch.finished.load());
}

struct SelfKill {
    std::atomic<uint32_t> id{0};
    std::atomic<int> calls{0};
    std::atomic<uint32_t> kill_result{99};
};

void SelfKillingCallback(uint32_t timer_id, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
    auto* state = reinterpret_cast<SelfKill*>(user);
    state->calls.fetch_add(1);
    state->kill_result = TimeKillEvent(timer_id);
}

TEST_F(TimerTest, KillFromOwnCallbackDoesNotDeadlock) {
    SelfKill state;
    uint32_t id = TimeSetEvent(5, 1, SelfKillingCallback, reinterpret_cast<uintptr_t>(&state),
                               kTimerPeriodic);
    ASSERT_NE(id, 0u);
    for (int i = 0; i < 400 && state.calls.load() == 0; ++i) SleepMs(5);
    SleepMs(50);
    EXPECT_EQ(state.calls.load(), 1);
    EXPECT_EQ(state.kill_result.load(), 0u);
    EXPECT_NE(TimeKillEvent(id), 0u);
}

TEST_F(TimerTest, ModeSwitchRefusedWhileTimersRun) {
    std::atomic<int> count{0};
    uint32_t id =
        TimeSetEvent(1000, 1, CountCallback, reinterpret_cast<uintptr_t>(&count), kTimerPeriodic);
    ASSERT_NE(id, 0u);
    EXPECT_FALSE(SetClockMode(ClockMode::Lockstep));
    EXPECT_EQ(GetClockMode(), ClockMode::Real);
    EXPECT_EQ(TimeKillEvent(id), 0u);
    EXPECT_TRUE(SetClockMode(ClockMode::Lockstep));
    EXPECT_EQ(GetClockMode(), ClockMode::Lockstep);
}

class LockstepTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SetClockMode(ClockMode::Lockstep)); }
    void TearDown() override { EXPECT_TRUE(SetClockMode(ClockMode::Real)); }
};

// Advances `total_ms` in 60 Hz frames of whole milliseconds (16 or 17 ms).
uint32_t AdvanceInFrames(uint64_t total_ms) {
    uint32_t ran = 0;
    const uint64_t frames = total_ms * 60 / 1000;
    for (uint64_t i = 0; i < frames; ++i) {
        ran += LockstepAdvance((i + 1) * 1000 / 60 - i * 1000 / 60);
    }
    return ran;
}

TEST_F(LockstepTest, PeriodicTimerRunsWithoutDrift) {
    std::atomic<int> count{0};
    const uint64_t start = ClockNowMs();
    uint32_t id =
        TimeSetEvent(64, 1, CountCallback, reinterpret_cast<uintptr_t>(&count), kTimerPeriodic);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(AdvanceInFrames(10000), 156u);
    EXPECT_EQ(count.load(), 156);
    EXPECT_EQ(ClockNowMs() - start, 10000u);
    EXPECT_EQ(TimeKillEvent(id), 0u);
    EXPECT_EQ(LockstepAdvance(1000), 0u);
    EXPECT_EQ(count.load(), 156);
}

TEST_F(LockstepTest, SleepDoesNotBlockAndClockMovesOnlyByAdvance) {
    const uint64_t before = ClockNowMs();
    const auto real_before = std::chrono::steady_clock::now();
    SleepMs(10000);
    EXPECT_LT(std::chrono::steady_clock::now() - real_before, std::chrono::seconds(1));
    EXPECT_EQ(ClockNowMs(), before);
    LockstepAdvance(25);
    EXPECT_EQ(ClockNowMs(), before + 25);
}

struct Event {
    char timer;
    uint64_t at_ms;
};
std::vector<Event>* g_events = nullptr;

void RecordCallback(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
    g_events->push_back({static_cast<char>(user), ClockNowMs()});
}

std::vector<Event> RunTwoTimers() {
    std::vector<Event> events;
    g_events = &events;
    const uint64_t start = ClockNowMs();
    uint32_t a = TimeSetEvent(30, 1, RecordCallback, 'A', kTimerPeriodic);
    uint32_t b = TimeSetEvent(20, 1, RecordCallback, 'B', kTimerPeriodic);
    uint32_t c = TimeSetEvent(50, 1, RecordCallback, 'C', kTimerOneShot);
    LockstepAdvance(37);
    LockstepAdvance(0);
    LockstepAdvance(83);
    TimeKillEvent(a);
    TimeKillEvent(b);
    EXPECT_NE(TimeKillEvent(c), 0u) << "a fired one-shot timer is gone";
    g_events = nullptr;
    for (Event& e : events) e.at_ms -= start;
    return events;
}

TEST_F(LockstepTest, TwoTimersRunInTimeOrderDeterministically) {
    std::vector<Event> first = RunTwoTimers();
    std::string order;
    std::vector<uint64_t> times;
    for (const Event& e : first) {
        order += e.timer;
        times.push_back(e.at_ms);
    }
    // A: 30 60 90 120; B: 20 40 60 80 100 120; C: 50. Ties in creation order.
    EXPECT_EQ(order, "BABCABBABAB");
    EXPECT_EQ(times, (std::vector<uint64_t>{20, 30, 40, 50, 60, 60, 80, 90, 100, 120, 120}));
    std::vector<Event> second = RunTwoTimers();
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].timer, first[i].timer);
        EXPECT_EQ(second[i].at_ms, first[i].at_ms);
    }
}

struct KillOther {
    uint32_t other = 0;
    int calls = 0;
};

void KillOtherCallback(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
    auto* state = reinterpret_cast<KillOther*>(user);
    ++state->calls;
    if (state->other != 0) {
        EXPECT_EQ(TimeKillEvent(state->other), 0u);
        state->other = 0;
    }
}

TEST_F(LockstepTest, CallbackMayKillTimersIncludingItself) {
    std::atomic<int> victim_count{0};
    KillOther killer;
    uint32_t k = TimeSetEvent(10, 1, KillOtherCallback, reinterpret_cast<uintptr_t>(&killer),
                              kTimerPeriodic);
    uint32_t v = TimeSetEvent(15, 1, CountCallback, reinterpret_cast<uintptr_t>(&victim_count),
                              kTimerPeriodic);
    killer.other = v;
    EXPECT_EQ(LockstepAdvance(100), 10u);  // killer at 10..100; victim killed before 15
    EXPECT_EQ(victim_count.load(), 0);
    SelfKill self;
    uint32_t s =
        TimeSetEvent(5, 1, SelfKillingCallback, reinterpret_cast<uintptr_t>(&self), kTimerPeriodic);
    LockstepAdvance(50);
    EXPECT_EQ(self.calls.load(), 1);
    EXPECT_EQ(self.kill_result.load(), 0u);
    EXPECT_NE(TimeKillEvent(s), 0u);
    EXPECT_EQ(TimeKillEvent(k), 0u);
}

}  // namespace
}  // namespace zu::platform
