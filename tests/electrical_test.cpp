// The electrical system in a running module: the simulator stand-in drives
// the module frame by frame in lockstep, the test plays the pilot (switch
// words as the overhead panels write them), the engines (the spool and
// propeller speeds the powerplant keeps) and the instructor (the failure
// table as the link stores it), and checks the buses, the caution logic and
// what the simulator is told.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/cabin_doors.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/systems_tick.h"
#include "e2e_support.h"
#include "instruments/gauge_framework.h"
#include "module_state.h"
#include "panels/engine_start_panels.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

constexpr uint32_t kOnGroundToken = 60;

class ElectricalFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        ColdAircraft();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        sim_->SetVariable(kOnGroundToken, 1.0);
    }

    void TearDown() override {
        if (sim_) sim_->Stop();
        ColdAircraft();  // the module stays loaded for the tests that follow
    }

    // A cold aircraft, whatever earlier tests in this process left.
    static void ColdAircraft() {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        ElectricsDefaultsDone = 0;
        ExternalPowerHoldCountdown = 0;
        std::fill(std::begin(ElectricsInstructorStates), std::end(ElectricsInstructorStates), 0);
        std::fill(std::begin(CautionLightArray), std::end(CautionLightArray), 0u);
        PropRpm[0] = PropRpm[1] = 0.0;
        Nh1State = {};
        Nh2State = {};
        EngineStartSelector = 1;
        DoorOpenLevel = 100;
    }

    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }

    static bool Lit(int row, int column) {
        return CautionLightArray[CautionIndex(row, column)] != 0;
    }

    // The low byte of the last lights word the module wrote to the
    // simulator, as the state file lists it; -1 when none was written.
    int LastLightsByte() const {
        const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        int low = -1;
        for (const auto& w : state["fsuipc"]["write_counts"]) {
            if (w["offset"].get<uint32_t>() == 0x0D0C) {
                low = static_cast<int>(std::strtol(
                    w["last_hex"].get<std::string>().substr(0, 2).c_str(), nullptr, 16));
            }
        }
        return low;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(ElectricalFlight, FromColdAndDarkToGeneratorsOnLine) {
    // Cold and dark: only the battery buses carry their batteries.
    Frames(60);
    ASSERT_GE(sim_->ticks(), 30u);
    EXPECT_EQ(ElectricsDefaultsDone, 1);
    EXPECT_EQ(BusPowered.get(kPoweredMainBattery), 1);
    for (BusPoweredByte bus :
         {kPoweredRightMainDc, kPoweredLeftMainDc, kPoweredRightEssential, kPoweredLeftEssential,
          kPoweredRightSecondary, kPoweredLeftSecondary}) {
        EXPECT_EQ(BusPowered.get(bus), 0) << bus;
    }
    for (std::size_t i = 0; i < AcBusPowered.size; ++i) EXPECT_EQ(AcBusPowered.get(i), 0);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    EXPECT_EQ(OnGround, 255);
    EXPECT_FALSE(Lit(6, 7));  // doors open, but no power for "PASS DOOR"

    // Battery master and main battery: the right main bus, both essential
    // buses and the avionics buses come alive; the left main bus does not.
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    Frames(15);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 26);
    EXPECT_EQ(BusPowered.get(kPoweredRightMainDc), 1);
    EXPECT_EQ(BusPowered.get(kPoweredRightEssential), 1);
    EXPECT_EQ(BusPowered.get(kPoweredLeftEssential), 1);
    EXPECT_EQ(BusPowered.get(kPoweredLeftMainDc), 0);
    EXPECT_EQ(AcBusPowered.get(2), 1);
    EXPECT_EQ(AcBusPowered.get(3), 1);
    EXPECT_TRUE(Lit(2, 7));  // "#1 DC GEN": no generator yet
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    MasterCautionAck.set(1);  // as the master caution light's click does
    Frames(3);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    EXPECT_EQ(MasterCautionAck.get(), 0);
    EXPECT_TRUE(Lit(2, 7));

    // Engines turning: both generators of each kind come on line.
    AuxBatterySwitch.set(255);
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    Nh1State.nh = Nh2State.nh = 70.0f;
    PropRpm[0] = PropRpm[1] = 1000.0;
    Frames(45);
    EXPECT_EQ(DcGenerator1OnLine.get(), 255);
    EXPECT_EQ(DcGenerator2OnLine.get(), 255);
    EXPECT_EQ(AcGenerator1OnLine.get(), 255);
    EXPECT_EQ(AcGenerator2OnLine.get(), 255);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 27);
    EXPECT_EQ(BusPowered.get(kPoweredLeftSecondary), 1);
    EXPECT_EQ(AcBusPowered.get(0), 1);
    EXPECT_FALSE(Lit(2, 7));
    EXPECT_FALSE(Lit(3, 7));
    // With engines running the doors close and their lights go out.
    EXPECT_EQ(DoorOpenLevel, 0);
    EXPECT_FALSE(Lit(6, 7));
}

TEST_F(ElectricalFlight, MasterCautionForAnElectricalFaultGoesOutOnAcknowledge) {
    ElectricsEnginesRunning();
    Frames(60);  // the ice protection's first pass lights the pitot-heat cautions
    MasterCautionAck.set(1);
    MasterWarningAck.set(1);
    Frames(3);
    ASSERT_EQ(MasterCautionFlag.get(), 0);
    ASSERT_FALSE(Lit(2, 7));

    // The instructor fails the left DC generator.
    ElectricsInstructorStates[21] = 255;
    RefreshCountdown[kRefreshRadios] = 0;
    Frames(4);
    EXPECT_EQ(DcGenerator1OnLine.get(), 0);
    EXPECT_TRUE(Lit(2, 7));
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    // Set on every pass while the flag is up (the transponder head takes it
    // on each frame, so look right after a tick).
    SystemsTick(0, 0, 0, 0, 0);
    EXPECT_EQ(ElectricalChangeFlag, 1);
    // The audio panels on view take it each frame and re-arm their group.
    EXPECT_GT(RefreshCountdown[kRefreshRadios], 0);
    // The master lights take it too and keep their refresh group running.
    EXPECT_GT(RefreshCountdown[4], 0);

    MasterCautionAck.set(1);
    Frames(2);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    EXPECT_TRUE(Lit(2, 7));  // the caution itself stays until the fault is gone

    ElectricsInstructorStates[21] = 0;
    Frames(4);
    EXPECT_FALSE(Lit(2, 7));
    EXPECT_EQ(MasterCautionFlag.get(), 0);
}

TEST_F(ElectricalFlight, ExteriorLightsReachTheSimulator) {
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    MainBusTieSwitch.set(255);  // the left main bus on the battery as well
    NavBeaconSelector.set(1);
    Frames(30);
    EXPECT_EQ(BusPowered.get(kPoweredLeftMainDc), 1);
    EXPECT_EQ(ExteriorNavLights, 1);
    const int low = LastLightsByte();
    ASSERT_NE(low, -1);
    EXPECT_EQ(low & 0x01, 0x01);  // navigation lights

    NavBeaconSelector.set(0);
    Frames(10);
    EXPECT_EQ(ExteriorNavLights, 0);
    EXPECT_EQ(LastLightsByte() & 0x01, 0);
}

// The whole chain with the stand-in's engines: the pilot starts them in the
// simulator, the module reads their speeds through the host variable poll,
// the generators come on line, and what the buses feed reaches the
// simulator as the lights word.
TEST_F(ElectricalFlight, EnginesStartedInTheSimulatorBringTheGeneratorsOnLine) {
    simhost::AircraftModel& model = sim_->model();
    // The spool and propeller speeds the electrical step reads (Nh1State,
    // Nh2State, PropRpm) are the powerplant step's output: its propeller
    // rpm update turns the host records the poll keeps (tokens 626/645 and
    // 700/708) into them. That step is not part of the module yet; until it
    // is, this stands in for it and passes the simulator's values through
    // unchanged. Nothing else about the engines is set by the test.
    auto powerplant_step = [] {
        Nh1State.nh = static_cast<float>(HostVariables[kHvSpool1].value);
        Nh2State.nh = static_cast<float>(HostVariables[kHvSpool2].value);
        PropRpm[0] = HostVariables[kHvPropRpm1].value;
        PropRpm[1] = HostVariables[kHvPropRpm2].value;
    };
    auto fly = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            sim_->RunFrame();
            powerplant_step();
        }
    };
    auto lights_word = [&] {
        uint16_t w = 0;
        sim_->fsuipc().Peek(0x0D0C, &w, sizeof w);
        return w;
    };

    // Cold and dark: no bus but the battery buses, nothing sent as lights.
    NavBeaconSelector.set(1);  // navigation lights selected, nothing feeds them
    fly(60);
    EXPECT_EQ(BusPowered.get(kPoweredRightMainDc), 0);
    EXPECT_EQ(BusPowered.get(kPoweredLeftEssential), 0);
    EXPECT_EQ(lights_word(), 0);
    EXPECT_EQ(HostVariables[kHvSpool1].value, 0.0);

    // Battery master: the right main, both essential and both avionics buses
    // on the main battery; the left main bus, and with it the navigation
    // lights, stay dark. The panel-lights bit goes out at once.
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    fly(15);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 26);
    EXPECT_EQ(BusPowered.get(kPoweredLeftEssential), 1);
    EXPECT_EQ(BusPowered.get(kPoweredRightEssential), 1);
    EXPECT_EQ(AcBusPowered.get(2), 1);
    EXPECT_EQ(AcBusPowered.get(3), 1);
    EXPECT_EQ(BusPowered.get(kPoweredLeftMainDc), 0);
    EXPECT_EQ(ExteriorNavLights, 0);
    EXPECT_EQ(lights_word(), 0x20);
    EXPECT_TRUE(Lit(2, 7));  // "#1 DC GEN"
    EXPECT_TRUE(Lit(2, 8));  // "#2 DC GEN"
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    MasterCautionAck.set(1);
    fly(3);
    ASSERT_EQ(MasterCautionFlag.get(), 0);

    // Generator switches on, then the pilot starts both engines in the
    // simulator. Bounded: the stand-in's start takes about 20 s.
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    model.StartEngine(-1);
    uint64_t on_line_frame = 0;
    for (int i = 0; i < 30 * 60 && on_line_frame == 0; ++i) {
        fly(1);
        if (DcGenerator1OnLine.get() != 0 && DcGenerator2OnLine.get() != 0 &&
            AcGenerator1OnLine.get() != 0 && AcGenerator2OnLine.get() != 0) {
            on_line_frame = sim_->frame();
        }
    }
    ASSERT_NE(on_line_frame, 0u) << "Nh " << model.state().engines[0].nh << " / "
                                 << model.state().engines[1].nh << ", rpm "
                                 << model.state().engines[0].prop_rpm;
    EXPECT_TRUE(model.state().engines[0].combustion);
    EXPECT_TRUE(model.state().engines[1].combustion);
    fly(15);
    // DC generators above 53 % Nh (24 V), AC generators above 633 rpm.
    EXPECT_GT(Nh1State.nh, 53.2f);
    EXPECT_GT(PropRpm[1], 633.0);
    EXPECT_EQ(BusVolts.get(kLeftMainBus), 27);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 27);
    EXPECT_EQ(AcBusPowered.get(0), 1);
    EXPECT_EQ(AcBusPowered.get(1), 1);
    EXPECT_EQ(BusPowered.get(kPoweredLeftSecondary), 1);
    EXPECT_EQ(BusPowered.get(kPoweredRightSecondary), 1);
    for (int column : {7, 8}) {
        EXPECT_FALSE(Lit(2, column)) << column;
        EXPECT_FALSE(Lit(3, column)) << column;
    }
    // The left main bus feeds the navigation lights now.
    EXPECT_EQ(ExteriorNavLights, 1);
    EXPECT_EQ(lights_word(), 0x21);
    // Turning propellers unplug the ground cart; the doors close.
    EXPECT_EQ(ExternalPowerHoldCountdown, 256);
    EXPECT_EQ(DoorOpenLevel, 0);
    MasterCautionAck.set(1);
    fly(3);
    ASSERT_EQ(MasterCautionFlag.get(), 0);

    // The pilot switches the right DC generator off: its caution and the
    // master caution light; acknowledged, the master caution goes out while
    // the caution stays. The bus tie keeps both main buses up.
    DcGenerator2Switch.set(0);
    fly(4);
    EXPECT_EQ(DcGenerator2OnLine.get(), 0);
    EXPECT_TRUE(Lit(2, 8));
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    EXPECT_EQ(MainBusTieClosed.get(), 255);
    EXPECT_EQ(BusVolts.get(kRightMainBus), 27);
    MasterCautionAck.set(1);
    fly(2);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    EXPECT_TRUE(Lit(2, 8));
    DcGenerator2Switch.set(255);
    fly(4);
    EXPECT_FALSE(Lit(2, 8));

    // The instructor fails the left AC generator: its caution lights and
    // the master caution with it, until acknowledged.
    ElectricsInstructorStates[kElecLeftAcGen] = 255;
    fly(4);
    EXPECT_EQ(AcGenerator1OnLine.get(), 0);
    EXPECT_TRUE(Lit(3, 7));  // "#1 AC GEN"
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    MasterCautionAck.set(1);
    fly(2);
    EXPECT_EQ(MasterCautionFlag.get(), 0);
    EXPECT_TRUE(Lit(3, 7));
    ElectricsInstructorStates[kElecLeftAcGen] = 0;
    fly(4);
    EXPECT_FALSE(Lit(3, 7));

    // The state file the stand-in writes lists the lights word as the
    // module sent it: nothing while dark, the panel lights with the battery,
    // the navigation lights with the generators, and nothing more while the
    // word stays as it is; the simulator holds the last word.
    const auto file = tmp_.path() / "state.json";
    std::string error;
    ASSERT_TRUE(simhost::WriteStateJson(file, *sim_, nullptr, &error)) << error;
    const nlohmann::json state = ReadJson(file);
    // (The counts per offset cover the whole flight, whatever the window of
    // recent writes still holds.)
    nlohmann::json lights;
    for (const auto& w : state["fsuipc"]["write_counts"]) {
        if (w["offset"].get<uint32_t>() == 0x0D0C) lights = w;
    }
    ASSERT_FALSE(lights.is_null());
    // While the module starts, the caution and clock gauges' refresh group
    // blinks the panel-lights bit; after that only the two changes count.
    std::vector<std::pair<uint64_t, std::string>> after_start;
    for (const auto& w : state["fsuipc"]["writes"]) {
        if (w["offset"].get<uint32_t>() != 0x0D0C) continue;
        if (w["frame"].get<uint64_t>() > 60) {
            after_start.emplace_back(w["frame"].get<uint64_t>(), w["hex"].get<std::string>());
        }
    }
    ASSERT_EQ(after_start.size(), 2u);
    EXPECT_EQ(after_start[0].second, "2000");
    EXPECT_EQ(after_start[1].second, "2100");
    EXPECT_EQ(lights["last_hex"], "2100");
    EXPECT_LE(lights["last_frame"].get<uint64_t>(), on_line_frame);
    EXPECT_EQ(lights_word(), 0x21);
    EXPECT_TRUE(state["aircraft"]["engines"][0]["running"].get<bool>());
    EXPECT_TRUE(state["aircraft"]["engines"][1]["running"].get<bool>());
}

}  // namespace
}  // namespace zu::e2e
