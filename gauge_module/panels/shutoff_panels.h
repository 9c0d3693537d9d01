// The flight-control shut-off panels: `Roll_spoilers_shutoff` (refresh
// group 5), `Rudders_shutoff` and `StickPusher_shutoff` (group 4). Their
// switches write the shut-off words the hydraulics, flight-controls and
// stall-warning steps read; their legends show which actuators are off or
// should be pushed off.
//
// Mouse rectangles, in order (a scenario's `click` numbers them from 1):
// Roll_spoilers_shutoff: left, right. Rudders_shutoff: switches 1 to 4,
// left to right (RuddersShutoffA[0], RuddersShutoffB[0],
// RuddersShutoffB[1], RuddersShutoffA[1]). StickPusher_shutoff: the switch.
//
// Elements (numbered after an always-shown backdrop): 0 the lit captions,
// then the legends: 1 and 2 ("OFF") on Roll_spoilers_shutoff, 1 to 4
// ("PUSH OFF") on Rudders_shutoff, 1 on StickPusher_shutoff.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

extern gauge::ElementHeader* Roll_spoilers_shutoffElementList[2];
extern gauge::MouseRect Roll_spoilers_shutoffMouseRect[];
void RollSpoilersShutoffCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* Rudders_shutoffElementList[2];
extern gauge::MouseRect Rudders_shutoffMouseRect[];
void RuddersShutoffCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* StickPusher_shutoffElementList[2];
extern gauge::MouseRect StickPusher_shutoffMouseRect[];
void StickPusherShutoffCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The first numbered element (element 0) of each, for tests.
gauge::ElementHeader* RollSpoilersShutoffFirst();
gauge::ElementHeader* RuddersShutoffFirst();
gauge::ElementHeader* StickPusherShutoffFirst();

// The legends' element callbacks: "OFF" while the switch word is set and
// annunciator power is on, else empty; "PUSH OFF" always.
double ShutoffLegendOffLeft(gauge::ElementHeader* element);
double ShutoffLegendOffRight(gauge::ElementHeader* element);
double PushOffLegend(gauge::ElementHeader* element);

}  // namespace zu
