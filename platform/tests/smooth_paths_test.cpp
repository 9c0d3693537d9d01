#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "zu/platform/drawing.h"

namespace zu::platform {
namespace {

// Random smooth shapes, painted once by the drawing layer's own rasteriser
// and once by its reference path (pixman's rasteriser and compositing):
// every pixel must agree.
class ScenePainter {
  public:
    explicit ScenePainter(uint32_t seed) : rng_(seed) {}

    // Paints one scene of `shapes` shapes into a fresh context.
    void Paint(uint8_t* pixels, int32_t w, int32_t h, int32_t stride, int32_t shapes) {
        DrawContext* dc = DrawContextCreate(pixels, w, h, stride);
        ASSERT_NE(dc, nullptr);
        // A background of a few colours, so every coverage shows.
        for (int32_t i = 0; i < 4; ++i) {
            DrawFillRect(dc, {Int(-5, w), Int(-5, h), Int(0, w + 5), Int(0, h + 5)}, Colour());
        }
        if (Int(0, 3) == 0) DrawSetLogicalSize(dc, Int(w / 3, w * 2), Int(h / 3, h * 2));
        DrawRegion region{};
        switch (Int(0, 4)) {
            case 0:
                DrawSetClipRect(
                    dc, {Int(-3, w / 2), Int(-3, h / 2), Int(w / 2, w + 3), Int(h / 2, h + 3)});
                break;
            case 1:
                region = DrawRegionEllipse(
                    {Int(-5, w / 3), Int(-5, h / 3), Int(w / 2, w + 5), Int(h / 2, h + 5)});
                ASSERT_TRUE(DrawRegionSubtractRect(&region, region,
                                                   {Int(0, w), Int(0, h), Int(0, w), Int(0, h)}));
                DrawSelectClipRegion(dc, region);
                break;
            case 2: {
                const DrawPoint diamond[4] = {
                    {w / 2, Int(-4, 4)}, {w + Int(-4, 4), h / 2}, {w / 2, h}, {Int(-4, 4), h / 2}};
                ASSERT_TRUE(DrawRegionPolygon(&region, diamond, 4));
                DrawSetSmoothClip(dc, region);
                DrawSetClipRect(dc, {0, 0, w / 2, h});  // not the smooth layer's
                break;
            }
            default:
                break;
        }
        for (int32_t i = 0; i < shapes; ++i) {
            if (Int(0, 3) == 0) {
                SmoothSetTransform(dc, Real(-180, 180), Real(0, w), Real(0, h), Real(-5, 5));
            } else {
                SmoothSetTransform(dc, 0, 0, 0, 0);
            }
            switch (Int(0, 5)) {
                case 0:
                case 1:
                    SmoothLine(dc, X(w), X(h), X(w), X(h), Colour());
                    break;
                case 2: {  // level, upright and one-pixel lines on the grid
                    const double x = Int(-2, w + 2), y = Int(-2, h + 2);
                    const double len = Int(0, 2) == 0 ? Real(0, 2) : Int(-w, w);
                    if (Int(0, 1) == 0) {
                        SmoothLine(dc, x, y, x + len, y, Colour());
                    } else {
                        SmoothLine(dc, x, y, x, y + len, Colour());
                    }
                    break;
                }
                case 3:
                    SmoothFillRect(dc, X(w), X(h), Real(0, w), Real(0, h), Colour());
                    break;
                case 4:
                    SmoothArc(dc, X(w), X(h), Real(0, w), Real(0, h), Real(-400, 400),
                              Real(-400, 400), Colour());
                    break;
                default:
                    SmoothEllipse(dc, X(w), X(h), Real(0, w * 1.5), Real(0, h * 1.5), Colour());
                    break;
            }
        }
        DrawContextDestroy(dc);
    }

  private:
    int32_t Int(int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng_);
    }
    double Real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng_);
    }
    uint32_t Colour() { return rng_() & 0xFFFFFFu; }
    // A coordinate: mostly on and around the surface, in halves, quarters or
    // anywhere between; sometimes far outside it, or not a number at all.
    double X(int32_t size) {
        switch (Int(0, 15)) {
            case 0:
                return Real(-1e6, 1e6);
            case 1:
                return Int(0, 1) != 0 ? Real(-20000, -15000) : Real(15000, 20000);
            case 2:
                return Int(0, 3) != 0 ? std::numeric_limits<double>::infinity()
                                      : std::numeric_limits<double>::quiet_NaN();
            case 3:
            case 4:
                return Int(-4, 4 * size + 4) / 4.0;
            default:
                return Real(-size * 0.3, size * 1.3);
        }
    }
    std::mt19937 rng_;
};

struct Picture {
    int32_t w, h, stride;
    std::vector<uint8_t> data;
    Picture(int32_t width, int32_t height)
        : w(width), h(height), stride(width * 4 + 4), data(static_cast<size_t>(stride) * height) {}
};

// Pixels the two paths paint differently in `scenes` scenes of w x h.
int64_t DifferingPixels(int32_t w, int32_t h, int32_t scenes, int32_t shapes, uint32_t seed) {
    int64_t differing = 0;
    for (int32_t scene = 0; scene < scenes; ++scene) {
        Picture fast(w, h), reference(w, h);
        ScenePainter(seed + scene).Paint(fast.data.data(), w, h, fast.stride, shapes);
        DrawUseReferencePaths(true);
        ScenePainter(seed + scene).Paint(reference.data.data(), w, h, reference.stride, shapes);
        DrawUseReferencePaths(false);
        for (size_t i = 0; i < fast.data.size(); i += 4) {
            differing += fast.data[i] != reference.data[i] ||
                         fast.data[i + 1] != reference.data[i + 1] ||
                         fast.data[i + 2] != reference.data[i + 2] ||
                         fast.data[i + 3] != reference.data[i + 3];
        }
    }
    return differing;
}

TEST(SmoothPaths, RandomShapesPaintWhatTheReferencePathPaints) {
    EXPECT_EQ(DifferingPixels(72, 56, 2500, 10, 100), 0);
    EXPECT_EQ(DifferingPixels(7, 5, 2000, 6, 900000), 0);  // shapes mostly outside
}

// Rows beyond those whose region spans a context keeps are tested pixel by
// pixel.
TEST(SmoothPaths, TallSurfacesPaintWhatTheReferencePathPaints) {
    EXPECT_EQ(DifferingPixels(9, 2100, 12, 40, 7000), 0);
}

// Lettering over any pixels, under a clip rectangle or region and at any
// scale, composites as the reference path does.
TEST(SmoothPaths, LetteringPaintsWhatTheReferencePathPaints) {
    constexpr int32_t w = 64, h = 40;
    const DrawHandle fonts[3] = {DrawCreateFont(12, 5, 700, "Arial"),
                                 DrawCreateFont(9, 0, 400, "Arial"),
                                 DrawCreateFont(17, 8, 400, "Arial")};
    const char* const texts[] = {"N  47 56.4", "01:02:03", "W",    "ACCEPT 1/1",
                                 "\xb0 12",    "~|{",      "T\tAB"};
    for (int32_t scene = 0; scene < 200; ++scene) {
        std::mt19937 seeds(static_cast<uint32_t>(scene));
        Picture fast(w, h), reference(w, h);
        for (size_t i = 0; i < fast.data.size(); ++i) {
            fast.data[i] = reference.data[i] = static_cast<uint8_t>(seeds());
        }
        for (const bool on : {false, true}) {
            DrawUseReferencePaths(on);
            Picture& picture = on ? reference : fast;
            std::mt19937 rng(static_cast<uint32_t>(1000 + scene));
            const auto pick = [&](int32_t lo, int32_t hi) {
                return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
            };
            DrawContext* dc = DrawContextCreate(picture.data.data(), w, h, picture.stride);
            ASSERT_NE(dc, nullptr);
            if (pick(0, 2) == 0) DrawSetLogicalSize(dc, pick(w / 2, w * 2), pick(h / 2, h * 2));
            DrawRegion region{};
            switch (pick(0, 2)) {
                case 0:
                    DrawSetClipRect(dc, {pick(-3, w / 2), pick(-3, h / 2), pick(w / 2, w + 3),
                                         pick(h / 2, h + 3)});
                    break;
                case 1:
                    region = DrawRegionEllipse(
                        {pick(-5, w / 3), pick(-5, h / 3), pick(w / 2, w + 5), pick(h / 2, h + 5)});
                    ASSERT_TRUE(DrawRegionSubtractRect(
                        &region, region, {pick(0, w), pick(0, h), pick(0, w), pick(0, h)}));
                    DrawSelectClipRegion(dc, region);
                    break;
                default:
                    break;
            }
            for (int32_t i = 0; i < 6; ++i) {
                DrawSelectObject(dc, fonts[pick(0, 2)]);
                DrawSetTextColour(dc, static_cast<uint32_t>(rng()) & 0xFFFFFFu);
                DrawSetTextAlign(dc, pick(0, 1) != 0 ? kDrawTaCenter : kDrawTaBaseline);
                DrawSetBkMode(dc, pick(0, 3) == 0);
                DrawSetBkColour(dc, static_cast<uint32_t>(rng()) & 0xFFFFFFu);
                const char* text = texts[pick(0, 6)];
                DrawTextOut(dc, pick(-10, w + 5), pick(-10, h + 5), text,
                            static_cast<int32_t>(std::strlen(text)));
            }
            DrawContextDestroy(dc);
        }
        DrawUseReferencePaths(false);
        ASSERT_EQ(fast.data, reference.data) << "scene " << scene;
    }
    for (const DrawHandle font : fonts) DrawDeleteObject(font);
}

// Smooth lines and rectangles kept while drawn paint the same again over
// other pixels, while the context is as they were drawn under; otherwise,
// or after an arc, a replay paints nothing.
TEST(SmoothPaths, KeptShapesPaintAgainWhatTheyPaint) {
    constexpr int32_t w = 60, h = 44;
    std::mt19937 rng(21);
    const auto real = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    static SmoothKeep keep;
    for (int32_t scene = 0; scene < 300; ++scene) {
        Picture kept(w, h), drawn(w, h), replayed(w, h);
        for (size_t i = 0; i < kept.data.size(); ++i) {
            kept.data[i] = static_cast<uint8_t>(rng());
            drawn.data[i] = replayed.data[i] = static_cast<uint8_t>(rng());
        }
        DrawContext* a = DrawContextCreate(kept.data.data(), w, h, kept.stride);
        DrawContext* b = DrawContextCreate(drawn.data.data(), w, h, drawn.stride);
        DrawContext* c = DrawContextCreate(replayed.data.data(), w, h, replayed.stride);
        const double angle = real(-180, 180), cx = real(0, w), cy = real(0, h);
        const bool region = scene % 2 == 0;
        const DrawRegion ellipse = DrawRegionEllipse({-3, 2, w - 5, h + 4});
        for (DrawContext* dc : {a, b, c}) {
            SmoothSetTransform(dc, angle, cx, cy, 0);
            if (region) DrawSetSmoothClip(dc, ellipse);
        }
        SmoothKeepBegin(a, &keep);
        const int32_t shapes = 1 + scene % 30;
        for (int32_t i = 0; i < shapes; ++i) {
            const double x = real(-10, w + 10), y = real(-10, h + 10);
            const double u = real(-20, 20), v = real(-20, 20);
            const auto colour = static_cast<uint32_t>(rng() & 0xFFFFFFu);
            for (DrawContext* dc : {a, b}) {
                if (i % 5 == 4) {
                    SmoothFillRect(dc, x, y, std::abs(u), std::abs(v), colour);
                } else {
                    SmoothLine(dc, x, y, x + u, y + v, colour);
                }
            }
        }
        SmoothKeepEnd(a);
        ASSERT_TRUE(SmoothReplay(c, keep)) << "scene " << scene;
        ASSERT_EQ(replayed.data, drawn.data) << "scene " << scene;
        // Another transform, or the clip gone: nothing painted.
        SmoothSetTransform(c, angle + 1, cx, cy, 0);
        EXPECT_FALSE(SmoothReplay(c, keep));
        SmoothSetTransform(c, angle, cx, cy, 0);
        if (region) {
            DrawResetSmoothClip(c);
            EXPECT_FALSE(SmoothReplay(c, keep));
        }
        EXPECT_EQ(replayed.data, drawn.data) << "scene " << scene;
        // An arc among the shapes: not kept.
        SmoothKeepBegin(a, &keep);
        SmoothLine(a, 1, 1, 20, 9, 0xFFFFFF);
        SmoothArc(a, 5, 5, 20, 20, 0, 90, 0xFFFFFF);
        SmoothKeepEnd(a);
        SmoothSetTransform(c, angle, cx, cy, 0);
        if (region) DrawSetSmoothClip(c, ellipse);
        EXPECT_FALSE(SmoothReplay(c, keep));
        for (DrawContext* dc : {a, b, c}) DrawContextDestroy(dc);
    }
}

}  // namespace
}  // namespace zu::platform
