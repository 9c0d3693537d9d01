// Selections of the marker and audio panels. The panels only
// hold these bytes; the audio routing and the cabin logic act on them, and
// the FSUIPC write batch passes one of them on to the simulator.
#pragma once

#include <cstdint>

namespace zu {

// [0], [1] the two MARKERS_Panel switches; [2], [3] AUDIO_Panel buttons 2
// and 3 (0/1).
extern uint8_t MarkerPanelSwitches[4];
// AUDIO_Panel button 1 (0/1).
extern uint8_t AudioPanelToggle;
// [0]..[10] AUDIO_Panel buttons 4 to 14; [11], [12] its two two-position
// switches (0/1).
extern uint8_t AudioPanelSwitches[13];
// AUDIO_Panel knob, 0..5.
extern int32_t AudioPanelVolume;

// ENTERTAINMENT_Panel: the master (0/1, initial 1), the programme selected
// (1..7, 11..14; 0 none) and the cabin-music button (0/1). The flight-phase
// sequencer writes them too.
extern uint8_t EntertainmentOn;
extern int32_t EntertainmentSelection;
extern uint8_t CabinMusicSwitch;

}  // namespace zu
