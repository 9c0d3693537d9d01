#include "zu/platform/font_files.h"

#include "font_files.h"

namespace zu::platform {

std::string FindFontFile(const char* family, const char* style, const char* debian_path) {
    return fonts::FindFontFile(family, style, debian_path);
}

}  // namespace zu::platform
