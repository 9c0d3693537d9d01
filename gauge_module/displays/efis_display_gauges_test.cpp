#include "displays/efis_display_gauges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/ahrs.h"
#include "core/electrical_system.h"
#include "core/nav_sources.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "displays/display_pixel_size.h"
#include "displays/efis_resources.h"
#include "displays/ehsi_map.h"
#include "displays/navigation_display.h"
#include "displays/repaint_key.h"
#include "displays/sg_select_panels.h"
#include "displays/weather_radar.h"
#include "panels/display_control_panels.h"

namespace zu {
namespace {

// One placed display: its surface (made by the host in the running system)
// and its surface element.
struct PlacedDisplay {
    std::vector<uint8_t> pixels;
    gauge::DrawingSurface surface{};
    gauge::ElementHeader element{};
    PlacedDisplay(int32_t w, int32_t h) : pixels(static_cast<size_t>(w) * h * 4) {
        surface = {w, h, w * 4, static_cast<uint32_t>(pixels.size()), pixels.data(), nullptr};
        surface.context = platform::DrawContextCreate(pixels.data(), w, h, w * 4);
        element.image_flags = gauge::kImageDrawnSurface | gauge::kImageOnScreen;
        element.surface = &surface;
    }
    ~PlacedDisplay() {
        platform::DrawContextDestroy(static_cast<platform::DrawContext*>(surface.context));
    }
};

struct DisplayGaugesFixture : ::testing::Test {
    void SetUp() override {
        CreateEfisResources();
        for (auto& s : DisplayScreens) {
            DisplayKill(s);
            s.last_drawn_tick = 0;
            s.pictures = 0;
            s.busy = false;
        }
        for (auto& k : DisplayWarmUp) k[0] = k[1] = 0;
        for (auto& h : HalfRateSkip) h = 0;
        SgTransfer[0] = SgTransfer[1] = 0;
        VSI_HALF_SLOW = HSI_HALF_SLOW = 0;
        BusPowered.set(kPoweredLeftEssential, 1);
        BusPowered2.set(0, 0);
        TickCounter.store(100);
    }
    void TearDown() override {
        for (auto& s : DisplayScreens) DisplayKill(s);
        DeleteEfisResources();
        RepaintEveryPicture = false;
        BusPowered.set(kPoweredLeftEssential, 0);
    }
    // One frame step in a new tick (as at 15 fps or lower).
    static void Frame(DisplayScreen& screen, PlacedDisplay& d) {
        TickCounter.fetch_add(1);
        DisplayFrameStep(screen, &d.element);
    }
};

TEST_F(DisplayGaugesFixture, WarmUpShowsTheBackgroundThenOnePicturePerTick) {
    DisplayScreen& vsi1 = DisplayScreens[0];
    PlacedDisplay d(168, 134);
    DisplayInstall(vsi1, nullptr);
    for (int i = 0; i < 36; ++i) Frame(vsi1, d);
    EXPECT_EQ(vsi1.pictures, 0u);
    EXPECT_EQ(d.element.image_flags & gauge::kImageOnScreen, 0u);  // background shown
    Frame(vsi1, d);
    EXPECT_EQ(vsi1.pictures, 1u);
    // A second step in the same tick draws nothing.
    DisplayFrameStep(vsi1, &d.element);
    EXPECT_EQ(vsi1.pictures, 1u);
    EXPECT_EQ(DisplayPixelSize[0], 168);
    EXPECT_EQ(DisplayPixelSize[1], 131);
    EXPECT_EQ(DisplayPixelSize2[1], 131);
    // Power off resets the warm-up of that side and kind only.
    BusPowered.set(kPoweredLeftEssential, 0);
    Frame(vsi1, d);
    EXPECT_EQ(DisplayWarmUp[kAttitudeDisplay][0], 0);
    EXPECT_EQ(vsi1.pictures, 1u);
}

TEST_F(DisplayGaugesFixture, HalfRateSkipsEveryOtherFrameStep) {
    RepaintEveryPicture = true;  // the pacing, not the repaint keys
    VSI_HALF_SLOW = 1;
    DisplayScreen& vsi2 = DisplayScreens[2];
    BusPowered2.set(0, 1);
    PlacedDisplay d(168, 134);
    DisplayInstall(vsi2, nullptr);
    DisplayWarmUp[kAttitudeDisplay][1] = 40;
    for (int i = 0; i < 6; ++i) Frame(vsi2, d);
    EXPECT_EQ(vsi2.pictures, 3u);
    // Side 1 unpowered: a powered side 2 draws whatever side 1's power.
    EXPECT_EQ(DisplayWarmUp[kAttitudeDisplay][0], 0);
}

TEST_F(DisplayGaugesFixture, TheBackgroundErasesEachPictureAndFollowsTheSurface) {
    RepaintEveryPicture = true;  // every tick a picture
    DisplayScreen& hsi1 = DisplayScreens[4];
    PlacedDisplay d(168, 134);
    DisplayInstall(hsi1, nullptr);
    Frame(hsi1, d);
    ASSERT_EQ(hsi1.background_copy.size(), d.pixels.size());
    d.pixels[4 * 50] = 0xAB;  // something painted
    Frame(hsi1, d);
    EXPECT_EQ(d.pixels[4 * 50], hsi1.background_copy[4 * 50]);
    // Another surface, of another size, gets a set-up of its own.
    PlacedDisplay big(336, 268);
    Frame(hsi1, big);
    EXPECT_EQ(hsi1.background_copy.size(), big.pixels.size());
    EXPECT_EQ(hsi1.surface, &big.surface);
    // Too large a surface is never set up, but keeps the warm-up count.
    PlacedDisplay huge(1000, 800);
    DisplayScreen& hsi2 = DisplayScreens[6];
    BusPowered2.set(0, 1);
    DisplayInstall(hsi2, nullptr);
    Frame(hsi2, huge);
    EXPECT_TRUE(hsi2.background_copy.empty());
    EXPECT_EQ(DisplayWarmUp[kNavigationDisplay][1], 1);
}

// The texts of a display's last picture.
bool PictureHas(const PlacedDisplay& d, const char* text, int32_t x, int32_t y) {
    const auto* dc = static_cast<const platform::DrawContext*>(d.surface.context);
    for (int32_t i = 0; i < platform::DrawTextCount(dc); ++i) {
        const platform::DrawTextEntry& t = platform::DrawTexts(dc)[i];
        if (std::string(t.text) == text && t.x == x && t.y == y) return true;
    }
    return false;
}

TEST_F(DisplayGaugesFixture, TransferredSideDrawsTheOtherSidesCompositePicture) {
    SgTransfer[0] = 1;
    DisplayFormat[1] = 1;
    DisplayWarmUp[kAttitudeDisplay][0] = DisplayWarmUp[kNavigationDisplay][0] = 40;
    PlacedDisplay vsi(168, 134);
    PlacedDisplay hsi(168, 134);
    DisplayInstall(DisplayScreens[0], nullptr);
    DisplayInstall(DisplayScreens[4], nullptr);
    Frame(DisplayScreens[0], vsi);
    Frame(DisplayScreens[4], hsi);
    // VSI1: side 2's composite picture (no speed scale) in the larger grid,
    // with the transfer legend naming side 2.
    EXPECT_EQ(DisplayScreens[0].pictures, 1u);
    EXPECT_EQ(DisplayScreens[0].applied_transfer, 1);
    EXPECT_TRUE(PictureHas(vsi, "2", 38, 53));
    EXPECT_FALSE(PictureHas(vsi, "SPD", 23, 19));
    // HSI1 shows its background only.
    EXPECT_EQ(platform::DrawTextCount(static_cast<platform::DrawContext*>(hsi.surface.context)), 0);
    SgTransfer[0] = 0;
    DisplayFormat[1] = 0;
    Frame(DisplayScreens[0], vsi);
    EXPECT_EQ(DisplayScreens[0].applied_transfer, 0);
    EXPECT_TRUE(PictureHas(vsi, "SPD", 23, 19));
}

// The virtual-cockpit gauges letter their texts as their 2D twins do,
// centred on their x in font 2: with the same data the pictures are the
// same, "VOR1", "GSPD" and "KTS" whole.
TEST_F(DisplayGaugesFixture, VirtualCockpitPicturesMatchTheirTwins) {
    const NavSourceRecord vor = NavSources[kNavVor1];
    NavSources[kNavVor1].kind = 1;
    NavSources[kNavVor1].distance_valid = 1;
    NavSourceSel1 = kNavVor1;
    for (int kind : {kAttitudeDisplay, kNavigationDisplay}) {
        DisplayWarmUp[kind][0] = 40;
        DisplayScreen& flat = DisplayScreens[kind * 4];
        DisplayScreen& vc = DisplayScreens[kind * 4 + 1];
        ASSERT_TRUE(vc.virtual_cockpit);
        PlacedDisplay a(168, 134);
        PlacedDisplay b(168, 134);
        DisplayInstall(flat, nullptr);
        DisplayInstall(vc, nullptr);
        TickCounter.fetch_add(1);
        DisplayFrameStep(flat, &a.element);
        DisplayFrameStep(vc, &b.element);
        ASSERT_EQ(vc.pictures, 1u);
        EXPECT_TRUE(a.pixels == b.pixels) << vc.name;
        if (kind != kNavigationDisplay) continue;
        // "KTS" at x 155 ends before the right edge, whose last two columns
        // keep the background.
        ASSERT_TRUE(PictureHas(b, "KTS", 155, 120));
        ASSERT_TRUE(PictureHas(b, "VOR1", 142, 3));
        for (int y = 118; y < 131; ++y) {
            for (int x = 166; x < 168; ++x) {
                const size_t i = static_cast<size_t>(y * 168 + x) * 4;
                EXPECT_EQ(b.pixels[i + 1], vc.background_copy[i + 1]) << x << "," << y;
            }
        }
    }
    NavSources[kNavVor1] = vor;
}

// A tick whose picture would be the same leaves the surface as it is; a
// heading change draws anew, and a screen losing its power shows its
// background once.
TEST_F(DisplayGaugesFixture, APictureIsDrawnOnlyWhenWhatItShowsChanges) {
    DisplayScreen& hsi1 = DisplayScreens[4];
    DisplayWarmUp[kNavigationDisplay][0] = 40;
    const AhrsRecord ahrs = Ahrs1;
    Ahrs1.heading = 30.0;
    PlacedDisplay d(168, 134);
    DisplayInstall(hsi1, nullptr);
    // The first pictures format the set's texts; then they stay.
    for (int i = 0; i < 3; ++i) Frame(hsi1, d);
    const uint32_t settled = hsi1.pictures;
    ASSERT_GE(settled, 1u);
    for (int i = 0; i < 5; ++i) Frame(hsi1, d);
    EXPECT_EQ(hsi1.pictures, settled);
    d.pixels[4 * 50] = 0xAB;  // left as it is while nothing changes
    Frame(hsi1, d);
    EXPECT_EQ(d.pixels[4 * 50], 0xAB);
    Ahrs1.heading = 40.0;
    Frame(hsi1, d);
    EXPECT_EQ(hsi1.pictures, settled + 1);
    EXPECT_EQ(d.pixels[4 * 50], hsi1.background_copy[4 * 50]);
    // Unpowered: the background, painted once.
    BusPowered.set(kPoweredLeftEssential, 0);
    Frame(hsi1, d);
    EXPECT_TRUE(d.pixels == hsi1.background_copy);
    d.pixels[4 * 50] = 0xAB;
    Frame(hsi1, d);
    EXPECT_EQ(d.pixels[4 * 50], 0xAB);
    EXPECT_EQ(hsi1.pictures, settled + 1);
    Ahrs1 = ahrs;
}

// A bearing pointer without its signal swings 2 degrees a picture to its
// park: with no input changing, each tick still draws until it is parked,
// then none.
TEST_F(DisplayGaugesFixture, APointerSwingingToItsParkDrawsEveryTick) {
    DisplayScreen& hsi1 = DisplayScreens[4];
    DisplayWarmUp[kNavigationDisplay][0] = 40;
    NavSourceRecord saved[kNavSourceCount];
    std::copy(std::begin(NavSources), std::end(NavSources), saved);
    for (NavSourceRecord& r : NavSources) r.bearing_valid = 0;
    EhsiSet& set = EhsiSetOf(0, false);
    const EhsiBearingPointer pointer = set.pointers[0];
    set.pointers[0] = {50.0, 0, true};
    PlacedDisplay d(168, 134);
    DisplayInstall(hsi1, nullptr);
    for (int i = 0; i < 40; ++i) Frame(hsi1, d);
    // 50 to 86 (within 5 degrees of 3 o'clock) in 2-degree steps, hidden.
    EXPECT_EQ(set.pointers[0].angle, 86.0);
    EXPECT_FALSE(set.pointers[0].shown);
    EXPECT_GE(hsi1.pictures, 19u);
    const uint32_t parked = hsi1.pictures;
    Frame(hsi1, d);
    EXPECT_EQ(hsi1.pictures, parked);
    set.pointers[0] = pointer;
    std::copy(std::begin(saved), std::end(saved), NavSources);
}

TEST_F(DisplayGaugesFixture, NoSurfaceOrUnknownGaugeDoesNothing) {
    DisplayFrameStep(DisplayScreens[0], nullptr);
    gauge::ElementHeader bare{};
    DisplayFrameStep(DisplayScreens[0], &bare);
    VsiDisplayCallback(nullptr, gauge::kServiceUpdate, 0);
    EXPECT_EQ(DisplayScreens[0].pictures, 0u);
}

// A gauge is served as the screen its name names, also when its header
// served another screen before (a header the host made anew in the same
// place).
TEST_F(DisplayGaugesFixture, AGaugeIsServedAsTheScreenItsNameNames) {
    gauge::GaugeHeader header{};
    header.name = "VSI1";
    header.parameters = "";
    VsiDisplayCallback(&header, gauge::kServiceInstall, 0);
    EXPECT_EQ(DisplayScreens[0].header, &header);
    header.name = "VSI2";
    DisplayScreens[2].setup_pending = false;
    VsiDisplayCallback(&header, gauge::kServiceInstall, 0);
    EXPECT_EQ(DisplayScreens[2].header, &header);
    EXPECT_TRUE(DisplayScreens[2].setup_pending);
    // No attitude screen has the name of a navigation display's.
    header.name = "HSI2";
    DisplayScreens[2].setup_pending = false;
    VsiDisplayCallback(&header, gauge::kServiceInstall, 0);
    EXPECT_FALSE(DisplayScreens[2].setup_pending);
    EXPECT_NE(DisplayScreens[6].header, &header);
    for (DisplayScreen& s : DisplayScreens) s.header = nullptr;
}

// The texts of a surface's current paint, whole entries.
std::vector<platform::DrawTextEntry> TextsOf(const PlacedDisplay& d) {
    const auto* dc = static_cast<const platform::DrawContext*>(d.surface.context);
    const platform::DrawTextEntry* t = platform::DrawTexts(dc);
    return {t, t + platform::DrawTextCount(dc)};
}

bool SameTexts(const PlacedDisplay& a, const PlacedDisplay& b) {
    const std::vector<platform::DrawTextEntry> ta = TextsOf(a), tb = TextsOf(b);
    return ta.size() == tb.size() &&
           (ta.empty() || std::memcmp(ta.data(), tb.data(), ta.size() * sizeof ta[0]) == 0);
}

// A screen whose twin (the other cockpit's of its kind and side) drew the
// picture of the same tick with the same key, at the same size, copies it:
// the same pixels and texts, no drawing sequence of its own, and the
// picture handed to the host. Whichever of the two is called first draws.
TEST_F(DisplayGaugesFixture, AScreenCopiesItsTwinsPictureOfTheSameTick) {
    const AhrsRecord ahrs = Ahrs1;
    for (bool vc_first : {false, true}) {
        for (int kind : {kAttitudeDisplay, kNavigationDisplay}) {
            SCOPED_TRACE(::testing::Message() << "kind " << kind << " vc first " << vc_first);
            DisplayWarmUp[kind][0] = 40;
            DisplayScreen& flat = DisplayScreens[kind * 4];
            DisplayScreen& vc = DisplayScreens[kind * 4 + 1];
            PlacedDisplay a(168, 134);
            PlacedDisplay b(168, 134);
            DisplayInstall(flat, nullptr);
            DisplayInstall(vc, nullptr);
            DisplayScreen& first = vc_first ? vc : flat;
            DisplayScreen& second = vc_first ? flat : vc;
            PlacedDisplay& first_d = vc_first ? b : a;
            PlacedDisplay& second_d = vc_first ? a : b;
            auto tick = [&] {
                TickCounter.fetch_add(1);
                DisplayFrameStep(first, &first_d.element);
                DisplayFrameStep(second, &second_d.element);
            };
            for (int i = 0; i < 3; ++i) tick();
            // A new attitude and heading: a picture to draw.
            Ahrs1.heading += 10.0;
            Ahrs1.bank += 7.0;
            const uint32_t first_drawn = first.pictures, second_drawn = second.pictures;
            second_d.element.image_flags |= gauge::kImageOnScreen;
            tick();
            EXPECT_EQ(first.pictures, first_drawn + 1);
            EXPECT_EQ(second.pictures, second_drawn);  // copied, not drawn
            EXPECT_TRUE(a.pixels == b.pixels);
            EXPECT_TRUE(SameTexts(a, b));
            EXPECT_GT(TextsOf(b).size(), 0u);
            EXPECT_EQ(second_d.element.image_flags & gauge::kImageOnScreen, 0u);
            // The copy is the picture a drawing makes: drawn again in full,
            // the second screen's surface stays the same.
            const std::vector<uint8_t> copied = second_d.pixels;
            RepaintEveryPicture = true;
            TickCounter.fetch_add(1);
            DisplayFrameStep(second, &second_d.element);
            RepaintEveryPicture = false;
            EXPECT_EQ(second.pictures, second_drawn + 1);
            EXPECT_TRUE(second_d.pixels == copied);
            DisplayKill(flat);
            DisplayKill(vc);
        }
    }
    Ahrs1 = ahrs;
}

// The state a set carries between pictures, byte for byte.
struct CarriedState {
    EhsiBearingPointer pointers[2];
    EhsiMapState map;
    int32_t phase;
    explicit CarriedState(const EhsiSet& set) : map(set.map) {
        std::memcpy(pointers, set.pointers, sizeof pointers);
        phase = set.virtual_cockpit ? set.map.phase : EhsiMapPhase[set.side];
    }
    bool operator==(const CarriedState& o) const {
        return std::memcmp(pointers, o.pointers, sizeof pointers) == 0 &&
               std::memcmp(&map, &o.map, sizeof map) == 0 && phase == o.phase;
    }
};

// A copy changes only what the screen's own drawing would have changed.
// An attitude screen's navigation steps draw with the 2D navigation set,
// which the navigation display steps between the two attitude screens (a
// pointer swinging in the rose, the map's count): the attitude twin's copy
// leaves it as the navigation display left it. A navigation screen's copy
// of a composite-format picture (no sequence) leaves its own map's list and
// count; of a map picture, marks the list its own key stepped as drawn.
TEST_F(DisplayGaugesFixture, ACopyChangesOnlyWhatItsOwnDrawingWould) {
    const AhrsRecord ahrs = Ahrs1;
    const int32_t mode = DisplayControlState1.Mode;
    NavSourceRecord sources[kNavSourceCount];
    std::copy(std::begin(NavSources), std::end(NavSources), sources);
    for (NavSourceRecord& r : NavSources) r.bearing_valid = 0;
    EhsiSet& flat_set = EhsiSetOf(0, false);
    EhsiSet& vc_set = EhsiSetOf(0, true);
    const CarriedState flat_saved(flat_set), vc_saved(vc_set);
    const int32_t phase_saved = EhsiMapPhase[0];
    DisplayWarmUp[kAttitudeDisplay][0] = DisplayWarmUp[kNavigationDisplay][0] = 40;
    DisplayScreen& vsi1 = DisplayScreens[0];
    DisplayScreen& vsi1_vc = DisplayScreens[1];
    DisplayScreen& hsi1 = DisplayScreens[4];
    DisplayScreen& hsi1_vc = DisplayScreens[5];
    for (int32_t m : {0, 2}) {
        SCOPED_TRACE(::testing::Message() << "attitude twins, mode " << m);
        DisplayControlState1.Mode = m;
        flat_set.pointers[0] = {50.0, 0, true};  // swinging to its park
        PlacedDisplay a(168, 134), b(168, 134), n(168, 134);
        DisplayInstall(vsi1, nullptr);
        DisplayInstall(vsi1_vc, nullptr);
        DisplayInstall(hsi1, nullptr);
        const uint32_t copies = vsi1_vc.copies;
        for (int i = 0; i < 4; ++i) {
            Ahrs1.bank += 3.0;
            TickCounter.fetch_add(1);
            DisplayFrameStep(vsi1, &a.element);
            DisplayFrameStep(hsi1, &n.element);
            const CarriedState stepped(flat_set);
            DisplayFrameStep(vsi1_vc, &b.element);
            EXPECT_TRUE(CarriedState(flat_set) == stepped) << "tick " << i;
        }
        // The first picture after the set-up is its own; the others copied.
        EXPECT_EQ(vsi1_vc.copies, copies + 3);
        EXPECT_TRUE(a.pixels == b.pixels);
        DisplayKill(vsi1);
        DisplayKill(vsi1_vc);
        DisplayKill(hsi1);
    }
    {
        SCOPED_TRACE("navigation twins");
        DisplayControlState1.Mode = 0;
        // Both sets' pointers parked alike.
        flat_set.pointers[0] = vc_set.pointers[0] = {86.0, 0, false};
        flat_set.pointers[1] = vc_set.pointers[1] = {86.0, 0, false};
        PlacedDisplay a(168, 134), b(168, 134);
        DisplayInstall(hsi1, nullptr);
        DisplayInstall(hsi1_vc, nullptr);
        TickCounter.fetch_add(1);
        DisplayFrameStep(hsi1, &a.element);
        DisplayFrameStep(hsi1_vc, &b.element);
        // The two maps at other points of their counts, the 2D one with a
        // waypoint in its list.
        flat_set.map.range_drawn = vc_set.map.range_drawn = WxRange;
        EhsiMapPhase[0] = 6;
        flat_set.map.last = 0;
        flat_set.map.entries[0] = {84, 60, 1, "XOMBA"};
        vc_set.map.phase = 3;
        vc_set.map.last = -1;
        vc_set.map.stepped = false;
        const CarriedState vc_before(vc_set);
        const uint32_t copies = hsi1_vc.copies;
        DisplayFormat[0] = 1;
        TickCounter.fetch_add(1);
        DisplayFrameStep(hsi1, &a.element);
        DisplayFrameStep(hsi1_vc, &b.element);
        EXPECT_EQ(hsi1_vc.copies, copies + 1);
        EXPECT_TRUE(CarriedState(vc_set) == vc_before);
        // The map, both lists empty: the copy's list is its own, stepped
        // once by its key and drawn.
        DisplayFormat[0] = 0;
        DisplayControlState1.Mode = 2;
        flat_set.map.last = -1;
        TickCounter.fetch_add(1);
        DisplayFrameStep(hsi1, &a.element);
        DisplayFrameStep(hsi1_vc, &b.element);
        EXPECT_EQ(hsi1_vc.copies, copies + 2);
        EXPECT_EQ(EhsiMapPhase[0], 7);
        EXPECT_EQ(vc_set.map.phase, 4);
        EXPECT_FALSE(vc_set.map.stepped);
        EXPECT_TRUE(a.pixels == b.pixels);
        DisplayKill(hsi1);
        DisplayKill(hsi1_vc);
    }
    DisplayFormat[0] = 0;
    DisplayControlState1.Mode = mode;
    for (auto [set, saved] : {std::pair{&flat_set, &flat_saved}, std::pair{&vc_set, &vc_saved}}) {
        std::memcpy(set->pointers, saved->pointers, sizeof saved->pointers);
        set->map = saved->map;
    }
    EhsiMapPhase[0] = phase_saved;
    std::copy(std::begin(sources), std::end(sources), NavSources);
    Ahrs1 = ahrs;
}

// Twins of other sizes, and the attitude twins drawing side 2's data (whose
// virtual-cockpit FMA boxes end higher), draw their own pictures.
TEST_F(DisplayGaugesFixture, TwinsOfOtherSizesOrSide2AttitudeDrawTheirOwn) {
    const AhrsRecord ahrs = Ahrs1;
    BusPowered2.set(0, 1);
    for (int index : {0, 2, 4}) {
        DisplayScreen& flat = DisplayScreens[index];
        DisplayScreen& vc = DisplayScreens[index + 1];
        DisplayWarmUp[flat.kind][flat.side] = 40;
        PlacedDisplay a(168, 134);
        PlacedDisplay b(index == 4 ? 170 : 168, 134);
        DisplayInstall(flat, nullptr);
        DisplayInstall(vc, nullptr);
        for (int i = 0; i < 4; ++i) {
            Ahrs1.heading += 10.0;
            Ahrs2.heading += 10.0;
            Ahrs1.bank += 3.0;
            Ahrs2.bank += 3.0;
            TickCounter.fetch_add(1);
            DisplayFrameStep(flat, &a.element);
            DisplayFrameStep(vc, &b.element);
        }
        // VSI1_VC draws its first picture only (set up after VSI1's).
        EXPECT_EQ(flat.pictures, 4u) << flat.name;
        EXPECT_EQ(vc.pictures, index == 0 ? 1u : 4u) << flat.name;
        DisplayKill(flat);
        DisplayKill(vc);
    }
    BusPowered2.set(0, 0);
    Ahrs1 = ahrs;
}

}  // namespace
}  // namespace zu
