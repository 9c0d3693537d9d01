// The instructor link end to end: panel-side clients on the real network
// session talk to the module that the simulator stand-in runs in lockstep.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/host_panel_services.h"
#include "core/systems_tick.h"
#include "instructor_link_support.h"

namespace zu::e2e {
namespace {

class InstructorLink : public LinkFlight {
  protected:
    void SetUp() override {
        std::fill(std::begin(FlightSurfacesInstructorStates),
                  std::end(FlightSurfacesInstructorStates), 0);
        RemoteDisplayCountdown.store(0);
        StartFlight();
        ASSERT_EQ(NetServerHosting.load(), 1);
        ASSERT_EQ(client_.Connect(Port()), platform::kSessionOk);
    }
    void TearDown() override {
        client_.Close();
        LinkFlight::TearDown();
    }
    LinkClient client_;
};

TEST_F(InstructorLink, DataRequestsAreAnsweredWithTheGroupsValuesAndStates) {
    InstructorMessage r = Exchange(client_, LinkRequest(kInstructorDataRequest, 10));
    EXPECT_EQ(r.kind, kInstructorDataReply);
    EXPECT_EQ(r.group, 10);
    EXPECT_EQ(r.value_count, 1);
    EXPECT_EQ(r.state_count, 1);
    EXPECT_EQ(client_.ReplySize(0), kInstructorReplySize);

    r = Exchange(client_, LinkRequest(kInstructorDataRequest, 4));
    EXPECT_EQ(r.kind, kInstructorDataReply);
    EXPECT_EQ(r.value_count, 52);
    EXPECT_EQ(r.state_count, 23);
    EXPECT_EQ(client_.ReplySize(1), kInstructorReplySize);

    // Group 0 gets nothing: the next reply on the connection is the one
    // to the request after it.
    ASSERT_EQ(client_.Send(LinkRequest(kInstructorDataRequest, 0)), platform::kSessionOk);
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, 5));
    EXPECT_EQ(r.group, 5);
    EXPECT_EQ(client_.Count(), 3u);
}

TEST_F(InstructorLink, SetCommandsAreAcknowledgedAndShowInTheNextReply) {
    InstructorMessage r = Exchange(client_, LinkRequest(kInstructorSetValue, 3, 4, 32));
    EXPECT_EQ(r.kind, kInstructorAcknowledge);
    EXPECT_EQ(r.value_count, 0);
    EXPECT_EQ(r.state_count, 0);
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, 3));
    EXPECT_EQ(r.items[4].state, 32.0f);
    EXPECT_EQ(r.items[3].state, 32.0f);  // the flaps fail together

    // Out of range and not finite: acknowledged, nothing changes.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float bad[][2] = {{13, 1}, {-1, 1}, {nan, 1}, {inf, 1}, {4, nan}, {4, -inf}, {2, 5e9f}};
    for (const auto& b : bad) {
        r = Exchange(client_, LinkRequest(kInstructorSetValue, 3, b[0], b[1]));
        EXPECT_EQ(r.kind, kInstructorAcknowledge);
    }
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, 3));
    EXPECT_EQ(r.kind, kInstructorDataReply);
    for (int i = 0; i < kFlightSurfacesStateCount; ++i) {
        EXPECT_EQ(r.items[i].state, i == 3 || i == 4 ? 32.0f : 0.0f) << i;
    }
}

TEST_F(InstructorLink, TwoClientsAtOnceEachGetTheirOwnReplies) {
    LinkClient second;
    ASSERT_EQ(second.Connect(Port()), platform::kSessionOk);
    const uint32_t total = Received() + 2;
    ASSERT_EQ(client_.Send(LinkRequest(kInstructorDataRequest, 1)), platform::kSessionOk);
    ASSERT_EQ(second.Send(LinkRequest(kInstructorSetValue, 10, 0, 255)), platform::kSessionOk);
    Deliver(total);
    ASSERT_TRUE(client_.WaitReplies(1));
    ASSERT_TRUE(second.WaitReplies(1));
    EXPECT_EQ(client_.Reply(0).kind, kInstructorDataReply);
    EXPECT_EQ(client_.Reply(0).group, 1);
    EXPECT_EQ(client_.Reply(0).state_count, 22);
    EXPECT_EQ(second.Reply(0).kind, kInstructorAcknowledge);

    // Each answer went to its asker only.
    const InstructorMessage r = Exchange(second, LinkRequest(kInstructorDataRequest, 10));
    EXPECT_EQ(r.items[0].state, 255.0f);
    EXPECT_EQ(client_.Count(), 1u);
    EXPECT_EQ(second.Count(), 2u);
    second.Close();
}

TEST_F(InstructorLink, BulkTargetsArmTheRepositioningBurst) {
    InstructorMessage bulk = LinkRequest(kInstructorBulkSet, kInstructorGroupBulk);
    bulk.value_count = 2;
    bulk.items[0] = {121.0f, 12.5f};  // northing, nm
    bulk.items[1] = {122.0f, -3.0f};  // easting, nm
    const double updates = RemotePositionValues[0];
    // The first target updates only start the glide; values are applied
    // from the sixth on.
    for (int i = 0; i < 6; ++i) {
        const InstructorMessage r = Exchange(client_, bulk);
        EXPECT_EQ(r.kind, kInstructorAcknowledge);
        EXPECT_GT(RemoteDisplayCountdown.load(), 0);
        EXPECT_LE(RemoteDisplayCountdown.load(), kRemoteBurstFrames);
    }
    sim_->RunFrame();
    EXPECT_GE(RemotePositionValues[0], updates + 6);
    EXPECT_GT(RemotePositionValues[1], 0.0);
    EXPECT_LE(RemotePositionValues[1], 12.5 * 1.2);
    EXPECT_LT(RemotePositionValues[2], 0.0);
}

TEST_F(InstructorLink, KillClosesTheLinkAndANewInstallHostsAgain) {
    sim_->Reload();
    EXPECT_EQ(NetServerHosting.load(), 0);
    WaitForStartDecision();
    ASSERT_EQ(NetServerHosting.load(), 1);
    LinkClient again;
    ASSERT_EQ(again.Connect(Port()), platform::kSessionOk);
    EXPECT_EQ(Exchange(again, LinkRequest(kInstructorDataRequest, 10)).kind, kInstructorDataReply);
    again.Close();
}

class InstructorLinkSettings : public LinkFlight {};

TEST_F(InstructorLinkSettings, NetworkServerOffHostsNothing) {
    StartFlight("[Dirarov]\r\nSTAMP=15\r\nNETWORK_SERVER=0\r\n");
    EXPECT_EQ(NetServerHosting.load(), 0);
    LinkClient client;
    EXPECT_EQ(client.Connect(Port()), platform::kSessionNoHost);
}

}  // namespace
}  // namespace zu::e2e
