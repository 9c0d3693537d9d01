// Small text helpers shared by the stand-in's readers.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace zu::simhost::text {

inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
        s.remove_suffix(1);
    }
    return s;
}

inline char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

inline bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualNoCase(s.substr(0, prefix.size()), prefix);
}

inline bool PrintableAscii(unsigned char c) {
    return c >= 0x20 && c < 0x7F;
}

// One byte as text shows it: itself when printable ASCII, else \xNN.
inline void AppendEscaped(std::string& out, unsigned char c) {
    if (PrintableAscii(c)) {
        out += static_cast<char>(c);
    } else {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out += buf;
    }
}

// A field of a file as a message shows it: bytes outside printable ASCII
// as \xNN, at most 80 characters of it followed by "..." when it is longer.
inline std::string Echo(std::string_view field) {
    constexpr size_t kMost = 80;
    std::string out;
    for (const char ch : field) {
        const auto c = static_cast<unsigned char>(ch);
        if (out.size() + (PrintableAscii(c) ? 1 : 4) > kMost) return out + "...";
        AppendEscaped(out, c);
    }
    return out;
}

// "0x" and the value in uppercase hexadecimal ("0x1011C").
inline std::string HexWord(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

// Whole-text integer in decimal or with a 0x prefix; nothing else accepted.
inline std::optional<int64_t> ParseInt(std::string_view s) {
    s = Trim(s);
    if (s.empty()) return std::nullopt;
    std::string buf(s);
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(buf.c_str(), &end, 0);
    if (errno != 0 || end != buf.c_str() + buf.size()) return std::nullopt;
    // strtoll with base 0 reads "010" as octal; the files use decimal.
    if (buf.size() > 1 && buf[0] == '0' && buf[1] != 'x' && buf[1] != 'X') {
        const long long d = std::strtoll(buf.c_str(), &end, 10);
        return d;
    }
    return v;
}

inline std::optional<uint64_t> ParseUnsigned(std::string_view s) {
    s = Trim(s);
    if (s.empty() || s.front() == '-' || s.front() == '+') return std::nullopt;
    std::string buf(s);
    errno = 0;
    char* end = nullptr;
    const int base =
        (buf.size() > 2 && buf[0] == '0' && (buf[1] == 'x' || buf[1] == 'X')) ? 16 : 10;
    const unsigned long long v = std::strtoull(buf.c_str(), &end, base);
    if (errno != 0 || end != buf.c_str() + buf.size()) return std::nullopt;
    return v;
}

inline std::optional<double> ParseDouble(std::string_view s) {
    s = Trim(s);
    if (s.empty()) return std::nullopt;
    std::string buf(s);
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(buf.c_str(), &end);
    if (errno == ERANGE || end != buf.c_str() + buf.size()) return std::nullopt;
    return v;
}

}  // namespace zu::simhost::text
