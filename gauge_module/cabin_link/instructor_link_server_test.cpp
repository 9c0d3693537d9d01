#include "cabin_link/instructor_link_server.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "zu/platform/net_session.h"

namespace zu {
namespace {

using namespace std::chrono_literals;

InstructorMessage Request(uint8_t kind, uint16_t group, float value = 0, float state = 0) {
    InstructorMessage m{};
    m.kind = kind;
    m.group = group;
    m.items[0] = {value, state};
    return m;
}

void Receive(uint32_t player, const InstructorMessage& m, size_t size = sizeof(InstructorMessage)) {
    NetServerReceive(player, reinterpret_cast<const uint8_t*>(&m), size);
}

// Empties the ring between tests.
void Drain() {
    while (InstructorReceiveNext()) {
    }
    NetworkReceiveFlag.store(0);
}

class InstructorReceiveTest : public ::testing::Test {
  protected:
    void SetUp() override { Drain(); }
    void TearDown() override { Drain(); }
};

TEST_F(InstructorReceiveTest, PayloadsAreCutPaddedOrIgnoredBySize) {
    std::vector<uint8_t> big(6000, 0xAB);
    big[0] = kInstructorDataRequest;
    NetServerReceive(5, big.data(), big.size());
    ASSERT_EQ(NetworkReceiveFlag.load(), 1);
    ASSERT_TRUE(InstructorReceiveNext());
    EXPECT_EQ(InstructorMessageSender, 5u);
    EXPECT_EQ(+InstructorMessageBuffer.kind, kInstructorDataRequest);
    float expected;
    std::memset(&expected, 0xAB, sizeof expected);
    EXPECT_EQ(std::memcmp(&InstructorMessageBuffer.items[511].state, &expected, 4), 0);

    // A short message leaves no trace of the one before.
    const InstructorMessage m = Request(kInstructorSetValue, 3, 4, 32);
    Receive(6, m, kInstructorHeaderSize + 8);
    ASSERT_TRUE(InstructorReceiveNext());
    EXPECT_EQ(+InstructorMessageBuffer.items[0].state, 32.0f);
    EXPECT_EQ(+InstructorMessageBuffer.items[1].value, 0.0f);
    EXPECT_EQ(+InstructorMessageBuffer.items[511].state, 0.0f);

    // Shorter than the header: nothing arrives and the flag stays down.
    NetworkReceiveFlag.store(0);
    Receive(7, m, 3);
    Receive(7, m, kInstructorHeaderSize - 1);
    EXPECT_EQ(NetworkReceiveFlag.load(), 0);
    EXPECT_FALSE(InstructorReceiveNext());
}

TEST_F(InstructorReceiveTest, MessagesArrivingDuringDecodingAreKeptInOrder) {
    Receive(1, Request(kInstructorSetValue, 4, 7, 8));
    ASSERT_TRUE(InstructorReceiveNext());  // the tick holds the first message
    // Four peers, each within its share, fill the ring.
    for (uint16_t g = 0; g < kInstructorReceiveSlots; ++g) {
        Receive(2 + g / kInstructorPeerShare, Request(1, g));
    }
    EXPECT_EQ(+InstructorMessageBuffer.group, 4);  // untouched
    EXPECT_EQ(+InstructorMessageBuffer.items[0].state, 8.0f);
    for (uint16_t g = 0; g < kInstructorReceiveSlots; ++g) {
        ASSERT_TRUE(InstructorReceiveNext());
        EXPECT_EQ(+InstructorMessageBuffer.group, g);
    }
    EXPECT_FALSE(InstructorReceiveNext());
}

TEST_F(InstructorReceiveTest, APeerOverItsShareOrAFullRingIsDroppedWithoutWaiting) {
    const uint32_t dropped = InstructorReceiveDropped.load();
    // A flooding peer gets its share and no more; the rest of its messages
    // are dropped at once (the network thread never waits for the tick).
    for (uint16_t g = 0; g < 3 * kInstructorPeerShare; ++g) Receive(1, Request(1, g));
    EXPECT_EQ(InstructorReceiveDropped.load() - dropped, 2 * kInstructorPeerShare);
    // Another peer is taken meanwhile.
    Receive(2, Request(1, 500));
    // Once the tick has served one of the flooder's messages, it may send one more.
    ASSERT_TRUE(InstructorReceiveNext());
    EXPECT_EQ(+InstructorMessageBuffer.group, 0);
    Receive(1, Request(1, 600));
    std::vector<uint16_t> taken;
    while (InstructorReceiveNext())
        taken.push_back(static_cast<uint16_t>(InstructorMessageBuffer.group));
    ASSERT_EQ(taken.size(), kInstructorPeerShare + 1);
    EXPECT_EQ(taken[kInstructorPeerShare - 1], 500);
    EXPECT_EQ(taken.back(), 600);

    // A full ring drops whatever comes, from any peer.
    for (uint32_t i = 0; i < kInstructorReceiveSlots; ++i) {
        Receive(10 + i / kInstructorPeerShare, Request(1, 1));
    }
    const uint32_t before = InstructorReceiveDropped.load();
    Receive(99, Request(1, 2));
    EXPECT_EQ(InstructorReceiveDropped.load(), before + 1);
    uint32_t count = 0;
    while (InstructorReceiveNext()) ++count;
    EXPECT_EQ(count, kInstructorReceiveSlots);
}

// ---------------------------------------------------------------------------
// Over the network

struct Client {
    std::unique_ptr<platform::SessionClient> session = platform::CreateSessionClient();
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::vector<uint8_t>> replies;

    int32_t Connect(uint16_t port) {
        return session->Connect(
            "127.0.0.1", port, platform::kInstructorAppId,
            [this](platform::SessionEvent e, platform::PlayerId, const uint8_t* d, size_t n) {
                if (e != platform::SessionEvent::Message) return;
                std::lock_guard<std::mutex> lock(mutex);
                replies.emplace_back(d, d + n);
                changed.notify_all();
            });
    }
    void Send(const InstructorMessage& m) {
        ASSERT_EQ(session->Send(&m, sizeof m), platform::kSessionOk);
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex);
        return replies.size();
    }
    // Waits (bounded) for `n` replies without running the tick.
    bool WaitFor(size_t n) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return replies.size() >= n; });
    }
    InstructorMessage Reply(size_t i) {
        std::lock_guard<std::mutex> lock(mutex);
        InstructorMessage m{};
        std::memcpy(&m, replies.at(i).data(), std::min(replies[i].size(), sizeof m));
        return m;
    }
};

// Runs the tick's part until every client has `n` replies (bounded).
void TickUntil(std::initializer_list<Client*> clients, size_t n) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    for (;;) {
        if (NetworkReceiveFlag.load(std::memory_order_acquire) != 0) InstructorProcessMessage();
        bool all = true;
        for (Client* c : clients) all = all && c->Count() >= n;
        if (all || std::chrono::steady_clock::now() > deadline) return;
        std::this_thread::yield();
    }
}

class InstructorServerTest : public InstructorReceiveTest {
  protected:
    void SetUp() override {
        InstructorReceiveTest::SetUp();
        // A free port near the usual one, so parallel test runs do not clash.
        for (uint32_t port = 42660 + (::getpid() % 1000) * 7; port < 65000; port += 13) {
            NetServerPort = port;
            InstructorLinkStart();
            if (NetServerHosting.load() != 0) break;
        }
        ASSERT_NE(NetServerHosting.load(), 0);
    }
    void TearDown() override {
        NetServerStop();
        NetServerPort = 2660;
        InstructorReceiveTest::TearDown();
    }
};

TEST_F(InstructorServerTest, EachClientGetsItsOwnReply) {
    Client a, b;
    ASSERT_EQ(a.Connect(static_cast<uint16_t>(NetServerPort)), platform::kSessionOk);
    ASSERT_EQ(b.Connect(static_cast<uint16_t>(NetServerPort)), platform::kSessionOk);
    a.Send(Request(kInstructorDataRequest, kInstructorGroupAvionics));
    b.Send(Request(kInstructorDataRequest, kInstructorGroupPowerplants));
    TickUntil({&a, &b}, 1);
    ASSERT_EQ(a.Count(), 1u);
    ASSERT_EQ(b.Count(), 1u);
    EXPECT_EQ(a.replies[0].size(), kInstructorReplySize);
    EXPECT_EQ(+a.Reply(0).group, kInstructorGroupAvionics);
    EXPECT_EQ(+b.Reply(0).group, kInstructorGroupPowerplants);
    EXPECT_EQ(+b.Reply(0).value_count, 52);

    // A client's echo of a reply is not answered; its next request is.
    a.Send(a.Reply(0));
    a.Send(Request(kInstructorSetValue, kInstructorGroupAvionics, 0, 0));
    TickUntil({&a}, 2);
    ASSERT_EQ(a.Count(), 2u);
    EXPECT_EQ(+a.Reply(1).kind, kInstructorAcknowledge);
    EXPECT_EQ(b.Count(), 1u);
}

TEST_F(InstructorServerTest, OneTickAnswersEveryWaitingMessageInItsSendersOrder) {
    Client a, b;
    ASSERT_EQ(a.Connect(static_cast<uint16_t>(NetServerPort)), platform::kSessionOk);
    ASSERT_EQ(b.Connect(static_cast<uint16_t>(NetServerPort)), platform::kSessionOk);
    const uint16_t a_groups[] = {kInstructorGroupHydraulics, kInstructorGroupElectrics,
                                 kInstructorGroupAvionics, kInstructorGroupFlightSurfaces};
    for (uint16_t group : a_groups) a.Send(Request(kInstructorDataRequest, group));
    a.Send(Request(kInstructorSetValue, kInstructorGroupAvionics, 0, 0));
    b.Send(Request(kInstructorDataRequest, kInstructorGroupPowerplants));
    b.Send(Request(kInstructorAcknowledge, 0));  // not a request: no reply
    b.Send(Request(kInstructorDataRequest, kInstructorGroupHydraulics));
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (InstructorReceiveHead.load() - InstructorReceiveTail.load() < 8 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_EQ(InstructorReceiveHead.load() - InstructorReceiveTail.load(), 8u);

    // One tick's pass: the replies it queued all go out after it, unasked.
    InstructorProcessMessage();
    ASSERT_TRUE(a.WaitFor(5));
    ASSERT_TRUE(b.WaitFor(2));
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(+a.Reply(i).kind, kInstructorDataReply);
        EXPECT_EQ(+a.Reply(i).group, a_groups[i]);
    }
    EXPECT_EQ(+a.Reply(4).kind, kInstructorAcknowledge);
    EXPECT_EQ(+b.Reply(0).group, kInstructorGroupPowerplants);
    EXPECT_EQ(+b.Reply(1).group, kInstructorGroupHydraulics);
    for (const platform::SessionHostStats& s : platform::HostedSessions()) {
        if (s.port != NetServerPort) continue;
        uint64_t sent = 0;
        for (const platform::SessionPeerStats& peer : s.peers) sent += peer.frames_sent;
        EXPECT_EQ(sent, 2u + 7u);  // the two handshake answers and the replies
        EXPECT_EQ(s.frames_dropped, 0u);
    }
}

// The session is "VUD4A77RA" and the server calls itself "Server"; a panel
// that names no session still finds it by the application identifier.
TEST_F(InstructorServerTest, TheSessionIsNamedAndAPanelGivingNoNameFindsIt) {
    EXPECT_STREQ(NetServerSessionName, "VUD4A77RA");
    const uint16_t port = static_cast<uint16_t>(NetServerPort);
    Client panel;  // as the instructor panel connects: no session name
    ASSERT_EQ(panel.Connect(port), platform::kSessionOk);
    auto noop = [](platform::SessionEvent, platform::PlayerId, const uint8_t*, size_t) {};
    auto named = platform::CreateSessionClient();
    ASSERT_EQ(
        named->Connect("127.0.0.1", port, platform::kInstructorAppId, noop, 5000, {}, "VUD4A77RA"),
        platform::kSessionOk);
    EXPECT_EQ(named->ServerName(), "Server");
    auto other = platform::CreateSessionClient();
    EXPECT_EQ(
        other->Connect("127.0.0.1", port, platform::kInstructorAppId, noop, 5000, {}, "Server"),
        platform::kSessionRefused);
    bool found = false;
    for (const platform::SessionHostStats& s : platform::HostedSessions()) {
        if (s.port != port) continue;
        found = true;
        EXPECT_EQ(s.session_name, "VUD4A77RA");
        EXPECT_EQ(s.server_name, "Server");
    }
    EXPECT_TRUE(found);
    panel.Send(Request(kInstructorDataRequest, kInstructorGroupAvionics));
    TickUntil({&panel}, 1);
    EXPECT_EQ(panel.Count(), 1u);
}

TEST_F(InstructorServerTest, StopFreesThePortForANewStart) {
    NetServerStop();
    NetServerStop();
    Client late;
    EXPECT_EQ(late.Connect(static_cast<uint16_t>(NetServerPort)), platform::kSessionNoHost);
    InstructorLinkStart();
    ASSERT_NE(NetServerHosting.load(), 0);
    Client c;
    ASSERT_EQ(c.Connect(static_cast<uint16_t>(NetServerPort)), platform::kSessionOk);
}

}  // namespace
}  // namespace zu
