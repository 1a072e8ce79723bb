// A control panel on fakes with a known driver block, for driving its settings windows.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "control_panel/main_window.hpp"
#include "fakes.hpp"
#include "suite_fakes.hpp"

namespace px::testing_support {

// Lets a test look at the program while a request is on its way to the driver.
class WatchedDevice : public fakes::FakeDevice {
public:
    std::function<void(std::uint32_t code)> OnRequest;
    bool Control(DeviceHandle handle, std::uint32_t code, void* buffer, std::uint32_t size) override {
        if (OnRequest) OnRequest(code);
        return FakeDevice::Control(handle, code, buffer, size);
    }
};

inline DriverParameterBlock SampleBlock() {
    DriverParameterBlock b{};
    b.PortAddress = 0x2F8;
    b.PortIrq = 3;
    b.ComPort = 2;
    b.ComTable[0] = {0x3F8, 4, 0};
    b.ComTable[1] = {0x2F8, 3, 0};
    b.ComTable[2] = {0x3E8, 11, 0};
    b.ComTable[3] = {0, 0, 0};
    b.TouchMode = 2;
    b.FeedbackSound = 3;
    b.Sensitivity = 64;
    b.Bypass = 0;
    b.HSpeed = 12;
    b.VSpeed = 7;
    b.Acceleration = 2;
    b.PowerDownTime = 9;
    b.BaudCode = 6;
    b.RightButton = 1;
    b.CalXMin = 40;
    b.CalXMax = 990;
    b.CalYMin = 30;
    b.CalYMax = 1000;
    b.ScreenWidth = 1024;
    b.ScreenHeight = 768;
    b.McuMode = 1;
    b.McuVersion = 0x21;
    return b;
}

inline DriverParameterBlock BlockOf(const fakes::DeviceRequest& request) {
    DriverParameterBlock b{};
    EXPECT_EQ(request.Input.size(), sizeof b);
    std::memcpy(&b, request.Input.data(), std::min(request.Input.size(), sizeof b));
    return b;
}

inline bool SameBytes(const DriverParameterBlock& a, const DriverParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class SettingsTest : public ::testing::Test, protected fakes::SuiteFakes {
protected:
    static constexpr char kOemKey[] = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
    static constexpr char kInstall[] = "C:\\Program Files\\TouchScreen";

    SettingsTest() {
        registry.SetString(kOemKey, "VenderName", "Veldrant Touch");
        registry.SetString(kOemKey, "InstallPath", kInstall);
        registry.SetString(kOemKey, "WindowsPath", "C:\\windows");
        registry.SetString(kOemKey, "SystemPath", "C:\\windows\\system32");
        registry.SetString(kOemKey, "HardwareID", "HW");
    }

    // Starts the program on this block and opens a window with its main-window button.
    forms::Form& Open(const char* button, const char* window) {
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, stored);
        panel.Start();
        panel.Main()[button].UserClick();
        forms::Form* form = panel.Window(window);
        EXPECT_NE(form, nullptr) << window;
        device.Requests.clear();
        return *form;
    }
    std::string Summary(const char* label) { return panel.Main()[label].Caption(); }
    // The one request a commit must make, checked for its code and full size.
    DriverParameterBlock OnlyRequest(std::uint32_t code) {
        EXPECT_EQ(device.Requests.size(), 1u);
        if (device.Requests.empty()) return {};
        EXPECT_EQ(device.Requests[0].Code, code);
        return BlockOf(device.Requests[0]);
    }

    DriverParameterBlock stored = SampleBlock();
    WatchedDevice device;
    ControlPanel panel{PortsWith(device)};
};

}  // namespace px::testing_support
