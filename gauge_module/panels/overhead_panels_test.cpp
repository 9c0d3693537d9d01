// Unit tests of the overhead, caution and side panels: the bar-graph
// painter on a recording surface, the caution panel's legends, latch and
// flash, the lamps' rules and the switches' handlers, called as the
// simulator calls them.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "cabin_link/instructor_state_exchange.h"
#include "core/air_conditioning.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/powerplant.h"
#include "core/systems_tick.h"
#include "displays/flight_data_recorder.h"
#include "instruments/gauge_framework.h"
#include "instruments/master_lights.h"
#include "panels/caution_panels.h"
#include "panels/electrical_meters.h"
#include "panels/electrical_panels.h"
#include "panels/fdr_switchboard.h"
#include "panels/lighting_panels.h"
#include "panels/side_panels.h"
#include "zu/platform/drawing.h"

namespace zu {
namespace {

using platform::DrawCall;
using platform::DrawRect;

void ClearElectrics() {
    std::memset(Electrics_sys.bytes, 0, kElectricsRecordSize);
    for (int i = 0; i < kRefreshGroups; ++i) RefreshCountdown[i] = 0;
}

gauge::GaugeHeader* TableGauge(const char* name) {
    for (gauge::GaugeHeader& g : GaugeTable) {
        if (std::strcmp(g.name, name) == 0) return &g;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Battery temperature bar graph

struct Recording {
    platform::DrawContext* dc = platform::DrawContextCreateRecording(152, 14);
    ~Recording() { platform::DrawContextDestroy(dc); }
    std::vector<DrawCall> Calls() const {
        const DrawCall* c = platform::DrawRecordedCalls(dc);
        return std::vector<DrawCall>(c, c + platform::DrawRecordedCount(dc));
    }
};

bool Same(const DrawRect& a, const DrawRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class BarGraph : public testing::Test {
  protected:
    void SetUp() override {
        ClearElectrics();
        BusPowered.set(kPoweredRightEssential, 1);
        SystemTimers2 = {};
        BatTempTestMode = 0;
        AirConditioningState = {};
    }
    // Zones of a 152-pixel surface: A = 78, B = 32, C = 110, D = 41, S = 2.
    static constexpr int32_t kA = 78, kB = 32, kC = 110, kD = 41, kS = 2;
    static constexpr int32_t kW = 152, kH = 14;

    // Calls after the background and before the segment cuts.
    static std::vector<DrawCall> Bars(const std::vector<DrawCall>& calls) {
        const size_t cuts = (kW + 2 * kS - 1) / (2 * kS);
        if (calls.size() < 1 + cuts) return {};
        return std::vector<DrawCall>(calls.begin() + 1, calls.end() - static_cast<long>(cuts));
    }
};

TEST_F(BarGraph, FullAndEmptyZonesWithTheSegmentsCut) {
    Recording r;
    PaintBatteryBarGraph(r.dc, kW, kH, 95.0f);  // above 80: full zones
    const std::vector<DrawCall> calls = r.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(Same(calls[0].rect, {0, 0, kW, kH}));
    EXPECT_EQ(calls[0].colour, kBarBackground);
    const std::vector<DrawCall> bars = Bars(calls);
    ASSERT_EQ(bars.size(), 3u);
    // Green grows at A per 35 degrees from 15 and runs on under the yellow
    // and red zones, which are painted over it.
    EXPECT_TRUE(Same(bars[0].rect, {0, 1, 144, kH}));           // trunc(65 / 35 x 78)
    EXPECT_EQ(bars[0].colour, 0x00D000u);                       // green
    EXPECT_TRUE(Same(bars[1].rect, {kA, 1, kA + 2 * kB, kH}));  // 30 / 15 x B
    EXPECT_EQ(bars[1].colour, 0x00D0D0u);                       // yellow
    EXPECT_TRUE(Same(bars[2].rect, {kC, 1, kC + kD, kH}));
    EXPECT_EQ(bars[2].colour, 0x0000D0u);  // red
    // Segments: every other S-wide slice cut back to the background.
    EXPECT_TRUE(Same(calls[calls.size() - 1].rect, {148, 1, 150, kH}));
    EXPECT_TRUE(Same(calls[4].rect, {0, 1, kS, kH}));

    Recording cool;
    PaintBatteryBarGraph(cool.dc, kW, kH, 15.0f);
    EXPECT_TRUE(Bars(cool.Calls()).empty());

    Recording mid;
    PaintBatteryBarGraph(mid.dc, kW, kH, 57.5f);  // half way into yellow
    const std::vector<DrawCall> m = Bars(mid.Calls());
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].rect.right, 94);       // trunc(42.5 / 35 x 78)
    EXPECT_EQ(m[1].rect.right, kA + 16);  // trunc(7.5 / 15 x 32)
}

TEST_F(BarGraph, UnpoweredIsBlankAndNonFiniteTemperaturesDrawNothing) {
    BusPowered.set(kPoweredRightEssential, 0);
    Recording r;
    PaintBatteryBarGraph(r.dc, kW, kH, 80.0f);
    ASSERT_EQ(r.Calls().size(), 1u);
    EXPECT_EQ(r.Calls()[0].colour, kBarBackground);

    BusPowered.set(kPoweredRightEssential, 1);
    Recording n;
    PaintBatteryBarGraph(n.dc, kW, kH, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(Bars(n.Calls()).empty());
    // A surface narrower than 76 pixels still cuts one-pixel segments.
    Recording narrow;
    PaintBatteryBarGraph(narrow.dc, 10, kH, 20.0f);
    EXPECT_EQ(narrow.Calls().back().rect.right - narrow.Calls().back().rect.left, 1);
}

// The graphs repaint when their keys change: temperatures that draw the
// same bars share a key, a pixel more of a bar does not; without
// annunciator power every temperature shows the same blank graph.
TEST_F(BarGraph, KeysChangeWithTheBarsDrawnOnly) {
    const auto key = [](float t) {
        RepaintKeyBuilder k;
        BatteryBarGraphKeyAdd(k, kW, kH, t);
        return k.Key();
    };
    EXPECT_EQ(key(57.5f), key(57.6f));       // green 94, yellow 16 both
    EXPECT_FALSE(key(58.0f) == key(57.5f));  // green 95
    EXPECT_EQ(key(10.0f), key(14.9f));       // no bars
    EXPECT_EQ(key(85.0f), key(95.0f));       // full zones
    EXPECT_FALSE(key(10.0f) == key(16.0f));  // green 2
    BusPowered.set(kPoweredRightEssential, 0);
    EXPECT_EQ(key(20.0f), key(70.0f));
}

TEST_F(BarGraph, TestModesCountTheTestDown) {
    BatTempTestMode = 1;
    SystemTimers2.BatteryTempTest = 128;
    Recording r;
    PaintBatteryBarGraph(r.dc, kW, kH, 20.0f);
    EXPECT_EQ(SystemTimers2.BatteryTempTest, 127);
    std::vector<DrawCall> bars = Bars(r.Calls());
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_TRUE(Same(bars[0].rect, {0, 1, 2 * kA, kH}));
    EXPECT_TRUE(Same(bars[1].rect, {kA, 1, kA + 2 * kB, kH}));
    EXPECT_TRUE(Same(bars[2].rect, {kC, 1, kC + kD, kH}));

    // Fewer than 64 counts left: the yellow mark only.
    SystemTimers2.BatteryTempTest = 64;
    Recording mark;
    PaintBatteryBarGraph(mark.dc, kW, kH, 20.0f);
    bars = Bars(mark.Calls());
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_TRUE(Same(bars[0].rect, {kA, 1, kA + 2, kH - 1}));

    // Mode 2 heats both batteries by 2 a painting, held at 70.
    BatTempTestMode = 2;
    SystemTimers2.BatteryTempTest = 100;
    AirConditioningState.battery_temperature[0] = 20.0f;
    AirConditioningState.battery_temperature[1] = 69.5f;
    Recording heat;
    PaintBatteryBarGraph(heat.dc, kW, kH, 20.0f);
    EXPECT_EQ(AirConditioningState.battery_temperature[0], 22.0f);
    EXPECT_EQ(AirConditioningState.battery_temperature[1], 70.0f);
    EXPECT_EQ(Bars(heat.Calls()).size(), 1u);  // the green bar of 20 degrees
}

// ---------------------------------------------------------------------------
// Caution panel

class CautionPanelTest : public testing::Test {
  protected:
    void SetUp() override {
        ClearElectrics();
        for (int32_t& latch : CautionLatch) latch = 0;
        BusPowered.set(kPoweredRightEssential, 1);
        CautionBrightness.set(255);
        gauge_ = TableGauge("Caution");
        ASSERT_NE(gauge_, nullptr);
        gauge_->gauge_callback(gauge_, gauge::kServiceInstall, 0);
    }
    void Pass() { gauge_->gauge_callback(gauge_, gauge::kServiceUpdate, 0); }
    gauge::ElementHeader* Legend(int row, int column) {
        return CautionPanel.element[row * kCautionColumns + column + 1];
    }
    bool Shown(int row, int column) {
        return (Legend(row, column)->image_flags & gauge::kImageHidden) == 0;
    }
    gauge::GaugeHeader* gauge_ = nullptr;
};

TEST_F(CautionPanelTest, InstallDarkensTheLightsAndTheFirstPassEvaluatesAll) {
    CautionLightArray[CautionIndex(2, 1)] = 1;
    gauge_->gauge_callback(gauge_, gauge::kServiceInstall, 0);
    EXPECT_EQ(CautionLightArray[CautionIndex(2, 1)], 0u);
    EXPECT_EQ(CautionPanel.CautionShownStates[CautionIndex(2, 1)], kCautionUnseenState);
    CautionLightArray[CautionIndex(2, 1)] = 1;
    Pass();
    EXPECT_TRUE(Shown(2, 1));
    EXPECT_FALSE(Shown(0, 0));
    // Power alone does not re-evaluate an unchanged caution light.
    BusPowered.set(kPoweredRightEssential, 0);
    Pass();
    EXPECT_TRUE(Shown(2, 1));
    CautionLightArray[CautionIndex(2, 1)] = 0;
    Pass();
    EXPECT_FALSE(Shown(2, 1));
}

TEST_F(CautionPanelTest, PassesMarkTheBackgroundAndTheLightsForRedraw) {
    gauge::GaugeHeader* large = TableGauge("Caution_Large");
    large->gauge_callback(large, gauge::kServiceInstall, 0);
    Pass();
    large->gauge_callback(large, gauge::kServiceDraw, 0);
    auto set_marks = [](CautionPanelState& panel) {
        for (gauge::ElementHeader* e : panel.element) e->image_flags |= gauge::kImageOnScreen;
    };
    auto marked = [](const gauge::ElementHeader* e) {
        return (e->image_flags & gauge::kImageOnScreen) == 0;
    };
    // Nothing changed: the small panel repaints every light on its
    // background; the large one only its warning row, on its background.
    set_marks(CautionPanel);
    set_marks(CautionLargePanel);
    Pass();
    large->gauge_callback(large, gauge::kServiceDraw, 0);
    EXPECT_TRUE(marked(CautionPanel.element[0]));
    for (int cell = 1; cell <= kCautionLegendCells; ++cell) {
        EXPECT_TRUE(marked(CautionPanel.element[cell])) << cell;
    }
    EXPECT_TRUE(marked(CautionLargePanel.element[0]));
    EXPECT_FALSE(marked(CautionLargePanel.element[2 * kCautionColumns + 1 + 1]));
    EXPECT_TRUE(marked(CautionLargePanel.element[kWarningRow * kCautionColumns + 1]));
    // A caution light that changes is repainted on the large panel too.
    set_marks(CautionLargePanel);
    CautionLightArray[CautionIndex(2, 1)] = 1;
    large->gauge_callback(large, gauge::kServiceDraw, 0);
    EXPECT_TRUE(marked(CautionLargePanel.element[2 * kCautionColumns + 1 + 1]));
    EXPECT_FALSE(marked(CautionLargePanel.element[2 * kCautionColumns + 2 + 1]));
    EXPECT_TRUE(marked(CautionLargePanel.element[0]));
}

TEST_F(CautionPanelTest, TestLightsAllAndItsEndHidesTheDarkLights) {
    AnnunciatorTestSwitch.set(1);
    Pass();
    for (int cell = 0; cell < kCautionLegendCells; ++cell) {
        EXPECT_FALSE(CautionPanel.element[cell + 1]->image_flags & gauge::kImageHidden) << cell;
    }
    AnnunciatorTestSwitch.set(0);
    Pass();
    for (int cell = 0; cell < kCautionLegendCells; ++cell) {
        EXPECT_TRUE(CautionPanel.element[cell + 1]->image_flags & gauge::kImageHidden) << cell;
    }
}

TEST_F(CautionPanelTest, WarningLatchFlashesWithTheMasterWarningUntilAcknowledged) {
    const int door = 7;  // "PASS DOOR"
    CautionLightArray[CautionIndex(kWarningRow, door)] = 255;
    MasterWarningFlash.set(2);
    Pass();
    EXPECT_EQ(CautionLatch[door], 1);
    EXPECT_FALSE(Shown(kWarningRow, door));
    MasterWarningFlash.set(0);
    Pass();
    EXPECT_TRUE(Shown(kWarningRow, door));
    // The acknowledge clears the latch: steady whatever the phase.
    CautionLatch[door] = 0;
    MasterWarningFlash.set(2);
    Pass();
    EXPECT_TRUE(Shown(kWarningRow, door));
    // Going out clears the latch and hides the legend; without power the
    // warning row is dark on the next pass.
    CautionLightArray[CautionIndex(kWarningRow, door)] = 0;
    Pass();
    EXPECT_EQ(CautionLatch[door], 0);
    EXPECT_FALSE(Shown(kWarningRow, door));
    CautionLightArray[CautionIndex(kWarningRow, door)] = 255;
    BusPowered.set(kPoweredRightEssential, 0);
    Pass();
    EXPECT_FALSE(Shown(kWarningRow, door));
}

TEST_F(CautionPanelTest, LegendsAreWrittenFourTimesInTheBrightnessOfTheSwitch) {
    EXPECT_EQ(CautionLegendColour(kLegendAmberBright, 0), kLegendAmberDim);
    EXPECT_EQ(CautionLegendColour(kLegendRedBright, 0), kLegendRedDim);
    EXPECT_EQ(CautionLegendColour(kLegendAmberDim, 255), kLegendAmberBright);
    EXPECT_EQ(CautionLegendColour(kLegendRedDim, 255), kLegendRedBright);
    EXPECT_EQ(CautionLegendColour(kLegendRedDim, 128), kLegendRedDim);  // not 255: dim

    gauge::ElementHeader* e = Legend(2, 1);
    auto* text = reinterpret_cast<gauge::StringElement*>(e);
    CautionBrightnessShown.set(255);
    for (int i = 0; i < 6; ++i) e->callback(e);
    EXPECT_STREQ(text->text, "DC BUS");
    EXPECT_EQ(CautionPanel.CautionLegendWrites[29], kCautionLegendWriteLimit);
    EXPECT_EQ(text->fg_colour, kLegendAmberBright);

    CautionBrightness.set(0);
    Pass();  // the brightness change re-arms the legends and the group
    EXPECT_EQ(CautionBrightnessShown.get(), 0);
    EXPECT_EQ(RefreshCountdown[kRefreshClocksCaution], 8);
    e->image_flags |= gauge::kImageOnScreen;
    e->callback(e);
    EXPECT_EQ(text->fg_colour, kLegendAmberDim);
    EXPECT_EQ(e->image_flags & gauge::kImageOnScreen, 0u);  // marked for redraw
    gauge::ElementHeader* warning = Legend(kWarningRow, 9);
    warning->callback(warning);
    EXPECT_EQ(reinterpret_cast<gauge::StringElement*>(warning)->fg_colour, kLegendRedDim);
    EXPECT_STREQ(reinterpret_cast<gauge::StringElement*>(warning)->text, "MAIN BAT HOT");
}

TEST_F(CautionPanelTest, BothPanelsRewriteTheirLegendsOnOneBrightnessChange) {
    gauge::GaugeHeader* large = TableGauge("Caution_Large");
    large->gauge_callback(large, gauge::kServiceInstall, 0);
    CautionBrightnessShown.set(255);
    Pass();
    large->gauge_callback(large, gauge::kServiceDraw, 0);
    for (int i = 0; i < 4; ++i) {
        ++CautionPanel.CautionLegendWrites[29];
        ++CautionLargePanel.CautionLegendWrites[29];
    }
    CautionBrightness.set(0);
    Pass();                                                // Caution sees the change first ...
    large->gauge_callback(large, gauge::kServiceDraw, 0);  // ... Caution_Large as well
    EXPECT_EQ(CautionPanel.CautionLegendWrites[29], 0);
    EXPECT_EQ(CautionLargePanel.CautionLegendWrites[29], 0);
    gauge::ElementHeader* e = CautionLargePanel.element[30];
    e->callback(e);
    EXPECT_EQ(reinterpret_cast<gauge::StringElement*>(e)->fg_colour, kLegendAmberDim);
    // A restored flight marks the brightness unapplied (-2): both again.
    for (int i = 0; i < 4; ++i) ++CautionLargePanel.CautionLegendWrites[29];
    CautionBrightnessShown.set(-2);
    Pass();
    large->gauge_callback(large, gauge::kServiceDraw, 0);
    EXPECT_EQ(CautionLargePanel.CautionLegendWrites[29], 0);
}

// ---------------------------------------------------------------------------
// Lamps and switches

TEST(OverheadLamps, ExternalPowerLampsAndTheirPanelTest) {
    ClearElectrics();
    ExternalDcSwitch.set(255);
    ExternalDcVoltage.set(27);
    EXPECT_TRUE(ExternalDcLampShown());
    ExternalDcVoltage.set(0);
    EXPECT_FALSE(ExternalDcLampShown());
    AnnunciatorTestSwitch.set(2);
    EXPECT_FALSE(ExternalDcLampShown());
    BusPowered.set(kPoweredRightEssential, 1);
    EXPECT_TRUE(ExternalDcLampShown());

    ExternalAcSwitch.set(255);
    ExternalAcVoltage.set(114);
    AnnunciatorTestSwitch.set(0);
    EXPECT_TRUE(ExternalAcLampShown());  // 255 AND 114 = 114
    ExternalAcSwitch.set(0);
    EXPECT_FALSE(ExternalAcLampShown());
    AnnunciatorTestSwitch.set(2);
    BusVolts.set(kRightEssentialBus, 10);
    EXPECT_FALSE(ExternalAcLampShown());
    BusVolts.set(kRightEssentialBus, 11);
    EXPECT_TRUE(ExternalAcLampShown());
}

TEST(OverheadLamps, PropellerGroundRangeFollowsLeverGroundAndSwitch) {
    ClearElectrics();
    BusPowered.set(kPoweredLeftEssential, 1);
    PropGroundSwitch[0] = 0;
    OnGround = 255;
    PowerLeverPosition[0] = 9000;
    EXPECT_FALSE(PropGroundLampShown(0));
    PowerLeverPosition[0] = 8000;
    EXPECT_TRUE(PropGroundLampShown(0));
    OnGround = 0;
    PowerLeverPosition[0] = 10000;
    EXPECT_TRUE(PropGroundLampShown(0));
    // Position -1 flashes: the blink byte changes on every systems tick, so
    // over eight ticks the lamp alternates, lit on four of them.
    PropGroundSwitch[0] = -1;
    int changes = 0;
    int lit = 0;
    bool shown = PropGroundLampShown(0);
    for (int tick = 0; tick < 8; ++tick) {
        const uint8_t blink = PilotPanelBlink;
        SystemsTick(0, 0, 0, 0, 0);
        if (PilotPanelBlink != blink) ++changes;
        // The tick's electrical and lever steps rework the lamp's inputs.
        BusPowered.set(kPoweredLeftEssential, 1);
        OnGround = 0;
        PowerLeverPosition[0] = 10000;
        const bool now = PropGroundLampShown(0);
        EXPECT_NE(now, shown) << "tick " << tick;
        shown = now;
        lit += now ? 1 : 0;
    }
    EXPECT_EQ(changes, 8);
    EXPECT_EQ(lit, 4);
    PropGroundSwitch[0] = 1;
    PowerLeverPosition[0] = 20000;
    EXPECT_TRUE(PropGroundLampShown(0));
    BusPowered.set(kPoweredLeftEssential, 0);
    EXPECT_FALSE(PropGroundLampShown(0));
    RemoteDisplayCountdown.store(5);
    InstructorDisplayValues.prop_ground_lamp[0] = 1;
    EXPECT_TRUE(PropGroundLampShown(0));
    RemoteDisplayCountdown.store(0);
    InstructorDisplayValues.prop_ground_lamp[0] = 0;
    PropGroundSwitch[0] = 0;
    PilotPanelBlink = 0;
    PowerLeverPosition[0] = 3000;
    OnGround = 0;
}

int32_t ClickRect(const char* gauge, int rect) {
    gauge::GaugeHeader* g = TableGauge(gauge);
    gauge::Point p{0, 0};
    return g->mouse_rect[rect].handler(&p, gauge::kMouseLeftSingle);
}

TEST(OverheadSwitches, ThreePositionSwitchCyclesAndRefusesAnUnsetSelector) {
    ClearElectrics();
    AuxInverterSelectRight.set(255);
    ClickRect("ac_Panel", 3);
    EXPECT_EQ(AuxInverterSelectLeft.get(), 255);
    EXPECT_EQ(AuxInverterSelectRight.get(), 0);
    ClickRect("ac_Panel", 3);
    EXPECT_EQ(AuxInverterSelectOff.get(), 255);
    ClickRect("ac_Panel", 3);
    EXPECT_EQ(AuxInverterSelectRight.get(), 255);
    AuxInverterSelectRight.set(0);
    RefreshCountdown[0] = 0;
    ClickRect("ac_Panel", 3);  // none at 255: nothing moves, the group is armed
    EXPECT_EQ(
        AuxInverterSelectRight.get() | AuxInverterSelectLeft.get() | AuxInverterSelectOff.get(), 0);
    EXPECT_EQ(RefreshCountdown[0], 300);
    // The reset switch arms the group with 64 only.
    ClickRect("battery_panel", 7);
    EXPECT_EQ(DcBusFailureResetSwitch.get(), 255);
    EXPECT_EQ(RefreshCountdown[0], 64);
}

TEST(OverheadSwitches, LightsPanelPositionTwoForcesTheLevel) {
    ClearElectrics();
    Lights_Panel = {0, 0, 0};
    ClickRect("Lights_Panel", 3);  // to 2
    EXPECT_EQ(LightingSelectorF.get(), 255);
    EXPECT_EQ(LightsPanelLevel.get(), 255);
    EXPECT_EQ(RefreshCountdown[kRefreshClocksCaution], 24);
    ClickRect("Lights_Panel", 4);  // the level toggle flips the remembered level
    EXPECT_EQ(Lights_Panel.level, 255);
    EXPECT_EQ(LightsPanelLevel.get(), 255);
    ClickRect("Lights_Panel", 4);
    EXPECT_EQ(Lights_Panel.level, 0);
    EXPECT_EQ(LightsPanelLevel.get(), 255);
    ClickRect("Lights_Panel", 1);  // to 1: the remembered level again
    EXPECT_EQ(LightsPanelLevel.get(), 0);
    EXPECT_EQ(LightingSelectorF.get(), 255);
    ClickRect("Lights_Panel", 5);
    ClickRect("Lights_Panel", 5);
    EXPECT_EQ(LightingSwitchA.get(), 0);
    ClickRect("Lights_Panel", 5);
    EXPECT_EQ(LightingSwitchA.get(), 255);
    Lights_Panel = {0, 0, 0};
}

TEST(OverheadSwitches, MeterSelectorsStopAtTheirEndsButArmTheRefresh) {
    ClearElectrics();
    DcVoltmeterSelector.set(5);
    ClickRect("DcMeterPanel", 1);
    EXPECT_EQ(DcVoltmeterSelector.get(), 5);
    EXPECT_EQ(RefreshCountdown[0], 300);
    ClickRect("DcMeterPanel", 2);
    EXPECT_EQ(DcVoltmeterSelector.get(), 4);
    AcMeterSelector1.set(0);
    ClickRect("AcMeterPanel", 2);
    EXPECT_EQ(AcMeterSelector1.get(), 0);
    // The test button needs power.
    DcMeterTestCountdown = 0;
    ClickRect("DcMeterPanel", 5);
    EXPECT_EQ(DcMeterTestCountdown, 0);
    BusPowered.set(kPoweredLeftEssential, 1);
    ClickRect("DcMeterPanel", 5);
    EXPECT_EQ(DcMeterTestCountdown, 256);
    DcMeterTestCountdown = 0;
}

TEST(OverheadReadouts, ClampedValuesAndTheBlinkingSign) {
    char out[16];
    FormatMeterValue(out, sizeof out, "%2.1f", std::numeric_limits<float>::quiet_NaN());
    EXPECT_STREQ(out, "0.0");
    FormatMeterValue(out, sizeof out, "%2.1f", 1e30f);
    EXPECT_STREQ(out, "999.9");
    FormatMeterValue(out, sizeof out, "%2.1f", -std::numeric_limits<float>::infinity());
    EXPECT_STREQ(out, "0.0");

    // The main battery current readout: the sign shows 8 refreshes of 17.
    ClearElectrics();
    BusPowered.set(kPoweredRightEssential, 1);
    MainBatteryCurrent.set(-12.5f);
    MeterBlinkCounter = 0;
    gauge::ElementHeader* readout = ElementListWalk(DcMeterPanelElementList[0], 8);
    ASSERT_NE(readout, nullptr);
    int with_sign = 0;
    int without = 0;
    for (int i = 0; i < 17; ++i) {
        RefreshCountdown[0] = 5;
        readout->callback(readout);
        const char* text = StringBuffer(readout);
        if (std::strchr(text, '-') != nullptr) {
            ++with_sign;
            EXPECT_STREQ(text, "-12.5");
        } else {
            ++without;
            EXPECT_STREQ(text, " 12.5");
        }
    }
    EXPECT_EQ(with_sign, 8);
    EXPECT_EQ(without, 9);
    BusPowered.set(kPoweredRightEssential, 0);
    RefreshCountdown[0] = 5;
    readout->callback(readout);
    EXPECT_STREQ(StringBuffer(readout), "    ");
    MainBatteryCurrent.set(0.0f);
    RefreshCountdown[0] = 0;
}

TEST(FlightDataRecorder, LightNeedsBothLeftBusesAndTheLightsOff) {
    ClearElectrics();
    FdrPanelSwitch = 0;
    BusPowered.set(kPoweredLeftEssential, 1);
    BusPowered.set(kPoweredLeftMainDc, 1);
    FdrUpdate();
    EXPECT_EQ(CautionLightArray[kFdrCautionIndex], 255u);
    NavBeaconSelector.set(2);
    FdrUpdate();
    EXPECT_EQ(CautionLightArray[kFdrCautionIndex], 0u);
    NavBeaconSelector.set(0);
    FdrPanelSwitch = 1;
    FdrUpdate();
    EXPECT_EQ(CautionLightArray[kFdrCautionIndex], 0u);
    FdrPanelSwitch = 0;
    BusPowered.set(kPoweredLeftEssential, 0);
    FdrUpdate();
    EXPECT_EQ(CautionLightArray[kFdrCautionIndex], 0u);
}

TEST(Callsign, PlateShowsAtMostTwelveCharacters) {
    char saved[sizeof AtcCallsign];
    std::memcpy(saved, AtcCallsign, sizeof saved);
    std::memcpy(AtcCallsign, "ABCDEFGHIJKL", 12);  // no terminating zero
    gauge::ElementHeader* text = ElementListWalk(CALLSIGN_gaugeElementList[0], 1);
    ASSERT_NE(text, nullptr);
    std::memset(StringBuffer(text), 'x', kStringBufferSize);
    text->callback(text);
    EXPECT_STREQ(StringBuffer(text), "ABCDEFGHIJKL");
    std::memcpy(AtcCallsign, saved, sizeof saved);
}

}  // namespace
}  // namespace zu
