// The overhead's DC and AC switch panels, `battery_panel` and `ac_Panel`.
//
// Each switch position is a 32-bit field of Electrics_sys (0 off, 255 on;
// the auxiliary inverter selector is three one-hot fields), which the
// electrical step reads. A click flips a switch, plays its click and re-arms
// the overhead refresh group; the refresh (while group 0 or the refresh-all
// countdown runs) re-shows every switch's image for its position, lit or
// unlit, and the panel's external-power lamp.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// battery_panel rectangles 1-8: fields 0x08, 0x04, 0x00, 0x1C, 0x18, 0x20,
// 0x24, 0x0C.
extern gauge::ElementHeader* battery_panelElementList[2];
extern gauge::MouseRect battery_panelMouseRect[];
void BatteryPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// ac_Panel rectangles 1-6: fields 0xD9, 0xBD, the auxiliary inverter
// selector, 0xC1, 0xD5, 0xD1.
extern gauge::ElementHeader* ac_PanelElementList[2];
extern gauge::MouseRect ac_PanelMouseRect[];
void AcPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The key event the battery switch at 0x08 sends before anything else.
inline constexpr uint32_t kBatterySwitchKeyEvent = 0x102BD;

// The lamps' rules (exposed for tests): external DC power available, and
// external AC power available, each with the panel lamp test.
bool ExternalDcLampShown();
bool ExternalAcLampShown();

}  // namespace zu
