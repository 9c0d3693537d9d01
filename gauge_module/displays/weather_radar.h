// The weather radar's state as the navigation displays read it. The radar
// itself (power, modes, picture) completes this file pair.
#pragma once

#include <cstdint>

namespace zu {

struct WxRadarRecord {
    uint8_t target_detected;  // red return in the centre column (target alert on)
    int32_t selected_mode;    // 0 none, 2 TEST, 3 standby, 4 WX, 5 CYC, 6 MAP
    int32_t display_mode;     // in force: 0 off, 1 warming up, 2..6 as selected
    int32_t test_countdown;
    int32_t warm_up_countdown;
    uint8_t wide_sector;
    uint8_t manual_gain_active;
    uint8_t target_alert_enabled;
    uint8_t rct;
    uint8_t gcr;
    uint8_t wait;  // an operating mode was selected during the warm-up
    uint8_t powered;
    uint8_t power_switch;
    uint8_t var_selected;
    uint8_t tgt_selected;
    int32_t gauge_width;
    int32_t gauge_height;
};
extern WxRadarRecord WxRadarState;

// Range table (nm) and the selected entry (initial 3: 100 nm).
inline constexpr int32_t kWxRanges[6] = {10, 25, 50, 100, 200, 300};
extern int32_t WxRangeIndex;
// Current range in nautical miles: kWxRanges[WxRangeIndex].
extern int32_t WxRange;

}  // namespace zu
