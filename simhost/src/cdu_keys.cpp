// The CDU keyboard by name and the fold of its screen (see cdu_keys.h).
#include "zu/simhost/cdu_keys.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "zu/simhost/code_page.h"

namespace zu::simhost {

namespace {

struct NamedKey {
    const char* name;
    int rect;
};

// Function keys: the top row (codes 10, 11, 13, 12, 14, 15) is 37..42, the
// second row (codes 16..21) 43..48, then BACK 58, codes 41..43 60..62 and
// ENTER 63.
constexpr NamedKey kNamedKeys[] = {
    {"DATA", 37}, {"NAV", 38}, {"DTO", 39},  {"K12", 40}, {"LIST", 41},  {"PREV", 42},
    {"K16", 43},  {"FPL", 44}, {"PERF", 45}, {"K19", 46}, {"MENU", 47},  {"NEXT", 48},
    {"BACK", 58}, {"K41", 60}, {"K42", 61},  {"K43", 62}, {"ENTER", 63},
};

struct Reference {
    char letter;
    double r, g, b;
};
constexpr Reference kCduColours[] = {
    {'g', 0, 255, 0},     {'a', 245, 180, 0}, {'y', 255, 255, 0}, {'r', 128, 128, 128},
    {'w', 255, 255, 255}, {'m', 255, 0, 255}, {'k', 0, 0, 0},
};

void Channels(uint32_t bgr, double* r, double* g, double* b) {
    *r = static_cast<double>(bgr & 0xFF);
    *g = static_cast<double>((bgr >> 8) & 0xFF);
    *b = static_cast<double>((bgr >> 16) & 0xFF);
}

// The nearest CDU colour, after scaling the colour by `gain` (which undoes
// the display brightness).
char NearestColour(uint32_t bgr, double gain) {
    double r, g, b;
    Channels(bgr, &r, &g, &b);
    r *= gain;
    g *= gain;
    b *= gain;
    char best = 'k';
    double best_d = 1e300;
    for (const Reference& c : kCduColours) {
        const double d = (r - c.r) * (r - c.r) + (g - c.g) * (g - c.g) + (b - c.b) * (b - c.b);
        if (d < best_d) {
            best_d = d;
            best = c.letter;
        }
    }
    return best;
}

// The strongest channel of the paint's texts: full-intensity colours (the
// green titles, white prompts) reach it, so it stands for the brightness.
double PaintGain(const std::vector<platform::DrawTextEntry>& texts) {
    uint32_t top = 0;
    for (const platform::DrawTextEntry& t : texts) {
        top = std::max({top, t.colour & 0xFF, (t.colour >> 8) & 0xFF, (t.colour >> 16) & 0xFF});
    }
    return top == 0 ? 1.0 : 255.0 / static_cast<double>(top);
}

// A cell as text: printable ASCII and the code page's characters (the
// degree sign) as UTF-8, control bytes and bytes without a character as '?'.
std::string CellText(unsigned char c) {
    const CodePageChar& ch = CodePageCharOf(c);
    if (c < 0x20 || c == 0x7F || !ch.defined) return "?";
    return std::string(ch.utf8, ch.size);
}

}  // namespace

std::optional<int> CduNamedKeyRect(std::string_view name) {
    if (name.size() == 2 && (name[0] == 'L' || name[0] == 'R') && name[1] >= '1' &&
        name[1] <= '5') {
        return (name[0] == 'L' ? 0 : 5) + (name[1] - '0');
    }
    for (const NamedKey& k : kNamedKeys) {
        if (name == k.name) return k.rect;
    }
    return std::nullopt;
}

std::optional<int> CduCharacterRect(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return 11 + (c - 'A');
    if (c >= '1' && c <= '9') return 49 + (c - '1');
    if (c == '0') return 59;
    return std::nullopt;
}

bool CduKeyRects(const std::vector<std::string>& words, std::vector<int>* rects,
                 std::string* error) {
    rects->clear();
    for (const std::string& word : words) {
        const bool quoted = word.size() >= 2 && word.front() == '"' && word.back() == '"';
        if (!quoted) {
            if (auto rect = CduNamedKeyRect(word)) {
                rects->push_back(*rect);
                continue;
            }
        }
        const std::string_view typed =
            quoted ? std::string_view(word).substr(1, word.size() - 2) : std::string_view(word);
        for (char c : typed) {
            auto rect = CduCharacterRect(c);
            if (!rect) {
                *error = "the CDU has no key for '" + std::string(1, c) + "' (in '" +
                         std::string(typed) + "')";
                return false;
            }
            rects->push_back(*rect);
        }
    }
    if (rects->empty()) {
        *error = "needs at least one key";
        return false;
    }
    return true;
}

CduScreenFold FoldCduTexts(const std::vector<platform::DrawTextEntry>& texts) {
    constexpr int kLines = 11;
    constexpr int kColumns = 24;
    unsigned char cells[kLines][kColumns] = {};
    char colours[kLines][kColumns] = {};
    const double gain = PaintGain(texts);
    for (const platform::DrawTextEntry& t : texts) {
        if (t.x < 11 || t.y < 1) continue;
        const int column = (t.x - 11) / 10;
        const int line = (t.y - 1) / 14;
        if (line >= kLines) continue;
        const char colour = NearestColour(t.colour, gain);
        for (int i = 0; t.text[i] != '\0' && column + i < kColumns; ++i) {
            cells[line][column + i] = static_cast<unsigned char>(t.text[i]);
            colours[line][column + i] = colour;
        }
    }
    CduScreenFold fold;
    for (int l = 0; l < kLines; ++l) {
        for (int c = 0; c < kColumns; ++c) {
            fold.lines[l] += cells[l][c] == 0 ? std::string(" ") : CellText(cells[l][c]);
            fold.colours[l] += colours[l][c] == 0 ? ' ' : colours[l][c];
        }
    }
    return fold;
}

}  // namespace zu::simhost
