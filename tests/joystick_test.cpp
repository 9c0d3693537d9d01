// The joystick in a running module: the stand-in's scripted stick, read by
// the module and written to the simulator's control inputs.
#include "zu/platform/joystick.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/joystick_input.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "e2e_support.h"
#include "module_state.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

using simhost::Simulator;
using simhost::SimulatorConfig;

class JoystickFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        platform::SelectJoystick(platform::JoystickKind::kScripted);
        platform::ScriptedJoystickPlug(true);
        for (int a = 0; a < 8; ++a) platform::ScriptedJoystickSetAxis(a, 0);
        aircraft_ = CopySampleAircraft(tmp_.path());
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        EXPECT_EQ(platform::ScriptedJoystickOpenHandles(), 0);
        platform::ScriptedJoystickPlug(true);
        DINPUT_USE = 0;
        RudderInputInhibit = 0;
        JoystickRudderOut = 0;
    }
    void Start(bool use_joystick) {
        if (use_joystick) {
            WriteFile(
                aircraft_ / "ini" / "Kvx4f700.ini",
                "[Dirarov]\nSTAMP=15\n[DINPUT]\nUSE=1\nailerons_axis_num=0\nelevator_axis_num=1\n"
                "rudder_axis_num=5\n");
        }
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.documents_dir = tmp_.path() / "Documents";
        sim_ = std::make_unique<Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        Frames(30);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    int16_t Offset16(uint32_t offset) const {
        int16_t v = 0;
        sim_->fsuipc().Peek(offset, &v, sizeof v);
        return v;
    }
    size_t WritesTo(uint32_t offset, uint64_t from_frame) const {
        size_t n = 0;
        for (const auto& w : sim_->fsuipc().Writes()) {
            n += (w.offset == offset && w.frame >= from_frame) ? 1 : 0;
        }
        return n;
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(JoystickFlight, StickDrivesTheControlInputs) {
    ASSERT_NO_FATAL_FAILURE(Start(true));
    ASSERT_EQ(DINPUT_USE, 1);
    ASSERT_EQ(JoystickReady, 1);
    // Propellers turning: the hydraulic systems feed the rudders, which are
    // then not inhibited.
    PropRpm[0] = PropRpm[1] = 1200.0;
    Frames(40);
    ASSERT_EQ(RudderInputInhibit, 0);
    platform::ScriptedJoystickSetAxis(0, 4096);
    Frames(1);
    EXPECT_EQ(Offset16(0x0BB6), 6000);
    // The simulator's aileron events roll towards its positive bank (left).
    EXPECT_NEAR(sim_->model().state().aileron, -6000 / 16383.0, 1e-9);
    platform::ScriptedJoystickSetAxis(0, 16383);
    platform::ScriptedJoystickSetAxis(1, 8192);  // e = -8192 + 8192
    Frames(1);
    EXPECT_EQ(Offset16(0x0BB6), 16383);
    EXPECT_EQ(Offset16(0x0BB2), 0);

    // Nose-wheel steering beyond 300 replaces the stick's rudder: with the
    // buses powered, the steering switch on, parked and hydraulic pressure
    // (pinned each frame against the hydraulic step) the full aileron the
    // stick commands steers the nose wheel to its limit (-15000), which,
    // with the joystick in use, is added to the stick's centred rudder axis
    // and reversed.
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    HydraulicsState.SystemPressure[0] = 3000;
    std::string error;
    ASSERT_TRUE(sim_->Click(*sim_->FindGauge("Pilot_Panel"), 1, false, &error)) << error;
    for (int i = 0; i < 20; ++i) {
        HydraulicsState.SystemPressure[0] = 3000;
        Frames(1);
    }
    ASSERT_EQ(NoseSteeringSwitch, 255);
    ASSERT_EQ(JoystickRudderAxis, 0);
    EXPECT_EQ(JoystickRudderOut, 15000);
    EXPECT_EQ(Offset16(0x0BBA), 15000);
    // An inhibited rudder input is not written at all: both rudder
    // actuators fail.
    HydraulicsInstructorStates[kHydElemRudder1] = kHydFailInoperative;
    HydraulicsInstructorStates[kHydElemRudder2] = kHydFailInoperative;
    RudderInputInhibit = 1;
    const uint64_t from = sim_->frame() + 1;
    Frames(3);
    EXPECT_EQ(WritesTo(0x0BBA, from), 0u);
    EXPECT_EQ(WritesTo(0x0BB6, from), 3u);
}

TEST_F(JoystickFlight, UnpluggedStickHoldsItsOutputsAndComesBack) {
    ASSERT_NO_FATAL_FAILURE(Start(true));
    platform::ScriptedJoystickSetAxis(0, 4096);
    Frames(1);
    platform::ScriptedJoystickPlug(false);
    platform::ScriptedJoystickSetAxis(0, -4096);
    Frames(10);
    EXPECT_EQ(Offset16(0x0BB6), 6000);
    platform::ScriptedJoystickPlug(true);
    Frames(1);
    EXPECT_EQ(Offset16(0x0BB6), -6000);
}

TEST_F(JoystickFlight, StartIsRetriedUntilAStickIsThere) {
    platform::ScriptedJoystickPlug(false);
    ASSERT_NO_FATAL_FAILURE(Start(true));
    EXPECT_EQ(JoystickReady, 0);
    EXPECT_EQ(platform::ScriptedJoystickOpenHandles(), 0);
    platform::ScriptedJoystickPlug(true);
    Frames(1);
    EXPECT_EQ(JoystickReady, 1);
    EXPECT_EQ(platform::ScriptedJoystickOpenHandles(), 1);
}

TEST_F(JoystickFlight, WithoutTheSettingNothingIsWritten) {
    ASSERT_NO_FATAL_FAILURE(Start(false));
    EXPECT_EQ(JoystickReady, 0);
    EXPECT_EQ(WritesTo(0x0BB6, 0), 0u);
    EXPECT_EQ(WritesTo(0x0BC0, 0), 0u);
}

}  // namespace
}  // namespace zu::e2e
