// Allocations on the systems tick while eight instructor panels poll the
// module's link over TCP. This program replaces the global operator new to
// count what is allocated, on the tick's thread and in the whole process;
// the test thread plays the tick's thread and calls SystemsTick itself, as
// the timer would, once the module's receive ring holds each round's
// messages. Every reply goes through the session layer's send path on that
// thread and is written by the network thread, so a send that allocated (a
// queue that grows, a wake-up of the network thread through the heap, an
// operation of the network thread that takes heap memory) shows here. The
// panels count their replies without keeping them, so in steady state
// nothing in the process should allocate at all.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "cabin_link/instructor_link_server.h"
#include "cabin_link/instructor_message.h"
#include "core/systems_tick.h"
#include "zu/platform/net_session.h"

namespace {
thread_local bool t_counting = false;
thread_local uint64_t t_allocations = 0;
std::atomic<bool> g_counting{false};
std::atomic<uint64_t> g_allocations{0};

void Count() {
    if (t_counting) ++t_allocations;
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
}

void* Allocate(std::size_t size) {
    Count();
    return std::malloc(size == 0 ? 1 : size);
}
void* AllocateAligned(std::size_t size, std::align_val_t align) {
    Count();
    const auto a = static_cast<std::size_t>(align);
    return std::aligned_alloc(a, (size + a - 1) / a * a);
}
}  // namespace

// The replacements pair malloc with free themselves.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t align) {
    if (void* p = AllocateAligned(size, align)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) {
    if (void* p = AllocateAligned(size, align)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

namespace zu {
namespace {

constexpr int kPanels = 8;
constexpr auto kBound = std::chrono::seconds(10);

uint16_t FreePort() {
    // Host on port 0 and read what the kernel gave.
    auto probe = platform::CreateSessionHost();
    if (probe->Host(0, platform::kInstructorAppId, [](auto...) {}) != platform::kSessionOk)
        return 0;
    const uint16_t port = probe->Stats().port;
    probe->Close();
    return port;
}

class Panel {
  public:
    int32_t Connect(uint16_t port) {
        return session_->Connect(
            "127.0.0.1", port, platform::kInstructorAppId,
            [this](platform::SessionEvent e, platform::PlayerId, const uint8_t* data, size_t size) {
                if (e != platform::SessionEvent::Message) return;
                if (size >= 1 && data[0] == kInstructorAcknowledge) acks_.fetch_add(1);
                replies_.fetch_add(1);
            });
    }
    int32_t Send(const InstructorMessage& m) { return session_->Send(&m, sizeof m); }
    void Close() { session_->Close(); }
    size_t Replies() const { return replies_.load(); }
    size_t Acks() const { return acks_.load(); }

  private:
    std::unique_ptr<platform::SessionClient> session_ = platform::CreateSessionClient();
    std::atomic<size_t> replies_{0};
    std::atomic<size_t> acks_{0};
};

template <typename Done>
bool WaitUntil(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(InstructorTickAllocations, EightPollingPanelsCostTheTickNoAllocation) {
    NetServerPort = FreePort();
    ASSERT_NE(NetServerPort, 0u);
    ASSERT_EQ(NetServerStart(), platform::kSessionOk);
    struct StopServer {
        ~StopServer() {
            NetServerStop();
            NetServerPort = 2660;
        }
    } stop_server;
    const uint32_t received_before = InstructorReceiveHead.load(std::memory_order_acquire);
    std::vector<std::unique_ptr<Panel>> panels;
    for (int i = 0; i < kPanels; ++i) {
        panels.push_back(std::make_unique<Panel>());
        ASSERT_EQ(panels.back()->Connect(static_cast<uint16_t>(NetServerPort)),
                  platform::kSessionOk);
    }

    const uint16_t groups[] = {kInstructorGroupHydraulics, kInstructorGroupFlightSurfaces,
                               kInstructorGroupPowerplants, kInstructorGroupElectrics,
                               kInstructorGroupAvionics};
    size_t sent = 0, commands = 0, rounds = 0;
    uint64_t tick_allocations = 0;
    // One round: every panel sends one message, some two, and the tick
    // answers them all.
    auto round = [&](bool count) {
        ++rounds;
        for (size_t i = 0; i < panels.size(); ++i) {
            auto& p = panels[i];
            const int messages = (rounds + i) % 3 == 0 ? 2 : 1;
            for (int k = 0; k < messages; ++k) {
                InstructorMessage m{};
                if (sent % 6 == 5) {
                    m.kind = kInstructorSetValue;  // a command, acknowledged
                    m.group = kInstructorGroupAvionics;
                    ++commands;
                } else {
                    m.kind = kInstructorDataRequest;
                    m.group = groups[sent % 5];
                }
                ASSERT_EQ(p->Send(m), platform::kSessionOk);
                ++sent;
            }
        }
        ASSERT_TRUE(
            WaitUntil([&] { return InstructorReceiveHead.load() - received_before == sent; }));
        t_allocations = 0;
        t_counting = count;
        SystemsTick(0, 0, 0, 0, 0);
        t_counting = false;
        tick_allocations += t_allocations;
        // Replies of every round are awaited, so the next tick's sends find
        // some connections idle (a flush to post) and, as the writes race
        // the tick, some still writing.
        if (rounds % 3 == 0) {
            ASSERT_TRUE(WaitUntil([&] {
                size_t got = 0;
                for (auto& q : panels) got += q->Replies();
                return got == sent;
            }));
        }
    };

    for (int i = 0; i < 30; ++i) ASSERT_NO_FATAL_FAILURE(round(false));  // warm-up
    g_counting = true;
    for (int i = 0; i < 300; ++i) ASSERT_NO_FATAL_FAILURE(round(true));
    g_counting = false;
    EXPECT_EQ(tick_allocations, 0u) << "on the tick's thread";
    EXPECT_EQ(g_allocations.load(), 0u) << "in the process, network threads included";

    ASSERT_TRUE(WaitUntil([&] {
        size_t got = 0;
        for (auto& q : panels) got += q->Replies();
        return got == sent;
    }));
    size_t acks = 0;
    for (auto& p : panels) acks += p->Acks();
    EXPECT_EQ(acks, commands);
    for (const platform::SessionHostStats& s : platform::HostedSessions()) {
        if (s.port != NetServerPort) continue;
        EXPECT_EQ(s.peers.size(), static_cast<size_t>(kPanels));
        EXPECT_EQ(s.frames_dropped, 0u);
    }

    for (auto& p : panels) p->Close();
}

}  // namespace
}  // namespace zu
