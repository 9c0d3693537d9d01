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

#include "cabin_link/instructor_state_exchange.h"
#include "core/cabin_doors.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "e2e_support.h"
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
        ColdAircraft();
        aircraft_ = CopySampleAircraft(tmp_.path());
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        sim_ = std::make_unique<Simulator>(cfg);
        std::string error;
        ASSERT_TRUE(sim_->AttachModule(&Linkage, &ImportTable, &error)) << error;
        ASSERT_TRUE(sim_->LoadAircraft(&error)) << error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
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
        for (const auto& w : state["fsuipc"]["writes"]) {
            if (w["offset"].get<uint32_t>() == 0x0D0C) {
                low = static_cast<int>(
                    std::strtol(w["hex"].get<std::string>().substr(0, 2).c_str(), nullptr, 16));
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
    EXPECT_EQ(BusPowered.get(kMainBatteryBus), 1);
    for (DcBus bus : {kRightMainBus, kLeftMainBus, kRightEssentialBus, kLeftEssentialBus,
                      kRightSecondaryBus, kLeftSecondaryBus}) {
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
    EXPECT_EQ(BusPowered.get(kRightMainBus), 1);
    EXPECT_EQ(BusPowered.get(kRightEssentialBus), 1);
    EXPECT_EQ(BusPowered.get(kLeftEssentialBus), 1);
    EXPECT_EQ(BusPowered.get(kLeftMainBus), 0);
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
    EXPECT_EQ(BusPowered.get(kLeftSecondaryBus), 1);
    EXPECT_EQ(AcBusPowered.get(0), 1);
    EXPECT_FALSE(Lit(2, 7));
    EXPECT_FALSE(Lit(3, 7));
    // With engines running the doors close and their lights go out.
    EXPECT_EQ(DoorOpenLevel, 0);
    EXPECT_FALSE(Lit(6, 7));
}

TEST_F(ElectricalFlight, MasterCautionForAnElectricalFaultGoesOutOnAcknowledge) {
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    Nh1State.nh = Nh2State.nh = 70.0f;
    PropRpm[0] = PropRpm[1] = 1000.0;
    Frames(30);
    MasterCautionAck.set(1);
    MasterWarningAck.set(1);
    Frames(3);
    ASSERT_EQ(MasterCautionFlag.get(), 0);
    ASSERT_FALSE(Lit(2, 7));

    // The instructor fails the left DC generator.
    ElectricsInstructorStates[21] = 255;
    Frames(4);
    EXPECT_EQ(DcGenerator1OnLine.get(), 0);
    EXPECT_TRUE(Lit(2, 7));
    EXPECT_EQ(MasterCautionFlag.get(), 1);
    EXPECT_EQ(ElectricalChangeFlag, 1);  // set on every pass while the flag is up

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
    EXPECT_EQ(BusPowered.get(kLeftMainBus), 1);
    EXPECT_EQ(ExteriorNavLights, 1);
    const int low = LastLightsByte();
    ASSERT_NE(low, -1);
    EXPECT_EQ(low & 0x01, 0x01);  // navigation lights

    NavBeaconSelector.set(0);
    Frames(10);
    EXPECT_EQ(ExteriorNavLights, 0);
    EXPECT_EQ(LastLightsByte() & 0x01, 0);
}

}  // namespace
}  // namespace zu::e2e
