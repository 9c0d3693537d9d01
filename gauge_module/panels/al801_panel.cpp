#include "panels/al801_panel.h"

#include <cstdio>
#include <cstring>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/settings_file.h"
#include "panels/guidance_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

TouchKnobState Al801Touch = {0, 2, 2};
char Al801WindowText[kAl801TextSize + 1] = "    ";
char Al801EpicText[7] = "";

namespace {

namespace ga = guidance_art;

constexpr int32_t kKnobPan = 466;
constexpr int32_t kDegreesPerFoot = 250;  // the pointer turns one degree per 250 ft
constexpr uint32_t kWindowColour = 0x005A96D2;
constexpr TextStyle kWindowStyle{"Quartz", 16, kWindowColour, 0, 2, 700};

enum : int32_t { kFace = 0, kWindow = 1, kPointerUnlit = 2, kPointerLit = 3 };

struct Al801Elements {
    gauge::ElementHeader face;
    gauge::StringElement window;
    gauge::NeedleElement pointer[2];
    gauge::ElementHeader* next[4][2];
};

double WindowText(gauge::ElementHeader* element) {
    Al801FormatWindow(Al801WindowText);
    std::memcpy(StringBuffer(element), Al801WindowText, sizeof Al801WindowText);
    if (EPIC != 0) {
        std::memcpy(Al801EpicText, Al801WindowText, sizeof Al801EpicText - 1);
        Al801EpicText[sizeof Al801EpicText - 1] = '\0';
    }
    return 0.0;
}

double PointerAngle(gauge::ElementHeader*) {
    return static_cast<double>(AIRDATA_comp_selected_alt / kDegreesPerFoot);
}

constexpr Al801Elements MakeAl801(Al801Elements* self) {
    Al801Elements e{};
    const ga::Box w = ga::kAl801Window;
    const gauge::Point pivot{ga::kAl801PointerSize.width / 2, ga::kAl801PointerSize.height};
    e.face = StaticImageRecord(ga::kAl801FaceLit, 0, 0, kLitCopy, self->next[0]);
    e.window =
        TextRecord(w.x, w.y, w.width, w.height, kWindowStyle,
                   gauge::kImageTransparent | gauge::kImageLuminous, self->next[1], WindowText);
    e.pointer[0] = NeedleRecord(ga::kAl801Pointer, ga::kAl801KnobX, ga::kAl801KnobY, pivot, 0,
                                self->next[2], 0, PointerAngle);
    e.pointer[1] = NeedleRecord(ga::kAl801Pointer, ga::kAl801KnobX, ga::kAl801KnobY, pivot,
                                kLitCopy, self->next[3], 0, PointerAngle);
    e.next[0][0] = &self->window.header;
    e.next[1][0] = &self->pointer[0].header;
    e.next[2][0] = &self->pointer[1].header;
    e.next[3][0] = nullptr;
    for (auto& n : e.next) n[1] = nullptr;
    return e;
}

constinit Al801Elements gAl801 = MakeAl801(&gAl801);
constinit Al801Elements gAl801Touch = MakeAl801(&gAl801Touch);

gauge::GaugeHeader* gAl801Header = nullptr;
gauge::GaugeHeader* gAl801TouchHeader = nullptr;
uint8_t gAl801IsVc = 0;

// A knob turned while a side holds altitude (and its altitude text is not
// a capture) arms that side's altitude-preselect capture.
void ArmPreselectCapture() {
    if (FGC_comp_AP1_vertical_mode == 1 && FmaFlags1[0] == 0) {
        FGC_comp_AP1_vertical_armed_mode_1 = 1;
    }
    if (FGC_comp_AP2_vertical_mode == 1 && FmaFlags2[0] == 0) {
        FGC_comp_AP2_vertical_armed_mode_1 = 1;
    }
}

void Visibility(gauge::ElementHeader* first, bool lit) {
    const ElementList list(first);
    ShowElement(list, kFace, lit);
    ShowElement(list, kPointerLit, lit);
    ShowElement(list, kPointerUnlit, !lit);
}

void Al801Update(gauge::ElementHeader* first, bool lit) {
    if (FgcMessageState1.code == 3 || FgcMessageState2.code == 3) {
        ArmRefresh(kRefreshEngineInstruments);
    }
    const bool group = ConsumeTrigger(&RefreshCountdown[kRefreshRadios]);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    if (group || all) Visibility(first, lit);
}

template <int32_t Step>
int32_t KnobArea(gauge::Point*, uint32_t) {
    Al801KnobStep(Step);
    return 0;
}

template <int Zone>
int32_t TouchZone(gauge::Point*, uint32_t) {
    const int32_t step = TouchKnobStep(&Al801Touch, Zone, 4, 100, 1000);
    if (step != 0) Al801KnobStep(step);
    return 0;
}

bool KeepOrKill(gauge::GaugeHeader** keep, gauge::GaugeHeader* gauge, int32_t service) {
    if (service == gauge::kServiceKill) {
        PanelKill();
        return false;
    }
    return KeepHeader(keep, gauge, service);
}

}  // namespace

void Al801KnobStep(int32_t step) {
    const int64_t next = int64_t{AIRDATA_comp_selected_alt} + step;
    if (next >= 0 && next <= kSelectedAltitudeMax) {
        AIRDATA_comp_selected_alt = static_cast<int32_t>(next);
    }
    PlayClick(&SoundSet[kSoundClickTiny], kKnobPan);
    ArmRefresh(kRefreshRadios);
    ArmRefresh(kRefreshRmi);
    ArmPreselectCapture();
}

void Al801FormatWindow(char (&text)[kAl801TextSize + 1]) {
    const bool test = AnnunciatorTestSwitch.get() == 2;
    if (Powered(BusPowered.get(kPoweredLeftEssential)) &&
        (AIRDATA_comp_selected_alt > 99 || test)) {
        if (test) {
            std::snprintf(text, sizeof text, "%s%s", "888", " 88");
        } else {
            std::snprintf(text, sizeof text, "%3.0d%s", AIRDATA_comp_selected_alt / 100, " 00");
        }
        return;
    }
    std::snprintf(text, sizeof text, "%s", "    ");
}

void Al801Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepOrKill(&gAl801Header, gauge, service)) return;
    gAl801IsVc = GaugeIsVcFrom(gauge);
    Al801Update(&gAl801.face, PanelLit(PanelLightingCircuit2.get(), gAl801IsVc));
}

void Al801TouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepOrKill(&gAl801TouchHeader, gauge, service)) return;
    Al801Update(&gAl801Touch.face, PanelLightingCircuit2.get() != 0);
}

gauge::ElementHeader* AL801_PanelElementList[2] = {&gAl801.face, nullptr};
gauge::ElementHeader* AL801_Panel_touchElementList[2] = {&gAl801Touch.face, nullptr};

gauge::MouseRect AL801_PanelMouseRect[] = {
    MouseParent(ga::kAl801Size.width, ga::kAl801Size.height),
    MouseChild(65, 15, 22, 19, kCursorIncrease, kHeldClick, KnobArea<1000>),
    MouseChild(76, 32, 26, 20, kCursorIncrease, kHeldClick, KnobArea<100>),
    MouseChild(55, 13, 22, 21, kCursorDecrease, kHeldClick, KnobArea<-1000>),
    MouseChild(56, 33, 20, 20, kCursorDecrease, kHeldClick, KnobArea<-100>),
    MouseEnd()};

gauge::MouseRect AL801_Panel_touchMouseRect[] = {
    MouseParent(ga::kAl801Size.width, ga::kAl801Size.height),
    MouseChild(50, 8, 27, 26, kCursorHand, kTouchZone, TouchZone<0>),
    MouseChild(76, 8, 27, 26, kCursorHand, kTouchZone, TouchZone<1>),
    MouseChild(76, 33, 27, 26, kCursorHand, kTouchZone, TouchZone<2>),
    MouseChild(50, 33, 27, 26, kCursorHand, kTouchZone, TouchZone<3>),
    MouseEnd()};

}  // namespace zu
