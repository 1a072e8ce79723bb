#include "shared/driver_channel.hpp"

#include "shared/window_utils.hpp"

namespace px {

std::string OpenFailureText() { return std::string("Fail to open ") + kDriverName + ".sys!"; }

DriverChannel::DriverChannel(DevicePort& device, UiPort& ui, ProcessPort& process, WindowMessagePort& windows)
    : device_(device), ui_(ui), process_(process), windows_(windows) {}

bool DriverChannel::OpenDriver(OpenForm form) {
    handle_ = device_.Open(kDevicePath);
    if (IsOpen()) return true;
    if (form == OpenForm::Reporting) {
        ShowErrorBox(ui_, OpenFailureText(), kOpenFailureTitle);
        process_.EndProgram(0);
    }
    return false;
}

void DriverChannel::CloseDriver() {
    if (!IsOpen()) return;
    device_.Close(handle_);
    handle_ = kInvalidDevice;
}

bool DriverChannel::Request(std::uint32_t code, void* record, std::uint32_t size) {
    // Without a device the call could only fail; the record stays as it is either way.
    if (!IsOpen()) return false;
    return device_.Control(handle_, code, record, size);
}

bool DriverChannel::GetParameters() { return Request(IOCTL_TOUCH_GET_PARAMETERS, &Block, sizeof Block); }
bool DriverChannel::GetReport() { return Request(IOCTL_TOUCH_GET_REPORT, &Report, sizeof Report); }
bool DriverChannel::SendCalibrationCode(std::int32_t code) {
    Calibration.Code = code;
    return Request(IOCTL_TOUCH_CALIBRATION_CODE, &Calibration, sizeof Calibration);
}
bool DriverChannel::SetPortIrqs() { return Request(IOCTL_TOUCH_SET_PORT_IRQS, &Block, sizeof Block); }
bool DriverChannel::SetTouchMode() { return Request(IOCTL_TOUCH_SET_TOUCH_MODE, &Block, sizeof Block); }
bool DriverChannel::SetFeedbackSound() { return Request(IOCTL_TOUCH_SET_FEEDBACK_SOUND, &Block, sizeof Block); }
bool DriverChannel::SetSensitivity() { return Request(IOCTL_TOUCH_SET_SENSITIVITY, &Block, sizeof Block); }
bool DriverChannel::SetMouseSpeed() { return Request(IOCTL_TOUCH_SET_MOUSE_SPEED, &Block, sizeof Block); }
bool DriverChannel::SetCalibration() { return Request(IOCTL_TOUCH_SET_CALIBRATION, &Block, sizeof Block); }
bool DriverChannel::SetScreenSize() { return Request(IOCTL_TOUCH_SET_SCREEN_SIZE, &Block, sizeof Block); }
bool DriverChannel::SetPowerDown() { return Request(IOCTL_TOUCH_SET_POWER_DOWN, &Block, sizeof Block); }
bool DriverChannel::GetRbfWindow() { return Request(IOCTL_TOUCH_GET_RBF_WINDOW, &Rbf, sizeof Rbf); }
bool DriverChannel::SetRbfWindow() { return Request(IOCTL_TOUCH_SET_RBF_WINDOW, &Rbf, sizeof Rbf); }

void DriverChannel::MessageRbfWindow(std::uintptr_t operation) {
    GetRbfWindow();
    if (Rbf.RbfWindow == -1) return;
    // A stale handle is sent the message all the same; it then goes nowhere.
    windows_.SendWindowMessage(static_cast<WindowHandle>(Rbf.RbfWindow), kWmUser, operation, 0);
}

void DriverChannel::HideRbfWindow() { MessageRbfWindow(kRbfHide); }
void DriverChannel::ShowRbfWindow() { MessageRbfWindow(kRbfShow); }
void DriverChannel::CloseRbfWindow() { MessageRbfWindow(kRbfClose); }

std::string RbfProgramCommandLine(const std::string& installPath) {
    return "\"" + installPath + "\\PXWNTCrb.exe\"";
}

bool StartRbfProgram(ProcessPort& process, const std::string& installPath) {
    return process.StartProgram(RbfProgramCommandLine(installPath), kShowHidden) >= kProgramStarted;
}

}  // namespace px
