#include "core/module_frame.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/fsuipc_client.h"
#include "core/fsuipc_script_window.h"
#include "core/gauge_table.h"
#include "core/host_panel_services.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "zu/platform/paths.h"
#include "zu/platform/timer.h"

namespace zu {
namespace {

// ---------------------------------------------------------------------------
// A panel service table that records what the module asks of the simulator.

struct ServiceCall {
    int slot;
    gauge::ElementHeader* element;
    uintptr_t arg;
};
std::vector<ServiceCall> g_calls;
int32_t g_close_window_answer = 0;

template <int Slot>
void RecordElementService(gauge::ElementHeader* first, uintptr_t arg) {
    g_calls.push_back({Slot, first, arg});
}
int32_t CloseWindowService(uint32_t id) {
    g_calls.push_back({gauge::kSlotPanelWindowCloseIdent, nullptr, id});
    return g_close_window_answer;
}
int32_t ToggleWindowService(uint32_t id) {
    g_calls.push_back({gauge::kSlotPanelWindowToggle, nullptr, id});
    return 1;
}

gauge::PanelServiceTable MakeRecordingTable() {
    gauge::PanelServiceTable t{};
    t.slot[24] = reinterpret_cast<void*>(&RecordElementService<24>);
    t.slot[25] = reinterpret_cast<void*>(&RecordElementService<25>);
    t.slot[26] = reinterpret_cast<void*>(&RecordElementService<26>);
    t.slot[27] = reinterpret_cast<void*>(&RecordElementService<27>);
    t.slot[28] = reinterpret_cast<void*>(&RecordElementService<28>);
    t.slot[29] = reinterpret_cast<void*>(&RecordElementService<29>);
    t.slot[31] = reinterpret_cast<void*>(&RecordElementService<31>);
    t.slot[11] = reinterpret_cast<void*>(&CloseWindowService);
    t.slot[46] = reinterpret_cast<void*>(&ToggleWindowService);
    return t;
}

// ---------------------------------------------------------------------------
// Exported records and gauge table

TEST(ModuleRecords, LinkageListsTheGaugeTable) {
    EXPECT_EQ(ImportTable.panel_services_id, gauge::kPanelServicesImportId);
    EXPECT_EQ(Linkage.module_id, 0x13u);
    EXPECT_EQ(Linkage.link_version, 0x900u);
    ASSERT_NE(Linkage.module_init, nullptr);
    ASSERT_NE(Linkage.module_deinit, nullptr);
    EXPECT_EQ(Linkage.gauges[gauge::kGaugeCount], nullptr);

    std::set<std::string> names;
    for (int i = 0; i < gauge::kGaugeCount; ++i) {
        const gauge::GaugeHeader* h = Linkage.gauges[i];
        ASSERT_EQ(h, &GaugeTable[i]);
        EXPECT_EQ(h->version, 800u);
        ASSERT_NE(h->name, nullptr);
        names.insert(h->name);
        EXPECT_EQ(h->query, &GaugeStandardQuery);
        EXPECT_EQ(h->install, &GaugeStandardInstall);
        EXPECT_EQ(h->kill, &GaugeStandardKill);
        EXPECT_GT(h->default_width_mm, 0u);
    }
    EXPECT_EQ(names.size(), 147u);

    struct Expect {
        int index;
        const char* name;
        uint32_t width;
    };
    for (const Expect& e : {Expect{0, "maingauge", 25}, Expect{49, "Stby Altimeter", 124},
                            Expect{64, "stormlights1", 1280}, Expect{111, "FirePanel", 455},
                            Expect{146, "CALLSIGN_gauge", 61}}) {
        EXPECT_STREQ(GaugeTable[e.index].name, e.name);
        EXPECT_EQ(GaugeTable[e.index].default_width_mm, e.width);
    }
    EXPECT_EQ(GaugeTable[kMaingaugeIndex].gauge_callback, &MaingaugeCallback);
}

TEST(ModuleRecords, StandardRoutinesForwardTheServicedGaugesOwnList) {
    gauge::PanelServiceTable table = MakeRecordingTable();
    ImportTable.panels = &table;
    g_calls.clear();

    gauge::ElementHeader first{};
    gauge::ElementHeader* list[] = {&first, nullptr};
    gauge::GaugeHeader g = GaugeTable[5];
    g.element_list = list;

    g.query(&g, 0);
    g.install(&g, 77);
    g.initialise(&g, 0);
    g.update(&g, 0);
    g.generate(&g, 5);
    g.draw(&g, 0);
    g.kill(&g, 0);
    ASSERT_EQ(g_calls.size(), 7u);
    const int slots[] = {24, 25, 26, 27, 28, 29, 31};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(g_calls[i].slot, slots[i]);
        EXPECT_EQ(g_calls[i].element, &first);
    }
    EXPECT_EQ(g_calls[1].arg, 77u);
    EXPECT_EQ(g_calls[4].arg, 5u);

    // The module's own gauges forward their own lists, frame after frame.
    for (int pass = 0; pass < 2; ++pass) {
        for (gauge::GaugeHeader& h : GaugeTable) {
            if (h.element_list == nullptr) continue;
            g_calls.clear();
            h.draw(&h, 0);
            h.update(&h, 0);
            ASSERT_EQ(g_calls.size(), 2u) << h.name;
            EXPECT_EQ(g_calls[0].element, h.element_list[0]) << h.name;
            EXPECT_EQ(g_calls[1].element, h.element_list[0]) << h.name;
        }
    }

    // A gauge without elements (the main gauge) asks nothing of the host,
    // and an empty service table is not called at all.
    g_calls.clear();
    GaugeTable[kMaingaugeIndex].update(&GaugeTable[kMaingaugeIndex], 0);
    EXPECT_TRUE(g_calls.empty());
    ImportTable.panels = nullptr;
    g.update(&g, 0);
    EXPECT_TRUE(g_calls.empty());
}

TEST(ModuleRecords, ElementListWalkAndFlags) {
    gauge::ElementHeader c{};
    gauge::ElementHeader* c_next[] = {nullptr};
    c.next_element = c_next;
    gauge::ElementHeader b{};
    gauge::ElementHeader* b_next[] = {&c, nullptr};
    b.next_element = b_next;
    gauge::ElementHeader a{};
    gauge::ElementHeader* a_next[] = {&b, nullptr};
    a.next_element = a_next;

    EXPECT_EQ(ElementListWalk(&a, 0), &a);
    EXPECT_EQ(ElementListWalk(&a, 2), &c);
    EXPECT_EQ(ElementListWalk(&a, 3), nullptr);
    EXPECT_EQ(ElementListWalk(&c, 1), nullptr);
    c.next_element = nullptr;
    EXPECT_EQ(ElementListWalk(&a, 3), nullptr);
    EXPECT_EQ(ElementListWalk(nullptr, 0), nullptr);

    SetElementFlags(&a, 1, gauge::kImageHidden | gauge::kImageLuminous);
    EXPECT_EQ(b.image_flags, gauge::kImageHidden | gauge::kImageLuminous);
    ClearElementFlags(&a, 1, gauge::kImageHidden);
    EXPECT_EQ(b.image_flags, gauge::kImageLuminous);
    SetElementFlags(&a, 5, gauge::kImageHidden);  // past the end: nothing
    SetElementFlags(nullptr, 0, gauge::kImageHidden);
    EXPECT_EQ(a.image_flags, 0u);
    EXPECT_EQ(c.image_flags, 0u);
}

TEST(ModuleRecords, WalksFindWhatTheLinksReach) {
    // Every gauge's list, kept as an array, gives the elements its links
    // reach, and nothing past its end; so does a walk from its second
    // element (where some gauges number from).
    for (const gauge::GaugeHeader& g : GaugeTable) {
        gauge::ElementHeader* first = g.element_list != nullptr ? g.element_list[0] : nullptr;
        if (first == nullptr) continue;
        const ElementList list(first);
        gauge::ElementHeader* second = ElementListWalk(first, 1);
        const ElementList from_second(second);
        int32_t n = 0;
        for (gauge::ElementHeader* e = first; e != nullptr; ++n) {
            ASSERT_EQ(ElementListWalk(first, n), e) << g.name << " " << n;
            ASSERT_EQ(list[n], e) << g.name << " " << n;
            if (n > 0) {
                ASSERT_EQ(from_second[n - 1], e) << g.name << " " << n;
            }
            e = e->next_element != nullptr ? e->next_element[0] : nullptr;
        }
        EXPECT_EQ(ElementListWalk(first, n), nullptr) << g.name;
        EXPECT_EQ(ElementListWalk(first, n + 100), nullptr) << g.name;
        EXPECT_EQ(list[n], nullptr) << g.name;
        EXPECT_EQ(ElementListWalk(first, -1), first) << g.name;
        EXPECT_EQ(list[-1], first) << g.name;
    }

    // A list of 200 elements on the heap, the last without a next list, and
    // a second list of two.
    std::vector<gauge::ElementHeader> e(200);
    std::vector<std::array<gauge::ElementHeader*, 2>> next(200);
    for (size_t i = 0; i < e.size(); ++i) {
        next[i] = {i + 1 < e.size() ? &e[i + 1] : nullptr, nullptr};
        e[i].next_element = i + 1 < e.size() ? next[i].data() : nullptr;
    }
    gauge::ElementHeader y{};
    gauge::ElementHeader x{};
    gauge::ElementHeader* x_next[] = {&y, nullptr};
    x.next_element = x_next;
    auto expected = [&](int32_t n) -> gauge::ElementHeader* {
        return n <= 0 ? &e[0] : n < 200 ? &e[static_cast<size_t>(n)] : nullptr;
    };
    for (int32_t n : {5, 3, 150, 127, 128, 0, -1, 199, 200, 260, 1}) {
        EXPECT_EQ(ElementListWalk(&e[0], n), expected(n)) << n;
    }
    EXPECT_EQ(ElementListWalk(&x, 1), &y);
    EXPECT_EQ(ElementListWalk(&e[10], 2), &e[12]);
    const ElementList list(&e[0]);
    EXPECT_EQ(list[150], &e[150]);
    EXPECT_EQ(list[200], nullptr);
    EXPECT_EQ(ElementList(nullptr)[2], nullptr);
    SetElementFlags(&e[0], 77, gauge::kImageHidden);
    EXPECT_EQ(e[77].image_flags, gauge::kImageHidden);
    ClearElementFlags(&e[0], 77, gauge::kImageHidden);
    EXPECT_EQ(e[77].image_flags, 0u);
    // A list linked anew is followed as it now is.
    next[2][0] = &y;
    EXPECT_EQ(ElementListWalk(&e[0], 3), &y);
    EXPECT_EQ(ElementListWalk(&e[0], 4), nullptr);
    EXPECT_EQ(ElementListWalk(nullptr, 0), nullptr);
    EXPECT_EQ(ElementListWalk(nullptr, 3), nullptr);
}

// ---------------------------------------------------------------------------
// Systems tick and host pass

TEST(SystemsTickRates, MaskFollowsTheCounterAcrossTheWrap) {
    TickCounter = 0;
    TickCounterPrevious = 0;
    std::vector<uint32_t> masks;
    for (int i = 0; i < 16; ++i) {
        SystemsTick(0, 0, 0, 0, 0);
        masks.push_back(FrameChangeBits);
    }
    EXPECT_EQ(masks[0], 0x01u);          // tick 1: every-tick steps only
    EXPECT_EQ(masks[1] & 0x02u, 0x02u);  // tick 2: every 2nd
    EXPECT_EQ(masks[2] & 0x02u, 0u);
    EXPECT_EQ(masks[3] & 0x04u, 0x04u);  // tick 4: every 4th
    EXPECT_EQ(masks[7] & 0x10u, 0u);
    EXPECT_EQ(masks[15] & 0x1Fu, 0x1Fu);  // tick 16: all of 1st..16th

    TickCounter = 0xFFFFFFFEu;
    TickCounterPrevious = 0xFFFFFFFEu;
    SystemsTick(0, 0, 0, 0, 0);
    EXPECT_EQ(FrameChangeBits & 0x13u, 0x01u);  // 2^32 - 1 is odd
    SystemsTick(0, 0, 0, 0, 0);
    EXPECT_EQ(TickCounter, 0u);
    EXPECT_EQ(FrameChangeBits & 0x53u, 0x53u);  // 0 is a multiple of everything
    SystemsTick(0, 0, 0, 0, 0);
    EXPECT_EQ(FrameChangeBits, 0x01u);
    EXPECT_EQ(PowerplantValuesPending, 1);
}

TEST(HostPass, RepositioningCountdownFallsByTwoPerFrame) {
    const uint32_t passes = HostPassCounter;
    RemoteDisplayCountdown = 5;
    RedrawRequest = 0;
    MaingaugeProc();
    EXPECT_EQ(RemoteDisplayCountdown, 3);
    EXPECT_EQ(RedrawRequest, 255);
    MaingaugeProc();
    MaingaugeProc();
    EXPECT_EQ(RemoteDisplayCountdown, 0);
    EXPECT_EQ(HostPassCounter, passes + 3);
    EXPECT_EQ(HostPassChangeBits, HostPassCounter ^ (HostPassCounter - 1));
    EXPECT_EQ(FsuipcBusy, 0);
}

// ---------------------------------------------------------------------------
// Main gauge

class MainGauge : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetClockMode(platform::ClockMode::Lockstep);
        table_ = MakeRecordingTable();
        ImportTable.panels = &table_;
        g_calls.clear();
        g_close_window_answer = 0;
        dir_ =
            std::filesystem::temp_directory_path() / ("zu_maingauge_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "ini");
        aircraft_path_ = platform::FromHostPath(dir_.string()) + "\\Zuvav.air";
        script_ = std::make_unique<testing::FsuipcScriptWindow>();
        HostIoStartDelay = kHostIoStartHold;
    }
    void TearDown() override {
        Service(gauge::kServiceKill);
        testing::ScriptWindowStop(script_.get());
        ImportTable.panels = nullptr;
        std::filesystem::remove_all(dir_);
    }
    void StartWindow() {
        testing::ScriptWindowStart(script_.get(), "FS98MAIN");
        script_->SetText(0x3C00, aircraft_path_.c_str());
    }
    void Service(int32_t service) { MaingaugeCallback(&GaugeTable[0], service, 0); }

    gauge::PanelServiceTable table_{};
    std::filesystem::path dir_;
    std::string aircraft_path_;
    std::unique_ptr<testing::FsuipcScriptWindow> script_;
};

TEST_F(MainGauge, WithoutTheLinkOnlyTheCountdownAndTheTickRun) {
    Service(gauge::kServiceInstall);
    EXPECT_EQ(ModuleActive, 1u);
    EXPECT_NE(SystemsTimerId, 0u);
    EXPECT_EQ(RefreshCountdown[11], 48);
    EXPECT_EQ(RefreshCountdown[0], 128);
    EXPECT_EQ(RefreshCountdown[6], 128);

    const uint32_t passes = HostPassCounter;
    HostIoStartDelay = 3;
    for (int i = 0; i < 5; ++i) Service(gauge::kServiceUpdate);
    // Every failed link step re-arms the hold, and the frame counts it down.
    EXPECT_EQ(HostIoStartDelay, kHostIoStartHold - 1);
    EXPECT_EQ(FsuipcLinkReady, 0);
    EXPECT_EQ(SettingsLoaded, 0);
    EXPECT_EQ(NetworkServerStarted, 0);
    EXPECT_EQ(HostPassCounter, passes);

    const uint32_t ticks = TickCounter;
    platform::LockstepAdvance(64 * 3);
    EXPECT_EQ(TickCounter, ticks + 3);
}

TEST_F(MainGauge, LinkUpRunsTheOneShotsOnceAndTheHostPassEveryFrame) {
    StartWindow();
    Service(gauge::kServiceInstall);
    EXPECT_EQ(FsuipcResult, 0u);
    const uint32_t passes = HostPassCounter;
    Service(gauge::kServiceUpdate);
    ASSERT_EQ(FsuipcLinkReady, 1);
    EXPECT_EQ(std::string(AircraftFolderPath), platform::FromHostPath(dir_.string()) + "\\");
    EXPECT_EQ(SettingsLoaded, 1);
    EXPECT_EQ(NetworkServerStarted, 1);
    EXPECT_EQ(HostPassCounter, passes + 1);
    // A fresh settings file was written below the aircraft folder.
    EXPECT_TRUE(std::filesystem::exists(dir_ / "ini" / "Kvx4f700.ini"));

    // The link step does not run again: a new aircraft path is not taken.
    const std::string folder = AircraftFolderPath;
    script_->SetText(0x3C00, "X:\\other\\aircraft.air");
    Service(gauge::kServiceUpdate);
    EXPECT_EQ(std::string(AircraftFolderPath), folder);
    EXPECT_EQ(HostPassCounter, passes + 2);
}

TEST_F(MainGauge, KillStopsEverythingAndANewInstallStartsAgain) {
    StartWindow();
    Service(gauge::kServiceInstall);
    Service(gauge::kServiceUpdate);
    ASSERT_EQ(SettingsLoaded, 1);
    StartupEventsSent = 1;

    g_calls.clear();
    g_close_window_answer = 0;
    Service(gauge::kServiceKill);
    EXPECT_EQ(SystemsTimerId, 0u);
    EXPECT_EQ(ModuleActive, 0u);
    EXPECT_EQ(FsuipcLinkReady, 0);
    EXPECT_EQ(FsuipcView, nullptr);
    EXPECT_EQ(SettingsLoaded, 0);
    EXPECT_EQ(NetworkServerStarted, 0);
    EXPECT_EQ(StartupEventsSent, 0);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].slot, gauge::kSlotPanelWindowCloseIdent);
    EXPECT_EQ(g_calls[0].arg, 92u);
    EXPECT_EQ(g_calls[1].slot, gauge::kSlotPanelWindowToggle);
    EXPECT_EQ(g_calls[1].arg, 92u);

    const uint32_t ticks = TickCounter;
    platform::LockstepAdvance(640);
    EXPECT_EQ(TickCounter, ticks);  // no tick after kill

    // The settings are read again after a new install.
    {
        std::ofstream f(dir_ / "ini" / "Kvx4f700.ini");
        f << "[Dirarov]\nSTAMP=15\nSOUND_VOLUME=77\n";
    }
    Service(gauge::kServiceInstall);
    Service(gauge::kServiceUpdate);
    EXPECT_EQ(FsuipcLinkReady, 1);
    EXPECT_EQ(SettingsLoaded, 1);
    EXPECT_EQ(NetworkServerStarted, 1);
    EXPECT_EQ(SOUND_VOLUME, 77);
    EXPECT_EQ(NETWORK_SERVER, 0);
    platform::LockstepAdvance(64);
    EXPECT_EQ(TickCounter, ticks + 1);

    // When the window could be closed, it is not toggled.
    g_calls.clear();
    g_close_window_answer = 1;
    Service(gauge::kServiceKill);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].slot, gauge::kSlotPanelWindowCloseIdent);
}

TEST_F(MainGauge, OtherServicesDoNothing) {
    StartWindow();
    const uint32_t passes = HostPassCounter;
    for (int32_t s = -1; s <= 20; ++s) {
        if (s == 2 || s == 6 || s == 10 || s == 12) continue;
        Service(s);
    }
    Service(gauge::kServiceDraw);
    EXPECT_EQ(SystemsTimerId, 0u);
    EXPECT_EQ(ModuleActive, 0u);
    EXPECT_EQ(FsuipcView, nullptr);
    EXPECT_EQ(HostPassCounter, passes);
    EXPECT_EQ(script_->batches, 0u);
}

TEST_F(MainGauge, LinkStepRejectsAPathWithoutAFolderAndBoundsALongOne) {
    StartWindow();
    script_->SetText(0x3C00, "NoFolderHere.air");
    Service(gauge::kServiceInstall);
    HostIoStartDelay = 0;
    Service(gauge::kServiceUpdate);
    EXPECT_EQ(FsuipcLinkReady, 0);
    EXPECT_EQ(HostIoStartDelay, kHostIoStartHold - 1);

    // 256 bytes without a terminator; the last backslash that counts lies
    // within the first 255 characters.
    std::memset(script_->memory + 0x3C00, 'a', 256);
    script_->memory[0x3C00 + 10] = '\\';
    script_->memory[0x3C00 + 255] = '\\';
    Service(gauge::kServiceUpdate);
    ASSERT_EQ(FsuipcLinkReady, 1);
    EXPECT_EQ(std::string(AircraftFolderPath), std::string(10, 'a') + "\\");
}

TEST_F(MainGauge, LinkStepReconnectsALinkThatWasNotThereAtInstall) {
    Service(gauge::kServiceInstall);  // no FSUIPC window yet
    EXPECT_EQ(FsuipcView, nullptr);
    StartWindow();
    Service(gauge::kServiceUpdate);  // too soon after the install's attempt
    EXPECT_EQ(FsuipcLinkReady, 0);
    EXPECT_EQ(script_->batches, 0u);

    platform::LockstepAdvance(1000);
    Service(gauge::kServiceUpdate);
    EXPECT_EQ(FsuipcLinkReady, 1);
    EXPECT_EQ(SettingsLoaded, 1);
}

}  // namespace
}  // namespace zu
