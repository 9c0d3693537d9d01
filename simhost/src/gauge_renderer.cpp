// Drawing of the panel windows and routing of the pointer (see
// gauge_renderer.h and docs/gauges.md).
#include "zu/simhost/gauge_renderer.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include <pixman.h>
#include FT_FREETYPE_H

#include <link.h>
#include <malloc.h>
#include <strings.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

#include "font_files.h"
#include "png_rows.h"
#include "zu/simhost/code_page.h"
#include "zu/simhost/turned_paint.h"

namespace zu::simhost {

namespace gauge = zu::gauge;
namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTextInset = 3.0;
constexpr double kNarrowWidth = 0.82;

// Colour of a 0x00BBGGRR value.
void SetColourRef(cairo_t* cr, uint32_t c) {
    cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                         ((c >> 16) & 0xFF) / 255.0);
}

// The panel's grey, behind the gauges.
void PaintPanelBackground(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.23, 0.24, 0.26);
    cairo_paint(cr);
}

// Ends the group pushed for an element and paints it through the element's
// mask (a pattern placed at the element's position, taken over), or whole
// when it has none.
void PaintGroupMasked(cairo_t* cr, cairo_pattern_t* mask) {
    cairo_pattern_t* group = cairo_pop_group(cr);
    cairo_set_source(cr, group);
    if (mask != nullptr) {
        cairo_mask(cr, mask);
        cairo_pattern_destroy(mask);
    } else {
        cairo_paint(cr);
    }
    cairo_pattern_destroy(group);
}

// A zero-terminated text in the code page as UTF-8 (`out` three times as
// large as the text, and one more).
void CodePageTextToUtf8(const char* in, char* out) {
    *out = '\0';
    for (; *in != '\0'; ++in) out += CodePageToUtf8(static_cast<unsigned char>(*in), out);
}

// The symbol font ("Webdings"): the module uses only its "g", a filled
// square; other characters are blank cells. Cells are as wide as the font
// is high.
bool IsSymbolFont(const char* name) {
    return name != nullptr && strcasecmp(name, "Webdings") == 0;
}

void PaintSymbolText(cairo_t* cr, const gauge::StringElement& str, const char* text,
                     double brightness) {
    const double cell = std::max(1, str.font_height);
    const double n = static_cast<double>(std::strlen(text));
    const double px = str.header.position.x;
    const double py = str.header.position.y;
    double x = px + kTextInset;
    if (str.align == 1) x = px + (str.width - n * cell) / 2;
    if (str.align == 2) x = px + str.width - kTextInset - n * cell;
    const double y = py + (str.height - cell) / 2;
    const double k = std::clamp(brightness, 0.0, 1.0);
    const uint32_t c = str.fg_colour;
    cairo_rectangle(cr, px, py, str.width, str.height);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, k * (c & 0xFF) / 255.0, k * ((c >> 8) & 0xFF) / 255.0,
                         k * ((c >> 16) & 0xFF) / 255.0);
    for (const char* p = text; *p != '\0'; ++p, x += cell) {
        if (*p == 'g') cairo_rectangle(cr, x, y, cell, cell);
    }
    cairo_fill(cr);
}

// A gauge's name as its surface pictures carry it: every character but
// letters and digits as '_'.
std::string SurfacePictureName(const std::string& gauge_name) {
    std::string n = gauge_name;
    for (char& c : n) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return n;
}

const cairo_user_data_key_t kPixmanImageKey{};
// A second Pixman image of the same pixels for turned paints, whose transform
// and filter change with every paint.
const cairo_user_data_key_t kTurnedImageKey{};

void UnrefPixmanImage(void* image) {
    pixman_image_unref(static_cast<pixman_image_t*>(image));
}

// An image surface's pixels as a Pixman image (made once and kept with the
// surface under `key`); null unless it is a 32-bit ARGB image.
pixman_image_t* PixmanImage(cairo_surface_t* s,
                            const cairo_user_data_key_t* key = &kPixmanImageKey) {
    if (cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32 ||
        cairo_image_surface_get_data(s) == nullptr) {
        return nullptr;
    }
    if (void* kept = cairo_surface_get_user_data(s, key)) return static_cast<pixman_image_t*>(kept);
    pixman_image_t* image = pixman_image_create_bits(
        PIXMAN_a8r8g8b8, cairo_image_surface_get_width(s), cairo_image_surface_get_height(s),
        reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s)),
        cairo_image_surface_get_stride(s));
    if (image == nullptr) return nullptr;
    if (cairo_surface_set_user_data(s, key, image, UnrefPixmanImage) != CAIRO_STATUS_SUCCESS) {
        pixman_image_unref(image);
        return nullptr;
    }
    return image;
}

// Cairo's fixed-point value of a device coordinate (1/256 pixel, rounded to
// the nearest, ties to even).
double FixedOf(double v) {
    return std::nearbyint(v * 256.0);
}

}  // namespace

// The advances of a scaled font's characters, each measured by Cairo once,
// and their glyphs' coverage as Cairo draws them, each drawn once.
struct GaugeRenderer::TextMetrics {
    cairo_scaled_font_t* font = nullptr;  // referenced
    std::array<double, 256> advance{};
    std::array<bool, 256> known{};
    double eight_height = 0;
    bool eight_known = false;
    struct Glyph {
        bool made = false;
        bool usable = false;             // false: drawn by Cairo only
        pixman_image_t* mask = nullptr;  // null: covers nothing
        int x = 0;                       // the mask's corner from the glyph's origin
        int y = 0;
    };
    std::array<Glyph, 256> glyphs{};
    const Glyph& GlyphOf(unsigned char c);
    ~TextMetrics() {
        for (Glyph& g : glyphs) {
            if (g.mask != nullptr) pixman_image_unref(g.mask);
        }
        cairo_scaled_font_destroy(font);
    }
};

// Draws the glyph alone with Cairo, at a whole pixel of a scratch coverage
// image, and keeps the pixels it covers.
const GaugeRenderer::TextMetrics::Glyph& GaugeRenderer::TextMetrics::GlyphOf(unsigned char c) {
    Glyph& g = glyphs[c];
    if (g.made) return g;
    g.made = true;
    char utf8[4];
    CodePageToUtf8(c, utf8);
    cairo_glyph_t* list = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(font, 0, 0, utf8, -1, &list, &count, nullptr, nullptr,
                                         nullptr) != CAIRO_STATUS_SUCCESS) {
        return g;
    }
    const unsigned long index = count == 1 ? list[0].index : 0;
    cairo_glyph_free(list);
    if (count != 1) return g;
    cairo_matrix_t scale;
    cairo_scaled_font_get_scale_matrix(font, &scale);
    const double em = std::max(std::hypot(scale.xx, scale.yx), std::hypot(scale.xy, scale.yy));
    if (!(em < 1000.0)) return g;
    const int half = static_cast<int>(std::ceil(3.0 * em)) + 16;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 2 * half, 2 * half);
    cairo_t* cr = cairo_create(scratch);
    cairo_matrix_t ctm;
    cairo_scaled_font_get_ctm(font, &ctm);
    ctm.x0 = half;
    ctm.y0 = half;
    cairo_set_matrix(cr, &ctm);
    cairo_set_scaled_font(cr, font);
    const cairo_glyph_t one{index, 0.0, 0.0};
    cairo_show_glyphs(cr, &one, 1);
    const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(scratch);
    const unsigned char* data = cairo_image_surface_get_data(scratch);
    const int stride = cairo_image_surface_get_stride(scratch);
    int x0 = 2 * half;
    int y0 = 2 * half;
    int x1 = 0;
    int y1 = 0;
    for (int y = 0; drawn && y < 2 * half; ++y) {
        for (int x = 0; x < 2 * half; ++x) {
            if (data[y * stride + x] == 0) continue;
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x + 1);
            y1 = std::max(y1, y + 1);
        }
    }
    // A glyph reaching the scratch image's edge may have been cut: Cairo's.
    const bool inside = x0 > 0 && y0 > 0 && x1 < 2 * half && y1 < 2 * half;
    if (drawn && x1 <= x0) {
        g.usable = true;  // covers nothing
    } else if (drawn && inside) {
        g.mask = pixman_image_create_bits(PIXMAN_a8, x1 - x0, y1 - y0, nullptr, 0);
        if (g.mask != nullptr) {
            auto* bits = reinterpret_cast<unsigned char*>(pixman_image_get_data(g.mask));
            const int mask_stride = pixman_image_get_stride(g.mask);
            for (int y = y0; y < y1; ++y)
                std::memcpy(bits + (y - y0) * mask_stride, data + y * stride + x0, x1 - x0);
            g.x = x0 - half;
            g.y = y0 - half;
            g.usable = true;
        }
    }
    cairo_surface_destroy(scratch);
    return g;
}

// ---------------------------------------------------------------------------
// Fonts

struct GaugeRenderer::Fonts {
    FT_Library library = nullptr;
    // Regular and bold of the sans face and of the segment face.
    FT_Face sans_ft[2] = {};
    FT_Face segment_ft[2] = {};
    cairo_font_face_t* sans[2] = {};
    cairo_font_face_t* segment[2] = {};
    std::string problem;

    Fonts() {
        if (FT_Init_FreeType(&library) != 0) {
            problem = "FreeType cannot be initialised";
            return;
        }
        Load("Liberation Sans", "/usr/share/fonts/truetype/liberation2/LiberationSans-",
             "font Liberation Sans not found (fonts-liberation2)", sans_ft, sans);
        Load("DSEG7 Classic", "/usr/share/fonts/truetype/dseg/DSEG7Classic-",
             "font DSEG7 Classic not found (fonts-dseg)", segment_ft, segment);
    }
    // A family's regular and bold faces; a family without either is a
    // problem of the renderer's.
    void Load(const char* family, const std::string& debian_stem, const char* missing, FT_Face* ft,
              cairo_font_face_t** faces) {
        static constexpr const char* kStyles[2] = {"Regular", "Bold"};
        for (int bold = 0; bold < 2; ++bold) {
            const std::string path = debian_stem + kStyles[bold] + ".ttf";
            const std::string file = fonts::FindFontFile(family, kStyles[bold], path.c_str());
            if (!file.empty() && FT_New_Face(library, file.c_str(), 0, &ft[bold]) == 0) {
                faces[bold] = cairo_ft_font_face_create_for_ft_face(ft[bold], 0);
            } else {
                problem = missing;
            }
        }
    }
    // Selects the face a string element names at its weight (bold from 700,
    // as the module's own lettering); false when it is missing.
    bool Select(cairo_t* cr, const char* name, double size, int32_t weight) {
        const bool quartz = name != nullptr && strcasecmp(name, "Quartz") == 0;
        const bool narrow = name != nullptr && strcasecmp(name, "Arial Narrow") == 0;
        cairo_font_face_t* face = (quartz ? segment : sans)[weight >= 700 ? 1 : 0];
        if (face == nullptr) return false;
        cairo_set_font_face(cr, face);
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, narrow ? size * kNarrowWidth : size, size);
        cairo_set_font_matrix(cr, &m);
        return true;
    }
};

// ---------------------------------------------------------------------------

namespace {

// The fonts are loaded once per process and kept for its life (Cairo keeps
// its own references to the faces in its caches).
GaugeRenderer::Fonts* SharedFonts() {
    static GaugeRenderer::Fonts* fonts = new GaugeRenderer::Fonts;
    return fonts;
}

}  // namespace

struct GaugeRenderer::KeptBackground {
    int window = 0;
    int width = 0;
    int height = 0;
    RenderOptions options;
    PixelRuns runs;  // complete when it has every row
    bool too_large = false;
};

GaugeRenderer::GaugeRenderer(const Simulator& sim) : sim_(sim), fonts_(SharedFonts()) {}

GaugeRenderer::~GaugeRenderer() {
    pngs_.reset();  // the pictures still being written are finished
    ReleaseContexts();
    ClearSurfacePictures();
    ClearScaled();
    for (auto& [id, surface] : bitmaps_) {
        if (surface != nullptr) cairo_surface_destroy(surface);
    }
    for (auto& [name, surface] : backgrounds_) {
        if (surface != nullptr) cairo_surface_destroy(surface);
    }
}

GaugeRenderer::TextMetrics& GaugeRenderer::Metrics(cairo_t* cr) {
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
    for (const auto& m : text_metrics_) {
        if (m->font == font) return *m;
    }
    auto m = std::make_unique<TextMetrics>();
    m->font = cairo_scaled_font_reference(font);
    text_metrics_.push_back(std::move(m));
    return *text_metrics_.back();
}

double GaugeRenderer::TextAdvance(cairo_t* cr, const char* text_bytes, size_t length) {
    TextMetrics& m = Metrics(cr);
    // Cairo places each glyph at the sum of the advances before it and
    // measures the text to the end of its last glyph's advance.
    double x = 0.0;
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text_bytes[i]);
        if (!m.known[c]) {
            char utf8[4];
            CodePageToUtf8(c, utf8);
            cairo_text_extents_t e;
            cairo_scaled_font_text_extents(m.font, utf8, &e);
            m.advance[c] = e.x_advance;
            m.known[c] = true;
        }
        x += m.advance[c];
    }
    return x;
}

double GaugeRenderer::EightHeight(cairo_t* cr) {
    TextMetrics& m = Metrics(cr);
    if (!m.eight_known) {
        cairo_text_extents_t e;
        cairo_scaled_font_text_extents(m.font, "8", &e);
        m.eight_height = e.height;
        m.eight_known = true;
    }
    return m.eight_height;
}

// Broken at the space that keeps the longer line shortest; a line still too
// wide is condensed to the box's width. Draws with the current font and
// source.
bool GaugeRenderer::ShowTwoLines(cairo_t* cr, const gauge::StringElement& str,
                                 const char* text_bytes, double px, double py, double advance) {
    // The capitals' height from the face's size, not from measured (and, at
    // small scales, hinted) extents, so that every scale breaks alike.
    const double cap = 0.72 * str.font_height;
    const double room = str.width - 4.0;
    if (advance <= room || str.height < 2.0 * cap + 3.0) return false;
    const size_t length = std::strlen(text_bytes);
    size_t best = length;
    double best_width = 0.0;
    double widths[2] = {};
    for (size_t at = 0; at < length; ++at) {
        if (text_bytes[at] != ' ') continue;
        const double a = TextAdvance(cr, text_bytes, at);
        const double b = TextAdvance(cr, text_bytes + at + 1, length - at - 1);
        const double longer = std::max(a, b);
        if (best == length || longer < best_width) {
            best = at;
            best_width = longer;
            widths[0] = a;
            widths[1] = b;
        }
    }
    if (best == length) return false;
    const double gap = std::max(1.5, (str.height - 2.0 * cap) / 3.0);
    const double first = py + (str.height - 2.0 * cap - gap) / 2.0 + cap;
    for (int i = 0; i < 2; ++i) {
        char line[3 * sizeof str.text + 1];
        const char* from = i == 0 ? text_bytes : text_bytes + best + 1;
        const size_t n = i == 0 ? best : length - best - 1;
        char* out = line;
        for (size_t k = 0; k < n; ++k)
            out += CodePageToUtf8(static_cast<unsigned char>(from[k]), out);
        *out = '\0';
        const double squeeze = widths[i] > room ? room / widths[i] : 1.0;
        const double w = widths[i] * squeeze;
        double x = px + kTextInset;
        if (str.align == 1) x = px + (str.width - w) / 2;
        if (str.align == 2) x = px + str.width - kTextInset - w;
        cairo_save(cr);
        cairo_translate(cr, x, first + i * (cap + gap));
        cairo_scale(cr, squeeze, 1.0);
        cairo_move_to(cr, 0, 0);
        if (!ShowTextDirect(cr, from, n, text_r_, text_g_, text_b_)) cairo_show_text(cr, line);
        cairo_restore(cr);
    }
    return true;
}

void GaugeRenderer::PixmanImageDeleter::operator()(void* image) const {
    if (image != nullptr) pixman_image_unref(static_cast<pixman_image_t*>(image));
}

bool GaugeRenderer::ShowTextDirect(cairo_t* cr, const char* text_bytes, size_t length, double r,
                                   double g, double b) {
    constexpr size_t kMost = 256;
    if (!direct_ || !text_direct_ || length == 0 || length > kMost ||
        cairo_status(cr) != CAIRO_STATUS_SUCCESS || cairo_get_group_target(cr) != direct_target_) {
        return false;
    }
    pixman_image_t* to = PixmanImage(direct_target_);
    if (to == nullptr) return false;
    TextMetrics& m = Metrics(cr);
    // Cairo sets the glyphs from the current point (kept in 1/256 pixel) at
    // the sums of the advances, and composites each on the whole pixel
    // nearest its place (halves up).
    double x = 0;
    double y = 0;
    cairo_get_current_point(cr, &x, &y);
    int at_x[kMost];
    int at_y[kMost];
    const TextMetrics::Glyph* glyph[kMost];
    PixelBox box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    TextAdvance(cr, text_bytes, length);  // every advance known
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text_bytes[i]);
        const TextMetrics::Glyph& gl = m.GlyphOf(c);
        if (!gl.usable) return false;
        double dx = x;
        double dy = y;
        cairo_user_to_device(cr, &dx, &dy);
        if (!(std::fabs(dx) < 1e6 && std::fabs(dy) < 1e6)) return false;
        at_x[i] = static_cast<int>(std::floor(dx + 0.5));
        at_y[i] = static_cast<int>(std::floor(dy + 0.5));
        glyph[i] = &gl;
        x += m.advance[c];
        if (gl.mask == nullptr) continue;
        box.x0 = std::min(box.x0, at_x[i] + gl.x);
        box.y0 = std::min(box.y0, at_y[i] + gl.y);
        box.x1 = std::max(box.x1, at_x[i] + gl.x + pixman_image_get_width(gl.mask));
        box.y1 = std::max(box.y1, at_y[i] + gl.y + pixman_image_get_height(gl.mask));
    }
    if (!text_clip_whole_ && box.x0 < box.x1 &&
        (box.x0 < text_clip_.x0 || box.y0 < text_clip_.y0 || box.x1 > text_clip_.x1 ||
         box.y1 > text_clip_.y1)) {
        return false;
    }
    box.x0 = std::max(box.x0, text_clip_.x0);
    box.y0 = std::max(box.y0, text_clip_.y0);
    box.x1 = std::min(box.x1, text_clip_.x1);
    box.y1 = std::min(box.y1, text_clip_.y1);
    if (box.x0 >= box.x1 || box.y0 >= box.y1) return true;  // nothing shows
    const int w = box.x1 - box.x0;
    const int h = box.y1 - box.y0;
    if (text_mask_ == nullptr || w > text_mask_width_ || h > text_mask_height_) {
        text_mask_width_ = std::max(w, text_mask_width_);
        text_mask_height_ = std::max(h, text_mask_height_);
        text_mask_.reset(
            pixman_image_create_bits(PIXMAN_a8, text_mask_width_, text_mask_height_, nullptr, 0));
        if (text_mask_ == nullptr) return false;
    }
    auto* mask = static_cast<pixman_image_t*>(text_mask_.get());
    // The colour as Cairo hands it over (16 bits a channel).
    auto short_of = [](double v) { return static_cast<uint16_t>(v * 65535.0 + 0.5); };
    const pixman_color_t colour{short_of(r), short_of(g), short_of(b), 0xFFFF};
    const uint64_t key = uint64_t{colour.red} << 32 | uint64_t{colour.green} << 16 | colour.blue;
    pixman_image_t* source = nullptr;
    for (const auto& [k, image] : solid_colours_) {
        if (k == key) source = static_cast<pixman_image_t*>(image.get());
    }
    if (source == nullptr) {
        source = pixman_image_create_solid_fill(&colour);
        if (source == nullptr) return false;
        solid_colours_.emplace_back(key, std::unique_ptr<void, PixmanImageDeleter>(source));
    }
    // The glyphs' coverage added up over the box, then the colour through it.
    pixman_fill(pixman_image_get_data(mask), pixman_image_get_stride(mask) / 4, 8, 0, 0, w, h, 0);
    for (size_t i = 0; i < length; ++i) {
        if (glyph[i]->mask == nullptr) continue;
        pixman_image_composite32(PIXMAN_OP_ADD, glyph[i]->mask, nullptr, mask, 0, 0, 0, 0,
                                 at_x[i] + glyph[i]->x - box.x0, at_y[i] + glyph[i]->y - box.y0,
                                 pixman_image_get_width(glyph[i]->mask),
                                 pixman_image_get_height(glyph[i]->mask));
    }
    pixman_image_composite32(PIXMAN_OP_OVER, source, mask, to, 0, 0, 0, 0, box.x0, box.y0, w, h);
    return true;
}

bool GaugeRenderer::PaintDirect(cairo_t* cr, cairo_surface_t* source, int x, int y) {
    if (!direct_ || cairo_status(cr) != CAIRO_STATUS_SUCCESS ||
        cairo_get_group_target(cr) != direct_target_) {
        return false;
    }
    pixman_image_t* to = PixmanImage(direct_target_);
    pixman_image_t* from = PixmanImage(source);
    if (to == nullptr || from == nullptr) return false;
    const int x0 = std::max(x, direct_clip_.x0);
    const int y0 = std::max(y, direct_clip_.y0);
    const int x1 = std::min(x + cairo_image_surface_get_width(source), direct_clip_.x1);
    const int y1 = std::min(y + cairo_image_surface_get_height(source), direct_clip_.y1);
    if (x0 < x1 && y0 < y1) {
        pixman_image_composite32(PIXMAN_OP_OVER, from, nullptr, to, x0 - x, y0 - y, 0, 0, x0, y0,
                                 x1 - x0, y1 - y0);
    }
    return true;
}

cairo_t* GaugeRenderer::Context(int window_number, cairo_surface_t* target) {
    WindowContext& c = contexts_[window_number];
    if (c.cr != nullptr && (c.target != target || cairo_status(c.cr) != CAIRO_STATUS_SUCCESS)) {
        cairo_destroy(c.cr);
        c.cr = nullptr;
    }
    if (c.cr == nullptr) {
        c.cr = cairo_create(target);
        c.target = target;
    }
    cairo_new_path(c.cr);
    return c.cr;
}

void GaugeRenderer::ReleaseContexts() {
    for (auto& [number, c] : contexts_) {
        if (c.cr != nullptr) cairo_destroy(c.cr);
    }
    contexts_.clear();
    for (auto& [number, b] : window_backgrounds_) {
        if (b.surface != nullptr) cairo_surface_destroy(b.surface);
    }
    window_backgrounds_.clear();
}

void GaugeRenderer::ClearSurfacePictures() {
    for (auto& [surface, p] : surface_pictures_) {
        if (p.image != nullptr) cairo_surface_destroy(p.image);
    }
    surface_pictures_.clear();
}

cairo_surface_t* GaugeRenderer::Background(const PanelWindow& window) {
    if (window.background.empty()) return nullptr;
    auto it = backgrounds_.find(window.background);
    if (it != backgrounds_.end()) return it->second;
    const std::filesystem::path file = sim_.panel_file().parent_path() / window.background;
    cairo_surface_t* s = cairo_image_surface_create_from_png(file.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        s = nullptr;
    }
    backgrounds_[window.background] = s;
    return s;
}

void GaugeRenderer::PaintWindowBackground(cairo_t* cr, const PanelWindow& window,
                                          const RenderOptions& options) {
    PaintWindowBackground(cr, window, options, Background(window));
}

void GaugeRenderer::PaintWindowBackground(cairo_t* cr, const PanelWindow& window,
                                          const RenderOptions& options, cairo_surface_t* bg) {
    PaintPanelBackground(cr);
    if (bg == nullptr || window.size_w <= 0 || window.size_h <= 0) return;
    const double w = window.size_w * options.scale;
    const double h = window.size_h * options.scale;
    cairo_save(cr);
    cairo_scale(cr, w / cairo_image_surface_get_width(bg), h / cairo_image_surface_get_height(bg));
    cairo_set_source_surface(cr, bg, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    const double ambient = std::clamp(options.ambient, 0.0, 1.0);
    if (ambient < 1.0) {  // the picture is artwork too: darkened like an unlit bitmap
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, w, h);
        cairo_clip(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 1.0 - ambient);
        cairo_paint(cr);
        cairo_restore(cr);
    }
}

void GaugeRenderer::ClearScaled() {
    for (auto& [key, surface] : scaled_) {
        if (surface != nullptr) cairo_surface_destroy(surface);
    }
    scaled_.clear();
}

size_t GaugeRenderer::ImageBytes() const {
    size_t bytes = 0;
    auto add = [&bytes](cairo_surface_t* surface) {
        if (surface == nullptr) return;
        bytes += static_cast<size_t>(cairo_image_surface_get_stride(surface)) *
                 static_cast<size_t>(cairo_image_surface_get_height(surface));
    };
    for (const auto& [key, surface] : scaled_) add(surface);
    for (const auto& [id, surface] : bitmaps_) add(surface);
    return bytes;
}

void GaugeRenderer::ClearBitmaps() {
    for (auto& [id, surface] : bitmaps_) {
        if (surface != nullptr) cairo_surface_destroy(surface);
    }
    bitmaps_.clear();
}

void GaugeRenderer::ReleaseImages() {
    ReleaseContexts();
    ClearSurfacePictures();
    ClearScaled();
    ClearBitmaps();
    for (auto& [name, surface] : backgrounds_) {
        if (surface != nullptr) cairo_surface_destroy(surface);
    }
    backgrounds_.clear();
}

void GaugeRenderer::PrepareCache(double scale, double ambient) {
    ambient = std::clamp(ambient, 0.0, 1.0);
    if (scale != cache_scale_ || ambient != cache_ambient_) {
        ClearScaled();
        cache_scale_ = scale;
        cache_ambient_ = ambient;
    }
    ambient_ = ambient;
}

namespace {

// Pixels in the module's layout (rows top down, R, G, B, A premultiplied,
// 4 x width bytes a row) as a Cairo image.
// Rows [first, last) of such pixels into an image surface of their size.
void PixelRowsToCairo(const uint8_t* pixels, int width, cairo_surface_t* surface, int first,
                      int last) {
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = first; y < last; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        const uint8_t* src = pixels + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x, src += 4) {
            // On a little-endian machine the four bytes read as one word are
            // A, B, G, R from the top: red and blue change places.
            uint32_t v;
            std::memcpy(&v, src, 4);
            if constexpr (std::endian::native == std::endian::little) {
                row[x] = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
            } else {
                row[x] = (uint32_t{src[3]} << 24) | (uint32_t{src[0]} << 16) |
                         (uint32_t{src[1]} << 8) | src[2];
            }
        }
    }
}

cairo_surface_t* PixelsToCairo(const uint8_t* pixels, int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(surface);
    PixelRowsToCairo(pixels, width, surface, 0, height);
    cairo_surface_mark_dirty(surface);
    return surface;
}

}  // namespace

cairo_surface_t* GaugeRenderer::ScaledBitmap(uint32_t id, int width, int height, bool lit,
                                             double ambient) {
    if (width <= 0 || height <= 0 || width > 16383 || height > 16383) return nullptr;
    ambient = std::clamp(ambient, 0.0, 1.0);
    if (ambient >= 1.0) lit = true;  // nothing to darken: one copy serves both
    const uint64_t key =
        uint64_t{id} << 32 | uint64_t(width) << 18 | uint64_t(height) << 4 | (lit ? 1u : 0u);
    auto it = scaled_.find(key);
    if (it != scaled_.end()) return it->second;
    cairo_surface_t* original = Bitmap(id);
    cairo_surface_t* copy = nullptr;
    if (original != nullptr) {
        copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        PaintCopyRows(copy, original, lit, ambient, 0, height);
        if (band_.cr != nullptr) {
            // A picture written down the window keeps its copies only.
            cairo_surface_destroy(original);
            bitmaps_.erase(id);
        }
    }
    scaled_.emplace(key, copy);
    return copy;
}

void GaugeRenderer::PaintCopyRows(cairo_surface_t* copy, cairo_surface_t* original, bool lit,
                                  double ambient, int first, int last) {
    const int width = cairo_image_surface_get_width(copy);
    const int height = cairo_image_surface_get_height(copy);
    const int bw = cairo_image_surface_get_width(original);
    const int bh = cairo_image_surface_get_height(original);
    cairo_t* cr = cairo_create(copy);
    if (first > 0 || last < height) {
        cairo_rectangle(cr, 0, first, width, last - first);
        cairo_clip(cr);
    }
    cairo_scale(cr, static_cast<double>(width) / bw, static_cast<double>(height) / bh);
    cairo_set_source_surface(cr, original, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    if (!lit) {
        // Darkened where it is drawn, its coverage kept.
        cairo_identity_matrix(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
        cairo_set_source_rgba(cr, 0, 0, 0, 1.0 - ambient);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(copy);
}

namespace {

// Gives back to the system the whole pages of rows [from, to) of pixels
// reserved with mmap (pages shared with rows outside stay).
void ReleaseRows(unsigned char* pixels, int stride, int from, int to) {
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t start = reinterpret_cast<uintptr_t>(pixels);
    const uintptr_t a =
        (start + static_cast<uintptr_t>(from) * static_cast<uintptr_t>(stride) + page - 1) &
        ~(page - 1);
    const uintptr_t b =
        (start + static_cast<uintptr_t>(to) * static_cast<uintptr_t>(stride)) & ~(page - 1);
    if (b > a) ::madvise(reinterpret_cast<void*>(a), b - a, MADV_DONTNEED);
}

}  // namespace

void GaugeRenderer::ReleasePartial() {
    partial_.copy.Free();
    partial_.original.Free();
    partial_.key = 0;
}

cairo_surface_t* GaugeRenderer::PartialScaledBitmap(uint32_t id, int width, int height, bool lit,
                                                    double ambient, int first, int last) {
    if (width <= 0 || height <= 0 || width > 16383 || height > 16383) return nullptr;
    ambient = std::clamp(ambient, 0.0, 1.0);
    if (ambient >= 1.0) lit = true;
    const uint64_t key =
        uint64_t{id} << 32 | uint64_t(width) << 18 | uint64_t(height) << 4 | (lit ? 1u : 0u);
    first = std::clamp(first, 0, height);
    last = std::clamp(last, first, height);
    const gauge::BitmapResource* r = Resource(id);
    if (r == nullptr) return nullptr;
    if (partial_.copy.surface == nullptr || partial_.key != key) {
        ReleasePartial();
        if (!partial_.copy.Reserve(width, height) ||
            !partial_.original.Reserve(r->width, r->height))
            return nullptr;
        partial_.key = key;
    }
    PartialImage& copy = partial_.copy;
    PartialImage& original = partial_.original;
    if (first < copy.first || first > copy.last) copy.first = copy.last = first;
    if (last > copy.last) {
        // The original's rows the scaling reads for these rows (and a
        // margin beyond its filter's reach), from the module's pixels.
        const double rows_per_row = static_cast<double>(r->height) / height;
        const int margin = 4 + 4 * static_cast<int>(std::ceil(rows_per_row));
        const int from = std::clamp(static_cast<int>(std::floor(copy.last * rows_per_row)) - margin,
                                    0, r->height);
        const int to =
            std::clamp(static_cast<int>(std::ceil(last * rows_per_row)) + margin, from, r->height);
        if (from < original.first || from > original.last) original.first = original.last = from;
        if (to > original.last) {
            cairo_surface_flush(original.surface);
            PixelRowsToCairo(r->pixels, r->width, original.surface, original.last, to);
            ReleaseReadOnlyPages(r->pixels + static_cast<size_t>(original.last) * r->width * 4,
                                 static_cast<size_t>(to - original.last) * r->width * 4);
            cairo_surface_mark_dirty(original.surface);
            original.last = to;
        }
        original.Release(from);
        PaintCopyRows(copy.surface, original.surface, lit, ambient, copy.last, last);
        copy.last = last;
    }
    copy.Release(first);
    return copy.surface;
}

bool GaugeRenderer::PartialImage::Reserve(int width, int height) {
    stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
    memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) {
        memory = nullptr;
        return false;
    }
    surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(memory),
                                                  CAIRO_FORMAT_ARGB32, width, height, stride);
    first = last = 0;
    return true;
}

void GaugeRenderer::PartialImage::Release(int row) {
    ReleaseRows(static_cast<unsigned char*>(memory), stride, 0, row);
    first = row;
}

void GaugeRenderer::PartialImage::Free() {
    if (surface != nullptr) cairo_surface_destroy(surface);
    if (memory != nullptr) ::munmap(memory, bytes);
    *this = PartialImage{};
}

bool GaugeRenderer::fonts_ok(std::string* problem) const {
    if (fonts_->problem.empty()) return true;
    if (problem != nullptr) *problem = fonts_->problem;
    return false;
}

const gauge::BitmapResource* GaugeRenderer::Resource(uint32_t id) const {
    const gauge::LinkageRecord* linkage = sim_.linkage();
    const gauge::BitmapResource* r = linkage != nullptr && linkage->find_resource != nullptr
                                         ? linkage->find_resource(id)
                                         : nullptr;
    const bool usable = r != nullptr && r->pixels != nullptr && r->width > 0 && r->height > 0 &&
                        r->width <= 16384 && r->height <= 16384;
    return usable ? r : nullptr;
}

cairo_surface_t* GaugeRenderer::Bitmap(uint32_t id) {
    auto it = bitmaps_.find(id);
    if (it != bitmaps_.end()) return it->second;
    cairo_surface_t* surface = nullptr;
    if (const gauge::BitmapResource* r = Resource(id)) {
        surface = PixelsToCairo(r->pixels, r->width, r->height);
        ReleaseReadOnlyPages(r->pixels, static_cast<size_t>(r->width) * r->height * 4);
    }
    bitmaps_[id] = surface;
    return surface;
}

namespace {

// The segments of the loaded objects that are mapped read-only (no object's
// read-only segment is ever written: relocated data lies in writable ones).
int AddReadOnlySegments(dl_phdr_info* info, size_t, void* data) {
    auto* segments = static_cast<std::vector<std::pair<uintptr_t, uintptr_t>>*>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_LOAD || (ph.p_flags & PF_W) != 0) continue;
        const uintptr_t from = info->dlpi_addr + ph.p_vaddr;
        segments->push_back({from, from + ph.p_memsz});
    }
    return 0;
}

}  // namespace

void GaugeRenderer::ReleaseReadOnlyPages(const void* data, size_t size) {
    if (!read_only_known_) {
        read_only_known_ = true;
        dl_iterate_phdr(AddReadOnlySegments, &read_only_);
    }
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<uintptr_t>(data);
    // A fault on a file's page maps the cached pages around it too (up to
    // 64 KiB, aligned), whichever bitmap they hold: those go as well.
    const uintptr_t around = std::max<uintptr_t>(page, 64 * 1024);
    for (const auto& [from, to] : read_only_) {
        if (start < from || start + size > to) continue;
        // Every page the reading may have mapped, as far as the segment's own
        // pages go.
        const uintptr_t a = std::max(start & ~(around - 1), (from + page - 1) & ~(page - 1));
        const uintptr_t b = std::min((start + size + around - 1) & ~(around - 1), to & ~(page - 1));
        if (b > a) ::madvise(reinterpret_cast<void*>(a), b - a, MADV_DONTNEED);
        return;
    }
}

void GaugeRenderer::DesignSize(const GaugeInstance& g, int* width, int* height) {
    *width = g.width;
    *height = g.height;
    if (g.elements.empty()) return;
    const gauge::BitmapResource* first = Resource(g.elements.front().element->resource_id);
    if (first == nullptr || g.elements.front().type == gauge::ElementType::String) return;
    *width = first->width;
    *height = first->height;
}

void GaugeRenderer::WindowSize(const PanelWindow& window, const RenderOptions& options, int* width,
                               int* height) const {
    int w = window.size_w;
    int h = window.size_h;
    // A window without a size is as large as its gauges reach.
    for (const GaugeInstance& g : sim_.gauges()) {
        if (g.window_number != window.number) continue;
        if (window.size_w <= 0) w = std::max(w, g.x + g.width);
        if (window.size_h <= 0) h = std::max(h, g.y + g.height);
    }
    *width = std::max(1, static_cast<int>(std::lround(w * options.scale)));
    *height = std::max(1, static_cast<int>(std::lround(h * options.scale)));
}

cairo_surface_t* GaugeRenderer::ScaledCopy(uint32_t id, double x, double y, bool lit,
                                           cairo_matrix_t* m) {
    cairo_surface_t* original = Bitmap(id);
    if (original == nullptr) return nullptr;
    const int bw = cairo_image_surface_get_width(original);
    const int bh = cairo_image_surface_get_height(original);
    const int w = std::max(1, static_cast<int>(std::lround(bw * gauge_kx_)));
    const int h = std::max(1, static_cast<int>(std::lround(bh * gauge_ky_)));
    cairo_surface_t* copy = ScaledBitmap(id, w, h, lit, ambient_);
    if (copy == nullptr) return nullptr;
    // Design space to the copy's pixels.
    cairo_matrix_init_scale(m, static_cast<double>(w) / bw, static_cast<double>(h) / bh);
    cairo_matrix_translate(m, -x, -y);
    return copy;
}

cairo_pattern_t* GaugeRenderer::ScaledPattern(uint32_t id, double x, double y, bool lit) {
    cairo_matrix_t m;
    cairo_surface_t* copy = ScaledCopy(id, x, y, lit, &m);
    if (copy == nullptr) return nullptr;
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(copy);
    cairo_pattern_set_matrix(pattern, &m);
    return pattern;
}

void GaugeRenderer::PaintScaled(cairo_t* cr, uint32_t id, double x, double y, bool lit) {
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    if (ctm.xy == 0 && ctm.yx == 0 && ctm.xx > 0 && ctm.yy > 0) {
        // Not turned: the copy goes on whole pixels, one to one.
        const gauge::BitmapResource* original = Resource(id);
        if (original == nullptr) return;
        const int w = std::max(1, static_cast<int>(std::lround(original->width * ctm.xx)));
        const int h = std::max(1, static_cast<int>(std::lround(original->height * ctm.yy)));
        double dx = x;
        double dy = y;
        cairo_user_to_device(cr, &dx, &dy);
        // A large copy drawn in bands is made a band of rows at a time.
        const int top = static_cast<int>(std::round(dy));
        cairo_surface_t* copy =
            band_last_ > band_first_ && static_cast<double>(w) * h > kWholeCopyPixels
                ? PartialScaledBitmap(id, w, h, lit, ambient_, band_first_ - top, band_last_ - top)
                : ScaledBitmap(id, w, h, lit, ambient_);
        if (copy == nullptr) return;
        if (PaintDirect(cr, copy, static_cast<int>(std::round(dx)),
                        static_cast<int>(std::round(dy)))) {
            return;
        }
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_source_surface(cr, copy, std::round(dx), std::round(dy));
        cairo_paint(cr);
        cairo_restore(cr);
        return;
    }
    // Turned: straight onto the picture where that is the same as Cairo's.
    if (direct_ && cairo_status(cr) == CAIRO_STATUS_SUCCESS &&
        cairo_get_group_target(cr) == direct_target_) {
        cairo_matrix_t m;
        cairo_surface_t* copy = ScaledCopy(id, x, y, lit, &m);
        if (copy == nullptr) return;
        if (PaintTurnedImage(cr, m, PixmanImage(copy, &kTurnedImageKey),
                             PixmanImage(direct_target_), direct_clip_.x0, direct_clip_.y0,
                             direct_clip_.x1, direct_clip_.y1)) {
            return;
        }
    }
    cairo_pattern_t* pattern = ScaledPattern(id, x, y, lit);
    if (pattern == nullptr) return;
    cairo_set_source(cr, pattern);
    cairo_paint(cr);
    cairo_pattern_destroy(pattern);
}

// A drawn surface's last picture, placed over its element's bitmap area.
void GaugeRenderer::PaintSurface(cairo_t* cr, const GaugeInstance& g, const gauge::ElementHeader* e,
                                 double x, double y, bool lit, double ambient) {
    const DrawnSurface* found = nullptr;
    for (const auto& s : g.surfaces) {
        if (s->element == e) found = s.get();
    }
    cairo_surface_t* b = Bitmap(e->resource_id);
    if (found == nullptr || b == nullptr || found->picture.empty()) return;
    const int w = found->surface.width;
    const int h = found->surface.height;
    if (w <= 0 || h <= 0 || found->picture.size() < static_cast<size_t>(w) * h * 4) return;
    // The picture as an image, made again only when the surface took a new
    // one.
    SurfacePicture& kept = surface_pictures_[found];
    if (kept.image != nullptr && (cairo_image_surface_get_width(kept.image) != w ||
                                  cairo_image_surface_get_height(kept.image) != h)) {
        cairo_surface_destroy(kept.image);
        kept.image = nullptr;
    }
    if (kept.image == nullptr) {
        kept.image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        kept.pictures = found->pictures + 1;
    }
    cairo_surface_t* pic = kept.image;
    if (kept.pictures != found->pictures) {
        cairo_surface_flush(pic);
        PixelRowsToCairo(found->picture.data(), w, pic, 0, h);
        cairo_surface_mark_dirty(pic);
        kept.pictures = found->pictures;
    }
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, static_cast<double>(cairo_image_surface_get_width(b)) / w,
                static_cast<double>(cairo_image_surface_get_height(b)) / h);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    // Shown one to one on whole pixels: straight onto the picture.
    const bool one_to_one = m.xx == 1.0 && m.yy == 1.0 && m.xy == 0.0 && m.yx == 0.0 &&
                            m.x0 == std::floor(m.x0) && m.y0 == std::floor(m.y0) &&
                            std::fabs(m.x0) < 1e6 && std::fabs(m.y0) < 1e6;
    if (one_to_one && (lit || ambient >= 1.0) &&
        PaintDirect(cr, pic, static_cast<int>(m.x0), static_cast<int>(m.y0))) {
        cairo_restore(cr);
        return;
    }
    cairo_set_source_surface(cr, pic, 0, 0);
    cairo_paint(cr);
    if (!lit && ambient < 1.0) {
        cairo_set_source_rgba(cr, 0, 0, 0, 1.0 - std::clamp(ambient, 0.0, 1.0));
        cairo_mask_surface(cr, pic, 0, 0);
    }
    cairo_restore(cr);
}

namespace {

// A box as Cairo places it for a clip: its corner, then its width and
// height, each in 1/256 device pixel.
struct PlacedBox {
    double x0, y0, x1, y1;
    bool upright;  // no turn or shear
    PlacedBox(const cairo_matrix_t& m, double x, double y, double w, double h)
        : x0(FixedOf(x * m.xx + y * m.xy + m.x0)),
          y0(FixedOf(x * m.yx + y * m.yy + m.y0)),
          x1(x0 + FixedOf(w * m.xx)),
          y1(y0 + FixedOf(h * m.yy)),
          upright(m.xy == 0.0 && m.yx == 0.0) {}
    bool Finite() const {
        return std::fabs(x0) < 1e9 && std::fabs(y0) < 1e9 && std::fabs(x1) < 1e9 &&
               std::fabs(y1) < 1e9;
    }
    bool OnWholePixels() const {
        return std::fmod(x0, 256.0) == 0.0 && std::fmod(y0, 256.0) == 0.0 &&
               std::fmod(x1, 256.0) == 0.0 && std::fmod(y1, 256.0) == 0.0;
    }
};

}  // namespace

// The gauge's clip (its design box under the current matrix): on whole
// pixels, bitmaps placed one to one are composited straight onto the
// picture, within it; off them, Cairo draws the gauge.
void GaugeRenderer::ClipDirect(cairo_t* cr, int dw, int dh) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    const PlacedBox box(m, 0, 0, dw, dh);
    if (!box.upright || !box.OnWholePixels() || !box.Finite()) {
        direct_ = false;
        return;
    }
    direct_clip_.x0 = std::max(direct_clip_.x0, static_cast<int>(box.x0 / 256.0));
    direct_clip_.y0 = std::max(direct_clip_.y0, static_cast<int>(box.y0 / 256.0));
    direct_clip_.x1 = std::min(direct_clip_.x1, static_cast<int>(box.x1 / 256.0));
    direct_clip_.y1 = std::min(direct_clip_.y1, static_cast<int>(box.y1 / 256.0));
}

// A string element: its box filled unless transparent, then its text
// (a symbol font's cells, or the text in its font, on one or two lines).
void GaugeRenderer::PaintString(cairo_t* cr, const gauge::StringElement& str, bool lit,
                                double ambient) {
    const double px = str.header.position.x;
    const double py = str.header.position.y;
    if ((str.header.image_flags & gauge::kImageTransparent) == 0) {
        SetColourRef(cr, str.bg_colour);
        cairo_rectangle(cr, px, py, str.width, str.height);
        cairo_fill(cr);
    }
    char text[sizeof str.text + 1] = {};
    std::memcpy(text, str.text, sizeof str.text);
    if (text[0] != '\0' && IsSymbolFont(str.font_name)) {
        PaintSymbolText(cr, str, text, lit ? 1.0 : ambient);
        return;
    }
    if (text[0] == '\0' || !fonts_->Select(cr, str.font_name, str.font_height, str.font_weight))
        return;
    // The module's texts are in the Windows code page: its upper
    // half (the degree sign of the advisories) would be invalid
    // UTF-8 and put the window's drawing context into an error.
    char utf8[3 * sizeof text + 1] = {};
    CodePageTextToUtf8(text, utf8);
    cairo_rectangle(cr, px, py, str.width, str.height);
    cairo_clip(cr);
    // The string's clip as Cairo places it (see the gauge's).
    text_direct_ = false;
    if (direct_) {
        cairo_matrix_t m;
        cairo_get_matrix(cr, &m);
        const PlacedBox box(m, px, py, str.width, str.height);
        text_direct_ = box.upright && box.Finite();
        // Off whole pixels, the pixels it covers wholly (a text
        // reaching beyond them is left to Cairo).
        text_clip_whole_ = box.OnWholePixels();
        text_clip_ = {std::max(direct_clip_.x0, static_cast<int>(std::ceil(box.x0 / 256.0))),
                      std::max(direct_clip_.y0, static_cast<int>(std::ceil(box.y0 / 256.0))),
                      std::min(direct_clip_.x1, static_cast<int>(std::floor(box.x1 / 256.0))),
                      std::min(direct_clip_.y1, static_cast<int>(std::floor(box.y1 / 256.0)))};
    }
    const double advance = TextAdvance(cr, text, std::strlen(text));
    double tx = px + kTextInset;
    if (str.align == 1) tx = px + (str.width - advance) / 2;
    if (str.align == 2) tx = px + str.width - kTextInset - advance;
    const double baseline = py + str.height / 2.0 + EightHeight(cr) / 2.0;
    double k = lit ? 1.0 : std::clamp(ambient, 0.0, 1.0);
    const uint32_t c = str.fg_colour;
    text_r_ = k * (c & 0xFF) / 255.0;
    text_g_ = k * ((c >> 8) & 0xFF) / 255.0;
    text_b_ = k * ((c >> 16) & 0xFF) / 255.0;
    cairo_set_source_rgb(cr, text_r_, text_g_, text_b_);
    if (!ShowTwoLines(cr, str, text, px, py, advance)) {
        cairo_move_to(cr, tx, baseline);
        if (!ShowTextDirect(cr, text, std::strlen(text), text_r_, text_g_, text_b_))
            cairo_show_text(cr, utf8);
    }
    cairo_new_path(cr);
    text_direct_ = false;
}

// A sprite: its bitmap turned by the value about its centre, which sits at
// the mask's centre plus the offset, seen through the mask.
void GaugeRenderer::PaintSprite(cairo_t* cr, const ElementState& s, bool lit) {
    const gauge::ElementHeader* e = s.element;
    const double px = e->position.x;
    const double py = e->position.y;
    const auto* sp = reinterpret_cast<const gauge::SpriteElement*>(e);
    cairo_surface_t* b = Bitmap(e->resource_id);
    cairo_surface_t* mask = Bitmap(sp->mask_resource_id);
    if (b == nullptr || !std::isfinite(s.value)) return;
    double cx = px + s.x;
    double cy = py + s.y;
    if (mask != nullptr) {
        cx += cairo_image_surface_get_width(mask) / 2.0;
        cy += cairo_image_surface_get_height(mask) / 2.0;
    }
    cairo_push_group(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, s.value * kPi / 180.0);
    PaintScaled(cr, e->resource_id, -cairo_image_surface_get_width(b) / 2.0,
                -cairo_image_surface_get_height(b) / 2.0, lit);
    cairo_restore(cr);
    PaintGroupMasked(cr, ScaledPattern(sp->mask_resource_id, px, py, true));
}

void GaugeRenderer::RenderGauge(cairo_t* cr, const GaugeInstance& g, double scale, double ambient) {
    int dw = 0;
    int dh = 0;
    DesignSize(g, &dw, &dh);
    if (dw <= 0 || dh <= 0 || g.width <= 0 || g.height <= 0) return;
    PrepareCache(scale, ambient);
    gauge_kx_ = g.width * scale / dw;
    gauge_ky_ = g.height * scale / dh;
    cairo_save(cr);
    cairo_scale(cr, gauge_kx_, gauge_ky_);
    cairo_rectangle(cr, 0, 0, dw, dh);
    cairo_clip(cr);
    // The gauge's clip as Cairo places it (its corner, then its width and
    // height, each in 1/256 pixel): on whole pixels, bitmaps placed one to
    // one are composited straight onto the picture, within it.
    const bool was_direct = direct_;
    const PixelBox was_clip = direct_clip_;
    if (direct_) ClipDirect(cr, dw, dh);
    for (const ElementState& s : g.elements) {
        const gauge::ElementHeader* e = s.element;
        if ((e->image_flags & gauge::kImageHidden) != 0) continue;
        const bool lit = (e->image_flags & gauge::kImageLuminous) != 0;
        const double px = e->position.x;
        const double py = e->position.y;
        cairo_save(cr);
        switch (e->type) {
            case gauge::ElementType::StaticImage:
                if ((e->image_flags & gauge::kImageDrawnSurface) != 0) {
                    PaintSurface(cr, g, e, px, py, lit, ambient_);
                } else {
                    PaintScaled(cr, e->resource_id, px, py, lit);
                }
                break;
            case gauge::ElementType::Icon: {
                const auto* icon = reinterpret_cast<const gauge::IconElement*>(e);
                const double count = std::max<uint32_t>(icon->icon_count, 1);
                double v = std::isfinite(s.value) ? std::round(s.value) : 0.0;
                v = std::clamp(v, 0.0, count - 1);
                PaintScaled(cr, e->resource_id + static_cast<uint32_t>(v), px, py, lit);
                break;
            }
            case gauge::ElementType::Needle: {
                const auto* n = reinterpret_cast<const gauge::NeedleElement*>(e);
                if (Bitmap(e->resource_id) == nullptr || !std::isfinite(s.value)) break;
                cairo_translate(cr, px, py);
                cairo_rotate(cr, std::fmod(s.value, 360.0) * kPi / 180.0);
                PaintScaled(cr, e->resource_id, -n->pivot.x, -n->pivot.y, lit);
                break;
            }
            case gauge::ElementType::String:
                PaintString(cr, *reinterpret_cast<const gauge::StringElement*>(e), lit, ambient);
                break;
            case gauge::ElementType::Slider: {
                PaintScaled(cr, e->resource_id, px + s.x, py + s.y, lit);
                break;
            }
            case gauge::ElementType::MovingImage: {
                const auto* mi = reinterpret_cast<const gauge::MovingImageElement*>(e);
                if (Bitmap(e->resource_id) == nullptr) break;
                cairo_push_group(cr);
                PaintScaled(cr, e->resource_id, px + s.x, py + s.y, lit);
                PaintGroupMasked(cr, ScaledPattern(mi->mask_resource_id, px, py, true));
                break;
            }
            case gauge::ElementType::Sprite:
                PaintSprite(cr, s, lit);
                break;
        }
        cairo_restore(cr);
    }
    cairo_restore(cr);
    direct_ = was_direct;
    direct_clip_ = was_clip;
}

void GaugeRenderer::RenderWindow(const PanelWindow& window, const RenderOptions& options,
                                 cairo_surface_t* target) {
    cairo_t* cr = Context(window.number, target);
    PaintWindowBackground(cr, window, options);
    direct_ = true;
    direct_target_ = target;
    direct_clip_ = {0, 0, cairo_image_surface_get_width(target),
                    cairo_image_surface_get_height(target)};
    for (const GaugeInstance& g : sim_.gauges()) {
        if (g.window_number != window.number) continue;
        cairo_save(cr);
        cairo_translate(cr, g.x * options.scale, g.y * options.scale);
        RenderGauge(cr, g, options.scale, options.ambient);
        cairo_restore(cr);
    }
    direct_ = false;
    direct_target_ = nullptr;
    cairo_surface_flush(target);
}

namespace {

// FNV-1a over the bytes of a value.
void Mix(uint64_t* h, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        *h ^= p[i];
        *h *= 0x100000001B3ull;
    }
}

}  // namespace

uint64_t GaugeRenderer::GaugeSignature(const GaugeInstance& g) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (const ElementState& s : g.elements) {
        const gauge::ElementHeader* e = s.element;
        Mix(&h, &e->image_flags, sizeof e->image_flags);
        if ((e->image_flags & gauge::kImageHidden) != 0) continue;
        Mix(&h, &s.value, sizeof s.value);
        Mix(&h, &s.x, sizeof s.x);
        Mix(&h, &s.y, sizeof s.y);
        if (e->type == gauge::ElementType::String) {
            const auto* str = reinterpret_cast<const gauge::StringElement*>(e);
            Mix(&h, str->text, sizeof str->text);
            Mix(&h, &str->fg_colour, sizeof str->fg_colour);
            Mix(&h, &str->bg_colour, sizeof str->bg_colour);
        }
    }
    for (const auto& surface : g.surfaces) {  // a new picture is a change
        Mix(&h, &surface->pictures, sizeof surface->pictures);
    }
    return h;
}

namespace {

// The pixels a placed gauge may touch in a window's picture.
void GaugeRect(const GaugeInstance& g, double scale, double* x0, double* y0, double* x1,
               double* y1) {
    *x0 = std::floor(g.x * scale);
    *y0 = std::floor(g.y * scale);
    *x1 = std::ceil((g.x + g.width) * scale);
    *y1 = std::ceil((g.y + g.height) * scale);
}

}  // namespace

int GaugeRenderer::UpdateWindow(const PanelWindow& window, const RenderOptions& options,
                                cairo_surface_t* target) {
    const std::vector<GaugeInstance>& gauges = sim_.gauges();
    WindowMemo& memo = memos_[window.number];
    const int width = cairo_image_surface_get_width(target);
    const int height = cairo_image_surface_get_height(target);
    size_t count = 0;
    for (const GaugeInstance& g : gauges) count += g.window_number == window.number ? 1 : 0;
    const bool whole = memo.target != target || memo.width != width || memo.height != height ||
                       memo.options.scale != options.scale ||
                       memo.options.ambient != options.ambient ||
                       memo.gauge_signatures.size() != count;
    if (whole) {
        memo.target = target;
        memo.width = width;
        memo.height = height;
        memo.options = options;
        memo.gauge_signatures.clear();
        for (const GaugeInstance& g : gauges) {
            if (g.window_number == window.number)
                memo.gauge_signatures.push_back(GaugeSignature(g));
        }
        RenderWindow(window, options, target);
        return static_cast<int>(count);
    }
    // The gauges that changed (by index in `gauges`).
    changed_.clear();
    size_t k = 0;
    for (size_t i = 0; i < gauges.size(); ++i) {
        if (gauges[i].window_number != window.number) continue;
        const uint64_t signature = GaugeSignature(gauges[i]);
        if (signature != memo.gauge_signatures[k]) {
            memo.gauge_signatures[k] = signature;
            changed_.push_back(i);
        }
        ++k;
    }
    if (changed_.empty()) return 0;
    int drawn = 0;
    cairo_t* cr = Context(window.number, target);
    // The window's background, painted once at the picture's size, is copied
    // under each gauge drawn again.
    WindowBackground& background = window_backgrounds_[window.number];
    if (background.surface != nullptr &&
        (cairo_image_surface_get_width(background.surface) != width ||
         cairo_image_surface_get_height(background.surface) != height ||
         background.options.scale != options.scale ||
         background.options.ambient != options.ambient)) {
        cairo_surface_destroy(background.surface);
        background.surface = nullptr;
    }
    if (background.surface == nullptr) {
        background.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        background.options = options;
        cairo_t* bg = cairo_create(background.surface);
        PaintWindowBackground(bg, window, options);
        cairo_destroy(bg);
        cairo_surface_flush(background.surface);
    }
    pixman_image_t* background_image = PixmanImage(background.surface);
    pixman_image_t* target_image = PixmanImage(target);
    for (size_t i : changed_) {
        double x0 = 0;
        double y0 = 0;
        double x1 = 0;
        double y1 = 0;
        GaugeRect(gauges[i], options.scale, &x0, &y0, &x1, &y1);
        cairo_save(cr);
        cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
        cairo_clip(cr);
        const PixelBox box = {static_cast<int>(std::max(0.0, x0)),
                              static_cast<int>(std::max(0.0, y0)),
                              static_cast<int>(std::min<double>(width, x1)),
                              static_cast<int>(std::min<double>(height, y1))};
        if (background_image == nullptr || target_image == nullptr) {
            PaintWindowBackground(cr, window, options);
        } else if (box.x0 < box.x1 && box.y0 < box.y1) {
            pixman_image_composite32(PIXMAN_OP_SRC, background_image, nullptr, target_image, box.x0,
                                     box.y0, 0, 0, box.x0, box.y0, box.x1 - box.x0,
                                     box.y1 - box.y0);
        }
        direct_ = true;
        direct_target_ = target;
        direct_clip_ = box;
        // Everything in the rectangle, in panel order (overlaps included).
        for (const GaugeInstance& g : gauges) {
            if (g.window_number != window.number) continue;
            double gx0 = 0;
            double gy0 = 0;
            double gx1 = 0;
            double gy1 = 0;
            GaugeRect(g, options.scale, &gx0, &gy0, &gx1, &gy1);
            if (gx1 <= x0 || gy1 <= y0 || gx0 >= x1 || gy0 >= y1) continue;
            cairo_save(cr);
            cairo_translate(cr, g.x * options.scale, g.y * options.scale);
            RenderGauge(cr, g, options.scale, options.ambient);
            cairo_restore(cr);
            ++drawn;
        }
        direct_ = false;
        direct_target_ = nullptr;
        cairo_restore(cr);
    }
    cairo_surface_flush(target);
    return drawn;
}

cairo_surface_t* GaugeRenderer::RenderWindow(const PanelWindow& window,
                                             const RenderOptions& options) {
    int w = 0;
    int h = 0;
    WindowSize(window, options, &w, &h);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    RenderWindow(window, options, s);
    return s;
}

bool GaugeRenderer::WriteWindowPng(const PanelWindow& window, const RenderOptions& options,
                                   const fs::path& file, std::string* error) {
    int width = 0;
    int height = 0;
    WindowSize(window, options, &width, &height);
    // The picture is drawn into address space reserved for all of it, in
    // the same places and by the same operations as the whole window would
    // be, but down the window; each row is written to the file and its memory
    // given back once everything on it is drawn, so only the rows between are
    // ever in memory. See Advance for the order.
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
    void* reserved = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (reserved == MAP_FAILED) {
        *error = "cannot write " + file.string() + ": no memory for the picture";
        return false;
    }
    auto* pixels = static_cast<unsigned char*>(reserved);
    cairo_surface_t* picture =
        cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, width, height, stride);
    cairo_t* cr = cairo_create(picture);
    // The background picture, read down the window when it is a plain PNG;
    // else whole.
    PngStripReader strip;
    const bool streamed = !window.background.empty() && window.size_w > 0 && window.size_h > 0 &&
                          strip.Open(sim_.panel_file().parent_path() / window.background);
    const double rows_per_pixel =
        streamed ? static_cast<double>(strip.height()) / (window.size_h * options.scale) : 0.0;
    // Rows of the background beyond a band's own that its filter may read.
    const int margin = 4 + 4 * static_cast<int>(std::ceil(rows_per_pixel));
    // A background picture stretched to the window is sampled differently
    // when the drawing is clipped to a band: such a window is drawn whole.
    // (One shown at its own size, as the demonstration's are, is copied
    // pixel for pixel, and one shrunk is filtered pixel by pixel, whatever
    // the clip.)
    bool whole = false;
    if (!window.background.empty()) {
        cairo_surface_t* bg = streamed ? nullptr : Background(window);
        const int bw = streamed        ? strip.width()
                       : bg != nullptr ? cairo_image_surface_get_width(bg)
                                       : 0;
        const int bh = streamed        ? strip.height()
                       : bg != nullptr ? cairo_image_surface_get_height(bg)
                                       : 0;
        whole = (streamed || bg != nullptr) &&
                (window.size_w * options.scale > bw || window.size_h * options.scale > bh);
    }
    if (pngs_ == nullptr) pngs_ = std::make_unique<PngPipeline>();
    bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS && pngs_->Open(file, width, height, error);
    int painted = 0;  // rows with their background
    int written = 0;  // rows in the file
    // The background drawn down the window is the same in every picture of
    // it: kept from the first, copied into the later ones.
    KeptBackground* kept = whole ? nullptr : KeptBackgroundFor(window, options, width, height);
    band_.cr = cr;
    band_.options = options;
    band_.paint_to = [&](int row) {
        for (row = std::min(row, height); ok && painted < row;) {
            const int end = std::min(height, painted + kBandRows);
            if (kept != nullptr && kept->runs.rows() == height) {
                cairo_surface_flush(picture);
                for (int y = painted; y < end; ++y) {
                    kept->runs.Decode(
                        y, reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(y) * stride));
                }
                cairo_surface_mark_dirty_rectangle(picture, 0, painted, width, end - painted);
                painted = end;
                continue;
            }
            cairo_save(cr);
            cairo_rectangle(cr, 0, painted, width, end - painted);
            cairo_clip(cr);
            if (streamed) {
                cairo_surface_t* rows =
                    strip.Rows(static_cast<int>(std::floor(painted * rows_per_pixel)) - margin,
                               static_cast<int>(std::ceil(end * rows_per_pixel)) + margin);
                ok = rows != nullptr;
                if (ok) PaintWindowBackground(cr, window, options, rows);
            } else {
                PaintWindowBackground(cr, window, options);
            }
            cairo_restore(cr);
            if (ok && kept != nullptr && kept->runs.rows() == painted) {
                cairo_surface_flush(picture);
                for (int y = painted; y < end; ++y) {
                    kept->runs.Append(
                        reinterpret_cast<const uint32_t*>(pixels + static_cast<size_t>(y) * stride),
                        width);
                }
            }
            painted = end;
        }
    };
    const std::vector<GaugeInstance>& gauges = sim_.gauges();
    band_.placed.clear();
    for (size_t i = 0; i < gauges.size(); ++i) {
        if (gauges[i].window_number != window.number) continue;
        Placed p;
        p.gauge = &gauges[i];
        double x0 = 0;
        double y0 = 0;
        double x1 = 0;
        double y1 = 0;
        GaugeRect(gauges[i], options.scale, &x0, &y0, &x1, &y1);
        p.x0 = x0;
        p.x1 = x1;
        p.top = static_cast<int>(y0);
        p.bottom = static_cast<int>(y1);
        p.big = (x1 - x0) * (y1 - y0) > kWholeCopyPixels && DrawnAlikeInBands(gauges[i]);
        p.drawn_to = p.top;
        band_.placed.push_back(p);
    }
    if (whole) {
        RenderWindow(window, options, picture);
        if (ok) pngs_->Write(pixels, stride, height);
        written = height;
    }
    for (int row = std::min(height, kBandRows); ok && !whole;
         row = std::min(height, row + kBandRows)) {
        for (size_t k = 0; k < band_.placed.size(); ++k) {
            if (band_.placed[k].top < row) Advance(k, row);
        }
        band_.paint_to(row);
        // Rows are finished above every gauge still to be drawn.
        int finished = std::min(row, painted);
        for (const Placed& p : band_.placed) {
            if (p.drawn_to < p.bottom) finished = std::min(finished, p.drawn_to);
        }
        if (finished > written) {
            cairo_surface_flush(picture);
            if (ok)
                pngs_->Write(pixels + static_cast<size_t>(written) * stride, stride,
                             finished - written);
            ReleaseRows(pixels, stride, 0, finished);
            written = finished;
        }
        if (row >= height) break;
    }
    ok = ok && written == height && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    if (kept != nullptr && kept->runs.rows() != height) {
        kept->runs.Clear();  // not all drawn: made again next time
    } else if (kept != nullptr && kept->runs.bytes() > kKeptBackgroundBytes) {
        kept->runs.Clear();
        kept->too_large = true;  // drawn afresh every time
    } else if (kept != nullptr) {
        kept->runs.Compact();
    }
    band_ = BandedDrawing{};
    ReleaseContexts();  // the picture's memory goes
    ReleasePartial();
    ClearScaled();
    cairo_destroy(cr);
    cairo_surface_destroy(picture);
    ::munmap(reserved, bytes);
    pngs_->Close(ok);
    if (!ok) *error = "cannot write " + file.string();
    return ok;
}

GaugeRenderer::KeptBackground* GaugeRenderer::KeptBackgroundFor(const PanelWindow& window,
                                                                const RenderOptions& options,
                                                                int width, int height) {
    KeptBackground* kept = nullptr;
    for (const auto& k : kept_backgrounds_) {
        if (k->window == window.number) kept = k.get();
    }
    if (kept == nullptr) {
        kept_backgrounds_.push_back(std::make_unique<KeptBackground>());
        kept = kept_backgrounds_.back().get();
        kept->window = window.number;
    }
    if (kept->width != width || kept->height != height || kept->options.scale != options.scale ||
        kept->options.ambient != options.ambient) {
        // Another size or light: this window's background is made anew.
        kept->width = width;
        kept->height = height;
        kept->options = options;
        kept->runs.Clear();
        kept->too_large = false;
    }
    return kept->too_large ? nullptr : kept;
}

// Whether a gauge draws the same pixels clipped to bands as whole: when all it
// shows are bitmaps placed one to one on whole pixels (static images, icons,
// sliders). Turned, masked, text and drawn-surface elements are sampled and
// covered in ways a clip can change by a step, so such gauges are drawn whole.
bool GaugeRenderer::DrawnAlikeInBands(const GaugeInstance& g) {
    for (const ElementState& s : g.elements) {
        const gauge::ElementHeader* e = s.element;
        if ((e->image_flags & gauge::kImageHidden) != 0) continue;
        const bool plain = e->type == gauge::ElementType::Icon ||
                           e->type == gauge::ElementType::Slider ||
                           (e->type == gauge::ElementType::StaticImage &&
                            (e->image_flags & gauge::kImageDrawnSurface) == 0);
        if (!plain) return false;
    }
    return true;
}

// Draws placed gauge k down to `row` for WriteWindowPng. A gauge is drawn
// whole, as in the whole window, except a large one that draws alike in bands,
// which is drawn a band of rows at a time (clipped to the band). Whatever lies under the rows it
// draws is drawn first: the background, and every earlier gauge in panel order that shares its
// pixels, down to the same row; so each pixel sees the same operations in the same order as when
// the window is drawn whole.
void GaugeRenderer::Advance(size_t k, int row) {
    Placed& p = band_.placed[k];
    const int target = p.big ? std::min(row, p.bottom) : p.bottom;
    if (p.drawn_to >= target) return;
    for (size_t j = 0; j < k; ++j) {
        const Placed& e = band_.placed[j];
        const bool shared = e.x0 < p.x1 && p.x0 < e.x1 && e.top < target && p.drawn_to < e.bottom;
        if (shared) Advance(j, target);
    }
    band_.paint_to(target);
    const GaugeInstance& g = *p.gauge;
    const double scale = band_.options.scale;
    cairo_t* cr = band_.cr;
    if (!p.big) {
        cairo_save(cr);
        cairo_translate(cr, g.x * scale, g.y * scale);
        RenderGauge(cr, g, scale, band_.options.ambient);
        cairo_restore(cr);
        // Its surfaces' pictures go; the images made for it serve the next
        // gauges (a twin shows the same bitmaps) while they take little room,
        // and beyond that the memory they took goes back to the system.
        ClearSurfacePictures();
        if (ImageBytes() > kKeptImageBytes) {
            ClearScaled();
            ClearBitmaps();
            malloc_trim(0);
        }
        p.drawn_to = p.bottom;
        return;
    }
    for (int from = p.drawn_to; from < target; from += kBandRows) {
        band_first_ = from;
        band_last_ = std::min(target, from + kBandRows);
        cairo_save(cr);
        cairo_rectangle(cr, 0, band_first_, cairo_image_surface_get_width(cairo_get_target(cr)),
                        band_last_ - band_first_);
        cairo_clip(cr);
        cairo_translate(cr, g.x * scale, g.y * scale);
        RenderGauge(cr, g, scale, band_.options.ambient);
        cairo_restore(cr);
    }
    band_first_ = band_last_ = 0;
    p.drawn_to = target;
}

std::vector<std::string> WindowPictureNames(const std::vector<PanelWindow>& windows,
                                            const std::vector<GaugeInstance>& gauges) {
    std::vector<std::string> surface_names;
    surface_names.reserve(gauges.size());
    for (const GaugeInstance& g : gauges) surface_names.push_back(SurfacePictureName(g.name));
    // A gauge's pictures are <gauge> and <gauge>-2, -3, ...
    auto surface_uses = [&](const std::string& n) {
        for (const std::string& s : surface_names) {
            if (n.size() < s.size() || n.compare(0, s.size(), s) != 0) continue;
            if (n.size() == s.size()) return true;
            if (n[s.size()] == '-' && n.size() > s.size() + 1 &&
                std::all_of(n.begin() + static_cast<std::ptrdiff_t>(s.size()) + 1, n.end(),
                            [](char c) { return c >= '0' && c <= '9'; })) {
                return true;
            }
        }
        return false;
    };
    std::vector<std::string> names;
    names.reserve(windows.size());
    for (const PanelWindow& window : windows) {
        std::string title = window.title;
        for (char& c : title) {
            const bool keep = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
            if (!keep) c = '_';
        }
        char number[16];
        std::snprintf(number, sizeof number, "w%02d", window.number);
        std::string n = title.empty() ? number : title;
        auto taken = [&](const std::string& candidate) {
            return surface_uses(candidate) ||
                   std::find(names.begin(), names.end(), candidate) != names.end();
        };
        if (!title.empty() && taken(n)) n = title + "-" + number;
        // Two windows of one number and title (a malformed panel) still
        // get pictures of their own.
        for (int k = 2; taken(n); ++k)
            n = (title.empty() ? "" : title + "-") + number + "-" + std::to_string(k);
        names.push_back(std::move(n));
    }
    return names;
}

bool GaugeRenderer::WritePngs(const fs::path& dir, const std::string& name,
                              const RenderOptions& options, std::string* error,
                              std::vector<WindowPicture>* pictures) {
    // A picture of an earlier snapshot that could not be written.
    if (pngs_ != nullptr && pngs_->Failed(error)) return false;
    std::error_code ec;
    fs::create_directories(dir, ec);
    malloc_trim(0);  // what the flight and the state file let go, before the pictures
    const std::vector<PanelWindow>& windows = sim_.panel_windows();
    const std::vector<std::string> names = WindowPictureNames(windows, sim_.gauges());
    if (pictures != nullptr) pictures->clear();
    for (size_t w = 0; w < windows.size(); ++w) {
        const PanelWindow& window = windows[w];
        const std::string file_name = name + "-" + names[w] + ".png";
        const fs::path file = dir / file_name;
        const bool written = WriteWindowPng(window, options, file, error);
        ReleaseImages();
        malloc_trim(0);  // the freed images go back to the system
        if (!written) return false;
        if (pictures != nullptr) pictures->push_back({window.title, file_name});
    }
    // Every drawn surface's picture at its own size: NAME-<gauge>.png (the
    // gauge's name with every character but letters and digits as '_'; a
    // gauge's further surfaces get -2, -3, ...).
    for (const GaugeInstance& g : sim_.gauges()) {
        const std::string gauge_name = SurfacePictureName(g.name);
        for (size_t i = 0; i < g.surfaces.size(); ++i) {
            const DrawnSurface& d = *g.surfaces[i];
            const int w = d.surface.width;
            const int h = d.surface.height;
            if (d.picture.empty()) continue;
            cairo_surface_t* pic = PixelsToCairo(d.picture.data(), w, h);
            const std::string suffix = i == 0 ? "" : "-" + std::to_string(i + 1);
            if (pngs_ == nullptr) pngs_ = std::make_unique<PngPipeline>();
            pngs_->WriteSurface(pic, dir / (name + "-" + gauge_name + suffix + ".png"));
        }
    }
    return pngs_behind_ || FinishPngs(error);
}

bool GaugeRenderer::FinishPngs(std::string* error) {
    return pngs_ == nullptr || pngs_->Finish(error);
}

bool GaugeRenderer::HitTest(const PanelWindow& window, double px, double py,
                            const RenderOptions& options, Hit* hit) {
    const double u = px / options.scale;
    const double v = py / options.scale;
    const std::vector<GaugeInstance>& gauges = sim_.gauges();
    for (auto it = gauges.rbegin(); it != gauges.rend(); ++it) {
        const GaugeInstance& g = *it;
        if (g.window_number != window.number || g.width <= 0 || g.height <= 0) continue;
        if (u < g.x || v < g.y || u >= g.x + g.width || v >= g.y + g.height) continue;
        int dw = 0;
        int dh = 0;
        DesignSize(g, &dw, &dh);
        const double dx = (u - g.x) * dw / g.width;
        const double dy = (v - g.y) * dh / g.height;
        *hit = Hit{};
        hit->gauge = &g;
        const int count = MouseRectCount(g.header);
        for (int i = 0; i < count; ++i) {
            const gauge::MouseRect& r = g.header->mouse_rect[i];
            if (r.kind != gauge::MouseRectKind::Child) continue;
            if (dx >= r.x && dy >= r.y && dx < r.x + r.width && dy < r.y + r.height) {
                hit->rect_index = i;
                hit->rect = &r;
                hit->relative = {static_cast<int32_t>(dx - r.x), static_cast<int32_t>(dy - r.y)};
                break;
            }
        }
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Pointer

PointerRouter::PointerRouter(Simulator& sim, GaugeRenderer& renderer)
    : sim_(sim), renderer_(renderer) {}

bool PointerRouter::Deliver(const GaugeRenderer::Hit& hit, uint32_t flags) {
    if (hit.gauge == nullptr || hit.rect == nullptr || flags == 0) return false;
    // The instance belongs to the simulator this router drives.
    auto& g = const_cast<GaugeInstance&>(*hit.gauge);
    return sim_.MouseEvent(g, hit.rect_index, hit.relative, flags);
}

void PointerRouter::Press(const PanelWindow& window, double px, double py, bool right_button,
                          const RenderOptions& options) {
    GaugeRenderer::Hit hit;
    if (held_ || !renderer_.HitTest(window, px, py, options, &hit) || hit.rect == nullptr) return;
    const uint32_t press = PressFlag(hit.rect->mouse_flags, right_button);
    held_ = true;
    right_ = right_button;
    target_ = hit;
    next_repeat_ms_ = sim_.elapsed_ms() + kRepeatDelayMs;
    Deliver(hit, press);
}

void PointerRouter::Move(const PanelWindow& window, double px, double py,
                         const RenderOptions& options) {
    if (!held_ || right_) return;
    GaugeRenderer::Hit hit;
    if (!renderer_.HitTest(window, px, py, options, &hit)) return;
    target_ = hit;
    if (hit.rect != nullptr && (hit.rect->mouse_flags & gauge::kMouseMove) != 0) {
        Deliver(hit, gauge::kMouseMove);
    }
}

void PointerRouter::Release(const PanelWindow& window, double px, double py, bool right_button,
                            const RenderOptions& options) {
    if (!held_ || right_button != right_) return;
    held_ = false;
    GaugeRenderer::Hit hit;
    if (!renderer_.HitTest(window, px, py, options, &hit)) hit = target_;
    const uint32_t release = right_button ? gauge::kMouseRightRelease : gauge::kMouseLeftRelease;
    if (hit.rect != nullptr && (hit.rect->mouse_flags & release) != 0) Deliver(hit, release);
    target_ = {};
}

void PointerRouter::Frame() {
    if (!held_ || target_.rect == nullptr) return;
    const uint32_t repeat = right_ ? gauge::kMouseRightRepeat : gauge::kMouseLeftRepeat;
    if ((target_.rect->mouse_flags & repeat) == 0) return;
    while (sim_.elapsed_ms() >= next_repeat_ms_) {
        Deliver(target_, repeat);
        next_repeat_ms_ += kRepeatIntervalMs;
    }
}

uint32_t PointerRouter::CursorAt(const PanelWindow& window, double px, double py,
                                 const RenderOptions& options) {
    GaugeRenderer::Hit hit;
    if (!renderer_.HitTest(window, px, py, options, &hit) || hit.rect == nullptr) return 0;
    return hit.rect->cursor;
}

}  // namespace zu::simhost
