// The two COM control heads, `COM1_Panel` and `COM2_Panel` (no touch
// variants). The head logic is the shared radio head
// (instruments/radio_head.h) on the communication band, 118.000 to 136.975
// MHz on a 25 kHz grid, with three-decimal windows and the transmit legend
// "T" over "X".
//
// Each head writes the frequency to send (MHz x 100) on every update run;
// the FSUIPC write batch clamps and sends it and keeps what it sent; the
// FSUIPC poll reads the simulator's frequency back in BCD and retunes the
// head when it changes.
#pragma once

#include <cstdint>

#include "instruments/radio_head.h"
#include "zu/platform/gauge_api.h"

namespace zu {

struct ComRadioRecord {
    int32_t send_frequency;  // MHz x 100 to send to the simulator
    int32_t sent_frequency;  // last value sent
    int32_t host_bcd;        // the simulator's frequency in BCD as last read
    int32_t host_bcd_seen;   // last host_bcd acted on
    float standby;           // MHz
    float active;            // MHz; also set by the FSUIPC poll
    int32_t channel;
    int32_t preset;
    int32_t timer_hold;
    int32_t channel_timer_hold;
};

struct ComPanelStateRecord {
    int32_t mode;  // 0 off, 1 normal, 2 direct tune, 3 channel, 4 preset programming
    int32_t saved_mode;
    int32_t editing;
    int32_t rocker_event;
    int32_t rocker_release;
    float presets[10];
    int32_t mode_timer;
};

extern ComRadioRecord Com1Radio;
extern ComRadioRecord Com2Radio;
extern ComPanelStateRecord Com1PanelState;
extern ComPanelStateRecord Com2PanelState;

// Transmit flags read from the simulator on every poll: COM1 shows its
// transmit legend while Com1PanelHostFlag is set, COM2 while
// ComPanelHostFlag is set.
extern uint8_t Com1PanelHostFlag;
extern uint8_t ComPanelHostFlag;

// Set to 1 by the poll when the simulator retuned a COM radio; the traffic
// and radio displays redraw on it.
extern uint8_t RadioChangedFlag;

extern const RadioHead Com1Head;
extern const RadioHead Com2Head;

// The tuning routine of a head: knob areas -0.025, +0.025, -1.0, +1.0.
template <int Side>
void ComRadioTune(float delta) {
    RadioHeadTune(Side == 1 ? Com1Head : Com2Head, delta);
}

// Gauge table entries.
extern gauge::ElementHeader* COM1_PanelElementList[2];
extern gauge::ElementHeader* COM2_PanelElementList[2];
extern RadioHeadRects COM1_PanelMouseRect;
extern RadioHeadRects COM2_PanelMouseRect;
void COM1_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void COM2_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern RadioHeadGauge Com1PanelGauge;
extern RadioHeadGauge Com2PanelGauge;

}  // namespace zu
