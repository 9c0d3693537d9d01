#include "panels/id809_panels.h"

#include <cstring>

#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/shared_maths.h"
#include "panels/guidance_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t Id809BlankCountdown[2] = {0, 0};
int32_t Id809BlankCountdown2[2] = {0, 0};

namespace {

namespace ga = guidance_art;

constexpr int32_t kKeyPan = 170;
constexpr int kVertical = 0;
constexpr int kLateral = 1;
constexpr int kBlockFill = 22;  // characters set to "g" at install
constexpr char kBlock = 'g';

constexpr uint32_t kGrey = 0x00C8C8C8;
constexpr uint32_t kAmberText = 0x0000C8C8;
constexpr uint32_t kGreenText = 0x0000C800;
constexpr uint32_t kDarkGreen = 0x00001800;
constexpr int32_t kTextHeight = 12;
constexpr int32_t kBlockHeight = 11;
constexpr int32_t kTextWeight = 700;
constexpr int32_t kBlockWeight = 900;
constexpr uint32_t kTextFlags = kStartHidden | gauge::kImageTransparent | gauge::kImageLuminous;

// Element numbers.
enum : int32_t {
    kFace = 0,
    kLowerLine = 1,
    kAdvisoryLine = 2,
    kMessageLine = 3,
    kUnusedLine = 4,
    kLateralArmed = 5,
    kVerticalArmedRight = 6,
    kLateralActive = 7,
    kVerticalActive = 8,
    kAnnunciator = 9,
    kLateralBlocks = 10,
    kVerticalBlocks = 11,
    kLateralReverse = 12,
    kVerticalReverse = 13,
    kVerticalArmedMiddle = 14,
    kDualLine = 15,
    kElementCount = 16,
};

// What one side reads and keeps.
struct Id809Side {
    FgcSideRecord* block;
    FgcMessageStateRecord* message;
    uint8_t* fma_flags;
    int32_t* vertical_mode;
    int32_t* lateral_mode;
    int32_t* vertical_armed_2;
    uint8_t* dual_approach;
    int32_t* countdown;  // [kVertical], [kLateral]
    int upper_line;      // rows of FgcMessageLines
    int lower_line;
    int advisory_line;
    size_t avionics_bus;  // AcBusPowered byte
};

const Id809Side kSides[2] = {
    {&FgcSide1, &FgcMessageState1, FmaFlags1, &FGC_comp_AP1_vertical_mode,
     &FGC_comp_AP1_lateral_mode, &FGC_comp_AP1_vertical_armed_mode_2,
     &FGC_comp_AP1_dual_approach_mode, Id809BlankCountdown, 0, 1, 4, 3},
    {&FgcSide2, &FgcMessageState2, FmaFlags2, &FGC_comp_AP2_vertical_mode,
     &FGC_comp_AP2_lateral_mode, &FGC_comp_AP2_vertical_armed_mode_2,
     &FGC_comp_AP2_dual_approach_mode, Id809BlankCountdown2, 2, 3, 5, 2},
};

// Per panel: the header, the virtual-cockpit flag, the FMA flags last seen
// and the block pattern buffer.
struct Id809PanelState {
    gauge::GaugeHeader* header;
    uint8_t is_vc;
    uint8_t last_fma[2];
    char block[kId809BlockTextSize];
};
Id809PanelState gPanels[2] = {};

struct Id809Elements {
    gauge::ElementHeader face;       // 0
    gauge::StringElement upper[8];   // 1-8
    gauge::IconElement annunciator;  // 9
    gauge::StringElement lower[6];   // 10-15
    gauge::ElementHeader* next[kElementCount][2];
};

template <int Side, int Element>
double Id809Text(gauge::ElementHeader* element);

struct TextPlace {
    int16_t x;
    int16_t row;
    int16_t width;
    uint32_t colour;
    uint32_t align;
    bool blocks;
};

constexpr TextPlace Place(int element) {
    const int16_t l = ga::kId809LeftX;
    const int16_t r = ga::kId809RightX;
    const int16_t m = ga::kId809MiddleX;
    const int16_t w = ga::kId809TextWidth;
    const int16_t mw = ga::kId809MiddleWidth;
    switch (element) {
        case kLowerLine:
            return {l, 0, w, kGrey, 0, false};
        case kAdvisoryLine:
            return {r, 0, w, kGrey, 2, false};
        case kMessageLine:
            return {l, 1, w, kAmberText, 0, false};
        case kUnusedLine:
            return {r, 1, w, kAmberText, 2, false};
        case kLateralArmed:
            return {l, 2, w, kGrey, 0, false};
        case kVerticalArmedRight:
            return {r, 2, w, kGrey, 2, false};
        case kLateralActive:
            return {l, 3, w, kGreenText, 0, false};
        case kVerticalActive:
            return {r, 3, w, kGreenText, 2, false};
        case kLateralBlocks:
            return {l, 3, w, kGreenText, 0, true};
        case kVerticalBlocks:
            return {r, 3, w, kGreenText, 2, true};
        case kLateralReverse:
            return {l, 3, w, kDarkGreen, 0, false};
        case kVerticalReverse:
            return {r, 3, w, kDarkGreen, 2, false};
        case kVerticalArmedMiddle:
            return {m, 2, mw, kGrey, 1, false};
        case kDualLine:
            return {m, 3, mw, kGreenText, 1, false};
        default:
            return {l, 0, w, kGrey, 0, false};
    }
}

template <int Side, int Element>
constexpr gauge::StringElement TextElement(gauge::ElementHeader** next) {
    constexpr TextPlace p = Place(Element);
    const TextStyle style{p.blocks ? "Webdings" : "Arial Narrow",
                          p.blocks ? kBlockHeight : kTextHeight,
                          p.colour,
                          0,
                          p.align,
                          p.blocks ? kBlockWeight : kTextWeight};
    return TextRecord(p.x, ga::kId809Row[p.row], p.width, ga::kId809TextHeight, style, kTextFlags,
                      next, Id809Text<Side, Element>);
}

template <int Side>
constexpr Id809Elements MakeId809(Id809Elements* self) {
    Id809Elements e{};
    e.face = StaticImageRecord(ga::kId809FaceLit, 0, 0, kLitCopy, self->next[0]);
    e.upper[0] = TextElement<Side, 1>(self->next[1]);
    e.upper[1] = TextElement<Side, 2>(self->next[2]);
    e.upper[2] = TextElement<Side, 3>(self->next[3]);
    e.upper[3] = TextElement<Side, 4>(self->next[4]);
    e.upper[4] = TextElement<Side, 5>(self->next[5]);
    e.upper[5] = TextElement<Side, 6>(self->next[6]);
    e.upper[6] = TextElement<Side, 7>(self->next[7]);
    e.upper[7] = TextElement<Side, 8>(self->next[8]);
    e.annunciator = IconRecord(ga::kId809Annunciator, 2, 2, kStartHidden, self->next[9]);
    e.lower[0] = TextElement<Side, 10>(self->next[10]);
    e.lower[1] = TextElement<Side, 11>(self->next[11]);
    e.lower[2] = TextElement<Side, 12>(self->next[12]);
    e.lower[3] = TextElement<Side, 13>(self->next[13]);
    e.lower[4] = TextElement<Side, 14>(self->next[14]);
    e.lower[5] = TextElement<Side, 15>(self->next[15]);
    gauge::ElementHeader* order[kElementCount] = {
        &self->face,
        &self->upper[0].header,
        &self->upper[1].header,
        &self->upper[2].header,
        &self->upper[3].header,
        &self->upper[4].header,
        &self->upper[5].header,
        &self->upper[6].header,
        &self->upper[7].header,
        &self->annunciator.header,
        &self->lower[0].header,
        &self->lower[1].header,
        &self->lower[2].header,
        &self->lower[3].header,
        &self->lower[4].header,
        &self->lower[5].header,
    };
    for (int k = 0; k < kElementCount; ++k) {
        e.next[k][0] = k + 1 < kElementCount ? order[k + 1] : nullptr;
        e.next[k][1] = nullptr;
    }
    return e;
}

constinit Id809Elements gId809a = MakeId809<0>(&gId809a);
constinit Id809Elements gId809b = MakeId809<1>(&gId809b);

// A guidance text (char[20], possibly unterminated) into an element.
void CopyText(gauge::ElementHeader* element, const char* text, size_t size) {
    char* out = StringBuffer(element);
    size_t n = 0;
    while (n < size && n + 1 < kStringBufferSize && text[n] != '\0') {
        out[n] = text[n];
        ++n;
    }
    out[n] = '\0';
}

void SetText(gauge::ElementHeader* element, const char* text) {
    CopyText(element, text, kStringBufferSize);
}

// A new message blinks until acknowledged: the guidance raises its code-3
// flag every other pair of ticks.
bool BlinkPhase(const Id809Side& s) {
    return s.message->code3_flag != 0;
}

bool ArmedModeTwo(const Id809Side& s) {
    return *s.vertical_armed_2 != 0 && *s.vertical_armed_2 != 5;
}

// The bottom-row legends each count their countdown down; true while it
// was running.
bool CountdownRunning(int32_t* countdown) {
    return CountdownTick(countdown);
}

void ShowBlocks(gauge::ElementHeader* element, Id809PanelState& panel, int which,
                const char* text) {
    if (text[0] == '\0') {
        SetText(element, "");
        return;
    }
    if (which == kLateral) {
        Id809LateralBlocks(panel.block, text, kFmaTextSize);
    } else {
        Id809VerticalBlocks(panel.block, text, kFmaTextSize);
    }
    CopyText(element, panel.block, kId809BlockShown);
}

template <int Side, int Element>
double Id809Text(gauge::ElementHeader* element) {
    const Id809Side& s = kSides[Side];
    Id809PanelState& panel = gPanels[Side];
    const FmaTexts& fma = s.block->fma;
    constexpr size_t kLine = sizeof FgcMessageLines[0];
    switch (Element) {
        case kLowerLine:
            CopyText(element, FgcMessageLines[s.lower_line], kLine);
            break;
        case kAdvisoryLine:
            CopyText(element, FgcMessageLines[s.advisory_line], kLine);
            break;
        case kMessageLine:
            if (s.message->code == 3 && !BlinkPhase(s)) {
                SetText(element, "");
            } else {
                CopyText(element, FgcMessageLines[s.upper_line], kLine);
            }
            break;
        case kLateralArmed:
            CopyText(element, fma.lateral_armed, kFmaTextSize);
            break;
        case kVerticalArmedRight:
            CopyText(element, ArmedModeTwo(s) ? fma.vertical_armed2 : fma.vertical_armed1,
                     kFmaTextSize);
            break;
        case kVerticalArmedMiddle:
            if (ArmedModeTwo(s)) {
                CopyText(element, fma.vertical_armed1, kFmaTextSize);
            } else {
                SetText(element, "       ");
            }
            break;
        case kLateralActive:
            CopyText(element, CountdownRunning(&s.countdown[kLateral]) ? "" : fma.lateral,
                     kFmaTextSize);
            break;
        case kVerticalActive:
            CopyText(element, CountdownRunning(&s.countdown[kVertical]) ? "" : fma.vertical,
                     kFmaTextSize);
            break;
        case kLateralBlocks:
            ShowBlocks(element, panel, kLateral,
                       CountdownRunning(&s.countdown[kLateral]) ? fma.lateral : "");
            break;
        case kVerticalBlocks:
            ShowBlocks(element, panel, kVertical,
                       CountdownRunning(&s.countdown[kVertical]) ? fma.vertical : "");
            break;
        case kLateralReverse:
            CopyText(element, CountdownRunning(&s.countdown[kLateral]) ? fma.lateral : "",
                     kFmaTextSize);
            break;
        case kVerticalReverse:
            CopyText(element, CountdownRunning(&s.countdown[kVertical]) ? fma.vertical : "",
                     kFmaTextSize);
            break;
        case kDualLine:
            SetText(element, *s.dual_approach != 0 ? "DUAL    " : "        ");
            break;
        default:
            SetText(element, "");
            break;
    }
    return 0.0;
}

gauge::ElementHeader* FirstOf(int side) {
    return side == 0 ? &gId809a.face : &gId809b.face;
}

// Update step 3: a mode that has just become active (its FMA flag drops to
// 0 while a mode is engaged) starts its reverse-video countdown.
void WatchFmaFlags(const Id809Side& s, Id809PanelState& panel) {
    const int32_t none[2] = {5, 7};
    const int32_t mode[2] = {*s.vertical_mode, *s.lateral_mode};
    for (int which : {kVertical, kLateral}) {
        const uint8_t flag = s.fma_flags[which];
        if (flag == panel.last_fma[which]) continue;
        if (flag == 0 && mode[which] != none[which]) s.countdown[which] = kId809BlankStart;
        panel.last_fma[which] = flag;
    }
}

VisibilityMemo gMemos[2];

void Visibility(int side) {
    const Id809Side& s = kSides[side];
    gauge::ElementHeader* first = FirstOf(side);
    const bool lit = PanelLit(PanelLightingCircuit2.get(), gPanels[side].is_vc);
    const bool powered = Powered(AcBusPowered.get(s.avionics_bus));
    RepaintKeyBuilder key;
    key.Add(lit).Add(powered).Add(BlinkPhase(s));
    if (!VisibilityStale(gMemos[side], first, key.Key())) return;
    ShowElement(first, kFace, lit);
    for (int k = kLowerLine; k < kElementCount; ++k) {
        if (k == kAnnunciator) continue;
        ShowElement(first, k, powered && k != kUnusedLine);
    }
    ShowElement(first, kAnnunciator, false);
    SetElementLit(first, kAnnunciator, BlinkPhase(s));
    VisibilityKept(gMemos[side], first, key.Key());
}

template <int Side>
void Id809Callback(gauge::GaugeHeader* gauge, int32_t service) {
    Id809PanelState& panel = gPanels[Side];
    if (service == gauge::kServiceKill) return PanelKill();
    if (service == gauge::kServiceInstall) {
        std::memset(panel.block, kBlock, kBlockFill);
        panel.block[kId809BlockTextSize - 1] = '\0';
    }
    if (!KeepHeader(&panel.header, gauge, service)) return;
    const Id809Side& s = kSides[Side];
    panel.is_vc = GaugeIsVcFrom(gauge);
    if (s.message->code == 3) ArmRefresh(kRefreshEngineInstruments);
    WatchFmaFlags(s, panel);
    const bool group = ConsumeTrigger(&RefreshCountdown[kRefreshEngineInstruments]);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    if (group || all) Visibility(Side);
}

template <int Side>
int32_t Acknowledge(gauge::Point*, uint32_t) {
    // A new message becomes acknowledged, anything else is cleared; a code
    // the guidance writes meanwhile is not overwritten.
    std::atomic<int32_t>& code = kSides[Side].message->code;
    int32_t seen = code.load(std::memory_order_acquire);
    code.compare_exchange_strong(seen, seen == 3 ? 2 : 0, std::memory_order_acq_rel);
    ClickAndArm(kSoundClickTiny, kKeyPan, kRefreshEngineInstruments);
    return 0;
}

template <int Master>
int32_t MasterKey(gauge::Point*, uint32_t) {
    FGC_comp_AP_master = Master;
    ApButtonRequest[15].store(1, std::memory_order_release);
    ClickAndArm(kSoundClickTiny, kKeyPan, kRefreshEngineInstruments);
    ArmRefresh(kRefreshSelectors);
    return 0;
}

constexpr gauge::MouseRect Key(const ga::Box& b, gauge::MouseHandler handler) {
    return MouseChild(b.x, b.y, b.width, b.height, kCursorHand, kClick, handler);
}

}  // namespace

void Id809LateralBlocks(char (&block)[kId809BlockTextSize], const char* text, int text_size) {
    std::memset(block, ' ', 7);
    for (int i = 0; i < text_size && text[i] != '\0'; ++i) {
        if (static_cast<unsigned char>(text[i]) <= ' ') continue;
        const int j = i / 2;
        if (j >= kId809BlockTextSize - 1) break;
        block[j] = kBlock;
        if (j > 0) block[j - 1] = kBlock;
    }
}

void Id809VerticalBlocks(char (&block)[kId809BlockTextSize], const char* text, int text_size) {
    std::memset(block, ' ', 7);
    int n = 0;
    while (n < text_size && text[n] != '\0') ++n;
    for (int i = 0; i < n; ++i) {
        if (static_cast<unsigned char>(text[i]) <= ' ') continue;
        // A text longer than 13 characters starts left of the pattern: its
        // first characters have no block.
        const int k = i - n + 13;
        if (k < 0) continue;
        const int j = k / 2;
        if (j < kId809BlockTextSize - 1) block[j] = kBlock;
        if ((k & ~1) < 18 && j + 1 < kId809BlockTextSize - 1) block[j + 1] = kBlock;
    }
}

void Id809aCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    Id809Callback<0>(gauge, service);
}

void Id809bCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    Id809Callback<1>(gauge, service);
}

gauge::ElementHeader* ID809a_PanelElementList[2] = {&gId809a.face, nullptr};
gauge::ElementHeader* ID809b_PanelElementList[2] = {&gId809b.face, nullptr};

gauge::MouseRect ID809a_PanelMouseRect[] = {
    MouseParent(ga::kId809Size.width, ga::kId809Size.height), Key(ga::kId809AckKey, Acknowledge<0>),
    Key(ga::kId809Master1Key, MasterKey<1>), Key(ga::kId809Master2Key, MasterKey<2>), MouseEnd()};

gauge::MouseRect ID809b_PanelMouseRect[] = {
    MouseParent(ga::kId809Size.width, ga::kId809Size.height), Key(ga::kId809AckKey, Acknowledge<1>),
    Key(ga::kId809Master1Key, MasterKey<1>), Key(ga::kId809Master2Key, MasterKey<2>), MouseEnd()};

}  // namespace zu
