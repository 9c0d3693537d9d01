// The simulator stand-in.
//
// `Simulator` plays the flight simulator's part for the gauge module: it loads
// the module (with dlopen, or takes the records of a module linked into the
// same process), fills its import table with a panel service table, creates
// the gauges that a panel configuration places, calls their services frame by
// frame, keeps the simulator variables, named variables, key events and panel
// windows that the module reaches through the service table, and serves
// FSUIPC. It is a test and development tool, not part of the module.
//
// The panel service table holds plain function pointers, so at most one
// Simulator is started at a time in a process (Start refuses a second).
//
// Order of gauge services (what the simulator does, and what the module may
// rely on):
//   start:  for every gauge in panel order: callback(2), header->install,
//           then header->initialise;
//   frame:  advance the clock (lockstep: the due 64 ms ticks run here), then
//           for every gauge: callback(6) and header->update; then for every
//           gauge: callback(10) and header->draw;
//   end:    for every gauge in reverse panel order: callback(12), header->kill.
// While one of these runs, the element-list services (slots 24 to 31) work on
// the element list of the gauge being served, whatever element they are given.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "zu/platform/drawing.h"
#include "zu/platform/gauge_api.h"
#include "zu/platform/sound_device.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/fsuipc_server.h"
#include "zu/simhost/panel_config.h"
#include "zu/simhost/recent_window.h"
#include "zu/simhost/saved_flights.h"

namespace zu::simhost {

struct SimulatorConfig {
    std::filesystem::path aircraft_dir;  // folder of the aircraft (holds its .air file)
    std::filesystem::path panel_file;    // empty: aircraft_dir/panel/panel.cfg
    bool lockstep = true;                // false: real clock, frames paced by sleeping
    int fps = 30;
    bool fsuipc = true;            // false: no FSUIPC window at all
    bool aircraft_model = true;    // false: variables and offsets hold only what is set
    bool uipcmain_window = false;  // also create a window of class "UIPCMAIN"
    uint16_t sim_number = 7;       // low half of the word at 0x3308
    // One line per event (may be null). Its buffer is handed on to the
    // stream's target at the end of the first frame after each second of
    // wall time, and when the flight stops (see FlushEventLog).
    std::ostream* event_log = nullptr;
    std::ostream* warnings = nullptr;  // problems worth telling the user (may be null)
    std::ostream* notices = nullptr;   // what the user should know, once (may be null)
    // Sound: the real clock plays the module's sound on the machine's audio
    // device; the lockstep clock renders it after every frame in simulated
    // time (loopback) when `capture_audio` keeps the mix for AudioCapture and
    // WriteAudio, and otherwise mixes nothing (sounds still start and end in
    // time), as `audio_silent` does on either clock.
    bool audio_silent = false;
    bool capture_audio = false;
    // Pixels per panel unit of the drawn surfaces (the pictures' --scale).
    double surface_scale = 1.0;
    // Pictures taken by copying the drawn surfaces' pixels rather than by
    // swapping buffers (for tests comparing the two).
    bool copy_pictures = false;
    // Saved flights: the documents folder the module saves into (empty: a
    // folder "Documents" beside the aircraft folder, never the user's own)
    // and the flight loaded at start-up (empty: none; 0x3F04 stays empty).
    std::filesystem::path documents_dir;
    std::filesystem::path flight_file;
};

// One element of a placed gauge, in the order of the element walk (depth
// first along the next-element lists), with what its last update produced.
// What every update writes shares the record's first cache line.
struct alignas(64) ElementState {
    double value = 0;  // callback result: needle/sprite angle, icon index, slider x
    uint64_t updates = 0;
    double x = 0;  // slider, moving-image and sprite offsets
    double y = 0;
    // Where the element's source variable lives (the simulator's own
    // bookkeeping): the variable's slot, once it exists, read without a
    // lookup on every update.
    const double* source_slot = nullptr;
    uint64_t source_generation = 0;  // variables made when the slot was looked up
    uint32_t source_token = 0;
    uint32_t image_flags = 0;
    bool hidden = false;  // kImageHidden at the last update or draw
    zu::gauge::ElementType type = zu::gauge::ElementType::StaticImage;
    std::string text;  // string elements
    zu::gauge::ElementHeader* element = nullptr;
    int depth = 0;  // 0 for the gauge's first element and its followers
};

// An element and its flags as last recorded (the same as its ElementState's),
// packed for the walks over every element that each frame makes.
struct ElementFlags {
    zu::gauge::ElementHeader* element = nullptr;
    uint32_t image_flags = 0;
};

// A drawn-surface element (kImageDrawnSurface) of one placed gauge: the
// pixels the module paints through its drawing context, and the picture the
// host shows, swapped with the pixels after a service in which the module
// cleared the element's kImageOnScreen flag (the module paints its next
// picture into the other buffer).
struct DrawnSurface {
    zu::gauge::ElementHeader* element = nullptr;
    zu::gauge::DrawingSurface surface{};
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> picture;  // same layout as the pixels
    uint64_t pictures = 0;         // pictures taken so far
    // The texts of the picture's paint, copied with it (capacity reserved
    // once, so a copy allocates nothing).
    std::vector<zu::platform::DrawTextEntry> texts;
    ~DrawnSurface();
};

// What every service of a gauge reads comes first, in the record's first two
// cache lines.
struct alignas(64) GaugeInstance {
    zu::gauge::GaugeHeader* header = nullptr;
    int width = 0;
    int height = 0;
    uint64_t updates = 0;
    uint64_t draws = 0;
    bool installed = false;
    std::vector<ElementState> elements;
    std::vector<ElementFlags> element_flags;  // one for each of `elements`
    // Made at element-list install at the element's placed size, destroyed
    // after kill.
    std::vector<std::shared_ptr<DrawnSurface>> surfaces;
    std::string parameters;
    int index = 0;  // place in panel order
    std::string name;
    int table_index = -1;  // index in the module's gauge table
    int window_number = 0;
    uint32_t window_ident = 0;
    int x = 0;
    int y = 0;
    bool height_given = false;
    // The texts of the first surface's last picture, kept past kill so the
    // state written after the flight still shows them.
    std::vector<zu::platform::DrawTextEntry> final_texts;
};

struct KeyEventRecord {
    uint64_t frame = 0;
    uint32_t id = 0;
    uint32_t value = 0;
    bool from_module = true;  // false: sent to the simulator by a scenario
};

struct PanelWindowCall {
    uint64_t frame = 0;
    int slot = 0;  // 44 open, 45 close or 46 toggle
    uint32_t ident = 0;
    int32_t result = 0;
};

// How many of the most recent records of each event log the simulator keeps
// in memory (and writes to the state file); every record goes to the event
// log file as it happens, and counts per key-event id cover the whole flight.
inline constexpr size_t kKeyEventWindow = 8192;
inline constexpr size_t kPanelWindowCallWindow = 1024;
inline constexpr size_t kSoundEventWindow = 8192;

// The aircraft folder's list of the named variables its visual model and
// lever hardware define; the simulator defines them when it loads the
// aircraft.
inline constexpr const char* kAircraftNamedVariablesFile = "named_variables.txt";

struct NamedVariable {
    std::string name;
    double value = 0;
    uint64_t sets = 0;
};

// The number of mouse rectangles of a gauge (0 is its parent rectangle, then
// its child rectangles in list order), up to the list's end mark.
int MouseRectCount(const zu::gauge::GaugeHeader* header);
// The press a rectangle taking `mouse_flags` gets from a click: the single
// click when it takes it (or takes nothing in particular), else the repeat;
// 0 when it takes neither of that button.
uint32_t PressFlag(uint32_t mouse_flags, bool right_button);

class Simulator {
  public:
    explicit Simulator(SimulatorConfig config);
    ~Simulator();  // Stop()s a started simulator
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Module. Both select the clock first (lockstep or real, as configured),
    // then check the linkage record (module id 0x13, link version 0x900) and
    // the import table, and fill the import table with the service table.
    bool LoadModule(const std::filesystem::path& file, std::string* error);
    bool AttachModule(zu::gauge::LinkageRecord* linkage, zu::gauge::ImportTableRecord* import,
                      std::string* error, std::string module_name = "ZeveridUvo");
    const zu::gauge::LinkageRecord* linkage() const { return linkage_; }
    const std::string& module_name() const { return module_name_; }
    // The gauge headers of the linkage record, in table order.
    std::vector<const zu::gauge::GaugeHeader*> GaugeTable() const;

    // Aircraft: finds its aircraft file (*.air), reads the panel
    // configuration and creates the gauge instances. Unknown gauges and
    // malformed lines are reported as warnings and skipped.
    bool LoadAircraft(std::string* error);
    const std::filesystem::path& aircraft_file() const { return aircraft_file_; }
    const std::filesystem::path& panel_file() const { return panel_file_; }
    const std::vector<std::string>& panel_warnings() const { return panel_warnings_; }
    // The windows of the panel configuration, in file order (the renderer
    // draws each as one picture).
    const std::vector<PanelWindow>& panel_windows() const { return panel_windows_; }

    // Opens the FSUIPC server (unless disabled), installs and initialises
    // every gauge. False with `error` when another simulator is started or a
    // window cannot be created.
    bool Start(std::string* error);
    // Kills every gauge and closes the FSUIPC server. Safe to call twice.
    void Stop();
    // Kills every gauge, then installs and initialises them again, as the
    // simulator does when it reloads the panel.
    void Reload();
    bool started() const { return started_; }
    // The number of network hostings of the process that had ended when this
    // simulator started (platform::EndedSessions numbers them): later ones
    // ended during its flight.
    uint64_t ended_sessions_before() const { return ended_sessions_before_; }

    // One frame = BeginFrame() + RunGauges(); callers that act between the
    // clock advance and the gauges (scenarios) call the two halves.
    void RunFrame();
    void BeginFrame();
    void RunGauges();

    uint64_t frame() const { return frame_.load(std::memory_order_relaxed); }
    // Simulated (lockstep) or elapsed (real) milliseconds since Start.
    uint64_t elapsed_ms() const { return elapsed_ms_; }
    double elapsed_seconds() const { return static_cast<double>(elapsed_ms_) / 1000.0; }
    // Timer callbacks run by the lockstep clock since Start (0 in real time).
    uint64_t ticks() const { return ticks_; }

    // Where the frames' time went, in nanoseconds of the monotonic clock
    // summed over the frames since Start. A frame runs from its clock
    // advance to the end of its gauges (a real-time frame's sleep left out);
    // `ticks` is the module's timer callbacks the lockstep clock ran in it,
    // `gauges` the gauges' update and draw services (the host's element-list
    // services they call inside), `main_gauge` the main gauge's share of
    // them (its host pass), `pictures` the copies of drawn surfaces the host
    // takes after them. The rest of a frame is the host's own work: the
    // model, scenario commands, element bookkeeping, pictures, sound.
    struct FrameTiming {
        uint64_t frames = 0;
        uint64_t frame_ns = 0;
        uint64_t tick_ns = 0;
        uint64_t gauge_ns = 0;
        uint64_t main_gauge_ns = 0;
        uint64_t picture_ns = 0;
    };
    const FrameTiming& frame_timing() const { return timing_; }
    const SimulatorConfig& config() const { return config_; }

    // Simulator variables (token -> value).
    // SetVariable pins the token: the aircraft model no longer publishes it.
    void SetVariable(uint32_t token, double value);
    // The aircraft model's publishing: leaves pinned tokens as they are.
    void PublishVariable(uint32_t token, double value);
    double Variable(uint32_t token) const;
    // PublishVariable for each (token, value) in order, under one lock.
    void PublishVariables(const std::pair<uint32_t, double>* values, size_t count);
    std::map<uint32_t, double> Variables() const;

    // Key events: those the module triggers (slot 36) and those a scenario
    // sends to the simulator, in one log. KeyEvents() holds the most recent
    // kKeyEventWindow of them, oldest first; the counts per event id (both
    // sources, with the first and last frame and the last record) and the
    // totals cover the whole flight.
    void ReceiveKeyEvent(uint32_t id, uint32_t value, bool from_module);
    std::vector<KeyEventRecord> KeyEvents() const;
    std::map<uint32_t, KeyCount<KeyEventRecord>> KeyEventCounts() const;
    uint64_t KeyEventsTotal() const;
    uint64_t ModuleKeyEventsTotal() const;

    // Panel windows: the most recent kPanelWindowCallWindow calls and the
    // number of calls in all.
    std::vector<PanelWindowCall> PanelWindowCalls() const;
    uint64_t PanelWindowCallsTotal() const;
    std::set<uint32_t> OpenPanelWindows() const;

    // Named variables, by id.
    std::vector<NamedVariable> NamedVariables() const;
    // Id of a named variable, or -1 (names compare without regard to case).
    int32_t FindNamedVariable(const std::string& name) const;

    // Sound: what the module asked of its sound buffers (play, stop, end,
    // volume, pan and frequency changes, each with its frame; the most
    // recent kSoundEventWindow and the number in all), and the mix rendered
    // so far (44100 Hz stereo 16-bit, interleaved) when captured.
    std::vector<zu::platform::AudioEvent> SoundEvents() const;
    uint64_t SoundEventsTotal() const;
    uint64_t SoundEventsDropped() const;
    const std::vector<int16_t>& AudioCapture() const { return audio_; }
    // Writes the captured mix as a WAV file; false with `error`.
    bool WriteAudio(const std::filesystem::path& file, std::string* error) const;

    // Saved flights: the documents folder in use, and what the simulator
    // does when the pilot saves a flight: a fresh NAME.FLT with the
    // stand-in's sections below the documents folder, then 0x0400 := NAME
    // and the save counter at 0x3BD2 one up. False with `error` for a name
    // that is empty or holds a path separator, or a file that cannot be
    // written.
    const std::filesystem::path& documents_dir() const { return documents_dir_; }
    bool SaveFlight(const std::string& name, std::string* error);

    FsuipcServer& fsuipc() { return fsuipc_; }
    // The stand-in's aircraft (stepped each frame when config().aircraft_model).
    AircraftModel& model() { return model_; }
    const AircraftModel& model() const { return model_; }
    const FsuipcServer& fsuipc() const { return fsuipc_; }

    const std::vector<GaugeInstance>& gauges() const { return gauges_; }
    // First placed gauge of that name (exact, else without regard to case).
    GaugeInstance* FindGauge(const std::string& name);

    // Clicks mouse rectangle `rect_index` of a gauge (0 is the gauge's parent
    // rectangle, then its child rectangles in list order) at the rectangle's
    // centre: the press the rectangle takes (single click, else repeat),
    // followed by the release when it takes releases. False with `error`
    // when the rectangle does not exist or takes no such button.
    bool Click(GaugeInstance& gauge, int rect_index, bool right_button, std::string* error);
    // Delivers one pointer event to mouse rectangle `rect_index` of a gauge:
    // its handler gets the point (relative to the rectangle) and the event
    // bits as given. Used by the pointer routing of the panel windows. False
    // when the rectangle does not exist or has no handler.
    bool MouseEvent(GaugeInstance& gauge, int rect_index, zu::gauge::Point relative,
                    uint32_t flags);

    // The CDU keyboard: key rectangles of the first placed `FMS` gauge,
    // queued behind those already waiting and clicked one every 192 ms of
    // simulated time at the start of RunGauges (so every key is taken by a
    // systems tick). False with `error` when no `FMS` gauge is placed.
    bool QueueCduKeys(const std::vector<int>& rects, std::string* error);
    size_t PendingCduKeys() const { return cdu_keys_.size(); }

    // Writes a line to the event log, prefixed with the frame.
    void LogEvent(const std::string& text);
    void LogEventf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Hands the lines the event log holds buffered on to its file now (the
    // frames do so once a second of wall time; Stop does after its line). A
    // flush that fails marks the log failed.
    void FlushEventLog();
    void Warn(const std::string& text);

    // Panel service entry points (called through the service table).
    void ElementListService(int slot, zu::gauge::ElementHeader* first, uintptr_t arg);
    int32_t PanelWindowService(int slot, uint32_t ident);
    void LookupVariable(zu::gauge::HostVariable* var);
    int32_t CheckNamedVariable(const char* name);
    int32_t RegisterNamedVariable(const char* name);
    void DefineAircraftNamedVariables(const std::filesystem::path& file);
    void SetNamedVariable(int32_t id, double value);
    double GetNamedVariable(int32_t id);

  private:
    bool CheckModule(std::string* error);
    void InstallAll();
    void KillAll();
    void CallGauge(GaugeInstance& gauge, int32_t service, zu::gauge::StandardRoutine routine,
                   uintptr_t arg);
    void PrepareHeader(GaugeInstance& gauge);
    void BuildElements(GaugeInstance& gauge);
    void UpdateElements(GaugeInstance& gauge);
    void RecordFlags(GaugeInstance& gauge);
    double SourceValue(ElementState& element, uint32_t token);
    const double* FindVariableSlot(uint32_t token) const;
    double* VariableSlot(uint32_t token);
    size_t LogPrefix();
    // Writes the line `first` + `second` to the event log, as LogEvent does.
    void LogEventParts(std::string_view first, std::string_view second = {});
    void WriteLogLine(size_t size);
    void FlushEventLogLocked(uint64_t now_ns);
    void MakeSurfaces(GaugeInstance& gauge);
    void TakePictures(GaugeInstance& gauge);
    void PressDueCduKey();
    void ReportHostings();
    void ReportLoadProblems();
    void SelectAudioMode();
    void RenderAudio();
    void CollectSoundEvents();
    bool PrepareSavedFlights(std::string* error);
    void PublishStartFlight();

    SimulatorConfig config_;
    zu::gauge::LinkageRecord* linkage_ = nullptr;
    zu::gauge::ImportTableRecord* import_ = nullptr;
    std::string module_name_;
    void* dl_handle_ = nullptr;
    zu::gauge::PanelServiceTable table_{};

    std::filesystem::path aircraft_file_;
    std::filesystem::path panel_file_;
    std::vector<std::string> panel_warnings_;
    std::vector<PanelWindow> panel_windows_;
    std::vector<GaugeInstance> gauges_;
    GaugeInstance* current_ = nullptr;  // gauge whose services run now
    // The gauge whose draw the frame runs now: its flags are recorded once
    // its draw is over, so its element list's draw need not record them.
    const GaugeInstance* drawing_ = nullptr;
    // This start's number (see Start): the thread that runs the gauges
    // holds it, no other thread does.
    uint64_t start_number_ = ~uint64_t{0};
    bool OnGaugeThread() const;

    bool started_ = false;
    uint64_t ended_sessions_before_ = 0;
    uint64_t hostings_seen_ = 0;       // platform::HostingAttemptsTotal already reported
    bool link_announced_ = false;      // "instructor link on port N" said
    uint64_t load_problems_seen_ = 0;  // platform::LoadProblemsMet already looked at
    size_t load_problems_told_ = 0;    // platform::LoadProblems() entries told the user
    std::atomic<uint64_t> frame_{0};
    uint64_t elapsed_ms_ = 0;
    uint64_t model_ms_ = 0;  // simulated time the aircraft model has reached
    uint32_t crashes_logged_ = 0;
    uint64_t ticks_ = 0;
    FrameTiming timing_;
    uint64_t frame_start_ns_ = 0;  // monotonic clock at the frame's start
    const GaugeInstance* main_gauge_ = nullptr;
    int64_t real_start_ns_ = 0;

    FsuipcServer fsuipc_;
    AircraftModel model_;
    std::set<uint32_t> pinned_variables_;
    std::filesystem::path documents_dir_;
    std::filesystem::path start_flight_path_;
    SavedFlight start_flight_;

    // CDU keys waiting, and when the next may be pressed.
    std::deque<int> cdu_keys_;
    uint64_t cdu_next_key_ms_ = 0;

    // Sound rendered (lockstep) and captured since Start.
    uint64_t audio_frames_ = 0;
    std::vector<int16_t> audio_;

    // A named variable where the module's calls find it without the lock:
    // its storage never moves, and its value and counts are atomic. What
    // the module's sets write (the value, and the count of the sets made on
    // the gauge thread, counted by it alone without a locked instruction)
    // is packed apart from the rest, sixteen bytes a variable.
    struct NamedSlot {
        std::string name;                     // set before the slot is published
        std::atomic<uint64_t> other_sets{0};  // sets made on other threads
    };
    struct NamedValue {
        std::atomic<double> value{0.0};
        std::atomic<uint64_t> host_sets{0};
    };
    // Named variables live in segments that double in size (segment k holds
    // kNamedFirstSegment << k of them), allocated as the count grows.
    static constexpr uint32_t kNamedFirstSegment = 64;
    static constexpr size_t kNamedSegments = 26;
    NamedSlot& NamedAt(uint32_t id) const;
    int32_t FindNamedLocked(std::string_view name) const;
    NamedValue& NamedValueAt(uint32_t id) const;

    // State the module reaches from the gauge thread and, in real time, from
    // its timer thread.
    mutable std::mutex mutex_;
    std::map<uint32_t, double> variables_;     // node addresses are stable: value_ptr points here
    std::atomic<uint64_t> variables_made_{0};  // entries added to variables_ so far
    // The slots of the tokens below kVariableIndexSize (null: not made yet),
    // published once made so that lookups read them without the lock; the
    // values are written under the lock and read atomically.
    static constexpr uint32_t kVariableIndexSize = 4096;
    std::unique_ptr<std::atomic<double*>[]> variable_index_ =
        std::make_unique<std::atomic<double*>[]>(kVariableIndexSize);
    RecentWindow<KeyEventRecord> key_events_{kKeyEventWindow};
    CountTable<uint32_t, KeyEventRecord> key_counts_;
    uint64_t module_key_events_ = 0;
    RecentWindow<PanelWindowCall> window_calls_{kPanelWindowCallWindow};
    std::set<uint32_t> open_windows_;
    // Registered under mutex_; ids below named_count_ are read without it.
    std::array<std::unique_ptr<NamedSlot[]>, kNamedSegments> named_segments_;
    std::array<std::unique_ptr<NamedValue[]>, kNamedSegments> named_values_;
    std::atomic<uint32_t> named_count_{0};
    RecentWindow<zu::platform::AudioEvent> sound_events_{kSoundEventWindow};
    std::mutex log_mutex_;
    std::vector<char> log_line_ = std::vector<char>(256);  // the event line being made
    // The line's "frame N: " prefix, kept at its start for the frame it tells.
    uint64_t log_prefix_frame_ = ~uint64_t{0};
    size_t log_prefix_size_ = 0;
    uint64_t log_flushed_ns_ = 0;  // monotonic time of the log's last flush
};

}  // namespace zu::simhost
