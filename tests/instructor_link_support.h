// Helpers of the instructor-link end-to-end tests: a panel-side client on
// the real session layer, and a flight whose module hosts the link on a
// free port while the test drives the frames in lockstep.
//
// Waiting is always on an event with a bound, never a fixed sleep: a sent
// message is waited for until the module's receive ring holds it, the
// frames are driven until the tick has taken it, and the reply is waited
// for on the client's condition variable.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cabin_link/instructor_link_server.h"
#include "cabin_link/instructor_message.h"
#include "cabin_link/instructor_state_exchange.h"
#include "core/module_frame.h"
#include "e2e_support.h"
#include "module_state.h"
#include "zu/platform/net_session.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {

inline constexpr auto kLinkBound = std::chrono::seconds(10);

// A TCP port that nothing listens on right now (the kernel's pick).
inline uint16_t FreeTcpPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(fd);
    return port;
}

inline InstructorMessage LinkRequest(uint8_t kind, uint16_t group, float value = 0,
                                     float state = 0) {
    InstructorMessage m{};
    m.kind = kind;
    m.group = group;
    m.items[0] = {value, state};
    return m;
}

// The instructor panel's side of the link.
class LinkClient {
  public:
    explicit LinkClient(bool keep_replies = true) : keep_(keep_replies) {}

    int32_t Connect(uint16_t port) {
        return session_->Connect(
            "127.0.0.1", port, platform::kInstructorAppId,
            [this](platform::SessionEvent e, platform::PlayerId, const uint8_t* d, size_t n) {
                if (e != platform::SessionEvent::Message) return;
                std::lock_guard<std::mutex> lock(mutex_);
                if (keep_) replies_.emplace_back(d, d + n);
                if (n >= 1 && d[0] == kInstructorAcknowledge) ++acks_;
                if (n != kInstructorReplySize) ++bad_sizes_;
                ++count_;
                changed_.notify_all();
            });
    }
    void Close() { session_->Close(); }
    int32_t Send(const InstructorMessage& m) { return session_->Send(&m, sizeof m); }

    // Waits (bounded) until `n` replies have arrived in all.
    bool WaitReplies(size_t n) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, kLinkBound, [&] { return count_ >= n; });
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex_);
        return count_;
    }
    size_t Acks() {
        std::lock_guard<std::mutex> lock(mutex_);
        return acks_;
    }
    size_t BadSizes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return bad_sizes_;
    }
    size_t ReplySize(size_t i) {
        std::lock_guard<std::mutex> lock(mutex_);
        return replies_.at(i).size();
    }
    InstructorMessage Reply(size_t i) {
        std::lock_guard<std::mutex> lock(mutex_);
        InstructorMessage m{};
        const auto& r = replies_.at(i);
        std::memcpy(&m, r.data(), std::min(r.size(), sizeof m));
        return m;
    }

  private:
    std::unique_ptr<platform::SessionClient> session_ = platform::CreateSessionClient();
    bool keep_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<uint8_t>> replies_;
    size_t count_ = 0, acks_ = 0, bad_sizes_ = 0;
};

// The module in the simulator stand-in, hosting the link on a free port.
class LinkFlight : public testing::Test {
  protected:
    // `settings`: text of the settings file, empty for the defaults (which
    // enable the link); `port`: where to host (0: a free port).
    void StartFlight(const std::string& settings = "", uint16_t port = 0) {
        RestoreLoadedModuleState();
        NetServerPort = port != 0 ? port : FreeTcpPort();
        ASSERT_NE(NetServerPort, 0u);
        aircraft_ = CopySampleAircraft(tmp_.path());
        if (!settings.empty()) WriteFile(aircraft_ / "ini" / "Kvx4f700.ini", settings);
        simhost::SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        cfg.warnings = &warnings_;
        cfg.notices = &notices_;
        sim_ = std::make_unique<simhost::Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        WaitForStartDecision();
    }

    // Frames until the update service has taken its link decision.
    void WaitForStartDecision() {
        for (int i = 0; i < 600 && NetworkServerStarted == 0; ++i) sim_->RunFrame();
        ASSERT_EQ(NetworkServerStarted, 1);
    }

    void TearDown() override {
        if (sim_) sim_->Stop();
        NetServerPort = 2660;
    }

    uint16_t Port() const { return static_cast<uint16_t>(NetServerPort); }

    // Sent messages so far, as the module counts them on receipt.
    static uint32_t Received() { return InstructorReceiveHead.load(std::memory_order_acquire); }

    // Waits (bounded) until the module holds `total` received messages,
    // then drives frames until the tick has decoded all of them.
    void Deliver(uint32_t total) {
        const auto deadline = std::chrono::steady_clock::now() + kLinkBound;
        while (static_cast<int32_t>(Received() - total) < 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();  // the network thread is copying it in
        }
        ASSERT_EQ(Received(), total);
        for (int i = 0; i < 100; ++i) {
            if (InstructorReceiveTail.load(std::memory_order_acquire) == total &&
                NetworkReceiveFlag.load(std::memory_order_acquire) == 0) {
                return;
            }
            sim_->RunFrame();
        }
        FAIL() << "the tick did not take the messages: received " << Received() << ", taken "
               << InstructorReceiveTail.load() << ", flag " << int(NetworkReceiveFlag.load())
               << ", ticks " << sim_->ticks();
    }

    // Sends one message and returns the client's next reply.
    InstructorMessage Exchange(LinkClient& c, const InstructorMessage& m) {
        const size_t before = c.Count();
        const uint32_t total = Received() + 1;
        EXPECT_EQ(c.Send(m), platform::kSessionOk);
        Deliver(total);
        EXPECT_TRUE(c.WaitReplies(before + 1));
        return c.Count() > before ? c.Reply(before) : InstructorMessage{};
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::ostringstream warnings_;  // what simhost tells the user, on the gauge thread
    std::ostringstream notices_;
    std::unique_ptr<simhost::Simulator> sim_;
};

}  // namespace zu::e2e
