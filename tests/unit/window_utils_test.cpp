#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fakes.hpp"
#include "shared/window_utils.hpp"

namespace px {
namespace {

TEST(CenterWindow, CentresInTheUpperEightyFivePercent) {
    // 1024 x 768 pixels at 15 twips per pixel.
    const auto p = CenterWindow(15360, 11520, 6000, 4000);
    EXPECT_EQ(p.Left, 7680 - 3000);
    EXPECT_EQ(p.Top, 9792 / 2 - 2000);
}

TEST(CenterWindow, RoundsSizesHalfToEvenAndDividesTowardZero) {
    // 15360 * 0.85 = 13056 exactly; 2001 \ 2 = 1000.
    EXPECT_EQ(CenterWindow(15360, 15360, 2001, 2001).Top, 13056 / 2 - 1000);
    // Window sizes 2000.5 -> 2000 and 2001.5 -> 2002.
    EXPECT_EQ(CenterWindow(10000, 10000, 2000.5, 2001.5).Left, 5000 - 1000);
    EXPECT_EQ(CenterWindow(10000, 10000, 2000.5, 2001.5).Top, 4250 - 1001);
    // 9001 * 0.85 = 7650.85 -> 7651, \ 2 = 3825.
    EXPECT_EQ(CenterWindow(9001, 9001, 0, 0).Top, 3825);
    EXPECT_EQ(CenterWindow(9001, 9001, 0, 0).Left, 4500);
}

TEST(CenterWindow, WindowLargerThanScreenGoesNegative) {
    EXPECT_EQ(CenterWindow(1000, 1000, 3000, 3000).Left, 500 - 1500);
}

TEST(RoundHalfEven, TiesGoToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST(RoundHalfEven, SaturatesOutsideTheRangeOfLong) {
    EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<long>::max());
    EXPECT_EQ(RoundHalfEven(-1e300), std::numeric_limits<long>::min());
    EXPECT_EQ(RoundHalfEven(std::nan("")), std::numeric_limits<long>::min());
}

TEST(CenterIcon, KeepsHalfTwips) {
    const auto p = CenterIcon(615, 600, 480, 480);
    EXPECT_DOUBLE_EQ(p.Left, 67.5);
    EXPECT_DOUBLE_EQ(p.Top, 60.0);
}

TEST(MessageBoxes, ErrorBoxBeepsFirstThenShowsStopBox) {
    fakes::FakeUi ui;
    ShowErrorBox(ui, "Application is running!", "Title");
    ASSERT_EQ(ui.Events, (std::vector<std::string>{"beep", "box"}));
    EXPECT_EQ(ui.Boxes[0].Text, "Application is running!");
    EXPECT_EQ(ui.Boxes[0].Title, "Title");
    EXPECT_EQ(ui.Boxes[0].Style, 0x1010u);
}

TEST(MessageBoxes, QuestionAddsExtraStyleAndReturnsTheButton) {
    fakes::FakeUi ui;
    ui.Answers = {kIdNo, kIdYes};
    EXPECT_EQ(AskYesNo(ui, "Keep?", 256, "T"), kIdNo);
    EXPECT_EQ(AskYesNo(ui, "Sure?", 0, "T"), kIdYes);
    EXPECT_EQ(ui.Boxes[0].Style, 4096u + 32 + 4 + 256);
    EXPECT_EQ(ui.Boxes[1].Style, 4096u + 32 + 4);
    EXPECT_EQ(ui.Events, (std::vector<std::string>{"box", "box"}));  // no beep
}

TEST(Cursor, HideTwiceStaysHiddenAndOneRestoreShowsIt) {
    fakes::FakeUi ui;
    HideCursor(ui);
    EXPECT_EQ(ui.CursorCount, -1);
    HideCursor(ui);
    EXPECT_EQ(ui.CursorCount, -2);
    RestoreCursor(ui);
    EXPECT_EQ(ui.CursorCount, 0);
}

TEST(Cursor, HideWorksFromAnyRaisedCount) {
    fakes::FakeUi ui;
    ui.CursorCount = 3;
    HideCursor(ui);
    EXPECT_EQ(ui.CursorCount, -1);
    RestoreCursor(ui);
    EXPECT_EQ(ui.CursorCount, 0);
    RestoreCursor(ui);  // already shown: one call, stays visible
    EXPECT_EQ(ui.CursorCount, 1);
}

}  // namespace
}  // namespace px
