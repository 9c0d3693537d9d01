#include "zu/platform/net_session.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <asio.hpp>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "zu/platform/session_clock.h"

namespace zu::platform {
namespace {

using asio::ip::tcp;
using namespace std::chrono_literals;

// A port nothing listens on right now (the kernel's pick).
uint16_t FreePort() {
    asio::io_context io;
    tcp::acceptor acceptor(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    return acceptor.local_endpoint().port();
}

struct Event {
    SessionEvent kind;
    PlayerId player;
    std::string data;
};

// Collects handler calls from a worker thread; the test waits with a bound.
class Recorder {
  public:
    SessionHost::Handler Handler() {
        return [this](SessionEvent kind, PlayerId player, const uint8_t* data, size_t size) {
            std::lock_guard<std::mutex> lock(mutex_);
            events_.push_back(
                {kind, player, std::string(reinterpret_cast<const char*>(data), size)});
            changed_.notify_all();
        };
    }
    // Waits until `count` events of `kind` arrived; returns them.
    std::vector<Event> WaitFor(SessionEvent kind, size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, 10s, [&] { return Of(kind).size() >= count; });
        return Of(kind);
    }
    std::vector<Event> Of(SessionEvent kind) const {
        std::vector<Event> out;
        for (const Event& e : events_)
            if (e.kind == kind) out.push_back(e);
        return out;
    }
    std::vector<Event> Snapshot() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Event> events_;
};

int32_t Send(SessionClient& c, const std::string& s) {
    return c.Send(s.data(), s.size());
}
int32_t SendTo(SessionHost& h, PlayerId p, const std::string& s) {
    return h.SendTo(p, s.data(), s.size());
}

// A raw TCP peer for writing what a well-behaved client never would.
struct RawPeer {
    asio::io_context io;
    tcp::socket socket{io};
    explicit RawPeer(uint16_t port) {
        socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    }
    void Frame(uint32_t length, const void* data, size_t size) {
        uint8_t header[4] = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16),
                             uint8_t(length >> 24)};
        asio::write(socket, asio::buffer(header));
        if (size) asio::write(socket, asio::buffer(data, size));
    }
    // Reads until the host closes; returns what came. A host that has not
    // closed within 10 s fails the test (instead of hanging it).
    std::vector<uint8_t> ReadToEnd() {
        std::vector<uint8_t> all;
        uint8_t buffer[256];
        asio::error_code ec;
        for (;;) {
            pollfd p{socket.native_handle(), POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0) {
                ADD_FAILURE() << "the host kept the connection open";
                break;
            }
            const size_t n = socket.read_some(asio::buffer(buffer), ec);
            if (ec) break;
            all.insert(all.end(), buffer, buffer + n);
        }
        return all;
    }
};

class NetSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        port = FreePort();
        ASSERT_EQ(host->Host(port, kInstructorAppId, host_events.Handler()), kSessionOk);
    }
    // The handlers refer to recorders of the test body: stop every worker first.
    void TearDown() override { host->Close(); }
    std::unique_ptr<SessionClient> ConnectClient(Recorder& events) {
        auto client = CreateSessionClient();
        EXPECT_EQ(client->Connect("127.0.0.1", port, kInstructorAppId, events.Handler()),
                  kSessionOk);
        return client;
    }

    uint16_t port = 0;
    std::unique_ptr<SessionHost> host = CreateSessionHost();
    Recorder host_events;
};

TEST_F(NetSessionTest, AcceptedClientExchangesFramesBothWays) {
    Recorder client_events;
    auto client = ConnectClient(client_events);
    ASSERT_TRUE(client->IsConnected());
    const auto connected = host_events.WaitFor(SessionEvent::Connected, 1);
    ASSERT_EQ(connected.size(), 1u);
    EXPECT_EQ(host->PlayerCount(), 1u);
    const PlayerId player = connected[0].player;

    ASSERT_EQ(Send(*client, "poll"), kSessionOk);
    const std::string big(kMaxFrameBytes, 'x');
    ASSERT_EQ(Send(*client, big), kSessionOk);
    const auto messages = host_events.WaitFor(SessionEvent::Message, 2);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].data, "poll");
    EXPECT_EQ(messages[0].player, player);
    EXPECT_EQ(messages[1].data, big);

    ASSERT_EQ(SendTo(*host, player, "reply"), kSessionOk);
    const auto replies = client_events.WaitFor(SessionEvent::Message, 1);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].data, "reply");

    // Frames outside 1..8192 bytes and unknown players are refused locally.
    EXPECT_EQ(SendTo(*host, player, std::string(kMaxFrameBytes + 1, 'x')), kSessionBadArgument);
    EXPECT_EQ(host->SendTo(player, "x", 0), kSessionBadArgument);
    EXPECT_EQ(SendTo(*host, player + 100, "x"), kSessionNotConnected);

    client->Close();
    EXPECT_EQ(host_events.WaitFor(SessionEvent::Disconnected, 1).size(), 1u);
    EXPECT_EQ(host->PlayerCount(), 0u);
    EXPECT_EQ(Send(*client, "late"), kSessionNotConnected);
}

TEST_F(NetSessionTest, WrongApplicationIdIsRefusedAndDisconnected) {
    AppId other = kInstructorAppId;
    other[15] ^= 1;
    Recorder events;
    auto client = CreateSessionClient();
    EXPECT_EQ(client->Connect("127.0.0.1", port, other, events.Handler()), kSessionRefused);
    EXPECT_FALSE(client->IsConnected());

    // On the wire: an 8-byte answer with a negative result, then the close.
    RawPeer raw(port);
    raw.Frame(16, other.data(), other.size());
    const auto answer = raw.ReadToEnd();
    ASSERT_EQ(answer.size(), 12u);
    EXPECT_EQ(answer[0], 8);
    int32_t result;
    std::memcpy(&result, answer.data() + 4, 4);
    EXPECT_LT(result, 0);

    EXPECT_EQ(host->PlayerCount(), 0u);
    EXPECT_TRUE(host_events.Of(SessionEvent::Connected).empty());
}

TEST_F(NetSessionTest, MalformedFramesCloseOnlyThatConnection) {
    Recorder client_events;
    auto good = ConnectClient(client_events);
    host_events.WaitFor(SessionEvent::Connected, 1);

    {  // a length above the limit after a proper connect request
        RawPeer raw(port);
        raw.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
        raw.Frame(0xFFFFFFFFu, nullptr, 0);
        EXPECT_EQ(raw.ReadToEnd().size(), 12u);  // the accept answer, then the close
    }
    {  // length above the limit as the very first frame
        RawPeer raw(port);
        raw.Frame(kMaxFrameBytes + 1, nullptr, 0);
        EXPECT_TRUE(raw.ReadToEnd().empty());
    }
    {  // an empty frame (a keep-alive) in place of the connect request
        RawPeer raw(port);
        raw.Frame(0, nullptr, 0);
        EXPECT_TRUE(raw.ReadToEnd().empty());
    }
    {  // a connect request of the wrong size
        RawPeer raw(port);
        raw.Frame(4, "abcd", 4);
        EXPECT_EQ(raw.ReadToEnd().size(), 12u);  // refused
    }
    host_events.WaitFor(SessionEvent::Disconnected, 1);

    // The well-behaved client is still served.
    ASSERT_EQ(Send(*good, "still here"), kSessionOk);
    const auto messages = host_events.WaitFor(SessionEvent::Message, 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].data, "still here");
    EXPECT_TRUE(good->IsConnected());
    EXPECT_EQ(host->PlayerCount(), 1u);
}

TEST_F(NetSessionTest, TwoClientsEachGetOnlyTheirOwnFrames) {
    Recorder events_a, events_b;
    auto a = ConnectClient(events_a);
    auto b = ConnectClient(events_b);
    const auto connected = host_events.WaitFor(SessionEvent::Connected, 2);
    ASSERT_EQ(connected.size(), 2u);
    EXPECT_NE(connected[0].player, connected[1].player);

    ASSERT_EQ(Send(*a, "from a"), kSessionOk);
    ASSERT_EQ(Send(*b, "from b"), kSessionOk);
    const auto messages = host_events.WaitFor(SessionEvent::Message, 2);
    ASSERT_EQ(messages.size(), 2u);
    PlayerId player_a = 0, player_b = 0;
    for (const Event& m : messages) (m.data == "from a" ? player_a : player_b) = m.player;
    ASSERT_NE(player_a, player_b);

    // Frames on one connection arrive in order, so b's first frame being its
    // own proves that a's did not go to b.
    ASSERT_EQ(SendTo(*host, player_a, "to a"), kSessionOk);
    ASSERT_EQ(SendTo(*host, player_b, "to b"), kSessionOk);
    const auto got_a = events_a.WaitFor(SessionEvent::Message, 1);
    const auto got_b = events_b.WaitFor(SessionEvent::Message, 1);
    ASSERT_EQ(got_a.size(), 1u);
    ASSERT_EQ(got_b.size(), 1u);
    EXPECT_EQ(got_a[0].data, "to a");
    EXPECT_EQ(got_b[0].data, "to b");
}

TEST_F(NetSessionTest, QueuedFramesGoOutAtOneFlushInTheOrderOfTheCalls) {
    Recorder events_a, events_b;
    auto a = ConnectClient(events_a);
    auto b = ConnectClient(events_b);
    ASSERT_EQ(Send(*a, "a"), kSessionOk);
    ASSERT_EQ(Send(*b, "b"), kSessionOk);
    const auto messages = host_events.WaitFor(SessionEvent::Message, 2);
    ASSERT_EQ(messages.size(), 2u);
    PlayerId player_a = 0, player_b = 0;
    for (const Event& m : messages) (m.data == "a" ? player_a : player_b) = m.player;

    // Queued and sent frames share each peer's queue, in the order of the calls.
    auto queue = [&](PlayerId p, const std::string& s) {
        return host->QueueTo(p, s.data(), s.size());
    };
    ASSERT_EQ(queue(player_a, "a1"), kSessionOk);
    ASSERT_EQ(SendTo(*host, player_b, "b1"), kSessionOk);
    ASSERT_EQ(queue(player_b, "b2"), kSessionOk);
    ASSERT_EQ(queue(player_a, "a2"), kSessionOk);
    ASSERT_EQ(SendTo(*host, player_a, "a3"), kSessionOk);
    ASSERT_EQ(queue(player_a, std::string(kMaxFrameBytes, 'a')), kSessionOk);
    ASSERT_EQ(queue(player_b, "b3"), kSessionOk);
    EXPECT_EQ(queue(player_a, std::string(kMaxFrameBytes + 1, 'x')), kSessionBadArgument);
    EXPECT_EQ(host->QueueTo(player_a, "x", 0), kSessionBadArgument);
    EXPECT_EQ(queue(player_b + player_a + 100, "x"), kSessionNotConnected);
    host->Flush();
    host->Flush();  // nothing more waits: harmless

    const auto got_a = events_a.WaitFor(SessionEvent::Message, 4);
    const auto got_b = events_b.WaitFor(SessionEvent::Message, 3);
    ASSERT_EQ(got_a.size(), 4u);
    ASSERT_EQ(got_b.size(), 3u);
    EXPECT_EQ(got_a[0].data, "a1");
    EXPECT_EQ(got_a[1].data, "a2");
    EXPECT_EQ(got_a[2].data, "a3");
    EXPECT_EQ(got_a[3].data, std::string(kMaxFrameBytes, 'a'));
    EXPECT_EQ(got_b[0].data, "b1");
    EXPECT_EQ(got_b[1].data, "b2");
    EXPECT_EQ(got_b[2].data, "b3");
    for (const SessionPeerStats& peer : host->Stats().peers) {
        // The handshake answer and the frames above.
        EXPECT_EQ(peer.frames_sent, peer.player == player_a ? 5u : 4u);
        EXPECT_EQ(peer.frames_dropped, 0u);
    }

    // A flush after the peers left, or after the host closed, does nothing.
    a->Close();
    b->Close();
    host_events.WaitFor(SessionEvent::Disconnected, 2);
    EXPECT_EQ(queue(player_a, "late"), kSessionNotConnected);
    host->Flush();
    host->Close();
    host->Flush();
}

TEST_F(NetSessionTest, CloseTwiceFreesThePortForANewHost) {
    Recorder client_events;
    auto client = ConnectClient(client_events);
    host_events.WaitFor(SessionEvent::Connected, 1);

    // A second host cannot take the port while the first listens.
    Recorder other_events;
    auto other = CreateSessionHost();
    EXPECT_EQ(other->Host(port, kInstructorAppId, other_events.Handler()), kSessionAddressInUse);

    host->Close();
    host->Close();
    EXPECT_EQ(client_events.WaitFor(SessionEvent::Disconnected, 1).size(), 1u);
    EXPECT_FALSE(client->IsConnected());
    client->Close();
    client->Close();

    // Nothing listens now.
    Recorder none;
    auto late = CreateSessionClient();
    EXPECT_EQ(late->Connect("127.0.0.1", port, kInstructorAppId, none.Handler(), 2000),
              kSessionNoHost);

    // The same object hosts again on the same port, and serves.
    Recorder again_events;
    ASSERT_EQ(host->Host(port, kInstructorAppId, again_events.Handler()), kSessionOk);
    Recorder client2_events;
    auto client2 = ConnectClient(client2_events);
    ASSERT_TRUE(client2->IsConnected());
    ASSERT_EQ(Send(*client2, "again"), kSessionOk);
    EXPECT_EQ(again_events.WaitFor(SessionEvent::Message, 1).size(), 1u);
    host->Close();  // before again_events goes
}

// A host whose bounds are reached by advancing the session clock: what
// the tests assert follows from the advances, not from the machine's speed
// (real time still counts, so each "not yet" leaves seconds of margin).
class BoundedSessionTest : public ::testing::Test {
  protected:
    void Start(const SessionLimits& limits) {
        port = FreePort();
        ASSERT_EQ(host->Host(port, kInstructorAppId, host_events.Handler(), limits), kSessionOk);
    }
    void TearDown() override { host->Close(); }
    std::unique_ptr<SessionClient> ConnectClient(Recorder& events) {
        auto client = CreateSessionClient();
        EXPECT_EQ(client->Connect("127.0.0.1", port, kInstructorAppId, events.Handler()),
                  kSessionOk);
        return client;
    }
    // Waits (bounded) until the host counts `n` open connections.
    bool WaitConnections(size_t n) {
        return WaitUntil([&] { return host->Stats().connections == n; });
    }
    // Waits (bounded) until `done` holds; false when it never did.
    template <typename Done>
    static bool WaitUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::yield();
        }
        return true;
    }
    // The host's counters of `player` (a default entry when it is gone).
    SessionPeerStats Peer(PlayerId player) {
        for (const SessionPeerStats& peer : host->Stats().peers)
            if (peer.player == player) return peer;
        return {};
    }
    // The client still gets its frames through.
    void ExpectServed(SessionClient& client, Recorder& events, PlayerId player,
                      const std::string& text) {
        const size_t before = events.Of(SessionEvent::Message).size();
        ASSERT_EQ(SendTo(*host, player, text), kSessionOk);
        const auto got = events.WaitFor(SessionEvent::Message, before + 1);
        ASSERT_EQ(got.size(), before + 1);
        EXPECT_EQ(got.back().data, text);
        EXPECT_TRUE(client.IsConnected());
    }

    uint16_t port = 0;
    std::unique_ptr<SessionHost> host = CreateSessionHost();
    Recorder host_events;
};

TEST_F(BoundedSessionTest, ConnectionsWithoutAConnectRequestAreClosedAfterTheHandshakeTime) {
    ASSERT_NO_FATAL_FAILURE(Start({}));  // a handshake time of 10 s
    Recorder client_events;
    auto good = ConnectClient(client_events);
    const auto connected = host_events.WaitFor(SessionEvent::Connected, 1);
    ASSERT_EQ(connected.size(), 1u);

    RawPeer silent(port);   // sends nothing
    RawPeer partial(port);  // a header, then nothing
    const uint8_t header[2] = {16, 0};
    asio::write(partial.socket, asio::buffer(header));
    ASSERT_TRUE(WaitConnections(3));
    // Half the time: not yet.
    ASSERT_TRUE(AdvanceSessionClock(5s));
    EXPECT_EQ(host->Stats().handshake_timeouts, 0u);
    EXPECT_EQ(host->Stats().connections, 3u);
    // The whole time: both closed by the time the advance returns.
    ASSERT_TRUE(AdvanceSessionClock(5s));
    EXPECT_EQ(host->Stats().handshake_timeouts, 2u);
    EXPECT_EQ(host->Stats().connections, 1u);
    EXPECT_TRUE(silent.ReadToEnd().empty());
    EXPECT_TRUE(partial.ReadToEnd().empty());

    // The accepted client is past its handshake and stays, well beyond the time.
    ExpectServed(*good, client_events, connected[0].player, "still served");
    EXPECT_TRUE(host_events.Of(SessionEvent::Disconnected).empty());
}

TEST_F(BoundedSessionTest, AConnectionBeyondTheCapIsClosedAtOnce) {
    SessionLimits limits;
    limits.max_connections = 4;
    limits.handshake_timeout_ms = 60000;  // the idle ones stay for the whole test
    ASSERT_NO_FATAL_FAILURE(Start(limits));
    Recorder client_events;
    auto good = ConnectClient(client_events);
    const auto connected = host_events.WaitFor(SessionEvent::Connected, 1);
    ASSERT_EQ(connected.size(), 1u);
    std::vector<std::unique_ptr<RawPeer>> idle;
    for (int i = 0; i < 3; ++i) idle.push_back(std::make_unique<RawPeer>(port));
    ASSERT_TRUE(WaitConnections(4));

    // The fifth gets nothing and is closed at once: the clock does not move,
    // so no handshake time can have run out.
    RawPeer over(port);
    EXPECT_TRUE(over.ReadToEnd().empty());
    Recorder refused_events;
    auto refused = CreateSessionClient();
    EXPECT_EQ(refused->Connect("127.0.0.1", port, kInstructorAppId, refused_events.Handler()),
              kSessionRefused);
    EXPECT_EQ(host->Stats().closed_over_cap, 2u);
    EXPECT_EQ(host->Stats().handshake_timeouts, 0u);
    EXPECT_EQ(host->Stats().connections, 4u);
    ExpectServed(*good, client_events, connected[0].player, "served at the cap");

    // A place freed is a place for a new client.
    idle.pop_back();
    ASSERT_TRUE(WaitConnections(3));
    Recorder late_events;
    auto late = ConnectClient(late_events);
    EXPECT_TRUE(late->IsConnected());
}

TEST_F(BoundedSessionTest, FramesForAPeerThatStopsReadingAreDroppedAndCounted) {
    SessionLimits limits;
    limits.send_queue_bytes = 16 * 1024;
    ASSERT_NO_FATAL_FAILURE(Start(limits));
    Recorder client_events;
    auto good = ConnectClient(client_events);
    RawPeer stuck(port);  // completes the handshake, then never reads
    stuck.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
    const auto connected = host_events.WaitFor(SessionEvent::Connected, 2);
    ASSERT_EQ(connected.size(), 2u);
    const PlayerId good_player = connected[0].player;
    const PlayerId stuck_player = connected[1].player;

    // The kernel's buffers fill first; then the queue; then frames drop.
    const std::string frame(kMaxFrameBytes, 'r');
    uint64_t busy = 0;
    for (int i = 0; i < 100000 && busy < 10; ++i) {
        if (SendTo(*host, stuck_player, frame) == kSessionBusy) ++busy;
    }
    ASSERT_EQ(busy, 10u);
    const SessionHostStats stats = host->Stats();
    ASSERT_EQ(stats.peers.size(), 2u);
    for (const SessionPeerStats& peer : stats.peers) {
        EXPECT_EQ(peer.frames_dropped, peer.player == stuck_player ? busy : 0u);
    }
    EXPECT_EQ(stats.frames_dropped, busy);
    ExpectServed(*good, client_events, good_player, "not held up");

    // The count of a peer that leaves stays in the host's total.
    stuck.socket.close();
    host_events.WaitFor(SessionEvent::Disconnected, 1);
    EXPECT_EQ(host->Stats().frames_dropped, busy);
    EXPECT_EQ(host->Stats().peers.size(), 1u);
}

TEST_F(BoundedSessionTest, QueuedFramesForAPeerThatStopsReadingAreDroppedAndCountedAlike) {
    SessionLimits limits;
    limits.send_queue_bytes = 16 * 1024;
    ASSERT_NO_FATAL_FAILURE(Start(limits));
    Recorder client_events;
    auto good = ConnectClient(client_events);
    RawPeer stuck(port);  // completes the handshake, then never reads
    stuck.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
    const auto connected = host_events.WaitFor(SessionEvent::Connected, 2);
    ASSERT_EQ(connected.size(), 2u);
    const PlayerId good_player = connected[0].player;
    const PlayerId stuck_player = connected[1].player;

    // Bursts of one frame to each peer, one flush per burst, as a tick
    // answering its peers does: the stuck peer's surplus is refused and
    // counted; the reading peer gets every frame that was not refused (on
    // a busy machine its queue may fill too, and then that is counted).
    const std::string frame(kMaxFrameBytes, 'q');
    uint64_t busy = 0, queued_stuck = 0, queued_good = 0, busy_good = 0;
    for (int i = 0; i < 100000 && busy < 10; ++i) {
        const int32_t stuck_result = host->QueueTo(stuck_player, frame.data(), frame.size());
        ASSERT_TRUE(stuck_result == kSessionOk || stuck_result == kSessionBusy);
        (stuck_result == kSessionOk ? queued_stuck : busy) += 1;
        if (i % 8 == 0) {
            const int32_t good_result = host->QueueTo(good_player, "reply", 5);
            ASSERT_TRUE(good_result == kSessionOk || good_result == kSessionBusy);
            (good_result == kSessionOk ? queued_good : busy_good) += 1;
        }
        host->Flush();
    }
    ASSERT_EQ(busy, 10u);
    const auto got = client_events.WaitFor(SessionEvent::Message, queued_good);
    EXPECT_EQ(got.size(), queued_good);
    const SessionHostStats stats = host->Stats();
    ASSERT_EQ(stats.peers.size(), 2u);
    for (const SessionPeerStats& peer : stats.peers) {
        const bool is_stuck = peer.player == stuck_player;
        EXPECT_EQ(peer.frames_dropped, is_stuck ? busy : busy_good);
        EXPECT_EQ(peer.frames_sent, 1u + (is_stuck ? queued_stuck : queued_good));
    }
    EXPECT_EQ(stats.frames_dropped, busy + busy_good);
    ExpectServed(*good, client_events, good_player, "not held up");
}

TEST_F(BoundedSessionTest, ClosedConnectionsReturnTheirMemory) {
    ASSERT_NO_FATAL_FAILURE(Start({}));  // the cycles' silent peers leave before the clock moves
    const size_t alive_before = SessionConnectionsAlive();
    EXPECT_EQ(HostedSessions().size(), 1u);
    EXPECT_EQ(HostedSessions()[0].port, port);
    for (int cycle = 0; cycle < 3; ++cycle) {
        {
            std::vector<std::unique_ptr<RawPeer>> peers;
            for (int i = 0; i < 20; ++i) {
                peers.push_back(std::make_unique<RawPeer>(port));
                if (i % 2) peers.back()->Frame(16, kInstructorAppId.data(), 16);
            }
            ASSERT_TRUE(WaitConnections(20));
            EXPECT_EQ(SessionConnectionsAlive(), alive_before + 20);
        }  // half leave on their own, half are accepted and leave
        ASSERT_TRUE(WaitConnections(0));
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (SessionConnectionsAlive() != alive_before &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        EXPECT_EQ(SessionConnectionsAlive(), alive_before);
    }
    // Silent peers that outstay the handshake time go the same way.
    {
        std::vector<std::unique_ptr<RawPeer>> silent;
        for (int i = 0; i < 10; ++i) silent.push_back(std::make_unique<RawPeer>(port));
        ASSERT_TRUE(WaitConnections(10));
        ASSERT_TRUE(AdvanceSessionClock(10s));
        for (auto& peer : silent) EXPECT_TRUE(peer->ReadToEnd().empty());
    }
    ASSERT_TRUE(WaitConnections(0));
    host->Close();
    EXPECT_EQ(SessionConnectionsAlive(), alive_before);
    EXPECT_TRUE(HostedSessions().empty());
}

TEST_F(BoundedSessionTest, AFrameBegunMustBeCompleteWithinTheHandshakeTime) {
    ASSERT_NO_FATAL_FAILURE(Start({}));  // handshake and frame time 10 s
    Recorder client_events;
    auto good = ConnectClient(client_events);
    const PlayerId good_player = host_events.WaitFor(SessionEvent::Connected, 1)[0].player;

    // A header announcing a whole message and half of it, and a header cut
    // after its first byte: each closed once the time has run from its
    // first byte, not before.
    RawPeer half(port);
    half.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
    RawPeer header_byte(port);
    header_byte.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
    const auto connected = host_events.WaitFor(SessionEvent::Connected, 3);
    ASSERT_EQ(connected.size(), 3u);
    const std::vector<uint8_t> halfway(2051, 0x40);
    half.Frame(4103, halfway.data(), halfway.size());
    const uint8_t first = 7;
    asio::write(header_byte.socket, asio::buffer(&first, 1));
    ASSERT_TRUE(WaitUntil([&] {
        return Peer(connected[1].player).mid_frame && Peer(connected[2].player).mid_frame;
    }));
    ASSERT_TRUE(AdvanceSessionClock(5s));
    EXPECT_EQ(host->Stats().frame_timeouts, 0u);
    EXPECT_EQ(host->Stats().connections, 3u);
    ASSERT_TRUE(AdvanceSessionClock(5s));
    EXPECT_EQ(host->Stats().frame_timeouts, 2u);
    EXPECT_EQ(half.ReadToEnd().size(), 12u);  // its accept answer, then the close
    EXPECT_EQ(header_byte.ReadToEnd().size(), 12u);
    EXPECT_EQ(host_events.WaitFor(SessionEvent::Disconnected, 2).size(), 2u);
    EXPECT_TRUE(host_events.Of(SessionEvent::Message).empty());  // no half message handed on

    // Time between frames does not count: a peer quiet for longer than the
    // frame time, that then sends a frame in two parts within it, stays.
    RawPeer slow(port);
    slow.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
    const PlayerId slow_player = host_events.WaitFor(SessionEvent::Connected, 4).back().player;
    ASSERT_TRUE(AdvanceSessionClock(15s));
    const uint8_t header[4] = {5, 0, 0, 0};
    asio::write(slow.socket, asio::buffer(header));
    ASSERT_TRUE(WaitUntil([&] { return Peer(slow_player).mid_frame; }));
    ASSERT_TRUE(AdvanceSessionClock(5s));
    asio::write(slow.socket, asio::buffer("slow!", 5));
    const auto messages = host_events.WaitFor(SessionEvent::Message, 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].data, "slow!");
    EXPECT_FALSE(Peer(slow_player).mid_frame);
    EXPECT_EQ(host->Stats().frame_timeouts, 2u);
    EXPECT_EQ(host->Stats().connections, 2u);
    ExpectServed(*good, client_events, good_player, "still served");
}

TEST_F(BoundedSessionTest, AtTheCapTheLongestSilentPeerMakesRoomOnceSilentLongEnough) {
    SessionLimits limits;
    limits.max_connections = 3;  // a silent-peer time of 30 s
    ASSERT_NO_FATAL_FAILURE(Start(limits));
    // In the order they connect: a panel that polls, and two that only
    // completed their handshake.
    Recorder poller_events;
    auto poller = ConnectClient(poller_events);
    RawPeer older(port);
    older.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
    host_events.WaitFor(SessionEvent::Connected, 2);
    RawPeer newer(port);
    newer.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
    const auto connected = host_events.WaitFor(SessionEvent::Connected, 3);
    ASSERT_EQ(connected.size(), 3u);

    // Nobody has been silent for the time yet: the newcomer is refused.
    RawPeer early(port);
    EXPECT_TRUE(early.ReadToEnd().empty());
    EXPECT_EQ(host->Stats().closed_over_cap, 1u);

    // The time passes; the poller polls meanwhile, heard before each step.
    for (int step = 1; step <= 4; ++step) {
        ASSERT_EQ(Send(*poller, "poll"), kSessionOk);
        ASSERT_EQ(host_events.WaitFor(SessionEvent::Message, step).size(), size_t(step));
        ASSERT_TRUE(AdvanceSessionClock(10s));
    }
    // A newcomer closes the peer silent longest, and only that one.
    Recorder late_events;
    auto late = ConnectClient(late_events);
    EXPECT_TRUE(late->IsConnected());
    EXPECT_EQ(older.ReadToEnd().size(), 12u);  // its accept answer, then the close
    const auto gone = host_events.WaitFor(SessionEvent::Disconnected, 1);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].player, connected[1].player);
    EXPECT_TRUE(poller->IsConnected());
    SessionHostStats stats = host->Stats();
    EXPECT_EQ(stats.closed_silent, 1u);
    EXPECT_EQ(stats.closed_over_cap, 1u);
    EXPECT_EQ(stats.connections, 3u);

    // The next newcomer closes the other silent one; then none is left that
    // has been silent long enough, and a newcomer is refused again.
    RawPeer second(port);
    second.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
    EXPECT_EQ(newer.ReadToEnd().size(), 12u);
    RawPeer third(port);
    EXPECT_TRUE(third.ReadToEnd().empty());
    stats = host->Stats();
    EXPECT_EQ(stats.closed_silent, 2u);
    EXPECT_EQ(stats.closed_over_cap, 2u);
    EXPECT_TRUE(poller->IsConnected());
}

TEST_F(BoundedSessionTest, AClientSendingOnlyItsKeepAlivesIsNeverClosedToMakeRoom) {
    SessionLimits limits;
    limits.max_connections = 2;  // a silent-peer time of 30 s
    ASSERT_NO_FATAL_FAILURE(Start(limits));
    // The watcher connects first and sends no message at all; its session
    // keeps it alive every 10 s.
    Recorder watcher_events;
    auto watcher = ConnectClient(watcher_events);
    const PlayerId watcher_player = host_events.WaitFor(SessionEvent::Connected, 1)[0].player;

    uint64_t keepalives = 0;
    for (int round = 0; round < 3; ++round) {
        // Another peer takes the last place and stays silent past the time,
        // while the watcher's keep-alives are heard.
        RawPeer silent(port);
        silent.Frame(16, kInstructorAppId.data(), kInstructorAppId.size());
        host_events.WaitFor(SessionEvent::Connected, 2 + round);
        for (int step = 0; step < 4; ++step) {
            ASSERT_TRUE(AdvanceSessionClock(10s));
            ++keepalives;
            ASSERT_TRUE(WaitUntil([&] { return Peer(watcher_player).keepalives >= keepalives; }));
        }
        // The newcomer makes room by closing the silent peer, not the watcher.
        RawPeer newcomer(port);
        EXPECT_EQ(silent.ReadToEnd().size(), 12u);
        EXPECT_EQ(host->Stats().closed_silent, round + 1u);
        EXPECT_TRUE(watcher->IsConnected());
        ASSERT_TRUE(WaitConnections(2));
    }
    const SessionHostStats stats = host->Stats();
    for (const SessionPeerStats& peer : stats.peers) {
        if (peer.player != watcher_player) continue;
        EXPECT_GE(peer.keepalives, keepalives);
        EXPECT_EQ(peer.frames_received, 0u);  // keep-alives are no messages
    }
    for (const Event& e : host_events.Of(SessionEvent::Disconnected))
        EXPECT_NE(e.player, watcher_player);
    EXPECT_TRUE(host_events.Of(SessionEvent::Message).empty());
    ExpectServed(*watcher, watcher_events, watcher_player, "still here");
}

// The host's side of the wire, written by hand: accepts one client, reads
// its connect request and answers it; then does what the test says.
class RawHost {
  public:
    RawHost() : acceptor_(io_, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0)) {}
    uint16_t Port() const { return acceptor_.local_endpoint().port(); }

    // In the background: accept, take the connect request, answer `answer`
    // (result and player id, then any more bytes).
    void Serve(std::vector<uint8_t> answer) {
        server_ = std::thread([this, answer] {
            acceptor_.accept(socket_);
            request_ = ReadFrame(10000).value_or(std::vector<uint8_t>{});
            WriteFrame(answer);
        });
    }
    // After the client's Connect returned.
    std::vector<uint8_t> Request() {
        if (server_.joinable()) server_.join();
        return request_;
    }
    void WriteFrame(const std::vector<uint8_t>& body) {
        const auto n = static_cast<uint32_t>(body.size());
        Write({uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)});
        Write(body);
    }
    void Write(const std::vector<uint8_t>& bytes) { asio::write(socket_, asio::buffer(bytes)); }
    void Close() { socket_.close(); }
    // Whether anything from the client is there to be read now.
    bool Readable() {
        pollfd p{socket_.native_handle(), POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }
    // The next frame from the client within `ms`; nothing when none came.
    std::optional<std::vector<uint8_t>> ReadFrame(int ms) {
        uint8_t header[4];
        if (!ReadWithin(header, 4, ms)) return std::nullopt;
        std::vector<uint8_t> body(GetLength(header));
        if (!body.empty() && !ReadWithin(body.data(), body.size(), 10000)) return std::nullopt;
        return body;
    }
    ~RawHost() {
        if (server_.joinable()) server_.join();
    }

  private:
    static uint32_t GetLength(const uint8_t* h) {
        return uint32_t(h[0]) | uint32_t(h[1]) << 8 | uint32_t(h[2]) << 16 | uint32_t(h[3]) << 24;
    }
    bool ReadWithin(uint8_t* data, size_t size, int ms) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        size_t got = 0;
        while (got < size) {
            pollfd p{socket_.native_handle(), POLLIN, 0};
            const long left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
            asio::error_code ec;
            const size_t n = socket_.read_some(asio::buffer(data + got, size - got), ec);
            if (ec) return false;
            got += n;
        }
        return true;
    }

    asio::io_context io_;
    tcp::acceptor acceptor_;
    tcp::socket socket_{io_};
    std::thread server_;
    std::vector<uint8_t> request_;
};

const std::vector<uint8_t> kAccepted = {0, 0, 0, 0, 9, 0, 0, 0};  // result 0, player 9

// The keep-alive's times are the session clock's: the client's check has
// run, and what it sent has been written, by the time an advance returns.
TEST(SessionKeepAlive, AnEmptyFrameGoesOutOnlyAfterTheIntervalWithoutSending) {
    RawHost host;
    host.Serve(kAccepted);
    Recorder events;
    auto client = CreateSessionClient();  // a keep-alive interval of 10 s
    ASSERT_EQ(client->Connect("127.0.0.1", host.Port(), kInstructorAppId, events.Handler()),
              kSessionOk);
    // The request is the bare identifier, as ever.
    EXPECT_EQ(host.Request(),
              std::vector<uint8_t>(kInstructorAppId.begin(), kInstructorAppId.end()));

    // While the client sends every 5 s, no keep-alive goes out: each frame
    // read is the next message, not an empty frame before it.
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(Send(*client, "m"), kSessionOk);
        const auto frame = host.ReadFrame(10000);
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(*frame, std::vector<uint8_t>{'m'}) << i;
        ASSERT_TRUE(AdvanceSessionClock(5s));
    }
    // Silent: an empty frame 10 s after the last message, then one every
    // 10 s, never sooner.
    EXPECT_FALSE(host.Readable());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(AdvanceSessionClock(5s));
        const auto frame = host.ReadFrame(10000);
        ASSERT_TRUE(frame.has_value()) << i;
        EXPECT_TRUE(frame->empty()) << i;
        EXPECT_FALSE(host.Readable()) << i;  // one only
        ASSERT_TRUE(AdvanceSessionClock(5s));
        EXPECT_FALSE(host.Readable()) << i;
    }

    // A keep-alive interval of 0 sends none.
    client->Close();
    RawHost quiet;
    quiet.Serve(kAccepted);
    SessionLimits limits;
    limits.keepalive_ms = 0;
    auto mute = CreateSessionClient();
    ASSERT_EQ(
        mute->Connect("127.0.0.1", quiet.Port(), kInstructorAppId, events.Handler(), 5000, limits),
        kSessionOk);
    quiet.Request();
    ASSERT_TRUE(AdvanceSessionClock(60s));
    EXPECT_FALSE(quiet.Readable());
    EXPECT_TRUE(mute->IsConnected());
}

TEST(SessionEndReason, TheClientTellsHowTheHostEndedTheConnection) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;  // written by the host after its answer, then it closes
        SessionEnd reason;
    };
    const std::vector<Case> cases = {
        {"a clean close", {}, SessionEnd::Closed},
        {"a close after half a reply", {0x05, 0x0C, 0, 0, 64, 1, 0}, SessionEnd::ClosedMidFrame},
        {"a close after half a header", {0x05, 0x0C}, SessionEnd::ClosedMidFrame},
        {"a length of 0", {0, 0, 0, 0}, SessionEnd::BadFrame},
        {"a length of 0xFFFFFFFF", {0xFF, 0xFF, 0xFF, 0xFF}, SessionEnd::BadFrame},
        {"garbage", {'G', 'E', 'T', ' ', '/', ' ', 'H'}, SessionEnd::BadFrame},
    };
    for (const Case& c : cases) {
        RawHost host;
        host.Serve(kAccepted);
        Recorder events;
        auto client = CreateSessionClient();
        ASSERT_EQ(client->Connect("127.0.0.1", host.Port(), kInstructorAppId, events.Handler()),
                  kSessionOk)
            << c.what;
        host.Request();
        EXPECT_EQ(client->EndReason(), SessionEnd::None) << c.what;
        if (!c.bytes.empty()) host.Write(c.bytes);
        if (c.reason != SessionEnd::BadFrame) host.Close();
        ASSERT_EQ(events.WaitFor(SessionEvent::Disconnected, 1).size(), 1u) << c.what;
        EXPECT_EQ(client->EndReason(), c.reason) << c.what;
        EXPECT_FALSE(client->IsConnected()) << c.what;
        EXPECT_TRUE(events.Of(SessionEvent::Message).empty()) << c.what;
    }
}

TEST(SessionNames, TheHostCarriesItsNamesAndAClientWithoutANameFindsItByTheIdentifier) {
    const uint16_t port = FreePort();
    Recorder host_events;
    auto host = CreateSessionHost();
    ASSERT_EQ(
        host->Host(port, kInstructorAppId, host_events.Handler(), {}, {"VUD4A77RA", "Server"}),
        kSessionOk);
    EXPECT_EQ(host->Stats().session_name, "VUD4A77RA");
    EXPECT_EQ(host->Stats().server_name, "Server");

    // No name: found by the identifier, and told nothing more.
    Recorder events;
    auto plain = CreateSessionClient();
    ASSERT_EQ(plain->Connect("127.0.0.1", port, kInstructorAppId, events.Handler()), kSessionOk);
    EXPECT_EQ(plain->ServerName(), "");
    // The session's own name: accepted, and the answer names the server.
    auto named = CreateSessionClient();
    ASSERT_EQ(named->Connect("127.0.0.1", port, kInstructorAppId, events.Handler(), 5000, {},
                             "VUD4A77RA"),
              kSessionOk);
    EXPECT_EQ(named->ServerName(), "Server");
    // Another session's name, or the right one with the wrong identifier: refused.
    auto other = CreateSessionClient();
    EXPECT_EQ(other->Connect("127.0.0.1", port, kInstructorAppId, events.Handler(), 5000, {},
                             "VUD4A77RB"),
              kSessionRefused);
    AppId wrong = kInstructorAppId;
    wrong[0] ^= 0x80;
    EXPECT_EQ(other->Connect("127.0.0.1", port, wrong, events.Handler(), 5000, {}, "VUD4A77RA"),
              kSessionRefused);
    EXPECT_EQ(host_events.WaitFor(SessionEvent::Connected, 2).size(), 2u);

    // On the wire: the identifier and the name; the answer, then the
    // server's name after a length byte.
    RawPeer raw(port);
    std::vector<uint8_t> request(kInstructorAppId.begin(), kInstructorAppId.end());
    for (char ch : std::string("VUD4A77RA")) request.push_back(static_cast<uint8_t>(ch));
    raw.Frame(static_cast<uint32_t>(request.size()), request.data(), request.size());
    uint8_t answer[4 + 8 + 7];
    asio::read(raw.socket, asio::buffer(answer));
    EXPECT_EQ(answer[0], 15);  // the frame's length
    EXPECT_EQ(answer[4], 0);   // accepted
    EXPECT_EQ(answer[12], 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(answer + 13), 6), "Server");
    host->Close();
}

}  // namespace
}  // namespace zu::platform
