// State of the two VOR control heads (`VOR1_Panel`, `VOR2_Panel` and their
// touch variants): the tuned, standby and held frequencies of each receiver
// and the head's mode machine. The heads write the tuned frequency into the
// receiver's NavSources record on every update run; the FSUIPC poll writes
// the simulator's own frequency of the receiver into host_frequency and,
// when it changes, retunes the head.
#pragma once

#include <cstdint>

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

}  // namespace zu
