// The gauges that carry the control-display unit: FMS (the 2D panel's CDU,
// screen and keyboard), FMS_VC (its virtual-cockpit twin) and FMS_show (the
// panel button that opens and closes the CDU's window).
#pragma once

#include <cstdint>

#include "displays/repaint_key.h"
#include "fms/cdu_painter.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// Bitmaps of the CDU (block 0x1800).
inline constexpr uint32_t kFmsArtBlock = 0x1800;
inline constexpr uint32_t kFmsBezelBitmap = kFmsArtBlock + 0;
inline constexpr uint32_t kFmsLitBitmap = kFmsArtBlock + 1;
inline constexpr uint32_t kFmsScreenBitmap = kFmsArtBlock + 2;
inline constexpr uint32_t kFmsShowBitmap = kFmsArtBlock + 3;

inline constexpr int32_t kFmsBezelWidth = 335;
inline constexpr int32_t kFmsBezelHeight = 415;
inline constexpr int32_t kFmsScreenX = 42;
inline constexpr int32_t kFmsScreenY = 15;
inline constexpr int32_t kFmsScreenWidth = 251;
inline constexpr int32_t kFmsScreenHeight = 160;
inline constexpr int32_t kFmsShowWidth = 334;
inline constexpr int32_t kFmsShowHeight = 256;
// The panel window that holds the CDU.
inline constexpr uint32_t kFmsWindow = 53;
// The key of each child rectangle 1..63: line-select keys as 101..110,
// otherwise the key code, with character keys as the character itself
// (letters and digits).
inline constexpr int kFmsKeyRects = 63;
extern const int32_t FmsRectKeys[kFmsKeyRects + 1];

// Per CDU gauge.
struct CduGaugeState {
    gauge::GaugeHeader* header = nullptr;
    bool setup_pending = true;
    bool setup_done = false;
    int32_t viewport_width = 0;
    int32_t viewport_height = 0;
    uint32_t background_brush = 0;
    bool is_vc = false;
    int32_t display_warmup = 0;
    bool busy = false;
    RepaintKey last_key{};  // the picture on the surface
    // The picture the other CDU gauge copied into this one's surface after
    // painting it, and the pixels it went into.
    RepaintKey pushed_key{};
    const void* pushed_pixels = nullptr;
    // The pictures in the surface's pixels (two buffers when the host swaps
    // them), each with the inputs it was painted from: a new picture is
    // painted over one only where the two can differ.
    struct Painted {
        const void* pixels = nullptr;  // none
        CduPictureInputs inputs{};
    };
    Painted painted[2]{};
    int32_t next_painted = 0;
};
extern CduGaugeState FmsGaugeState;
extern CduGaugeState FmsVcGaugeState;

extern gauge::ElementHeader* FmsElementList[2];
extern gauge::ElementHeader* FmsVcElementList[2];
extern gauge::ElementHeader* FmsShowElementList[2];
extern gauge::MouseRect FmsMouseRect[kFmsKeyRects + 2];
extern gauge::MouseRect FmsVcMouseRect[kFmsKeyRects + 2];
extern gauge::MouseRect FmsShowMouseRect[3];

void FmsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t);
void FmsVcCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t);
void FmsShowCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t);

// One key press as its rectangle's handler makes it (index 1..63).
void FmsKeyPress(int rect);
int32_t FmsShowClick(gauge::Point*, uint32_t);

// The draw service of one CDU gauge on its screen element.
void CduGaugeDraw(CduGaugeState& state, gauge::ElementHeader* screen);

}  // namespace zu
