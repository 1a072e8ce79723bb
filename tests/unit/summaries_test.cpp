#include <gtest/gtest.h>

#include "shared/summaries.hpp"

namespace px {
namespace {

struct TextCase {
    std::string Actual;
    std::string Expected;
};

TEST(Summaries, CodedFieldsUseTheirTablesAndInvalidOutside) {
    const TextCase cases[] = {
        {TouchModeText(1), "Stream Mode"},
        {TouchModeText(2), "Lift Off Mode"},
        {TouchModeText(3), "Touch Down Mode"},
        {TouchModeText(4), "Drag Drop Mode"},
        {TouchModeText(0), "Invalid#0"},
        {TouchModeText(5), "Invalid#5"},
        {TouchModeText(255), "Invalid#255"},
        {FeedbackSoundText(1), "Silence ( No Sound )"},
        {FeedbackSoundText(4), "Both Touch Down && Lift Off"},
        {FeedbackSoundText(0), "Invalid#0"},
        {AccelerationText(1), "Slow"},
        {AccelerationText(4), "Off"},
        {AccelerationText(9), "Invalid#9"},
        {RightButtonText(0), "Disable"},
        {RightButtonText(1), "Enable"},
        {RightButtonText(2), "Invalid#2"},
        {VirtualButtonSummary(2, 1), "Lift Off Mode (RBF=Enable)"},
        {VirtualButtonSummary(0, 7), "Invalid#0 (RBF=Invalid#7)"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Actual, c.Expected);
}

TEST(Summaries, SensitivityIsLevelCountedDownFrom127) {
    EXPECT_EQ(SensitivityText(127), "Level 0");
    EXPECT_EQ(SensitivityText(0), "Level 127");
    EXPECT_EQ(SensitivityText(100), "Level 27");
    EXPECT_EQ(SensitivityText(255), "Level -128");
}

TEST(Summaries, DurationKeepsItsBlanks) {
    EXPECT_EQ(DurationText(60), " 1 Min. ");
    EXPECT_EQ(DurationText(90), " 1 Min.  30 Sec.");
    EXPECT_EQ(DurationText(30), " 30 Sec.");
    EXPECT_EQ(DurationText(2550), " 42 Min.  30 Sec.");
}

TEST(Summaries, PowerDownTextInTenSecondSteps) {
    EXPECT_EQ(PowerDownText(0), "Disable Power Down Function");
    EXPECT_EQ(PowerDownText(9), "Power Down When Idel  1 Min.  30 Sec.");
    EXPECT_EQ(PowerDownText(6), "Power Down When Idel  1 Min. ");
    EXPECT_EQ(PowerDownText(3), "Power Down When Idel  30 Sec.");
    EXPECT_EQ(PowerDownText(255), "Power Down When Idel  42 Min.  30 Sec.");
}

TEST(Summaries, MouseSpeedInFivePercentStepsOrBypass) {
    EXPECT_EQ(MouseSpeedText(10, 10, 1, 0), "HS=50%, VS=50%, Acceleration=Slow");
    EXPECT_EQ(MouseSpeedText(12, 7, 2, 0), "HS=60%, VS=35%, Acceleration=Medium");
    EXPECT_EQ(MouseSpeedText(0, 255, 0, 0), "HS=0%, VS=1275%, Acceleration=Invalid#0");
    EXPECT_EQ(MouseSpeedText(10, 10, 1, 1), "Enable Bypass Mode");
    EXPECT_EQ(MouseSpeedText(10, 10, 1, 200), "Enable Bypass Mode");
}

TEST(Summaries, PortLinesShowAddressWithHSuffixOrNone) {
    EXPECT_EQ(PortLineText(1, 0x3F8, 4), "COM1, Port=03F8h, IRQ=4");
    EXPECT_EQ(PortLineText(3, 0, 0), "COM3..None.");
    EXPECT_EQ(PortLineText(2, 0, 3), "COM2, Port=0000h, IRQ=3");
    EXPECT_EQ(PortLineText(4, 0x2E8, 0), "COM4, Port=02E8h, IRQ=0");
}

TEST(Summaries, SerialPortSummaryNamesTheRate) {
    EXPECT_EQ(SerialPortSummary(1, 0x3F8, 4, 4), "COM1, Port=03F8, IRQ=4, (9600,N,8,1)");
    EXPECT_EQ(SerialPortSummary(2, 0x2F8, 3, 6), "COM2, Port=02F8, IRQ=3, (19200,N,8,1)");
    EXPECT_EQ(SerialPortSummary(1, 0x3F8, 4, 11), "COM1, Port=03F8, IRQ=4, (115200,N,8,1)");
    EXPECT_EQ(SerialPortSummary(1, 0x3F8, 4, 0), "COM1, Port=03F8, IRQ=4, (,N,8,1)");
}

TEST(Summaries, SerialPortSummaryShowsAnUnknownRateCodeInsteadOfReadingPastTheTable) {
    EXPECT_EQ(SerialPortSummary(1, 0x3F8, 4, 12), "COM1, Port=03F8, IRQ=4, (Invalid#12,N,8,1)");
    EXPECT_EQ(SerialPortSummary(1, 0x3F8, 4, 255), "COM1, Port=03F8, IRQ=4, (Invalid#255,N,8,1)");
}

TEST(Summaries, HexIsUpperCaseAndZeroPadded) {
    EXPECT_EQ(Hex2(0x0F), "0F");
    EXPECT_EQ(Hex2(0), "00");
    EXPECT_EQ(Hex2(0xAB), "AB");
    EXPECT_EQ(Hex4(0), "0000");
    EXPECT_EQ(Hex4(0x3F8), "03F8");
    EXPECT_EQ(Hex4(0xFFFF), "FFFF");
}

}  // namespace
}  // namespace px
