// ASCII letter case for the platform's own name comparisons (file names,
// INI sections and keys); independent of the locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace zu::platform {

inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualNoCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace zu::platform
