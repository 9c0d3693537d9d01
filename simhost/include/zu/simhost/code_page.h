// The module's texts are in the simulator's code page, Windows-1252: one
// table decodes them for the state file, the scenario checks and the panel
// pictures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zu::simhost {

// One byte of the code page as UTF-8: `size` bytes (1 to 3) of `utf8`.
// `defined` is false for the five bytes the code page gives no character
// (0x81, 0x8D, 0x8F, 0x90, 0x9D): they decode to the C1 control of the same
// number, as the simulator's own system decodes them.
struct CodePageChar {
    char utf8[3];
    uint8_t size;
    bool defined;
};
const CodePageChar& CodePageCharOf(unsigned char byte);

// Writes the byte's UTF-8 and a terminating NUL to `out` (room for 4);
// returns the UTF-8 bytes written.
int CodePageToUtf8(unsigned char byte, char* out);

// A module's text as the state file writes it: printable ASCII as it is, the
// characters of the upper half as UTF-8 ("9°c  SAT"), control bytes and the
// five undefined bytes as \xNN ("\x81").
std::string ModuleTextUtf8(std::string_view bytes);

// A text given in either form a user may write a module's text in, as UTF-8
// or with \xNN for its bytes ("9\xB0c  SAT"), in the form ModuleTextUtf8
// gives: every \xNN becomes what ModuleTextUtf8 writes for byte NN.
std::string NormalizeModuleText(std::string_view text);

}  // namespace zu::simhost
