#include "displays/tcas_display.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "displays/efis_resources.h"
#include "displays/tcas.h"
#include "instruments/atc_control_head.h"
#include "resources/resource_table.h"

namespace zu {

using platform::DrawContext;
using platform::DrawPoint;

TcasScreen TcasScreens[kTcasScreenCount] = {
    {"TCAS1 display", 0, false},
    {"TCAS1 VC display", 0, true},
    {"TCAS2 display", 1, false},
    {"TCAS2 VC display", 1, true},
};

namespace {

struct TcasElements {
    gauge::ElementHeader root;
    gauge::ElementHeader surface;
    gauge::ElementHeader* root_next[2];
    gauge::ElementHeader* surface_next[1];
};

constexpr TcasElements MakeTcasElements(TcasElements* self) {
    TcasElements d{};
    d.root = {gauge::ElementType::StaticImage,
              kTcasSurfaceBitmap,
              {0, 0},
              gauge::kImageHidden,
              self->root_next,
              0,
              0.0,
              nullptr};
    d.surface = {gauge::ElementType::StaticImage,
                 kTcasSurfaceBitmap,
                 {0, 0},
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

constinit TcasElements gElements[kTcasScreenCount] = {
    MakeTcasElements(&gElements[0]),
    MakeTcasElements(&gElements[1]),
    MakeTcasElements(&gElements[2]),
    MakeTcasElements(&gElements[3]),
};

// Vertical speed (ft/min, magnitude) to needle angle (degrees).
constexpr float kNeedleTable[16] = {0,    1000,  2000, 3000,  4000,  5000,  6000, 6000,
                                    0.0f, 66.0f, 109,  132.0, 149.5, 160.5, 172,  172};

// Shapes, as offsets from the symbol.
constexpr DrawPoint kDiamond[5] = {{0, -3}, {3, 0}, {0, 3}, {-3, 0}, {0, -3}};
constexpr DrawPoint kOctagon[10] = {{0, -3}, {1, -3}, {3, -1},  {3, 1},   {1, 3},
                                    {-1, 3}, {-3, 1}, {-3, -1}, {-1, -3}, {0, -3}};
constexpr DrawPoint kOwnAircraft[11] = {{0, -3}, {0, -1}, {-3, 0}, {0, -1}, {3, 0}, {0, -1},
                                        {0, 2},  {1, 3},  {0, 2},  {-1, 3}, {0, 2}};

// Pens and brushes of EfisDimPens / EfisDimBrushes.
constexpr int kDimPenGrey = 1;
constexpr int kDimPenYellow = 4;
constexpr int kDimPenCyan = 6;
constexpr int kDimBrushBlack = 0;
constexpr int kDimBrushGrey = 1;
constexpr int kDimBrushYellow = 4;
constexpr uint32_t kTextWhite = 0xFFFFFF;
constexpr uint32_t kTextYellow = 0x00FFFF;
constexpr uint32_t kSmoothWhite = 0xFFFFFF;
constexpr uint32_t kSmoothCyan = 0x00FFFF;

constexpr double kDegToRad = 0.017453292519943295;

DrawContext* SurfaceContext(const gauge::DrawingSurface* s) {
    return static_cast<DrawContext*>(s->context);
}

bool Powered() {
    return BusPowered.get(kPoweredLeftEssential) != 0;
}

void Polyline(DrawContext* dc, int32_t x, int32_t y, const DrawPoint* points, int count) {
    platform::DrawMoveTo(dc, x + points[0].x, y + points[0].y);
    for (int i = 1; i < count; ++i) platform::DrawLineTo(dc, x + points[i].x, y + points[i].y);
}

void FilledShape(DrawContext* dc, int32_t x, int32_t y, const DrawPoint* points, int count) {
    DrawPoint at[10];
    for (int i = 0; i < count; ++i) at[i] = {x + points[i].x, y + points[i].y};
    platform::DrawPolygon(dc, at, count);
}

void Text(DrawContext* dc, int32_t x, int32_t y, const char* text) {
    platform::DrawTextOut(dc, x, y, text, static_cast<int32_t>(std::strlen(text)));
}

// The background bitmap scaled onto the surface's pixels (black where the
// module has none).
void PaintBackground(gauge::DrawingSurface* s) {
    const gauge::BitmapResource* bmp = FindResource(kTcasBackgroundBitmap);
    for (int32_t y = 0; y < s->height; ++y) {
        uint8_t* row = s->pixels + static_cast<size_t>(y) * static_cast<size_t>(s->stride);
        for (int32_t x = 0; x < s->width; ++x) {
            uint8_t* p = row + static_cast<size_t>(x) * 4;
            if (bmp != nullptr && bmp->width > 0 && bmp->height > 0) {
                const auto bx =
                    static_cast<int32_t>(static_cast<int64_t>(x) * bmp->width / s->width);
                const auto by =
                    static_cast<int32_t>(static_cast<int64_t>(y) * bmp->height / s->height);
                std::memcpy(p, bmp->pixels + (static_cast<size_t>(by) * bmp->width + bx) * 4, 4);
            } else {
                p[0] = p[1] = p[2] = 0;
            }
            p[3] = 255;
        }
    }
}

}  // namespace

gauge::ElementHeader* TcasElementLists[kTcasScreenCount][2] = {
    {&gElements[0].root, nullptr},
    {&gElements[1].root, nullptr},
    {&gElements[2].root, nullptr},
    {&gElements[3].root, nullptr},
};

platform::DrawRegion TcasClipRegionCreate(int32_t width, int32_t height) {
    return platform::DrawRegionEllipse(
        {11 * width / 86, 12 * height / 84, 74 * width / 86, 73 * height / 84});
}

bool SetupTcasScreen(TcasScreen& screen, gauge::DrawingSurface* s) {
    const bool other_surface =
        screen.surface != s || screen.width != s->width || screen.height != s->height;
    if (!screen.setup_pending && !other_surface) return true;
    if (s->context == nullptr || s->pixels == nullptr || s->width <= 0 || s->height <= 0 ||
        s->stride < s->width * 4 ||
        static_cast<uint64_t>(s->bytes) <
            static_cast<uint64_t>(s->stride) * static_cast<uint64_t>(s->height))
        return false;
    DrawContext* dc = SurfaceContext(s);
    screen.width = s->width;
    screen.height = s->height;
    PaintBackground(s);
    screen.background.assign(s->pixels, s->pixels + s->bytes);
    screen.clip = TcasClipRegionCreate(s->width, s->height);
    platform::DrawSetRop2(dc, platform::DrawRop2::MergePen);
    platform::DrawSetBkMode(dc, false);
    platform::DrawSetTextAlign(dc, platform::kDrawTaLeft | platform::kDrawTaTop);
    platform::DrawSetMapping(dc, kTcasGridWidth, kTcasGridHeight, s->width, s->height);
    if (screen.graphics == nullptr) screen.graphics = SmoothGraphicsCreate(dc);
    screen.surface = s;
    screen.setup_pending = false;
    screen.last_key.valid = false;
    screen.unshown = true;
    return true;
}

void TcasStatusDraw(DrawContext* dc) {
    platform::DrawSelectObject(dc, EfisFonts[1]);
    platform::DrawSetTextColour(dc, kTextWhite);
    const int32_t level = TransponderState.tcas_mode;
    // 1. Off: the legend in its box, centred both ways and broken into
    // words, and nothing else.
    if (level <= 0) {
        static constexpr char kOff[] = "TCAS OFF";
        platform::DrawTextInRect(
            dc, platform::DrawRect{41, 30, 70, 52}, kOff, static_cast<int32_t>(sizeof kOff - 1),
            platform::kDrawDtCenter | platform::kDrawDtVCenter | platform::kDrawDtWordBreak);
        SmoothSetTransform(dc, 0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    // 2. Range.
    switch (TcasRangeNm) {
        case 5:
            Text(dc, 62, -1, "5 nm");
            break;
        case 10:
            Text(dc, 60, -1, "10nm");
            break;
        case 20:
            Text(dc, 60, -1, "20nm");
            break;
        default:
            Text(dc, 60, -1, "40nm");
            break;
    }
    // 3. Mode.
    if (level == kTcasModeStandby) Text(dc, 0, 73, "STBY");
    if (level > 2) Text(dc, 3, 73, "TA");
    // 4. Own aircraft.
    platform::DrawSelectObject(dc, EfisDimPens[kDimPenCyan]);
    Polyline(dc, kTcasOwnX, kTcasOwnY, kOwnAircraft, 11);
    // 5. Range dots.
    const int32_t r = TcasRangeNm > 0 ? 62 / TcasRangeNm : 0;
    for (int i = 0; i < 12; ++i) {
        SmoothSetTransform(dc, 30.0f * static_cast<float>(i), static_cast<float>(kTcasOwnX),
                           static_cast<float>(kTcasOwnY), 0.0f);
        SmoothLine(dc, kTcasOwnX - r, kTcasOwnY, kTcasOwnX - 1 - r, kTcasOwnY, kSmoothCyan);
    }
    // 6.
    SmoothSetTransform(dc, 0.0f, 0.0f, 0.0f, 0.0f);
}

bool TcasSymbolPlace(double relative_bearing, double distance, int32_t range_nm, int32_t* x,
                     int32_t* y) {
    SetRotation(kTcasOwnX, kTcasOwnY, static_cast<float>(relative_bearing), 0);
    const double c = std::cos(relative_bearing * kDegToRad);
    const double edge = std::fabs(-15.0 * c - std::sqrt((c * c - 1.0) * 225.0 + 1024.0));
    int32_t r = TruncToInt32(distance * kTcasRangeUnits / (range_nm > 0 ? range_nm : 5));
    const bool off_scale = r >= edge;
    if (off_scale) r = TruncToInt32(edge);
    *x = RotX(kTcasOwnX, kTcasOwnY - r);
    *y = RotY(kTcasOwnX, kTcasOwnY - r);
    return off_scale;
}

void TcasTrafficDraw(DrawContext* dc, const platform::DrawRegion& clip) {
    const TcasIntruderTable& table = TcasShownIntruders();
    const double own_heading = static_cast<double>(Heading) + NavHeading;
    const double own_altitude = Altitude;
    platform::DrawSelectClipRegion(dc, clip);
    platform::DrawSelectObject(dc, EfisFonts[1]);
    const int32_t count = table.count < kTcasIntruderCapacity ? table.count : 0;
    for (int i = 0; i < count; ++i) {
        const TcasIntruder& t = table.intruders[i];
        // 1.-4. Where it is drawn.
        const double a = t.bearing - (std::isfinite(own_heading) ? own_heading : 0.0);
        int32_t x = 0;
        int32_t y = 0;
        const bool off_scale = TcasSymbolPlace(a, t.distance, TcasRangeNm, &x, &y);
        SetRotation(kTcasOwnX, kTcasOwnY, 0.0f, 0);
        platform::DrawSelectObject(dc, EfisDimPens[kDimPenGrey]);
        // 5. Beyond the edge: an octagon on it, and nothing else.
        if (off_scale) {
            platform::DrawSelectObject(dc, EfisDimBrushes[kDimBrushYellow]);
            platform::DrawSelectObject(dc, EfisDimPens[kDimPenYellow]);
            FilledShape(dc, x, y, kOctagon, 10);
            continue;
        }
        // 6. The symbol.
        uint32_t label = kTextWhite;
        if (t.proximate == 0) {
            Polyline(dc, x, y, kDiamond, 5);
        } else if (t.threat == 0) {
            platform::DrawSelectObject(dc, EfisDimBrushes[kDimBrushGrey]);
            FilledShape(dc, x, y, kDiamond, 5);
        } else {
            platform::DrawSelectObject(dc, EfisDimBrushes[kDimBrushYellow]);
            platform::DrawSelectObject(dc, EfisDimPens[kDimPenYellow]);
            FilledShape(dc, x, y, kDiamond, 5);
            label = kTextYellow;
        }
        // 7. Relative altitude above or below the symbol.
        char text[4];
        std::memcpy(text, t.relative_altitude_text, 3);
        text[3] = '\0';
        platform::DrawSetTextColour(dc, label);
        if (own_altitude < t.altitude) {
            Text(dc, x - 6, y - 13, text);
        } else {
            Text(dc, x - 7, y + 6, text);
        }
        // 8. Trend arrow.
        if (t.vertical_speed < -500) {
            platform::DrawMoveTo(dc, x + 6, y - 3);
            platform::DrawLineTo(dc, x + 6, y + 5);
            platform::DrawLineTo(dc, x + 4, y + 3);
            platform::DrawMoveTo(dc, x + 6, y + 5);
            platform::DrawLineTo(dc, x + 8, y + 3);
        } else if (t.vertical_speed > 500) {
            platform::DrawMoveTo(dc, x + 6, y + 5);
            platform::DrawLineTo(dc, x + 6, y - 3);
            platform::DrawLineTo(dc, x + 4, y - 1);
            platform::DrawMoveTo(dc, x + 6, y - 3);
            platform::DrawLineTo(dc, x + 8, y - 1);
        }
    }
    // 9.
    platform::DrawResetClip(dc);
    platform::DrawSelectObject(dc, EfisDimBrushes[kDimBrushBlack]);
}

float TcasNeedleAngle(int32_t vertical_speed, int32_t test_timer, float last) {
    double angle = 0.0;
    if (test_timer == 0) {
        angle = TableLookup8(kNeedleTable, static_cast<float>(std::abs(vertical_speed)));
    } else if (test_timer >= 89) {
        angle = TableLookup8(kNeedleTable, static_cast<float>((120 - test_timer) * 125));
    } else if (test_timer < 64) {
        angle = TableLookup8(kNeedleTable, static_cast<float>(test_timer * 62.5));
    } else {
        return last;  // the test blanks the needle
    }
    return static_cast<float>(vertical_speed < 0 ? -angle : angle);
}

void TcasVsNeedleDraw(TcasScreen& screen, DrawContext* g) {
    const int32_t timer = screen.side == 0 ? AdcTestTimer1 : AdcTestTimer2;
    const int32_t vs = VerticalSpeedRaw == INT32_MIN ? INT32_MAX : VerticalSpeedRaw;
    screen.last_needle_angle = TcasNeedleAngle(vs, timer, screen.last_needle_angle);
    SmoothSetTransform(g, screen.last_needle_angle, 41.0f, 41.5f, 0.0f);
    if (timer < 64 || timer > 88) {
        SmoothLine(g, 13, 41, 41, 41, kSmoothWhite);
        SmoothLine(g, 13, 42, 41, 42, kSmoothWhite);
        SmoothLine(g, 16, 40, 13, 41, kSmoothWhite);
        SmoothLine(g, 16, 43, 13, 42, kSmoothWhite);
    }
    SmoothSetTransform(g, 0.0f, 0.0f, 0.0f, 0.0f);
}

void TcasDisplayInstall(TcasScreen& screen, gauge::GaugeHeader* header) {
    screen.header = header;
    screen.setup_pending = true;
    // A new install draws on the next tick, whatever the tick count.
    screen.last_drawn_tick = 0;
}

void TcasDisplayFrame(TcasScreen& screen, gauge::ElementHeader* element) {
    if (element == nullptr || element->surface == nullptr) return;
    gauge::DrawingSurface* s = element->surface;
    if (!SetupTcasScreen(screen, s)) return;
    const bool powered = Powered();
    if (!powered) {
        screen.power_on = 0;
    } else if (screen.power_on < kTcasPowerOnLimit) {
        ++screen.power_on;
    }
    if (screen.busy) return;
    screen.busy = true;
    const uint32_t tick = TickCounter.load(std::memory_order_acquire);
    const bool changed = tick > screen.last_drawn_tick;
    if (changed) screen.last_drawn_tick = tick;
    DrawContext* dc = SurfaceContext(s);
    const bool picture = screen.power_on >= kTcasPowerOnLimit && powered && EfisResourcesReady();
    // A picture, or the black screen, like the one on the surface is not
    // painted again.
    bool paint = false;
    if ((picture && changed) || !powered) {
        RepaintKeyBuilder key;
        key.Add(picture);
        if (picture) TcasPictureKeyAdd(key, screen);
        paint = RepaintNeeded(screen.last_key, key.Key());
    }
    if (paint && picture) {
        screen.unshown = true;
        if (screen.background.size() == s->bytes) {
            std::memcpy(s->pixels, screen.background.data(), s->bytes);
        }
        platform::DrawBeginPaint(dc);
        platform::DrawSaveState(dc);
        SmoothSetBrightness(255);
        SmoothSetAlpha(255);
        // With the computer off only the status gives way to "TCAS OFF":
        // the traffic (none then) and the vertical-speed needle still run.
        TcasStatusDraw(dc);
        TcasTrafficDraw(dc, screen.clip);
        TcasVsNeedleDraw(screen, screen.graphics != nullptr ? screen.graphics : dc);
        platform::DrawRestoreState(dc);
        ++screen.pictures;
    } else if (paint) {
        screen.unshown = true;
        platform::DrawBeginPaint(dc);
        platform::DrawFillRect(dc, {0, 0, kTcasGridWidth, kTcasGridHeight}, 0);
    }
    screen.busy = false;
    // Only a painted surface is handed to the host: taking it may swap in
    // the host's other buffer, which holds an older picture.
    if (screen.unshown) {
        element->image_flags &= ~gauge::kImageOnScreen;
        screen.unshown = false;
    }
}

void TcasPictureKeyAdd(RepaintKeyBuilder& key, const TcasScreen& screen) {
    const int32_t level = TransponderState.tcas_mode;
    key.Add(level).Add(DisplayBrightness).Add(TcasRangeNm);
    // The traffic is drawn whatever the level.
    const TcasIntruderTable& table = TcasShownIntruders();
    const int32_t count = table.count < kTcasIntruderCapacity ? table.count : 0;
    key.Add(count);
    if (count > 0) key.Add(Heading).Add(NavHeading).Add(Altitude);
    for (int i = 0; i < count; ++i) {
        const TcasIntruder& t = table.intruders[i];
        key.Add(t.bearing).Add(t.distance).Add(t.altitude).Add(t.proximate).Add(t.threat);
        key.Add(t.relative_altitude_text);
        key.Add(static_cast<int8_t>(t.vertical_speed < -500 ? -1 : t.vertical_speed > 500));
    }
    const int32_t timer = screen.side == 0 ? AdcTestTimer1 : AdcTestTimer2;
    const int32_t vs = VerticalSpeedRaw == INT32_MIN ? INT32_MAX : VerticalSpeedRaw;
    key.Add(TcasNeedleAngle(vs, timer, screen.last_needle_angle));
    key.Add(timer < 64 || timer > 88);
}

void TcasDisplayKill(TcasScreen& screen) {
    if (screen.graphics != nullptr) SmoothGraphicsDelete(screen.graphics);
    screen.graphics = nullptr;
    screen.background.clear();
    screen.background.shrink_to_fit();
    screen.surface = nullptr;
    screen.width = screen.height = 0;
    screen.setup_pending = false;
}

void TcasDisplayCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (gauge == nullptr || gauge->name == nullptr) return;
    TcasScreen* screen = nullptr;
    // The screen this gauge last served, confirmed by its name; otherwise
    // the screens by name.
    for (TcasScreen& s : TcasScreens) {
        if (s.header == gauge && std::strcmp(s.name, gauge->name) == 0) screen = &s;
    }
    if (screen == nullptr) {
        for (TcasScreen& s : TcasScreens) {
            if (std::strcmp(s.name, gauge->name) == 0) screen = &s;
        }
    }
    if (screen == nullptr) return;
    switch (service) {
        case gauge::kServiceInstall:
            TcasDisplayInstall(*screen, gauge);
            break;
        case 4:
            screen->header = gauge;
            break;
        case gauge::kServiceUpdate: {
            screen->header = gauge;
            gauge::ElementHeader* root =
                gauge->element_list != nullptr ? gauge->element_list[0] : nullptr;
            TcasDisplayFrame(*screen, root != nullptr && root->next_element != nullptr
                                          ? root->next_element[0]
                                          : nullptr);
            break;
        }
        case gauge::kServiceKill:
            TcasDisplayKill(*screen);
            break;
        default:
            break;
    }
}

}  // namespace zu
