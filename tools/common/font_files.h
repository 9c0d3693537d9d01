// Where the programs that letter with Cairo find their font files: the
// simulator stand-in's panel renderer and the artwork generator look up the
// same families the same way, so both letter with the same file.
#pragma once

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace zu::fonts {

// The font file fontconfig finds for a family and style, when the family it
// finds is the one asked for; empty otherwise.
inline std::string FindWithFontconfig(const char* family, const char* style) {
    if (!FcInit()) return {};
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    if (match != nullptr) {
        FcChar8* found_family = nullptr;
        FcChar8* found_file = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &found_family) == FcResultMatch &&
            FcPatternGetString(match, FC_FILE, 0, &found_file) == FcResultMatch &&
            strcasecmp(reinterpret_cast<const char*>(found_family), family) == 0) {
            file = reinterpret_cast<const char*>(found_file);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

// The font file of a family and style: the Debian package's file when it is
// there, else what fontconfig finds under exactly that family name; empty
// when neither has it.
inline std::string FindFontFile(const char* family, const char* style, const char* debian_path) {
    std::error_code ec;
    if (std::filesystem::exists(debian_path, ec)) return debian_path;
    return FindWithFontconfig(family, style);
}

}  // namespace zu::fonts
