#include "core/host_panel_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/autopilot_control_laws.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_data_exchange.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"

namespace zu {
namespace {

std::map<uint32_t, double> g_vars;
std::vector<std::pair<uint32_t, int32_t>> g_events;
std::vector<uint32_t> g_lookups;

void FakeTrigger(uint32_t event, uint32_t value) {
    g_events.emplace_back(event, static_cast<int32_t>(value));
}
void FakeLookup(gauge::HostVariable* var) {
    g_lookups.push_back(var->token);
    var->value = g_vars.count(var->token) != 0 ? g_vars[var->token] : 0.0;
}

class HostServices : public ::testing::Test {
  protected:
    void SetUp() override {
        table_.slot[gauge::kSlotTriggerKeyEvent] = reinterpret_cast<void*>(&FakeTrigger);
        table_.slot[gauge::kSlotLookupVariable] = reinterpret_cast<void*>(&FakeLookup);
        saved_panels_ = ImportTable.panels;
        ImportTable.panels = &table_;
        g_vars.clear();
        g_events.clear();
        g_lookups.clear();
        HostIoStartDelay = 0;
        StartupEventsSent = 1;
        FlightLoadCounter = 241;
        OnGround = 0;
        OnGroundHold = 0;
        FrameChangeBits = 0;
        HostPassChangeBits = 0;
        PowerplantValuesPending = 0;
        ThrottlesReleased = 1;
        Throttles_delta = 200.0;
        Powerplants_controls_throttle_limiter = 0;
        ThrottleLimiterSent = 0;
        for (int e = 0; e < 2; ++e) {
            PropControlDemand[e] = 0;
            ThrottleLastSent[e] = 0.0;
            ConditionCommand[e] = 0;
            PropLeverLastSent[e] = 0.0;
        }
        FlapDetent = FlapDetentSent = 2;
        FGC_comp_AP1_engaged = FGC_comp_AP2_engaged = 0;
        std::fill(std::begin(FlightSurfacesInstructorStates),
                  std::end(FlightSurfacesInstructorStates), 0);
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
    }
    void TearDown() override {
        ImportTable.panels = saved_panels_;
        std::fill(std::begin(FlightSurfacesInstructorStates),
                  std::end(FlightSurfacesInstructorStates), 0);
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        IttValue[0] = IttValue[1] = 0;
        Powerplants_engine_ign1 = Powerplants_engine_ign2 = 0;
        PilotTrimRequest = 0;
        FGC_comp_AP1_engaged = 0;
        FgcServoValid[0] = 0;
        ApRollServoOutput = 0;
    }

    std::vector<std::pair<uint32_t, int32_t>> EventsOf(uint32_t id) const {
        std::vector<std::pair<uint32_t, int32_t>> out;
        for (const auto& e : g_events) {
            if (e.first == id) out.push_back(e);
        }
        return out;
    }

    gauge::PanelServiceTable table_{};
    gauge::PanelServiceTable* saved_panels_ = nullptr;
};

TEST_F(HostServices, EveryRecordHasItsToken) {
    for (int i = 0; i < kHostVariableCount; ++i) {
        EXPECT_NE(HostVariables[i].token, 0u) << "record " << i;
    }
    EXPECT_EQ(HostVariables[kHvTickCount].token, 1u);
    EXPECT_EQ(HostVariables[kHvCheck364].token, 364u);
}

TEST_F(HostServices, StartHoldReadsOnlyTheTickCountThenSendsTheStartupEventsOnce) {
    StartupEventsSent = 0;
    FlightLoadCounter = 0;
    HostIoStartDelay = 3;
    g_vars[1] = 1234.6;
    HostVarsPoll();
    EXPECT_EQ(g_lookups, std::vector<uint32_t>{1});
    EXPECT_EQ(HostTickCount, 1235);
    EXPECT_TRUE(g_events.empty());

    HostIoStartDelay = 0;
    HostVarsPoll();
    const std::vector<std::pair<uint32_t, int32_t>> startup = {
        {0x10181, 0}, {0x10182, 0}, {0x101A4, 0xFFFF}, {0x103E7, 0xFFFF}, {0x103BD, 0xFFFF},
        {0x10187, 1}, {0x1018D, 1}, {0x10187, 3},      {0x1018D, 4},      {0x100A5, 47}};
    EXPECT_EQ(g_events, startup);
    EXPECT_EQ(StartupEventsSent, 1);
    g_events.clear();
    HostVarsPoll();
    EXPECT_TRUE(g_events.empty());

    // A flight that is loading changes the first event; late in the load it
    // is left out.
    StartupEventsSent = 0;
    FlightLoadCounter = 120;
    HostVarsPoll();
    EXPECT_EQ(g_events.front(), std::make_pair(0x10181u, 0x2000));
    g_events.clear();
    StartupEventsSent = 0;
    FlightLoadCounter = 150;
    HostVarsPoll();
    EXPECT_EQ(g_events.front(), std::make_pair(0x10182u, 0));
}

TEST_F(HostServices, PollConvertsTheSimulatorValues) {
    g_vars[73] = 1000.0;   // metres
    g_vars[79] = 350.0;    // bank
    g_vars[81] = 90.0;     // heading
    g_vars[65] = 1000.0;   // vertical speed
    g_vars[131] = 300.4;   // low byte of the rounded value
    g_vars[82] = 10.0;     // variation
    g_vars[344] = 5.0;     // wind direction
    g_vars[147] = 2860.0;  // 2860 x 0.0454545 - 101 = 29
    g_vars[348] = 16106.0;
    g_vars[199] = std::nan("");
    g_vars[304] = 1e12;
    HostVarsPoll();
    EXPECT_FLOAT_EQ(Altitude, 3280.0f);
    EXPECT_FLOAT_EQ(BankAttitude, -10.0f);
    EXPECT_FLOAT_EQ(Heading, 90.2f);
    EXPECT_EQ(VerticalSpeedRaw, 769);
    EXPECT_EQ(IttValue[0], 300 & 0xFF);
    EXPECT_DOUBLE_EQ(WindData[1], 355.0);
    EXPECT_EQ(AirConditioningHostValues[0], 29);
    EXPECT_NEAR(ReferencePressure, 1013.0, 0.05);
    EXPECT_EQ(HostThrottleInput[0], 0);     // not a number reads 0
    EXPECT_EQ(FuelQuantity[0], INT32_MAX);  // held at the end of the range
}

TEST_F(HostServices, OnGroundIsTakenAtOnceAndReleasedAfter32AirbornePasses) {
    g_vars[60] = 1.0;
    HostVarsPoll();
    EXPECT_EQ(OnGround, 255);
    g_vars[60] = 0.0;
    for (int i = 0; i < 31; ++i) HostVarsPoll();
    EXPECT_EQ(OnGround, 255);
    // One ground pass in between: the release starts over.
    g_vars[60] = 1.0;
    HostVarsPoll();
    g_vars[60] = 0.0;
    for (int i = 0; i < 31; ++i) HostVarsPoll();
    EXPECT_EQ(OnGround, 255);
    HostVarsPoll();
    EXPECT_EQ(OnGround, 0);
}

TEST_F(HostServices, CloseSplitLeversAreTakenAsOne) {
    SPLIT_PLS_SYNC_FACTOR = 100;
    Nh1State.nh = 70.0f;
    Nh2State.nh = 80.0f;
    g_vars[198] = 5050.0;
    g_vars[233] = 5000.0;
    HostVarsPoll();
    EXPECT_DOUBLE_EQ(HostThrottleLever[0], 5000.0);
    EXPECT_DOUBLE_EQ(HostVariables[kHvLever1].value, 5000.0);
    g_vars[198] = 5200.0;
    HostVarsPoll();
    EXPECT_DOUBLE_EQ(HostThrottleLever[0], 5200.0);
    Nh2State.nh = 0.0f;
    Nh1State.nh = 0.0f;
}

TEST_F(HostServices, ThrottleEventsGoOutOnlyBeyondTheDelta) {
    PropControlDemand[0] = 200;  // equal to the delta: nothing
    HostKeyEventsSend();
    EXPECT_TRUE(EventsOf(kEvtThrottle1).empty());
    PropControlDemand[0] = 201;
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtThrottle1),
              (std::vector<std::pair<uint32_t, int32_t>>{{kEvtThrottle1, 201}}));
    // A negative output is sent only on the ground.
    g_events.clear();
    PropControlDemand[1] = -4096;
    HostKeyEventsSend();
    EXPECT_TRUE(EventsOf(kEvtThrottle2).empty());
    OnGround = 255;
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtThrottle2).size(), 1u);
    EXPECT_EQ(EventsOf(kEvtThrottle2)[0].second, -4096);
}

TEST_F(HostServices, FlapsPowerplantValuesAndTheOncePerLifeRelease) {
    ThrottlesReleased = 0;
    FlapDetent = 4;
    PowerplantValuesPending = 1;
    ThrottleCommand[0] = 1000.4;
    ThrottleCommand[1] = -128.0;
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtFlaps)[0].second, 4 * 2048);
    EXPECT_EQ(EventsOf(kEvtPowerplant1)[0].second, 1000);
    EXPECT_EQ(EventsOf(kEvtPowerplant2)[0].second, -128);
    EXPECT_EQ(PowerplantValuesPending, 0);
    EXPECT_EQ(EventsOf(kEvtThrottle3)[0].second, -4096);
    g_events.clear();
    HostKeyEventsSend();
    EXPECT_TRUE(EventsOf(kEvtFlaps).empty());
    EXPECT_TRUE(EventsOf(kEvtPowerplant1).empty());
    EXPECT_TRUE(EventsOf(kEvtThrottle3).empty());
}

TEST_F(HostServices, ServoOutputFollowsThePilotTrimWhileNoAutopilotIsEngaged) {
    ElevatorTrimInput = -1234;
    RudderTrimOutput = 77;
    FscomTrimming();
    EXPECT_EQ(ElevatorTrimOut, -1234);
    EXPECT_EQ(ApServoEngaged, 0);
    EXPECT_TRUE(EventsOf(kEvtElevatorTrim).empty());
    EXPECT_EQ(EventsOf(kEvtRudderTrim)[0].second, 77);
    RudderTrimOutput = 0;
}

TEST_F(HostServices, EachSurfaceFailureActsFromItsOwnEntry) {
    using Events = std::vector<std::pair<uint32_t, int32_t>>;
    // Rudder fully deflected left or right: sent on every pass.
    FlightSurfacesInstructorStates[kSurfaceRudder] = kSurfaceFailDeflectLeft;
    HostKeyEventsSend();
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtRudder), (Events{{kEvtRudder, 15000}, {kEvtRudder, 15000}}));
    g_events.clear();
    FlightSurfacesInstructorStates[kSurfaceRudder] = kSurfaceFailDeflectRight;
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtRudder), (Events{{kEvtRudder, -15000}}));
    g_events.clear();
    FlightSurfacesInstructorStates[kSurfaceRudder] = kSurfaceFailInoperative;
    HostKeyEventsSend();
    EXPECT_TRUE(EventsOf(kEvtRudder).empty());
    EXPECT_TRUE(EventsOf(kEvtAileron).empty());
    FlightSurfacesInstructorStates[kSurfaceRudder] = 0;

    // Ailerons inoperative (the panel sets both entries).
    g_events.clear();
    FlightSurfacesInstructorStates[kSurfaceAileron1] = kSurfaceFailInoperative;
    FlightSurfacesInstructorStates[kSurfaceAileron2] = kSurfaceFailInoperative;
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtAileron), (Events{{kEvtAileron, 0}}));
    EXPECT_TRUE(EventsOf(kEvtRudder).empty());
    EXPECT_TRUE(EventsOf(kEvtElevator).empty());
    FlightSurfacesInstructorStates[kSurfaceAileron1] = 0;
    FlightSurfacesInstructorStates[kSurfaceAileron2] = 0;

    // Elevators free floating: the elevator only.
    g_events.clear();
    FlightSurfacesInstructorStates[kSurfaceElevator1] = kSurfaceFailFreeFloating;
    FlightSurfacesInstructorStates[kSurfaceElevator2] = kSurfaceFailFreeFloating;
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtElevator), (Events{{kEvtElevator, 0}}));
    EXPECT_TRUE(EventsOf(kEvtRudder).empty());
    EXPECT_TRUE(EventsOf(kEvtAileron).empty());
}

TEST_F(HostServices, AutopilotAileronOutputStopsWhileTheAileronsHaveFailed) {
    const uint8_t frozen = SimFrozen.exchange(0);
    FGC_comp_AP1_engaged = 1;
    FgcSide1.coupled_side = 1;
    FgcServoValid[0] = 1;
    AcBusPowered.set(3, 1);
    ApRollServoOutput = 500;
    FscomTrimming();
    EXPECT_EQ(EventsOf(kEvtAileron),
              (std::vector<std::pair<uint32_t, int32_t>>{{kEvtAileron, -500}}));
    g_events.clear();
    FlightSurfacesInstructorStates[kSurfaceAileron2] = kSurfaceFailInoperative;
    FscomTrimming();
    EXPECT_EQ(EventsOf(kEvtElevatorTrim).size(), 1u);
    EXPECT_TRUE(EventsOf(kEvtAileron).empty());
    SimFrozen = frozen;
}

TEST_F(HostServices, StartSwitchesAndPilotTrimHangOnTheirOwnBuses) {
    FrameChangeBits = 0x04;
    IttValue[0] = IttValue[1] = 1;
    Powerplants_engine_ign1 = Powerplants_engine_ign2 = 2;
    // Only the essential buses: no start flag.
    BusPowered.set(kPoweredRightEssential, 1);
    BusPowered.set(kPoweredLeftEssential, 1);
    HostKeyEventsSend();
    EXPECT_TRUE(EventsOf(kEvtStarter1).empty());
    EXPECT_TRUE(EventsOf(kEvtStarter2).empty());
    // Engine 1 starts on the left main bus, engine 2 on the right one.
    BusPowered.set(kPoweredLeftMainDc, 1);
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtStarter1).size(), 1u);
    EXPECT_TRUE(EventsOf(kEvtStarter2).empty());
    BusPowered.set(kPoweredRightMainDc, 1);
    HostKeyEventsSend();
    EXPECT_EQ(EventsOf(kEvtStarter2).size(), 1u);

    // The pilot's trim request counts only with the left essential bus.
    TorqueYawValue = 0.0f;
    PilotTrimRequest = 1;
    BusPowered.set(kPoweredLeftEssential, 0);
    HostKeyEventsSend();
    EXPECT_FLOAT_EQ(TrimOutput, 0.0f);
    BusPowered.set(kPoweredLeftEssential, 1);
    HostKeyEventsSend();
    EXPECT_FLOAT_EQ(TrimOutput, 1.0f);
}

}  // namespace
}  // namespace zu
