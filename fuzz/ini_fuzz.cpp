// Fuzzes the private-profile reader and writer with arbitrary file contents.
//
// The input is taken as the text of an INI file. The names found in its
// lines are looked up, then a few keys are written, deleted and read back;
// whatever the file held before, a written value must read back as written
// and a deleted key must be gone. The file lives in memory (the INI layer's
// memory-backed files): a run touches nothing on disk.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "zu/platform/ini_file.h"

namespace {

constexpr char kPath[] = "C:\\Fuzz\\Fuzz.ini";

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "ini_fuzz: %s\n", what);
        std::abort();
    }
}

// Section and key names that occur in the text, so lookups hit something.
// Every name is looked up as a section with the name that follows it as the
// key (each lookup walks the whole file, so a few reach every line).
constexpr size_t kMaxNames = 8;

std::vector<std::string> NamesIn(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty() && names.size() < kMaxNames) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        size_t open = line.find('[');
        size_t equals = line.find('=');
        if (open != std::string_view::npos) {
            names.emplace_back(line.substr(open + 1, line.find(']', open) - open - 1));
        } else if (equals != std::string_view::npos) {
            names.emplace_back(line.substr(0, equals));
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    for (std::string& name : names) name = name.c_str();  // cut at an embedded NUL
    return names;
}

}  // namespace

// Each input makes and frees a few hundred small strings (the INI layer
// reads and rewrites its file whole); a 32 MB quarantine (not 256) keeps the
// freed memory warm and still catches a use after free of any recent one.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu::platform;
    static const bool memory = (SetIniMemoryFiles(true), true);
    (void)memory;
    const char* p = kPath;
    SetIniMemoryFile(p, data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> names = NamesIn(text);

    char buffer[64];
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& section = names[i];
        {
            const std::string& key = names[(i + 1) % names.size()];
            const uint32_t n = GetPrivateProfileString(section.c_str(), key.c_str(), "d", buffer,
                                                       sizeof buffer, p);
            Check(n < sizeof buffer && std::strlen(buffer) == n, "string length");
            (void)GetPrivateProfileInt(section.c_str(), key.c_str(), -1, p);
            uint8_t raw[4];
            (void)GetPrivateProfileStruct(section.c_str(), key.c_str(), raw, sizeof raw, p);
        }
    }

    // Writes into a section that may or may not exist in the input.
    const std::string section = names.empty() ? "Fuzz" : names[0];
    if (section.find_first_of("[]\r\n") != std::string::npos || section.empty()) return 0;
    Check(WritePrivateProfileString(section.c_str(), "zu_key", "value 1", p), "write");
    GetPrivateProfileString(section.c_str(), "ZU_KEY ", "", buffer, sizeof buffer, p);
    Check(std::string_view(buffer) == "value 1", "written value read back");

    const uint8_t bytes[5] = {0x00, 0x7F, 0x80, 0xFF, static_cast<uint8_t>(size)};
    Check(WritePrivateProfileStruct(section.c_str(), "zu_struct", bytes, sizeof bytes, p),
          "write struct");
    uint8_t back[5] = {};
    Check(GetPrivateProfileStruct(section.c_str(), "zu_struct", back, sizeof back, p),
          "struct read back");
    Check(std::memcmp(back, bytes, sizeof bytes) == 0, "struct contents");
    GetPrivateProfileString(section.c_str(), "zu_key", "", buffer, sizeof buffer, p);
    Check(std::string_view(buffer) == "value 1", "earlier key kept");

    Check(WritePrivateProfileString(section.c_str(), "zu_key", nullptr, p), "delete key");
    GetPrivateProfileString(section.c_str(), "zu_key", "gone", buffer, sizeof buffer, p);
    Check(std::string_view(buffer) == "gone", "deleted key");
    Check(WritePrivateProfileString(section.c_str(), nullptr, nullptr, p), "delete section");
    return 0;
}
