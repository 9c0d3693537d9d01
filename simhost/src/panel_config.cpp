// Reader of panel.cfg files (see panel_config.h).
#include "zu/simhost/panel_config.h"

#include <map>
#include <sstream>

#include "text_util.h"
#include "zu/platform/files.h"

namespace zu::simhost {
namespace {

using text::EqualNoCase;
using text::StartsWithNoCase;
using text::Trim;

// "Window07" -> 7; nullopt for anything else.
std::optional<int> WindowNumber(std::string_view name) {
    if (!StartsWithNoCase(name, "window") || name.size() == 6) return std::nullopt;
    const std::string_view digits = name.substr(6);
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    auto v = text::ParseUnsigned(digits);
    if (!v || *v > 9999) return std::nullopt;
    return static_cast<int>(*v);
}

std::vector<std::string_view> SplitCommas(std::string_view s) {
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t comma = s.find(',');
        parts.push_back(Trim(s.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        s.remove_prefix(comma + 1);
    }
    return parts;
}

std::string Where(int line) {
    return "line " + std::to_string(line) + ": ";
}

// Parses "Module!Name, x, y, w[, h][, parameters]".
bool ParseGaugeLine(std::string_view value, PanelGaugeEntry* entry, std::string* problem) {
    const std::vector<std::string_view> parts = SplitCommas(value);
    const std::string_view ident = parts[0];
    const size_t bang = ident.find('!');
    if (bang == std::string_view::npos) {
        *problem = "gauge '" + text::Echo(ident) + "' names no module (Module!Name)";
        return false;
    }
    entry->module = std::string(Trim(ident.substr(0, bang)));
    entry->name = std::string(Trim(ident.substr(bang + 1)));
    if (entry->name.empty()) {
        *problem = "gauge line without a gauge name";
        return false;
    }
    if (parts.size() < 4) {
        *problem = "gauge '" + text::Echo(entry->name) + "' needs x, y and width";
        return false;
    }
    auto x = text::ParseInt(parts[1]);
    auto y = text::ParseInt(parts[2]);
    auto w = text::ParseInt(parts[3]);
    if (!x || !y || !w || *w <= 0 || *w > 100000 || *x < -100000 || *x > 100000 || *y < -100000 ||
        *y > 100000) {
        *problem = "gauge '" + text::Echo(entry->name) +
                   "': x, y and width must be numbers (width above 0)";
        return false;
    }
    entry->x = static_cast<int>(*x);
    entry->y = static_cast<int>(*y);
    entry->width = static_cast<int>(*w);
    entry->height = entry->width;
    size_t next = 4;
    if (parts.size() > 4) {
        auto h = text::ParseInt(parts[4]);
        if (h) {
            if (*h <= 0 || *h > 100000) {
                *problem = "gauge '" + text::Echo(entry->name) + "': height must be above 0";
                return false;
            }
            entry->height = static_cast<int>(*h);
            entry->height_given = true;
            next = 5;
        }
    }
    // Whatever follows is the parameter string, commas included.
    std::string params;
    for (size_t i = next; i < parts.size(); ++i) {
        if (i > next) params += ',';
        params += std::string(parts[i]);
    }
    entry->parameters = std::string(Trim(params));
    return true;
}

}  // namespace

PanelConfig ParsePanelConfig(const std::string& content) {
    PanelConfig config;
    std::map<int, std::string> titles;
    std::map<int, size_t> window_index;  // window number -> index in config.windows
    enum class Section { None, Titles, Window, Other } section = Section::None;
    PanelWindow* window = nullptr;

    std::istringstream in(content);
    std::string raw;
    int line_no = 0;
    while (std::getline(in, raw)) {
        ++line_no;
        if (raw.find('\0') != std::string::npos) {
            // No text of a panel configuration holds one: the file is damaged
            // here, and whatever the line placed is not trusted.
            config.warnings.push_back(Where(line_no) + "holds a NUL byte; the line is skipped");
            continue;
        }
        std::string_view line = Trim(raw);
        if (line_no == 1 && line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF &&
            static_cast<unsigned char>(line[1]) == 0xBB &&
            static_cast<unsigned char>(line[2]) == 0xBF) {
            line = Trim(line.substr(3));  // UTF-8 byte-order mark
        }
        if (line.empty() || line[0] == ';' || line.substr(0, 2) == "//") continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            if (close == std::string_view::npos) {
                config.warnings.push_back(Where(line_no) + "section header without ']'");
                section = Section::Other;
                window = nullptr;
                continue;
            }
            const std::string_view name = Trim(line.substr(1, close - 1));
            window = nullptr;
            if (EqualNoCase(name, "Window Titles")) {
                section = Section::Titles;
            } else if (auto number = WindowNumber(name)) {
                section = Section::Window;
                auto it = window_index.find(*number);
                if (it != window_index.end()) {
                    config.warnings.push_back(Where(line_no) + "section [" + text::Echo(name) +
                                              "] appears again; its lines are added to the first");
                    window = &config.windows[it->second];
                } else {
                    window_index[*number] = config.windows.size();
                    config.windows.emplace_back();
                    window = &config.windows.back();
                    window->number = *number;
                    window->ident = static_cast<uint32_t>(*number);
                }
            } else {
                section = Section::Other;
            }
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            if (section != Section::Other) {
                config.warnings.push_back(Where(line_no) + "line without '=' ignored");
            }
            continue;
        }
        const std::string_view key = Trim(line.substr(0, eq));
        std::string_view value = Trim(line.substr(eq + 1));
        // Trailing comments after the value.
        if (const size_t c = value.find("//"); c != std::string_view::npos) {
            value = Trim(value.substr(0, c));
        }
        if (section == Section::Titles) {
            if (auto number = WindowNumber(key)) titles[*number] = std::string(value);
            continue;
        }
        if (section != Section::Window || window == nullptr) {
            if (StartsWithNoCase(key, "gauge")) {
                config.warnings.push_back(Where(line_no) +
                                          "gauge line outside a [WindowNN] section; skipped");
            }
            continue;
        }

        if (StartsWithNoCase(key, "gauge")) {
            PanelGaugeEntry entry;
            entry.line = line_no;
            entry.key = std::string(key);
            std::string problem;
            if (ParseGaugeLine(value, &entry, &problem)) {
                window->gauges.push_back(std::move(entry));
            } else {
                config.warnings.push_back(Where(line_no) + problem + "; skipped");
            }
        } else if (EqualNoCase(key, "size_mm")) {
            auto parts = SplitCommas(value);
            auto w = parts.size() == 2 ? text::ParseInt(parts[0]) : std::nullopt;
            auto h = parts.size() == 2 ? text::ParseInt(parts[1]) : std::nullopt;
            if (w && h && *w > 0 && *h > 0 && *w <= 100000 && *h <= 100000) {
                window->size_w = static_cast<int>(*w);
                window->size_h = static_cast<int>(*h);
            } else {
                config.warnings.push_back(Where(line_no) + "size_mm needs two positive numbers");
            }
        } else if (EqualNoCase(key, "visible")) {
            auto v = text::ParseInt(value);
            if (v) {
                window->visible = *v != 0;
            } else {
                config.warnings.push_back(Where(line_no) + "visible needs 0 or 1");
            }
        } else if (EqualNoCase(key, "position")) {
            auto v = text::ParseInt(value);
            if (v && *v >= 0 && *v <= 8) {
                window->position = static_cast<int>(*v);
            } else {
                config.warnings.push_back(Where(line_no) + "position needs a number 0 to 8");
            }
        } else if (EqualNoCase(key, "file")) {
            window->background = std::string(value);
        } else if (EqualNoCase(key, "ident")) {
            auto v = text::ParseUnsigned(value);
            if (v && *v <= 0xFFFFFFFFu) {
                window->ident = static_cast<uint32_t>(*v);
            } else {
                config.warnings.push_back(Where(line_no) + "ident needs a number; window keeps " +
                                          std::to_string(window->ident));
            }
        }
        // Other keys of the simulator's format (zoom, ...) do not concern the
        // stand-in.
    }
    for (PanelWindow& w : config.windows) {
        auto it = titles.find(w.number);
        if (it != titles.end()) w.title = it->second;
    }
    return config;
}

bool LoadPanelConfig(const std::filesystem::path& file, PanelConfig* out, std::string* error) {
    std::string text;
    const platform::HostFileRead read = platform::ReadWholeHostFile(file.string(), &text);
    if (read.result == platform::HostFileRead::Result::kNotRegular) {
        *error = "panel configuration " + file.string() + " is " + read.not_regular;
        return false;
    }
    if (read.result != platform::HostFileRead::Result::kRead) {
        *error = "cannot read panel configuration " + file.string();
        return false;
    }
    *out = ParsePanelConfig(text);
    for (const PanelWindow& w : out->windows) {
        if (!w.gauges.empty()) return true;
    }
    *error = "panel configuration " + file.string() +
             " places no gauge (empty, or not a panel configuration)";
    return false;
}

}  // namespace zu::simhost
