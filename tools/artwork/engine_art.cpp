// Artwork of the engine instruments: for each dial a lit and an unlit face
// with the scales of its needles, the needles in both variants, and the
// over-limit lamp.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "art_kit.h"
#include "families.h"
#include "instruments/engine_dials.h"

namespace art {

namespace {

using namespace zu::engine_dials;

// Numeral of a scale value ("-25", "4", "100").
std::string Numeral(double value, double divisor) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value / divisor);
    return text;
}

bool IsMultiple(double value, double step) {
    if (step <= 0) return false;
    const double q = value / step;
    return std::fabs(q - std::round(q)) < 1e-6;
}

void DrawScale(cairo_t* cr, const DialLayout& d, const DialScale& s, bool lit) {
    if (s.last <= s.first) return;  // a needle without a printed scale
    const double c = Centre(d);
    const double r = FaceRadius(d);
    const Colour mark = lit ? kLitMarking : kWhite;
    const double ring = r - 4;
    const double unit = d.size / 200.0;
    DrawArc(cr, c, c, ring, ScaleAngle(s, s.first), ScaleAngle(s, s.last), 1.2 * unit, mark, lit);
    const int steps = static_cast<int>(std::lround((s.last - s.first) / s.minor));
    for (int i = 0; i <= steps; ++i) {
        const double v = s.first + i * s.minor;
        const double a = ScaleAngle(s, v);
        const bool major = IsMultiple(v, s.major);
        DrawTick(cr, c, c, ring, ring - (major ? 13 : 7) * unit, a, (major ? 2.2 : 1.2) * unit,
                 mark, lit);
        if (IsMultiple(v, s.label_every)) {
            double x, y;
            PolarPoint(c, c, ring - 26 * unit, a, &x, &y);
            const std::string text = Numeral(v, s.label_divisor);
            const double size = (text.size() > 2 ? 14.0 : 17.0) * unit;
            DrawText(cr, Face::Sans, size, x, y, Align::Centre, text, mark);
        }
    }
    if (s.has_red_line) {
        DrawTick(cr, c, c, ring + 2 * unit, ring - 15 * unit, ScaleAngle(s, s.red_line), 3.5 * unit,
                 kRed, lit);
    }
    if (s.legend != nullptr) {
        // Legend inside the arc, at the middle of the scale.
        double x, y;
        PolarPoint(c, c, ring - 50 * unit, ScaleAngle(s, (s.first + s.last) / 2), &x, &y);
        DrawText(cr, Face::SansBold, 12 * unit, x, y, Align::Centre, s.legend, mark);
    }
}

void DrawDialFace(BitmapSet& set, Dial dial, bool lit) {
    const DialLayout& d = Layout(dial);
    cairo_t* cr = set.Begin(d.size, d.size);
    const double c = Centre(d);
    const double unit = d.size / 200.0;
    DrawCase(cr, d.size, d.has_test_button);
    DrawFace(cr, c, c, FaceRadius(d), lit);
    for (int n = 0; n < d.scale_count; ++n) DrawScale(cr, d, d.scale[n], lit);

    const Colour mark = lit ? kLitMarking : kWhite;
    // Title (one or more lines) and unit legend.
    const double title_size = (std::strlen(d.title) > 8 ? 11 : 14) * unit;
    std::string title = d.title;
    double ty = c + d.title_dy;
    for (size_t start = 0; start <= title.size();) {
        size_t end = title.find('\n', start);
        if (end == std::string::npos) end = title.size();
        DrawText(cr, Face::SansBold, title_size, c + d.title_dx, ty, Align::Centre,
                 title.substr(start, end - start), mark);
        ty += title_size * 1.15;
        start = end + 1;
    }
    if (d.units != nullptr) {
        DrawText(cr, Face::SansNarrow, 11 * unit, c + d.units_dx, c + d.units_dy, Align::Centre,
                 d.units, mark);
    }
    if (d.has_readout) {
        const ReadoutLayout& ro = d.readout;
        DrawWindow(cr, ro.x, ro.y, ro.width, ro.height);
        if (ro.tenths) {
            // Printed decimal point before the last digit. The host sets the
            // right-aligned digits kReadoutPadding in from the right edge
            // with the figure 8 centred vertically; the point sits in the gap
            // between the last two digit cells, on the baseline.
            const cairo_text_extents_t eight = TextExtents(Face::Segment7, ro.font_height, "8");
            const double last_cell = ro.x + ro.width - kReadoutPadding - eight.x_advance;
            const double gap_right = last_cell + eight.x_bearing;
            const double gap_left = gap_right - eight.x_advance + eight.width;
            const double baseline = ro.y + ro.height / 2.0 + eight.height / 2.0;
            // Large enough to stay a visible dot when the dial is drawn at
            // its panel size, in the readout's own amber.
            const double r = 3.0 * unit;
            cairo_set_source_rgb(cr, 1.0, 0.62, 0.08);
            cairo_arc(cr, (gap_left + gap_right) / 2, baseline - r, r, 0, 2 * 3.14159265358979);
            cairo_fill(cr);
        }
    }
    if (d.has_test_button) {
        DrawPushButton(cr, TestButtonCentreX(d), TestButtonCentreY(d), TestButtonRadius(d));
        DrawText(cr, Face::SansNarrow, 10 * unit, TestButtonCentreX(d),
                 TestButtonCentreY(d) - TestButtonRadius(d) - 8 * unit, Align::Centre, "TEST",
                 mark);
    }
    const char* names[] = {"torque", "rpm", "nh",   "nl",    "itt",
                           "ff",     "oil", "fqty", "ftank", "ftemp"};
    set.Finish(cr, lit ? FaceLitId(dial) : FaceUnlitId(dial),
               std::string(names[static_cast<int>(dial)]) + (lit ? "_face_lit" : "_face"));
}

void DrawNeedleBitmap(BitmapSet& set, Dial dial, int n, bool lit) {
    const DialLayout& d = Layout(dial);
    const NeedleGeometry g = Needle(d, n);
    cairo_t* cr = set.Begin(g.width, g.height);
    if (d.needle_shape[n] == NeedleShape::Bug) {
        DrawBug(cr, g.width, g.height, kCyan, lit);
    } else {
        const double hub = (g.width - 2) / 2.0;
        DrawPointer(cr, g.pivot_x, g.pivot_y, g.length, g.height - g.pivot_y - 1, hub, lit);
    }
    char name[48];
    std::snprintf(name, sizeof name, "dial%d_needle%d%s", static_cast<int>(dial), n,
                  lit ? "_lit" : "");
    set.Finish(cr, lit ? NeedleLitId(dial, n) : NeedleUnlitId(dial, n), name);
}

}  // namespace

void RenderEngineInstruments(BitmapSet& set) {
    for (int i = 0; i < kDialCount; ++i) {
        const Dial dial = static_cast<Dial>(i);
        DrawDialFace(set, dial, true);
        DrawDialFace(set, dial, false);
        for (int n = 0; n < Layout(dial).scale_count; ++n) {
            DrawNeedleBitmap(set, dial, n, false);
            DrawNeedleBitmap(set, dial, n, true);
        }
    }
    cairo_t* cr = set.Begin(kLampSize, kLampSize);
    DrawRoundLamp(cr, kLampSize / 2.0, kLampSize / 2.0, kLampSize / 2.0, kRed, true);
    set.Finish(cr, kOverLimitLampId, "over_limit_lamp");
}

}  // namespace art
