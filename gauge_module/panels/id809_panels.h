// The two ID809 flight-guidance display panels, `ID809a_Panel` (side 1)
// and `ID809b_Panel` (side 2): the side's message lines, its armed and
// active modes, "DUAL" during a dual approach, and a newly engaged mode in
// reverse video (dark text on green blocks) for about 77 frames. Keys:
// message acknowledge and the AFCS master selection. Refresh group 2.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Reverse-video countdowns per side: [0] vertical, [1] lateral. Started at
// kId809BlankStart when the side's FMA flag drops to 0 with a mode engaged;
// the bottom-row legends count them down. The attitude displays box the
// active modes while they run.
extern int32_t Id809BlankCountdown[2];
extern int32_t Id809BlankCountdown2[2];
inline constexpr int32_t kId809BlankStart = 230;

// Block pattern buffer of a panel (its first 22 characters "g" at install).
inline constexpr int kId809BlockTextSize = 31;
inline constexpr int kId809BlockShown = 6;  // characters copied to the element

// The block pattern of a mode text in `block` (a panel's buffer): a filled
// square ("g" of the block font) under every two characters that are not
// blank. The lateral text is laid out from its left end, the vertical text
// from its right end (13 half-squares).
void Id809LateralBlocks(char (&block)[kId809BlockTextSize], const char* text, int text_size);
void Id809VerticalBlocks(char (&block)[kId809BlockTextSize], const char* text, int text_size);

// Mouse rectangles 1-3: message acknowledge, AFCS master 1, AFCS master 2.
extern gauge::ElementHeader* ID809a_PanelElementList[2];
extern gauge::MouseRect ID809a_PanelMouseRect[];
void Id809aCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* ID809b_PanelElementList[2];
extern gauge::MouseRect ID809b_PanelMouseRect[];
void Id809bCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
