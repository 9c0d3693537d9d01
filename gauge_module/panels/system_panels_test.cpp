// Unit tests of the fire-protection panel, the standby hydraulic panel, the
// shut-off panels, the alternate gear pump and the bypass doors: their
// handlers and refresh routines called as the simulator calls them.
#include <gtest/gtest.h>

#include <string>

#include "cabin_link/cabin_test_support.h"
#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/flight_controls.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/ice_protection.h"
#include "core/module_frame.h"
#include "core/systems_test_support.h"
#include "instruments/gauge_framework.h"
#include "panels/alternate_gear_pump.h"
#include "panels/bypass_doors_panel.h"
#include "panels/fire_panel.h"
#include "panels/shutoff_panels.h"
#include "panels/standby_hydraulic_panel.h"

namespace zu {
namespace {

int32_t Click(gauge::MouseRect* rects, int n) {
    return rects[n].handler(nullptr, gauge::kMouseLeftSingle);
}

// Rectangles of the fire panel by the order of its table.
enum FireRect : int {
    kHandle1 = 1,
    kHandle2,
    kDetTest1,
    kDetTest0,
    kDetTest2,
    kExtTest1,
    kExtTest0,
    kExtTest2,
    kExtSel1At1,
    kExtSel1At0,
    kExtSel1At2,
    kExtSel2At1,
    kExtSel2At0,
    kExtSel2At2,
    kLoop1At1,
    kLoop1At0,
    kLoop1At2,
    kLoop2At1,
    kLoop2At0,
    kLoop2At2,
};

class SystemPanels : public SystemsStepTest {
  protected:
    void SetUp() override {
        SystemsStepTest::SetUp();
        FireProtectionState = {};
        FireRefreshCountdown = 0;
        FireTestCountdown = 0;
        for (auto& r : RefreshCountdown) r = 0;
        AnnunciatorTestSwitch.set(0);
        PanelLightingCircuit1.set(0);
        for (auto* b : {RuddersShutoffA, RuddersShutoffB, HydraulicShutoff}) b[0] = b[1] = 0;
        StickPusherShutoff = 0;
        stby_select_[0] = StbyHydPumpSelect[0];
        stby_select_[1] = StbyHydPumpSelect[1];
        toggle_ = StbyPumpToggle;
        alt_gear_ = AltGearState;
        surface_ = ControlSurfacePositions[0];
        fire_.element_list = FirePanelElementList;
    }
    void TearDown() override {
        for (auto* b : {RuddersShutoffA, RuddersShutoffB, HydraulicShutoff}) b[0] = b[1] = 0;
        StickPusherShutoff = 0;
        StbyHydPumpSelect[0] = stby_select_[0];
        StbyHydPumpSelect[1] = stby_select_[1];
        StbyPumpToggle = toggle_;
        AltGearState = alt_gear_;
        ControlSurfacePositions[0] = surface_;
        SystemsStepTest::TearDown();
    }
    // One update of the fire panel with its refresh armed.
    void RefreshFire(const char* parameters = nullptr) {
        fire_.parameters = parameters;
        RefreshCountdown[kRefreshOverhead] = 1;
        FirePanelCallback(&fire_, gauge::kServiceUpdate, 0);
    }
    static bool FireShown(int k) { return ElementShown(FirePanelFirst(), k); }
    static bool FireLit(int k) {
        return (ElementListWalk(FirePanelFirst(), k)->image_flags & gauge::kImageLuminous) != 0;
    }

    gauge::GaugeHeader fire_{};
    int32_t stby_select_[2]{};
    int32_t toggle_ = 0;
    AltGearRecord alt_gear_{};
    float surface_ = 0.0f;
};

// --- Fire panel.

TEST_F(SystemPanels, FireHandlesToggleOnEveryClickAndRearmTheRefresh) {
    Click(FirePanelMouseRect, kHandle2);
    EXPECT_EQ(FireProtectionState.FireHandle[1], 255);
    EXPECT_EQ(FireProtectionState.FireHandle[0], 0);
    EXPECT_EQ(FireRefreshCountdown, RefreshHoldCount);
    FireRefreshCountdown = 0;
    Click(FirePanelMouseRect, kHandle2);
    EXPECT_EQ(FireProtectionState.FireHandle[1], 0);
    EXPECT_EQ(FireRefreshCountdown, RefreshHoldCount);
}

TEST_F(SystemPanels, FireSelectorsTakeTheirPositionsInTableOrder) {
    Click(FirePanelMouseRect, kDetTest2);
    Click(FirePanelMouseRect, kExtSel1At1);
    Click(FirePanelMouseRect, kExtSel2At2);
    Click(FirePanelMouseRect, kLoop1At2);
    Click(FirePanelMouseRect, kLoop2At1);
    const FireProtectionStateRecord& f = FireProtectionState;
    EXPECT_EQ(f.DetectionTestSelector, 2);
    EXPECT_EQ(f.ExtinguisherSelector[0], 1);
    EXPECT_EQ(f.ExtinguisherSelector[1], 2);
    EXPECT_EQ(f.LoopSelector[0], 2);
    EXPECT_EQ(f.LoopSelector[1], 1);
    EXPECT_EQ(f.ExtinguisherTestSelector, 0);
    // The extinguisher test arms its countdown on 1 and 2 and cancels it on 0.
    Click(FirePanelMouseRect, kExtTest2);
    EXPECT_EQ(f.ExtinguisherTestSelector, 2);
    EXPECT_EQ(FireTestCountdown, 7);
    Click(FirePanelMouseRect, kExtTest0);
    EXPECT_EQ(f.ExtinguisherTestSelector, 0);
    EXPECT_EQ(FireTestCountdown, 0);
}

TEST_F(SystemPanels, FireLampsFollowTheirWordsAndTheLampTestOnlyWithPower) {
    FireProtectionState.Lamp[kFireLampHandle1Pulled] = 1;   // element 1
    FireProtectionState.Lamp[kFireLampBottle2Engine1] = 1;  // element 8
    RefreshFire();
    for (int k = 1; k <= 12; ++k) EXPECT_EQ(FireShown(k), k == 1 || k == 8) << k;
    // The lamp test lights all twelve, never the handle lamps.
    AnnunciatorTestSwitch.set(2);
    RefreshFire();
    for (int k = 1; k <= 12; ++k) EXPECT_TRUE(FireShown(k)) << k;
    EXPECT_TRUE(FireShown(13));
    EXPECT_FALSE(FireShown(35));
    EXPECT_FALSE(FireShown(36));
    // Without the left essential bus every lamp is dark, test or not.
    Power(kPoweredLeftEssential, false);
    RefreshFire();
    for (int k = 1; k <= 12; ++k) EXPECT_FALSE(FireShown(k)) << k;
}

TEST_F(SystemPanels, FireHandleShowsOneOfFourImages) {
    struct Case {
        int32_t handle;
        int32_t light;
        int shown;
    };
    for (const Case& c : {Case{0, 0, 13}, Case{255, 0, 14}, Case{0, 1, 35}, Case{255, 1, 33}}) {
        FireProtectionState.FireHandle[0] = c.handle;
        FireProtectionState.HandleLight[0] = c.light;
        Power(kPoweredLeftEssential, false);  // the handle lights need no power
        RefreshFire();
        for (int k : {13, 14, 35, 33}) EXPECT_EQ(FireShown(k), k == c.shown) << c.shown;
    }
}

TEST_F(SystemPanels, FireSelectorOutsideItsPositionsChangesNoImage) {
    FireProtectionState.ExtinguisherTestSelector = 2;
    RefreshFire();
    EXPECT_TRUE(FireShown(28));
    EXPECT_FALSE(FireShown(27));
    FireProtectionState.ExtinguisherTestSelector = 5;
    RefreshFire();
    EXPECT_TRUE(FireShown(28));
    EXPECT_FALSE(FireShown(26));
    EXPECT_FALSE(FireShown(27));
    FireProtectionState.ExtinguisherSelector[1] = 1;
    RefreshFire();
    EXPECT_TRUE(FireShown(20));
    EXPECT_FALSE(FireShown(21));
}

TEST_F(SystemPanels, FirePanelLightingAndLoopNeedles) {
    PanelLightingCircuit1.set(1);
    RefreshFire();
    EXPECT_TRUE(FireShown(0));
    EXPECT_TRUE(FireShown(30));
    EXPECT_FALSE(FireShown(29));
    for (int k = 17; k <= 28; ++k) EXPECT_TRUE(FireLit(k)) << k;
    RefreshFire("VC");  // the virtual cockpit is never lit
    EXPECT_FALSE(FireShown(0));
    EXPECT_TRUE(FireShown(31));
    EXPECT_FALSE(FireShown(32));
    for (int k = 17; k <= 28; ++k) EXPECT_FALSE(FireLit(k)) << k;
    EXPECT_EQ(FireLoopSelectorAngle(0), 90.0);
    EXPECT_EQ(FireLoopSelectorAngle(1), 50.0);
    EXPECT_EQ(FireLoopSelectorAngle(2), -220.0);
    EXPECT_EQ(FireLoopSelectorAngle(3), 0.0);
}

TEST_F(SystemPanels, FireRefreshCountdownKeepsThePanelRefreshing) {
    FireRefreshCountdown = 2;
    FirePanelCallback(&fire_, gauge::kServiceUpdate, 0);
    EXPECT_EQ(FireRefreshCountdown, 1);
    EXPECT_EQ(RefreshCountdown[kRefreshOverhead], RefreshHoldCount - 1);
}

// --- Standby hydraulic panel.

TEST_F(SystemPanels, StandbyPumpButtonNeedsSystemOneAbove1500ToGoOn) {
    StbyPumpToggle = 0;
    HydraulicsState.SystemPressure[0] = 1500;
    Click(Stby_hydrMouseRect, 7);
    EXPECT_EQ(StbyPumpToggle, 0);
    EXPECT_EQ(RefreshCountdown[kRefreshHydraulics], 25);
    HydraulicsState.SystemPressure[0] = 1501;
    Click(Stby_hydrMouseRect, 7);
    EXPECT_EQ(StbyPumpToggle, 255);
    HydraulicsState.SystemPressure[0] = 0;  // off works always
    Click(Stby_hydrMouseRect, 7);
    EXPECT_EQ(StbyPumpToggle, 0);
}

TEST_F(SystemPanels, StandbySelectorsSwitchBetweenAutoAndOn) {
    gauge::GaugeHeader g{};
    g.element_list = Stby_hydrElementList;
    StbyHydPumpSelect[0] = 1;
    StbyHydPumpSelect[1] = 1;
    Click(Stby_hydrMouseRect, 2);  // any part of pump 1's selector
    EXPECT_EQ(StbyHydPumpSelect[0], 2);
    Click(Stby_hydrMouseRect, 6);
    EXPECT_EQ(StbyHydPumpSelect[1], 2);
    Click(Stby_hydrMouseRect, 4);
    EXPECT_EQ(StbyHydPumpSelect[1], 1);
    StbyHydrCallback(&g, gauge::kServiceUpdate, 0);
    gauge::ElementHeader* first = StbyHydrFirst();
    EXPECT_FALSE(ElementShown(first, 1));  // the neutral images go
    EXPECT_FALSE(ElementShown(first, 3));
    EXPECT_TRUE(ElementShown(first, 2));  // pump 1 on
    EXPECT_FALSE(ElementShown(first, 6));
    EXPECT_TRUE(ElementShown(first, 7));  // pump 2 auto
    EXPECT_FALSE(ElementShown(first, 4));
}

TEST_F(SystemPanels, StandbyPumpLampNeedsPressureOrAnnunciation) {
    gauge::GaugeHeader g{};
    g.element_list = Stby_hydrElementList;
    HydraulicsState.PtuSwitchFlag = 255;
    HydraulicsState.PtuAutoCommand = 0;
    HydraulicsState.SystemPressure[0] = 400;
    RefreshCountdown[kRefreshHydraulics] = 1;
    StbyHydrCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_FALSE(ElementShown(StbyHydrFirst(), 5));
    HydraulicsState.SystemPressure[0] = 401;
    RefreshCountdown[kRefreshHydraulics] = 1;
    StbyHydrCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_TRUE(ElementShown(StbyHydrFirst(), 5));
    HydraulicsState.PtuSwitchFlag = 0;
    HydraulicsState.PtuAutoCommand = 255;
    Power(kPoweredRightEssential, false);
    RefreshCountdown[kRefreshHydraulics] = 1;
    StbyHydrCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_FALSE(ElementShown(StbyHydrFirst(), 5));
    // The hydraulic timer re-arms the panel.
    SystemTimers.HydraulicTimer = 3;
    StbyHydrCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_EQ(SystemTimers.HydraulicTimer, 2);
    EXPECT_EQ(RefreshCountdown[kRefreshHydraulics], 24);
}

// --- Shut-off panels.

std::string Legend(gauge::ElementCallback cb) {
    gauge::StringElement s{};
    cb(&s.header);
    return s.text;
}

TEST_F(SystemPanels, RollSpoilerLegendsReadOffOnlyWithAnnunciatorPower) {
    Click(Roll_spoilers_shutoffMouseRect, 2);
    EXPECT_EQ(HydraulicShutoff[1], 255);
    EXPECT_EQ(HydraulicShutoff[0], 0);
    EXPECT_EQ(Legend(ShutoffLegendOffRight), "OFF");
    EXPECT_EQ(Legend(ShutoffLegendOffLeft), "");
    Power(kPoweredRightEssential, false);
    EXPECT_EQ(Legend(ShutoffLegendOffRight), "");
    Click(Roll_spoilers_shutoffMouseRect, 2);
    EXPECT_EQ(HydraulicShutoff[1], 0);
}

TEST_F(SystemPanels, RuddersSwitchesInvertTheirBytesLeftToRight) {
    for (int n = 1; n <= 4; ++n) Click(Rudders_shutoffMouseRect, n);
    EXPECT_EQ(RuddersShutoffA[0], 1);
    EXPECT_EQ(RuddersShutoffB[0], 1);
    EXPECT_EQ(RuddersShutoffB[1], 1);
    EXPECT_EQ(RuddersShutoffA[1], 1);
    Click(Rudders_shutoffMouseRect, 3);
    EXPECT_EQ(RuddersShutoffB[1], 0);
    EXPECT_EQ(RefreshCountdown[kRefreshSelectors], 25);
    EXPECT_EQ(Legend(PushOffLegend), "PUSH OFF");
}

TEST_F(SystemPanels, RuddersLegendsFollowTheFailuresSpeedAndSwitches) {
    gauge::GaugeHeader g{};
    g.element_list = Rudders_shutoffElementList;
    auto refresh = [&] {
        RefreshCountdown[kRefreshSelectors] = 1;
        RuddersShutoffCallback(&g, gauge::kServiceUpdate, 0);
    };
    FlightSurfacesInstructorStates[7] = 1;
    FlightSurfacesInstructorStates[2] = 1;
    ControlSurfacePositions[0] = -0.02f;
    IndicatedAirspeed = 139.0f;
    refresh();
    gauge::ElementHeader* first = RuddersShutoffFirst();
    EXPECT_TRUE(ElementShown(first, 1));
    EXPECT_FALSE(ElementShown(first, 2));
    EXPECT_TRUE(ElementShown(first, 3));
    EXPECT_TRUE(ElementShown(first, 4));
    EXPECT_EQ(RefreshCountdown[kRefreshSelectors], 25);  // legend 3 keeps it refreshing
    IndicatedAirspeed = 140.0f;
    refresh();
    EXPECT_FALSE(ElementShown(first, 3));
    RuddersShutoffA[1] = 1;  // switch 4 pushed off
    refresh();
    EXPECT_FALSE(ElementShown(first, 4));
    Power(kPoweredRightEssential, false);
    refresh();
    for (int k = 1; k <= 4; ++k) EXPECT_FALSE(ElementShown(first, k)) << k;
}

TEST_F(SystemPanels, StickPusherLegendShowsWhileSwitchedOffWithPower) {
    gauge::GaugeHeader g{};
    g.element_list = StickPusher_shutoffElementList;
    Click(StickPusher_shutoffMouseRect, 1);
    EXPECT_EQ(StickPusherShutoff, 1);
    RefreshCountdown[kRefreshSelectors] = 1;
    StickPusherShutoffCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_TRUE(ElementShown(StickPusherShutoffFirst(), 1));
    Power(kPoweredRightEssential, false);
    RefreshCountdown[kRefreshSelectors] = 1;
    StickPusherShutoffCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_FALSE(ElementShown(StickPusherShutoffFirst(), 1));
}

// --- Alternate gear pump and bypass doors.

TEST_F(SystemPanels, AlternateGearPumpCountsItsRequestsDownToOne) {
    gauge::GaugeHeader g{};
    g.element_list = Alternate_Gear_PumpElementList;
    AltGearState.pump[0] = 3;
    AltGearState.pump[1] = 1;
    GearTransitCountdown = 0;
    for (int i = 0; i < 4; ++i) {
        RefreshCountdown[kRefreshHydraulics] = 1;
        AlternateGearPumpCallback(&g, gauge::kServiceUpdate, 0);
    }
    EXPECT_EQ(AltGearState.pump[0], 1);
    EXPECT_EQ(AltGearState.pump[1], 1);
    gauge::ElementHeader* first = Alternate_Gear_PumpElementList[0];
    for (int k = 0; k <= 10; ++k) EXPECT_EQ(ElementShown(first, k), k == 0 || k == 9) << k;
}

// Without a refresh and with no second pump request, the panel still
// re-evaluates while the gear is in transit.
TEST_F(SystemPanels, AlternateGearPumpReEvaluatesWhileTheGearTravels) {
    gauge::GaugeHeader g{};
    g.element_list = Alternate_Gear_PumpElementList;
    RefreshCountdown[kRefreshHydraulics] = 0;
    AltGearState.pump[0] = 5;
    AltGearState.pump[1] = 0;
    GearTransitCountdown = 0;
    AlternateGearPumpCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_EQ(AltGearState.pump[0], 5);
    GearTransitCountdown = 40;
    AlternateGearPumpCallback(&g, gauge::kServiceUpdate, 0);
    AlternateGearPumpCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_EQ(AltGearState.pump[0], 3);
    GearTransitCountdown = 0;
}

TEST_F(SystemPanels, BypassDoorLightsFollowTheirOwnBuses) {
    gauge::GaugeHeader g{};
    g.element_list = Bypass_doorsElementList;
    const int32_t was = IceProtectionState.BypassDoorSwitch[1];
    Click(Bypass_doorsMouseRect, 2);
    EXPECT_EQ(IceProtectionState.BypassDoorSwitch[1], 255 - was);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount);
    AnnunciatorTestSwitch.set(2);
    Power(kPoweredLeftSecondary, false);
    IceProtectionState.DoorPosition[0] = 0;
    IceProtectionState.DoorPosition[1] = 255;
    RefreshCountdown[kRefreshRadios] = 1;
    BypassDoorsCallback(&g, gauge::kServiceUpdate, 0);
    gauge::ElementHeader* first = BypassDoorsFirst();
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(ElementShown(first, k), k >= 4) << k;
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], 0);
    // A travelling door keeps the panel refreshing.
    AnnunciatorTestSwitch.set(0);
    IceProtectionState.DoorLamp[1][kDoorLampOpen] = 0;
    IceProtectionState.DoorPosition[1] = 200;
    RefreshCountdown[kRefreshRadios] = 1;
    BypassDoorsCallback(&g, gauge::kServiceUpdate, 0);
    EXPECT_FALSE(ElementShown(first, 6));
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount);
}

// --- Click sounds.

class SystemPanelSounds : public cabin_test::CabinSoundTest {
  protected:
    void SetUp() override {
        CabinSoundTest::SetUp();
        Start();
        TakeEvents();
        fire_ = FireProtectionState;
        FireProtectionState = {};
    }
    void TearDown() override {
        FireProtectionState = fire_;
        FireRefreshCountdown = 0;
        FireTestCountdown = 0;
        CabinSoundTest::TearDown();
    }
    FireProtectionStateRecord fire_{};
};

TEST_F(SystemPanelSounds, FireSelectorsClickOnlyWhenTheyMove) {
    // The sounds a click starts (each click's sound has ended before the
    // next).
    auto clicked = [](int rect) {
        Click(FirePanelMouseRect, rect);
        std::vector<std::string> plays = TakePlays();
        platform::AudioRender(nullptr, 44100 / 4);
        return plays;
    };
    using Plays = std::vector<std::string>;
    EXPECT_EQ(clicked(kDetTest0), Plays{});  // already at 0
    EXPECT_EQ(FireRefreshCountdown, RefreshHoldCount);
    EXPECT_EQ(clicked(kDetTest1), Plays{"click_switch_small.wav"});
    EXPECT_EQ(clicked(kLoop2At2), Plays{"click_tiny.wav"});
    EXPECT_EQ(clicked(kLoop2At2), Plays{});
    EXPECT_EQ(clicked(kHandle1), Plays{"click_tiny.wav"});
    EXPECT_EQ(clicked(kHandle1), Plays{"click_tiny.wav"});  // pushed back in, clicks again
}

}  // namespace
}  // namespace zu
