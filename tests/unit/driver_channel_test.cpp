#include <gtest/gtest.h>

#include <cstring>

#include "fakes.hpp"
#include "shared/driver_channel.hpp"

namespace px {
namespace {

class DriverChannelTest : public ::testing::Test {
protected:
    fakes::FakeDevice device;
    fakes::FakeUi ui;
    fakes::FakeProcess process;
    fakes::FakeWindows windows;
    DriverChannel channel{device, ui, process, windows};

    template <typename Record>
    static std::vector<std::uint8_t> Bytes(const Record& r) {
        const auto* b = reinterpret_cast<const std::uint8_t*>(&r);
        return {b, b + sizeof r};
    }
};

TEST(RequestCodes, MatchTheDriversTable) {
    const std::pair<std::uint32_t, std::uint32_t> codes[] = {
        {IOCTL_TOUCH_GET_PARAMETERS, 991248},     {IOCTL_TOUCH_GET_REPORT, 991280},
        {IOCTL_TOUCH_CALIBRATION_CODE, 991296},   {IOCTL_TOUCH_SET_PORT_IRQS, 991312},
        {IOCTL_TOUCH_SET_TOUCH_MODE, 991328},     {IOCTL_TOUCH_SET_FEEDBACK_SOUND, 991344},
        {IOCTL_TOUCH_SET_SENSITIVITY, 991360},    {IOCTL_TOUCH_SET_MOUSE_SPEED, 991376},
        {IOCTL_TOUCH_SET_CALIBRATION, 991392},    {IOCTL_TOUCH_SET_SCREEN_SIZE, 991408},
        {IOCTL_TOUCH_SET_POWER_DOWN, 991424},     {IOCTL_TOUCH_GET_RBF_WINDOW, 995344},
        {IOCTL_TOUCH_SET_RBF_WINDOW, 995360},
    };
    for (const auto& [code, decimal] : codes) EXPECT_EQ(code, decimal);
    EXPECT_EQ(IOCTL_TOUCH_GET_PARAMETERS, 0xF2010u);
    EXPECT_EQ(IOCTL_TOUCH_SET_RBF_WINDOW, 0xF3020u);
}

TEST(Records, LittleEndianFieldsLandAtTheirOffsets) {
    DriverParameterBlock block{};
    block.PortAddress = 0x03F8;
    block.ComTable[1].IoAddress = 0x02F8;
    block.ComTable[3].Irq = 11;
    block.CalXMax = -2;
    block.McuCode[3] = 0xA5;
    const auto* b = reinterpret_cast<const std::uint8_t*>(&block);
    EXPECT_EQ(b[0], 0xF8);
    EXPECT_EQ(b[1], 0x03);
    EXPECT_EQ(b[8], 0xF8);
    EXPECT_EQ(b[9], 0x02);
    EXPECT_EQ(b[18], 11);
    EXPECT_EQ(b[32], 0xFE);
    EXPECT_EQ(b[33], 0xFF);
    EXPECT_EQ(b[47], 0xA5);
}

TEST_F(DriverChannelTest, OpensTheDevicePathOnce) {
    ASSERT_TRUE(channel.OpenDriver(OpenForm::Reporting));
    EXPECT_EQ(device.OpenedPaths, (std::vector<std::string>{"\\\\.\\PXWNTCOM"}));
    EXPECT_TRUE(ui.Boxes.empty());
    channel.CloseDriver();
    EXPECT_EQ(device.Closed.size(), 1u);
    EXPECT_FALSE(channel.IsOpen());
}

TEST_F(DriverChannelTest, ReportingFormTellsTheUserAndEndsTheProgram) {
    device.Present = false;
    EXPECT_FALSE(channel.OpenDriver(OpenForm::Reporting));
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Events, (std::vector<std::string>{"beep", "box"}));
    EXPECT_EQ(ui.Boxes[0].Text, "Fail to open PXWNTCOM.sys!");
    EXPECT_EQ(ui.Boxes[0].Title, "TouchScreen Control Panel");
    EXPECT_EQ(ui.Boxes[0].Style, 0x1010u);
    EXPECT_EQ(process.Ended.size(), 1u);
}

TEST_F(DriverChannelTest, SilentFormOnlyKeepsTheInvalidHandle) {
    device.Present = false;
    EXPECT_FALSE(channel.OpenDriver(OpenForm::Silent));
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_TRUE(ui.Events.empty());
    EXPECT_TRUE(process.Ended.empty());
    // Requests without a device leave the zero-filled record as it was.
    EXPECT_FALSE(channel.GetParameters());
    EXPECT_EQ(Bytes(channel.Block), std::vector<std::uint8_t>(48, 0));
    channel.CloseDriver();
    EXPECT_TRUE(device.Closed.empty());
}

TEST_F(DriverChannelTest, EverySettingRequestSendsTheWholeBlockAndKeepsWhatComesBack) {
    using Send = bool (DriverChannel::*)();
    const std::pair<Send, std::uint32_t> requests[] = {
        {&DriverChannel::SetPortIrqs, IOCTL_TOUCH_SET_PORT_IRQS},
        {&DriverChannel::SetTouchMode, IOCTL_TOUCH_SET_TOUCH_MODE},
        {&DriverChannel::SetFeedbackSound, IOCTL_TOUCH_SET_FEEDBACK_SOUND},
        {&DriverChannel::SetSensitivity, IOCTL_TOUCH_SET_SENSITIVITY},
        {&DriverChannel::SetMouseSpeed, IOCTL_TOUCH_SET_MOUSE_SPEED},
        {&DriverChannel::SetCalibration, IOCTL_TOUCH_SET_CALIBRATION},
        {&DriverChannel::SetScreenSize, IOCTL_TOUCH_SET_SCREEN_SIZE},
        {&DriverChannel::SetPowerDown, IOCTL_TOUCH_SET_POWER_DOWN},
        {&DriverChannel::GetParameters, IOCTL_TOUCH_GET_PARAMETERS},
    };
    ASSERT_TRUE(channel.OpenDriver(OpenForm::Reporting));
    std::uint8_t seed = 1;
    for (const auto& [send, code] : requests) {
        DriverParameterBlock mine{};
        std::memset(&mine, seed, sizeof mine);
        DriverParameterBlock driver{};
        std::memset(&driver, seed + 100, sizeof driver);
        device.Reply(code, driver);
        channel.Block = mine;
        EXPECT_TRUE((channel.*send)());
        ASSERT_FALSE(device.Requests.empty());
        EXPECT_EQ(device.Requests.back().Code, code);
        EXPECT_EQ(device.Requests.back().Input, Bytes(mine)) << "code " << code;
        EXPECT_EQ(Bytes(channel.Block), Bytes(driver)) << "code " << code;
        ++seed;
    }
    EXPECT_EQ(device.Requests.size(), std::size(requests));
}

TEST_F(DriverChannelTest, FailedRequestKeepsTheCopy) {
    ASSERT_TRUE(channel.OpenDriver(OpenForm::Silent));
    channel.Block.TouchMode = 3;
    device.Failing.insert(IOCTL_TOUCH_SET_TOUCH_MODE);
    EXPECT_FALSE(channel.SetTouchMode());
    EXPECT_EQ(channel.Block.TouchMode, 3);
}

TEST_F(DriverChannelTest, CalibrationCodeSendsFourBytes) {
    ASSERT_TRUE(channel.OpenDriver(OpenForm::Reporting));
    channel.SendCalibrationCode(0);
    channel.SendCalibrationCode(5);
    ASSERT_EQ(device.Requests.size(), 2u);
    EXPECT_EQ(device.Requests[0].Code, IOCTL_TOUCH_CALIBRATION_CODE);
    EXPECT_EQ(device.Requests[0].Input, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(device.Requests[1].Input, (std::vector<std::uint8_t>{5, 0, 0, 0}));
}

TEST_F(DriverChannelTest, ReportIsReadIntoItsEightByteRecord) {
    ASSERT_TRUE(channel.OpenDriver(OpenForm::Reporting));
    device.Reply(IOCTL_TOUCH_GET_REPORT, TouchReport{512, 300, kTouchDownBit, 0, 77});
    channel.GetReport();
    EXPECT_EQ(device.Requests[0].Input.size(), 8u);
    EXPECT_EQ(channel.Report.RawX, 512);
    EXPECT_EQ(channel.Report.RawY, 300);
    EXPECT_EQ(channel.Report.Status & kTouchDownBit, kTouchDownBit);
    EXPECT_EQ(channel.Report.ReportCount, 77);
}

TEST_F(DriverChannelTest, RbfOperationsSendNothingWhenNoWindowIsRegistered) {
    ASSERT_TRUE(channel.OpenDriver(OpenForm::Reporting));
    device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{-1, 0, {0, 0}});
    channel.HideRbfWindow();
    channel.ShowRbfWindow();
    channel.CloseRbfWindow();
    EXPECT_TRUE(windows.Sent.empty());
    ASSERT_EQ(device.Requests.size(), 3u);
    for (const auto& r : device.Requests) EXPECT_EQ(r.Code, IOCTL_TOUCH_GET_RBF_WINDOW);
}

TEST_F(DriverChannelTest, RbfOperationsMessageTheRegisteredWindow) {
    ASSERT_TRUE(channel.OpenDriver(OpenForm::Reporting));
    device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{0x10A2C, 0, {0, 0}});
    channel.HideRbfWindow();
    channel.ShowRbfWindow();
    channel.CloseRbfWindow();
    ASSERT_EQ(windows.Sent.size(), 3u);
    const std::uintptr_t expected[] = {4096, 4097, 4110};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(windows.Sent[i].Window, 0x10A2C);
        EXPECT_EQ(windows.Sent[i].Message, 0x400u);
        EXPECT_EQ(windows.Sent[i].WParam, expected[i]);
        EXPECT_EQ(windows.Sent[i].LParam, 0);
    }
}

TEST_F(DriverChannelTest, RbfHandlesAreSignExtendedLikeWindowHandles) {
    ASSERT_TRUE(channel.OpenDriver(OpenForm::Reporting));
    device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{-5, 0, {0, 0}});
    channel.ShowRbfWindow();
    ASSERT_EQ(windows.Sent.size(), 1u);
    EXPECT_EQ(windows.Sent[0].Window, -5);
}

TEST(StartRbfProgram, QuotesThePathAndHidesTheWindow) {
    fakes::FakeProcess process;
    EXPECT_TRUE(StartRbfProgram(process, "C:\\Program Files\\TouchScreen"));
    EXPECT_EQ(process.Started, (std::vector<std::string>{"\"C:\\Program Files\\TouchScreen\\PXWNTCrb.exe\""}));
    EXPECT_EQ(process.StartShowCommands, (std::vector<int>{0}));
}

TEST(StartRbfProgram, SuccessNeedsAtLeast32) {
    fakes::FakeProcess process;
    process.StartResult = 32;
    EXPECT_TRUE(StartRbfProgram(process, "C:\\T"));
    process.StartResult = 31;
    EXPECT_FALSE(StartRbfProgram(process, "C:\\T"));
    process.StartResult = 2;
    EXPECT_FALSE(StartRbfProgram(process, "C:\\T"));
}

}  // namespace
}  // namespace px
