#include "fms/cdu_engine.h"

#include <gtest/gtest.h>

#include <string>

#include "core/systems_tick.h"
#include "fms/cdu_pages.h"
#include "fms/fms_lifecycle.h"

namespace zu {
namespace {

std::string Line(int line) {
    return std::string(CduScreen.text + line * kCduColumns, kCduColumns);
}

class CduEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CduResetForLoad();
        FrameChangeBits.store(0);
    }
    void TearDown() override {
        CduResetForLoad();
        FrameChangeBits.store(0);
    }
    // One powered FMS pass of the engine with the given frame bits.
    void Pass(uint32_t bits = 0) {
        FrameChangeBits.store(bits);
        if (CduWarmup == 80 && CduPage < 0) CduPage = kCduPageStatus;
        CduDispatchPage();
        CduProcessKeys();
    }
    // Runs the warm-up out and accepts INIT.
    void ToInitAccepted() {
        for (int i = 0; i < 40 && CduPage != kCduPageInit; ++i) Pass(0x02);
        Pass();
        ASSERT_EQ(CduPage, kCduPageInit);
        FmsKeyCode.store(5);
        Pass();
        Pass();
        ASSERT_EQ(FmsInitialised, 1);
    }
};

TEST_F(CduEngineTest, RedrawHoldRunsThePageForTwoPeriodsThenOnlyEvery32Passes) {
    CduPage = kCduPageData;
    CduDispatchPage();  // page entered: runs, holds
    EXPECT_EQ(CduRedrawHold, 2);
    EXPECT_EQ(CduPaintRequest.load(), 1);
    EXPECT_EQ(CduRedraw, 0);
    CduPaintRequest.store(0);
    // Hold counts down on the 32nd passes only.
    FrameChangeBits.store(0x20);
    CduDispatchPage();
    EXPECT_EQ(CduRedrawHold, 1);
    FrameChangeBits.store(0x20);
    CduDispatchPage();
    EXPECT_EQ(CduRedrawHold, 0);
    // Without a redraw request and off the 32nd pass the page does not run.
    CduPaintRequest.store(0);
    CduScreen.text[2 * kCduColumns] = '#';
    FrameChangeBits.store(0);
    CduDispatchPage();
    EXPECT_EQ(CduScreen.text[2 * kCduColumns], '#');
    EXPECT_EQ(CduPaintRequest.load(), 0);
    // A redraw request starts a new hold; every 64th pass requests one.
    FrameChangeBits.store(0x40);
    CduDispatchPage();
    EXPECT_EQ(CduRedrawHold, 2);
    EXPECT_EQ(CduPaintRequest.load(), 1);
    EXPECT_EQ(CduScreen.text[2 * kCduColumns], 'q');
}

TEST_F(CduEngineTest, UnpoweredDispatchKeepsRedrawSetAndRunsNoPage) {
    CduPage = -1;
    CduRedraw = 0;
    FrameChangeBits.store(0x20);
    CduDispatchPage();
    EXPECT_EQ(CduRedraw, 1);
    EXPECT_EQ(CduPaintRequest.load(), 0);
}

TEST_F(CduEngineTest, StatusPageCountsDownPassMarksThenHandsOverToInit) {
    Pass();
    EXPECT_NE(Line(0).find("VADIVUZEV 1E"), std::string::npos);
    EXPECT_NE(Line(10).find("ANALOG"), std::string::npos);
    int guard = 0;
    while (CduPage == kCduPageStatus && ++guard < 100) Pass(0x02);
    EXPECT_EQ(CduPage, kCduPageInit);
    for (int line = 4; line <= 10; ++line) EXPECT_EQ(Line(line).substr(20, 4), "PASS") << line;
    Pass();
    EXPECT_NE(Line(0).find("INIT 1/1"), std::string::npos);
}

TEST_F(CduEngineTest, OneKeyPerPassLineSelectFirst) {
    ToInitAccepted();
    FmsKeyCode.store(3);
    CduDepositFunctionKey(kCduKeyData, 0);
    Pass();
    EXPECT_EQ(CduPage, kCduPageInit);  // line-select key taken, DATA waits
    EXPECT_EQ(FmsFunctionKey.load(), kCduKeyData);
    Pass();
    EXPECT_EQ(CduPage, kCduPageData);
    EXPECT_EQ(FmsFunctionKey.load(), 0);
}

TEST_F(CduEngineTest, FunctionKeysAreDeadUntilInitIsAccepted) {
    for (int i = 0; i < 40 && CduPage != kCduPageInit; ++i) Pass(0x02);
    Pass();
    CduDepositFunctionKey(kCduKeyNav, 0);
    Pass();
    EXPECT_EQ(CduPage, kCduPageInit);
    EXPECT_NE(Line(10).find("qACCEPT"), std::string::npos);
    EXPECT_EQ(CduScreen.colour[4 * kCduColumns], 2);  // yellow position
    FmsKeyCode.store(5);
    Pass();
    Pass();
    EXPECT_EQ(FmsInitialised, 1);
    EXPECT_EQ(Line(10).find("qACCEPT"), std::string::npos);
    EXPECT_EQ(CduScreen.colour[4 * kCduColumns], 0);  // green once accepted
    CduDepositFunctionKey(kCduKeyNav, 0);
    Pass();
    EXPECT_EQ(CduPage, kCduPageNav);
}

TEST_F(CduEngineTest, PrevAndNextStayWithinTheSubPages) {
    ToInitAccepted();
    CduSubPageCount = 3;
    CduSubPage = 0;
    CduEvent = kCduEventKey;
    CduKey = kCduKeyPrev;
    CduFunctionKeys();
    EXPECT_EQ(CduSubPage, 0);
    EXPECT_EQ(CduEvent, kCduEventKey);  // left for the page
    CduKey = kCduKeyNext;
    CduFunctionKeys();
    CduFunctionKeys();
    CduFunctionKeys();
    EXPECT_EQ(CduSubPage, 2);
    CduKey = kCduKeyPrev;
    CduFunctionKeys();
    EXPECT_EQ(CduSubPage, 1);
}

TEST_F(CduEngineTest, DirectKeyReturnFieldsAreUsedOnlyOnce) {
    ToInitAccepted();
    CduPage = kCduPageFlightPlan;
    Pass();
    CduSubPage = 1;
    CduDepositFunctionKey(kCduKeyDirect, 0);
    Pass();
    EXPECT_EQ(CduPage, kCduPageDirect);
    EXPECT_EQ(CduReturnPage, kCduPageDirect);
    CduDispatchPage();
    EXPECT_EQ(CduReturnPage, -1);
    EXPECT_EQ(CduReturnSubPage, -1);
    CduPage = kCduPageData;
    CduDispatchPage();
    CduPage = kCduPageDirect;
    CduDispatchPage();
    EXPECT_EQ(CduSubPage, 0);
}

class CduEditTest : public CduEngineTest {
  protected:
    void SetUp() override {
        CduEngineTest::SetUp();
        CduPage = kCduPageData;  // a page without fields of its own
        CduLastPage = kCduPageData;
        CduDefineField(2, kCduFieldDigits, 5, 3, 3, 7);
        CduDefineField(3, kCduFieldText, 5, 5, 5, 9);
    }
    void Key(int32_t code, char ch = 0) {
        CduDepositFunctionKey(code, ch);
        CduProcessKeys();
    }
    void Type(const char* text) {
        for (; *text != '\0'; ++text) Key(kCduKeyCharacter, *text);
    }
    void Select(int32_t k) {
        FmsKeyCode.store(k);
        CduProcessKeys();
    }
};

TEST_F(CduEditTest, SelectingTheActiveFieldAgainDeselectsAndDiscards) {
    Select(3);
    EXPECT_EQ(CduActiveField, 3);
    EXPECT_EQ(CduLinkedKey, 9);
    Type("AB");
    EXPECT_EQ(std::string(CduEditBuffer, 2), "AB");
    Select(3);
    EXPECT_EQ(CduActiveField, 0);
    EXPECT_EQ(CduEditCursor, 0);
    EXPECT_EQ(std::string(CduEditBuffer), "               ");
    // A key without a field reaches the page as a line-select event.
    Select(4);
    EXPECT_EQ(CduActiveField, 0);
}

TEST_F(CduEditTest, DigitsFieldFiltersAndStopsAtItsLength) {
    Select(2);
    Type("1X2345");
    EXPECT_EQ(CduEditCursor, 3);
    EXPECT_EQ(std::string(CduEditBuffer, 3), "123");
    Key(kCduKeyBack);
    EXPECT_EQ(CduEditCursor, 2);
    int32_t field = 0;
    float value = 0;
    // Capture the completed entry before the pass resets it.
    CduHoldEvent = 1;
    Key(kCduKeyEnter);
    field = CduEntryField;
    value = CduEntryValue;
    EXPECT_EQ(field, 2);
    EXPECT_FLOAT_EQ(value, 12.0f);
    EXPECT_EQ(std::string(CduEntryText), "12");
    EXPECT_EQ(CduActiveField, 0);
}

TEST_F(CduEditTest, EnterWithNothingTypedCompletesNothing) {
    Select(3);
    CduHoldEvent = 1;
    Key(kCduKeyEnter);
    EXPECT_EQ(CduEvent, kCduEventKey);
    EXPECT_EQ(CduEntryField, 0);
    EXPECT_EQ(CduActiveField, 3);
}

TEST_F(CduEngineTest, WriteTextCutsAtTheRightEdgeAndCarriesAttributes) {
    CduClearScreen();
    CduBlinkOn();
    CduWriteText("0123456789", 20, 3, 5, 1);
    CduBlinkOff();
    EXPECT_EQ(Line(3).substr(20), "0123");
    EXPECT_EQ(Line(4), std::string(24, ' '));
    EXPECT_EQ(CduScreen.colour[3 * 24 + 23], 5);
    EXPECT_EQ(CduScreen.size[3 * 24 + 23], 1);
    EXPECT_EQ(CduScreen.blink[3 * 24 + 20], 1);
    CduWriteText("X", 24, 3, 0, 0);
    EXPECT_EQ(Line(3).substr(20), "0123");
    // Field numbers beyond the table are refused, 11 and 12 accepted.
    CduDefineField(12, kCduFieldText, 1, 1, 40, 0);
    EXPECT_EQ(CduFieldTable[12].max_length, 15);
    CduDefineField(13, kCduFieldText, 1, 1, 4, 0);
}

// Whole degrees and minutes formatted apart would show 44 59.9994 minutes
// as "44 60.0"; rounded to tenths of a minute first it is the next degree.
TEST(CduFormatTest, LatLonMendRoundsToTenthsFirstSoTheMinutesNeverShow60) {
    FormatLatLon(1, 44.99999);
    EXPECT_STREQ(CduFormatBuffer, "N  45 00.0");
    FormatLatLon(2, -0.999999);
    EXPECT_STREQ(CduFormatBuffer, "W   1 00.0");
    FormatLatLon(1, 10.99);  // 59.4 minutes stay in their degree
    EXPECT_STREQ(CduFormatBuffer, "N  10 59.4");
}

TEST(CduFormatTest, LatLonRoundsMinutesAndDateTimeConvert) {
    FormatLatLon(1, 47.94);
    EXPECT_STREQ(CduFormatBuffer, "N  47 56.4");
    FormatLatLon(2, -122.5);
    EXPECT_STREQ(CduFormatBuffer, "W 122 30.0");
    ASSERT_TRUE(FormatDate(1796688000));  // 8 Dec 2026 00:00 UTC
    EXPECT_STREQ(CduFormatBuffer, "8-DEC-26");
    ASSERT_TRUE(FormatTime(1796688000 + 3723));
    EXPECT_STREQ(CduFormatBuffer, "01:02:03");
    EXPECT_FALSE(FormatTime(-1));
    EXPECT_STREQ(CduFormatBuffer, "01:02:03");
}

// The INIT page formats the same fields every frame, between other texts.
TEST(CduFormatTest, RepeatedFieldsComeBackAfterOtherTexts) {
    for (int pass = 0; pass < 2; ++pass) {
        FormatLatLon(1, 47.94);
        EXPECT_STREQ(CduFormatBuffer, "N  47 56.4");
        FormatLatLon(2, 47.94);
        EXPECT_STREQ(CduFormatBuffer, "E  47 56.4");
        ASSERT_TRUE(FormatDate(1796688000));
        EXPECT_STREQ(CduFormatBuffer, "8-DEC-26");
        ASSERT_TRUE(FormatTime(1796688000 + 3723));
        EXPECT_STREQ(CduFormatBuffer, "01:02:03");
        CduFormat("%s", "OTHER TEXT");
    }
    ASSERT_TRUE(FormatTime(1796688000 + 3724));
    EXPECT_STREQ(CduFormatBuffer, "01:02:04");
    ASSERT_TRUE(FormatTime(1796688000 + 3723));
    EXPECT_STREQ(CduFormatBuffer, "01:02:03");
    ASSERT_TRUE(FormatDate(1796688000 + 86400));
    EXPECT_STREQ(CduFormatBuffer, "9-DEC-26");
}

}  // namespace
}  // namespace zu
