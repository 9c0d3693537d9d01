// Tests of the simulator stand-in itself, with a small fake gauge module: the
// order in which it calls gauges, the element-list bookkeeping, mouse clicks,
// the variable and named-variable services, panel windows, the FSUIPC server
// and the readers of panel configurations and scenarios.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"
#include "zu/platform/paths.h"
#include "zu/platform/win_ipc.h"
#include "zu/simhost/fsuipc_server.h"
#include "zu/simhost/panel_config.h"
#include "zu/simhost/scenario.h"
#include "zu/simhost/simulator.h"
#include "zu/simhost/state_json.h"

namespace zu::e2e {
namespace {

namespace fs = std::filesystem;
namespace gauge = zu::gauge;
using simhost::Simulator;
using simhost::SimulatorConfig;

// ---------------------------------------------------------------------------
// The fake module: gauge "Dial" with four elements and three mouse
// rectangles, gauge "Lamp" with none.

gauge::ImportTableRecord g_import{gauge::kPanelServicesImportId, nullptr, 0, 0};
std::vector<std::string> g_calls;
std::vector<uint32_t> g_mouse;

void Forward(int slot, gauge::GaugeHeader* g, uintptr_t arg) {
    g_calls.push_back(std::string(g->name) + ":slot" + std::to_string(slot));
    auto fn = gauge::PanelService<gauge::ElementListService>(g_import.panels, slot);
    if (fn != nullptr && g->element_list != nullptr) fn(g->element_list[0], arg);
}
void Install(gauge::GaugeHeader* g, uintptr_t a) {
    Forward(gauge::kSlotElementListInstall, g, a);
}
void Initialise(gauge::GaugeHeader* g, uintptr_t a) {
    Forward(gauge::kSlotElementListInitialise, g, a);
}
void Update(gauge::GaugeHeader* g, uintptr_t a) {
    Forward(gauge::kSlotElementListUpdate, g, a);
}
void Draw(gauge::GaugeHeader* g, uintptr_t a) {
    Forward(gauge::kSlotElementListDraw, g, a);
}
void Kill(gauge::GaugeHeader* g, uintptr_t a) {
    Forward(gauge::kSlotElementListKill, g, a);
}

double NeedleCallback(gauge::ElementHeader* e) {
    return e->source_value * 2;
}
double StringCallback(gauge::ElementHeader* e) {
    auto* s = reinterpret_cast<gauge::StringElement*>(e);
    std::snprintf(s->text, sizeof s->text, "ALT %d", static_cast<int>(e->source_value));
    return 0;
}
double IconCallback(gauge::ElementHeader*) {
    return 2;
}

gauge::ElementHeader* g_static_next[] = {nullptr};
gauge::IconElement g_static{
    {gauge::ElementType::StaticImage, 1, {0, 0}, 0, g_static_next, 0, 0, nullptr}, 0, 0};
gauge::IconElement g_icon{
    {gauge::ElementType::Icon, 2, {0, 0}, 0, nullptr, 0, 0, IconCallback}, 3, 0};
gauge::StringElement g_string{};
gauge::NeedleElement g_needle{};
gauge::ElementHeader* g_string_next[] = {&g_icon.header, &g_static.header, nullptr};
gauge::ElementHeader* g_needle_next[] = {&g_string.header, nullptr};
gauge::ElementHeader* g_dial_list[] = {&g_needle.header, nullptr};

void DialCallback(gauge::GaugeHeader* g, int32_t service, uintptr_t) {
    g_calls.push_back(std::string(g->name) + ":cb" + std::to_string(service));
    // Hide the icon while variable 100 is above 5 (read through slot 40).
    if (service == gauge::kServiceUpdate) {
        gauge::HostVariable v{100, nullptr, 0, 0, 0};
        gauge::PanelService<gauge::LookupVariableService>(g_import.panels,
                                                          gauge::kSlotLookupVariable)(&v);
        if (v.value > 5) {
            g_icon.header.image_flags |= gauge::kImageHidden;
        } else {
            g_icon.header.image_flags &= ~gauge::kImageHidden;
        }
    }
}
void LampCallback(gauge::GaugeHeader* g, int32_t service, uintptr_t) {
    g_calls.push_back(std::string(g->name) + ":cb" + std::to_string(service));
}
int32_t MouseHandler(gauge::Point*, uint32_t flags) {
    g_mouse.push_back(flags);
    return 0;
}

gauge::MouseRect g_dial_rects[] = {
    {gauge::MouseRectKind::Parent, 0, 0, 100, 100, 0, 0, nullptr},
    {gauge::MouseRectKind::Child, 0, 0, 20, 20, 0,
     gauge::kMouseLeftSingle | gauge::kMouseLeftRelease, MouseHandler},
    {gauge::MouseRectKind::Child, 20, 0, 20, 20, 0,
     gauge::kMouseLeftRepeat | gauge::kMouseRightRepeat, MouseHandler},
    {gauge::MouseRectKind::End, 0, 0, 0, 0, 0, 0, nullptr},
};

gauge::GaugeHeader g_dial{};
gauge::GaugeHeader g_lamp{};
gauge::LinkageRecord g_linkage{};

void BuildFakeModule() {
    g_needle.header = {
        gauge::ElementType::Needle, 3, {0, 0}, 0, g_needle_next, 100, 0, NeedleCallback};
    g_string.header = {
        gauge::ElementType::String, 0, {0, 0}, 0, g_string_next, 100, 0, StringCallback};
    g_icon.header.image_flags = 0;
    for (gauge::GaugeHeader* h : {&g_dial, &g_lamp}) {
        *h = {};
        h->version = gauge::kGaugeHeaderVersion;
        h->install = Install;
        h->initialise = Initialise;
        h->update = Update;
        h->draw = Draw;
        h->kill = Kill;
        h->default_width_mm = 50;
    }
    g_dial.name = "Dial";
    g_dial.element_list = g_dial_list;
    g_dial.mouse_rect = g_dial_rects;
    g_dial.gauge_callback = DialCallback;
    g_lamp.name = "Lamp Test";
    g_lamp.gauge_callback = LampCallback;
    g_linkage = {};
    g_linkage.module_id = gauge::kModuleId;
    g_linkage.link_version = gauge::kLinkVersion;
    g_linkage.gauges[0] = &g_dial;
    g_linkage.gauges[1] = &g_lamp;
    g_calls.clear();
    g_mouse.clear();
}

class FakeModule : public testing::Test {
  protected:
    void SetUp() override {
        BuildFakeModule();
        aircraft_ = tmp_.path() / "Plane";
        fs::create_directories(aircraft_ / "panel");
        WriteFile(aircraft_ / "plane.AIR", "");
        WriteFile(aircraft_ / "panel" / "panel.cfg",
                  "[Window00]\nident=5\nvisible=1\n"
                  "gauge00=Fake!Dial, 10, 20, 100, 80, big\n"
                  "gauge01=Fake!Lamp Test, 0, 0, 30\n"
                  "gauge02=Fake!Nowhere, 0, 0, 30\n"
                  "gauge03=Other!Dial, 0, 0, 30\n"
                  "[Window01]\nident=7\nvisible=0\n");
        SimulatorConfig cfg;
        cfg.aircraft_dir = aircraft_;
        sim_ = std::make_unique<Simulator>(cfg);
        std::string error;
        ASSERT_TRUE(sim_->AttachModule(&g_linkage, &g_import, &error, "Fake")) << error;
        ASSERT_TRUE(sim_->LoadAircraft(&error)) << error;
    }

    TempDir tmp_;
    fs::path aircraft_;
    std::unique_ptr<Simulator> sim_;
};

TEST_F(FakeModule, CreatesPlacedGaugesAndReportsTheRest) {
    ASSERT_EQ(sim_->gauges().size(), 2u);
    const simhost::GaugeInstance& dial = sim_->gauges()[0];
    EXPECT_EQ(dial.name, "Dial");
    EXPECT_EQ(dial.parameters, "big");
    EXPECT_EQ(dial.width, 100);
    EXPECT_EQ(dial.height, 80);
    EXPECT_EQ(sim_->gauges()[1].name, "Lamp Test");
    EXPECT_EQ(sim_->gauges()[1].height, 30);  // no height given: as wide
    ASSERT_EQ(sim_->panel_warnings().size(), 2u);
    EXPECT_NE(sim_->panel_warnings()[0].find("Nowhere"), std::string::npos);
    EXPECT_NE(sim_->panel_warnings()[1].find("Other!Dial"), std::string::npos);
    EXPECT_EQ(sim_->OpenPanelWindows(), std::set<uint32_t>{5});
    // The aircraft file's path is served at 0x3C00, Windows-style.
    char path[256];
    sim_->fsuipc().Peek(simhost::kOffsetAircraftPath, path, sizeof path);
    EXPECT_EQ(std::string(path), platform::FromHostPath((aircraft_ / "plane.AIR").string()));
}

TEST_F(FakeModule, CallsGaugesInTheSimulatorsOrder) {
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    const std::vector<std::string> start = {"Dial:cb2",         "Dial:slot25",
                                            "Dial:slot26",      "Lamp Test:cb2",
                                            "Lamp Test:slot25", "Lamp Test:slot26"};
    EXPECT_EQ(g_calls, start);
    g_calls.clear();
    sim_->RunFrame();
    const std::vector<std::string> frame = {"Dial:cb6",         "Dial:slot27",     "Lamp Test:cb6",
                                            "Lamp Test:slot27", "Dial:cb10",       "Dial:slot29",
                                            "Lamp Test:cb10",   "Lamp Test:slot29"};
    EXPECT_EQ(g_calls, frame);
    g_calls.clear();
    sim_->Reload();
    const std::vector<std::string> reload = {
        "Lamp Test:cb12",   "Lamp Test:slot31", "Dial:cb12",   "Dial:slot31",
        "Dial:cb2",         "Dial:slot25",      "Dial:slot26", "Lamp Test:cb2",
        "Lamp Test:slot25", "Lamp Test:slot26"};
    EXPECT_EQ(g_calls, reload);
    g_calls.clear();
    sim_->Stop();
    sim_->Stop();
    const std::vector<std::string> stop = {"Lamp Test:cb12", "Lamp Test:slot31", "Dial:cb12",
                                           "Dial:slot31"};
    EXPECT_EQ(g_calls, stop);
}

TEST_F(FakeModule, UpdatesElementsFromVariablesAndCallbacks) {
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    sim_->SetVariable(100, 7);
    sim_->RunFrame();
    const std::vector<simhost::ElementState>& e = sim_->gauges()[0].elements;
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].type, gauge::ElementType::Needle);
    EXPECT_DOUBLE_EQ(e[0].value, 14.0);
    EXPECT_DOUBLE_EQ(g_needle.last_angle, 14.0);
    EXPECT_EQ(e[1].text, "ALT 7");
    EXPECT_EQ(e[2].type, gauge::ElementType::Icon);
    EXPECT_TRUE(e[2].hidden);
    EXPECT_EQ(e[2].updates, 0u);  // hidden: its callback is not called
    EXPECT_EQ(e[3].type, gauge::ElementType::StaticImage);
    EXPECT_EQ(e[3].depth, 1);  // second entry of the string's next-element list

    sim_->SetVariable(100, 1);
    sim_->RunFrame();
    EXPECT_EQ(sim_->gauges()[0].elements[1].text, "ALT 1");
    EXPECT_FALSE(sim_->gauges()[0].elements[2].hidden);
    EXPECT_DOUBLE_EQ(sim_->gauges()[0].elements[2].value, 2.0);
    EXPECT_EQ(sim_->gauges()[0].elements[0].updates, 2u);
}

// A string element's text is taken whenever it changes, however long it is
// and wherever it differs: in its last character, in its end alone, empty.
std::string g_next_text;
double TextCallback(gauge::ElementHeader* e) {
    auto* s = reinterpret_cast<gauge::StringElement*>(e);
    std::snprintf(s->text, sizeof s->text, "%s", g_next_text.c_str());
    return 0;
}

TEST_F(FakeModule, StringElementsTakeEveryChangedText) {
    g_string.header.callback = TextCallback;
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    const std::string long_text(63, 'W');
    const std::vector<std::string> texts = {"A",
                                            "",
                                            "AB",
                                            "ABCDEFG",
                                            "ABCDEFGH",
                                            "ABCDEFGX",
                                            "ABCDEFG",
                                            "ABCDEFGHIJKLMNO",
                                            "ABCDEFGHIJKLMNP",
                                            "ABCDEFGHIJKLMNPQ",
                                            "ABCDEFGHIJKLMNPR",
                                            "ABCDEFGHIJKLMNPRS",
                                            "ABCDEFGHIJKLMNPRT",
                                            "ABCDEFGHIJKLMNPR",
                                            long_text,
                                            long_text.substr(0, 62) + "X",
                                            "AB",
                                            "AB",
                                            "ABCDEFGHIJKLMNO"};
    for (const std::string& text : texts) {
        g_next_text = text;
        sim_->RunFrame();
        ASSERT_EQ(sim_->gauges()[0].elements[1].text, text);
    }
}

// The module writes its texts in the simulator's code page, Windows-1252;
// the state file writes them as the characters they are, and the bytes that
// are no character as \xNN.
TEST_F(FakeModule, ModuleTextsAreWrittenAsTheCodePagesCharacters) {
    g_string.header.callback = TextCallback;
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    const auto text_of = [&](const std::string& bytes) {
        g_next_text = bytes;
        sim_->RunFrame();
        const auto state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
        return state["gauges"][0]["elements"][1]["text"].get<std::string>();
    };
    EXPECT_EQ(text_of(" 9\xB0"
                      "c  SAT"),
              " 9°c  SAT");
    // The upper controls' block: the euro sign to the capital Y with diaeresis.
    EXPECT_EQ(text_of("\x80\x82\x85\x8A\x91\x96\x99\x9F"), "€‚…Š‘–™Ÿ");
    // The five bytes without a character, and the control bytes.
    EXPECT_EQ(text_of("\x81\x8D\x8F\x90\x9D"), "\\x81\\x8D\\x8F\\x90\\x9D");
    EXPECT_EQ(text_of("A\x01\x1F\x7F"
                      "B"),
              "A\\x01\\x1F\\x7FB");
    // The upper half as Latin-1 has it: no-break space, e acute, y diaeresis.
    EXPECT_EQ(text_of("\xA0\xE9\xFF"), "\u00A0éÿ");

    sim_->RegisterNamedVariable("caf\xE9_temp\x8F");
    const auto state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    EXPECT_EQ(state["named_variables"].back()["name"], "café_temp\\x8F");
}

// `expect lit` and `expect shows` take a module's text as the state file
// writes it or with \xNN for its bytes.
TEST_F(FakeModule, TextChecksTakeTheCharactersOrTheirBytes) {
    g_string.header.callback = TextCallback;
    g_next_text =
        "-4\xB0"
        "c  SAT\x81";
    simhost::Scenario scenario;
    std::string error;
    ASSERT_TRUE(
        simhost::Scenario::Parse("at 0 expect lit Dial \"-4°c  SAT\\x81\"\n"
                                 "at 0 expect lit Dial \"-4\\xB0c  SAT\\x81\"\n"
                                 "at 0 expect lit Dial \"-4\\xb0c  SAT\\x81\"\n"
                                 "at 0 expect shows Dial °c\n"
                                 "at 0 expect shows Dial \\xB0c\n"
                                 "at 0 expect lit Dial \"-4°c  SAT\"\n"
                                 "at 0 expect shows Dial \\xB1c\n"
                                 "at 0 expect shows Dial \"4 c\"\n",
                                 "s.txt", &scenario, &error))
        << error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    simhost::ScenarioContext ctx{*sim_, nullptr};
    sim_->RunFrame();
    sim_->BeginFrame();
    scenario.RunDue(ctx, sim_->elapsed_seconds());
    sim_->RunGauges();
    scenario.Finish();
    const auto& r = scenario.results();
    ASSERT_EQ(r.size(), 8u);
    for (size_t i = 0; i < 5; ++i) EXPECT_TRUE(r[i].ok) << r[i].line << ": " << r[i].message;
    for (size_t i = 5; i < 8; ++i) EXPECT_FALSE(r[i].ok) << r[i].line;
    // What the failure tells is the text as the state file has it.
    EXPECT_EQ(r[5].message, "Dial shows \"-4°c  SAT\\x81\"");
}

TEST_F(FakeModule, ClicksDeliverTheEventsARectangleTakes) {
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    simhost::GaugeInstance* dial = sim_->FindGauge("dial");
    ASSERT_NE(dial, nullptr);
    EXPECT_TRUE(sim_->Click(*dial, 1, false, &error)) << error;
    EXPECT_EQ(g_mouse, (std::vector<uint32_t>{gauge::kMouseLeftSingle, gauge::kMouseLeftRelease}));
    g_mouse.clear();
    EXPECT_TRUE(sim_->Click(*dial, 2, true, &error)) << error;
    EXPECT_EQ(g_mouse, std::vector<uint32_t>{gauge::kMouseRightRepeat});
    g_mouse.clear();
    EXPECT_FALSE(sim_->Click(*dial, 1, true, &error));   // takes no right clicks
    EXPECT_FALSE(sim_->Click(*dial, 0, false, &error));  // no handler
    EXPECT_FALSE(sim_->Click(*dial, 3, false, &error));  // past the list
    EXPECT_TRUE(g_mouse.empty());
}

TEST_F(FakeModule, ServesVariablesNamedVariablesAndPanelWindows) {
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    gauge::PanelServiceTable* t = g_import.panels;
    ASSERT_NE(t, nullptr);

    gauge::HostVariable v{4242, nullptr, 9, 1.5, 0};
    gauge::PanelService<gauge::LookupVariableService>(t, gauge::kSlotLookupVariable)(&v);
    EXPECT_EQ(v.value, 0.0);  // unknown token
    EXPECT_EQ(v.value_type, 0u);
    ASSERT_NE(v.value_ptr, nullptr);
    sim_->SetVariable(4242, 3.25);
    EXPECT_EQ(*static_cast<const double*>(v.value_ptr), 3.25);

    auto reg = gauge::PanelService<gauge::RegisterNamedVariableService>(
        t, gauge::kSlotRegisterNamedVariable);
    auto check =
        gauge::PanelService<gauge::CheckNamedVariableService>(t, gauge::kSlotCheckNamedVariable);
    auto set = gauge::PanelService<gauge::SetNamedVariableService>(t, gauge::kSlotSetNamedVariable);
    auto get = gauge::PanelService<gauge::GetNamedVariableService>(t, gauge::kSlotGetNamedVariable);
    EXPECT_EQ(check("qorra prop0 rpm"), -1);
    const int32_t id = reg("qorra prop0 rpm");
    EXPECT_GE(id, 0);
    EXPECT_EQ(reg("QORRA PROP0 RPM"), id);
    EXPECT_EQ(check("qorra prop0 rpm"), id);
    set(id, 1200.0);
    EXPECT_EQ(get(id), 1200.0);
    set(id + 100, 5.0);  // unknown ids are ignored
    EXPECT_EQ(get(id + 100), 0.0);

    // Slot 11 only asks whether a window is open: it changes nothing and is
    // not recorded; 44 opens, 46 toggles, 45 closes.
    auto is_open =
        gauge::PanelService<gauge::PanelWindowService>(t, gauge::kSlotPanelWindowCloseIdent);
    auto open = gauge::PanelService<gauge::PanelWindowService>(t, gauge::kSlotPanelWindowOpen);
    auto toggle = gauge::PanelService<gauge::PanelWindowService>(t, gauge::kSlotPanelWindowToggle);
    auto close = gauge::PanelService<gauge::PanelWindowService>(t, gauge::kSlotPanelWindowClose);
    EXPECT_EQ(is_open(92), 0);
    toggle(92);
    EXPECT_EQ(sim_->OpenPanelWindows(), (std::set<uint32_t>{5, 92}));
    EXPECT_EQ(is_open(92), 1);
    EXPECT_EQ(is_open(92), 1);
    EXPECT_EQ(open(22), 1);
    EXPECT_EQ(open(22), 1);
    EXPECT_EQ(sim_->OpenPanelWindows(), (std::set<uint32_t>{5, 22, 92}));
    EXPECT_EQ(close(22), 1);
    ASSERT_EQ(sim_->PanelWindowCalls().size(), 4u);
    EXPECT_EQ(sim_->PanelWindowCalls()[1].slot, gauge::kSlotPanelWindowOpen);
    // The state file names each recorded call's service as the log does.
    const nlohmann::json windows =
        nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr))["panel_windows"];
    ASSERT_EQ(windows["calls"].size(), 4u);
    const char* services[] = {"toggle", "open", "open", "close"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(windows["calls"][i]["service"], services[i]) << i;

    gauge::PanelService<gauge::TriggerKeyEventService>(t, gauge::kSlotTriggerKeyEvent)(0x10172,
                                                                                       255);
    ASSERT_EQ(sim_->KeyEvents().size(), 1u);
    EXPECT_EQ(sim_->KeyEvents()[0].id, 0x10172u);
    EXPECT_TRUE(sim_->KeyEvents()[0].from_module);
}

// Named variables keep their ids, names and values however many are
// registered after them, while one of them is set from another thread as
// well as from the gauge thread: every set is counted.
TEST_F(FakeModule, NamedVariablesStayWhereTheyAreAsMoreAreRegistered) {
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    const int32_t first = sim_->RegisterNamedVariable("busy one");
    constexpr uint64_t kSets = 20000;
    std::thread setter([&] {
        for (uint64_t i = 0; i < kSets; ++i) sim_->SetNamedVariable(first, static_cast<double>(i));
    });
    std::vector<int32_t> ids;
    for (int i = 0; i < 600; ++i) {
        const int32_t id = sim_->RegisterNamedVariable(("var " + std::to_string(i)).c_str());
        ASSERT_GE(id, 0);
        sim_->SetNamedVariable(id, i * 1.5);
        sim_->SetNamedVariable(first, -1.0);  // on the gauge thread, meanwhile
        ids.push_back(id);
    }
    setter.join();
    sim_->SetNamedVariable(first, 42.0);
    for (int i = 0; i < 600; ++i) {
        ASSERT_EQ(sim_->GetNamedVariable(ids[i]), i * 1.5) << i;
        ASSERT_EQ(sim_->FindNamedVariable("VAR " + std::to_string(i)), ids[i]);
    }
    const std::vector<simhost::NamedVariable> all = sim_->NamedVariables();
    ASSERT_EQ(all.size(), static_cast<size_t>(ids.back()) + 1);
    EXPECT_EQ(all[first].name, "busy one");
    EXPECT_EQ(all[first].sets, kSets + 601);
    EXPECT_EQ(all[first].value, 42.0);
    EXPECT_EQ(all[ids[599]].name, "var 599");
    EXPECT_EQ(all[ids[599]].sets, 1u);
    EXPECT_EQ(sim_->GetNamedVariable(ids.back() + 1), 0.0);
}

// However many key events arrive, memory keeps the most recent window of
// them, in order, and the counts per event cover all of them.
TEST_F(FakeModule, KeepsARecentWindowOfKeyEventsAndCountsThemAll) {
    std::string error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    const uint32_t n = static_cast<uint32_t>(simhost::kKeyEventWindow) + 1000;
    for (uint32_t i = 0; i < n; ++i) sim_->ReceiveKeyEvent(0x10000 + i % 3, i, i % 3 != 2);
    const auto events = sim_->KeyEvents();
    ASSERT_EQ(events.size(), simhost::kKeyEventWindow);
    EXPECT_EQ(events.front().value, 1000u);  // the oldest kept
    EXPECT_EQ(events.back().value, n - 1);
    for (size_t i = 1; i < events.size(); ++i) ASSERT_EQ(events[i].value, events[i - 1].value + 1);
    EXPECT_EQ(sim_->KeyEventsTotal(), n);
    EXPECT_EQ(sim_->ModuleKeyEventsTotal(), n - n / 3);
    const auto counts = sim_->KeyEventCounts();
    ASSERT_EQ(counts.size(), 3u);
    EXPECT_EQ(counts.at(0x10000).count, (n + 2) / 3);
    uint32_t last_third = 0;  // the last event of id 0x10002 (a scenario's)
    for (uint32_t i = 0; i < n; ++i) last_third = i % 3 == 2 ? i : last_third;
    EXPECT_EQ(counts.at(0x10002).last.value, last_third);
    EXPECT_FALSE(counts.at(0x10002).last.from_module);

    const nlohmann::json state = nlohmann::json::parse(simhost::BuildStateJson(*sim_, nullptr));
    EXPECT_EQ(state["key_events"].size(), simhost::kKeyEventWindow);
    EXPECT_EQ(state["key_event_log"]["total"], n);
    EXPECT_EQ(state["key_event_log"]["kept"], simhost::kKeyEventWindow);
    EXPECT_EQ(state["key_event_log"]["counts"].size(), 3u);
}

// The state file, written member by member and gauge by gauge as it is
// made, is the same text as its whole document dumped with an indent of two:
// here with gauges, events and a scenario's results, and without gauges.
TEST_F(FakeModule, StateFileIsTheWholeDocumentIndentedByTwo) {
    for (int i = 0; i < 3; ++i) sim_->RunFrame();
    sim_->ReceiveKeyEvent(0x10000, 7, false);
    simhost::Scenario scenario;
    std::string error;
    ASSERT_TRUE(simhost::Scenario::Parse("at 0 key 0x10001 3\n", "s.txt", &scenario, &error))
        << error;
    const std::string text = simhost::BuildStateJson(*sim_, &scenario);
    const auto whole = nlohmann::ordered_json::parse(text);
    EXPECT_FALSE(whole["gauges"].empty());
    EXPECT_EQ(whole.dump(2) + "\n", text);

    sim_->Stop();
    simhost::Simulator empty(SimulatorConfig{});
    const std::string bare = simhost::BuildStateJson(empty, nullptr);
    const auto bare_whole = nlohmann::ordered_json::parse(bare);
    EXPECT_TRUE(bare_whole["gauges"].empty());
    EXPECT_EQ(bare_whole.dump(2) + "\n", bare);
}

// Every event line reaches the log whole, however long, with its frame.
TEST_F(FakeModule, EventLogLinesAreWrittenWhole) {
    sim_.reset();
    std::ostringstream log;
    SimulatorConfig cfg;
    cfg.aircraft_dir = aircraft_;
    cfg.event_log = &log;
    sim_ = std::make_unique<Simulator>(cfg);
    std::string error;
    ASSERT_TRUE(sim_->AttachModule(&g_linkage, &g_import, &error, "Fake")) << error;
    ASSERT_TRUE(sim_->LoadAircraft(&error)) << error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    sim_->RunFrame();
    const std::string name(700, 'v');
    const int32_t id = sim_->RegisterNamedVariable(name.c_str());
    sim_->ReceiveKeyEvent(0x1011C, 4294967295u, true);
    sim_->ReceiveKeyEvent(0x10001, 7, false);
    sim_->RunFrame();
    sim_->ReceiveKeyEvent(0x10002, 0, true);
    sim_.reset();  // stops, logging to `log` for the last time
    const std::string text = log.str();
    EXPECT_NE(
        text.find("frame 1: named variable " + std::to_string(id) + " registered: " + name + "\n"),
        std::string::npos);
    EXPECT_NE(text.find("\nframe 1: key event 0x1011C 4294967295\n"), std::string::npos);
    EXPECT_NE(text.find("\nframe 1: scenario key event 0x10001 7\n"), std::string::npos);
    EXPECT_NE(text.find("\nframe 2: key event 0x10002 0\n"), std::string::npos);
}

TEST_F(FakeModule, RunsScenarioCommandsAtTheirTime) {
    std::string error;
    simhost::Scenario scenario;
    ASSERT_TRUE(
        simhost::Scenario::Parse("at 0.1 var 100 9   # later\n"
                                 "at 0 var 100 4\n"
                                 "at 0 expect var 100 4\n"
                                 "at 0.05 click \"Lamp Test\" 0\n"
                                 "at 0.1 click Dial 1 left\n"
                                 "at 0.1 key 0x10172 255\n"
                                 "at 0.2 expect offset 0x3308 u32 0xFADE0007\n",
                                 "s.txt", &scenario, &error))
        << error;
    ASSERT_TRUE(sim_->Start(&error)) << error;
    simhost::ScenarioContext ctx{*sim_, nullptr};
    std::vector<double> seen;
    for (int i = 0; i < 9; ++i) {
        sim_->BeginFrame();
        scenario.RunDue(ctx, sim_->elapsed_seconds());
        seen.push_back(sim_->Variable(100));
        sim_->RunGauges();
    }
    scenario.Finish();
    // 0.1 s falls in frame 3 (100 ms at 30 frames per second).
    EXPECT_EQ(seen, (std::vector<double>{4, 4, 9, 9, 9, 9, 9, 9, 9}));
    const auto& r = scenario.results();
    ASSERT_EQ(r.size(), 7u);
    EXPECT_TRUE(r[2].ok) << r[2].message;
    EXPECT_FALSE(r[3].ok);  // Lamp Test has no mouse rectangles
    EXPECT_TRUE(r[4].ok) << r[4].message;
    EXPECT_EQ(r[4].frame, 3u);
    EXPECT_TRUE(r[6].ok) << r[6].message;
    EXPECT_EQ(scenario.failures(), 1);
    ASSERT_EQ(sim_->KeyEvents().size(), 1u);
    EXPECT_FALSE(sim_->KeyEvents()[0].from_module);
}

// What a scenario names is looked up on the panel when it is read, so a
// misspelt gauge or rectangle stops the run before the flight, with its line.
TEST_F(FakeModule, ScenarioTargetsAreCheckedAgainstThePanelBeforeTheFlight) {
    std::string error;
    simhost::Scenario scenario;
    ASSERT_TRUE(
        simhost::Scenario::Parse("at 0 click Dial 1\n"
                                 "at 0 click dial 2 right   # letter case aside\n"
                                 "at 30 click NoSuchGauge 1\n"
                                 "at 1 click Dial 3\n"
                                 "at 1 click Dial 0\n"
                                 "at 1 click Dial 1 right\n"
                                 "at 1 click \"Lamp Test\" 0\n"
                                 "at 2 cdu ENTER\n"
                                 "at 2 var 100 1\n",
                                 "s.txt", &scenario, &error))
        << error;
    const std::vector<std::string> problems = scenario.CheckTargets(*sim_);
    ASSERT_EQ(problems.size(), 6u);
    EXPECT_EQ(problems[0], "s.txt:3: click: gauge 'NoSuchGauge' is not on the panel");
    EXPECT_EQ(problems[1].rfind("s.txt:4: ", 0), 0u) << problems[1];
    EXPECT_NE(problems[1].find("no rectangle 3"), std::string::npos) << problems[1];
    EXPECT_NE(problems[2].find("s.txt:5: click: mouse rectangle 0"), std::string::npos);
    EXPECT_NE(problems[3].find("s.txt:6: "), std::string::npos);
    EXPECT_NE(problems[3].find("takes no right clicks"), std::string::npos) << problems[3];
    EXPECT_NE(problems[4].find("s.txt:7: "), std::string::npos);
    EXPECT_NE(problems[4].find("has 0 mouse rectangles"), std::string::npos) << problems[4];
    EXPECT_EQ(problems[5], "s.txt:8: cdu: gauge 'FMS' is not on the panel");
    // Nothing ran: the checks only look.
    EXPECT_TRUE(g_mouse.empty());
    EXPECT_EQ(sim_->frame(), 0u);
}

TEST(ScenarioReader, ListsTheCommandsAFlightEndsBefore) {
    simhost::Scenario s;
    std::string error;
    ASSERT_TRUE(
        simhost::Scenario::Parse("at 1 var 1 1\n"
                                 "at 2.5 snapshot late\n"
                                 "at 2 expect var 1 1\n"
                                 "at 2.0000000001 var 1 2\n",
                                 "t.txt", &s, &error))
        << error;
    EXPECT_EQ(s.CommandsAfter(2.0), (std::vector<std::string>{"t.txt:2: at 2.5 s: snapshot late"}));
    EXPECT_EQ(s.CommandsAfter(0.5).size(), 4u);
    EXPECT_TRUE(s.CommandsAfter(2.5).empty());
}

// ---------------------------------------------------------------------------
// Readers

TEST(ScenarioReader, RejectsBadLinesWithTheirLineNumber) {
    simhost::Scenario s;
    std::string error;
    const struct {
        const char* text;
        const char* needle;
    } cases[] = {
        {"\n\nat 1 warp 9\n", "s.txt:3: unknown command 'warp'"},
        {"var 1 2\n", "s.txt:1: expected 'at SECONDS"},
        {"at -1 var 1 2\n", "not a time"},
        {"at 1 var 1\n", "usage: var TOKEN VALUE"},
        {"at 1 offset 0xFFFF u16 1\n", "past the end"},
        {"at 1 offset 0x100 u8 256\n", "not a u8 value"},
        {"at 1 offset 0x100 f16 1\n", "type"},
        {"at 1 click \"Stby Altimeter 1\n", "quote"},
        {"at 1 expect speed 3\n", "unknown check"},
        {"at 1 snapshot ../x\n", "snapshot name"},
        {"at 1 expect lit\n", "expect lit needs a gauge"},
        {"at 1 expect shows Caution\n", "expect shows needs a gauge and a text"},
        {"at 1 expect element Gear 1 angle\n", "expect element needs"},
        {"at 1 expect element Gear -1 hidden\n", "expect element needs"},
        {"at 1 expect element Gear 1 hidden 3\n", "expect element needs"},
        {"at 1 expect played\n", "expect played needs"},
        {"at 1 instructor 1 512 2\n", "state index (0..511)"},
        {"at 1 instructor 1 3\n", "needs a group"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(simhost::Scenario::Parse(c.text, "s.txt", &s, &error)) << c.text;
        EXPECT_NE(error.find(c.needle), std::string::npos) << c.text << " -> " << error;
    }
    ASSERT_TRUE(simhost::Scenario::Parse("at 2 click \"Stby Altimeter\" 3 right # x\n", "s.txt", &s,
                                         &error))
        << error;
    EXPECT_EQ(s.results()[0].command, "click \"Stby Altimeter\" 3 right");
}

TEST(PanelReader, ReadsWindowsAndGaugeLines) {
    const simhost::PanelConfig p = simhost::ParsePanelConfig(
        "// comment\n[Window Titles]\nWindow00=Main\nWindow01=FMS\n\n"
        "[Window00]\nsize_mm=800,600\nvisible=1\nfile=pedestal.png\n"
        "gauge00=ZeveridUvo!Stby Altimeter, 1, 2, 124\n"
        "gauge01=ZeveridUvo!VSI1_VC, 1, 2, 163, 150, VC,extra\n"
        "gauge02=ZeveridUvo!HSI1, 1, 2, 163, VC\n"
        "gauge03=ZeveridUvo!HSI2, 1, x, 163\n"
        "gauge04=HSI2, 1, 2, 163\n"
        "[Window01]\nident=53\nvisible=0\nposition=9\n");
    ASSERT_EQ(p.windows.size(), 2u);
    const simhost::PanelWindow& w = p.windows[0];
    EXPECT_EQ(w.title, "Main");
    EXPECT_EQ(w.ident, 0u);
    EXPECT_EQ(w.size_w, 800);
    EXPECT_EQ(w.background, "pedestal.png");
    EXPECT_EQ(p.windows[1].background, "");
    ASSERT_EQ(w.gauges.size(), 3u);
    EXPECT_EQ(w.gauges[0].name, "Stby Altimeter");
    EXPECT_FALSE(w.gauges[0].height_given);
    EXPECT_EQ(w.gauges[1].height, 150);
    EXPECT_EQ(w.gauges[1].parameters, "VC,extra");
    EXPECT_EQ(w.gauges[2].height, 163);
    EXPECT_EQ(w.gauges[2].parameters, "VC");
    EXPECT_EQ(p.windows[1].ident, 53u);
    EXPECT_FALSE(p.windows[1].visible);
    ASSERT_EQ(p.warnings.size(), 3u);  // bad y, no module, bad position
    EXPECT_NE(p.warnings[0].find("line 13"), std::string::npos) << p.warnings[0];
}

// Counts per key stay right for many keys coming in any order, and a copy of
// a table counts on its own.
TEST(CountTable, CountsManyKeysInAnyOrderAndCopiesCountApart) {
    simhost::CountTable<uint32_t, int> table;
    std::map<uint32_t, uint64_t> counts;
    std::map<uint32_t, std::pair<int, int>> first_last;
    uint32_t key = 1;
    for (int i = 0; i < 20000; ++i) {
        key = key * 1103515245u + 12345u;
        const uint32_t k = (key >> 8) % 700 * 64;  // keys 64 apart
        table.Add(k, static_cast<uint64_t>(i), i);
        if (counts[k]++ == 0) first_last[k].first = i;
        first_last[k].second = i;
    }
    ASSERT_EQ(table.counts().size(), counts.size());
    for (const auto& [k, n] : counts) {
        const simhost::KeyCount<int>& c = table.counts().at(k);
        ASSERT_EQ(c.count, n) << k;
        ASSERT_EQ(c.first, first_last[k].first) << k;
        ASSERT_EQ(c.last, first_last[k].second) << k;
        ASSERT_EQ(c.last_frame, static_cast<uint64_t>(first_last[k].second)) << k;
    }
    const uint32_t some = counts.begin()->first;
    simhost::CountTable<uint32_t, int> copy = table;
    copy.Add(some, 99999, -1);
    EXPECT_EQ(copy.Count(some), counts[some] + 1);
    EXPECT_EQ(table.Count(some), counts[some]);
    table.Clear();
    table.Add(some, 1, 5);
    EXPECT_EQ(table.Count(some), 1u);
    EXPECT_EQ(table.counts().at(some).first, 5);
}

// ---------------------------------------------------------------------------
// FSUIPC server, spoken to through the window-message transport

class FsuipcServerTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(server_.Open(false, &error)) << error;
        window_ = platform::FindTopLevelWindow("FS98MAIN");
        message_ = platform::RegisterWindowMessage("FsasmLib:IPC");
        const std::string name = "simhost-test:" + std::to_string(++counter_);
        bool existed = false;
        area_ = platform::CreateSharedArea(name.c_str(), kAreaSize, &existed);
        ASSERT_NE(area_, 0u);
        view_ = static_cast<uint8_t*>(platform::MapSharedArea(area_));
        atom_ = platform::GlobalAddAtom(name.c_str());
        std::memset(view_, 0, kAreaSize);
    }
    void TearDown() override {
        platform::GlobalDeleteAtom(atom_);
        platform::UnmapSharedArea(view_);
        platform::CloseSharedArea(area_);
    }

    void Put32(uint32_t v) {
        std::memcpy(view_ + pos_, &v, 4);
        pos_ += 4;
    }
    // Queues a read; returns where its answer lands.
    uint32_t Read(uint32_t offset, uint32_t size) {
        Put32(1);
        Put32(offset);
        Put32(size);
        Put32(0);
        const uint32_t at = pos_;
        pos_ += size;
        return at;
    }
    void Write(uint32_t offset, const std::vector<uint8_t>& data) {
        Put32(2);
        Put32(offset);
        Put32(static_cast<uint32_t>(data.size()));
        std::memcpy(view_ + pos_, data.data(), data.size());
        pos_ += static_cast<uint32_t>(data.size());
    }
    intptr_t Send() {
        Put32(0);
        pos_ = 0;
        intptr_t answer = -1;
        EXPECT_TRUE(platform::SendMessageTimeout(window_, message_, atom_, 0, 2000, &answer));
        return answer;
    }
    uint32_t At32(uint32_t at) const {
        uint32_t v;
        std::memcpy(&v, view_ + at, 4);
        return v;
    }

    static constexpr uint32_t kAreaSize = 4096;
    static inline int counter_ = 0;
    simhost::FsuipcServer server_;
    platform::WindowHandle window_ = 0;
    uint32_t message_ = 0;
    platform::AreaHandle area_ = 0;
    uint8_t* view_ = nullptr;
    uint16_t atom_ = 0;
    uint32_t pos_ = 0;
};

TEST_F(FsuipcServerTest, AnswersReadsAndStoresWritesInOrder) {
    Write(0x0BC8, {0x34, 0x12});
    const uint32_t a = Read(0x0BC8, 2);
    const uint32_t b = Read(0x3304, 8);
    const uint32_t c = Read(0xFFFE, 4);  // half beyond the image
    Write(simhost::kOffsetClientVersion, {0xEC, 0x03});
    const uint32_t d = Read(0x3308, 4);
    EXPECT_EQ(Send(), 1);
    EXPECT_EQ(view_[a] | view_[a + 1] << 8, 0x1234);
    EXPECT_EQ(At32(b), simhost::kStandInFsuipcVersion);
    EXPECT_EQ(At32(b + 4), 0xFADE0007u);
    EXPECT_EQ(At32(c), 0u);
    // The client's version is kept, the simulator word is not overwritten.
    EXPECT_EQ(At32(d), 0xFADE0007u);
    EXPECT_EQ(server_.ClientVersion(), 1004);
    const auto writes = server_.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].offset, 0x0BC8u);
    EXPECT_EQ(writes[0].hex, "3412");
    EXPECT_EQ(writes[1].hex, "EC03");
}

// The server keeps the most recent writes and, per offset, the count, the
// first and last frame and the last bytes; every write reaches the logger.
TEST_F(FsuipcServerTest, KeepsRecentWritesAndCountsPerOffset) {
    uint64_t logged = 0;
    server_.SetWriteLogger([&](const simhost::FsuipcWriteRecord&) { ++logged; });
    const uint32_t n = static_cast<uint32_t>(simhost::kFsuipcWriteWindow) + 500;
    for (uint32_t i = 0; i < n; ++i) {
        Write(0x0D0C, {static_cast<uint8_t>(i), 0x20});
        if (i % 100 == 0) Write(0x0BC8, {0x01, 0x02});
        ASSERT_EQ(Send(), 1);
    }
    const uint64_t total = n + (n + 99) / 100;
    EXPECT_EQ(server_.WritesTotal(), total);
    EXPECT_EQ(logged, total);
    const auto writes = server_.Writes();
    ASSERT_EQ(writes.size(), simhost::kFsuipcWriteWindow);
    char last[8];
    std::snprintf(last, sizeof last, "%02X20", (n - 1) & 0xFF);
    EXPECT_EQ(writes.back().hex, last);
    const auto counts = server_.WriteCounts();
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts.at(0x0D0C).count, n);
    EXPECT_EQ(counts.at(0x0D0C).last, last);
    EXPECT_EQ(counts.at(0x0D0C).first, "0020");
    EXPECT_EQ(counts.at(0x0BC8).count, (n + 99) / 100);
}

// Records are filled in place as the window goes round: a short write kept
// where a long one was shows its own bytes only, and the reverse.
TEST_F(FsuipcServerTest, RecordsReusedAroundTheWindowHoldTheirOwnWrite) {
    const std::vector<uint8_t> long_write(32, 0xAB);
    std::string long_hex;
    for (int b = 0; b < 32; ++b) long_hex += "AB";
    const uint32_t n = static_cast<uint32_t>(simhost::kFsuipcWriteWindow) * 2 + 7;
    for (uint32_t i = 0; i < n; ++i) {
        if (i % 3 == 0) {
            Write(0x6000, long_write);
        } else {
            Write(0x0D0C, {static_cast<uint8_t>(i)});
        }
        ASSERT_EQ(Send(), 1);
    }
    const auto writes = server_.Writes();
    ASSERT_EQ(writes.size(), simhost::kFsuipcWriteWindow);
    for (size_t k = 0; k < writes.size(); ++k) {
        const uint32_t i = n - static_cast<uint32_t>(writes.size()) + static_cast<uint32_t>(k);
        if (i % 3 == 0) {
            ASSERT_EQ(writes[k].size, 32u);
            ASSERT_EQ(writes[k].hex, long_hex) << "write " << i;
        } else {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", i & 0xFF);
            ASSERT_EQ(writes[k].size, 1u);
            ASSERT_EQ(writes[k].hex, hex) << "write " << i;
        }
    }
}

// What the host pokes stays: publishing, alone or in a batch, writes every
// other byte of its range, beside poked bytes and across neighbouring ones,
// and nothing beyond the image.
TEST_F(FsuipcServerTest, PublishingLeavesPokedBytesAndWritesTheRest) {
    server_.Poke(0x1001, "\xAA\xBB", 2);
    server_.Publish(0x0FFE, "\x01\x02\x03\x04\x05\x06", 6);
    server_.Publish(0x1010, "\x11\x12", 2);  // beside the poked bytes
    {
        simhost::FsuipcServer::Batch image(server_);
        image.Publish(0x1003, "\x21\x22", 2);
        image.Publish(0x2000, "\x31\x32\x33\x34", 4);
        image.Publish(0xFFFE, "\x41\x42\x43\x44", 4);  // half beyond the image
        uint8_t peeked[4] = {};
        image.Peek(0x2000, peeked, 4);
        EXPECT_EQ(peeked[3], 0x34);
    }
    uint8_t got[8] = {};
    server_.Peek(0x0FFE, got, 8);
    const uint8_t want[8] = {0x01, 0x02, 0x03, 0xAA, 0xBB, 0x21, 0x22, 0x00};
    EXPECT_EQ(std::memcmp(got, want, 8), 0);
    server_.Peek(0x1010, got, 2);
    EXPECT_EQ(got[0] | got[1] << 8, 0x1211);
    server_.Peek(0xFFFE, got, 4);
    EXPECT_EQ(got[0] | got[1] << 8 | got[2] << 16 | got[3] << 24, 0x4241);
}

// Every answer is exactly the bytes asked for, whatever the size, over
// whatever the client left in the area; bytes beyond the image read 0.
TEST_F(FsuipcServerTest, AnswersReadsOfEverySizeExactly) {
    std::vector<uint8_t> pattern(16);
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>(0x81 + i);
    server_.Poke(0x2000, pattern.data(), 16);
    server_.Poke(0xFFFA, pattern.data(), 6);
    std::memset(view_, 0xEE, kAreaSize);
    std::vector<std::pair<uint32_t, uint32_t>> reads;  // size, where
    for (uint32_t size : {1u, 2u, 3u, 4u, 5u, 8u, 12u, 16u})
        reads.emplace_back(size, Read(0x2000, size));
    const uint32_t edge = Read(0xFFFA, 8);
    EXPECT_EQ(Send(), 1);
    for (const auto& [size, at] : reads) {
        EXPECT_EQ(std::memcmp(view_ + at, pattern.data(), size), 0) << size;
        EXPECT_EQ(view_[at + size], 1) << size;  // the next record's kind, untouched
    }
    EXPECT_EQ(std::memcmp(view_ + edge, pattern.data(), 6), 0);
    EXPECT_EQ(view_[edge + 6] | view_[edge + 7], 0);
}

// A long batch (the module's poll queues about a hundred records) is applied
// record by record in its order, its last records as its first.
TEST_F(FsuipcServerTest, AppliesEveryRecordOfALongBatchInOrder) {
    constexpr uint32_t kWrites = 270;
    for (uint32_t i = 0; i < kWrites; ++i) {
        Write(0x4000 + i, {static_cast<uint8_t>(i * 7 + 1)});
    }
    const uint32_t before = Read(0x4005, 1);  // record 270
    Write(0x4005, {0xA5});                    // overwrites the sixth record's byte
    const uint32_t after = Read(0x4005, 1);   // must see the rewrite
    const uint32_t last = Read(0x4000 + kWrites - 1, 1);
    const uint32_t first = Read(0x4000, 1);
    EXPECT_EQ(Send(), 1);
    EXPECT_EQ(view_[before], 5 * 7 + 1);
    EXPECT_EQ(view_[after], 0xA5);
    EXPECT_EQ(view_[last], static_cast<uint8_t>((kWrites - 1) * 7 + 1));
    EXPECT_EQ(view_[first], 1);
    const auto writes = server_.Writes();
    ASSERT_EQ(writes.size(), kWrites + 1);
    EXPECT_EQ(writes[kWrites - 1].offset, 0x4000 + kWrites - 1);
    EXPECT_EQ(writes[kWrites].offset, 0x4005u);
    EXPECT_EQ(writes[kWrites].hex, "A5");
}

TEST_F(FsuipcServerTest, RefusesMalformedBatchesWithoutApplyingThem) {
    Write(0x0BC8, {0x01, 0x00});
    Put32(2);  // a write whose data would run past the end of the area
    Put32(0x0BCA);
    Put32(kAreaSize);
    EXPECT_EQ(Send(), 0);
    uint16_t v = 0xFFFF;
    server_.Peek(0x0BC8, &v, 2);
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(server_.Writes().empty());

    std::memset(view_, 0, kAreaSize);
    Put32(7);  // unknown kind
    EXPECT_EQ(Send(), 0);

    std::memset(view_, 0, kAreaSize);
    Read(0x3304, 4);
    intptr_t answer = -1;  // an atom that names no area
    EXPECT_TRUE(platform::SendMessageTimeout(window_, message_, 0xFFF0, 0, 2000, &answer));
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(server_.BatchesRefused(), 3u);
    EXPECT_EQ(server_.BatchesServed(), 0u);
}

}  // namespace
}  // namespace zu::e2e
