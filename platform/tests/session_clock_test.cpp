#include "zu/platform/session_clock.h"

#include <gtest/gtest.h>

#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "zu/platform/net_session.h"

namespace zu::platform {
namespace {

using namespace std::chrono_literals;

TEST(SessionClock, AdvancesAddToRealTimeAndNeverGoBack) {
    const auto real_start = std::chrono::steady_clock::now();
    const auto start = SessionClock::now();
    ASSERT_TRUE(AdvanceSessionClock(3600s));  // no session runs: nothing to wait for
    const auto moved = SessionClock::now() - start;
    const auto real = std::chrono::steady_clock::now() - real_start;
    EXPECT_GE(moved, 3600s);
    // The real time that passed meanwhile counts as well, and nothing more.
    EXPECT_LE(moved, 3600s + real);

    const auto before = SessionClock::now();
    EXPECT_FALSE(AdvanceSessionClock(-1ms));
    EXPECT_GE(SessionClock::now(), before);
    EXPECT_LT(SessionClock::now() - before, 3600s);
    for (int i = 0; i < 1000; ++i) {
        const auto a = SessionClock::now();
        EXPECT_LE(a, SessionClock::now());
    }
}

// A session's handler that advances the clock is not left waiting for its
// own session, and the other sessions still act on the advance.
TEST(SessionClock, AnAdvanceFromAHandlerDoesNotWaitForItsOwnSession) {
    asio::io_context io;
    asio::ip::tcp::acceptor probe(io, {asio::ip::make_address("127.0.0.1"), 0});
    const uint16_t port = probe.local_endpoint().port();
    probe.close();

    std::mutex mutex;
    std::condition_variable changed;
    int advanced = -1;  // the handler's result: -1 not yet, 0 false, 1 true
    auto host = CreateSessionHost();
    SessionLimits limits;
    limits.handshake_timeout_ms = 60000;
    ASSERT_EQ(host->Host(
                  port, kInstructorAppId,
                  [&](SessionEvent event, PlayerId, const uint8_t*, size_t) {
                      if (event != SessionEvent::Message) return;
                      const bool result = AdvanceSessionClock(120s);
                      std::lock_guard<std::mutex> lock(mutex);
                      advanced = result ? 1 : 0;
                      changed.notify_all();
                  },
                  limits),
              kSessionOk);
    auto client = CreateSessionClient();
    ASSERT_EQ(client->Connect("127.0.0.1", port, kInstructorAppId,
                              [](SessionEvent, PlayerId, const uint8_t*, size_t) {}),
              kSessionOk);
    // A connection without its connect request, open until the handshake time.
    asio::ip::tcp::socket silent(io);
    silent.connect({asio::ip::make_address("127.0.0.1"), port});
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (host->Stats().connections != 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_EQ(host->Stats().connections, 2u);

    ASSERT_EQ(client->Send("go", 2), kSessionOk);
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return advanced != -1; }));
    }
    EXPECT_EQ(advanced, 0);
    // The host's own check ran after its handler: the silent one is gone.
    while (host->Stats().handshake_timeouts == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_EQ(host->Stats().handshake_timeouts, 1u);
    EXPECT_TRUE(client->IsConnected());
    client->Close();
    host->Close();
    EXPECT_TRUE(AdvanceSessionClock(0ms));  // closed sessions are not waited for
}

}  // namespace
}  // namespace zu::platform
