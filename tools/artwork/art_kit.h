// Drawing kit of the artwork generator: the bitmap list the families add
// to, the fonts, and the pieces every instrument is built from (cases,
// scales, needles, lamps, buttons, knobs, legends).
//
// Coordinates are design pixels of the gauge. Angles of dial marks are
// degrees clockwise from straight up, the convention of the host's needles.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace art {

// One finished bitmap: 32-bit pixels, rows top down, bytes R, G, B, A with
// the colour premultiplied by alpha.
struct Bitmap {
    uint32_t id = 0;
    std::string name;  // for the PNG dump and error messages
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// The bitmaps of one run; families append to it.
class BitmapSet {
  public:
    // A transparent canvas of the given size; Finish() turns it into a bitmap.
    cairo_t* Begin(int width, int height);
    void Finish(cairo_t* cr, uint32_t id, const std::string& name);
    const std::vector<Bitmap>& bitmaps() const { return bitmaps_; }
    std::vector<Bitmap>& bitmaps() { return bitmaps_; }

  private:
    std::vector<Bitmap> bitmaps_;
};

// Faces the instruments are lettered in: "Arial" and "Arial Narrow" are set
// in Liberation Sans (Narrow as Liberation Sans condensed to 82 %), the
// "Quartz" seven-segment readouts in DSEG7 Classic.
enum class Face { Sans, SansBold, SansNarrow, Segment7 };

// Loads the font files; false (with a message on stderr) when one is missing.
bool LoadFonts();
// The font file a face is loaded from (after LoadFonts).
const std::string& FontFile(Face face);

struct Colour {
    double r, g, b, a = 1.0;
};

inline constexpr Colour kWhite{0.95, 0.95, 0.95};
inline constexpr Colour kLitMarking{1.0, 0.85, 0.55};  // panel lighting: warm white
inline constexpr Colour kRed{0.90, 0.12, 0.10};
inline constexpr Colour kGreen{0.15, 0.80, 0.25};
inline constexpr Colour kAmber{1.0, 0.70, 0.10};
inline constexpr Colour kCyan{0.30, 0.85, 1.0};
inline constexpr Colour kFaceBlack{0.05, 0.05, 0.05};

void SetColour(cairo_t* cr, Colour c);

enum class Align { Left, Centre, Right };

// Text with its baseline centre (or left/right end) at x, and its cap
// height centred on y.
void DrawText(cairo_t* cr, Face face, double size, double x, double y, Align align,
              const std::string& text, Colour colour);
// Advance width of a text.
double TextWidth(Face face, double size, const std::string& text);
// Ink extents of a text (Cairo's text extents).
cairo_text_extents_t TextExtents(Face face, double size, const std::string& text);

// Point at `radius` from (cx, cy) in the direction `angle` (degrees
// clockwise from up).
void PolarPoint(double cx, double cy, double radius, double angle, double* x, double* y);

// Case of a square instrument: a dark rounded body with four screws (the
// lower-left one left out when `skip_lower_left_screw`).
void DrawCase(cairo_t* cr, int size, bool skip_lower_left_screw);
// Round dial face with its bezel; lit faces glow faintly.
void DrawFace(cairo_t* cr, double cx, double cy, double radius, bool lit);

// A scale arc from angle a0 to a1 (either order) and radial ticks.
void DrawArc(cairo_t* cr, double cx, double cy, double radius, double a0, double a1, double width,
             Colour colour, bool glow);
void DrawTick(cairo_t* cr, double cx, double cy, double r_outer, double r_inner, double angle,
              double width, Colour colour, bool glow);

// Pointer needle drawn pointing up with its pivot at (px, py): a tapered
// blade of the given length and tail, on a hub.
void DrawPointer(cairo_t* cr, double px, double py, double length, double tail, double hub,
                 bool lit);
// Reference bug: a marker at the top of the bitmap, pointing down toward the
// pivot.
void DrawBug(cairo_t* cr, double width, double height, Colour colour, bool lit);

// A lamp lens filling the box; `on` draws it glowing. Legend lines (may be
// empty) are lettered on the lens.
void DrawLamp(cairo_t* cr, double x, double y, double w, double h, Colour colour, bool on,
              const std::vector<std::string>& legend);
// A round lamp (warning light).
void DrawRoundLamp(cairo_t* cr, double cx, double cy, double r, Colour colour, bool on);
// A round push button.
void DrawPushButton(cairo_t* cr, double cx, double cy, double r);
// A fluted knob seen from the front with its index mark at `angle`.
void DrawKnob(cairo_t* cr, double cx, double cy, double r, double angle);
// A dark readout window.
void DrawWindow(cairo_t* cr, double x, double y, double w, double h);
// A closed rounded-rectangle path (corner radius r).
void RoundedPath(cairo_t* cr, double x, double y, double w, double h, double r);
// A panel's grey plate with its dark rim, filling a w x h bitmap.
void DrawPlate(cairo_t* cr, int w, int h);

}  // namespace art
