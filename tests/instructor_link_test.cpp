// The instructor link end to end: panel-side clients on the real network
// session talk to the module that the simulator stand-in runs in lockstep.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "core/systems_tick.h"
#include "instructor_link_support.h"
#include "instruments/adf_control_heads.h"
#include "instruments/atc_control_head.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"
#include "zu/simhost/state_json.h"

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
        // Leave no burst running, nor its preset, for later tests in this
        // process.
        RemoteDisplayCountdown.store(0);
        RemoteValuesSetFlag.store(0);
        RemoteValueCount = 0;
        RemoteBurstStarted = 0;
        RemotePositionValues[1] = RemotePositionValues[2] = 0.0;
        Electrics_sys = electrics_;
        TransponderState = transponder_;
        Com1PanelState = com1_;
        PowerLeverPosition[0] = levers_[0];
        PowerLeverPosition[1] = levers_[1];
        PowerLeverValue[0] = conditions_[0];
        PowerLeverValue[1] = conditions_[1];
        FGC_comp_VOR1_MODE = heads_[0];
        FGC_comp_VOR2_MODE = heads_[1];
        FGC_comp_ADF1_MODE = heads_[2];
        Powerplants_controls_throttle_limiter = limiter_;
    }
    LinkClient client_;
    const ElectricsRecord electrics_ = Electrics_sys;
    const TransponderStateRecord transponder_ = TransponderState;
    const ComPanelStateRecord com1_ = Com1PanelState;
    const int32_t levers_[2] = {PowerLeverPosition[0], PowerLeverPosition[1]};
    const int32_t conditions_[2] = {PowerLeverValue[0], PowerLeverValue[1]};
    const int32_t heads_[3] = {FGC_comp_VOR1_MODE, FGC_comp_VOR2_MODE, FGC_comp_ADF1_MODE};
    const int32_t limiter_ = Powerplants_controls_throttle_limiter;
};

TEST_F(InstructorLink, DataRequestsAreAnsweredWithTheGroupsValuesAndStates) {
    InstructorMessage r = Exchange(client_, LinkRequest(kInstructorDataRequest, 10));
    EXPECT_EQ(+r.kind, kInstructorDataReply);
    EXPECT_EQ(+r.group, 10);
    EXPECT_EQ(+r.value_count, 1);
    EXPECT_EQ(+r.state_count, 1);
    EXPECT_EQ(client_.ReplySize(0), kInstructorReplySize);

    r = Exchange(client_, LinkRequest(kInstructorDataRequest, 4));
    EXPECT_EQ(+r.kind, kInstructorDataReply);
    EXPECT_EQ(+r.value_count, 52);
    EXPECT_EQ(+r.state_count, 23);
    EXPECT_EQ(client_.ReplySize(1), kInstructorReplySize);

    // Group 0 gets nothing: the next reply on the connection is the one
    // to the request after it.
    const uint32_t total = Received() + 1;
    ASSERT_EQ(client_.Send(LinkRequest(kInstructorDataRequest, 0)), platform::kSessionOk);
    Deliver(total);
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, 5));
    EXPECT_EQ(+r.group, 5);
    EXPECT_EQ(client_.Count(), 3u);
}

TEST_F(InstructorLink, SetCommandsAreAcknowledgedAndShowInTheNextReply) {
    InstructorMessage r = Exchange(client_, LinkRequest(kInstructorSetValue, 3, 4, 32));
    EXPECT_EQ(+r.kind, kInstructorAcknowledge);
    EXPECT_EQ(+r.value_count, 0);
    EXPECT_EQ(+r.state_count, 0);
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, 3));
    EXPECT_EQ(+r.items[4].state, 32.0f);
    EXPECT_EQ(+r.items[3].state, 32.0f);  // the flaps fail together

    // Out of range and not finite: acknowledged, nothing changes.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float bad[][2] = {{13, 1}, {-1, 1}, {nan, 1}, {inf, 1}, {4, nan}, {4, -inf}, {2, 5e9f}};
    for (const auto& b : bad) {
        r = Exchange(client_, LinkRequest(kInstructorSetValue, 3, b[0], b[1]));
        EXPECT_EQ(+r.kind, kInstructorAcknowledge);
    }
    r = Exchange(client_, LinkRequest(kInstructorDataRequest, 3));
    EXPECT_EQ(+r.kind, kInstructorDataReply);
    for (int i = 0; i < kFlightSurfacesStateCount; ++i) {
        EXPECT_EQ(+r.items[i].state, i == 3 || i == 4 ? 32.0f : 0.0f) << i;
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
    EXPECT_EQ(+client_.Reply(0).kind, kInstructorDataReply);
    EXPECT_EQ(+client_.Reply(0).group, 1);
    EXPECT_EQ(+client_.Reply(0).state_count, 22);
    EXPECT_EQ(+second.Reply(0).kind, kInstructorAcknowledge);

    // Each answer went to its asker only.
    const InstructorMessage r = Exchange(second, LinkRequest(kInstructorDataRequest, 10));
    EXPECT_EQ(+r.items[0].state, 255.0f);
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
        EXPECT_EQ(+r.kind, kInstructorAcknowledge);
        EXPECT_GT(RemoteDisplayCountdown.load(), 0);
        EXPECT_LE(RemoteDisplayCountdown.load(), kRemoteBurstFrames);
    }
    sim_->RunFrame();
    EXPECT_GE(RemotePositionValues[0], updates + 6);
    EXPECT_GT(RemotePositionValues[1], 0.0);
    EXPECT_LE(RemotePositionValues[1], 12.5 * 1.2);
    EXPECT_LT(RemotePositionValues[2], 0.0);
}

// A repositioning from the instructor, end to end: the bulk targets travel
// over the network, the host pass glides to them and writes the position
// to the simulator, whose aircraft moves there; when the burst is over the
// module polls the simulator again and reads the new position back.
TEST_F(InstructorLink, BulkRepositionMovesTheAircraftInTheSimulator) {
    simhost::AircraftModel& model = sim_->model();
    for (int i = 0; i < 20; ++i) sim_->RunFrame();  // past the host I/O hold
    ASSERT_EQ(HostIoStartDelay, 0);
    const double lat0 = model.state().latitude;
    const double lon0 = model.state().longitude;
    ASSERT_NEAR(AircraftPosition.latitude, lat0, 1e-9);

    // 12.5 nm north and 3 nm west. Northing and easting are the remote
    // source's: nautical miles from the equator and, along the parallel of
    // the new latitude, from the prime meridian.
    constexpr double kNorth = 12.5;
    constexpr double kEast = -3.0;
    constexpr double kDeg = 3.14159265358979323846 / 180.0;
    const double lat1 = lat0 + kNorth / 60.0;
    const double lon1 = lon0 + kEast / (60.0 * std::cos(lat1 * kDeg));
    InstructorMessage bulk = LinkRequest(kInstructorBulkSet, kInstructorGroupBulk);
    bulk.value_count = 2;
    bulk.items[0] = {121.0f, static_cast<float>(lat1 * 60.0)};
    bulk.items[1] = {122.0f, static_cast<float>(lon1 * 60.0 * std::cos(lat1 * kDeg))};
    // The items are 32-bit floats: the targets arrive within half a unit
    // in the last place, 1.2e-4 nm (0.23 m) for the northing near 2700 nm,
    // 1.5e-5 nm for the easting near 420 nm. The module's conversion and
    // the simulator's 64-bit position units add far less. 2e-4 nm is 0.37 m.
    constexpr double kToleranceNm = 2e-4;

    // The remote source sends its state on every tick; the module writes
    // the position from the eighth update on.
    uint64_t first_write_frame = 0;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Exchange(client_, bulk).kind, kInstructorAcknowledge);
        if (first_write_frame == 0) {
            for (const auto& w : sim_->fsuipc().Writes()) {
                if (w.offset == 0x0560) {
                    first_write_frame = w.frame;
                    break;
                }
            }
        }
        ASSERT_GT(RemoteDisplayCountdown.load(), 0);
    }
    ASSERT_NE(first_write_frame, 0u);
    sim_->RunFrame();
    sim_->RunFrame();  // the model takes the write at the start of a frame
    EXPECT_NEAR((model.state().latitude - lat0) * 60.0, kNorth, kToleranceNm);
    EXPECT_NEAR((model.state().longitude - lon0) * 60.0 * std::cos(lat1 * kDeg), kEast,
                kToleranceNm);
    // While the burst runs the simulator stays paused and the module does
    // not poll it: its own idea of the position is the old one.
    uint16_t paused = 0;
    sim_->fsuipc().Peek(0x0264, &paused, sizeof paused);
    EXPECT_EQ(paused, 1);
    EXPECT_TRUE(model.state().reposition_pause);
    EXPECT_NEAR(AircraftPosition.latitude, lat0, 1e-9);

    // The countdown runs out (two per frame, 750 from the last update).
    int frames = 0;
    while (RemoteDisplayCountdown.load() > 0 && frames < 400) {
        sim_->RunFrame();
        ++frames;
    }
    EXPECT_EQ(RemoteDisplayCountdown.load(), 0);
    EXPECT_LE(frames, kRemoteBurstFrames / 2);
    const uint64_t burst_end = sim_->frame();
    const double clock_at_end = model.state().clock_s;
    for (int i = 0; i < 30; ++i) sim_->RunFrame();

    // Polling resumes: the module reads the new position back, the
    // simulator is no longer held and no more repositioning is written.
    EXPECT_NEAR(AircraftPosition.latitude, lat1, kToleranceNm / 60.0);
    EXPECT_NEAR(AircraftPosition.longitude, lon1, kToleranceNm / 60.0);
    EXPECT_GT(model.state().clock_s, clock_at_end + 0.9);
    sim_->fsuipc().Peek(0x0264, &paused, sizeof paused);
    EXPECT_EQ(paused, 0);
    for (const auto& w : sim_->fsuipc().Writes()) {
        if (w.frame <= burst_end + 1) continue;
        EXPECT_NE(w.offset, 0x0560u) << "frame " << w.frame;
        EXPECT_NE(w.offset, 0x0262u) << "frame " << w.frame;
    }
    // The parked aircraft is still parked where it was put.
    EXPECT_TRUE(model.state().on_ground);
    EXPECT_NEAR((model.state().latitude - lat0) * 60.0, kNorth, kToleranceNm);
    EXPECT_NEAR((model.state().longitude - lon0) * 60.0 * std::cos(lat1 * kDeg), kEast,
                kToleranceNm);
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

TEST_F(InstructorLink, TheLinksLastCountersOutliveItsClose) {
    EXPECT_EQ(Exchange(client_, LinkRequest(kInstructorDataRequest, 10)).kind,
              kInstructorDataReply);
    sim_->Stop();  // the module's kill closes the link
    EXPECT_EQ(NetServerHosting.load(), 0);
    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    const nlohmann::json& sessions = state.at("net_sessions");
    ASSERT_EQ(sessions.size(), 1u) << sessions;
    const nlohmann::json& s = sessions[0];
    EXPECT_EQ(s.at("port"), Port());
    EXPECT_EQ(s.at("open"), false);
    EXPECT_EQ(s.at("connections"), 0);
    EXPECT_EQ(s.at("connections_served"), 1);
    EXPECT_EQ(s.at("frames_dropped"), 0);
    EXPECT_EQ(s.at("closed_over_cap"), 0);
    ASSERT_EQ(s.at("peers").size(), 1u);
    EXPECT_EQ(s.at("peers")[0].at("frames_sent"), 2);  // the answer and one reply
    // The flight says once that it serves the link, and nothing is wrong.
    EXPECT_EQ(notices_.str(), "instructor link on port " + std::to_string(Port()) + "\n");
    EXPECT_EQ(warnings_.str(), "");
}

TEST_F(InstructorLink, AReloadHostsAgainWithoutSayingItTwice) {
    sim_->Reload();
    WaitForStartDecision();
    ASSERT_EQ(NetServerHosting.load(), 1);
    EXPECT_EQ(notices_.str(), "instructor link on port " + std::to_string(Port()) + "\n");
}

class InstructorLinkSettings : public LinkFlight {};

TEST_F(InstructorLinkSettings, APortInUseIsReportedAndTheFlightGoesOn) {
    auto other = platform::CreateSessionHost();
    const uint16_t port = FreeTcpPort();
    ASSERT_EQ(other->Host(port, platform::kInstructorAppId, [](auto, auto, auto, auto) {}),
              platform::kSessionOk);
    StartFlight("", port);
    EXPECT_EQ(NetServerHosting.load(), 0);
    for (int i = 0; i < 30; ++i) sim_->RunFrame();
    EXPECT_EQ(warnings_.str(), "simhost: instructor link: port " + std::to_string(port) +
                                   " is in use; the link is off\n");
    EXPECT_EQ(notices_.str(), "");
    other->Close();
}

TEST_F(InstructorLinkSettings, NetworkServerOffHostsNothing) {
    StartFlight("[Dirarov]\r\nSTAMP=15\r\nNETWORK_SERVER=0\r\n");
    EXPECT_EQ(NetServerHosting.load(), 0);
    LinkClient client;
    EXPECT_EQ(client.Connect(Port()), platform::kSessionNoHost);
}

}  // namespace
}  // namespace zu::e2e
