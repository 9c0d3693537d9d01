// The symbol-generator select panels `VSI1 SEL` and `VSI2 SEL`, one beside
// each pilot's displays: three push-buttons (DME hold, TAS, symbol-generator
// transfer) with their annunciations, and the marker-beacon legends.
//
// DME hold is the last byte of the side's VOR record (`computed_distance` in
// core/nav_sources.h); engaging it raises the side's VsiSelRequest for the
// navigation-source update. The TAS button raises the side's
// TasDisplayRequest for the displays' advisory line (flight guidance), whose
// countdown lights the TAS lamp. The transfer flag makes the side's
// attitude and navigation displays show the other side's picture. Refresh
// group 2.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Per side: 1 while that side's displays show the other side's symbol
// generator (its data, format and mode), else 0.
extern uint8_t SgTransfer[2];

// Bitmaps: the lit face (element 0), the unlit face the window background
// carries, the TAS lamp and the transfer lamp.
inline constexpr uint32_t kSgSelFaceLit = 15642;
inline constexpr uint32_t kSgSelFace = 15643;
inline constexpr uint32_t kSgSelTasLamp = 15644;
inline constexpr uint32_t kSgSelTransferLamp = 15645;
inline constexpr int32_t kSgSelWidth = 138;
inline constexpr int32_t kSgSelHeight = 28;
// The three buttons: 31 x 26 at y 0.
inline constexpr int32_t kSgSelButtonWidth = 31;
inline constexpr int32_t kSgSelButtonHeight = 26;
inline constexpr int32_t kSgSelButtonX[3] = {5, 54, 105};
// The lamps' size.
inline constexpr int32_t kSgSelLampWidth = 29;
inline constexpr int32_t kSgSelLampHeight = 10;

// Elements in chain order.
enum SgSelElement : int32_t {
    kSgSelElemFace = 0,
    kSgSelElemDme = 1,
    kSgSelElemHold = 2,
    kSgSelElemTas = 3,
    kSgSelElemTasLamp = 4,
    kSgSelElemOuter = 5,
    kSgSelElemInner = 6,
    kSgSelElemMiddle = 7,
    kSgSelElemTransferLamp = 8,
};

// Rectangles 1-3: DME hold, TAS, transfer.
extern gauge::ElementHeader* VSI1_SELElementList[2];
extern gauge::ElementHeader* VSI2_SELElementList[2];
extern gauge::MouseRect VSI1_SELMouseRect[];
extern gauge::MouseRect VSI2_SELMouseRect[];
void SgSelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The visibility routine of side s (0 or 1), and the three keys.
void SgSelVisibility(int side);
int32_t SgSelDmeHoldKey(int side);
int32_t SgSelTasKey(int side);
int32_t SgSelTransferKey(int side);

}  // namespace zu
