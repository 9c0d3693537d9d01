// The simulator stand-in: module loading, gauge life cycle, frames and the
// simulator's state (see simulator.h).
#include "zu/simhost/simulator.h"

#include <dlfcn.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>

#include "text_util.h"
#include "zu/platform/drawing.h"
#include "zu/platform/files.h"
#include "zu/platform/load_problems.h"
#include "zu/platform/net_session.h"
#include "zu/platform/paths.h"
#include "zu/platform/timer.h"
#include "zu/platform/window_timer.h"
#include "zu/simhost/cdu_keys.h"

namespace zu::simhost {
namespace {

namespace gauge = zu::gauge;
namespace platform = zu::platform;

// The simulator whose module is attached. The service table below holds plain
// function pointers, so it routes every call to this one simulator.
std::atomic<Simulator*> g_active{nullptr};
// A lookup while no simulator is attached still gets a valid pointer.
const double kZero = 0.0;

// Starts of a simulator in this process, and the number of the start whose
// gauges this thread runs (0: none). A start's number is never used again,
// so a thread that ran an earlier simulator's gauges is not taken for the
// gauge thread of a later one.
std::atomic<uint64_t> g_starts{0};
thread_local uint64_t t_gauge_start = 0;

Simulator* Active() {
    return g_active.load(std::memory_order_acquire);
}

template <int Slot>
void ElementService(gauge::ElementHeader* first, uintptr_t arg) {
    if (Simulator* sim = Active()) sim->ElementListService(Slot, first, arg);
}

template <int Slot>
int32_t WindowService(uint32_t ident) {
    Simulator* sim = Active();
    return sim != nullptr ? sim->PanelWindowService(Slot, ident) : 0;
}

void TriggerKeyEvent(uint32_t event, uint32_t value) {
    if (Simulator* sim = Active()) sim->ReceiveKeyEvent(event, value, true);
}

void LookupVariableThunk(gauge::HostVariable* var) {
    if (var == nullptr) return;
    if (Simulator* sim = Active()) {
        sim->LookupVariable(var);
    } else {
        var->value_ptr = &kZero;
        var->value_type = 0;
        var->value = 0;
    }
}

int32_t CheckNamedThunk(const char* name) {
    Simulator* sim = Active();
    return sim != nullptr ? sim->CheckNamedVariable(name) : -1;
}

int32_t RegisterNamedThunk(const char* name) {
    Simulator* sim = Active();
    return sim != nullptr ? sim->RegisterNamedVariable(name) : -1;
}

void SetNamedThunk(int32_t id, double value) {
    if (Simulator* sim = Active()) sim->SetNamedVariable(id, value);
}

double GetNamedThunk(int32_t id) {
    Simulator* sim = Active();
    return sim != nullptr ? sim->GetNamedVariable(id) : 0.0;
}

gauge::PanelServiceTable BuildServiceTable() {
    gauge::PanelServiceTable t{};
    auto put = [&t](int slot, auto fn) { t.slot[slot] = reinterpret_cast<void*>(fn); };
    put(gauge::kSlotPanelWindowCloseIdent, &WindowService<gauge::kSlotPanelWindowCloseIdent>);
    put(gauge::kSlotElementListQuery, &ElementService<gauge::kSlotElementListQuery>);
    put(gauge::kSlotElementListInstall, &ElementService<gauge::kSlotElementListInstall>);
    put(gauge::kSlotElementListInitialise, &ElementService<gauge::kSlotElementListInitialise>);
    put(gauge::kSlotElementListUpdate, &ElementService<gauge::kSlotElementListUpdate>);
    put(gauge::kSlotElementListGenerate, &ElementService<gauge::kSlotElementListGenerate>);
    put(gauge::kSlotElementListDraw, &ElementService<gauge::kSlotElementListDraw>);
    put(gauge::kSlotElementListKill, &ElementService<gauge::kSlotElementListKill>);
    put(gauge::kSlotTriggerKeyEvent, &TriggerKeyEvent);
    put(gauge::kSlotLookupVariable, &LookupVariableThunk);
    put(gauge::kSlotPanelWindowOpen, &WindowService<gauge::kSlotPanelWindowOpen>);
    put(gauge::kSlotPanelWindowClose, &WindowService<gauge::kSlotPanelWindowClose>);
    put(gauge::kSlotPanelWindowToggle, &WindowService<gauge::kSlotPanelWindowToggle>);
    put(gauge::kSlotCheckNamedVariable, &CheckNamedThunk);
    put(gauge::kSlotRegisterNamedVariable, &RegisterNamedThunk);
    put(gauge::kSlotSetNamedVariable, &SetNamedThunk);
    put(gauge::kSlotGetNamedVariable, &GetNamedThunk);
    return t;
}

// One table for the process: a module keeps the pointer it was given, so the
// table must outlive every Simulator.
gauge::PanelServiceTable g_service_table = BuildServiceTable();

const char* WindowSlotName(int slot) {
    switch (slot) {
        case gauge::kSlotPanelWindowCloseIdent:
            return "is-open";
        case gauge::kSlotPanelWindowOpen:
            return "open";
        case gauge::kSlotPanelWindowClose:
            return "close";
        case gauge::kSlotPanelWindowToggle:
            return "toggle";
        default:
            return "?";
    }
}

constexpr size_t kMaxElementsPerGauge = 4096;
constexpr size_t kMaxNextEntries = 256;
constexpr int kMaxMouseRects = 1024;

// `value` as printf's %X (uppercase hexadecimal) and %u write it, at `out`
// (room for ten characters); the number of characters.
size_t PutHex(char* out, uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const int size = value == 0 ? 1 : (std::bit_width(value) + 3) / 4;
    for (int i = size - 1; i >= 0; --i) {
        out[i] = kDigits[value & 15];
        value >>= 4;
    }
    return static_cast<size_t>(size);
}

size_t PutDecimal(char* out, uint32_t value) {
    return static_cast<size_t>(std::to_chars(out, out + 10, value).ptr - out);
}

// A variable's value, written under the simulator's lock and read by
// lookups that take none.
void StoreValue(double* slot, double value) {
    std::atomic_ref<double>(*slot).store(value, std::memory_order_relaxed);
}

double LoadValue(double* slot) {
    return std::atomic_ref<double>(*slot).load(std::memory_order_relaxed);
}

// Whether the text held is the element's (NUL-terminated in its 64-byte
// field). Most texts are short: those with their end in the first 16 bytes
// are compared there as two words (a string's buffer holds at least 16
// bytes, and so does the field), bytes past the end masked off.
bool SameText(const std::string& held, const char* text) {
    const size_t n = held.size() + 1;  // with the end
    if (n > 16) return std::memcmp(held.c_str(), text, n) == 0;
    uint64_t h[2];
    uint64_t t[2];
    std::memcpy(h, held.c_str(), 16);
    std::memcpy(t, text, 16);
    const uint64_t low = n >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * n)) - 1;
    const uint64_t high = n <= 8 ? 0 : n == 16 ? ~uint64_t{0} : (uint64_t{1} << (8 * (n - 8))) - 1;
    return ((h[0] ^ t[0]) & low) == 0 && ((h[1] ^ t[1]) & high) == 0;
}

// Segment of named variable `id` and its place in it (see NamedSlot).
std::pair<size_t, size_t> NamedPlace(uint32_t id, uint32_t first_segment) {
    const uint64_t q = uint64_t{id} / first_segment + 1;
    const auto segment = static_cast<size_t>(std::bit_width(q) - 1);
    const uint64_t start = uint64_t{first_segment} * ((uint64_t{1} << segment) - 1);
    return {segment, static_cast<size_t>(id - start)};
}

}  // namespace

int MouseRectCount(const gauge::GaugeHeader* header) {
    const gauge::MouseRect* list = header != nullptr ? header->mouse_rect : nullptr;
    int count = 0;
    while (list != nullptr && count < kMaxMouseRects &&
           list[count].kind != gauge::MouseRectKind::End) {
        ++count;
    }
    return count;
}

uint32_t PressFlag(uint32_t mouse_flags, bool right_button) {
    const uint32_t single = right_button ? gauge::kMouseRightSingle : gauge::kMouseLeftSingle;
    const uint32_t repeat = right_button ? gauge::kMouseRightRepeat : gauge::kMouseLeftRepeat;
    if (mouse_flags == 0 || (mouse_flags & single) != 0) return single;
    if ((mouse_flags & repeat) != 0) return repeat;
    return 0;
}

Simulator::Simulator(SimulatorConfig config) : config_(std::move(config)) {
    if (config_.fps < 1) config_.fps = 1;
    fsuipc_.SetSimulatorNumber(config_.sim_number);
    fsuipc_.SetFrameCounter(&frame_);
    if (config_.event_log != nullptr) {
        fsuipc_.SetWriteLogger([this](const FsuipcWriteRecord& w) {
            // "fsuipc write 0x%X %u %s"
            char head[48] = "fsuipc write 0x";
            size_t n = 15;
            n += PutHex(head + n, w.offset);
            head[n++] = ' ';
            n += PutDecimal(head + n, w.size);
            head[n++] = ' ';
            LogEventParts(std::string_view(head, n), w.hex);
        });
    }
}

Simulator::~Simulator() {
    Stop();
    Simulator* self = this;
    g_active.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
    // A loaded module stays mapped until the process ends: code of it may
    // still be referenced (the service table's users, atexit handlers).
}

// ---------------------------------------------------------------------------
// Module

bool Simulator::LoadModule(const std::filesystem::path& file, std::string* error) {
    if (!std::filesystem::exists(file)) {
        *error = "gauge module " + file.string() + " not found";
        return false;
    }
    if (!platform::SetClockMode(config_.lockstep ? platform::ClockMode::Lockstep
                                                 : platform::ClockMode::Real)) {
        *error = "cannot select the clock: timers are already running";
        return false;
    }
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        *error = "cannot load gauge module " + file.string() + ": " + (why ? why : "unknown error");
        return false;
    }
    auto* linkage = static_cast<gauge::LinkageRecord*>(::dlsym(handle, "Linkage"));
    auto* import = static_cast<gauge::ImportTableRecord*>(::dlsym(handle, "ImportTable"));
    if (linkage == nullptr || import == nullptr) {
        *error = "gauge module " + file.string() + " exports no " +
                 (linkage == nullptr ? "Linkage" : "ImportTable");
        return false;
    }
    dl_handle_ = handle;
    return AttachModule(linkage, import, error, file.stem().string());
}

bool Simulator::AttachModule(gauge::LinkageRecord* linkage, gauge::ImportTableRecord* import,
                             std::string* error, std::string module_name) {
    if (!platform::SetClockMode(config_.lockstep ? platform::ClockMode::Lockstep
                                                 : platform::ClockMode::Real)) {
        *error = "cannot select the clock: timers are already running";
        return false;
    }
    SelectAudioMode();
    linkage_ = linkage;
    import_ = import;
    module_name_ = std::move(module_name);
    if (!CheckModule(error)) {
        linkage_ = nullptr;
        import_ = nullptr;
        return false;
    }
    Simulator* expected = nullptr;
    if (!g_active.compare_exchange_strong(expected, this, std::memory_order_acq_rel) &&
        expected != this) {
        *error = "another simulator is running in this process";
        linkage_ = nullptr;
        import_ = nullptr;
        return false;
    }
    import_->panels = &g_service_table;
    return true;
}

bool Simulator::CheckModule(std::string* error) {
    const std::string who = "gauge module " + module_name_ + ": ";
    if (linkage_ == nullptr || import_ == nullptr) {
        *error = who + "no linkage record or import table";
        return false;
    }
    if (linkage_->module_id != gauge::kModuleId) {
        *error = who + "module identifier " + text::HexWord(linkage_->module_id) + " is not " +
                 text::HexWord(gauge::kModuleId);
        return false;
    }
    if (linkage_->link_version != gauge::kLinkVersion) {
        *error = who + "link version " + text::HexWord(linkage_->link_version) + " is not " +
                 text::HexWord(gauge::kLinkVersion);
        return false;
    }
    if (import_->panel_services_id != gauge::kPanelServicesImportId) {
        *error = who + "import table asks for " + text::HexWord(import_->panel_services_id) +
                 ", not the panel services " + text::HexWord(gauge::kPanelServicesImportId);
        return false;
    }
    for (int i = 0; i < gauge::kGaugeCount && linkage_->gauges[i] != nullptr; ++i) {
        const gauge::GaugeHeader* h = linkage_->gauges[i];
        if (h->name == nullptr) {
            *error = who + "gauge header " + std::to_string(i) + " has no name";
            return false;
        }
        if (h->version != gauge::kGaugeHeaderVersion) {
            Warn(who + "gauge '" + h->name + "' has header version " + std::to_string(h->version));
        }
    }
    return true;
}

std::vector<const gauge::GaugeHeader*> Simulator::GaugeTable() const {
    std::vector<const gauge::GaugeHeader*> table;
    if (linkage_ == nullptr) return table;
    for (int i = 0; i < gauge::kGaugeCount && linkage_->gauges[i] != nullptr; ++i) {
        table.push_back(linkage_->gauges[i]);
    }
    return table;
}

// ---------------------------------------------------------------------------
// Aircraft and panel

bool Simulator::LoadAircraft(std::string* error) {
    namespace fs = std::filesystem;
    if (linkage_ == nullptr) {
        *error = "no gauge module loaded";
        return false;
    }
    std::error_code ec;
    const fs::path dir = fs::weakly_canonical(fs::absolute(config_.aircraft_dir, ec), ec);
    if (config_.aircraft_dir.empty() || !fs::is_directory(dir, ec)) {
        *error = "aircraft folder " + config_.aircraft_dir.string() + " does not exist";
        return false;
    }
    std::vector<fs::path> air_files;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file(ec) && text::EqualNoCase(ext, ".air")) {
            air_files.push_back(entry.path());
        }
    }
    if (air_files.empty()) {
        *error = "no aircraft file (*.air) in " + dir.string();
        return false;
    }
    std::sort(air_files.begin(), air_files.end());
    aircraft_file_ = air_files.front();
    const std::string windows_path = platform::FromHostPath(aircraft_file_.string());
    if (windows_path.size() >= kAircraftPathSize) {
        *error = "the aircraft file's path is longer than " +
                 std::to_string(kAircraftPathSize - 1) + " characters: " + aircraft_file_.string();
        return false;
    }
    char path_bytes[kAircraftPathSize] = {};
    std::memcpy(path_bytes, windows_path.data(), windows_path.size());
    fsuipc_.Poke(kOffsetAircraftPath, path_bytes, kAircraftPathSize);

    panel_file_ = config_.panel_file.empty() ? dir / "panel" / "panel.cfg" : config_.panel_file;
    // (What is there but is neither a file nor a folder, LoadPanelConfig refuses.)
    if (!fs::exists(panel_file_, ec)) {
        *error = "panel configuration " + panel_file_.string() + " not found";
        return false;
    }
    if (fs::is_directory(panel_file_, ec)) {
        *error = "panel configuration " + panel_file_.string() + " is a folder, not a file";
        return false;
    }
    PanelConfig panel;
    if (!LoadPanelConfig(panel_file_, &panel, error)) return false;

    const std::string where = panel_file_.filename().string() + " ";
    panel_warnings_.clear();
    panel_windows_ = panel.windows;
    for (const std::string& w : panel.warnings) panel_warnings_.push_back(where + w);
    const std::vector<const gauge::GaugeHeader*> table = GaugeTable();
    gauges_.clear();
    std::set<uint32_t> open;
    for (const PanelWindow& window : panel.windows) {
        if (window.visible) open.insert(window.ident);
        for (const PanelGaugeEntry& entry : window.gauges) {
            const std::string line = where + "line " + std::to_string(entry.line) + ": ";
            if (!text::EqualNoCase(entry.module, module_name_)) {
                panel_warnings_.push_back(line + "gauge '" + text::Echo(entry.module) + "!" +
                                          text::Echo(entry.name) + "' is not in module " +
                                          module_name_ + "; skipped");
                continue;
            }
            int found = -1;
            for (size_t i = 0; i < table.size() && found < 0; ++i) {
                if (entry.name == table[i]->name) found = static_cast<int>(i);
            }
            for (size_t i = 0; i < table.size() && found < 0; ++i) {
                if (text::EqualNoCase(entry.name, table[i]->name)) found = static_cast<int>(i);
            }
            if (found < 0) {
                panel_warnings_.push_back(line + "no gauge '" + text::Echo(entry.name) + "' in " +
                                          module_name_ + "; skipped");
                continue;
            }
            GaugeInstance g;
            g.index = static_cast<int>(gauges_.size());
            g.name = table[found]->name;
            g.table_index = found;
            g.header = linkage_->gauges[found];
            g.window_number = window.number;
            g.window_ident = window.ident;
            g.x = entry.x;
            g.y = entry.y;
            g.width = entry.width;
            g.height = entry.height;
            g.height_given = entry.height_given;
            g.parameters = entry.parameters;
            gauges_.push_back(std::move(g));
        }
    }
    for (const std::string& w : panel_warnings_) Warn(w);
    DefineAircraftNamedVariables(dir / kAircraftNamedVariablesFile);
    // The world the aircraft flies in: the station file beside its FMS
    // files, when it has one.
    const fs::path stations = dir / "FMS" / kStationFileName;
    World world;
    if (fs::exists(stations, ec) && !LoadWorld(stations, &world, error)) return false;
    model_.SetWorld(std::move(world));
    std::lock_guard<std::mutex> lock(mutex_);
    open_windows_ = std::move(open);
    return true;
}

// The named variables the aircraft's visual model and lever hardware define
// (one name a line; blank lines and lines starting with # are skipped).
void Simulator::DefineAircraftNamedVariables(const std::filesystem::path& file) {
    std::string text;
    const platform::HostFileRead read = platform::ReadWholeHostFile(file.string(), &text);
    if (read.result == platform::HostFileRead::Result::kNotRegular) {
        Warn(file.string() + " is " + read.not_regular +
             "; no named variables are defined from it");
    } else if (read.result == platform::HostFileRead::Result::kFailed) {
        Warn("cannot read " + file.string() + ": " + std::strerror(read.error) +
             "; no named variables are defined from it");
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        RegisterNamedVariable(line.c_str());
    }
}

GaugeInstance* Simulator::FindGauge(const std::string& name) {
    for (GaugeInstance& g : gauges_) {
        if (g.name == name) return &g;
    }
    for (GaugeInstance& g : gauges_) {
        if (text::EqualNoCase(g.name, name)) return &g;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Life cycle and frames

bool Simulator::Start(std::string* error) {
    if (started_) return true;
    if (linkage_ == nullptr || Active() != this) {
        *error = "no gauge module attached to this simulator";
        return false;
    }
    if (!PrepareSavedFlights(error)) return false;
    if (config_.fsuipc && !fsuipc_.Open(config_.uipcmain_window, error)) return false;
    frame_.store(0, std::memory_order_relaxed);
    elapsed_ms_ = 0;
    model_ms_ = 0;
    ticks_ = 0;
    timing_ = FrameTiming{};
    frame_start_ns_ = 0;
    main_gauge_ = FindGauge("maingauge");
    real_start_ns_ = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count();
    log_flushed_ns_ = static_cast<uint64_t>(real_start_ns_);
    start_number_ = g_starts.fetch_add(1, std::memory_order_relaxed) + 1;
    t_gauge_start = start_number_;
    ended_sessions_before_ = platform::EndedSessionsTotal();
    hostings_seen_ = platform::HostingAttemptsTotal();
    link_announced_ = false;
    // The files this flight's module loads: their problems from here on.
    platform::ClearLoadProblems();
    load_problems_seen_ = 0;
    load_problems_told_ = 0;
    audio_frames_ = 0;
    audio_.clear();
    CollectSoundEvents();  // what earlier runs left in the log is not this run's
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sound_events_.Clear();
    }
    platform::AudioSetFrame(0);
    started_ = true;
    LogEvent("start: " + std::to_string(gauges_.size()) + " gauges, " +
             (config_.lockstep ? "lockstep" : "real-time") + " clock, " +
             std::to_string(config_.fps) + " frames per second");
    model_.TakeSimulatorMemory();
    if (config_.aircraft_model) model_.Attach(*this);
    PublishStartFlight();
    InstallAll();
    return true;
}

void Simulator::Stop() {
    if (!started_) return;
    KillAll();
    CollectSoundEvents();
    ReportLoadProblems();  // the kill saves the module's settings
    fsuipc_.Close();
    started_ = false;
    LogEvent("stop");
    FlushEventLog();
}

void Simulator::Reload() {
    if (!started_) return;
    LogEvent("reload");
    KillAll();
    InstallAll();
}

namespace {

// How often the frames hand the event log's buffer on to its file.
constexpr uint64_t kEventLogFlushNs = 1000000000;

uint64_t MonotonicNs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

}  // namespace

inline bool Simulator::OnGaugeThread() const {
    return t_gauge_start == start_number_;
}

inline void Simulator::PrepareHeader(GaugeInstance& g) {
    g.header->parameters = g.parameters.c_str();
    g.header->size_x = g.width;
    g.header->size_y = g.height;
    g.header->host_data = &g;
}

void Simulator::CallGauge(GaugeInstance& g, int32_t service, gauge::StandardRoutine routine,
                          uintptr_t arg) {
    GaugeInstance* previous = current_;
    current_ = &g;
    PrepareHeader(g);
    // The element records are the module's static data, shared by every
    // instance of a gauge: each instance's surfaces are handed over anew.
    for (const auto& s : g.surfaces) s->element->surface = &s->surface;
    if (service >= 0 && g.header->gauge_callback != nullptr) {
        g.header->gauge_callback(g.header, service, 0);
    }
    if (routine != nullptr) routine(g.header, arg);
    if (!g.surfaces.empty()) TakePictures(g);  // most gauges draw no surface
    current_ = previous;
}

DrawnSurface::~DrawnSurface() {
    if (element != nullptr && element->surface == &surface) element->surface = nullptr;
    platform::DrawContextDestroy(static_cast<platform::DrawContext*>(surface.context));
}

void Simulator::MakeSurfaces(GaugeInstance& g) {
    g.surfaces.clear();
    const gauge::FindResourceRoutine find = linkage_ != nullptr ? linkage_->find_resource : nullptr;
    if (find == nullptr || g.elements.empty()) return;
    // The gauge's design size is its first bitmap's; a surface is its
    // element's bitmap scaled as the gauge is placed, times the pictures'
    // scale, so it is painted at the size it is shown.
    const gauge::BitmapResource* first = find(g.elements.front().element->resource_id);
    if (first == nullptr || first->width <= 0 || first->height <= 0) return;
    const double scale = std::clamp(config_.surface_scale, 0.1, 8.0);
    const double sx = (g.width > 0 ? static_cast<double>(g.width) / first->width : 1.0) * scale;
    const double sy = (g.height > 0 ? static_cast<double>(g.height) / first->height : 1.0) * scale;
    for (const ElementState& es : g.elements) {
        gauge::ElementHeader* e = es.element;
        if (e->type != gauge::ElementType::StaticImage ||
            (e->image_flags & gauge::kImageDrawnSurface) == 0) {
            continue;
        }
        const gauge::BitmapResource* r = find(e->resource_id);
        if (r == nullptr) continue;
        const int w = std::clamp(static_cast<int>(std::lround(r->width * sx)), 1, 4096);
        const int h = std::clamp(static_cast<int>(std::lround(r->height * sy)), 1, 4096);
        auto s = std::make_shared<DrawnSurface>();
        s->element = e;
        s->pixels.assign(static_cast<size_t>(w) * h * 4, 0);
        s->picture = s->pixels;
        s->texts.reserve(platform::kDrawTextCapacity);
        s->surface = {w,
                      h,
                      w * 4,
                      static_cast<uint32_t>(s->pixels.size()),
                      s->pixels.data(),
                      platform::DrawContextCreate(s->pixels.data(), w, h, w * 4)};
        g.surfaces.push_back(std::move(s));
    }
}

void Simulator::TakePictures(GaugeInstance& g) {
    for (const auto& s : g.surfaces) {
        if ((s->element->image_flags & gauge::kImageOnScreen) != 0) continue;
        const uint64_t start = MonotonicNs();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto* dc = static_cast<platform::DrawContext*>(s->surface.context);
            if (config_.copy_pictures) {
                s->picture = s->pixels;
            } else {
                // The new picture is shown as it is; the module paints its
                // next one into the other buffer.
                s->pixels.swap(s->picture);
                s->surface.pixels = s->pixels.data();
                platform::DrawContextSetPixels(dc, s->pixels.data());
            }
            const platform::DrawTextEntry* texts = platform::DrawTexts(dc);
            s->texts.assign(texts, texts + platform::DrawTextCount(dc));
        }
        ++s->pictures;
        s->element->image_flags |= gauge::kImageOnScreen;
        timing_.picture_ns += MonotonicNs() - start;
    }
}

void Simulator::InstallAll() {
    for (GaugeInstance& g : gauges_) {
        if (g.installed) continue;
        CallGauge(g, gauge::kServiceInstall, g.header->install, 0);
        CallGauge(g, -1, g.header->initialise, 0);
        g.installed = true;
    }
}

void Simulator::KillAll() {
    for (auto it = gauges_.rbegin(); it != gauges_.rend(); ++it) {
        if (!it->installed) continue;
        CallGauge(*it, gauge::kServiceKill, it->header->kill, 0);
        it->installed = false;
        if (!it->surfaces.empty()) it->final_texts = it->surfaces.front()->texts;
        it->surfaces.clear();
    }
}

void Simulator::BeginFrame() {
    frame_start_ns_ = MonotonicNs();
    const uint64_t frame = frame_.load(std::memory_order_relaxed) + 1;
    frame_.store(frame, std::memory_order_relaxed);
    platform::AudioSetFrame(frame);
    const uint64_t fps = static_cast<uint64_t>(config_.fps);
    if (config_.lockstep) {
        // Whole milliseconds, without drift: after N frames exactly
        // floor(N * 1000 / fps) ms have passed. The advance is timed from
        // the frame's start (the clock read once).
        const uint64_t target = frame * 1000 / fps;
        ticks_ += platform::LockstepAdvance(target - elapsed_ms_);
        timing_.tick_ns += MonotonicNs() - frame_start_ns_;
        elapsed_ms_ = target;
    } else {
        const auto start =
            std::chrono::steady_clock::time_point(std::chrono::nanoseconds(real_start_ns_));
        const auto due = start + std::chrono::nanoseconds(frame * 1000000000ull / fps);
        std::this_thread::sleep_until(due);
        elapsed_ms_ = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now() - start)
                                                .count());
        frame_start_ns_ = MonotonicNs();  // the sleep is no work
    }
    if (config_.aircraft_model) {
        model_.Step(*this, static_cast<double>(elapsed_ms_ - model_ms_) / 1000.0);
        model_ms_ = elapsed_ms_;
        if (model_.crashes() != crashes_logged_) {
            crashes_logged_ = model_.crashes();
            const Touchdown& t = *model_.last_touchdown();
            const std::string where =
                t.runway.empty() ? (t.airport.empty() ? std::string("away from the airports")
                                                      : "at " + t.airport + " off its runways")
                                 : "on " + t.airport + " runway " + t.runway;
            LogEvent("crash: " + t.crash_reason + ", " + where);
            Warn("crash at " + std::to_string(elapsed_seconds()) + " s: " + t.crash_reason + ", " +
                 where);
        }
    }
}

void Simulator::RunGauges() {
    PressDueCduKey();
    const uint64_t pictures_before = timing_.picture_ns;
    const uint64_t gauges_start = MonotonicNs();
    bool served = false;  // a gauge was served since the clock was read
    // Every gauge's update, then every gauge's draw, in panel order.
    for (const bool draw : {false, true}) {
        for (GaugeInstance& g : gauges_) {
            if (!g.installed) continue;
            const bool main = &g == main_gauge_;
            const uint64_t main_start = !main ? 0 : served ? MonotonicNs() : gauges_start;
            served = true;
            if (draw) {
                drawing_ = &g;
                CallGauge(g, gauge::kServiceDraw, g.header->draw, 0);
                drawing_ = nullptr;
            } else {
                CallGauge(g, gauge::kServiceUpdate, g.header->update, 0);
            }
            if (main) timing_.main_gauge_ns += MonotonicNs() - main_start;
            if (draw) {
                ++g.draws;
                RecordFlags(g);
            } else {
                ++g.updates;
            }
        }
    }
    timing_.gauge_ns += MonotonicNs() - gauges_start - (timing_.picture_ns - pictures_before);
    // Window timers (the cabin music's) run here, on the gauge thread, as
    // the simulator's message loop would run them.
    platform::PumpWindowTimers();
    RenderAudio();
    ReportHostings();
    ReportLoadProblems();
    // A crash or a kill loses at most the last second's lines.
    if (config_.event_log != nullptr) {
        const uint64_t now = MonotonicNs();
        if (now - log_flushed_ns_ >= kEventLogFlushNs) {
            std::lock_guard<std::mutex> lock(log_mutex_);
            FlushEventLogLocked(now);
        }
    }
    if (frame_start_ns_ != 0) {
        timing_.frame_ns += MonotonicNs() - frame_start_ns_;
        ++timing_.frames;
        frame_start_ns_ = 0;
    }
}

// The problems the platform's file layers met loading what the module asked
// for: one line each, once (the state file has them with their counts).
void Simulator::ReportLoadProblems() {
    const uint64_t met = platform::LoadProblemsMet();
    if (met == load_problems_seen_) return;
    load_problems_seen_ = met;
    const std::vector<platform::LoadProblem> problems = platform::LoadProblems();
    for (; load_problems_told_ < problems.size(); ++load_problems_told_) {
        const platform::LoadProblem& p = problems[load_problems_told_];
        Warn("load problem: " + p.file + ": " + p.what);
        LogEvent("load problem: " + p.file + ": " + p.what);
    }
}

// The network sessions hosted in the process are the module's instructor
// link: the user hears once that it serves, and of every port it could not
// take.
void Simulator::ReportHostings() {
    if (platform::HostingAttemptsTotal() == hostings_seen_) return;
    uint64_t total = 0;
    const std::vector<platform::HostingAttempt> attempts = platform::HostingAttempts(&total);
    const uint64_t fresh = std::min<uint64_t>(total - hostings_seen_, attempts.size());
    hostings_seen_ = total;
    for (size_t i = attempts.size() - fresh; i < attempts.size(); ++i) {
        const platform::HostingAttempt& a = attempts[i];
        const std::string port = std::to_string(a.port);
        if (a.result == platform::kSessionOk) {
            LogEvent("instructor link on port " + port);
            if (link_announced_ || config_.notices == nullptr) continue;
            link_announced_ = true;
            std::lock_guard<std::mutex> lock(log_mutex_);
            *config_.notices << "instructor link on port " << port << '\n' << std::flush;
        } else if (a.result == platform::kSessionAddressInUse) {
            Warn("instructor link: port " + port + " is in use; the link is off");
        } else {
            Warn("instructor link: port " + port + " cannot be opened; the link is off");
        }
    }
}

// ---------------------------------------------------------------------------
// Sound

// The lockstep clock's mix is heard by nobody unless it is captured: then
// the sounds only need to start and end in time, which the silent engine
// does without mixing.
void Simulator::SelectAudioMode() {
    platform::AudioMode mode = platform::AudioMode::Device;
    if (config_.audio_silent || (config_.lockstep && !config_.capture_audio)) {
        mode = platform::AudioMode::Silent;
    } else if (config_.lockstep) {
        mode = platform::AudioMode::Loopback;
    }
    if (!platform::SetAudioMode(mode)) {
        Warn("sound devices of an earlier run are still open; the audio mode stays as it was");
    }
}

// After each frame: in lockstep the sound of the frame's simulated time is
// rendered (and kept when captured), so the mix depends on simulated time
// alone; then the buffers' events are collected.
void Simulator::RenderAudio() {
    if (config_.lockstep) {
        const uint64_t target = elapsed_ms_ * platform::kAudioOutputRate / 1000;
        const auto frames = static_cast<uint32_t>(target - audio_frames_);
        if (frames > 0) {
            if (config_.capture_audio) {
                const size_t at = audio_.size();
                audio_.resize(at + size_t{frames} * platform::kAudioOutputChannels);
                platform::AudioRender(audio_.data() + at, frames);
            } else {
                platform::AudioRender(nullptr, frames);
            }
            audio_frames_ = target;
        }
    }
    CollectSoundEvents();
}

void Simulator::CollectSoundEvents() {
    platform::AudioEvent batch[64];
    for (;;) {
        const uint32_t n = platform::AudioTakeEvents(batch, 64);
        if (n == 0) break;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (uint32_t i = 0; i < n; ++i) sound_events_.Add(batch[i]);
        }
        if (config_.event_log == nullptr || !started_) continue;
        for (uint32_t i = 0; i < n; ++i) {
            static const char* const kKinds[] = {"play",   "stop", "end",
                                                 "volume", "pan",  "frequency"};
            const auto kind = static_cast<size_t>(batch[i].kind);
            const char* label = batch[i].label;
            LogEventf("sound %s %.*s %d", kind < 6 ? kKinds[kind] : "other",
                      static_cast<int>(strnlen(label, sizeof batch[i].label)), label,
                      batch[i].value);
        }
    }
}

std::vector<platform::AudioEvent> Simulator::SoundEvents() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sound_events_.Items();
}

uint64_t Simulator::SoundEventsTotal() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sound_events_.total();
}

uint64_t Simulator::SoundEventsDropped() const {
    return platform::AudioDroppedEvents();
}

bool Simulator::WriteAudio(const std::filesystem::path& file, std::string* error) const {
    const uint16_t channels = platform::kAudioOutputChannels;
    const platform::WaveFormat format{platform::kWaveFormatPcm,
                                      channels,
                                      platform::kAudioOutputRate,
                                      platform::kAudioOutputRate * channels * 2,
                                      static_cast<uint16_t>(channels * 2),
                                      16,
                                      0};
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    if (!platform::WriteWaveFile(file.string().c_str(), format, audio_.data(),
                                 static_cast<uint32_t>(audio_.size() * sizeof(int16_t)))) {
        *error = "cannot write " + file.string();
        return false;
    }
    return true;
}

void Simulator::RunFrame() {
    BeginFrame();
    RunGauges();
}

// ---------------------------------------------------------------------------
// Element lists

void Simulator::ElementListService(int slot, gauge::ElementHeader* first, uintptr_t arg) {
    // Element lists belong to the gauge being served on the simulator's
    // thread. The module's standard routines may hand over another gauge's
    // list; the gauge being served is the one meant. Calls from elsewhere
    // (another thread, outside any gauge service) have no gauge and are ignored.
    if (!OnGaugeThread()) return;
    GaugeInstance* g = current_;
    if (g == nullptr) return;
    switch (slot) {
        case gauge::kSlotElementListInstall:
            BuildElements(*g);
            break;
        case gauge::kSlotElementListInitialise:
            for (ElementState& e : g->elements) {
                e.value = e.x = e.y = 0;
                e.text.clear();
            }
            RecordFlags(*g);
            break;
        case gauge::kSlotElementListUpdate:
            UpdateElements(*g);
            break;
        case gauge::kSlotElementListDraw:
            // Within the frame's draw of this gauge the flags are recorded
            // when its draw is over; nothing reads them in between.
            if (g != drawing_) RecordFlags(*g);
            break;
        case gauge::kSlotElementListKill:
            RecordFlags(*g);
            break;
        default:  // query, generate: nothing to keep
            break;
    }
    (void)first;
    (void)arg;
}

void Simulator::BuildElements(GaugeInstance& g) {
    g.elements.clear();
    g.element_flags.clear();
    if (g.header->element_list == nullptr || g.header->element_list[0] == nullptr) return;
    // Depth-first along the next-element lists; entry 0 continues at the same
    // depth, further entries go one deeper. An element reached twice (shared
    // or a cycle) is listed once.
    std::set<gauge::ElementHeader*> seen;
    std::vector<std::pair<gauge::ElementHeader*, int>> stack = {{g.header->element_list[0], 0}};
    while (!stack.empty() && g.elements.size() < kMaxElementsPerGauge) {
        auto [e, depth] = stack.back();
        stack.pop_back();
        if (e == nullptr || !seen.insert(e).second) continue;
        ElementState s;
        s.element = e;
        s.depth = depth;
        s.type = e->type;
        s.image_flags = e->image_flags;
        s.hidden = (e->image_flags & gauge::kImageHidden) != 0;
        g.elements.push_back(std::move(s));
        g.element_flags.push_back(ElementFlags{e, e->image_flags});
        if (e->next_element == nullptr) continue;
        size_t n = 0;
        while (n < kMaxNextEntries && e->next_element[n] != nullptr) ++n;
        for (size_t i = n; i-- > 0;) {
            stack.emplace_back(e->next_element[i], i == 0 ? depth : depth + 1);
        }
    }
    if (g.elements.size() >= kMaxElementsPerGauge) {
        Warn("gauge '" + g.name + "': element list longer than " +
             std::to_string(kMaxElementsPerGauge) + " elements; the rest is ignored");
    }
    MakeSurfaces(g);
}

void Simulator::UpdateElements(GaugeInstance& g) {
    if (g.elements.empty()) BuildElements(g);
    ElementFlags* const packed = g.element_flags.data();
    const size_t count = g.element_flags.size();
    for (size_t i = 0; i < count; ++i) {
        ElementFlags& f = packed[i];
        gauge::ElementHeader* e = f.element;
        // A hidden element is not drawn, so its source variable and callback
        // are left alone; it keeps its last result until it is shown again.
        if ((e->image_flags & gauge::kImageHidden) != 0) {
            if (f.image_flags != e->image_flags) {
                f.image_flags = e->image_flags;
                g.elements[i].image_flags = e->image_flags;
                g.elements[i].hidden = true;
            }
            continue;
        }
        ElementState& s = g.elements[i];
        if (e->source_token != 0) e->source_value = SourceValue(s, e->source_token);
        const double v = e->callback != nullptr ? e->callback(e) : e->source_value;
        s.value = v;
        ++s.updates;
        switch (e->type) {
            case gauge::ElementType::Needle:
                reinterpret_cast<gauge::NeedleElement*>(e)->last_angle = v;
                break;
            case gauge::ElementType::Icon:
                reinterpret_cast<gauge::IconElement*>(e)->last_value = v;
                break;
            case gauge::ElementType::String: {
                auto* str = reinterpret_cast<gauge::StringElement*>(e);
                str->text[sizeof str->text - 1] = '\0';
                // Kept when unchanged: the text held (at most 63 characters,
                // taken from here) and its end match.
                if (!SameText(s.text, str->text)) s.text.assign(str->text);
                break;
            }
            case gauge::ElementType::Slider: {
                auto* sl = reinterpret_cast<gauge::SliderElement*>(e);
                s.x = v * sl->x_scale;
                s.y = sl->y_callback != nullptr ? sl->y_callback(e) * sl->y_scale : 0.0;
                sl->last_x = s.x;
                sl->last_y = s.y;
                break;
            }
            case gauge::ElementType::MovingImage: {
                auto* mi = reinterpret_cast<gauge::MovingImageElement*>(e);
                s.x = v * mi->x_scale;
                s.y = mi->y_callback != nullptr ? mi->y_callback(e) * mi->y_scale : 0.0;
                mi->last_x = s.x;
                mi->last_y = s.y;
                break;
            }
            case gauge::ElementType::Sprite: {
                auto* sp = reinterpret_cast<gauge::SpriteElement*>(e);
                s.x = sp->x_callback != nullptr ? sp->x_callback(e) : 0.0;
                s.y = sp->y_callback != nullptr ? sp->y_callback(e) : 0.0;
                sp->last_angle = v;
                sp->last_x = s.x;
                sp->last_y = s.y;
                break;
            }
            default:
                break;
        }
        f.image_flags = e->image_flags;
        s.image_flags = e->image_flags;
        s.hidden = (e->image_flags & gauge::kImageHidden) != 0;
    }
}

void Simulator::RecordFlags(GaugeInstance& g) {
    // Mostly nothing changed since the last time: only changes are written.
    ElementFlags* const packed = g.element_flags.data();
    const size_t count = g.element_flags.size();
    for (size_t i = 0; i < count; ++i) {
        ElementFlags& f = packed[i];
        uint32_t flags = f.element->image_flags;
        // Whatever the element holds is on screen from now on (a drawn
        // surface's picture is taken after its service).
        if ((flags & (gauge::kImageDrawnSurface | gauge::kImageOnScreen)) == 0) {
            flags |= gauge::kImageOnScreen;
            f.element->image_flags = flags;
        }
        if (f.image_flags != flags) {
            f.image_flags = flags;
            ElementState& s = g.elements[i];
            s.image_flags = flags;
            s.hidden = (flags & gauge::kImageHidden) != 0;
        }
    }
}

// The element's source variable: its slot is looked up once it exists; a
// variable not made yet reads 0 and is looked up again once variables have
// been made.
double Simulator::SourceValue(ElementState& s, uint32_t token) {
    if (s.source_token != token || s.source_slot == nullptr) {
        const uint64_t made = variables_made_.load(std::memory_order_acquire);
        if (s.source_token == token && s.source_generation == made) return 0.0;
        std::lock_guard<std::mutex> lock(mutex_);
        s.source_token = token;
        s.source_slot = FindVariableSlot(token);
        s.source_generation = variables_made_.load(std::memory_order_relaxed);
        if (s.source_slot == nullptr) return 0.0;
    }
    return *s.source_slot;
}

// ---------------------------------------------------------------------------
// Mouse

bool Simulator::Click(GaugeInstance& g, int rect_index, bool right_button, std::string* error) {
    const int count = MouseRectCount(g.header);
    if (rect_index < 0 || rect_index >= count) {
        *error = "gauge '" + g.name + "' has " + std::to_string(count) +
                 " mouse rectangles; there is no rectangle " + std::to_string(rect_index);
        return false;
    }
    const gauge::MouseRect& r = g.header->mouse_rect[rect_index];
    const char* button = right_button ? "right" : "left";
    if (r.handler == nullptr) {
        *error = "mouse rectangle " + std::to_string(rect_index) + " of gauge '" + g.name +
                 "' has no handler";
        return false;
    }
    const uint32_t release = right_button ? gauge::kMouseRightRelease : gauge::kMouseLeftRelease;
    const uint32_t press = PressFlag(r.mouse_flags, right_button);
    if (press == 0) {
        *error = "mouse rectangle " + std::to_string(rect_index) + " of gauge '" + g.name +
                 "' takes no " + button + " clicks";
        return false;
    }
    GaugeInstance* previous = current_;
    current_ = &g;
    PrepareHeader(g);
    gauge::Point at{r.width / 2, r.height / 2};
    const int32_t result = r.handler(&at, press);
    LogEvent("click '" + g.name + "' rectangle " + std::to_string(rect_index) + " " + button +
             " -> " + std::to_string(result));
    if ((r.mouse_flags & release) != 0) {
        gauge::Point up{r.width / 2, r.height / 2};
        r.handler(&up, release);
    }
    current_ = previous;
    return true;
}

bool Simulator::QueueCduKeys(const std::vector<int>& rects, std::string* error) {
    GaugeInstance* g = FindGauge(kCduKeyboardGauge);
    if (g == nullptr || !g->installed) {
        *error = std::string("gauge '") + kCduKeyboardGauge + "' is not on the panel";
        return false;
    }
    if (cdu_keys_.empty()) cdu_next_key_ms_ = std::max(cdu_next_key_ms_, elapsed_ms_);
    cdu_keys_.insert(cdu_keys_.end(), rects.begin(), rects.end());
    return true;
}

void Simulator::PressDueCduKey() {
    if (cdu_keys_.empty() || elapsed_ms_ < cdu_next_key_ms_) return;
    const int rect = cdu_keys_.front();
    cdu_keys_.pop_front();
    cdu_next_key_ms_ = elapsed_ms_ + kCduKeyIntervalMs;
    GaugeInstance* g = FindGauge(kCduKeyboardGauge);
    std::string error;
    if (g == nullptr || !g->installed) {
        error = std::string("gauge '") + kCduKeyboardGauge + "' is not on the panel";
    } else if (Click(*g, rect, false, &error)) {
        return;
    }
    Warn("CDU key not pressed: " + error);
}

bool Simulator::MouseEvent(GaugeInstance& g, int rect_index, gauge::Point relative,
                           uint32_t flags) {
    if (rect_index < 0 || rect_index >= MouseRectCount(g.header)) return false;
    const gauge::MouseRect& r = g.header->mouse_rect[rect_index];
    if (r.handler == nullptr) return false;
    GaugeInstance* previous = current_;
    current_ = &g;
    PrepareHeader(g);
    const int32_t result = r.handler(&relative, flags);
    if ((flags & (gauge::kMouseLeftSingle | gauge::kMouseRightSingle)) != 0) {
        LogEvent("pointer '" + g.name + "' rectangle " + std::to_string(rect_index) + " flags " +
                 std::to_string(flags) + " -> " + std::to_string(result));
    }
    current_ = previous;
    return true;
}

// ---------------------------------------------------------------------------
// Simulator state reached through the service table

void Simulator::SetVariable(uint32_t token, double value) {
    std::lock_guard<std::mutex> lock(mutex_);
    StoreValue(VariableSlot(token), value);
    pinned_variables_.insert(token);
}

// Under mutex_: the slot of a variable, or null when it was not made yet.
// Small tokens find theirs by index.
const double* Simulator::FindVariableSlot(uint32_t token) const {
    if (token < kVariableIndexSize) return variable_index_[token].load(std::memory_order_relaxed);
    auto it = variables_.find(token);
    return it != variables_.end() ? &it->second : nullptr;
}

// Under mutex_: the slot of a variable, made (reading 0) when absent.
double* Simulator::VariableSlot(uint32_t token) {
    if (token < kVariableIndexSize) {
        if (double* slot = variable_index_[token].load(std::memory_order_relaxed)) return slot;
    }
    const auto [it, made] = variables_.try_emplace(token, 0.0);
    if (made) variables_made_.fetch_add(1, std::memory_order_release);
    if (token < kVariableIndexSize)
        variable_index_[token].store(&it->second, std::memory_order_release);
    return &it->second;
}

void Simulator::PublishVariable(uint32_t token, double value) {
    const std::pair<uint32_t, double> one(token, value);
    PublishVariables(&one, 1);
}

void Simulator::PublishVariables(const std::pair<uint32_t, double>* values, size_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < count; ++i) {
        const auto [token, value] = values[i];
        if (!pinned_variables_.empty() && pinned_variables_.count(token) != 0) continue;
        StoreValue(VariableSlot(token), value);
    }
}

double Simulator::Variable(uint32_t token) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const double* slot = FindVariableSlot(token);
    return slot != nullptr ? *slot : 0.0;
}

std::map<uint32_t, double> Simulator::Variables() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return variables_;
}

void Simulator::LookupVariable(gauge::HostVariable* var) {
    // The module looks its variables up every frame: a slot once made is
    // found without the lock.
    double* slot = var->token < kVariableIndexSize
                       ? variable_index_[var->token].load(std::memory_order_acquire)
                       : nullptr;
    if (slot == nullptr) {
        // An unknown token reads 0; its entry is made so that the pointer
        // handed out stays valid and later follows the value.
        std::lock_guard<std::mutex> lock(mutex_);
        slot = VariableSlot(var->token);
    }
    var->value_ptr = slot;
    var->value_type = 0;
    var->value = LoadValue(slot);
}

void Simulator::ReceiveKeyEvent(uint32_t id, uint32_t value, bool from_module) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const KeyEventRecord record{frame(), id, value, from_module};
        key_events_.Add(record);
        key_counts_.Add(id, record.frame, record);
        if (from_module) ++module_key_events_;
    }
    if (config_.event_log != nullptr) {
        // "%skey event 0x%X %u"
        char line[48];
        size_t n = 0;
        if (!from_module) {
            std::memcpy(line, "scenario ", 9);
            n = 9;
        }
        std::memcpy(line + n, "key event 0x", 12);
        n += 12;
        n += PutHex(line + n, id);
        line[n++] = ' ';
        n += PutDecimal(line + n, value);
        LogEventParts(std::string_view(line, n));
    }
    if (config_.aircraft_model && started_) model_.OnKeyEvent(id, value);
}

std::vector<KeyEventRecord> Simulator::KeyEvents() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return key_events_.Items();
}

std::map<uint32_t, KeyCount<KeyEventRecord>> Simulator::KeyEventCounts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return key_counts_.counts();
}

uint64_t Simulator::KeyEventsTotal() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return key_events_.total();
}

uint64_t Simulator::ModuleKeyEventsTotal() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return module_key_events_;
}

int32_t Simulator::PanelWindowService(int slot, uint32_t ident) {
    int32_t result = 0;
    if (slot == gauge::kSlotPanelWindowCloseIdent) {
        // A query without side effects (gauges ask it every frame): not
        // recorded, not logged.
        std::lock_guard<std::mutex> lock(mutex_);
        return open_windows_.count(ident) != 0 ? 1 : 0;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const bool was_open = open_windows_.count(ident) != 0;
        if (slot == gauge::kSlotPanelWindowOpen) {
            open_windows_.insert(ident);
            result = 1;
        } else if (slot == gauge::kSlotPanelWindowToggle) {
            if (was_open) {
                open_windows_.erase(ident);
            } else {
                open_windows_.insert(ident);
            }
            result = 1;
        } else {
            // Close services: 1 when a shown window was closed.
            open_windows_.erase(ident);
            result = was_open ? 1 : 0;
        }
        window_calls_.Add(PanelWindowCall{frame(), slot, ident, result});
    }
    LogEventf("panel window %s %u -> %d", WindowSlotName(slot), ident, result);
    return result;
}

std::vector<PanelWindowCall> Simulator::PanelWindowCalls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return window_calls_.Items();
}

uint64_t Simulator::PanelWindowCallsTotal() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return window_calls_.total();
}

std::set<uint32_t> Simulator::OpenPanelWindows() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_windows_;
}

inline Simulator::NamedSlot& Simulator::NamedAt(uint32_t id) const {
    const auto [segment, place] = NamedPlace(id, kNamedFirstSegment);
    return named_segments_[segment][place];
}

inline Simulator::NamedValue& Simulator::NamedValueAt(uint32_t id) const {
    const auto [segment, place] = NamedPlace(id, kNamedFirstSegment);
    return named_values_[segment][place];
}

// Under mutex_: the id of the named variable called `name` (any case), or -1.
int32_t Simulator::FindNamedLocked(std::string_view name) const {
    const uint32_t count = named_count_.load(std::memory_order_relaxed);
    for (uint32_t i = 0; i < count; ++i) {
        if (text::EqualNoCase(NamedAt(i).name, name)) return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t Simulator::FindNamedVariable(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return FindNamedLocked(name);
}

int32_t Simulator::CheckNamedVariable(const char* name) {
    if (name == nullptr) return -1;
    return FindNamedVariable(name);
}

int32_t Simulator::RegisterNamedVariable(const char* name) {
    if (name == nullptr || name[0] == '\0') return -1;
    int32_t id = -1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = FindNamedLocked(name);
        if (id >= 0) return id;
        const uint32_t count = named_count_.load(std::memory_order_relaxed);
        const auto [segment, place] = NamedPlace(count, kNamedFirstSegment);
        // The segments hold every id an int32_t can name.
        if (count >= static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return -1;
        if (named_segments_[segment] == nullptr) {
            named_segments_[segment] =
                std::make_unique<NamedSlot[]>(size_t{kNamedFirstSegment} << segment);
            named_values_[segment] =
                std::make_unique<NamedValue[]>(size_t{kNamedFirstSegment} << segment);
        }
        named_segments_[segment][place].name = name;
        named_count_.store(count + 1, std::memory_order_release);
        id = static_cast<int32_t>(count);
    }
    LogEvent("named variable " + std::to_string(id) + " registered: " + name);
    return id;
}

// The module sets its named variables every frame: no lock, as a
// registered variable never moves.
void Simulator::SetNamedVariable(int32_t id, double value) {
    if (id < 0 || static_cast<uint32_t>(id) >= named_count_.load(std::memory_order_acquire)) return;
    NamedValue& v = NamedValueAt(static_cast<uint32_t>(id));
    v.value.store(value, std::memory_order_relaxed);
    if (OnGaugeThread()) {
        v.host_sets.store(v.host_sets.load(std::memory_order_relaxed) + 1,
                          std::memory_order_relaxed);
    } else {
        NamedAt(static_cast<uint32_t>(id)).other_sets.fetch_add(1, std::memory_order_relaxed);
    }
}

double Simulator::GetNamedVariable(int32_t id) {
    if (id < 0 || static_cast<uint32_t>(id) >= named_count_.load(std::memory_order_acquire)) {
        return 0.0;
    }
    return NamedValueAt(static_cast<uint32_t>(id)).value.load(std::memory_order_relaxed);
}

std::vector<NamedVariable> Simulator::NamedVariables() const {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint32_t count = named_count_.load(std::memory_order_relaxed);
    std::vector<NamedVariable> out;
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const NamedSlot& slot = NamedAt(i);
        const NamedValue& v = NamedValueAt(i);
        out.push_back(NamedVariable{slot.name, v.value.load(std::memory_order_relaxed),
                                    v.host_sets.load(std::memory_order_relaxed) +
                                        slot.other_sets.load(std::memory_order_relaxed)});
    }
    return out;
}

// ---------------------------------------------------------------------------
// Logs

void Simulator::LogEvent(const std::string& text) {
    LogEventf("%s", text.c_str());
}

// The line is made in a buffer kept for the next one, behind the frame's
// prefix made once a frame: logging the events of every frame allocates
// nothing once the longest line has been seen. Called under log_mutex_.
size_t Simulator::LogPrefix() {
    const uint64_t now = frame();
    if (now != log_prefix_frame_) {
        // "frame %llu: " (the line buffer holds at least 256 characters)
        char* at = log_line_.data();
        std::memcpy(at, "frame ", 6);
        at = std::to_chars(at + 6, at + 32, now).ptr;
        std::memcpy(at, ": ", 2);
        log_prefix_frame_ = now;
        log_prefix_size_ = static_cast<size_t>(at + 2 - log_line_.data());
    }
    return log_prefix_size_;
}

// Under log_mutex_: the line made, handed to the log's buffer directly (the
// stream's checks left out).
void Simulator::WriteLogLine(size_t size) {
    std::streambuf* buffer = config_.event_log->rdbuf();
    const auto n = static_cast<std::streamsize>(size);
    // A line not taken whole marks the stream failed, as its write would.
    if (buffer == nullptr || buffer->sputn(log_line_.data(), n) != n) {
        config_.event_log->setstate(std::ios::badbit);
    }
}

void Simulator::FlushEventLog() {
    if (config_.event_log == nullptr) return;
    std::lock_guard<std::mutex> lock(log_mutex_);
    FlushEventLogLocked(MonotonicNs());
}

// Under log_mutex_.
void Simulator::FlushEventLogLocked(uint64_t now_ns) {
    log_flushed_ns_ = now_ns;
    std::streambuf* buffer = config_.event_log->rdbuf();
    if (buffer == nullptr || buffer->pubsync() != 0) config_.event_log->setstate(std::ios::badbit);
}

void Simulator::LogEventParts(std::string_view first, std::string_view second) {
    if (config_.event_log == nullptr) return;
    std::lock_guard<std::mutex> lock(log_mutex_);
    const size_t head = LogPrefix();
    const size_t size = head + first.size() + second.size() + 1;
    if (log_line_.size() < size) log_line_.resize(size);
    char* at = log_line_.data() + head;
    if (!first.empty()) std::memcpy(at, first.data(), first.size());
    at += first.size();
    if (!second.empty()) std::memcpy(at, second.data(), second.size());
    at[second.size()] = '\n';
    WriteLogLine(size);
}

void Simulator::LogEventf(const char* format, ...) {
    if (config_.event_log == nullptr) return;
    std::lock_guard<std::mutex> lock(log_mutex_);
    const int head = static_cast<int>(LogPrefix());
    for (;;) {
        const size_t room = log_line_.size() - static_cast<size_t>(head);
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(log_line_.data() + head, room, format, args);
        va_end(args);
        if (n < 0) return;
        if (static_cast<size_t>(n) + 1 < room) {
            log_line_[static_cast<size_t>(head + n)] = '\n';
            WriteLogLine(static_cast<size_t>(head + n + 1));
            return;
        }
        log_line_.resize(static_cast<size_t>(head + n) + 2);
    }
}

void Simulator::Warn(const std::string& text) {
    if (config_.warnings == nullptr) return;
    std::lock_guard<std::mutex> lock(log_mutex_);
    *config_.warnings << "simhost: " << text << '\n';
}

}  // namespace zu::simhost
