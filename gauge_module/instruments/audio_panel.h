// The marker, audio and entertainment panels. They only hold selections:
// the audio routing, the announcement player and the flight-phase sequencer
// act on them, and the FSUIPC write batch passes one of them on to the
// simulator.
//
// MARKERS_Panel: 0 lit background (starts hidden); 1/2 "on"/"off" images of
// switch 0; 3/4 those of switch 1.
// AUDIO_Panel: 0 lit background (starts hidden); 1/2 knob pointer unlit/lit;
// 3..16 the "off" images of the fourteen buttons (button order:
// AudioPanelToggle, MarkerPanelSwitches[2], [3], AudioPanelSwitches[0..10]);
// 17/18 switch AudioPanelSwitches[11] off/on; 19/20 switch [12]; 21..34 the "on"
// (lamp lit) images of the buttons.
// ENTERTAINMENT_Panel: 0 background (shown while powered); 1 on/off lamp;
// 2..8 programmes 1..7; 9..12 programmes 11..14; 13 music (1..13 start
// hidden).
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

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

// Gauge records.
extern gauge::ElementHeader* MARKERS_PanelElementList[2];
extern gauge::MouseRect MARKERS_PanelMouseRect[4];
void MARKERS_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* AUDIO_PanelElementList[2];
extern gauge::MouseRect AUDIO_PanelMouseRect[20];
void AUDIO_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* ENTERTAINMENT_PanelElementList[2];
extern gauge::MouseRect ENTERTAINMENT_PanelMouseRect[15];
void ENTERTAINMENT_PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The mouse handlers, in rectangle order.
int32_t MarkersSwitchClick(int index);
int32_t AudioKnobStep(int32_t step);
int32_t AudioButtonClick(int button);  // 0..13
int32_t AudioSwitchClick(int index);   // 0, 1: AudioPanelSwitches[11], [12]
int32_t EntertainmentOnOffClick();
int32_t EntertainmentProgrammeClick(int32_t programme);
int32_t EntertainmentMusicClick();

// Pointer angle of the knob (degrees) for AudioPanelVolume.
double AudioKnobPointerAngle();

}  // namespace zu
