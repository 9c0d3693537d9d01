#include "panels/caution_panels.h"

#include <cstring>

#include "core/electrical_system.h"
#include "panels/panel_elements.h"

namespace zu {

// clang-format off
const char* const CautionLegendTable[kCautionLegendCells] = {
    // Row 0
    "PRI INV", "L AC BUS", "EMER LTS DISARMED", "----", "#1 HYD FLUID HOT", "#1 SPU HOT",
    "FLTCOMPT PACK HOT", "#1 ENG FUEL PRESS", "#2 ENG FUEL PRESS", "----", "RUD PRESS", "----",
    "#1 STALL SYS FAIL", "FLT DATA RECORDER",
    // Row 1
    "SEC INV", "R AC BUS", "PITOT HEAT 1", "----", "#2 HYD FLUID HOT", "#2 SPU HOT",
    "#1 BLEED HOT", "#1 ENG HYD PUMP", "#2 ENG HYD PUMP", "#2 BLEED HOT", "----",
    "PUSHER SYS FAIL", "#2 STALL SYS FAIL", "GPWS",
    // Row 2
    "AUX INV", "DC BUS", "----", "----", "FLT CMPT DUCT HOT", "PITOT HEAT 2", "#1 DC GEN HOT",
    "#1 DC GEN", "#2 DC GEN", "#2 DC GEN HOT", "ROLL SPLR INBD HYD", "ROLL SPLR OUTB HYD",
    "NOSE STEERING", "PARKING BRAKE",
    // Row 3
    "L26 AC", "L TRU", "L WSHLD HOT", "----", "CABIN DUCT HOT", "MAIN BATTERY", "#1 AC GEN HOT",
    "#1 AC GEN", "#2 AC GEN", "#2 AC GEN HOT", "#1 RUD HYD", "#2 RYD HYD", "INBD ANTI SKID",
    "OUTBD ANTISKID",
    // Row 4
    "R26 AC", "R TRU", "R WSHLD HOT", "----", "CABIN PACK HOT", "AUX BATERY", "#1 ENG MANUAL",
    "----", "#2 SPU AUX PWR", "#2 ENG MANUAL", "RUD FULL PRESS", "FLAP DRIVE", "LDG GEAR INOP",
    "WT ON WHEELS",
    // Row 5
    "L ELEV HORN HEAT", "R ELEV HORN HEAT", "SIDE WDO HOT", "L TRU HOT", "R TRU HOT",
    "DEICE PRESS", "#1 FUEL FLTR BYPASS", "#1 TANK FUEL LOW", "#2 TANK FUEL LOW",
    "#2 FUEL FLTR BYPASS", "----", "FLAP POWER", "APU", "FUELING ON",
    // Row 6 (warnings)
    "----", "TOUCHED RUNWAY", "#1 ENG OIL PRESS", "#2 ENG OIL PRESS", "SMOKE", "CHECK FIRE DET",
    "CABIN PRESS", "PASS DOOR", "BAG DOOR", "MAIN BAT HOT", "AUX BAT HOT", "----",
    "SERVICE DOOR",
};
// clang-format on

CautionPanelState CautionPanel = {};
CautionPanelState CautionLargePanel = {};

namespace {

namespace oa = overhead_art;

constexpr int32_t kBrightnessRefreshCount = 8;

constexpr TextStyle kLegendStyle{"Arial Narrow", 6, kLegendAmberBright, 0x00000000, 1};

double CautionLegendCallback(gauge::ElementHeader* element);

// Background, then the 97 legends (element k = cell k - 1).
struct CautionElements {
    gauge::ElementHeader background;
    gauge::StringElement legend[kCautionLegendCells];
    gauge::ElementHeader* next[kCautionLegendCells + 1][2];
};

constexpr CautionElements MakeCaution(CautionElements* self) {
    CautionElements c{};
    c.background = StaticImageRecord(oa::kCautionPlate, 0, 0, 0, self->next[0]);
    c.next[0][0] = &self->legend[0].header;
    for (int cell = 0; cell < kCautionLegendCells; ++cell) {
        const int row = cell / kCautionColumns;
        const int column = cell % kCautionColumns;
        TextStyle style = kLegendStyle;
        style.fg_colour = row == kWarningRow ? kLegendRedBright : kLegendAmberBright;
        c.legend[cell] = TextRecord(
            oa::kCautionLampX0 + oa::kCautionLampPitchX * column,
            oa::kCautionLampY0 + oa::kCautionLampPitchY * row, oa::kCautionLampW, oa::kCautionLampH,
            style, gauge::kImageHidden | gauge::kImageTransparent | gauge::kImageLuminous,
            self->next[cell + 1], CautionLegendCallback);
        c.legend[cell].highlight_colour = kCautionLegendNumberBase + static_cast<uint32_t>(cell);
        c.next[cell + 1][0] =
            cell + 1 < kCautionLegendCells ? &self->legend[cell + 1].header : nullptr;
    }
    return c;
}

constinit CautionElements gCaution = MakeCaution(&gCaution);
constinit CautionElements gCautionLarge = MakeCaution(&gCautionLarge);

CautionPanelState* PanelOfLegend(const gauge::ElementHeader* element) {
    const auto* s = reinterpret_cast<const gauge::StringElement*>(element);
    if (s >= gCaution.legend && s < gCaution.legend + kCautionLegendCells) return &CautionPanel;
    if (s >= gCautionLarge.legend && s < gCautionLarge.legend + kCautionLegendCells) {
        return &CautionLargePanel;
    }
    return nullptr;
}

void MarkForRedraw(gauge::ElementHeader* element) {
    if (element != nullptr) element->image_flags &= ~gauge::kImageOnScreen;
}

void ShowOrHide(gauge::ElementHeader* element, bool lit) {
    if (element == nullptr) return;
    if (lit) {
        element->image_flags &= ~gauge::kImageHidden;
    } else {
        element->image_flags |= gauge::kImageHidden;
    }
}

double CautionLegendCallback(gauge::ElementHeader* element) {
    CautionPanelState* panel = PanelOfLegend(element);
    if (panel == nullptr) return 0.0;
    auto* legend = reinterpret_cast<gauge::StringElement*>(element);
    const uint32_t cell = legend->highlight_colour - kCautionLegendNumberBase;
    if (cell >= static_cast<uint32_t>(kCautionLegendCells)) return 0.0;
    if (panel->CautionLegendWrites[cell] >= kCautionLegendWriteLimit) return 0.0;
    std::strncpy(legend->text, CautionLegendTable[cell], kStringBufferSize - 1);
    legend->text[kStringBufferSize - 1] = '\0';
    ++panel->CautionLegendWrites[cell];
    legend->fg_colour = CautionLegendColour(legend->fg_colour, CautionBrightness.get());
    MarkForRedraw(element);
    return 0.0;
}

void CautionInstall(CautionPanelState* panel, CautionElements& elements,
                    gauge::GaugeHeader* gauge) {
    panel->header = gauge;
    for (int32_t& writes : panel->CautionLegendWrites) writes = 0;
    for (int c = 0; c < kCautionColumns; ++c) {
        for (int r = 0; r < kCautionPanelRows; ++r) {
            panel->CautionShownStates[CautionIndex(r, c)] = kCautionUnseenState;
            CautionLightArray[CautionIndex(r, c)] = 0;
        }
    }
    // The legend elements are found once here, not by walking the list for
    // every light on every pass.
    gauge::ElementHeader* first = FirstElement(gauge);
    if (first == nullptr) first = &elements.background;
    for (int k = 0; k <= kCautionLegendCells; ++k) panel->element[k] = ElementListWalk(first, k);
}

// The brightness last applied is one field for both panels; the first
// panel to see a change hands it to the other as well, so both rewrite
// their legends.
void BrightnessResync(CautionPanelState* panel) {
    const int32_t brightness = CautionBrightness.get();
    if (brightness != CautionBrightnessShown.get()) {
        CautionBrightnessShown.set(brightness);
        CautionPanel.brightness_resync = 1;
        CautionLargePanel.brightness_resync = 1;
    }
    if (panel->brightness_resync == 0) return;
    panel->brightness_resync = 0;
    for (int32_t& writes : panel->CautionLegendWrites) writes = 0;
    ArmRefresh(kRefreshClocksCaution, kBrightnessRefreshCount);
}

bool AnnunciatorPowered() {
    return Powered(BusPowered.get(kPoweredRightEssential));
}

// Rows 0-5: a light is acted on only when its state or the test changed.
// The background is marked once for all the lights that mark it.
template <bool Large>
void CautionRows(CautionPanelState* panel) {
    const int32_t test = AnnunciatorTestSwitch.get();
    const bool test_unchanged = test == static_cast<int32_t>(panel->CautionTestShown);
    const bool powered = AnnunciatorPowered();
    bool acted = false;
    for (int c = 0; c < kCautionColumns; ++c) {
        for (int r = 0; r < kWarningRow; ++r) {
            const int index = CautionIndex(r, c);
            const uint32_t s = CautionLightArray[index];
            gauge::ElementHeader* light = panel->element[r * kCautionColumns + c + 1];
            if (s == panel->CautionShownStates[index] && test_unchanged) {
                if (!Large) MarkForRedraw(light);
                continue;
            }
            const bool lit = powered && (s != 0 || test == 1);
            ShowOrHide(light, lit);
            MarkForRedraw(light);
            acted = true;
            panel->CautionShownStates[index] = s;
        }
    }
    if (!Large || acted) MarkForRedraw(panel->element[0]);
}

// Row 6: latched on a rise, flashing with the master warning until the
// acknowledge clears the latch; evaluated on every pass.
template <bool Large>
void WarningRow(CautionPanelState* panel) {
    const bool powered = AnnunciatorPowered();
    const bool test = AnnunciatorTestSwitch.get() == 1;
    const bool flash_phase = MasterWarningFlash.get() != 0;
    bool acted = false;
    for (int c = 0; c < kCautionColumns; ++c) {
        const int index = CautionIndex(kWarningRow, c);
        const uint32_t s = CautionLightArray[index];
        if (s != panel->CautionShownStates[index]) {
            panel->CautionShownStates[index] = s;
            CautionLatch[c] = s != 0 ? 1 : 0;
        }
        const bool lit = powered && (test || (s != 0 && (!flash_phase || CautionLatch[c] == 0)));
        const int k = kWarningRow * kCautionColumns + c + 1;
        gauge::ElementHeader* light = k <= kCautionLegendCells ? panel->element[k] : nullptr;
        if (light == nullptr) continue;
        ShowOrHide(light, lit);
        MarkForRedraw(light);
        acted = true;
    }
    if (acted) MarkForRedraw(panel->element[0]);
}

template <bool Large>
void UpdateCautionLights(CautionPanelState* panel) {
    CautionRows<Large>(panel);
    WarningRow<Large>(panel);
    panel->CautionTestShown = static_cast<uint8_t>(AnnunciatorTestSwitch.get() & 0xFF);
}

template <bool Large>
void CautionCallback(CautionPanelState* panel, CautionElements& elements, gauge::GaugeHeader* gauge,
                     int32_t service) {
    switch (service) {
        case gauge::kServiceInstall:
            CautionInstall(panel, elements, gauge);
            return;
        case kServiceInitialise:
            panel->header = gauge;
            return;
        case gauge::kServiceKill:
            PanelKill();
            return;
        default:
            break;
    }
    const int32_t working = Large ? gauge::kServiceDraw : gauge::kServiceUpdate;
    if (service != working) return;
    panel->header = gauge;
    BrightnessResync(panel);
    UpdateCautionLights<Large>(panel);
}

}  // namespace

uint32_t CautionLegendColour(uint32_t current, int32_t brightness) {
    if (brightness == 255) {
        return (current & 0xC800u) != 0 ? kLegendAmberBright : kLegendRedBright;
    }
    return (current & 0xFF00u) != 0 ? kLegendAmberDim : kLegendRedDim;
}

void CautionGaugeCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    CautionCallback<false>(&CautionPanel, gCaution, gauge, service);
}

void CautionLargeGaugeCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    CautionCallback<true>(&CautionLargePanel, gCautionLarge, gauge, service);
}

gauge::ElementHeader* CautionElementList[2] = {&gCaution.background, nullptr};
gauge::ElementHeader* Caution_LargeElementList[2] = {&gCautionLarge.background, nullptr};

}  // namespace zu
