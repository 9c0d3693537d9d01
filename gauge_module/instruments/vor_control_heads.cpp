#include "instruments/vor_control_heads.h"

#include "core/electrical_system.h"
#include "core/nav_sources.h"
#include "displays/display_pixel_size.h"
#include "instruments/gauge_framework.h"
#include "instruments/radio_head_elements.h"

namespace zu {

NavRadioRecord Vor1Radio = {108.0f, 108.0f, 108.0f, 1, 1, 300, 100};
NavRadioRecord Vor2Radio = {108.0f, 108.0f, 108.0f, 1, 1, 300, 100};
RadioPanelState Vor1PanelState = {};
RadioPanelState Vor2PanelState = {};

int32_t& FGC_comp_VOR1_MODE = Vor1PanelState.mode;
int32_t& FGC_comp_VOR2_MODE = Vor2PanelState.mode;

namespace {

bool Vor1Powered() {
    return Powered(BusPowered.get(kPoweredLeftEssential));
}
bool Vor2Powered() {
    return Powered(BusPowered2.get(0));
}
bool VorLit() {
    return PanelLightingCircuit4.get() != 0;
}

}  // namespace

#define ZU_VOR_HEAD(radio, state, source, powered, pan, upper, lower)                         \
    {                                                                                         \
        &kVorBand, &radio.standby, &radio.active, &radio.held, &radio.channel, &radio.preset, \
            &radio.timer_hold, &radio.channel_timer_hold, &state.mode, &state.saved_mode,     \
            &state.editing, &state.rocker_event, &state.rocker_release, state.presets,        \
            &state.mode_timer, &state.hold_seen, &NavSources[source].computed_distance,       \
            &NavSources[source].frequency, powered, VorLit, nullptr, pan,                     \
            kRefreshEngineInstruments, upper, lower                                           \
    }
const RadioHead Vor1Head = ZU_VOR_HEAD(Vor1Radio, Vor1PanelState, kNavVor1, Vor1Powered, 333, 1, 0);
const RadioHead Vor2Head =
    ZU_VOR_HEAD(Vor2Radio, Vor2PanelState, kNavVor2, Vor2Powered, 1365, 5, 4);
#undef ZU_VOR_HEAD

namespace {

using namespace radio_elements;
using radio_layout::kVor;

// Elements 8..11: preset legend, "D", second rendering of both windows.
constexpr RadioHeadElements kVorElements = {10, 11, 9, -1, -1};
constexpr int kVorElementCount = 12;

template <RadioHeadGauge* G>
constexpr HeadElementSet VorElements(HeadElementSet* self, uint32_t overlay) {
    StringSpec first[4]{};
    FirstStrings<G>(kVor, radio_layout::kWindowFont, first);
    const StringSpec tail[kTailStrings] = {
        PresetLegend(kVor, RadioMemLegend<G>),
        {kVor.side_legend_1, "Small Fonts", 16, kUpperColour, kHiddenText, 1, RadioHoldLegend<G>},
        {kVor.upper, "Quartz", radio_layout::kWindowFontSecond, kUpperColour, kHiddenText, 2,
         RadioUpperWindow<G>},
        {kVor.lower, "Quartz", radio_layout::kWindowFontSecond, kLowerColour, kHiddenText, 2,
         RadioLowerWindow<G>},
        Unused(),
    };
    return MakeHeadElements(self, overlay, kVor.rocker, first, tail, kVorElementCount);
}

extern HeadElementSet gVor1Elements;
extern HeadElementSet gVor1TouchElements;
extern HeadElementSet gVor2Elements;
extern HeadElementSet gVor2TouchElements;

}  // namespace

RadioHeadGauge Vor1PanelGauge = {
    &Vor1Head, kVorElements, &gVor1Elements.overlay, false, &DisplayPixelSize2[0], nullptr, 0, {}};
RadioHeadGauge Vor1TouchGauge = {
    &Vor1Head, kVorElements, &gVor1TouchElements.overlay, true, &DisplayPixelSize[0], nullptr, 0,
    {}};
RadioHeadGauge Vor2PanelGauge = {
    &Vor2Head, kVorElements, &gVor2Elements.overlay, false, &DisplayPixelSize2[0], nullptr, 0, {}};
RadioHeadGauge Vor2TouchGauge = {
    &Vor2Head, kVorElements, &gVor2TouchElements.overlay, true, &DisplayPixelSize[0], nullptr, 0,
    {}};

namespace {

constinit HeadElementSet gVor1Elements =
    VorElements<&Vor1PanelGauge>(&gVor1Elements, radio_layout::kVorOverlay);
constinit HeadElementSet gVor1TouchElements =
    VorElements<&Vor1TouchGauge>(&gVor1TouchElements, radio_layout::kVorTouchOverlay);
constinit HeadElementSet gVor2Elements =
    VorElements<&Vor2PanelGauge>(&gVor2Elements, radio_layout::kVorOverlay);
constinit HeadElementSet gVor2TouchElements =
    VorElements<&Vor2TouchGauge>(&gVor2TouchElements, radio_layout::kVorTouchOverlay);

}  // namespace

constinit RadioHeadRects VOR1_PanelMouseRect =
    MakePlainRects(kVor, PlainHandlers<&Vor1PanelGauge, NavRadioTune<1, false>, 50, 1000>());
constinit RadioHeadRects VOR2_PanelMouseRect =
    MakePlainRects(kVor, PlainHandlers<&Vor2PanelGauge, NavRadioTune<2, false>, 50, 1000>());
constinit RadioHeadRects VOR1_Panel_touchMouseRect =
    MakeTouchRects(kVor, RingHandlers<&Vor1TouchGauge, NavRadioTune<1, true>, 50, 250>());
constinit RadioHeadRects VOR2_Panel_touchMouseRect =
    MakeTouchRects(kVor, RingHandlers<&Vor2TouchGauge, NavRadioTune<2, true>, 50, 250>());

gauge::ElementHeader* VOR1_PanelElementList[2] = {&gVor1Elements.overlay, nullptr};
gauge::ElementHeader* VOR1_Panel_touchElementList[2] = {&gVor1TouchElements.overlay, nullptr};
gauge::ElementHeader* VOR2_PanelElementList[2] = {&gVor2Elements.overlay, nullptr};
gauge::ElementHeader* VOR2_Panel_touchElementList[2] = {&gVor2TouchElements.overlay, nullptr};

void VOR1_PanelCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Vor1PanelGauge, g, s);
}
void VOR1_Panel_touchCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Vor1TouchGauge, g, s);
}
void VOR2_PanelCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Vor2PanelGauge, g, s);
}
void VOR2_Panel_touchCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Vor2TouchGauge, g, s);
}

}  // namespace zu
