// The eight electronic flight display gauges: attitude displays VSI1,
// VSI1_VC, VSI2, VSI2_VC and navigation displays HSI1, HSI1_VC, HSI2,
// HSI2_VC. Each paints into the drawn surface of its second element (after
// the hidden root): a one-time screen set-up per surface, then per frame the
// warm-up after power-on, at most one picture per 64 ms tick (or every
// second frame at half rate), the symbol-generator transfer and the drawing
// sequence of its kind and format. A screen whose twin (2D and virtual
// cockpit, same kind and side) has the picture of the same tick with an
// equal key, at the same size, copies it instead of drawing. The surfaces,
// the background copy and the kept picture are made once and reused for
// every picture.
#pragma once

#include <cstdint>
#include <vector>

#include "displays/attitude_display.h"
#include "displays/navigation_display.h"
#include "zu/platform/drawing.h"
#include "zu/platform/gauge_api.h"

namespace zu {

enum DisplayKind : int { kAttitudeDisplay = 0, kNavigationDisplay = 1 };

// Design grids: attitude displays 168 x 131, navigation displays 168 x 130;
// under symbol-generator transfer the 2D gauges use one more each way.
inline constexpr int32_t kDisplayGridWidth = 168;
inline constexpr int32_t kAttitudeGridHeight = 131;
inline constexpr int32_t kNavigationGridHeight = 130;
// The background bitmaps' size ("BMP_VSI_SCREEN2" / "BMP_VSI_SCREEN2a").
inline constexpr int32_t kDisplayBackgroundWidth = 168;
inline constexpr int32_t kDisplayBackgroundHeight = 138;
// Their numbers in the module's resource table, and the surface bitmap's.
inline constexpr uint32_t kVsiScreenBackground = 15700;  // "BMP_VSI_SCREEN2"
inline constexpr uint32_t kHsiScreenBackground = 15701;  // "BMP_VSI_SCREEN2a"
inline constexpr uint32_t kDisplaySurfaceBitmap = 15616;
// Surfaces of this many bytes or more are never set up.
inline constexpr uint32_t kDisplaySurfaceByteLimit = 3000000;
// Frames with power before the first picture: the counter must pass this.
inline constexpr int32_t kDisplayWarmUpFrames = 36;
inline constexpr int32_t kDisplayWarmUpLimit = 55;

// What a display's drawing sequence moves in its own set: the attitude
// set's text caches (an attitude screen's shared navigation steps only
// format texts in the 2D navigation set, anew before each use), or the
// navigation set's texts and bearing pointers. The navigation set's map is
// not: its list and count are stepped by the picture's key, the drawing
// only draws the list.
struct DisplayMovedState {
    decltype(EadiSet::readout_value) readout_value{};
    decltype(EadiSet::readout_text) readout_text{};
    decltype(EadiSet::readout_length) readout_length{};
    decltype(EadiSet::dh_text) dh_text{};
    decltype(EhsiSet::ready) ready{};
    decltype(EhsiSet::heading_text) heading_text{};
    decltype(EhsiSet::distance_text) distance_text{};
    decltype(EhsiSet::course_text) course_text{};
    decltype(EhsiSet::selected_text) selected_text{};
    decltype(EhsiSet::speed_text) speed_text{};
    decltype(EhsiSet::pointers) pointers{};
};

// One display gauge's screen.
struct DisplayScreen {
    const char* name;
    int side;  // 0 or 1
    DisplayKind kind;
    bool virtual_cockpit;
    gauge::GaugeHeader* header = nullptr;
    bool setup_pending = false;
    // The surface the set-up was made for: another surface (or one of
    // another size) redoes it.
    gauge::DrawingSurface* surface = nullptr;
    int32_t surface_width = 0;
    int32_t surface_height = 0;
    std::vector<uint8_t> background_copy{};  // the surface's bytes after set-up
    // Attitude screens: the sphere's regions and the composite heading
    // tape's, made for this surface at its set-up.
    EadiClipRegions sphere_regions{};
    EhsiClipRegions navigation_regions{};
    platform::DrawContext* graphics = nullptr;
    int32_t applied_transfer = -1;  // 2D gauges: SgTransfer last applied
    uint32_t last_drawn_tick = 0;
    bool new_tick = false;
    bool busy = false;
    uint32_t pictures = 0;  // drawing sequences run
    uint32_t copies = 0;    // pictures copied from the twin instead
    // The key of the picture on the surface: a new tick with the same key
    // leaves it as it is.
    RepaintKey last_key{};
    bool unshown = false;  // painted since the host last took the picture
    // The twin (the same kind and side in the other cockpit) may copy this
    // screen's picture instead of drawing its own: the picture of kept_key
    // (pixels at this surface's size and stride, and its texts), kept for
    // the tick kept_tick, with the state its drawing left in its own set
    // (kept_state, whose sequence state is kept_post; kept_moved when it
    // differs from the state before). The host may take the surface's own
    // buffer away with the picture (swapping buffers), hence the copy. Made
    // at the set-up, reused for every picture.
    RepaintKey kept_key{};
    uint32_t kept_tick = 0;
    DisplayMovedState kept_state{};
    RepaintKey kept_post{};
    bool kept_moved = false;
    // Pictures kept in a row that the twin did not copy: from kKeptUnusedLimit
    // on, a picture is kept only every kKeptProbeTicks ticks until one is
    // copied again (keeping costs a copy of the surface).
    bool kept_used = false;
    uint32_t kept_unused = 0;
    int32_t kept_stride = 0;
    std::vector<uint8_t> kept_pixels{};
    std::vector<platform::DrawTextEntry> kept_texts{};
};

inline constexpr uint32_t kKeptUnusedLimit = 8;
inline constexpr uint32_t kKeptProbeTicks = 32;

inline constexpr int kDisplayScreenCount = 8;
// VSI1, VSI1_VC, VSI2, VSI2_VC, HSI1, HSI1_VC, HSI2, HSI2_VC.
extern DisplayScreen DisplayScreens[kDisplayScreenCount];

// Power-on counters, one per side and kind (a powered side draws whatever
// the other side's power): [kind][side].
extern int32_t DisplayWarmUp[2][2];
// Attitude side 1, attitude side 2, navigation side 1, navigation side 2.
extern uint8_t HalfRateSkip[4];

// Side s's display power.
bool DisplayPowered(int side);

// Element lists: the hidden root and the drawn surface (at (-1, -1) on the
// attitude displays, (0, 0) on the navigation displays).
extern gauge::ElementHeader* DisplayElementLists[kDisplayScreenCount][2];

// Gauge callbacks.
void VsiDisplayCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void HsiDisplayCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The steps, for the callbacks and the tests.
void DisplayInstall(DisplayScreen& screen, gauge::GaugeHeader* header);
void DisplayFrameStep(DisplayScreen& screen, gauge::ElementHeader* surface_element);
void DisplayKill(DisplayScreen& screen);
bool DisplayScreenSetUp(DisplayScreen& screen, gauge::DrawingSurface* surface);

}  // namespace zu
