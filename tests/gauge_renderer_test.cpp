// Tests of the simulator stand-in's gauge drawing and pointer routing, with a
// small fake module whose bitmaps are plain colour blocks: where each element
// type lands in the picture, what hidden, lit and ambient do, and which
// events a held, dragged and released pointer delivers.
#include "zu/simhost/gauge_renderer.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "zu/simhost/simulator.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
namespace gauge = zu::gauge;
using simhost::Simulator;
using simhost::SimulatorConfig;

// ---------------------------------------------------------------------------
// Bitmaps: solid blocks (premultiplied RGBA).

struct Block {
    uint32_t id;
    int w;
    int h;
    uint8_t r, g, b;
    std::vector<uint8_t> pixels;
};
std::vector<Block> g_blocks;

void AddBlock(uint32_t id, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    Block block{id, w, h, r, g, b, {}};
    for (int i = 0; i < w * h; ++i) block.pixels.insert(block.pixels.end(), {r, g, b, 255});
    g_blocks.push_back(std::move(block));
}

const gauge::BitmapResource* FakeFindResource(uint32_t id) {
    static gauge::BitmapResource record;
    for (const Block& b : g_blocks) {
        if (b.id == id) {
            record = {b.id, b.w, b.h, b.pixels.data()};
            return &record;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// The fake module: one gauge, 100 x 100 design pixels.

gauge::ImportTableRecord g_import{gauge::kPanelServicesImportId, nullptr, 0, 0};

void Forward(int slot, gauge::GaugeHeader* g, uintptr_t arg) {
    auto fn = gauge::PanelService<gauge::ElementListService>(g_import.panels, slot);
    if (fn != nullptr && g->element_list != nullptr) fn(g->element_list[0], arg);
}
void Install(gauge::GaugeHeader* g, uintptr_t a) {
    Forward(gauge::kSlotElementListInstall, g, a);
}
void Update(gauge::GaugeHeader* g, uintptr_t a) {
    Forward(gauge::kSlotElementListUpdate, g, a);
}
void Draw(gauge::GaugeHeader* g, uintptr_t a) {
    Forward(gauge::kSlotElementListDraw, g, a);
}

double g_needle_angle = 0;
double g_icon_value = 0;
double g_slider_x = 0;
double g_image_y = 0;
double NeedleValue(gauge::ElementHeader*) {
    return g_needle_angle;
}
double IconValue(gauge::ElementHeader*) {
    return g_icon_value;
}
double SliderValue(gauge::ElementHeader*) {
    return g_slider_x;
}
double ZeroValue(gauge::ElementHeader*) {
    return 0;
}
double ImageY(gauge::ElementHeader*) {
    return g_image_y;
}
double TextValue(gauge::ElementHeader* e) {
    std::strcpy(reinterpret_cast<gauge::StringElement*>(e)->text, "88");
    return 0;
}
double DegreeText(gauge::ElementHeader* e) {
    std::strcpy(reinterpret_cast<gauge::StringElement*>(e)->text,
                "14\xB0"
                "c");
    return 0;
}
std::string g_text;
double GivenText(gauge::ElementHeader* e) {
    std::snprintf(reinterpret_cast<gauge::StringElement*>(e)->text,
                  sizeof reinterpret_cast<gauge::StringElement*>(e)->text, "%s", g_text.c_str());
    return 0;
}
double SymbolText(gauge::ElementHeader* e) {
    std::strcpy(reinterpret_cast<gauge::StringElement*>(e)->text, "g g");
    return 0;
}

struct FakeElements {
    gauge::ElementHeader background;
    gauge::NeedleElement needle;
    gauge::IconElement icon;
    gauge::SliderElement slider;
    gauge::MovingImageElement image;
    gauge::StringElement text;
    gauge::IconElement hidden;
    gauge::ElementHeader* next[7][2];
    gauge::ElementHeader* list[2];
};
FakeElements g_el;

std::vector<uint32_t> g_events;  // per rectangle: index * 0x10000 + flags
template <int Index>
int32_t Handler(gauge::Point*, uint32_t flags) {
    g_events.push_back(Index * 0x10000u + flags);
    return 0;
}

constexpr uint32_t kHeld = gauge::kMouseLeftSingle | gauge::kMouseLeftRepeat;
gauge::MouseRect g_rects[] = {
    {gauge::MouseRectKind::Parent, 0, 0, 100, 100, 0xFFFFFFFF, 0, nullptr},
    {gauge::MouseRectKind::Child, 0, 80, 20, 20, 5,
     gauge::kMouseLeftSingle | gauge::kMouseLeftRelease, Handler<1>},
    {gauge::MouseRectKind::Child, 20, 80, 20, 20, 1, kHeld, Handler<2>},
    {gauge::MouseRectKind::Child, 40, 80, 20, 20, 2, kHeld | gauge::kMouseMove, Handler<3>},
    {gauge::MouseRectKind::Child, 60, 80, 20, 20, 2, kHeld | gauge::kMouseMove, Handler<4>},
    {gauge::MouseRectKind::End, 0, 0, 0, 0, 0, 0, nullptr},
};

gauge::GaugeHeader g_header{};
gauge::LinkageRecord g_linkage{};

// A second gauge of bitmaps only: the background and an icon.
struct PlateElements {
    gauge::ElementHeader background;
    gauge::IconElement icon;
    gauge::ElementHeader* next[2][2];
    gauge::ElementHeader* list[2];
};
PlateElements g_plate;
gauge::GaugeHeader g_plate_header{};

void BuildFakeModule() {
    g_blocks.clear();
    AddBlock(1, 100, 100, 40, 40, 40);  // background
    AddBlock(2, 4, 40, 255, 255, 255);  // needle, pivot (2, 39)
    AddBlock(10, 10, 10, 255, 0, 0);    // icon frame 0
    AddBlock(11, 10, 10, 0, 255, 0);    // icon frame 1
    AddBlock(20, 10, 10, 0, 0, 255);    // slider
    AddBlock(30, 10, 10, 255, 255, 0);  // moving image
    AddBlock(31, 10, 10, 0, 0, 0);      // its mask (opaque)
    AddBlock(40, 10, 10, 255, 0, 255);  // hidden icon

    FakeElements& e = g_el;
    e = {};
    e.background = {gauge::ElementType::StaticImage, 1, {0, 0}, 0, e.next[0], 0, 0, nullptr};
    e.needle.header = {gauge::ElementType::Needle, 2, {50, 50}, 0, e.next[1], 0, 0, NeedleValue};
    e.needle.pivot = {2, 39};
    e.icon.header = {gauge::ElementType::Icon, 10, {5, 5}, 0, e.next[2], 0, 0, IconValue};
    e.icon.icon_count = 2;
    e.slider.header = {gauge::ElementType::Slider, 20, {5, 20}, 0, e.next[3], 0, 0, SliderValue};
    e.slider.x_scale = 1.0;
    e.image.header = {gauge::ElementType::MovingImage, 30, {80, 5}, 0, e.next[4], 0, 0, ZeroValue};
    e.image.mask_resource_id = 31;
    e.image.y_callback = ImageY;
    e.image.y_scale = 1.0;
    e.text.header = {gauge::ElementType::String, 0, {60, 60}, 0, e.next[5], 0, 0, TextValue};
    e.text.width = 30;
    e.text.height = 16;
    e.text.fg_colour = 0x0000FF00;  // green
    e.text.bg_colour = 0x00000000;
    e.text.font_name = "Arial";
    e.text.font_height = 12;
    e.text.align = 2;
    e.hidden.header = {
        gauge::ElementType::Icon, 40, {0, 0}, gauge::kImageHidden, e.next[6], 0, 0, nullptr};
    gauge::ElementHeader* order[] = {&e.background,    &e.needle.header, &e.icon.header,
                                     &e.slider.header, &e.image.header,  &e.text.header,
                                     &e.hidden.header};
    for (int i = 0; i < 7; ++i) e.next[i][0] = i < 6 ? order[i + 1] : nullptr;
    e.list[0] = &e.background;

    g_header = {};
    g_header.version = gauge::kGaugeHeaderVersion;
    g_header.name = "Block";
    g_header.element_list = e.list;
    g_header.install = Install;
    g_header.update = Update;
    g_header.draw = Draw;
    g_header.default_width_mm = 100;
    g_header.mouse_rect = g_rects;
    g_linkage = {};
    g_linkage.module_id = gauge::kModuleId;
    g_linkage.link_version = gauge::kLinkVersion;
    g_linkage.gauges[0] = &g_header;

    PlateElements& p = g_plate;
    p = {};
    p.background = {gauge::ElementType::StaticImage, 1, {0, 0}, 0, p.next[0], 0, 0, nullptr};
    p.icon.header = {gauge::ElementType::Icon, 10, {33, 47}, 0, p.next[1], 0, 0, IconValue};
    p.icon.icon_count = 2;
    p.next[0][0] = &p.icon.header;
    p.list[0] = &p.background;
    g_plate_header = g_header;
    g_plate_header.name = "Plate";
    g_plate_header.element_list = p.list;
    g_plate_header.mouse_rect = nullptr;
    g_linkage.gauges[1] = &g_plate_header;
    g_linkage.find_resource = FakeFindResource;
}

class GaugeRendererTest : public testing::Test {
  protected:
    void SetUp() override {
        BuildFakeModule();
        g_events.clear();
        g_needle_angle = g_icon_value = g_slider_x = g_image_y = 0;
        WriteFile(tmp_.path() / "Fake.air", "");
        fs::create_directories(tmp_.path() / "panel");
        WriteFile(tmp_.path() / "panel" / "panel.cfg", panel_);
        SimulatorConfig cfg;
        cfg.aircraft_dir = tmp_.path();
        cfg.fsuipc = false;
        cfg.audio_silent = true;
        sim_ = std::make_unique<Simulator>(cfg);
        std::string error;
        ASSERT_TRUE(sim_->AttachModule(&g_linkage, &g_import, &error, "Fake")) << error;
        ASSERT_TRUE(sim_->LoadAircraft(&error)) << error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        renderer_ = std::make_unique<simhost::GaugeRenderer>(*sim_);
        router_ = std::make_unique<simhost::PointerRouter>(*sim_, *renderer_);
    }
    void TearDown() override {
        router_.reset();
        renderer_.reset();
        sim_->Stop();
    }

    // Draws the window (after a frame) at the scale and returns the pixel.
    uint32_t PixelAfterFrame(double x, double y, double scale = 1.0, double ambient = 1.0) {
        sim_->RunFrame();
        const simhost::RenderOptions options{scale, ambient};
        cairo_surface_t* s = renderer_->RenderWindow(window(), options);
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        const uint32_t p =
            reinterpret_cast<const uint32_t*>(data + static_cast<int>(y * scale) *
                                                         stride)[static_cast<int>(x * scale)] &
            0xFFFFFF;
        cairo_surface_destroy(s);
        return p;
    }
    const simhost::PanelWindow& window() { return sim_->panel_windows().front(); }

    std::string panel_ = "[Window00]\nsize_mm=100,100\ngauge00=Fake!Block, 0, 0, 100\n";
    TempDir tmp_;
    std::unique_ptr<Simulator> sim_;
    std::unique_ptr<simhost::GaugeRenderer> renderer_;
    std::unique_ptr<simhost::PointerRouter> router_;
};

constexpr uint32_t kBackground = 0x282828;

TEST_F(GaugeRendererTest, NeedlesTurnClockwiseAboutTheirPivot) {
    EXPECT_EQ(PixelAfterFrame(50, 25), 0xFFFFFFu);  // pointing up
    EXPECT_EQ(PixelAfterFrame(75, 50), kBackground);
    g_needle_angle = 90;
    EXPECT_EQ(PixelAfterFrame(75, 50), 0xFFFFFFu);  // pointing right
    EXPECT_EQ(PixelAfterFrame(50, 25), kBackground);
    g_needle_angle = 180;
    EXPECT_EQ(PixelAfterFrame(50, 75, 2.0), 0xFFFFFFu);  // down, at twice the size
}

TEST_F(GaugeRendererTest, IconsSlidersMovingImagesAndStringsLandWhereTheirValuesSay) {
    EXPECT_EQ(PixelAfterFrame(10, 10), 0xFF0000u);  // icon frame 0
    g_icon_value = 1;
    EXPECT_EQ(PixelAfterFrame(10, 10), 0x00FF00u);
    g_icon_value = 7;  // past the last frame: the last one
    EXPECT_EQ(PixelAfterFrame(10, 10), 0x00FF00u);

    EXPECT_EQ(PixelAfterFrame(8, 25), 0x0000FFu);
    g_slider_x = 20;
    EXPECT_EQ(PixelAfterFrame(8, 25), kBackground);
    EXPECT_EQ(PixelAfterFrame(28, 25), 0x0000FFu);

    EXPECT_EQ(PixelAfterFrame(85, 8), 0xFFFF00u);
    g_image_y = 6;  // shifted down: seen only through the mask at (80, 5)
    EXPECT_EQ(PixelAfterFrame(85, 8), kBackground);
    EXPECT_EQ(PixelAfterFrame(85, 12), 0xFFFF00u);
    EXPECT_EQ(PixelAfterFrame(85, 18), kBackground);

    // The string box: black background, green text at the right.
    sim_->RunFrame();
    cairo_surface_t* s = renderer_->RenderWindow(window(), {4.0, 1.0});
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    int green = 0;
    int black = 0;
    for (int y = 60 * 4; y < 76 * 4; ++y) {
        for (int x = 60 * 4; x < 90 * 4; ++x) {
            const uint32_t p = reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF;
            green += p == 0x00FF00u;
            black += p == 0;
        }
    }
    cairo_surface_destroy(s);
    EXPECT_GT(green, 100);
    EXPECT_GT(black, green);
}

// A string element's weight: 700 and above letters in the bold face, below
// that in the regular one, for the sans and the segment font alike.
TEST_F(GaugeRendererTest, StringsAreLetteredAtTheirWeight) {
    const auto ink = [this] {
        sim_->RunFrame();
        cairo_surface_t* s = renderer_->RenderWindow(window(), {4.0, 1.0});
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        double sum = 0;
        for (int y = 60 * 4; y < 76 * 4; ++y) {
            for (int x = 60 * 4; x < 90 * 4; ++x) {
                sum += (reinterpret_cast<const uint32_t*>(data + y * stride)[x] >> 8) & 0xFF;
            }
        }
        cairo_surface_destroy(s);
        return sum;
    };
    for (const char* font : {"Arial Narrow", "Quartz"}) {
        g_el.text.font_name = font;
        g_el.text.font_weight = 0;
        const double normal = ink();
        g_el.text.font_weight = 400;
        EXPECT_EQ(ink(), normal) << font;
        g_el.text.font_weight = 700;
        const double bold = ink();
        EXPECT_GT(bold, normal * 1.15) << font;
        g_el.text.font_weight = 900;
        EXPECT_EQ(ink(), bold) << font;
    }
}

TEST_F(GaugeRendererTest, SymbolFontDrawsFilledSquaresInCellsAsWideAsTheFontIsHigh) {
    g_el.text.font_name = "Webdings";
    g_el.text.align = 0;
    g_el.text.header.callback = SymbolText;
    // Cells of 12 from x 63 (the inset), squares from y 62 (centred in 16).
    EXPECT_EQ(PixelAfterFrame(64, 63), 0x00FF00u);
    EXPECT_EQ(PixelAfterFrame(74, 73), 0x00FF00u);
    EXPECT_EQ(PixelAfterFrame(81, 68), 0u) << "a blank cell";
    EXPECT_EQ(PixelAfterFrame(89, 68), 0x00FF00u) << "the third cell, cut at the box";
    EXPECT_EQ(PixelAfterFrame(69, 61), 0u);
}

TEST_F(GaugeRendererTest, CodePageTextDoesNotStopTheDrawingOfLaterElements) {
    g_el.text.header.callback = DegreeText;
    g_el.hidden.header.image_flags = 0;  // the magenta icon, drawn after the text
    EXPECT_EQ(PixelAfterFrame(2, 2), 0xFF00FFu);
}

// The module's texts are in Windows-1252: its quotation marks and dashes in
// 0x80..0x9F are characters of their own, not control codes that all draw
// as the same missing-glyph box.
TEST_F(GaugeRendererTest, StringsDrawTheCodePagesCharacters) {
    g_el.text.header.callback = GivenText;
    g_el.text.align = 1;
    const auto box = [&](const std::string& text) {
        g_text = text;
        sim_->RunFrame();
        cairo_surface_t* s = renderer_->RenderWindow(window(), {4.0, 1.0});
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        std::vector<uint32_t> pixels;
        for (int y = 60 * 4; y < 76 * 4; ++y) {
            for (int x = 60 * 4; x < 90 * 4; ++x) {
                pixels.push_back(reinterpret_cast<const uint32_t*>(data + y * stride)[x]);
            }
        }
        cairo_surface_destroy(s);
        return pixels;
    };
    const std::vector<uint32_t> left_quote = box("\x93");
    const std::vector<uint32_t> en_dash = box("\x96");
    EXPECT_NE(left_quote, box("\x94"));  // the right quotation mark
    EXPECT_NE(en_dash, box("\x97"));     // the em dash
    EXPECT_NE(en_dash, left_quote);
}

TEST_F(GaugeRendererTest, HiddenElementsAreNeitherDrawnNorUpdatedAndAmbientDimsUnlitArt) {
    EXPECT_EQ(PixelAfterFrame(2, 2), kBackground);  // the hidden magenta icon
    EXPECT_EQ(sim_->gauges()[0].elements[6].updates, 0u);
    g_el.hidden.header.image_flags = 0;
    EXPECT_EQ(PixelAfterFrame(2, 2), 0xFF00FFu);

    const uint32_t dim = PixelAfterFrame(10, 10, 1.0, 0.5);  // red icon at half light
    EXPECT_NEAR(static_cast<int>(dim >> 16), 128, 2);
    g_el.icon.header.image_flags = gauge::kImageLuminous;
    EXPECT_EQ(PixelAfterFrame(10, 10, 1.0, 0.5), 0xFF0000u);  // lit: full brightness
}

// Each bitmap is scaled once per picture scale: drawing again (whatever the
// needles do) makes no new copies; a new scale or ambient level replaces
// them. Updating a picture draws again only the gauges that changed.
TEST_F(GaugeRendererTest, ScalesEachBitmapOnceAndRedrawsOnlyWhatChanged) {
    EXPECT_EQ(PixelAfterFrame(50, 25, 1.5), 0xFFFFFFu);
    const size_t copies = renderer_->scaled_count();
    EXPECT_GT(copies, 0u);
    g_needle_angle = 90;
    EXPECT_EQ(PixelAfterFrame(75, 50, 1.5), 0xFFFFFFu);
    g_needle_angle = 33;
    PixelAfterFrame(75, 50, 1.5);
    EXPECT_EQ(renderer_->scaled_count(), copies);
    g_needle_angle = 0;
    EXPECT_EQ(PixelAfterFrame(50, 25, 2.5), 0xFFFFFFu);
    EXPECT_EQ(renderer_->scaled_count(), copies);  // replaced, not added
    const uint32_t dim = PixelAfterFrame(10, 10, 2.5, 0.5);
    EXPECT_NEAR(static_cast<int>(dim >> 16), 128, 2);
    EXPECT_EQ(renderer_->scaled_count(), copies);

    // Updating a picture in place draws what changed, and only that.
    const simhost::RenderOptions options{1.0, 1.0};
    int w = 0;
    int h = 0;
    renderer_->WindowSize(window(), options, &w, &h);
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    auto pixel = [&](int x, int y) {
        const unsigned char* data = cairo_image_surface_get_data(picture);
        return reinterpret_cast<const uint32_t*>(data +
                                                 y * cairo_image_surface_get_stride(picture))[x] &
               0xFFFFFF;
    };
    EXPECT_EQ(renderer_->UpdateWindow(window(), options, picture), 1);  // the first: whole
    EXPECT_EQ(pixel(50, 25), 0xFFFFFFu);
    sim_->RunFrame();
    EXPECT_EQ(renderer_->UpdateWindow(window(), options, picture), 0);  // nothing changed
    g_needle_angle = 90;
    sim_->RunFrame();
    EXPECT_EQ(renderer_->UpdateWindow(window(), options, picture), 1);
    EXPECT_EQ(pixel(75, 50), 0xFFFFFFu);    // the needle where it now points
    EXPECT_EQ(pixel(50, 25), kBackground);  // and gone from where it was
    cairo_surface_t* fresh = renderer_->RenderWindow(window(), options);
    EXPECT_EQ(
        std::memcmp(cairo_image_surface_get_data(fresh), cairo_image_surface_get_data(picture),
                    static_cast<size_t>(cairo_image_surface_get_stride(picture)) * h),
        0);  // the same as drawn whole
    cairo_surface_destroy(fresh);
    EXPECT_EQ(renderer_->UpdateWindow(window(), {1.0, 0.5}, picture), 1);  // new options: whole
    cairo_surface_destroy(picture);
}

TEST_F(GaugeRendererTest, PointerClicksRepeatsWhileHeldAndDragsAcrossZones) {
    const simhost::RenderOptions options{2.0, 1.0};  // window drawn at twice the size
    // A button that takes single clicks and releases.
    router_->Press(window(), 20, 180, false, options);
    router_->Release(window(), 20, 180, false, options);
    EXPECT_EQ(g_events, (std::vector<uint32_t>{0x10000u + gauge::kMouseLeftSingle,
                                               0x10000u + gauge::kMouseLeftRelease}));
    EXPECT_EQ(router_->CursorAt(window(), 20, 180, options), 5u);

    // Held for one second: repeats 400 ms after the press, then every 100 ms.
    g_events.clear();
    router_->Press(window(), 60, 180, false, options);
    for (int frame = 0; frame < 30; ++frame) {  // 1 s at 30 frames per second
        sim_->BeginFrame();
        router_->Frame();
        sim_->RunGauges();
    }
    router_->Release(window(), 60, 180, false, options);
    ASSERT_FALSE(g_events.empty());
    EXPECT_EQ(g_events.front(), 0x20000u + gauge::kMouseLeftSingle);
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), 0x20000u + gauge::kMouseLeftRepeat), 7);

    // A drag from one touch zone into the next reaches both; moves without
    // a held button reach nothing.
    g_events.clear();
    router_->Move(window(), 100, 180, options);
    EXPECT_TRUE(g_events.empty());
    router_->Press(window(), 100, 180, false, options);
    router_->Move(window(), 130, 180, options);
    router_->Release(window(), 130, 180, false, options);
    EXPECT_EQ(g_events, (std::vector<uint32_t>{0x30000u + gauge::kMouseLeftSingle,
                                               0x40000u + gauge::kMouseMove}));

    // Outside every child rectangle nothing happens.
    g_events.clear();
    router_->Press(window(), 100, 20, false, options);
    router_->Release(window(), 100, 20, false, options);
    EXPECT_TRUE(g_events.empty());
}

// A snapshot writes each window's picture down the window, a band of rows at
// a time, reading its background picture the same way; a gauge larger than a
// band is drawn band by band when it shows only bitmaps, its scaled bitmap
// made a band at a time. The file holds exactly the picture the window drawn
// whole is: here a window with a half-transparent background picture, a
// large gauge of bitmaps covering most of it, a large gauge of every element
// type, and smaller ones over them, in daylight and dimmed, at several scales.
class WindowPngTest : public GaugeRendererTest {
  protected:
    void SetUp() override {
        panel_ =
            "[Window00]\nsize_mm=1200,1000\nfile=back.png\n"
            "gauge00=Fake!Plate, 30, 20, 1100, 940\n"
            "gauge01=Fake!Block, 100, 290, 230\n"
            "gauge02=Fake!Block, 700, 610, 150\n"
            "gauge03=Fake!Block, 40, 900, 1150, 1010\n"
            "gauge04=Fake!Block, 1040, 10, 150, 300\n"
            "[Window01]\nsize_mm=1200,1000\n"
            "gauge00=Fake!Plate, 30, 20, 1100, 940\n"
            "gauge01=Fake!Block, 500, 130, 230\n";
        // The background: 600 x 500 pixels (drawn scaled), a colour ramp
        // whose alpha runs from clear to opaque down the picture.
        fs::create_directories(tmp_.path() / "panel");
        cairo_surface_t* back = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 600, 500);
        cairo_t* cr = cairo_create(back);
        cairo_pattern_t* ramp = cairo_pattern_create_linear(0, 0, 600, 500);
        cairo_pattern_add_color_stop_rgba(ramp, 0, 0.9, 0.2, 0.1, 0.0);
        cairo_pattern_add_color_stop_rgba(ramp, 0.6, 0.1, 0.8, 0.3, 0.7);
        cairo_pattern_add_color_stop_rgba(ramp, 1, 0.2, 0.3, 0.9, 1.0);
        cairo_set_source(cr, ramp);
        cairo_paint(cr);
        cairo_pattern_destroy(ramp);
        cairo_destroy(cr);
        ASSERT_EQ(cairo_surface_write_to_png(back, (tmp_.path() / "panel" / "back.png").c_str()),
                  CAIRO_STATUS_SUCCESS);
        cairo_surface_destroy(back);
        GaugeRendererTest::SetUp();
    }

    // Pixels of the written pictures that differ from the windows drawn whole.
    int DifferingPixels(const simhost::RenderOptions& options) {
        std::string error;
        std::vector<simhost::GaugeRenderer::WindowPicture> pictures;
        const fs::path dir = tmp_.path() / "shots";
        EXPECT_TRUE(renderer_->WritePngs(dir, "s", options, &error, &pictures)) << error;
        const std::vector<simhost::PanelWindow>& windows = sim_->panel_windows();
        if (pictures.size() != windows.size()) return -1;
        int differing = 0;
        for (size_t i = 0; i < windows.size(); ++i) {
            cairo_surface_t* file =
                cairo_image_surface_create_from_png((dir / pictures[i].file).c_str());
            cairo_surface_t* whole = renderer_->RenderWindow(windows[i], options);
            const int w = cairo_image_surface_get_width(whole);
            const int h = cairo_image_surface_get_height(whole);
            if (cairo_surface_status(file) != CAIRO_STATUS_SUCCESS ||
                cairo_image_surface_get_width(file) != w ||
                cairo_image_surface_get_height(file) != h) {
                differing = -1;
            }
            for (int y = 0; y < h && differing >= 0; ++y) {
                const auto* a = reinterpret_cast<const uint32_t*>(
                    cairo_image_surface_get_data(file) + y * cairo_image_surface_get_stride(file));
                const auto* b =
                    reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(whole) +
                                                      y * cairo_image_surface_get_stride(whole));
                for (int x = 0; x < w; ++x) differing += (a[x] & 0xFFFFFF) != (b[x] & 0xFFFFFF);
            }
            cairo_surface_destroy(file);
            cairo_surface_destroy(whole);
        }
        return differing;
    }
};

TEST_F(WindowPngTest, TheFileHoldsExactlyThePictureOfTheWholeWindow) {
    g_needle_angle = 30;
    g_icon_value = 1;
    sim_->RunFrame();
    EXPECT_EQ(DifferingPixels({0.5, 1.0}), 0);   // the background at its own size
    EXPECT_EQ(DifferingPixels({0.5, 0.4}), 0);   // unlit art dimmed
    EXPECT_EQ(DifferingPixels({0.25, 1.0}), 0);  // the background shrunk
    EXPECT_EQ(DifferingPixels({0.37, 0.6}), 0);
    EXPECT_EQ(DifferingPixels({1.0, 1.0}), 0);  // and stretched
    EXPECT_EQ(DifferingPixels({1.7, 0.7}), 0);
    // A later picture at the same size and light copies the background the
    // first drew, under gauges that moved since.
    for (const simhost::RenderOptions options :
         {simhost::RenderOptions{0.25, 1.0}, simhost::RenderOptions{0.37, 0.6}}) {
        g_needle_angle = 30;
        g_icon_value = 1;
        sim_->RunFrame();
        EXPECT_EQ(DifferingPixels(options), 0);
        g_needle_angle = 200;
        g_icon_value = 0;
        sim_->RunFrame();
        EXPECT_EQ(DifferingPixels(options), 0);
        EXPECT_EQ(DifferingPixels(options), 0);
    }
}

// A picture brought up to date in place (the changed gauges drawn again over
// the background under them, each through its rectangle) is the picture of
// the window drawn whole, whatever the scale and light: with the background
// picture shrunk, at its own size and stretched, gauges off whole pixels.
TEST_F(WindowPngTest, UpdatingInPlaceGivesThePictureOfTheWholeWindow) {
    const simhost::RenderOptions cases[] = {{0.5, 1.0}, {0.37, 0.6}, {1.0, 1.0}, {1.7, 0.7}};
    for (const simhost::RenderOptions& options : cases) {
        for (const simhost::PanelWindow& window : sim_->panel_windows()) {
            SCOPED_TRACE(testing::Message() << "scale " << options.scale << ", ambient "
                                            << options.ambient << ", window " << window.number);
            g_needle_angle = 0;
            g_icon_value = 0;
            sim_->RunFrame();
            int w = 0;
            int h = 0;
            renderer_->WindowSize(window, options, &w, &h);
            cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
            EXPECT_GT(renderer_->UpdateWindow(window, options, picture), 0);
            g_needle_angle = 47;
            g_icon_value = 1;
            sim_->RunFrame();
            EXPECT_GT(renderer_->UpdateWindow(window, options, picture), 0);
            cairo_surface_t* whole = renderer_->RenderWindow(window, options);
            int differing = 0;
            for (int y = 0; y < h; ++y) {
                const auto* a =
                    reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(picture) +
                                                      y * cairo_image_surface_get_stride(picture));
                const auto* b =
                    reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(whole) +
                                                      y * cairo_image_surface_get_stride(whole));
                for (int x = 0; x < w; ++x) differing += a[x] != b[x];
            }
            EXPECT_EQ(differing, 0);
            cairo_surface_destroy(whole);
            cairo_surface_destroy(picture);
        }
    }
}

// Window pictures are named by title; the names stay apart from each other
// and from the gauges' surface pictures (<gauge>, <gauge>-2, ...), and a
// window with no title falls back to its number.
TEST(WindowPictureNames, TitlesBecomeFileNamesKeptApartFromEachOtherAndFromSurfacePictures) {
    auto window = [](int number, std::string title) {
        simhost::PanelWindow w;
        w.number = number;
        w.title = std::move(title);
        return w;
    };
    auto gauge = [](std::string name) {
        simhost::GaugeInstance g;
        g.name = std::move(name);
        return g;
    };
    std::vector<simhost::GaugeInstance> gauges;
    gauges.push_back(gauge("VSI1 SEL"));
    gauges.push_back(gauge("Caution"));
    const std::vector<simhost::PanelWindow> windows = {
        window(0, "Main Panel"), window(1, "Main Panel"), window(2, "VSI1 SEL"),
        window(3, "Caution-2"),  window(4, "Caution-2a"), window(5, ""),
        window(6, "w05"),        window(7, "Ovhd/Left:1")};
    EXPECT_EQ(
        simhost::WindowPictureNames(windows, gauges),
        (std::vector<std::string>{"Main_Panel", "Main_Panel-w01", "VSI1_SEL-w02", "Caution-2-w03",
                                  "Caution-2a", "w05", "w05-w06", "Ovhd_Left_1"}));
}

}  // namespace
}  // namespace zu::e2e
