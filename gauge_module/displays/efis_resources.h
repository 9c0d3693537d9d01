// The drawing resources every electronic flight display shares: colour
// tables, the brightness rule, pens, brushes and fonts, the fixed-point sine
// and cosine tables with the integer rotation, the anti-aliased (smooth)
// layer's colour rule and the stroke-drawn digits. The main gauge creates
// them at install and deletes them at kill; the systems tick runs the
// brightness step.
#pragma once

#include <cstdint>

#include "zu/platform/drawing.h"
#include "zu/platform/gauge_api.h"

namespace zu {

using platform::DrawContext;
using platform::DrawHandle;

// --- Colour tables.
inline constexpr int kEfisPaletteSize = 16;
// GDI colours, 0x00BBGGRR: white, red, green, blue, yellow, amber, cyan,
// magenta, light grey, grey, dark red, dark green, dark blue, olive, teal,
// brown.
inline constexpr uint32_t EfisPalette[kEfisPaletteSize] = {
    0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0x00B4F5, 0xFFFF00, 0xFF00FF,
    0xE1E1E1, 0x808080, 0x000080, 0x008000, 0x800000, 0x008080, 0x808000, 0x006EC2};
enum EfisColour : int {
    kEfisWhite = 0,
    kEfisRed,
    kEfisGreen,
    kEfisBlue,
    kEfisYellow,
    kEfisAmber,
    kEfisCyan,
    kEfisMagenta,
    kEfisLightGrey,
    kEfisGrey,
    kEfisDarkRed,
    kEfisDarkGreen,
    kEfisDarkBlue,
    kEfisOlive,
    kEfisTeal,
    kEfisBrown,
    kEfisVariable  // the 17th pen and brush
};
// Smooth-layer colours, 0x00RRGGBB: the palette with pink after magenta.
inline constexpr int kEfisBasicPaletteSize = 17;
inline constexpr uint32_t EfisBasicPalette[kEfisBasicPaletteSize] = {
    0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xF5B400, 0x00FFFF, 0xFF00FF, 0xFFC8FF,
    0xE1E1E1, 0x808080, 0x800000, 0x008000, 0x000080, 0x808000, 0x008080, 0xC26E00};
// Fixed, undimmed colours at level 0xD0: grey, red, green, yellow, blue, cyan.
inline constexpr uint32_t EfisDimPalette[6] = {0xD0D0D0, 0x0000D0, 0x00D000,
                                               0x00D0D0, 0xD00000, 0xD0D000};
// Black for the whole run; the 17th pen and brush are made from it.
extern uint32_t EfisVariableColour;

// --- Brightness.
// 64..255: every display colour is scaled by DisplayBrightness / 256.
extern int32_t DisplayBrightness;
// The brightness the dimmable pens were last made for (0: never).
extern int32_t EfisPensBrightness;

// --- Objects (handles of the drawing layer; 0 while not created).
inline constexpr int kEfisDimmableCount = 17;
extern DrawHandle EfisPens[kEfisDimmableCount];
extern DrawHandle EfisBrushes[kEfisDimmableCount];
// Black and the six EfisDimPalette colours.
extern DrawHandle EfisDimPens[7];
// Black, then EfisDimPalette grey, green, red, yellow and blue.
extern DrawHandle EfisDimBrushes[6];
// Fonts 1..6 at indices 0..5.
inline constexpr int kEfisFontCount = 6;
extern DrawHandle EfisFonts[kEfisFontCount];

// --- Trigonometric tables: entry i is sin/cos(i / 572 rad) x 32767,
// truncated toward zero.
inline constexpr int kEfisTrigSize = 3605;
extern int32_t EfisSine[kEfisTrigSize];
extern int32_t EfisCosine[kEfisTrigSize];

// --- Integer rotation. The displays' painters use the gauge thread's
// EfisRotation; tick-side users keep a record of their own.
struct EfisRotationRecord {
    int32_t sine = 0;
    int32_t cosine = 32767;
    int32_t centre_x = 0;
    int32_t centre_y = 0;
    int32_t y_offset = 0;
    int32_t index = 0;  // 0: no rotation
    float last_angle = 0.0f;
    bool set = false;
};
extern EfisRotationRecord EfisRotation;
// The traffic computer's record, on the tick.
extern EfisRotationRecord TcasTickRotation;

// The smooth layer's drawing state: the brightness and the alpha its
// colours take, and the pen's place for the next line.
extern uint32_t SmoothBrightnessLevel;
extern uint32_t SmoothAlphaBits;
extern float SmoothPenX;
extern float SmoothPenY;

// The surface of the display gauge being painted (null between paints).
extern gauge::DrawingSurface* CurrentGaugeSurface;

// Each channel c becomes ((c x DisplayBrightness) / 256) AND 0xF0.
uint32_t DimColour(uint32_t colour);
void RecreateDimmablePens();
void BuildTrigTables();
void CreateEfisFonts();
// Main gauge install (step 1) and kill (step 3).
void CreateEfisResources();
void DeleteEfisResources();
// True between CreateEfisResources and DeleteEfisResources: painters that
// find no resources draw nothing.
bool EfisResourcesReady();
// The brightness step of every systems tick.
void UpdateDisplayBrightness();

// The table index of an angle in degrees: tenths, modulo 3600, with the
// angle reduced first; a non-finite angle counts as 0.
int32_t EfisAngleIndex(float angle);
void SetRotation(EfisRotationRecord& r, int32_t centre_x, int32_t centre_y, float angle,
                 int32_t y_offset);
int32_t RotX(const EfisRotationRecord& r, int32_t x, int32_t y);
int32_t RotY(const EfisRotationRecord& r, int32_t x, int32_t y);
// The gauge thread's rotation.
void SetRotation(int32_t centre_x, int32_t centre_y, float angle, int32_t y_offset);
int32_t RotX(int32_t x, int32_t y);
int32_t RotY(int32_t x, int32_t y);
void RotMoveTo(DrawContext* dc, int32_t x, int32_t y);
void RotLineTo(DrawContext* dc, int32_t x, int32_t y);
void RotLine(DrawContext* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// --- Smooth layer. The graphics object of a display is its drawing context.
void SmoothStartup();
void SmoothShutdown();
// The layer runs from SmoothStartup until both SmoothShutdown and the
// deletion of the last graphics object.
bool SmoothLayerRunning();
DrawContext* SmoothGraphicsCreate(DrawContext* dc);
void SmoothGraphicsDelete(DrawContext* graphics);
void SmoothSetBrightness(int32_t value);
void SmoothSetAlpha(int32_t value);
// Each channel c becomes (c x brightness byte) / 256; colours 0x00RRGGBB.
uint32_t SmoothColour(uint32_t rgb);
void SmoothLine(DrawContext* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void SmoothLineF(DrawContext* g, uint32_t colour, float x1, float y1, float x2, float y2);
void SmoothMoveTo(float x, float y);
void SmoothLineTo(DrawContext* g, float x, float y, uint32_t colour);
void SmoothFillRect(DrawContext* g, float x, float y, float w, float h, uint32_t colour);
void SmoothEllipse(DrawContext* g, float x, float y, float w, float h, uint32_t colour);
void SmoothArc(DrawContext* g, float x, float y, float w, float h, float start, float sweep,
               uint32_t colour);
// The smooth shapes' own clip, apart from the device context's: resetting
// it leaves a region selected into the context in place.
void SmoothSetClip(DrawContext* g, const platform::DrawRegion& region);
void SmoothResetClip(DrawContext* g);
void SmoothSetTransform(DrawContext* g, float angle, float centre_x, float centre_y,
                        float y_offset);

// Digits '0'..'6' in 5-unit cells drawn with smooth strokes; other
// characters keep their cell empty.
void DrawStrokeDigits(DrawContext* g, int32_t x, int32_t y, const char* text, int32_t count,
                      uint32_t colour);

}  // namespace zu
