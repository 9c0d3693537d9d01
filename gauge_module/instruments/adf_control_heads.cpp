#include "instruments/adf_control_heads.h"

#include "core/electrical_system.h"
#include "core/nav_sources.h"
#include "instruments/gauge_framework.h"
#include "instruments/radio_head_elements.h"

namespace zu {

AdfRadioRecord Adf1Radio = {320.0f, 320.0f, 1, 1, 300, 100};
AdfRadioRecord Adf2Radio = {320.0f, 320.0f, 1, 1, 300, 100};
AdfPanelStateRecord Adf1PanelState = {};
AdfPanelStateRecord Adf2PanelState = {};

int32_t& FGC_comp_ADF1_MODE = Adf1PanelState.mode;
int32_t& FGC_comp_ADF2_MODE = Adf2PanelState.mode;

namespace {

bool AdfPowered() {
    return Powered(BusPowered2.get(0));
}
bool AdfLit() {
    return PanelLightingCircuit2.get() != 0;
}

}  // namespace

#define ZU_ADF_HEAD(radio, state, source, upper, lower)                                     \
    {                                                                                       \
        &kAdfBand, &radio.standby, &radio.active, nullptr, &radio.channel, &radio.preset,   \
            &radio.timer_hold, &radio.channel_timer_hold, &state.mode, &state.saved_mode,   \
            &state.editing, &state.rocker_event, &state.rocker_release, state.presets,      \
            &state.mode_timer, nullptr, nullptr, &NavSources[source].frequency, AdfPowered, \
            AdfLit, nullptr, 1333, -1, upper, lower                                         \
    }
const RadioHead Adf1Head = ZU_ADF_HEAD(Adf1Radio, Adf1PanelState, kNavAdf1, 17, 16);
const RadioHead Adf2Head = ZU_ADF_HEAD(Adf2Radio, Adf2PanelState, kNavAdf2, 21, 20);
#undef ZU_ADF_HEAD

namespace {

using namespace radio_elements;
using radio_layout::kNarrow;

constexpr RadioHeadElements kAdfElements = {-1, -1, -1, -1, -1};
constexpr int kAdfElementCount = 9;

template <RadioHeadGauge* G>
constexpr HeadElementSet AdfElements(HeadElementSet* self, uint32_t overlay) {
    StringSpec first[4]{};
    FirstStrings<G>(kNarrow, radio_layout::kWindowFont, first);
    const StringSpec tail[kTailStrings] = {PresetLegend(kNarrow, RadioMemLegend<G>), Unused(),
                                           Unused(), Unused(), Unused()};
    return MakeHeadElements(self, overlay, kNarrow.rocker, first, tail, kAdfElementCount);
}

extern HeadElementSet gAdf1Elements;
extern HeadElementSet gAdf1TouchElements;
extern HeadElementSet gAdf2Elements;
extern HeadElementSet gAdf2TouchElements;

}  // namespace

RadioHeadGauge Adf1PanelGauge = {
    &Adf1Head, kAdfElements, &gAdf1Elements.overlay, false, nullptr, nullptr, 0, {}};
RadioHeadGauge Adf1TouchGauge = {
    &Adf1Head, kAdfElements, &gAdf1TouchElements.overlay, true, nullptr, nullptr, 0, {}};
RadioHeadGauge Adf2PanelGauge = {
    &Adf2Head, kAdfElements, &gAdf2Elements.overlay, false, nullptr, nullptr, 0, {}};
RadioHeadGauge Adf2TouchGauge = {
    &Adf2Head, kAdfElements, &gAdf2TouchElements.overlay, true, nullptr, nullptr, 0, {}};

namespace {

constinit HeadElementSet gAdf1Elements =
    AdfElements<&Adf1PanelGauge>(&gAdf1Elements, radio_layout::kAdfOverlay);
constinit HeadElementSet gAdf1TouchElements =
    AdfElements<&Adf1TouchGauge>(&gAdf1TouchElements, radio_layout::kAdfTouchOverlay);
constinit HeadElementSet gAdf2Elements =
    AdfElements<&Adf2PanelGauge>(&gAdf2Elements, radio_layout::kAdfOverlay);
constinit HeadElementSet gAdf2TouchElements =
    AdfElements<&Adf2TouchGauge>(&gAdf2TouchElements, radio_layout::kAdfTouchOverlay);

}  // namespace

constinit RadioHeadRects ADF1_PanelMouseRect =
    MakePlainRects(kNarrow, PlainHandlers<&Adf1PanelGauge, AdfRadioTune<1>, 500, 10000>());
constinit RadioHeadRects ADF2_PanelMouseRect =
    MakePlainRects(kNarrow, PlainHandlers<&Adf2PanelGauge, AdfRadioTune<2>, 500, 10000>());
constinit RadioHeadRects ADF1_Panel_touchMouseRect =
    MakeTouchRects(kNarrow, RingHandlers<&Adf1TouchGauge, AdfRadioTune<1>, 500, 5000>());
constinit RadioHeadRects ADF2_Panel_touchMouseRect =
    MakeTouchRects(kNarrow, RingHandlers<&Adf2TouchGauge, AdfRadioTune<2>, 500, 5000>());

gauge::ElementHeader* ADF1_PanelElementList[2] = {&gAdf1Elements.overlay, nullptr};
gauge::ElementHeader* ADF2_PanelElementList[2] = {&gAdf2Elements.overlay, nullptr};
gauge::ElementHeader* ADF1_Panel_touchElementList[2] = {&gAdf1TouchElements.overlay, nullptr};
gauge::ElementHeader* ADF2_Panel_touchElementList[2] = {&gAdf2TouchElements.overlay, nullptr};

void ADF1_PanelCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Adf1PanelGauge, g, s);
}
void ADF2_PanelCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Adf2PanelGauge, g, s);
}
void ADF1_Panel_touchCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Adf1TouchGauge, g, s);
}
void ADF2_Panel_touchCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Adf2TouchGauge, g, s);
}

}  // namespace zu
