#include "instruments/standby_instruments.h"

#include <algorithm>
#include <cmath>

#include "cabin_link/instructor_state_exchange.h"
#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "instruments/gauge_framework.h"
#include "instruments/standby_instruments_layout.h"

namespace zu {

double StbyBallPitch = 0.0;
double StbyBallBank = 0.0;

uint8_t RmiSourceSelect1 = 0;
uint8_t RmiSourceSelect2 = 0;
int32_t StbyAttitudeFlagTravel = 0;
int32_t RmiHeadingFlagTravel = 0;

namespace {

using gauge::ElementHeader;
using gauge::IconElement;
using gauge::MovingImageElement;
using gauge::NeedleElement;
using gauge::SpriteElement;
namespace sl = standby_layout;

constexpr uint32_t kHiddenLit = gauge::kImageHidden | gauge::kImageLuminous;
constexpr int32_t kRmiClickPan = -900;
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Element records not covered by the framework's builders

constexpr SpriteElement SpriteRecord(uint32_t resource, uint32_t mask, ElementHeader** next,
                                     uint32_t token, gauge::ElementCallback angle,
                                     gauge::ElementCallback x = nullptr,
                                     gauge::ElementCallback y = nullptr) {
    return {{gauge::ElementType::Sprite, resource, {0, 0}, 0, next, token, 0.0, angle},
            mask,
            x,
            y,
            0.0,
            0.0,
            0.0};
}

constexpr MovingImageElement FlagRecord(uint32_t resource, sl::Pivot place, ElementHeader** next,
                                        gauge::ElementCallback x, gauge::ElementCallback y) {
    return {{gauge::ElementType::MovingImage, resource, {place.x, place.y}, 0, next, 0, 0.0, x},
            sl::kFlagMask,
            y,
            1.0,
            1.0,
            0.0,
            0.0};
}

// A needle whose bitmap is drawn along +x from its pivot (at the bitmap's
// left end, `tail` pixels in).
constexpr NeedleElement PivotNeedle(uint32_t resource, sl::Pivot at, int32_t tail, int32_t height,
                                    uint32_t flags, ElementHeader** next,
                                    gauge::ElementCallback callback) {
    return NeedleRecord(resource, at.x, at.y, {tail, height / 2}, flags, next, 0, callback);
}

// ---------------------------------------------------------------------------
// Shared gauge behaviour

bool RemoteDisplay() {
    return RemoteDisplayCountdown.load(std::memory_order_relaxed) > 0;
}

// Keeps the header on install, initialise and update; true for update.
bool KeepHeader(gauge::GaugeHeader** keep, gauge::GaugeHeader* gauge, int32_t service) {
    if (service == gauge::kServiceInstall || service == kServiceInitialise ||
        service == gauge::kServiceUpdate) {
        *keep = gauge;
    }
    return service == gauge::kServiceUpdate;
}

// The refresh-all countdown re-arms the group; while the group's countdown
// runs the visibility routine runs.
void RefreshUpdate(int32_t group, void (*visibility)()) {
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) ArmRefresh(group, RefreshHoldCount2);
    if (RefreshGroupStep(group)) visibility();
}

// One frame of a warning flag's travel: toward 16 (in view) while it is to
// show, toward 0 otherwise.
void FlagStep(int32_t* travel, bool in_view) {
    *travel = std::clamp(*travel + (in_view ? 1 : -1), 0, sl::kFlagTravelMax);
}

double FlagX(int32_t travel) {
    return sl::kFlagWindow.x + (sl::kFlagTravelMax - travel);
}
double FlagY(int32_t travel) {
    return sl::kFlagWindow.y - sl::kFlagTravelMax + travel;
}

bool Lit() {
    return PanelLightingCircuit3.get() != 0;
}

double Finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// ---------------------------------------------------------------------------
// Standby attitude indicator

gauge::HostVariable gStbyBank = {kStbyBankToken, nullptr, 0, 0.0, 0.0};

// Element 1: pitch held to +-60 degrees; the ball turns by the bank and
// moves along its own vertical by the pitch (nose up: the horizon drops).
double StbyBallAngle(ElementHeader* e) {
    const double pitch =
        std::clamp(Finite(e->source_value), -sl::kStbyPitchLimit, sl::kStbyPitchLimit);
    e->source_value = pitch;
    StbyBallPitch = pitch;
    StbyBallBank = -Finite(gStbyBank.value);
    return StbyBallBank;
}
double StbyBallX(ElementHeader*) {
    return -StbyBallPitch * sl::kStbyPixelsPerDegree * std::sin(StbyBallBank * kPi / 180.0);
}
double StbyBallY(ElementHeader*) {
    return StbyBallPitch * sl::kStbyPixelsPerDegree * std::cos(StbyBallBank * kPi / 180.0);
}

// Element 2: the bank index turns with the bank alone.
double StbyBankAngle(ElementHeader* e) {
    return -Finite(e->source_value);
}

double StbyFlagX(ElementHeader*) {
    return FlagX(StbyAttitudeFlagTravel);
}
double StbyFlagY(ElementHeader*) {
    return FlagY(StbyAttitudeFlagTravel);
}

// Backdrop (the unlit face), then 0 lit face, 1 ball, 2 bank index,
// 3 aircraft symbol, 4 warning flag.
struct StbyElements {
    ElementHeader face_unlit;
    ElementHeader face_lit;
    SpriteElement ball;
    SpriteElement bank;
    IconElement aircraft;
    MovingImageElement flag;
    ElementHeader* next[6][2];
};

constinit StbyElements gStby = {
    StaticImageRecord(sl::kStbyFaceUnlit, 0, 0, 0, gStby.next[0]),
    StaticImageRecord(sl::kStbyFaceLit, 0, 0, kHiddenLit, gStby.next[1]),
    SpriteRecord(sl::kStbyBall, sl::kStbyBallMask, gStby.next[2], kStbyPitchToken, StbyBallAngle,
                 StbyBallX, StbyBallY),
    SpriteRecord(sl::kStbyBankPointer, sl::kStbyBankMask, gStby.next[3], kStbyBankToken,
                 StbyBankAngle),
    IconRecord(sl::kStbyAircraft, sl::kStbyAircraftBox.x, sl::kStbyAircraftBox.y, 0, gStby.next[4]),
    FlagRecord(sl::kStbyFlag, sl::kStbyFlagPlace, gStby.next[5], StbyFlagX, StbyFlagY),
    {{&gStby.face_lit, nullptr},
     {&gStby.ball.header, nullptr},
     {&gStby.bank.header, nullptr},
     {&gStby.aircraft.header, nullptr},
     {&gStby.flag.header, nullptr},
     {nullptr, nullptr}}};

gauge::GaugeHeader* gStbyHeader = nullptr;

void StbyAttitudeVisibility() {
    static constexpr int8_t kGlowing[4] = {1, 2, 3, 4};
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(Lit());
    if (!VisibilityStale(memo, &gStby.face_lit, key.Key())) return;
    ApplyLitBit(&gStby.face_lit, 0, kGlowing, 4, Lit());
    VisibilityKept(memo, &gStby.face_lit, key.Key());
}

// ---------------------------------------------------------------------------
// PFCS

enum Spoiler : int { kLeftInner = 0, kLeftOuter = 1, kRightInner = 2, kRightOuter = 3 };

constexpr float kInnerSpoilerSpeedKt = 250.0f;
constexpr float kOuterSpoilerSpeedKt = 140.0f;
constexpr int32_t kSpoilerPressureFloor = 400;
constexpr double kSpoilerDegreesPerUnit = 182.0;
constexpr double kRollDeadband = 0.001;
constexpr double kRudderDegreesPerUnit = 30.0;

// Left needles rest at 0 and sweep by -182 x the roll input, right needles
// rest at 180 and sweep back by 182 x the input. While the instructor's
// display values are shown they follow those with no other condition.
double SpoilerAngle(int s) {
    const bool left = s == kLeftInner || s == kLeftOuter;
    if (RemoteDisplay()) {
        const double v = InstructorDisplayValues.spoiler[s] * kSpoilerDegreesPerUnit;
        return left ? v : 180.0 - v;
    }
    const double a = ControlSurfacePositions[0];
    const float limit =
        (s == kLeftInner || s == kRightInner) ? kInnerSpoilerSpeedKt : kOuterSpoilerSpeedKt;
    const bool moves =
        IndicatedAirspeed < limit && RollSpoilerPressure[s] > kSpoilerPressureFloor &&
        Powered(BusPowered2.get(1)) && (left ? a < -kRollDeadband : a > kRollDeadband);
    if (left) return moves ? a * -kSpoilerDegreesPerUnit : 0.0;
    return moves ? 180.0 - a * kSpoilerDegreesPerUnit : 180.0;
}

template <int S>
double SpoilerNeedle(ElementHeader*) {
    return SpoilerAngle(S);
}

double RudderNeedle(ElementHeader*) {
    if (!Powered(BusPowered2.get(1))) return 270.0;
    return 270.0 - ControlSurfacePositions[2] * kRudderDegreesPerUnit;
}

constexpr NeedleElement PfcsSpoiler(sl::Pivot at, bool lit, ElementHeader** next,
                                    gauge::ElementCallback callback) {
    return PivotNeedle(lit ? sl::kPfcsSpoilerLit : sl::kPfcsSpoilerUnlit, at, sl::kPfcsNeedleTail,
                       sl::kPfcsNeedleHeight, lit ? kHiddenLit : 0u, next, callback);
}

// Backdrop (the unlit face), then 0 lit face, 1/2 left inner needle
// unlit/lit, 3/4 right inner, 5/6 left outer, 7/8 right outer, 9/10 the
// fourth surface.
struct PfcsElements {
    ElementHeader face_unlit;
    ElementHeader face_lit;
    NeedleElement needles[10];
    ElementHeader* next[12][2];
};

constinit PfcsElements gPfcs = {
    StaticImageRecord(sl::kPfcsFaceUnlit, 0, 0, 0, gPfcs.next[0]),
    StaticImageRecord(sl::kPfcsFaceLit, 0, 0, kHiddenLit, gPfcs.next[1]),
    {PfcsSpoiler(sl::kPfcsLeftInner, false, gPfcs.next[2], SpoilerNeedle<kLeftInner>),
     PfcsSpoiler(sl::kPfcsLeftInner, true, gPfcs.next[3], SpoilerNeedle<kLeftInner>),
     PfcsSpoiler(sl::kPfcsRightInner, false, gPfcs.next[4], SpoilerNeedle<kRightInner>),
     PfcsSpoiler(sl::kPfcsRightInner, true, gPfcs.next[5], SpoilerNeedle<kRightInner>),
     PfcsSpoiler(sl::kPfcsLeftOuter, false, gPfcs.next[6], SpoilerNeedle<kLeftOuter>),
     PfcsSpoiler(sl::kPfcsLeftOuter, true, gPfcs.next[7], SpoilerNeedle<kLeftOuter>),
     PfcsSpoiler(sl::kPfcsRightOuter, false, gPfcs.next[8], SpoilerNeedle<kRightOuter>),
     PfcsSpoiler(sl::kPfcsRightOuter, true, gPfcs.next[9], SpoilerNeedle<kRightOuter>),
     PivotNeedle(sl::kPfcsRudderUnlit, sl::kPfcsRudder, sl::kPfcsNeedleTail, sl::kPfcsNeedleHeight,
                 0, gPfcs.next[10], RudderNeedle),
     PivotNeedle(sl::kPfcsRudderLit, sl::kPfcsRudder, sl::kPfcsNeedleTail, sl::kPfcsNeedleHeight,
                 kHiddenLit, gPfcs.next[11], RudderNeedle)},
    {{&gPfcs.face_lit, nullptr},
     {&gPfcs.needles[0].header, nullptr},
     {&gPfcs.needles[1].header, nullptr},
     {&gPfcs.needles[2].header, nullptr},
     {&gPfcs.needles[3].header, nullptr},
     {&gPfcs.needles[4].header, nullptr},
     {&gPfcs.needles[5].header, nullptr},
     {&gPfcs.needles[6].header, nullptr},
     {&gPfcs.needles[7].header, nullptr},
     {&gPfcs.needles[8].header, nullptr},
     {&gPfcs.needles[9].header, nullptr},
     {nullptr, nullptr}}};

gauge::GaugeHeader* gPfcsHeader = nullptr;

void PfcsVisibility() {
    static constexpr LitPair kPairs[5] = {{2, 1}, {4, 3}, {6, 5}, {8, 7}, {10, 9}};
    const bool lit = Lit();
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit);
    if (!VisibilityStale(memo, &gPfcs.face_lit, key.Key())) return;
    ShowElement(&gPfcs.face_lit, 0, lit);
    ApplyLitPairs(&gPfcs.face_lit, kPairs, 5, lit);
    VisibilityKept(memo, &gPfcs.face_lit, key.Key());
}

// ---------------------------------------------------------------------------
// RMI

double RmiCard(ElementHeader*) {
    const double heading = Ahrs1.heading;  // packed record: read by value
    return -heading;
}

// Pointer bearings are relative to the nose; the pointer bitmaps lie along
// +x, so the angle is the bearing - 90.
template <int P>
double RmiPointer(ElementHeader*) {
    const uint8_t adf = P == 1 ? RmiSourceSelect1 : RmiSourceSelect2;
    const int source = P == 1 ? (adf == 1 ? kNavAdf1 : kNavVor1) : (adf == 1 ? kNavAdf2 : kNavVor2);
    return NavSources[source].bearing - 90.0;
}

double RmiFlagX(ElementHeader*) {
    return FlagX(RmiHeadingFlagTravel);
}
double RmiFlagY(ElementHeader*) {
    return FlagY(RmiHeadingFlagTravel);
}

constexpr NeedleElement RmiCardRecord(bool lit, ElementHeader** next) {
    constexpr int32_t half = sl::kRmiCardBitmap / 2;
    return NeedleRecord(lit ? sl::kRmiCardLit : sl::kRmiCardUnlit, sl::kRmiCentre.x,
                        sl::kRmiCentre.y, {half, half}, lit ? kHiddenLit : 0u, next, 0, RmiCard);
}

constexpr NeedleElement RmiPointerRecord(uint32_t resource, bool lit, ElementHeader** next,
                                         gauge::ElementCallback callback) {
    return PivotNeedle(resource, sl::kRmiCentre, sl::kRmiPointerHalf, sl::kRmiPointerHeight,
                       lit ? kHiddenLit : 0u, next, callback);
}

constexpr ElementHeader RmiImage(uint32_t resource, sl::Pivot at, bool shown,
                                 ElementHeader** next) {
    return StaticImageRecord(resource, at.x, at.y, shown ? 0u : gauge::kImageHidden, next);
}

// 0 lit face, 1 unlit face, 2/3 card unlit/lit, 4 heading flag, 5/6
// pointer 1 unlit/lit, 7/8 pointer 2, 9..12 the knobs (left ADF, left VOR,
// right ADF, right VOR), 13..16 their legends in the same order.
struct RmiElements {
    ElementHeader face_lit;
    IconElement face_unlit;
    NeedleElement card_unlit;
    NeedleElement card_lit;
    MovingImageElement flag;
    NeedleElement pointer[4];
    ElementHeader selector[8];
    ElementHeader* next[17][2];
};

constinit RmiElements gRmi = {
    StaticImageRecord(sl::kRmiFaceLit, 0, 0, kHiddenLit, gRmi.next[0]),
    IconRecord(sl::kRmiFaceUnlit, 0, 0, 0, gRmi.next[1]),
    RmiCardRecord(false, gRmi.next[2]),
    RmiCardRecord(true, gRmi.next[3]),
    FlagRecord(sl::kRmiFlag, sl::kRmiFlagPlace, gRmi.next[4], RmiFlagX, RmiFlagY),
    {RmiPointerRecord(sl::kRmiPointer1Unlit, false, gRmi.next[5], RmiPointer<1>),
     RmiPointerRecord(sl::kRmiPointer1Lit, true, gRmi.next[6], RmiPointer<1>),
     RmiPointerRecord(sl::kRmiPointer2Unlit, false, gRmi.next[7], RmiPointer<2>),
     RmiPointerRecord(sl::kRmiPointer2Lit, true, gRmi.next[8], RmiPointer<2>)},
    {RmiImage(sl::kRmiKnobAdf, sl::kRmiLeftKnob, false, gRmi.next[9]),
     RmiImage(sl::kRmiKnobVor, sl::kRmiLeftKnob, true, gRmi.next[10]),
     RmiImage(sl::kRmiKnobAdf, sl::kRmiRightKnob, false, gRmi.next[11]),
     RmiImage(sl::kRmiKnobVor, sl::kRmiRightKnob, true, gRmi.next[12]),
     RmiImage(sl::kRmiLegendAdf, sl::kRmiLeftLegend, false, gRmi.next[13]),
     RmiImage(sl::kRmiLegendVor, sl::kRmiLeftLegend, true, gRmi.next[14]),
     RmiImage(sl::kRmiLegendAdf, sl::kRmiRightLegend, false, gRmi.next[15]),
     RmiImage(sl::kRmiLegendVor, sl::kRmiRightLegend, true, gRmi.next[16])},
    {{&gRmi.face_unlit.header, nullptr},
     {&gRmi.card_unlit.header, nullptr},
     {&gRmi.card_lit.header, nullptr},
     {&gRmi.flag.header, nullptr},
     {&gRmi.pointer[0].header, nullptr},
     {&gRmi.pointer[1].header, nullptr},
     {&gRmi.pointer[2].header, nullptr},
     {&gRmi.pointer[3].header, nullptr},
     {&gRmi.selector[0], nullptr},
     {&gRmi.selector[1], nullptr},
     {&gRmi.selector[2], nullptr},
     {&gRmi.selector[3], nullptr},
     {&gRmi.selector[4], nullptr},
     {&gRmi.selector[5], nullptr},
     {&gRmi.selector[6], nullptr},
     {&gRmi.selector[7], nullptr},
     {nullptr, nullptr}}};

gauge::GaugeHeader* gRmiHeader = nullptr;

// A selector's two images of one position and the two of the other.
void ShowSelector(ElementHeader* first, uint8_t select, int8_t adf_knob, int8_t vor_knob) {
    const bool adf = select == 1;
    ShowElement(first, adf_knob, adf);
    ShowElement(first, adf_knob + 4, adf);
    ShowElement(first, vor_knob, !adf);
    ShowElement(first, vor_knob + 4, !adf);
}

void RmiVisibility() {
    static constexpr LitPair kPairs[4] = {{0, 1}, {3, 2}, {6, 5}, {8, 7}};
    static constexpr int8_t kGlowing[9] = {4, 9, 10, 11, 12, 13, 14, 15, 16};
    ElementHeader* first = &gRmi.face_lit;
    const bool lit = Lit();
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(RmiSourceSelect1).Add(RmiSourceSelect2);
    if (!VisibilityStale(memo, first, key.Key())) return;
    ApplyLitPairs(first, kPairs, 4, lit);
    ApplyLitBit(first, -1, kGlowing, 9, lit);
    ShowSelector(first, RmiSourceSelect1, 9, 10);
    ShowSelector(first, RmiSourceSelect2, 11, 12);
    VisibilityKept(memo, first, key.Key());
}

// The heading flag shows while the avionics bus is down or AHRS 1's heading
// is not valid (its third flag byte).
bool RmiHeadingFails() {
    return !Powered(AcBusPowered.get(3)) || Ahrs1.valid[1] != 0;
}

template <int P>
int32_t RmiSelector(gauge::Point*, uint32_t) {
    uint8_t& select = P == 1 ? RmiSourceSelect1 : RmiSourceSelect2;
    select = select != 0 ? 0 : 1;
    PlayClick(&SoundSet[kSoundClickTiny], kRmiClickPan);
    ArmRefresh(kRefreshRmi, RefreshHoldCount2);
    return 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Gauge callbacks

void StbyAttitudeCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepHeader(&gStbyHeader, gauge, service)) return;
    RefreshUpdate(kRefreshEngineInstruments, StbyAttitudeVisibility);
    LookupHostVariable(&gStbyBank);
    FlagStep(&StbyAttitudeFlagTravel, !Powered(BusPowered.get(kPoweredLeftEssential)));
}

void PfcsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepHeader(&gPfcsHeader, gauge, service)) return;
    RefreshUpdate(kRefreshEngineInstruments, PfcsVisibility);
}

void RmiCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepHeader(&gRmiHeader, gauge, service)) return;
    RefreshUpdate(kRefreshRmi, RmiVisibility);
    FlagStep(&RmiHeadingFlagTravel, RmiHeadingFails());
}

gauge::ElementHeader* Stby_attitudeElementList[2] = {&gStby.face_unlit, nullptr};
gauge::ElementHeader* PFCSElementList[2] = {&gPfcs.face_unlit, nullptr};
gauge::ElementHeader* RMIElementList[2] = {&gRmi.face_lit, nullptr};

gauge::MouseRect RMIMouseRect[] = {
    MouseParent(sl::kRmiSize, sl::kRmiSize),
    MouseChild(sl::kRmiLeftSelector.x, sl::kRmiLeftSelector.y, sl::kRmiLeftSelector.width,
               sl::kRmiLeftSelector.height, kCursorHand, kClick, RmiSelector<1>),
    MouseChild(sl::kRmiRightSelector.x, sl::kRmiRightSelector.y, sl::kRmiRightSelector.width,
               sl::kRmiRightSelector.height, kCursorHand, kClick, RmiSelector<2>),
    MouseEnd()};

}  // namespace zu
