#include "displays/hgs_panels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/electrical_system.h"
#include "core/flight_persistence.h"
#include "core/host_panel_services.h"
#include "core/radio_altitude_alerting.h"
#include "core/shared_maths.h"
#include "displays/efis_resources.h"
#include "displays/head_up_guidance.h"
#include "displays/hgs_panels_art.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"

namespace zu {

uint8_t HGS_HGS_HUD_show_flag = 0;
int32_t RasuTouchSector = 0;

namespace {

namespace ha = hgs_art;

constexpr int32_t kKeyPan = 1333;
constexpr int32_t kSwitchPan = 341;
constexpr uint32_t kPanelYellow = 0x0000FFFF;
constexpr uint32_t kSurface = gauge::kImageDrawnSurface;
constexpr char kDegreeSign = '\xB0';

// Element numbers.
constexpr int32_t kOverlay = 0;
constexpr int32_t kElevationLight = 1;
constexpr int32_t kSlopeLight = 2;
constexpr int32_t kSpare = 3;
constexpr int32_t kHgsText = 4;
constexpr int32_t kRasuReadout = 1;
constexpr int32_t kAnnFlare = 1;
constexpr int32_t kAnnApchWarn = 2;
constexpr int32_t kAnnAiii = 3;
constexpr int32_t kHudOn = 1;
constexpr int32_t kHudOff = 2;

constexpr ImageSpec kHgsSpec[5] = {
    {ha::kHgsFaceLit, 0, 0, kLitCopy},
    {ha::kHgsElevationLight, ha::kHgsElevationLightBox.x, ha::kHgsElevationLightBox.y,
     kStartHidden},
    {ha::kHgsSlopeLight, ha::kHgsSlopeLightBox.x, ha::kHgsSlopeLightBox.y, kStartHidden},
    {ha::kHgsSpare, ha::kHgsSpareBox.x, ha::kHgsSpareBox.y, kStartHidden},
    {ha::kHgsScreen, ha::kHgsScreenBox.x, ha::kHgsScreenBox.y, kSurface},
};
constexpr ImageSpec kRasuSpec[2] = {
    {ha::kRasuFaceLit, 0, 0, kLitCopy},
    {ha::kRasuScreen, ha::kRasuScreenBox.x, ha::kRasuScreenBox.y, kSurface},
};
constexpr ImageSpec kAnnSpec[4] = {
    {ha::kAnnFaceLit, 0, 0, kLitCopy},
    {ha::kAnnFlare, ha::kAnnLamps[0].x, ha::kAnnLamps[0].y, kStartHidden},
    {ha::kAnnApchWarn, ha::kAnnLamps[1].x, ha::kAnnLamps[1].y, kStartHidden},
    {ha::kAnnAiii, ha::kAnnLamps[2].x, ha::kAnnLamps[2].y, kStartHidden},
};
constexpr ImageSpec kHudSpec[3] = {
    {ha::kHudBase, 0, 0, 0},
    {ha::kHudOn, 0, 0, kStartHidden},
    {ha::kHudOff, 0, 0, kStartHidden},
};

constinit ImageChain<5> gHgs = MakeImageChain(&gHgs, kHgsSpec);
constinit ImageChain<5> gHgsVc = MakeImageChain(&gHgsVc, kHgsSpec);
constinit ImageChain<2> gRasu = MakeImageChain(&gRasu, kRasuSpec);
constinit ImageChain<2> gRasuVc = MakeImageChain(&gRasuVc, kRasuSpec);
constinit ImageChain<2> gRasuTouch = MakeImageChain(&gRasuTouch, kRasuSpec);
constinit ImageChain<4> gAnn = MakeImageChain(&gAnn, kAnnSpec);
constinit ImageChain<3> gHud = MakeImageChain(&gHud, kHudSpec);

// A gauge that paints a drawn surface: its header, VC flag, set-up flag and
// the surface (and size) the set-up was made for.
struct SurfaceGauge {
    gauge::GaugeHeader* header = nullptr;
    uint8_t is_vc = 0;
    bool setup_pending = true;
    gauge::DrawingSurface* surface = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    RepaintKey last_key{};  // the picture on the surface
};
SurfaceGauge gHgsGauge, gHgsVcGauge, gRasuGauge, gRasuVcGauge, gRasuTouchGauge;
gauge::GaugeHeader* gAnnHeader = nullptr;
gauge::GaugeHeader* gHudHeader = nullptr;
uint8_t gAnnVc = 0;

platform::DrawContext* ContextOf(const gauge::DrawingSurface* s) {
    return static_cast<platform::DrawContext*>(s->context);
}

// The mapping of a surface onto its design grid, once per surface (again
// after a kill, or when the host hands over another surface).
bool SurfaceSetUp(SurfaceGauge& g, gauge::DrawingSurface* s, int32_t grid_w, int32_t grid_h) {
    if (s == nullptr || s->context == nullptr || s->width <= 0 || s->height <= 0) return false;
    const bool other = g.surface != s || g.width != s->width || g.height != s->height;
    if (!g.setup_pending && !other) return true;
    if (!EfisResourcesReady()) return false;
    platform::DrawContext* dc = ContextOf(s);
    g.width = s->width;
    g.height = s->height;
    platform::DrawSetRop2(dc, platform::DrawRop2::MergePen);
    platform::DrawSetBkMode(dc, false);
    platform::DrawSetMapping(dc, grid_w, grid_h, s->width, s->height);
    g.surface = s;
    g.setup_pending = false;
    g.last_key.valid = false;
    return true;
}

void Background(platform::DrawContext* dc, int32_t w, int32_t h) {
    platform::DrawFillRectBrush(dc, {0, 0, w, h}, EfisBrushes[kEfisVariable]);
}

void Text(platform::DrawContext* dc, int32_t x, int32_t y, const char* text) {
    platform::DrawTextOut(dc, x, y, text, static_cast<int32_t>(std::strlen(text)));
}

const char* ModeName(int32_t mode) {
    switch (mode) {
        case kHgsModePri:
            return "PRI";
        case kHgsModeAiii:
            return "AIII";
        case kHgsModeImc:
            return "IMC";
        case kHgsModeVmc:
            return "VMC";
        default:
            return nullptr;
    }
}

bool CursorShown(int32_t max_digits) {
    return (HgsBlinkCounter & 1) != 0 && HgsEntryTyped != 0 && HgsEntryLength < max_digits;
}

int32_t TypedLength() {
    return HgsEntryLength < 0 ? 0 : std::min<int32_t>(HgsEntryLength, kHgsEntryTextSize - 1);
}

void ElevationLine(platform::DrawContext* dc) {
    char line[40];
    if (HgsElevationEntry != 0) {
        std::snprintf(line, sizeof line, "EL>%.*s%s", static_cast<int>(kHgsEntryTextSize - 1),
                      HgsEntryText, CursorShown(kHgsElevationDigits) ? "_" : "");
    } else {
        std::snprintf(line, sizeof line, "E %dFT", HGS_HGS_elevation_set);
    }
    Text(dc, 4, 38, line);
}

void SlopeLine(platform::DrawContext* dc) {
    char line[40];
    if (HgsSlopeEntry == 0) {
        const double angle = std::isfinite(HGS_HGS_gs_slope_angle) ? HGS_HGS_gs_slope_angle : 0.0;
        std::snprintf(line, sizeof line, "%4.2f%c", angle, kDegreeSign);
    } else {
        // ">-" d "." d d, the cursor at the next digit's place.
        const int32_t n = TypedLength();
        const bool cursor = CursorShown(kHgsSlopeDigits);
        int k = 0;
        line[k++] = '>';
        line[k++] = '-';
        line[k++] = n > 0 ? HgsEntryText[0] : (cursor ? '_' : ' ');
        line[k++] = '.';
        for (int32_t i = 1; i < kHgsSlopeDigits; ++i) {
            if (i < n) {
                line[k++] = HgsEntryText[i];
            } else {
                if (i == n && cursor) line[k++] = '_';
                break;
            }
        }
        line[k] = '\0';
    }
    Text(dc, 4, 55, line);
}

void ApplyHgsVisibility(gauge::ElementHeader* first, uint8_t is_vc) {
    const ElementList list(first);
    ShowElement(list, kOverlay, PanelLit(PanelLightingCircuit2.get(), is_vc));
    ShowElement(list, kElevationLight, HgsElevationEntry != 0);
    ShowElement(list, kSlopeLight, HgsSlopeEntry != 0);
    ShowElement(list, kSpare, false);
}

void ApplyRasuVisibility(gauge::ElementHeader* first, uint8_t is_vc) {
    ShowElement(first, kOverlay, PanelLit(PanelLightingCircuit2.get(), is_vc));
}

// The HGS and RASU gauges' services. `draw_on_vc`: the touch gauge paints
// whatever its parameters.
template <int32_t GridW, int32_t GridH>
void SurfacePanelService(SurfaceGauge& g, gauge::ElementHeader* first, gauge::ElementHeader* text,
                         gauge::GaugeHeader* gauge, int32_t service,
                         void (*visibility)(gauge::ElementHeader*, uint8_t),
                         void (*paint)(platform::DrawContext*),
                         void (*picture_key)(RepaintKeyBuilder&)) {
    if (service < gauge::kServiceInstall || service > gauge::kServiceKill) return;
    if (gauge != nullptr) g.header = gauge;
    switch (service) {
        case gauge::kServiceUpdate:
            g.is_vc = GaugeIsVcFrom(gauge);
            if (ConsumeElectricalChange()) ArmRefresh(kRefreshRadios);
            if (CountdownTick(&RefreshCountdown[kRefreshRadios])) visibility(first, g.is_vc);
            break;
        case gauge::kServiceDraw: {
            g.is_vc = GaugeIsVcFrom(gauge);
            gauge::DrawingSurface* s = text->surface;
            if (!SurfaceSetUp(g, s, GridW, GridH)) break;
            platform::DrawContext* dc = ContextOf(s);
            // The picture on the surface stays while its key does.
            RepaintKeyBuilder key;
            picture_key(key);
            if (RepaintNeeded(g.last_key, key.Key())) {
                platform::DrawBeginPaint(dc);
                paint(dc);
                text->image_flags &= ~gauge::kImageOnScreen;
            }
            break;
        }
        case gauge::kServiceKill:
            g.setup_pending = true;
            g.surface = nullptr;
            break;
        default:
            break;
    }
}

void HgsVisibility(gauge::ElementHeader* first, uint8_t is_vc) {
    ApplyHgsVisibility(first, is_vc);
}

void RasuTouchVisibility(gauge::ElementHeader* first, uint8_t) {
    ShowElement(first, kOverlay, PanelLightingCircuit2.get() != 0);
}

// --- Mouse handlers ---------------------------------------------------------------

void KeyClick() {
    ArmRefresh(kRefreshRadios);
    PlayClick(&SoundSet[kSoundClickTiny], kKeyPan);
}

template <std::atomic<uint8_t> HgsKeyPressRecord::*Key>
int32_t KeyHandler(gauge::Point*, uint32_t) {
    (HgsKeyPress.*Key).store(1, std::memory_order_release);
    KeyClick();
    return 0;
}

template <int32_t Digit>
int32_t DigitHandler(gauge::Point*, uint32_t) {
    HgsDigitKey.store(Digit, std::memory_order_release);
    KeyClick();
    return 0;
}

template <int32_t Sector>
int32_t SectorHandler(gauge::Point* p, uint32_t flags) {
    const int32_t direction = TouchZoneDirection(&RasuTouchSector, Sector, 4);
    if (direction > 0) return KeyHandler<&HgsKeyPressRecord::rasu_up>(p, flags);
    if (direction < 0) return KeyHandler<&HgsKeyPressRecord::rasu_down>(p, flags);
    return 0;
}

int32_t HudSwitch(gauge::Point*, uint32_t) {
    HGS_HGS_HUD_show_flag = HGS_HGS_HUD_show_flag == 0 ? 1 : 0;
    ArmRefresh(kRefreshOverhead);
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kSwitchPan);
    return 0;
}

constexpr gauge::MouseRect Rect(const ha::Box& b, uint32_t cursor, uint32_t events,
                                gauge::MouseHandler handler) {
    return MouseChild(b.x, b.y, b.width, b.height, cursor, events, handler);
}
constexpr gauge::MouseRect HgsKey(int index, gauge::MouseHandler handler) {
    return Rect(ha::kHgsKeys[index].box, kCursorHand, kClick, handler);
}

using K = HgsKeyPressRecord;
#define ZU_HGS_PANEL_RECTS                                                                        \
    MouseParent(ha::kHgsSize.width, ha::kHgsSize.height), HgsKey(0, KeyHandler<&K::transfer>),    \
        HgsKey(1, KeyHandler<&K::cycle>), HgsKey(2, KeyHandler<&K::elevation>),                   \
        HgsKey(3, KeyHandler<&K::slope>), HgsKey(4, DigitHandler<1>), HgsKey(5, DigitHandler<2>), \
        HgsKey(6, DigitHandler<3>), HgsKey(7, DigitHandler<4>), HgsKey(8, DigitHandler<5>),       \
        HgsKey(9, DigitHandler<6>), HgsKey(10, DigitHandler<7>), HgsKey(11, DigitHandler<8>),     \
        HgsKey(12, DigitHandler<9>), HgsKey(13, KeyHandler<&K::enter>),                           \
        HgsKey(14, DigitHandler<0>), HgsKey(15, KeyHandler<&K::test>),                            \
        HgsKey(16, KeyHandler<&K::clear>), HgsKey(17, KeyHandler<&K::bright>),                    \
        HgsKey(18, KeyHandler<&K::dark>), MouseEnd()

#define ZU_RASU_BRIGHTNESS_RECTS                                                          \
    Rect(ha::kRasuBrightDown, kCursorDecrease, kClick, KeyHandler<&K::rasu_bright_down>), \
        Rect(ha::kRasuBrightUp, kCursorIncrease, kClick, KeyHandler<&K::rasu_bright_up>)

#define ZU_RASU_PANEL_RECTS                                                               \
    MouseParent(ha::kRasuSize.width, ha::kRasuSize.height),                               \
        Rect(ha::kRasuSpeedDown, kCursorDecrease, kHeldClick, KeyHandler<&K::rasu_down>), \
        Rect(ha::kRasuSpeedUp, kCursorIncrease, kHeldClick, KeyHandler<&K::rasu_up>),     \
        ZU_RASU_BRIGHTNESS_RECTS, MouseEnd()

// --- Saved flight -----------------------------------------------------------------

bool ModeValid(int32_t v) {
    return v >= kHgsModeNone && v <= kHgsModeVmc;
}

}  // namespace

uint32_t HgsPanelColour(int32_t brightness) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int64_t c = (kPanelYellow >> shift) & 0xFF;
        out |= static_cast<uint32_t>(((c * brightness) / 256) & 0xF0) << shift;
    }
    return out;
}

void HgsTextPaint(platform::DrawContext* dc) {
    Background(dc, kHgsTextGridWidth, kHgsTextGridHeight);
    platform::DrawSetTextAlign(dc, platform::kDrawTaLeft | platform::kDrawTaTop);
    platform::DrawSelectObject(dc, EfisFonts[1]);
    platform::DrawSetTextColour(dc, HgsPanelColour(HgsPanelBrightness));
    if (HgsPowered == 0) return;
    const int32_t a = HGS_HGS_actual_mode;
    const int32_t s = HGS_HGS_stby_mode;
    if (a == kHgsModeAiii) {
        Text(dc, 4, 2, HgsAiiiAvailable != 0 ? "AIII" : "NO AIII");
    } else if (const char* name = ModeName(a)) {
        Text(dc, 4, 2, name);
    }
    if (const char* name = ModeName(s)) Text(dc, 4, 20, name);
    if (HgsBothIls != 0 && a != kHgsModeAiii && s != kHgsModeAiii) Text(dc, 34, 20, "AIII");
    ElevationLine(dc);
    SlopeLine(dc);
}

void HgsTextKeyAdd(RepaintKeyBuilder& key) {
    key.Pack(DisplayBrightness, HgsPanelBrightness);
    if (HgsPowered == 0) {
        key.Pack(HgsPowered);
        return;
    }
    // The cursor blinks only while an entry is typed.
    const auto blink = static_cast<uint8_t>(HgsEntryTyped != 0 ? HgsBlinkCounter & 1 : 0);
    key.Pack(HgsPowered, HgsAiiiAvailable, HgsBothIls, HgsElevationEntry, HgsSlopeEntry,
             HgsEntryTyped, blink);
    key.Pack(HGS_HGS_actual_mode, HGS_HGS_stby_mode).Pack(HgsEntryLength, HGS_HGS_elevation_set);
    key.Add(HgsEntryText).Pack(HGS_HGS_gs_slope_angle);
}

void RasuReadoutKeyAdd(RepaintKeyBuilder& key) {
    key.Pack(DisplayBrightness, RasuBrightness);
    key.Pack(HgsPowered, HgsPowered != 0 ? HGS_RASU_speed : 0);
}

void RasuReadoutPaint(platform::DrawContext* dc) {
    Background(dc, kRasuGridWidth, kRasuGridHeight);
    platform::DrawSelectObject(dc, EfisFonts[3]);
    platform::DrawSetTextAlign(dc, platform::kDrawTaCenter);
    platform::DrawSetTextColour(dc, HgsPanelColour(RasuBrightness));
    if (HgsPowered == 0) return;
    char text[16] = "---";
    if (HGS_RASU_speed >= kRasuSpeedMin) std::snprintf(text, sizeof text, "%d", HGS_RASU_speed);
    Text(dc, 32, 4, text);
}

void HgsStateSave(const char* path) {
    FlightKeySave(path, "HGS_HGS_actual_mode", &HGS_HGS_actual_mode, 4);
    FlightKeySave(path, "HGS_HGS_stby_mode", &HGS_HGS_stby_mode, 4);
    FlightKeySave(path, "HGS_HGS_elevation_set", &HGS_HGS_elevation_set, 4);
    FlightKeySave(path, "HGS_HGS_gs_slope_angle", &HGS_HGS_gs_slope_angle, 4);
    FlightKeySave(path, "HGS_RASU_speed", &HGS_RASU_speed, 4);
    FlightKeySave(path, "HGS_HGS_HUD_show_flag", &HGS_HGS_HUD_show_flag, 1);
}

void HgsStateLoad(const char* path) {
    FlightKeyRestore(path, "HGS_HGS_actual_mode", HGS_HGS_actual_mode, ModeValid);
    FlightKeyRestore(path, "HGS_HGS_stby_mode", HGS_HGS_stby_mode, ModeValid);
    FlightKeyRestore(path, "HGS_HGS_elevation_set", HGS_HGS_elevation_set,
                     [](int32_t) { return true; });
    FlightKeyRestore(path, "HGS_HGS_gs_slope_angle", HGS_HGS_gs_slope_angle,
                     [](float v) { return std::isfinite(v) && v >= -9.99f && v <= 0.0f; });
    FlightKeyRestore(path, "HGS_RASU_speed", HGS_RASU_speed, [](int32_t v) {
        return v == 0 || (v >= kRasuSpeedMin && v <= kRasuSpeedMax);
    });
    FlightKeyRestore(path, "HGS_HGS_HUD_show_flag", HGS_HGS_HUD_show_flag,
                     [](uint8_t) { return true; });
}

gauge::ElementHeader* HGS_panelElementList[2] = {&gHgs.e[0], nullptr};
gauge::ElementHeader* HGS_VC_panelElementList[2] = {&gHgsVc.e[0], nullptr};
gauge::ElementHeader* RASU_panelElementList[2] = {&gRasu.e[0], nullptr};
gauge::ElementHeader* RASU_VC_panelElementList[2] = {&gRasuVc.e[0], nullptr};
gauge::ElementHeader* RASU_panel_touchElementList[2] = {&gRasuTouch.e[0], nullptr};
gauge::ElementHeader* HGS_Annunciator_panelElementList[2] = {&gAnn.e[0], nullptr};
gauge::ElementHeader* HGS_HUD_switchElementList[2] = {&gHud.e[0], nullptr};

gauge::MouseRect HGS_panelMouseRect[] = {ZU_HGS_PANEL_RECTS};
gauge::MouseRect HGS_VC_panelMouseRect[] = {ZU_HGS_PANEL_RECTS};
gauge::MouseRect RASU_panelMouseRect[] = {ZU_RASU_PANEL_RECTS};
gauge::MouseRect RASU_VC_panelMouseRect[] = {ZU_RASU_PANEL_RECTS};
gauge::MouseRect RASU_panel_touchMouseRect[] = {
    MouseParent(ha::kRasuSize.width, ha::kRasuSize.height),
    Rect(ha::kRasuSectors[0], kCursorHand, kTouchZone, SectorHandler<0>),
    Rect(ha::kRasuSectors[1], kCursorHand, kTouchZone, SectorHandler<1>),
    Rect(ha::kRasuSectors[2], kCursorHand, kTouchZone, SectorHandler<2>),
    Rect(ha::kRasuSectors[3], kCursorHand, kTouchZone, SectorHandler<3>),
    ZU_RASU_BRIGHTNESS_RECTS,
    MouseEnd()};
gauge::MouseRect HGS_HUD_switchMouseRect[] = {
    MouseParent(ha::kHudSize.width, ha::kHudSize.height),
    MouseChild(0, 0, 31, 31, kCursorHand, kClick, HudSwitch), MouseEnd()};

#undef ZU_HGS_PANEL_RECTS
#undef ZU_RASU_BRIGHTNESS_RECTS
#undef ZU_RASU_PANEL_RECTS

void HgsPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    SurfacePanelService<kHgsTextGridWidth, kHgsTextGridHeight>(
        gHgsGauge, &gHgs.e[0], &gHgs.e[kHgsText], gauge, service, HgsVisibility, HgsTextPaint,
        HgsTextKeyAdd);
}

void HgsVcPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    SurfacePanelService<kHgsTextGridWidth, kHgsTextGridHeight>(
        gHgsVcGauge, &gHgsVc.e[0], &gHgsVc.e[kHgsText], gauge, service, HgsVisibility, HgsTextPaint,
        HgsTextKeyAdd);
}

void RasuPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    SurfacePanelService<kRasuGridWidth, kRasuGridHeight>(
        gRasuGauge, &gRasu.e[0], &gRasu.e[kRasuReadout], gauge, service, ApplyRasuVisibility,
        RasuReadoutPaint, RasuReadoutKeyAdd);
}

void RasuVcPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    SurfacePanelService<kRasuGridWidth, kRasuGridHeight>(
        gRasuVcGauge, &gRasuVc.e[0], &gRasuVc.e[kRasuReadout], gauge, service, ApplyRasuVisibility,
        RasuReadoutPaint, RasuReadoutKeyAdd);
}

void RasuTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    SurfacePanelService<kRasuGridWidth, kRasuGridHeight>(
        gRasuTouchGauge, &gRasuTouch.e[0], &gRasuTouch.e[kRasuReadout], gauge, service,
        RasuTouchVisibility, RasuReadoutPaint, RasuReadoutKeyAdd);
}

namespace {

void AnnunciatorVisibility() {
    gauge::ElementHeader* first = &gAnn.e[0];
    const ElementList list(first);
    const bool test =
        AnnunciatorTestSwitch.get() == 2 && BusPowered.get(kPoweredRightEssential) != 0;
    const bool warn = HgsApproachWarning != 0;
    ShowElement(list, kOverlay, PanelLit(PanelLightingCircuit3.get(), gAnnVc));
    ShowElement(list, kAnnAiii, (HGS_HGS_actual_mode == kHgsModeAiii && !warn) || test);
    ShowElement(list, kAnnFlare, (HgsFlareActive != 0 && OnGround == 0 && !warn) || test);
    ShowElement(list, kAnnApchWarn, (warn && RadioAltitudeReadoutValue < 500) || test);
}

void HudVisibility() {
    gauge::ElementHeader* first = &gHud.e[0];
    const ElementList list(first);
    ShowElement(list, kHudOn, false);
    ShowElement(list, kHudOff, false);
    ShowElement(list, HGS_HGS_HUD_show_flag != 0 ? kHudOn : kHudOff, true);
}

}  // namespace

void HgsAnnunciatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    switch (service) {
        case gauge::kServiceInstall:
            gAnnHeader = gauge;
            ArmRefresh(kRefreshEngineInstruments);
            break;
        case kServiceInitialise:
            gAnnHeader = gauge;
            break;
        case gauge::kServiceUpdate:
            gAnnHeader = gauge;
            gAnnVc = GaugeIsVcFrom(gauge);
            if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
                ArmRefresh(kRefreshEngineInstruments);
            }
            if (CountdownTick(&RefreshCountdown[kRefreshEngineInstruments]) ||
                HGS_HGS_actual_mode == kHgsModeAiii) {
                AnnunciatorVisibility();
            }
            break;
        default:
            break;
    }
}

void HgsHudSwitchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    switch (service) {
        case gauge::kServiceInstall:
        case kServiceInitialise:
            gHudHeader = gauge;
            break;
        case gauge::kServiceUpdate:
            gHudHeader = gauge;
            if (CountdownTick(&RefreshCountdown[kRefreshOverhead])) HudVisibility();
            break;
        default:
            break;
    }
}

}  // namespace zu
