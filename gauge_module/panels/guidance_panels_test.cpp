// Unit tests of the glare-shield guidance panels (autopilot, ID809, AL801,
// GPWS, RNAV), driven as the simulator drives them: the update service,
// then the callbacks of the elements that are shown; clicks through the
// gauges' own mouse rectangles.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/gauge_table.h"
#include "core/radio_altitude_alerting.h"
#include "core/systems_tick.h"
#include "instruments/gauge_framework.h"
#include "panels/al801_panel.h"
#include "panels/autopilot_panel.h"
#include "panels/id809_panels.h"
#include "panels/rnav_panels.h"

namespace zu {
namespace {

gauge::GaugeHeader* TableGauge(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

gauge::ElementHeader* Element(gauge::GaugeHeader* g, int k) {
    return ElementListWalk(g->element_list[0], k);
}

bool Shown(gauge::GaugeHeader* g, int k) {
    return ElementShown(g->element_list[0], k);
}

std::string Text(gauge::GaugeHeader* g, int k) {
    return StringBuffer(Element(g, k));
}

// One frame of a gauge: its update service, then the callbacks of its
// shown elements in list order.
void Frame(gauge::GaugeHeader* g) {
    g->gauge_callback(g, gauge::kServiceUpdate, 0);
    for (gauge::ElementHeader* e = g->element_list[0]; e != nullptr; e = e->next_element[0]) {
        if ((e->image_flags & gauge::kImageHidden) != 0) continue;
        if (e->callback != nullptr) e->callback(e);
        if (e->type == gauge::ElementType::MovingImage) {
            auto* mi = reinterpret_cast<gauge::MovingImageElement*>(e);
            if (mi->y_callback != nullptr) mi->last_y = mi->y_callback(e);
        }
    }
}

// Clicks the n-th child rectangle (1 = the first after the parent).
void Click(gauge::GaugeHeader* g, int n) {
    gauge::Point p{0, 0};
    g->mouse_rect[n].handler(&p, gauge::kMouseLeftSingle);
}

class GuidancePanels : public testing::Test {
  protected:
    void SetUp() override {
        std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
        for (int i = 0; i < kRefreshGroups; ++i) RefreshCountdown[i] = 0;
        for (auto& r : ApButtonRequest) r.store(0);
        ApKnob.store(0);
        RnavRequest1.store(0);
        RnavRequest2.store(0);
        TickCounter.store(1000);
        HostPassChangeBits = 0;
        RemoteDisplayCountdown.store(0);
        FGC_comp_AP1_engaged = FGC_comp_AP2_engaged = 0;
        FGC_comp_YD1_engaged = FGC_comp_YD2_engaged = 0;
        FgcSide1.coupled_side = 1;
        FgcSide1.nav_select_side = 1;
        FGC_comp_AP1_vertical_mode = FGC_comp_AP2_vertical_mode = 5;
        FGC_comp_AP1_lateral_mode = FGC_comp_AP2_lateral_mode = 7;
        FGC_comp_AP1_vertical_armed_mode_1 = FGC_comp_AP2_vertical_armed_mode_1 = 0;
        FGC_comp_AP1_vertical_armed_mode_2 = 0;
        FGC_comp_AP1_dual_approach_mode = 0;
        FmaFlags1[0] = FmaFlags1[1] = FmaFlags2[0] = FmaFlags2[1] = 0;
        FgcFlags1[1] = 0;
        FgcSide2Flags[1] = 0;
        for (FgcMessageStateRecord* m : {&FgcMessageState1, &FgcMessageState2}) {
            m->code.store(0);
            m->upper_time = 0;
            m->code3_flag = 0;
            m->lower_time = 0;
        }
        std::memset(FgcMessageLines, 0, sizeof FgcMessageLines);
        FgcSide1.fma = {};
        AIRDATA_comp_selected_alt = 0;
        GpwsFlags[0] = 0;
        GpwsPanelState[0] = GpwsPanelState[1] = 0;
        GpwsAlertFlag = 0;
    }
    void Refresh(int32_t group) { RefreshCountdown[group] = RefreshHoldCount; }
};

// ---------------------------------------------------------------------------
// Autopilot mode-select panel

TEST_F(GuidancePanels, AutopilotLampsFollowPowerTestAndGuidance) {
    gauge::GaugeHeader* ap = TableGauge("Autopilot");
    PanelLightingCircuit4.set(255);
    AnnunciatorTestSwitch.set(2);
    Refresh(kRefreshSelectors);
    Frame(ap);
    EXPECT_TRUE(Shown(ap, 0)) << "the overlay follows the lighting without power";
    for (int lamp = 1; lamp <= 8; ++lamp) EXPECT_FALSE(Shown(ap, lamp)) << lamp;

    BusPowered.set(kPoweredRightMainDc, 1);
    Refresh(kRefreshSelectors);
    Frame(ap);
    for (int lamp = 1; lamp <= 8; ++lamp) EXPECT_TRUE(Shown(ap, lamp)) << "test, lamp " << lamp;

    AnnunciatorTestSwitch.set(0);
    PanelLightingCircuit4.set(0);
    FGC_comp_AP1_engaged = 1;
    FGC_comp_YD2_engaged = 1;
    FgcSide1.coupled_side = 3;  // dual approach: both sides coupled
    FgcSide1.nav_select_side = 2;
    Refresh(kRefreshSelectors);
    Frame(ap);
    EXPECT_FALSE(Shown(ap, 0));
    const bool expected[9] = {false, true, false, false, true, true, true, false, true};
    for (int lamp = 1; lamp <= 8; ++lamp) EXPECT_EQ(Shown(ap, lamp), expected[lamp]) << lamp;
}

TEST_F(GuidancePanels, AutopilotLampsWaitForTheirRefreshGroup) {
    gauge::GaugeHeader* ap = TableGauge("Autopilot_touch");
    BusPowered.set(kPoweredRightMainDc, 1);
    Refresh(kRefreshSelectors);
    Frame(ap);
    EXPECT_FALSE(Shown(ap, 1));
    RefreshCountdown[kRefreshSelectors] = 0;
    FGC_comp_AP1_engaged = 1;
    Frame(ap);
    EXPECT_FALSE(Shown(ap, 1)) << "no refresh running";
    HostPassChangeBits = 1;  // a host pass change re-arms the group
    Frame(ap);
    HostPassChangeBits = 0;
    EXPECT_TRUE(Shown(ap, 1));
}

TEST_F(GuidancePanels, AutopilotButtonsRaiseTheirRequestBytes) {
    const int byte_of_rectangle[15] = {0, 1, 2, 3, 6, 9, 12, 7, 10, 13, 8, 11, 14, 4, 5};
    for (const char* name : {"Autopilot", "Autopilot_touch"}) {
        gauge::GaugeHeader* ap = TableGauge(name);
        for (int r = 0; r < 15; ++r) {
            for (auto& b : ApButtonRequest) b.store(0);
            RefreshCountdown[kRefreshSelectors] = 0;
            Click(ap, r + 1);
            for (int b = 0; b < kApRequestCount; ++b) {
                EXPECT_EQ(ApButtonRequest[b].load(), b == byte_of_rectangle[r] ? 1 : 0)
                    << name << " rectangle " << r + 1 << " byte " << b;
            }
            EXPECT_EQ(RefreshCountdown[kRefreshSelectors], RefreshHoldCount);
        }
    }
    gauge::GaugeHeader* ap = TableGauge("Autopilot");
    Click(ap, 16);
    Click(ap, 16);
    Click(ap, 17);
    EXPECT_EQ(ApKnob.load(), 1);
}

TEST_F(GuidancePanels, KnobStripShowsTheCountModulo64WithItsSign) {
    gauge::GaugeHeader* ap = TableGauge("Autopilot");
    auto* knob = reinterpret_cast<gauge::MovingImageElement*>(Element(ap, 9));
    ASSERT_EQ(knob->header.type, gauge::ElementType::MovingImage);
    for (auto [count, shown] : {std::pair{-5, -5}, {70, 6}, {-70, -6}, {64, 0}, {63, 63}}) {
        ApKnob.store(count);
        EXPECT_EQ(knob->y_callback(&knob->header), shown) << count;
    }
}

TEST_F(GuidancePanels, TouchKnobStepsByZoneNeighbours) {
    auto drag = [](std::initializer_list<int> zones) {
        const int32_t before = ApKnob.load();
        for (int z : zones) ApTouchZoneMessage(z);
        return ApKnob.load() - before;
    };
    ApTouchZone = 0;
    ApTouchLastTick = -100;  // after a pause
    EXPECT_EQ(drag({1, 2, 3}), -3) << "downwards";
    TickCounter.store(2000);
    EXPECT_EQ(drag({2, 1, 0}), 3) << "upwards";
    EXPECT_EQ(drag({2}), 0) << "zone 0 to 2 is no neighbour";
    EXPECT_EQ(drag({2, 2}), 0) << "staying in a zone";
    EXPECT_EQ(drag({3, 0}), -1) << "no wrap from 3 to 0";
}

TEST_F(GuidancePanels, TouchKnobCountsTenFromTheFourteenthQuickStep) {
    TickCounter.store(5000);
    ApTouchLastTick = 4000;
    int32_t previous = ApKnob.load();
    StepTouchKnob(1);  // after the pause
    EXPECT_EQ(ApKnob.load() - previous, 1);
    for (int quick = 1; quick <= 14; ++quick) {
        TickCounter.store(5000 + quick * 13);  // 13 ticks apart: quick
        previous = ApKnob.load();
        StepTouchKnob(-1);
        EXPECT_EQ(ApKnob.load() - previous, quick < 14 ? -1 : -10) << "quick step " << quick;
    }
    TickCounter.store(5000 + 14 * 13 + 14);  // a pause of 14 ticks
    previous = ApKnob.load();
    StepTouchKnob(1);
    EXPECT_EQ(ApKnob.load() - previous, 1);
}

// ---------------------------------------------------------------------------
// AL801 altitude preselector

TEST_F(GuidancePanels, PreselectorStaysWithinItsRange) {
    gauge::GaugeHeader* al = TableGauge("AL801_Panel");
    AIRDATA_comp_selected_alt = 29500;
    Click(al, 1);  // +1000
    EXPECT_EQ(AIRDATA_comp_selected_alt, 29500);
    EXPECT_EQ(RefreshCountdown[kRefreshRadios], RefreshHoldCount) << "a refused step still arms";
    EXPECT_EQ(RefreshCountdown[kRefreshRmi], RefreshHoldCount);
    Click(al, 2);  // +100
    EXPECT_EQ(AIRDATA_comp_selected_alt, 29600);
    AIRDATA_comp_selected_alt = 50;
    Click(al, 4);  // -100
    EXPECT_EQ(AIRDATA_comp_selected_alt, 50);
    AIRDATA_comp_selected_alt = 1050;
    Click(al, 3);  // -1000
    EXPECT_EQ(AIRDATA_comp_selected_alt, 50);
}

TEST_F(GuidancePanels, PreselectorArmsCaptureOnlyWhileHoldingAltitude) {
    gauge::GaugeHeader* al = TableGauge("AL801_Panel");
    FGC_comp_AP1_vertical_mode = 1;
    FmaFlags1[0] = 1;
    FGC_comp_AP2_vertical_mode = 1;
    Click(al, 2);
    EXPECT_EQ(FGC_comp_AP1_vertical_armed_mode_1, 0) << "side 1 shows a capture";
    EXPECT_EQ(FGC_comp_AP2_vertical_armed_mode_1, 1);
    FmaFlags1[0] = 0;
    FGC_comp_AP2_vertical_armed_mode_1 = 0;
    FGC_comp_AP2_vertical_mode = 2;
    Click(al, 2);
    EXPECT_EQ(FGC_comp_AP1_vertical_armed_mode_1, 1);
    EXPECT_EQ(FGC_comp_AP2_vertical_armed_mode_1, 0) << "side 2 flies vertical speed";
}

TEST_F(GuidancePanels, PreselectorWindowText) {
    gauge::GaugeHeader* al = TableGauge("AL801_Panel");
    auto window = [&] {
        Frame(al);
        return Text(al, 1);
    };
    AIRDATA_comp_selected_alt = 12000;
    EXPECT_EQ(window(), "    ") << "unpowered";
    AnnunciatorTestSwitch.set(2);
    EXPECT_EQ(window(), "    ") << "unpowered during the test";
    BusPowered.set(kPoweredLeftEssential, 1);
    EXPECT_EQ(window(), "888 88");
    AnnunciatorTestSwitch.set(0);
    EXPECT_EQ(window(), "120 00");
    AIRDATA_comp_selected_alt = 99;
    EXPECT_EQ(window(), "    ");
    AIRDATA_comp_selected_alt = 100;
    EXPECT_EQ(window(), "  1 00");
    AIRDATA_comp_selected_alt = 30000;
    EXPECT_EQ(window(), "300 00");
    auto* pointer = reinterpret_cast<gauge::NeedleElement*>(Element(al, 2));
    EXPECT_EQ(pointer->header.callback(&pointer->header), 120.0);
}

TEST_F(GuidancePanels, PreselectorTouchKnobAcceleratesOnQuickSteps) {
    gauge::GaugeHeader* al = TableGauge("AL801_Panel_touch");
    AIRDATA_comp_selected_alt = 5000;
    Al801Touch = {0, 2, 2};
    TickCounter.store(100);
    int32_t before = AIRDATA_comp_selected_alt;
    const int32_t expected[4] = {100, 100, 1000, 1000};
    const int zones[4] = {1, 2, 3, 0};  // clockwise
    for (int i = 0; i < 4; ++i) {
        TickCounter.store(100 + static_cast<uint32_t>(i));
        Click(al, zones[i] + 1);
        EXPECT_EQ(AIRDATA_comp_selected_alt - before, expected[i]) << "step " << i;
        before = AIRDATA_comp_selected_alt;
    }
    TickCounter.store(110);  // after a pause
    Click(al, 4);            // zone 3: counter-clockwise from 0
    EXPECT_EQ(AIRDATA_comp_selected_alt - before, -100);
    before = AIRDATA_comp_selected_alt;
    Click(al, 2);  // zone 1 from 3: no neighbour
    EXPECT_EQ(AIRDATA_comp_selected_alt, before);
}

// ---------------------------------------------------------------------------
// ID809 flight-guidance displays

TEST_F(GuidancePanels, BlockPatternsCoverTheModeText) {
    char block[kId809BlockTextSize];
    std::memset(block, 'g', sizeof block);
    Id809LateralBlocks(block, " WINGS LEVEL", 20);
    EXPECT_EQ(std::string(block, 7), "gggggg ");
    Id809LateralBlocks(block, "HDG", 20);
    EXPECT_EQ(std::string(block, 7), "gg     ");

    Id809VerticalBlocks(block, "ALT     ", 20);  // n = 8: positions 2..4
    EXPECT_EQ(std::string(block, 7), "  ggg  ");
    Id809VerticalBlocks(block, "PITCH  ", 20);  // n = 7: i 0..4 -> 3..5, plus 6
    EXPECT_EQ(std::string(block, 7), "   gggg");

    // A text longer than the pattern: its first characters get no block
    // and nothing outside the buffer is touched.
    char guarded[kId809BlockTextSize + 8];
    std::memset(guarded, '#', sizeof guarded);
    auto& inner = *reinterpret_cast<char(*)[kId809BlockTextSize]>(guarded + 4);
    const char long_text[20] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
                                'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T'};
    Id809VerticalBlocks(inner, long_text, 20);
    EXPECT_EQ(std::string(guarded, 4), "####");
    EXPECT_EQ(std::string(guarded + 4 + kId809BlockTextSize, 4), "####");
    EXPECT_EQ(std::string(inner, 7), "ggggggg");
}

TEST_F(GuidancePanels, Id809ShowsTheSidesLinesAndModes) {
    gauge::GaugeHeader* a = TableGauge("ID809a_Panel");
    gauge::GaugeHeader* b = TableGauge("ID809b_Panel");
    a->gauge_callback(a, gauge::kServiceInstall, 0);
    std::strcpy(FgcMessageLines[0], "AP DISENG");
    std::strcpy(FgcMessageLines[1], "SYSTEM TEST");
    std::strcpy(FgcMessageLines[2], "RIGHT UPPER");
    std::strcpy(FgcMessageLines[4], "ADVISORY");
    std::memset(FgcMessageLines[3], 'X', 20);  // unterminated line of side 2
    std::strcpy(FgcSide1.fma.lateral_armed, "  LOC");
    std::strcpy(FgcSide1.fma.vertical_armed1, "ASEL");
    std::strcpy(FgcSide1.fma.vertical_armed2, "GS* ");
    FGC_comp_AP1_dual_approach_mode = 1;
    FgcMessageState1.code = 2;
    AcBusPowered.set(3, 1);
    Refresh(kRefreshEngineInstruments);
    Frame(a);
    EXPECT_EQ(Text(a, 1), "SYSTEM TEST");
    EXPECT_EQ(Text(a, 2), "ADVISORY");
    EXPECT_EQ(Text(a, 3), "AP DISENG");
    EXPECT_FALSE(Shown(a, 4));
    EXPECT_EQ(Text(a, 5), "  LOC");
    EXPECT_EQ(Text(a, 6), "ASEL") << "glideslope not armed";
    EXPECT_EQ(Text(a, 14), "       ");
    EXPECT_EQ(Text(a, 15), "DUAL    ");
    FGC_comp_AP1_vertical_armed_mode_2 = 2;
    Frame(a);
    EXPECT_EQ(Text(a, 6), "GS* ");
    EXPECT_EQ(Text(a, 14), "ASEL");

    AcBusPowered.set(2, 1);
    Refresh(kRefreshEngineInstruments);
    Frame(b);
    EXPECT_EQ(Text(b, 1), std::string(20, 'X'));
    EXPECT_EQ(Text(b, 3), "RIGHT UPPER");

    AcBusPowered.set(3, 0);
    Refresh(kRefreshEngineInstruments);
    Frame(a);
    for (int k = 1; k <= 15; ++k) EXPECT_FALSE(Shown(a, k)) << "unpowered, element " << k;
}

TEST_F(GuidancePanels, Id809MessageBlinksUntilAcknowledged) {
    gauge::GaugeHeader* a = TableGauge("ID809a_Panel");
    AcBusPowered.set(3, 1);
    std::strcpy(FgcMessageLines[0], "ACFT ON GND");
    FgcMessageState1.code = 3;
    FgcMessageState1.code3_flag = 1;  // the blink's bright phase
    Refresh(kRefreshEngineInstruments);
    Frame(a);
    EXPECT_EQ(Text(a, 3), "ACFT ON GND");
    EXPECT_EQ(RefreshCountdown[kRefreshEngineInstruments], RefreshHoldCount - 1)
        << "a new message keeps the display refreshing";
    EXPECT_TRUE(ElementListWalk(a->element_list[0], 9)->image_flags & gauge::kImageLuminous);
    FgcMessageState1.code3_flag = 0;
    Frame(a);
    EXPECT_EQ(Text(a, 3), "");
    Click(a, 1);
    EXPECT_EQ(FgcMessageState1.code, 2);
    FgcMessageState1.code3_flag = 0;
    Frame(a);
    EXPECT_EQ(Text(a, 3), "ACFT ON GND") << "steady once acknowledged";
    Click(a, 1);
    EXPECT_EQ(FgcMessageState1.code, 0);
}

TEST_F(GuidancePanels, Id809NewModeShowsInReverseVideo) {
    gauge::GaugeHeader* a = TableGauge("ID809a_Panel");
    a->gauge_callback(a, gauge::kServiceInstall, 0);
    AcBusPowered.set(3, 1);
    Refresh(kRefreshEngineInstruments);
    std::strcpy(FgcSide1.fma.lateral, " WINGS LEVEL");
    FmaFlags1[1] = 1;
    Frame(a);  // the flag is seen set
    FGC_comp_AP1_lateral_mode = 3;
    FmaFlags1[1] = 0;
    int frames = 0;
    Frame(a);
    EXPECT_EQ(Text(a, 7), "");
    EXPECT_EQ(Text(a, 10), "gggggg");
    EXPECT_EQ(Text(a, 12), " WINGS LEVEL");
    while (Text(a, 7).empty() && frames < 200) {
        Frame(a);
        ++frames;
    }
    EXPECT_NEAR(frames, 76, 1);
    EXPECT_EQ(Text(a, 7), " WINGS LEVEL");
    EXPECT_EQ(Text(a, 10), "");
    EXPECT_EQ(Text(a, 12), "");

    // A flag that drops while no mode is engaged starts nothing.
    FmaFlags1[0] = 1;
    Frame(a);
    FmaFlags1[0] = 0;
    Frame(a);
    EXPECT_EQ(Id809BlankCountdown[0], 0);
}

TEST_F(GuidancePanels, Id809MasterKeysSelectTheMasterSide) {
    gauge::GaugeHeader* b = TableGauge("ID809b_Panel");
    Click(b, 2);
    EXPECT_EQ(FGC_comp_AP_master, 1);
    EXPECT_EQ(ApButtonRequest[15].load(), 1);
    EXPECT_EQ(RefreshCountdown[kRefreshSelectors], RefreshHoldCount);
    Click(b, 3);
    EXPECT_EQ(FGC_comp_AP_master, 2);
}

// ---------------------------------------------------------------------------
// GPWS and RNAV panels

// The panels' lettering weights: the ID809 texts in "Arial Narrow" 700 and
// its block patterns (elements 10 and 11) in "Webdings" 900; the AL801
// window in "Quartz" 700; the RNAV legend in "Small Fonts" 400.
TEST_F(GuidancePanels, TextsCarryTheirFontsAndWeights) {
    const auto font = [](gauge::GaugeHeader* g, int k) {
        const auto* e = reinterpret_cast<const gauge::StringElement*>(Element(g, k));
        return std::string(e->font_name) + " " + std::to_string(e->font_weight);
    };
    for (const char* name : {"ID809a_Panel", "ID809b_Panel"}) {
        gauge::GaugeHeader* g = TableGauge(name);
        for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 12, 13, 14, 15}) {
            EXPECT_EQ(font(g, k), "Arial Narrow 700") << name << " " << k;
        }
        EXPECT_EQ(font(g, 10), "Webdings 900") << name;
        EXPECT_EQ(font(g, 11), "Webdings 900") << name;
    }
    for (const char* name : {"AL801_Panel", "AL801_Panel_touch"}) {
        EXPECT_EQ(font(TableGauge(name), 1), "Quartz 700") << name;
    }
    for (const char* name : {"RNAV1_Panel", "RNAV2_Panel"}) {
        EXPECT_EQ(font(TableGauge(name), 1), "Small Fonts 400") << name;
    }
}

TEST_F(GuidancePanels, GpwsButtonsAndLamps) {
    gauge::GaugeHeader* g = TableGauge("GPWS_Panel");
    Click(g, 1);
    EXPECT_EQ(GpwsFlags[0], 1);
    Click(g, 2);
    EXPECT_EQ(GpwsPanelState[1], 1);
    RefreshCountdown[kRefreshSelectors] = 0;
    GpwsAlertFlag = 1;
    Frame(g);
    EXPECT_TRUE(Shown(g, 1));
    EXPECT_FALSE(Shown(g, 2));
    EXPECT_EQ(RefreshCountdown[kRefreshSelectors], RefreshHoldCount);
    GpwsAlertFlag = 0;
    GpwsPanelState[0] = 1;
    Frame(g);
    EXPECT_FALSE(Shown(g, 1));
    EXPECT_TRUE(Shown(g, 2));
}

TEST_F(GuidancePanels, RnavLegendFlashesWithWarningOrTest) {
    gauge::GaugeHeader* r1 = TableGauge("RNAV1_Panel");
    gauge::GaugeHeader* r2 = TableGauge("RNAV2_Panel");
    BusPowered.set(kPoweredLeftEssential, 1);
    Refresh(kRefreshSelectors);
    TickCounter.store(2);
    Frame(r1);
    EXPECT_FALSE(Shown(r1, 1)) << "no warning";

    AnnunciatorTestSwitch.set(1);
    for (uint32_t tick : {2u, 4u, 6u, 8u}) {
        TickCounter.store(tick);
        Frame(r1);
        Frame(r2);
        EXPECT_EQ(Shown(r1, 1), (tick & 2) != 0) << tick;
        EXPECT_EQ(Shown(r2, 1), (tick & 2) != 0) << tick;
    }
    EXPECT_EQ(Text(r1, 1), "AP DISNG");

    AnnunciatorTestSwitch.set(0);
    FgcSide2Flags[1] = 1;
    TickCounter.store(6);
    Frame(r1);
    Frame(r2);
    EXPECT_FALSE(Shown(r1, 1));
    EXPECT_TRUE(Shown(r2, 1));
    BusPowered.set(kPoweredLeftEssential, 0);
    Frame(r2);
    EXPECT_FALSE(Shown(r2, 1)) << "unpowered";

    Click(r2, 1);
    EXPECT_EQ(RnavRequest1.load(), 1);
    EXPECT_EQ(RnavRequest2.load(), 1);
}

}  // namespace
}  // namespace zu
