#include "displays/efis_display_gauges.h"

#include <cstring>

#include "core/electrical_system.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "displays/attitude_display.h"
#include "displays/display_pixel_size.h"
#include "displays/efis_resources.h"
#include "displays/ehsi_map.h"
#include "displays/navigation_display.h"
#include "displays/sg_select_panels.h"
#include "instruments/gauge_framework.h"
#include "panels/display_control_panels.h"
#include "resources/resource_table.h"

namespace zu {

DisplayScreen DisplayScreens[kDisplayScreenCount] = {
    {"VSI1", 0, kAttitudeDisplay, false},   {"VSI1_VC", 0, kAttitudeDisplay, true},
    {"VSI2", 1, kAttitudeDisplay, false},   {"VSI2_VC", 1, kAttitudeDisplay, true},
    {"HSI1", 0, kNavigationDisplay, false}, {"HSI1_VC", 0, kNavigationDisplay, true},
    {"HSI2", 1, kNavigationDisplay, false}, {"HSI2_VC", 1, kNavigationDisplay, true},
};
int32_t DisplayWarmUp[2][2] = {};
uint8_t HalfRateSkip[4] = {};

namespace {

// The root (hidden) and the surface of each display gauge.
struct DisplayElements {
    gauge::ElementHeader root;
    gauge::ElementHeader surface;
    gauge::ElementHeader* root_next[2];
    gauge::ElementHeader* surface_next[1];
};

constexpr DisplayElements MakeDisplayElements(DisplayElements* self, int32_t at) {
    DisplayElements d{};
    d.root = {gauge::ElementType::StaticImage,
              kDisplaySurfaceBitmap,
              {0, 0},
              gauge::kImageHidden,
              self->root_next,
              0,
              0.0,
              nullptr};
    d.surface = {gauge::ElementType::StaticImage,
                 kDisplaySurfaceBitmap,
                 {at, at},
                 gauge::kImageDrawnSurface,
                 self->surface_next,
                 0,
                 0.0,
                 nullptr};
    d.root_next[0] = &self->surface;
    d.root_next[1] = nullptr;
    d.surface_next[0] = nullptr;
    return d;
}

constinit DisplayElements gElements[kDisplayScreenCount] = {
    MakeDisplayElements(&gElements[0], -1), MakeDisplayElements(&gElements[1], -1),
    MakeDisplayElements(&gElements[2], -1), MakeDisplayElements(&gElements[3], -1),
    MakeDisplayElements(&gElements[4], 0),  MakeDisplayElements(&gElements[5], 0),
    MakeDisplayElements(&gElements[6], 0),  MakeDisplayElements(&gElements[7], 0),
};

}  // namespace

gauge::ElementHeader* DisplayElementLists[kDisplayScreenCount][2] = {
    {&gElements[0].root, nullptr}, {&gElements[1].root, nullptr}, {&gElements[2].root, nullptr},
    {&gElements[3].root, nullptr}, {&gElements[4].root, nullptr}, {&gElements[5].root, nullptr},
    {&gElements[6].root, nullptr}, {&gElements[7].root, nullptr},
};
namespace {

int32_t GridHeight(DisplayKind kind) {
    return kind == kAttitudeDisplay ? kAttitudeGridHeight : kNavigationGridHeight;
}

platform::DrawContext* SurfaceContext(const gauge::DrawingSurface* s) {
    return static_cast<platform::DrawContext*>(s->context);
}

// The design grid (normal, or one larger each way under transfer) shown on
// the surface less its three bottom rows.
void ApplyGrid(const DisplayScreen& screen, const gauge::DrawingSurface* s, bool transfer) {
    const int32_t extra = transfer ? 1 : 0;
    platform::DrawSetMapping(SurfaceContext(s), kDisplayGridWidth + extra,
                             GridHeight(screen.kind) + extra, s->width,
                             s->height - 3 > 0 ? s->height - 3 : s->height);
}

// The background bitmap, scaled onto the surface through the design grid
// (black where the module has no such bitmap).
void PaintBackground(const DisplayScreen& screen, gauge::DrawingSurface* s) {
    const gauge::BitmapResource* bmp =
        FindResource(screen.kind == kAttitudeDisplay ? kVsiScreenBackground : kHsiScreenBackground);
    const double grid_h = GridHeight(screen.kind);
    const double view_h = s->height - 3 > 0 ? s->height - 3 : s->height;
    for (int32_t y = 0; y < s->height; ++y) {
        uint8_t* row = s->pixels + static_cast<size_t>(y) * static_cast<size_t>(s->stride);
        const auto by = static_cast<int32_t>(y * grid_h / view_h);
        for (int32_t x = 0; x < s->width; ++x) {
            uint8_t* p = row + static_cast<size_t>(x) * 4;
            const auto bx =
                static_cast<int32_t>(x * static_cast<double>(kDisplayGridWidth) / s->width);
            if (bmp != nullptr && bx < bmp->width && by < bmp->height) {
                std::memcpy(p, bmp->pixels + (static_cast<size_t>(by) * bmp->width + bx) * 4, 4);
                p[3] = 255;
            } else {
                p[0] = p[1] = p[2] = 0;
                p[3] = 255;
            }
        }
    }
}

uint8_t& HalfRate(const DisplayScreen& screen) {
    return HalfRateSkip[screen.kind * 2 + screen.side];
}

// The painters of each kind and format, in their fixed order (those built
// so far).
void DrawSequence(const DisplayScreen& screen, platform::DrawContext* dc, int data_side) {
    if (screen.kind == kAttitudeDisplay) {
        // The navigation steps the attitude sequences share use the data
        // side's 2D set, clipped by this surface's own regions.
        const EhsiPaint navigation{EhsiSetOf(data_side, false), screen.navigation_regions, dc,
                                   screen.graphics};
        EadiPictureDraw(dc, EadiSetOf(data_side, screen.virtual_cockpit), screen.sphere_regions,
                        &navigation);
    } else if (DisplayFormat[data_side] == 0) {
        // The data side's set, clipped by this surface's own regions.
        const EhsiSet& own = EhsiSetOf(screen.side, screen.virtual_cockpit);
        EhsiPictureDraw(
            {EhsiSetOf(data_side, screen.virtual_cockpit), own.regions, dc, screen.graphics});
    }
}

// The state the drawing sequence of the data side carries from picture to
// picture.
RepaintKey SequenceState(const DisplayScreen& screen, int data_side) {
    if (screen.kind == kNavigationDisplay) {
        return EhsiStateKey(EhsiSetOf(data_side, screen.virtual_cockpit));
    }
    // The navigation steps the attitude sequences share keep no state of
    // the navigation set's (its texts are formatted anew each time).
    return EadiStateKey(EadiSetOf(data_side, screen.virtual_cockpit));
}

// The key of the picture a new tick would draw: blank (the background
// alone), or the drawing sequence's inputs and state.
RepaintKey PictureKey(const DisplayScreen& screen, bool picture, int data_side,
                      const RepaintKey& state) {
    RepaintKeyBuilder key;
    key.Pack(picture, screen.applied_transfer);
    if (!picture) return key.Key();
    key.Pack(data_side, DisplayFormat[data_side]).Add(state);
    if (screen.kind == kNavigationDisplay) {
        // Takes the map's step of its count (see EhsiPictureKeyAdd).
        EhsiPictureKeyAdd(key, EhsiSetOf(data_side, screen.virtual_cockpit));
    } else {
        EadiInputsKeyAdd(key, data_side);
    }
    return key.Key();
}

// The navigation set of a screen's own sequence (navigation screens).
EhsiSet& OwnNavigationSet(const DisplayScreen& screen, int data_side) {
    return EhsiSetOf(data_side, screen.virtual_cockpit);
}

// The fields an attitude drawing moves, from one holder to another (a set
// and a DisplayMovedState either way round).
template <typename From, typename To>
void CopyAttitudeMoved(const From& from, To& to) {
    to.readout_value = from.readout_value;
    std::memcpy(to.readout_text, from.readout_text, sizeof to.readout_text);
    to.readout_length = from.readout_length;
    std::memcpy(to.dh_text, from.dh_text, sizeof to.dh_text);
}

// The fields a navigation drawing moves, likewise.
template <typename From, typename To>
void CopyNavigationMoved(const From& from, To& to) {
    to.ready = from.ready;
    std::memcpy(to.heading_text, from.heading_text, sizeof to.heading_text);
    std::memcpy(to.distance_text, from.distance_text, sizeof to.distance_text);
    std::memcpy(to.course_text, from.course_text, sizeof to.course_text);
    std::memcpy(to.selected_text, from.selected_text, sizeof to.selected_text);
    std::memcpy(to.speed_text, from.speed_text, sizeof to.speed_text);
    // Byte for byte, padding included: the sets' keys read their bytes.
    std::memcpy(to.pointers, from.pointers, sizeof to.pointers);
}

// The state a screen's drawing moves in its own set (see DisplayMovedState).
// An attitude screen's shared navigation steps draw with the 2D navigation
// set, which the navigation display draws with and steps in between: a
// copy must leave that set as it is.
DisplayMovedState MovedStateOf(const DisplayScreen& screen, int data_side) {
    DisplayMovedState m;
    if (screen.kind == kAttitudeDisplay) {
        CopyAttitudeMoved(EadiSetOf(data_side, screen.virtual_cockpit), m);
    } else {
        CopyNavigationMoved(OwnNavigationSet(screen, data_side), m);
    }
    return m;
}

void SetMovedState(const DisplayScreen& screen, int data_side, const DisplayMovedState& m) {
    if (screen.kind == kAttitudeDisplay) {
        CopyAttitudeMoved(m, EadiSetOf(data_side, screen.virtual_cockpit));
    } else {
        CopyNavigationMoved(m, OwnNavigationSet(screen, data_side));
    }
}

// No bearing pointer re-acquiring: a drawing then raises no redraw request.
bool PointersQuiet(const EhsiBearingPointer (&pointers)[2]) {
    return pointers[0].countdown == 0 && pointers[1].countdown == 0;
}

// The screen of the same kind and side in the other cockpit (null for a
// screen outside DisplayScreens).
DisplayScreen* TwinOf(const DisplayScreen& screen) {
    for (int i = 0; i < kDisplayScreenCount; ++i) {
        if (&DisplayScreens[i] == &screen) return &DisplayScreens[i ^ 1];
    }
    return nullptr;
}

// The twin's picture of this tick with this key, at the surface's size:
// a picture drawn from the same inputs and the same sequence state, so the
// very picture this screen's sequence would draw, leaving the state the
// twin's drawing left.
DisplayScreen* TwinPicture(const DisplayScreen& screen, const gauge::DrawingSurface* s,
                           uint32_t tick, const RepaintKey& key, int data_side) {
    DisplayScreen* twin = TwinOf(screen);
    if (twin == nullptr || RepaintEveryPicture || !twin->kept_key.valid) return nullptr;
    // The one difference the cockpit makes to a picture, not in the key (a
    // screen's cockpit never changes): the virtual-cockpit attitude sets'
    // FMA boxes end higher on side 2's data (EadiFmaDraw).
    if (screen.kind == kAttitudeDisplay && data_side != 0) return nullptr;
    if (twin->kept_tick != tick || !(twin->kept_key == key)) return nullptr;
    if (twin->surface_width != s->width || twin->surface_height != s->height) return nullptr;
    return twin;
}

// Makes this screen's own set as the twin's drawing left the twin's, and
// its map as its own drawing would: true when that gives the sequence
// state the twin's drawing ended with; otherwise (a state the copy does
// not reach) the set is left as it was. No other set is touched: the 2D
// navigation set an attitude screen's shared steps draw with is the
// navigation display's own, which it may have stepped since.
bool TakeTwinState(const DisplayScreen& screen, int data_side, const DisplayScreen& twin) {
    const DisplayMovedState before = MovedStateOf(screen, data_side);
    SetMovedState(screen, data_side, twin.kept_state);
    if (SequenceState(screen, data_side) == twin.kept_post) {
        if (screen.kind == kNavigationDisplay) {
            EhsiMapTakenAsDrawn(OwnNavigationSet(screen, data_side));
        }
        return true;
    }
    SetMovedState(screen, data_side, before);
    return false;
}

// Keeps the picture just drawn (from the sequence state `state`, leaving
// `post`) for the twin when the twin is yet to take this tick at the same
// size. A drawing that raised a redraw request (a bearing pointer
// re-acquiring) is not kept: a copy would not raise it. Nor, while the twin
// copies none of them, are most pictures (see kKeptUnusedLimit). A map's
// picture may be kept: each screen's key steps the map of its own set, and
// equal keys hold equal lists; so may the radar's overlay, whose key holds
// the serial of the radar picture it draws.
void KeepForTwin(DisplayScreen& screen, const gauge::DrawingSurface* s, uint32_t tick,
                 const RepaintKey& key, const RepaintKey& state, const RepaintKey& post,
                 bool pointers_quiet_before, int data_side) {
    const DisplayScreen* twin = TwinOf(screen);
    if (twin == nullptr || RepaintEveryPicture || twin->last_drawn_tick >= tick) return;
    if (twin->setup_pending || twin->surface_width != s->width ||
        twin->surface_height != s->height || screen.kept_pixels.size() != s->bytes) {
        return;
    }
    if (screen.kept_key.valid && !screen.kept_used) {
        ++screen.kept_unused;
    } else if (screen.kept_used) {
        screen.kept_unused = 0;
    }
    screen.kept_key.valid = false;
    screen.kept_used = false;
    if (screen.kept_unused >= kKeptUnusedLimit && tick % kKeptProbeTicks != 0) return;
    const platform::DrawContext* dc = SurfaceContext(s);
    std::memcpy(screen.kept_pixels.data(), s->pixels, s->bytes);
    const platform::DrawTextEntry* texts = platform::DrawTexts(dc);
    screen.kept_texts.assign(texts, texts + platform::DrawTextCount(dc));
    screen.kept_stride = s->stride;
    screen.kept_key = key;
    screen.kept_tick = tick;
    screen.kept_state = MovedStateOf(screen, data_side);
    screen.kept_post = post;
    screen.kept_moved = !(post == state);
    if (!pointers_quiet_before || !PointersQuiet(screen.kept_state.pointers)) {
        screen.kept_key.valid = false;
    }
}

}  // namespace

bool DisplayPowered(int side) {
    return side == 0 ? BusPowered.get(kPoweredLeftEssential) != 0 : BusPowered2.get(0) != 0;
}

void DisplayInstall(DisplayScreen& screen, gauge::GaugeHeader* header) {
    screen.header = header;
    screen.setup_pending = true;
    // A new install draws on the next tick, whatever the tick count.
    screen.last_drawn_tick = 0;
}

bool DisplayScreenSetUp(DisplayScreen& screen, gauge::DrawingSurface* s) {
    const bool other_surface = screen.surface != s || screen.surface_width != s->width ||
                               screen.surface_height != s->height;
    if (!screen.setup_pending && !other_surface) return true;
    if (s->bytes >= kDisplaySurfaceByteLimit || s->context == nullptr || s->pixels == nullptr)
        return false;
    DisplayPixelSize[0] = s->width;
    DisplayPixelSize[1] = s->height - 3;
    platform::DrawContext* dc = SurfaceContext(s);
    // Texts centred on their x, top at their y, in font 2: the 2D gauges'
    // set-up, and the virtual-cockpit sets' own region set-up.
    platform::DrawSetTextAlign(dc, platform::kDrawTaCenter | platform::kDrawTaTop);
    platform::DrawSelectObject(dc, EfisFonts[1]);
    const int32_t region_height = s->height - 3 > 0 ? s->height - 3 : s->height;
    if (screen.kind == kNavigationDisplay) {
        EhsiClipRegionsCreate(EhsiSetOf(screen.side, screen.virtual_cockpit), s->width,
                              region_height);
    } else {
        screen.navigation_regions = EhsiMakeClipRegions(s->width, region_height);
        screen.sphere_regions = EadiMakeClipRegions(s->width, region_height);
    }
    platform::DrawSetRop2(dc, platform::DrawRop2::MergePen);
    ApplyGrid(screen, s, false);
    screen.applied_transfer = -1;
    if (screen.graphics == nullptr) screen.graphics = SmoothGraphicsCreate(dc);
    PaintBackground(screen, s);
    // The background copy is made once per surface, at its size.
    screen.background_copy.assign(s->pixels, s->pixels + s->bytes);
    // So is the room for the picture kept for the twin.
    screen.kept_pixels.assign(s->bytes, 0);
    screen.kept_texts.reserve(platform::kDrawTextCapacity);
    screen.kept_key.valid = false;
    screen.kept_stride = s->stride;
    screen.surface = s;
    screen.surface_width = s->width;
    screen.surface_height = s->height;
    screen.setup_pending = false;
    screen.last_key.valid = false;
    screen.unshown = true;
    return true;
}

void DisplayFrameStep(DisplayScreen& screen, gauge::ElementHeader* element) {
    // 1. The surface.
    if (element == nullptr || element->surface == nullptr) return;
    gauge::DrawingSurface* s = element->surface;
    const bool vsi1 = screen.kind == kAttitudeDisplay && screen.side == 0;
    // 2. VSI1's pixel sizes.
    if (vsi1) {
        DisplayPixelSize[0] = s->width;
        DisplayPixelSize[1] = s->height - 3;
        if (!screen.virtual_cockpit && GaugeIsVcFrom(screen.header) == 0) {
            DisplayPixelSize2[0] = DisplayPixelSize[0];
            DisplayPixelSize2[1] = DisplayPixelSize[1];
        }
    }
    // 3. The one-time set-up.
    const bool set_up = DisplayScreenSetUp(screen, s);
    // 4. The transfer grid (2D gauges).
    const int side = screen.side;
    if (set_up && !screen.virtual_cockpit && SgTransfer[side] != screen.applied_transfer) {
        ApplyGrid(screen, s, SgTransfer[side] != 0);
        screen.applied_transfer = SgTransfer[side];
    }
    // The virtual-cockpit gauges keep the normal grid of their set-up: that
    // of no transfer, as a 2D gauge's without one (their pictures compare).
    if (set_up && screen.virtual_cockpit) screen.applied_transfer = 0;
    // 5. Warm-up.
    int32_t& warm = DisplayWarmUp[screen.kind][side];
    const bool powered = DisplayPowered(side);
    if (!powered) {
        warm = 0;
    } else if (warm < kDisplayWarmUpLimit) {
        ++warm;
    }
    if (!set_up) return;
    // 6. Half rate and nesting.
    if (HalfRate(screen) != 0 || screen.busy) {
        HalfRate(screen) = 0;
        return;
    }
    // 7. A new tick erases the previous picture.
    screen.busy = true;
    const uint32_t tick = TickCounter.load(std::memory_order_acquire);
    platform::DrawContext* dc = SurfaceContext(s);
    screen.new_tick = tick > screen.last_drawn_tick;
    const int data_side = SgTransfer[side] != 0 ? 1 - side : side;
    const bool picture = warm > kDisplayWarmUpFrames && powered && EfisResourcesReady();
    bool draw = false;
    RepaintKey state{};
    RepaintKey key{};
    if (screen.new_tick) {
        screen.last_drawn_tick = tick;
        // The same picture again leaves the surface as it is.
        if (picture) state = SequenceState(screen, data_side);
        key = PictureKey(screen, picture, data_side, state);
        if (RepaintNeeded(screen.last_key, key)) {
            // The twin's picture of this tick, if it is the one to draw, is
            // copied instead: the pixels and the texts.
            DisplayScreen* twin = picture ? TwinPicture(screen, s, tick, key, data_side) : nullptr;
            if (twin != nullptr &&
                platform::DrawCopyPicture(dc, twin->kept_pixels.data(), s->width, s->height,
                                          twin->kept_stride, twin->kept_texts.data(),
                                          static_cast<int32_t>(twin->kept_texts.size())) &&
                TakeTwinState(screen, data_side, *twin)) {
                ++screen.copies;
                twin->kept_used = true;
                // As after drawing a picture that moved its state.
                if (twin->kept_moved) screen.last_key.valid = false;
            } else {
                if (screen.background_copy.size() == s->bytes) {
                    std::memcpy(s->pixels, screen.background_copy.data(), s->bytes);
                }
                platform::DrawBeginPaint(dc);
                draw = picture;
            }
            screen.unshown = true;
        } else if (screen.kept_key.valid && !screen.kept_moved && screen.kept_key == key) {
            // The kept picture is still this tick's.
            screen.kept_tick = tick;
        }
    }
    // 8. The picture, of the data side's symbol generator.
    if (draw) {
        // (The attitude sequences move no bearing pointer.)
        const bool pointers_quiet = screen.kind != kNavigationDisplay ||
                                    PointersQuiet(OwnNavigationSet(screen, data_side).pointers);
        // The drawing state is saved around the picture: the pens and
        // brushes it selects are released afterwards, so the brightness step
        // can make them anew.
        CurrentGaugeSurface = s;
        platform::DrawSaveState(dc);
        SmoothSetBrightness(DisplayBrightness);
        SmoothSetAlpha(255);
        DrawSequence(screen, dc, data_side);
        platform::DrawRestoreState(dc);
        ++screen.pictures;
        CurrentGaugeSurface = nullptr;
        // A picture that moved its own state (a pointer slewing, the map's
        // count) is followed by another.
        const RepaintKey post = SequenceState(screen, data_side);
        if (!(post == state)) screen.last_key.valid = false;
        KeepForTwin(screen, s, tick, key, state, post, pointers_quiet, data_side);
    }
    // 9. Ask the host to take a new picture, only when one was painted:
    // taking it may swap in the host's other buffer, with an older picture.
    screen.busy = false;
    if (screen.unshown) {
        element->image_flags &= ~gauge::kImageOnScreen;
        screen.unshown = false;
    }
    // 10. Half rate.
    const uint8_t half = screen.kind == kAttitudeDisplay ? VSI_HALF_SLOW : HSI_HALF_SLOW;
    if (half != 0) HalfRate(screen) = 1;
}

void DisplayKill(DisplayScreen& screen) {
    if (screen.setup_pending && screen.surface == nullptr) return;
    if (screen.graphics != nullptr) SmoothGraphicsDelete(screen.graphics);
    screen.graphics = nullptr;
    screen.background_copy.clear();
    screen.background_copy.shrink_to_fit();
    screen.kept_key.valid = false;
    screen.kept_pixels.clear();
    screen.kept_pixels.shrink_to_fit();
    screen.kept_texts.clear();
    screen.kept_texts.shrink_to_fit();
    screen.surface = nullptr;
    screen.surface_width = screen.surface_height = 0;
}

namespace {

DisplayScreen* ScreenOf(gauge::GaugeHeader* gauge, DisplayKind kind) {
    if (gauge == nullptr || gauge->name == nullptr) return nullptr;
    // The screen this gauge last served, confirmed by one comparison of
    // names; otherwise the screens by name.
    for (DisplayScreen& s : DisplayScreens) {
        if (s.header == gauge) {
            if (s.kind == kind && std::strcmp(s.name, gauge->name) == 0) return &s;
            break;
        }
    }
    for (DisplayScreen& s : DisplayScreens) {
        if (s.kind == kind && std::strcmp(s.name, gauge->name) == 0) return &s;
    }
    return nullptr;
}

// The surface element: the first element after the hidden root.
gauge::ElementHeader* SurfaceElement(gauge::GaugeHeader* gauge) {
    if (gauge->element_list == nullptr || gauge->element_list[0] == nullptr) return nullptr;
    gauge::ElementHeader* root = gauge->element_list[0];
    return root->next_element != nullptr ? root->next_element[0] : nullptr;
}

void DisplayCallback(gauge::GaugeHeader* gauge, int32_t service, DisplayKind kind) {
    DisplayScreen* screen = ScreenOf(gauge, kind);
    if (screen == nullptr) return;
    switch (service) {
        case gauge::kServiceInstall:
            DisplayInstall(*screen, gauge);
            break;
        case gauge::kServiceUpdate:
            screen->header = gauge;
            DisplayFrameStep(*screen, SurfaceElement(gauge));
            break;
        case gauge::kServiceKill:
            DisplayKill(*screen);
            break;
        default:
            break;
    }
}

}  // namespace

void VsiDisplayCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    DisplayCallback(gauge, service, kAttitudeDisplay);
}

void HsiDisplayCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    DisplayCallback(gauge, service, kNavigationDisplay);
}

}  // namespace zu
