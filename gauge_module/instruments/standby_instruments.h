// Three small instruments of the centre panel:
//   `Stby attitude`  the standby attitude indicator on the simulator's own
//                    pitch and bank, with a warning flag on the left
//                    essential bus;
//   `PFCS`           the flight-control-surface indicator: the four roll
//                    spoilers and the fourth surface;
//   `RMI`            the radio magnetic indicator: a heading card driven by
//                    AHRS 1 and two bearing pointers, each switched between
//                    a VOR and an ADF receiver by a knob.
// The standby attitude indicator and the PFCS belong to refresh group 2,
// the RMI to group 3; all three light with panel-lighting circuit 3.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Sources of the RMI's pointers: 0 the VOR receiver, 1 the ADF receiver.
extern uint8_t RmiSourceSelect1;
extern uint8_t RmiSourceSelect2;

// Travel of the two warning flags, 0 (out of view) .. 16 (in view); one
// step a frame.
extern int32_t StbyAttitudeFlagTravel;
// The standby attitude ball's pitch and turn, as its first element last
// set them for the elements after it.
extern double StbyBallPitch;
extern double StbyBallBank;
extern int32_t RmiHeadingFlagTravel;

// Simulator variables of the standby attitude indicator: pitch (degrees,
// nose up positive) and bank (degrees, right wing down positive).
inline constexpr uint32_t kStbyPitchToken = 0x4E;
inline constexpr uint32_t kStbyBankToken = 0x50;

// Stby attitude: no mouse rectangles.
extern gauge::ElementHeader* Stby_attitudeElementList[2];
void StbyAttitudeCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// PFCS: no mouse rectangles.
extern gauge::ElementHeader* PFCSElementList[2];
void PfcsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// RMI rectangles 1, 2: the left (pointer 1) and right (pointer 2) source
// selector.
extern gauge::ElementHeader* RMIElementList[2];
extern gauge::MouseRect RMIMouseRect[];
void RmiCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
