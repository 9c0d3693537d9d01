// The head-up guidance panels: the HGS control panel (`HGS_panel`,
// `HGS_VC_panel`), the runway-speed unit (`RASU_panel`, `RASU_VC_panel`,
// `RASU_panel_touch`), the HGS annunciator (`HGS_Annunciator_panel`) and the
// HUD switch (`HGS_HUD_switch`). The mouse handlers only raise the HGS key
// bytes (taken by HgsUpdate on the next tick) or flip the HUD flag; the HGS
// panel paints its mode and entry lines and the RASU its speed on drawn
// surfaces. Refresh groups: 1 for the HGS and RASU panels, 2 for the
// annunciator, 0 for the HUD switch.
//
// The HGS values and the HUD flag are kept with the saved flight
// (HgsStateSave / HgsStateLoad).
#pragma once

#include <cstdint>

#include "displays/repaint_key.h"
#include "zu/platform/drawing.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// The HUD switch's position (1 shown), saved with the flight.
extern uint8_t HGS_HGS_HUD_show_flag;
// The touch knob's last sector, 0..3 clockwise from top left.
extern int32_t RasuTouchSector;

// Text design grids of the two drawn surfaces.
inline constexpr int32_t kHgsTextGridWidth = 68;
inline constexpr int32_t kHgsTextGridHeight = 69;
inline constexpr int32_t kRasuGridWidth = 65;
inline constexpr int32_t kRasuGridHeight = 34;

// The panel's yellow scaled by a brightness 0..255: each channel x
// brightness / 256, masked to 16 levels.
uint32_t HgsPanelColour(int32_t brightness);

// The pictures, on a context already mapped to their grids.
void HgsTextPaint(platform::DrawContext* dc);
void RasuReadoutPaint(platform::DrawContext* dc);
// What each picture reads, for its repaint key.
void HgsTextKeyAdd(RepaintKeyBuilder& key);
void RasuReadoutKeyAdd(RepaintKeyBuilder& key);

// Saved-flight keys of the head-up guidance (section of the saved flight).
// A key that is missing, fails its checksum or holds a value out of range
// leaves its variable as it was.
void HgsStateSave(const char* path);
void HgsStateLoad(const char* path);

// Mouse rectangles in the order: HGS 1 transfer, 2 cycle, 3 elevation, 4
// slope, 5-13 digits 1-9, 14 enter, 15 digit 0, 16 test, 17 clear, 18
// bright, 19 dark; RASU 1 speed down, 2 speed up, 3 brightness down, 4
// brightness up; touch: sectors 0-3, then the two brightness keys; HUD
// switch: 1.
extern gauge::ElementHeader* HGS_panelElementList[2];
extern gauge::MouseRect HGS_panelMouseRect[];
extern gauge::ElementHeader* HGS_VC_panelElementList[2];
extern gauge::MouseRect HGS_VC_panelMouseRect[];
extern gauge::ElementHeader* RASU_panelElementList[2];
extern gauge::MouseRect RASU_panelMouseRect[];
extern gauge::ElementHeader* RASU_VC_panelElementList[2];
extern gauge::MouseRect RASU_VC_panelMouseRect[];
extern gauge::ElementHeader* RASU_panel_touchElementList[2];
extern gauge::MouseRect RASU_panel_touchMouseRect[];
extern gauge::ElementHeader* HGS_Annunciator_panelElementList[2];
extern gauge::ElementHeader* HGS_HUD_switchElementList[2];
extern gauge::MouseRect HGS_HUD_switchMouseRect[];

void HgsPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void HgsVcPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void RasuPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void RasuVcPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void RasuTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void HgsAnnunciatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void HgsHudSwitchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
