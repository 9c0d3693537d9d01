#include "instruments/engine_instruments.h"

#include <cmath>
#include <cstdlib>

#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/shared_maths.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "instruments/engine_dials.h"
#include "instruments/gauge_framework.h"
#include "panels/bleed_air_panel.h"

namespace zu {

int32_t EngineTestCountdown[kEngineTestCount] = {};
int32_t FuelQtyTestCountdown = 0;
float TorqueDisplay[2] = {};
float PropRpmDisplay[2] = {};
float NhDisplay[2] = {};
float NlDisplay[2] = {};
float IttDisplay[2] = {};
float IttRaw[2] = {};
int32_t IttCallCount[2] = {};
float FuelFlowValue[2] = {};
float EngineDisplayValue[2] = {};
float OilTempDisplay[2] = {};
float OilPressDisplay[2] = {};
float FuelTankTempDisplay = 0.0f;
gauge::GaugeHeader* EngineGaugeHeader[kEngineIndicatorCount] = {};

namespace {

using gauge::ElementHeader;
using gauge::IconElement;
using gauge::NeedleElement;
using gauge::StringElement;
namespace ed = engine_dials;

// ---------------------------------------------------------------------------
// Inputs

bool Bus(BusPoweredByte b) {
    return BusPowered.get(b) != 0;
}

float Nh(int e) {
    return e == 0 ? Nh1State.nh : Nh2State.nh;
}

bool RemoteDisplay() {
    return RemoteDisplayCountdown.load(std::memory_order_relaxed) > 0;
}

// Bus-powered byte of each needle (the fuel-temperature dial has none; its
// entry is never read).
constexpr BusPoweredByte kIndicatorBus[kEngineIndicatorCount] = {
    kPoweredLeftMainDc,    kPoweredRightEssential,  // torque
    kPoweredLeftEssential, kPoweredRightEssential,  // propeller speed
    kPoweredLeftEssential, kPoweredLeftEssential,   // Nh
    kPoweredLeftEssential, kPoweredRightEssential,  // NL
    kPoweredLeftEssential, kPoweredRightEssential,  // ITT
    kPoweredLeftMainDc,    kPoweredRightMainDc,     // fuel flow
    kPoweredLeftEssential, kPoweredRightEssential,  // oil
    kPoweredLeftEssential, kPoweredRightEssential,  // fuel quantity
    kPoweredRightMainDc,                            // fuel-tank temperature
    kPoweredMainBattery,                            // fuel temperature: not powered
};

// ---------------------------------------------------------------------------
// Tables of TableLookup8: eight ascending x, then eight y (short tables are
// padded with their last point).

constexpr float kPropSpeedTable[16] = {0, 20,    62, 200, 200, 200, 200, 200,
                                       0, 0.13f, 1,  1,   1,   1,   1,   1};
constexpr float kHotStartTable[16] = {200,  400,  600,  1000, 1200, 1200, 1200, 1200,
                                      1.0f, 1.5f, 1.5f, 1.1f, 1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kIttStartTable[16] = {10,     15,     20,     45,    50,   60,   65,    75,
                                      0.375f, 0.625f, 0.875f, 0.75f, 1.0f, 1.0f, 1.02f, 1.0f};
constexpr float kIttNhTable[16] = {68,     85, 100, 100, 100, 100, 100, 100,
                                   0.615f, 1,  1,   1,   1,   1,   1,   1};
constexpr float kIttAltitudeTable[16] = {0,        4000,     8000,     12000,    16000,    20000,
                                         25000,    25000,    1.04851f, 1.04851f, 1.09873f, 1.14516f,
                                         1.17745f, 1.22203f, 1.36802f, 1.36802f};
constexpr float kFuelFlowSpeedTable[16] = {0,    350,   600,   700,  800,  1200, 1200, 1200,
                                           0.5f, 0.55f, 0.85f, 0.9f, 1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kFuelFlowAltitudeTable[16] = {
    0,        4000,     8000,     12000,    16000,    20000,    25000,   25000,
    0.81662f, 0.81662f, 0.83707f, 0.83648f, 0.90292f, 0.92906f, 1.0125f, 1.0125f};

constexpr double kIttHotStartScale = 0.28357191609231774;
constexpr double kIttStartFactor = 0.46704;
constexpr double kIttBleedOnFactor = 0.393114;
constexpr double kIttBleedOffFactor = 0.3892;

// ---------------------------------------------------------------------------
// Readouts

// "%4u" of the value truncated toward zero; 0 below zero; a single blank
// while unpowered.
void WriteReadout(ElementHeader* element, bool powered, double value) {
    char* text = StringBuffer(element);
    if (!powered) {
        text[0] = ' ';
        text[1] = '\0';
        return;
    }
    unsigned shown = 0;
    if (value > 0) shown = value < 4294967295.0 ? static_cast<unsigned>(value) : 4294967295u;
    FormatInteger(text, kStringBufferSize, shown, 4, ' ');
}

// The torque dial's reference needle and readout.
bool TorqueReadoutPowered() {
    return Bus(kPoweredRightEssential) || Bus(kPoweredLeftEssential);
}

// ---------------------------------------------------------------------------
// Needles

bool TestRunning(int32_t* countdown) {
    if (*countdown <= 0) return false;
    --*countdown;
    return true;
}

template <int E>
double TorqueNeedle(ElementHeader*) {
    const double torque = PowerplantState.Torque[E] * 32.938;
    double d;
    if (PowerplantState.TorqueDipCountdown[E] > 0) {
        --PowerplantState.TorqueDipCountdown[E];
        d = 0.0;
    } else {
        d = torque;
    }
    if (Autofeather.test[E] != 0) d = kAutofeatherTestTorque;
    if (TestRunning(&EngineTestCountdown[kTorque1Indicator + E])) d = kTorqueTestValue;
    if (!Bus(kIndicatorBus[kTorque1Indicator + E])) d = -245.0;
    if (RemoteDisplay()) d = torque;
    TorqueDisplay[E] = static_cast<float>(d);
    return TorqueDisplay[E] * ed::kTorqueAngleScale + ed::kTorqueAngleOffset;
}

template <int E>
double TorqueBugNeedle(ElementHeader*) {
    if (TorqueReadoutPowered()) {
        return TorqueBugValue[E] * ed::kTorqueBugAngleScale + ed::kTorqueBugAngleOffset;
    }
    return ed::kTorqueBugUnpoweredAngle;
}

template <int E>
double TorqueReadout(ElementHeader* element) {
    WriteReadout(element, TorqueReadoutPowered(), TorqueDisplay[E] * 0.3038);
    return 0.0;
}

template <int E>
double RpmNeedle(ElementHeader*) {
    const double rpm = PropRpm[E];
    double d = rpm;
    if (Nh(E) <= 60.0f && IndicatedAirspeed <= 75.0f) {
        d = TableLookup8(kPropSpeedTable, Nh(E)) * rpm;
    }
    if (TestRunning(&EngineTestCountdown[kRpm1Indicator + E])) d = kRpmTestValue;
    if (!Bus(kIndicatorBus[kRpm1Indicator + E])) d = -45.0;
    if (RemoteDisplay()) d = rpm;
    PropRpmDisplay[E] = static_cast<float>(d);
    return PropRpmDisplay[E] * ed::kRpmAngleScale + ed::kRpmAngleOffset;
}

template <int E>
double RpmReadout(ElementHeader* element) {
    WriteReadout(element, Bus(kIndicatorBus[kRpm1Indicator + E]), PropRpmDisplay[E]);
    return 0.0;
}

template <int E>
double NhNeedle(ElementHeader*) {
    double d = Nh(E);
    if (TestRunning(&EngineTestCountdown[kNh1Indicator + E])) d = kNhTestValue;
    if (!Bus(kIndicatorBus[kNh1Indicator + E])) d = -4.5;
    NhDisplay[E] = static_cast<float>(d);
    return NhDisplay[E] * ed::kNhAngleScale + ed::kNhAngleOffset;
}

template <int E>
double NhReadout(ElementHeader* element) {
    WriteReadout(element, Bus(kIndicatorBus[kNh1Indicator + E]), NhDisplay[E] * 10.0);
    return 0.0;
}

template <int E>
double NlNeedle(ElementHeader*) {
    double d = NLValue[E] * 10.0;
    if (TestRunning(&EngineTestCountdown[kNl1Indicator + E])) d = kNlTestValue;
    if (!Bus(kIndicatorBus[kNl1Indicator + E])) d = -45.0;
    NlDisplay[E] = static_cast<float>(d);
    return NlDisplay[E] * ed::kNlAngleScale + ed::kNlAngleOffset;
}

template <int E>
double NlReadout(ElementHeader* element) {
    WriteReadout(element, Bus(kIndicatorBus[kNl1Indicator + E]), NlDisplay[E]);
    return 0.0;
}

// The raw ITT from the needle's source value and the engine state.
double ComputeRawItt(int e, double source) {
    double r = source;
    const int32_t failure = e == 0 ? EngineFailureWord1 : EngineFailureWord2;
    if ((failure & 0x20) != 0) {  // hot start
        r = r * TableLookup8(kHotStartTable, static_cast<float>(r * kIttHotStartScale));
    }
    const double altitude = TableLookup8(kIttAltitudeTable, Altitude);
    if (SystemTimers.EngineStartTimer[e] > 320 && (IttValue[e] & 1) != 0) {
        // The first ticks of a start with combustion.
        r = TableLookup8(kIttStartTable, Nh(e)) * altitude * r * kIttStartFactor + IttCorrection[e];
    } else {
        const double k = PneuPanelSwitches[e] != 0 ? kIttBleedOnFactor : kIttBleedOffFactor;
        r = TableLookup8(kIttNhTable, Nh(e)) * altitude * r * k;
    }
    return r;
}

template <int E>
double IttNeedle(ElementHeader* element) {
    // Both copies of the needle may call in a frame; a new raw value is
    // computed on odd calls only.
    IttCallCount[E] = static_cast<int32_t>(static_cast<uint32_t>(IttCallCount[E]) + 1u);
    double r;
    if ((IttCallCount[E] & 1) != 0) {
        r = ComputeRawItt(E, element->source_value);
        IttRaw[E] = static_cast<float>(r);
    } else {
        r = IttRaw[E];
    }
    const double previous = IttDisplay[E];
    double d = SystemTimers.EngineStartTimer[E] > 220 ? (r + 100.0 * previous) / 101.0
                                                      : (r + 45.0 * previous) / 46.0;
    if (TestRunning(&EngineTestCountdown[kItt1Indicator + E])) d = kIttTestValue;
    if (RemoteDisplay()) d = InstructorDisplayValues.itt[E];
    if (!Bus(kIndicatorBus[kItt1Indicator + E])) d = -63.0;
    IttDisplay[E] = static_cast<float>(d);
    return IttDisplay[E] * ed::kIttAngleScale + ed::kIttAngleOffset;
}

template <int E>
double IttReadout(ElementHeader* element) {
    WriteReadout(element, Bus(kIndicatorBus[kItt1Indicator + E]), IttDisplay[E]);
    return 0.0;
}

template <int E>
double FuelFlowNeedle(ElementHeader* element) {
    const float rate = SystemTimers.EngineStartTimer[E] != 0 ? 0.5f : 5.0f;
    const double target = TableLookup8(kFuelFlowSpeedTable, static_cast<float>(PropRpm[E])) *
                          TableLookup8(kFuelFlowAltitudeTable, Altitude) * element->source_value;
    double d = RateLimit(static_cast<float>(target), FuelFlowValue[E], rate);
    if (TestRunning(&EngineTestCountdown[kFf1Indicator + E])) {
        d = kFuelFlowTestValue;
    } else if (d > 1600.0) {
        d = 1600.0;
    }
    if (!Bus(kIndicatorBus[kFf1Indicator + E])) d = -45.0;
    if (RemoteDisplay()) d = InstructorDisplayValues.fuel_flow[E];
    FuelFlowValue[E] = static_cast<float>(d);
    return FuelFlowValue[E] * ed::kFuelFlowAngleScale + ed::kFuelFlowAngleOffset;
}

template <int E>
double FuelFlowReadout(ElementHeader* element) {
    WriteReadout(element, Bus(kIndicatorBus[kFf1Indicator + E]), FuelFlowValue[E]);
    return 0.0;
}

template <int E>
double OilTempNeedle(ElementHeader* element) {
    const double q = EngineOilQty[E];
    const double s = element->source_value;
    double v;
    if (q >= 0.2) {
        v = std::trunc(s);
    } else {
        // Oil nearly gone: the temperature climbs.
        v = ((0.2 - q) * s * 17.0 + 50.0 * OilTempDisplay[E]) / 51.0;
    }
    if (!Bus(kIndicatorBus[kOil1Indicator + E])) v = 0.0;
    OilTempDisplay[E] = static_cast<float>(v);
    return OilTempDisplay[E] * ed::kOilTempAngleScale + ed::kOilTempAngleOffset;
}

template <int E>
double OilPressNeedle(ElementHeader* element) {
    const double q = EngineOilQty[E];
    double v;
    if (q > 0.2) {
        v = std::trunc(element->source_value);
    } else {
        v = OilPressDisplay[E] * 0.975;  // the pressure decays
    }
    if (q > 0.1 && q < 0.4) v += (std::rand() % 5 - 3) * 750.0;  // low oil: it flickers
    if (!Bus(kIndicatorBus[kOil1Indicator + E])) v = 0.0;
    OilPressDisplay[E] = static_cast<float>(v);
    return OilPressDisplay[E] * ed::kOilPressAngleScale + ed::kOilPressAngleOffset;
}

template <int T>
double FuelQtyNeedle(ElementHeader* element) {
    double v;
    if (TestRunning(&FuelQtyTestCountdown)) {
        v = (EngineDisplayValue[T] * 32.0 + kFuelQtyTestValue) / 33.0;
    } else {
        v = RateLimit(static_cast<float>(element->source_value), EngineDisplayValue[T], 2.0f);
    }
    if (!Bus(kIndicatorBus[kFuelQty1Indicator + T])) v = -32.0;
    EngineDisplayValue[T] = static_cast<float>(v);
    return EngineDisplayValue[T] * ed::kFuelQtyAngleScale + ed::kFuelQtyAngleOffset;
}

double FuelTankTempNeedle(ElementHeader* element) {
    double v = element->source_value;
    if (!Bus(kIndicatorBus[kFuelTankTempIndicator])) v = -65.0;
    FuelTankTempDisplay = static_cast<float>(v);
    return FuelTankTempDisplay * ed::kFuelTankTempAngleScale + ed::kFuelTankTempAngleOffset;
}

double FuelTempShown() {
    const float t = FuelTemp;
    return (std::isfinite(t) ? std::trunc(t) : 0.0) + ed::kFuelTempOffset;
}
double FuelTempNeedleA(ElementHeader*) {
    return FuelTempShown() * ed::kFuelTempAAngleScale + ed::kFuelTempAAngleOffset;
}
double FuelTempNeedleB(ElementHeader*) {
    return FuelTempShown() * ed::kFuelTempBAngleScale + ed::kFuelTempBAngleOffset;
}

// ---------------------------------------------------------------------------
// Test buttons

constexpr int32_t kTestButtonPan[kEngineTestCount] = {
    833, 833,   // torque
    833, 1000,  // propeller speed
    833, 833,   // Nh
    833, 1333,  // NL
    833, 833,   // ITT
    833, 1000,  // fuel flow
};

template <int I>
int32_t TestButton(gauge::Point*, uint32_t) {
    PlayClick(&SoundSet[kSoundClickTiny], kTestButtonPan[I]);
    EngineTestCountdown[I] = kEngineTestLoad;
    return 0;
}

// ---------------------------------------------------------------------------
// Static element data

constexpr uint32_t kHiddenLit = gauge::kImageHidden | gauge::kImageLuminous;

// Readout digits: amber seven-segment figures on black, right-aligned.
constexpr TextStyle ReadoutStyle(const ed::ReadoutLayout& r) {
    return {"Quartz", r.font_height, 0x0000B4FFu, 0x00000000u, 2};
}

constexpr gauge::Point Pivot(const ed::DialLayout& d, int n) {
    const ed::NeedleGeometry g = ed::Needle(d, n);
    return {g.pivot_x, g.pivot_y};
}

// A needle pair (unlit, lit) of needle n of a dial.
constexpr NeedleElement DialNeedle(ed::Dial dial, int n, bool lit, ElementHeader** next,
                                   uint32_t token, gauge::ElementCallback callback) {
    const ed::DialLayout& d = ed::Layout(dial);
    return NeedleRecord(lit ? ed::NeedleLitId(dial, n) : ed::NeedleUnlitId(dial, n), ed::Centre(d),
                        ed::Centre(d), Pivot(d, n), lit ? kHiddenLit : 0u, next, token, callback);
}

constexpr ElementHeader Face(ed::Dial dial, bool lit, ElementHeader** next) {
    return StaticImageRecord(lit ? ed::FaceLitId(dial) : ed::FaceUnlitId(dial), 0, 0,
                             lit ? kHiddenLit : 0u, next);
}

constexpr StringElement Readout(ed::Dial dial, ElementHeader** next,
                                gauge::ElementCallback callback) {
    const ed::ReadoutLayout& r = ed::Layout(dial).readout;
    // Drawn over the window printed on the face (which carries the decimal
    // point); the digits are their own light.
    return TextRecord(r.x, r.y, r.width, r.height, ReadoutStyle(r),
                      gauge::kImageTransparent | gauge::kImageLuminous, next, callback);
}

constexpr IconElement OverLimitLamp(ed::Dial dial, ElementHeader** next) {
    const ed::Box b = ed::OverLimitLampBox(ed::Layout(dial));
    return IconRecord(ed::kOverLimitLampId, b.x, b.y, kHiddenLit, next);
}

// Torque: 0 lit face, 1 unlit face, 2 readout, 3/4 needle unlit/lit,
// 5/6 reference needle unlit/lit, 7 over-limit lamp.
struct TorqueElements {
    ElementHeader face_lit;
    ElementHeader face_unlit;
    StringElement readout;
    NeedleElement needle_unlit;
    NeedleElement needle_lit;
    NeedleElement bug_unlit;
    NeedleElement bug_lit;
    IconElement lamp;
    ElementHeader* next[8][2];
};

template <int E>
constexpr TorqueElements MakeTorque(TorqueElements* self, uint32_t token) {
    constexpr ed::Dial dial = ed::Dial::Torque;
    return {Face(dial, true, self->next[0]),
            Face(dial, false, self->next[1]),
            Readout(dial, self->next[2], TorqueReadout<E>),
            DialNeedle(dial, 0, false, self->next[3], token, TorqueNeedle<E>),
            DialNeedle(dial, 0, true, self->next[4], token, TorqueNeedle<E>),
            DialNeedle(dial, 1, false, self->next[5], 0, TorqueBugNeedle<E>),
            DialNeedle(dial, 1, true, self->next[6], 0, TorqueBugNeedle<E>),
            OverLimitLamp(dial, self->next[7]),
            {{&self->face_unlit, nullptr},
             {&self->readout.header, nullptr},
             {&self->needle_unlit.header, nullptr},
             {&self->needle_lit.header, nullptr},
             {&self->bug_unlit.header, nullptr},
             {&self->bug_lit.header, nullptr},
             {&self->lamp.header, nullptr},
             {nullptr, nullptr}}};
}

// Propeller speed, Nh, NL, fuel flow: 0 lit face, 1 unlit face, 2 readout,
// 3/4 needle unlit/lit.
struct ReadoutDialElements {
    ElementHeader face_lit;
    ElementHeader face_unlit;
    StringElement readout;
    NeedleElement needle_unlit;
    NeedleElement needle_lit;
    ElementHeader* next[5][2];
};

constexpr ReadoutDialElements MakeReadoutDial(ReadoutDialElements* self, ed::Dial dial,
                                              uint32_t token, gauge::ElementCallback needle,
                                              gauge::ElementCallback readout) {
    return {Face(dial, true, self->next[0]),
            Face(dial, false, self->next[1]),
            Readout(dial, self->next[2], readout),
            DialNeedle(dial, 0, false, self->next[3], token, needle),
            DialNeedle(dial, 0, true, self->next[4], token, needle),
            {{&self->face_unlit, nullptr},
             {&self->readout.header, nullptr},
             {&self->needle_unlit.header, nullptr},
             {&self->needle_lit.header, nullptr},
             {nullptr, nullptr}}};
}

// ITT: as the readout dials, plus 5 over-limit lamp.
struct IttElements {
    ElementHeader face_lit;
    ElementHeader face_unlit;
    StringElement readout;
    NeedleElement needle_unlit;
    NeedleElement needle_lit;
    IconElement lamp;
    ElementHeader* next[6][2];
};

template <int E>
constexpr IttElements MakeItt(IttElements* self, uint32_t token) {
    constexpr ed::Dial dial = ed::Dial::Itt;
    return {Face(dial, true, self->next[0]),
            Face(dial, false, self->next[1]),
            Readout(dial, self->next[2], IttReadout<E>),
            DialNeedle(dial, 0, false, self->next[3], token, IttNeedle<E>),
            DialNeedle(dial, 0, true, self->next[4], token, IttNeedle<E>),
            OverLimitLamp(dial, self->next[5]),
            {{&self->face_unlit, nullptr},
             {&self->readout.header, nullptr},
             {&self->needle_unlit.header, nullptr},
             {&self->needle_lit.header, nullptr},
             {&self->lamp.header, nullptr},
             {nullptr, nullptr}}};
}

// Oil and fuel temperature: 0 lit face, 1 unlit face, 2/3 first needle
// unlit/lit, 4/5 second needle unlit/lit.
struct TwoNeedleElements {
    ElementHeader face_lit;
    ElementHeader face_unlit;
    NeedleElement a_unlit;
    NeedleElement a_lit;
    NeedleElement b_unlit;
    NeedleElement b_lit;
    ElementHeader* next[6][2];
};

constexpr TwoNeedleElements MakeTwoNeedle(TwoNeedleElements* self, ed::Dial dial, uint32_t token_a,
                                          gauge::ElementCallback a, uint32_t token_b,
                                          gauge::ElementCallback b) {
    return {Face(dial, true, self->next[0]),
            Face(dial, false, self->next[1]),
            DialNeedle(dial, 0, false, self->next[2], token_a, a),
            DialNeedle(dial, 0, true, self->next[3], token_a, a),
            DialNeedle(dial, 1, false, self->next[4], token_b, b),
            DialNeedle(dial, 1, true, self->next[5], token_b, b),
            {{&self->face_unlit, nullptr},
             {&self->a_unlit.header, nullptr},
             {&self->a_lit.header, nullptr},
             {&self->b_unlit.header, nullptr},
             {&self->b_lit.header, nullptr},
             {nullptr, nullptr}}};
}

// Fuel quantity and fuel-tank temperature: 0 lit face, 1 unlit face, 2/3
// needle unlit/lit.
struct OneNeedleElements {
    ElementHeader face_lit;
    ElementHeader face_unlit;
    NeedleElement unlit;
    NeedleElement lit;
    ElementHeader* next[4][2];
};

constexpr OneNeedleElements MakeOneNeedle(OneNeedleElements* self, ed::Dial dial, uint32_t token,
                                          gauge::ElementCallback needle) {
    return {Face(dial, true, self->next[0]),
            Face(dial, false, self->next[1]),
            DialNeedle(dial, 0, false, self->next[2], token, needle),
            DialNeedle(dial, 0, true, self->next[3], token, needle),
            {{&self->face_unlit, nullptr},
             {&self->unlit.header, nullptr},
             {&self->lit.header, nullptr},
             {nullptr, nullptr}}};
}

// Source variables of the needles (simulator variable numbers).
constinit TorqueElements gTorque1 = MakeTorque<0>(&gTorque1, 140);
constinit TorqueElements gTorque2 = MakeTorque<1>(&gTorque2, 175);
constinit ReadoutDialElements gRpm1 =
    MakeReadoutDial(&gRpm1, ed::Dial::Rpm, 700, RpmNeedle<0>, RpmReadout<0>);
constinit ReadoutDialElements gRpm2 =
    MakeReadoutDial(&gRpm2, ed::Dial::Rpm, 708, RpmNeedle<1>, RpmReadout<1>);
constinit ReadoutDialElements gNh1 =
    MakeReadoutDial(&gNh1, ed::Dial::Nh, 626, NhNeedle<0>, NhReadout<0>);
constinit ReadoutDialElements gNh2 =
    MakeReadoutDial(&gNh2, ed::Dial::Nh, 645, NhNeedle<1>, NhReadout<1>);
constinit ReadoutDialElements gNl1 =
    MakeReadoutDial(&gNl1, ed::Dial::Nl, 627, NlNeedle<0>, NlReadout<0>);
constinit ReadoutDialElements gNl2 =
    MakeReadoutDial(&gNl2, ed::Dial::Nl, 646, NlNeedle<1>, NlReadout<1>);
constinit IttElements gItt1 = MakeItt<0>(&gItt1, 631);
constinit IttElements gItt2 = MakeItt<1>(&gItt2, 650);
constinit ReadoutDialElements gFf1 =
    MakeReadoutDial(&gFf1, ed::Dial::FuelFlow, 638, FuelFlowNeedle<0>, FuelFlowReadout<0>);
constinit ReadoutDialElements gFf2 =
    MakeReadoutDial(&gFf2, ed::Dial::FuelFlow, 657, FuelFlowNeedle<1>, FuelFlowReadout<1>);
constinit TwoNeedleElements gOil1 =
    MakeTwoNeedle(&gOil1, ed::Dial::Oil, 147, OilTempNeedle<0>, 148, OilPressNeedle<0>);
constinit TwoNeedleElements gOil2 =
    MakeTwoNeedle(&gOil2, ed::Dial::Oil, 182, OilTempNeedle<1>, 183, OilPressNeedle<1>);
constinit OneNeedleElements gFuelQty1 =
    MakeOneNeedle(&gFuelQty1, ed::Dial::FuelQty, 304, FuelQtyNeedle<0>);
constinit OneNeedleElements gFuelQty2 =
    MakeOneNeedle(&gFuelQty2, ed::Dial::FuelQty, 303, FuelQtyNeedle<1>);
constinit OneNeedleElements gFuelTankTemp =
    MakeOneNeedle(&gFuelTankTemp, ed::Dial::FuelTankTemp, 341, FuelTankTempNeedle);
constinit TwoNeedleElements gFuelTemp =
    MakeTwoNeedle(&gFuelTemp, ed::Dial::FuelTemp, 0, FuelTempNeedleA, 0, FuelTempNeedleB);

constexpr gauge::MouseRect TestButtonRects(int32_t index, gauge::MouseHandler handler, int part) {
    const ed::DialLayout& d = ed::Layout(static_cast<ed::Dial>(index / 2));
    const ed::Box b = ed::TestButtonBox(d);
    if (part == 0) return MouseParent(d.size, d.size);
    if (part == 1) return MouseChild(b.x, b.y, b.width, b.height, kCursorHand, kClick, handler);
    return MouseEnd();
}

// ---------------------------------------------------------------------------
// Gauge callbacks

// Lit and unlit pairs of each layout.
constexpr LitPair kTorquePairs[] = {{0, 1}, {4, 3}, {6, 5}};
constexpr LitPair kReadoutDialPairs[] = {{0, 1}, {4, 3}};
constexpr LitPair kTwoNeedlePairs[] = {{0, 1}, {3, 2}, {5, 4}};
constexpr LitPair kOneNeedlePairs[] = {{0, 1}, {3, 2}};

constexpr int kTorqueLampElement = 7;
constexpr int kIttLampElement = 5;

void ShowLighting(gauge::GaugeHeader* gauge, const LitPair* pairs, int32_t count) {
    ApplyLitPairs(FirstElement(gauge), pairs, count, PanelLightingCircuit2.get() != 0);
}

// Keeps the header; true for the update service, the only one with work.
bool UpdateService(int indicator, gauge::GaugeHeader* gauge, int32_t service) {
    if (service != gauge::kServiceInstall && service != kServiceInitialise &&
        service != gauge::kServiceUpdate) {
        return false;
    }
    EngineGaugeHeader[indicator] = gauge;
    return service == gauge::kServiceUpdate;
}

// The update service of an indicator with a test countdown: the refresh-all
// countdown and the test countdown re-arm the group.
template <int Count>
void TestedDialUpdate(gauge::GaugeHeader* gauge, int32_t* test_countdown,
                      const LitPair (&pairs)[Count]) {
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    const bool test = ConsumeTrigger(test_countdown);
    if (all || test) ArmRefresh(kRefreshEngineInstruments);
    if (RefreshGroupStep(kRefreshEngineInstruments)) ShowLighting(gauge, pairs, Count);
}

template <int I>
void TorqueCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!UpdateService(I, gauge, service)) return;
    TestedDialUpdate(gauge, &EngineTestCountdown[I], kTorquePairs);
    ShowElement(FirstElement(gauge), kTorqueLampElement,
                TorqueDisplay[I - kTorque1Indicator] > kTorqueOverLimit);
}

template <int I>
void ReadoutDialCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!UpdateService(I, gauge, service)) return;
    TestedDialUpdate(gauge, &EngineTestCountdown[I], kReadoutDialPairs);
}

template <int I>
void IttCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!UpdateService(I, gauge, service)) return;
    TestedDialUpdate(gauge, &EngineTestCountdown[I], kReadoutDialPairs);
    ShowElement(FirstElement(gauge), kIttLampElement,
                IttDisplay[I - kItt1Indicator] > kIttOverLimit);
}

template <int I>
void FuelQtyCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!UpdateService(I, gauge, service)) return;
    TestedDialUpdate(gauge, &FuelQtyTestCountdown, kOneNeedlePairs);
}

// Oil and temperature dials only follow the group that the other
// indicators re-arm.
template <int I, int Count>
void FollowerCallback(gauge::GaugeHeader* gauge, int32_t service, const LitPair (&pairs)[Count]) {
    if (!UpdateService(I, gauge, service)) return;
    if (RefreshGroupStep(kRefreshEngineInstruments)) ShowLighting(gauge, pairs, Count);
}

}  // namespace

// ---------------------------------------------------------------------------
// Gauge table entries

gauge::ElementHeader* Torque1ElementList[2] = {&gTorque1.face_lit, nullptr};
gauge::ElementHeader* Torque2ElementList[2] = {&gTorque2.face_lit, nullptr};
gauge::ElementHeader* Rpm1ElementList[2] = {&gRpm1.face_lit, nullptr};
gauge::ElementHeader* Rpm2ElementList[2] = {&gRpm2.face_lit, nullptr};
gauge::ElementHeader* Nh1ElementList[2] = {&gNh1.face_lit, nullptr};
gauge::ElementHeader* Nh2ElementList[2] = {&gNh2.face_lit, nullptr};
gauge::ElementHeader* NL1ElementList[2] = {&gNl1.face_lit, nullptr};
gauge::ElementHeader* NL2ElementList[2] = {&gNl2.face_lit, nullptr};
gauge::ElementHeader* Itt1ElementList[2] = {&gItt1.face_lit, nullptr};
gauge::ElementHeader* Itt2ElementList[2] = {&gItt2.face_lit, nullptr};
gauge::ElementHeader* ff1ElementList[2] = {&gFf1.face_lit, nullptr};
gauge::ElementHeader* ff2ElementList[2] = {&gFf2.face_lit, nullptr};
gauge::ElementHeader* Oil1ElementList[2] = {&gOil1.face_lit, nullptr};
gauge::ElementHeader* Oil2ElementList[2] = {&gOil2.face_lit, nullptr};
gauge::ElementHeader* F_QTY1ElementList[2] = {&gFuelQty1.face_lit, nullptr};
gauge::ElementHeader* F_QTY2ElementList[2] = {&gFuelQty2.face_lit, nullptr};
gauge::ElementHeader* F_TANK_TEMPElementList[2] = {&gFuelTankTemp.face_lit, nullptr};
gauge::ElementHeader* F_TEMPElementList[2] = {&gFuelTemp.face_lit, nullptr};

#define ZU_TEST_BUTTON_RECTS(name, index)                                     \
    gauge::MouseRect name[3] = {TestButtonRects(index, TestButton<index>, 0), \
                                TestButtonRects(index, TestButton<index>, 1), \
                                TestButtonRects(index, TestButton<index>, 2)}
ZU_TEST_BUTTON_RECTS(Torque1MouseRect, kTorque1Indicator);
ZU_TEST_BUTTON_RECTS(Torque2MouseRect, kTorque2Indicator);
ZU_TEST_BUTTON_RECTS(Rpm1MouseRect, kRpm1Indicator);
ZU_TEST_BUTTON_RECTS(Rpm2MouseRect, kRpm2Indicator);
ZU_TEST_BUTTON_RECTS(Nh1MouseRect, kNh1Indicator);
ZU_TEST_BUTTON_RECTS(Nh2MouseRect, kNh2Indicator);
ZU_TEST_BUTTON_RECTS(NL1MouseRect, kNl1Indicator);
ZU_TEST_BUTTON_RECTS(NL2MouseRect, kNl2Indicator);
ZU_TEST_BUTTON_RECTS(Itt1MouseRect, kItt1Indicator);
ZU_TEST_BUTTON_RECTS(Itt2MouseRect, kItt2Indicator);
ZU_TEST_BUTTON_RECTS(ff1MouseRect, kFf1Indicator);
ZU_TEST_BUTTON_RECTS(ff2MouseRect, kFf2Indicator);
#undef ZU_TEST_BUTTON_RECTS

void Torque1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    TorqueCallback<kTorque1Indicator>(g, s, x);
}
void Torque2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    TorqueCallback<kTorque2Indicator>(g, s, x);
}
void Rpm1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    ReadoutDialCallback<kRpm1Indicator>(g, s, x);
}
void Rpm2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    ReadoutDialCallback<kRpm2Indicator>(g, s, x);
}
void Nh1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    ReadoutDialCallback<kNh1Indicator>(g, s, x);
}
void Nh2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    ReadoutDialCallback<kNh2Indicator>(g, s, x);
}
void NL1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    ReadoutDialCallback<kNl1Indicator>(g, s, x);
}
void NL2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    ReadoutDialCallback<kNl2Indicator>(g, s, x);
}
void Itt1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    IttCallback<kItt1Indicator>(g, s, x);
}
void Itt2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    IttCallback<kItt2Indicator>(g, s, x);
}
void ff1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    ReadoutDialCallback<kFf1Indicator>(g, s, x);
}
void ff2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    ReadoutDialCallback<kFf2Indicator>(g, s, x);
}
void Oil1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    FollowerCallback<kOil1Indicator>(g, s, kTwoNeedlePairs);
}
void Oil2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    FollowerCallback<kOil2Indicator>(g, s, kTwoNeedlePairs);
}
void F_QTY1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    FuelQtyCallback<kFuelQty1Indicator>(g, s, x);
}
void F_QTY2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t x) {
    FuelQtyCallback<kFuelQty2Indicator>(g, s, x);
}
void F_TANK_TEMPCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    FollowerCallback<kFuelTankTempIndicator>(g, s, kOneNeedlePairs);
}
void F_TEMPCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    FollowerCallback<kFuelTempIndicator>(g, s, kTwoNeedlePairs);
}

}  // namespace zu
