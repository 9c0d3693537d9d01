// State of the two ADF control heads (`ADF1_Panel`, `ADF2_Panel` and their
// touch variants). The heads write the tuned frequency (kHz x 10) into the
// receiver's NavSources record; the FSUIPC poll writes the simulator's two
// frequency words (the BCD main word and the extension word holding the
// thousands digit and the tenths) and, when either changes, retunes the head.
#pragma once

#include <cstdint>

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

}  // namespace zu
