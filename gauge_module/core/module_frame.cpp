#include "core/module_frame.h"

#include <functional>
#include <iterator>

#include "cabin_link/instructor_link_server.h"
#include "cabin_link/sound_scheme.h"
#include "core/blade_angle_locator.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/ice_protection.h"
#include "core/joystick_input.h"
#include "core/named_variables.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "displays/efis_resources.h"
#include "fms/fms_lifecycle.h"
#include "resources/resource_table.h"
#include "zu/platform/timer.h"

namespace {

constexpr zu::gauge::LinkageRecord MakeLinkage() {
    zu::gauge::LinkageRecord r{};
    r.module_id = zu::gauge::kModuleId;
    r.module_init = zu::ModuleInit;
    r.module_deinit = zu::ModuleDeinit;
    r.zero0 = 0;
    r.zero1 = 0;
    r.link_version = zu::gauge::kLinkVersion;
    for (int i = 0; i < zu::gauge::kGaugeCount; ++i) r.gauges[i] = &zu::GaugeTable[i];
    r.gauges[zu::gauge::kGaugeCount] = nullptr;
    r.find_resource = zu::FindResource;
    return r;
}

}  // namespace

extern "C" {
__attribute__((visibility("default"))) constinit zu::gauge::ImportTableRecord ImportTable = {
    zu::gauge::kPanelServicesImportId, nullptr, 0, 0};
__attribute__((visibility("default"))) constinit zu::gauge::LinkageRecord Linkage = MakeLinkage();
}

namespace zu {

int32_t RefreshCountdown[kRefreshGroups] = {};
std::atomic<uint8_t> RedrawRequest{0};
std::atomic<uint32_t> ModuleActive{0};
uint32_t FeatureDisableMask = 0;

uint8_t FmsStarted = 0;
uint8_t SettingsLoaded = 0;
uint8_t NetworkServerStarted = 0;
uint8_t JoystickReady = 0;
uint8_t SoundSystemStarted = 0;
uint8_t NamedVarsRegistered = 0;

uint32_t SystemsTimerId = 0;
std::atomic<uint8_t> FsuipcBusy{0};

void ModuleInit() {}
void ModuleDeinit() {}

void TraceLine(const char* text, uint32_t value) {
    (void)text;
    (void)value;
}

// ---------------------------------------------------------------------------
// Standard routines

namespace {

// The first element of each of GaugeTable's gauges, taken once: the host
// asks for it on every update and draw of every gauge, and the headers'
// lists never change. Other headers are read as they are.
gauge::ElementHeader* GaugeFirsts[gauge::kGaugeCount];
std::atomic<bool> GaugeFirstsTaken{false};

void ForwardElementList(gauge::GaugeHeader* g, int slot, uintptr_t arg);

// The first forwarding takes them. Out of line and reached by a jump, so
// that the forwarding itself saves no registers for it.
[[gnu::noinline, gnu::cold]] void TakeGaugeFirstsAndForward(gauge::GaugeHeader* g, int slot,
                                                            uintptr_t arg) {
    static const bool taken = [] {
        for (int i = 0; i < gauge::kGaugeCount; ++i) {
            GaugeFirsts[i] =
                GaugeTable[i].element_list != nullptr ? GaugeTable[i].element_list[0] : nullptr;
        }
        GaugeFirstsTaken.store(true, std::memory_order_release);
        return true;
    }();
    (void)taken;
    ForwardElementList(g, slot, arg);
}

void ForwardElementList(gauge::GaugeHeader* g, int slot, uintptr_t arg) {
    gauge::ElementHeader* first;
    if (!std::less<>{}(g, std::begin(GaugeTable)) && std::less<>{}(g, std::end(GaugeTable))) {
        if (!GaugeFirstsTaken.load(std::memory_order_acquire)) {
            return TakeGaugeFirstsAndForward(g, slot, arg);
        }
        first = GaugeFirsts[g - GaugeTable];
    } else {
        first = g != nullptr && g->element_list != nullptr ? g->element_list[0] : nullptr;
    }
    if (first == nullptr) return;
    auto service = PanelServiceSlot<gauge::ElementListService>(slot);
    if (service != nullptr) service(first, arg);
}

}  // namespace

void GaugeStandardQuery(gauge::GaugeHeader* g, uintptr_t) {
    ForwardElementList(g, gauge::kSlotElementListQuery, 0);
}
void GaugeStandardInstall(gauge::GaugeHeader* g, uintptr_t arg) {
    ForwardElementList(g, gauge::kSlotElementListInstall, arg);
}
void GaugeStandardInitialise(gauge::GaugeHeader* g, uintptr_t) {
    ForwardElementList(g, gauge::kSlotElementListInitialise, 0);
}
void GaugeStandardUpdate(gauge::GaugeHeader* g, uintptr_t) {
    ForwardElementList(g, gauge::kSlotElementListUpdate, 0);
}
void GaugeStandardGenerate(gauge::GaugeHeader* g, uintptr_t arg) {
    ForwardElementList(g, gauge::kSlotElementListGenerate, arg);
}
void GaugeStandardDraw(gauge::GaugeHeader* g, uintptr_t) {
    ForwardElementList(g, gauge::kSlotElementListDraw, 0);
}
void GaugeStandardKill(gauge::GaugeHeader* g, uintptr_t) {
    ForwardElementList(g, gauge::kSlotElementListKill, 0);
}

// ---------------------------------------------------------------------------
// Element lists

namespace {

// The element lists of GaugeTable's gauges, each kept as the array of its
// elements, and where each of their elements stands in one of them.
class GaugeListIndex {
  public:
    // Out of line, so that KeptLists() stays small enough to inline.
    [[gnu::noinline]] GaugeListIndex() {
        for (const gauge::GaugeHeader& g : GaugeTable) {
            if (g.element_list != nullptr) Add(g.element_list[0]);
        }
    }

    // The kept elements from `element` on (`element` first) and their
    // count; null when `element` is not one of them.
    gauge::ElementHeader* const* From(const gauge::ElementHeader* element, int32_t* count) const {
        const Slot* slot = Find(element);
        if (slot == nullptr) return nullptr;
        const int32_t at = slot->place - 1;
        *count = slot->end - at;
        return &elements_[at];
    }

  private:
    // Room for the elements of all the lists, and slots for them: well
    // above the element count, so that a search soon ends.
    static constexpr int32_t kMaxElements = 4096;
    static constexpr uint32_t kSlots = 8192;
    static_assert(kMaxElements < UINT16_MAX);

    // An element's place in elements_ (plus 1; 0: a free slot) and the end
    // there of its list.
    struct Slot {
        uint16_t place = 0;
        uint16_t end = 0;
    };

    // Elements are at least 64 bytes long: by address / 32 neighbours in
    // memory, as a list's elements mostly are, take neighbouring slots.
    static uint32_t SlotOf(const gauge::ElementHeader* element) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(element) / 32) % kSlots;
    }

    const Slot* Find(const gauge::ElementHeader* element) const {
        for (uint32_t i = SlotOf(element);; i = (i + 1) % kSlots) {
            const Slot& slot = slots_[i];
            if (slot.place == 0) return nullptr;
            if (elements_[slot.place - 1] == element) return &slot;
        }
    }

    // A list whose first element is kept already (shared by two gauges) is
    // kept from there on; one too long for the room left is not kept.
    void Add(gauge::ElementHeader* first) {
        if (first == nullptr || Find(first) != nullptr) return;
        int32_t end = used_;
        for (gauge::ElementHeader* e = first; e != nullptr;
             e = e->next_element != nullptr ? e->next_element[0] : nullptr) {
            if (end == kMaxElements) return;
            elements_[end++] = e;
        }
        for (int32_t at = used_; at < end; ++at) {
            // An element two lists share keeps its first place: the links
            // from it are the same.
            if (Find(elements_[at]) != nullptr) continue;
            uint32_t i = SlotOf(elements_[at]);
            while (slots_[i].place != 0) i = (i + 1) % kSlots;
            slots_[i] = {static_cast<uint16_t>(at + 1), static_cast<uint16_t>(end)};
        }
        used_ = end;
    }

    Slot slots_[kSlots];
    gauge::ElementHeader* elements_[kMaxElements];
    int32_t used_ = 0;
};

gauge::ElementHeader* FollowLinks(gauge::ElementHeader* element, int32_t n) {
    for (int32_t i = 0; i < n && element != nullptr; ++i) {
        element = element->next_element != nullptr ? element->next_element[0] : nullptr;
    }
    return element;
}

const GaugeListIndex& KeptLists() {
    static const GaugeListIndex index;
    return index;
}

// ElementListWalk, for the flag setters too.
gauge::ElementHeader* Walk(gauge::ElementHeader* element, int32_t n) {
    if (element == nullptr || n <= 0) return element;
    int32_t count = 0;
    gauge::ElementHeader* const* kept = KeptLists().From(element, &count);
    if (kept == nullptr) return FollowLinks(element, n);
    return n < count ? kept[n] : nullptr;
}

}  // namespace

ElementList::ElementList(gauge::ElementHeader* first) : first_(first) {
    if (first != nullptr) kept_ = KeptLists().From(first, &count_);
}

gauge::ElementHeader* ElementListWalk(gauge::ElementHeader* element, int32_t n) {
    return Walk(element, n);
}

void SetElementFlags(gauge::ElementHeader* element, int32_t n, uint32_t flags) {
    gauge::ElementHeader* e = Walk(element, n);
    if (e != nullptr) e->image_flags |= flags;
}

void ClearElementFlags(gauge::ElementHeader* element, int32_t n, uint32_t flags) {
    gauge::ElementHeader* e = Walk(element, n);
    if (e != nullptr) e->image_flags &= ~flags;
}

// ---------------------------------------------------------------------------
// Main gauge services

namespace {

// TimeKillEvent returns only when no tick is running any more.
void StopSystemsTimer() {
    if (SystemsTimerId != 0) {
        platform::TimeKillEvent(SystemsTimerId);
        SystemsTimerId = 0;
    }
}

// Autopilot servo output and weather sampling, on update and on draw.
void ServoAndWeatherSteps() {
    if ((FeatureDisableMask & kSkipAutopilotServoOutput) == 0) FscomTrimming();
    if ((FeatureDisableMask & kSkipWeatherSampling) == 0) WxrAntennaProc();
}

void MaingaugeInstall() {
    CreateEfisResources();
    IceProtectionReset();
    FsuipcConnect();

    StopSystemsTimer();
    SystemsTimerId = platform::TimeSetEvent(64, 4, SystemsTick, 0, platform::kTimerPeriodic);

    ModuleActive.store(1, std::memory_order_release);

    RefreshCountdown[11] = 48;
    for (int i = 0; i <= 6; ++i) RefreshCountdown[i] = 128;
}

void MaingaugeUpdate() {
    TraceLine("ENTERED UPDATE ROUTINE: ", 0);

    // 1. Bring the FSUIPC link up (aircraft folder), unless an exchange of
    //    the host pass is in progress.
    if (FsuipcLinkReady.load(std::memory_order_acquire) == 0 &&
        FsuipcBusy.load(std::memory_order_acquire) == 0) {
        FsuipcBusy.store(1, std::memory_order_release);
        FsuipcLinkStep();
        FsuipcBusy.store(0, std::memory_order_release);
        TraceLine("FSUIPC INITIALIZED: ", FsuipcResult);
    }

    // 2. Start-up hold of the host input and output.
    CountdownTick(&HostIoStartDelay);

    // 3. The blade-angle locator.
    if ((FeatureDisableMask & kSkipBladeAngleLocator) == 0) fscom_fsmem_initialise();

    const bool linked = FsuipcLinkReady.load(std::memory_order_acquire) != 0;

    // One-shot initialisations, once the link has filled the aircraft folder.
    if (FmsStarted == 0 && linked) {
        FmsInitialize();
        FmsStarted = 1;
    }
    if (SettingsLoaded == 0 && linked) {
        ReadSettingsIni();
        SettingsLoaded = 1;
    }
    if (SettingsLoaded != 0 && NetworkServerStarted == 0) {
        // The instructor-link server is started when NETWORK_SERVER is
        // non-zero; the decision is taken once either way.
        if (NETWORK_SERVER != 0) InstructorLinkStart();
        NetworkServerStarted = 1;
    }

    // The joystick, when it is to be used; a failed start is tried again on
    // the next frame.
    if (JoystickReady == 0 && linked && DINPUT_USE != 0) {
        const uint8_t config[6] = {DINPUT_elevator_device_num, DINPUT_elevator_axis_num,
                                   DINPUT_ailerons_device_num, DINPUT_ailerons_axis_num,
                                   DINPUT_rudder_device_num,   DINPUT_rudder_axis_num};
        if (JoystickInit(config) >= 0) JoystickReady = 1;
    }

    if (SoundSystemStarted == 0 && linked) {
        // The sound set is created here; the virtual joystick buttons are
        // sent once right after it.
        SoundSystemInit();
        SoundSystemStarted = 1;
        JoystickButtonsSend();
    }

    if (NamedVarsRegistered == 0 && linked) {
        NamedVarsRegister();
        NamedVarsRegistered = 1;
    }

    // Per-frame host pass.
    if (linked && (FeatureDisableMask & kSkipHostPass) == 0) {
        TraceLine("ENTERING MAINGAUGE PROC: ", 0);
        MaingaugeProc();
        TraceLine("EXITING MAINGAUGE PROC: ", 0);
    }

    // Autopilot servo output and weather sampling, link or not.
    ServoAndWeatherSteps();

    TraceLine("EXITING UPDATE ROUTINE", 0);
}

void MaingaugeDraw() {
    if (DINPUT_USE != 0) ReadJoystickAxes();
    if (FsuipcLinkReady.load(std::memory_order_acquire) != 0) TrimInputRead();
    ServoAndWeatherSteps();
    if (DINPUT_USE != 0 && (FeatureDisableMask & kSkipControlInputs) == 0) SendControlInputs();
}

void MaingaugeKill() {
    // Stop the tick first, so nothing below is torn down under a tick in
    // flight.
    StopSystemsTimer();
    FsuipcLinkReady.store(0, std::memory_order_release);
    ModuleActive.store(0, std::memory_order_release);

    if (FmsStarted != 0) {
        FmsShutdown();
        FmsStarted = 0;
    }
    DeleteEfisResources();

    HardwareOutputHoldoff = 0;
    FsuipcClose();

    SettingsLoaded = 0;

    // The sounds are freed and the music stopped when they were loaded; a
    // new install loads them and sends the joystick buttons again.
    if (SoundSystemStarted != 0) SoundShutdown();
    SoundSystemStarted = 0;

    // The instructor-link server is stopped when it was started. The flag is
    // cleared in every case so that a new install decides again on the
    // settings it reads then.
    if (NetworkServerStarted != 0 && NETWORK_SERVER != 0) NetServerStop();
    NetworkServerStarted = 0;

    NamedVarsRegistered = 0;

    if (JoystickReady != 0) {
        JoystickRelease();
        JoystickReady = 0;
    }

    auto close_window =
        PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowCloseIdent);
    const int32_t closed = close_window != nullptr ? close_window(kKillPanelWindow) : 0;
    if (closed == 0) {
        auto toggle_window =
            PanelServiceSlot<gauge::PanelWindowService>(gauge::kSlotPanelWindowToggle);
        if (toggle_window != nullptr) toggle_window(kKillPanelWindow);
    }

    // The module stays loaded and keeps its state (switches, failures, the
    // counters, what it last sent, the blade angles it found): only the done
    // flags above and the start-up events go, so a new install runs the
    // one-shot steps and sends the start-up events again.
    StartupEventsSent = 0;
}

}  // namespace

void MaingaugeCallback(gauge::GaugeHeader* g, int32_t service, uintptr_t extra) {
    (void)g;
    (void)extra;
    switch (service) {
        case gauge::kServiceInstall:
            MaingaugeInstall();
            break;
        case gauge::kServiceUpdate:
            MaingaugeUpdate();
            break;
        case gauge::kServiceDraw:
            MaingaugeDraw();
            break;
        case gauge::kServiceKill:
            MaingaugeKill();
            break;
        default:
            break;
    }
}

}  // namespace zu
