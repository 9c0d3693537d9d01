// End-to-end tests of the module's foundation run by the simulator stand-in:
// the exported gauge table, the link set up over FSUIPC, the one-shot
// start-up steps (settings file) and their repetition after a reload, the
// lockstep clock and scenario checks. All runs use the lockstep clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cabin_link/instructor_message.h"
#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_client.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/ice_protection.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "displays/efis_display_gauges.h"
#include "e2e_support.h"
#include "fms/nav_database.h"
#include "module_state.h"
#include "zu/platform/ini_file.h"
#include "zu/platform/paths.h"
#include "zu/simhost/simulator.h"

// The kill's deletion of the drawing resources, watched: the program is
// linked with the linker's --wrap of it (tests/CMakeLists.txt), so a test
// can see what the kill had done before it.
namespace {
bool g_watch_efis_delete = false;
bool g_fms_shut_down_at_efis_delete = false;
}  // namespace
extern "C" void __real__ZN2zu19DeleteEfisResourcesEv();
extern "C" void __wrap__ZN2zu19DeleteEfisResourcesEv() {
    if (g_watch_efis_delete) {
        g_fms_shut_down_at_efis_delete = zu::FmsStarted == 0 && zu::WaypointDatabase == nullptr;
    }
    __real__ZN2zu19DeleteEfisResourcesEv();
}

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
using simhost::Simulator;
using simhost::SimulatorConfig;

struct TableEntry {
    const char* name;
    int width_mm;
};

// The module's gauge table: names as the panel configuration spells them and
// default widths in millimetres, in Linkage order.
const TableEntry kGaugeTable[] = {
    {"maingauge", 25},
    {"Torque2", 83},
    {"Torque1", 83},
    {"Rpm1", 83},
    {"Rpm2", 83},
    {"Nh1", 83},
    {"Nh2", 83},
    {"NL1", 83},
    {"NL2", 83},
    {"Itt1", 83},
    {"Itt2", 83},
    {"ff1", 83},
    {"ff2", 83},
    {"Oil1", 73},
    {"Oil2", 73},
    {"F_QTY1", 65},
    {"F_QTY2", 65},
    {"F_TANK_TEMP", 65},
    {"F_TEMP", 77},
    {"Prop_Ground", 56},
    {"Master_Fire_Warning", 60},
    {"Master_Caution_Light", 61},
    {"Master_Warning_Light", 61},
    {"Course_hdg_selector1", 42},
    {"Course_hdg_selector1_touch", 42},
    {"Course_hdg_selector2", 42},
    {"VOR1_Panel", 110},
    {"VOR1_Panel_touch", 110},
    {"VOR2_Panel", 110},
    {"VOR2_Panel_touch", 110},
    {"ADF1_Panel", 92},
    {"ADF2_Panel", 92},
    {"ADF1_Panel_touch", 92},
    {"ADF2_Panel_touch", 92},
    {"ATC1_Panel", 92},
    {"COM1_Panel", 92},
    {"COM2_Panel", 92},
    {"MARKERS_Panel", 89},
    {"AUDIO_Panel", 235},
    {"ENTERTAINMENT_Panel", 235},
    {"Gear", 113},
    {"Speedometer1", 124},
    {"Speedometer1_touch", 124},
    {"Speedometer2", 124},
    {"Speedometer2_touch", 124},
    {"Altimeter1", 124},
    {"Altimeter1_touch", 124},
    {"Altimeter2", 124},
    {"Altimeter2_touch", 124},
    {"Stby Altimeter", 124},
    {"Stby Altimeter_touch", 124},
    {"Stby attitude", 100},
    {"PFCS", 93},
    {"clock1", 106},
    {"clock2", 106},
    {"RMI", 104},
    {"TRIMS", 233},
    {"FLAPS indicator", 65},
    {"Whiskey compass", 118},
    {"Inclinometer", 33},
    {"EGC_panel", 168},
    {"FUEL_panel", 166},
    {"Autofeather_panel", 165},
    {"Bypass_doors", 114},
    {"stormlights1", 1280},
    {"stormlights2", 1280},
    {"VSI1", 163},
    {"VSI1_VC", 163},
    {"VSI2", 163},
    {"VSI2_VC", 163},
    {"HSI1", 163},
    {"HSI1_VC", 163},
    {"HSI2", 163},
    {"HSI2_VC", 163},
    {"TCAS1 display", 109},
    {"TCAS1 VC display", 109},
    {"TCAS2 display", 109},
    {"TCAS2 VC display", 109},
    {"WX display", 251},
    {"FMS", 335},
    {"FMS_VC", 335},
    {"FMS_show", 335},
    {"VSI1 SEL", 127},
    {"VSI2 SEL", 127},
    {"Autopilot", 224},
    {"Autopilot_touch", 224},
    {"ID809a_Panel", 233},
    {"ID809b_Panel", 233},
    {"AL801_Panel", 103},
    {"AL801_Panel_touch", 103},
    {"GPWS_Panel", 38},
    {"RNAV1_Panel", 180},
    {"RNAV2_Panel", 180},
    {"battery_panel", 227},
    {"ac_Panel", 227},
    {"DcMeterPanel", 227},
    {"AcMeterPanel", 227},
    {"BatTempMeterPanel", 191},
    {"EngineStartPanel", 191},
    {"Lights_Panel", 198},
    {"Lights_rightpanel", 192},
    {"Lights_exterior1_Panel", 197},
    {"Lights_exterior2_Panel", 190},
    {"Landing gear inhibit switch", 80},
    {"Nose Gear Alt Door", 132},
    {"HGS_HUD_switch", 32},
    {"PneuPanel", 200},
    {"PneuPanel_touch", 200},
    {"PressPanel", 201},
    {"PressPanel_touch", 201},
    {"AntiicePanel", 217},
    {"FirePanel", 455},
    {"DuctTemp", 65},
    {"CabAltSetIndicator", 85},
    {"PressComp_Diff", 65},
    {"PressComp_Alt", 65},
    {"PressComp_Rate", 65},
    {"engine_panel", 204},
    {"Pilot_Panel", 349},
    {"Caution", 485},
    {"Caution_Large", 485},
    {"Stby_hydr", 145},
    {"Stby_hydr_pres", 77},
    {"Main_hydr_pres", 77},
    {"Brake_hydr_pres", 77},
    {"Hydr_qty", 77},
    {"Roll_spoilers_shutoff", 65},
    {"Rudders_shutoff", 193},
    {"StickPusher_shutoff", 56},
    {"Alternate Gear Pump", 100},
    {"Copilot panel", 103},
    {"AHRS1_Panel", 220},
    {"AHRS2_Panel", 220},
    {"DisplayControl_Panel1", 223},
    {"DisplayControl_Panel1_touch", 223},
    {"DisplayControl_Panel2", 223},
    {"PA_panel", 175},
    {"CVR_panel", 228},
    {"FDR_panel", 194},
    {"HGS_panel", 207},
    {"HGS_VC_panel", 207},
    {"RASU_panel", 163},
    {"RASU_VC_panel", 163},
    {"RASU_panel_touch", 163},
    {"HGS_Annunciator_panel", 31},
    {"SWITCHBOARD_gauge", 260},
    {"CALLSIGN_gauge", 61},
};

// The keys the settings pass writes into a new file, in file order.
std::vector<IniEntry> DefaultSettingsFile() {
    std::vector<IniEntry> e;
    auto main = [&](const char* key, const char* value) { e.push_back({"Dirarov", key, value}); };
    main("STAMP", "15");
    main("EPIC", "0");
    main("EPIC_OUTPUT_SLOWDOWN", "0");
    main("SOUND_VOLUME", "255");
    main("SOUND_SPLIT_PLS", "0");
    main("VSI_HALF_SLOW", "0");
    main("HSI_HALF_SLOW", "0");
    main("FSUIPC_CALIBR_DISABLE", "1");
    main("SURROUND_SOUND", "0");
    main("BRAKES_FAILURE_ENABLED", "1");
    main("AP_TCS_JOYSTICK_NUMBER", "0");
    main("AP_TCS_BUTTON_NUMBER", "0");
    main("AP_DISC_JOYSTICK_NUMBER", "0");
    main("AP_DISC_BUTTON_NUMBER", "0");
    main("NETWORK_SERVER", "1");
    main("SPLIT_PLS_SYNC_FACTOR", "2048");
    const char* in[8] = {"-4096", "0", "128", "2000", "14157", "14157", "14157", "14157"};
    const char* out[8] = {"128", "3000", "3010", "3020", "24000", "24000", "24000", "24000"};
    for (const char* section : {"ThrottlesGnd", "ThrottlesAir"}) {
        for (int i = 0; i < 8; ++i) {
            e.push_back({section, "FS_TO_INTERNAL__IN_" + std::to_string(i), in[i]});
            e.push_back({section, "FS_TO_INTERNAL__OUT_" + std::to_string(i), out[i]});
        }
    }
    return e;
}

// The entries of `section` in file order.
std::vector<IniEntry> Section(const std::vector<IniEntry>& all, const std::string& section) {
    std::vector<IniEntry> out;
    for (const IniEntry& e : all) {
        if (e.section == section) out.push_back(e);
    }
    return out;
}

std::string SettingsFile(const fs::path& aircraft) {
    return (aircraft / "ini" / "Kvx4f700.ini").string();
}

TEST(SimhostProgram, ListsTheModulesGaugeTable) {
    const ProcessResult r = RunSimhost({"--module", ModuleFile().string(), "--list-gauges"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), std::size(kGaugeTable));
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], std::to_string(i) + "\t" + kGaugeTable[i].name + "\t" +
                                std::to_string(kGaugeTable[i].width_mm));
    }
}

TEST(SimhostProgram, ReportsBadOptionsAndMissingFiles) {
    TempDir tmp;
    const ProcessResult bad = RunSimhost({"--fps", "0"});
    EXPECT_EQ(bad.exit_code, 2);
    EXPECT_NE(bad.err.find("--fps"), std::string::npos) << bad.err;
    EXPECT_EQ(RunSimhost({"--frobnicate"}).exit_code, 2);

    const ProcessResult no_module =
        RunSimhost({"--module", (tmp.path() / "none.so").string(), "--list-gauges"});
    EXPECT_EQ(no_module.exit_code, 3);
    EXPECT_NE(no_module.err.find("none.so"), std::string::npos) << no_module.err;

    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const ProcessResult no_panel = RunSimhost(
        {"--module", ModuleFile().string(), "--aircraft", aircraft.string(), "--panel",
         (tmp.path() / "missing.cfg").string(), "--state-json", (tmp.path() / "s.json").string()});
    EXPECT_EQ(no_panel.exit_code, 4);
    EXPECT_NE(no_panel.err.find("missing.cfg"), std::string::npos) << no_panel.err;
}

// A 10-second flight at two frame rates: the same number of 64 ms ticks, the
// link comes up, and the settings file is created with the default keys.
class TenSecondFlight : public testing::TestWithParam<int> {};

TEST_P(TenSecondFlight, RunsTheTicksAndSetsUpTheLink) {
    const int fps = GetParam();
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path state = tmp.path() / "state.json";
    const ProcessResult r = RunSimhost(
        {"--module", ModuleFile().string(), "--aircraft", aircraft.string(), "--lockstep", "--fps",
         std::to_string(fps), "--seconds", "10", "--state-json", state.string()});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const nlohmann::json s = ReadJson(state);
    EXPECT_EQ(s["frames"].get<int>(), 10 * fps);
    EXPECT_DOUBLE_EQ(s["simulated_seconds"].get<double>(), 10.0);
    const int ticks = s["ticks"].get<int>();
    EXPECT_GE(ticks, 156);
    EXPECT_LE(ticks, 157);

    // Every placed gauge was created and served each frame.
    EXPECT_EQ(s["gauges"].size(), std::size(kGaugeTable));
    for (const auto& g : s["gauges"]) EXPECT_EQ(g["updates"].get<int>(), 10 * fps) << g["name"];
    EXPECT_TRUE(s["panel_warnings"].empty()) << s["panel_warnings"];

    // The link: the handshake wrote the client's version, batches were served.
    EXPECT_EQ(s["fsuipc"]["client_version"].get<int>(), 1004);
    EXPECT_GT(s["fsuipc"]["batches"].get<int>(), 0);
    EXPECT_EQ(s["fsuipc"]["refused"].get<int>(), 0);

    const std::vector<IniEntry> file = ReadIniEntries(SettingsFile(aircraft));
    const std::vector<IniEntry> expected = DefaultSettingsFile();
    for (const char* section : {"Dirarov", "ThrottlesGnd", "ThrottlesAir"}) {
        EXPECT_EQ(Section(file, section), Section(expected, section)) << section;
    }
    EXPECT_EQ(file.size(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(FrameRates, TenSecondFlight, testing::Values(30, 24));

TEST(SimhostProgram, FailedExpectMakesTheRunFail) {
    TempDir tmp;
    const fs::path aircraft = CopySampleAircraft(tmp.path());
    const fs::path good = tmp.path() / "good.txt";
    const fs::path bad = tmp.path() / "bad.txt";
    const std::string common =
        "# set a variable and an offset, then check them\n"
        "at 0 var 703 2.5\n"
        "at 0.5 expect var 703 2.5\n"
        "at 1 offset 0x0BC8 u16 513\n"
        "at 1 expect offset 0x0BC8 u16 513\n"
        "at 1 expect offset 0x3308 u32 0xFADE0007   # the version word stays as served\n";
    WriteFile(good, common);
    WriteFile(bad, common + "at 1.5 expect var 703 3 0.1\n");
    const std::vector<std::string> base = {"--module",        ModuleFile().string(), "--aircraft",
                                           aircraft.string(), "--seconds",           "2"};

    auto run = [&](const fs::path& scenario, const std::string& name) {
        std::vector<std::string> args = base;
        args.insert(args.end(), {"--scenario", scenario.string(), "--state-json",
                                 (tmp.path() / (name + ".json")).string()});
        return RunSimhost(args);
    };
    const ProcessResult ok = run(good, "good");
    EXPECT_EQ(ok.exit_code, 0) << ok.err;

    const ProcessResult failed = run(bad, "bad");
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_NE(failed.err.find("bad.txt:7"), std::string::npos) << failed.err;
    const nlohmann::json s = ReadJson(tmp.path() / "bad.json");
    EXPECT_EQ(s["scenario"]["failures"].get<int>(), 1);

    // A check placed after the end of the flight never runs: that fails too.
    WriteFile(bad, common + "at 30 expect var 703 2.5\n");
    std::vector<std::string> args = base;
    args.insert(args.end(),
                {"--scenario", bad.string(), "--state-json", (tmp.path() / "late.json").string()});
    EXPECT_EQ(RunSimhost(args).exit_code, 1);

    // A scenario with a syntax error does not fly at all.
    WriteFile(bad, "at 1 fly-to-the-moon\n");
    EXPECT_EQ(run(bad, "syntax").exit_code, 2);
}

// The module linked into the test process, so its state can be inspected.
class InProcessModule : public testing::Test {
  protected:
    void SetUp() override { aircraft_ = CopySampleAircraft(tmp_.path()); }

    std::unique_ptr<Simulator> Make(bool fsuipc) {
        RestoreLoadedModuleState();  // whatever earlier flights left
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        cfg.fsuipc = fsuipc;
        auto sim = std::make_unique<Simulator>(cfg);
        std::string error;
        EXPECT_TRUE(sim->AttachModule(&Linkage, &ImportTable, &error)) << error;
        EXPECT_TRUE(sim->LoadAircraft(&error)) << error;
        EXPECT_TRUE(sim->Start(&error)) << error;
        return sim;
    }

    static void RunFrames(Simulator& sim, int n) {
        for (int i = 0; i < n; ++i) sim.RunFrame();
    }

    std::string Stamp() {
        char buf[32] = {};
        platform::GetPrivateProfileString("Dirarov", "STAMP", "", buf, sizeof buf,
                                          platform::FromHostPath(SettingsFile(aircraft_)).c_str());
        return buf;
    }

    TempDir tmp_;
    fs::path aircraft_;
};

TEST_F(InProcessModule, OneShotStepsRunOnceAndAgainAfterReload) {
    auto sim = Make(true);
    RunFrames(*sim, 30);
    ASSERT_EQ(FsuipcLinkReady.load(), 1);
    EXPECT_EQ(std::string(AircraftFolderPath), platform::FromHostPath(aircraft_.string()) + "\\");
    EXPECT_EQ(SettingsLoaded, 1);
    EXPECT_EQ(NetworkServerStarted, 1);
    EXPECT_EQ(Stamp(), "15");

    // Running on does not read or write the file again: a changed stamp stays.
    ASSERT_TRUE(platform::WritePrivateProfileString(
        "Dirarov", "STAMP", "14", platform::FromHostPath(SettingsFile(aircraft_)).c_str()));
    RunFrames(*sim, 60);
    EXPECT_EQ(Stamp(), "14");

    // A reload kills the gauges (clearing the done flags) and installs them
    // again; the one-shot steps then run again and rewrite the file.
    sim->Reload();
    EXPECT_EQ(SettingsLoaded, 0);
    EXPECT_EQ(NetworkServerStarted, 0);
    RunFrames(*sim, 30);
    EXPECT_EQ(SettingsLoaded, 1);
    EXPECT_EQ(NetworkServerStarted, 1);
    EXPECT_EQ(Stamp(), "15");
    sim->Stop();
    EXPECT_EQ(FsuipcLinkReady.load(), 0);
}

TEST_F(InProcessModule, AKillAndReinstallKeepsTheModulesState) {
    auto sim = Make(true);
    RunFrames(*sim, 30);
    // A flight: batteries on, the displays drawing, a hydraulic failure.
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    HydraulicsInstructorStates[kHydElemEdp1] = kHydFailInoperative;
    RunFrames(*sim, 150);
    auto pictures = [] {
        uint32_t n = 0;
        for (const DisplayScreen& d : DisplayScreens) n += d.pictures;
        return n;
    };
    auto events = [&](uint32_t id) {
        const auto counts = sim->KeyEventCounts();
        const auto it = counts.find(id);
        return it == counts.end() ? simhost::KeyCount<simhost::KeyEventRecord>{} : it->second;
    };
    auto writes = [&](uint32_t offset) {
        const auto counts = sim->fsuipc().WriteCounts();
        const auto it = counts.find(offset);
        return it == counts.end() ? simhost::KeyCount<std::string>{} : it->second;
    };
    ASSERT_GT(pictures(), 0u);
    ASSERT_NE(BusPowered.get(kPoweredLeftEssential), 0);
    ASSERT_EQ(FlightLoadCounter, 250);  // no saved flight: nothing to restore
    ASSERT_EQ(events(0x101A4).count, 1u);
    ASSERT_EQ(events(0x100A5).count, 1u);
    ASSERT_EQ(events(0x100A2).count, 1u);  // the flap detent, sent once
    ASSERT_GT(writes(0x0888).count, 0u);
    const uint32_t ticks = TickCounter.load();
    const uint32_t passes = HostPassCounter;

    // The simulator reloads the panel: the gauges are killed and installed
    // again, the module stays loaded and keeps what it had.
    sim->Reload();
    const uint64_t reloaded_at = sim->frame();
    EXPECT_EQ(TickCounter.load(), ticks);
    EXPECT_EQ(HostPassCounter, passes);
    EXPECT_EQ(BatteryMasterSwitch.get(), 255);
    EXPECT_EQ(HydraulicsInstructorStates[kHydElemEdp1], kHydFailInoperative);
    EXPECT_EQ(FlightLoadCounter, 250);
    EXPECT_EQ(StartupEventsSent, 0);
    RunFrames(*sim, 150);
    EXPECT_GT(TickCounter.load(), ticks);
    EXPECT_NE(BusPowered.get(kPoweredLeftEssential), 0);
    // The saved-flight load does not run again.
    EXPECT_EQ(FlightLoadCounter, 250);
    // The start-up events go out again, and so does 0x0888 := 12 behind
    // them; the flap detent's last-sent copy holds, so it is not re-sent.
    EXPECT_EQ(events(0x101A4).count, 2u);
    EXPECT_EQ(events(0x100A5).count, 2u);
    EXPECT_EQ(events(0x100A5).last.value, 47u);
    EXPECT_GT(writes(0x0888).last_frame, reloaded_at);
    EXPECT_EQ(writes(0x0888).last, "0C");
    EXPECT_EQ(events(0x100A2).count, 1u);
    // The throttle release goes out once in the module's life: 0x10185 and
    // 0x10186 (0x10183 and 0x10184 also carry the propeller demand).
    for (uint32_t id : {0x10185u, 0x10186u}) {
        EXPECT_EQ(events(id).count, 1u) << std::hex << id;
        EXPECT_EQ(static_cast<int32_t>(events(id).last.value), -4096) << std::hex << id;
    }

    // The displays go on drawing on the running tick count.
    const uint32_t before = pictures();
    RunFrames(*sim, 150);
    EXPECT_GT(pictures(), before);
    sim->Stop();
}

TEST_F(InProcessModule, InstallResetsTheIceProtectionBeforeTheLinkAndKillShutsTheFmsFirst) {
    auto sim = Make(true);
    RunFrames(*sim, 60);
    ASSERT_EQ(FmsStarted, 1);
    ASSERT_NE(WaypointDatabase, nullptr);
    // The boots and a propeller heater as a running de-ice cycle leaves them.
    IceProtectionState.BootOutput[0] = 255;
    IceProtectionState.HeaterOutput[0] = 1;
    // The link's opening is its first write, the library version at 0x330A.
    int boot_at_link = -1;
    int heater_at_link = -1;
    sim->fsuipc().SetWriteLogger([&](const simhost::FsuipcWriteRecord& w) {
        if (w.offset == 0x330A && boot_at_link < 0) {
            boot_at_link = IceProtectionState.BootOutput[0];
            heater_at_link = IceProtectionState.HeaterOutput[0];
        }
    });
    g_watch_efis_delete = true;
    g_fms_shut_down_at_efis_delete = false;
    sim->Reload();
    g_watch_efis_delete = false;
    EXPECT_TRUE(g_fms_shut_down_at_efis_delete);
    EXPECT_EQ(boot_at_link, 0);
    EXPECT_EQ(heater_at_link, 0);
    sim->fsuipc().SetWriteLogger(nullptr);
    sim->Stop();
}

TEST_F(InProcessModule, WithoutFsuipcNoOneShotStepRuns) {
    auto sim = Make(false);
    RunFrames(*sim, 90);
    EXPECT_EQ(FsuipcLinkReady.load(), 0);
    EXPECT_EQ(SettingsLoaded, 0);
    EXPECT_EQ(NetworkServerStarted, 0);
    EXPECT_EQ(FmsStarted, 0);
    EXPECT_EQ(NamedVarsRegistered, 0);
    EXPECT_FALSE(fs::exists(SettingsFile(aircraft_)));
    EXPECT_EQ(sim->fsuipc().BatchesServed(), 0u);
    // The systems tick runs whether or not the link is up.
    EXPECT_GE(sim->ticks(), 46u);
}

}  // namespace
}  // namespace zu::e2e
