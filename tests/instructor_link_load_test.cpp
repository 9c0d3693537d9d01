// The instructor link under load: several panels poll ten times as fast as
// the real panel does (every 25 ms instead of 250 ms, on the simulated
// clock) and send a command with every sixth message. Every message must be
// answered, every command acknowledged, and the process must not grow.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <fstream>

#include "instructor_link_support.h"

namespace zu::e2e {
namespace {

constexpr int kClients = 4;
constexpr double kPollPeriodMs = 25.0;
constexpr double kFrameMs = 1000.0 / 30.0;

// Resident set size in bytes.
long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

class InstructorLinkLoad : public LinkFlight {
  protected:
    struct Panel {
        LinkClient link{false};
        size_t sent = 0;
        size_t commands = 0;
    };

    // Sends what the panels' timers ask for during `ms` of simulated time,
    // frame by frame; each frame runs once the module holds that frame's
    // messages.
    void Run(double ms) {
        for (double end = now_ms_ + ms; now_ms_ < end; now_ms_ += kFrameMs) {
            while (next_poll_ms_ <= now_ms_ + kFrameMs) {
                for (Panel& p : panels_) {
                    const bool command = p.sent % 6 == 5;
                    const InstructorMessage m =
                        command ? LinkRequest(kInstructorSetValue, kInstructorGroupAvionics, 0, 0)
                                : LinkRequest(kInstructorDataRequest, groups_[p.sent % 5]);
                    ASSERT_EQ(p.link.Send(m), platform::kSessionOk);
                    ++p.sent;
                    p.commands += command;
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
        }
    }

    std::array<Panel, kClients> panels_;
    const uint16_t groups_[5] = {1, 3, 4, 5, 10};
    double now_ms_ = 0;
    double next_poll_ms_ = 0;
    uint32_t total_ = 0;
};

TEST_F(InstructorLinkLoad, FastPollingLosesNothingAndDoesNotGrow) {
    StartFlight();
    ASSERT_EQ(NetServerHosting.load(), 1);
    for (Panel& p : panels_) ASSERT_EQ(p.link.Connect(Port()), platform::kSessionOk);
    total_ = Received();

    Run(1000);  // warm up: buffers reach their working size
    const long before = ResidentBytes();
    Run(8000);
    Deliver(total_);
    for (Panel& p : panels_) {
        ASSERT_TRUE(p.link.WaitReplies(p.sent));
        EXPECT_EQ(p.link.Count(), p.sent);
        EXPECT_EQ(p.link.Acks(), p.commands);
        EXPECT_EQ(p.link.BadSizes(), 0u);
        EXPECT_GT(p.commands, 50u);
    }
    const long after = ResidentBytes();
    EXPECT_LT(after - before, 4L << 20) << "resident " << before << " -> " << after;
    for (Panel& p : panels_) p.link.Close();
}

}  // namespace
}  // namespace zu::e2e
