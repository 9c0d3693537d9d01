// Where the drawing layer finds its font files (Liberation Sans for the
// module's "Arial" faces, DSEG7 for its seven-segment face).
#pragma once

#include <string>

namespace zu::platform {

// The font file of a family and style: `debian_path` when it exists, else
// what fontconfig finds under exactly that family name; empty when neither
// has it.
std::string FindFontFile(const char* family, const char* style, const char* debian_path);

}  // namespace zu::platform
