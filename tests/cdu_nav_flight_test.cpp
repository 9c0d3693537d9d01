// End to end: a direct-to made on the CDU's DIRECT page is flown by the
// autopilot in NAV with the FMS as its source; at the fix the TO leg
// advances and the aircraft turns onto the next leg. The module is linked
// into the test; the CDU's keys are deposited as its keyboard gauge does.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/flight_guidance.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "e2e_support.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages_nav.h"
#include "fms/flight_plan.h"
#include "fms/fms_lifecycle.h"
#include "fms/nav_database.h"
#include "module_state.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

class CduNavFlight : public testing::Test {
  protected:
    void SetUp() override {
        RestoreLoadedModuleState();
        aircraft_ = CopySampleAircraft(tmp_.path());
        simhost::SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.audio_silent = true;
        sim_ = std::make_unique<simhost::Simulator>(cfg);
        ASSERT_NO_FATAL_FAILURE(StartLinkedModule(*sim_));
        ElectricsEnginesRunning();
    }
    void TearDown() override {
        if (sim_) sim_->Stop();
        RestoreLoadedModuleState();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) sim_->RunFrame();
    }
    template <typename F>
    bool Until(F done, double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 30.0); ++i) {
            if (done()) return true;
            sim_->RunFrame();
        }
        return done();
    }
    void Press(int request) {
        ApButtonRequest[request].store(1);
        for (int i = 0; i < 10 && ApButtonRequest[request].load() != 0; ++i) sim_->RunFrame();
        ASSERT_EQ(ApButtonRequest[request].load(), 0);
    }
    // A key of the CDU, consumed within a few ticks.
    void Key(int32_t code, char ch = 0) {
        CduDepositFunctionKey(code, ch);
        ASSERT_TRUE(Until([] { return FmsFunctionKey.load() == 0; }, 1.0));
        Frames(8);
    }
    // A line-select key (1..10), consumed within a few ticks.
    void LineKey(int32_t k) {
        FmsKeyCode.store(k);
        ASSERT_TRUE(Until([] { return FmsKeyCode.load() == 0; }, 1.0));
        Frames(8);
    }
    void Append(const char* ident) {
        SearchWaypoints(ident, 0, 0.0, 0.0);
        ASSERT_GT(WaypointSearchResults.count, 0) << ident;
        InsertWaypointLeg(WaypointSearchResults.index[0], static_cast<int32_t>(FmsLegCount),
                          &FlightPlan);
    }
    double MagneticHeading() const {
        const simhost::AircraftState& a = sim_->model().state();
        return std::fmod(a.heading_true - a.variation + 360.0, 360.0);
    }

    TempDir tmp_;
    std::filesystem::path aircraft_;
    std::unique_ptr<simhost::Simulator> sim_;
};

TEST_F(CduNavFlight, DirectToAPlanFixIsFlownAndTheToLegAdvancesThroughTheTurn) {
    sim_->model().PlaceOnGround(45.24, 10.0, 300, 0.0);
    Frames(10);
    Powerplants_controls_throttle_limiter = 0;
    ThrottleCommand[0] = ThrottleCommand[1] = 11000.0;
    PropControlDemand[0] = PropControlDemand[1] = 16383;
    Frames(2);
    sim_->model().PlaceAirborne(3000, 160);
    Frames(60);
    ASSERT_EQ(FmsPowered, 1);
    ASSERT_TRUE(Until([] { return Ahrs1.aligned != 0 && Ahrs2.aligned != 0; }, 30.0));

    // XOMBA, XEDIS (6 nm north) and XFODA (east of XEDIS).
    ASSERT_NO_FATAL_FAILURE(Append("XOMBA"));
    ASSERT_NO_FATAL_FAILURE(Append("XEDIS"));
    ASSERT_NO_FATAL_FAILURE(Append("XFODA"));
    FmsInitialised = 1;
    ASSERT_NO_FATAL_FAILURE(Key(kCduKeyNav));
    ASSERT_EQ(CduPage, kCduPageNav);

    // DIRECT, L1, plan leg 2, ENTER.
    ASSERT_NO_FATAL_FAILURE(Key(kCduKeyDirect));
    ASSERT_EQ(CduPage, kCduPageDirect);
    ASSERT_NO_FATAL_FAILURE(LineKey(1));
    ASSERT_NO_FATAL_FAILURE(Key(kCduKeyCharacter, '2'));
    ASSERT_NO_FATAL_FAILURE(Key(kCduKeyEnter));
    ASSERT_EQ(CduPage, kCduPageNav);
    ASSERT_EQ(FmsToLegIndex, 1);
    EXPECT_EQ(FieldText(FmsToLeg.ident), "XEDIS");
    EXPECT_EQ(FieldText(FmsFromLeg.ident), "(PPOS)");

    // The FMS as the navigation source, the autopilot in NAV.
    NavSourceSel1 = kNavFms1;
    FGC_comp_HSI1_heading_sel = 0;
    ASSERT_NO_FATAL_FAILURE(Press(kApRequestAp));
    ASSERT_NO_FATAL_FAILURE(Press(kApRequestHdg));
    ASSERT_NO_FATAL_FAILURE(Press(kApRequestAlt));
    ASSERT_NO_FATAL_FAILURE(Press(kApRequestNav));
    ASSERT_TRUE(Until([] { return FGC_comp_AP1_lateral_mode == kLatNav; }, 60.0));

    // At XEDIS the TO leg becomes XFODA and the aircraft turns east.
    ASSERT_TRUE(Until([] { return FmsToLegIndex == 2; }, 240.0));
    EXPECT_EQ(FieldText(FmsToLeg.ident), "XFODA");
    ASSERT_TRUE(Until([this] { return std::fabs(MagneticHeading() - 90.0) < 25.0; }, 120.0))
        << MagneticHeading();
    // The NAV page shows the new legs.
    CduRedraw = 1;
    Frames(4);
    EXPECT_EQ(std::string(CduScreen.text + 4 * kCduColumns + 3, 5), "XFODA");
}

}  // namespace
}  // namespace zu::e2e
