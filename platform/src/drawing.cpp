#include "zu/platform/drawing.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include <pixman.h>
#include FT_ADVANCES_H
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>

#include "smooth_raster.h"
#include "zu/platform/font_files.h"

namespace zu::platform {

namespace {

// --- Object pool. A handle is the slot plus one in its low 10 bits and the
// slot's generation above; generation 0 (a free slot) is never issued.
struct FontFace {
    FT_Face ft = nullptr;
    cairo_font_face_t* cairo = nullptr;
    double ascent_units = 0;  // Windows ascent, font units
    double cell_units = 0;    // Windows ascent + descent
    double avg_width_units = 0;
    double units_per_em = 0;
};

struct PoolObject {
    std::atomic<uint32_t> generation{0};
    std::atomic<int32_t> selected{0};
    DrawObjectKind kind = DrawObjectKind::None;
    uint32_t colour = 0;
    int32_t width = 0;
    // Fonts: the face and the font matrix (logical units).
    FontFace* face = nullptr;
    double xx = 0, yy = 0, ascent = 0;
};

std::mutex gPoolMutex;
static_assert(kDrawPoolSize < 1024, "slot numbers take 10 bits of a handle");
PoolObject gPool[kDrawPoolSize];
uint32_t gNextGeneration = 1;
std::atomic<int32_t> gLiveObjects{0};

std::mutex gFontMutex;
FT_Library gFreeType = nullptr;
FontFace gFaces[2];  // regular, bold
bool gFacesTried[2] = {false, false};

DrawHandle MakeHandle(int32_t slot, uint32_t generation) {
    return (generation << 10) | static_cast<uint32_t>(slot + 1);
}

PoolObject* Lookup(DrawHandle h) {
    if (h == 0) return nullptr;
    const uint32_t low = h & 0x3FF;
    if (low == 0 || low > static_cast<uint32_t>(kDrawPoolSize)) return nullptr;
    PoolObject* o = &gPool[low - 1];
    if (o->generation.load(std::memory_order_acquire) != (h >> 10)) return nullptr;
    return o;
}

DrawHandle Allocate(DrawObjectKind kind, uint32_t colour, int32_t width, FontFace* face, double xx,
                    double yy, double ascent) {
    std::lock_guard lock(gPoolMutex);
    for (int32_t i = 0; i < kDrawPoolSize; ++i) {
        PoolObject& o = gPool[i];
        if (o.generation.load(std::memory_order_relaxed) != 0) continue;
        o.kind = kind;
        o.colour = colour;
        o.width = width;
        o.face = face;
        o.xx = xx;
        o.yy = yy;
        o.ascent = ascent;
        o.selected.store(0, std::memory_order_relaxed);
        uint32_t g = gNextGeneration++;
        if (gNextGeneration >= (1u << 22)) gNextGeneration = 1;
        o.generation.store(g, std::memory_order_release);
        gLiveObjects.fetch_add(1, std::memory_order_relaxed);
        return MakeHandle(i, g);
    }
    return 0;
}

FontFace* LoadFace(bool bold) {
    std::lock_guard lock(gFontMutex);
    const int i = bold ? 1 : 0;
    if (gFacesTried[i]) return gFaces[i].cairo != nullptr ? &gFaces[i] : nullptr;
    gFacesTried[i] = true;
    if (gFreeType == nullptr && FT_Init_FreeType(&gFreeType) != 0) return nullptr;
    const std::string file =
        bold ? FindFontFile("Liberation Sans", "Bold",
                            "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf")
             : FindFontFile("Liberation Sans", "Regular",
                            "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf");
    if (file.empty()) return nullptr;
    FontFace& f = gFaces[i];
    if (FT_New_Face(gFreeType, file.c_str(), 0, &f.ft) != 0) return nullptr;
    f.units_per_em = f.ft->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f.ft, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        f.ascent_units = os2->usWinAscent;
        f.cell_units = os2->usWinAscent + os2->usWinDescent;
        f.avg_width_units = os2->xAvgCharWidth;
    } else {
        f.ascent_units = f.ft->ascender;
        f.cell_units = f.ft->ascender - f.ft->descender;
        f.avg_width_units = f.units_per_em / 2;
    }
    f.cairo = cairo_ft_font_face_create_for_ft_face(f.ft, 0);
    return &f;
}

}  // namespace

constexpr int32_t kSpanRows = 2048;
// Spans a region's row can have: its outline's, split by each cut.
constexpr int32_t kRowSpans = kDrawRegionMaxCuts + 1;

// Lettering's glyph cache: the printable ASCII glyphs and the degree sign
// (0xB0) of up to kGlyphFonts fonts at the context's scale, rendered once
// into an atlas.
constexpr int32_t kGlyphFonts = 8;
constexpr int32_t kGlyphFirst = 32;
constexpr int32_t kGlyphAscii = 95;
constexpr int32_t kGlyphDegree = 0xB0;
constexpr int32_t kGlyphCount = kGlyphAscii + 1;

// A character's place in the cache, -1 when it is not kept.
constexpr int32_t GlyphSlot(unsigned char c) {
    if (c >= kGlyphFirst && c < kGlyphFirst + kGlyphAscii) return c - kGlyphFirst;
    return c == kGlyphDegree ? kGlyphAscii : -1;
}

// The character kept in a cache place.
constexpr int32_t GlyphChar(int32_t slot) {
    return slot < kGlyphAscii ? kGlyphFirst + slot : kGlyphDegree;
}
constexpr int32_t kGlyphAtlasBytes = 512 * 1024;
constexpr int32_t kGlyphScratch = 128;  // scratch square; pen origin at (32, 96)

struct GlyphEntry {
    int32_t offset = 0;  // in the atlas
    int16_t w = 0, h = 0;
    int16_t left = 0, top = 0;  // bitmap origin less the pen position, device pixels
    double advance = 0;         // logical units
};

struct GlyphFont {
    DrawHandle font = 0;
    double sx = 0, sy = 0;
    GlyphEntry glyphs[kGlyphCount];
    // The rows any glyph inks, from its pen's row: [ink_top, ink_bottom).
    int32_t ink_top = 0, ink_bottom = 0;
};

// A region's pixels of each device row: up to kRowSpans ascending,
// disjoint [left, right) spans.
struct RegionSpans {
    bool valid = false;
    DrawRegion region{};
    int32_t* counts = nullptr;
    int32_t (*spans)[kRowSpans][2] = nullptr;
    DrawRect box{};  // of the spans' pixels
};
// Widest stretch with a kept column map.
constexpr int32_t kStretchColumns = 4096;
// Regions whose spans a context keeps.
constexpr int32_t kRegionSets = 8;

// What DrawSaveState keeps of a context. The objects are counted as
// selected while they are kept, so none of them can be deleted before it is
// restored.
struct SavedDrawState {
    DrawHandle pen = 0, brush = 0, font = 0;
    DrawRop2 rop = DrawRop2::CopyPen;
    uint32_t text_colour = 0;
    uint32_t text_align = 0;
    bool bk_opaque = false;
    uint32_t bk_colour = 0;
    DrawRect clip{};
    bool has_region = false;
    DrawRegion region{};
    int32_t cur_x = 0, cur_y = 0;
};

struct DrawContext {
    uint8_t* pixels = nullptr;  // null: recording
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    double sx = 1, sy = 1;  // device pixels per logical unit
    cairo_surface_t* cs = nullptr;
    cairo_t* cr = nullptr;
    DrawHandle pen = 0, brush = 0, font = 0;
    DrawRop2 rop = DrawRop2::CopyPen;
    uint32_t text_colour = 0;
    uint32_t text_align = 0;
    bool bk_opaque = false;
    uint32_t bk_colour = 0;
    DrawRect clip{};  // device pixels
    bool has_region = false;
    DrawRegion region{};
    // The regions' row spans, built when a region is first selected and
    // kept for the next selections of the same region (span_rows rows of
    // each; rows beyond are tested pixel by pixel, as is everything when
    // the spans could not be kept).
    int32_t span_rows = 0;
    RegionSpans span_sets[kRegionSets];
    int32_t next_set = 0;
    const RegionSpans* region_spans = nullptr;  // the selected region's
    // The smooth layer's own clip, set by DrawSetSmoothClip and
    // DrawResetSmoothClip (none, or a region with spans as above). While
    // smooth_own is clear the smooth layer follows the clip above.
    bool smooth_own = false;
    bool smooth_has_region = false;
    DrawRegion smooth_region{};
    const RegionSpans* smooth_spans = nullptr;
    SavedDrawState saved[kDrawStateDepth];
    int32_t saved_count = 0;
    // The smooth layer's own rasteriser: coverage into an A8 mask of the
    // surface's size, then composited through a one-pixel solid source.
    pixman_image_t* px_dst = nullptr;
    // The image of the pixels painted before the last DrawContextSetPixels.
    pixman_image_t* px_dst_other = nullptr;
    uint8_t* other_pixels = nullptr;
    pixman_image_t* px_mask = nullptr;
    pixman_image_t* px_solid = nullptr;
    uint32_t solid_bits = 0;
    uint8_t* mask_bits = nullptr;
    int32_t mask_stride = 0;
    // Bounding box of the coverage not yet composited (device pixels).
    int32_t cov_left = 0, cov_top = 0, cov_right = 0, cov_bottom = 0;
    // The smooth rasteriser's row of cells (width + 1, zero between shapes)
    // and, for a shape added to the mask, each row's [left, right) of
    // coverage (empty when left >= right).
    int32_t* cells = nullptr;
    int32_t* row_extents = nullptr;
    // DrawStretchDib's column map for the last sizes stretched.
    int32_t* stretch_map = nullptr;
    int32_t stretch_dw = 0, stretch_src = 0;
    GlyphFont glyph_fonts[kGlyphFonts];
    int32_t glyph_font_count = 0;
    uint8_t* atlas = nullptr;
    int32_t atlas_used = 0;
    cairo_surface_t* scratch_cs = nullptr;
    cairo_t* scratch_cr = nullptr;
    int32_t cur_x = 0, cur_y = 0;
    double smooth_angle = 0, smooth_cx = 0, smooth_cy = 0, smooth_yoff = 0;
    // The cosine and sine of smooth_angle, set with it.
    double smooth_cos = 1, smooth_sin = 0;
    // The keep the smooth rows painted go to (SmoothKeepBegin), or none.
    SmoothKeep* keep = nullptr;
    int32_t text_count = 0;
    DrawTextEntry texts[kDrawTextCapacity];
    int32_t recorded = 0;
    int32_t overflow = 0;
    DrawCall calls[kDrawRecordCapacity];
};

namespace {

std::atomic<bool> gReferencePaths{false};

bool Reference() {
    return gReferencePaths.load(std::memory_order_relaxed);
}

void Record(DrawContext* dc, const DrawCall& call) {
    if (dc->recorded < kDrawRecordCapacity) {
        dc->calls[dc->recorded++] = call;
    } else {
        ++dc->overflow;
    }
}

int32_t DevX(const DrawContext* dc, int32_t x) {
    return static_cast<int32_t>(std::floor((x + 0.5) * dc->sx));
}
int32_t DevY(const DrawContext* dc, int32_t y) {
    return static_cast<int32_t>(std::floor((y + 0.5) * dc->sy));
}
// A rectangle edge (the first device pixel at or after it).
int32_t EdgeX(const DrawContext* dc, int32_t x) {
    return static_cast<int32_t>(std::ceil(x * dc->sx - 0.5));
}
int32_t EdgeY(const DrawContext* dc, int32_t y) {
    return static_cast<int32_t>(std::ceil(y * dc->sy - 0.5));
}

// Inside the selected region: its row span, or the exact test beyond the
// kept rows.
bool InRegion(const DrawContext* dc, int32_t x, int32_t y) {
    const RegionSpans* r = dc->region_spans;
    if (r == nullptr || y < 0 || y >= dc->span_rows) return DrawRegionContains(dc->region, x, y);
    for (int32_t i = 0; i < r->counts[y]; ++i) {
        if (x >= r->spans[y][i][0] && x < r->spans[y][i][1]) return true;
    }
    return false;
}

void Plot(DrawContext* dc, int32_t x, int32_t y, uint32_t colour, DrawRop2 rop) {
    if (x < dc->clip.left || x >= dc->clip.right || y < dc->clip.top || y >= dc->clip.bottom)
        return;
    if (dc->has_region && !InRegion(dc, x, y)) return;
    uint8_t* p = dc->pixels + static_cast<size_t>(y) * static_cast<size_t>(dc->stride) +
                 static_cast<size_t>(x) * 4;
    const auto r = static_cast<uint8_t>(colour & 0xFF);
    const auto g = static_cast<uint8_t>((colour >> 8) & 0xFF);
    const auto b = static_cast<uint8_t>((colour >> 16) & 0xFF);
    if (rop == DrawRop2::MergePen) {
        p[0] |= r;
        p[1] |= g;
        p[2] |= b;
    } else {
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
    p[3] = 255;
}

// Pixels [l, r) of a row set to (or ORed with) a pixel value R, G, B, A
// (little-endian word).
void FillRow(uint8_t* row, int32_t l, int32_t r, uint32_t px, bool merge) {
    l = std::max(l, 0);
    if (l >= r) return;
    uint8_t* p = row + static_cast<size_t>(l) * 4;
    const auto n = static_cast<size_t>(r - l);
    if (merge) {
        for (size_t i = 0; i < n; ++i, p += 4) {
            uint32_t v = 0;
            std::memcpy(&v, p, 4);
            v |= px;
            std::memcpy(p, &v, 4);
        }
        return;
    }
    // Four pixels a store.
    const uint32_t four[4] = {px, px, px, px};
    size_t i = 0;
    for (; i + 4 <= n; i += 4) std::memcpy(p + i * 4, four, 16);
    for (; i < n; ++i) std::memcpy(p + i * 4, &px, 4);
}

// Device-pixel span fill, clipped.
void Span(DrawContext* dc, int32_t left, int32_t right, int32_t top, int32_t bottom,
          uint32_t colour, DrawRop2 rop) {
    left = std::max(left, dc->clip.left);
    top = std::max(top, dc->clip.top);
    right = std::min(right, dc->clip.right);
    bottom = std::min(bottom, dc->clip.bottom);
    if (Reference()) {
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = left; x < right; ++x) Plot(dc, x, y, colour, rop);
        }
        return;
    }
    if (left >= right) return;
    const uint32_t px = (colour & 0xFFFFFFu) | 0xFF000000u;
    const bool merge = rop == DrawRop2::MergePen;
    const RegionSpans* spans = dc->has_region ? dc->region_spans : nullptr;
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* row = dc->pixels + static_cast<size_t>(y) * static_cast<size_t>(dc->stride);
        if (!dc->has_region) {
            FillRow(row, left, right, px, merge);
        } else if (spans != nullptr && y < dc->span_rows) {
            for (int32_t i = 0; i < spans->counts[y]; ++i) {
                FillRow(row, std::max(left, spans->spans[y][i][0]),
                        std::min(right, spans->spans[y][i][1]), px, merge);
            }
        } else {
            for (int32_t x = left; x < right; ++x) Plot(dc, x, y, colour, rop);
        }
    }
}

// Pen stamp: width-1 is one device pixel; wider pens a square of that many
// device pixels about the point.
void Stamp(DrawContext* dc, int32_t x, int32_t y, int32_t w, uint32_t colour) {
    if (w <= 1) {
        Plot(dc, x, y, colour, dc->rop);
        return;
    }
    const int32_t lo = -(w - 1) / 2;
    Span(dc, x + lo, x + lo + w, y + lo, y + lo + w, colour, dc->rop);
}

// Bresenham from (x0, y0) to (x1, y1), device pixels, end pixel left out.
void DeviceLine(DrawContext* dc, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t w,
                uint32_t colour) {
    const int32_t dx = std::abs(x1 - x0);
    const int32_t dy = -std::abs(y1 - y0);
    const int32_t stepx = x0 < x1 ? 1 : -1;
    const int32_t stepy = y0 < y1 ? 1 : -1;
    int32_t err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        Stamp(dc, x0, y0, w, colour);
        const int32_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += stepx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += stepy;
        }
    }
}

int32_t PenWidthDevice(const DrawContext* dc, const PoolObject* pen) {
    if (pen->width <= 1) return 1;
    return std::max(1, static_cast<int32_t>(std::lround(pen->width * dc->sx)));
}

void ApplySmoothMatrix(DrawContext* dc) {
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, 0.5 * dc->sx, 0.5 * dc->sy);
    cairo_matrix_scale(&m, dc->sx, dc->sy);
    if (dc->smooth_angle != 0 || dc->smooth_cx != 0 || dc->smooth_cy != 0 || dc->smooth_yoff != 0) {
        cairo_matrix_translate(&m, 0, -dc->smooth_yoff);
        cairo_matrix_translate(&m, dc->smooth_cx, dc->smooth_cy);
        cairo_matrix_rotate(&m, dc->smooth_angle * M_PI / 180.0);
        cairo_matrix_translate(&m, -dc->smooth_cx, -dc->smooth_cy);
    }
    cairo_set_matrix(dc->cr, &m);
}

// --- The smooth layer's rasteriser. Lines, rectangles and arcs become
// convex polygons in device pixels, split into trapezoids. Their coverage is
// sampled as pixman's trapezoid rasteriser samples it (smooth_raster.h) and
// composited in the colour row by row, cut to the clip rectangle and region
// in integer code: a single polygon straight from its row of cells, a shape
// of several (an arc's chords, which overlap) through the context's A8 mask.
// The reference path rasterises with pixman into the mask and composites
// through a one-pixel source. Nothing allocates.

struct DevPoint {
    double x, y;
};

// Logical to device pixels through the smooth transform: rotation about
// the centre, the upward shift, then the grid mapping (integer logical
// coordinates are pixel centres).
struct SmoothXform {
    double c = 1, s = 0, cx = 0, cy = 0, yoff = 0, sx = 1, sy = 1;
    bool turned = false;
    explicit SmoothXform(const DrawContext* dc)
        : cx(dc->smooth_cx), cy(dc->smooth_cy), yoff(dc->smooth_yoff), sx(dc->sx), sy(dc->sy) {
        turned = dc->smooth_angle != 0 || dc->smooth_cx != 0 || dc->smooth_cy != 0 ||
                 dc->smooth_yoff != 0;
        c = dc->smooth_cos;
        s = dc->smooth_sin;
    }
    DevPoint operator()(double x, double y) const {
        if (turned) {
            const double dx = x - cx, dy = y - cy;
            x = cx + dx * c - dy * s;
            y = cy + dx * s + dy * c - yoff;
        }
        return {(x + 0.5) * sx, (y + 0.5) * sy};
    }
};

pixman_fixed_t Fixed(double v) {
    // Far outside every surface: kept inside the 16.16 range.
    return pixman_double_to_fixed(std::clamp(v, -16000.0, 16000.0));
}

// The smooth layer's clip: a rectangle and maybe a region (with its row
// spans, or tested pixel by pixel where it has none).
struct SmoothClip {
    DrawRect rect{};
    bool has_region = false;
    const DrawRegion* region = nullptr;
    const RegionSpans* set = nullptr;
    int32_t span_rows = 0;
};

SmoothClip SmoothClipOf(const DrawContext* dc) {
    const bool own = dc->smooth_own;
    SmoothClip c;
    c.rect = own ? DrawRect{0, 0, dc->width, dc->height} : dc->clip;
    c.has_region = own ? dc->smooth_has_region : dc->has_region;
    c.region = own ? &dc->smooth_region : &dc->region;
    c.set = own ? dc->smooth_spans : dc->region_spans;
    c.span_rows = c.set != nullptr ? dc->span_rows : 0;
    return c;
}

// The box of the pixels the smooth layer's clip lets through.
DrawRect SmoothClipBox(const DrawContext* dc) {
    const SmoothClip c = SmoothClipOf(dc);
    DrawRect box = c.rect;
    if (c.has_region && c.set != nullptr) {
        box.left = std::max(box.left, c.set->box.left);
        box.top = std::max(box.top, c.set->box.top);
        box.right = std::min(box.right, c.set->box.right);
        box.bottom = std::min(box.bottom, c.set->box.bottom);
    }
    return box;
}

// Whether a shape within [x0, x1] x [y0, y1] (device pixels) surely
// covers nothing the smooth layer's clip lets through: its pixels' box
// (CutConvex's) misses the clip's box. False for bounds not numbers.
bool MissesSmoothClip(const DrawContext* dc, double x0, double y0, double x1, double y1) {
    const DrawRect keep = SmoothClipBox(dc);
    // The box runs from floor(x0) to ceil(x1) + 1, so from above x0 - 1 to
    // below x1 + 2.
    return x1 + 2 <= keep.left || x0 - 1 >= keep.right || y1 + 2 <= keep.top ||
           y0 - 1 >= keep.bottom;
}

void ExtendCoverage(DrawContext* dc, int32_t l, int32_t t, int32_t r, int32_t b) {
    if (dc->cov_right <= dc->cov_left) {
        dc->cov_left = l;
        dc->cov_top = t;
        dc->cov_right = r;
        dc->cov_bottom = b;
    } else {
        dc->cov_left = std::min(dc->cov_left, l);
        dc->cov_top = std::min(dc->cov_top, t);
        dc->cov_right = std::max(dc->cov_right, r);
        dc->cov_bottom = std::max(dc->cov_bottom, b);
    }
}

// A convex polygon of at most 8 points cut into bands between pairs of its
// edges, top to bottom (at most 7), in 16.16, and the box of its pixels.
struct ConvexBands {
    pixman_line_fixed_t lines[8];  // edge i: point i to point i + 1
    raster::Band bands[7];
    int32_t count = 0;
    DrawRect box{};
};

// Cuts the polygon; no bands when its box misses keep.
void CutConvex(const DrawContext* dc, const DevPoint* v, int32_t n, const DrawRect& keep,
               ConvexBands* out) {
    out->count = 0;
    out->box = {};
    if (n < 3 || n > 8) return;
    double ys[8];
    double min_x = v[0].x, max_x = v[0].x;
    for (int32_t i = 0; i < n; ++i) {
        if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y)) return;
        ys[i] = v[i].y;
        min_x = std::min(min_x, v[i].x);
        max_x = std::max(max_x, v[i].x);
    }
    if (n == 4) {  // a line's or a rectangle's: sorted without branches
        const double a = std::min(ys[0], ys[1]), b = std::max(ys[0], ys[1]);
        const double c = std::min(ys[2], ys[3]), d = std::max(ys[2], ys[3]);
        const double lo_hi = std::max(a, c), hi_lo = std::min(b, d);
        ys[0] = std::min(a, c);
        ys[1] = std::min(lo_hi, hi_lo);
        ys[2] = std::max(lo_hi, hi_lo);
        ys[3] = std::max(b, d);
    }
    for (int32_t i = 1; i < n && n != 4; ++i) {  // a few: sorted in place
        const double y = ys[i];
        int32_t j = i;
        for (; j > 0 && ys[j - 1] > y; --j) ys[j] = ys[j - 1];
        ys[j] = y;
    }
    DrawRect& box = out->box;
    box.left = std::clamp(static_cast<int32_t>(std::floor(min_x)), 0, dc->width);
    box.right = std::clamp(static_cast<int32_t>(std::ceil(max_x)) + 1, 0, dc->width);
    box.top = std::clamp(static_cast<int32_t>(std::floor(ys[0])), 0, dc->height);
    box.bottom = std::clamp(static_cast<int32_t>(std::ceil(ys[n - 1])) + 1, 0, dc->height);
    if (box.left >= box.right || box.top >= box.bottom) return;
    if (box.right <= keep.left || box.left >= keep.right || box.bottom <= keep.top ||
        box.top >= keep.bottom) {
        return;
    }
    pixman_point_fixed_t fixed[8];
    for (int32_t i = 0; i < n; ++i) fixed[i] = {Fixed(v[i].x), Fixed(v[i].y)};
    for (int32_t i = 0; i < n; ++i) out->lines[i] = {fixed[i], fixed[i + 1 < n ? i + 1 : 0]};
    for (int32_t k = 0; k + 1 < n; ++k) {
        const double y0 = ys[k], y1 = ys[k + 1];
        if (y1 - y0 < 1e-6) continue;
        const double ym = (y0 + y1) / 2;
        int32_t edges[2];
        double xs[2];
        int32_t found = 0;
        for (int32_t i = 0; i < n && found < 2; ++i) {
            const DevPoint& a = v[i];
            const DevPoint& c = v[i + 1 < n ? i + 1 : 0];
            if ((a.y < ym) == (c.y < ym)) continue;
            xs[found] = a.x + (ym - a.y) * (c.x - a.x) / (c.y - a.y);
            edges[found++] = i;
        }
        if (found < 2) continue;
        const int32_t li = xs[0] <= xs[1] ? edges[0] : edges[1];
        const int32_t ri = li == edges[0] ? edges[1] : edges[0];
        raster::Band& band = out->bands[out->count];
        band.top = std::max(Fixed(y0), pixman_int_to_fixed(0));
        band.bottom = std::min(Fixed(y1), pixman_int_to_fixed(dc->height) - 1);
        band.left = li;
        band.right = ri;
        if (out->lines[li].p1.y == out->lines[li].p2.y ||
            out->lines[ri].p1.y == out->lines[ri].p2.y || band.bottom <= band.top) {
            continue;
        }
        ++out->count;
    }
}

// The reference path: adds a convex polygon's coverage to the mask through
// pixman's trapezoid rasteriser.
void AddConvex(DrawContext* dc, const DevPoint* v, int32_t n) {
    if (dc->px_mask == nullptr) return;
    ConvexBands cut;
    CutConvex(dc, v, n, DrawRect{0, 0, dc->width, dc->height}, &cut);
    const DrawRect& box = cut.box;
    if (box.left >= box.right || box.top >= box.bottom) return;
    ExtendCoverage(dc, box.left, box.top, box.right, box.bottom);
    for (int32_t k = 0; k < cut.count; ++k) {
        const raster::Band& band = cut.bands[k];
        const pixman_trapezoid_t trap{band.top, band.bottom, cut.lines[band.left],
                                      cut.lines[band.right]};
        pixman_rasterize_trapezoid(dc->px_mask, &trap, 0, 0);
    }
}

// Widens the coverage box to a quadrilateral's bounds (for coverage that
// others write into the mask).
void CoverBox(DrawContext* dc, const DevPoint* q) {
    double x0 = q[0].x, x1 = q[0].x, y0 = q[0].y, y1 = q[0].y;
    for (int32_t i = 1; i < 4; ++i) {
        x0 = std::min(x0, q[i].x);
        x1 = std::max(x1, q[i].x);
        y0 = std::min(y0, q[i].y);
        y1 = std::max(y1, q[i].y);
    }
    if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1))
        return;
    const int32_t l = std::clamp(static_cast<int32_t>(std::floor(x0)), 0, dc->width);
    const int32_t r = std::clamp(static_cast<int32_t>(std::ceil(x1)) + 1, 0, dc->width);
    const int32_t t = std::clamp(static_cast<int32_t>(std::floor(y0)), 0, dc->height);
    const int32_t b = std::clamp(static_cast<int32_t>(std::ceil(y1)) + 1, 0, dc->height);
    if (l >= r || t >= b) return;
    ExtendCoverage(dc, l, t, r, b);
}

// A line one device pixel wide with square-cut ends. (Inlined: through a
// call the points went in halves to the stack and came back whole, which
// the processor cannot forward.)
[[gnu::always_inline]] inline bool LineQuad(DevPoint a, DevPoint b, DevPoint* q) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 1e-9)) return false;
    const double nx = -dy / len * 0.5, ny = dx / len * 0.5;
    q[0] = {a.x + nx, a.y + ny};
    q[1] = {b.x + nx, b.y + ny};
    q[2] = {b.x - nx, b.y - ny};
    q[3] = {a.x - nx, a.y - ny};
    return true;
}

void AddLine(DrawContext* dc, DevPoint a, DevPoint b) {
    DevPoint q[4];
    if (LineQuad(a, b, q)) AddConvex(dc, q, 4);
}

// Zeroes a mask row's coverage in [l, r) outside the spans (ascending,
// disjoint) cut to [clip_l, clip_r).
void MaskRowOutside(uint8_t* row, int32_t l, int32_t r, const int32_t (*spans)[2], int32_t count,
                    int32_t clip_l, int32_t clip_r) {
    int32_t x = l;
    for (int32_t i = 0; i < count && x < r; ++i) {
        const int32_t from = std::clamp(std::max(spans[i][0], clip_l), x, r);
        const int32_t to = std::clamp(std::min(spans[i][1], clip_r), from, r);
        std::memset(row + x, 0, static_cast<size_t>(from - x));
        x = to;
    }
    std::memset(row + x, 0, static_cast<size_t>(r - x));
}

// x * a / 255, rounded to nearest, for the two bytes at bits 0 and 16 of
// x (a in 0..255).
inline uint32_t MulPair(uint32_t x, uint32_t a) {
    const uint32_t t = (x & 0x00FF00FFu) * a + 0x00800080u;
    return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// The sums of two such pairs, each saturated at 255.
inline uint32_t AddPairs(uint32_t a, uint32_t b) {
    const uint32_t t = a + b;
    return (t | (0x01000100u - ((t >> 8) & 0x00FF00FFu))) & 0x00FF00FFu;
}

// An opaque colour over a pixel (R, G, B, A) through its coverage m
// (1..255): colour x m + pixel x (255 - m), each channel rounded, then
// saturated, as pixman's OVER of a solid source through an A8 mask. Red
// and blue go as one pair, green and alpha as another.
struct CoverPainter {
    uint32_t solid, rb, ga;
    explicit CoverPainter(uint32_t rgb)
        : solid(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16) | 0xFF000000u),
          rb(solid & 0x00FF00FFu),
          ga((solid >> 8) & 0x00FF00FFu) {}
    void operator()(uint8_t* p, uint32_t m) const {
        if (m == 255) {
            std::memcpy(p, &solid, 4);
            return;
        }
        const uint32_t inv = 255 - m;
        uint32_t d = 0;
        std::memcpy(&d, p, 4);
        const uint32_t out_rb = AddPairs(MulPair(d, inv), MulPair(rb, m));
        const uint32_t out_ga = AddPairs(MulPair(d >> 8, inv), MulPair(ga, m));
        d = out_rb | (out_ga << 8);
        std::memcpy(p, &d, 4);
    }
};

// Hands the pixel ranges [from, to) of row y within [x0, x1) that the
// smooth layer's clip lets through to range(from, to), left to right.
template <class Range>
void ForClipRanges(const SmoothClip& clip, int32_t y, int32_t x0, int32_t x1, Range&& range) {
    if (y < clip.rect.top || y >= clip.rect.bottom) return;
    const int32_t l = std::max(x0, clip.rect.left), r = std::min(x1, clip.rect.right);
    if (l >= r) return;
    if (!clip.has_region) {
        range(l, r);
    } else if (y < clip.span_rows) {
        // Swept left to right: a span's part left of where the last one
        // ended is not handed on again (a cut can leave spans overlapping).
        const int32_t(*spans)[2] = clip.set->spans[y];
        int32_t x = l;
        for (int32_t i = 0, n = clip.set->counts[y]; i < n && x < r; ++i) {
            const int32_t from = std::clamp(spans[i][0], x, r);
            const int32_t to = std::clamp(spans[i][1], from, r);
            if (from < to) range(from, to);
            x = to;
        }
    } else {
        for (int32_t x = l; x < r;) {
            if (!DrawRegionContains(*clip.region, x, y)) {
                ++x;
                continue;
            }
            const int32_t from = x;
            while (x < r && DrawRegionContains(*clip.region, x, y)) ++x;
            range(from, x);
        }
    }
}

// Composites one row of coverage: cov[x] in [a0, a1) and [b0, b1), m
// between them (any integer type, values 0..255), cut to the clip.
template <class Cov>
void CompositeRow(DrawContext* dc, const SmoothClip& clip, const CoverPainter& paint, int32_t y,
                  const Cov* cov, int32_t a0, int32_t a1, int32_t b0, int32_t b1, uint32_t m) {
    uint8_t* pixels = dc->pixels + static_cast<size_t>(y) * static_cast<size_t>(dc->stride);
    ForClipRanges(clip, y, a0, b1, [&](int32_t from, int32_t to) {
        for (int32_t x = from, e = std::min(to, a1); x < e; ++x) {
            if (cov[x] != 0) paint(pixels + static_cast<size_t>(x) * 4, cov[x]);
        }
        if (m != 0) {
            const int32_t e = std::min(to, b0);
            int32_t x = std::max(from, a1);
            if (m == 255) {
                for (; x < e; ++x)
                    std::memcpy(pixels + static_cast<size_t>(x) * 4, &paint.solid, 4);
            } else {
                for (; x < e; ++x) paint(pixels + static_cast<size_t>(x) * 4, m);
            }
        }
        for (int32_t x = std::max(from, b0); x < to; ++x) {
            if (cov[x] != 0) paint(pixels + static_cast<size_t>(x) * 4, cov[x]);
        }
    });
}

// Samples a convex polygon's coverage (nothing outside the clip's box) and
// hands each of its rows on, as row(y, a0, a1, b0, b1) over dc->cells.
template <class Row>
void SampleConvex(DrawContext* dc, const DevPoint* v, int32_t n, Row&& row) {
    if (dc->cells == nullptr) return;
    const DrawRect keep = SmoothClipBox(dc);
    ConvexBands cut;
    CutConvex(dc, v, n, keep, &cut);
    if (cut.count == 0) return;
    raster::Edge edges[8];  // those of the bands made, once each
    uint32_t made = 0;
    for (int32_t k = 0; k < cut.count; ++k) {
        for (const int32_t i : {cut.bands[k].left, cut.bands[k].right}) {
            if ((made >> i & 1) == 0) edges[i] = raster::MakeEdge(cut.lines[i]);
            made |= 1u << i;
        }
    }
    raster::SampleBands(edges, cut.bands, cut.count, dc->width, dc->height,
                        std::max(cut.box.top, keep.top), std::min(cut.box.bottom, keep.bottom),
                        keep.left, keep.right, dc->cells, row);
}

// Paints a row of coverage from the cells (see SampleBands) in the
// colour, cut to the clip, and clears them.
void PaintCellsRow(DrawContext* dc, const SmoothClip& clip, const CoverPainter& paint, int32_t y,
                   int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
    int32_t* cells = dc->cells;
    // The pixels the clip lets through in this row, where they are one
    // range [cl, cr) (or none).
    int32_t cl = clip.rect.left, cr = clip.rect.right;
    if (y < clip.rect.top || y >= clip.rect.bottom) {
        cr = cl;
    } else if (clip.has_region) {
        if (y >= clip.span_rows || clip.set->counts[y] > 1) cl = cr = -1;
        if (y < clip.span_rows && clip.set->counts[y] == 0) cr = cl;
        if (y < clip.span_rows && clip.set->counts[y] == 1) {
            cl = std::max(cl, clip.set->spans[y][0][0]);
            cr = std::min(cr, clip.set->spans[y][0][1]);
        }
    }
    if (cl >= 0) {
        // Summed, painted and cleared in one pass over the cells.
        uint8_t* pixels = dc->pixels + static_cast<size_t>(y) * static_cast<size_t>(dc->stride);
        const auto left = static_cast<uint32_t>(cl);
        const auto span = static_cast<uint32_t>(std::max(cr - cl, 0));
        int32_t s = 0;
        const auto sum = [&](int32_t from, int32_t to) {
            for (int32_t x = from; x < to; ++x) {
                s += cells[x];
                cells[x] = 0;
                if (s != 0 && static_cast<uint32_t>(x) - left < span) {
                    paint(pixels + static_cast<size_t>(x) * 4, static_cast<uint32_t>(s));
                }
            }
        };
        sum(a0, a1);
        if (s != 0) {
            const int32_t l = std::max(a1, cl), r = std::min(b0, cr);
            if (s == 255) {
                FillRow(pixels, l, r, paint.solid, false);
            } else {
                for (int32_t x = l; x < r; ++x)
                    paint(pixels + static_cast<size_t>(x) * 4, static_cast<uint32_t>(s));
            }
        }
        sum(b0, b1);
        return;
    }
    int32_t s = 0;
    for (int32_t x = a0; x < a1; ++x) {
        s += cells[x];
        cells[x] = s;
    }
    const int32_t m = s;
    for (int32_t x = b0; x < b1; ++x) {
        s += cells[x];
        cells[x] = s;
    }
    CompositeRow(dc, clip, paint, y, cells, a0, a1, b0, b1, static_cast<uint32_t>(m));
    std::fill(cells + a0, cells + a1, 0);
    std::fill(cells + b0, cells + b1, 0);
}

// Keeps a row of cells about to be painted in the colour in the context's
// keep; a row that does not fit ends the keeping.
void KeepRow(DrawContext* dc, uint32_t rgb, int32_t y, int32_t a0, int32_t a1, int32_t b0,
             int32_t b1) {
    SmoothKeep* keep = dc->keep;
    const int32_t n = (a1 - a0) + (b1 - b0);
    if (!keep->valid || keep->used + 6 + n > kSmoothKeepWords) {
        keep->valid = false;
        return;
    }
    int32_t* w = keep->words + keep->used;
    w[0] = y;
    w[1] = static_cast<int32_t>(rgb);
    w[2] = a0;
    w[3] = a1;
    w[4] = b0;
    w[5] = b1;
    std::copy(dc->cells + a0, dc->cells + a1, w + 6);
    std::copy(dc->cells + b0, dc->cells + b1, w + 6 + (a1 - a0));
    keep->used += 6 + n;
}

// Paints a convex polygon in the colour (0x00RRGGBB), its rows straight
// from the cells.
void PaintConvex(DrawContext* dc, const DevPoint* v, int32_t n, uint32_t rgb) {
    const SmoothClip clip = SmoothClipOf(dc);
    const CoverPainter paint(rgb);
    SampleConvex(dc, v, n, [&](int32_t y, int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
        if (dc->keep != nullptr) KeepRow(dc, rgb, y, a0, a1, b0, b1);
        PaintCellsRow(dc, clip, paint, y, a0, a1, b0, b1);
    });
}

// Adds a convex polygon's coverage to the mask, keeping each row's extent
// for PaintMaskRows.
void AddConvexRows(DrawContext* dc, const DevPoint* v, int32_t n) {
    int32_t* cells = dc->cells;
    SampleConvex(dc, v, n, [&](int32_t y, int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
        uint8_t* row =
            dc->mask_bits + static_cast<size_t>(y) * static_cast<size_t>(dc->mask_stride);
        int32_t s = 0;
        const auto add = [&](int32_t x) {
            if (s != 0) row[x] = static_cast<uint8_t>(std::min(255, row[x] + s));
        };
        for (int32_t x = a0; x < a1; ++x) {
            s += cells[x];
            cells[x] = 0;
            add(x);
        }
        for (int32_t x = a1; x < b0; ++x) add(x);
        for (int32_t x = b0; x < b1; ++x) {
            s += cells[x];
            cells[x] = 0;
            add(x);
        }
        // The last cell only ends the differences: no pixel of its own.
        const int32_t x1 = std::min(b1, dc->width);
        int32_t* extent = dc->row_extents + static_cast<size_t>(y) * 2;
        if (extent[1] <= extent[0]) {
            extent[0] = a0;
            extent[1] = x1;
        } else {
            extent[0] = std::min(extent[0], a0);
            extent[1] = std::max(extent[1], x1);
        }
        ExtendCoverage(dc, a0, y, x1, y + 1);
    });
}

// Composites the rows AddConvexRows filled in the colour (0x00RRGGBB) and
// clears them.
void PaintMaskRows(DrawContext* dc, uint32_t rgb) {
    if (dc->cov_right <= dc->cov_left) return;
    const SmoothClip clip = SmoothClipOf(dc);
    const CoverPainter paint(rgb);
    for (int32_t y = dc->cov_top; y < dc->cov_bottom; ++y) {
        int32_t* extent = dc->row_extents + static_cast<size_t>(y) * 2;
        if (extent[1] <= extent[0]) continue;
        uint8_t* row =
            dc->mask_bits + static_cast<size_t>(y) * static_cast<size_t>(dc->mask_stride);
        CompositeRow(dc, clip, paint, y, row, extent[0], extent[1], extent[1], extent[1], 0);
        std::memset(row + extent[0], 0, static_cast<size_t>(extent[1] - extent[0]));
        extent[0] = extent[1] = 0;
    }
    dc->cov_left = dc->cov_right = dc->cov_top = dc->cov_bottom = 0;
}

// The layer a coverage belongs to: lettering is cut by the context's clip,
// the smooth shapes by the smooth layer's own clip when it has one.
enum class CoverageLayer { Text, Smooth };

// Composites the mask's coverage in the colour (0x00RRGGBB) inside the
// layer's clip (through pixman on the reference path) and clears the mask.
void FlushCoverage(DrawContext* dc, uint32_t rgb, CoverageLayer layer = CoverageLayer::Text) {
    if (dc->px_mask == nullptr || dc->cov_right <= dc->cov_left) return;
    const bool own = layer == CoverageLayer::Smooth && dc->smooth_own;
    const DrawRect clip = own ? DrawRect{0, 0, dc->width, dc->height} : dc->clip;
    const bool has_region = own ? dc->smooth_has_region : dc->has_region;
    const DrawRegion& region = own ? dc->smooth_region : dc->region;
    const RegionSpans* set = own ? dc->smooth_spans : dc->region_spans;
    const int32_t span_rows = set != nullptr ? dc->span_rows : 0;
    const int32_t l = dc->cov_left, r = dc->cov_right;
    for (int32_t y = dc->cov_top; y < dc->cov_bottom; ++y) {
        uint8_t* row =
            dc->mask_bits + static_cast<size_t>(y) * static_cast<size_t>(dc->mask_stride);
        const int32_t whole[1][2] = {{clip.left, clip.right}};
        const bool clipped_row = y < clip.top || y >= clip.bottom;
        if (!has_region || clipped_row) {
            MaskRowOutside(row, l, r, whole, clipped_row ? 0 : 1, clip.left, clip.right);
        } else if (y < span_rows) {
            MaskRowOutside(row, l, r, set->spans[y], set->counts[y], clip.left, clip.right);
        } else {
            MaskRowOutside(row, l, r, whole, 1, clip.left, clip.right);
            for (int32_t x = l; x < r; ++x) {
                if (!DrawRegionContains(region, x, y)) row[x] = 0;
            }
        }
    }
    if (Reference() || dc->pixels == nullptr) {
        dc->solid_bits = 0xFF000000u | (rgb & 0xFFFFFFu);
        pixman_image_composite32(PIXMAN_OP_OVER, dc->px_solid, dc->px_mask, dc->px_dst, 0, 0, l,
                                 dc->cov_top, l, dc->cov_top, r - l, dc->cov_bottom - dc->cov_top);
        for (int32_t y = dc->cov_top; y < dc->cov_bottom; ++y) {
            std::memset(
                dc->mask_bits + static_cast<size_t>(y) * static_cast<size_t>(dc->mask_stride) + l,
                0, static_cast<size_t>(r - l));
        }
    } else {
        // The same OVER, pixel by pixel where the mask covers: a few
        // letters' boxes cost less so than a trip through pixman.
        const CoverPainter paint(rgb);
        for (int32_t y = dc->cov_top; y < dc->cov_bottom; ++y) {
            uint8_t* row =
                dc->mask_bits + static_cast<size_t>(y) * static_cast<size_t>(dc->mask_stride);
            uint8_t* pixels = dc->pixels + static_cast<size_t>(y) * static_cast<size_t>(dc->stride);
            for (int32_t x = l; x < r; ++x) {
                if (row[x] != 0) paint(pixels + static_cast<size_t>(x) * 4, row[x]);
            }
            std::memset(row + l, 0, static_cast<size_t>(r - l));
        }
    }
    dc->cov_left = dc->cov_right = dc->cov_top = dc->cov_bottom = 0;
}

// The region without its cuts: the polygon and the ellipse.
bool InRegionOutline(const DrawRegion& region, int32_t x, int32_t y);

// Takes [left, right) out of a row's ascending, disjoint spans.
void SubtractFromRow(int32_t (*spans)[2], int32_t* count, int32_t left, int32_t right) {
    int32_t out[kRowSpans][2];
    int32_t n = 0;
    for (int32_t i = 0; i < *count; ++i) {
        const int32_t a = spans[i][0], b = spans[i][1];
        if (right <= a || left >= b) {
            if (n < kRowSpans) out[n][0] = a, out[n][1] = b, ++n;
            continue;
        }
        if (a < left && n < kRowSpans) out[n][0] = a, out[n][1] = left, ++n;
        if (right < b && n < kRowSpans) out[n][0] = right, out[n][1] = b, ++n;
    }
    for (int32_t i = 0; i < n; ++i) spans[i][0] = out[i][0], spans[i][1] = out[i][1];
    *count = n;
}

// The spans of a region's first `rows` rows: its convex outline's span,
// analytic and then trimmed pixel by pixel at both ends to agree exactly
// with the outline test, less the cuts that cross the row.
void BuildRegionSpans(const DrawContext* dc, const DrawRegion& g, int32_t rows, int32_t* counts,
                      int32_t (*spans)[kRowSpans][2]) {
    rows = std::min({rows, dc->height, kSpanRows});
    for (int32_t y = 0; y < rows; ++y) {
        const double py = y + 0.5;
        double lo = -1e9, hi = 1e9;
        if (g.point_count > 0) {
            double a = 1e9, b = -1e9;
            const int32_t n = std::min(g.point_count, kDrawRegionMaxPoints);
            for (int32_t i = 0; i < n; ++i) {
                const DrawPoint& p0 = g.points[i];
                const DrawPoint& p1 = g.points[(i + 1) % n];
                if ((p0.y <= py) == (p1.y <= py)) continue;
                const double x = p0.x + (py - p0.y) * (p1.x - p0.x) / (p1.y - p0.y);
                a = std::min(a, x);
                b = std::max(b, x);
            }
            lo = std::max(lo, a);
            hi = std::min(hi, b);
        }
        if (g.has_ellipse) {
            const double rx = (g.ellipse.right - g.ellipse.left) / 2.0;
            const double ry = (g.ellipse.bottom - g.ellipse.top) / 2.0;
            const double d = ry > 0 ? (py - (g.ellipse.top + ry)) / ry : 2.0;
            if (rx <= 0 || std::abs(d) >= 1.0) {
                hi = lo;
            } else {
                const double half = rx * std::sqrt(1.0 - d * d);
                lo = std::max(lo, g.ellipse.left + rx - half);
                hi = std::min(hi, g.ellipse.left + rx + half);
            }
        }
        int32_t l = 0, r = 0;
        if (hi > lo) {
            l = std::clamp(static_cast<int32_t>(std::floor(lo - 0.5)) + 1, 0, dc->width);
            r = std::clamp(static_cast<int32_t>(std::ceil(hi - 0.5)), 0, dc->width);
            while (l > 0 && InRegionOutline(g, l - 1, y)) --l;
            while (l < r && !InRegionOutline(g, l, y)) ++l;
            while (r < dc->width && r > l && InRegionOutline(g, r, y)) ++r;
            while (r > l && !InRegionOutline(g, r - 1, y)) --r;
        }
        spans[y][0][0] = l;
        spans[y][0][1] = std::max(l, r);
        counts[y] = r > l ? 1 : 0;
        const int32_t cuts = std::min(g.cut_count, kDrawRegionMaxCuts);
        for (int32_t i = 0; i < cuts; ++i) {
            const DrawRect& c = g.cuts[i];
            if (y >= c.top && y < c.bottom) SubtractFromRow(spans[y], &counts[y], c.left, c.right);
        }
    }
}

}  // namespace

DrawContext* DrawContextCreate(uint8_t* pixels, int32_t width, int32_t height, int32_t stride) {
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4) return nullptr;
    auto* dc = new (std::nothrow) DrawContext;
    if (dc == nullptr) return nullptr;
    dc->pixels = pixels;
    dc->width = width;
    dc->height = height;
    dc->stride = stride;
    dc->clip = {0, 0, width, height};
    const int32_t span_rows = std::min(height, kSpanRows);
    dc->span_rows = span_rows;
    dc->stretch_map = new (std::nothrow) int32_t[kStretchColumns];
    for (RegionSpans& set : dc->span_sets) {
        set.counts = new (std::nothrow) int32_t[static_cast<size_t>(span_rows)];
        set.spans = new (std::nothrow) int32_t[static_cast<size_t>(span_rows)][kRowSpans][2];
        // Without them the regions are tested pixel by pixel.
        if (set.counts == nullptr || set.spans == nullptr) dc->span_rows = 0;
    }
    if (stride % 4 == 0) {
        dc->px_dst = pixman_image_create_bits(PIXMAN_a8b8g8r8, width, height,
                                              reinterpret_cast<uint32_t*>(pixels), stride);
        dc->px_mask = pixman_image_create_bits(PIXMAN_a8, width, height, nullptr, 0);
        dc->px_solid = pixman_image_create_bits(PIXMAN_a8r8g8b8, 1, 1, &dc->solid_bits, 4);
        if (dc->px_dst == nullptr || dc->px_mask == nullptr || dc->px_solid == nullptr) {
            for (pixman_image_t* i : {dc->px_dst, dc->px_mask, dc->px_solid}) {
                if (i != nullptr) pixman_image_unref(i);
            }
            dc->px_dst = dc->px_mask = dc->px_solid = nullptr;
        } else {
            pixman_image_set_repeat(dc->px_solid, PIXMAN_REPEAT_NORMAL);
            dc->mask_bits = reinterpret_cast<uint8_t*>(pixman_image_get_data(dc->px_mask));
            dc->mask_stride = pixman_image_get_stride(dc->px_mask);
            dc->cells = new (std::nothrow) int32_t[static_cast<size_t>(width) + 1]();
            dc->row_extents = new (std::nothrow) int32_t[static_cast<size_t>(height) * 2]();
            if (dc->cells == nullptr || dc->row_extents == nullptr) {
                delete[] dc->cells;
                delete[] dc->row_extents;
                dc->cells = dc->row_extents = nullptr;
            }
            // Lettering: Cairo writes the glyphs' coverage into the mask,
            // composited in the text colour like every smooth primitive.
            dc->cs = cairo_image_surface_create_for_data(dc->mask_bits, CAIRO_FORMAT_A8, width,
                                                         height, dc->mask_stride);
            dc->cr = cairo_create(dc->cs);
            if (cairo_status(dc->cr) != CAIRO_STATUS_SUCCESS) {
                cairo_destroy(dc->cr);
                cairo_surface_destroy(dc->cs);
                dc->cr = nullptr;
                dc->cs = nullptr;
            } else {
                cairo_set_antialias(dc->cr, CAIRO_ANTIALIAS_GOOD);
                ApplySmoothMatrix(dc);
            }
            dc->atlas = new (std::nothrow) uint8_t[kGlyphAtlasBytes];
            dc->scratch_cs =
                cairo_image_surface_create(CAIRO_FORMAT_A8, kGlyphScratch, kGlyphScratch);
            dc->scratch_cr = cairo_create(dc->scratch_cs);
            if (cairo_status(dc->scratch_cr) != CAIRO_STATUS_SUCCESS) {
                cairo_destroy(dc->scratch_cr);
                cairo_surface_destroy(dc->scratch_cs);
                dc->scratch_cr = nullptr;
                dc->scratch_cs = nullptr;
            }
        }
    }
    return dc;
}

bool DrawContextSetPixels(DrawContext* dc, uint8_t* pixels) {
    if (dc == nullptr || dc->pixels == nullptr || pixels == nullptr) return false;
    if (pixels == dc->pixels) return true;
    if (pixels == dc->other_pixels) {
        std::swap(dc->px_dst, dc->px_dst_other);
    } else if (dc->px_dst != nullptr) {
        pixman_image_t* image =
            pixman_image_create_bits(PIXMAN_a8b8g8r8, dc->width, dc->height,
                                     reinterpret_cast<uint32_t*>(pixels), dc->stride);
        if (image == nullptr) return false;
        if (dc->px_dst_other != nullptr) pixman_image_unref(dc->px_dst_other);
        dc->px_dst_other = dc->px_dst;
        dc->px_dst = image;
    }
    dc->other_pixels = dc->pixels;
    dc->pixels = pixels;
    return true;
}

DrawContext* DrawContextCreateRecording(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto* dc = new (std::nothrow) DrawContext;
    if (dc == nullptr) return nullptr;
    dc->width = width;
    dc->height = height;
    dc->clip = {0, 0, width, height};
    return dc;
}

void DrawContextDestroy(DrawContext* dc) {
    if (dc == nullptr) return;
    // Whatever it still holds, selected or kept in a saved state, is
    // released, so its objects can be deleted.
    for (DrawHandle h : {dc->pen, dc->brush, dc->font}) {
        if (PoolObject* o = Lookup(h)) o->selected.fetch_sub(1, std::memory_order_acq_rel);
    }
    for (int32_t i = 0; i < dc->saved_count; ++i) {
        for (DrawHandle h : {dc->saved[i].pen, dc->saved[i].brush, dc->saved[i].font}) {
            if (PoolObject* o = Lookup(h)) o->selected.fetch_sub(1, std::memory_order_acq_rel);
        }
    }
    delete[] dc->stretch_map;
    delete[] dc->cells;
    delete[] dc->row_extents;
    for (RegionSpans& set : dc->span_sets) {
        delete[] set.counts;
        delete[] set.spans;
    }
    if (dc->cr != nullptr) cairo_destroy(dc->cr);
    if (dc->cs != nullptr) cairo_surface_destroy(dc->cs);
    for (pixman_image_t* i : {dc->px_dst, dc->px_dst_other, dc->px_mask, dc->px_solid}) {
        if (i != nullptr) pixman_image_unref(i);
    }
    if (dc->scratch_cr != nullptr) cairo_destroy(dc->scratch_cr);
    if (dc->scratch_cs != nullptr) cairo_surface_destroy(dc->scratch_cs);
    delete[] dc->atlas;
    delete dc;
}

void DrawFillRect(DrawContext* dc, const DrawRect& rect, uint32_t colour) {
    if (dc == nullptr) return;
    if (dc->pixels == nullptr) {
        Record(dc, {DrawOp::FillRect, rect, colour});
        return;
    }
    Span(dc, EdgeX(dc, rect.left), EdgeX(dc, rect.right), EdgeY(dc, rect.top),
         EdgeY(dc, rect.bottom), colour, DrawRop2::CopyPen);
}

void DrawSetLogicalSize(DrawContext* dc, int32_t width, int32_t height) {
    if (dc == nullptr) return;
    DrawSetMapping(dc, width, height, dc->width, dc->height);
}

void DrawSetMapping(DrawContext* dc, int32_t window_width, int32_t window_height,
                    int32_t viewport_width, int32_t viewport_height) {
    if (dc == nullptr || window_width <= 0 || window_height <= 0 || viewport_width <= 0 ||
        viewport_height <= 0)
        return;
    dc->sx = static_cast<double>(viewport_width) / window_width;
    dc->sy = static_cast<double>(viewport_height) / window_height;
    if (dc->cr != nullptr) ApplySmoothMatrix(dc);
}

void DrawBeginPaint(DrawContext* dc) {
    if (dc == nullptr) return;
    dc->text_count = 0;
    dc->cur_x = 0;
    dc->cur_y = 0;
}

DrawHandle DrawCreatePen(int32_t width, uint32_t colour) {
    return Allocate(DrawObjectKind::Pen, colour & 0xFFFFFF, std::max(width, 1), nullptr, 0, 0, 0);
}

DrawHandle DrawCreateBrush(uint32_t colour) {
    return Allocate(DrawObjectKind::Brush, colour & 0xFFFFFF, 0, nullptr, 0, 0, 0);
}

DrawHandle DrawCreateFont(int32_t height, int32_t width, int32_t weight, const char*) {
    FontFace* f = LoadFace(weight >= 700);
    if (f == nullptr || height == 0) return 0;
    const double h = std::abs(height);
    const double yy = h * f->units_per_em / f->cell_units;
    const double xx =
        width > 0 && f->avg_width_units > 0 ? width * f->units_per_em / f->avg_width_units : yy;
    return Allocate(DrawObjectKind::Font, 0, 0, f, xx, yy, f->ascent_units * yy / f->units_per_em);
}

bool DrawDeleteObject(DrawHandle handle) {
    std::lock_guard lock(gPoolMutex);
    PoolObject* o = Lookup(handle);
    if (o == nullptr || o->selected.load(std::memory_order_acquire) > 0) return false;
    o->generation.store(0, std::memory_order_release);
    o->kind = DrawObjectKind::None;
    gLiveObjects.fetch_sub(1, std::memory_order_relaxed);
    return true;
}

DrawObjectKind DrawObjectKindOf(DrawHandle handle) {
    const PoolObject* o = Lookup(handle);
    return o != nullptr ? o->kind : DrawObjectKind::None;
}

uint32_t DrawObjectColour(DrawHandle handle) {
    const PoolObject* o = Lookup(handle);
    return o != nullptr ? o->colour : 0;
}

int32_t DrawLiveObjects() {
    return gLiveObjects.load(std::memory_order_relaxed);
}

DrawHandle DrawSelectObject(DrawContext* dc, DrawHandle handle) {
    if (dc == nullptr) return 0;
    PoolObject* o = Lookup(handle);
    if (o == nullptr) return 0;
    DrawHandle* slot = o->kind == DrawObjectKind::Pen     ? &dc->pen
                       : o->kind == DrawObjectKind::Brush ? &dc->brush
                                                          : &dc->font;
    // Selected already: it stays so, counted once.
    if (*slot == handle) return handle;
    o->selected.fetch_add(1, std::memory_order_acq_rel);
    // The object may have been deleted between the look-up and the count.
    if (Lookup(handle) == nullptr) {
        o->selected.fetch_sub(1, std::memory_order_acq_rel);
        return 0;
    }
    const DrawHandle previous = *slot;
    if (PoolObject* p = Lookup(previous)) p->selected.fetch_sub(1, std::memory_order_acq_rel);
    *slot = handle;
    return previous;
}

void DrawSetRop2(DrawContext* dc, DrawRop2 rop) {
    if (dc != nullptr) dc->rop = rop;
}

void DrawSetTextColour(DrawContext* dc, uint32_t colour) {
    if (dc != nullptr) dc->text_colour = colour & 0xFFFFFF;
}

void DrawSetTextAlign(DrawContext* dc, uint32_t align) {
    if (dc != nullptr) dc->text_align = align;
}

void DrawSetBkMode(DrawContext* dc, bool opaque) {
    if (dc != nullptr) dc->bk_opaque = opaque;
}

void DrawSetBkColour(DrawContext* dc, uint32_t colour) {
    if (dc != nullptr) dc->bk_colour = colour & 0xFFFFFF;
}

namespace {

// The context's clip: a rectangle of device pixels (the whole surface for
// none) or a region. The smooth layer's own clip is left as it is.
void SetDeviceClipRect(DrawContext* dc, const DrawRect& device) {
    dc->has_region = false;
    dc->clip = device;
    if (dc->cr != nullptr) {
        cairo_reset_clip(dc->cr);
        cairo_save(dc->cr);
        cairo_identity_matrix(dc->cr);
        cairo_rectangle(dc->cr, dc->clip.left, dc->clip.top,
                        std::max(0, dc->clip.right - dc->clip.left),
                        std::max(0, dc->clip.bottom - dc->clip.top));
        cairo_restore(dc->cr);
        cairo_clip(dc->cr);
    }
}

bool SameRegion(const DrawRegion& a, const DrawRegion& b) {
    if (a.point_count != b.point_count || a.has_ellipse != b.has_ellipse ||
        a.cut_count != b.cut_count)
        return false;
    const auto same_rect = [](const DrawRect& p, const DrawRect& q) {
        return p.left == q.left && p.top == q.top && p.right == q.right && p.bottom == q.bottom;
    };
    for (int32_t i = 0; i < std::clamp(a.point_count, 0, kDrawRegionMaxPoints); ++i) {
        if (a.points[i].x != b.points[i].x || a.points[i].y != b.points[i].y) return false;
    }
    if (a.has_ellipse && !same_rect(a.ellipse, b.ellipse)) return false;
    for (int32_t i = 0; i < std::clamp(a.cut_count, 0, kDrawRegionMaxCuts); ++i) {
        if (!same_rect(a.cuts[i], b.cuts[i])) return false;
    }
    return true;
}

// The region's row spans: kept ones, else built into a set neither clip
// uses now. Null when the context keeps no spans.
const RegionSpans* SpansOf(DrawContext* dc, const DrawRegion& region) {
    if (dc->span_rows == 0) return nullptr;
    if (!Reference()) {
        for (const RegionSpans& set : dc->span_sets) {
            if (set.valid && SameRegion(set.region, region)) return &set;
        }
    }
    RegionSpans* set = &dc->span_sets[dc->next_set];
    for (int32_t i = 0; i < kRegionSets; ++i) {
        set = &dc->span_sets[(dc->next_set + i) % kRegionSets];
        if (set != dc->region_spans && set != dc->smooth_spans) break;
    }
    dc->next_set = static_cast<int32_t>(set - dc->span_sets + 1) % kRegionSets;
    BuildRegionSpans(dc, region, dc->span_rows, set->counts, set->spans);
    set->region = region;
    set->valid = true;
    // The box of its spans (the whole surface when rows are beyond them).
    set->box = {dc->width, dc->height, 0, 0};
    for (int32_t y = 0; y < dc->span_rows; ++y) {
        if (set->counts[y] == 0) continue;
        set->box.left = std::min(set->box.left, set->spans[y][0][0]);
        set->box.right = std::max(set->box.right, set->spans[y][set->counts[y] - 1][1]);
        set->box.top = std::min(set->box.top, y);
        set->box.bottom = y + 1;
    }
    if (dc->span_rows < dc->height) set->box = {0, 0, dc->width, dc->height};
    return set;
}

void SetClipRegion(DrawContext* dc, const DrawRegion& region) {
    dc->clip = {0, 0, dc->width, dc->height};
    dc->has_region = true;
    dc->region = region;
    if (dc->pixels == nullptr) return;
    dc->region_spans = SpansOf(dc, region);
    // Every smooth primitive and text is cut to the spans when its
    // coverage is composited; Cairo only letters into the mask.
    if (dc->cr != nullptr) cairo_reset_clip(dc->cr);
}

}  // namespace

void DrawSetClipRect(DrawContext* dc, const DrawRect& rect) {
    if (dc == nullptr) return;
    dc->smooth_own = false;
    SetDeviceClipRect(dc, {std::clamp(EdgeX(dc, rect.left), 0, dc->width),
                           std::clamp(EdgeY(dc, rect.top), 0, dc->height),
                           std::clamp(EdgeX(dc, rect.right), 0, dc->width),
                           std::clamp(EdgeY(dc, rect.bottom), 0, dc->height)});
}

void DrawResetClip(DrawContext* dc) {
    if (dc == nullptr) return;
    dc->smooth_own = false;
    dc->clip = {0, 0, dc->width, dc->height};
    dc->has_region = false;
    if (dc->cr != nullptr) cairo_reset_clip(dc->cr);
}

void DrawSetSmoothClip(DrawContext* dc, const DrawRegion& region) {
    if (dc == nullptr) return;
    dc->smooth_own = true;
    dc->smooth_has_region = true;
    dc->smooth_region = region;
    if (dc->pixels != nullptr) dc->smooth_spans = SpansOf(dc, region);
}

void DrawResetSmoothClip(DrawContext* dc) {
    if (dc == nullptr) return;
    dc->smooth_own = true;
    dc->smooth_has_region = false;
}

int32_t DrawSaveState(DrawContext* dc) {
    if (dc == nullptr || dc->saved_count >= kDrawStateDepth) return 0;
    SavedDrawState& s = dc->saved[dc->saved_count];
    s.pen = dc->pen;
    s.brush = dc->brush;
    s.font = dc->font;
    // Kept: counted as selected until the state is restored.
    for (DrawHandle h : {s.pen, s.brush, s.font}) {
        if (PoolObject* o = Lookup(h)) o->selected.fetch_add(1, std::memory_order_acq_rel);
    }
    s.rop = dc->rop;
    s.text_colour = dc->text_colour;
    s.text_align = dc->text_align;
    s.bk_opaque = dc->bk_opaque;
    s.bk_colour = dc->bk_colour;
    s.clip = dc->clip;
    s.has_region = dc->has_region;
    s.region = dc->region;
    s.cur_x = dc->cur_x;
    s.cur_y = dc->cur_y;
    return ++dc->saved_count;
}

bool DrawRestoreState(DrawContext* dc) {
    if (dc == nullptr || dc->saved_count == 0) return false;
    const SavedDrawState& s = dc->saved[--dc->saved_count];
    // The objects selected now are released; the kept ones take their
    // places with the count they were kept with.
    for (DrawHandle h : {dc->pen, dc->brush, dc->font}) {
        if (PoolObject* o = Lookup(h)) o->selected.fetch_sub(1, std::memory_order_acq_rel);
    }
    dc->pen = s.pen;
    dc->brush = s.brush;
    dc->font = s.font;
    dc->rop = s.rop;
    dc->text_colour = s.text_colour;
    dc->text_align = s.text_align;
    dc->bk_opaque = s.bk_opaque;
    dc->bk_colour = s.bk_colour;
    if (s.has_region) {
        SetClipRegion(dc, s.region);
    } else {
        SetDeviceClipRect(dc, s.clip);
    }
    dc->cur_x = s.cur_x;
    dc->cur_y = s.cur_y;
    return true;
}

bool DrawRegionPolygon(DrawRegion* out, const DrawPoint* points, int32_t count) {
    if (out == nullptr || points == nullptr || count < 3 || count > kDrawRegionMaxPoints)
        return false;
    *out = DrawRegion{};
    out->point_count = count;
    for (int32_t i = 0; i < count; ++i) out->points[i] = points[i];
    return true;
}

DrawRegion DrawRegionEllipse(const DrawRect& box) {
    DrawRegion r{};
    r.has_ellipse = true;
    r.ellipse = box;
    return r;
}

DrawRegion DrawRegionRect(const DrawRect& rect) {
    const DrawPoint p[4] = {{rect.left, rect.top},
                            {rect.right, rect.top},
                            {rect.right, rect.bottom},
                            {rect.left, rect.bottom}};
    DrawRegion r{};
    DrawRegionPolygon(&r, p, 4);
    return r;
}

bool DrawRegionAnd(DrawRegion* out, const DrawRegion& a, const DrawRegion& b) {
    if (out == nullptr) return false;
    const DrawRegion* poly = a.point_count > 0 && !a.has_ellipse ? &a : &b;
    const DrawRegion* ell = poly == &a ? &b : &a;
    if (poly->point_count == 0 || poly->has_ellipse || !ell->has_ellipse || ell->point_count > 0)
        return false;
    if (poly->cut_count + ell->cut_count > kDrawRegionMaxCuts) return false;
    DrawRegion r = *poly;
    r.has_ellipse = true;
    r.ellipse = ell->ellipse;
    for (int32_t i = 0; i < ell->cut_count; ++i) r.cuts[r.cut_count++] = ell->cuts[i];
    *out = r;
    return true;
}

bool DrawRegionSubtractRect(DrawRegion* out, const DrawRegion& region, const DrawRect& rect) {
    if (out == nullptr || (region.point_count == 0 && !region.has_ellipse) ||
        region.cut_count < 0 || region.cut_count >= kDrawRegionMaxCuts)
        return false;
    DrawRegion r = region;
    r.cuts[r.cut_count++] = rect;
    *out = r;
    return true;
}

bool DrawRegionContains(const DrawRegion& region, int32_t x, int32_t y) {
    if (!InRegionOutline(region, x, y)) return false;
    const int32_t cuts = std::min(region.cut_count, kDrawRegionMaxCuts);
    for (int32_t i = 0; i < cuts; ++i) {
        const DrawRect& c = region.cuts[i];
        if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) return false;
    }
    return true;
}

namespace {

bool InRegionOutline(const DrawRegion& region, int32_t x, int32_t y) {
    if (region.point_count == 0 && !region.has_ellipse) return false;
    const double px = x + 0.5, py = y + 0.5;
    if (region.has_ellipse) {
        const DrawRect& e = region.ellipse;
        const double rx = (e.right - e.left) / 2.0, ry = (e.bottom - e.top) / 2.0;
        if (rx <= 0 || ry <= 0) return false;
        const double dx = (px - (e.left + rx)) / rx, dy = (py - (e.top + ry)) / ry;
        if (dx * dx + dy * dy >= 1.0) return false;
    }
    if (region.point_count > 0) {
        // Winding number of the pixel centre.
        int32_t winding = 0;
        const int32_t n = std::min(region.point_count, kDrawRegionMaxPoints);
        for (int32_t i = 0; i < n; ++i) {
            const DrawPoint& p0 = region.points[i];
            const DrawPoint& p1 = region.points[(i + 1) % n];
            const double cross =
                (p1.x - p0.x) * (py - p0.y) - (px - p0.x) * static_cast<double>(p1.y - p0.y);
            if (p0.y <= py) {
                if (p1.y > py && cross > 0) ++winding;
            } else if (p1.y <= py && cross < 0) {
                --winding;
            }
        }
        if (winding == 0) return false;
    }
    return true;
}

}  // namespace

void DrawSelectClipRegion(DrawContext* dc, const DrawRegion& region) {
    if (dc == nullptr) return;
    dc->smooth_own = false;
    SetClipRegion(dc, region);
}

void DrawMoveTo(DrawContext* dc, int32_t x, int32_t y) {
    if (dc == nullptr) return;
    dc->cur_x = x;
    dc->cur_y = y;
}

void DrawLineTo(DrawContext* dc, int32_t x, int32_t y) {
    if (dc == nullptr) return;
    const PoolObject* pen = Lookup(dc->pen);
    if (dc->pixels == nullptr) {
        Record(dc, {DrawOp::LineTo, {dc->cur_x, dc->cur_y, x, y}, pen ? pen->colour : 0});
    } else if (pen != nullptr) {
        const int32_t x0 = DevX(dc, dc->cur_x), y0 = DevY(dc, dc->cur_y);
        const int32_t x1 = DevX(dc, x), y1 = DevY(dc, y);
        const int32_t w = PenWidthDevice(dc, pen);
        // Its stamps lie within w pixels of its ends' box: drawn only when
        // that meets the clip.
        if (std::max(x0, x1) + w > dc->clip.left && std::min(x0, x1) - w < dc->clip.right &&
            std::max(y0, y1) + w > dc->clip.top && std::min(y0, y1) - w < dc->clip.bottom) {
            DeviceLine(dc, x0, y0, x1, y1, w, pen->colour);
        }
    }
    dc->cur_x = x;
    dc->cur_y = y;
}

void DrawSetPixel(DrawContext* dc, int32_t x, int32_t y, uint32_t colour) {
    if (dc == nullptr) return;
    if (dc->pixels == nullptr) {
        Record(dc, {DrawOp::SetPixel, {x, y, x + 1, y + 1}, colour & 0xFFFFFF});
        return;
    }
    Span(dc, EdgeX(dc, x), EdgeX(dc, x + 1), EdgeY(dc, y), EdgeY(dc, y + 1), colour,
         DrawRop2::CopyPen);
}

void DrawRectangle(DrawContext* dc, const DrawRect& rect) {
    if (dc == nullptr) return;
    const PoolObject* pen = Lookup(dc->pen);
    const PoolObject* brush = Lookup(dc->brush);
    if (dc->pixels == nullptr) {
        Record(dc, {DrawOp::Rectangle, rect, pen ? pen->colour : 0, brush ? brush->colour : ~0u});
        return;
    }
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    const int32_t l = EdgeX(dc, rect.left), r = EdgeX(dc, rect.right);
    const int32_t t = EdgeY(dc, rect.top), b = EdgeY(dc, rect.bottom);
    if (brush != nullptr) Span(dc, l, r, t, b, brush->colour, dc->rop);
    if (pen != nullptr) {
        // The outline inside the rectangle: its last column and row are the
        // ones before right and bottom.
        const int32_t w = PenWidthDevice(dc, pen);
        Span(dc, l, r, t, t + w, pen->colour, dc->rop);
        Span(dc, l, r, b - w, b, pen->colour, dc->rop);
        Span(dc, l, l + w, t, b, pen->colour, dc->rop);
        Span(dc, r - w, r, t, b, pen->colour, dc->rop);
    }
}

void DrawFillRectBrush(DrawContext* dc, const DrawRect& rect, DrawHandle brush) {
    const PoolObject* o = Lookup(brush);
    if (o == nullptr || o->kind != DrawObjectKind::Brush) return;
    DrawFillRect(dc, rect, o->colour);
}

void DrawPolygon(DrawContext* dc, const DrawPoint* points, int32_t count) {
    if (dc == nullptr || points == nullptr || count < 2) return;
    constexpr int32_t kMaxPoints = 64;
    count = std::min(count, kMaxPoints);
    const PoolObject* pen = Lookup(dc->pen);
    const PoolObject* brush = Lookup(dc->brush);
    if (dc->pixels == nullptr) {
        DrawRect box{points[0].x, points[0].y, points[0].x, points[0].y};
        for (int32_t i = 1; i < count; ++i) {
            box.left = std::min(box.left, points[i].x);
            box.top = std::min(box.top, points[i].y);
            box.right = std::max(box.right, points[i].x);
            box.bottom = std::max(box.bottom, points[i].y);
        }
        Record(dc, {DrawOp::Polygon, box, pen ? pen->colour : 0, static_cast<uint32_t>(count)});
        return;
    }
    double px[kMaxPoints], py[kMaxPoints];
    double top = 1e9, bottom = -1e9;
    for (int32_t i = 0; i < count; ++i) {
        px[i] = DevX(dc, points[i].x);
        py[i] = DevY(dc, points[i].y);
        top = std::min(top, py[i]);
        bottom = std::max(bottom, py[i]);
    }
    if (brush != nullptr) {
        // Even-odd scan conversion at pixel centres.
        const int32_t y0 = std::max(static_cast<int32_t>(top), dc->clip.top);
        const int32_t y1 = std::min(static_cast<int32_t>(bottom), dc->clip.bottom - 1);
        for (int32_t y = y0; y <= y1; ++y) {
            double xs[kMaxPoints];
            int32_t n = 0;
            for (int32_t i = 0; i < count; ++i) {
                const int32_t j = (i + 1) % count;
                const double ya = py[i], yb = py[j];
                if ((ya <= y && yb > y) || (yb <= y && ya > y)) {
                    xs[n++] = px[i] + (y - ya) * (px[j] - px[i]) / (yb - ya);
                }
            }
            std::sort(xs, xs + n);
            for (int32_t k = 0; k + 1 < n; k += 2) {
                Span(dc, static_cast<int32_t>(std::ceil(xs[k])),
                     static_cast<int32_t>(std::ceil(xs[k + 1])), y, y + 1, brush->colour, dc->rop);
            }
        }
    }
    if (pen != nullptr) {
        const int32_t w = PenWidthDevice(dc, pen);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t j = (i + 1) % count;
            DeviceLine(dc, static_cast<int32_t>(px[i]), static_cast<int32_t>(py[i]),
                       static_cast<int32_t>(px[j]), static_cast<int32_t>(py[j]), w, pen->colour);
        }
    }
}

namespace {

// Renders one glyph into the scratch surface and keeps its inked part.
bool CacheGlyph(DrawContext* dc, GlyphEntry& e, const PoolObject* font, int32_t ch) {
    cairo_glyph_t g{FT_Get_Char_Index(font->face->ft, static_cast<FT_ULong>(ch)), 0, 0};
    cairo_text_extents_t ext;
    cairo_scaled_font_glyph_extents(cairo_get_scaled_font(dc->scratch_cr), &g, 1, &ext);
    e.advance = ext.x_advance;
    cairo_surface_flush(dc->scratch_cs);
    uint8_t* data = cairo_image_surface_get_data(dc->scratch_cs);
    const int32_t stride = cairo_image_surface_get_stride(dc->scratch_cs);
    std::memset(data, 0, static_cast<size_t>(stride) * kGlyphScratch);
    cairo_surface_mark_dirty(dc->scratch_cs);
    g.x = 32.0 / dc->sx;
    g.y = 96.0 / dc->sy;
    cairo_show_glyphs(dc->scratch_cr, &g, 1);
    cairo_surface_flush(dc->scratch_cs);
    int32_t l = kGlyphScratch, r = 0, t = kGlyphScratch, b = 0;
    for (int32_t y = 0; y < kGlyphScratch; ++y) {
        for (int32_t x = 0; x < kGlyphScratch; ++x) {
            if (data[y * stride + x] == 0) continue;
            l = std::min(l, x);
            r = std::max(r, x + 1);
            t = std::min(t, y);
            b = std::max(b, y + 1);
        }
    }
    e.w = e.h = 0;
    e.left = e.top = 0;
    if (r <= l) return true;  // a blank
    const int32_t size = (r - l) * (b - t);
    if (dc->atlas_used + size > kGlyphAtlasBytes) return false;
    e.offset = dc->atlas_used;
    e.w = static_cast<int16_t>(r - l);
    e.h = static_cast<int16_t>(b - t);
    e.left = static_cast<int16_t>(l - 32);
    e.top = static_cast<int16_t>(t - 96);
    for (int32_t y = t; y < b; ++y) {
        std::memcpy(dc->atlas + dc->atlas_used + (y - t) * e.w, data + y * stride + l,
                    static_cast<size_t>(e.w));
    }
    dc->atlas_used += size;
    return true;
}

// The cached glyphs of the font at the context's scale, made on first use
// (null when the context cannot keep them).
const GlyphFont* GlyphCacheFor(DrawContext* dc, DrawHandle handle, const PoolObject* font) {
    if (dc->atlas == nullptr || dc->scratch_cr == nullptr) return nullptr;
    for (int32_t i = 0; i < dc->glyph_font_count; ++i) {
        const GlyphFont& f = dc->glyph_fonts[i];
        if (f.font == handle && f.sx == dc->sx && f.sy == dc->sy) return &f;
    }
    if (dc->glyph_font_count == kGlyphFonts) {
        dc->glyph_font_count = 0;
        dc->atlas_used = 0;
    }
    GlyphFont& f = dc->glyph_fonts[dc->glyph_font_count];
    f.font = handle;
    f.sx = dc->sx;
    f.sy = dc->sy;
    cairo_matrix_t fm;
    cairo_matrix_init_scale(&fm, font->xx, font->yy);
    cairo_identity_matrix(dc->scratch_cr);
    cairo_scale(dc->scratch_cr, dc->sx, dc->sy);
    cairo_set_font_face(dc->scratch_cr, font->face->cairo);
    cairo_set_font_matrix(dc->scratch_cr, &fm);
    cairo_set_source_rgb(dc->scratch_cr, 0, 0, 0);
    f.ink_top = f.ink_bottom = 0;
    for (int32_t k = 0; k < kGlyphCount; ++k) {
        GlyphEntry& e = f.glyphs[k];
        if (!CacheGlyph(dc, e, font, GlyphChar(k))) return nullptr;
        if (e.w == 0) continue;
        f.ink_top = std::min<int32_t>(f.ink_top, e.top);
        f.ink_bottom = std::max<int32_t>(f.ink_bottom, e.top + e.h);
    }
    ++dc->glyph_font_count;
    return &f;
}

// Adds a cached glyph's coverage to the mask with its pen at (px, py).
void AddGlyph(DrawContext* dc, const GlyphEntry& e, int32_t px, int32_t py) {
    if (e.w == 0) return;
    const int32_t x0 = px + e.left, y0 = py + e.top;
    const DevPoint box[4] = {{static_cast<double>(x0), static_cast<double>(y0)},
                             {static_cast<double>(x0 + e.w - 1), static_cast<double>(y0)},
                             {static_cast<double>(x0 + e.w - 1), static_cast<double>(y0 + e.h - 1)},
                             {static_cast<double>(x0), static_cast<double>(y0 + e.h - 1)}};
    CoverBox(dc, box);
    for (int32_t y = std::max(0, y0); y < std::min(dc->height, y0 + e.h); ++y) {
        const uint8_t* src = dc->atlas + e.offset + (y - y0) * e.w;
        uint8_t* row =
            dc->mask_bits + static_cast<size_t>(y) * static_cast<size_t>(dc->mask_stride);
        for (int32_t x = std::max(0, x0); x < std::min(dc->width, x0 + e.w); ++x) {
            row[x] = static_cast<uint8_t>(std::min(255, row[x] + src[x - x0]));
        }
    }
}

// The text's placement: its logical left edge and baseline for the width.
void TextOrigin(const DrawContext* dc, const PoolObject* font, int32_t x, int32_t y, double width,
                double* ox, double* oy) {
    *ox = x - 0.5;
    if ((dc->text_align & 6) == kDrawTaCenter) {
        *ox -= width / 2;
    } else if ((dc->text_align & 6) == kDrawTaRight) {
        *ox -= width;
    }
    *oy = (dc->text_align & kDrawTaBaseline) == kDrawTaBaseline ? y : y - 0.5 + font->ascent;
}

void OpaqueCell(DrawContext* dc, const PoolObject* font, double ox, double oy, double width) {
    const double cell = font->yy * font->face->cell_units / font->face->units_per_em;
    const double top = oy - font->ascent;
    Span(dc, static_cast<int32_t>(std::lround((ox + 0.5) * dc->sx)),
         static_cast<int32_t>(std::lround((ox + width + 0.5) * dc->sx)),
         static_cast<int32_t>(std::lround((top + 0.5) * dc->sy)),
         static_cast<int32_t>(std::lround((top + cell + 0.5) * dc->sy)), dc->bk_colour,
         DrawRop2::CopyPen);
}

// The lettering's clip: the context's rectangle and region.
SmoothClip TextClipOf(const DrawContext* dc) {
    SmoothClip c;
    c.rect = dc->clip;
    c.has_region = dc->has_region;
    c.region = &dc->region;
    c.set = dc->region_spans;
    c.span_rows = c.set != nullptr ? dc->span_rows : 0;
    return c;
}

// Composites a cached glyph with its pen at (px, py) straight from the
// atlas, cut to the clip: what adding it to an empty mask and flushing that
// paints.
void PaintGlyph(DrawContext* dc, const SmoothClip& clip, const CoverPainter& paint,
                const GlyphEntry& e, int32_t px, int32_t py) {
    const int32_t x0 = px + e.left, y0 = py + e.top;
    const int32_t top = std::max({y0, clip.rect.top, 0});
    const int32_t bottom = std::min({y0 + e.h, clip.rect.bottom, dc->height});
    const int32_t left = std::max(x0, 0), right = std::min(x0 + e.w, dc->width);
    for (int32_t y = top; y < bottom; ++y) {
        const uint8_t* src = dc->atlas + e.offset + (y - y0) * e.w - x0;
        uint8_t* pixels = dc->pixels + static_cast<size_t>(y) * static_cast<size_t>(dc->stride);
        ForClipRanges(clip, y, left, right, [&](int32_t from, int32_t to) {
            for (int32_t x = from; x < to; ++x) {
                if (src[x] != 0) paint(pixels + static_cast<size_t>(x) * 4, src[x]);
            }
        });
    }
}

void CachedText(DrawContext* dc, int32_t x, int32_t y, const char* text, int32_t count,
                const GlyphFont& cache, const PoolObject* font) {
    double width = 0;
    for (int32_t i = 0; i < count; ++i) {
        width += cache.glyphs[GlyphSlot(static_cast<unsigned char>(text[i]))].advance;
    }
    double ox = 0, oy = 0;
    TextOrigin(dc, font, x, y, width, &ox, &oy);
    if (dc->bk_opaque) OpaqueCell(dc, font, ox, oy, width);
    const auto py = static_cast<int32_t>(std::lround((oy + 0.5) * dc->sy));
    // Nothing to paint when the clip leaves out every row it could ink (and
    // no coverage waits in the mask).
    const bool pending = dc->cov_right > dc->cov_left;
    if (!pending &&
        (py + cache.ink_bottom <= dc->clip.top || py + cache.ink_top >= dc->clip.bottom)) {
        return;
    }
    const auto pen_x = [&](double pen) {
        return static_cast<int32_t>(std::lround((pen + 0.5) * dc->sx));
    };
    const uint32_t c = dc->text_colour;
    const uint32_t rgb = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    // Glyphs side by side, sharing no pixel, with no coverage waiting in the
    // mask: each is composited on its own, which paints what their summed
    // coverage would.
    constexpr int32_t kApartGlyphs = 64;
    int32_t pens[kApartGlyphs];
    bool apart = !Reference() && !pending && count <= kApartGlyphs;
    double pen = ox;
    int32_t inked_right = INT32_MIN;
    for (int32_t i = 0; i < count && apart; ++i) {
        const GlyphEntry& e = cache.glyphs[GlyphSlot(static_cast<unsigned char>(text[i]))];
        pens[i] = pen_x(pen);
        if (e.w != 0) {
            const int32_t x0 = pens[i] + e.left;
            apart = x0 >= inked_right;
            inked_right = x0 + e.w;
        }
        pen += e.advance;
    }
    if (apart) {
        const SmoothClip clip = TextClipOf(dc);
        const CoverPainter paint(rgb);
        for (int32_t i = 0; i < count; ++i) {
            const GlyphEntry& e = cache.glyphs[GlyphSlot(static_cast<unsigned char>(text[i]))];
            if (e.w != 0) PaintGlyph(dc, clip, paint, e, pens[i], py);
        }
        return;
    }
    pen = ox;
    for (int32_t i = 0; i < count; ++i) {
        const GlyphEntry& e = cache.glyphs[GlyphSlot(static_cast<unsigned char>(text[i]))];
        AddGlyph(dc, e, pen_x(pen), py);
        pen += e.advance;
    }
    FlushCoverage(dc, rgb);
}

}  // namespace

void DrawTextOut(DrawContext* dc, int32_t x, int32_t y, const char* text, int32_t count) {
    if (dc == nullptr || text == nullptr || count <= 0) return;
    int32_t length = 0;  // (a call costs more than the few characters)
    while (length < count && text[length] != '\0') ++length;
    count = length;
    if (dc->text_count < kDrawTextCapacity) {
        DrawTextEntry& e = dc->texts[dc->text_count++];
        const size_t n = std::min(static_cast<size_t>(count), sizeof e.text - 1);
        // The whole entry is defined: the text, then zeros to its end.
        std::memcpy(e.text, text, n);
        std::memset(e.text + n, 0, sizeof e.text - n);
        e.x = x;
        e.y = y;
        e.colour = dc->text_colour;
        e.font = dc->font;
    }
    if (dc->pixels == nullptr) {
        Record(dc, {DrawOp::TextOut, {x, y, x, y}, dc->text_colour, static_cast<uint32_t>(count)});
        return;
    }
    const PoolObject* font = Lookup(dc->font);
    if (font == nullptr || dc->cr == nullptr) return;
    bool printable = true;
    for (int32_t i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        printable = printable && GlyphSlot(c) >= 0;
    }
    const GlyphFont* cached = printable ? GlyphCacheFor(dc, dc->font, font) : nullptr;
    if (cached != nullptr) {
        CachedText(dc, x, y, text, count, *cached, font);
        return;
    }
    constexpr int32_t kMaxGlyphs = 64;
    cairo_glyph_t glyphs[kMaxGlyphs];
    const int32_t n = std::min(count, kMaxGlyphs);
    cairo_matrix_t fm;
    cairo_matrix_init_scale(&fm, font->xx, font->yy);
    cairo_set_font_face(dc->cr, font->face->cairo);
    cairo_set_font_matrix(dc->cr, &fm);
    cairo_scaled_font_t* sf = cairo_get_scaled_font(dc->cr);
    double pen_x = 0;
    for (int32_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        glyphs[i].index = FT_Get_Char_Index(font->face->ft, c);
        glyphs[i].x = pen_x;
        glyphs[i].y = 0;
        cairo_text_extents_t ext;
        cairo_scaled_font_glyph_extents(sf, &glyphs[i], 1, &ext);
        pen_x += ext.x_advance;
    }
    // Logical cell: the text is lettered in logical units; its top-left
    // corner is the pixel edge before (x, y) at 1:1 (x - 0.5 in the smooth
    // layer's pixel-centre grid).
    double ox = x - 0.5;
    if ((dc->text_align & 6) == kDrawTaCenter) {
        ox -= pen_x / 2;
    } else if ((dc->text_align & 6) == kDrawTaRight) {
        ox -= pen_x;
    }
    const double oy =
        (dc->text_align & kDrawTaBaseline) == kDrawTaBaseline ? y : y - 0.5 + font->ascent;
    for (int32_t i = 0; i < n; ++i) {
        glyphs[i].x += ox;
        glyphs[i].y = oy;
    }
    if (dc->bk_opaque) {
        // The text's cell, in device pixels (logical edges sit half a unit
        // before the pixel centres).
        const double cell = font->yy * font->face->cell_units / font->face->units_per_em;
        const double top = oy - font->ascent;
        Span(dc, static_cast<int32_t>(std::lround((ox + 0.5) * dc->sx)),
             static_cast<int32_t>(std::lround((ox + pen_x + 0.5) * dc->sx)),
             static_cast<int32_t>(std::lround((top + 0.5) * dc->sy)),
             static_cast<int32_t>(std::lround((top + cell + 0.5) * dc->sy)), dc->bk_colour,
             DrawRop2::CopyPen);
    }
    cairo_save(dc->cr);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, 0.5 * dc->sx, 0.5 * dc->sy);
    cairo_matrix_scale(&m, dc->sx, dc->sy);
    cairo_set_matrix(dc->cr, &m);
    const uint32_t c = dc->text_colour;
    cairo_set_source_rgb(dc->cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                         (c & 0xFF) / 255.0);
    cairo_show_glyphs(dc->cr, glyphs, n);
    cairo_restore(dc->cr);
    cairo_surface_flush(dc->cs);
    // The coverage lies within the cell, a little overhang allowed.
    const double cell = font->yy * font->face->cell_units / font->face->units_per_em;
    const double top = oy - font->ascent;
    const DevPoint box[4] = {{(ox + 0.5) * dc->sx - 3, (top + 0.5) * dc->sy - 3},
                             {(ox + pen_x + 0.5) * dc->sx + 3, (top + 0.5) * dc->sy - 3},
                             {(ox + pen_x + 0.5) * dc->sx + 3, (top + cell + 0.5) * dc->sy + 3},
                             {(ox + 0.5) * dc->sx - 3, (top + cell + 0.5) * dc->sy + 3}};
    CoverBox(dc, box);
    FlushCoverage(dc, ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

namespace {

// A text's width in logical units from the face's own (unhinted) advances,
// so that where a text breaks does not depend on the surface's scale.
double TextWidth(const PoolObject* font, const char* text, int32_t count) {
    if (font == nullptr || font->face == nullptr || font->face->units_per_em <= 0) return 0;
    FT_Fixed units = 0;
    for (int32_t i = 0; i < count; ++i) {
        FT_Fixed advance = 0;
        const FT_UInt glyph =
            FT_Get_Char_Index(font->face->ft, static_cast<unsigned char>(text[i]));
        if (FT_Get_Advance(font->face->ft, glyph, FT_LOAD_NO_SCALE, &advance) == 0) {
            units += advance;
        }
    }
    return static_cast<double>(units) * font->xx / font->face->units_per_em;
}

struct TextLine {
    int32_t start = 0;
    int32_t length = 0;
};

// The text's lines: the whole text as one, or broken at blanks so that each
// line fits `room` (a word wider than that alone on its line).
int32_t BreakLines(const PoolObject* font, const char* text, int32_t count, bool word_break,
                   double room, TextLine* lines) {
    if (!word_break) {
        lines[0] = {0, count};
        return 1;
    }
    int32_t n = 0;
    int32_t at = 0;
    while (at < count && n < kDrawTextMaxLines) {
        // The blanks of a break belong to no line (the text's leading ones do).
        if (n > 0) {
            while (at < count && text[at] == ' ') ++at;
            if (at == count) break;
        }
        const int32_t start = at;
        // The first word always.
        while (at < count && text[at] == ' ') ++at;
        while (at < count && text[at] != ' ') ++at;
        int32_t end = at;
        while (end < count) {
            int32_t next = end;
            while (next < count && text[next] == ' ') ++next;
            while (next < count && text[next] != ' ') ++next;
            if (TextWidth(font, text + start, next - start) > room) break;
            end = next;
        }
        lines[n++] = {start, end - start};
        at = end;
    }
    return n;
}

}  // namespace

void DrawTextInRect(DrawContext* dc, const DrawRect& rect, const char* text, int32_t count,
                    uint32_t format) {
    if (dc == nullptr || text == nullptr || count <= 0) return;
    int32_t length = 0;
    while (length < count && text[length] != '\0') ++length;
    if (length == 0) return;
    const PoolObject* font = Lookup(dc->font);
    TextLine lines[kDrawTextMaxLines];
    const int32_t n =
        BreakLines(font, text, length, (format & kDrawDtWordBreak) != 0 && font != nullptr,
                   rect.right - rect.left, lines);
    int32_t line_height = 0;
    if (font != nullptr && font->face != nullptr && font->face->units_per_em > 0) {
        line_height = static_cast<int32_t>(
            std::lround(font->yy * font->face->cell_units / font->face->units_per_em));
    }
    int32_t top = rect.top;
    if ((format & kDrawDtVCenter) != 0) {
        top += (rect.bottom - rect.top - n * line_height) / 2;
    }
    const bool centre = (format & kDrawDtCenter) != 0;
    const int32_t x = centre ? (rect.left + rect.right) / 2 : rect.left;
    const uint32_t align = dc->text_align;
    const DrawRect clip = dc->clip;
    dc->text_align = (centre ? kDrawTaCenter : kDrawTaLeft) | kDrawTaTop;
    dc->clip = {std::max(clip.left, std::clamp(EdgeX(dc, rect.left), 0, dc->width)),
                std::max(clip.top, std::clamp(EdgeY(dc, rect.top), 0, dc->height)),
                std::min(clip.right, std::clamp(EdgeX(dc, rect.right), 0, dc->width)),
                std::min(clip.bottom, std::clamp(EdgeY(dc, rect.bottom), 0, dc->height))};
    for (int32_t i = 0; i < n; ++i) {
        DrawTextOut(dc, x, top + i * line_height, text + lines[i].start, lines[i].length);
    }
    dc->clip = clip;
    dc->text_align = align;
}

void DrawBitBlt(DrawContext* dst, int32_t x, int32_t y, int32_t w, int32_t h,
                const DrawContext* src, int32_t sx, int32_t sy, DrawBlitRop rop) {
    if (dst == nullptr || src == nullptr || w <= 0 || h <= 0) return;
    if (dst->pixels == nullptr) {
        Record(dst, {DrawOp::BitBlt, {x, y, w, h}, 0, static_cast<uint32_t>(rop)});
        return;
    }
    if (src->pixels == nullptr) return;
    const int32_t dl = EdgeX(dst, x), dt = EdgeY(dst, y);
    const int32_t dw = EdgeX(dst, x + w) - dl, dh = EdgeY(dst, y + h) - dt;
    const int32_t sl = EdgeX(src, sx), st = EdgeY(src, sy);
    for (int32_t row = 0; row < dh; ++row) {
        const int32_t ty = dt + row, fy = st + row;
        if (ty < dst->clip.top || ty >= dst->clip.bottom || fy < 0 || fy >= src->height) continue;
        for (int32_t col = 0; col < dw; ++col) {
            const int32_t tx = dl + col, fx = sl + col;
            if (tx < dst->clip.left || tx >= dst->clip.right || fx < 0 || fx >= src->width)
                continue;
            if (dst->has_region && !InRegion(dst, tx, ty)) continue;
            uint8_t* d = dst->pixels + static_cast<size_t>(ty) * static_cast<size_t>(dst->stride) +
                         static_cast<size_t>(tx) * 4;
            const uint8_t* s = src->pixels +
                               static_cast<size_t>(fy) * static_cast<size_t>(src->stride) +
                               static_cast<size_t>(fx) * 4;
            if (rop == DrawBlitRop::SrcPaint) {
                d[0] |= s[0];
                d[1] |= s[1];
                d[2] |= s[2];
            } else {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
            d[3] = 255;
        }
    }
}

namespace {

// The source column of each of the `dw` target columns of a stretch from
// `src_width` columns: kept while the sizes stay (null when too wide).
const int32_t* StretchColumns(DrawContext* dc, int32_t dw, int32_t src_width) {
    if (dc->stretch_map == nullptr || dw > kStretchColumns) return nullptr;
    if (dc->stretch_dw != dw || dc->stretch_src != src_width) {
        for (int32_t col = 0; col < dw; ++col) {
            dc->stretch_map[col] = static_cast<int32_t>(static_cast<int64_t>(col) * src_width / dw);
        }
        dc->stretch_dw = dw;
        dc->stretch_src = src_width;
    }
    return dc->stretch_map;
}

// Target pixels [l, r) of a row from a source line through the column map.
void StretchRun(uint8_t* row, int32_t l, int32_t r, int32_t dl, const uint32_t* line,
                const int32_t* map, int32_t dw, int32_t src_width, bool merge) {
    uint8_t* d = row + static_cast<size_t>(l) * 4;
    for (int32_t tx = l; tx < r; ++tx, d += 4) {
        const int32_t col = tx - dl;
        const uint32_t v =
            line[map != nullptr ? map[col] : static_cast<int64_t>(col) * src_width / dw];
        uint32_t px = ((v >> 16) & 0xFFu) | (v & 0xFF00u) | ((v & 0xFFu) << 16) | 0xFF000000u;
        if (merge) {
            uint32_t old = 0;
            std::memcpy(&old, d, 4);
            px |= old;
        }
        std::memcpy(d, &px, 4);
    }
}

void StretchRows(DrawContext* dst, int32_t dl, int32_t dt, int32_t dw, int32_t dh,
                 const uint32_t* pixels, int32_t src_width, int32_t src_height, bool bottom_up,
                 bool merge) {
    const int32_t* map = StretchColumns(dst, dw, src_width);
    const int32_t l = std::max(dl, dst->clip.left);
    const int32_t r =
        static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(dl) + dw, dst->clip.right));
    if (l >= r) return;
    const int32_t top = std::max(dt, dst->clip.top);
    const int32_t bottom =
        static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(dt) + dh, dst->clip.bottom));
    const RegionSpans* spans = dst->has_region ? dst->region_spans : nullptr;
    for (int32_t ty = top; ty < bottom; ++ty) {
        const int32_t row = ty - dt;
        const auto from_top = static_cast<int32_t>(static_cast<int64_t>(row) * src_height / dh);
        const int32_t fy = bottom_up ? src_height - 1 - from_top : from_top;
        const uint32_t* line = pixels + static_cast<size_t>(fy) * static_cast<size_t>(src_width);
        uint8_t* out = dst->pixels + static_cast<size_t>(ty) * static_cast<size_t>(dst->stride);
        if (!dst->has_region) {
            StretchRun(out, l, r, dl, line, map, dw, src_width, merge);
        } else if (spans != nullptr && ty < dst->span_rows) {
            for (int32_t i = 0; i < spans->counts[ty]; ++i) {
                const int32_t a = std::max(l, spans->spans[ty][i][0]);
                const int32_t b = std::min(r, spans->spans[ty][i][1]);
                if (a < b) StretchRun(out, a, b, dl, line, map, dw, src_width, merge);
            }
        } else {
            for (int32_t tx = l; tx < r; ++tx) {
                if (InRegion(dst, tx, ty)) {
                    StretchRun(out, tx, tx + 1, dl, line, map, dw, src_width, merge);
                }
            }
        }
    }
}

}  // namespace

void DrawStretchDib(DrawContext* dst, int32_t x, int32_t y, int32_t w, int32_t h,
                    const uint32_t* pixels, int32_t src_width, int32_t src_height, bool bottom_up,
                    DrawBlitRop rop) {
    if (dst == nullptr || pixels == nullptr || w <= 0 || h <= 0 || src_width <= 0 ||
        src_height <= 0) {
        return;
    }
    if (dst->pixels == nullptr) {
        Record(dst, {DrawOp::StretchDib, {x, y, w, h}, 0, static_cast<uint32_t>(rop)});
        return;
    }
    const int32_t dl = EdgeX(dst, x), dt = EdgeY(dst, y);
    const int32_t dw = EdgeX(dst, x + w) - dl, dh = EdgeY(dst, y + h) - dt;
    if (dw <= 0 || dh <= 0) return;
    if (!Reference()) {
        StretchRows(dst, dl, dt, dw, dh, pixels, src_width, src_height, bottom_up,
                    rop == DrawBlitRop::SrcPaint);
        return;
    }
    for (int32_t row = 0; row < dh; ++row) {
        const int32_t ty = dt + row;
        if (ty < dst->clip.top || ty >= dst->clip.bottom) continue;
        const auto from_top = static_cast<int32_t>(static_cast<int64_t>(row) * src_height / dh);
        const int32_t fy = bottom_up ? src_height - 1 - from_top : from_top;
        const uint32_t* line = pixels + static_cast<size_t>(fy) * static_cast<size_t>(src_width);
        for (int32_t col = 0; col < dw; ++col) {
            const int32_t tx = dl + col;
            if (tx < dst->clip.left || tx >= dst->clip.right) continue;
            if (dst->has_region && !InRegion(dst, tx, ty)) continue;
            const uint32_t v = line[static_cast<int64_t>(col) * src_width / dw];
            uint8_t* d = dst->pixels + static_cast<size_t>(ty) * static_cast<size_t>(dst->stride) +
                         static_cast<size_t>(tx) * 4;
            const auto r = static_cast<uint8_t>(v >> 16);
            const auto g = static_cast<uint8_t>(v >> 8);
            const auto b = static_cast<uint8_t>(v);
            if (rop == DrawBlitRop::SrcPaint) {
                d[0] |= r;
                d[1] |= g;
                d[2] |= b;
            } else {
                d[0] = r;
                d[1] = g;
                d[2] = b;
            }
            d[3] = 255;
        }
    }
}

void SmoothLine(DrawContext* dc, double x1, double y1, double x2, double y2, uint32_t colour) {
    if (dc == nullptr) return;
    if (dc->pixels == nullptr) {
        Record(dc, {DrawOp::SmoothLine,
                    {static_cast<int32_t>(std::lround(x1 * 16)),
                     static_cast<int32_t>(std::lround(y1 * 16)),
                     static_cast<int32_t>(std::lround(x2 * 16)),
                     static_cast<int32_t>(std::lround(y2 * 16))},
                    colour & 0xFFFFFF});
        return;
    }
    const SmoothXform to_device(dc);
    if (Reference()) {
        AddLine(dc, to_device(x1, y1), to_device(x2, y2));
        FlushCoverage(dc, colour, CoverageLayer::Smooth);
        return;
    }
    const DevPoint a = to_device(x1, y1), b = to_device(x2, y2);
    // Its outline lies within half a pixel of the ends: a line that cannot
    // reach the clip is left before the outline is made.
    if (MissesSmoothClip(dc, std::min(a.x, b.x) - 1, std::min(a.y, b.y) - 1, std::max(a.x, b.x) + 1,
                         std::max(a.y, b.y) + 1)) {
        return;
    }
    DevPoint q[4];
    if (LineQuad(a, b, q)) PaintConvex(dc, q, 4, colour);
}

void SmoothFillRect(DrawContext* dc, double x, double y, double w, double h, uint32_t colour) {
    if (dc == nullptr) return;
    if (dc->pixels == nullptr) {
        Record(dc, {DrawOp::SmoothFillRect,
                    {static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(w),
                     static_cast<int32_t>(h)},
                    colour & 0xFFFFFF});
        return;
    }
    if (w <= 0 || h <= 0) return;
    // The rectangle's edges lie on pixel edges: (x, y) is a pixel centre.
    const SmoothXform to_device(dc);
    const DevPoint q[4] = {to_device(x - 0.5, y - 0.5), to_device(x - 0.5 + w, y - 0.5),
                           to_device(x - 0.5 + w, y - 0.5 + h), to_device(x - 0.5, y - 0.5 + h)};
    if (Reference()) {
        AddConvex(dc, q, 4);
        FlushCoverage(dc, colour, CoverageLayer::Smooth);
        return;
    }
    PaintConvex(dc, q, 4, colour);
}

void SmoothEllipse(DrawContext* dc, double x, double y, double w, double h, uint32_t colour) {
    SmoothArc(dc, x, y, w, h, 0, 360, colour);
}

void SmoothArc(DrawContext* dc, double x, double y, double w, double h, double start, double sweep,
               uint32_t colour) {
    if (dc == nullptr) return;
    if (dc->pixels == nullptr) {
        const bool full = sweep >= 360 && start == 0;
        Record(dc, {full ? DrawOp::SmoothEllipse : DrawOp::SmoothArc,
                    {static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(w),
                     static_cast<int32_t>(h)},
                    colour & 0xFFFFFF,
                    (static_cast<uint32_t>(static_cast<int32_t>(start)) & 0xFFFF) |
                        (static_cast<uint32_t>(static_cast<int32_t>(sweep)) << 16)});
        return;
    }
    if (w <= 0 || h <= 0 || sweep == 0 || !std::isfinite(start) || !std::isfinite(sweep)) return;
    // Its chords go through the mask, not kept.
    if (dc->keep != nullptr) dc->keep->valid = false;
    // A polyline of chords about two device pixels long.
    sweep = std::clamp(sweep, -360.0, 360.0);
    const double a0 = start * M_PI / 180.0;
    const double span = sweep * M_PI / 180.0;
    const double reach = std::max(w * dc->sx, h * dc->sy) / 2;
    const auto chords =
        std::clamp(static_cast<int32_t>(std::ceil(std::abs(span) * reach / 2.0)), 4, 256);
    const SmoothXform to_device(dc);
    const double cx = x + w / 2, cy = y + h / 2;
    const bool reference = Reference();
    DevPoint prev = to_device(cx + w / 2 * std::cos(a0), cy + h / 2 * std::sin(a0));
    for (int32_t k = 1; k <= chords; ++k) {
        const double a = a0 + span * k / chords;
        const DevPoint next = to_device(cx + w / 2 * std::cos(a), cy + h / 2 * std::sin(a));
        DevPoint q[4];
        if (reference) {
            AddLine(dc, prev, next);
        } else if (LineQuad(prev, next, q)) {
            AddConvexRows(dc, q, 4);
        }
        prev = next;
    }
    if (reference) {
        FlushCoverage(dc, colour, CoverageLayer::Smooth);
    } else {
        PaintMaskRows(dc, colour);
    }
}

void SmoothSetTransform(DrawContext* dc, double angle, double cx, double cy, double y_offset) {
    if (dc == nullptr) return;
    dc->smooth_angle = angle;
    const double a = angle * M_PI / 180.0;
    dc->smooth_cos = std::cos(a);
    dc->smooth_sin = std::sin(a);
    dc->smooth_cx = cx;
    dc->smooth_cy = cy;
    dc->smooth_yoff = y_offset;
    if (dc->cr != nullptr) ApplySmoothMatrix(dc);
}

namespace {

// The context's state the smooth rows depend on.
SmoothKeepState KeepStateOf(const DrawContext* dc) {
    const SmoothClip clip = SmoothClipOf(dc);
    SmoothKeepState state;
    state.width = dc->width;
    state.height = dc->height;
    state.sx = dc->sx;
    state.sy = dc->sy;
    state.angle = dc->smooth_angle;
    state.cx = dc->smooth_cx;
    state.cy = dc->smooth_cy;
    state.y_offset = dc->smooth_yoff;
    state.clip = clip.rect;
    state.has_region = clip.has_region;
    if (clip.has_region) state.region = *clip.region;
    return state;
}

bool SameKeepState(const SmoothKeepState& a, const SmoothKeepState& b) {
    const auto same_rect = [](const DrawRect& p, const DrawRect& q) {
        return p.left == q.left && p.top == q.top && p.right == q.right && p.bottom == q.bottom;
    };
    return a.width == b.width && a.height == b.height && a.sx == b.sx && a.sy == b.sy &&
           a.angle == b.angle && a.cx == b.cx && a.cy == b.cy && a.y_offset == b.y_offset &&
           same_rect(a.clip, b.clip) && a.has_region == b.has_region &&
           (!a.has_region || SameRegion(a.region, b.region));
}

}  // namespace

void SmoothKeepBegin(DrawContext* dc, SmoothKeep* keep) {
    if (dc == nullptr || keep == nullptr) return;
    keep->state = KeepStateOf(dc);
    keep->used = 0;
    // The reference path's shapes leave no rows to keep.
    keep->valid = dc->pixels != nullptr && dc->cells != nullptr && !Reference();
    dc->keep = keep;
}

void SmoothKeepEnd(DrawContext* dc) {
    if (dc != nullptr) dc->keep = nullptr;
}

bool SmoothReplay(DrawContext* dc, const SmoothKeep& keep) {
    if (dc == nullptr || dc->pixels == nullptr || dc->cells == nullptr || !keep.valid ||
        Reference()) {
        return false;
    }
    if (!SameKeepState(KeepStateOf(dc), keep.state)) return false;
    const SmoothClip clip = SmoothClipOf(dc);
    for (int32_t i = 0; i < keep.used;) {
        const int32_t* w = keep.words + i;
        const int32_t y = w[0], a0 = w[2], a1 = w[3], b0 = w[4], b1 = w[5];
        std::copy(w + 6, w + 6 + (a1 - a0), dc->cells + a0);
        std::copy(w + 6 + (a1 - a0), w + 6 + (a1 - a0) + (b1 - b0), dc->cells + b0);
        PaintCellsRow(dc, clip, CoverPainter(static_cast<uint32_t>(w[1])), y, a0, a1, b0, b1);
        i += 6 + (a1 - a0) + (b1 - b0);
    }
    return true;
}

int32_t DrawTextCount(const DrawContext* dc) {
    return dc != nullptr ? dc->text_count : 0;
}

const DrawTextEntry* DrawTexts(const DrawContext* dc) {
    return dc != nullptr ? dc->texts : nullptr;
}

namespace {

// DrawCopyPicture's work, with the pixels of the device rectangle `part`
// (within the surface) alone copied.
bool CopyPicturePart(DrawContext* dst, const uint8_t* pixels, int32_t width, int32_t height,
                     int32_t stride, const DrawTextEntry* texts, int32_t text_count,
                     const DrawRect& part) {
    if (dst == nullptr || dst->pixels == nullptr || pixels == nullptr) return false;
    if (width != dst->width || height != dst->height || stride < width * 4) return false;
    if (text_count < 0 || text_count > kDrawTextCapacity || (text_count > 0 && texts == nullptr))
        return false;
    if (pixels != dst->pixels && part.left < part.right) {
        const size_t row = static_cast<size_t>(part.right - part.left) * 4;
        const size_t left = static_cast<size_t>(part.left) * 4;
        for (int32_t y = part.top; y < part.bottom; ++y) {
            std::memcpy(
                dst->pixels + static_cast<size_t>(y) * static_cast<size_t>(dst->stride) + left,
                pixels + static_cast<size_t>(y) * static_cast<size_t>(stride) + left, row);
        }
    }
    if (text_count > 0 && texts != dst->texts) {
        std::memmove(dst->texts, texts, static_cast<size_t>(text_count) * sizeof(DrawTextEntry));
    }
    dst->text_count = text_count;
    dst->cur_x = 0;
    dst->cur_y = 0;
    return true;
}

}  // namespace

bool DrawCopyPicture(DrawContext* dst, const uint8_t* pixels, int32_t width, int32_t height,
                     int32_t stride, const DrawTextEntry* texts, int32_t text_count) {
    return CopyPicturePart(dst, pixels, width, height, stride, texts, text_count,
                           {0, 0, width, height});
}

bool DrawCopyPicture(DrawContext* dst, const DrawContext* src) {
    if (src == nullptr || src == dst || src->pixels == nullptr) return false;
    return DrawCopyPicture(dst, src->pixels, src->width, src->height, src->stride, src->texts,
                           src->text_count);
}

bool DrawCopyPictureRect(DrawContext* dst, const DrawContext* src, const DrawRect& rect) {
    if (src == nullptr || src == dst || src->pixels == nullptr) return false;
    DrawRect part = {std::clamp(EdgeX(src, rect.left), 0, src->width),
                     std::clamp(EdgeY(src, rect.top), 0, src->height),
                     std::clamp(EdgeX(src, rect.right), 0, src->width),
                     std::clamp(EdgeY(src, rect.bottom), 0, src->height)};
    if (part.left >= part.right || part.top >= part.bottom) part = {0, 0, 0, 0};
    return CopyPicturePart(dst, src->pixels, src->width, src->height, src->stride, src->texts,
                           src->text_count, part);
}

int32_t DrawRecordedCount(const DrawContext* dc) {
    return dc != nullptr ? dc->recorded : 0;
}

const DrawCall* DrawRecordedCalls(const DrawContext* dc) {
    return dc != nullptr ? dc->calls : nullptr;
}

int32_t DrawRecordOverflow(const DrawContext* dc) {
    return dc != nullptr ? dc->overflow : 0;
}

void DrawUseReferencePaths(bool on) {
    gReferencePaths.store(on, std::memory_order_relaxed);
}

void DrawRecordClear(DrawContext* dc) {
    if (dc == nullptr) return;
    dc->recorded = 0;
    dc->overflow = 0;
}

}  // namespace zu::platform
