// Three small gauges: `FDR_panel` (the flight data recorder's momentary
// test switch and three-position selector), `SWITCHBOARD_gauge` (ten
// buttons that open panel windows and send simulator events; refresh group
// 8) and `CALLSIGN_gauge` (the plate with the aircraft's call sign).
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The FDR test switch (0 / 1); springs back kFdrTestPasses panel passes
// after it was pressed. The recorder light reads it.
extern uint8_t FdrPanelSwitch;
extern int32_t FdrTestCountdown;
inline constexpr int32_t kFdrTestPasses = 12;
// The FDR selector (0, 1, 2; initial 1).
extern int32_t FdrPanelMode;

// The switchboard: 0 folded, 1 open.
extern uint8_t SwitchboardState;

// The panel windows and simulator events the switchboard uses.
inline constexpr uint32_t kSwitchboardWindow = 22;
inline constexpr uint32_t kMainPanelWindow = 0;
inline constexpr uint32_t kSwitchboardViewEvent = 0x100A5;
inline constexpr uint32_t kSwitchboardViewValue = 47;
inline constexpr uint32_t kSwitchboardEventValue = 255;

// The longest call sign the plate shows.
inline constexpr int kCallsignLength = 12;

// FDR_panel rectangles 1-4: test switch, selector 0, 1, 2.
extern gauge::ElementHeader* FDR_panelElementList[2];
extern gauge::MouseRect FDR_panelMouseRect[];
void FdrPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// SWITCHBOARD_gauge rectangles 1-10, left to right.
extern gauge::ElementHeader* SWITCHBOARD_gaugeElementList[2];
extern gauge::MouseRect SWITCHBOARD_gaugeMouseRect[];
void SwitchboardCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* CALLSIGN_gaugeElementList[2];
void CallsignCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
