// Cost of one systems tick while eight instructor panels poll the module's
// link over TCP at ten times the panel's rate: about 2.5 messages from each
// panel wait in the receive ring when the tick starts (a fifth of them
// commands), and the tick decodes them, builds the replies and hands them to
// the session layer. Only the tick is timed; the panels' sends, and the
// wait until the messages are in the ring and until every reply has come
// back, lie outside. The aircraft is unpowered, so the figure is the link's
// share of the tick on top of an idle tick.
//
// Counters: the median and 99th percentile of the tick (µs), the median of
// the time the tick's thread ran during it (µs), the replies per tick and
// the allocations per tick (every thread of the process counts while the
// tick runs; expected 0).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "allocation_count.h"
#include "cabin_link/instructor_link_server.h"
#include "cabin_link/instructor_message.h"
#include "core/systems_tick.h"
#include "zu/platform/net_session.h"

namespace {

using namespace zu;
using Clock = std::chrono::steady_clock;

constexpr int kPanels = 8;
constexpr auto kBound = std::chrono::seconds(10);

class Panel {
  public:
    int32_t Connect(uint16_t port) {
        return session_->Connect(
            "127.0.0.1", port, platform::kInstructorAppId,
            [this](platform::SessionEvent e, platform::PlayerId, const uint8_t*, size_t) {
                if (e == platform::SessionEvent::Message) replies_.fetch_add(1);
            });
    }
    int32_t Send(const InstructorMessage& m) { return session_->Send(&m, sizeof m); }
    void Close() { session_->Close(); }
    size_t Replies() const { return replies_.load(); }

  private:
    std::unique_ptr<platform::SessionClient> session_ = platform::CreateSessionClient();
    std::atomic<size_t> replies_{0};
};

template <typename Done>
bool WaitUntil(Done done) {
    const auto deadline = Clock::now() + kBound;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

// Time the calling thread ran: on a busy machine the wall-clock figure also
// holds the time the tick's thread waited for a core.
double ThreadCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

uint16_t FreePort() {
    auto probe = platform::CreateSessionHost();
    if (probe->Host(0, platform::kInstructorAppId, [](auto...) {}) != platform::kSessionOk)
        return 0;
    const uint16_t port = probe->Stats().port;
    probe->Close();
    return port;
}

void BM_SystemsTickEightPanels(benchmark::State& state) {
    NetServerPort = FreePort();
    if (NetServerPort == 0 || NetServerStart() != platform::kSessionOk) {
        state.SkipWithError("the link did not host");
        NetServerPort = 2660;
        return;
    }
    std::vector<std::unique_ptr<Panel>> panels;
    for (int i = 0; i < kPanels; ++i) {
        panels.push_back(std::make_unique<Panel>());
        if (panels.back()->Connect(static_cast<uint16_t>(NetServerPort)) != platform::kSessionOk) {
            state.SkipWithError("a panel did not connect");
        }
    }

    const uint16_t groups[] = {kInstructorGroupHydraulics, kInstructorGroupFlightSurfaces,
                               kInstructorGroupPowerplants, kInstructorGroupElectrics,
                               kInstructorGroupAvionics};
    const uint32_t received_before = InstructorReceiveHead.load(std::memory_order_acquire);
    size_t sent = 0;
    uint64_t ticks = 0;
    uint64_t allocations = 0;
    std::vector<double> times;
    std::vector<double> cpu_times;
    times.reserve(1 << 16);
    cpu_times.reserve(1 << 16);
    auto replies = [&] {
        size_t got = 0;
        for (auto& p : panels) got += p->Replies();
        return got;
    };

    // One round: the panels' messages reach the ring, one tick answers
    // them (timed, with its allocations), every reply comes back. Returns
    // false when something did not arrive in time.
    uint64_t round_number = 0;
    auto round = [&](double& seconds, double& cpu, uint64_t& allocated) {
        // 25 ms polls against a 64 ms tick: two or three messages a panel.
        for (size_t i = 0; i < panels.size(); ++i) {
            const int messages = (round_number + i) % 2 == 0 ? 3 : 2;
            for (int k = 0; k < messages; ++k) {
                InstructorMessage m{};
                if (sent % 5 == 4) {
                    m.kind = kInstructorSetValue;
                    m.group = kInstructorGroupAvionics;
                } else {
                    m.kind = kInstructorDataRequest;
                    m.group = groups[sent % 5];
                }
                panels[i]->Send(m);
                ++sent;
            }
        }
        ++round_number;
        if (!WaitUntil([&] { return InstructorReceiveHead.load() - received_before == sent; }))
            return false;
        const uint64_t before = BenchAllocationCount();
        const double cpu_start = ThreadCpuSeconds();
        const auto start = Clock::now();
        SystemsTick(0, 0, 0, 0, 0);
        const auto end = Clock::now();
        cpu = ThreadCpuSeconds() - cpu_start;
        allocated = BenchAllocationCount() - before;
        seconds = std::chrono::duration<double>(end - start).count();
        return WaitUntil([&] { return replies() == sent; });
    };

    // The first ticks set up what the tick keeps.
    for (int i = 0; i < 10 && !state.error_occurred(); ++i) {
        double seconds = 0, cpu = 0;
        uint64_t allocated = 0;
        if (!round(seconds, cpu, allocated))
            state.SkipWithError("a warm-up round did not complete");
    }
    const size_t sent_before = sent;
    for (auto _ : state) {
        if (state.error_occurred()) break;
        double seconds = 0, cpu = 0;
        uint64_t allocated = 0;
        if (!round(seconds, cpu, allocated)) {
            state.SkipWithError("messages or replies were lost");
            break;
        }
        state.SetIterationTime(seconds);
        allocations += allocated;
        if (times.size() < times.capacity()) {
            times.push_back(seconds * 1e6);
            cpu_times.push_back(cpu * 1e6);
        }
        ++ticks;
    }

    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        state.counters["median_us"] = times[times.size() / 2];
        state.counters["p99_us"] = times[times.size() * 99 / 100];
        std::sort(cpu_times.begin(), cpu_times.end());
        state.counters["cpu_median_us"] = cpu_times[cpu_times.size() / 2];
    }
    if (ticks > 0) {
        state.counters["replies_per_tick"] =
            static_cast<double>(sent - sent_before) / static_cast<double>(ticks);
        state.counters["allocations_per_tick"] =
            static_cast<double>(allocations) / static_cast<double>(ticks);
    }
    if (allocations > 0) state.SkipWithError("the tick allocated memory");

    for (auto& p : panels) p->Close();
    NetServerStop();
    NetServerPort = 2660;
}
BENCHMARK(BM_SystemsTickEightPanels)
    ->UseManualTime()
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
