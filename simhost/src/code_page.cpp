// The simulator's code page (see code_page.h).
#include "zu/simhost/code_page.h"

#include <array>
#include <cstdio>

namespace zu::simhost {
namespace {

// The code points of 0x80..0x9F, where the code page differs from Latin-1;
// 0 where it has no character.
constexpr std::array<char16_t, 32> kUpperControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr CodePageChar Encode(char32_t c, bool defined) {
    if (c < 0x80) return {{static_cast<char>(c), 0, 0}, 1, defined};
    if (c < 0x800) {
        return {{static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)), 0},
                2,
                defined};
    }
    return {{static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
             static_cast<char>(0x80 | (c & 0x3F))},
            3,
            defined};
}

constexpr std::array<CodePageChar, 256> MakeTable() {
    std::array<CodePageChar, 256> table{};
    for (char32_t b = 0; b < 256; ++b) {
        const bool upper = b >= 0x80 && b < 0xA0;
        const char32_t mapped = upper ? kUpperControls[b - 0x80] : b;
        table[b] = mapped != 0 || b == 0 ? Encode(mapped, true) : Encode(b, false);
    }
    return table;
}

constexpr std::array<CodePageChar, 256> kTable = MakeTable();

bool Printable(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendByte(unsigned char c, std::string* out) {
    const CodePageChar& ch = kTable[c];
    if (c >= 0x80 && ch.defined) {
        out->append(ch.utf8, ch.size);
    } else if (Printable(c)) {
        out->push_back(static_cast<char>(c));
    } else {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out->append(buf);
    }
}

}  // namespace

const CodePageChar& CodePageCharOf(unsigned char byte) {
    return kTable[byte];
}

int CodePageToUtf8(unsigned char byte, char* out) {
    const CodePageChar& ch = kTable[byte];
    for (int i = 0; i < ch.size; ++i) out[i] = ch.utf8[i];
    out[ch.size] = '\0';
    return ch.size;
}

std::string ModuleTextUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) AppendByte(static_cast<unsigned char>(c), &out);
    return out;
}

std::string NormalizeModuleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = HexDigit(text[i + 2]);
            const int low = HexDigit(text[i + 3]);
            if (high >= 0 && low >= 0) {
                AppendByte(static_cast<unsigned char>(high * 16 + low), &out);
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace zu::simhost
