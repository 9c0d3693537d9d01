// The head logic shared by the VOR, ADF and COM control heads, written once.
//
// Every head has two frequency windows, a power knob, a dual concentric
// tuning knob (or a drag ring on the touch gauges), an XFR/MEM rocker, a
// direct-tune and a preset button, and nine presets that can be recalled as
// channels. Its mode machine: 0 off, 1 normal (the knob tunes the standby
// frequency, XFR swaps), 2 direct tune (the knob tunes the active
// frequency), 3 channel (the knob chooses a stored preset, XFR makes it
// active), 4 preset programming (the knob chooses the preset number, XFR
// toggles editing its frequency). A mode timer returns modes 2 to 4 to 1.
//
// The engine knows a head through a `RadioBand` (the band's steps, ends and
// wrap rules, window format, refresh group) and a `RadioHead` (pointers to
// the head's fields in its own record, which keeps its own field order,
// plus its power, lighting and outputs). A `RadioHeadGauge` is one placed
// gauge of a head: its element list, header and touch ring.
#pragma once

#include <cstddef>
#include <cstdint>

#include "instruments/gauge_framework.h"
#include "zu/platform/gauge_api.h"

namespace zu {

enum RadioHeadMode : int32_t {
    kHeadOff = 0,
    kHeadNormal = 1,
    kHeadDirectTune = 2,
    kHeadChannel = 3,
    kHeadPresetProgramming = 4,
};

// Rocker events.
inline constexpr int32_t kRockerXfr = 1;
inline constexpr int32_t kRockerMem = 2;
// Update runs until the rocker image returns to rest.
inline constexpr int32_t kRockerReleaseRuns = 10;
// Mode timer load of the handlers that start it.
inline constexpr int32_t kModeTimerLoad = 300;

// Window text of a frequency (the buffer holds at least 16 characters).
using FrequencyFormat = void (*)(char* text, std::size_t size, float frequency);

struct RadioBand {
    float fine_step;   // inner knob
    float whole_step;  // outer knob
    float low;         // lowest frequency the head tunes
    float high;        // highest
    // Added (below low) or subtracted (above high) when a step leaves the
    // band: after a fine and after a whole step.
    float fine_wrap;
    float whole_wrap;
    // Fine steps turn within the megahertz: a fine down-step from a
    // fractional part below `carry_down_below` first adds one, a fine
    // up-step from one above `carry_up_above` first takes one off.
    // carry_up_above > 1: the fine knob carries (no pre-adjustment).
    float carry_down_below;
    float carry_up_above;
    // A knob step lands on this grid (0: no rounding).
    double grid;
    // Channel search: a preset above this counts as stored.
    float stored_above;
    // A preset below this opened for editing starts at it.
    float edit_floor;
    // Preset editing past an end empties the preset (else it wraps).
    bool edit_empties;
    // Frequency output: trunc((active + 0.001) x scale).
    int32_t output_scale;
    int32_t group;        // refresh group
    uint32_t flash_mask;  // TickCounter bit of the window flashing
    // Frequencies below this flash in modes 1 and 2 (0: never).
    float flash_below;
    FrequencyFormat format;
};

extern const RadioBand kVorBand;
extern const RadioBand kAdfBand;
extern const RadioBand kComBand;

struct RadioHead {
    const RadioBand* band;
    // The frequency record.
    float* standby;
    float* active;
    float* held;  // null: the head has no DME hold
    int32_t* channel;
    int32_t* preset;
    const int32_t* timer_hold;
    const int32_t* channel_timer_hold;
    // The panel state.
    int32_t* mode;
    int32_t* saved_mode;
    int32_t* editing;
    int32_t* rocker_event;
    int32_t* rocker_release;
    float* presets;  // [10], 1..9 used
    int32_t* mode_timer;
    uint8_t* hold_seen;  // null without DME hold
    uint8_t* dme_hold;   // the receiver's DME-hold byte; null without
    // What the update run writes: the tuned frequency x output_scale.
    int32_t* frequency_out;
    // Power, lighting and the transmit flag (null: no transmit legend).
    bool (*powered)();
    bool (*lit)();
    const uint8_t* host_flag;
    int32_t pan;
    int32_t power_second_group;  // also armed by the power knob (-1: none)
    int8_t epic_upper;           // EpicTextSlots of the windows
    int8_t epic_lower;
};

// Element indices (walk order) of a head's gauges.
struct RadioHeadElements {
    int8_t second_upper;  // second window rendering (-1: none)
    int8_t second_lower;
    int8_t hold_legend;  // "D" (-1: none)
    int8_t x_legend;     // transmit legend (-1: none)
    int8_t t_legend;
};
inline constexpr int8_t kOverlayElement = 0;
inline constexpr int8_t kUpperWindowElement = 1;
inline constexpr int8_t kLowerWindowElement = 2;
inline constexpr int8_t kXfrLegendElement = 3;
inline constexpr int8_t kMemLegendElement = 4;
inline constexpr int8_t kRockerRestElement = 5;
inline constexpr int8_t kRockerUpElement = 6;
inline constexpr int8_t kRockerDownElement = 7;
inline constexpr int8_t kPresetLegendElement = 8;

// A head gauge's mouse rectangles: the parent, at most nine areas, the end.
struct RadioHeadRects {
    gauge::MouseRect r[11];
};

struct RadioHeadGauge {
    const RadioHead* head;
    RadioHeadElements elements;
    gauge::ElementHeader* first;  // the gauge's first element
    bool touch;
    // The width that chooses the window rendering (null: one rendering).
    const int32_t* pixel_width;
    // Per instance.
    gauge::GaugeHeader* header;
    uint8_t gauge_is_vc;
    TouchKnobState ring;
};

// ---------------------------------------------------------------------------
// Tuning

// The knob: `delta` is one of the band's fine or whole steps, signed.
void RadioHeadTune(const RadioHead& head, float delta);
// The drag ring of a touch gauge: modes 1 and 2 add `delta` without the
// fine-step pre-adjustment; modes 3 and 4 behave as the knob.
void RadioHeadTouchTune(const RadioHead& head, float delta);

// The band rule: a value past an end gets the wrap added or subtracted.
float RadioBandWrap(const RadioBand& band, float value, bool fine);
// The fine knob's pre-adjustment that keeps it within the megahertz.
float RadioFineCarry(const RadioBand& band, float value, float delta);
// Rounds to the band's grid.
float RadioGridRound(const RadioBand& band, float value);

// ---------------------------------------------------------------------------
// Mouse handler actions (the handlers add the click and return 0)

void RadioHeadPower(const RadioHead& head);
void RadioHeadXfr(const RadioHeadGauge& gauge);
void RadioHeadMem(const RadioHeadGauge& gauge);
void RadioHeadDirectTune(const RadioHead& head);
void RadioHeadPresetButton(const RadioHead& head);
// A zone of the touch ring (0..3, clockwise): calls `tune` with step x
// small or step x large.
void RadioHeadTouchZone(RadioHeadGauge& gauge, int32_t zone, float small_step, float large_step,
                        void (*tune)(float delta));

// ---------------------------------------------------------------------------
// Gauge callback and update run

// The update service of a head gauge (install and initialise keep the
// header and arm the group).
void RadioHeadCallback(RadioHeadGauge& gauge, gauge::GaugeHeader* header, int32_t service);

// The update run, steps 1 to 10, in order.
void RadioHeadUpdateRun(RadioHeadGauge& gauge);
void RadioHeadLighting(const RadioHeadGauge& gauge);
void RadioHeadPowerStep(const RadioHeadGauge& gauge);
void RadioHeadRockerEvent(const RadioHead& head);
void RadioHeadPresetLegend(const RadioHeadGauge& gauge);
void RadioHeadChannelCheck(const RadioHead& head);
void RadioHeadRockerRelease(const RadioHeadGauge& gauge);
void RadioHeadModeTimer(const RadioHead& head);
void RadioHeadSavedMode(const RadioHead& head);
void RadioHeadFrequencyOut(const RadioHead& head);
void RadioHeadWindowRendering(const RadioHeadGauge& gauge);

// Whether any preset 1..9 is not empty.
bool RadioHeadAnyPreset(const RadioHead& head);

// ---------------------------------------------------------------------------
// Window texts (each writes `text`, at least 16 bytes)

void RadioHeadUpperText(const RadioHead& head, char* text, std::size_t size);
// Also runs the DME hold: catches the held frequency, shows or hides the
// "D" legend of `gauge` and clears the hold while the head is off.
void RadioHeadLowerText(const RadioHeadGauge& gauge, char* text, std::size_t size);
// A legend: `legend` while the head is on, as many blanks otherwise.
void RadioHeadLegendText(const RadioHead& head, const char* legend, char* text, std::size_t size);
// The transmit legends: shown while the host flag is set and the head is on.
void RadioHeadTransmitText(const RadioHead& head, const char* legend, char* text, std::size_t size);

// Copies a window text, cut at 6 characters, into its EpicTextSlots slot
// while EPIC is set.
void EpicMirror(int32_t slot, const char* text);

// The window texts of the three bands.
void VorFrequencyText(char* text, std::size_t size, float mhz);
void AdfFrequencyText(char* text, std::size_t size, float khz);
void ComFrequencyText(char* text, std::size_t size, float mhz);

// Element callbacks of every head gauge, by element.
template <RadioHeadGauge* G>
double RadioUpperWindow(gauge::ElementHeader* element) {
    char* text = StringBuffer(element);
    RadioHeadUpperText(*G->head, text, kStringBufferSize);
    EpicMirror(G->head->epic_upper, text);
    return 1.0;
}
template <RadioHeadGauge* G>
double RadioLowerWindow(gauge::ElementHeader* element) {
    char* text = StringBuffer(element);
    RadioHeadLowerText(*G, text, kStringBufferSize);
    EpicMirror(G->head->epic_lower, text);
    return 1.0;
}
template <RadioHeadGauge* G>
double RadioXfrLegend(gauge::ElementHeader* element) {
    RadioHeadLegendText(*G->head, "XFR", StringBuffer(element), kStringBufferSize);
    return 1.0;
}
template <RadioHeadGauge* G>
double RadioMemLegend(gauge::ElementHeader* element) {
    RadioHeadLegendText(*G->head, "MEM", StringBuffer(element), kStringBufferSize);
    return 1.0;
}
template <RadioHeadGauge* G>
double RadioHoldLegend(gauge::ElementHeader* element) {
    RadioHeadLegendText(*G->head, "D", StringBuffer(element), kStringBufferSize);
    return 1.0;
}
template <RadioHeadGauge* G>
double RadioXLegend(gauge::ElementHeader* element) {
    RadioHeadTransmitText(*G->head, "X", StringBuffer(element), kStringBufferSize);
    return 1.0;
}
template <RadioHeadGauge* G>
double RadioTLegend(gauge::ElementHeader* element) {
    RadioHeadTransmitText(*G->head, "T", StringBuffer(element), kStringBufferSize);
    return 1.0;
}

}  // namespace zu
