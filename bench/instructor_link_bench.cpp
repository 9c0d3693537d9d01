// Cost of one systems tick while eight instructor panels poll the module's
// link over TCP at ten times the panel's rate, in the flying cockpit with
// the weather radar, the traffic and the map on (cockpit.h): about 2.5
// messages from each panel wait in the receive ring when the tick starts (a
// fifth of them commands), and the tick decodes them, builds the replies and
// hands them to the session layer. Only the tick is timed; the panels'
// sends, the wait until the messages are in the ring and until every reply
// has come back, and a frame's gauges after every second tick lie outside.
//
// Counters (MeasureEach): the median and 99th percentile of the tick (µs),
// the median of the time the tick's thread ran during it (µs), the
// allocations per tick (every thread of the process counts while the tick
// runs; expected 0); and the replies per tick.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "cabin_link/instructor_link_server.h"
#include "cabin_link/instructor_message.h"
#include "cockpit.h"
#include "core/systems_tick.h"
#include "zu/platform/net_session.h"

namespace zu::bench {
namespace {

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

uint16_t FreePort() {
    auto probe = platform::CreateSessionHost();
    if (probe->Host(0, platform::kInstructorAppId, [](auto...) {}) != platform::kSessionOk)
        return 0;
    const uint16_t port = probe->Stats().port;
    probe->Close();
    return port;
}

void BM_SystemsTickEightPanels(benchmark::State& state) {
    // The module hosts the link as the cockpit starts, on a port of its own.
    NetServerPort = FreePort();
    FlyingCockpit cockpit(CockpitLoad::FlyingRadarTrafficMap);
    if (!cockpit.ok()) {
        NetServerPort = 2660;
        return state.SkipWithError(cockpit.error().c_str());
    }
    simhost::Simulator& sim = cockpit.sim();
    if (NetServerPort == 0 || NetServerStart() != platform::kSessionOk) {
        NetServerPort = 2660;
        return state.SkipWithError("the link did not host");
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
    auto replies = [&] {
        size_t got = 0;
        for (auto& p : panels) got += p->Replies();
        return got;
    };
    // Before a tick: a frame's gauges after every second tick, then the
    // panels' messages until they are in the ring. 25 ms polls against a
    // 64 ms tick: two or three messages a panel.
    auto send = [&] {
        if (ticks++ % 2 == 1) sim.RunGauges();
        for (size_t i = 0; i < panels.size(); ++i) {
            const int messages = (ticks + i) % 2 == 0 ? 3 : 2;
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
        return WaitUntil([&] { return InstructorReceiveHead.load() - received_before == sent; });
    };
    auto tick = [] { SystemsTick(0, 0, 0, 0, 0); };
    auto answered = [&] { return WaitUntil([&] { return replies() == sent; }); };

    // The first ticks set up what the tick keeps.
    for (int i = 0; i < 10 && !state.error_occurred(); ++i) {
        if (!send() || (tick(), !answered()))
            state.SkipWithError("a warm-up round did not complete");
    }
    const size_t sent_before = sent;
    const uint64_t ticks_before = ticks;
    if (!state.error_occurred()) {
        MeasureEach(state, "allocations_per_tick", send, tick, answered,
                    "messages or replies were lost");
    }
    if (ticks > ticks_before) {
        state.counters["replies_per_tick"] =
            static_cast<double>(sent - sent_before) / static_cast<double>(ticks - ticks_before);
    }

    for (auto& p : panels) p->Close();
    NetServerStop();
    NetServerPort = 2660;
}
BENCHMARK(BM_SystemsTickEightPanels)->Iterations(3000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zu::bench
