// The program's one channel to the touchscreen driver: the device handle and one copy of each
// record, shared by all of the program's windows.
#pragma once

#include <string>

#include "shared/driver_records.hpp"
#include "shared/ports.hpp"

namespace px {

enum class OpenForm {
    Reporting,  // box and end of program when the device is missing
    Silent,     // the caller tests IsOpen() and reports in its own words
};

inline constexpr char kOpenFailureTitle[] = "TouchScreen Control Panel";
std::string OpenFailureText();

class DriverChannel {
public:
    DriverChannel(DevicePort& device, UiPort& ui, ProcessPort& process, WindowMessagePort& windows);

    bool OpenDriver(OpenForm form);
    void CloseDriver();
    bool IsOpen() const { return handle_ != kInvalidDevice; }

    // One operation per request; each works on the record below and keeps what comes back.
    bool GetParameters();
    bool GetReport();
    bool SendCalibrationCode(std::int32_t code);
    bool SetPortIrqs();
    bool SetTouchMode();
    bool SetFeedbackSound();
    bool SetSensitivity();
    bool SetMouseSpeed();
    bool SetCalibration();
    bool SetScreenSize();
    bool SetPowerDown();
    bool GetRbfWindow();
    bool SetRbfWindow();

    void HideRbfWindow();
    void ShowRbfWindow();
    void CloseRbfWindow();

    DriverParameterBlock Block{};
    TouchReport Report{};
    CalibrationCode Calibration{};
    RbfWindowRecord Rbf{-1, 0, {0, 0}};

private:
    bool Request(std::uint32_t code, void* record, std::uint32_t size);
    void MessageRbfWindow(std::uintptr_t operation);

    DevicePort& device_;
    UiPort& ui_;
    ProcessPort& process_;
    WindowMessagePort& windows_;
    DeviceHandle handle_ = kInvalidDevice;
};

// The right-button program's command line; the path is quoted because installation folders
// usually contain blanks ("C:\Program Files\...").
std::string RbfProgramCommandLine(const std::string& installPath);
bool StartRbfProgram(ProcessPort& process, const std::string& installPath);

}  // namespace px
