// The two VOR control heads (`VOR1_Panel`, `VOR2_Panel` and their touch
// variants `VOR1_Panel_touch`, `VOR2_Panel_touch`, which replace the knob by
// a drag ring and keep only the XFR button; a touch gauge and its plain gauge
// share all state). The head logic is the shared radio head
// (instruments/radio_head.h) on the VOR band, 108.00 to 117.95 MHz.
//
// Each head writes its tuned frequency (MHz x 100) into its receiver's
// NavSources record on every update run; the FSUIPC poll writes the
// simulator's own frequency into host_frequency and, when it changes,
// retunes the head. DME hold is the receiver record's last byte
// (`computed_distance`): while it is set the lower window shows the
// frequency that was active when hold was set, the "D" legend shows and the
// knob in mode 1 tunes the active frequency.
#pragma once

#include <cstdint>

#include "instruments/radio_head.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// Frequencies and channel selection of one VOR head (MHz).
struct NavRadioRecord {
    float standby;               // lower window in mode 1
    float active;                // tuned frequency; also set by the FSUIPC poll
    float held;                  // frequency frozen by DME hold
    int32_t channel;             // 1..9 (mode 3)
    int32_t preset;              // preset 1..9 being programmed (mode 4)
    int32_t timer_hold;          // mode timer load of most actions
    int32_t channel_timer_hold;  // mode timer load on entering channel mode
};

// Mode machine and simulator frequency of one radio head.
struct RadioPanelState {
    int32_t host_frequency;       // the simulator's frequency, BCD in the low 16 bits
    int32_t host_frequency_seen;  // last host_frequency the poll acted on
    int32_t mode;                 // 0 off, 1 normal, 2 direct tune, 3 channel, 4 preset programming
    int32_t saved_mode;
    int32_t editing;
    int32_t rocker_event;    // 0 none, 1 XFR, 2 MEM
    int32_t rocker_release;  // countdown until the rocker image returns to rest
    float presets[10];       // MHz; [1]..[9] used, 0.0 = empty
    int32_t mode_timer;
    uint8_t hold_seen;
};

extern NavRadioRecord Vor1Radio;
extern NavRadioRecord Vor2Radio;
extern RadioPanelState Vor1PanelState;
extern RadioPanelState Vor2PanelState;

// The heads' mode fields under the names the saved flight and the
// navigation sources use (references to the fields themselves).
extern int32_t& FGC_comp_VOR1_MODE;
extern int32_t& FGC_comp_VOR2_MODE;

// The two heads as the shared logic sees them.
extern const RadioHead Vor1Head;
extern const RadioHead Vor2Head;

// The tuning routine of a head (side 1 or 2), plain knob or touch ring:
// the knob areas call it with -0.05, +0.05, -1.0, +1.0; the ring with
// step x 0.05 or step x 0.25.
template <int Side, bool Touch>
void NavRadioTune(float delta) {
    const RadioHead& head = Side == 1 ? Vor1Head : Vor2Head;
    if constexpr (Touch) {
        RadioHeadTouchTune(head, delta);
    } else {
        RadioHeadTune(head, delta);
    }
}

// Gauge table entries.
extern gauge::ElementHeader* VOR1_PanelElementList[2];
extern gauge::ElementHeader* VOR1_Panel_touchElementList[2];
extern gauge::ElementHeader* VOR2_PanelElementList[2];
extern gauge::ElementHeader* VOR2_Panel_touchElementList[2];
extern RadioHeadRects VOR1_PanelMouseRect;
extern RadioHeadRects VOR1_Panel_touchMouseRect;
extern RadioHeadRects VOR2_PanelMouseRect;
extern RadioHeadRects VOR2_Panel_touchMouseRect;
void VOR1_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void VOR1_Panel_touchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void VOR2_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void VOR2_Panel_touchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The placed gauges (for tests and benchmarks).
extern RadioHeadGauge Vor1PanelGauge;
extern RadioHeadGauge Vor1TouchGauge;
extern RadioHeadGauge Vor2PanelGauge;
extern RadioHeadGauge Vor2TouchGauge;

}  // namespace zu
