// The smooth layer's trapezoid sampler: the coverage pixman's rasteriser
// gives an 8-bit mask, made without its per-trapezoid calls and without
// touching the mask sub-row by sub-row.
//
// pixman samples each pixel on a grid of 15 sub-rows by 17 sub-columns and
// walks each edge down the sub-rows in 16.16 fixed point with an error term.
// Here the same walk runs over the trapezoids of one shape in order; the
// sub-rows' spans go to a row of cells as differences (the prefix sum of the
// cells is the row's coverage), an edge's sub-rows within one pixel column
// together, and each finished pixel row is handed on once. A sub-row's span
// gives every pixel at most 17 and a pixel has 15 sub-rows, so a shape whose
// trapezoids share no sub-row never reaches 256: what pixman adds to the
// mask with saturation, one trapezoid after another, is exactly the cells'
// sum.
#pragma once

#include <pixman.h>

#include <algorithm>
#include <cstdint>

namespace zu::platform::raster {

constexpr int32_t kOne = 1 << 16;
constexpr int32_t kSubRows = 15;
constexpr int32_t kSubColumns = 17;
constexpr int32_t kRowStep = kOne / kSubRows;                              // 4369
constexpr int32_t kRowStepBig = kOne - (kSubRows - 1) * kRowStep;          // 4370, across a row
constexpr int32_t kFirstSubRow = kRowStepBig / 2;                          // 2185
constexpr int32_t kLastSubRow = kFirstSubRow + (kSubRows - 1) * kRowStep;  // 63351
constexpr int32_t kColumnStep = kOne / kSubColumns;                        // 3855
constexpr int32_t kFirstSubColumn = (kOne - (kSubColumns - 1) * kColumnStep) / 2;  // 1928

// The low 32 bits, as the 32-bit arithmetic of the walk wraps.
inline int32_t Low32(int64_t v) {
    return static_cast<int32_t>(v);
}

// Floor division.
inline int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The first sub-row at or below y (y >= 0).
inline int32_t SubRowAtOrBelow(int32_t y) {
    int32_t i = y & ~(kOne - 1);
    int32_t f = (y & (kOne - 1)) - kFirstSubRow + kRowStep - 1;
    f = static_cast<int32_t>(FloorDiv(f, kRowStep)) * kRowStep + kFirstSubRow;
    if (f > kLastSubRow) {
        f = kFirstSubRow;
        i += kOne;
    }
    return i | f;
}

// The last sub-row above y.
inline int32_t SubRowAbove(int32_t y) {
    int32_t i = y & ~(kOne - 1);
    int32_t f = (y & (kOne - 1)) - 1 - kFirstSubRow;
    f = static_cast<int32_t>(FloorDiv(f, kRowStep)) * kRowStep + kFirstSubRow;
    if (f < kFirstSubRow) {
        f = kLastSubRow;
        i -= kOne;
    }
    return i | f;
}

// An edge of a trapezoid set up for the walk: its upper end, and the whole
// and fractional x steps per fixed-point unit, per sub-row and across a
// pixel row (from the last sub-row of one to the first of the next).
struct Edge {
    int32_t top_x, top_y;
    int32_t dy;  // > 0
    int32_t signdx, stepx, dx, e0;
    int32_t stepx_small, dx_small, stepx_big, dx_big;
};

// Sets up a line that is not horizontal.
inline Edge MakeEdge(const pixman_line_fixed_t& line) {
    const pixman_point_fixed_t& top = line.p1.y <= line.p2.y ? line.p1 : line.p2;
    const pixman_point_fixed_t& bot = line.p1.y <= line.p2.y ? line.p2 : line.p1;
    Edge g;
    g.top_x = top.x;
    g.top_y = top.y;
    const int32_t ddx = Low32(static_cast<int64_t>(bot.x) - top.x);
    g.dy = Low32(static_cast<int64_t>(bot.y) - top.y);
    if (ddx >= 0) {
        g.signdx = 1;
        g.stepx = ddx / g.dy;
        g.dx = ddx % g.dy;
        g.e0 = -g.dy;
    } else {
        g.signdx = -1;
        g.stepx = -(-ddx / g.dy);
        g.dx = -ddx % g.dy;
        g.e0 = 0;
    }
    // A sub-row: kRowStep * dx / dy; across a row one unit more.
    int64_t rest = static_cast<int64_t>(kRowStep) * g.dx;
    int32_t carry = 0;
    if (rest > 0) {
        carry = Low32(rest / g.dy);
        rest -= static_cast<int64_t>(carry) * g.dy;
    }
    g.dx_small = Low32(rest);
    g.stepx_small = Low32(static_cast<int64_t>(kRowStep) * g.stepx + int64_t{carry} * g.signdx);
    rest += g.dx;
    if (rest >= g.dy) {
        rest -= g.dy;
        ++carry;
    }
    g.dx_big = Low32(rest);
    g.stepx_big = Low32(static_cast<int64_t>(kRowStepBig) * g.stepx + int64_t{carry} * g.signdx);
    return g;
}

// The edge's x and error term at sub-row y (or any y from its upper end
// on), as a walk started there has them. The error of a move that does not
// carry is dropped: the walk goes on from the starting error, as pixman's.
inline void EdgeAt(const Edge& g, int32_t y, int32_t* x, int32_t* e) {
    const int32_t n = Low32(static_cast<int64_t>(y) - g.top_y);
    int32_t xx = Low32(g.top_x + static_cast<int64_t>(n) * g.stepx);
    int32_t ee = g.e0;
    const int64_t ne = g.e0 + static_cast<int64_t>(n) * g.dx;
    if (n >= 0 && ne > 0) {
        const int32_t nx = Low32((ne + g.dy - 1) / g.dy);
        ee = Low32(ne - static_cast<int64_t>(nx) * g.dy);
        xx = Low32(static_cast<int64_t>(xx) + static_cast<int64_t>(nx) * g.signdx);
    } else if (n < 0 && ne <= -g.dy) {
        const int32_t nx = Low32(-ne / g.dy);
        ee = Low32(ne + static_cast<int64_t>(nx) * g.dy);
        xx = Low32(static_cast<int64_t>(xx) - static_cast<int64_t>(nx) * g.signdx);
    }
    *x = xx;
    *e = ee;
}

// One step of the walk: x moves by step, and one unit more (signdx) when
// the error carries.
inline void EdgeStep(int32_t* x, int32_t* e, int32_t step, int32_t rest, int32_t dy,
                     int32_t signdx) {
    // Both outcomes and the test come straight from the error, so a walk
    // waits on one selection per step.
    const bool carry = *e > -rest;
    // (The unused outcome may leave the int range: worked out wrapping.)
    const int32_t stay = *e + rest;
    const auto move = static_cast<int32_t>(static_cast<uint32_t>(stay) - static_cast<uint32_t>(dy));
    *e = carry ? move : stay;
    *x = static_cast<int32_t>(static_cast<uint32_t>(*x) + static_cast<uint32_t>(step) +
                              static_cast<uint32_t>(carry ? signdx : 0));
}

// An edge whose x stays the same all the way down.
inline bool Upright(const Edge& g) {
    return g.stepx_small == 0 && g.dx_small == 0 && g.stepx_big == 0 && g.dx_big == 0;
}

// A trapezoid as indices into a list of edges: rows from top (inclusive) to
// bottom (exclusive), 16.16, between a left and a right edge.
struct Band {
    int32_t top, bottom;
    int32_t left, right;
};

// A sub-row's sub-columns left of x within x's pixel.
inline int32_t SubColumns(int32_t x) {
    return ((x & (kOne - 1)) + kFirstSubColumn) / kColumnStep;
}

// Adds the sub-rows gathered in one column of an edge to the cells: count
// sub-rows whose sub-columns left of the edge add up to sum. Coverage lies
// right of a left edge and left of a right edge.
template <bool kLeft>
inline void AddColumn(int32_t* cells, int32_t col, int32_t count, int32_t sum) {
    const int32_t part = kSubColumns * count - sum;
    cells[col] += kLeft ? part : -part;
    cells[col + 1] += kLeft ? sum : -sum;
}

// The least and the greatest x an edge at x can reach in n sub-row steps:
// each moves by the whole step and maybe one unit more in its direction.
inline void EdgeReach(const Edge& g, int32_t x, int32_t n, int64_t* lo, int64_t* hi) {
    const int64_t far = x + static_cast<int64_t>(n) * (int64_t{g.stepx_small} + g.signdx);
    const int64_t near = x + static_cast<int64_t>(n) * g.stepx_small;
    *lo = std::min<int64_t>(x, std::min(near, far));
    *hi = std::max<int64_t>(x, std::max(near, far));
}

// Walks one edge over n + 1 sub-rows of a pixel row from x (error e), none
// of them clamped or empty, adding their sub-columns to the cells column by
// column; x and e are left at the last sub-row.
template <bool kLeft>
inline void WalkEdge(const Edge& g, int32_t* x, int32_t* e, int32_t n, int32_t* cells) {
    int32_t xx = *x, ee = *e;
    int32_t col = xx >> 16, run = kOne + SubColumns(xx);
    for (int32_t i = 0; i < n; ++i) {
        EdgeStep(&xx, &ee, g.stepx_small, g.dx_small, g.dy, g.signdx);
        if ((xx >> 16) != col) {
            AddColumn<kLeft>(cells, col, run >> 16, run & 0xFFFF);
            col = xx >> 16;
            run = 0;
        }
        run += kOne + SubColumns(xx);
    }
    AddColumn<kLeft>(cells, col, run >> 16, run & 0xFFFF);
    *x = xx;
    *e = ee;
}

// The whole and fractional x steps of a pixel row's sub-rows at once, from
// its first to its last. Taken in one move they end where the sub-row
// steps end as long as the error is above -dy: the walk then stays a
// function of the distance gone (it is -dy only where a walk starts).
struct RowJump {
    int32_t stepx = 0, dx = 0;
    bool made = false;
};

inline void MakeJump(const Edge& g, RowJump* j) {
    uint32_t stepx = 0;
    int64_t rest = 0;
    for (int32_t i = 1; i < kSubRows; ++i) {
        stepx += static_cast<uint32_t>(g.stepx_small);
        rest += g.dx_small;
        if (rest >= g.dy) {
            rest -= g.dy;
            stepx += static_cast<uint32_t>(g.signdx);
        }
    }
    j->stepx = static_cast<int32_t>(stepx);
    j->dx = static_cast<int32_t>(rest);
    j->made = true;
}

// Whether an edge's n + 1 sub-rows from x, reaching no further than lo and
// hi, all have x's sub-columns, and the walk can jump over them.
inline bool OneSubColumn(const Edge& g, int32_t x, int32_t e, int32_t n, int64_t lo, int64_t hi) {
    return n == kSubRows - 1 && e > -g.dy && (lo >> 16) == (hi >> 16) &&
           SubColumns(static_cast<int32_t>(lo)) == SubColumns(static_cast<int32_t>(hi)) &&
           (x >> 16) == (lo >> 16);
}

// Walks an edge over n sub-rows from x (error e) without adding them.
inline void SkipSubRows(const Edge& g, int32_t* x, int32_t* e, int32_t n, RowJump* jump) {
    if (n == kSubRows - 1 && *e > -g.dy) {
        if (!jump->made) MakeJump(g, jump);
        EdgeStep(x, e, jump->stepx, jump->dx, g.dy, g.signdx);
        return;
    }
    for (int32_t i = 0; i < n; ++i) EdgeStep(x, e, g.stepx_small, g.dx_small, g.dy, g.signdx);
}

// Adds the coverage of bands (their edges never horizontal) to cells of
// width + 1 entries, all zero on entry and left zero. The bands come top to
// bottom and share no sub-row, as a convex polygon's do. Sub-rows of pixel
// rows above first_row are walked but not added; the walk stops at
// end_row. Only the columns from clip_left to clip_right (within the
// width) have to come out as pixman's: an edge left or right of them is
// taken as lying on their border. Each pixel row with coverage is handed to
// row(y, a0, a1, b0, b1): its coverage is the prefix sum of the cells from
// a0, which are not zero only in [a0, a1) and [b0, b1) (a1 <= b0, the
// coverage between them all the same); row clears them.
template <class Row>
void SampleBands(const Edge* edges, const Band* bands, int32_t count, int32_t width, int32_t height,
                 int32_t first_row, int32_t end_row, int32_t clip_left, int32_t clip_right,
                 int32_t* cells, Row&& row) {
    int32_t cur = -1;  // the pixel row being added to
    // The columns its left and its right edges reached.
    int32_t llo = INT32_MAX, lhi = -1, rlo = INT32_MAX, rhi = -1;
    // Where the edges are held: the first and the last x of the columns
    // that count. (Beyond the surface pixman holds them there itself.)
    clip_right = std::clamp(clip_right, 0, width);
    const int32_t lo_x = std::clamp(clip_left, 0, width) * kOne;
    const int32_t hi_x = Low32(static_cast<int64_t>(clip_right) * kOne - 1);
    for (int32_t k = 0; k < count; ++k) {
        const Band& band = bands[k];
        if (band.bottom <= band.top) continue;
        const int32_t t = SubRowAtOrBelow(std::max(band.top, 0));
        int32_t bottom = band.bottom;
        if ((bottom >> 16) >= height) bottom = Low32(static_cast<int64_t>(height) * kOne - 1);
        const int32_t b = SubRowAbove(bottom);
        if (b < t) continue;
        const Edge le = edges[band.left];
        const Edge re = edges[band.right];
        int32_t lx = 0, lerr = 0, rx = 0, rerr = 0;
        EdgeAt(le, t, &lx, &lerr);
        EdgeAt(re, t, &rx, &rerr);
        // Between two upright edges every sub-row's span is the same.
        const bool upright = Upright(le) && Upright(re);
        RowJump ljump, rjump;
        int32_t y = t;
        for (;;) {
            const int32_t py = y >> 16;
            if (py >= end_row) {
                k = count;
                break;
            }
            if (py != cur) {
                if (lhi >= 0) {
                    const int32_t b1 = rhi + 2;
                    int32_t a1 = lhi + 2, b0 = rlo;
                    if (a1 >= b0) a1 = b0 = std::max(a1, b1);
                    row(cur, llo, a1, b0, b1);
                }
                cur = py;
                llo = rlo = INT32_MAX;
                lhi = rhi = -1;
            }
            // The row's sub-rows from y to last, gathered per column of
            // each edge before they go to the cells.
            const int32_t last = std::min(b, (py << 16) | kLastSubRow);
            if (upright) {
                const int32_t l = std::max(lx, lo_x);
                const int32_t r = std::min(rx, hi_x);
                if (py >= first_row && r > l) {
                    const int32_t n = (last - y) / kRowStep + 1;
                    AddColumn<true>(cells, l >> 16, n, n * SubColumns(l));
                    AddColumn<false>(cells, r >> 16, n, n * SubColumns(r));
                    llo = std::min(llo, l >> 16);
                    lhi = std::max(lhi, l >> 16);
                    rlo = std::min(rlo, r >> 16);
                    rhi = std::max(rhi, r >> 16);
                }
                y = last;
            } else if (py >= first_row) {
                // Where each edge stays within the columns or beyond one
                // side of them all the row, and the two cannot meet, each
                // goes down the row on its own.
                const int32_t n = (last - y) / kRowStep;
                int64_t l0 = 0, l1 = 0, r0 = 0, r1 = 0;
                EdgeReach(le, lx, n, &l0, &l1);
                EdgeReach(re, rx, n, &r0, &r1);
                // (Held only where the walk's 32 bits cannot wrap.)
                const bool lheld = l1 <= lo_x && l0 >= INT32_MIN;
                const bool rheld = r0 >= hi_x && r1 <= INT32_MAX;
                if ((lheld || l0 >= lo_x) && (rheld || r1 <= hi_x) &&
                    (rheld ? int64_t{hi_x} : r0) > (lheld ? int64_t{lo_x} : l1)) {
                    const int32_t lstart = lheld ? lo_x >> 16 : lx >> 16;
                    const int32_t rstart = rheld ? hi_x >> 16 : rx >> 16;
                    const bool lone = lheld || OneSubColumn(le, lx, lerr, n, l0, l1);
                    const bool rone = rheld || OneSubColumn(re, rx, rerr, n, r0, r1);
                    if (lone) {
                        const int32_t at = lheld ? lo_x : lx;
                        AddColumn<true>(cells, lstart, n + 1, (n + 1) * SubColumns(at));
                        SkipSubRows(le, &lx, &lerr, n, &ljump);
                    }
                    if (rone) {
                        const int32_t at = rheld ? hi_x : rx;
                        AddColumn<false>(cells, rstart, n + 1, (n + 1) * SubColumns(at));
                        SkipSubRows(re, &rx, &rerr, n, &rjump);
                    }
                    if (lone && !rone) {
                        WalkEdge<false>(re, &rx, &rerr, n, cells);
                    } else if (rone && !lone) {
                        WalkEdge<true>(le, &lx, &lerr, n, cells);
                    } else if (!lone) {
                        int32_t lcol = lstart, lrun = kOne + SubColumns(lx);
                        int32_t rcol = rstart, rrun = kOne + SubColumns(rx);
                        for (int32_t i = 0; i < n; ++i) {
                            EdgeStep(&lx, &lerr, le.stepx_small, le.dx_small, le.dy, le.signdx);
                            EdgeStep(&rx, &rerr, re.stepx_small, re.dx_small, re.dy, re.signdx);
                            if ((lx >> 16) != lcol) {
                                AddColumn<true>(cells, lcol, lrun >> 16, lrun & 0xFFFF);
                                lcol = lx >> 16;
                                lrun = 0;
                            }
                            if ((rx >> 16) != rcol) {
                                AddColumn<false>(cells, rcol, rrun >> 16, rrun & 0xFFFF);
                                rcol = rx >> 16;
                                rrun = 0;
                            }
                            lrun += kOne + SubColumns(lx);
                            rrun += kOne + SubColumns(rx);
                        }
                        AddColumn<true>(cells, lcol, lrun >> 16, lrun & 0xFFFF);
                        AddColumn<false>(cells, rcol, rrun >> 16, rrun & 0xFFFF);
                    }
                    const int32_t lend = lheld ? lstart : lx >> 16;
                    const int32_t rend = rheld ? rstart : rx >> 16;
                    llo = std::min({llo, lstart, lend});
                    lhi = std::max({lhi, lstart, lend});
                    rlo = std::min({rlo, rstart, rend});
                    rhi = std::max({rhi, rstart, rend});
                    y = last;
                } else {
                    // Each run: its sub-rows times 2^16 plus their sub-columns.
                    int32_t lcol = -1, lrun = 0, rcol = -1, rrun = 0;
                    for (;;) {
                        const int32_t l = std::max(lx, lo_x);
                        const int32_t r = std::min(rx, hi_x);
                        if (r > l) {
                            if ((l >> 16) != lcol) {
                                if (lrun != 0)
                                    AddColumn<true>(cells, lcol, lrun >> 16, lrun & 0xFFFF);
                                lcol = l >> 16;
                                lrun = 0;
                                llo = std::min(llo, lcol);
                                lhi = std::max(lhi, lcol);
                            }
                            if ((r >> 16) != rcol) {
                                if (rrun != 0)
                                    AddColumn<false>(cells, rcol, rrun >> 16, rrun & 0xFFFF);
                                rcol = r >> 16;
                                rrun = 0;
                                rlo = std::min(rlo, rcol);
                                rhi = std::max(rhi, rcol);
                            }
                            lrun += kOne + SubColumns(l);
                            rrun += kOne + SubColumns(r);
                        }
                        if (y == last) break;
                        EdgeStep(&lx, &lerr, le.stepx_small, le.dx_small, le.dy, le.signdx);
                        EdgeStep(&rx, &rerr, re.stepx_small, re.dx_small, re.dy, re.signdx);
                        y += kRowStep;
                    }
                    if (lrun != 0) AddColumn<true>(cells, lcol, lrun >> 16, lrun & 0xFFFF);
                    if (rrun != 0) AddColumn<false>(cells, rcol, rrun >> 16, rrun & 0xFFFF);
                }
            } else {
                for (; y != last; y += kRowStep) {
                    EdgeStep(&lx, &lerr, le.stepx_small, le.dx_small, le.dy, le.signdx);
                    EdgeStep(&rx, &rerr, re.stepx_small, re.dx_small, re.dy, re.signdx);
                }
            }
            if (y == b) break;
            EdgeStep(&lx, &lerr, le.stepx_big, le.dx_big, le.dy, le.signdx);
            EdgeStep(&rx, &rerr, re.stepx_big, re.dx_big, re.dy, re.signdx);
            y += kRowStepBig;
        }
    }
    if (lhi >= 0) {
        const int32_t b1 = rhi + 2;
        int32_t a1 = lhi + 2, b0 = rlo;
        if (a1 >= b0) a1 = b0 = std::max(a1, b1);
        row(cur, llo, a1, b0, b1);
    }
}

}  // namespace zu::platform::raster
