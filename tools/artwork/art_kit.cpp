#include "art_kit.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstring>

#include "font_files.h"

namespace art {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct FontSlot {
    const char* family;
    const char* style;
    const char* fallback_path;
    std::string file;
    FT_Face ft = nullptr;
    cairo_font_face_t* face = nullptr;
};

FT_Library g_ft = nullptr;
FontSlot g_fonts[] = {
    {"Liberation Sans",
     "Regular",
     "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
     {}},
    {"Liberation Sans",
     "Bold",
     "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
     {}},
    {"Liberation Sans",
     "Regular",
     "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
     {}},
    {"DSEG7 Classic", "Regular", "/usr/share/fonts/truetype/dseg/DSEG7Classic-Regular.ttf", {}},
};

cairo_font_face_t* FontFace(Face face) {
    return g_fonts[static_cast<int>(face)].face;
}

void SelectFont(cairo_t* cr, Face face, double size) {
    cairo_set_font_face(cr, FontFace(face));
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, face == Face::SansNarrow ? size * 0.82 : size, size);
    cairo_set_font_matrix(cr, &m);
}

}  // namespace

// ---------------------------------------------------------------------------

cairo_t* BitmapSet::Begin(int width, int height) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(s);
    cairo_surface_destroy(s);  // the context keeps it
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_BEST);
    return cr;
}

void BitmapSet::Finish(cairo_t* cr, uint32_t id, const std::string& name) {
    cairo_surface_t* s = cairo_get_target(cr);
    cairo_surface_flush(s);
    Bitmap b;
    b.id = id;
    b.name = name;
    b.width = cairo_image_surface_get_width(s);
    b.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    b.rgba.resize(static_cast<size_t>(b.width) * b.height * 4);
    for (int y = 0; y < b.height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < b.width; ++x) {
            const uint32_t p = row[x];  // premultiplied 0xAARRGGBB
            uint8_t* o = &b.rgba[(static_cast<size_t>(y) * b.width + x) * 4];
            o[0] = static_cast<uint8_t>(p >> 16);
            o[1] = static_cast<uint8_t>(p >> 8);
            o[2] = static_cast<uint8_t>(p);
            o[3] = static_cast<uint8_t>(p >> 24);
        }
    }
    bitmaps_.push_back(std::move(b));
    cairo_destroy(cr);
}

bool LoadFonts() {
    if (g_ft == nullptr && FT_Init_FreeType(&g_ft) != 0) {
        std::fprintf(stderr, "artwork: cannot initialise FreeType\n");
        return false;
    }
    for (FontSlot& slot : g_fonts) {
        if (slot.face != nullptr) continue;
        // The Debian package's file first, else fontconfig (the same lookup
        // as the host's renderer, so both letter with the same file).
        slot.file = zu::fonts::FindFontFile(slot.family, slot.style, slot.fallback_path);
        if (slot.file.empty() || FT_New_Face(g_ft, slot.file.c_str(), 0, &slot.ft) != 0) {
            std::fprintf(stderr,
                         "artwork: font \"%s\" (%s) not found; install fonts-liberation2 and "
                         "fonts-dseg\n",
                         slot.family, slot.style);
            return false;
        }
        slot.face = cairo_ft_font_face_create_for_ft_face(slot.ft, 0);
    }
    return true;
}

const std::string& FontFile(Face face) {
    return g_fonts[static_cast<int>(face)].file;
}

void SetColour(cairo_t* cr, Colour c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

cairo_text_extents_t TextExtents(Face face, double size, const std::string& text) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(s);
    SelectFont(cr, face, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return e;
}

double TextWidth(Face face, double size, const std::string& text) {
    return TextExtents(face, size, text).x_advance;
}

void DrawText(cairo_t* cr, Face face, double size, double x, double y, Align align,
              const std::string& text, Colour colour) {
    cairo_save(cr);
    SelectFont(cr, face, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    double left = x;
    if (align == Align::Centre) left = x - e.x_advance / 2;
    if (align == Align::Right) left = x - e.x_advance;
    // Centre the capital height (about 0.72 em in these faces) on y.
    const double baseline = y + size * 0.36;
    SetColour(cr, colour);
    cairo_move_to(cr, left, baseline);
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
    cairo_restore(cr);
}

void PolarPoint(double cx, double cy, double radius, double angle, double* x, double* y) {
    const double a = angle * kPi / 180.0;
    *x = cx + radius * std::sin(a);
    *y = cy - radius * std::cos(a);
}

void RoundedPath(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void DrawPlate(cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 0.30, 0.31, 0.33);
    RoundedPath(cr, 0.5, 0.5, w - 1, h - 1, 4);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

namespace {

void Screw(cairo_t* cr, double cx, double cy, double r) {
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, r / 5, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.55, 0.55, 0.55);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.22, 0.22, 0.22);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_set_line_width(cr, r / 3.5);
    cairo_move_to(cr, cx - r * 0.7, cy + r * 0.3);
    cairo_line_to(cr, cx + r * 0.7, cy - r * 0.3);
    cairo_stroke(cr);
}

}  // namespace

void DrawCase(cairo_t* cr, int size, bool skip_lower_left_screw) {
    const double s = size;
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, s);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.20, 0.20, 0.21);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.12, 0.13);
    cairo_set_source(cr, g);
    RoundedPath(cr, 0.5, 0.5, s - 1, s - 1, s * 0.06);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    const double r = s * 0.028;
    const double m = s * 0.07;
    Screw(cr, m, m, r);
    Screw(cr, s - m, m, r);
    Screw(cr, s - m, s - m, r);
    if (!skip_lower_left_screw) Screw(cr, m, s - m, r);
}

void DrawFace(cairo_t* cr, double cx, double cy, double radius, bool lit) {
    // Bezel ring.
    cairo_pattern_t* ring = cairo_pattern_create_linear(cx, cy - radius, cx, cy + radius);
    cairo_pattern_add_color_stop_rgb(ring, 0, 0.42, 0.42, 0.44);
    cairo_pattern_add_color_stop_rgb(ring, 1, 0.16, 0.16, 0.17);
    cairo_set_source(cr, ring);
    cairo_arc(cr, cx, cy, radius + radius * 0.06, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(ring);
    // Face; a lit face is washed by the flood light from the rim.
    cairo_pattern_t* face = cairo_pattern_create_radial(cx, cy, radius * 0.2, cx, cy, radius);
    if (lit) {
        cairo_pattern_add_color_stop_rgb(face, 0, 0.07, 0.05, 0.03);
        cairo_pattern_add_color_stop_rgb(face, 1, 0.16, 0.10, 0.05);
    } else {
        cairo_pattern_add_color_stop_rgb(face, 0, kFaceBlack.r, kFaceBlack.g, kFaceBlack.b);
        cairo_pattern_add_color_stop_rgb(face, 1, 0.08, 0.08, 0.08);
    }
    cairo_set_source(cr, face);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
}

void DrawArc(cairo_t* cr, double cx, double cy, double radius, double a0, double a1, double width,
             Colour colour, bool glow) {
    const double lo = std::fmin(a0, a1);
    const double hi = std::fmax(a0, a1);
    // Cairo measures from +x clockwise (y down); ours from up.
    const double start = (lo - 90.0) * kPi / 180.0;
    const double end = (hi - 90.0) * kPi / 180.0;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    if (glow) {
        cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, 0.3);
        cairo_set_line_width(cr, width + 3);
        cairo_arc(cr, cx, cy, radius, start, end);
        cairo_stroke(cr);
    }
    SetColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_arc(cr, cx, cy, radius, start, end);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawTick(cairo_t* cr, double cx, double cy, double r_outer, double r_inner, double angle,
              double width, Colour colour, bool glow) {
    double x0, y0, x1, y1;
    PolarPoint(cx, cy, r_outer, angle, &x0, &y0);
    PolarPoint(cx, cy, r_inner, angle, &x1, &y1);
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    if (glow) {
        cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, 0.3);
        cairo_set_line_width(cr, width + 3);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_stroke(cr);
    }
    SetColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawPointer(cairo_t* cr, double px, double py, double length, double tail, double hub,
                 bool lit) {
    const Colour blade = lit ? kLitMarking : kWhite;
    const double w = hub * 0.55;  // half width at the hub
    cairo_save(cr);
    if (lit) {
        // Halo of the lit needle.
        cairo_set_source_rgba(cr, blade.r, blade.g, blade.b, 0.28);
        cairo_set_line_width(cr, 3.0);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_move_to(cr, px, py - length);
        cairo_line_to(cr, px + w, py);
        cairo_line_to(cr, px, py + tail);
        cairo_line_to(cr, px - w, py);
        cairo_close_path(cr);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, px, py - length);
    cairo_line_to(cr, px + w, py - length * 0.12);
    cairo_line_to(cr, px + w * 0.8, py + tail);
    cairo_line_to(cr, px - w * 0.8, py + tail);
    cairo_line_to(cr, px - w, py - length * 0.12);
    cairo_close_path(cr);
    SetColour(cr, blade);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    // Hub cap.
    cairo_pattern_t* g =
        cairo_pattern_create_radial(px - hub / 3, py - hub / 3, hub / 6, px, py, hub);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.45, 0.45, 0.45);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.10, 0.10, 0.10);
    cairo_set_source(cr, g);
    cairo_arc(cr, px, py, hub, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

void DrawBug(cairo_t* cr, double width, double height, Colour colour, bool lit) {
    (void)height;
    const double cx = width / 2;
    const double h = width * 0.9;
    cairo_save(cr);
    cairo_move_to(cr, cx, h + 1);  // apex, toward the pivot
    cairo_line_to(cr, width - 1, 1);
    cairo_line_to(cr, 1, 1);
    cairo_close_path(cr);
    Colour c = colour;
    if (lit) c = Colour{std::fmin(1.0, c.r + 0.25), std::fmin(1.0, c.g + 0.1), c.b};
    SetColour(cr, c);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawLamp(cairo_t* cr, double x, double y, double w, double h, Colour colour, bool on,
              const std::vector<std::string>& legend) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
    RoundedPath(cr, x, y, w, h, std::fmin(w, h) * 0.12);
    cairo_fill(cr);
    const double inset = std::fmin(w, h) * 0.08;
    cairo_pattern_t* g = cairo_pattern_create_radial(x + w / 2, y + h / 2, 0, x + w / 2, y + h / 2,
                                                     std::fmax(w, h) * 0.7);
    if (on) {
        cairo_pattern_add_color_stop_rgb(g, 0, std::fmin(1.0, colour.r + 0.3),
                                         std::fmin(1.0, colour.g + 0.3),
                                         std::fmin(1.0, colour.b + 0.3));
        cairo_pattern_add_color_stop_rgb(g, 1, colour.r, colour.g, colour.b);
    } else {
        cairo_pattern_add_color_stop_rgb(g, 0, colour.r * 0.35, colour.g * 0.35, colour.b * 0.35);
        cairo_pattern_add_color_stop_rgb(g, 1, colour.r * 0.18, colour.g * 0.18, colour.b * 0.18);
    }
    cairo_set_source(cr, g);
    RoundedPath(cr, x + inset, y + inset, w - 2 * inset, h - 2 * inset, std::fmin(w, h) * 0.08);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    if (!legend.empty()) {
        const double line_h = (h - 2 * inset) / (legend.size() + 0.6);
        const double size = std::fmin(line_h * 0.85, h * 0.4);
        const Colour text = on ? Colour{0.08, 0.05, 0.02} : Colour{0.55, 0.55, 0.55};
        for (size_t i = 0; i < legend.size(); ++i) {
            const double ly = y + inset + line_h * (i + 0.8);
            DrawText(cr, Face::SansBold, size, x + w / 2, ly, Align::Centre, legend[i], text);
        }
    }
    cairo_restore(cr);
}

void DrawRoundLamp(cairo_t* cr, double cx, double cy, double r, Colour colour, bool on) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.07, 0.07, 0.07);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_t* g =
        cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r * 0.85);
    const double k = on ? 1.0 : 0.3;
    cairo_pattern_add_color_stop_rgb(g, 0, std::fmin(1.0, colour.r * k + (on ? 0.4 : 0.05)),
                                     std::fmin(1.0, colour.g * k + (on ? 0.4 : 0.05)),
                                     std::fmin(1.0, colour.b * k + (on ? 0.4 : 0.05)));
    cairo_pattern_add_color_stop_rgb(g, 1, colour.r * k * 0.7, colour.g * k * 0.7,
                                     colour.b * k * 0.7);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, r * 0.85, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

void DrawPushButton(cairo_t* cr, double cx, double cy, double r) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_arc(cr, cx, cy, r + 1.5, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, r / 8, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.62, 0.62, 0.62);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.25, 0.25, 0.26);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

void DrawKnob(cairo_t* cr, double cx, double cy, double r, double angle) {
    cairo_save(cr);
    // Fluted rim.
    const int flutes = 18;
    cairo_new_path(cr);
    for (int i = 0; i < flutes * 2; ++i) {
        const double a = i * 180.0 / flutes;
        const double rr = (i % 2 == 0) ? r : r * 0.92;
        double x, y;
        PolarPoint(cx, cy, rr, a, &x, &y);
        if (i == 0) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.10);
    cairo_fill(cr);
    cairo_pattern_t* g =
        cairo_pattern_create_radial(cx - r / 3, cy - r / 3, r / 8, cx, cy, r * 0.85);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.35, 0.35, 0.36);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.12, 0.12);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, r * 0.82, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    DrawTick(cr, cx, cy, r * 0.8, r * 0.35, angle, std::fmax(1.5, r * 0.12), kWhite, false);
    cairo_restore(cr);
}

void DrawWindow(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.30, 0.30, 0.31);
    RoundedPath(cr, x - 2, y - 2, w + 4, h + 4, 3);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    RoundedPath(cr, x, y, w, h, 2);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace art
