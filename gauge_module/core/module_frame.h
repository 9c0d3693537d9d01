// The frame of the gauge module: the two records the simulator loads it by
// (`ImportTable`, `Linkage`), the standard routines every gauge header
// shares, the element-list helpers gauge callbacks show and hide elements
// with, the module-wide refresh countdowns and redraw request, and the main
// gauge `maingauge`, whose callback drives the whole module: it starts the
// 64 ms systems tick on install, runs the per-frame work on update and tears
// everything down on kill.
//
// Every call into the simulator goes through the panel service table the
// simulator leaves in ImportTable.panels, by slot (PanelServiceSlot), and is
// skipped when the table or the slot is empty.
#pragma once

#include <atomic>
#include <cstdint>

#include "zu/platform/gauge_api.h"

// The exported records. The simulator fills ImportTable.panels before any
// gauge runs and reads the gauge headers from Linkage.
extern "C" {
extern zu::gauge::ImportTableRecord ImportTable;
extern zu::gauge::LinkageRecord Linkage;
}

namespace zu {

// The simulator's panel service table (null until the simulator filled it).
inline gauge::PanelServiceTable* PanelsTable() {
    return ImportTable.panels;
}

// Typed access to one panel service; null when the table or slot is empty.
template <typename Fn>
inline Fn PanelServiceSlot(int slot) {
    return gauge::PanelService<Fn>(PanelsTable(), slot);
}

// ---------------------------------------------------------------------------
// Refresh countdowns and redraw request

// The count a change arms its group's refresh countdown with.
inline constexpr int32_t RefreshHoldCount = 300;
// A second constant of the same value; some handlers load it instead.
inline constexpr int32_t RefreshHoldCount2 = 300;

// One refresh countdown per gauge group:
//  [0] electrical, lights, pneumatic, pressurisation and anti-ice panels
//  [1] radios, audio, engine gauges, trims, weather radar, FMS, display and
//      head-up panels
//  [2] VOR control heads, ID809 panels, VSI selectors, autopilot
//  [3] RMI, AL801, pilot panel
//  [4] VOR, clocks, autopilot, GPWS, RNAV, shut-off panels
//  [5] hydraulics, copilot panel
//  [6] lights panel
//  [7] ENTERTAINMENT_Panel
//  [8] SWITCHBOARD_gauge
//  [9] clocks and caution panels
//  [10] caution logic
//  [11] refresh of all groups
// A change arms its group's countdown (as a rule with RefreshHoldCount); the
// group's gauge callbacks count it down with CountdownTick and, while it
// runs, re-evaluate which of their elements are shown.
inline constexpr int kRefreshGroups = 12;
extern int32_t RefreshCountdown[kRefreshGroups];

// Raised to 255 whenever a countdown was still running or a step changed
// displayed state.
extern std::atomic<uint8_t> RedrawRequest;

// 1 from the main gauge's install service until its kill service.
extern std::atomic<uint32_t> ModuleActive;

// A set bit skips one update step; nothing in the module sets any, so every
// step runs.
extern uint32_t FeatureDisableMask;
inline constexpr uint32_t kSkipFsuipcPoll = 0x01;
inline constexpr uint32_t kSkipFsuipcWriteBatch = 0x02;
inline constexpr uint32_t kSkipAutopilotServoOutput = 0x04;
inline constexpr uint32_t kSkipKeyEvents = 0x08;
inline constexpr uint32_t kSkipNamedVarsPublish = 0x10;
inline constexpr uint32_t kSkipHardwareOutput = 0x20;
inline constexpr uint32_t kSkipHostPass = 0x40;
inline constexpr uint32_t kSkipWeatherSampling = 0x80;
inline constexpr uint32_t kSkipControlInputs = 0x200;
inline constexpr uint32_t kSkipHostVarsPoll = 0x400;
inline constexpr uint32_t kSkipBladeAngleLocator = 0x800;
inline constexpr uint32_t kSkipSoundTick = 0x1000;

// One-shot done flags of the main gauge's update service (0 at load, all
// cleared by the kill service). Each one-shot waits for the FSUIPC link.
extern uint8_t FmsStarted;
extern uint8_t SettingsLoaded;
extern uint8_t NetworkServerStarted;
extern uint8_t JoystickReady;
extern uint8_t SoundSystemStarted;
extern uint8_t NamedVarsRegistered;

// Identifier of the running systems-tick timer (0 = none).
extern uint32_t SystemsTimerId;

// 1 while the per-frame host pass is inside an FSUIPC exchange; the link
// step does not start while it is set.
extern std::atomic<uint8_t> FsuipcBusy;

// The panel window closed (or toggled) by the kill service.
inline constexpr uint32_t kKillPanelWindow = 92;

// ---------------------------------------------------------------------------
// Module routines

// The module's initialisation and shutdown routines named in Linkage; they
// have nothing to do.
void ModuleInit();
void ModuleDeinit();

// The seven standard routines of every gauge header. Each forwards the
// serviced gauge's own first element to the matching element-list service
// of the simulator and does nothing for a gauge without elements.
void GaugeStandardQuery(gauge::GaugeHeader* gauge, uintptr_t arg);
void GaugeStandardInstall(gauge::GaugeHeader* gauge, uintptr_t arg);
void GaugeStandardInitialise(gauge::GaugeHeader* gauge, uintptr_t arg);
void GaugeStandardUpdate(gauge::GaugeHeader* gauge, uintptr_t arg);
void GaugeStandardGenerate(gauge::GaugeHeader* gauge, uintptr_t arg);
void GaugeStandardDraw(gauge::GaugeHeader* gauge, uintptr_t arg);
void GaugeStandardKill(gauge::GaugeHeader* gauge, uintptr_t arg);

// The element reached from `element` by following the first entry of the
// next-element list `n` times (n <= 0: `element` itself); null when `element`
// is null or a list is missing on the way. The lists of the module's gauges
// (GaugeTable) are static records whose links never change: they are kept
// as arrays on the first walk, and a walk from any of their elements takes
// the element reached from there. Every other list is followed link by link.
gauge::ElementHeader* ElementListWalk(gauge::ElementHeader* element, int32_t n);
// The elements of the list at `first` by number, as ElementListWalk finds
// them, for a step that shows, hides or lights several of them: a gauge's
// list is looked up once.
class ElementList {
  public:
    explicit ElementList(gauge::ElementHeader* first);
    gauge::ElementHeader* operator[](int32_t n) const {
        if (n <= 0 || first_ == nullptr) return first_;
        if (kept_ != nullptr) return n < count_ ? kept_[n] : nullptr;
        return ElementListWalk(first_, n);
    }

  private:
    gauge::ElementHeader* first_;
    gauge::ElementHeader* const* kept_ = nullptr;  // from first_ on, when kept
    int32_t count_ = 0;
};
// Walk as ElementListWalk, then set or clear `flags` in the image flags of
// the element reached; nothing when the walk ends early.
void SetElementFlags(gauge::ElementHeader* element, int32_t n, uint32_t flags);
void ClearElementFlags(gauge::ElementHeader* element, int32_t n, uint32_t flags);

// The gauge callback of `maingauge`: acts on the install (2), update (6),
// draw (10) and kill (12) services and ignores every other service.
void MaingaugeCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The module's trace sink; it writes nothing.
void TraceLine(const char* text, uint32_t value);

}  // namespace zu
