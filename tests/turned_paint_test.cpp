// Turned bitmaps painted straight with Pixman must come out exactly as Cairo
// paints them: random bitmaps with alpha, turned by random and by square
// angles about random pivots, at fractional positions and scales, with and
// without a clip, each compared pixel for pixel with Cairo's own paint.
#include "zu/simhost/turned_paint.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <random>

namespace zu::e2e {
namespace {

constexpr int kSize = 72;

// A picture of random premultiplied pixels; `opaque` makes every alpha full.
cairo_surface_t* RandomPicture(std::mt19937& rng, int w, int h, bool opaque) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    const int stride = cairo_image_surface_get_stride(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            int a = opaque ? 255 : byte(rng);
            if (!opaque && byte(rng) < 60) a = byte(rng) < 128 ? 0 : 255;
            const auto c = [&] { return a == 0 ? 0 : byte(rng) * a / 255; };
            row[x] = (static_cast<uint32_t>(a) << 24) | (c() << 16) | (c() << 8) | c();
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

TEST(TurnedPaint, MatchesCairoPixelForPixel) {
    std::mt19937 rng(20261210);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double square[] = {90, 180, 270, -90, 1e-4, -1e-3, 0.01, 360 - 1e-4};
    int direct = 0;
    constexpr int kCases = 3000;
    for (int n = 0; n < kCases; ++n) {
        // The bitmap as designed, and its copy scaled by the gauge's factors
        // (dimmed copies are other pixels: the random ones stand for them).
        const int bw = 1 + static_cast<int>(unit(rng) * 40);
        const int bh = 1 + static_cast<int>(unit(rng) * 40);
        const double kx = 0.37 + unit(rng) * 1.63;
        const double ky = n % 3 == 0 ? kx : 0.37 + unit(rng) * 1.63;
        const int w = std::max(1, static_cast<int>(std::lround(bw * kx)));
        const int h = std::max(1, static_cast<int>(std::lround(bh * ky)));
        cairo_surface_t* copy = RandomPicture(rng, w, h, n % 7 == 0);
        cairo_surface_t* background = RandomPicture(rng, kSize, kSize, n % 2 == 0);

        const double angle =
            n % 4 == 0 ? square[(n / 4) % std::size(square)] : (unit(rng) - 0.5) * 720;
        const double gx = std::floor(unit(rng) * 20) + (n % 5 == 0 ? 0 : unit(rng));
        const double gy = std::floor(unit(rng) * 20) + (n % 5 == 0 ? 0 : unit(rng));
        const double px = unit(rng) * 60 / kx;
        const double py = unit(rng) * 60 / ky;
        const double pivot_x = n % 6 == 0 ? bw / 2.0 : unit(rng) * bw;
        const double pivot_y = n % 6 == 0 ? bh / 2.0 : unit(rng) * bh;
        const bool clipped = n % 2 == 1;
        int clip[4] = {0, 0, kSize, kSize};
        if (clipped) {
            clip[0] = static_cast<int>(unit(rng) * 40);
            clip[1] = static_cast<int>(unit(rng) * 40);
            clip[2] = clip[0] + 1 + static_cast<int>(unit(rng) * 40);
            clip[3] = clip[1] + 1 + static_cast<int>(unit(rng) * 40);
        }
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, static_cast<double>(w) / bw, static_cast<double>(h) / bh);
        cairo_matrix_translate(&m, pivot_x, pivot_y);

        cairo_surface_t* pictures[2];
        for (int way = 0; way < 2; ++way) {
            cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
            cairo_t* cr = cairo_create(target);
            // A fresh picture stays all clear for Cairo until drawn on.
            if (n % 8 != 3) {
                cairo_set_source_surface(cr, background, 0, 0);
                cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
                cairo_paint(cr);
                cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
            }
            if (clipped) {
                cairo_rectangle(cr, clip[0], clip[1], clip[2] - clip[0], clip[3] - clip[1]);
                cairo_clip(cr);
            }
            cairo_translate(cr, gx, gy);
            cairo_scale(cr, kx, ky);
            cairo_translate(cr, px, py);
            cairo_rotate(cr, std::fmod(angle, 360.0) * std::numbers::pi / 180.0);
            bool painted = false;
            if (way == 1) {
                cairo_surface_flush(target);
                pixman_image_t* from = pixman_image_create_bits(
                    PIXMAN_a8r8g8b8, w, h,
                    reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(copy)),
                    cairo_image_surface_get_stride(copy));
                pixman_image_t* to = pixman_image_create_bits(
                    PIXMAN_a8r8g8b8, kSize, kSize,
                    reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(target)),
                    cairo_image_surface_get_stride(target));
                painted =
                    simhost::PaintTurnedImage(cr, m, from, to, clip[0], clip[1], clip[2], clip[3]);
                pixman_image_unref(from);
                pixman_image_unref(to);
                if (painted) ++direct;
            }
            if (!painted) {
                cairo_pattern_t* pattern = cairo_pattern_create_for_surface(copy);
                cairo_pattern_set_matrix(pattern, &m);
                cairo_set_source(cr, pattern);
                cairo_paint(cr);
                cairo_pattern_destroy(pattern);
            }
            // What Cairo draws next, over the needle.
            cairo_identity_matrix(cr);
            cairo_set_source_rgba(cr, 0.2, 0.5, 0.7, 0.5);
            cairo_rectangle(cr, 10, 10, 40, 30);
            cairo_fill(cr);
            cairo_destroy(cr);
            cairo_surface_flush(target);
            pictures[way] = target;
        }
        const int stride = cairo_image_surface_get_stride(pictures[0]);
        ASSERT_EQ(std::memcmp(cairo_image_surface_get_data(pictures[0]),
                              cairo_image_surface_get_data(pictures[1]),
                              static_cast<size_t>(stride) * kSize),
                  0)
            << "case " << n << ": " << bw << "x" << bh << " scaled " << kx << "," << ky
            << " turned " << angle << " at " << gx << "," << gy << " pivot " << pivot_x << ","
            << pivot_y << (clipped ? " clipped" : "");
        for (cairo_surface_t* s : pictures) cairo_surface_destroy(s);
        cairo_surface_destroy(copy);
        cairo_surface_destroy(background);
    }
    // Most turned paints go the direct way (Cairo's own remain for copies
    // so small that rounding their size shrinks them below 0.75).
    EXPECT_GT(direct, kCases * 7 / 10);
}

}  // namespace
}  // namespace zu::e2e
