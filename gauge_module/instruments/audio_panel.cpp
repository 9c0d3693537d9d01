#include "instruments/audio_panel.h"

namespace zu {

uint8_t MarkerPanelSwitches[4] = {};
uint8_t AudioPanelToggle = 1;
uint8_t AudioPanelSwitches[13] = {};
int32_t AudioPanelVolume = 0;
uint8_t EntertainmentOn = 1;
int32_t EntertainmentSelection = 0;
uint8_t CabinMusicSwitch = 0;

}  // namespace zu
