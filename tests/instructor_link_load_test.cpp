// The instructor link under load and under hostile peers.
//
// Load: eight panels poll ten times as fast as the real panel does (every
// 25 ms instead of 250 ms, on the simulated clock) and send a command with
// every sixth message, while connections that never send their connect
// request wait to be closed and one panel never reads its replies. Every
// message must be answered within two ticks, every command acknowledged,
// and the process must not grow. The run is bounded: eight simulated
// seconds, a second or two of real time. The sessions' clock moves with the
// simulated time.
//
// Bounds: the 65th simultaneous connection is closed at once, silent
// connections are closed after the handshake time, and the state file shows
// the server's counters; a well-behaved panel is answered throughout. The
// bounds' times are the module's own (10 s and 30 s), reached by advancing
// the sessions' clock: what is asserted follows from the advances, not from
// how fast the machine runs.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>

#include "core/systems_tick.h"
#include "instructor_link_support.h"
#include "zu/platform/session_clock.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

constexpr int kClients = 8;
constexpr double kPollPeriodMs = 25.0;
constexpr double kFrameMs = 1000.0 / 30.0;

// Resident set size in bytes.
long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// A TCP peer that does only what the test tells it.
class RawPeer {
  public:
    explicit RawPeer(uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~RawPeer() { ::close(fd_); }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool connected() const { return connected_; }

    // One frame: the length, then the bytes.
    bool Frame(const void* data, uint32_t size) {
        const uint8_t header[4] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16),
                                   uint8_t(size >> 24)};
        return WriteAll(header, 4) && WriteAll(data, size);
    }
    // Ends both directions (a send blocked on a host that stopped reading
    // returns).
    void Shutdown() { ::shutdown(fd_, SHUT_RDWR); }
    // Bytes as they are, no frame around them.
    bool Write(const void* data, size_t size) { return WriteAll(data, size); }
    bool Handshake() {
        return Frame(platform::kInstructorAppId.data(), platform::kInstructorAppId.size());
    }

    // Waits (bounded) for the host to close; returns the bytes that came
    // first, or -1 when the connection was still open at the bound.
    long BytesUntilClosed() {
        long total = 0;
        const auto deadline = std::chrono::steady_clock::now() + kLinkBound;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            uint8_t buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) return total;
            total += n;
        }
        return -1;
    }

  private:
    bool WriteAll(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        while (size > 0) {
            const ssize_t n = ::send(fd_, p, size, MSG_NOSIGNAL);
            if (n <= 0) return false;
            p += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    int fd_ = -1;
    bool connected_ = false;
};

// The module's session counters as the session layer keeps them (empty when
// it is not hosting): cheap to look at in a loop.
platform::SessionHostStats LinkCounters(uint16_t port) {
    for (const platform::SessionHostStats& h : platform::HostedSessions())
        if (h.port == port) return h;
    return {};
}

// The module's session counters, as the state file reports them.
nlohmann::json LinkSession(const simhost::Simulator& sim, uint16_t port) {
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(sim, nullptr));
    for (const nlohmann::json& s : state.at("net_sessions"))
        if (s.at("port") == port) return s;
    return nullptr;
}

class InstructorLinkLoad : public LinkFlight {
  protected:
    struct Panel {
        LinkClient link{false};
        size_t sent = 0;
        size_t commands = 0;
        std::vector<uint32_t> waiting_since;  // the tick of each unanswered message
    };

    void TearDown() override {
        LinkFlight::TearDown();
        NetServerHandshakeTimeoutMs = 10000;
    }

    static uint32_t Tick() { return TickCounter.load(std::memory_order_acquire); }

    // Sends what the panels' timers ask for during `ms` of simulated time,
    // frame by frame; each frame runs once the module holds that frame's
    // messages. After a tick has taken them, the replies are awaited before
    // the next frame, so the ticks they took are the ticks the test counted.
    void Run(double ms) {
        for (double end = now_ms_ + ms; now_ms_ < end; now_ms_ += kFrameMs) {
            while (next_poll_ms_ <= now_ms_ + kFrameMs) {
                for (Panel& p : panels_) {
                    const bool command = p.sent % 6 == 5;
                    const InstructorMessage m =
                        command ? LinkRequest(kInstructorSetValue, kInstructorGroupAvionics, 0, 0)
                                : LinkRequest(kInstructorDataRequest, groups_[p.sent % 5]);
                    ASSERT_EQ(p.link.Send(m), platform::kSessionOk);
                    p.waiting_since.push_back(Tick());
                    ++p.sent;
                    p.commands += command;
                    ++total_;
                }
                if (deaf_) {  // polls, never reads
                    const InstructorMessage m =
                        LinkRequest(kInstructorDataRequest, kInstructorGroupElectrics);
                    ASSERT_TRUE(deaf_->Frame(&m, sizeof m));
                    ++total_;
                }
                next_poll_ms_ += kPollPeriodMs;
            }
            const auto deadline = std::chrono::steady_clock::now() + kLinkBound;
            while (Received() != total_ && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::yield();
            }
            ASSERT_EQ(Received(), total_);
            sim_->RunFrame();
            const auto clock_ms = static_cast<int64_t>(now_ms_ + kFrameMs);
            ASSERT_TRUE(
                platform::AdvanceSessionClock(std::chrono::milliseconds(clock_ms - clock_ms_)));
            clock_ms_ = clock_ms;
            if (InstructorReceiveTail.load(std::memory_order_acquire) != total_) continue;
            for (Panel& p : panels_) {
                ASSERT_TRUE(p.link.WaitReplies(p.sent)) << "a reply is missing";
                for (uint32_t since : p.waiting_since)
                    max_latency_ticks_ = std::max(max_latency_ticks_, Tick() - since);
                p.waiting_since.clear();
            }
        }
    }

    std::array<Panel, kClients> panels_;
    std::unique_ptr<RawPeer> deaf_;
    const uint16_t groups_[5] = {1, 3, 4, 5, 10};
    double now_ms_ = 0;
    double next_poll_ms_ = 0;
    int64_t clock_ms_ = 0;  // how far the sessions' clock was moved
    uint32_t total_ = 0;
    uint32_t max_latency_ticks_ = 0;
};

TEST_F(InstructorLinkLoad, EightFastPanelsAreAnsweredWithinTwoTicksAndNothingGrows) {
    NetServerHandshakeTimeoutMs = 2000;
    StartFlight();
    ASSERT_EQ(NetServerHosting.load(), 1);
    // Silent connections, accepted first, are closed while the panels poll.
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 0; i < 16; ++i) {
        silent.push_back(std::make_unique<RawPeer>(Port()));
        ASSERT_TRUE(silent.back()->connected());
    }
    for (Panel& p : panels_) ASSERT_EQ(p.link.Connect(Port()), platform::kSessionOk);
    deaf_ = std::make_unique<RawPeer>(Port());
    ASSERT_TRUE(deaf_->Handshake());
    total_ = Received();

    Run(1000);  // warm up: buffers reach their working size
    const long before = ResidentBytes();
    Run(8000);
    // Closed two simulated seconds into the run, while the panels polled.
    const uint64_t closed_in_run = LinkCounters(Port()).handshake_timeouts;
    Deliver(total_);
    for (Panel& p : panels_) {
        ASSERT_TRUE(p.link.WaitReplies(p.sent));
        EXPECT_EQ(p.link.Count(), p.sent);
        EXPECT_EQ(p.link.Acks(), p.commands) << "an acknowledgement was lost";
        EXPECT_EQ(p.link.BadSizes(), 0u);
        EXPECT_GT(p.commands, 50u);
    }
    EXPECT_LE(max_latency_ticks_, 2u);
    const long after = ResidentBytes();
    EXPECT_LT(after - before, 4L << 20) << "resident " << before << " -> " << after;
    EXPECT_EQ(closed_in_run, 16u);

    for (auto& s : silent) EXPECT_EQ(s->BytesUntilClosed(), 0);
    const nlohmann::json session = LinkSession(*sim_, Port());
    ASSERT_FALSE(session.is_null());
    EXPECT_EQ(session.at("handshake_timeouts"), 16);
    EXPECT_EQ(session.at("connections"), kClients + 1);
    ASSERT_EQ(session.at("peers").size(), static_cast<size_t>(kClients + 1));
    for (const nlohmann::json& peer : session.at("peers")) EXPECT_GT(peer.at("frames_sent"), 300);
    for (Panel& p : panels_) p.link.Close();
}

// One peer floods the link with 5,000 requests it never reads the replies
// of, while eight panels poll every 25 ms of simulated time. The network
// thread keeps reading everyone: the panels' latency (in ticks, from the
// frame they sent in to the reply) is the same as without the flood, and the
// flooder's surplus is dropped and counted.
class InstructorLinkFlood : public LinkFlight {
  protected:
    static uint32_t Tick() { return TickCounter.load(std::memory_order_acquire); }

    // The link's counters: the panels' messages received so far, and the
    // flooding peer's entry (the last player to connect).
    uint64_t PanelMessagesReceived(uint32_t flooder) {
        uint64_t n = 0;
        for (const platform::SessionHostStats& h : platform::HostedSessions()) {
            if (h.port != Port()) continue;
            for (const platform::SessionPeerStats& p : h.peers) {
                if (p.player != flooder) n += p.frames_received;
            }
        }
        return n;
    }

    // Polls for `ms` of simulated time (at least; while `more` says so, up
    // to 30 s); returns each message's latency in ticks.
    std::vector<uint32_t> Poll(double ms, uint32_t flooder, const std::function<bool()>& more) {
        std::vector<uint32_t> latencies;
        std::vector<uint32_t> since;
        const double start = now_ms_;
        while ((now_ms_ < start + ms || more()) && now_ms_ < start + 30000) {
            while (next_poll_ms_ <= now_ms_ + kFrameMs) {
                for (auto& p : panels_) {
                    EXPECT_EQ(p->Send(LinkRequest(kInstructorDataRequest, groups_[sent_ % 5])),
                              platform::kSessionOk);
                    ++sent_;
                    since.push_back(Tick());
                }
                next_poll_ms_ += kPollPeriodMs;
            }
            // Every panel message is in the module's hands before the frame.
            const auto deadline = std::chrono::steady_clock::now() + kLinkBound;
            while (PanelMessagesReceived(flooder) < sent_ &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::yield();
            }
            if (PanelMessagesReceived(flooder) < sent_) {
                ADD_FAILURE() << "the panels' messages are not read while a peer floods";
                return latencies;
            }
            const uint32_t tick = Tick();
            sim_->RunFrame();
            now_ms_ += kFrameMs;
            if (Tick() == tick) continue;
            for (auto& p : panels_) {
                if (!p->WaitReplies(sent_ / panels_.size())) {
                    ADD_FAILURE() << "a reply is missing";
                    return latencies;
                }
            }
            for (uint32_t t : since) latencies.push_back(Tick() - t);
            since.clear();
        }
        return latencies;
    }

    static uint32_t P99(std::vector<uint32_t> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[(v.size() * 99) / 100 - (v.size() >= 100 ? 1 : 0)];
    }

    std::vector<std::unique_ptr<LinkClient>> panels_;
    const uint16_t groups_[5] = {1, 3, 4, 5, 10};
    double now_ms_ = 0;
    double next_poll_ms_ = 0;
    uint64_t sent_ = 0;
};

TEST_F(InstructorLinkFlood, AFloodingPeerDoesNotSlowTheOthersAndItsDropsAreCounted) {
    StartFlight();
    ASSERT_EQ(NetServerHosting.load(), 1);
    for (int i = 0; i < kClients; ++i) {
        panels_.push_back(std::make_unique<LinkClient>(false));
        ASSERT_EQ(panels_.back()->Connect(Port()), platform::kSessionOk);
    }
    RawPeer flood(Port());
    ASSERT_TRUE(flood.Handshake());
    // Players are numbered as they connect: the flooder is the last.
    uint32_t flooder = 0;
    const auto deadline = std::chrono::steady_clock::now() + kLinkBound;
    while (flooder == 0 && std::chrono::steady_clock::now() < deadline) {
        for (const platform::SessionHostStats& h : platform::HostedSessions()) {
            if (h.port != Port() || h.peers.size() != kClients + 1) continue;
            flooder = h.peers.back().player;
        }
        std::this_thread::yield();
    }
    ASSERT_NE(flooder, 0u);

    const std::vector<uint32_t> calm = Poll(2000, flooder, [] { return false; });
    std::atomic<bool> flooding{true};
    std::thread flooder_thread([&] {
        const InstructorMessage m = LinkRequest(kInstructorDataRequest, kInstructorGroupElectrics);
        for (int i = 0; i < 5000 && flood.Frame(&m, sizeof m); ++i) {
        }
        flooding = false;
    });
    const std::vector<uint32_t> loaded = Poll(2000, flooder, [&] { return flooding.load(); });
    // The host reads the flood to its end (bounded), the flooder still connected.
    auto flood_read = [&] {
        const nlohmann::json now = LinkSession(*sim_, Port());
        for (const nlohmann::json& peer : now.at("peers")) {
            if (peer.at("player") == flooder) return peer.at("frames_received").get<int>();
        }
        return -1;
    };
    const auto read_deadline = std::chrono::steady_clock::now() + kLinkBound;
    while (flood_read() < 5000 && std::chrono::steady_clock::now() < read_deadline) {
        std::this_thread::yield();
    }
    const nlohmann::json session = LinkSession(*sim_, Port());
    flood.Shutdown();  // a flood the host stopped reading ends here
    flooder_thread.join();
    ASSERT_FALSE(calm.empty());
    ASSERT_FALSE(loaded.empty());
    EXPECT_LE(P99(loaded), P99(calm) * 3 / 2) << "calm p99 " << P99(calm);

    ASSERT_FALSE(session.is_null());
    uint64_t flood_dropped = 0;
    for (const nlohmann::json& peer : session.at("peers")) {
        if (peer.at("player") == flooder) {
            flood_dropped = peer.at("received_dropped").get<uint64_t>();
            EXPECT_EQ(peer.at("frames_received"), 5000);
        } else {
            EXPECT_EQ(peer.at("received_dropped"), 0) << peer;
            EXPECT_EQ(peer.at("frames_dropped"), 0) << peer;
        }
    }
    EXPECT_GT(flood_dropped, 1000u);
    EXPECT_EQ(session.at("received_dropped"), flood_dropped);
    for (auto& p : panels_) p->Close();
}

class InstructorLinkBounds : public LinkFlight {
  protected:
    void TearDown() override {
        LinkFlight::TearDown();
        NetServerHandshakeTimeoutMs = 10000;
        NetServerSilentPeerMs = 30000;
    }
    // Waits (bounded) until the link counts `n` open connections.
    bool WaitConnections(size_t n) {
        return WaitUntil([&] { return Link().connections == n; });
    }
    template <typename Done>
    static bool WaitUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + kLinkBound;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::yield();
        }
        return true;
    }
    platform::SessionHostStats Link() const { return LinkCounters(Port()); }
    static void Advance(std::chrono::milliseconds by) {
        ASSERT_TRUE(platform::AdvanceSessionClock(by));
    }
    // One poll from `c`, answered through the tick.
    void ExpectAnswered(LinkClient& c) {
        const InstructorMessage reply =
            Exchange(c, LinkRequest(kInstructorDataRequest, kInstructorGroupAvionics));
        EXPECT_EQ(reply.kind, kInstructorDataReply);
    }
};

TEST_F(InstructorLinkBounds, TheSixtyFifthConnectionIsClosedAtOnce) {
    NetServerHandshakeTimeoutMs = 60000;  // the idle ones stay for the whole test
    StartFlight();
    LinkClient good;
    ASSERT_EQ(good.Connect(Port()), platform::kSessionOk);
    std::vector<std::unique_ptr<RawPeer>> idle;  // within the handshake time
    for (int i = 1; i < 64; ++i) {
        idle.push_back(std::make_unique<RawPeer>(Port()));
        ASSERT_TRUE(idle.back()->connected());
    }
    // Accepted in order: once the 64th is counted, the next is the 65th.
    const auto deadline = std::chrono::steady_clock::now() + kLinkBound;
    while (LinkSession(*sim_, Port()).at("connections") != 64 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_EQ(LinkSession(*sim_, Port()).at("connections"), 64);
    ExpectAnswered(good);

    RawPeer over(Port());
    EXPECT_EQ(over.BytesUntilClosed(), 0);
    LinkClient refused;
    EXPECT_EQ(refused.Connect(Port()), platform::kSessionRefused);
    ExpectAnswered(good);
    const nlohmann::json session = LinkSession(*sim_, Port());
    EXPECT_EQ(session.at("closed_over_cap"), 2);
    EXPECT_EQ(session.at("connections"), 64);
    EXPECT_EQ(session.at("handshake_timeouts"), 0);
    ASSERT_EQ(session.at("peers").size(), 1u);
    EXPECT_EQ(session.at("peers")[0].at("frames_dropped"), 0);
    good.Close();
}

TEST_F(InstructorLinkBounds, SilentConnectionsAreClosedAfterTheHandshakeTime) {
    StartFlight();  // the module's handshake time, 10 s
    LinkClient good;
    ASSERT_EQ(good.Connect(Port()), platform::kSessionOk);
    RawPeer silent(Port());
    RawPeer partial(Port());  // half a connect request
    ASSERT_TRUE(partial.connected());
    const uint8_t header[2] = {16, 0};
    ASSERT_TRUE(partial.Write(header, sizeof header));
    ASSERT_TRUE(WaitConnections(3));
    ExpectAnswered(good);
    ASSERT_NO_FATAL_FAILURE(Advance(std::chrono::seconds(5)));
    EXPECT_EQ(Link().handshake_timeouts, 0u);  // not before its time
    EXPECT_EQ(Link().connections, 3u);
    ASSERT_NO_FATAL_FAILURE(Advance(std::chrono::seconds(5)));
    EXPECT_EQ(silent.BytesUntilClosed(), 0);
    EXPECT_EQ(partial.BytesUntilClosed(), 0);
    // The panel that connected properly is past its handshake and stays.
    ExpectAnswered(good);
    const nlohmann::json session = LinkSession(*sim_, Port());
    EXPECT_EQ(session.at("handshake_timeouts"), 2);
    EXPECT_EQ(session.at("connections"), 1);
    good.Close();
}

// Every place held by a peer that completed its handshake and fell silent:
// a panel arriving before any of them has been silent for the silent-peer
// time is refused, as at the cap; one arriving after it takes the place of
// the peer silent longest, is answered, and the state file counts the close.
// On the way a peer that never sends its connect request holds the last
// place until the handshake time.
TEST_F(InstructorLinkBounds, PeersThatOnlyHandshakeGiveWayToAPanelOnceSilentLongEnough) {
    StartFlight();  // silent-peer time 30 s, handshake time 10 s
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 0; i < 63; ++i) {
        silent.push_back(std::make_unique<RawPeer>(Port()));
        ASSERT_TRUE(silent.back()->Handshake());
    }
    ASSERT_TRUE(WaitConnections(63));
    RawPeer mute(Port());  // holds the 64th place until the handshake time
    ASSERT_TRUE(WaitConnections(64));
    LinkClient early;
    EXPECT_EQ(early.Connect(Port()), platform::kSessionRefused);

    ASSERT_NO_FATAL_FAILURE(Advance(std::chrono::seconds(5)));
    EXPECT_EQ(Link().connections, 64u);  // the mute peer's time has not run out
    ASSERT_NO_FATAL_FAILURE(Advance(std::chrono::seconds(5)));
    EXPECT_EQ(mute.BytesUntilClosed(), 0);
    EXPECT_EQ(Link().connections, 63u);
    // Silent for the whole silent-peer time.
    ASSERT_NO_FATAL_FAILURE(Advance(std::chrono::seconds(20)));
    silent.push_back(std::make_unique<RawPeer>(Port()));  // the 64th again, silent just now
    ASSERT_TRUE(silent.back()->Handshake());
    ASSERT_TRUE(WaitConnections(64));
    LinkClient panel;
    ASSERT_EQ(panel.Connect(Port()), platform::kSessionOk);
    EXPECT_EQ(Exchange(panel, LinkRequest(kInstructorDataRequest, kInstructorGroupHydraulics)).kind,
              kInstructorDataReply);
    // The first to connect was silent longest: its place went to the panel.
    EXPECT_EQ(silent.front()->BytesUntilClosed(), 12);  // its accept answer, then the close
    const nlohmann::json session = LinkSession(*sim_, Port());
    EXPECT_EQ(session.at("closed_silent"), 1);
    EXPECT_EQ(session.at("closed_over_cap"), 1);
    EXPECT_EQ(session.at("handshake_timeouts"), 1);
    EXPECT_EQ(session.at("connections"), 64);
    EXPECT_EQ(session.at("session_name"), "VUD4A77RA");
    EXPECT_EQ(session.at("server_name"), "Server");
    panel.Close();
}

// Peers that send a frame header and half a message hold nothing for long:
// each is closed once the handshake time has run from the frame's first
// byte, and a panel then connects and is answered.
TEST_F(InstructorLinkBounds, PeersLeavingHalfAFrameAreClosedAfterTheHandshakeTime) {
    StartFlight();  // the module's handshake (and frame) time, 10 s
    std::vector<std::unique_ptr<RawPeer>> half;
    const InstructorMessage m = LinkRequest(kInstructorDataRequest, kInstructorGroupElectrics);
    for (int i = 0; i < 64; ++i) {
        half.push_back(std::make_unique<RawPeer>(Port()));
        ASSERT_TRUE(half.back()->Handshake());
    }
    ASSERT_TRUE(WaitConnections(64));
    const uint32_t received = Received();
    for (auto& peer : half) {
        const uint32_t size = sizeof m;
        const uint8_t header[4] = {uint8_t(size), uint8_t(size >> 8), 0, 0};
        ASSERT_TRUE(peer->Write(header, sizeof header));
        ASSERT_TRUE(peer->Write(&m, sizeof m / 2));
    }
    // Every frame begun as the link sees it, then the time runs from there.
    ASSERT_TRUE(WaitUntil([&] {
        const platform::SessionHostStats link = Link();
        return link.peers.size() == 64 &&
               std::all_of(link.peers.begin(), link.peers.end(),
                           [](const platform::SessionPeerStats& p) { return p.mid_frame; });
    }));
    ASSERT_NO_FATAL_FAILURE(Advance(std::chrono::seconds(5)));
    EXPECT_EQ(Link().frame_timeouts, 0u);
    EXPECT_EQ(Link().connections, 64u);
    ASSERT_NO_FATAL_FAILURE(Advance(std::chrono::seconds(5)));
    EXPECT_EQ(Link().frame_timeouts, 64u);  // all of them by the time the advance returns
    for (auto& peer : half) EXPECT_EQ(peer->BytesUntilClosed(), 12);
    EXPECT_EQ(Received(), received);  // no half message reached the module

    LinkClient panel;
    ASSERT_EQ(panel.Connect(Port()), platform::kSessionOk);
    EXPECT_EQ(Exchange(panel, m).kind, kInstructorDataReply);
    const nlohmann::json session = LinkSession(*sim_, Port());
    EXPECT_EQ(session.at("frame_timeouts"), 64);
    EXPECT_EQ(session.at("closed_silent"), 0);
    EXPECT_EQ(session.at("closed_over_cap"), 0);
    panel.Close();
}

}  // namespace
}  // namespace zu::e2e
