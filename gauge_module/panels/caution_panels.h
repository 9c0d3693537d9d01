// The caution and warning panel, `Caution` (worked on the update service)
// and `Caution_Large` (worked on the draw service).
//
// 97 legends in 7 rows of 14 (the last row 13): rows 0-5 amber cautions,
// row 6 red warnings. The panels only show CautionLightArray: a caution
// light is re-evaluated when its state or the annunciator test changed since
// the panel last looked; the warning row on every pass, flashing with the
// master warning while its latch is set. Legends are written in the
// brightness of the caution dim switch, four times after each change.
#pragma once

#include <cstdint>

#include "core/caution_logic.h"
#include "zu/platform/gauge_api.h"

namespace zu {

inline constexpr int kCautionPanelRows = 7;
inline constexpr int kCautionLegendCells = 97;
inline constexpr int kCautionLegendWriteLimit = 4;
// The shown state every light is given at install: never a real state, so
// every light is evaluated on the first pass.
inline constexpr uint32_t kCautionUnseenState = 45;
// A legend element carries 20 + its cell number (in its highlight colour
// field, which the host does not use for legends).
inline constexpr uint32_t kCautionLegendNumberBase = 20;

// The legend of each cell (row x 14 + column); "----" where a position has
// no legend.
extern const char* const CautionLegendTable[kCautionLegendCells];

// Legend colours (0x00BBGGRR): amber and red, bright and dim.
inline constexpr uint32_t kLegendAmberBright = 0x0000C8C8;
inline constexpr uint32_t kLegendRedBright = 0x000000C8;
inline constexpr uint32_t kLegendAmberDim = 0x00008585;
inline constexpr uint32_t kLegendRedDim = 0x00000085;

// The state each caution gauge keeps for itself.
struct CautionPanelState {
    uint32_t CautionShownStates[kCautionLights];
    uint8_t CautionTestShown;
    int32_t CautionLegendWrites[127];
    gauge::GaugeHeader* header;
    // Set for both panels when either sees a new brightness: each rewrites
    // its own legends on its next pass.
    uint8_t brightness_resync;
    // Element 0 (background) and the 97 legends, found once at install.
    gauge::ElementHeader* element[kCautionLegendCells + 1];
};
extern CautionPanelState CautionPanel;       // `Caution`
extern CautionPanelState CautionLargePanel;  // `Caution_Large`

extern gauge::ElementHeader* CautionElementList[2];
extern gauge::ElementHeader* Caution_LargeElementList[2];
void CautionGaugeCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void CautionLargeGaugeCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The legend's colour for a brightness: the element's class (amber when its
// current colour has any green, else red) in bright or dim.
uint32_t CautionLegendColour(uint32_t current, int32_t brightness);

}  // namespace zu
