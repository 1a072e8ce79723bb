#include <gtest/gtest.h>

#include "control_panel/main_window.hpp"
#include "control_panel/mcu_info.hpp"
#include "fakes.hpp"
#include "suite_fakes.hpp"

namespace px {
namespace {

TEST(McuInfoLine, FormatsModeVersionAndCode) {
    struct Case {
        std::uint8_t Mode, Version;
        std::uint8_t Code[4];
        const char* Line;
    };
    const Case cases[] = {
        {0xD4, 0x42, {0x00, 0x00, 0x12, 0xAB}, "MCU-Mode=D4  MCU-Version=4.2  MCU-Code=000012AB"},
        {0x01, 0x07, {0x4B, 0x17, 0x03, 0x01}, "MCU-Mode=01  MCU-Version=0.7  MCU-Code=4B170301"},
        // A letter in the lower nibble keeps the upper digit alone; in the upper nibble, nothing.
        {0x00, 0x4A, {0, 0, 0, 0}, "MCU-Mode=00  MCU-Version=0.4  MCU-Code=00000000"},
        {0x0F, 0xA0, {0x0A, 0x0B, 0x0C, 0x0D}, "MCU-Mode=0F  MCU-Version=0.0  MCU-Code=0A0B0C0D"},
        {0xFF, 0xFF, {0xFF, 0xFF, 0xFF, 0xFF}, "MCU-Mode=FF  MCU-Version=0.0  MCU-Code=FFFFFFFF"},
        {0x10, 0x99, {0x10, 0x01, 0x00, 0x09}, "MCU-Mode=10  MCU-Version=9.9  MCU-Code=10010009"},
    };
    for (const auto& c : cases) {
        DriverParameterBlock block{};
        block.McuMode = c.Mode;
        block.McuVersion = c.Version;
        std::copy(std::begin(c.Code), std::end(c.Code), block.McuCode);
        EXPECT_EQ(McuInfoLine(block), c.Line) << "version byte " << int(c.Version);
    }
}

class McuInfoWindowTest : public ::testing::Test, protected fakes::SuiteFakes {
protected:
    void SetUp() override {
        const std::string key = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
        registry.SetString(key, "VenderName", "Veldrant Touch");
        registry.SetString(key, "InstallPath", "C:\\Program Files\\TouchScreen");
        registry.SetString(key, "WindowsPath", "C:\\windows");
        registry.SetString(key, "SystemPath", "C:\\windows\\system32");
        registry.SetString(key, "HardwareID", "HW");
        DriverParameterBlock block{};
        block.McuMode = 0xD4;
        block.McuVersion = 0x42;
        block.McuCode[2] = 0x12;
        block.McuCode[3] = 0xAB;
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, block);
        panel.Start();
    }
    void RightPressOnSerialPort(int shift) { panel.Main()["cmdSerialPort"].MouseDown(forms::kRightButton, shift, 10, 10); }

    fakes::FakeDevice device;
    ControlPanel panel{PortsWith(device)};
};

TEST_F(McuInfoWindowTest, ServiceGestureOpensItWithTheHeaderAndLineAndOkReturns) {
    auto& info = *panel.Window("frmMcuInfo");
    const auto requests = device.Requests.size();
    RightPressOnSerialPort(kServiceKeys);
    ASSERT_TRUE(info.Visible());
    EXPECT_FALSE(panel.Main().Visible());
    EXPECT_EQ(info.Caption(), " MCU Information");
    EXPECT_EQ(info["lblOemTitle"].Caption(), "Veldrant Touch");
    EXPECT_EQ(info["lblSystem"].Caption(), "TouchScreen Control Panel Version K306.COM");
    EXPECT_EQ(info["lblMcuInfo"].Caption(), "MCU-Mode=D4  MCU-Version=4.2  MCU-Code=000012AB");
    EXPECT_EQ(device.Requests.size(), requests);  // formatted from the block read at start
    info["cmdOK"].UserClick();
    EXPECT_FALSE(info.Loaded());
    EXPECT_TRUE(panel.Main().Visible());
}

TEST_F(McuInfoWindowTest, OtherKeysOrTheLeftButtonDoNotOpenIt) {
    auto& info = *panel.Window("frmMcuInfo");
    for (int shift : {0, forms::kShiftMask, forms::kCtrlMask, kServiceKeys | forms::kAltMask})
        RightPressOnSerialPort(shift);
    panel.Main()["cmdSerialPort"].MouseDown(forms::kLeftButton, kServiceKeys, 10, 10);
    EXPECT_FALSE(info.Loaded());
    EXPECT_TRUE(panel.Main().Visible());
}

}  // namespace
}  // namespace px
