// The CDU gauges (see fms_gauges.h).
#include "fms/fms_gauges.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/electrical_system.h"
#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "displays/efis_resources.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_painter.h"
#include "fms/fms_lifecycle.h"
#include "instruments/gauge_framework.h"

namespace zu {

CduGaugeState FmsGaugeState;
CduGaugeState FmsVcGaugeState;

namespace {

inline constexpr int32_t kKeyRefresh = 55;
inline constexpr int32_t kClickPan = 682;
inline constexpr int32_t kLineSelectBase = 100;

struct CduElements {
    gauge::ElementHeader bezel;
    gauge::ElementHeader lit;
    gauge::ElementHeader screen;
    gauge::ElementHeader* bezel_next[2];
    gauge::ElementHeader* lit_next[2];
    gauge::ElementHeader* screen_next[1];
};

constexpr CduElements MakeCduElements(CduElements* self) {
    CduElements e{};
    e.bezel = StaticImageRecord(kFmsBezelBitmap, 0, 0, 0, self->bezel_next);
    e.lit = StaticImageRecord(kFmsLitBitmap, 0, 0, gauge::kImageLuminous, self->lit_next);
    e.screen = StaticImageRecord(kFmsScreenBitmap, kFmsScreenX, kFmsScreenY,
                                 gauge::kImageDrawnSurface, self->screen_next);
    e.bezel_next[0] = &self->lit;
    e.bezel_next[1] = nullptr;
    e.lit_next[0] = &self->screen;
    e.lit_next[1] = nullptr;
    e.screen_next[0] = nullptr;
    return e;
}

constinit CduElements gFms = MakeCduElements(&gFms);
constinit CduElements gFmsVc = MakeCduElements(&gFmsVc);

struct ShowElements {
    gauge::ElementHeader button;
    gauge::ElementHeader* next[1];
};
constinit ShowElements gShow = {StaticImageRecord(kFmsShowBitmap, 0, 0, 0, gShow.next), {nullptr}};

}  // namespace

gauge::ElementHeader* FmsElementList[2] = {&gFms.bezel, nullptr};
gauge::ElementHeader* FmsVcElementList[2] = {&gFmsVc.bezel, nullptr};
gauge::ElementHeader* FmsShowElementList[2] = {&gShow.button, nullptr};

// Rectangle order: line-select 1..10, A..Z, codes 10 11 13 12 14 15,
// 16..21, digits 1..9, BACK, 0, 41..43, ENTER.
const int32_t FmsRectKeys[kFmsKeyRects + 1] = {
    0,   101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 'A', 'B', 'C', 'D', 'E',
    'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T', 'U',
    'V', 'W', 'X', 'Y', 'Z', 10,  11,  13,  12,  14,  15,  16,  17,  18,  19,  20,
    21,  '1', '2', '3', '4', '5', '6', '7', '8', '9', 40,  '0', 41,  42,  43,  44};

void FmsKeyPress(int rect) {
    if (rect < 1 || rect > kFmsKeyRects) return;
    const int32_t key = FmsRectKeys[rect];
    // 1. Only a powered unit takes the key.
    if (FmsPowered != 0) {
        if (key > kLineSelectBase) {
            FmsKeyCode.store(key - kLineSelectBase);
        } else if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
            CduDepositFunctionKey(kCduKeyCharacter, static_cast<char>(key));
        } else {
            CduDepositFunctionKey(key, ' ');
        }
    }
    // 2. The click, powered or not, from its beginning: keys typed quickly
    //    click once each.
    PlayClickFromStart(&SoundSet[kSoundClickSwitchSmall], kClickPan);
    // 3. The panel refreshes.
    ArmRefresh(kRefreshRadios, kKeyRefresh);
}

namespace {

template <int R>
int32_t KeyHandler(gauge::Point*, uint32_t) {
    FmsKeyPress(R);
    return 0;
}

constexpr gauge::MouseRect Key(int r, int32_t x, int32_t y, int32_t w, int32_t h,
                               gauge::MouseHandler handler) {
    return MouseChild(x, y, w, h, kCursorHand, kClick, handler);
}

constexpr int32_t kLineY[5] = {37, 64, 93, 121, 149};
constexpr int32_t kLetterX[7] = {8, 40, 71, 102, 132, 164, 195};
constexpr int32_t kFunctionX[6] = {6, 42, 79, 115, 151, 186};
constexpr int32_t kDigitX[3] = {231, 262, 293};

template <int R>
constexpr gauge::MouseRect KeyRect() {
    constexpr gauge::MouseHandler h = KeyHandler<R>;
    if constexpr (R <= 5)
        return Key(R, 1, kLineY[R - 1], 35, 28, h);
    else if constexpr (R <= 10)
        return Key(R, 299, kLineY[R - 6], 35, 28, h);
    else if constexpr (R <= 17)
        return Key(R, kLetterX[R - 11], 238, 30, 27, h);
    else if constexpr (R <= 24)
        return Key(R, kLetterX[R - 18], 267, 30, 27, h);
    else if constexpr (R <= 30)
        return Key(R, kLetterX[R - 25 + 1], 295, 30, 27, h);
    else if constexpr (R <= 36)
        return Key(R, kLetterX[R - 31 + 1], 324, 30, 27, h);
    else if constexpr (R <= 42)
        return Key(R, kFunctionX[R - 37], 180, 36, 29, h);
    else if constexpr (R <= 48)
        return Key(R, kFunctionX[R - 43], 211, 36, 29, h);
    else if constexpr (R <= 51)
        return Key(R, kDigitX[R - 49], 181, 31, 28, h);
    else if constexpr (R <= 54)
        return Key(R, kDigitX[R - 52], 210, 31, 28, h);
    else if constexpr (R <= 57)
        return Key(R, kDigitX[R - 55], 237, 31, 28, h);
    else if constexpr (R == 58)
        return Key(R, 231, 265, 30, 26, h);
    else if constexpr (R == 59)
        return Key(R, 262, 265, 31, 27, h);
    else if constexpr (R == 60)
        return Key(R, 293, 265, 30, 26, h);
    else if constexpr (R <= 62)
        return Key(R, kDigitX[R - 61], 293, 30, 26, h);
    else
        return Key(R, 231, 326, 61, 87, h);
}

template <int... R>
constexpr void FillRects(gauge::MouseRect* out, std::integer_sequence<int, R...>) {
    ((out[R + 1] = KeyRect<R + 1>()), ...);
}

constexpr auto MakeKeyboard() {
    struct Rects {
        gauge::MouseRect r[kFmsKeyRects + 2];
    } k{};
    k.r[0] = MouseParent(kFmsBezelWidth, kFmsBezelHeight);
    FillRects(k.r, std::make_integer_sequence<int, kFmsKeyRects>{});
    k.r[kFmsKeyRects + 1] = MouseEnd();
    return k;
}

constexpr auto kKeyboard = MakeKeyboard();

}  // namespace

gauge::MouseRect FmsMouseRect[kFmsKeyRects + 2] = {};
gauge::MouseRect FmsVcMouseRect[kFmsKeyRects + 2] = {};
namespace {
const bool kKeyboardsCopied = [] {
    std::memcpy(FmsMouseRect, kKeyboard.r, sizeof FmsMouseRect);
    std::memcpy(FmsVcMouseRect, kKeyboard.r, sizeof FmsVcMouseRect);
    return true;
}();
}  // namespace

int32_t FmsShowClick(gauge::Point*, uint32_t) {
    ArmRefresh(kRefreshRadios, kKeyRefresh);
    auto toggle = PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowToggle);
    if (toggle != nullptr) toggle(kFmsWindow);
    return 0;
}

gauge::MouseRect FmsShowMouseRect[3] = {
    MouseParent(kFmsShowWidth, kFmsShowHeight),
    MouseChild(0, 0, kFmsShowWidth, kFmsShowHeight, kCursorHand, kClick, FmsShowClick), MouseEnd()};

namespace {

platform::DrawContext* SurfaceContext(const gauge::DrawingSurface* s) {
    return static_cast<platform::DrawContext*>(s->context);
}

// The other CDU gauge and its screen element.
CduGaugeState& TwinOf(const CduGaugeState& state) {
    return &state == &FmsVcGaugeState ? FmsGaugeState : FmsVcGaugeState;
}
gauge::ElementHeader* TwinScreen(const CduGaugeState& state);

// The record of the picture in these pixels, or null.
const CduGaugeState::Painted* PaintedFind(const CduGaugeState& state, const void* pixels) {
    for (const CduGaugeState::Painted& p : state.painted) {
        if (p.pixels == pixels) return &p;
    }
    return nullptr;
}

// Records that these pixels hold the picture of `inputs`, in their record
// or in the one not taken last.
void RememberPicture(CduGaugeState& state, const void* pixels, const CduPictureInputs& inputs) {
    CduGaugeState::Painted* record = nullptr;
    for (CduGaugeState::Painted& p : state.painted) {
        if (p.pixels == pixels) record = &p;
    }
    if (record == nullptr) {
        record = &state.painted[state.next_painted];
        state.next_painted ^= 1;
    }
    record->pixels = pixels;
    record->inputs = inputs;
}

constexpr platform::DrawRect kWholeScreen = {0, 0, kCduSurfaceWidth, kCduSurfaceHeight};

// Where a picture of `inputs` differs from the one in these pixels (all of
// the screen when that is not known).
platform::DrawRect ChangeIn(const CduGaugeState& state, const void* pixels,
                            const CduPictureInputs& inputs) {
    const CduGaugeState::Painted* painted = PaintedFind(state, pixels);
    if (painted == nullptr || RepaintEveryPicture) return kWholeScreen;
    return CduPictureChange(painted->inputs, inputs);
}

// Over half the screen counts as all of it.
bool MostOfTheScreen(const platform::DrawRect& r) {
    const auto area = [](const platform::DrawRect& a) {
        return std::max(a.right - a.left, 0) * std::max(a.bottom - a.top, 0);
    };
    return 2 * area(r) > area(kWholeScreen);
}

void ForgetPictures(CduGaugeState& state) {
    for (CduGaugeState::Painted& p : state.painted) p.pixels = nullptr;
}

void ForgetPicture(CduGaugeState& state, const void* pixels) {
    for (CduGaugeState::Painted& p : state.painted) {
        if (p.pixels == pixels) p.pixels = nullptr;
    }
}

// The inputs of the picture being painted.
CduPictureInputs gPictureInputs;

// A picture just painted goes into the other gauge's surface as well, when
// that is set up at the same size: a picture is made of its key's inputs
// alone, so the other gauge, needing the same one, shows it as it is.
void PushToTwin(const CduGaugeState& state, const platform::DrawContext* dc,
                const gauge::DrawingSurface* s, const RepaintKey& key,
                const CduPictureInputs& inputs) {
    CduGaugeState& twin = TwinOf(state);
    twin.pushed_key.valid = false;
    const gauge::ElementHeader* screen = TwinScreen(state);
    const gauge::DrawingSurface* t = screen != nullptr ? screen->surface : nullptr;
    if (RepaintEveryPicture || !twin.setup_done || t == nullptr || t->context == nullptr ||
        t->pixels == nullptr || t->width != s->width || t->height != s->height) {
        return;
    }
    // Only where the two pictures differ, when the other's is known.
    const platform::DrawRect change = ChangeIn(twin, t->pixels, inputs);
    const bool copied = MostOfTheScreen(change)
                            ? platform::DrawCopyPicture(SurfaceContext(t), dc)
                            : platform::DrawCopyPictureRect(SurfaceContext(t), dc, change);
    if (!copied) return;
    twin.pushed_key = key;
    twin.pushed_pixels = t->pixels;
    RememberPicture(twin, t->pixels, inputs);
}

// Paints the screen's picture over the one in the surface's pixels where
// the two can differ (all of it when the surface's picture is not known),
// and records it.
void PaintPicture(CduGaugeState& state, platform::DrawContext* dc, const gauge::DrawingSurface* s,
                  CduPictureInputs* inputs) {
    RepaintKeyBuilder rest;
    rest.Add(s->width).Add(s->height).Add(platform::DrawObjectColour(state.background_brush));
    CduPictureInputsTake(rest, inputs);
    const platform::DrawRect change = ChangeIn(state, s->pixels, *inputs);
    // Most of the screen: all of it, with no clip to cut the calls to.
    CduPictureDraw(dc, state.background_brush, MostOfTheScreen(change) ? nullptr : &change);
    RememberPicture(state, s->pixels, *inputs);
}

// True when the other gauge has put the picture of `key` into the surface.
bool PictureThere(const CduGaugeState& state, const gauge::DrawingSurface* s,
                  const RepaintKey& key) {
    return !RepaintEveryPicture && state.pushed_key.valid && state.pushed_key == key &&
           state.pushed_pixels == s->pixels;
}

void DrawingSetUp(CduGaugeState& state, gauge::DrawingSurface* s) {
    platform::DrawContext* dc = SurfaceContext(s);
    state.viewport_width = s->width;
    state.viewport_height = s->height;
    state.background_brush = platform::DrawCreateBrush(0x000F110A);  // RGB 10, 17, 15
    CduClipRegionsCreate(dc);
    platform::DrawSetRop2(dc, platform::DrawRop2::CopyPen);
    platform::DrawSetMapping(dc, kCduSurfaceWidth, kCduSurfaceHeight, s->width, s->height);
    state.setup_pending = false;
    state.setup_done = true;
    state.last_key.valid = false;
    state.pushed_key.valid = false;
    ForgetPictures(state);
}

void CduGaugeUpdate(CduGaugeState& state, gauge::ElementHeader* lit) {
    if (!RefreshGroupStep(kRefreshRadios)) return;
    if (lit == nullptr) return;
    const bool dark = PanelLightingCircuit2.get() == 0;
    // The overlay itself (0 steps along the list), never the screen after it.
    if (dark || state.is_vc)
        SetElementFlags(lit, 0, gauge::kImageHidden);
    else
        ClearElementFlags(lit, 0, gauge::kImageHidden);
}

bool IsVc(const gauge::GaugeHeader* header) {
    return header != nullptr && header->parameters != nullptr &&
           std::strcmp(header->parameters, "VC") == 0;
}

void CduGaugeCallback(CduGaugeState& state, CduElements& e, gauge::GaugeHeader* gauge,
                      int32_t service, bool vc_gauge) {
    switch (service) {
        case gauge::kServiceInstall:
            state.header = gauge;
            state.setup_pending = true;
            break;
        case kServiceInitialise:
            state.header = gauge;
            break;
        case gauge::kServiceUpdate:
            state.is_vc = IsVc(gauge);
            CduGaugeUpdate(state, &e.lit);
            break;
        case gauge::kServiceDraw:
            state.is_vc = IsVc(gauge) || vc_gauge;
            CduGaugeDraw(state, &e.screen);
            break;
        case gauge::kServiceKill:
            if (state.setup_done) {
                platform::DrawDeleteObject(state.background_brush);
                CduClipRegionsDelete();
                state.background_brush = 0;
                state.setup_done = false;
            }
            state.setup_pending = true;
            break;
        default:
            break;
    }
}

}  // namespace

void CduGaugeDraw(CduGaugeState& state, gauge::ElementHeader* screen) {
    if (screen == nullptr || screen->surface == nullptr) return;
    gauge::DrawingSurface* s = screen->surface;
    if (s->context == nullptr) return;
    if (state.setup_pending) DrawingSetUp(state, s);
    if (FmsPowered != 0) {
        if (state.display_warmup < 55) ++state.display_warmup;
    } else {
        state.display_warmup = 50;
    }
    if (state.busy) return;
    state.busy = true;
    platform::DrawContext* dc = SurfaceContext(s);
    platform::DrawSetMapping(dc, kCduSurfaceWidth, kCduSurfaceHeight, s->width, s->height);
    // The drawing state is saved around the picture: the pens and brushes it
    // selects are released afterwards, so the brightness step can make them
    // anew for every display.
    platform::DrawSaveState(dc);
    if (CduPaintRequest.load() != 0) {
        const bool picture = state.display_warmup >= 36 && FmsPowered != 0 && EfisResourcesReady();
        // The picture a request would paint: when it is the one on the
        // surface, the surface stays as it is.
        // The picture alone (the other gauge's key has the same), then the
        // surface.
        RepaintKeyBuilder picture_key;
        picture_key.Add(picture).Add(s->width).Add(s->height);
        if (picture) CduPictureKeyAdd(picture_key);
        RepaintKeyBuilder key;
        key.Add(picture_key.Key()).Add(s);
        if (RepaintNeeded(state.last_key, key.Key())) {
            if (picture && PictureThere(state, s, picture_key.Key())) {
                // As the painting would have: a blinking cell asks for more.
                if (CduScreenBlinks()) CduRedraw = 1;
            } else {
                platform::DrawBeginPaint(dc);
                if (picture) {
                    PaintPicture(state, dc, s, &gPictureInputs);
                    PushToTwin(state, dc, s, picture_key.Key(), gPictureInputs);
                } else {
                    platform::DrawFillRectBrush(dc, {0, 0, 252, 161}, state.background_brush);
                    ForgetPicture(state, s->pixels);
                }
            }
            state.pushed_key.valid = false;
            screen->image_flags &= ~gauge::kImageOnScreen;
        } else if (picture && CduScreenBlinks()) {
            CduRedraw = 1;
        }
        if (picture && !state.is_vc) CduPaintRequest.store(0);
    }
    platform::DrawRestoreState(dc);
    state.busy = false;
}

namespace {

gauge::ElementHeader* TwinScreen(const CduGaugeState& state) {
    return &state == &FmsVcGaugeState ? &gFms.screen : &gFmsVc.screen;
}

}  // namespace

void FmsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    CduGaugeCallback(FmsGaugeState, gFms, gauge, service, false);
}

void FmsVcCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    CduGaugeCallback(FmsVcGaugeState, gFmsVc, gauge, service, true);
}

void FmsShowCallback(gauge::GaugeHeader*, int32_t, uintptr_t) {}

}  // namespace zu
