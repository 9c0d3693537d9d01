// The CDU screen painter (see cdu_painter.h).
#include "fms/cdu_painter.h"

#include <algorithm>
#include <cstring>

#include "displays/efis_resources.h"
#include "fms/cdu_engine.h"
#include "zu/platform/drawing_shapes.h"

namespace zu {

using platform::DrawCharCentred;
using platform::DrawLineTo;
using platform::DrawMoveTo;
using platform::DrawRect;
using platform::DrawSelectObject;

namespace {

bool ClipRegionsMade = false;

// The clip of the picture being painted (none: the whole screen).
const DrawRect* gPictureClip = nullptr;

DrawRect Intersection(const DrawRect& a, const DrawRect& b) {
    const DrawRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                     std::min(a.bottom, b.bottom)};
    return r.left < r.right && r.top < r.bottom ? r : DrawRect{0, 0, 0, 0};
}

// Palette entries of the CDU colours 0..5 (text and pens), and of the
// line-art colours, where 5 is cyan.
constexpr int kTextColours[6] = {kEfisGreen, kEfisAmber, kEfisYellow,
                                 kEfisGrey,  kEfisWhite, kEfisMagenta};
constexpr int kLineColours[6] = {kEfisGreen, kEfisAmber, kEfisYellow,
                                 kEfisGrey,  kEfisWhite, kEfisCyan};
constexpr int kBoldFont = 2;   // Arial 14 x 6 bold
constexpr int kLightFont = 4;  // Arial 13 x 5 regular
constexpr int kMainFont = 1;   // Arial 12 x 5 bold

int ColourSlot(uint8_t index) {
    return kTextColours[index < 6 ? index : 0];
}

void SelectColour(DrawContext* dc, uint8_t index) {
    const int slot = ColourSlot(index);
    DrawSelectObject(dc, EfisPens[slot]);
    platform::DrawSetTextColour(dc, DimColour(EfisPalette[slot]));
}

void SelectSize(DrawContext* dc, uint8_t size) {
    DrawSelectObject(dc, EfisFonts[size == 0 ? kBoldFont : kLightFont]);
}

void Line(DrawContext* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    DrawMoveTo(dc, x1, y1);
    DrawLineTo(dc, x2, y2);
}

void Polyline3(DrawContext* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
               int32_t y3) {
    DrawMoveTo(dc, x1, y1);
    DrawLineTo(dc, x2, y2);
    DrawLineTo(dc, x3, y3);
}

void FramedM(DrawContext* dc, int32_t x, int32_t y) {
    DrawMoveTo(dc, x - 2, y - 6);
    DrawLineTo(dc, x + 9, y - 6);
    DrawLineTo(dc, x + 9, y + 5);
    DrawLineTo(dc, x - 2, y + 5);
    DrawLineTo(dc, x - 2, y - 6);
    DrawCharCentred(dc, x + 4, y - 7, 'M');
}

// One grid cell at its reference point (x, y).
void DrawCell(DrawContext* dc, char ch, int32_t x, int32_t y, bool bold) {
    switch (ch) {
        case 'q':
            Polyline3(dc, x + 7, y, x, y, x + 3, y - 2);
            Line(dc, x, y, x + 3, y + 2);
            break;
        case 'w':
            Polyline3(dc, x + 1, y, x + 9, y, x + 6, y - 2);
            Line(dc, x + 9, y, x + 6, y + 2);
            break;
        case 'a':
            Polyline3(dc, x + 3, y - 3, x + 3, y + 3, x + 1, y);
            Line(dc, x + 3, y + 3, x + 6, y);
            break;
        case 'y':
            Polyline3(dc, x + 3, y + 3, x + 3, y - 3, x + 1, y);
            Line(dc, x + 3, y - 3, x + 6, y);
            break;
        case 'm':
            FramedM(dc, x, y);
            break;
        case ' ':
        case '\0':
            break;
        default:
            DrawCharCentred(dc, x + 4, bold ? y - 7 : y - 6, static_cast<unsigned char>(ch));
    }
}

// A glyph inside the edit box, centred at (x, y).
void DrawBoxCell(DrawContext* dc, char ch, int32_t x, int32_t y) {
    switch (ch) {
        case 'q':
            Polyline3(dc, x + 3, y + 7, x - 4, y + 7, x - 1, y + 5);
            Line(dc, x - 4, y + 7, x - 1, y + 9);
            break;
        case 'w':
            Polyline3(dc, x - 3, y + 7, x + 5, y + 7, x + 2, y + 5);
            Line(dc, x + 5, y + 7, x + 2, y + 9);
            break;
        case 'm':
            FramedM(dc, x - 4, y + 7);
            break;
        case ' ':
        case '\0':
            break;
        default:
            DrawCharCentred(dc, x, y, static_cast<unsigned char>(ch));
    }
}

}  // namespace

void CduClipRegionsCreate(DrawContext* dc) {
    ClipRegionsMade = true;
    platform::DrawSetTextAlign(dc, platform::kDrawTaCenter | platform::kDrawTaTop);
    DrawSelectObject(dc, EfisFonts[kMainFont]);
}

void CduClipRegionsDelete() {
    ClipRegionsMade = false;
}

bool CduClipRegionsExist() {
    return ClipRegionsMade;
}

void CduScreenDraw(DrawContext* dc) {
    uint8_t colour = 0;
    uint8_t size = 0;
    SelectColour(dc, colour);
    SelectSize(dc, size);
    for (int line = 0; line < kCduVisibleLines; ++line) {
        for (int column = 0; column < kCduColumns; ++column) {
            const int cell = line * kCduColumns + column;
            if (CduScreen.colour[cell] != colour) {
                colour = CduScreen.colour[cell];
                SelectColour(dc, colour);
            }
            const uint8_t cellSize = CduScreen.size[cell] == 0 ? 0 : 1;
            if (cellSize != size) {
                size = cellSize;
                SelectSize(dc, size);
            }
            char ch = CduScreen.text[cell];
            if (CduScreen.blink[cell] != 0) {
                CduRedraw = 1;
                if (CduBlinkPhase == 0) ch = ' ';
            }
            DrawCell(dc, ch, 7 + 10 * column, 8 + 14 * line, size == 0);
        }
    }
}

void CduEditFieldDraw(DrawContext* dc) {
    const int32_t active = CduActiveField;
    if (active < 1 || active > kCduFieldCount) return;
    const CduField& f = CduFieldTable[active];
    const int32_t c = f.column;
    const int32_t l = f.line;
    const int32_t n = f.max_length;
    if (l < 0 || l >= kCduVisibleLines || c < 0) return;
    DrawSelectObject(dc, EfisBrushes[kEfisWhite]);
    DrawSelectObject(dc, EfisPens[kEfisWhite]);
    platform::DrawRectangle(dc, DrawRect{10 * c + 4, 14 * l + 1, 10 * (c + n) + 7, 14 * l + 15});
    platform::DrawSetTextColour(dc, EfisVariableColour);
    DrawSelectObject(dc, EfisPens[kEfisVariable]);
    for (int32_t i = 0; i < n && c + i < kCduColumns; ++i) {
        const int cell = l * kCduColumns + c + i;
        SelectSize(dc, CduScreen.size[cell]);
        const bool modified = CduEditModified != 0;
        char ch = modified && i < 35 ? CduEditBuffer[i] : CduScreen.text[cell];
        if (CduCursorPhase != 0 && modified && i == CduEditCursor && CduEditCursor < n) ch = '-';
        DrawBoxCell(dc, ch, 10 * (c + i) + 11, 14 * l + 1);
    }
}

void CduHoldPictureDraw(DrawContext* dc, int32_t turnSide) {
    using platform::DrawRoundRect;
    DrawSelectObject(dc, EfisBrushes[kEfisVariable]);
    DrawRoundRect(dc, DrawRect{65, 52, 189, 120}, 50, 88);
    if (turnSide == 2 || turnSide == 1) {
        const DrawRect& turn = turnSide == 2 ? kCduLeftClip : kCduRightClip;
        platform::DrawSetClipRect(
            dc, gPictureClip != nullptr ? Intersection(turn, *gPictureClip) : turn);
        DrawRoundRect(dc, DrawRect{69, 56, 186, 116}, 44, 82);
        if (gPictureClip != nullptr) {
            platform::DrawSetClipRect(dc, *gPictureClip);
        } else {
            platform::DrawResetClip(dc);
        }
    }
    if (turnSide == 2) {
        Line(dc, 69, 81, 72, 87);
        Line(dc, 69, 81, 67, 87);
    } else if (turnSide == 1) {
        Line(dc, 185, 81, 187, 87);
        Line(dc, 185, 81, 182, 87);
    }
    Line(dc, 101, 56, 151, 56);
    if (turnSide == 2) {
        DrawMoveTo(dc, 151, 56);
        DrawLineTo(dc, 148, 54);
        DrawLineTo(dc, 148, 58);
        DrawLineTo(dc, 151, 56);
    } else if (turnSide == 1) {
        DrawMoveTo(dc, 101, 56);
        DrawLineTo(dc, 104, 58);
        DrawLineTo(dc, 104, 54);
        DrawLineTo(dc, 101, 56);
    }
    Line(dc, 90, 120, 90, 100);
    Line(dc, 164, 120, 164, 100);
    DrawSelectObject(dc, EfisBrushes[kEfisGreen]);
    platform::DrawEllipse(dc, DrawRect{87, 115, 93, 121});
    platform::DrawEllipse(dc, DrawRect{161, 115, 167, 121});
    Line(dc, 90, 107, 103, 107);
    Polyline3(dc, 100, 105, 103, 107, 100, 109);
    Line(dc, 164, 107, 151, 107);
    Polyline3(dc, 154, 105, 151, 107, 154, 109);
}

void CduRegionsDraw(DrawContext* dc) {
    const int32_t count = CduRegionCount < kCduRegionMax ? CduRegionCount : kCduRegionMax;
    for (int32_t i = 0; i < count; ++i) {
        const CduRegion& r = CduRegions[i];
        const int32_t colour = r.colour >= 0 && r.colour < 6 ? r.colour : 0;
        DrawSelectObject(dc, EfisPens[kLineColours[colour]]);
        if (r.kind == 1) {
            Line(dc, 10 * r.x1 + 11, 14 * r.y1 + 7, 10 * r.x2 + 11, 14 * r.y2 + 7);
        } else if (r.kind == 2) {
            CduHoldPictureDraw(dc, r.x1);
        }
    }
}

void CduPictureDraw(DrawContext* dc, platform::DrawHandle background, const DrawRect* clip) {
    gPictureClip = clip;
    if (clip != nullptr) platform::DrawSetClipRect(dc, *clip);
    platform::DrawFillRectBrush(dc, {0, 0, 252, 161}, background);
    CduRegionsDraw(dc);
    CduScreenDraw(dc);
    CduEditFieldDraw(dc);
    if (clip != nullptr) platform::DrawResetClip(dc);
    gPictureClip = nullptr;
}

bool CduScreenBlinks() {
    // Eight cells a word (asked on every frame a paint request waits).
    static_assert(kCduScreenCells % 8 == 0);
    uint64_t any = 0;
    for (int cell = 0; cell < kCduScreenCells; cell += 8) {
        uint64_t w = 0;
        std::memcpy(&w, CduScreen.blink + cell, 8);
        any |= w;
    }
    return any != 0;
}

namespace {

// The screen's share of a key, kept for each of the two screens: the cells
// stay the same for many frames, and comparing them costs less than
// folding them in again.
struct ScreenKeyMemo {
    bool valid = false;
    RepaintKeyBuilder before, after;
    CduScreenRecord screen;
};
ScreenKeyMemo gScreenKeyMemos[2];
int32_t gNextScreenKeyMemo = 0;

void AddScreen(RepaintKeyBuilder& key) {
    for (const ScreenKeyMemo& memo : gScreenKeyMemos) {
        if (memo.valid && memo.before == key &&
            std::memcmp(&memo.screen, &CduScreen, sizeof CduScreen) == 0) {
            key = memo.after;
            return;
        }
    }
    ScreenKeyMemo& memo = gScreenKeyMemos[gNextScreenKeyMemo];
    gNextScreenKeyMemo ^= 1;
    memo.before = key;
    key.Add(CduScreen);
    memo.after = key;
    memo.screen = CduScreen;
    memo.valid = true;
}

}  // namespace

void CduPictureKeyAdd(RepaintKeyBuilder& key) {
    AddScreen(key);
    key.Add(DisplayBrightness);
    if (CduScreenBlinks()) key.Add(CduBlinkPhase);
    const int32_t count = CduRegionCount < kCduRegionMax ? CduRegionCount : kCduRegionMax;
    key.Add(count);
    for (int32_t i = 0; i < count; ++i) key.Add(CduRegions[i]);
    const int32_t active = CduActiveField;
    key.Add(active);
    if (active < 1 || active > kCduFieldCount) return;
    key.Add(CduFieldTable[active]).Add(CduEditModified);
    if (CduEditModified != 0) key.Add(CduEditBuffer).Add(CduEditCursor).Add(CduCursorPhase);
}

namespace {

constexpr DrawRect kWholeScreen = {0, 0, kCduSurfaceWidth, kCduSurfaceHeight};

// Where a cell's drawing can reach, with room to spare: its character
// (centred 4 units right of the reference point, the cell top 7 above it,
// the widest glyphs some 13 units wide), the framed M and the arrows, and
// the edit box's character over it.
DrawRect CellReach(int32_t line, int32_t column) {
    const int32_t x = 7 + 10 * column;
    const int32_t y = 8 + 14 * line;
    return {x - 6, y - 10, x + 17, y + 10};
}

void Widen(DrawRect& box, const DrawRect& more) {
    if (box.left >= box.right) {
        box = more;
        return;
    }
    box = {std::min(box.left, more.left), std::min(box.top, more.top),
           std::max(box.right, more.right), std::max(box.bottom, more.bottom)};
}

}  // namespace

void CduPictureInputsTake(RepaintKeyBuilder rest, CduPictureInputs* out) {
    rest.Add(DisplayBrightness).Add(EfisPensBrightness).Add(EfisVariableColour);
    rest.Add(EfisPens).Add(EfisBrushes).Add(EfisFonts);
    const int32_t count = CduRegionCount < kCduRegionMax ? CduRegionCount : kCduRegionMax;
    rest.Add(count);
    for (int32_t i = 0; i < count; ++i) rest.Add(CduRegions[i]);
    out->rest = rest.Key();
    std::memcpy(out->text, CduScreen.text, sizeof out->text);
    std::memcpy(out->colour, CduScreen.colour, sizeof out->colour);
    std::memcpy(out->size, CduScreen.size, sizeof out->size);
    for (int cell = 0; cell < kCduScreenCells; ++cell) {
        out->shown[cell] = CduScreen.blink[cell] != 0 && CduBlinkPhase == 0 ? ' ' : out->text[cell];
    }
    RepaintKeyBuilder edit;
    const int32_t active = CduActiveField;
    edit.Add(active);
    out->edit_box = false;
    if (active >= 1 && active <= kCduFieldCount) {
        const CduField& f = CduFieldTable[active];
        edit.Add(f).Add(CduEditModified).Add(CduEditBuffer).Add(CduEditCursor).Add(CduCursorPhase);
        if (f.line >= 0 && f.line < kCduVisibleLines && f.column >= 0) {
            out->edit_box = true;
            out->box = {10 * f.column + 4, 14 * f.line + 1, 10 * (f.column + f.max_length) + 7,
                        14 * f.line + 15};
            Widen(out->box, CellReach(f.line, f.column));
            Widen(out->box, CellReach(f.line, f.column + f.max_length - 1));
        }
    }
    out->edit = edit.Key();
}

DrawRect CduPictureChange(const CduPictureInputs& a, const CduPictureInputs& b) {
    if (!(a.rest == b.rest)) return kWholeScreen;
    DrawRect box{0, 0, 0, 0};
    const bool cells_same = std::memcmp(a.shown, b.shown, sizeof a.shown) == 0 &&
                            std::memcmp(a.text, b.text, sizeof a.text) == 0 &&
                            std::memcmp(a.colour, b.colour, sizeof a.colour) == 0 &&
                            std::memcmp(a.size, b.size, sizeof a.size) == 0;
    for (int cell = 0; cell < kCduScreenCells && !cells_same; ++cell) {
        if (a.shown[cell] != b.shown[cell] || a.text[cell] != b.text[cell] ||
            a.colour[cell] != b.colour[cell] || a.size[cell] != b.size[cell]) {
            Widen(box, CellReach(cell / kCduColumns, cell % kCduColumns));
        }
    }
    if (!(a.edit == b.edit) || a.edit_box != b.edit_box) {
        if (a.edit_box) Widen(box, a.box);
        if (b.edit_box) Widen(box, b.box);
    }
    if (box.left >= box.right) return box;
    box = Intersection(box, kWholeScreen);
    return box;
}

}  // namespace zu
