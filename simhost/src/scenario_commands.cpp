// The verbs of the scenario language. Each entry parses its arguments once,
// when the scenario is read, and returns the action to run at its time.
//
// To add a verb, append an entry to the table in ScenarioVerbs().
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>

#include "aircraft_model_commands.h"
#include "cabin_link/instructor_message.h"
#include "link_wait.h"
#include "text_util.h"
#include "zu/platform/joystick.h"
#include "zu/platform/net_session.h"
#include "zu/simhost/cdu_keys.h"
#include "zu/simhost/code_page.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"

namespace zu::simhost {
namespace {

// FSUIPC offset value types.
enum class OffsetType { U8, U16, U32, U64, S8, S16, S32, S64, F32, F64 };

struct TypeInfo {
    const char* name;
    OffsetType type;
    uint32_t size;
};

constexpr TypeInfo kTypes[] = {
    {"u8", OffsetType::U8, 1},   {"u16", OffsetType::U16, 2}, {"u32", OffsetType::U32, 4},
    {"u64", OffsetType::U64, 8}, {"s8", OffsetType::S8, 1},   {"s16", OffsetType::S16, 2},
    {"s32", OffsetType::S32, 4}, {"s64", OffsetType::S64, 8}, {"f32", OffsetType::F32, 4},
    {"f64", OffsetType::F64, 8},
};

const TypeInfo* FindType(const std::string& name) {
    for (const TypeInfo& t : kTypes) {
        if (text::EqualNoCase(name, t.name)) return &t;
    }
    return nullptr;
}

// Encodes `value` little-endian as `type`; false when it does not fit.
bool Encode(const TypeInfo& t, const std::string& value, uint8_t out[8]) {
    std::memset(out, 0, 8);
    uint64_t bits = 0;
    switch (t.type) {
        case OffsetType::F32: {
            auto v = text::ParseDouble(value);
            if (!v) return false;
            const float f = static_cast<float>(*v);
            uint32_t b;
            std::memcpy(&b, &f, 4);
            bits = b;
            break;
        }
        case OffsetType::F64: {
            auto v = text::ParseDouble(value);
            if (!v) return false;
            std::memcpy(&bits, &*v, 8);
            break;
        }
        case OffsetType::U8:
        case OffsetType::U16:
        case OffsetType::U32:
        case OffsetType::U64: {
            auto v = text::ParseUnsigned(value);
            if (!v) return false;
            if (t.size < 8 && *v >> (t.size * 8) != 0) return false;
            bits = *v;
            break;
        }
        default: {
            auto v = text::ParseInt(value);
            if (!v) return false;
            if (t.size < 8) {
                const int64_t lo = -(int64_t{1} << (t.size * 8 - 1));
                const int64_t hi = (int64_t{1} << (t.size * 8 - 1)) - 1;
                if (*v < lo || *v > hi) return false;
            }
            bits = static_cast<uint64_t>(*v);
            break;
        }
    }
    for (uint32_t i = 0; i < t.size; ++i) out[i] = static_cast<uint8_t>(bits >> (8 * i));
    return true;
}

double Decode(const TypeInfo& t, const uint8_t in[8]) {
    uint64_t bits = 0;
    for (uint32_t i = 0; i < t.size; ++i) bits |= static_cast<uint64_t>(in[i]) << (8 * i);
    switch (t.type) {
        case OffsetType::F32: {
            const uint32_t b = static_cast<uint32_t>(bits);
            float f;
            std::memcpy(&f, &b, 4);
            return f;
        }
        case OffsetType::F64: {
            double d;
            std::memcpy(&d, &bits, 8);
            return d;
        }
        case OffsetType::S8:
            return static_cast<int8_t>(bits);
        case OffsetType::S16:
            return static_cast<int16_t>(bits);
        case OffsetType::S32:
            return static_cast<int32_t>(bits);
        case OffsetType::S64:
            return static_cast<double>(static_cast<int64_t>(bits));
        default:
            return static_cast<double>(bits);
    }
}

std::optional<uint32_t> ParseOffset(const std::string& s) {
    auto v = text::ParseUnsigned(s);
    if (!v || *v >= kFsuipcImageSize) return std::nullopt;
    return static_cast<uint32_t>(*v);
}

std::optional<uint32_t> ParseU32(const std::string& s) {
    auto v = text::ParseUnsigned(s);
    if (!v || *v > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<uint32_t>(*v);
}

std::string Number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// Builds the comparison of an expect: actual vs expected within tolerance.
bool Compare(const std::string& what, double actual, double expected, double tolerance,
             std::string* message) {
    const bool ok = std::fabs(actual - expected) <= tolerance;
    *message = what + " is " + Number(actual) +
               (ok ? "" : ", expected " + Number(expected) + " within " + Number(tolerance));
    return ok;
}

constexpr double kDefaultTolerance = 1e-9;

std::optional<double> ParseTolerance(const std::vector<std::string>& args, size_t index) {
    if (args.size() <= index) return kDefaultTolerance;
    auto t = text::ParseDouble(args[index]);
    if (!t || !(*t >= 0)) return std::nullopt;
    return *t;
}

// ---------------------------------------------------------------------------
// Verbs

ScenarioAction ParseVar(const std::vector<std::string>& args, std::string* error) {
    if (args.size() != 2) {
        *error = "needs a token and a value";
        return {};
    }
    auto token = ParseU32(args[0]);
    auto value = text::ParseDouble(args[1]);
    if (!token || !value) {
        *error = "token must be a number and value a number";
        return {};
    }
    return [token = *token, value = *value](ScenarioContext& ctx, std::string* message) {
        ctx.sim.SetVariable(token, value);
        *message = "variable " + std::to_string(token) + " = " + Number(value);
        return true;
    };
}

ScenarioAction ParseOffsetSet(const std::vector<std::string>& args, std::string* error) {
    if (args.size() != 3) {
        *error = "needs an offset, a type and a value";
        return {};
    }
    auto offset = ParseOffset(args[0]);
    const TypeInfo* type = FindType(args[1]);
    if (!offset || type == nullptr) {
        *error =
            "offset must lie below 0x10000 and the type be one of u8 u16 u32 u64 s8 s16 s32 s64 "
            "f32 f64";
        return {};
    }
    if (*offset + type->size > kFsuipcImageSize) {
        *error = "the value reaches past the end of the offset image";
        return {};
    }
    uint8_t bytes[8];
    if (!Encode(*type, args[2], bytes)) {
        *error = "'" + args[2] + "' is not a " + type->name + " value";
        return {};
    }
    std::vector<uint8_t> data(bytes, bytes + type->size);
    return [offset = *offset, data, text = args[1] + " " + args[2]](ScenarioContext& ctx,
                                                                    std::string* message) {
        ctx.sim.fsuipc().Poke(offset, data.data(), static_cast<uint32_t>(data.size()));
        *message = "offset " + text::HexWord(offset) + " = " + text;
        ctx.sim.LogEvent("scenario " + *message);
        return true;
    };
}

ScenarioAction ParseKey(const std::vector<std::string>& args, std::string* error) {
    if (args.empty() || args.size() > 2) {
        *error = "needs an event number and optionally a value";
        return {};
    }
    auto id = ParseU32(args[0]);
    std::optional<uint32_t> value = 0u;
    if (args.size() == 2) {
        auto v = text::ParseInt(args[1]);
        value = (v && *v >= INT32_MIN && *v <= UINT32_MAX)
                    ? std::optional<uint32_t>(static_cast<uint32_t>(*v))
                    : std::nullopt;
    }
    if (!id || !value) {
        *error = "event and value must be 32-bit numbers";
        return {};
    }
    return [id = *id, value = *value](ScenarioContext& ctx, std::string* message) {
        ctx.sim.ReceiveKeyEvent(id, value, false);
        *message = "key event " + text::HexWord(id) + " " + std::to_string(value);
        return true;
    };
}

ScenarioAction ParseClick(const std::vector<std::string>& args, std::string* error) {
    if (args.size() < 2 || args.size() > 3) {
        *error = "needs a gauge name, a rectangle index and optionally left or right";
        return {};
    }
    auto rect = text::ParseInt(args[1]);
    if (!rect || *rect < 0 || *rect > 100000) {
        *error = "rectangle index must be a number from 0";
        return {};
    }
    bool right = false;
    if (args.size() == 3) {
        if (args[2] == "right") {
            right = true;
        } else if (args[2] != "left") {
            *error = "button must be left or right";
            return {};
        }
    }
    return [name = args[0], rect = static_cast<int>(*rect), right](ScenarioContext& ctx,
                                                                   std::string* message) {
        GaugeInstance* g = ctx.sim.FindGauge(name);
        if (g == nullptr) {
            *message = "gauge '" + name + "' is not on the panel";
            return false;
        }
        if (!g->installed) {
            *message = "gauge '" + name + "' is not installed";
            return false;
        }
        if (!ctx.sim.Click(*g, rect, right, message)) return false;
        *message = "clicked '" + name + "' rectangle " + std::to_string(rect);
        return true;
    };
}

// A click's gauge must be placed and its rectangle take that button.
bool CheckClick(const std::vector<std::string>& args, Simulator& sim, std::string* error) {
    const GaugeInstance* g = sim.FindGauge(args[0]);
    if (g == nullptr) {
        *error = "click: gauge '" + args[0] + "' is not on the panel";
        return false;
    }
    const int rect = static_cast<int>(*text::ParseInt(args[1]));
    const int count = MouseRectCount(g->header);
    if (rect >= count) {
        *error = "click: gauge '" + g->name + "' has " + std::to_string(count) +
                 " mouse rectangles (0 to " + std::to_string(count - 1) +
                 "); there is no rectangle " + std::to_string(rect);
        return false;
    }
    const gauge::MouseRect& r = g->header->mouse_rect[rect];
    const bool right = args.size() == 3 && args[2] == "right";
    if (r.handler == nullptr || PressFlag(r.mouse_flags, right) == 0) {
        *error = "click: mouse rectangle " + std::to_string(rect) + " of gauge '" + g->name +
                 "' takes no " + (right ? "right" : "left") + " clicks";
        return false;
    }
    return true;
}

// The CDU keys go to the placed FMS gauge.
bool CheckCdu(const std::vector<std::string>&, Simulator& sim, std::string* error) {
    if (sim.FindGauge(kCduKeyboardGauge) != nullptr) return true;
    *error = std::string("cdu: gauge '") + kCduKeyboardGauge + "' is not on the panel";
    return false;
}

ScenarioAction ParseSnapshot(const std::vector<std::string>& args, std::string* error) {
    if (args.size() > 1) {
        *error = "takes at most a name";
        return {};
    }
    std::string name = args.empty() ? "" : args[0];
    for (char c : name) {
        const bool fine = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!fine || name == "." || name == "..") {
            *error = "a snapshot name may hold letters, digits, '-', '_' and '.'";
            return {};
        }
    }
    return [name](ScenarioContext& ctx, std::string* message) {
        char fallback[32];
        std::snprintf(fallback, sizeof fallback, "frame-%06llu",
                      static_cast<unsigned long long>(ctx.sim.frame()));
        const std::string used = name.empty() ? fallback : name;
        if (!ctx.snapshot) {
            *message = "no snapshot folder";
            return false;
        }
        std::string problem;
        if (!ctx.snapshot(used, &problem)) {
            *message = problem;
            return false;
        }
        *message = "snapshot " + used;
        return true;
    };
}

// The texts of a placed gauge's shown string elements, in walk order (blank
// texts, a dark display's, left out), decoded as the state file writes them.
std::vector<std::string> LitTexts(const GaugeInstance& g) {
    std::vector<std::string> texts;
    for (const ElementState& e : g.elements) {
        if (e.type == gauge::ElementType::String && !e.hidden &&
            e.text.find_first_not_of(' ') != std::string::npos) {
            texts.push_back(ModuleTextUtf8(e.text));
        }
    }
    return texts;
}

// Texts of the module in one form, however each is written: as UTF-8 or
// with \xNN for the code page's bytes ("9°c" and "9\xB0c" read alike).
std::vector<std::string> Normalized(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    out.reserve(texts.size());
    for (const std::string& t : texts) out.push_back(NormalizeModuleText(t));
    return out;
}

std::string JoinTexts(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts) all += (all.empty() ? "\"" : ", \"") + t + "\"";
    return all.empty() ? "nothing" : all;
}

// `expect lit GAUGE [TEXT ...]`: the gauge's shown string elements read
// exactly these texts (none: every legend dark). `expect shows GAUGE TEXT`:
// a shown string element or the gauge's drawn picture holds TEXT (a CDU's:
// one line of its screen).
ScenarioAction ParseExpectShown(const std::string& kind, const std::vector<std::string>& args,
                                std::string* error) {
    if (args.size() < 2 || (kind == "shows" && args.size() != 3)) {
        *error = kind == "lit" ? "expect lit needs a gauge and the texts lit (none: all dark)"
                               : "expect shows needs a gauge and a text";
        return {};
    }
    const std::string gauge_name = args[1];
    const std::vector<std::string> texts(args.begin() + 2, args.end());
    const std::vector<std::string> wanted = Normalized(texts);
    const bool exact = kind == "lit";
    return [gauge_name, texts, wanted, exact](ScenarioContext& ctx, std::string* message) {
        const GaugeInstance* g = ctx.sim.FindGauge(gauge_name);
        if (g == nullptr) {
            *message = "no gauge '" + gauge_name + "' is placed";
            return false;
        }
        std::vector<std::string> shown = LitTexts(*g);
        if (exact) {
            *message = gauge_name + " shows " + JoinTexts(shown);
            return Normalized(shown) == wanted;
        }
        if (gauge_name == "FMS" || gauge_name == "FMS_VC") {
            // A CDU's screen letters one cell at a time: its lines as the
            // grid shows them.
            const CduScreenFold fold =
                FoldCduTexts(g->surfaces.empty() ? g->final_texts : g->surfaces.front()->texts);
            shown.insert(shown.end(), fold.lines.begin(), fold.lines.end());
        } else {
            for (const auto& surface : g->surfaces) {
                for (const platform::DrawTextEntry& t : surface->texts) {
                    shown.push_back(ModuleTextUtf8(t.text));
                }
            }
        }
        for (const std::string& t : shown) {
            if (NormalizeModuleText(t).find(wanted[0]) != std::string::npos) {
                *message = gauge_name + " shows \"" + t + "\"";
                return true;
            }
        }
        *message = gauge_name + " does not show \"" + texts[0] + "\"; it shows " + JoinTexts(shown);
        return false;
    };
}

// `expect element GAUGE INDEX hidden|shown` and `expect element GAUGE INDEX
// angle|icon|x|y VALUE [TOL]`: one element of a placed gauge (its index in
// the state file's walk order).
ScenarioAction ParseExpectElement(const std::vector<std::string>& args, std::string* error) {
    const char* usage =
        "expect element needs a gauge, an element index and hidden, shown, or angle, icon, x or y "
        "with a value and optionally a tolerance";
    if (args.size() < 4 || args.size() > 6) {
        *error = usage;
        return {};
    }
    const int64_t index = text::ParseInt(args[2]).value_or(-1);
    const std::string field = args[3];
    const bool visibility = field == "hidden" || field == "shown";
    const bool number = field == "angle" || field == "icon" || field == "x" || field == "y";
    const double value = args.size() >= 5 ? text::ParseDouble(args[4]).value_or(NAN) : NAN;
    const double tolerance = ParseTolerance(args, 5).value_or(-1);
    if (index < 0 || (visibility && args.size() != 4) ||
        (!visibility && (!number || std::isnan(value) || tolerance < 0))) {
        *error = usage;
        return {};
    }
    return [gauge_name = args[1], index = static_cast<size_t>(index), field, value,
            tol = tolerance](ScenarioContext& ctx, std::string* message) {
        const GaugeInstance* g = ctx.sim.FindGauge(gauge_name);
        if (g == nullptr || index >= g->elements.size()) {
            *message =
                "no element " + std::to_string(index) + " of a placed gauge '" + gauge_name + "'";
            return false;
        }
        const ElementState& e = g->elements[index];
        const std::string what = gauge_name + " element " + std::to_string(index);
        if (field == "hidden" || field == "shown") {
            *message = what + (e.hidden ? " is hidden" : " is shown");
            return e.hidden == (field == "hidden");
        }
        const double actual = field == "x" ? e.x : field == "y" ? e.y : e.value;
        return Compare(what + " " + field, actual, value, tol, message);
    };
}

// `expect played SOUND [SECONDS]`: a sound whose file name holds SOUND
// (e.g. "GPWS_minimums") started playing within the last SECONDS of
// simulated time (default: at any time of the kept sound events).
ScenarioAction ParseExpectPlayed(const std::vector<std::string>& args, std::string* error) {
    const double within = args.size() == 3 ? text::ParseDouble(args[2]).value_or(-1) : 1e300;
    if (args.size() < 2 || args.size() > 3 || args[1].empty() || !(within >= 0)) {
        *error = "expect played needs a sound's name and optionally the seconds it may lie back";
        return {};
    }
    return [sound = args[1], within](ScenarioContext& ctx, std::string* message) {
        const double fps = ctx.sim.config().fps > 0 ? ctx.sim.config().fps : 30;
        const double now = static_cast<double>(ctx.sim.frame());
        for (const platform::AudioEvent& e : ctx.sim.SoundEvents()) {
            if (e.kind != platform::AudioEventKind::Play) continue;
            if (std::string(e.label).find(sound) == std::string::npos) continue;
            if ((now - static_cast<double>(e.frame)) / fps > within) continue;
            *message = "\"" + sound + "\" played at frame " + std::to_string(e.frame);
            return true;
        }
        *message = "\"" + sound + "\" has not played";
        return false;
    };
}

ScenarioAction ParseExpect(const std::vector<std::string>& args, std::string* error) {
    if (args.empty()) {
        *error = "needs what to check: var, offset or named";
        return {};
    }
    const std::string& kind = args[0];
    if (kind == "var") {
        if (args.size() < 3 || args.size() > 4) {
            *error = "expect var needs a token, a value and optionally a tolerance";
            return {};
        }
        auto token = ParseU32(args[1]);
        auto value = text::ParseDouble(args[2]);
        auto tol = ParseTolerance(args, 3);
        if (!token || !value || !tol) {
            *error = "token, value and tolerance must be numbers";
            return {};
        }
        return [token = *token, value = *value, tol = *tol](ScenarioContext& ctx,
                                                            std::string* message) {
            return Compare("variable " + std::to_string(token), ctx.sim.Variable(token), value, tol,
                           message);
        };
    }
    if (kind == "offset") {
        if (args.size() < 4 || args.size() > 5) {
            *error = "expect offset needs an offset, a type, a value and optionally a tolerance";
            return {};
        }
        auto offset = ParseOffset(args[1]);
        const TypeInfo* type = FindType(args[2]);
        auto value = text::ParseDouble(args[3]);
        auto tol = ParseTolerance(args, 4);
        if (!offset || type == nullptr || !value || !tol) {
            *error = "offset below 0x10000, a type (u8 ... f64), a number and a tolerance";
            return {};
        }
        return [offset = *offset, type, value = *value, tol = *tol](ScenarioContext& ctx,
                                                                    std::string* message) {
            uint8_t bytes[8] = {};
            ctx.sim.fsuipc().Peek(offset, bytes, type->size);
            return Compare("offset " + text::HexWord(offset) + " " + type->name,
                           Decode(*type, bytes), value, tol, message);
        };
    }
    if (kind == "named") {
        if (args.size() < 3 || args.size() > 4) {
            *error = "expect named needs a name, a value and optionally a tolerance";
            return {};
        }
        auto value = text::ParseDouble(args[2]);
        auto tol = ParseTolerance(args, 3);
        if (!value || !tol) {
            *error = "value and tolerance must be numbers";
            return {};
        }
        return [name = args[1], value = *value, tol = *tol](ScenarioContext& ctx,
                                                            std::string* message) {
            const int32_t id = ctx.sim.FindNamedVariable(name);
            if (id < 0) {
                *message = "named variable '" + name + "' is not registered";
                return false;
            }
            return Compare("named variable '" + name + "'", ctx.sim.GetNamedVariable(id), value,
                           tol, message);
        };
    }
    if (kind == "lit" || kind == "shows") return ParseExpectShown(kind, args, error);
    if (kind == "element") return ParseExpectElement(args, error);
    if (kind == "played") return ParseExpectPlayed(args, error);
    *error = "unknown check '" + kind + "'";
    return {};
}

ScenarioAction ParseReload(const std::vector<std::string>& args, std::string* error) {
    if (!args.empty()) {
        *error = "takes no arguments";
        return {};
    }
    return [](ScenarioContext& ctx, std::string* message) {
        ctx.sim.Reload();
        *message = "gauges killed and installed again";
        return true;
    };
}

// The scripted joystick's axes, in the platform's order.
constexpr const char* kJoystickAxes[] = {"x", "y", "z", "rx", "ry", "rz", "slider0", "slider1"};

ScenarioAction ParseJoystick(const std::vector<std::string>& args, std::string* error) {
    if (args.size() == 1 && (args[0] == "unplug" || args[0] == "plug")) {
        const bool plug = args[0] == "plug";
        return [plug](ScenarioContext&, std::string* message) {
            platform::ScriptedJoystickPlug(plug);
            *message = plug ? "joystick plugged in" : "joystick unplugged";
            return true;
        };
    }
    int axis = -1;
    for (int i = 0; args.size() == 2 && i < 8; ++i) {
        if (text::EqualNoCase(args[0], kJoystickAxes[i])) axis = i;
    }
    auto value = args.size() == 2 ? text::ParseInt(args[1]) : std::nullopt;
    if (axis < 0 || !value || *value < -16383 || *value > 16383) {
        *error =
            "needs unplug, plug, or an axis (x, y, z, rx, ry, rz, slider0, slider1) and a value "
            "from -16383 to 16383";
        return {};
    }
    return [axis, v = static_cast<int32_t>(*value)](ScenarioContext&, std::string* message) {
        platform::ScriptedJoystickSetAxis(axis, v);
        *message = std::string("joystick ") + kJoystickAxes[axis] + " = " + std::to_string(v);
        return true;
    };
}

ScenarioAction ParseSaveFlight(const std::vector<std::string>& args, std::string* error) {
    if (args.size() != 1) {
        *error = "needs the flight's name";
        return {};
    }
    return [name = args[0]](ScenarioContext& ctx, std::string* message) {
        if (!ctx.sim.SaveFlight(name, message)) return false;
        *message = "flight saved as " + name;
        return true;
    };
}

ScenarioAction ParseCdu(const std::vector<std::string>& args, std::string* error) {
    std::vector<int> rects;
    if (!CduKeyRects(args, &rects, error)) return {};
    return [rects](ScenarioContext& ctx, std::string* message) {
        if (!ctx.sim.QueueCduKeys(rects, message)) return false;
        *message = std::to_string(rects.size()) + " CDU key" + (rects.size() == 1 ? "" : "s") +
                   " queued (" + std::to_string(ctx.sim.PendingCduKeys()) + " waiting)";
        return true;
    };
}

// `instructor GROUP INDEX STATE`: what the instructor panel sends when the
// instructor sets or clears a failure: a set-value message (group, the
// state's index, its new state) over the module's instructor link. The
// command connects as a panel does (at most 5 s of real time), sends, and
// waits (at most 10 s) until the module's link has taken the message in;
// the tick of the next frame acts on it, so a flight stays deterministic.
// A stop request ends either wait within kLinkStopGrace.
ScenarioAction ParseInstructor(const std::vector<std::string>& args, std::string* error) {
    if (args.size() != 3) {
        *error = "needs a group (0..65535), a state index (0..511) and the new state";
        return {};
    }
    const int64_t group = text::ParseInt(args[0]).value_or(-1);
    const int64_t index = text::ParseInt(args[1]).value_or(-1);
    const std::optional<int64_t> state = text::ParseInt(args[2]);
    if (!state || group < 0 || group > 0xFFFF || index < 0 ||
        index >= static_cast<int64_t>(kInstructorItemCount)) {
        *error = "needs a group (0..65535), a state index (0..511) and the new state";
        return {};
    }
    InstructorMessage m{};
    m.kind = kInstructorSetValue;
    m.group = static_cast<uint16_t>(group);
    m.items[0].value = static_cast<float>(index);
    m.items[0].state = static_cast<float>(*state);
    return [m](ScenarioContext& ctx, std::string* message) {
        const std::vector<platform::SessionHostStats> hosts = platform::HostedSessions();
        if (hosts.empty()) {
            *message = "the module hosts no instructor link";
            return false;
        }
        const uint16_t port = hosts.front().port;
        const uint64_t before = hosts.front().frames_received;
        std::unique_ptr<platform::SessionClient> client = platform::CreateSessionClient();
        LinkWait connecting(std::chrono::seconds(5), ctx.stop_requested);
        const int32_t connected =
            ConnectWithin(connecting, platform::kSessionNoHost, [&](uint32_t timeout_ms) {
                return client->Connect(
                    "127.0.0.1", port, platform::kInstructorAppId,
                    [](platform::SessionEvent, platform::PlayerId, const uint8_t*, size_t) {},
                    timeout_ms);
            });
        if (connected != platform::kSessionOk) {
            *message = "cannot connect to the instructor link on port " + std::to_string(port) +
                       (connecting.stopped() ? " (the run was stopped)" : "");
            return false;
        }
        if (client->Send(&m, sizeof m) != platform::kSessionOk) {
            *message = "the instructor link refused the message";
            return false;
        }
        LinkWait taking(std::chrono::seconds(10), ctx.stop_requested);
        bool taken = false;
        while (!taken && !taking.Over()) {
            for (const platform::SessionHostStats& h : platform::HostedSessions()) {
                if (h.port == port && h.frames_received > before) taken = true;
            }
            if (!taken) std::this_thread::yield();  // the link's thread is reading it
        }
        client->Close();
        *message = "instructor: group " + std::to_string(m.group) + " state " +
                   std::to_string(static_cast<int>(m.items[0].value)) +
                   " := " + std::to_string(static_cast<int>(m.items[0].state)) +
                   (taken              ? " (taken by the link on port " + std::to_string(port) + ")"
                    : taking.stopped() ? std::string(" (not taken: the run was stopped)")
                                       : std::string(" (not taken within 10 s)"));
        return taken;
    };
}

}  // namespace

const std::vector<ScenarioVerb>& ScenarioVerbs() {
    static const std::vector<ScenarioVerb> verbs = {
        {"var", "var TOKEN VALUE", ParseVar, false},
        {"offset", "offset 0xOFFSET u8|u16|u32|u64|s8|s16|s32|s64|f32|f64 VALUE", ParseOffsetSet,
         false},
        {"key", "key EVENT [VALUE]", ParseKey, false},
        {"click", "click GAUGE RECTANGLE [left|right]", ParseClick, false, false, CheckClick},
        {"snapshot", "snapshot [NAME]", ParseSnapshot, false},
        {"expect",
         "expect var TOKEN VALUE [TOL] | expect offset 0xOFFSET TYPE VALUE [TOL] | "
         "expect named NAME VALUE [TOL] | expect lit GAUGE [TEXT ...] | expect shows GAUGE TEXT | "
         "expect element GAUGE INDEX hidden|shown | expect element GAUGE INDEX angle|icon|x|y "
         "VALUE "
         "[TOL]",
         ParseExpect, true},
        {"reload", "reload", ParseReload, false},
        {"save-flight", "save-flight NAME", ParseSaveFlight, false},
        {"joystick", "joystick x|y|z|rx|ry|rz|slider0|slider1 VALUE | joystick unplug|plug",
         ParseJoystick, false},
        {"cdu",
         "cdu KEY|TEXT|\"TEXT\" ... (keys: L1-L5 R1-R5 DATA NAV DTO LIST PREV FPL PERF MENU NEXT "
         "BACK ENTER K12 K16 K19 K41 K42 K43; other words are typed)",
         ParseCdu, false, true, CheckCdu},
        {"instructor", "instructor GROUP INDEX STATE", ParseInstructor, false},
    };
    static const std::vector<ScenarioVerb> with_model = [] {
        std::vector<ScenarioVerb> all = verbs;
        for (ScenarioVerb& v : AircraftModelVerbs()) all.push_back(std::move(v));
        return all;
    }();
    return with_model;
}

}  // namespace zu::simhost
