#include "zu/simhost/turned_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zu::simhost {
namespace {

// 1/256: Cairo's tolerance for a scale of one.
constexpr double kScaleEpsilon = 1.0 / 256.0;
// Cairo's bound on matrix entries handed to Pixman.
constexpr double kMaxPixmanInt = 32767.0 - 1.0 / 65536.0;

// A value in Cairo's 24.8 fixed point (rounded to the nearest, ties to even).
int32_t Fixed8(double v) {
    return static_cast<int32_t>(static_cast<int64_t>(std::nearbyint(v * 256.0)));
}

// A value in Pixman's 16.16 fixed point, rounded as Cairo rounds it.
pixman_fixed_t Fixed16(double v) {
    return static_cast<pixman_fixed_t>(
        static_cast<uint32_t>(static_cast<int64_t>(std::nearbyint(v * 65536.0))));
}

bool UnityScale(const cairo_matrix_t& m) {
    const double det = m.xx * m.yy - m.yx * m.xy;
    if (std::fabs(det * det - 1.0) < kScaleEpsilon) {
        if (std::fabs(m.xy) < kScaleEpsilon && std::fabs(m.yx) < kScaleEpsilon) return true;
        if (std::fabs(m.xx) < kScaleEpsilon && std::fabs(m.yy) < kScaleEpsilon) return true;
    }
    return false;
}

bool PixelExact(const cairo_matrix_t& m) {
    return UnityScale(m) && (Fixed8(m.x0) & 0xFF) == 0 && (Fixed8(m.y0) & 0xFF) == 0;
}

// Cairo's rounding of a coordinate to an integer (halves up).
int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

}  // namespace

bool PaintTurnedImage(cairo_t* cr, const cairo_matrix_t& pattern, pixman_image_t* source,
                      pixman_image_t* target, int x0, int y0, int x1, int y1) {
    if (source == nullptr || target == nullptr) return false;
    cairo_surface_t* surface = cairo_get_group_target(cr);
    double sx = 1;
    double sy = 1;
    double ox = 0;
    double oy = 0;
    cairo_surface_get_device_scale(surface, &sx, &sy);
    cairo_surface_get_device_offset(surface, &ox, &oy);
    if (sx != 1.0 || sy != 1.0 || ox != 0.0 || oy != 0.0) return false;

    // The inverse of the current transformation, as Cairo keeps it.
    cairo_matrix_t inverse;
    double ax = 1;
    double ay = 0;
    cairo_device_to_user_distance(cr, &ax, &ay);
    double bx = 0;
    double by = 1;
    cairo_device_to_user_distance(cr, &bx, &by);
    double cx = 0;
    double cy = 0;
    cairo_device_to_user(cr, &cx, &cy);
    cairo_matrix_init(&inverse, ax, ay, bx, by, cx, cy);

    // Device pixels to the source's pixels.
    cairo_matrix_t p;
    cairo_matrix_multiply(&p, &inverse, &pattern);
    if (!std::isfinite(p.xx) || !std::isfinite(p.yx) || !std::isfinite(p.xy) ||
        !std::isfinite(p.yy) || !std::isfinite(p.x0) || !std::isfinite(p.y0)) {
        return false;
    }
    // Only turned transforms: plain scales and translations go elsewhere.
    if (p.xy == 0.0 && p.yx == 0.0) return false;

    // The filter: pixels mapped one to one are taken as they are; otherwise
    // bilinear while the scale stays above 0.75.
    pixman_filter_t filter = PIXMAN_FILTER_BILINEAR;
    const bool nearest = PixelExact(p);
    if (nearest) {
        filter = PIXMAN_FILTER_NEAREST;
    } else {
        constexpr double kBilinearLimit = 1.0 / (0.75 * 0.75);
        if (!(p.xx * p.xx + p.xy * p.xy < kBilinearLimit) ||
            !(p.yx * p.yx + p.yy * p.yy < kBilinearLimit)) {
            return false;
        }
    }

    // The source's extents on the target.
    const int w = pixman_image_get_width(source);
    const int h = pixman_image_get_height(source);
    if (w <= 0 || h <= 0) return false;
    double ex1 = 0;
    double ey1 = 0;
    double ex2 = w;
    double ey2 = h;
    bool round_x = false;
    bool round_y = false;
    if (nearest) {
        round_x = round_y = true;
        ex1 -= 0.004;
        ey1 -= 0.004;
        ex2 += 0.004;
        ey2 += 0.004;
    } else {
        if (std::hypot(p.xx, p.yx) < 1.0) {
            ex1 -= 0.5;
            ex2 += 0.5;
            round_x = true;
        }
        if (std::hypot(p.xy, p.yy) < 1.0) {
            ey1 -= 0.5;
            ey2 += 0.5;
            round_y = true;
        }
    }
    cairo_matrix_t to_device = p;
    if (cairo_matrix_invert(&to_device) != CAIRO_STATUS_SUCCESS) return false;
    if (to_device.xy == 0.0 && to_device.yx == 0.0) return false;
    double qx[4] = {ex1, ex2, ex1, ex2};
    double qy[4] = {ey1, ey1, ey2, ey2};
    for (int i = 0; i < 4; ++i) cairo_matrix_transform_point(&to_device, &qx[i], &qy[i]);
    ex1 = ex2 = qx[0];
    ey1 = ey2 = qy[0];
    for (int i = 1; i < 4; ++i) {
        ex1 = std::min(ex1, qx[i]);
        ex2 = std::max(ex2, qx[i]);
        ey1 = std::min(ey1, qy[i]);
        ey2 = std::max(ey2, qy[i]);
    }
    if (!round_x) {
        ex1 -= 0.5;
        ex2 += 0.5;
    }
    if (!round_y) {
        ey1 -= 0.5;
        ey2 += 0.5;
    }
    constexpr double kLimit = 1 << 24;
    if (!(std::fabs(ex1) < kLimit && std::fabs(ex2) < kLimit && std::fabs(ey1) < kLimit &&
          std::fabs(ey2) < kLimit)) {
        return false;
    }
    // What is composited: the extents within the clip and the target.
    const int bx0 = std::max({RoundHalfUp(ex1), x0, 0});
    const int by0 = std::max({RoundHalfUp(ey1), y0, 0});
    const int bx1 = std::min({RoundHalfUp(ex2), x1, pixman_image_get_width(target)});
    const int by1 = std::min({RoundHalfUp(ey2), y1, pixman_image_get_height(target)});
    if (bx0 >= bx1 || by0 >= by1) return true;
    // A single pixel may be filled with one source pixel's colour instead.
    if (bx1 - bx0 == 1 && by1 - by0 == 1) return false;

    // An integer offset taken out of the transform's translation, chosen so
    // that both stay small.
    cairo_matrix_t m = p;
    int ix = 0;
    int iy = 0;
    if (m.x0 != 0.0 || m.y0 != 0.0) {
        double tx = m.x0;
        double ty = m.y0;
        double norm = std::max(std::fabs(tx), std::fabs(ty));
        for (int i = -1; i < 2; i += 2) {
            for (int j = -1; j < 2; j += 2) {
                double den = (m.xx + i) * (m.yy + j) - m.xy * m.yx;
                if (std::fabs(den) < std::numeric_limits<double>::epsilon()) continue;
                double x = m.y0 * m.xy - m.x0 * (m.yy + j);
                double y = m.x0 * m.yx - m.y0 * (m.xx + i);
                den = 1 / den;
                x *= den;
                y *= den;
                const double new_norm = std::max(std::fabs(x), std::fabs(y));
                if (norm > new_norm) {
                    norm = new_norm;
                    tx = x;
                    ty = y;
                }
            }
        }
        tx = std::floor(tx);
        ty = std::floor(ty);
        ix = static_cast<int>(-tx);
        iy = static_cast<int>(-ty);
        cairo_matrix_translate(&m, tx, ty);
    }

    // The transform in 16.16, corrected so that it agrees with the exact one
    // at the composited area's centre.
    pixman_transform_t t;
    t.matrix[0][0] = Fixed16(m.xx);
    t.matrix[0][1] = Fixed16(m.xy);
    t.matrix[0][2] = Fixed16(m.x0);
    t.matrix[1][0] = Fixed16(m.yx);
    t.matrix[1][1] = Fixed16(m.yy);
    t.matrix[1][2] = Fixed16(m.y0);
    t.matrix[2][0] = 0;
    t.matrix[2][1] = 0;
    t.matrix[2][2] = pixman_fixed_1;
    if (!UnityScale(m)) {
        if (std::fabs(m.xx) > kMaxPixmanInt || std::fabs(m.xy) > kMaxPixmanInt ||
            std::fabs(m.x0) > kMaxPixmanInt || std::fabs(m.yx) > kMaxPixmanInt ||
            std::fabs(m.yy) > kMaxPixmanInt || std::fabs(m.y0) > kMaxPixmanInt) {
            return false;
        }
        cairo_matrix_t inv = m;
        if (cairo_matrix_invert(&inv) == CAIRO_STATUS_SUCCESS) {
            // The centre of the rectangle composited through.
            const double xc = bx0 + (bx1 - bx0) / 2.;
            const double yc = by0 + (by1 - by0) / 2.;
            for (int k = 0; k < 5; ++k) {
                pixman_vector_t v;
                v.vector[0] = Fixed16(xc);
                v.vector[1] = Fixed16(yc);
                v.vector[2] = pixman_fixed_1;
                if (!pixman_transform_point_3d(&t, &v)) break;
                double x = pixman_fixed_to_double(v.vector[0]);
                double y = pixman_fixed_to_double(v.vector[1]);
                cairo_matrix_transform_point(&inv, &x, &y);
                x -= xc;
                y -= yc;
                cairo_matrix_transform_distance(&m, &x, &y);
                const pixman_fixed_t dx = Fixed16(x);
                const pixman_fixed_t dy = Fixed16(y);
                t.matrix[0][2] -= dx;
                t.matrix[1][2] -= dy;
                if (dx == 0 && dy == 0) break;
            }
        }
    }
    if (!pixman_image_set_transform(source, &t)) return false;
    pixman_image_set_filter(source, filter, nullptr, 0);
    pixman_image_set_repeat(source, PIXMAN_REPEAT_NONE);
    // Cairo lets go of the pixels (it keeps no copies of them) while they
    // are written behind its back.
    cairo_surface_flush(surface);
    pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, bx0 + ix, by0 + iy, 0, 0, bx0,
                             by0, bx1 - bx0, by1 - by0);
    // Cairo holds the picture as drawn on from now (while all clear, it
    // would turn its next OVER into SOURCE).
    cairo_surface_mark_dirty_rectangle(surface, bx0, by0, bx1 - bx0, by1 - by0);
    return true;
}

}  // namespace zu::simhost
