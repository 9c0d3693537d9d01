// Drawing the panel windows of the simulator stand-in, and routing the
// pointer to the gauges' mouse rectangles.
//
// GaugeRenderer draws each panel window of the panel configuration as one
// picture (Cairo, 32-bit premultiplied ARGB) from what the simulator keeps
// per placed gauge: the element walk with each element's last result and
// image flags, and the module's bitmaps (Linkage.find_resource). A gauge's
// design size is the size of its first element's bitmap; it is scaled to its
// placed rectangle. Elements are drawn in walk order; hidden ones are not.
//
//   static image  its bitmap at `position`
//   icon          bitmap `resource_id` + value (rounded, 0 .. icon_count - 1)
//   needle        its bitmap (drawn pointing up) turned clockwise by the
//                 angle about `pivot`, which is placed at `position`
//   string        the text in its font ("Arial" Liberation Sans, "Arial
//                 Narrow" Liberation Sans condensed to 82 %, "Quartz" DSEG7
//                 Classic) at `font_height` pixels, on its background colour
//                 (none with kImageTransparent), aligned left, centred or
//                 right 3 pixels inside the box and centred vertically on
//                 the height of the figure 8
//   slider        its bitmap with its top-left corner at position + (x, y)
//   moving image  its bitmap at position + (x, y), seen only where the mask
//                 bitmap (placed at `position`) is opaque
//   sprite        its bitmap turned by the angle about its centre, which sits
//                 at the mask's centre + (x, y), seen through the mask (no
//                 mask: centred on position + (x, y))
//
// A window with a background picture (`file=` in panel.cfg, a PNG in the
// panel folder) shows it under its gauges, scaled to the window and darkened
// by the ambient level like every unlit element; the radio heads leave their
// unlit faces to it.
//
// Panel lighting: the ambient level (1 daylight .. 0 dark) darkens every
// element whose image flags lack kImageLuminous; lit elements keep their
// full brightness.
//
// Speed: each bitmap is scaled once to the size it is drawn at (its gauge's
// placed size times the picture scale) and darkened once for the ambient
// level; the copies are kept in a cache keyed by bitmap, size and lit state,
// emptied when the picture scale or the ambient level changes. Bitmaps that
// are not turned are drawn on whole pixels. `UpdateWindow` redraws only the
// gauges whose elements changed since the window's last update (nothing at
// all for a window where nothing changed), so a live view pays for what
// moves; it copies the background under them from one painted per window.
// Bitmaps placed one to one and texts, drawn into the picture through clips
// on whole pixels, are composited with Pixman straight onto it, by the
// operations Cairo would run but without the source images Cairo makes for
// every paint (each glyph's coverage is drawn by Cairo once per font and
// size). Turned needles, moving images and sprites are painted by Cairo,
// which allocates for each.
//
// PointerRouter turns pointer presses, moves and releases on a window
// picture into handler calls (see docs/gauges.md): a press delivers the
// single click (else the repeat) the rectangle under the pointer takes;
// while the button is held, a rectangle that takes repeats gets one 400 ms
// after the press and then every 100 ms of simulated time; moves while the
// left button is held reach rectangles that take pointer movement; the
// release goes to a rectangle that takes releases.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "zu/platform/gauge_api.h"
#include "zu/simhost/simulator.h"

namespace zu::simhost {

struct RenderOptions {
    double scale = 1.0;    // picture pixels per panel unit
    double ambient = 1.0;  // 1 daylight .. 0 dark
};

// The names the panel windows' pictures take in a snapshot (after "NAME-",
// before ".png"), in window order: each window's title with every character
// but letters, digits, '-' and '_' as '_' ("Main Panel": "Main_Panel"). A
// window with no title is "wNN" (NN its window number); one whose name an
// earlier window has, or a gauge's surface pictures use, adds "-wNN"
// ("FMS-w04").
std::vector<std::string> WindowPictureNames(const std::vector<PanelWindow>& windows,
                                            const std::vector<GaugeInstance>& gauges);

class PngPipeline;

class GaugeRenderer {
  public:
    explicit GaugeRenderer(const Simulator& sim);
    ~GaugeRenderer();
    GaugeRenderer(const GaugeRenderer&) = delete;
    GaugeRenderer& operator=(const GaugeRenderer&) = delete;

    // False (with a message) when a font of the string elements is missing.
    bool fonts_ok(std::string* problem) const;

    // Size of a window's picture in pixels.
    void WindowSize(const PanelWindow& window, const RenderOptions& options, int* width,
                    int* height) const;
    // Draws a panel window into `target` (an image surface of WindowSize).
    void RenderWindow(const PanelWindow& window, const RenderOptions& options,
                      cairo_surface_t* target);
    // Draws it into a new image surface (the caller destroys it).
    cairo_surface_t* RenderWindow(const PanelWindow& window, const RenderOptions& options);
    // Draws one placed gauge with its top-left corner at (0, 0) of `cr`,
    // `scale` pixels per panel unit.
    void RenderGauge(cairo_t* cr, const GaugeInstance& gauge, double scale, double ambient);

    // A panel window's picture as a snapshot wrote it.
    struct WindowPicture {
        std::string title;  // the window's title ("" when it has none)
        std::string file;   // file name in the snapshot folder
    };
    // Writes every panel window as DIR/NAME-<window>.png (see
    // WindowPictureNames), one window at a time and each a band of rows at a
    // time: the images made for a window are let go before the next, so a
    // snapshot holds no more than a band of one window's picture. Then each drawn surface's picture
    // as DIR/NAME-<gauge>.png. `pictures` (when given) receives the windows' pictures in panel
    // order.
    bool WritePngs(const std::filesystem::path& dir, const std::string& name,
                   const RenderOptions& options, std::string* error,
                   std::vector<WindowPicture>* pictures = nullptr);
    // The windows' pictures are compressed and written on a thread of the
    // renderer's own while drawing goes on. Unless pictures are written
    // behind, WritePngs waits for its files; else they are complete only once
    // FinishPngs has returned (a later WritePngs reports an earlier one that
    // failed).
    void set_pngs_written_behind(bool behind) { pngs_behind_ = behind; }
    // Waits for every picture still being written; false, with the reason,
    // when one could not be.
    bool FinishPngs(std::string* error);

    // Design size of a gauge (its first element's bitmap; else the placed
    // size).
    void DesignSize(const GaugeInstance& gauge, int* width, int* height);

    struct Hit {
        const GaugeInstance* gauge = nullptr;
        int rect_index = -1;          // -1: inside the gauge, no child rectangle
        zu::gauge::Point relative{};  // relative to the rectangle, design pixels
        const zu::gauge::MouseRect* rect = nullptr;
    };
    // The gauge (topmost) and child mouse rectangle (first in list order)
    // under a point of a window picture.
    bool HitTest(const PanelWindow& window, double px, double py, const RenderOptions& options,
                 Hit* hit);

    // The module's bitmap `id` when it has pixels of a size that can be drawn,
    // else null.
    const zu::gauge::BitmapResource* Resource(uint32_t id) const;
    // The module's bitmap as a Cairo surface (cached), or null.
    cairo_surface_t* Bitmap(uint32_t id);
    // The bitmap scaled to `width` x `height` pixels, darkened by the ambient
    // level unless lit (cached), or null.
    cairo_surface_t* ScaledBitmap(uint32_t id, int width, int height, bool lit, double ambient);
    // Scaled copies in the cache (for tests).
    size_t scaled_count() const { return scaled_.size(); }

    // Brings `target` (an image surface of WindowSize that still holds the
    // picture of this window's last UpdateWindow) up to date: only the
    // gauges whose elements changed since then are drawn again, each on a
    // fresh background with whatever else lies in its rectangle. The first
    // time, and when the target, its size or the options changed, the whole
    // window is drawn. Returns the number of gauges drawn (0: the picture
    // was current).
    int UpdateWindow(const PanelWindow& window, const RenderOptions& options,
                     cairo_surface_t* target);

    struct Fonts;

  private:
    void PrepareCache(double scale, double ambient);
    void ClearScaled();
    void ClearBitmaps();
    // Drops every image made for drawing (bitmaps, scaled copies,
    // backgrounds); they are made again when next drawn.
    void ReleaseImages();
    // RenderGauge's steps: the gauge's clip for the direct paths, and the
    // string and sprite elements.
    void ClipDirect(cairo_t* cr, int design_width, int design_height);
    void PaintString(cairo_t* cr, const zu::gauge::StringElement& str, bool lit, double ambient);
    void PaintSprite(cairo_t* cr, const ElementState& s, bool lit);
    // Paints bitmap `id` with its top-left corner at (x, y) of the gauge's
    // design space, from its copy scaled by the gauge's factors.
    void PaintScaled(cairo_t* cr, uint32_t id, double x, double y, bool lit);
    // The scaled copy, with `m` set to the matrix from the design space to
    // its pixels that places it at (x, y).
    cairo_surface_t* ScaledCopy(uint32_t id, double x, double y, bool lit, cairo_matrix_t* m);
    // The scaled copy as a pattern placed at (x, y) of the design space.
    cairo_pattern_t* ScaledPattern(uint32_t id, double x, double y, bool lit);
    // Paints `source` with its top-left corner on pixel (x, y) of the window
    // picture, over what is there, straight with Pixman when the drawing
    // goes into the picture (no group pushed) through a clip on whole pixels
    // (`direct_clip_`); false (nothing drawn) otherwise.
    bool PaintDirect(cairo_t* cr, cairo_surface_t* source, int x, int y);
    // The width of a text (bytes in the code page, see code_page.h) in the
    // selected font, as Cairo measures it, from the advances of its
    // characters (looked up once per font and size).
    double TextAdvance(cairo_t* cr, const char* text_bytes, size_t length);
    // The height of the figure 8 in the selected font.
    double EightHeight(cairo_t* cr);
    // A text too wide for its string element, in a box high enough for two
    // lines of it (a lamp's legend), set on two lines (see the drawing);
    // false (nothing drawn) when it fits on one line or the box is too low.
    bool ShowTwoLines(cairo_t* cr, const zu::gauge::StringElement& str, const char* text_bytes,
                      double px, double py, double advance);
    // Shows a text from the current point in the selected font and the
    // colour (r, g, b), as Cairo would, straight onto the picture when the
    // drawing goes into it through clips on whole pixels, or its glyphs lie
    // within the pixels the clips cover wholly (`text_clip_`); false (nothing
    // drawn) otherwise.
    bool ShowTextDirect(cairo_t* cr, const char* text_bytes, size_t length, double r, double g,
                        double b);
    struct TextMetrics;
    TextMetrics& Metrics(cairo_t* cr);
    // The drawing context kept for a window's picture (made again when the
    // picture changes), so that its saved states are made once.
    cairo_t* Context(int window_number, cairo_surface_t* target);
    // What the drawing of a gauge reads of its elements, hashed.
    static uint64_t GaugeSignature(const GaugeInstance& gauge);
    void PaintSurface(cairo_t* cr, const GaugeInstance& g, const zu::gauge::ElementHeader* e,
                      double x, double y, bool lit, double ambient);

    const Simulator& sim_;
    // A window's background picture (cached; null when it cannot be read).
    cairo_surface_t* Background(const PanelWindow& window);
    // The panel grey and the window's background picture, if it has one.
    void PaintWindowBackground(cairo_t* cr, const PanelWindow& window,
                               const RenderOptions& options);
    // The same with the background picture `bg` (null: none).
    void PaintWindowBackground(cairo_t* cr, const PanelWindow& window, const RenderOptions& options,
                               cairo_surface_t* bg);
    // Writes a window's picture as a PNG file down the window: neither the
    // picture nor its background picture is ever held whole, and the
    // gauges' scaled bitmaps go once they take more than kKeptImageBytes.
    // The rows go to the pictures' thread to be compressed.
    bool WriteWindowPng(const PanelWindow& window, const RenderOptions& options,
                        const std::filesystem::path& file, std::string* error);
    void Advance(size_t placed, int row);
    static bool DrawnAlikeInBands(const GaugeInstance& gauge);
    // Paints rows [first, last) of a scaled copy of `original` (all of it
    // scaled to the copy's size, darkened unless lit).
    static void PaintCopyRows(cairo_surface_t* copy, cairo_surface_t* original, bool lit,
                              double ambient, int first, int last);
    // A large scaled copy drawn in bands: only rows [first, last) of it are
    // made (one such copy at a time, rows above `first` let go).
    cairo_surface_t* PartialScaledBitmap(uint32_t id, int width, int height, bool lit,
                                         double ambient, int first, int last);
    void ReleasePartial();
    static constexpr int kBandRows = 64;
    // Gauges (and scaled copies) larger than this are drawn (made) in bands.
    static constexpr double kWholeCopyPixels = 1 << 20;
    // Bitmaps and scaled copies kept from one gauge for the next while a
    // picture is written down the window, at most.
    static constexpr size_t kKeptImageBytes = 1u << 20;
    size_t ImageBytes() const;
    // A window's background larger than this coded is not kept.
    static constexpr size_t kKeptBackgroundBytes = 4u << 20;

    // The module's bitmaps lie in its read-only data, mapped from its file:
    // once a bitmap is copied for drawing, the pages its pixels touch are
    // given back to the system (read again, they come from the file).
    void ReleaseReadOnlyPages(const void* data, size_t size);
    bool read_only_known_ = false;
    std::vector<std::pair<uintptr_t, uintptr_t>> read_only_;  // read-only segments
    std::map<uint32_t, cairo_surface_t*> bitmaps_;
    std::unordered_map<uint64_t, cairo_surface_t*> scaled_;
    // WriteWindowPng's window: its gauges and how far each is drawn.
    struct Placed {
        const GaugeInstance* gauge = nullptr;
        double x0 = 0;
        double x1 = 0;
        int top = 0;
        int bottom = 0;
        bool big = false;
        int drawn_to = 0;  // rows above are drawn
    };
    struct BandedDrawing {
        cairo_t* cr = nullptr;
        RenderOptions options;
        std::function<void(int)> paint_to;  // the background down to a row
        std::vector<Placed> placed;
    };
    BandedDrawing band_;
    // A window's background as its pictures have it, kept from the first
    // picture drawn down the window for the later ones (run-length coded).
    struct KeptBackground;
    KeptBackground* KeptBackgroundFor(const PanelWindow& window, const RenderOptions& options,
                                      int width, int height);
    std::vector<std::unique_ptr<KeptBackground>> kept_backgrounds_;
    std::unique_ptr<PngPipeline> pngs_;
    bool pngs_behind_ = false;
    int band_first_ = 0;  // the rows of the band a large gauge is drawn in
    int band_last_ = 0;
    // An image in address space reserved for all of it, of which only rows
    // [first, last) are made (the pages above `first` given back).
    struct PartialImage {
        void* memory = nullptr;
        size_t bytes = 0;
        int stride = 0;
        cairo_surface_t* surface = nullptr;
        int first = 0;
        int last = 0;
        bool Reserve(int width, int height);
        void Release(int row);  // rows above `row` are done with
        void Free();
    };
    // The large scaled copy drawn in bands, and the rows of its original
    // that it is made from.
    struct PartialCopy {
        uint64_t key = 0;
        PartialImage copy;
        PartialImage original;
    };
    PartialCopy partial_;
    double cache_scale_ = -1;
    double cache_ambient_ = -1;
    // Scale factors and ambient level of the gauge being drawn.
    double gauge_kx_ = 1;
    double gauge_ky_ = 1;
    double ambient_ = 1;
    // Per window: what its last UpdateWindow drew, and into what.
    struct WindowMemo {
        cairo_surface_t* target = nullptr;
        int width = 0;
        int height = 0;
        RenderOptions options;
        std::vector<uint64_t> gauge_signatures;  // its gauges, in panel order
    };
    std::map<int, WindowMemo> memos_;
    // The drawing contexts of the windows' pictures: the picture each draws
    // into, kept referenced.
    struct WindowContext {
        cairo_surface_t* target = nullptr;
        cairo_t* cr = nullptr;
    };
    std::map<int, WindowContext> contexts_;
    void ReleaseContexts();
    // A window's background (panel grey, background picture, darkening) at the
    // size of its picture, under the gauges UpdateWindow draws again.
    struct WindowBackground {
        cairo_surface_t* surface = nullptr;
        RenderOptions options;
    };
    std::map<int, WindowBackground> window_backgrounds_;
    // The rectangle of the picture the drawing is clipped to, in whole
    // pixels, while `direct_` (see PaintDirect).
    struct PixelBox {
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;
    };
    bool direct_ = false;
    PixelBox direct_clip_;
    cairo_surface_t* direct_target_ = nullptr;
    std::vector<std::unique_ptr<TextMetrics>> text_metrics_;
    // The pixels the string element's clip covers wholly, while
    // `text_direct_`; `text_clip_whole_` when the clip lies on whole pixels.
    bool text_direct_ = false;
    bool text_clip_whole_ = false;
    PixelBox text_clip_;
    double text_r_ = 0;  // the string's colour
    double text_g_ = 0;
    double text_b_ = 0;
    // The coverage of a text's glyphs, added up before it is painted.
    struct PixmanImageDeleter {
        void operator()(void* image) const;
    };
    std::unique_ptr<void, PixmanImageDeleter> text_mask_;
    int text_mask_width_ = 0;
    int text_mask_height_ = 0;
    // Plain colours as Pixman sources, by colour.
    std::vector<std::pair<uint64_t, std::unique_ptr<void, PixmanImageDeleter>>> solid_colours_;
    // The last picture of each drawn surface, as an image (made again when it
    // takes a new picture).
    struct SurfacePicture {
        cairo_surface_t* image = nullptr;
        uint64_t pictures = 0;
    };
    std::unordered_map<const DrawnSurface*, SurfacePicture> surface_pictures_;
    void ClearSurfacePictures();
    std::vector<size_t> changed_;  // reused by UpdateWindow
    std::map<std::string, cairo_surface_t*> backgrounds_;
    Fonts* fonts_;
};

class PointerRouter {
  public:
    // Repeat timing of held rectangles, in simulated milliseconds.
    static constexpr uint64_t kRepeatDelayMs = 400;
    static constexpr uint64_t kRepeatIntervalMs = 100;

    PointerRouter(Simulator& sim, GaugeRenderer& renderer);

    void Press(const PanelWindow& window, double px, double py, bool right_button,
               const RenderOptions& options);
    void Move(const PanelWindow& window, double px, double py, const RenderOptions& options);
    void Release(const PanelWindow& window, double px, double py, bool right_button,
                 const RenderOptions& options);
    // Once per frame, before the gauges run: the repeats that fell due.
    void Frame();
    bool held() const { return held_; }
    // Cursor hint of the rectangle under a point (kCursor values of the
    // mouse rectangles; 0 when none).
    uint32_t CursorAt(const PanelWindow& window, double px, double py,
                      const RenderOptions& options);

  private:
    bool Deliver(const GaugeRenderer::Hit& hit, uint32_t flags);

    Simulator& sim_;
    GaugeRenderer& renderer_;
    bool held_ = false;
    bool right_ = false;
    GaugeRenderer::Hit target_{};  // rectangle under the pointer while held
    uint64_t next_repeat_ms_ = 0;
};

}  // namespace zu::simhost
