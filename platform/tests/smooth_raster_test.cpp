#include "smooth_raster.h"

#include <gtest/gtest.h>
#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace zu::platform::raster {
namespace {

constexpr int32_t kW = 40, kH = 30;

// pixman's A8 mask and the sampler's coverage of the same trapezoids.
struct Masks {
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8, kW, kH, nullptr, 0);
    uint8_t* bits = reinterpret_cast<uint8_t*>(pixman_image_get_data(image));
    int32_t stride = pixman_image_get_stride(image);
    std::vector<uint8_t> mine = std::vector<uint8_t>(kW * kH);
    std::vector<int32_t> cells = std::vector<int32_t>(kW + 1);
    int32_t rows_handed = 0;
    ~Masks() { pixman_image_unref(image); }
    Masks() = default;
    Masks(const Masks&) = delete;
    Masks& operator=(const Masks&) = delete;

    void Clear() {
        std::memset(bits, 0, static_cast<size_t>(stride) * kH);
        std::fill(mine.begin(), mine.end(), 0);
    }
    // Adds the trapezoids, as pixman's rasteriser adds them one by one and
    // as the sampler adds them together (rows from first_row to end_row).
    // Only the columns from clip_left to clip_right have to agree.
    void Add(const std::vector<pixman_trapezoid_t>& traps, int32_t first_row = 0,
             int32_t end_row = kH, int32_t clip_left = 0, int32_t clip_right = kW) {
        for (const pixman_trapezoid_t& t : traps) pixman_rasterize_trapezoid(image, &t, 0, 0);
        std::vector<Edge> edges;
        std::vector<Band> bands;
        for (const pixman_trapezoid_t& t : traps) {
            // pixman leaves out trapezoids with a horizontal side.
            if (t.left.p1.y == t.left.p2.y || t.right.p1.y == t.right.p2.y) continue;
            const auto n = static_cast<int32_t>(edges.size());
            edges.push_back(MakeEdge(t.left));
            edges.push_back(MakeEdge(t.right));
            bands.push_back({t.top, t.bottom, n, n + 1});
        }
        SampleBands(edges.data(), bands.data(), static_cast<int32_t>(bands.size()), kW, kH,
                    first_row, end_row, clip_left, clip_right, cells.data(),
                    [&](int32_t y, int32_t a0, int32_t a1, int32_t b0, int32_t b1) {
                        ++rows_handed;
                        ASSERT_TRUE(y >= first_row && y < end_row) << y;
                        ASSERT_TRUE(0 <= a0 && a0 <= a1 && a1 <= b0 && b0 <= b1 && b1 <= kW + 1);
                        int32_t s = 0;
                        for (int32_t x = a0; x < b1; ++x) {
                            if (x >= a1 && x < b0) {
                                ASSERT_EQ(cells[x], 0) << "between the runs";
                            }
                            s += cells[x];
                            cells[x] = 0;
                            if (x == kW) break;
                            uint8_t& m = mine[y * kW + x];
                            m = static_cast<uint8_t>(std::min(255, m + s));
                        }
                        ASSERT_EQ(s, 0) << "differences that do not end";
                    });
        for (int32_t c : cells) ASSERT_EQ(c, 0) << "cells left behind";
    }
    // Pixels that differ in rows [first_row, end_row), columns [left, right).
    int32_t Differing(int32_t first_row = 0, int32_t end_row = kH, int32_t left = 0,
                      int32_t right = kW) const {
        int32_t n = 0;
        for (int32_t y = first_row; y < end_row; ++y) {
            for (int32_t x = left; x < right; ++x) n += bits[y * stride + x] != mine[y * kW + x];
        }
        return n;
    }
    bool Empty() const {
        return std::all_of(mine.begin(), mine.end(), [](uint8_t m) { return m == 0; });
    }
};

// Random trapezoids of every scale, from sub-pixel ones to ones reaching
// far outside the mask (and beyond the 16.16 range's safe half), with
// vertical sides, sides longer than the band, tops on a sub-row exactly,
// and sides crossing.
struct TrapezoidMaker {
    std::mt19937 rng;
    explicit TrapezoidMaker(uint32_t seed) : rng(seed) {}
    int32_t Int(int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    }
    pixman_trapezoid_t Next() {
        if (Int(0, 7) == 0) return Returning();
        static constexpr int32_t kReach[] = {2, 50, 1000, 16000};
        const int32_t reach = kReach[Int(0, 3)] * kOne;
        const auto at = [&](int32_t size) { return Int(-reach / 4, reach / 4) + size * kOne / 2; };
        pixman_trapezoid_t t;
        t.top = at(kH);
        t.bottom = t.top + Int(-1000, reach / 2);
        t.left = {{at(kW), at(kH)}, {at(kW), at(kH)}};
        t.right = {{at(kW), at(kH)}, {at(kW), at(kH)}};
        if (Int(0, 3) == 0) {  // sides spanning the band, as a polygon's do
            t.left.p1.y = t.top - Int(0, 70000);
            t.left.p2.y = t.bottom + Int(0, 70000);
            t.right.p1.y = t.top - Int(0, 5);
            t.right.p2.y = t.bottom + Int(0, 5);
        }
        if (Int(0, 5) == 0) t.left.p2.x = t.left.p1.x;
        if (Int(0, 4) == 0) t.right.p2.x = t.right.p1.x;
        if (Int(0, 7) == 0) {
            t.top = (t.top & ~(kOne - 1)) | (kFirstSubRow + kRowStep * Int(0, kSubRows - 1));
            t.left.p1.y = t.top;
        }
        if (Int(0, 7) == 0) t.bottom = (t.bottom & ~(kOne - 1)) | kLastSubRow;
        return t;
    }
    // A left side from a sub-row whose error comes back to exactly zero
    // every other sub-row, near a sub-column's boundary: where a walk that
    // carried one step early (or late) would count one sub-column more.
    pixman_trapezoid_t Returning() {
        const int32_t m = Int(2, 6);
        const int32_t dx = m * (2 * Int(0, 20) + 1) * (Int(0, 1) != 0 ? 1 : -1);
        const int32_t top = Int(0, kH - 4) * kOne + kFirstSubRow + kRowStep * Int(0, kSubRows - 1);
        const int32_t x = Int(1, kW - 2) * kOne + kColumnStep * Int(1, kSubColumns - 1) -
                          kFirstSubColumn + Int(-3 * m * 40, 3 * m * 40);
        const int32_t bottom = top + 2 * kRowStep * m * Int(1, 3);
        pixman_trapezoid_t t;
        t.top = top;
        t.bottom = bottom;
        t.left = {{x, top}, {x + dx * Int(1, 3), bottom}};
        t.right = {{(kW - 1) * kOne, 0}, {(kW - 1) * kOne, kH * kOne}};
        return t;
    }
};

TEST(SmoothRaster, SubRowsAndEdgeWalksStartWhereThoseOfPixmanStart) {
    TrapezoidMaker make(7);
    for (int32_t y = 0; y < 4 * kOne; ++y) {
        ASSERT_EQ(SubRowAtOrBelow(y), pixman_sample_ceil_y(y, 8)) << y;
        ASSERT_EQ(SubRowAbove(y), pixman_sample_floor_y(y, 8)) << y;
    }
    for (int32_t i = 0; i < 200000; ++i) {
        const pixman_trapezoid_t t = make.Next();
        if (t.left.p1.y == t.left.p2.y) continue;
        const int32_t start = SubRowAtOrBelow(std::max(t.top, 0));
        pixman_edge_t theirs;
        pixman_line_fixed_edge_init(&theirs, 8, start, &t.left, 0, 0);
        const Edge mine = MakeEdge(t.left);
        int32_t x = 0, e = 0;
        EdgeAt(mine, start, &x, &e);
        ASSERT_EQ(x, theirs.x) << i;
        ASSERT_EQ(e, theirs.e) << i;
        ASSERT_EQ(mine.stepx_small, theirs.stepx_small) << i;
        ASSERT_EQ(mine.dx_small, theirs.dx_small) << i;
        ASSERT_EQ(mine.stepx_big, theirs.stepx_big) << i;
        ASSERT_EQ(mine.dx_big, theirs.dx_big) << i;
    }
}

TEST(SmoothRaster, EveryTrapezoidCoversWhatPixmansRasteriserCovers) {
    Masks masks;
    TrapezoidMaker make(1);
    int32_t painted = 0;
    for (int32_t i = 0; i < 300000; ++i) {
        masks.Clear();
        masks.Add({make.Next()});
        ASSERT_EQ(masks.Differing(), 0) << "trapezoid " << i;
        painted += !masks.Empty();
    }
    EXPECT_GT(painted, 60000);
}

// Nearly upright sides, drifting less than a sub-column a row or a few:
// most of their rows stay in one sub-column, some cross one, and the sides
// run close together (a thin line's) or touch. Their tops fall on sub-rows
// as often as not, where a walk starts with its error at -dy.
TEST(SmoothRaster, SteepSidesCoverWhatPixmansRasteriserCovers) {
    Masks masks;
    std::mt19937 rng(11);
    const auto Int = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    int32_t painted = 0;
    for (int32_t i = 0; i < 100000; ++i) {
        masks.Clear();
        int32_t top = Int(-kOne, kH * kOne);
        if (Int(0, 1) == 0) top = (top & ~(kOne - 1)) | (kFirstSubRow + kRowStep * Int(0, 14));
        const int32_t bottom = top + Int(1, 12 * kOne);
        const int32_t height = (bottom - top) / kOne + 1;
        const int32_t drift = kColumnStep * Int(0, 3) / Int(1, 4);
        const int32_t x = Int(-kOne, (kW + 1) * kOne);
        const int32_t lx1 = x + Int(-drift, drift) * height;
        const int32_t gap = Int(0, 3) == 0 ? Int(0, kColumnStep) : Int(kOne / 2, 3 * kOne);
        const int32_t rx0 = x + gap, rx1 = lx1 + gap + Int(-drift, drift);
        const int32_t reach = Int(0, 1) == 0 ? 0 : Int(1, 3 * kOne);
        pixman_trapezoid_t t;
        t.top = top;
        t.bottom = bottom;
        t.left = {{x, top - reach}, {lx1, bottom + reach}};
        t.right = {{rx0, top}, {rx1, bottom}};
        masks.Add({t});
        ASSERT_EQ(masks.Differing(), 0) << "trapezoid " << i;
        painted += !masks.Empty();
    }
    EXPECT_GT(painted, 50000);
}

// A polygon's bands one under the other, each pair of rows' coverage added
// up (and saturating where two shapes overlap, as pixman's does).
TEST(SmoothRaster, StackedBandsAndOverlappingShapesAddUpAsInPixman) {
    Masks masks;
    std::mt19937 rng(3);
    const auto coord = [&](int32_t size) {
        return std::uniform_int_distribution<int32_t>(-4 * kOne, (size + 4) * kOne)(rng);
    };
    for (int32_t i = 0; i < 20000; ++i) {
        masks.Clear();
        // A convex quadrilateral's three bands: a left and a right chain.
        int32_t ys[4];
        for (int32_t& y : ys) y = coord(kH);
        std::sort(ys, ys + 4);
        const pixman_point_fixed_t top{coord(kW), ys[0]}, bottom{coord(kW), ys[3]};
        const pixman_point_fixed_t lm{coord(kW) / 2, ys[1]},
            rm{kW * kOne / 2 + coord(kW) / 2, ys[2]};
        const pixman_line_fixed_t l1{top, lm}, l2{lm, bottom}, r1{top, rm}, r2{rm, bottom};
        const std::vector<pixman_trapezoid_t> quad = {
            {ys[0], ys[1], l1, r1}, {ys[1], ys[2], l2, r1}, {ys[2], ys[3], l2, r2}};
        masks.Add(quad);
        ASSERT_EQ(masks.Differing(), 0) << "quadrilateral " << i;
        masks.Add(quad);  // twice: saturates in the middle
        ASSERT_EQ(masks.Differing(), 0) << "quadrilateral twice " << i;
    }
}

TEST(SmoothRaster, RowsLeftOutAreWalkedButNotAdded) {
    Masks masks;
    TrapezoidMaker make(11);
    std::mt19937 rng(5);
    for (int32_t i = 0; i < 50000; ++i) {
        masks.Clear();
        const int32_t first = std::uniform_int_distribution<int32_t>(0, kH - 1)(rng);
        const int32_t end = std::uniform_int_distribution<int32_t>(first, kH)(rng);
        masks.rows_handed = 0;
        masks.Add({make.Next()}, first, end);
        ASSERT_EQ(masks.Differing(first, end), 0) << "trapezoid " << i;
        ASSERT_LE(masks.rows_handed, end - first);
    }
}

// Edges left or right of the columns that count, or crossing into them
// within a row, leave those columns as pixman covers them.
TEST(SmoothRaster, ColumnsThatCountCoverWhatPixmansRasteriserCovers) {
    Masks masks;
    TrapezoidMaker make(13);
    std::mt19937 rng(7);
    const auto column = [&] { return std::uniform_int_distribution<int32_t>(-2, kW + 2)(rng); };
    for (int32_t i = 0; i < 50000; ++i) {
        masks.Clear();
        const int32_t left = column(), right = column();
        masks.Add({make.Next()}, 0, kH, left, right);
        ASSERT_EQ(masks.Differing(0, kH, std::clamp(left, 0, kW), std::clamp(right, 0, kW)), 0)
            << "trapezoid " << i << " columns " << left << " to " << right;
    }
}

}  // namespace
}  // namespace zu::platform::raster
