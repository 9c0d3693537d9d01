#include "panels/ahrs_panels.h"

#include <cstring>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "instruments/gauge_framework.h"
#include "panels/ahrs_panel_layout.h"
#include "panels/panel_elements.h"

namespace zu {

uint8_t AhrsPanelIsVc[2] = {0, 0};

double AhrsSlewKnobValue(const AhrsRecord& ahrs) {
    return 45.0 * ahrs.slew_switch - 90.0;
}

namespace {

using gauge::ElementHeader;
using gauge::NeedleElement;
using gauge::StringElement;
namespace al = ahrs_layout;

constexpr int32_t kAhrsClickPan = 1365;
constexpr int32_t kSlewLimit = 2;
// The lamp test of the other panel lamps (the caution test is 1).
constexpr int32_t kLampTest = 2;

AhrsRecord& Ahrs(int side) {
    return side == 0 ? Ahrs1 : Ahrs2;
}

// ---------------------------------------------------------------------------
// Elements

// Legends 1..5: each callback copies its fixed text.
template <int L>
double LegendText(ElementHeader* element) {
    std::strncpy(StringBuffer(element), al::kLegendText[L], kStringBufferSize - 1);
    return 0.0;
}

template <int Side>
double SlewKnob(ElementHeader*) {
    return AhrsSlewKnobValue(Ahrs(Side));
}

constexpr StringElement Legend(int i, ElementHeader** next, gauge::ElementCallback callback) {
    const al::Box b = al::LegendBox(i);
    const uint32_t colour = i == 3 ? kAhrsLegendGreen : kAhrsLegendAmber;
    const TextStyle style{"Arial", al::kLegendFontHeight, colour, 0x00000000u, 1};
    // The legends are their own light.
    return TextRecord(b.x, b.y, b.width, b.height, style,
                      gauge::kImageHidden | gauge::kImageTransparent | gauge::kImageLuminous, next,
                      callback);
}

constexpr NeedleElement Knob(bool lit, ElementHeader** next, gauge::ElementCallback callback) {
    constexpr int32_t half = al::kKnobBitmap / 2;
    return NeedleRecord(lit ? al::kKnobLit : al::kKnobUnlit, al::kKnobX, al::kKnobY, {half, half},
                        lit ? kLitCopy : 0u, next, 0, callback);
}

// Backdrop (the unlit plate), then 0 lit overlay, 1..5 legends, 6/7 slew
// knob unlit/lit.
struct PanelElements {
    ElementHeader plate;
    ElementHeader lit;
    StringElement legend[al::kLegendCount];
    NeedleElement knob_unlit;
    NeedleElement knob_lit;
    ElementHeader* next[9][2];
};

template <int Side>
constexpr PanelElements MakePanel(PanelElements* self) {
    return {StaticImageRecord(al::kPlateUnlit, 0, 0, 0, self->next[0]),
            StaticImageRecord(al::kPlateLit, 0, 0, kLitCopy, self->next[1]),
            {Legend(0, self->next[2], LegendText<0>), Legend(1, self->next[3], LegendText<1>),
             Legend(2, self->next[4], LegendText<2>), Legend(3, self->next[5], LegendText<3>),
             Legend(4, self->next[6], LegendText<4>)},
            Knob(false, self->next[7], SlewKnob<Side>),
            Knob(true, self->next[8], SlewKnob<Side>),
            {{&self->lit, nullptr},
             {&self->legend[0].header, nullptr},
             {&self->legend[1].header, nullptr},
             {&self->legend[2].header, nullptr},
             {&self->legend[3].header, nullptr},
             {&self->legend[4].header, nullptr},
             {&self->knob_unlit.header, nullptr},
             {&self->knob_lit.header, nullptr},
             {nullptr, nullptr}}};
}

constinit PanelElements gPanel1 = MakePanel<0>(&gPanel1);
constinit PanelElements gPanel2 = MakePanel<1>(&gPanel2);
gauge::GaugeHeader* gHeader[2] = {nullptr, nullptr};

PanelElements& Panel(int side) {
    return side == 0 ? gPanel1 : gPanel2;
}

// ---------------------------------------------------------------------------
// Visibility

enum LegendElement : int32_t { kDg = 1, kSlave = 2, kFast = 3, kBasic = 4, kAuxPower = 5 };
constexpr int32_t kLitOverlay = 0;
constexpr int32_t kKnobUnlit = 6;
constexpr int32_t kKnobLit = 7;

void AhrsPanelVisibility(int side) {
    const ElementList list(&Panel(side).lit);
    const bool lit = PanelLit(PanelLightingCircuit2.get(), AhrsPanelIsVc[side]);
    ShowElement(list, kLitOverlay, lit);
    ShowElement(list, kKnobLit, lit);
    ShowElement(list, kKnobUnlit, !lit);

    const AhrsRecord& a = Ahrs(side);
    const bool test =
        Powered(BusPowered.get(kPoweredRightEssential)) && AnnunciatorTestSwitch.get() == kLampTest;
    const bool powered = a.powered != 0;
    auto legend = [&](int32_t k, bool flag) { ShowElement(list, k, (flag && powered) || test); };
    legend(kDg, a.gyro_mode != 0);
    legend(kSlave, a.aligned != 0 && a.gyro_mode == 0);
    legend(kFast, a.fast_align_request != 0);
    legend(kBasic, a.test != 0);
    legend(kAuxPower, a.standby != 0);
}

// ---------------------------------------------------------------------------
// Mouse handlers: the change, the click, the group re-armed.

void ClickAndHold() {
    ClickAndArm(kSoundClickTiny, kAhrsClickPan, kRefreshRadios, RefreshHoldCount);
}

template <int Side, int Step>
int32_t SlewStep(gauge::Point*, uint32_t) {
    AhrsRecord& a = Ahrs(Side);
    int32_t slew = a.slew_switch + Step;
    if (slew < -kSlewLimit) slew = -kSlewLimit;
    if (slew > kSlewLimit) slew = kSlewLimit;
    a.slew_switch = slew;
    ClickAndHold();
    return 0;
}

template <int Side>
int32_t DgButton(gauge::Point*, uint32_t) {
    AhrsRecord& a = Ahrs(Side);
    if (a.powered != 0) a.gyro_mode = a.gyro_mode != 0 ? 0 : 1;
    ClickAndHold();
    return 0;
}

template <int Side>
int32_t FastButton(gauge::Point*, uint32_t) {
    AhrsRecord& a = Ahrs(Side);
    a.fast_align_request = (a.fast_align_request == 0 && a.align_countdown != 0) ? 1 : 0;
    ClickAndHold();
    return 0;
}

template <int Side>
int32_t AlignButton(gauge::Point*, uint32_t) {
    AhrsRecord& a = Ahrs(Side);
    if (a.powered != 0) a.align_countdown = kAhrsAlignTicks;
    ClickAndHold();
    return 0;
}

constexpr gauge::MouseRect Rect(al::Box b, uint32_t cursor, uint32_t events,
                                gauge::MouseHandler handler) {
    return MouseChild(b.x, b.y, b.width, b.height, cursor, events, handler);
}

// ---------------------------------------------------------------------------
// Gauge callback

// The panel keeps re-evaluating its legends through the whole alignment and
// during the air-data and flight-guidance tests. The whole alignment
// includes the fine alignment after the align countdown: its 128 ticks
// outlast the group's 300 frames once two gauges of the group count them,
// and the legends would stay at "BASIC" with "SLAVE" dark after the AHRS
// had aligned.
bool Aligning(const AhrsRecord& a) {
    return a.align_countdown != 0 ||
           (a.powered != 0 && a.aligned == 0 && a.fine_align_countdown > 0);
}

bool PanelKeepsRefreshing(int side, bool refresh_all) {
    return Aligning(Ahrs(side)) || AdcTestTimer1 >= 1 || FGC_comp_FGC1_system_test_timer >= 1 ||
           FGC_comp_FGC2_system_test_timer >= 1 || refresh_all;
}

template <int Side>
void AhrsPanelCallback(gauge::GaugeHeader* gauge, int32_t service) {
    switch (service) {
        case gauge::kServiceInstall:
            gHeader[Side] = gauge;
            ArmRefresh(kRefreshRadios, RefreshHoldCount);
            return;
        case kServiceInitialise:
            gHeader[Side] = gauge;
            return;
        case gauge::kServiceUpdate: {
            gHeader[Side] = gauge;
            AhrsPanelIsVc[Side] = GaugeIsVcFrom(gauge);
            const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
            if (PanelKeepsRefreshing(Side, all)) ArmRefresh(kRefreshRadios, RefreshHoldCount);
            if (RefreshGroupStep(kRefreshRadios)) AhrsPanelVisibility(Side);
            return;
        }
        case gauge::kServiceKill:
            PanelKill();
            return;
        default:
            return;
    }
}

template <int Side>
constexpr gauge::MouseRect PanelRect(int n) {
    switch (n) {
        case 0:
            return MouseParent(al::kWidth, al::kHeight);
        case 1:
            return Rect(al::kSlewLeft, kCursorDecrease, kClick, SlewStep<Side, -1>);
        case 2:
            return Rect(al::kSlewRight, kCursorIncrease, kClick, SlewStep<Side, 1>);
        case 3:
            return Rect(al::kDgButton, kCursorHand, kClick, DgButton<Side>);
        case 4:
            return Rect(al::kFastButton, kCursorHand, kClick, FastButton<Side>);
        case 5:
            return Rect(al::kAlignButton, kCursorHand, kHeldClick, AlignButton<Side>);
        default:
            return MouseEnd();
    }
}

}  // namespace

void Ahrs1PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    AhrsPanelCallback<0>(gauge, service);
}
void Ahrs2PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    AhrsPanelCallback<1>(gauge, service);
}

gauge::ElementHeader* AHRS1_PanelElementList[2] = {&gPanel1.plate, nullptr};
gauge::ElementHeader* AHRS2_PanelElementList[2] = {&gPanel2.plate, nullptr};

gauge::MouseRect AHRS1_PanelMouseRect[] = {PanelRect<0>(0), PanelRect<0>(1), PanelRect<0>(2),
                                           PanelRect<0>(3), PanelRect<0>(4), PanelRect<0>(5),
                                           PanelRect<0>(6)};
gauge::MouseRect AHRS2_PanelMouseRect[] = {PanelRect<1>(0), PanelRect<1>(1), PanelRect<1>(2),
                                           PanelRect<1>(3), PanelRect<1>(4), PanelRect<1>(5),
                                           PanelRect<1>(6)};

}  // namespace zu
