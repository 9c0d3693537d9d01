// The two ADF control heads (`ADF1_Panel`, `ADF2_Panel` and the touch
// variants `ADF1_Panel_touch`, `ADF2_Panel_touch`; a touch gauge and its plain
// gauge share all state). The head logic is the shared radio head
// (instruments/radio_head.h) on the ADF band: 100.0 to 1799.5 kHz in steps
// of 0.5 and 10 kHz; frequencies below 190.0 kHz flash.
//
// The heads write the tuned frequency (kHz x 10) into the receiver's
// NavSources record; the FSUIPC poll writes the simulator's two frequency
// words (the BCD main word and the extension word holding the thousands
// digit and the tenths) and, when either changes, retunes the head.
#pragma once

#include <cstdint>

#include "instruments/radio_head.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// Frequencies and channel selection of one ADF head (kHz).
struct AdfRadioRecord {
    float standby;
    float active;  // tuned frequency; also set by the FSUIPC poll
    int32_t channel;
    int32_t preset;
    int32_t timer_hold;
    int32_t channel_timer_hold;
};

struct AdfPanelStateRecord {
    int32_t host_frequency;  // BCD main word of the simulator's frequency
    int32_t host_frequency_seen;
    int32_t host_frequency_ext;  // high byte thousands digit, low byte tenths
    int32_t host_frequency_ext_seen;
    int32_t mode;  // 0 off, 1 normal, 2 direct tune, 3 channel, 4 preset programming
    int32_t saved_mode;
    int32_t editing;
    int32_t rocker_event;
    int32_t rocker_release;
    float presets[10];
    int32_t mode_timer;
};

extern AdfRadioRecord Adf1Radio;
extern AdfRadioRecord Adf2Radio;
extern AdfPanelStateRecord Adf1PanelState;
extern AdfPanelStateRecord Adf2PanelState;

// The heads' mode fields under their saved names (references).
extern int32_t& FGC_comp_ADF1_MODE;
extern int32_t& FGC_comp_ADF2_MODE;

extern const RadioHead Adf1Head;
extern const RadioHead Adf2Head;

// The tuning routine of a side, the same for its plain and touch gauge:
// knob areas -0.5, +0.5, -10.0, +10.0; the ring step x 0.5 or step x 5.
template <int Side>
void AdfRadioTune(float delta) {
    RadioHeadTune(Side == 1 ? Adf1Head : Adf2Head, delta);
}

// Gauge table entries.
extern gauge::ElementHeader* ADF1_PanelElementList[2];
extern gauge::ElementHeader* ADF2_PanelElementList[2];
extern gauge::ElementHeader* ADF1_Panel_touchElementList[2];
extern gauge::ElementHeader* ADF2_Panel_touchElementList[2];
extern RadioHeadRects ADF1_PanelMouseRect;
extern RadioHeadRects ADF2_PanelMouseRect;
extern RadioHeadRects ADF1_Panel_touchMouseRect;
extern RadioHeadRects ADF2_Panel_touchMouseRect;
void ADF1_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void ADF2_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void ADF1_Panel_touchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void ADF2_Panel_touchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern RadioHeadGauge Adf1PanelGauge;
extern RadioHeadGauge Adf1TouchGauge;
extern RadioHeadGauge Adf2PanelGauge;
extern RadioHeadGauge Adf2TouchGauge;

}  // namespace zu
