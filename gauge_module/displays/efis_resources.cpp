#include "displays/efis_resources.h"

#include <cmath>

#include "panels/display_control_panels.h"

namespace zu {

uint32_t SmoothBrightnessLevel = 255;
uint32_t SmoothAlphaBits = 0xFF000000u;
float SmoothPenX = 0.0f;
float SmoothPenY = 0.0f;

uint32_t EfisVariableColour = 0;
int32_t DisplayBrightness = 191;
int32_t EfisPensBrightness = 0;
DrawHandle EfisPens[kEfisDimmableCount] = {};
DrawHandle EfisBrushes[kEfisDimmableCount] = {};
DrawHandle EfisDimPens[7] = {};
DrawHandle EfisDimBrushes[6] = {};
DrawHandle EfisFonts[kEfisFontCount] = {};
int32_t EfisSine[kEfisTrigSize] = {};
int32_t EfisCosine[kEfisTrigSize] = {};
EfisRotationRecord EfisRotation;
gauge::DrawingSurface* CurrentGaugeSurface = nullptr;

namespace {

bool gInitialCreation = false;
bool gResourcesReady = false;
bool gSmoothStarted = false;
int32_t gSmoothGraphics = 0;

uint32_t DimmableColour(int i) {
    return i < kEfisPaletteSize ? EfisPalette[i] : EfisVariableColour;
}

// One dimmable object: a new one only when the old one is gone (deleted now,
// or nothing there at the initial creation); one still selected somewhere
// keeps its old colour until the next change.
template <typename Create>
void Recreate(DrawHandle& handle, Create create) {
    const bool deleted = platform::DrawDeleteObject(handle);
    if (deleted || gInitialCreation) handle = create();
}

void DeleteAll(DrawHandle* handles, int count) {
    for (int i = 0; i < count; ++i) {
        platform::DrawDeleteObject(handles[i]);
        handles[i] = 0;
    }
}

}  // namespace

uint32_t DimColour(uint32_t colour) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t c = static_cast<int32_t>((colour >> shift) & 0xFF);
        out |= (static_cast<uint32_t>((c * DisplayBrightness) / 256) & 0xF0u) << shift;
    }
    return out;
}

void RecreateDimmablePens() {
    for (int i = 0; i < kEfisDimmableCount; ++i) {
        Recreate(EfisPens[i],
                 [i] { return platform::DrawCreatePen(1, DimColour(DimmableColour(i))); });
    }
    for (int i = 0; i < kEfisDimmableCount; ++i) {
        Recreate(EfisBrushes[i],
                 [i] { return platform::DrawCreateBrush(DimColour(DimmableColour(i))); });
    }
}

void BuildTrigTables() {
    for (int i = 0; i < kEfisTrigSize; ++i) {
        const double a = static_cast<double>(i) / 572.0;
        EfisSine[i] = static_cast<int32_t>(std::sin(a) * 32767.0);
        EfisCosine[i] = static_cast<int32_t>(std::cos(a) * 32767.0);
    }
}

void CreateEfisFonts() {
    struct FontSpec {
        const char* face;
        int32_t height, width, weight;
    };
    static constexpr FontSpec kFonts[kEfisFontCount] = {
        {"Arial Narrow", 13, 4, 100}, {"Arial", 12, 5, 700}, {"Arial", 14, 6, 700},
        {"Arial", 24, 12, 700},       {"Arial", 13, 5, 400}, {"Arial", 14, 6, 700}};
    for (int i = 0; i < kEfisFontCount; ++i) {
        EfisFonts[i] = platform::DrawCreateFont(kFonts[i].height, kFonts[i].width, kFonts[i].weight,
                                                kFonts[i].face);
    }
}

void CreateEfisResources() {
    // A second install without a kill between makes the set anew rather
    // than losing the first one's objects.
    if (gResourcesReady) DeleteEfisResources();
    gInitialCreation = true;
    BuildTrigTables();
    EfisDimBrushes[0] = platform::DrawCreateBrush(0);
    static constexpr int kDimBrushColours[5] = {0, 2, 1, 3, 4};  // grey green red yellow blue
    for (int i = 0; i < 5; ++i) {
        EfisDimBrushes[i + 1] = platform::DrawCreateBrush(EfisDimPalette[kDimBrushColours[i]]);
    }
    EfisDimPens[0] = platform::DrawCreatePen(1, 0);
    for (int i = 0; i < 6; ++i) EfisDimPens[i + 1] = platform::DrawCreatePen(1, EfisDimPalette[i]);
    RecreateDimmablePens();
    CreateEfisFonts();
    SmoothStartup();
    gInitialCreation = false;
    gResourcesReady = true;
}

void DeleteEfisResources() {
    gResourcesReady = false;
    SmoothShutdown();
    DeleteAll(EfisDimBrushes, 6);
    DeleteAll(EfisDimPens, 7);
    DeleteAll(EfisPens, kEfisDimmableCount);
    DeleteAll(EfisBrushes, kEfisDimmableCount);
    DeleteAll(EfisFonts, kEfisFontCount);
    EfisPensBrightness = 0;
}

bool EfisResourcesReady() {
    return gResourcesReady;
}

void UpdateDisplayBrightness() {
    int32_t b = DisplayBrightnessLevel;
    if (DisplayFormat[0] != 0 || DisplayFormat[1] != 0) {
        b = 255;
    } else if (b < 64) {
        b = 64;
    }
    DisplayBrightness = b;
    if (b != EfisPensBrightness) {
        RecreateDimmablePens();
        EfisPensBrightness = b;
    }
}

// --- Rotation.

int32_t EfisAngleIndex(float angle) {
    if (!std::isfinite(angle)) return 0;
    // Reduced first, so no angle overflows the conversion.
    const double reduced = std::fmod(static_cast<double>(angle), 360.0);
    int32_t i = static_cast<int32_t>(reduced * 10.0) % 3600;
    if (i < 0) i += 3600;
    return i;
}

void SetRotation(EfisRotationRecord& r, int32_t centre_x, int32_t centre_y, float angle,
                 int32_t y_offset) {
    r.y_offset = y_offset;
    // The centre is compared itself (a product would confuse (a, b) with (b, a)).
    if (r.set && angle == r.last_angle && centre_x == r.centre_x && centre_y == r.centre_y) return;
    r.set = true;
    r.last_angle = angle;
    r.centre_x = centre_x;
    r.centre_y = centre_y;
    r.index = EfisAngleIndex(angle);
    r.sine = EfisSine[r.index];
    r.cosine = EfisCosine[r.index];
}

int32_t RotX(const EfisRotationRecord& r, int32_t x, int32_t y) {
    if (r.index == 0) return x;
    const int32_t dx = x - r.centre_x;
    const int32_t dy = y - r.centre_y;
    const int32_t p = dx * r.cosine - dy * r.sine;
    return r.centre_x + ((p / 16384) + 1) / 2;
}

int32_t RotY(const EfisRotationRecord& r, int32_t x, int32_t y) {
    if (r.index == 0) return y - r.y_offset;
    const int32_t dx = x - r.centre_x;
    const int32_t dy = y - r.centre_y;
    const int32_t s = dx * r.sine + dy * r.cosine;
    return r.centre_y - ((1 - s / 16384) / 2) - r.y_offset;
}

void SetRotation(int32_t centre_x, int32_t centre_y, float angle, int32_t y_offset) {
    SetRotation(EfisRotation, centre_x, centre_y, angle, y_offset);
}

int32_t RotX(int32_t x, int32_t y) {
    return RotX(EfisRotation, x, y);
}

int32_t RotY(int32_t x, int32_t y) {
    return RotY(EfisRotation, x, y);
}

void RotMoveTo(DrawContext* dc, int32_t x, int32_t y) {
    platform::DrawMoveTo(dc, RotX(x, y), RotY(x, y));
}

void RotLineTo(DrawContext* dc, int32_t x, int32_t y) {
    platform::DrawLineTo(dc, RotX(x, y), RotY(x, y));
}

void RotLine(DrawContext* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    RotMoveTo(dc, x1, y1);
    RotLineTo(dc, x2, y2);
}

// --- Smooth layer.

void SmoothStartup() {
    gSmoothStarted = true;
}

void SmoothShutdown() {
    gSmoothStarted = false;
}

bool SmoothLayerRunning() {
    return gSmoothStarted || gSmoothGraphics > 0;
}

DrawContext* SmoothGraphicsCreate(DrawContext* dc) {
    if (dc == nullptr || !gSmoothStarted) return nullptr;
    ++gSmoothGraphics;
    return dc;
}

void SmoothGraphicsDelete(DrawContext* graphics) {
    if (graphics == nullptr || gSmoothGraphics == 0) return;
    // The graphics object is the context itself, which its surface's owner
    // may already have destroyed: only the count changes.
    --gSmoothGraphics;
}

void SmoothSetBrightness(int32_t value) {
    SmoothBrightnessLevel = static_cast<uint32_t>(value) & 0xFFu;
}

void SmoothSetAlpha(int32_t value) {
    SmoothAlphaBits = static_cast<uint32_t>(value) << 24;
}

uint32_t SmoothColour(uint32_t rgb) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t c = (rgb >> shift) & 0xFF;
        out |= ((c * SmoothBrightnessLevel) / 256) << shift;
    }
    return out | SmoothAlphaBits;
}

void SmoothLine(DrawContext* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    platform::SmoothLine(g, x1, y1, x2, y2, SmoothColour(colour));
}

void SmoothLineF(DrawContext* g, uint32_t colour, float x1, float y1, float x2, float y2) {
    platform::SmoothLine(g, x1, y1, x2, y2, SmoothColour(colour));
}

void SmoothMoveTo(float x, float y) {
    SmoothPenX = x;
    SmoothPenY = y;
}

void SmoothLineTo(DrawContext* g, float x, float y, uint32_t colour) {
    platform::SmoothLine(g, SmoothPenX, SmoothPenY, x, y, SmoothColour(colour));
    SmoothPenX = x;
    SmoothPenY = y;
}

void SmoothFillRect(DrawContext* g, float x, float y, float w, float h, uint32_t colour) {
    platform::SmoothFillRect(g, x, y, w, h, SmoothColour(colour));
}

void SmoothEllipse(DrawContext* g, float x, float y, float w, float h, uint32_t colour) {
    platform::SmoothEllipse(g, x, y, w, h, SmoothColour(colour));
}

void SmoothArc(DrawContext* g, float x, float y, float w, float h, float start, float sweep,
               uint32_t colour) {
    platform::SmoothArc(g, x, y, w, h, start, sweep, SmoothColour(colour));
}

void SmoothSetClip(DrawContext* g, const platform::DrawRegion& region) {
    platform::DrawSetSmoothClip(g, region);
}

void SmoothResetClip(DrawContext* g) {
    platform::DrawResetSmoothClip(g);
}

void SmoothSetTransform(DrawContext* g, float angle, float centre_x, float centre_y,
                        float y_offset) {
    platform::SmoothSetTransform(g, angle, centre_x, centre_y, y_offset);
}

// --- Stroke digits.

namespace {

struct StrokePoint {
    int8_t dx;  // 0: L, 3: R (plus the offsets the shapes need)
    int8_t dy;
};

struct StrokeDigit {
    int8_t count;  // points after the move
    StrokePoint move;
    StrokePoint lines[7];
};

// L = 0, R = 3.
constexpr StrokeDigit kStrokeDigits[7] = {
    {4, {0, 0}, {{3, 0}, {3, 4}, {0, 4}, {0, 0}}},
    {2, {1, 0}, {{2, 0}, {2, 5}}},
    {5, {0, 1}, {{0, 0}, {3, 0}, {3, 1}, {0, 4}, {4, 4}}},
    {6, {0, 0}, {{3, 0}, {3, 1}, {2, 2}, {3, 3}, {3, 4}, {0, 4}}},
    {4, {0, 0}, {{0, 2}, {3, 2}, {3, 0}, {3, 5}}},
    {5, {3, 0}, {{0, 0}, {0, 2}, {3, 2}, {3, 4}, {-1, 4}}},
    {6, {3, 0}, {{0, 0}, {0, 2}, {3, 2}, {3, 4}, {0, 4}, {0, 2}}},
};

}  // namespace

void DrawStrokeDigits(DrawContext* g, int32_t x, int32_t y, const char* text, int32_t count,
                      uint32_t colour) {
    if (text == nullptr) return;
    for (int32_t k = 0; k < count && text[k] != '\0'; ++k) {
        const char c = text[k];
        if (c < '0' || c > '6') continue;
        const StrokeDigit& d = kStrokeDigits[c - '0'];
        const int32_t left = x + 5 * k;
        SmoothMoveTo(static_cast<float>(left + d.move.dx), static_cast<float>(y + d.move.dy));
        for (int i = 0; i < d.count; ++i) {
            SmoothLineTo(g, static_cast<float>(left + d.lines[i].dx),
                         static_cast<float>(y + d.lines[i].dy), colour);
        }
    }
}

}  // namespace zu
