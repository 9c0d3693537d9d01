// artwork: draws every bitmap of the gauge module and writes them as the
// module's embedded resources.
//
//   artwork --out-dir DIR [--png-dir DIR]
//   artwork --backgrounds PANEL_CFG DIR
//
// Writes DIR/zu_resources.bin (the pixels of all bitmaps, one after the
// other, each 16-byte aligned) and DIR/zu_resource_table.cpp (the table of
// numbers, sizes and offsets, and the assembler directive that embeds the
// .bin file in the module). Files whose content did not change are left
// untouched so that the module is not rebuilt for nothing. With --png-dir,
// every bitmap is also written as a PNG named after its number and name.
//
// With --backgrounds, it draws the window backgrounds a panel configuration
// names (`file=NAME` in a [WindowNN] section): the window at twice its
// size in panel units, transparent but for the unlit faces of the gauges
// placed on it whose faces belong to the background (the radio heads draw
// only their lit overlay themselves). Each is written as DIR/NAME (PNG).
#include <cairo.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "art_kit.h"
#include "families.h"

namespace {

namespace fs = std::filesystem;

bool WriteIfChanged(const fs::path& path, const std::string& content) {
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == content) return true;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "artwork: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// The path as an assembler string literal.
std::string AsmQuoted(const std::string& path) {
    std::string q = "\\\"";
    for (char ch : path) {
        if (ch == '"' || ch == '\\') q += "\\\\\\";
        q += ch;
    }
    q += "\\\"";
    return q;
}

cairo_surface_t* BitmapSurface(const art::Bitmap& b) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, b.width, b.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < b.height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < b.width; ++x) {
            const uint8_t* p = &b.rgba[(static_cast<size_t>(y) * b.width + x) * 4];
            row[x] = (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

bool WritePng(const fs::path& dir, const art::Bitmap& b) {
    cairo_surface_t* s = BitmapSurface(b);
    char name[128];
    std::snprintf(name, sizeof name, "%04X_%s.png", b.id, b.name.c_str());
    const cairo_status_t status = cairo_surface_write_to_png(s, (dir / name).c_str());
    cairo_surface_destroy(s);
    return status == CAIRO_STATUS_SUCCESS;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: artwork --out-dir DIR [--png-dir DIR]\n"
                 "       artwork --backgrounds PANEL_CFG DIR\n");
    return 2;
}

std::string Trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

struct BackgroundGauge {
    std::string name;
    int x = 0, y = 0, w = 0, h = 0;
};
struct BackgroundWindow {
    std::string file;
    int width = 0, height = 0;
    std::vector<BackgroundGauge> gauges;
};

// The windows of a panel configuration, as far as their backgrounds need.
std::vector<BackgroundWindow> ReadWindows(const fs::path& cfg) {
    std::vector<BackgroundWindow> windows;
    std::ifstream in(cfg);
    std::string line;
    bool in_window = false;
    while (std::getline(in, line)) {
        line = Trimmed(line);
        if (line.empty() || line[0] == ';' || line.rfind("//", 0) == 0) continue;
        if (line[0] == '[') {
            in_window = strncasecmp(line.c_str(), "[window", 7) == 0 &&
                        line.find("Titles") == std::string::npos;
            if (in_window) windows.emplace_back();
            continue;
        }
        if (!in_window) continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Trimmed(line.substr(0, eq));
        const std::string value = Trimmed(line.substr(eq + 1));
        BackgroundWindow& w = windows.back();
        if (strcasecmp(key.c_str(), "file") == 0) {
            w.file = value;
        } else if (strcasecmp(key.c_str(), "size_mm") == 0) {
            std::sscanf(value.c_str(), "%d , %d", &w.width, &w.height);
        } else if (strncasecmp(key.c_str(), "gauge", 5) == 0) {
            const size_t bang = value.find('!');
            const size_t comma = value.find(',');
            if (bang == std::string::npos || comma == std::string::npos || comma < bang) continue;
            BackgroundGauge g;
            g.name = Trimmed(value.substr(bang + 1, comma - bang - 1));
            const int n =
                std::sscanf(value.c_str() + comma + 1, "%d , %d , %d , %d", &g.x, &g.y, &g.w, &g.h);
            if (n < 3 || g.w <= 0) continue;
            if (n < 4 || g.h <= 0) g.h = g.w;
            w.gauges.push_back(g);
        }
    }
    return windows;
}

int WriteBackgrounds(const fs::path& cfg, const fs::path& dir, const art::BitmapSet& set) {
    constexpr int kScale = 2;
    std::error_code ec;
    fs::create_directories(dir, ec);
    int written = 0;
    for (const BackgroundWindow& w : ReadWindows(cfg)) {
        if (w.file.empty() || w.width <= 0 || w.height <= 0 || w.width > 10000 ||
            w.height > 10000) {
            continue;
        }
        cairo_surface_t* target =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w.width * kScale, w.height * kScale);
        cairo_t* cr = cairo_create(target);
        for (const BackgroundGauge& g : w.gauges) {
            const uint32_t face = art::PanelFaceOf(g.name);
            if (face == 0) continue;
            for (const art::Bitmap& b : set.bitmaps()) {
                if (b.id != face) continue;
                cairo_surface_t* s = BitmapSurface(b);
                cairo_save(cr);
                cairo_translate(cr, g.x * kScale, g.y * kScale);
                cairo_scale(cr, static_cast<double>(g.w) * kScale / b.width,
                            static_cast<double>(g.h) * kScale / b.height);
                cairo_set_source_surface(cr, s, 0, 0);
                cairo_paint(cr);
                cairo_restore(cr);
                cairo_surface_destroy(s);
            }
        }
        cairo_destroy(cr);
        const cairo_status_t status = cairo_surface_write_to_png(target, (dir / w.file).c_str());
        cairo_surface_destroy(target);
        if (status != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "artwork: cannot write %s\n", (dir / w.file).c_str());
            return 1;
        }
        ++written;
    }
    std::printf("artwork: %d window backgrounds\n", written);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path out_dir;
    fs::path png_dir;
    fs::path panel_cfg;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--backgrounds") == 0 && i + 2 < argc) {
            panel_cfg = argv[++i];
            out_dir = argv[++i];
        } else if (std::strcmp(argv[i], "--out-dir") == 0 && i + 1 < argc) {
            out_dir = argv[++i];
        } else if (std::strcmp(argv[i], "--png-dir") == 0 && i + 1 < argc) {
            png_dir = argv[++i];
        } else {
            return Usage();
        }
    }
    if (out_dir.empty()) return Usage();
    if (!art::LoadFonts()) return 1;

    art::BitmapSet set;
    art::RenderEngineInstruments(set);
    art::RenderRadioHeads(set);
    art::RenderAudioPanels(set);
    art::RenderOverheadPanels(set);
    art::RenderEnginePanels(set);
    art::RenderAttitudeHeading(set);
    art::RenderFlightDials(set);
    art::RenderDisplays(set);
    art::RenderWeatherRadar(set);
    art::RenderGuidancePanels(set);
    art::RenderFms(set);
    art::RenderPedestalPanels(set);
    art::RenderSystemPanels(set);
    art::RenderEnvironmentPanels(set);
    art::RenderHgsPanels(set);
    if (!panel_cfg.empty()) return WriteBackgrounds(panel_cfg, out_dir, set);

    std::vector<art::Bitmap>& bitmaps = set.bitmaps();
    std::sort(bitmaps.begin(), bitmaps.end(),
              [](const art::Bitmap& a, const art::Bitmap& b) { return a.id < b.id; });
    for (size_t i = 1; i < bitmaps.size(); ++i) {
        if (bitmaps[i].id == bitmaps[i - 1].id) {
            std::fprintf(stderr, "artwork: bitmap number 0x%X used by %s and %s\n", bitmaps[i].id,
                         bitmaps[i - 1].name.c_str(), bitmaps[i].name.c_str());
            return 1;
        }
    }

    std::error_code ec;
    fs::create_directories(out_dir, ec);
    const fs::path bin_path = fs::absolute(out_dir / "zu_resources.bin");
    std::string blob;
    std::ostringstream table;
    for (const art::Bitmap& b : bitmaps) {
        while (blob.size() % 16 != 0) blob.push_back('\0');
        table << "    {0x" << std::hex << b.id << std::dec << ", " << b.width << ", " << b.height
              << ", zu_resource_pixels + " << blob.size() << "},  // " << b.name << "\n";
        blob.append(reinterpret_cast<const char*>(b.rgba.data()), b.rgba.size());
    }
    if (blob.empty()) blob.push_back('\0');

    std::ostringstream cpp;
    cpp << "// Generated by tools/artwork; do not edit.\n"
           "#include \"resources/resource_table.h\"\n\n"
           "__asm__(\".section .rodata.zu_resources,\\\"a\\\"\\n\"\n"
           "        \".balign 64\\n\"\n"
           "        \".global zu_resource_pixels\\n\"\n"
           "        \".hidden zu_resource_pixels\\n\"\n"
           "        \"zu_resource_pixels:\\n\"\n"
           "        \".incbin "
        << AsmQuoted(bin_path.string())
        << "\\n\"\n"
           "        \".previous\\n\");\n\n"
           "extern \"C\" __attribute__((visibility(\"hidden\"))) const uint8_t "
           "zu_resource_pixels[];\n\n"
           "namespace zu {\n\n"
           "namespace {\n\n"
           "const gauge::BitmapResource kResources[] = {\n"
        << table.str()
        << "};\n\n"
           "constexpr uint32_t kCount = sizeof kResources / sizeof kResources[0];\n\n"
           "}  // namespace\n\n"
           "const gauge::BitmapResource* FindResource(uint32_t id) {\n"
           "    uint32_t lo = 0;\n"
           "    uint32_t hi = kCount;\n"
           "    while (lo < hi) {\n"
           "        const uint32_t mid = (lo + hi) / 2;\n"
           "        if (kResources[mid].id < id) {\n"
           "            lo = mid + 1;\n"
           "        } else {\n"
           "            hi = mid;\n"
           "        }\n"
           "    }\n"
           "    return lo < kCount && kResources[lo].id == id ? &kResources[lo] : nullptr;\n"
           "}\n\n"
           "uint32_t ResourceCount() { return kCount; }\n\n"
           "const gauge::BitmapResource* ResourceAt(uint32_t index) {\n"
           "    return index < kCount ? &kResources[index] : nullptr;\n"
           "}\n\n"
           "}  // namespace zu\n";

    if (!WriteIfChanged(bin_path, blob)) return 1;
    if (!WriteIfChanged(out_dir / "zu_resource_table.cpp", cpp.str())) return 1;

    if (!png_dir.empty()) {
        fs::create_directories(png_dir, ec);
        for (const art::Bitmap& b : bitmaps) {
            if (!WritePng(png_dir, b)) {
                std::fprintf(stderr, "artwork: cannot write PNG of %s\n", b.name.c_str());
                return 1;
            }
        }
    }
    std::printf("artwork: %zu bitmaps, %zu bytes\n", bitmaps.size(), blob.size());
    return 0;
}
