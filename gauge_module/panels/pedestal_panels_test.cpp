// Unit tests of the engine-control, fuel, autofeather and landing gear
// panels: their handlers, visibility routines and element callbacks, called
// as the simulator calls them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cabin_link/cabin_test_support.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/gauge_table.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "instruments/engine_instruments.h"
#include "instruments/gauge_framework.h"
#include "panels/engine_control_panels.h"
#include "panels/gear_panel.h"

namespace zu {
namespace {

std::vector<std::pair<uint32_t, uint32_t>> g_events;
void FakeTrigger(uint32_t event, uint32_t value) {
    g_events.emplace_back(event, value);
}

gauge::GaugeHeader* Gauge(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

// Element k of a gauge, counted after its always-shown plate.
gauge::ElementHeader* Element(gauge::GaugeHeader* g, int k) {
    return ElementListWalk(g->element_list[0], k + 1);
}
bool Shown(gauge::GaugeHeader* g, int k) {
    return (Element(g, k)->image_flags & gauge::kImageHidden) == 0;
}
bool Lit(gauge::GaugeHeader* g, int k) {
    return (Element(g, k)->image_flags & gauge::kImageLuminous) != 0;
}
std::string Text(gauge::GaugeHeader* g, int k) {
    gauge::ElementHeader* e = Element(g, k);
    e->callback(e);
    return StringBuffer(e);
}

class PedestalPanels : public cabin_test::CabinSoundTest {
  protected:
    void SetUp() override {
        CabinSoundTest::SetUp();
        Start();
        TakeEvents();
        table_.slot[gauge::kSlotTriggerKeyEvent] = reinterpret_cast<void*>(&FakeTrigger);
        saved_panels_ = ImportTable.panels;
        ImportTable.panels = &table_;
        g_events.clear();
        Reset();
        egc_ = Gauge("EGC_panel");
        fuel_ = Gauge("FUEL_panel");
        af_ = Gauge("Autofeather_panel");
        gear_ = Gauge("Gear");
        for (gauge::GaugeHeader* g : {egc_, fuel_, af_, gear_}) {
            g->parameters = "";
            g->gauge_callback(g, gauge::kServiceInstall, 0);
        }
    }
    void TearDown() override {
        ImportTable.panels = saved_panels_;
        Reset();
        CabinSoundTest::TearDown();
    }
    static void Reset() {
        for (auto& r : RefreshCountdown) r = 0;
        PowerplantState = {};
        EgcSwitch[0] = EgcSwitch[1] = 0;
        FuelSystemState = {};
        FuelQtyTestCountdown = 0;
        Autofeather = {};
        SystemTimers = {};
        SystemTimers2 = {};
        GearStates = {};
        GearLegLight[0] = GearLegLight[1] = GearLegLight[2] = 0;
        GearWarningTestCount = 0;
        GearWarningRequest = 0;
        GearWarningSwitchUp = 0;
        GearTransitCountdown = 0;
        flight_controls_GEAR = 16383;
    }
    static void Settle() { platform::AudioRender(nullptr, 44100 / 4); }
    static std::vector<std::string> Played() {
        Settle();
        std::vector<std::string> out;
        for (const Event& e : TakeEvents()) {
            if (e.kind == platform::AudioEventKind::Play) out.push_back(e.file);
        }
        return out;
    }
    static void Click(gauge::GaugeHeader* g, int rect) {
        g->mouse_rect[rect].handler(nullptr, gauge::kMouseLeftSingle);
    }
    // One update with the panels' group running.
    static void Refresh(gauge::GaugeHeader* g) {
        RefreshCountdown[kRefreshRadios] = RefreshHoldCount;
        g->gauge_callback(g, gauge::kServiceUpdate, 0);
    }

    gauge::PanelServiceTable table_{};
    gauge::PanelServiceTable* saved_panels_ = nullptr;
    gauge::GaugeHeader* egc_ = nullptr;
    gauge::GaugeHeader* fuel_ = nullptr;
    gauge::GaugeHeader* af_ = nullptr;
    gauge::GaugeHeader* gear_ = nullptr;
};

TEST_F(PedestalPanels, EgcKnobStopsAtItsEndsSilentlyButStillReevaluates) {
    Click(egc_, 1);  // left at 0
    EXPECT_EQ(PowerplantState.EgcSelector, 0);
    EXPECT_TRUE(Played().empty());
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount);
    Click(egc_, 2);
    EXPECT_EQ(Played().size(), 1u);
    Click(egc_, 2);
    EXPECT_EQ(Played().size(), 1u);
    EXPECT_EQ(PowerplantState.EgcSelector, 2);
    RefreshCountdown[kRefreshRadios] = 0;
    Click(egc_, 2);  // right at 2
    EXPECT_EQ(PowerplantState.EgcSelector, 2);
    EXPECT_TRUE(Played().empty());
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount);
    // The pointer: 0, 60, 112; anything else 0.
    gauge::ElementHeader* knob = Element(egc_, 2);
    EXPECT_DOUBLE_EQ(knob->callback(knob), 112.0);
    PowerplantState.EgcSelector = 1;
    EXPECT_DOUBLE_EQ(knob->callback(knob), 60.0);
    PowerplantState.EgcSelector = 7;
    EXPECT_DOUBLE_EQ(knob->callback(knob), 0.0);
}

TEST_F(PedestalPanels, EgcButtonTogglesManualDipsTheTorqueAndTheLegendsFollow) {
    RefreshCountdown[kRefreshRadios] = 0;
    Click(egc_, 4);
    EXPECT_EQ(EgcSwitch[1], 1);
    EXPECT_EQ(EgcSwitch[0], 0);
    EXPECT_EQ(PowerplantState.TorqueDipCountdown[1], 23);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], 0);  // the buttons do not re-arm
    EXPECT_TRUE(Played().empty());
    EXPECT_EQ(Text(egc_, 4), "");  // unpowered: all dark
    EXPECT_EQ(Text(egc_, 7), "");
    Power(kPoweredLeftEssential);
    EXPECT_EQ(Text(egc_, 4), "ON");
    EXPECT_EQ(Text(egc_, 6), "");
    EXPECT_EQ(Text(egc_, 5), "");
    EXPECT_EQ(Text(egc_, 7), "MAN");
    Click(egc_, 4);
    EXPECT_EQ(EgcSwitch[1], 0);
    EXPECT_EQ(Text(egc_, 5), "ON");
}

TEST_F(PedestalPanels, LampTestLightsEveryEngineControlFuelAndAutofeatherLamp) {
    AnnunciatorTestSwitch.set(2);
    Power(kPoweredRightEssential);
    for (gauge::GaugeHeader* g : {egc_, fuel_, af_}) Refresh(g);
    EXPECT_TRUE(Shown(egc_, 8));
    EXPECT_TRUE(Shown(fuel_, 9));
    EXPECT_TRUE(Shown(fuel_, 10));
    EXPECT_TRUE(Shown(af_, 14));
    EXPECT_TRUE(Shown(af_, 15));
    // Without the bus the test shows nothing.
    Power(kPoweredRightEssential, false);
    for (gauge::GaugeHeader* g : {egc_, fuel_, af_}) Refresh(g);
    EXPECT_FALSE(Shown(egc_, 8));
    EXPECT_FALSE(Shown(fuel_, 9));
    EXPECT_FALSE(Shown(af_, 15));
    // The EGC lamp also shows while an autofeather runs.
    AnnunciatorTestSwitch.set(0);
    Autofeather.feather[1] = 40;
    Refresh(egc_);
    EXPECT_TRUE(Shown(egc_, 8));
    EXPECT_EQ(AutofeatherWord(1), 255);
    EXPECT_EQ(AutofeatherWord(0), 0);
}

TEST_F(PedestalPanels, PanelsShowTheirLitOverlayOnlyOutsideTheVirtualCockpit) {
    PanelLightingCircuit2.set(1);
    Refresh(egc_);
    Refresh(fuel_);
    EXPECT_TRUE(Shown(egc_, 1));
    EXPECT_TRUE(Shown(egc_, 3));
    EXPECT_FALSE(Shown(egc_, 2));
    EXPECT_FALSE(Shown(egc_, 0));
    EXPECT_TRUE(Lit(fuel_, 8));
    egc_->parameters = "VC";
    Refresh(egc_);
    EXPECT_FALSE(Shown(egc_, 1));
    EXPECT_TRUE(Shown(egc_, 2));
    egc_->parameters = "";
}

TEST_F(PedestalPanels, FuelSelectorPumpsAndValveLegends) {
    Click(fuel_, 1);
    EXPECT_EQ(FuelSystemState.transfer_switch, -1);
    EXPECT_EQ(Played().size(), 1u);
    Refresh(fuel_);
    EXPECT_TRUE(Shown(fuel_, 7));
    EXPECT_FALSE(Shown(fuel_, 6));
    EXPECT_FALSE(Shown(fuel_, 8));
    Click(fuel_, 3);
    Refresh(fuel_);
    EXPECT_TRUE(Shown(fuel_, 6));
    Click(fuel_, 2);
    Refresh(fuel_);
    EXPECT_TRUE(Shown(fuel_, 8));

    Click(fuel_, 5);
    EXPECT_EQ(FuelSystemState.panel_switch[1], 255);
    Refresh(fuel_);
    EXPECT_TRUE(Shown(fuel_, 14));
    EXPECT_FALSE(Shown(fuel_, 13));
    EXPECT_TRUE(Shown(fuel_, 11));
    Click(fuel_, 5);
    EXPECT_EQ(FuelSystemState.panel_switch[1], 0);

    // The pump lamps show the tank valves the fuel step opens.
    FuelSystemState.left_valve = 1;
    Refresh(fuel_);
    EXPECT_TRUE(Shown(fuel_, 9));
    EXPECT_FALSE(Shown(fuel_, 10));

    // Valve legends: CLSD while shut, OPEN while open, dark unpowered.
    EXPECT_EQ(Text(fuel_, 2), "");
    Power(kPoweredLeftEssential);
    EXPECT_EQ(Text(fuel_, 2), "CLSD");
    EXPECT_EQ(Text(fuel_, 4), "");
    FuelSystemState.transfer_valve[0] = 1;
    EXPECT_EQ(Text(fuel_, 2), "");
    EXPECT_EQ(Text(fuel_, 4), "OPEN");
    EXPECT_EQ(Text(fuel_, 3), "CLSD");
}

TEST_F(PedestalPanels, FuelTestButtonReloadsTheTestWhileHeld) {
    EXPECT_NE(fuel_->mouse_rect[6].mouse_flags & gauge::kMouseLeftRepeat, 0u);
    Click(fuel_, 6);
    EXPECT_EQ(FuelQtyTestCountdown, 135);
    FuelQtyTestCountdown = 10;
    fuel_->mouse_rect[6].handler(nullptr, gauge::kMouseLeftRepeat);
    EXPECT_EQ(FuelQtyTestCountdown, 135);
}

TEST_F(PedestalPanels, AutofeatherSelectNeedsPowerAndTestSwitchesClearIt) {
    Click(af_, 1);
    EXPECT_EQ(Autofeather.select, 0);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount2);  // re-evaluated anyway
    Power(kPoweredRightMainDc);
    Click(af_, 1);
    EXPECT_EQ(Autofeather.select, 1);
    Refresh(af_);
    EXPECT_TRUE(Shown(af_, 3));   // SLCT
    EXPECT_FALSE(Shown(af_, 2));  // ARM
    Autofeather.armed = 1;
    Refresh(af_);
    EXPECT_TRUE(Shown(af_, 2));
    EXPECT_EQ(Text(af_, 2), "ARM");
    EXPECT_EQ(Text(af_, 3), "SLCT");

    // A test switch turned on starts its lamp; off while the other is off
    // too clears the selection.
    Click(af_, 2);
    EXPECT_EQ(Autofeather.test[0], 255);
    EXPECT_EQ(Autofeather.test_light[0], 100);
    Click(af_, 3);
    EXPECT_EQ(Autofeather.test[1], 255);
    Click(af_, 2);
    EXPECT_EQ(Autofeather.test[0], 0);
    EXPECT_EQ(Autofeather.select, 1);  // the other is still on
    Click(af_, 3);
    EXPECT_EQ(Autofeather.select, 0);
    Refresh(af_);
    EXPECT_TRUE(Shown(af_, 5));
    EXPECT_FALSE(Shown(af_, 4));
}

TEST_F(PedestalPanels, SpringSwitchReturnsToCentreAndKeepsThePanelRunningUntilThen) {
    Click(af_, 4);  // spring switch 1 up
    EXPECT_EQ(Autofeather.feather_switch[0], 1);
    EXPECT_EQ(SystemTimers2.AutofeatherReturn[0], 100);
    Click(af_, 7);  // spring switch 2 down
    EXPECT_EQ(Autofeather.feather_switch[1], -1);
    // The group's count runs out long before the switch's 100 evaluations
    // (as with other gauges of the group counting it down): the panel keeps
    // it running.
    RefreshCountdown[kRefreshRadios] = 1;
    int evaluations = 0;
    for (int frame = 0; frame < 300 && Autofeather.feather_switch[0] != 0; ++frame) {
        af_->gauge_callback(af_, gauge::kServiceUpdate, 0);
        RefreshCountdown[kRefreshRadios] = std::min(RefreshCountdown[kRefreshRadios], 2);
        ++evaluations;
        if (frame == 0) {
            EXPECT_TRUE(Shown(af_, 8));
            EXPECT_TRUE(Shown(af_, 13));
        }
    }
    EXPECT_EQ(evaluations, 100);
    EXPECT_EQ(Autofeather.feather_switch[1], 0);
    af_->gauge_callback(af_, gauge::kServiceUpdate, 0);
    EXPECT_TRUE(Shown(af_, 9));
    EXPECT_TRUE(Shown(af_, 12));
    EXPECT_FALSE(Shown(af_, 8));
}

TEST_F(PedestalPanels, GearLampTestLightsAllNineAndTheLever) {
    AnnunciatorTestSwitch.set(2);
    Power(kPoweredLeftMainDc);
    Power(kPoweredLeftEssential);
    Refresh(gear_);
    for (int k = 3; k <= 12; ++k) EXPECT_TRUE(Shown(gear_, k)) << k;
    Power(kPoweredLeftEssential, false);
    Refresh(gear_);
    EXPECT_TRUE(Shown(gear_, 3));  // the lever light has its own bus
    for (int k = 4; k <= 12; ++k) EXPECT_FALSE(Shown(gear_, k)) << k;
}

TEST_F(PedestalPanels, GearLampsReadTheSequenceByCaption) {
    Power(kPoweredLeftMainDc);
    Power(kPoweredLeftEssential);
    GearStates.in_transit[kGearStateLeft] = 1;  // "L DOOR"
    GearStates.disagree[kGearStateRight] = 1;   // lower " RIGHT"
    GearStates.disagree[kGearStateNose] = 1;    // lower " NOSE " and the lever light
    GearLegLight[0] = 1;                        // the nose leg: middle " NOSE "
    GearStates.nose_door = 1;
    Refresh(gear_);
    const bool expected[13] = {false, false, false, true,  true, false, false,
                               false, true,  false, false, true, true};
    for (int k = 3; k <= 12; ++k) EXPECT_EQ(Shown(gear_, k), expected[k]) << k;
    EXPECT_TRUE(Shown(gear_, 13));
    EXPECT_FALSE(Shown(gear_, 14));
    // The legends' texts, in element order.
    const char* texts[9] = {"L DOOR", "N DOOR", "R DOOR", " LEFT ", " NOSE ",
                            " RIGHT", " LEFT ", " NOSE ", " RIGHT"};
    for (int l = 0; l < 9; ++l) EXPECT_EQ(Text(gear_, 4 + l), texts[l]);
}

TEST_F(PedestalPanels, GearLeverAsksTheSimulatorAndFollowsTheGear) {
    Click(gear_, 1);
    ASSERT_EQ(g_events.size(), 1u);
    EXPECT_EQ(g_events[0].first, 0x10022u);
    EXPECT_EQ(g_events[0].second, 255u);
    EXPECT_EQ(flight_controls_GEAR, 16383);  // only the gear sequence moves it
    EXPECT_DOUBLE_EQ(GearLeverValue(nullptr), 0.0);
    flight_controls_GEAR = 0;
    EXPECT_DOUBLE_EQ(GearLeverValue(nullptr), -16383.0);
    // In the virtual cockpit the lever is hidden and the lamps still work.
    AnnunciatorTestSwitch.set(2);
    Power(kPoweredLeftEssential);
    gear_->parameters = "VC";
    Refresh(gear_);
    for (int k = 1; k <= 3; ++k) EXPECT_FALSE(Shown(gear_, k)) << k;
    EXPECT_TRUE(Shown(gear_, 4));
    gear_->parameters = "";
}

TEST_F(PedestalPanels, WarningSwitchUpShowsTwiceAndTheTestHoldsItDown) {
    Click(gear_, 2);
    EXPECT_EQ(GearWarningRequest, 1);
    EXPECT_EQ(GearWarningSwitchUp, 1);
    EXPECT_EQ(Played().size(), 1u);
    Refresh(gear_);
    EXPECT_TRUE(Shown(gear_, 15));
    Refresh(gear_);
    EXPECT_TRUE(Shown(gear_, 15));
    Refresh(gear_);
    EXPECT_TRUE(Shown(gear_, 16));
    EXPECT_FALSE(Shown(gear_, 15));

    Click(gear_, 4);
    EXPECT_EQ(GearWarningTestCount, 64);
    // The test keeps the panel running and shows the switch down until the
    // gear step has counted it out.
    RefreshCountdown[kRefreshRadios] = 0;
    gear_->gauge_callback(gear_, gauge::kServiceUpdate, 0);
    EXPECT_TRUE(Shown(gear_, 17));
    GearWarningTestCount = 0;
    Refresh(gear_);
    EXPECT_TRUE(Shown(gear_, 16));
    Click(gear_, 3);
    EXPECT_EQ(GearWarningSwitchUp, 0);
}

TEST_F(PedestalPanels, GearLegendsStartDarkForTheFirstDraws) {
    AnnunciatorTestSwitch.set(2);
    Power(kPoweredLeftEssential);
    Refresh(gear_);
    EXPECT_TRUE(Shown(gear_, 4));
    gear_->gauge_callback(gear_, gauge::kServiceDraw, 0);
    EXPECT_FALSE(Shown(gear_, 4));
}

}  // namespace
}  // namespace zu
