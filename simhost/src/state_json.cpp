// The state file (see state_json.h).
#include "zu/simhost/state_json.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "text_util.h"
#include "zu/platform/files.h"
#include "zu/platform/load_problems.h"
#include "zu/platform/net_session.h"
#include "zu/simhost/cdu_keys.h"
#include "zu/simhost/code_page.h"
#include "zu/simhost/instructor_failures.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"

namespace zu::simhost {
namespace {

using json = nlohmann::ordered_json;
namespace gauge = zu::gauge;
namespace platform = zu::platform;

const char* TypeName(gauge::ElementType type) {
    switch (type) {
        case gauge::ElementType::StaticImage:
            return "static";
        case gauge::ElementType::Needle:
            return "needle";
        case gauge::ElementType::String:
            return "string";
        case gauge::ElementType::Slider:
            return "slider";
        case gauge::ElementType::Icon:
            return "icon";
        case gauge::ElementType::MovingImage:
            return "moving_image";
        case gauge::ElementType::Sprite:
            return "sprite";
    }
    return "unknown";
}

const char* WindowSlotName(int slot) {
    switch (slot) {
        case gauge::kSlotPanelWindowOpen:
            return "open";
        case gauge::kSlotPanelWindowClose:
            return "close";
        case gauge::kSlotPanelWindowToggle:
            return "toggle";
        default:
            return "other";
    }
}

// The forms the docs and the event log write: key events and colours in
// hexadecimal, FSUIPC offsets with four digits at least.
std::string Hex(uint32_t v, int digits = 1) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
    return buf;
}
int32_t Signed(uint32_t v) {
    return static_cast<int32_t>(v);
}

// JSON has no infinities or NaN; such values are written as null.
json Number(double v) {
    return std::isfinite(v) ? json(v) : json(nullptr);
}

// Paths and names of files may hold any bytes; keep them valid UTF-8 by
// writing bytes outside printable ASCII as \xNN. (The module's own texts
// are decoded from its code page: ModuleTextUtf8.)
std::string SafeText(const std::string& s) {
    std::string out;
    for (const char c : s) text::AppendEscaped(out, static_cast<unsigned char>(c));
    return out;
}

// The length of the whole UTF-8 character that begins at s[i]; 0 when none
// does (a stray, overlong or cut sequence, a surrogate).
size_t Utf8Length(const std::string& s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return 1;
    size_t n = 0;
    uint32_t code = 0;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        code = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        code = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        code = c & 0x07u;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b & 0x3Fu);
    }
    constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return n;
}

// A text simhost made in UTF-8, which may quote the module's texts (a
// scenario check's message): its characters as they are, control bytes and
// bytes that begin no whole character as \xNN.
std::string Utf8Text(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const size_t n = Utf8Length(s, i);
        const auto c = static_cast<unsigned char>(s[i]);
        if (n > 1 || (n == 1 && c >= 0x20 && c < 0x7F)) {
            out.append(s, i, n);
            i += n;
            continue;
        }
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out += buf;
        ++i;
    }
    return out;
}

const char* AudioEventName(platform::AudioEventKind kind) {
    switch (kind) {
        case platform::AudioEventKind::Play:
            return "play";
        case platform::AudioEventKind::Stop:
            return "stop";
        case platform::AudioEventKind::End:
            return "end";
        case platform::AudioEventKind::Volume:
            return "volume";
        case platform::AudioEventKind::Pan:
            return "pan";
        case platform::AudioEventKind::Frequency:
            return "frequency";
        case platform::AudioEventKind::Pause:
            return "pause";
    }
    return "other";
}

const char* AudioModeName(platform::AudioMode mode) {
    switch (mode) {
        case platform::AudioMode::Device:
            return "device";
        case platform::AudioMode::Loopback:
            return "loopback";
        case platform::AudioMode::Silent:
            return "silent";
    }
    return "other";
}

// A sound buffer's label is the path of its WAV file; the part below the
// aircraft's sound folder names it ("computers\GPWS_pullup.wav").
std::string SoundName(const char* label) {
    const std::string path = label;
    std::string lower = path;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const size_t at = lower.rfind("\\sound\\");
    return at == std::string::npos ? path : path.substr(at + 7);
}

json ElementJson(size_t index, const ElementState& s) {
    json e = {{"index", index},
              {"depth", s.depth},
              {"type", TypeName(s.type)},
              {"hidden", s.hidden},
              {"image_flags", s.image_flags},
              {"image_flags_hex", Hex(s.image_flags, 8)},
              {"updates", s.updates}};
    switch (s.type) {
        case gauge::ElementType::Needle:
            e["angle"] = Number(s.value);
            break;
        case gauge::ElementType::String:
            e["text"] = ModuleTextUtf8(s.text);
            e["colour"] = reinterpret_cast<const gauge::StringElement*>(s.element)->fg_colour;
            e["colour_hex"] = Hex(e["colour"].get<uint32_t>(), 8);
            break;
        case gauge::ElementType::Icon:
            e["icon"] = Number(s.value);
            break;
        case gauge::ElementType::Slider:
        case gauge::ElementType::MovingImage:
            e["x"] = Number(s.x);
            e["y"] = Number(s.y);
            break;
        case gauge::ElementType::Sprite:
            e["angle"] = Number(s.value);
            e["x"] = Number(s.x);
            e["y"] = Number(s.y);
            break;
        default:
            e["value"] = Number(s.value);
            break;
    }
    return e;
}

// The simulator's radios as its offsets hold them, decoded: COM and NAV in
// MHz, ADF in kHz (BCD main word plus the extension word's thousands digit
// and tenths), the transponder code as four octal digits, and the two
// transponder bytes (0x7B91 standby, 0x7B93 ident).
uint16_t PeekWord(const FsuipcServer& f, uint32_t offset) {
    uint16_t v = 0;
    f.Peek(offset, &v, sizeof v);
    return v;
}
uint8_t PeekByte(const FsuipcServer& f, uint32_t offset) {
    uint8_t v = 0;
    f.Peek(offset, &v, sizeof v);
    return v;
}
int BcdValue(uint16_t bcd) {
    return ((bcd >> 12) & 0xF) * 1000 + ((bcd >> 8) & 0xF) * 100 + ((bcd >> 4) & 0xF) * 10 +
           (bcd & 0xF);
}
double MhzOf(uint16_t bcd) {
    return 100.0 + BcdValue(bcd) / 100.0;
}
double KhzOf(uint16_t main, uint16_t ext) {
    return BcdValue(main) + ((ext >> 8) & 0xFF) * 1000.0 + (ext & 0xFF) * 0.1;
}
json RadiosJson(const FsuipcServer& f) {
    char code[8];
    std::snprintf(code, sizeof code, "%04X", PeekWord(f, 0x0354));
    return {{"com1_mhz", MhzOf(PeekWord(f, 0x034E))},
            {"com2_mhz", MhzOf(PeekWord(f, 0x3118))},
            {"nav1_mhz", MhzOf(PeekWord(f, 0x0350))},
            {"nav2_mhz", MhzOf(PeekWord(f, 0x0352))},
            {"adf1_khz", KhzOf(PeekWord(f, 0x034C), PeekWord(f, 0x0356))},
            {"adf2_khz", KhzOf(PeekWord(f, 0x02D4), PeekWord(f, 0x02D6))},
            {"transponder_code", code},
            {"transponder_standby", PeekByte(f, 0x7B91)},
            {"transponder_ident", PeekByte(f, 0x7B93)}};
}

// The CDU screen of an FMS gauge folded onto its character grid, from the
// texts of its screen surface's last completed paint (after the flight, the
// texts kept past kill).
json CduJson(const GaugeInstance& g) {
    json lines = json::array();
    json colours = json::array();
    const std::vector<platform::DrawTextEntry>& texts =
        g.surfaces.empty() ? g.final_texts : g.surfaces.front()->texts;
    {
        const CduScreenFold fold = FoldCduTexts(texts);
        for (const std::string& l : fold.lines) lines.push_back(l);
        for (const std::string& c : fold.colours) colours.push_back(c);
    }
    return {{"lines", std::move(lines)}, {"colours", std::move(colours)}};
}

// The process's peak resident memory so far in kB (VmHWM), null where the
// system does not tell it.
json PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtoll(line.c_str() + 6, nullptr, 10);
    }
    return nullptr;
}

json SimhostJson(const Simulator& sim) {
    const SimulatorConfig& cfg = sim.config();
    return {
        {"module", sim.module_name()},
        {"aircraft_file", sim.aircraft_file().string()},
        {"panel", sim.panel_file().string()},
        {"clock", cfg.lockstep ? "lockstep" : "real"},
        {"fps", cfg.fps},
        {"fsuipc", cfg.fsuipc},
        {"sim_number", cfg.sim_number},
        {"peak_resident_kb", PeakResidentKb()},
    };
}

// A number shown by a gauge's readout (null when it shows none).
json ReadoutNumber(const GaugeInstance* g, size_t element) {
    if (g == nullptr || element >= g->elements.size()) return nullptr;
    const std::string& text = g->elements[element].text;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return end != text.c_str() && std::isfinite(v) ? json(v) : json(nullptr);
}

const GaugeInstance* PlacedGauge(const Simulator& sim, const char* name) {
    for (const GaugeInstance& g : sim.gauges()) {
        if (g.name == name) return &g;
    }
    return nullptr;
}

// The instructor's failures as the link told them, or null with the reason.
void AddInstructorFailures(const InstructorFailures* failures, json& summary) {
    if (failures == nullptr || !failures->active) {
        summary["instructor_failures"] = nullptr;
        summary["instructor_failures_reason"] =
            failures == nullptr ? "asked at the end of the flight only" : failures->unknown;
        return;
    }
    json list = json::array();
    for (const InstructorFailure& f : *failures->active) {
        list.push_back({{"group", f.group},
                        {"index", f.index},
                        {"name", f.name.empty() ? json(nullptr) : json(f.name)},
                        {"state", f.state},
                        {"failures", f.failures}});
    }
    summary["instructor_failures"] = std::move(list);
    summary["instructor_failures_reason"] = nullptr;
}

// What a crew member would look at first: the caution legends lit, the
// voltmeters' readouts, the engines; and what the instructor has failed.
json SummaryJson(const Simulator& sim, const InstructorFailures* failures) {
    json cautions = json::array();
    const GaugeInstance* caution = PlacedGauge(sim, "Caution");
    if (caution == nullptr) caution = PlacedGauge(sim, "Caution_Large");
    if (caution != nullptr) {
        for (const ElementState& e : caution->elements) {
            if (e.type == gauge::ElementType::String && !e.hidden && !e.text.empty()) {
                cautions.push_back(ModuleTextUtf8(e.text));
            }
        }
    }
    // The DC voltmeter (readout 6) and the two AC voltmeters (6, 8) read the
    // buses their selectors pick.
    const GaugeInstance* dc = PlacedGauge(sim, "DcMeterPanel");
    const GaugeInstance* ac = PlacedGauge(sim, "AcMeterPanel");
    json engines = nullptr;
    if (sim.config().aircraft_model) {
        engines = json::array();
        for (const EngineState& e : sim.model().state().engines) {
            engines.push_back({{"running", e.combustion},
                               {"nh", Number(e.nh)},
                               {"prop_rpm", Number(e.prop_rpm)},
                               {"itt", Number(e.itt)}});
        }
    }
    json summary = {{"lit_cautions", std::move(cautions)},
                    {"bus_volts",
                     {{"dc", ReadoutNumber(dc, 6)},
                      {"ac", json::array({ReadoutNumber(ac, 6), ReadoutNumber(ac, 8)})}}},
                    {"engines", std::move(engines)}};
    AddInstructorFailures(failures, summary);
    return summary;
}

// The state file's top level, written member by member: each member is
// built, written and let go before the next, so the whole document is never
// held in memory as a tree (the gauges' array is written gauge by gauge).
// The text is what dumping the whole tree with an indent of 2 would give.
class TopLevelWriter {
  public:
    explicit TopLevelWriter(std::ostream& out) : out_(out) { out_ << '{'; }
    void Member(const char* key, const json& value) {
        Key(key);
        Indented(value, 1);
    }
    // An array member whose elements `each(i)` makes one at a time.
    template <typename Each>
    void Array(const char* key, size_t count, Each each) {
        Key(key);
        if (count == 0) {
            out_ << "[]";
            return;
        }
        out_ << '[';
        for (size_t i = 0; i < count; ++i) {
            out_ << (i == 0 ? "\n    " : ",\n    ");
            Indented(each(i), 2);
        }
        out_ << "\n  ]";
    }
    void Finish() { out_ << (first_ ? "}\n" : "\n}\n"); }

  private:
    void Key(const char* key) {
        out_ << (first_ ? "\n  " : ",\n  ") << json(key).dump() << ": ";
        first_ = false;
    }
    // A value dumped at `depth` levels in: every line after its first
    // indented by two spaces a level (a string's line breaks are escaped).
    void Indented(const json& value, int depth) {
        const std::string text = value.dump(2, ' ', false, json::error_handler_t::replace);
        size_t from = 0;
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
            out_.write(text.data() + from, static_cast<std::streamsize>(at + 1 - from));
            for (int i = 0; i < depth; ++i) out_ << "  ";
            from = at + 1;
        }
        out_.write(text.data() + from, static_cast<std::streamsize>(text.size() - from));
    }

    std::ostream& out_;
    bool first_ = true;
};

void AddKeyEvents(const Simulator& sim, TopLevelWriter& root) {
    json keys = json::array();
    for (const KeyEventRecord& k : sim.KeyEvents()) {
        keys.push_back({{"frame", k.frame},
                        {"id", k.id},
                        {"id_hex", Hex(k.id)},
                        {"value", k.value},
                        {"value_signed", Signed(k.value)},
                        {"source", k.from_module ? "module" : "scenario"}});
    }
    root.Member("key_events", keys);
    keys = nullptr;
    json key_counts = json::array();
    for (const auto& [id, c] : sim.KeyEventCounts()) {
        key_counts.push_back({{"id", id},
                              {"id_hex", Hex(id)},
                              {"count", c.count},
                              {"first_frame", c.first_frame},
                              {"last_frame", c.last_frame},
                              {"first_value", c.first.value},
                              {"first_value_signed", Signed(c.first.value)},
                              {"last_value", c.last.value},
                              {"last_value_signed", Signed(c.last.value)},
                              {"last_source", c.last.from_module ? "module" : "scenario"}});
    }
    root.Member("key_event_log", {{"total", sim.KeyEventsTotal()},
                                  {"from_module", sim.ModuleKeyEventsTotal()},
                                  {"kept", kKeyEventWindow},
                                  {"counts", std::move(key_counts)}});
}

json AircraftJson(const Simulator& sim) {
    const AircraftState& a = sim.model().state();
    json engines = json::array();
    for (size_t i = 0; i < a.engines.size(); ++i) {
        const EngineState& e = a.engines[i];
        engines.push_back({{"running", e.combustion},
                           {"nh", e.nh},
                           {"nl", e.nl},
                           {"prop_rpm", e.prop_rpm},
                           {"torque", e.torque},
                           {"itt", e.itt},
                           {"fuel_flow", e.fuel_flow},
                           {"oil_temp", e.oil_temp},
                           {"oil_press", e.oil_press},
                           {"starter", e.starter_switch},
                           {"throttle", e.throttle},
                           {"prop_lever", e.prop_lever},
                           {"condition", e.condition},
                           {"power_axis", sim.model().power_axes()[i]},
                           {"condition_axis", sim.model().condition_axes()[i]},
                           {"blade_angle", e.blade_angle}});
    }
    json nav = json::array();
    for (int i = 0; i < 2; ++i) {
        const NavReceiverView& n = sim.model().nav(i);
        nav.push_back({{"frequency_mhz", n.frequency_mhz},
                       {"ident", n.ident},
                       {"received", n.received},
                       {"localizer", n.localizer},
                       {"deviation", n.deviation},
                       {"glideslope_deviation", n.glideslope_deviation},
                       {"distance_nm", n.distance_nm}});
    }
    json aircraft = {{"latitude", a.latitude},
                     {"longitude", a.longitude},
                     {"altitude_ft", a.altitude_ft},
                     {"radio_altitude_ft", a.altitude_ft - a.ground_elevation_ft},
                     {"angle_of_attack_deg", a.alpha},
                     {"indicated_airspeed_kt", sim.model().IndicatedAirspeedKt()},
                     {"heading_true", a.heading_true},
                     {"heading_magnetic", std::fmod(a.heading_true - a.variation + 720.0, 360.0)},
                     {"track_true", sim.model().TrackTrue()},
                     {"vertical_speed_fpm", sim.model().VerticalSpeedFpm()},
                     {"pitch", a.pitch},
                     {"bank", a.bank},
                     {"on_ground", a.on_ground},
                     {"gear", a.gear},
                     {"flaps", a.flaps},
                     {"paused", a.paused},
                     {"clock", a.clock_s},
                     {"fuel_lb", {a.fuel_lb[0], a.fuel_lb[1]}},
                     {"engines", std::move(engines)},
                     {"radios", RadiosJson(sim.fsuipc())},
                     {"nav", std::move(nav)},
                     {"ground_elevation_ft", a.ground_elevation_ft},
                     {"crashes", sim.model().crashes()}};
    json touchdown = nullptr;
    if (const auto& t = sim.model().last_touchdown()) {
        touchdown = {{"time_s", t->time_s},
                     {"vertical_speed_fpm", t->vertical_speed_fpm},
                     {"gear", t->gear},
                     {"gear_down", t->gear >= 1.0},
                     {"ground_speed_kt", t->ground_speed_kt},
                     {"altitude_ft", t->altitude_ft},
                     {"latitude", t->latitude},
                     {"longitude", t->longitude},
                     {"heading_true", t->heading_true},
                     {"airport", t->airport},
                     {"runway", t->runway},
                     {"crash", t->crash},
                     {"crash_reason", t->crash_reason}};
    }
    aircraft["last_touchdown"] = std::move(touchdown);
    return aircraft;
}

json FsuipcJson(const FsuipcServer& f) {
    json writes = json::array();
    for (const FsuipcWriteRecord& w : f.Writes()) {
        writes.push_back({{"frame", w.frame},
                          {"offset", w.offset},
                          {"offset_hex", Hex(w.offset, 4)},
                          {"size", w.size},
                          {"hex", w.hex}});
    }
    json write_counts = json::array();
    for (const auto& [offset, c] : f.WriteCounts()) {
        write_counts.push_back({{"offset", offset},
                                {"offset_hex", Hex(offset, 4)},
                                {"count", c.count},
                                {"first_frame", c.first_frame},
                                {"last_frame", c.last_frame},
                                {"first_hex", c.first},
                                {"last_hex", c.last}});
    }
    return {{"windows", f.WindowClasses()},      {"batches", f.BatchesServed()},
            {"refused", f.BatchesRefused()},     {"client_version", f.ClientVersion()},
            {"writes", std::move(writes)},       {"writes_total", f.WritesTotal()},
            {"writes_kept", kFsuipcWriteWindow}, {"write_counts", std::move(write_counts)}};
}

json PanelWindowsJson(const Simulator& sim) {
    json calls = json::array();
    for (const PanelWindowCall& c : sim.PanelWindowCalls()) {
        calls.push_back({{"frame", c.frame},
                         {"slot", c.slot},
                         {"service", WindowSlotName(c.slot)},
                         {"id", c.ident},
                         {"result", c.result}});
    }
    const std::set<uint32_t> open = sim.OpenPanelWindows();
    return {{"open", json(std::vector<uint32_t>(open.begin(), open.end()))},
            {"calls", std::move(calls)},
            {"calls_total", sim.PanelWindowCallsTotal()},
            {"calls_kept", kPanelWindowCallWindow}};
}

void AddVariables(const Simulator& sim, TopLevelWriter& root) {
    json named = json::array();
    const std::vector<NamedVariable> vars = sim.NamedVariables();
    for (size_t i = 0; i < vars.size(); ++i) {
        named.push_back({{"id", i},
                         {"name", ModuleTextUtf8(vars[i].name)},
                         {"value", Number(vars[i].value)},
                         {"sets", vars[i].sets}});
    }
    root.Member("named_variables", named);
    named = nullptr;

    json variables = json::array();
    for (const auto& [token, value] : sim.Variables()) {
        variables.push_back({{"token", token}, {"value", Number(value)}});
    }
    root.Member("variables", variables);
}

json SoundsJson(const Simulator& sim) {
    json sound_events = json::array();
    for (const platform::AudioEvent& e : sim.SoundEvents()) {
        sound_events.push_back({{"frame", e.frame},
                                {"buffer", e.buffer_id},
                                {"sound", SafeText(SoundName(e.label))},
                                {"event", AudioEventName(e.kind)},
                                {"value", e.value}});
    }
    return {{"mode", AudioModeName(platform::GetAudioMode())},
            {"events", std::move(sound_events)},
            {"events_total", sim.SoundEventsTotal()},
            {"events_kept", kSoundEventWindow},
            {"dropped", sim.SoundEventsDropped()}};
}

// Network sessions hosted in this process (the module's instructor link):
// those hosting now, then those that ended during this flight (the module
// closes its link when its gauges are killed) with their last counters.
json NetSessionsJson(const Simulator& sim) {
    json sessions = json::array();
    auto add_session = [&sessions](const platform::SessionHostStats& h) {
        json peers = json::array();
        for (const platform::SessionPeerStats& p : h.peers) {
            peers.push_back({{"player", p.player},
                             {"frames_sent", p.frames_sent},
                             {"frames_dropped", p.frames_dropped},
                             {"frames_received", p.frames_received},
                             {"received_dropped", p.received_dropped},
                             {"keepalives", p.keepalives}});
        }
        sessions.push_back({{"port", h.port},
                            {"session_name", SafeText(h.session_name)},
                            {"server_name", SafeText(h.server_name)},
                            {"open", h.ended == 0},
                            {"connections", h.connections},
                            {"connections_served", h.connections_served},
                            {"closed_over_cap", h.closed_over_cap},
                            {"handshake_timeouts", h.handshake_timeouts},
                            {"frame_timeouts", h.frame_timeouts},
                            {"closed_silent", h.closed_silent},
                            {"frames_dropped", h.frames_dropped},
                            {"received_dropped", h.received_dropped},
                            {"peers", std::move(peers)}});
    };
    for (const platform::SessionHostStats& h : platform::HostedSessions()) add_session(h);
    for (const platform::SessionHostStats& h : platform::EndedSessions()) {
        if (h.ended > sim.ended_sessions_before()) add_session(h);
    }
    return sessions;
}

json SurfaceJson(const DrawnSurface& surface) {
    json texts = json::array();
    for (const auto& t : surface.texts) {
        texts.push_back({{"text", ModuleTextUtf8(t.text)},
                         {"x", t.x},
                         {"y", t.y},
                         {"colour", t.colour},
                         {"colour_hex", Hex(t.colour, 8)},
                         {"font", t.font}});
    }
    return {{"width", surface.surface.width},
            {"height", surface.surface.height},
            {"pictures", surface.pictures},
            {"texts", std::move(texts)}};
}

json GaugeJson(const GaugeInstance& g) {
    json elements = json::array();
    for (size_t i = 0; i < g.elements.size(); ++i) {
        json e = ElementJson(i, g.elements[i]);
        for (const auto& surface : g.surfaces) {
            if (surface->element == g.elements[i].element) e["surface"] = SurfaceJson(*surface);
        }
        elements.push_back(std::move(e));
    }
    json gauge = {{"name", g.name},
                  {"table_index", g.table_index},
                  {"window", g.window_number},
                  {"window_ident", g.window_ident},
                  {"x", g.x},
                  {"y", g.y},
                  {"width", g.width},
                  {"height", g.height},
                  {"parameters", g.parameters},
                  {"installed", g.installed},
                  {"updates", g.updates},
                  {"draws", g.draws},
                  {"elements", std::move(elements)}};
    if (g.name == "FMS" || g.name == "FMS_VC") gauge["cdu"] = CduJson(g);
    return gauge;
}

// What the platform's file layers could not load for the module.
json LoadProblemsJson() {
    json load_problems = json::array();
    for (const platform::LoadProblem& p : platform::LoadProblems()) {
        load_problems.push_back(
            {{"file", SafeText(p.file)}, {"what", SafeText(p.what)}, {"count", p.count}});
    }
    return load_problems;
}

json ScenarioJson(const Scenario& scenario) {
    json results = json::array();
    for (const ScenarioResult& r : scenario.results()) {
        results.push_back({{"line", r.line},
                           {"at", r.at},
                           {"command", r.command},
                           {"ran", r.ran},
                           {"frame", r.frame},
                           {"ok", r.ok},
                           {"message", Utf8Text(r.message)}});
    }
    return {{"file", scenario.source_name()},
            {"failures", scenario.failures()},
            {"commands", std::move(results)}};
}

}  // namespace

void WriteStateJson(std::ostream& out, const Simulator& sim, const Scenario* scenario,
                    const InstructorFailures* instructor_failures) {
    const SimulatorConfig& cfg = sim.config();
    TopLevelWriter root(out);
    root.Member("simhost", SimhostJson(sim));
    root.Member("frames", sim.frame());
    root.Member("simulated_seconds", sim.elapsed_seconds());
    root.Member("ticks", cfg.lockstep ? json(sim.ticks()) : json(nullptr));
    root.Member("summary", SummaryJson(sim, instructor_failures));
    AddKeyEvents(sim, root);
    if (cfg.aircraft_model) root.Member("aircraft", AircraftJson(sim));
    root.Member("fsuipc", FsuipcJson(sim.fsuipc()));
    root.Member("panel_windows", PanelWindowsJson(sim));
    AddVariables(sim, root);
    root.Member("sounds", SoundsJson(sim));
    root.Member("net_sessions", NetSessionsJson(sim));
    const std::vector<GaugeInstance>& gauges = sim.gauges();
    root.Array("gauges", gauges.size(), [&](size_t i) { return GaugeJson(gauges[i]); });
    root.Member("panel_warnings", sim.panel_warnings());
    root.Member("load_problems", LoadProblemsJson());
    if (scenario != nullptr) root.Member("scenario", ScenarioJson(*scenario));
    root.Finish();
}

std::string BuildStateJson(const Simulator& sim, const Scenario* scenario,
                           const InstructorFailures* instructor_failures) {
    std::ostringstream out;
    WriteStateJson(out, sim, scenario, instructor_failures);
    return std::move(out).str();
}

bool WriteStateJson(const std::filesystem::path& file, const Simulator& sim,
                    const Scenario* scenario, std::string* error,
                    const InstructorFailures* instructor_failures) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    // Written whole or not at all: a reader never sees half a file.
    const std::string text = BuildStateJson(sim, scenario, instructor_failures);
    const platform::WholeFileWrite written =
        platform::WriteWholeHostFile(file.string(), text.data(), text.size(), false);
    if (!written) {
        *error = "cannot write " + file.string() + ": " + written.Describe();
        return false;
    }
    return true;
}

}  // namespace zu::simhost
