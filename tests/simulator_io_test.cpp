// The module's exchange with the simulator, end to end: the module linked
// into this process runs in the simulator stand-in with its aircraft model,
// frame by frame on the lockstep clock. The tests read the module's globals
// and what the stand-in saw (key events, FSUIPC writes, its aircraft).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "e2e_support.h"
#include "instruments/adf_control_heads.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"
#include "module_state.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::KeyEventRecord;

class SimulatorIo : public testing::Test {
  protected:
    void SetUp() override {
        aircraft_ = CopySampleAircraft(tmp_.path());
        // No instructor-link server: these flights talk only to the simulator.
        WriteFile(aircraft_ / "ini" / "Kvx4f700.ini", "[Dirarov]\nSTAMP=15\nNETWORK_SERVER=0\n");
        // The module as the simulator loads it, whatever earlier flights in
        // this process left in it.
        RestoreLoadedModuleState();
        simhost::SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<simhost::Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
    }

    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    // Runs frames until the host I/O hold is over and the first host pass
    // with the simulator's values is done.
    void Settle() {
        for (int i = 0; i < 60 && (HostIoStartDelay > 0 || FsuipcLinkReady == 0); ++i) Frames(1);
        Frames(2);
    }

    std::vector<KeyEventRecord> ModuleEvents(uint32_t id, uint64_t from_frame = 0) const {
        std::vector<KeyEventRecord> out;
        for (const KeyEventRecord& k : sim_->KeyEvents()) {
            if (k.from_module && k.id == id && k.frame >= from_frame) out.push_back(k);
        }
        return out;
    }
    // Writes of the module to `offset` from `from_frame` on, as hex bytes.
    std::vector<simhost::FsuipcWriteRecord> Writes(uint32_t offset, uint64_t from_frame = 0) const {
        std::vector<simhost::FsuipcWriteRecord> out;
        for (const auto& w : sim_->fsuipc().Writes()) {
            if (w.offset == offset && w.frame >= from_frame) out.push_back(w);
        }
        return out;
    }
    template <typename T>
    T Offset(uint32_t offset) const {
        T v{};
        sim_->fsuipc().Peek(offset, &v, sizeof v);
        return v;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<simhost::Simulator> sim_;
};

TEST_F(SimulatorIo, StartupEventsGoOutOnceInOrderWhenTheHoldEnds) {
    uint64_t hold_end = 0;
    for (int i = 0; i < 40; ++i) {
        Frames(1);
        if (hold_end == 0 && HostIoStartDelay == 0) hold_end = sim_->frame();
    }
    ASSERT_NE(hold_end, 0u);
    // No saved flight was loaded, so the load sequence has ended at 250 and
    // the start-up run has no first axis event (sent only while loading).
    ASSERT_EQ(FlightLoadCounter, kFlightLoadFailed);
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {0x10182, 0}, {0x101A4, 0xFFFF}, {0x103E7, 0xFFFF}, {0x103BD, 0xFFFF}, {0x10187, 1},
        {0x1018D, 1}, {0x10187, 3},      {0x1018D, 4},      {0x100A5, 47}};
    // The distinctive events come exactly once, in the frame the hold ended.
    for (uint32_t id : {0x101A4u, 0x103E7u, 0x103BDu, 0x100A5u}) {
        const auto events = ModuleEvents(id);
        ASSERT_EQ(events.size(), 1u) << std::hex << id;
        EXPECT_EQ(events[0].frame, hold_end);
    }
    EXPECT_EQ(ModuleEvents(0x10187).size(), 2u);
    EXPECT_EQ(ModuleEvents(0x1018D).size(), 2u);
    // ... and as one run, in order.
    std::vector<std::pair<uint32_t, uint32_t>> frame_events;
    for (const KeyEventRecord& k : sim_->KeyEvents()) {
        if (k.from_module && k.frame == hold_end) frame_events.emplace_back(k.id, k.value);
    }
    auto it =
        std::search(frame_events.begin(), frame_events.end(), expected.begin(), expected.end());
    EXPECT_NE(it, frame_events.end());
}

TEST_F(SimulatorIo, ThrottleFlapAndOnGroundFollowTheRules) {
    Settle();
    const uint64_t start = sim_->frame() + 1;
    // Cold engines: the propeller levers stay feathered (-4096); once sent
    // on the ground they are not sent again while they do not move.
    Frames(10);
    const auto feathered = ModuleEvents(0x10183);
    ASSERT_FALSE(feathered.empty());
    for (const KeyEventRecord& k : feathered) EXPECT_EQ(k.value, static_cast<uint32_t>(-4096));
    EXPECT_TRUE(ModuleEvents(0x10183, start).empty());

    // The flap lever moved without hydraulic pressure: the detent holds at
    // flaps up (2 x 2048, re-sent as the lever step retries) and the
    // surfaces stay where they are.
    sim_->model().SetFlaps(2);
    Frames(30);
    const auto flaps = ModuleEvents(0x100A2, start);
    ASSERT_FALSE(flaps.empty());
    for (const KeyEventRecord& k : flaps) EXPECT_EQ(k.value, 2u * 2048u);
    EXPECT_EQ(FlapDetent, 2);
    EXPECT_LT(sim_->model().state().flaps, 0.01);

    // On the ground at once; airborne only after 32 airborne passes.
    EXPECT_EQ(OnGround, 255);
    sim_->model().PlaceAirborne(3000, 160);
    Frames(31);
    EXPECT_EQ(OnGround, 255);
    Frames(1);
    EXPECT_EQ(OnGround, 0);
    EXPECT_NEAR(IndicatedAirspeed, 160.0, 3.0);
    sim_->model().PlaceOnGround(45.0, 10.0, 300, 90);
    Frames(1);
    EXPECT_EQ(OnGround, 255);
}

TEST_F(SimulatorIo, RadiosAreWrittenInBcdAndReadBack) {
    Settle();
    // Receivers without power, or whose head is off, are cleared every
    // frame: power the aircraft from outside and switch the heads on.
    ExternalDcSwitch.set(255);
    ExternalAcSwitch.set(255);
    Vor1PanelState.mode = 1;
    Vor2PanelState.mode = 1;
    Adf1PanelState.mode = 1;
    Frames(8);
    const uint64_t start = sim_->frame() + 1;
    // 118.025 MHz as the COM1 head sends it (the head writes what it sends
    // from its active frequency on every update run).
    Com1Radio.active = 118.025f;
    Com1Radio.send_frequency = 11802;
    // The NAV and ADF heads write their active frequencies into the records.
    Vor1Radio.active = 100.0f;
    NavSources[kNavVor1].frequency = 10000;
    Adf1Radio.active = 415.5f;
    NavSources[kNavAdf1].frequency = 4155;
    Adf2Radio.active = 1234.5f;
    NavSources[kNavAdf2].frequency = 12345;
    Frames(1);
    ASSERT_FALSE(Writes(0x034E, start).empty());
    EXPECT_EQ(Writes(0x034E, start)[0].hex, "0218");
    ASSERT_FALSE(Writes(0x038A, start).empty());
    EXPECT_EQ(Writes(0x038A, start)[0].hex, "02");
    EXPECT_EQ(Writes(0x0350, start)[0].hex, "0008");
    EXPECT_EQ(Writes(0x034C, start)[0].hex, "1504");
    EXPECT_EQ(Writes(0x0356, start)[0].hex, "0500");
    EXPECT_EQ(Writes(0x02D4, start)[0].hex, "3402");
    EXPECT_EQ(Writes(0x02D6, start)[0].hex, "0501");
    // The next poll reads the simulator's radios back: its own echo leaves
    // the heads as they are, the clamped NAV frequency comes back.
    Frames(1);
    EXPECT_NEAR(Com1Radio.active, 118.025, 1e-4);
    EXPECT_EQ(NavSources[kNavVor1].frequency, 10800);
    EXPECT_NEAR(Adf1Radio.active, 415.5, 1e-3);
    EXPECT_NEAR(Adf2Radio.active, 1234.5, 1e-3);
    // Nothing is sent again while nothing changes.
    const uint64_t later = sim_->frame() + 1;
    Frames(4);
    EXPECT_TRUE(Writes(0x034E, later).empty());
    EXPECT_TRUE(Writes(0x0350, later).empty());
}

TEST_F(SimulatorIo, ConstantsEverySecondPassAndTheLightsWord) {
    Settle();
    const uint64_t start = sim_->frame() + 1;
    Frames(8);
    const auto writes = Writes(0x0330, start);
    ASSERT_EQ(writes.size(), 4u);
    for (size_t i = 1; i < writes.size(); ++i) EXPECT_EQ(writes[i].frame - writes[i - 1].frame, 2u);
    EXPECT_EQ(Offset<uint16_t>(0x0330), 16212);
    EXPECT_EQ(Offset<uint8_t>(0x3102), 1);
    EXPECT_EQ(Offset<uint8_t>(0x3103), 1);
    EXPECT_EQ(Offset<int32_t>(0x2EE0), 1);
    EXPECT_EQ(Writes(0x3102, start).size(), 4u);

    // While the clock and caution panels' countdown runs, the panel-light
    // bit is inverted, then it returns.
    const uint16_t steady = Offset<uint16_t>(0x0D0C);
    RefreshCountdown[9] = 3;
    Frames(1);
    EXPECT_EQ(Offset<uint16_t>(0x0D0C), steady ^ 0x20);
    Frames(3);
    EXPECT_EQ(Offset<uint16_t>(0x0D0C), steady);
}

TEST_F(SimulatorIo, PauseFreezesAfterFourUnchangedTicksAndThawsAtOnce) {
    Settle();
    Frames(10);
    ASSERT_EQ(SimFrozen, 0);
    sim_->model().SetPaused(true);
    // Each frame runs at most one tick (64 ms ticks, 33 ms frames); a tick
    // sees the clock value the previous frame's poll read.
    double seen = -1;
    double polled = PauseWatchClock.load();
    int unchanged = 0;
    for (int i = 0; i < 40 && unchanged < 4; ++i) {
        const uint64_t ticks = sim_->ticks();
        Frames(1);
        if (sim_->ticks() != ticks) {
            unchanged = polled == seen ? unchanged + 1 : 0;
            seen = polled;
            EXPECT_EQ(SimFrozen, unchanged >= 4 ? 1 : 0) << "unchanged ticks " << unchanged;
        }
        polled = PauseWatchClock.load();
    }
    EXPECT_EQ(unchanged, 4);
    EXPECT_EQ(SimFrozen, 1);
    EXPECT_EQ(HostPauseIndicator, 1);

    sim_->model().SetPaused(false);
    for (int i = 0; i < 10; ++i) {
        const uint64_t ticks = sim_->ticks();
        const double before = PauseWatchClock.load();
        Frames(1);
        if (sim_->ticks() != ticks && before != seen) break;
    }
    EXPECT_EQ(SimFrozen, 0);
}

TEST_F(SimulatorIo, TrafficAndWeatherComeFromTheWorld) {
    Settle();
    const double lat = sim_->model().state().latitude;
    const double lon = sim_->model().state().longitude;
    simhost::WeatherCell cell{lat + 0.1, lon, 20.0, 2000, 12000, 4};
    sim_->model().AddWeatherCell(cell);
    // A traffic target five miles north.
    uint8_t slot[40] = {};
    const uint32_t id = 4711;
    const float tlat = static_cast<float>(lat + 5.0 / 60.0);
    const float tlon = static_cast<float>(lon);
    const float talt = 2500.0f;
    std::memcpy(slot, &id, 4);
    std::memcpy(slot + 4, &tlat, 4);
    std::memcpy(slot + 8, &tlon, 4);
    std::memcpy(slot + 12, &talt, 4);
    sim_->fsuipc().Poke(simhost::kTrafficSlotsOffset + 3 * 40, slot, sizeof slot);
    Frames(8);
    EXPECT_EQ(TcasSlotSize, 40);
    EXPECT_EQ(TcasTrafficCount, 1);
    EXPECT_EQ(TcasTrafficSlots[3].identifier, id);

    for (int k = 0; k < 4; ++k) {
        WeatherSampleLatitude[k] = lat + 0.1;
        WeatherSampleLongitude[k] = lon;
    }
    WeatherSampleLongitude[3] = lon + 5.0;  // far outside the cell
    WeatherSampleFlags[kWeatherPending] = 1;
    Frames(4);
    EXPECT_EQ(WeatherSampleFlags[kWeatherPending], 0);
    for (int k = 0; k < 4; ++k) {
        int32_t layers = 0;
        std::memcpy(&layers, WeatherSampleLines[k] + 636, 4);
        EXPECT_EQ(layers, k < 3 ? 1 : 0) << "sample " << k;
    }
    int16_t base = 0;
    std::memcpy(&base, WeatherSampleLines[0] + 640 + 10, 2);
    EXPECT_EQ(base, 2000);
}

TEST_F(SimulatorIo, OnTheGroundInBetaTheBladeAnglesGoOutEveryPassFromTheGroundTable) {
    Settle();
    // Running engines, condition levers forward; both power levers held at
    // lever position 3300 (the simulator's lever values 2162.5 on the
    // default ground table), which commands throttle -705: beta.
    PinRunningEngines(*sim_);
    for (uint32_t token : {198u, 233u}) sim_->SetVariable(token, 2162.5);
    for (int i = 0; i < 30 * 10 && (PropFeatherCountdown[0] > 0 || PropFeatherCountdown[1] > 0);
         ++i) {
        Frames(1);
    }
    ASSERT_EQ(OnGround, 255);
    ASSERT_EQ(PropFeatherCountdown[0], 0);
    ASSERT_EQ(PropFeatherCountdown[1], 0);
    ASSERT_EQ(PowerLeverPosition[0], 3300);
    ASSERT_EQ(PowerLeverPosition[1], 3300);
    ASSERT_EQ(ThrottleCommand[0], -705.0);
    ASSERT_EQ(ThrottleCommand[1], -705.0);
    Frames(4);

    // 0.13 degrees, in radians, on every one of 30 passes.
    const uint64_t from = sim_->frame() + 1;
    Frames(30);
    for (uint32_t offset : {0x2418u, 0x2518u}) {
        const std::vector<simhost::FsuipcWriteRecord> writes = Writes(offset, from);
        ASSERT_EQ(writes.size(), 30u) << std::hex << offset;
        for (const simhost::FsuipcWriteRecord& w : writes) {
            ASSERT_EQ(w.size, 8u);
            uint8_t bytes[8];
            for (size_t b = 0; b < 8; ++b) {
                bytes[b] = static_cast<uint8_t>(std::stoul(w.hex.substr(2 * b, 2), nullptr, 16));
            }
            double angle;
            std::memcpy(&angle, bytes, sizeof angle);
            EXPECT_NEAR(angle, 0.002269, 5e-7) << std::hex << offset << " frame " << w.frame;
        }
    }
    EXPECT_NEAR(sim_->model().state().engines[0].blade_angle, 0.002269, 5e-7);
}

TEST_F(SimulatorIo, ScriptedTakeOff) {
    Settle();
    const uint64_t start = sim_->frame() + 1;
    simhost::AircraftModel& model = sim_->model();
    // Battery and main bus tie on, ignition on, condition levers forward;
    // the engines started from the engine start panel.
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    MainBusTieSwitch.set(255);
    Powerplants_engine_ign1 = Powerplants_engine_ign2 = 1;
    model.SetCondition(-1, 1.0);
    Frames(10);
    ASSERT_GT(StartEngineFromPanel(*sim_, 0), 0) << "Nh " << Nh1State.nh;
    ASSERT_GT(StartEngineFromPanel(*sim_, 1), 0) << "Nh " << Nh2State.nh;
    Frames(30 * 15);
    EXPECT_EQ(IttValue[0], 1);  // both engines burn fuel
    EXPECT_EQ(IttValue[1], 1);
    EXPECT_GT(HostVariables[kHvSpool1].value, 60.0);  // Nh
    EXPECT_GT(HostVariables[kHvPropRpm2].value, 700.0);
    EXPECT_EQ(OnGround, 255);
    EXPECT_EQ(Powerplants_controls_throttle_limiter, 1);

    // Only the power levers move: the module's lever step commands
    // take-off power and releases the control lock.
    model.SetParkingBrake(false);
    model.SetThrottleLever(-1, 1.0);
    bool rotated = false;
    bool gear_up = false;
    double highest_throttle = -1e9;
    for (int i = 0; i < 30 * 120 && !(gear_up && Altitude > 1500.0f); ++i) {
        Frames(1);
        highest_throttle = std::max({highest_throttle, ThrottleCommand[0], ThrottleCommand[1]});
        if (!rotated && IndicatedAirspeed > 105.0f) {
            model.SetElevator(0.6);
            rotated = true;
        }
        if (rotated && OnGround == 0 && VerticalSpeedRaw > 300 && !gear_up) {
            model.SetGear(false);
            model.SetElevator(0.5);
            gear_up = true;
        }
    }
    EXPECT_TRUE(rotated);
    EXPECT_TRUE(gear_up);
    EXPECT_EQ(OnGround, 0);
    EXPECT_GT(IndicatedAirspeed, 110.0f);
    EXPECT_GT(Altitude, 1500.0f);
    EXPECT_GT(VerticalSpeedRaw, 0);
    EXPECT_GT(GroundSpeed, 100);
    EXPECT_GT(HostVariables[kHvEngineValueA1].value, 50.0);  // torque
    Frames(30 * 9);
    EXPECT_LT(model.state().gear, 0.01);  // the gear has travelled up
    EXPECT_EQ(HostGearHandle, 0);

    // The state file shows the key events the module sent on the way.
    const auto file = tmp_.path() / "state.json";
    std::string error;
    ASSERT_TRUE(simhost::WriteStateJson(file, *sim_, nullptr, &error)) << error;
    const nlohmann::json state = ReadJson(file);
    // The flight outlasts the window of recent key events; the counts per
    // event keep each one's last value and frame.
    bool throttle_sent = false;
    for (const auto& k : state["key_event_log"]["counts"]) {
        if (k["last_source"] != "module" || k["last_frame"].get<uint64_t>() < start) continue;
        if (k["id"] == 0x1011C) {
            const auto value = static_cast<int32_t>(k["last_value"].get<uint32_t>());
            EXPECT_LE(value, 13501);
            if (value > 13000) throttle_sent = true;
        }
    }
    EXPECT_TRUE(throttle_sent);
    EXPECT_LE(highest_throttle, 13501.0);
    EXPECT_EQ(Powerplants_controls_throttle_limiter, 0);
    EXPECT_GE(state["key_event_log"]["total"].get<uint64_t>(), state["key_events"].size());
    EXPECT_LE(state["key_events"].size(), simhost::kKeyEventWindow);
    EXPECT_EQ(state["aircraft"]["on_ground"], false);
    EXPECT_GT(state["aircraft"]["altitude_ft"].get<double>(), 1500.0);
}

TEST(SimhostAircraftScenario, PilotVerbsRunFromAScenarioFile) {
    TempDir tmp;
    const auto aircraft = CopySampleAircraft(tmp.path());
    const auto scenario = tmp.path() / "flight.txt";
    WriteFile(scenario,
              "at 0 position 47.5 8.5 1400 270\n"
              "at 1 condition both 1\n"
              "at 1 throttle 2 0.5\n"
              "at 1 parking-brake on\n"
              "at 1 traffic 0 1234 47.6 8.5 3000 180 200 0\n"
              "at 1 weather 47.6 8.5 10 2000 9000 3\n"
              "at 25 expect var 199 16383\n"
              "at 25 expect var 234 16383\n"
              "at 25 expect var 198 0\n"
              "at 26 pause on\n"
              "at 27 expect offset 0x0264 u16 1\n"
              "at 27 expect offset 0xF080 u32 1234\n");
    const auto out = tmp.path() / "out";
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--seconds",
                    "28", "--out", out.string(), "--no-audio"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const nlohmann::json state = ReadJson(out / "state.json");
    EXPECT_NEAR(state["aircraft"]["latitude"].get<double>(), 47.5, 1e-6);
    EXPECT_EQ(state["aircraft"]["paused"], true);
    EXPECT_FALSE(state["aircraft"]["engines"][0]["running"].get<bool>());  // nobody started it
}

TEST(SimhostAircraftScenario, RadioStationsReachTheTunedReceivers) {
    TempDir tmp;
    const auto aircraft = CopySampleAircraft(tmp.path());
    const auto scenario = tmp.path() / "flight.txt";
    // Parked heading 270 true; an ILS on NAV1's 110.00 6 nm east, behind.
    WriteFile(scenario,
              "at 0 position 47.5 8.5 1400 270\n"
              "at 0 navaid ils 110.00 47.5 8.648 1400 270 IZU\n"
              "at 0 navaid bogus 1 2 3\n"
              "at 2 expect offset 0x0C4A u8 3\n"
              "at 2 expect var 40 180 0.5\n"
              "at 2 expect var 59 6 0.1\n");
    const auto out = tmp.path() / "out";
    const ProcessResult r =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--seconds",
                    "3", "--out", out.string(), "--no-audio"});
    EXPECT_NE(r.exit_code, 0);  // the bogus station is refused
    EXPECT_NE(r.err.find("navaid"), std::string::npos) << r.err;
    WriteFile(scenario,
              "at 0 position 47.5 8.5 1400 270\n"
              "at 0 navaid ils 110.00 47.5 8.648 1400 270 IZU\n"
              "at 2 expect offset 0x0C4A u8 3\n"
              "at 2 expect var 40 180 0.5\n"
              "at 2 expect var 59 6 0.1\n"
              // The glideslope transmitter at the navaid's point, the
              // localiser 1.5 nm beyond it along the front course (west).
              "at 2 expect offset 0x0874 s32 5278701 1\n"
              "at 2 expect offset 0x0878 s32 103174659 2\n"
              "at 2 expect offset 0x087C s32 427\n"
              "at 2 expect offset 0x085C s32 5278701 1\n"
              "at 2 expect offset 0x0864 s32 102733176 2\n"
              "at 2 expect offset 0x086C s32 427\n");
    const ProcessResult ok =
        RunSimhost({"--aircraft", aircraft.string(), "--scenario", scenario.string(), "--seconds",
                    "3", "--out", out.string(), "--no-audio"});
    ASSERT_EQ(ok.exit_code, 0) << ok.err << ok.out;
    const nlohmann::json state = ReadJson(out / "state.json");
    EXPECT_NEAR(state["aircraft"]["radio_altitude_ft"].get<double>(), 0.0, 1.0);
    EXPECT_TRUE(state["aircraft"].contains("angle_of_attack_deg"));
}

}  // namespace
}  // namespace zu::e2e
