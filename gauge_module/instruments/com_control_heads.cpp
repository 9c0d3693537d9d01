#include "instruments/com_control_heads.h"

#include "core/electrical_system.h"
#include "displays/display_pixel_size.h"
#include "instruments/gauge_framework.h"
#include "instruments/radio_head_elements.h"

namespace zu {

// The frequency to send starts equal to the one marked sent, so nothing is
// sent before the head has written a tuned frequency.
ComRadioRecord Com1Radio = {119, 119, 118, 119, 118.0f, 118.0f, 1, 1, 300, 100};
ComRadioRecord Com2Radio = {119, 119, 118, 119, 118.25f, 118.25f, 1, 1, 300, 100};
ComPanelStateRecord Com1PanelState = {};
ComPanelStateRecord Com2PanelState = {};
uint8_t Com1PanelHostFlag = 0;
uint8_t ComPanelHostFlag = 0;
uint8_t RadioChangedFlag = 0;

namespace {

bool Com1Powered() {
    return Powered(BusPowered.get(kPoweredLeftEssential));
}
bool Com2Powered() {
    return Powered(AcBusPowered.get(2));
}
bool ComLit() {
    return PanelLightingCircuit2.get() != 0;
}

}  // namespace

#define ZU_COM_HEAD(radio, state, powered, flag, upper, lower)                                  \
    {                                                                                           \
        &kComBand, &radio.standby, &radio.active, nullptr, &radio.channel, &radio.preset,       \
            &radio.timer_hold, &radio.channel_timer_hold, &state.mode, &state.saved_mode,       \
            &state.editing, &state.rocker_event, &state.rocker_release, state.presets,          \
            &state.mode_timer, nullptr, nullptr, &radio.send_frequency, powered, ComLit, &flag, \
            1333, -1, upper, lower                                                              \
    }
const RadioHead Com1Head =
    ZU_COM_HEAD(Com1Radio, Com1PanelState, Com1Powered, Com1PanelHostFlag, 9, 8);
const RadioHead Com2Head =
    ZU_COM_HEAD(Com2Radio, Com2PanelState, Com2Powered, ComPanelHostFlag, 13, 12);
#undef ZU_COM_HEAD

namespace {

using namespace radio_elements;
using radio_layout::kNarrow;

// Elements 8..12: preset legend, second rendering of both windows, "X", "T".
constexpr RadioHeadElements kComElements = {9, 10, -1, 11, 12};
constexpr int kComElementCount = 13;

template <RadioHeadGauge* G>
constexpr HeadElementSet ComElements(HeadElementSet* self) {
    StringSpec first[4]{};
    FirstStrings<G>(kNarrow, radio_layout::kComWindowFont, first);
    const StringSpec tail[kTailStrings] = {
        PresetLegend(kNarrow, RadioMemLegend<G>),
        {kNarrow.upper, "Quartz", radio_layout::kComWindowFontSecond, kUpperColour, kHiddenText, 2,
         RadioUpperWindow<G>},
        {kNarrow.lower, "Quartz", radio_layout::kComWindowFontSecond, kLowerColour, kHiddenText, 2,
         RadioLowerWindow<G>},
        {kNarrow.side_legend_2, "Small Fonts", 14, kUpperColour, kTextFlags, 1, RadioXLegend<G>},
        {kNarrow.side_legend_1, "Small Fonts", 14, kUpperColour, kTextFlags, 1, RadioTLegend<G>},
    };
    return MakeHeadElements(self, radio_layout::kComOverlay, kNarrow.rocker, first, tail,
                            kComElementCount);
}

extern HeadElementSet gCom1Elements;
extern HeadElementSet gCom2Elements;

}  // namespace

RadioHeadGauge Com1PanelGauge = {
    &Com1Head, kComElements, &gCom1Elements.overlay, false, &DisplayPixelSize2[0], nullptr, 0, {}};
RadioHeadGauge Com2PanelGauge = {
    &Com2Head, kComElements, &gCom2Elements.overlay, false, &DisplayPixelSize2[0], nullptr, 0, {}};

namespace {

constinit HeadElementSet gCom1Elements = ComElements<&Com1PanelGauge>(&gCom1Elements);
constinit HeadElementSet gCom2Elements = ComElements<&Com2PanelGauge>(&gCom2Elements);

}  // namespace

constinit RadioHeadRects COM1_PanelMouseRect =
    MakePlainRects(kNarrow, PlainHandlers<&Com1PanelGauge, ComRadioTune<1>, 25, 1000>());
constinit RadioHeadRects COM2_PanelMouseRect =
    MakePlainRects(kNarrow, PlainHandlers<&Com2PanelGauge, ComRadioTune<2>, 25, 1000>());

gauge::ElementHeader* COM1_PanelElementList[2] = {&gCom1Elements.overlay, nullptr};
gauge::ElementHeader* COM2_PanelElementList[2] = {&gCom2Elements.overlay, nullptr};

void COM1_PanelCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Com1PanelGauge, g, s);
}
void COM2_PanelCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    RadioHeadCallback(Com2PanelGauge, g, s);
}

}  // namespace zu
