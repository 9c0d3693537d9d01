#include "panels/electrical_meters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/air_conditioning.h"
#include "core/electrical_system.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "panels/panel_elements.h"

namespace zu {

RepaintKey BatTempPictureKey{};
uint64_t BatTempTestSerial = 0;

MeterValuesRecord MeterValues = {};
int32_t DcMeterTestCountdown = 0;
int32_t AcMeterTestCountdown = 0;
int32_t BatTempTestMode = 0;
int32_t MeterBlinkCounter = 0;

namespace {

namespace oa = overhead_art;

constexpr int32_t kDcPan = -341;
constexpr int32_t kAcPan = 1132;
constexpr int32_t kBatTempPan = 170;
constexpr int32_t kTestFullScale = 128;  // "88.8" while more counts than this remain
constexpr int32_t kBlinkMax = 16;
constexpr int32_t kBlinkSignFrom = 9;
// Readouts hold what four digits and a sign can show.
constexpr float kReadoutLimit = 999.9f;

// Electrics_sys fields the meters read that the electrical step names for
// its own purposes; named here by what the meters take from them.
constexpr EF32 kTru1LoadField{0x141};
constexpr EF32 kTru2LoadField{0x145};
constexpr EF32 kPrimaryInverterLoadField{0x135};
constexpr EF32 kAuxInverterLoadField{0x13D};
constexpr EF32 kSecondaryInverterLoadField{0x139};
constexpr EF32 kLeftVariableAcLoadField{0x131};
constexpr EF32 kRightVariableAcLoadField{0x12D};
constexpr EF32 kMainBatteryCurrentField{0x7C};
constexpr EF32 kAuxBatteryCurrentField{0x80};
static_assert(kLeftVariableAcLoadField.offset == LeftVariableAcLoad.offset);
static_assert(kMainBatteryCurrentField.offset == MainBatteryCurrent.offset);

bool MetersPowered() {
    return Powered(BusPowered.get(kPoweredRightEssential)) ||
           Powered(BusPowered.get(kPoweredLeftEssential));
}

// --- Selector tables.

void CopyDcMeterValues() {
    static constexpr DcBus kVolts[6] = {kLeftSecondaryBus,  kLeftMainBus,  kLeftEssentialBus,
                                        kRightEssentialBus, kRightMainBus, kRightSecondaryBus};
    const int32_t v = DcVoltmeterSelector.get();
    if (v >= 0 && v < 6) MeterValues.dc_volts = static_cast<float>(BusVolts.get(kVolts[v]));
    static constexpr EF32 kLoads[4] = {kTru1LoadField, DcGenerator1Load, DcGenerator2Load,
                                       kTru2LoadField};
    const int32_t l = DcLoadSelector.get();
    if (l >= 0 && l < 4) MeterValues.dc_load = kLoads[l].get();
}

void CopyAcMeterValues() {
    static constexpr EI32 kVolts1[3] = {PrimaryInverterVoltage, AuxInverterVoltage,
                                        SecondaryInverterVoltage};
    static constexpr EF32 kLoads1[3] = {kPrimaryInverterLoadField, kAuxInverterLoadField,
                                        kSecondaryInverterLoadField};
    const int32_t a = AcMeterSelector1.get();
    if (a >= 0 && a < 3) {
        MeterValues.ac_volts[0] = static_cast<float>(kVolts1[a].get());
        MeterValues.ac_load[0] = kLoads1[a].get();
    }
    const int32_t b = AcMeterSelector2.get();
    if (b >= 0 && b < 6) {
        MeterValues.ac_volts[1] =
            static_cast<float>((b < 3 ? LeftVariableAcBus : RightVariableAcBus).get());
        static constexpr float kFactor[6] = {1.1f, 1.0f, 1.0f, 1.0f, 1.1f, 0.9f};
        const float load = (b < 3 ? kLeftVariableAcLoadField : kRightVariableAcLoadField).get();
        MeterValues.ac_load[1] = load * kFactor[b];
    }
}

// --- Elements: 0 background, 1 lit background, 2/3 first knob unlit/lit,
// 4/5 second knob unlit/lit, 6-9 the readouts.

double DcVoltsReadout(gauge::ElementHeader* e);
double DcLoadReadout(gauge::ElementHeader* e);
double MainBatteryCurrentReadout(gauge::ElementHeader* e);
double AuxBatteryCurrentReadout(gauge::ElementHeader* e);
double AcVolts1Readout(gauge::ElementHeader* e);
double AcLoad1Readout(gauge::ElementHeader* e);
double AcVolts2Readout(gauge::ElementHeader* e);
double AcLoad2Readout(gauge::ElementHeader* e);
double DcVoltsKnob(gauge::ElementHeader* e);
double DcLoadKnob(gauge::ElementHeader* e);
double AcFirstKnob(gauge::ElementHeader* e);
double AcSecondKnob(gauge::ElementHeader* e);

struct MeterElements {
    gauge::ElementHeader background;
    gauge::ElementHeader background_lit;
    gauge::NeedleElement knob[4];
    gauge::StringElement readout[4];
    gauge::ElementHeader* next[10][2];
};

constexpr TextStyle kReadoutStyle{"Quartz", 16, 0x0000B4FFu, 0x00000000u, 2};
constexpr int16_t kKnobY = 96;
constexpr int16_t kKnobX[2] = {42, 150};

constexpr MeterElements MakeMeter(MeterElements* self, uint32_t plate,
                                  const gauge::ElementCallback (&knobs)[2],
                                  const gauge::ElementCallback (&readouts)[4]) {
    MeterElements m{};
    m.background = StaticImageRecord(plate, 0, 0, 0, self->next[0]);
    m.background_lit = StaticImageRecord(plate, 0, 0, kLitCopy, self->next[1]);
    const gauge::Point pivot{oa::kKnobSize / 2, oa::kKnobSize / 2};
    for (int i = 0; i < 4; ++i) {
        m.knob[i] = NeedleRecord(oa::kKnobPointer, kKnobX[i / 2], kKnobY + oa::kKnobSize / 2, pivot,
                                 i % 2 == 0 ? 0u : kLitCopy, self->next[2 + i], 0, knobs[i / 2]);
    }
    for (int i = 0; i < 4; ++i) {
        m.readout[i] = TextRecord(14 + 104 * (i % 2), 30 + 30 * (i / 2), 92, 22, kReadoutStyle,
                                  gauge::kImageTransparent | gauge::kImageLuminous,
                                  self->next[6 + i], readouts[i]);
    }
    m.next[0][0] = &self->background_lit;
    m.next[1][0] = &self->knob[0].header;
    for (int i = 0; i < 3; ++i) m.next[2 + i][0] = &self->knob[i + 1].header;
    m.next[5][0] = &self->readout[0].header;
    for (int i = 0; i < 3; ++i) m.next[6 + i][0] = &self->readout[i + 1].header;
    m.next[9][0] = nullptr;
    return m;
}

constexpr gauge::ElementCallback kDcKnobs[2] = {DcVoltsKnob, DcLoadKnob};
constexpr gauge::ElementCallback kDcReadouts[4] = {
    DcVoltsReadout, DcLoadReadout, MainBatteryCurrentReadout, AuxBatteryCurrentReadout};
constexpr gauge::ElementCallback kAcKnobs[2] = {AcFirstKnob, AcSecondKnob};
constexpr gauge::ElementCallback kAcReadouts[4] = {AcVolts1Readout, AcLoad1Readout, AcVolts2Readout,
                                                   AcLoad2Readout};

constinit MeterElements gDcMeter = MakeMeter(&gDcMeter, oa::kDcMeterPlate, kDcKnobs, kDcReadouts);
constinit MeterElements gAcMeter = MakeMeter(&gAcMeter, oa::kAcMeterPlate, kAcKnobs, kAcReadouts);

// Battery temperature: 0 background, 1 lit background, 2 and 3 the bar
// graphs (drawn surfaces), 4 the test image.
constexpr uint32_t kSurface = gauge::kImageDrawnSurface;
constexpr ImageSpec kBatTempSpec[5] = {
    {oa::kBatTempPlate, 0, 0, 0},
    {oa::kBatTempPlate, 0, 0, kLitCopy},
    {oa::kBarWindow, 20, 38, kSurface},
    {oa::kBarWindow, 20, 72, kSurface},
    {oa::kBatTestLamp, 138, 94, kStartHidden},
};
constinit ImageChain<5> gBatTemp = MakeImageChain(&gBatTemp, kBatTempSpec);

gauge::GaugeHeader* gDcHeader = nullptr;
gauge::GaugeHeader* gAcHeader = nullptr;
gauge::GaugeHeader* gBatTempHeader = nullptr;
uint8_t gDcIsVc = 0;
uint8_t gAcIsVc = 0;
uint8_t gBatTempIsVc = 0;

// --- Knob needles.

double KnobAngle(int32_t position, const int16_t* angles, int32_t count) {
    return position >= 0 && position < count ? angles[position] : 0.0;
}

double DcVoltsKnob(gauge::ElementHeader*) {
    static constexpr int16_t kAngles[6] = {20, 45, 80, 100, 135, 160};
    return KnobAngle(DcVoltmeterSelector.get(), kAngles, 6);
}
double DcLoadKnob(gauge::ElementHeader*) {
    static constexpr int16_t kAngles[4] = {40, 70, 110, 137};
    return KnobAngle(DcLoadSelector.get(), kAngles, 4);
}
double AcFirstKnob(gauge::ElementHeader*) {
    static constexpr int16_t kAngles[3] = {43, 90, 130};
    return KnobAngle(AcMeterSelector1.get(), kAngles, 3);
}
double AcSecondKnob(gauge::ElementHeader*) {
    static constexpr int16_t kAngles[6] = {20, 44, 78, 100, 135, 160};
    return KnobAngle(AcMeterSelector2.get(), kAngles, 6);
}

// --- Readouts.

void WriteText(gauge::ElementHeader* e, const char* text) {
    CopyText(StringBuffer(e), kStringBufferSize, text);
}

constexpr char kBlank[] = "    ";

// The text each readout last formatted and what from: formatting the same
// value into a buffer that still holds that text would leave it as it is.
struct FormattedReadout {
    const gauge::ElementHeader* element;
    const char* format;
    uint32_t value_bits;
    char text[kStringBufferSize];
};
constexpr int kFormattedReadouts = 8;
FormattedReadout gFormatted[kFormattedReadouts];
int gFormattedCount = 0;

void FormatReadout(gauge::ElementHeader* e, const char* format, float value) {
    char* out = StringBuffer(e);
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    FormattedReadout* kept = nullptr;
    for (int i = 0; i < gFormattedCount && kept == nullptr; ++i) {
        if (gFormatted[i].element == e) kept = &gFormatted[i];
    }
    if (kept != nullptr && kept->format == format && kept->value_bits == bits &&
        std::strncmp(out, kept->text, kStringBufferSize) == 0) {
        return;
    }
    FormatMeterValue(out, kStringBufferSize, format, value);
    if (kept == nullptr && gFormattedCount < kFormattedReadouts) {
        kept = &gFormatted[gFormattedCount++];
        kept->element = e;
    }
    if (kept == nullptr) return;
    kept->format = format;
    kept->value_bits = bits;
    std::strncpy(kept->text, out, kStringBufferSize);
}

// Step 1 of a plain readout: the value, or for exactly 0 "0.0" powered and
// four blanks unpowered.
void PlainValue(gauge::ElementHeader* e, float value) {
    if (value == 0.0f && !MetersPowered()) {
        WriteText(e, kBlank);
        return;
    }
    FormatReadout(e, "%2.1f", value);
}

// Step 1 of a battery-current readout: blanks unpowered; the magnitude,
// with its minus sign only in the second half of the blink cycle.
void SignedValue(gauge::ElementHeader* e, float value) {
    if (!MetersPowered()) {
        WriteText(e, kBlank);
        return;
    }
    const bool sign =
        value < 0.0f && MeterBlinkCounter >= kBlinkSignFrom && MeterBlinkCounter <= kBlinkMax;
    FormatReadout(e, "% 2.1f", sign ? value : std::fabs(value));
}

enum class ReadoutKind { Plain, Signed };

struct Readout {
    ReadoutKind kind;
    bool advances_blink;
    bool test_needs_power;
    int32_t* test_countdown;
    const char* test_text;
};

double ReadoutStep(gauge::ElementHeader* e, const Readout& r, float value) {
    if (ConsumeTrigger(&RefreshCountdown[kRefreshOverhead])) {
        if (r.kind == ReadoutKind::Plain) {
            PlainValue(e, value);
        } else {
            SignedValue(e, value);
        }
        if (r.advances_blink) {
            MeterBlinkCounter = MeterBlinkCounter >= kBlinkMax ? 0 : MeterBlinkCounter + 1;
        }
    }
    if (ConsumeTrigger(r.test_countdown)) {
        if (!r.test_needs_power || MetersPowered()) {
            WriteText(e, *r.test_countdown > kTestFullScale ? "88.8" : r.test_text);
        }
    }
    // The real values come back when the test ends.
    if (*r.test_countdown >= 2 && *r.test_countdown <= 7) ArmRefresh(kRefreshOverhead);
    return 0.0;
}

double DcVoltsReadout(gauge::ElementHeader* e) {
    static constexpr Readout r{ReadoutKind::Plain, false, true, &DcMeterTestCountdown, "30.5"};
    return ReadoutStep(e, r, MeterValues.dc_volts);
}
double DcLoadReadout(gauge::ElementHeader* e) {
    static constexpr Readout r{ReadoutKind::Plain, false, true, &DcMeterTestCountdown, "1.05"};
    return ReadoutStep(e, r, MeterValues.dc_load);
}
double MainBatteryCurrentReadout(gauge::ElementHeader* e) {
    static constexpr Readout r{ReadoutKind::Signed, true, true, &DcMeterTestCountdown, "30.5"};
    return ReadoutStep(e, r, kMainBatteryCurrentField.get());
}
double AuxBatteryCurrentReadout(gauge::ElementHeader* e) {
    static constexpr Readout r{ReadoutKind::Signed, false, true, &DcMeterTestCountdown, "1.05"};
    return ReadoutStep(e, r, kAuxBatteryCurrentField.get());
}
double AcVolts1Readout(gauge::ElementHeader* e) {
    static constexpr Readout r{ReadoutKind::Plain, false, false, &AcMeterTestCountdown, "150"};
    return ReadoutStep(e, r, MeterValues.ac_volts[0]);
}
double AcLoad1Readout(gauge::ElementHeader* e) {
    static constexpr Readout r{ReadoutKind::Plain, false, false, &AcMeterTestCountdown, "1.05"};
    return ReadoutStep(e, r, MeterValues.ac_load[0]);
}
double AcVolts2Readout(gauge::ElementHeader* e) {
    static constexpr Readout r{ReadoutKind::Plain, false, false, &AcMeterTestCountdown, "150"};
    return ReadoutStep(e, r, MeterValues.ac_volts[1]);
}
double AcLoad2Readout(gauge::ElementHeader* e) {
    static constexpr Readout r{ReadoutKind::Plain, false, false, &AcMeterTestCountdown, "1.05"};
    return ReadoutStep(e, r, MeterValues.ac_load[1]);
}

// --- Meter panel update.

void ShowMeterLighting(MeterElements& m, uint8_t is_vc) {
    static constexpr LitPair kPairs[3] = {{1, -1}, {3, 2}, {5, 4}};
    gauge::ElementHeader* first = &m.background;
    const bool lit = PanelLit(PanelLightingCircuit1.get(), is_vc);
    ShowElement(first, kPairs[0].lit, lit);
    for (int i = 1; i < 3; ++i) {
        ShowElement(first, kPairs[i].lit, lit);
        ShowElement(first, kPairs[i].unlit, !lit);
    }
}

void KeepMeterWindow() {
    auto is_open = PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowCloseIdent);
    const int32_t open = is_open != nullptr ? is_open(kMeterPanelWindow) : 0;
    if (open == 0) {
        auto toggle = PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowToggle);
        if (toggle != nullptr) toggle(kMeterPanelWindow);
    }
}

template <bool Dc>
void MeterPanelUpdate(gauge::GaugeHeader* gauge) {
    MeterElements& m = Dc ? gDcMeter : gAcMeter;
    uint8_t& is_vc = Dc ? gDcIsVc : gAcIsVc;
    is_vc = GaugeIsVcFrom(gauge);
    if (Dc) {
        if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) ArmRefresh(kRefreshOverhead);
        if (ConsumeTrigger(&SystemTimers.first)) ArmRefresh(kRefreshOverhead);
    }
    if (RefreshGroupStep(kRefreshOverhead)) {
        ShowMeterLighting(m, is_vc);
        if (Dc) {
            CopyDcMeterValues();
        } else {
            CopyAcMeterValues();
        }
    }
    if (Dc) KeepMeterWindow();
}

// --- Meter handlers.

template <const EI32& Selector, int32_t Top, int32_t Step, int32_t Pan>
int32_t SelectorClick(gauge::Point*, uint32_t) {
    const int32_t v = Selector.get();
    const bool moves = Step > 0 ? v < Top : v > 0;
    if (moves) {
        Selector.set(v + Step);
        PlayClick(&SoundSet[kSoundClickTiny], Pan);
    }
    ArmRefresh(kRefreshOverhead);
    return 0;
}

template <int32_t* Countdown, int32_t Count, int32_t Pan>
int32_t MeterTestClick(gauge::Point*, uint32_t) {
    if (!MetersPowered()) return 0;
    *Countdown = Count;
    PlayClick(&SoundSet[kSoundClickTiny], Pan);
    return 0;
}

// --- Battery temperature panel.

gauge::ElementHeader* BatTempFirst() {
    return &gBatTemp.e[0];
}

void BatTempUpdate(gauge::GaugeHeader* gauge) {
    gBatTempIsVc = GaugeIsVcFrom(gauge);
    if (ConsumeTrigger(&SystemTimers2.BatteryTempTest)) ArmRefresh(kRefreshOverhead);
    if (ConsumeTrigger(&AirConditioningState.battery_redraw_countdown)) {
        ArmRefresh(kRefreshOverhead);
    }
    if (!RefreshGroupStep(kRefreshOverhead)) return;
    gauge::ElementHeader* first = BatTempFirst();
    ShowElement(first, 1, PanelLit(PanelLightingCircuit1.get(), gBatTempIsVc));
    ShowElement(first, 4, false);
    int32_t& test = SystemTimers2.BatteryTempTest;
    if (ConsumeTrigger(&test)) {
        ShowElement(first, 4,
                    Powered(BusPowered.get(kPoweredRightEssential)) && BatTempTestMode != 2);
    }
    if (test >= 2 && test <= 7) {
        ArmRefresh(kRefreshOverhead);
        ShowElement(first, 4, false);
    }
}

void PaintSurface(gauge::ElementHeader* element, float temperature) {
    if (element == nullptr || element->surface == nullptr) return;
    const gauge::DrawingSurface* s = element->surface;
    PaintBatteryBarGraph(static_cast<platform::DrawContext*>(s->context), s->width, s->height,
                         temperature);
}

// The graphs on the surfaces, and the count that makes every picture of a
// running test one to paint (the test counts down as it paints).

void BatTempDraw() {
    if (RefreshCountdown[kRefreshOverhead] <= 0) return;
    gauge::ElementHeader* first = BatTempFirst();
    gauge::ElementHeader* bar1 = ElementListWalk(first, 2);
    gauge::ElementHeader* bar2 = ElementListWalk(first, 3);
    if (bar1 == nullptr || bar2 == nullptr) return;
    RepaintKeyBuilder key;
    key.Add(bar1->surface).Add(bar2->surface);
    if (SystemTimers2.BatteryTempTest > 0) {
        key.Add(++BatTempTestSerial);
    } else if (bar1->surface != nullptr) {
        for (const float t : AirConditioningState.battery_temperature) {
            BatteryBarGraphKeyAdd(key, bar1->surface->width, bar1->surface->height, t);
        }
    }
    if (!RepaintNeeded(BatTempPictureKey, key.Key())) return;
    bar1->image_flags &= ~gauge::kImageOnScreen;
    bar2->image_flags &= ~gauge::kImageOnScreen;
    PaintSurface(bar1, AirConditioningState.battery_temperature[0]);
    // Both graphs take the first one's rectangle: the surfaces are one size.
    if (bar2->surface != nullptr && bar1->surface != nullptr) {
        PaintBatteryBarGraph(static_cast<platform::DrawContext*>(bar2->surface->context),
                             bar1->surface->width, bar1->surface->height,
                             AirConditioningState.battery_temperature[1]);
    }
}

template <int32_t Mode, int32_t Count>
int32_t BatTempTestClick(gauge::Point*, uint32_t) {
    BatTempTestMode = Mode;
    SystemTimers2.BatteryTempTest = Count;
    PlayClick(&SoundSet[kSoundClickTiny], kBatTempPan);
    return 0;
}

// --- Bar graph steps.

struct BarZones {
    int32_t a, b, c, d, s;
};

BarZones Zones(int32_t width) {
    BarZones z{};
    z.a = static_cast<int32_t>(0.51695 * width);
    z.b = static_cast<int32_t>(0.21186 * width);
    z.c = static_cast<int32_t>(0.72881 * width);
    z.d = static_cast<int32_t>(0.27119 * width);
    z.s = width / 76 < 1 ? 1 : width / 76;
    return z;
}

void Bar(platform::DrawContext* dc, int32_t left, int32_t right, int32_t height, uint32_t colour) {
    platform::DrawFillRect(dc, {left, 1, right, height}, colour);
}

int32_t Trunc(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int32_t>(v);
}

// The right ends of the green, yellow and red bars (-1: not drawn).
struct BarEnds {
    int32_t green = -1, yellow = -1, red = -1;
};

BarEnds Ends(const BarZones& z, float t) {
    BarEnds e;
    if (!(t >= 15.0f)) return e;
    const double tc = t > 80.0f ? 80.0 : static_cast<double>(t);
    if (tc > 15) e.green = Trunc((tc - 15) / 35 * z.a);
    if (tc > 50) e.yellow = z.a + Trunc((tc - 50) / 15 * z.b);
    if (tc > 65) e.red = z.c + Trunc((tc - 65) / 15 * z.d);
    return e;
}

void NormalBars(platform::DrawContext* dc, const BarZones& z, int32_t height, float t) {
    const BarEnds e = Ends(z, t);
    if (e.green >= 0) Bar(dc, 0, e.green, height, kBarGreen);
    if (e.yellow >= 0) Bar(dc, z.a, e.yellow, height, kBarYellow);
    if (e.red >= 0) Bar(dc, z.c, e.red, height, kBarRed);
}

void RaiseBatteryTemperatures() {
    for (float& t : AirConditioningState.battery_temperature) {
        t += 2.0f;
        if (t > 70.0f) t = 70.0f;
    }
}

void TestBars(platform::DrawContext* dc, const BarZones& z, int32_t height, float t) {
    int32_t& count = SystemTimers2.BatteryTempTest;
    ConsumeTrigger(&count);
    if (BatTempTestMode == 1 && count >= 64) {
        Bar(dc, 0, 2 * z.a, height, kBarGreen);
        Bar(dc, z.a, z.a + 2 * z.b, height, kBarYellow);
        Bar(dc, z.c, z.c + z.d, height, kBarRed);
    } else if (BatTempTestMode == 3 || BatTempTestMode == 1) {
        platform::DrawFillRect(dc, {z.a, 1, z.a + 2, height - 1}, kBarYellow);
    } else if (BatTempTestMode == 2) {
        RaiseBatteryTemperatures();
        NormalBars(dc, z, height, t);
    }
}

void CutSegments(platform::DrawContext* dc, const BarZones& z, int32_t width, int32_t height) {
    for (int32_t x = 0; x < width; x += 2 * z.s) Bar(dc, x, x + z.s, height, kBarBackground);
}

}  // namespace

void FormatMeterValue(char* out, uint32_t size, const char* format, float value) {
    float v = std::isfinite(value) ? value : 0.0f;
    if (v > kReadoutLimit) v = kReadoutLimit;
    if (v < -kReadoutLimit) v = -kReadoutLimit;
    std::snprintf(out, size, format, static_cast<double>(v));
}

void BatteryBarGraphKeyAdd(RepaintKeyBuilder& key, int32_t width, int32_t height,
                           float temperature) {
    const bool powered = Powered(BusPowered.get(kPoweredRightEssential));
    key.Add(width).Add(height).Add(powered);
    if (powered && width > 0 && height > 0) key.Add(Ends(Zones(width), temperature));
}

void PaintBatteryBarGraph(platform::DrawContext* dc, int32_t width, int32_t height,
                          float temperature) {
    if (width <= 0 || height <= 0) return;
    const BarZones z = Zones(width);
    platform::DrawFillRect(dc, {0, 0, width, height}, kBarBackground);
    if (!Powered(BusPowered.get(kPoweredRightEssential))) return;
    if (SystemTimers2.BatteryTempTest > 0) {
        TestBars(dc, z, height, temperature);
    } else {
        NormalBars(dc, z, height, temperature);
    }
    CutSegments(dc, z, width, height);
}

void DcMeterPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (service == gauge::kServiceInstall) ArmRefresh(kRefreshOverhead);
    if (!KeepHeader(&gDcHeader, gauge, service)) return;
    MeterPanelUpdate<true>(gauge);
}

void AcMeterPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gAcHeader, gauge, service)) return;
    MeterPanelUpdate<false>(gauge);
}

void BatTempMeterPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) {
        BatTempPictureKey.valid = false;
        return PanelKill();
    }
    if (service == gauge::kServiceDraw) {
        gBatTempHeader = gauge;
        BatTempDraw();
        return;
    }
    if (!KeepHeader(&gBatTempHeader, gauge, service)) return;
    BatTempUpdate(gauge);
}

gauge::ElementHeader* DcMeterPanelElementList[2] = {&gDcMeter.background, nullptr};
gauge::ElementHeader* AcMeterPanelElementList[2] = {&gAcMeter.background, nullptr};
gauge::ElementHeader* BatTempMeterPanelElementList[2] = {&gBatTemp.e[0], nullptr};

namespace {

constexpr gauge::MouseRect KnobHalf(int knob, bool up, gauge::MouseHandler h) {
    return MouseChild(kKnobX[knob] - oa::kKnobSize / 2 + (up ? oa::kKnobSize / 2 : 0), kKnobY,
                      oa::kKnobSize / 2, oa::kKnobSize, up ? kCursorIncrease : kCursorDecrease,
                      kClick, h);
}

constexpr gauge::MouseRect kMeterTestRect(gauge::MouseHandler h) {
    return MouseChild(190, 100, 28, 28, kCursorHand, kClick, h);
}

}  // namespace

gauge::MouseRect DcMeterPanelMouseRect[] = {
    MouseParent(oa::kMeterSize.width, oa::kMeterSize.height),
    KnobHalf(0, true, SelectorClick<DcVoltmeterSelector, 5, 1, kDcPan>),
    KnobHalf(0, false, SelectorClick<DcVoltmeterSelector, 5, -1, kDcPan>),
    KnobHalf(1, true, SelectorClick<DcLoadSelector, 3, 1, kDcPan>),
    KnobHalf(1, false, SelectorClick<DcLoadSelector, 3, -1, kDcPan>),
    kMeterTestRect(MeterTestClick<&DcMeterTestCountdown, kDcMeterTestCount, kDcPan>),
    MouseEnd()};

gauge::MouseRect AcMeterPanelMouseRect[] = {
    MouseParent(oa::kMeterSize.width, oa::kMeterSize.height),
    KnobHalf(0, true, SelectorClick<AcMeterSelector1, 2, 1, kAcPan>),
    KnobHalf(0, false, SelectorClick<AcMeterSelector1, 2, -1, kAcPan>),
    KnobHalf(1, true, SelectorClick<AcMeterSelector2, 5, 1, kAcPan>),
    KnobHalf(1, false, SelectorClick<AcMeterSelector2, 5, -1, kAcPan>),
    kMeterTestRect(MeterTestClick<&AcMeterTestCountdown, kAcMeterTestCount, kAcPan>),
    MouseEnd()};

gauge::MouseRect BatTempMeterPanelMouseRect[] = {
    MouseParent(oa::kBatTempSize.width, oa::kBatTempSize.height),
    MouseChild(20, 92, 30, 24, kCursorDecrease, kClick, BatTempTestClick<1, 128>),
    MouseChild(60, 92, 30, 24, kCursorIncrease, kClick, BatTempTestClick<3, 64>),
    MouseChild(100, 92, 30, 24, kCursorHand, kClick, BatTempTestClick<2, 128>), MouseEnd()};

}  // namespace zu
